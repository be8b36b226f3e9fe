#include "cloth/YarnTitle.h"

namespace loomara {

QString yarnTitle(const QString& written, const Sett& sett, bool named) {
    QString title =
        named ? QStringLiteral("%1 (%2)").arg(written, writtenForm(sett)) : written.simplified();
    if (sett.ownWeft) {
        title += QStringLiteral("; weft %1").arg(writtenForm(*sett.ownWeft));
    }
    return title;
}

} // namespace loomara
