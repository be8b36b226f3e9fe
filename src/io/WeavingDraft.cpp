#include "io/WeavingDraft.h"

#include "model/DesignState.h"
#include "palette/Shades.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <utility>

namespace loomara {

namespace {

constexpr int kShafts = 4;
// Treadle t raises shafts t and t + 1 (treadle 4 raises 4 and 1): a 2/2 twill.
constexpr int kShaftsPerTreadle = 2;
// 20 threads to the centimetre, a usual sett for fine worsted; warp and weft are balanced.
constexpr const char* kSpacing = "0.05";

// The stripes of one repeat, 0-based: forward to the last, then back without the two pivots.
QList<qsizetype> repeatOrder(qsizetype stripeCount) {
    QList<qsizetype> order;
    for (qsizetype i = 0; i < stripeCount; ++i) {
        order.append(i);
    }
    for (qsizetype i = stripeCount - 2; i >= 1; --i) {
        order.append(i);
    }
    return order;
}

// The stripe colours after the shade steps, shifted by the designer's own Brighten and Darken on
// a design that holds them, so that a draft and a reweave agree.
QList<Rgb> shadedColours(const QList<DraftStripe>& stripes, int steps) {
    DesignState design;
    for (qsizetype i = 0; i < stripes.size(); ++i) {
        Stripe& slot = design.slot(static_cast<int>(i) + 1);
        slot.red = stripes[i].colour.red;
        slot.green = stripes[i].colour.green;
        slot.blue = stripes[i].colour.blue;
    }
    // Every step moves a component by at least 1 or leaves it at a bound, so after 255 steps
    // more steps change nothing.
    const long long times = std::min(std::llabs(static_cast<long long>(steps)), 255LL);
    for (long long k = 0; k < times; ++k) {
        if (steps > 0) {
            brighten(design);
        } else {
            darken(design);
        }
    }
    QList<Rgb> shaded;
    for (qsizetype i = 0; i < stripes.size(); ++i) {
        shaded.append(design.slot(static_cast<int>(i) + 1).colour());
    }
    return shaded;
}

// A value on one line: the file is line-based, so a line break in a title would end it early.
QByteArray oneLine(const QString& text) {
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line.toUtf8();
}

class Section {
public:
    explicit Section(QByteArray name) : name_(std::move(name)) {}

    Section& add(const QByteArray& key, const QByteArray& value) {
        body_.append(key).append('=').append(value).append("\r\n");
        return *this;
    }
    // The thread lists run to hundreds of thousands of lines: no temporaries per line.
    Section& add(long long key, long long value) {
        // Each number stops short of the room its separator needs, so that even a number that
        // did not fit could not push the separators past the end.
        std::array<char, 48> line{};
        char* const valueEnd = line.data() + line.size() - 2;
        char* end = std::to_chars(line.data(), valueEnd - 1, key).ptr;
        *end++ = '=';
        end = std::to_chars(end, valueEnd, value).ptr;
        *end++ = '\r';
        *end++ = '\n';
        body_.append(line.data(), end - line.data());
        return *this;
    }

    const QByteArray& name() const { return name_; }
    QByteArray text() const { return '[' + name_ + "]\r\n" + body_; }

private:
    QByteArray name_;
    QByteArray body_;
};

WeavingDraft refused(const QString& message) {
    WeavingDraft draft;
    draft.refusal = message;
    return draft;
}

} // namespace

WeavingDraft weavingDraft(const DraftRequest& request) {
    const QList<DraftStripe>& stripes = request.stripes;
    if (stripes.isEmpty()) {
        return refused(QStringLiteral("the sett has no stripes to weave."));
    }
    if (stripes.size() > DesignState::kSlotCount) {
        return refused(QStringLiteral("the sett has %1 stripes; a sett holds at most %2.")
                           .arg(stripes.size())
                           .arg(DesignState::kSlotCount));
    }
    for (qsizetype i = 0; i < stripes.size(); ++i) {
        if (stripes[i].count < 0) {
            return refused(QStringLiteral("stripe %1 has a negative thread count.").arg(i + 1));
        }
    }
    if (request.repeats < 1) {
        return refused(QStringLiteral("the number of repeats must be at least 1."));
    }

    const QList<qsizetype> order = repeatOrder(stripes.size());
    long long perRepeat = 0;
    for (const qsizetype i : order) {
        perRepeat += stripes[i].count;
    }
    if (perRepeat == 0) {
        return refused(QStringLiteral("every stripe has a thread count of 0, so there are no "
                                      "threads to weave."));
    }
    // Checked in two steps so that neither sum nor product can overflow, whatever the counts.
    if (perRepeat > kMostDraftThreads) {
        return refused(QStringLiteral("one repeat of the sett has %1 threads each way, more than "
                                      "the %2 a draft may hold.")
                           .arg(perRepeat)
                           .arg(kMostDraftThreads));
    }
    const long long threads = perRepeat * request.repeats;
    if (threads > kMostDraftThreads) {
        return refused(QStringLiteral("%1 repeats of %2 threads make %3 threads each way, more "
                                      "than the %4 a draft may hold; weave fewer repeats.")
                           .arg(request.repeats)
                           .arg(perRepeat)
                           .arg(threads)
                           .arg(kMostDraftThreads));
    }

    // Colour numbers in the order the threads first use them, so the first thread has colour 1;
    // a stripe without threads uses none.
    const QList<Rgb> shaded = shadedColours(stripes, request.shadeSteps);
    QList<Rgb> table;
    QList<qsizetype> colourOf(stripes.size(), 0);
    for (qsizetype i = 0; i < stripes.size(); ++i) {
        if (stripes[i].count == 0) {
            continue;
        }
        qsizetype at = table.indexOf(shaded[i]);
        if (at < 0) {
            at = table.size();
            table.append(shaded[i]);
        }
        colourOf[i] = at + 1;
    }

    Section text("TEXT");
    text.add("Title", oneLine(request.title));
    Section weaving("WEAVING");
    weaving.add("Shafts", QByteArray::number(kShafts))
        .add("Treadles", QByteArray::number(kShafts))
        .add("Rising Shed", "true");
    const auto threadsSection = [&](const QByteArray& name) {
        Section s(name);
        s.add("Threads", QByteArray::number(threads))
            .add("Color", "1")
            .add("Units", "Centimeters")
            .add("Spacing", kSpacing)
            .add("Thickness", kSpacing);
        return s;
    };
    Section palette("COLOR PALETTE");
    palette.add("Entries", QByteArray::number(table.size()))
        .add("Form", "RGB")
        .add("Range", "0,255");
    Section colours("COLOR TABLE");
    for (qsizetype n = 0; n < table.size(); ++n) {
        const Rgb& c = table[n];
        colours.add(QByteArray::number(n + 1), QByteArray::number(c.red) + ',' +
                                                   QByteArray::number(c.green) + ',' +
                                                   QByteArray::number(c.blue));
    }
    Section tieUp("TIEUP");
    for (int treadle = 1; treadle <= kShafts; ++treadle) {
        QByteArrayList raised;
        for (int k = 0; k < kShaftsPerTreadle; ++k) {
            raised.append(QByteArray::number((treadle - 1 + k) % kShafts + 1));
        }
        tieUp.add(QByteArray::number(treadle), raised.join(','));
    }

    // Warp and weft follow the same sett thread for thread: thread i of the warp is threaded on
    // its shaft as pick i of the weft is woven with its treadle, and both take the same colour.
    Section threading("THREADING");
    Section treadling("TREADLING");
    Section warpColours("WARP COLORS");
    Section weftColours("WEFT COLORS");
    long long thread = 0;
    for (int repeat = 0; repeat < request.repeats; ++repeat) {
        for (const qsizetype i : order) {
            for (int k = 0; k < stripes[i].count; ++k) {
                ++thread;
                const long long step = (thread - 1) % kShafts + 1;
                threading.add(thread, step);
                treadling.add(thread, step);
                warpColours.add(thread, colourOf[i]);
                weftColours.add(thread, colourOf[i]);
            }
        }
    }

    const QList<Section> sections{text,
                                  weaving,
                                  threadsSection("WARP"),
                                  threadsSection("WEFT"),
                                  palette,
                                  colours,
                                  threading,
                                  tieUp,
                                  treadling,
                                  warpColours,
                                  weftColours};
    Section wif("WIF");
    wif.add("Version", "1.1")
        .add("Date", oneLine(request.date))
        .add("Developers", oneLine(request.contact))
        .add("Source Program", oneLine(request.programName))
        .add("Source Version", oneLine(request.programVersion));
    Section contents("CONTENTS");
    for (const Section& s : sections) {
        contents.add(s.name(), "true");
    }

    WeavingDraft draft;
    draft.bytes = wif.text() + "\r\n" + contents.text();
    for (const Section& s : sections) {
        draft.bytes += "\r\n" + s.text();
    }
    return draft;
}

} // namespace loomara
