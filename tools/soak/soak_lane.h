#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace tessaro::soak {

struct LaneOptions {
    QString simPath;
    QString tessaroPath;
    QString workDir; // the lane's folder: data folder, settings, process output
    quint32 seed = 1;
    bool kills = false;  // SIGKILL trials instead of link and transceiver faults
    int target = 10;     // faults or kill trials to inject
    qint64 budgetMs = 0; // the lane stops injecting when this much time has passed (0: no limit)
    bool pty = false;    // the program reaches the simulator over a pseudo-terminal
    bool verbose = false;
    bool quietSpells = true; // now and then a pause of a poll cycle between faults
    QStringList kinds;       // fault kinds to choose from; empty: all
};

// One message or EGC the simulator made, or one message the program accepted for sending.
struct Delivered {
    QString token; // unique text at the start of the body
    bool egc = false;
    int priority = 0;
    QByteArray body;
    QString simName; // IN.n or EGC.nnn
};
struct SendRecord {
    QString token;
    QByteArray text;
    QString outFile; // as the forms server answered
};
struct FaultRecord {
    QString kind;
    qint64 injectedMs = -1;
    qint64 recoveredMs = -1; // -1: not (yet) recovered
};

// A simulator, the headless program on its own data folder, a steady flow of traffic, and faults (or kills)
// at moments chosen by a seeded generator. Everything runs on the event loop; the lane emits finished() once
// the traffic has drained after the last fault and the program has closed.
class Lane final : public QObject {
    Q_OBJECT
public:
    explicit Lane(LaneOptions options, QObject* parent = nullptr);
    ~Lane() override;

    void start();
    QString name() const { return m_options.kills ? QStringLiteral("kill trials") : QStringLiteral("fault soak"); }
    const LaneOptions& options() const { return m_options; }
    QString dataDir() const { return m_options.workDir + QStringLiteral("/data"); }

    // What the checks read at the end.
    const QList<Delivered>& delivered() const { return m_delivered; }
    const QList<SendRecord>& sends() const { return m_sends; }
    const QList<FaultRecord>& faults() const { return m_faults; }
    const QStringList& programOutput() const { return m_programOutput; }
    QStringList simDeleted, simTxLog, simLines, simFiles;
    QString setupError; // non-empty: the lane could not run
    bool drained = false;
    int programStarts = 0;

Q_SIGNALS:
    void finished();

private:
    // Simulator control: one command, its result lines (without the final OK). Blocks a few ms at most.
    bool control(const QString& command, QStringList* lines = nullptr);
    bool startSimulator();
    void startProgram();
    void programFinished();
    void programOutputReady();
    void onProgramLine(const QString& line);

    void deliverTraffic();
    void sendMessage();
    QByteArray makeBody(const QString& token);
    bool httpGet(const QString& pathAndQuery, QByteArray* reply);

    void scheduleNext();
    void injectFault();
    void killNow(const QString& why);
    void closeOpenFaults(qint64 now);
    void beginDrain();
    void checkDrained();
    void stopAll();
    void log(const QString& text) const;

    LaneOptions m_options;
    QRandomGenerator m_random;
    QElapsedTimer m_clock;
    QProcess m_sim;
    QProcess m_program;
    QTcpSocket m_control;
    QString m_shell;   // HOST:PORT of the simulator's shell
    QString m_ptyPath; // the pseudo-terminal's path with --pty
    int m_formsPort = 0;
    bool m_linkUp = false;
    bool m_stopping = false;      // the lane is closing the program for good
    bool m_restartOnExit = false; // a fault stopped the program: start it again
    bool m_wroteSinceFault = false;
    QByteArray m_stdoutBuffer;
    QStringList m_programOutput;

    QTimer m_trafficTimer;
    QTimer m_sendTimer;
    QTimer m_faultTimer;
    QTimer m_slowEnd;
    QTimer m_drainTimer;
    QTimer m_killDeadline;
    qint64 m_drainStartMs = 0;
    QString m_killTrigger; // kill trials: the program output that fires the kill ("" = at a random time)
    int m_injected = 0;
    int m_nextToken = 1;
    QList<Delivered> m_delivered;
    QList<SendRecord> m_sends;
    QList<FaultRecord> m_faults;
};

} // namespace tessaro::soak
