#include "Bench.h"

#include <QProcess>

namespace loomara::bench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::optional<double> startupMs(const QString& binary, const QStringList& arguments,
                                const QProcessEnvironment& extra) {
    using Clock = std::chrono::steady_clock;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(LOOMARA_BENCH_PLUGINS));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("loomarastartupprobe"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    env.insert(extra);
    program.setProcessEnvironment(env);
    const auto started = Clock::now().time_since_epoch();
    program.start(binary, arguments);
    if (!program.waitForFinished(30000)) {
        program.kill();
        program.waitForFinished();
        return std::nullopt;
    }
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("shown_ns: "));
    if (at < 0) {
        return std::nullopt;
    }
    bool ok = false;
    const long long shownNs = out.mid(at + 10).trimmed().section('\n', 0, 0).toLongLong(&ok);
    if (!ok) {
        return std::nullopt;
    }
    const long long startedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(started).count();
    return static_cast<double>(shownNs - startedNs) / 1e6;
}

} // namespace loomara::bench
