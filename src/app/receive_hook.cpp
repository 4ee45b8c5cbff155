#include "app/receive_hook.h"

#include "config/logs.h"

#include <QProcess>
#include <QTimer>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace tessaro {

namespace {
QString priorityName(int priority) {
    static const char* const kNames[] = {"Routine", "Safety", "Urgent", "Distress"};
    return priority >= 0 && priority <= 3 ? QLatin1String(kNames[priority]) : QStringLiteral("Unknown");
}

QString describe(const StoredFile& file) {
    return QStringLiteral("Receive hook for %1 %2 (%3)").arg(file.kind, file.modemFileName, file.path);
}
} // namespace

QProcessEnvironment ReceiveHookEnvironment(const QProcessEnvironment& base, const StoredFile& file,
                                           const QString& dataPath) {
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("TESSARO_FILE"), file.path);
    env.insert(QStringLiteral("TESSARO_KIND"), file.kind);
    env.insert(QStringLiteral("TESSARO_PRIORITY"),
               file.priority >= 0 && file.priority <= 3 ? QString::number(file.priority) : QString());
    env.insert(QStringLiteral("TESSARO_PRIORITY_NAME"), priorityName(file.priority));
    env.insert(QStringLiteral("TESSARO_MES_FILE"), file.modemFileName);
    env.insert(QStringLiteral("TESSARO_DATA_DIR"), dataPath);
    return env;
}

ReceiveHook::ReceiveHook(cErrorLog& errorLog, QString dataPath, QObject* parent)
    : QObject(parent), m_errorLog(errorLog), m_dataPath(std::move(dataPath)) {}

ReceiveHook::~ReceiveHook() {
    for (auto& [process, run] : m_runs) {
        process->disconnect(this);
        signalGroup(process, SIGKILL);
        delete process; // reaps the killed process
    }
}

void ReceiveHook::fileStored(const QString& command, const StoredFile& file) {
    if (command.trimmed().isEmpty())
        return;
    if (int(m_waiting.size()) >= kMaxWaiting) {
        log(describe(file) + QStringLiteral(": not run, %1 runs are waiting already").arg(kMaxWaiting));
        return;
    }
    m_waiting.push_back({command, file});
    startWaiting();
}

void ReceiveHook::startWaiting() {
    while (int(m_runs.size()) < kMaxRunning && !m_waiting.empty()) {
        const Pending next = m_waiting.front();
        m_waiting.pop_front();
        start(next);
    }
}

void ReceiveHook::start(const Pending& pending) {
    QStringList arguments = QProcess::splitCommand(pending.command);
    if (arguments.isEmpty())
        return;
    const QString program = arguments.takeFirst();

    auto* process = new QProcess(this);
    Run& run = m_runs[process];
    run.what = pending;
    run.program = program;
    run.timer = new QTimer(process);
    run.timer->setSingleShot(true);

    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setWorkingDirectory(m_dataPath);
    process->setProcessEnvironment(
        ReceiveHookEnvironment(QProcessEnvironment::systemEnvironment(), pending.file, m_dataPath));
    // A group of its own, so that a time-out stops whatever the hook started as well.
    process->setChildProcessModifier([] { ::setpgid(0, 0); });

    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        auto it = m_runs.find(process);
        const QByteArray chunk = process->readAllStandardOutput(); // always drained, so the hook never blocks
        if (it == m_runs.end())
            return;
        Run& r = it->second;
        const qsizetype room = kMaxOutputBytes - r.output.size();
        r.output += chunk.left(qMax<qsizetype>(0, room));
        r.truncated = r.truncated || chunk.size() > room;
    });
    connect(process, &QProcess::finished, this, [this, process](int exitCode, QProcess::ExitStatus status) {
        auto it = m_runs.find(process);
        if (it == m_runs.end())
            return;
        if (it->second.timedOut)
            end(process, -1, QStringLiteral("stopped after %1 ms").arg(m_timeOutMs));
        else if (status == QProcess::CrashExit)
            end(process, -1, QStringLiteral("ended by a signal"));
        else
            end(process, exitCode, QStringLiteral("exit code %1").arg(exitCode));
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(process, -1, QStringLiteral("could not be started: %1").arg(process->errorString()));
    });
    connect(run.timer, &QTimer::timeout, this, [this, process] {
        auto it = m_runs.find(process);
        if (it == m_runs.end())
            return;
        if (!it->second.timedOut) {
            it->second.timedOut = true;
            signalGroup(process, SIGTERM);
            it->second.timer->start(kKillGraceMs);
        } else {
            signalGroup(process, SIGKILL);
        }
    });

    run.timer->start(m_timeOutMs);
    process->start(program, arguments);
    // `run` may be gone here: a program that cannot be started ends at once.
}

void ReceiveHook::signalGroup(QProcess* process, int signal) {
    const qint64 pid = process->processId();
    if (pid <= 0 || process->state() == QProcess::NotRunning)
        return;
    // The group when the hook leads one; the process alone when it has not got that far yet.
    if (::kill(-pid_t(pid), signal) != 0)
        ::kill(pid_t(pid), signal);
}

void ReceiveHook::end(QProcess* process, int exitCode, const QString& how) {
    auto it = m_runs.find(process);
    if (it == m_runs.end() || it->second.ended)
        return;
    Run& run = it->second;
    run.ended = true;
    run.timer->stop();
    const QByteArray rest = process->readAllStandardOutput();
    run.output += rest.left(qMax<qsizetype>(0, kMaxOutputBytes - run.output.size()));
    run.truncated = run.truncated || run.output.size() >= kMaxOutputBytes;

    const StoredFile file = run.what.file;
    const bool timedOut = run.timedOut;
    log(describe(file) + QStringLiteral(": \"%1\" %2").arg(run.program, how));
    const QStringList lines = QString::fromLocal8Bit(run.output).split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            log(QStringLiteral("Receive hook output: ") + line);
    }
    if (run.truncated)
        log(QStringLiteral("Receive hook output: (cut after %1 bytes)").arg(kMaxOutputBytes));

    m_runs.erase(it);
    process->disconnect(this);
    process->deleteLater();
    Q_EMIT runEnded(file.path, exitCode, timedOut);
    startWaiting();
}

void ReceiveHook::log(const QString& line) {
    m_errorLog.AddLine(line);
    Q_EMIT reported(line);
}

} // namespace tessaro
