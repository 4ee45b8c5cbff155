// How fast the forms server answers, and what its work costs the command engine.
//  - BM_FormsPage: one form page with placeholders, request text in, page out (no socket).
//  - BM_FormsLoopback: the real listener on loopback while a terminal polls the built-in simulator; a client
//    thread sends requests one after another while the engine keeps polling. Counters: requests per second,
//    99th-percentile latency, and the largest delay of the engine's 60 ms tick beyond its period, with and without the
//    request load.
#include "../tests/reporting/fake_forms_backend.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "link/imain_form.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "reporting/forms_server.h"
#include "reporting/forms_server_processing.h"
#include "status/module_context.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace tessaro;

namespace {
const QByteArray kForm = R"(<!DOCTYPE html><html><head><title>Position report</title></head><body>
<form method="post" action="/TXMESSAGE"><input type="hidden" name="MSGSUBJECT" value="Position report">
<p>From <%=REQUESTSHIPNAME%>, mobile number <%=REQUESTMOBILENO%></p>
<input name="Position" value="<%=REQUESTPOSITION%>"><input name="Speed" value="<%=REQUESTSPEED%>">
<input name="Course" value="<%=REQUESTCOURSE%>"><input name="Time" value="<%=REQUESTUTCTIME%>">
<p>Served by <%=REQUESTSERVERIP%>:<%=REQUESTSERVERPORT%> at <%=REQUESTLOCALTIME%></p>
)" + QByteArray(4000, ' ') +
                         "</form></body></html>";

struct FormsData {
    QTemporaryDir dir;
    QString data = dir.path() + QStringLiteral("/");
    SystemClock clock;
    CConfiguration config{data, false, data + QStringLiteral("settings.ini")};
    FakeFormsBackend backend;
    cHttpServerProcessing processing{config, backend, clock};

    FormsData() {
        QDir().mkpath(data + QStringLiteral("html"));
        QFile f(data + QStringLiteral("html/position_report.htm"));
        if (f.open(QIODevice::WriteOnly))
            f.write(kForm);
        config.LoadIni();
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"), true);
    }
};

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t i = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[i];
}

// Runs the event loop for durationMs while recording how late the terminal's 60 ms tick comes.
struct TickWatch {
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 worstLateMs = 0;
    void onTick() {
        const qint64 now = clock.elapsed();
        if (last >= 0)
            worstLateMs = std::max(worstLateMs, now - last - 60);
        last = now;
    }
};

void runLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
}
} // namespace

static void BM_FormsPage(benchmark::State& state) {
    FormsData env;
    const QString request = QStringLiteral("GET /position_report.htm HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(env.processing.ProcessData(request));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormsPage);

static void BM_FormsLoopback(benchmark::State& state) {
    const qint64 loadMs = state.range(0);
    FormsData env;
    sim::MesSimulator simulator;
    if (!simulator.listen()) {
        state.SkipWithError("the simulator cannot listen");
        return;
    }
    CSession session;
    NullMainForm form;
    CTerminal terminal(env.config, session, form, env.clock);
    CInfo info(terminal.infoLog(), terminal.notifier());
    ModuleContext context(terminal, session, info);
    StatusModule status(session);
    context.attach(status);
    TerminalOptions options;
    options.connect = QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort());
    if (!terminal.start(options).ok) {
        state.SkipWithError("the terminal did not start");
        return;
    }
    cFormsServer server(env.processing, nullptr);
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("the forms server cannot listen");
        return;
    }
    const quint16 port = server.serverPort();
    TickWatch ticks;
    ticks.clock.start();
    QObject::connect(&terminal.timer(TerminalTimer::Timer1), &QTimer::timeout, &server, [&ticks] { ticks.onTick(); });
    int commandsWritten = 0; // shows that the engine really talked to the simulator meanwhile
    QObject::connect(&terminal.engine(), &CommandEngine::lineWritten, &server,
                     [&commandsWritten] { ++commandsWritten; });

    // The LAN sequence connects and starts the terminal program first; measure only once replies flow.
    runLoopUntil([&session] { return session.MesConnected(); }, 20000);
    if (!session.MesConnected()) {
        state.SkipWithError("the terminal did not reach the simulator");
        return;
    }
    for (auto _ : state) {
        // Baseline: the engine alone, for as long as the load will roughly take.
        ticks.last = -1;
        ticks.worstLateMs = 0;
        QTimer idlePoller;
        QObject::connect(&idlePoller, &QTimer::timeout, &server,
                         [&terminal] { terminal.QueueCommand(QStringLiteral("st -l")); });
        idlePoller.start(100);
        runLoopUntil([] { return false; }, int(loadMs));
        idlePoller.stop();
        const qint64 baselineLate = ticks.worstLateMs;

        ticks.last = -1;
        ticks.worstLateMs = 0;
        commandsWritten = 0;
        std::vector<double> latencies;
        std::atomic<bool> done{false};
        std::atomic<bool> failed{false};
        // Keep the engine busy with the keep-alive status poll for the whole load, as a connected run is.
        QTimer poller;
        QObject::connect(&poller, &QTimer::timeout, &server,
                         [&terminal] { terminal.QueueCommand(QStringLiteral("st -l")); });
        poller.start(100);
        QElapsedTimer wall;
        wall.start();
        std::thread client([&] {
            // The client side blocks in its own thread; the server's thread only runs its event loop.
            QElapsedTimer load;
            load.start();
            while (load.elapsed() < loadMs) {
                QElapsedTimer t;
                t.start();
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, port);
                if (!socket.waitForConnected(2000)) {
                    failed = true;
                    break;
                }
                socket.write("GET /position_report.htm HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
                QByteArray answer;
                while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(2000))
                    answer += socket.readAll();
                answer += socket.readAll();
                if (!answer.startsWith("HTTP/1.1 200 OK")) {
                    failed = true;
                    break;
                }
                latencies.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            done = true;
        });
        runLoopUntil([&] { return done.load(); }, int(loadMs) + 30000);
        client.join();
        poller.stop();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;

        state.counters["requests_per_s"] = double(latencies.size()) / seconds;
        state.counters["p99_latency_ms"] = percentile(latencies, 0.99);
        state.counters["tick_late_max_ms"] = double(ticks.worstLateMs);
        state.counters["tick_late_max_idle_ms"] = double(baselineLate);
        state.counters["engine_commands"] = commandsWritten;
        state.counters["mes_connected"] = session.MesConnected() ? 1 : 0;
        state.counters["tick_delay_added_ms"] = double(std::max<qint64>(0, ticks.worstLateMs - baselineLate));
        if (failed || latencies.empty())
            state.SkipWithError("some requests were not answered");
    }
    terminal.finishShutDown();
}
// Argument: how long the request load runs, in milliseconds (the idle baseline runs as long).
BENCHMARK(BM_FormsLoopback)->Arg(3000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
