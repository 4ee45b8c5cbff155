#include "shell_session.h"

#include "shell_commands.h"

namespace tessaro::sim {

ShellSession::ShellSession(MesUnit* unit, Mode mode, QObject* parent) : QObject(parent), m_unit(unit), m_mode(mode) {
    connect(unit, &MesUnit::stallEnded, this, &ShellSession::process);
    connect(unit, &MesUnit::unsolicited, this, &ShellSession::printUnsolicited);
    connect(unit, &MesUnit::terminalProgramExited, this, &ShellSession::onTerminalExited);
    connect(unit, &MesUnit::dropRequested, this, &ShellSession::closeRequested);
}

ShellSession::~ShellSession() {
    if (m_upload.timer)
        m_unit->clock()->cancel(m_upload.timer);
}

void ShellSession::greet() {
    Q_EMIT output(QByteArray(kBarePrompt));
}

void ShellSession::feed(const QByteArray& bytes) {
    ++m_feedSerial;
    m_input += bytes;
    process();
}

void ShellSession::expectAnswer(Answer answer, bool hidden) {
    m_answer = std::move(answer);
    m_hiddenAnswer = hidden;
}

void ShellSession::beginUpload(const QString& name, int size) {
    m_upload = Upload{};
    m_upload.active = true;
    m_upload.name = name;
    m_upload.size = size;
    m_upload.feedSerial = m_feedSerial;
}

void ShellSession::process() {
    // A stalled unit leaves the bytes waiting; stallEnded() brings us back.
    if (m_processing)
        return;
    m_processing = true;
    while (!m_input.isEmpty() && !m_unit->isStalled() && !m_closing) {
        if (m_upload.active) {
            takeBody();
            continue;
        }
        const char c = m_input.front();
        m_input.remove(0, 1);
        if (m_afterCr) {
            // CR LF and CR CR LF each end one line, whatever the PC uses.
            if (c == '\n') {
                m_afterCr = false;
                m_crCr = false;
                continue;
            }
            if (c == '\r' && !m_crCr) {
                m_crCr = true;
                continue;
            }
            const bool emptyLine = m_crCr;
            m_afterCr = false;
            m_crCr = false;
            if (emptyLine) {
                m_input.prepend(c);
                handleLine(QByteArray());
                continue;
            }
        }
        if (c == '\r') {
            m_afterCr = true;
            handleLine(std::exchange(m_line, QByteArray()));
        } else if (c == '\n') {
            handleLine(std::exchange(m_line, QByteArray()));
        } else {
            m_line += c;
        }
    }
    m_processing = false;
}

void ShellSession::takeBody() {
    // "tr" is written ending in CR alone; a LF in the same write is the PC's line end, not the body.
    if (m_afterCr && m_upload.body.isEmpty() && m_upload.feedSerial == m_feedSerial && m_input.startsWith('\n'))
        m_input.remove(0, 1);
    m_afterCr = false;
    m_crCr = false;
    const qsizetype want = m_upload.size - m_upload.body.size();
    const QByteArray part = m_input.left(want);
    m_input.remove(0, part.size());
    m_upload.body += part;
    if (m_upload.body.size() >= m_upload.size)
        finishUpload(true);
    else if (!part.isEmpty())
        armUploadTimeout();
}

void ShellSession::armUploadTimeout() {
    if (m_upload.timer)
        m_unit->clock()->cancel(m_upload.timer);
    m_upload.timer = m_unit->clock()->callAfter(m_unit->options().uploadTimeoutMs, [this] {
        m_upload.timer = 0;
        finishUpload(false);
        process();
    });
}

void ShellSession::finishUpload(bool complete) {
    if (m_upload.timer)
        m_unit->clock()->cancel(m_upload.timer);
    const Upload up = std::exchange(m_upload, Upload{});
    m_unit->record(up.body, true);
    Reply reply(lineEnd());
    if (complete) {
        m_unit->storeUpload(up.name, up.body);
        reply.line(QStringLiteral("%1: %2 bytes stored").arg(up.name).arg(up.size));
    } else {
        // A short body is not stored: half a message must never be sent.
        reply.line(QStringLiteral("ERROR 201: Transfer time-out, %1 of %2 bytes received, %3 not stored")
                       .arg(up.body.size())
                       .arg(up.size)
                       .arg(up.name));
    }
    reply.split();
    reply.raw(mainPrompt());
    send(reply);
}

void ShellSession::handleLine(const QByteArray& bytes) {
    const QString line = QString::fromLatin1(bytes);
    Reply reply(lineEnd());
    if (m_answer) {
        Answer answer = std::exchange(m_answer, Answer());
        const bool hidden = std::exchange(m_hiddenAnswer, false);
        m_unit->record(hidden ? QByteArray("********") : bytes);
        reply.line(hidden ? QString() : line);
        reply.split();
        answer(line, reply);
    } else {
        m_unit->record(bytes);
        reply.line(line);
        reply.split();
        if (m_mode == Mode::BareShell)
            runBareShell(line.trimmed(), reply);
        else
            runTerminal(line.trimmed(), reply);
    }
    if (!m_answer && !m_upload.active && !m_closing) {
        reply.split();
        reply.raw(m_mode == Mode::Terminal ? mainPrompt() : QByteArray(kBarePrompt));
    }
    send(reply);
    if (m_closing)
        Q_EMIT closeRequested();
}

void ShellSession::runBareShell(const QString& line, Reply& reply) {
    const QStringList args = line.split(u' ', Qt::SkipEmptyParts);
    const QString cmd = args.value(0);
    if (cmd == u"minic") {
        m_mode = Mode::Terminal;
        if (m_unit->announceStart) {
            m_unit->announceStart = false;
            reply.line(QStringLiteral("Starting application program."));
        }
        reply.line(QStringLiteral("Mini-C terminal program %1").arg(m_unit->model().minicVersion));
        reply.line(QStringLiteral("Connected to transceiver %1, mobile no %2")
                       .arg(m_unit->model().hardware, m_unit->mobileNumber));
    } else if (cmd == u"sysconf") {
        if (args.value(1) == u"-h" && (args.value(2) == u"0" || args.value(2) == u"1"))
            reply.line(args.value(2) == u"0" ? QStringLiteral("Fixed IP address in use")
                                             : QStringLiteral("Dynamic IP address (DHCP) in use"));
        else if (args.value(1) == u"-i" && args.size() == 3)
            reply.line(QStringLiteral("IP address set to %1").arg(args.value(2)));
        else
            reply.line(QStringLiteral("usage: sysconf -h 0|1 | -i ADDRESS"));
    } else if (cmd == u"reboot") {
        reply.line(QStringLiteral("The system is going down for reboot NOW!"));
        m_unit->announceStart = true;
        m_unit->restartApplication();
        m_closing = true;
    } else if (cmd == u"exit") {
        reply.line(QStringLiteral("logout"));
        m_closing = true;
    } else if (!cmd.isEmpty()) {
        reply.line(QStringLiteral("%1: command not found").arg(cmd));
    }
}

void ShellSession::runTerminal(const QString& line, Reply& reply) {
    ShellContext ctx{*m_unit, *this, line, line.split(u' ', Qt::SkipEmptyParts)};
    const QString cmd = ctx.arg(0);
    bool known = true;
    if (cmd.isEmpty()) {
        // An empty line only brings a new prompt.
    } else if (cmd == u"minic") {
        reply.line(QStringLiteral("minic: command not found"));
    } else if (cmd == u"exit" && ctx.args.size() == 1) {
        reply.line(QStringLiteral("Mini-C terminal program stopped"));
        m_mode = Mode::BareShell;
    } else {
        known = runStatusCommand(ctx, reply) || runMessageCommand(ctx, reply) || runEgcCommand(ctx, reply) ||
                runSetupCommand(ctx, reply);
    }
    if (!known)
        reply.line(QStringLiteral("ERROR 120: Unknown command"));
}

void ShellSession::send(const Reply& reply) {
    for (const QByteArray& chunk : reply.chunks())
        Q_EMIT output(chunk);
}

void ShellSession::printUnsolicited(const QStringList& lines) {
    if (m_mode != Mode::Terminal)
        return;
    Reply reply(lineEnd());
    reply.raw(lineEnd());
    for (const QString& l : lines)
        reply.line(l);
    reply.raw(mainPrompt());
    send(reply);
}

void ShellSession::onTerminalExited() {
    if (m_mode != Mode::Terminal)
        return;
    m_mode = Mode::BareShell;
    m_answer = Answer();
    Reply reply(lineEnd());
    reply.raw(lineEnd());
    reply.raw(kBarePrompt);
    send(reply);
}

} // namespace tessaro::sim
