#include "formats/WeavingDraft.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <utility>

namespace loomara {

namespace {

// 20 threads to the centimetre, a usual sett for fine worsted; warp and weft are balanced.
constexpr double kThreadsPerMetre = 2000;

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
        appendNumber(key);
        body_.append('=');
        appendNumber(value);
        body_.append("\r\n", 2);
        return *this;
    }

    const QByteArray& name() const { return name_; }
    QByteArray text() const { return '[' + name_ + "]\r\n" + body_; }

private:
    void appendNumber(long long number) {
        std::array<char, 24> digits{}; // a long long has at most 20 characters
        const std::to_chars_result written =
            std::to_chars(digits.data(), digits.data() + digits.size(), number);
        body_.append(digits.data(), written.ptr - digits.data());
    }

    QByteArray name_;
    QByteArray body_;
};

WeavingDraft refused(const QString& message) {
    WeavingDraft draft;
    draft.refusal = message;
    return draft;
}

// The colour number of every thread, 1 for the first entry of `table`; a colour not yet in the
// table joins it, so that colours are numbered in the order the threads first use them.
QList<qsizetype> colourNumbers(const QList<Rgb>& colours, QList<Rgb>& table) {
    QList<qsizetype> numbers;
    numbers.reserve(colours.size());
    qsizetype last = 0;
    for (qsizetype i = 0; i < colours.size(); ++i) {
        if (i == 0 || colours[i] != colours[i - 1]) {
            last = table.indexOf(colours[i]);
            if (last < 0) {
                last = table.size();
                table.append(colours[i]);
            }
        }
        numbers.append(last + 1);
    }
    return numbers;
}

Section threadsSection(const QByteArray& name, qsizetype count, const QByteArray& spacing) {
    Section s(name);
    s.add("Threads", QByteArray::number(count))
        .add("Color", "1")
        .add("Units", "Centimeters")
        .add("Spacing", spacing)
        .add("Thickness", spacing);
    return s;
}

Section colourTable(const QList<Rgb>& table) {
    Section colours("COLOR TABLE");
    for (qsizetype n = 0; n < table.size(); ++n) {
        const Rgb& c = table[n];
        colours.add(QByteArray::number(n + 1), QByteArray::number(c.red) + ',' +
                                                   QByteArray::number(c.green) + ',' +
                                                   QByteArray::number(c.blue));
    }
    return colours;
}

Section tieUp(const Weave& weave) {
    Section tieUp("TIEUP");
    for (int treadle = 1; treadle <= weave.treadles(); ++treadle) {
        QByteArrayList raised;
        for (const int shaft : weave.tieUp[treadle - 1]) {
            raised.append(QByteArray::number(shaft));
        }
        tieUp.add(QByteArray::number(treadle), raised.join(','));
    }
    return tieUp;
}

// The section that gives each thread its shaft or treadle, and the one that gives its colour.
std::pair<Section, Section> threadSections(const QByteArray& place, const QByteArray& colour,
                                           const QList<qsizetype>& numbers,
                                           const QList<int>& places) {
    std::pair<Section, Section> sections{Section(place), Section(colour)};
    for (qsizetype thread = 1; thread <= numbers.size(); ++thread) {
        sections.first.add(thread, places[thread - 1]);
        sections.second.add(thread, numbers[thread - 1]);
    }
    return sections;
}

// The draft's first two sections: what wrote it, and which sections follow.
QByteArray draftHeading(const DraftCredits& credits, const QList<Section>& sections) {
    Section wif("WIF");
    wif.add("Version", "1.1")
        .add("Date", oneLine(credits.date))
        .add("Developers", oneLine(credits.contact))
        .add("Source Program", oneLine(credits.programName))
        .add("Source Version", oneLine(credits.programVersion));
    Section contents("CONTENTS");
    for (const Section& s : sections) {
        contents.add(s.name(), "true");
    }
    return wif.text() + "\r\n" + contents.text();
}

} // namespace

WeavingDraft weavingDraft(const ClothThreads& threads, const QString& title,
                          const DraftCredits& credits, double threadsPerMetre) {
    if (threads.warp.isEmpty() || threads.weft.isEmpty()) {
        return refused(QStringLiteral("there are no threads to weave."));
    }
    if (threads.threading.size() != threads.warp.size() ||
        threads.treadling.size() != threads.weft.size()) {
        return refused(QStringLiteral("the threading and treadling do not match the threads."));
    }
    const Weave& weave = threads.weave;
    QList<Rgb> table;
    const QList<qsizetype> warpNumbers = colourNumbers(threads.warp, table);
    const QList<qsizetype> weftNumbers = colourNumbers(threads.weft, table);

    Section text("TEXT");
    text.add("Title", oneLine(title)).add("Notes", "Woven as " + oneLine(weave.title) + '.');
    Section weaving("WEAVING");
    weaving.add("Shafts", QByteArray::number(weave.shafts))
        .add("Treadles", QByteArray::number(weave.treadles()))
        .add("Rising Shed", "true");
    const QByteArray spacing = QByteArray::number(
        100 / (threadsPerMetre > 0 ? threadsPerMetre : kThreadsPerMetre), 'g', 6);
    Section palette("COLOR PALETTE");
    palette.add("Entries", QByteArray::number(table.size()))
        .add("Form", "RGB")
        .add("Range", "0,255");
    const auto [threading, warpColours] =
        threadSections("THREADING", "WARP COLORS", warpNumbers, threads.threading);
    const auto [treadling, weftColours] =
        threadSections("TREADLING", "WEFT COLORS", weftNumbers, threads.treadling);

    const QList<Section> sections{text,
                                  weaving,
                                  threadsSection("WARP", threads.warp.size(), spacing),
                                  threadsSection("WEFT", threads.weft.size(), spacing),
                                  palette,
                                  colourTable(table),
                                  threading,
                                  tieUp(weave),
                                  treadling,
                                  warpColours,
                                  weftColours};
    WeavingDraft draft;
    draft.bytes = draftHeading(credits, sections);
    for (const Section& s : sections) {
        draft.bytes += "\r\n" + s.text();
    }
    return draft;
}

} // namespace loomara
