#include "soak_lane.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QUrl>

#include <csignal>
#include <cstdio>

#include <sys/prctl.h>

namespace tessaro::soak {

namespace {
constexpr int kStartWaitMs = 10000;
constexpr qint64 kDrainMinMs = 3000; // the program's last index rewrite after the simulator's records settle
constexpr qint64 kDrainMaxMs = 150000;
constexpr int kKillDeadlineMs = 25000;   // a trigger that never comes: kill at this time after arming
constexpr int kShutdownGraceMs = 100000; // a close waits up to 90 s for running downloads

// A reply that ended in the terminal program's prompt, or a long one whose trace was cut.
bool replyCompleted(const QString& text) {
    static const QRegularExpression prompt(QStringLiteral("can\\d:/\\$$"));
    return text.startsWith(QLatin1String("< ")) &&
           (prompt.match(text).hasMatch() || text.endsWith(QLatin1String(" ...")));
}

// Program output lines start with "yyyy-mm-dd hh:nn:ss" and two blanks.
QString withoutStamp(const QString& line) {
    static const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "));
    const QRegularExpressionMatch m = stamp.match(line);
    return m.hasMatch() ? line.mid(m.capturedLength()) : line;
}

const QStringList kKillTriggers = {
    QStringLiteral("> ty "),     // reception: the body is on its way
    QStringLiteral("< ty "),     // reception: the body is in, the store and its index lines follow
    QStringLiteral("> delete "), // reception: stored, being removed from the transceiver
    QStringLiteral("> tr "),     // sending: upload starts
    QStringLiteral("Upload: started"),
    QStringLiteral("> tx "),         // sending: submission
    QStringLiteral("Info: INFO 82"), // outbox line rewrite (Sending)
    QStringLiteral("Info: INFO 81"), // outbox line rewrite (Delivered)
    QString(),                       // any moment
};
} // namespace

Lane::Lane(LaneOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_random(m_options.seed) {
    for (QTimer* t : {&m_trafficTimer, &m_sendTimer, &m_faultTimer, &m_slowEnd, &m_killDeadline})
        t->setSingleShot(true);
    connect(&m_trafficTimer, &QTimer::timeout, this, &Lane::deliverTraffic);
    connect(&m_sendTimer, &QTimer::timeout, this, &Lane::sendMessage);
    connect(&m_faultTimer, &QTimer::timeout, this, &Lane::injectFault);
    connect(&m_slowEnd, &QTimer::timeout, this, [this] { control(QStringLiteral("baud 0")); });
    connect(&m_killDeadline, &QTimer::timeout, this, [this] { killNow(QStringLiteral("deadline")); });
    m_drainTimer.setInterval(1000);
    connect(&m_drainTimer, &QTimer::timeout, this, &Lane::checkDrained);
    connect(&m_program, &QProcess::readyReadStandardOutput, this, &Lane::programOutputReady);
    connect(&m_program, &QProcess::finished, this, &Lane::programFinished);
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    // A harness stopped by a signal (Ctrl+C, a CI time-out) takes its children with it instead of leaving a
    // simulator and a program running.
    for (QProcess* p : {&m_program, &m_sim})
        p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

Lane::~Lane() {
    // Only the two children this lane started, by their own process ids.
    for (QProcess* p : {&m_program, &m_sim}) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(3000);
        }
    }
}

void Lane::log(const QString& text) const {
    std::fprintf(stderr, "[%s %6.1fs] %s\n", qPrintable(name()), double(m_clock.elapsed()) / 1000.0, qPrintable(text));
}

void Lane::start() {
    m_clock.start();
    QDir().mkpath(dataDir());
    QDir().mkpath(m_options.workDir + QStringLiteral("/config"));
    // The message type the soak sends (telex) needs a default LES in the ocean the simulator logs in to.
    QFile ini(dataDir() + QStringLiteral("/Tessaro.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Default LES East]\r\n102\r\n");
    ini.close();
    if (!startSimulator()) {
        log(setupError);
        QTimer::singleShot(0, this, &Lane::finished);
        return;
    }
    startProgram();
    m_trafficTimer.start(500);
    m_sendTimer.start(3000);
    if (!m_options.kills)
        m_faultTimer.start(12000 + m_random.bounded(2000)); // a first poll cycle: the ocean is known, sends go
}

bool Lane::startSimulator() {
    QStringList args{QStringLiteral("--listen"),    QStringLiteral("127.0.0.1:0"), QStringLiteral("--control"),
                     QStringLiteral("127.0.0.1:0"), QStringLiteral("--seed"),      QString::number(m_options.seed)};
    if (m_options.pty)
        args << QStringLiteral("--pty");
    m_sim.setProcessChannelMode(QProcess::MergedChannels);
    m_sim.start(m_options.simPath, args);
    if (!m_sim.waitForStarted(kStartWaitMs)) {
        setupError = QStringLiteral("cannot start %1: %2").arg(m_options.simPath, m_sim.errorString());
        return false;
    }
    QString controlAddress;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kStartWaitMs &&
           (m_shell.isEmpty() || controlAddress.isEmpty() || (m_options.pty && m_ptyPath.isEmpty()))) {
        if (!m_sim.canReadLine() && !m_sim.waitForReadyRead(500))
            continue;
        while (m_sim.canReadLine()) {
            const QString line = QString::fromUtf8(m_sim.readLine()).trimmed();
            if (line.startsWith(QLatin1String("Shell: ")))
                m_shell = line.mid(7);
            else if (line.startsWith(QLatin1String("Control: ")))
                controlAddress = line.mid(9);
            else if (line.startsWith(QLatin1String("Pseudo-terminal: ")))
                m_ptyPath = line.mid(17);
        }
    }
    if (controlAddress.isEmpty()) {
        setupError = QStringLiteral("the simulator printed no control address");
        return false;
    }
    m_control.connectToHost(QStringLiteral("127.0.0.1"), quint16(controlAddress.section(u':', -1).toUInt()));
    if (!m_control.waitForConnected(kStartWaitMs)) {
        setupError = QStringLiteral("cannot reach the simulator's control port: ") + m_control.errorString();
        return false;
    }
    log(QStringLiteral("simulator pid %1, shell %2%3")
            .arg(m_sim.processId())
            .arg(m_shell, m_ptyPath.isEmpty() ? QString() : QStringLiteral(", pty ") + m_ptyPath));
    return true;
}

bool Lane::control(const QString& command, QStringList* lines) {
    if (m_control.state() != QAbstractSocket::ConnectedState)
        return false;
    m_control.write(command.toLatin1() + '\n');
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 30000) { // "lines" after an hour is a few MB
        while (m_control.canReadLine()) {
            const QString line = QString::fromLatin1(m_control.readLine()).chopped(1);
            if (line == u"OK")
                return true;
            if (line.startsWith(QLatin1String("ERROR: "))) {
                log(QStringLiteral("control '%1': %2").arg(command, line));
                return false;
            }
            if (lines)
                *lines << line;
        }
        m_control.waitForReadyRead(200);
    }
    log(QStringLiteral("control '%1': no answer").arg(command));
    return false;
}

void Lane::startProgram() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_options.workDir + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_options.workDir + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_program.setProcessEnvironment(env);
    QStringList args{
        QStringLiteral("--headless"),   QStringLiteral("--data-dir"), dataDir(),
        QStringLiteral("--forms-port"), QStringLiteral("0"),          QStringLiteral("--accept-disclaimer"),
        QStringLiteral("--portable")};
    if (m_options.pty)
        args << QStringLiteral("--serial") << m_ptyPath;
    else
        args << QStringLiteral("--connect") << m_shell;
    m_formsPort = 0;
    m_linkUp = false;
    m_restartOnExit = false;
    m_stdoutBuffer.clear();
    m_program.start(m_options.tessaroPath, args);
    ++programStarts;
    m_programOutput << QStringLiteral("=== program start %1 at %2 ms").arg(programStarts).arg(m_clock.elapsed());
    if (m_options.kills && !m_stopping) {
        // Arm the next kill a little after the start, so some kills land in the start-up too.
        m_faultTimer.start(200 + m_random.bounded(1500));
    }
}

void Lane::programOutputReady() {
    m_stdoutBuffer += m_program.readAllStandardOutput();
    qsizetype nl;
    while ((nl = m_stdoutBuffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(m_stdoutBuffer.left(nl));
        m_stdoutBuffer.remove(0, nl + 1);
        onProgramLine(line);
    }
}

void Lane::onProgramLine(const QString& line) {
    m_programOutput << line;
    if (m_options.verbose)
        log(QStringLiteral("| ") + line.left(160));
    const QString text = withoutStamp(line);
    if (text.startsWith(QLatin1String("Forms server: http://")))
        m_formsPort = int(text.section(u':', -1).remove(u'/').toUInt());
    else if (text.startsWith(QLatin1String("Link: up")))
        m_linkUp = true;
    else if (text.startsWith(QLatin1String("Link: down")))
        m_linkUp = false;
    if (text.startsWith(QLatin1String("> ")))
        m_wroteSinceFault = true;
    else if (m_wroteSinceFault && replyCompleted(text))
        closeOpenFaults(m_clock.elapsed());
    if (m_options.kills && !m_killTrigger.isNull() && !m_stopping && text.startsWith(m_killTrigger)) {
        const QString why = m_killTrigger;
        m_killTrigger = QString();
        // A few milliseconds later, so the kill lands anywhere in the step that follows the line.
        QTimer::singleShot(int(m_random.bounded(40)), this, [this, why] { killNow(why.trimmed()); });
    }
}

void Lane::closeOpenFaults(qint64 now) {
    for (FaultRecord& f : m_faults) {
        if (f.recoveredMs < 0 && f.injectedMs <= now)
            f.recoveredMs = now;
    }
}

void Lane::programFinished() {
    programOutputReady();
    m_programOutput << QStringLiteral("=== program ended (exit %1) at %2 ms")
                           .arg(m_program.exitStatus() == QProcess::CrashExit ? QStringLiteral("crash")
                                                                              : QString::number(m_program.exitCode()))
                           .arg(m_clock.elapsed());
    if (m_stopping) {
        simDeleted.clear();
        control(QStringLiteral("deleted"), &simDeleted);
        control(QStringLiteral("tx-log"), &simTxLog);
        control(QStringLiteral("lines"), &simLines);
        control(QStringLiteral("files"), &simFiles);
        m_control.disconnectFromHost();
        // Kept beside the data folder for whoever reads a failure.
        QFile trace(m_options.workDir + QStringLiteral("/program.log"));
        if (trace.open(QIODevice::WriteOnly))
            trace.write(m_programOutput.join(u'\n').toLocal8Bit() + '\n');
        QFile lines(m_options.workDir + QStringLiteral("/sim-lines.txt"));
        if (lines.open(QIODevice::WriteOnly))
            lines.write(simLines.join(u'\n').toLatin1() + '\n');
        QFile txLog(m_options.workDir + QStringLiteral("/sim-tx-log.txt"));
        if (txLog.open(QIODevice::WriteOnly))
            txLog.write(simTxLog.join(u'\n').toLatin1() + '\n');
        m_sim.terminate();
        if (!m_sim.waitForFinished(3000))
            m_sim.kill();
        Q_EMIT finished();
        return;
    }
    if (!m_restartOnExit) {
        log(QStringLiteral("the program ended by itself (exit code %1); started again").arg(m_program.exitCode()));
        m_programOutput << QStringLiteral("=== UNEXPECTED EXIT");
    }
    startProgram();
}

QByteArray Lane::makeBody(const QString& token) {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,-()/?+:'";
    QByteArray body = token.toLatin1();
    const int lines = 1 + int(m_random.bounded(6));
    for (int l = 0; l < lines; ++l) {
        if (l > 0)
            body += "\r\n";
        const int words = 1 + int(m_random.bounded(12));
        for (int w = 0; w < words; ++w) {
            body += ' ';
            const int len = 1 + int(m_random.bounded(9));
            for (int c = 0; c < len; ++c)
                body += kAlphabet[m_random.bounded(int(sizeof kAlphabet) - 1)];
        }
    }
    return body;
}

void Lane::deliverTraffic() {
    m_trafficTimer.start(600 + int(m_random.bounded(1900)));
    Delivered d;
    d.egc = m_random.bounded(2) == 1;
    d.priority = int(m_random.bounded(4));
    d.token =
        QStringLiteral("SOAK-%1-%2").arg(QLatin1Char(d.egc ? 'E' : 'M')).arg(m_nextToken++, 6, 10, QLatin1Char('0'));
    d.body = makeBody(d.token);
    QString text = QString::fromLatin1(d.body);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    QStringList result;
    if (!control(QStringLiteral("%1 priority=%2 %3")
                     .arg(d.egc ? QStringLiteral("egc") : QStringLiteral("message"))
                     .arg(d.priority)
                     .arg(text),
                 &result) ||
        result.isEmpty())
        return;
    d.simName = result.first().section(u' ', 0, 0);
    if (result.first().section(u' ', 1, 1).toInt() != d.body.size())
        log(QStringLiteral("the simulator made %1 of another size than sent: %2").arg(d.token, result.first()));
    m_delivered << d;
}

bool Lane::httpGet(const QString& pathAndQuery, QByteArray* reply) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_formsPort));
    if (!socket.waitForConnected(2000))
        return false;
    // The forms server answers only requests addressed to itself (Host with its port).
    socket.write("GET " + pathAndQuery.toLatin1() + " HTTP/1.0\r\nHost: 127.0.0.1:" + QByteArray::number(m_formsPort) +
                 "\r\n\r\n");
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000 && socket.state() == QAbstractSocket::ConnectedState) {
        socket.waitForReadyRead(200);
        *reply += socket.readAll();
        if (reply->contains("</HTML>") || reply->contains("</html>"))
            break;
    }
    *reply += socket.readAll();
    return !reply->isEmpty();
}

void Lane::sendMessage() {
    m_sendTimer.start(2000 + int(m_random.bounded(4000)));
    if (m_formsPort == 0 || !m_linkUp || m_program.state() != QProcess::Running)
        return;
    SendRecord s;
    s.token = QStringLiteral("SOAK-S-%1").arg(m_nextToken++, 6, 10, QLatin1Char('0'));
    s.text = makeBody(s.token);
    // Concatenated, not arg(): the percent escapes would read as placeholders.
    const QString query = QStringLiteral("/TXMESSAGE?MSGTYPE=Telex&MSGADDRESS=%2B4712345678&MSGSUBJECT=") + s.token +
                          QStringLiteral("&MSGTEXT=") +
                          QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(s.text)));
    QByteArray reply;
    if (!httpGet(query, &reply))
        return;
    static const QRegularExpression sent(QStringLiteral("Message sent to the transceiver.*Ref:([^<\\s]+)"));
    const QRegularExpressionMatch m = sent.match(QString::fromLatin1(reply));
    if (!m.hasMatch()) {
        if (m_options.verbose)
            log(QStringLiteral("send refused: ") + QString::fromLatin1(reply.right(200)));
        return;
    }
    s.outFile = m.captured(1);
    m_sends << s;
}

void Lane::injectFault() {
    const qint64 now = m_clock.elapsed();
    if (m_injected >= m_options.target || (m_options.budgetMs > 0 && now >= m_options.budgetMs)) {
        beginDrain();
        return;
    }
    if (m_program.state() != QProcess::Running || m_restartOnExit) {
        // A restart is under way; a second SIGTERM now would be the operator's forced stop.
        m_faultTimer.start(300);
        return;
    }
    if (m_options.kills) {
        // Arm: wait for the chosen moment of the program's work, or kill at a random time.
        m_killTrigger = kKillTriggers.at(int(m_random.bounded(int(kKillTriggers.size()))));
        if (m_killTrigger.isEmpty()) {
            m_killTrigger = QString(); // null: no trigger
            m_killDeadline.start(int(m_random.bounded(12000)));
        } else {
            m_killDeadline.start(kKillDeadlineMs);
        }
        return;
    }
    QStringList kinds{QStringLiteral("stall"),    QStringLiteral("restart"), QStringLiteral("exit-terminal"),
                      QStringLiteral("short-ty"), QStringLiteral("slow"),    QStringLiteral("pc-restart")};
    if (!m_options.pty)
        kinds << QStringLiteral("drop") << QStringLiteral("drop");
    if (!m_options.kinds.isEmpty())
        kinds.removeIf([this](const QString& k) { return !m_options.kinds.contains(k); });
    if (kinds.isEmpty())
        kinds << QStringLiteral("stall"); // none of the named kinds exists here (drop over a pseudo-terminal)
    const QString kind = kinds.at(int(m_random.bounded(int(kinds.size()))));
    ++m_injected;
    m_faults << FaultRecord{kind, now, -1};
    m_wroteSinceFault = false;
    if (kind == u"stall") {
        control(QStringLiteral("stall %1").arg(5 + m_random.bounded(5))); // past the 4 s reply time-out
    } else if (kind == u"short-ty") {
        control(QStringLiteral("short-ty %1").arg(1 + m_random.bounded(30)));
    } else if (kind == u"slow") {
        static const int kBauds[] = {300, 1200, 2400, 9600};
        control(QStringLiteral("baud %1").arg(kBauds[m_random.bounded(4)]));
        m_slowEnd.start(4000 + int(m_random.bounded(8000)));
    } else if (kind == u"pc-restart") {
        // The operator closes the program (SIGTERM: a clean close) and starts it again at once.
        m_restartOnExit = true;
        m_program.terminate();
        QTimer::singleShot(kShutdownGraceMs, this, [this, pid = m_program.processId()] {
            if (m_program.state() == QProcess::Running && m_program.processId() == pid) {
                log(QStringLiteral("the program did not close within %1 s of SIGTERM; killed")
                        .arg(kShutdownGraceMs / 1000));
                m_programOutput << QStringLiteral("=== SHUTDOWN HUNG");
                m_program.kill();
            }
        });
    } else {
        control(kind);
    }
    if (m_options.verbose)
        log(QStringLiteral("fault %1: %2").arg(m_injected).arg(kind));
    // Mostly bursts of faults; now and then a quiet spell of a poll cycle or so, in which the program learns
    // the ocean region again and the forms server accepts messages.
    m_faultTimer.start(m_options.quietSpells && m_random.bounded(5) == 0 ? 6000 + int(m_random.bounded(8000))
                                                                         : 300 + int(m_random.bounded(2200)));
}

void Lane::killNow(const QString& why) {
    m_killDeadline.stop();
    m_killTrigger = QString();
    if (m_stopping || m_program.state() != QProcess::Running)
        return;
    ++m_injected;
    m_faults << FaultRecord{QStringLiteral("kill ") + (why.isEmpty() ? QStringLiteral("at random") : why),
                            m_clock.elapsed(), -1};
    m_wroteSinceFault = false;
    if (m_options.verbose)
        log(QStringLiteral("kill %1 (%2)").arg(m_injected).arg(why));
    m_restartOnExit = true;
    m_program.kill(); // SIGKILL to the program's own pid; programFinished() starts it again
}

void Lane::beginDrain() {
    log(QStringLiteral("%1 injected; draining the traffic").arg(m_injected));
    m_faultTimer.stop();
    m_killDeadline.stop();
    m_killTrigger = QString();
    m_slowEnd.stop();
    m_trafficTimer.stop();
    m_sendTimer.stop();
    control(QStringLiteral("baud 0"));
    m_drainStartMs = m_clock.elapsed();
    m_drainTimer.start();
}

void Lane::checkDrained() {
    if (m_program.state() != QProcess::Running)
        return; // a pc-restart is still under way
    const qint64 waited = m_clock.elapsed() - m_drainStartMs;
    QStringList files;
    QStringList txLog;
    control(QStringLiteral("files"), &files);
    control(QStringLiteral("tx-log"), &txLog);
    bool busy = waited < kDrainMinMs;
    for (const QString& f : files)
        busy = busy || f.contains(QLatin1String(" message ")) || f.contains(QLatin1String(" egc "));
    for (const QString& t : txLog)
        busy = busy || t.endsWith(QLatin1String(" pending")) || t.endsWith(QLatin1String(" delivered"));
    for (const SendRecord& s : m_sends) {
        bool seen = false;
        for (const QString& t : txLog)
            seen = seen || t.startsWith(s.outFile + u' ');
        // A send that never reaches the transceiver is the checks' to report; the drain waits a minute for it.
        busy = busy || (!seen && waited < 60000);
    }
    if (busy && waited < kDrainMaxMs)
        return;
    drained = !busy;
    if (busy)
        log(QStringLiteral("traffic still under way after %1 s; closing anyway").arg(waited / 1000));
    m_drainTimer.stop();
    stopAll();
}

void Lane::stopAll() {
    m_stopping = true;
    m_program.terminate();
    QTimer::singleShot(kShutdownGraceMs, this, [this] {
        if (m_program.state() == QProcess::Running) {
            log(QStringLiteral("the program did not close after SIGTERM; killed"));
            m_programOutput << QStringLiteral("=== SHUTDOWN HUNG");
            m_program.kill();
        }
    });
}

} // namespace tessaro::soak
