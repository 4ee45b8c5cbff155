#pragma once

#include "mes_unit.h"
#include "reply.h"

#include <QByteArray>
#include <QObject>

#include <functional>

namespace tessaro::sim {

// One shell on one line (a TCP connection or the pseudo-terminal): assembles command lines from the bytes the
// PC sends, echoes them, runs them against the shared unit and prints the output and the prompt. Output leaves
// through output() in the pieces a real unit would send; the transport decides the pacing.
class ShellSession final : public QObject {
    Q_OBJECT
public:
    enum class Mode { BareShell, Terminal };
    // What the line typed next answers, when a command asked for more.
    using Answer = std::function<void(const QString& answer, Reply& reply)>;

    static constexpr const char* kBarePrompt = "kv7302:/$ ";

    ShellSession(MesUnit* unit, Mode mode, QObject* parent = nullptr);
    ~ShellSession() override;

    Mode mode() const { return m_mode; }
    MesUnit* unit() const { return m_unit; }
    QByteArray lineEnd() const { return lineEndBytes(m_unit->options().lineEnd); }
    QByteArray mainPrompt() const { return m_unit->options().prompt; }

    // Bytes from the PC.
    void feed(const QByteArray& bytes);
    // A new TCP connection sees the bare shell prompt.
    void greet();

    // For command handlers: the next line answers a question instead of being a command. A password answer
    // is not echoed.
    void expectAnswer(Answer answer, bool hidden = false);
    // For "tr": the next size bytes are the file body.
    void beginUpload(const QString& name, int size);
    void setMode(Mode mode) { m_mode = mode; }
    // Runs a terminal-program command line into the reply (no echo, no prompt): a dialog that is left with a
    // command runs it this way.
    void runCommand(const QString& line, Reply& reply) { runTerminal(line, reply); }

Q_SIGNALS:
    void output(const QByteArray& chunk);
    void closeRequested();

private:
    void process();
    void handleLine(const QByteArray& line);
    void runBareShell(const QString& line, Reply& reply);
    void runTerminal(const QString& line, Reply& reply);
    void takeBody();
    void finishUpload(bool complete);
    void armUploadTimeout();
    void send(const Reply& reply);
    void printUnsolicited(const QStringList& lines);
    void onTerminalExited();

    MesUnit* m_unit;
    Mode m_mode;
    QByteArray m_input;
    QByteArray m_line;
    bool m_afterCr = false;
    bool m_crCr = false;
    Answer m_answer;
    bool m_hiddenAnswer = false;

    struct Upload {
        bool active = false;
        QString name;
        int size = 0;
        QByteArray body;
        int timer = 0;
        quint64 feedSerial = 0;
    } m_upload;
    quint64 m_feedSerial = 0;
    bool m_processing = false;
    bool m_closing = false;
};

} // namespace tessaro::sim
