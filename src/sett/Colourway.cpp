#include "sett/Colourway.h"

#include "palette/PaletteSwatch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace loomara {

namespace {

QString quoted(QStringView code) {
    return QStringLiteral("\"%1\"").arg(code);
}

bool weaves(const Sett& sett, const QString& code) {
    const auto has = [&code](const Sett& s) {
        return std::any_of(s.stripes.begin(), s.stripes.end(),
                           [&code](const SettStripe& stripe) { return stripe.code == code; });
    };
    return has(sett) || has(sett.weft());
}

void recolourStripes(Sett& sett, const QList<Recolouring>& recolourings) {
    for (SettStripe& stripe : sett.stripes) {
        const auto pair =
            std::find_if(recolourings.begin(), recolourings.end(),
                         [&stripe](const Recolouring& r) { return r.from == stripe.code; });
        if (pair == recolourings.end()) {
            continue;
        }
        const PaletteSwatch* swatch = findSwatchByCode(pair->to);
        stripe.code = pair->to;
        stripe.colour = swatch ? swatch->colour() : stripe.colour;
    }
}

template <typename Change> Sett changedWithWeft(Sett sett, const Change& change) {
    change(sett);
    if (sett.ownWeft) {
        Sett weft = *sett.ownWeft;
        change(weft);
        sett.ownWeft = std::make_shared<const Sett>(std::move(weft));
    }
    return sett;
}

} // namespace

std::variant<QList<Recolouring>, QString> readRecolourings(QStringView text) {
    QList<Recolouring> pairs;
    for (const QStringView written : text.split(u',')) {
        const QStringView pair = written.trimmed();
        const qsizetype equals = pair.indexOf(u'=');
        const QString from = pair.first(std::max<qsizetype>(equals, 0)).trimmed().toString();
        const QString to = equals < 0 ? QString() : pair.sliced(equals + 1).trimmed().toString();
        if (from.isEmpty() || to.isEmpty() || to.contains(u'=')) {
            return QStringLiteral("%1 is not a recolouring; write the code, \"=\" and the code it "
                                  "becomes, as in K=NB,R=DR.")
                .arg(quoted(pair));
        }
        if (std::any_of(pairs.begin(), pairs.end(),
                        [&from](const Recolouring& r) { return r.from == from; })) {
            return QStringLiteral("%1 is recoloured twice.").arg(quoted(from));
        }
        pairs.append({from, to});
    }
    return pairs;
}

std::optional<QString> whyNotRecoloured(const Sett& sett, const QList<Recolouring>& recolourings) {
    for (const Recolouring& r : recolourings) {
        if (!weaves(sett, r.from)) {
            return QStringLiteral("the sett has no stripe of %1 to recolour (codes are "
                                  "case-sensitive: %2).")
                .arg(quoted(r.from), settCodes(sett).join(u' '));
        }
        if (!findSwatchByCode(r.to)) {
            return QStringLiteral("%1 is not a colour code of the palette.").arg(quoted(r.to));
        }
    }
    return std::nullopt;
}

Sett recoloured(Sett sett, const QList<Recolouring>& recolourings) {
    return changedWithWeft(std::move(sett), [&](Sett& s) { recolourStripes(s, recolourings); });
}

QStringList settCodes(const Sett& sett) {
    QStringList codes;
    for (const Sett* s : {&sett, &sett.weft()}) {
        for (const SettStripe& stripe : s->stripes) {
            if (!codes.contains(stripe.code)) {
                codes.append(stripe.code);
            }
        }
    }
    return codes;
}

QString schemeName(Scheme scheme) {
    switch (scheme) {
    case Scheme::Modern:
        return QStringLiteral("modern");
    case Scheme::Lighter:
        return QStringLiteral("lighter");
    case Scheme::Muted:
        return QStringLiteral("muted");
    case Scheme::Faded:
        return QStringLiteral("faded");
    }
    return QString();
}

std::optional<Scheme> schemeNamed(QStringView name) {
    for (const Scheme scheme : kSchemes) {
        if (name.compare(schemeName(scheme), Qt::CaseInsensitive) == 0) {
            return scheme;
        }
    }
    return std::nullopt;
}

QString schemeNames() {
    return QStringLiteral("modern, lighter, muted or faded");
}

SchemeTransform schemeTransform(Scheme scheme) {
    switch (scheme) {
    case Scheme::Modern:
        return {};
    case Scheme::Lighter:
        return {0.35, 0.75, 0.75, {0, 0}};
    case Scheme::Muted:
        return {0, 0.55, 0.55, {0, 0}};
    case Scheme::Faded:
        // A grey-brown, as wool left in the sun.
        return {0.3, 0.55, 0.15, {5, 14}};
    }
    return {};
}

Lab inScheme(const Lab& lab, Scheme scheme) {
    const SchemeTransform t = schemeTransform(scheme);
    const double hue = std::atan2(lab[2], lab[1]);
    const double cool = (1 + std::cos(hue - kCoolestHue * std::numbers::pi / 180)) / 2;
    const double keep = t.keep + (t.keepCool - t.keep) * cool;
    return {lab[0] + t.towardWhite * (100 - lab[0]), t.grey[0] + keep * (lab[1] - t.grey[0]),
            t.grey[1] + keep * (lab[2] - t.grey[1])};
}

Rgb inScheme(Rgb colour, Scheme scheme) {
    return scheme == Scheme::Modern ? colour : rgbOfLab(inScheme(labOf(colour), scheme));
}

Sett inScheme(Sett sett, Scheme scheme) {
    if (scheme == Scheme::Modern) {
        return sett;
    }
    return changedWithWeft(std::move(sett), [scheme](Sett& s) {
        for (SettStripe& stripe : s.stripes) {
            stripe.colour = inScheme(stripe.colour, scheme);
        }
    });
}

} // namespace loomara
