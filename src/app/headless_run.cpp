#include "app/headless_run.h"

#include "app/command_line.h"
#include "app/headless_main_form.h"
#include "app/headless_send.h"
#include "app/in_process_simulator.h"
#include "app/run_setup.h"
#include "app/runtime.h"
#include "app/signal_watcher.h"
#include "config/text_util.h"
#include "messaging/transmission.h"
#include "status/status_summary.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace tessaro {

bool SimulatorAvailable() {
    return InProcessSimulator::available();
}

namespace {
// --send met a text the message code page cannot carry.
constexpr int kUncarriedExitCode = 4;
// --send gave up: the transceiver was not logged in to an ocean region in time.
constexpr int kNotReadyExitCode = 5;
// --send was refused: a transmit password is set and was not given, or was wrong.
constexpr int kTransmitPasswordExitCode = 6;
QString lineEndName(const QString& lineEnd) {
    if (lineEnd == QLatin1String("\n"))
        return QStringLiteral("LF");
    if (lineEnd == QLatin1String("\r\n"))
        return QStringLiteral("CR LF");
    return QStringLiteral("CR CR LF");
}

QString traceText(const QString& text) {
    QString flat = FlattenText(text).trimmed();
    if (flat.size() > 200)
        flat = flat.left(200) + QStringLiteral(" ...");
    return flat;
}
} // namespace

int RunHeadless(QCoreApplication& app, const CommandLine& cl) {
    SystemClock clock;
    SendRequest sendRequest;
    if (cl.send) {
        QString error;
        if (!ReadSendText(cl.textFile, &sendRequest.text, &error)) {
            std::fprintf(stderr, "tessaro: %s\n", error.toLocal8Bit().constData());
            return 2;
        }
        sendRequest.type = cl.sendType;
        sendRequest.address = cl.sendAddress;
        sendRequest.subject = cl.subject;
    }
    InProcessSimulator simulator;
    RuntimeOptions options;
    QString error;
    if (const std::optional<int> code = PrepareRun(cl, simulator, &options, &error)) {
        std::fprintf(stderr, "tessaro: %s\n", error.toLocal8Bit().constData());
        return *code;
    }

    TessaroRuntime runtime(options, clock);
    CConfiguration& config = runtime.config();
    HeadlessMainForm form(config.DataPath(), clock);
    form.print(QStringLiteral("Tessaro %1 (headless)").arg(QLatin1String(TESSARO_VERSION)));
    form.print(QStringLiteral("Data folder: %1").arg(config.DataPath()));
    form.print(QStringLiteral("Settings store: %1").arg(config.settingsLocation()));
    if (cl.simulator)
        form.print(QStringLiteral("Simulator: listening on %1").arg(options.terminal.connect));

    if (cl.send) {
        // Read once and removed, so that no program started later (slptool) inherits it.
        const bool givenSet = qEnvironmentVariableIsSet(kTransmitPasswordVariable);
        const QString given = qEnvironmentVariable(kTransmitPasswordVariable);
        qunsetenv(kTransmitPasswordVariable);
        const QString refusal = SendTransmitPasswordRefusal(config, given, givenSet);
        if (!refusal.isEmpty()) {
            form.printError(refusal);
            return kTransmitPasswordExitCode;
        }
    }

    runtime.attach(form);
    CTerminal& terminal = runtime.terminal();
    CSession& session = runtime.session();
    std::unique_ptr<HeadlessSender> sender;
    int exitCode = 0;
    if (cl.send)
        sender = std::make_unique<HeadlessSender>(
            terminal, session, runtime.messaging(), sendRequest, [&form](const QString& line) { form.print(line); },
            clock);
    if (sender)
        sender->setTimeOutSeconds(cl.sendTimeOutSeconds);
    // A text the code page cannot carry is the caller's to fix: the run ends at once with its own code.
    if (sender)
        QObject::connect(sender.get(), &HeadlessSender::sent, &app, [&](int result, const QString&) {
            if (result != SendResult::Uncarried)
                return;
            exitCode = kUncarriedExitCode;
            terminal.finishShutDown();
        });
    if (sender)
        QObject::connect(sender.get(), &HeadlessSender::gaveUp, &app, [&](const QString&) {
            exitCode = kNotReadyExitCode;
            terminal.finishShutDown();
        });
    FollowStatusSummary(session, [&form](const QString& line) { form.print(line); });
    // The window turns its message indicator red; here the change is a line of its own.
    QObject::connect(&runtime.messaging(), &MessagingModule::indicatorAlarm, &app, [&form](bool alarm) {
        form.print(alarm ? QStringLiteral("ALARM: message indicator red (INFO 552)")
                         : QStringLiteral("Message indicator back to normal"));
    });
    QObject::connect(&runtime.egc(), &EgcModule::egcStored, &app,
                     [&form](const EgcIdxRecord& record, const QString&) { form.egcStored(record); });

    // Hook reports go to ErrorLog.txt and, here, to the output too (the journal under systemd).
    QObject::connect(&runtime.receiveHook(), &ReceiveHook::reported, &app,
                     [&form](const QString& line) { form.print(line); });
    if (const QString hook = runtime.receiveHookCommand(); !hook.isEmpty())
        form.print(QStringLiteral("Receive hook: %1").arg(hook));

    CommandEngine& engine = terminal.engine();
    QObject::connect(&engine, &CommandEngine::lineWritten, &app,
                     [&form](const QString& line) { form.print(QStringLiteral("> ") + traceText(line)); });
    QObject::connect(&engine, &CommandEngine::replyCompleted, &app,
                     [&form](const QString& reply) { form.print(QStringLiteral("< ") + traceText(reply)); });
    QObject::connect(&engine, &CommandEngine::replyTimedOut, &app, [&form](const QString& reply) {
        form.print(QStringLiteral("Reply timed out after: ") + traceText(reply));
    });
    QObject::connect(&engine, &CommandEngine::lineEndLearned, &app, [&form](const QString& lineEnd) {
        form.print(QStringLiteral("Line end learned: ") + lineEndName(lineEnd));
    });

    const StartResult started = runtime.start();
    if (!started.ok) {
        if (!started.message.isEmpty())
            form.printError(started.message);
        return started.exitCode == 0 ? 1 : started.exitCode;
    }
    form.print(terminal.usingLan() ? QStringLiteral("Transport: LAN") : QStringLiteral("Transport: serial"));

    // The first signal closes as the operator's confirmed exit would (downloads finish first); a second
    // one stops at once.
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &app, [&](int) {
        if (terminal.hasFinished())
            return;
        if (terminal.closing()) {
            form.print(QStringLiteral("Second signal: stopping now."));
            terminal.finishShutDown();
        } else {
            terminal.beginShutDown();
        }
    });
    QObject::connect(
        &terminal, &CTerminal::finished, &app, [&app, &exitCode] { app.exit(exitCode); }, Qt::QueuedConnection);
    return app.exec();
}

} // namespace tessaro
