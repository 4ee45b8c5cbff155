#include "app/headless_run.h"

#include "app/command_line.h"
#include "app/headless_main_form.h"
#include "app/headless_send.h"
#include "app/in_process_simulator.h"
#include "app/modules.h"
#include "app/signal_watcher.h"
#include "config/configuration.h"
#include "config/strings.h"
#include "config/text_util.h"
#include "link/link_settings.h"
#include "link/terminal.h"
#include "reporting/forms_module.h"
#include "status/session.h"
#include "status/status_summary.h"

#include <QCoreApplication>


#include <cstdio>
#include <memory>

namespace tessaro {

bool SimulatorAvailable() {
    return InProcessSimulator::available();
}

namespace {
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
    if (!cl.connect.isEmpty() && !ParseHostPort(cl.connect).ok) {
        std::fprintf(stderr, "tessaro: --connect needs HOST or HOST:PORT (port 1..65535), not \"%s\".\n",
                     cl.connect.toLocal8Bit().constData());
        return 2;
    }
    if (!cl.serial.isEmpty() && ParseSerialTarget(cl.serial).device.isEmpty()) {
        std::fprintf(stderr, "tessaro: --serial needs a device path, for example /dev/ttyUSB0.\n");
        return 2;
    }
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
    const DataPathChoice choice = ResolveDataPath(cl.dataDir, QCoreApplication::applicationDirPath());
    if (!choice.error.isEmpty()) {
        std::fprintf(stderr, "tessaro: %s\n", choice.error.toLocal8Bit().constData());
        return 1;
    }
    CConfiguration config(choice.path, cl.portable);
    config.LoadIni();
    if (cl.acceptDisclaimer)
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"), true);

    LoadLanguage(config);
    HeadlessMainForm form(config.DataPath(), clock);
    form.print(QStringLiteral("Tessaro %1 (headless)").arg(QLatin1String(TESSARO_VERSION)));
    form.print(QStringLiteral("Data folder: %1").arg(config.DataPath()));
    form.print(QStringLiteral("Settings store: %1").arg(config.settingsLocation()));

    TerminalOptions options;
    options.connect = cl.connect;
    options.serial = cl.serial;
    options.logComm = cl.logComm;

    InProcessSimulator simulator;
    if (cl.simulator) {
        QString error;
        options.connect = simulator.start(&error);
        if (options.connect.isEmpty()) {
            form.printError(error);
            return 1;
        }
        form.print(QStringLiteral("Simulator: listening on %1").arg(options.connect));
    }

    CSession session;
    CTerminal terminal(config, session, form, clock);
    CoreModules modules(session, cl.formsPort);
    AttachCoreModules(terminal, modules);
    // Nobody hears a sound or sees an alert window here: alerts become lines of their own.
    modules.messaging.priorityAlert = [&form](const QString& caption, const QString&) {
        form.print(QStringLiteral("ALERT: ") + caption);
    };
    modules.messaging.newMessageSound = [] {};
    // "Forms server: http://ADDRESS:PORT/" stands alone on its line, unstamped, for scripts that look for it.
    modules.forms.printLine = [](const QString& line) {
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
    };
    std::unique_ptr<HeadlessSender> sender;
    if (cl.send)
        sender = std::make_unique<HeadlessSender>(terminal, session, modules.messaging, sendRequest,
                                                  [&form](const QString& line) { form.print(line); });
    FollowStatusSummary(session, [&form](const QString& line) { form.print(line); });

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

    const StartResult started = terminal.start(options);
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
        &terminal, &CTerminal::finished, &app, [&app] { app.exit(0); }, Qt::QueuedConnection);
    return app.exec();
}

} // namespace tessaro
