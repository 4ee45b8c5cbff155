#pragma once

#include "config/clock.h"
#include "link/command_engine.h"
#include "link/in_memory_link.h"
#include "link/recording_main_form.h"
#include "link/session_flags.h"
#include "qt_test_app.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace tessaro::test {

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An engine wired to an in-memory link and a clock that moves only when told.
struct EngineRig {
    QTemporaryDir dir;
    SessionFlags session;
    ManualClock clock;
    RecordingMainForm form;
    InMemoryLink link{LinkKind::Tcp};
    CommandEngine engine{session, clock, form};
    bool linkUsable = true;
    int linkLostCount = 0;

    EngineRig() {
        link.open();
        engine.setLinkProvider([this]() -> ILink* { return linkUsable ? &link : nullptr; });
        engine.watchLink(&link);
        QObject::connect(&engine, &CommandEngine::silentTimeOut, &engine, [this] {
            ++linkLostCount;
            session.Reset();
            engine.setEngineState(CommandEngine::Idle);
        });
    }
    QString dataPath() const { return dir.path() + QStringLiteral("/"); }

    // One Timer1 period: time moves 60 ms, then the step runs.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(60);
            engine.onTimer1();
        }
    }
    // Ticks until the engine reaches the state (at most max ticks); false when it never did.
    bool tickUntilState(int state, int max = 500) {
        for (int i = 0; i < max; ++i) {
            if (engine.EngineState() == state)
                return true;
            tick();
        }
        return engine.EngineState() == state;
    }
    // The next queued line as it went out: written already by the tick that finished the previous reply, or
    // by the next tick.
    QByteArray sendNext() {
        if (QByteArray written = link.takeWritten(); !written.isEmpty())
            return written;
        tick();
        return link.takeWritten();
    }
    // The transceiver answers in one chunk; steps until the reply has been processed. A reply ending in a main
    // prompt is read, completed, routed and followed by the next queued line in one tick; a weaker end needs
    // a quiet tick more.
    void answer(const QByteArray& reply) {
        link.feed(reply);
        tick();
        if (engine.EngineState() == CommandEngine::Receiving && !engine.ReceiveBuffer().isEmpty())
            tick();
    }
};

} // namespace tessaro::test
