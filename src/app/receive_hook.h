#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>

#include <deque>
#include <map>

class QProcess;
class QTimer;

namespace tessaro {

class cErrorLog;

// One file that reached the inbox or the EGC store.
struct StoredFile {
    QString path;          // the stored body
    QString kind;          // "message" or "egc"
    int priority = 0;      // 0 Routine .. 3 Distress; anything else is unknown
    QString modemFileName; // the transceiver's file name ("IN.5", "EGC.003")
};

// The environment a hook runs with: the caller's environment plus TESSARO_FILE, TESSARO_KIND,
// TESSARO_PRIORITY, TESSARO_PRIORITY_NAME, TESSARO_MES_FILE and TESSARO_DATA_DIR.
QProcessEnvironment ReceiveHookEnvironment(const QProcessEnvironment& base, const StoredFile& file,
                                           const QString& dataPath);

// Runs the operator's program after every stored message or EGC, without a shell: the command line is split
// by the usual quoting rules and started directly, in the data folder, with the stored file in the
// environment. Storing never waits for it: runs start asynchronously, at most kMaxRunning at a time, later
// ones wait in order (at most kMaxWaiting; past that a run is dropped and logged). A run that outlives its
// time-out is sent SIGTERM, with every process it started, and SIGKILL kKillGraceMs later. Its exit code and
// output (the first kMaxOutputBytes) go to ErrorLog.txt.
class ReceiveHook final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeOutSeconds = 60;
    static constexpr int kMaxRunning = 4;
    static constexpr int kMaxWaiting = 256;
    static constexpr int kKillGraceMs = 2000;
    static constexpr qsizetype kMaxOutputBytes = 4096;

    ReceiveHook(cErrorLog& errorLog, QString dataPath, QObject* parent = nullptr);
    // Runs still going are killed: a hook never outlives the program.
    ~ReceiveHook() override;

    // Runs `command` (empty: nothing) for one stored file, now or once a running one ends.
    void fileStored(const QString& command, const StoredFile& file);
    void setTimeOutMs(int ms) { m_timeOutMs = ms > 0 ? ms : kDefaultTimeOutSeconds * 1000; }
    int timeOutMs() const { return m_timeOutMs; }
    int runningCount() const { return int(m_runs.size()); }
    int waitingCount() const { return int(m_waiting.size()); }

Q_SIGNALS:
    // Each line written to ErrorLog.txt, so a headless run can show it in its output (the journal).
    void reported(const QString& line);
    // A run ended: its exit code (-1 when it did not start or was killed) and whether its time ran out.
    void runEnded(const QString& path, int exitCode, bool timedOut);

private:
    struct Pending {
        QString command;
        StoredFile file;
    };
    struct Run {
        Pending what;
        QString program;
        QTimer* timer = nullptr;
        QByteArray output;
        bool truncated = false;
        bool timedOut = false;
        bool ended = false;
    };
    void startWaiting();
    void start(const Pending& pending);
    void signalGroup(QProcess* process, int signal);
    void end(QProcess* process, int exitCode, const QString& how);
    void log(const QString& line);

    cErrorLog& m_errorLog;
    QString m_dataPath;
    int m_timeOutMs = kDefaultTimeOutSeconds * 1000;
    std::deque<Pending> m_waiting;
    std::map<QProcess*, Run> m_runs;
};

} // namespace tessaro
