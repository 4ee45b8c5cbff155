#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace tessaro::bench {

// Runs the event loop until pred holds or ms pass (a benchmark program may wait; the program never does).
inline bool waitFor(const std::function<bool()>& pred, int ms) {
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (pred() || t.elapsed() > ms)
            loop.quit();
    });
    check.start(1);
    if (!pred())
        loop.exec();
    return pred();
}

// A quick run for the test command: --quick, TESSARO_BENCH_QUICK=1, or Google Benchmark's short budget.
inline bool isQuickRun(const QStringList& args) {
    return qEnvironmentVariableIntValue("TESSARO_BENCH_QUICK") == 1 || args.contains(QLatin1String("--quick")) ||
           !args.filter(QStringLiteral("--benchmark_min_time")).isEmpty();
}

// The positive number after an option ("--messages 30"), or fallback when the option is not given.
inline int intOption(const QStringList& args, QLatin1String name, int fallback) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? std::max(1, args[i + 1].toInt()) : fallback;
}

} // namespace tessaro::bench
