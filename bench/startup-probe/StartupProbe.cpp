// Loaded into the real program by the bench (QT_QPA_GENERIC_PLUGINS), this reports when the
// first window has been exposed and painted, on the monotonic clock the bench also reads, and
// ends the process there: the program itself carries nothing for the bench.

#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class ShownProbe final : public QObject {
public:
    ShownProbe() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType() && !reported_) {
            reported_ = true;
            // The expose paints the window before control returns to the event loop.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("shown_ns: %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

class StartupProbePlugin final : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "StartupProbe.json")

public:
    // The application keeps the object it is given and deletes it when it ends.
    QObject* create(const QString&, const QString&) override { return new ShownProbe; }
};

} // namespace

#include "StartupProbe.moc"
