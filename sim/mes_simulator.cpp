#include "mes_simulator.h"

#include "output_pacer.h"
#include "pty_port.h"

#include <QFile>
#include <QTcpSocket>

namespace tessaro::sim {

MesSimulator::MesSimulator(const SimOptions& options, QObject* parent)
    : QObject(parent), m_options(options), m_unit(std::make_unique<MesUnit>(&m_clock, options)),
      m_interpreter(m_unit.get()) {
    connect(&m_server, &QTcpServer::newConnection, this, &MesSimulator::acceptShell);
    connect(&m_control, &QTcpServer::newConnection, this, &MesSimulator::acceptControl);
    if (options.realTime)
        m_clock.startRealTime();
}

MesSimulator::~MesSimulator() {
    // Sessions hold connections to the unit; they go before it.
    const auto sessions = findChildren<ShellSession*>();
    for (ShellSession* s : sessions)
        delete s;
}

bool MesSimulator::listen(const QHostAddress& address, quint16 port) {
    return m_server.listen(address, port);
}

bool MesSimulator::listenControl(const QHostAddress& address, quint16 port) {
    return m_control.listen(address, port);
}

int MesSimulator::connectionCount() const {
    return static_cast<int>(m_server.findChildren<QTcpSocket*>().size());
}

std::unique_ptr<ShellSession> MesSimulator::createSession(ShellSession::Mode mode) {
    return std::make_unique<ShellSession>(m_unit.get(), mode);
}

void MesSimulator::acceptShell() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(&m_server);
        // The shell's output is paced here like a serial line; Nagle's algorithm would add waits of its own.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto* session = new ShellSession(m_unit.get(), ShellSession::Mode::BareShell, this);
        auto* pacer = new OutputPacer(
            [this, socket](const QByteArray& bytes) {
                socket->write(bytes);
                Q_EMIT shellBytesSent(bytes);
            },
            m_unit->options().baud, m_options.chunked ? m_options.chunkDelayMs : 0, socket);
        connect(session, &ShellSession::output, pacer, &OutputPacer::push);
        connect(m_unit.get(), &MesUnit::baudChanged, pacer, &OutputPacer::setBaud);
        connect(socket, &QTcpSocket::readyRead, session, [this, socket, session] {
            const QByteArray bytes = socket->readAll();
            Q_EMIT shellBytesReceived(bytes);
            session->feed(bytes);
        });
        connect(session, &ShellSession::closeRequested, socket, [socket, pacer] {
            // Let what the shell printed last reach the PC, then hang up.
            if (pacer->isIdle())
                socket->disconnectFromHost();
            else
                connect(pacer, &OutputPacer::drained, socket, &QTcpSocket::disconnectFromHost);
        });
        connect(m_unit.get(), &MesUnit::dropRequested, socket, [socket, pacer] {
            pacer->clear();
            socket->abort();
        });
        connect(socket, &QTcpSocket::disconnected, session, &QObject::deleteLater);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        session->greet();
    }
}

void MesSimulator::acceptControl() {
    while (QTcpSocket* socket = m_control.nextPendingConnection()) {
        socket->setParent(&m_control);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            while (socket->canReadLine()) {
                const QString line = QString::fromLatin1(socket->readLine()).trimmed();
                if (line.isEmpty())
                    continue;
                const ControlResult result = m_interpreter.execute(line);
                QByteArray out;
                for (const QString& l : result.lines)
                    out += l.toLatin1() + "\n";
                out += result.ok ? QByteArray("OK\n") : "ERROR: " + result.error.toLatin1() + "\n";
                socket->write(out);
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

bool MesSimulator::openPty(QString* slavePath, QString* error) {
    auto pty = std::make_unique<PtyPort>(this);
    if (!pty->open(error))
        return false;
    m_pty = pty.release();
    // The serial side is the terminal program's own console: no bare shell in front of it.
    auto* session = new ShellSession(m_unit.get(), ShellSession::Mode::Terminal, this);
    auto* pacer = new OutputPacer([this](const QByteArray& bytes) { m_pty->write(bytes); }, m_unit->options().baud,
                                  m_options.chunked ? m_options.chunkDelayMs : 0, m_pty);
    connect(session, &ShellSession::output, pacer, &OutputPacer::push);
    connect(m_unit.get(), &MesUnit::baudChanged, pacer, &OutputPacer::setBaud);
    connect(m_pty, &PtyPort::received, session, &ShellSession::feed);
    if (slavePath)
        *slavePath = m_pty->slavePath();
    return true;
}

bool MesSimulator::runScenarioFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    runScenario(QString::fromLatin1(file.readAll()).split(u'\n'));
    return true;
}

void MesSimulator::runScenario(const QStringList& lines) {
    runScenarioFrom(lines, 0);
}

void MesSimulator::runScenarioFrom(QStringList lines, qsizetype index) {
    for (; index < lines.size(); ++index) {
        const QString line = lines.at(index).trimmed();
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (!words.isEmpty() && (words[0] == u"sleep" || words[0] == u"wait")) {
            const double seconds = words.value(1).toDouble();
            m_clock.callAfter(static_cast<qint64>(seconds * 1000),
                              [this, lines, index] { runScenarioFrom(lines, index + 1); });
            return;
        }
        const ControlResult r = m_interpreter.execute(line);
        if (!r.ok)
            qWarning("scenario line %lld: %s", static_cast<long long>(index + 1), qPrintable(r.error));
    }
    Q_EMIT scenarioFinished();
}

} // namespace tessaro::sim
