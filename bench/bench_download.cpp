// Downloading received messages from the built-in simulator paced like a 115200 baud serial line: 100
// messages of 2 KB listed, fetched, checked, stored, indexed and deleted by the full message cycle, twice:
// with the line as the only pause, then with the simulator's pause between the pieces of a reply. Prints the
// time, the bytes moved both ways, the ratio of the time to their pure wire time (10 bits a byte), the
// program's share (from the prompt that ends a reply to the next command reaching the simulator) and the
// time from one command to the next by kind.
//
//   bench_download [--quick] [--messages N] [--tick-ms MS]
// --quick (or TESSARO_BENCH_QUICK=1, or Google Benchmark's --benchmark_min_time): 3 messages, for the test command. The
// engine's tick is 60 ms as in the program unless --tick-ms says otherwise.
#include "app/runtime.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "link/imain_form.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "messaging/index_file.h"
#include "status/session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

using namespace tessaro;
using tessaro::bench::waitFor;

namespace {

constexpr int kBaud = 115200;
constexpr int kSize = 2048;

bool run(int messages, int tickMs, int pieceDelayMs) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/");
    SystemClock clock;
    RuntimeOptions runtimeOptions;
    runtimeOptions.dataPath = path;
    runtimeOptions.settingsFile = path + QStringLiteral("settings.ini");
    runtimeOptions.acceptDisclaimer = true;
    runtimeOptions.formsPort = 0;
    TessaroRuntime runtime(runtimeOptions, clock);
    CSession& session = runtime.session();
    NullMainForm form;
    sim::SimOptions options;
    options.baud = kBaud;
    options.chunkDelayMs = pieceDelayMs;
    sim::MesSimulator simulator(options);
    if (!simulator.listen()) {
        std::printf("bench_download: the simulator cannot listen\n");
        return false;
    }
    runtime.attach(form);
    CTerminal& terminal = runtime.terminal();
    terminal.timer(TerminalTimer::Timer1).setInterval(tickMs);
    terminal.timer(TerminalTimer::Winsock).setInterval(100); // the connect sequence counts ticks; not measured
    terminal.timer(TerminalTimer::Timer2).setInterval(24 * 3600 * 1000); // the test below starts the cycle
    runtime.setTerminalOptions({QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort()), {}, false});
    if (!runtime.start().ok)
        return false;
    CommandEngine& engine = terminal.engine();
    const auto idle = [&] { return engine.queue().isEmpty() && engine.EngineState() == CommandEngine::Idle; };
    if (!waitFor(
            [&] { return terminal.lan().LanConnectState() == LanState::Linked && session.MesConnected() && idle(); },
            30000)) {
        std::printf("bench_download: no link to the simulator\n");
        return false;
    }
    for (int i = 0; i < messages; ++i)
        simulator.control(QStringLiteral("message size=%1").arg(kSize));

    qint64 bytes = 0;
    // Time from writing a command to writing the next, by the command's first word: where the time goes.
    std::map<QString, std::vector<double>> perKind;
    QString lastKind;
    qint64 lastWriteNs = -1;
    QElapsedTimer elapsed;
    QObject::connect(&engine, &CommandEngine::lineWritten, [&](const QString& line) {
        bytes += line.size();
        const qint64 t = elapsed.nsecsElapsed();
        if (lastWriteNs >= 0)
            perKind[lastKind].push_back(double(t - lastWriteNs) / 1e6);
        lastWriteNs = t;
        lastKind = line.section(QLatin1Char(' '), 0, 0).trimmed();
    });
    QObject::connect(&engine, &CommandEngine::replyCompleted, [&](const QString& reply) { bytes += reply.size(); });
    // The program's share of the time: from the simulator sending the prompt that ends a reply to the next
    // command reaching it. The rest is the line and the simulator.
    qint64 promptSentNs = -1;
    std::vector<double> gaps;
    QObject::connect(&simulator, &sim::MesSimulator::shellBytesSent, [&](const QByteArray& sent) {
        if (sent.endsWith("can0:/$ "))
            promptSentNs = elapsed.nsecsElapsed();
    });
    QObject::connect(&simulator, &sim::MesSimulator::shellBytesReceived, [&](const QByteArray&) {
        if (promptSentNs >= 0)
            gaps.push_back(double(elapsed.nsecsElapsed() - promptSentNs) / 1e6);
        promptSentNs = -1;
    });
    const QString inIdx = runtime.messaging().inbox().inIdxPath();
    elapsed.start();
    engine.QueueCommand(QStringLiteral("ls IN.*")); // what the poll queues
    const bool done =
        waitFor([&] { return idle() && !session.ProcessingMsgs() && ReadIndexLines(inIdx).size() >= messages; },
                messages * 5000 + 30000);
    const double ms = double(elapsed.nsecsElapsed()) / 1e6;
    const double wireMs = double(bytes) * 10.0 * 1000.0 / kBaud;
    const qsizetype stored = ReadIndexLines(inIdx).size();
    std::printf(
        "bench_download: %s %d messages of %d bytes at %d baud, engine tick %d ms, simulator pause between "
        "pieces %d ms: stored=%lld  time=%.2f s  bytes=%lld  wire=%.2f s  time/wire=%.2f  per message=%.0f ms\n",
        done ? "ok" : "FAIL", messages, kSize, kBaud, tickMs, pieceDelayMs, static_cast<long long>(stored), ms / 1000.0,
        static_cast<long long>(bytes), wireMs / 1000.0, ms / wireMs, ms / messages);
    std::sort(gaps.begin(), gaps.end());
    double gapSum = 0;
    for (double g : gaps)
        gapSum += g;
    if (!gaps.empty())
        std::printf("  prompt to next command: median=%.0f ms  worst=%.0f ms  total=%.2f s\n", gaps[gaps.size() / 2],
                    gaps.back(), gapSum / 1000.0);
    for (auto& [kind, times] : perKind) {
        std::sort(times.begin(), times.end());
        std::printf("  %-8s count=%zu  median=%.0f ms  worst=%.0f ms\n", qPrintable(kind), times.size(),
                    times[times.size() / 2], times.back());
    }
    std::fflush(stdout);
    return done;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int messages =
        tessaro::bench::intOption(args, QLatin1String("--messages"), tessaro::bench::isQuickRun(args) ? 3 : 100);
    const int tickMs = tessaro::bench::intOption(args, QLatin1String("--tick-ms"), 60);
    // First the line alone: its slices already bring every reply in pieces. Then with the simulator's own
    // pause between the pieces of a reply (echo, 512-byte parts of a body, prompt), which is the
    // transceiver's time, neither the line's nor the program's.
    const bool lineOnly = run(messages, tickMs, 0);
    const bool withPauses = run(messages, tickMs, sim::SimOptions().chunkDelayMs);
    return lineOnly && withPauses ? 0 : 1;
}
