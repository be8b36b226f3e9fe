#pragma once

#include "io/QtPictureLoader.h"
#include "support/FakeCommonDialog.h"
#include "support/RecordingPrinter.h"
#include "ui/Loomara.h"
#include "ui/PictureBox.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include <ostream>

// Readable failures for the Qt values the window tests compare.
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ")";
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << "QSize(" << s.width() << " x " << s.height() << ")";
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace loomara::testing {

// Keeps the warnings the window would have shown, instead of blocking on a modal box.
class RecordedMessages final : public MessageBoxes {
public:
    void warning(QWidget*, const QString& title, const QString& text) override {
        titles.push_back(title);
        warnings.push_back(text);
    }
    QStringList titles;
    QStringList warnings;
};

// The real main window, shown on the offscreen platform and driven through its widgets. Its Cd1
// answers from the test's script and its printer records the pages; pictures are read from
// real files.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto recorded = std::make_unique<RecordedMessages>();
        messages = recorded.get();
        window = std::make_unique<Loomara>(std::move(recorded), IoPlatform{cd1, loader, printer});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        handlers = std::make_unique<QSignalSpy>(window.get(), &Loomara::handlerRan);
    }

    template <typename T = QWidget> T* get(const QString& name) const {
        T* widget = qobject_cast<T*>(window->control(name));
        EXPECT_NE(widget, nullptr) << qPrintable(name);
        return widget;
    }
    QLineEdit* text(const QString& name) const { return get<QLineEdit>(name); }
    PictureBox* picture(const QString& name) const { return get<PictureBox>(name); }

    void click(const QString& name) const { QTest::mouseClick(get(name), Qt::LeftButton); }

    // Replaces the box's text by typing, as a user would.
    void type(const QString& name, const QString& typed) const {
        QLineEdit* box = text(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, typed);
    }

    // Through the widgets: a white background, then a sett of four stripes (red 12, black 4,
    // green 12, yellow 12) locked in slots 1 to 4.
    void enterFourStripeSett() const {
        click("Picture181"); // "w", white
        click("Picture246");
        const struct {
            const char* swatch;
            const char* count;
        } sett[] = {
            {"Picture159", "12"}, {"Picture161", "4"}, {"Picture164", "12"}, {"Picture173", "12"}};
        for (int k = 1; k <= 4; ++k) {
            click(sett[k - 1].swatch);
            type(QStringLiteral("Text%1").arg(k), sett[k - 1].count);
            click(QStringLiteral("Picture%1").arg(135 + k));
        }
    }

    // The names of the handlers that ran since the last call.
    QStringList takeHandlers() const {
        QStringList names;
        for (const QList<QVariant>& call : *handlers) {
            names << call.at(0).toString();
        }
        handlers->clear();
        return names;
    }

    // Declared before the window, which uses them until it is gone.
    FakeCommonDialog cd1;
    QtPictureLoader loader;
    RecordingPrinter printer;
    std::unique_ptr<Loomara> window;
    RecordedMessages* messages = nullptr;
    std::unique_ptr<QSignalSpy> handlers;
};

inline QColor rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

} // namespace loomara::testing
