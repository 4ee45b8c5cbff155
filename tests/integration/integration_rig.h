#pragma once

#include "app/runtime.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "config/text_util.h"
#include "link/imain_form.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "qt_test_app.h"
#include "status/session.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tessaro::test {

// Records what reaches the operator and lets a test act at the moment an upload is under way.
class WatchingForm final : public NullMainForm {
public:
    QStringList information;
    QStringList boxes;
    QStringList windows;
    QStringList alerts; // the captions of the alerts raised
    std::function<void(int value)> onUploadProgress;

    void addInformation(const QString& line) override { information << line; }
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes << box.text;
        closed();
    }
    void openWindow(WindowId window) override { windows << QString::number(int(window)); }
    void showAlert(AlertKind kind, const QString&) override { alerts << AlertCaption(kind); }
    void uploadProgress(int value) override {
        if (onUploadProgress)
            onUploadProgress(value);
    }
};

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The terminal with every core module, connected to a simulator whose own time only moves when the test
// says so. The engine ticks every 10 ms instead of 60 and the poll timer is left to the test, so a whole
// send or download cycle takes well under a second of real time.
struct IntegrationRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    SystemClock clock;
    WatchingForm form;
    std::unique_ptr<sim::MesSimulator> simulator;
    std::unique_ptr<TessaroRuntime> runtime;
    CConfiguration& config;
    CSession& session;
    CTerminal* terminal = nullptr;
    QStringList written; // command lines as the engine wrote them
    QStringList replies;

    // baud: the simulator paces its output like a serial line of that speed (0: as fast as it can).
    explicit IntegrationRig(int baud = 0)
        : runtime(std::make_unique<TessaroRuntime>(runtimeOptions(), clock)), config(runtime->config()),
          session(runtime->session()) {
        sim::SimOptions options;
        options.realTime = false;
        options.chunkDelayMs = 2;
        options.baud = baud;
        simulator = std::make_unique<sim::MesSimulator>(options);
        config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
        runtime->attach(form);
        terminal = &runtime->terminal();
        terminal->timer(TerminalTimer::Timer1).setInterval(10);
        terminal->timer(TerminalTimer::Winsock).setInterval(50);
        terminal->timer(TerminalTimer::Timer2).setInterval(3600 * 1000);
        QObject::connect(&terminal->engine(), &CommandEngine::lineWritten, [this](const QString& l) { written << l; });
        QObject::connect(&terminal->engine(), &CommandEngine::replyCompleted,
                         [this](const QString& r) { replies << r; });
    }
    ~IntegrationRig() {
        runtime.reset();
        simulator.reset();
    }
    RuntimeOptions runtimeOptions() const {
        RuntimeOptions o;
        o.dataPath = path;
        o.settingsFile = path + QStringLiteral("settings.ini");
        o.acceptDisclaimer = true;
        o.formsPort = 0;
        return o;
    }

    bool start() {
        if (!simulator->listen())
            return false;
        runtime->setTerminalOptions({QStringLiteral("127.0.0.1:%1").arg(simulator->serverPort()), {}, false});
        return runtime->start().ok && QTest::qWaitFor([this] { return linkedUp() && idle(); }, 8000);
    }
    bool linkedUp() const { return terminal->lan().LanConnectState() == LanState::Linked && session.MesConnected(); }
    bool idle() { return terminal->engine().queue().isEmpty() && terminal->engine().EngineState() == 0; }
    // Waits until every queued command has been answered.
    bool settle(int ms = 8000) {
        return QTest::qWaitFor([this] { return linkedUp() && idle(); }, ms);
    }
    // The poll timer's tick: "st -l" and the poll burst.
    void poll() { terminal->tick(TerminalTimer::Timer2); }
    bool sim(const QString& command) { return simulator->control(command).ok; }
    QStringList simLines(const QString& command) { return simulator->control(command).lines; }
    int countWritten(const QString& prefix) const {
        int n = 0;
        for (const QString& l : written)
            n += l.startsWith(prefix) ? 1 : 0;
        return n;
    }

    MessagingModule& messaging() { return runtime->messaging(); }
    // Message boxes that report a failure (the start-up notices are not among them).
    QStringList errorBoxes() const {
        QStringList out;
        for (const QString& b : form.boxes)
            if (b.contains(QLatin1String("error"), Qt::CaseInsensitive) ||
                b.contains(QLatin1String("failed"), Qt::CaseInsensitive))
                out << b;
        return out;
    }
    QStringList outIdxLines() {
        return QString::fromLatin1(readAll(messaging().outbox().indexPath()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

} // namespace tessaro::test
