// The received-traffic hook: its environment, its report in ErrorLog.txt, and runs that fail or hang.
#include "app/receive_hook.h"
#include "config/clock.h"
#include "config/logs.h"
#include "qt_test_app.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

using namespace tessaro;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeScript(const QString& path, const QByteArray& body) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("#!/bin/sh\n" + body);
    f.close();
    return f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

struct HookRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    SystemClock clock;
    cErrorLog errorLog{path, clock};
    ReceiveHook hook{errorLog, path};
    struct Ended {
        QString path;
        int exitCode;
        bool timedOut;
    };
    QVector<Ended> ended;
    HookRig() {
        QObject::connect(&hook, &ReceiveHook::runEnded, [this](const QString& p, int code, bool timedOut) {
            ended.push_back({p, code, timedOut});
        });
    }
    QString script(const QString& name, const QByteArray& body) {
        const QString file = path + name;
        return writeScript(file, body) ? file : QString();
    }
    QString errorLogText() { return QString::fromLatin1(readAll(path + QStringLiteral("ErrorLog.txt"))); }
    bool waitEnded(int count, int ms = 5000) {
        return QTest::qWaitFor([&] { return ended.size() >= count; }, ms);
    }
};

// State letter of a process from /proc, or 0 when it is gone.
char processState(qint64 pid) {
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || close + 2 >= stat.size() ? 0 : stat.at(close + 2);
}
} // namespace

TEST(ReceiveHookEnvironment, NamesTheStoredFileItsKindPriorityAndTransceiverFile) {
    QProcessEnvironment base;
    base.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin"));
    base.insert(QStringLiteral("TESSARO_FILE"), QStringLiteral("stale"));
    struct Case {
        StoredFile file;
        const char* priority;
        const char* name;
    };
    const Case cases[] = {
        {{QStringLiteral("/d/Inbox/in2612101.txt"), QStringLiteral("message"), 0, QStringLiteral("IN.5")},
         "0",
         "Routine"},
        {{QStringLiteral("/d/Egc/egc26121.egc"), QStringLiteral("egc"), 3, QStringLiteral("EGC.003")}, "3", "Distress"},
        {{QStringLiteral("/d/Egc/x.egc"), QStringLiteral("egc"), 1, QStringLiteral("EGC.1")}, "1", "Safety"},
        {{QStringLiteral("/d/Inbox/y.txt"), QStringLiteral("message"), 2, QStringLiteral("IN.7")}, "2", "Urgent"},
        // An EGC log line without a readable priority: no number is made up.
        {{QStringLiteral("/d/Egc/z.egc"), QStringLiteral("egc"), -1, QStringLiteral("EGC.9")}, "", "Unknown"},
        // Paths are UTF-8 and stay so.
        {{QStringLiteral("/d/Σκάφος/Inbox/ä.txt"), QStringLiteral("message"), 1, QStringLiteral("IN.1")},
         "1",
         "Safety"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.path.toStdString());
        const QProcessEnvironment env = ReceiveHookEnvironment(base, c.file, QStringLiteral("/d/"));
        EXPECT_EQ(env.value(QStringLiteral("TESSARO_FILE")), c.file.path);
        EXPECT_EQ(env.value(QStringLiteral("TESSARO_KIND")), c.file.kind);
        EXPECT_EQ(env.value(QStringLiteral("TESSARO_PRIORITY")), QLatin1String(c.priority));
        EXPECT_EQ(env.value(QStringLiteral("TESSARO_PRIORITY_NAME")), QLatin1String(c.name));
        EXPECT_EQ(env.value(QStringLiteral("TESSARO_MES_FILE")), c.file.modemFileName);
        EXPECT_EQ(env.value(QStringLiteral("TESSARO_DATA_DIR")), QStringLiteral("/d/"));
        EXPECT_EQ(env.value(QStringLiteral("PATH")), QStringLiteral("/usr/bin")) << "the rest is inherited";
    }
}

TEST(ReceiveHook, RunsWithoutAShellInTheDataFolderAndLogsExitCodeAndOutput) {
    HookRig rig;
    // The argument with a blank and a "$" arrives as one word, unexpanded: no shell reads the command.
    const QString script = rig.script(QStringLiteral("hook.sh"), "printf '%s|%s|%s|%s|%s\\n' \"$1\" \"$(pwd)/\" "
                                                                 "\"$TESSARO_KIND\" \"$TESSARO_MES_FILE\" "
                                                                 "\"$TESSARO_PRIORITY_NAME\" > \"$TESSARO_FILE.seen\"\n"
                                                                 "echo 'forwarded to shore'\necho 'second line' >&2\n"
                                                                 "exit 3\n");
    ASSERT_FALSE(script.isEmpty());
    const QString stored = rig.path + QStringLiteral("in1.txt");
    rig.hook.fileStored(script + QStringLiteral(" \"a $HOME b\""),
                        {stored, QStringLiteral("message"), 2, QStringLiteral("IN.12")});
    ASSERT_TRUE(rig.waitEnded(1));
    EXPECT_EQ(rig.ended[0].path, stored);
    EXPECT_EQ(rig.ended[0].exitCode, 3);
    EXPECT_FALSE(rig.ended[0].timedOut);
    EXPECT_EQ(QString::fromUtf8(readAll(stored + QStringLiteral(".seen"))),
              QStringLiteral("a $HOME b|%1|message|IN.12|Urgent\n").arg(rig.path));

    const QString log = rig.errorLogText();
    EXPECT_TRUE(
        log.contains(QStringLiteral("Receive hook for message IN.12 (%1): \"%2\" exit code 3").arg(stored, script)))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Receive hook output: forwarded to shore"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Receive hook output: second line"))) << log.toStdString();
}

TEST(ReceiveHook, AProgramThatCannotStartIsLoggedAndTheNextRunsAll) {
    HookRig rig;
    const QString good = rig.script(QStringLiteral("ok.sh"), "exit 0\n");
    rig.hook.fileStored(rig.path + QStringLiteral("missing-program"),
                        {QStringLiteral("/x/a.txt"), QStringLiteral("message"), 0, QStringLiteral("IN.1")});
    rig.hook.fileStored(good, {QStringLiteral("/x/b.egc"), QStringLiteral("egc"), 1, QStringLiteral("EGC.2")});
    rig.hook.fileStored(QStringLiteral("   "), {QStringLiteral("/x/c.txt"), QStringLiteral("message"), 0, {}});
    ASSERT_TRUE(rig.waitEnded(2));
    QTest::qWait(50);
    ASSERT_EQ(rig.ended.size(), 2) << "an empty command runs nothing";
    EXPECT_EQ(rig.ended[0].path, QStringLiteral("/x/a.txt"));
    EXPECT_EQ(rig.ended[0].exitCode, -1);
    EXPECT_EQ(rig.ended[1].exitCode, 0);
    EXPECT_TRUE(rig.errorLogText().contains(QStringLiteral("could not be started")))
        << rig.errorLogText().toStdString();
    EXPECT_EQ(rig.hook.runningCount(), 0);
}

TEST(ReceiveHook, AHangingHookIsStoppedWithWhatItStartedAndDoesNotHoldUpTheNext) {
    HookRig rig;
    rig.hook.setTimeOutMs(300);
    // The hook starts a child of its own and waits: both must go at the time-out.
    const QString hang = rig.script(QStringLiteral("hang.sh"), "sleep 30 &\necho $! > \"$TESSARO_DATA_DIR/child\"\n"
                                                               "echo waiting\nwait\n");
    const QString quick = rig.script(QStringLiteral("quick.sh"), "touch \"$TESSARO_FILE.done\"\n");
    rig.hook.fileStored(hang, {rig.path + QStringLiteral("1.txt"), QStringLiteral("message"), 0, {}});
    rig.hook.fileStored(quick, {rig.path + QStringLiteral("2.txt"), QStringLiteral("message"), 0, {}});

    ASSERT_TRUE(rig.waitEnded(1, 2000));
    EXPECT_EQ(rig.ended[0].path, rig.path + QStringLiteral("2.txt")) << "the second run did not wait for the first";
    EXPECT_TRUE(QFile::exists(rig.path + QStringLiteral("2.txt.done")));

    ASSERT_TRUE(rig.waitEnded(2, 5000));
    EXPECT_EQ(rig.ended[1].path, rig.path + QStringLiteral("1.txt"));
    EXPECT_TRUE(rig.ended[1].timedOut);
    EXPECT_EQ(rig.ended[1].exitCode, -1);
    const QString log = rig.errorLogText();
    EXPECT_TRUE(log.contains(QStringLiteral("stopped after 300 ms"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Receive hook output: waiting"))) << log.toStdString();

    const qint64 child = readAll(rig.path + QStringLiteral("child")).trimmed().toLongLong();
    ASSERT_GT(child, 0);
    // Gone, or a zombie waiting for a reaper: either way no longer running.
    EXPECT_TRUE(QTest::qWaitFor(
        [child] {
            const char s = processState(child);
            return s == 0 || s == 'Z';
        },
        2000))
        << "the hook's own child survived the time-out";
    if (processState(child) != 0 && processState(child) != 'Z')
        ::kill(pid_t(child), SIGKILL);
}

TEST(ReceiveHook, AtMostFourRunAtOnceAndTheRestWaitInOrder) {
    HookRig rig;
    const QString slow = rig.script(QStringLiteral("slow.sh"), "sleep 0.3\necho \"$TESSARO_MES_FILE\" >> "
                                                               "\"$TESSARO_DATA_DIR/order\"\n");
    for (int i = 1; i <= 6; ++i)
        rig.hook.fileStored(
            slow, {rig.path + QString::number(i), QStringLiteral("message"), 0, QStringLiteral("IN.%1").arg(i)});
    EXPECT_EQ(rig.hook.runningCount(), ReceiveHook::kMaxRunning);
    EXPECT_EQ(rig.hook.waitingCount(), 6 - ReceiveHook::kMaxRunning);
    ASSERT_TRUE(rig.waitEnded(6, 8000));
    const QStringList order =
        QString::fromLatin1(readAll(rig.path + QStringLiteral("order"))).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(order.size(), 6);
    // The two that waited start only after the first four.
    EXPECT_TRUE(order.mid(4).contains(QStringLiteral("IN.5")) && order.mid(4).contains(QStringLiteral("IN.6")))
        << order.join(u' ').toStdString();
}
