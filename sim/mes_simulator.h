#pragma once

#include "control_commands.h"
#include "mes_unit.h"
#include "shell_session.h"
#include "sim_clock.h"
#include "sim_options.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>

#include <memory>

namespace tessaro::sim {

class PtyPort;

// The virtual transceiver as a whole: one unit, reachable over TCP (bare shell first, as a LAN unit), over a
// pseudo-terminal (the terminal program's serial console) and directly through in-memory sessions. The
// program's --simulator option creates one in its own process on a free loopback port.
class MesSimulator final : public QObject {
    Q_OBJECT
public:
    explicit MesSimulator(const SimOptions& options = {}, QObject* parent = nullptr);
    ~MesSimulator() override;

    // Port 0 picks a free port; serverPort() tells which.
    bool listen(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);
    quint16 serverPort() const { return m_server.serverPort(); }
    QHostAddress serverAddress() const { return m_server.serverAddress(); }
    QString errorString() const { return m_server.errorString(); }

    // The scenario port: one command a line, answered by result lines and "OK" or "ERROR: text".
    bool listenControl(const QHostAddress& address, quint16 port);
    quint16 controlPort() const { return m_control.serverPort(); }

    bool openPty(QString* slavePath, QString* error);

    // Runs a scenario file: its lines in order; "sleep N" lets N simulated seconds pass before the next line.
    bool runScenarioFile(const QString& path, QString* error);
    void runScenario(const QStringList& lines);

    ControlResult control(const QString& line) { return m_interpreter.execute(line); }
    SimClock* clock() { return &m_clock; }
    MesUnit* unit() { return m_unit.get(); }
    int connectionCount() const;

    // An in-memory session for tests and embedding; the caller owns it.
    std::unique_ptr<ShellSession> createSession(ShellSession::Mode mode);

Q_SIGNALS:
    void scenarioFinished();
    // Bytes of a TCP shell connection as they leave for the PC (after pacing) and as they arrive from it; the
    // benchmarks time the program's answer to a finished reply with them.
    void shellBytesSent(const QByteArray& bytes);
    void shellBytesReceived(const QByteArray& bytes);

private:
    void acceptShell();
    void acceptControl();
    void runScenarioFrom(QStringList lines, qsizetype index);

    SimOptions m_options;
    SimClock m_clock;
    std::unique_ptr<MesUnit> m_unit;
    ControlInterpreter m_interpreter;
    QTcpServer m_server;
    QTcpServer m_control;
    PtyPort* m_pty = nullptr;
};

} // namespace tessaro::sim
