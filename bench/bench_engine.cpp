// The command engine against the built-in simulator: 1,000 commands one after another, with the simulator
// answering as fast as it can (its replies in pieces, then each in one piece), then paced like a 115200 baud
// serial line. Prints, per run, the time per command (the whole run divided by its commands, and the median
// from one write to the next) in milliseconds and in engine ticks, the median gap from the simulator sending
// the prompt that ends a reply to the next command arriving there, and the pure wire time of the bytes moved
// (10 bits a byte at 115200 baud) beside the run's time.
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
    int ticks = 0;
    double medianMs = 0; // write to next write
    double medianGapMs = 0;
    double worstGapMs = 0;
    double totalMs = 0;
    qint64 wireBytes = 0;
};

RunResult run(int baud, bool chunked, int commands, int tickMs) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/");
    CConfiguration config(path, false, path + QStringLiteral("settings.ini"));
    config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"));
    SessionFlags session;
    SystemClock clock;
    NullMainForm form;
    sim::SimOptions options;
    options.baud = baud;
    options.chunked = chunked;
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
    bool measuring = false;
    QObject::connect(&terminal.timer(TerminalTimer::Timer1), &QTimer::timeout, [&] { ticks += measuring ? 1 : 0; });
    std::vector<double> durations;
    std::vector<double> gaps;
    QElapsedTimer clockMs;
    qint64 lastWriteNs = -1;
    qint64 promptSentNs = -1;
    int written = 0;
    int answered = 0;
    QObject::connect(&engine, &CommandEngine::lineWritten, [&](const QString& line) {
        r.wireBytes += line.size(); // with its line end
        ++written;
        const qint64 t = clockMs.nsecsElapsed();
        if (lastWriteNs >= 0)
            durations.push_back(double(t - lastWriteNs) / 1e6);
        lastWriteNs = t;
    });
    QObject::connect(&engine, &CommandEngine::replyCompleted, [&](const QString& reply) {
        r.wireBytes += reply.size();
        ++answered;
    });
    // The simulator's side: from the prompt that ends a reply leaving it to the next command reaching it.
    QObject::connect(&simulator, &sim::MesSimulator::shellBytesSent, [&](const QByteArray& bytes) {
        if (measuring && bytes.endsWith("can0:/$ "))
            promptSentNs = clockMs.nsecsElapsed();
    });
    QObject::connect(&simulator, &sim::MesSimulator::shellBytesReceived, [&](const QByteArray&) {
        if (measuring && promptSentNs >= 0 && written < commands)
            gaps.push_back(double(clockMs.nsecsElapsed() - promptSentNs) / 1e6);
        promptSentNs = -1;
    });

    static const char* const kCommands[] = {"ti -u", "st -s", "ver", "se -p", "st -i"};
    for (int i = 0; i < commands; ++i)
        engine.QueueCommand(QLatin1String(kCommands[i % 5]), true);
    clockMs.start();
    measuring = true;
    const bool done = waitFor([&] { return answered >= commands && idle(); }, commands * 20 * tickMs + 30000);
    measuring = false;
    r.totalMs = double(clockMs.nsecsElapsed()) / 1e6;
    r.ok = done && written == commands;
    r.commands = answered;
    r.ticks = ticks;
    r.medianMs = median(durations);
    r.medianGapMs = median(gaps);
    r.worstGapMs = gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    return r;
}

void print(const char* name, const RunResult& r, int tickMs) {
    const double perCommand = r.commands > 0 ? r.totalMs / r.commands : 0;
    const double wireMs = double(r.wireBytes) * 10.0 * 1000.0 / 115200;
    std::printf("%-16s %s commands=%d  ms/command=%.1f (%.2f ticks; median write to write %.1f ms)  "
                "prompt-to-next-command median=%.1f ms worst=%.1f ms  total=%.2f s  bytes=%lld wire@115200=%.2f s "
                "time/wire=%.1f\n",
                name, r.ok ? "ok  " : "FAIL", r.commands, perCommand, perCommand / tickMs, r.medianMs, r.medianGapMs,
                r.worstGapMs, r.totalMs / 1000.0, static_cast<long long>(r.wireBytes), wireMs / 1000.0,
                wireMs > 0 ? r.totalMs / wireMs : 0.0);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int commands =
        tessaro::bench::intOption(args, QLatin1String("--commands"), tessaro::bench::isQuickRun(args) ? 5 : 1000);
    const int tickMs = tessaro::bench::intOption(args, QLatin1String("--tick-ms"), 60);
    std::printf("bench_engine: %d commands, engine tick %d ms\n", commands, tickMs);
    const RunResult unpaced = run(0, true, commands, tickMs);
    print("unpaced", unpaced, tickMs);
    const RunResult whole = run(0, false, commands, tickMs);
    print("unpaced,no-chunks", whole, tickMs);
    const RunResult paced = run(115200, true, commands, tickMs);
    print("115200", paced, tickMs);
    return unpaced.ok && whole.ok && paced.ok ? 0 : 1;
}
