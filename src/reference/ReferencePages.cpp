#include "reference/ReferencePages.h"

#include <QFile>

// The lists live in the static core library; nothing else refers to the generated resource
// object, so the linker would drop it unless it is registered by name.
static void registerReferenceResources() {
    Q_INIT_RESOURCE(reference);
}

namespace loomara::reference {

namespace {

void ensureResourcesRegistered() {
    static const bool registered = [] {
        registerReferenceResources();
        return true;
    }();
    static_cast<void>(registered);
}

} // namespace

const ReferencePageDescription& referencePage(int page) {
    return kReferencePages.at(static_cast<std::size_t>(page - 1));
}

QByteArray storedListBytes(int page) {
    ensureResourcesRegistered();
    QFile file(QStringLiteral(":/reference/") + toQString(referencePage(page).list));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QString storedList(int page) {
    // Latin-1 maps every stored byte to one character, so nothing is lost or replaced.
    return QString::fromLatin1(storedListBytes(page));
}

QStringList storedLines(int page) {
    return storedList(page).split(QStringLiteral("\r\n"));
}

} // namespace loomara::reference
