#pragma once

#include "app/runtime.h"
#include "config/clock.h"
#include "link/in_memory_link.h"
#include "link/recording_main_form.h"
#include "qt_test_app.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace tessaro::test {

// The whole runtime on in-memory links, a clock that moves only when told and a form that records.
struct RuntimeRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(9, 5), Qt::UTC)};
    RecordingMainForm form;
    std::unique_ptr<TessaroRuntime> runtime;

    RuntimeRig() {
        RuntimeOptions options;
        options.dataPath = path;
        options.settingsFile = path + QStringLiteral("settings.ini");
        options.acceptDisclaimer = true;
        options.formsPort = 0;
        runtime = std::make_unique<TessaroRuntime>(options, clock);
    }
    void attach() {
        runtime->attach(form, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
    }
    // Attaches, starts, and clears the start-up probes from the queue.
    StartResult start() {
        attach();
        const StartResult r = runtime->start();
        runtime->terminal().engine().queue().clear();
        return r;
    }
    CSession& session() { return runtime->session(); }
    CTerminal& terminal() { return runtime->terminal(); }
    QString queue() { return terminal().engine().queue().text(); }
    // An "st -l" reply as the engine hands it to the INFO and ERROR handler.
    void infoReply(const QString& lines) {
        const QString prompt = QStringLiteral("can0:/$ ");
        const QString reply = QStringLiteral("st -l\r\nStatus ok\r\n") + lines + QStringLiteral("\r\n") + prompt;
        runtime->info().CheckInfos(reply, prompt);
        runtime->info().CheckErrors(reply, prompt);
    }
    // Shows and closes every queued message box.
    void drainBoxes() {
        for (int i = 0; i < 50 && terminal().messageBoxes().size() > 0; ++i)
            terminal().messageBoxes().onMBoxTimer();
    }
    QByteArray file(const QString& name) {
        QFile f(path + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace tessaro::test
