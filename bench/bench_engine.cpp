// The command engine against the built-in simulator: 1,000 commands one after another, first with the
// simulator answering as fast as it can, then paced like a 115200 baud serial line. Prints, per run, the
// median engine ticks (Timer1 steps) and milliseconds per command, and for the paced run the ratio of its
// time to the pure wire time of the bytes it moved (10 bits a byte).
//
//   bench_engine [--quick] [--commands N] [--tick-ms MS]
// --quick (or TESSARO_BENCH_QUICK=1, or Google Benchmark's --benchmark_min_time): 5 commands, for the test command. The
// engine's tick is 60 ms as in the program unless --tick-ms says otherwise.
#include "config/clock.h"
#include "config/configuration.h"
#include "link/imain_form.h"
#include "link/session_flags.h"
#include "link/terminal.h"
#include "mes_simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace tessaro;
using tessaro::bench::waitFor;

namespace {

template <typename T> T median(std::vector<T> v) {
    if (v.empty())
        return T();
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct RunResult {
    bool ok = false;
    int commands = 0;
    double medianTicks = 0;
    double medianMs = 0;
    double totalMs = 0;
    qint64 wireBytes = 0;
};

RunResult run(int baud, int commands, int tickMs) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/");
    CConfiguration config(path, false, path + QStringLiteral("settings.ini"));
    config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"));
    SessionFlags session;
    SystemClock clock;
    NullMainForm form;
    sim::SimOptions options;
    options.baud = baud;
    sim::MesSimulator simulator(options);
    RunResult r;
    if (!simulator.listen())
        return r;
    CTerminal terminal(config, session, form, clock);
    terminal.timer(TerminalTimer::Timer1).setInterval(tickMs);
    terminal.timer(TerminalTimer::Winsock).setInterval(100); // the connect sequence counts ticks; not measured
    terminal.timer(TerminalTimer::Timer2).setInterval(24 * 3600 * 1000); // no poll bursts in between
    terminal.timer(TerminalTimer::Timer60S).setInterval(24 * 3600 * 1000);
    if (!terminal.start({QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort()), {}, false}).ok)
        return r;
    CommandEngine& engine = terminal.engine();
    const auto idle = [&] { return engine.queue().isEmpty() && engine.EngineState() == CommandEngine::Idle; };
    if (!waitFor(
            [&] { return terminal.lan().LanConnectState() == LanState::Linked && session.MesConnected() && idle(); },
            30000))
        return r;

    int ticks = 0;
    QObject::connect(&terminal.timer(TerminalTimer::Timer1), &QTimer::timeout, [&] { ++ticks; });
    std::vector<int> tickCounts;
    std::vector<double> durations;
    QElapsedTimer clockMs;
    int startTicks = 0;
    qint64 startNs = 0;
    int written = 0;
    int answered = 0;
    QObject::connect(&engine, &CommandEngine::lineWritten, [&](const QString& line) {
        r.wireBytes += line.size(); // with its line end
        ++written;
        startTicks = ticks;
        startNs = clockMs.nsecsElapsed();
    });
    QObject::connect(&engine, &CommandEngine::replyCompleted, [&](const QString& reply) {
        r.wireBytes += reply.size();
        ++answered;
        // From the tick that wrote the command to the one that finished its reply, plus the idle tick
        // that writes the next one: the engine's cost of one command.
        tickCounts.push_back(ticks - startTicks + 1);
        durations.push_back(double(clockMs.nsecsElapsed() - startNs) / 1e6);
    });

    static const char* const kCommands[] = {"ti -u", "st -s", "ver", "se -p", "st -i"};
    for (int i = 0; i < commands; ++i)
        engine.QueueCommand(QLatin1String(kCommands[i % 5]), true);
    clockMs.start();
    const bool done = waitFor([&] { return answered >= commands && idle(); }, commands * 20 * tickMs + 30000);
    r.totalMs = double(clockMs.nsecsElapsed()) / 1e6;
    r.ok = done && written == commands;
    r.commands = answered;
    r.medianTicks = median(tickCounts);
    r.medianMs = median(durations) + tickMs; // the idle tick that writes the next command
    return r;
}

void print(const char* name, int baud, const RunResult& r) {
    std::printf("%-9s %s commands=%d  median ticks/command=%.0f  median ms/command=%.1f  total=%.1f s", name,
                r.ok ? "ok  " : "FAIL", r.commands, r.medianTicks, r.medianMs, r.totalMs / 1000.0);
    if (baud > 0) {
        const double wireMs = double(r.wireBytes) * 10.0 * 1000.0 / baud;
        std::printf("  bytes=%lld  wire=%.2f s  time/wire=%.1f", static_cast<long long>(r.wireBytes), wireMs / 1000.0,
                    r.totalMs / wireMs);
    }
    std::printf("\n");
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    // The test command runs every benchmark with Google Benchmark's short budget; that means quick here too.
    const bool quick = qEnvironmentVariableIntValue("TESSARO_BENCH_QUICK") == 1 ||
                       args.contains(QLatin1String("--quick")) ||
                       !args.filter(QStringLiteral("--benchmark_min_time")).isEmpty();
    int commands = quick ? 5 : 1000;
    int tickMs = 60;
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--commands"))
            commands = std::max(1, args[i + 1].toInt());
        if (args[i] == QLatin1String("--tick-ms"))
            tickMs = std::max(1, args[i + 1].toInt());
    }
    std::printf("bench_engine: %d commands, engine tick %d ms\n", commands, tickMs);
    const RunResult unpaced = run(0, commands, tickMs);
    print("unpaced", 0, unpaced);
    const RunResult paced = run(115200, commands, tickMs);
    print("115200", 115200, paced);
    return unpaced.ok && paced.ok ? 0 : 1;
}
