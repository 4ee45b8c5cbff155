#include "link/terminal_mode.h"

#include "link/command_engine.h"

#include <algorithm>

namespace tessaro {

namespace {

struct PromptEnd {
    QLatin1StringView text;
    PromptType type;
};
// Longer prompts before the shorter ones they end with.
constexpr PromptEnd kPrompts[] = {
    {QLatin1StringView("can0:/$ "), PromptType::Can0},
    {QLatin1StringView("can1:/$ "), PromptType::Can1},
    {QLatin1StringView("can2:/$ "), PromptType::Can2},
    {QLatin1StringView("kv7302:/$ "), PromptType::BareShell},
    {QLatin1StringView("Enter new password: "), PromptType::NewPassword},
    {QLatin1StringView("Confirm new password: "), PromptType::ConfirmPassword},
    {QLatin1StringView("Enter password: "), PromptType::Password},
    {QLatin1StringView("Enter filenumber > "), PromptType::FileNumber},
    {QLatin1StringView(" > "), PromptType::SpaceAngle},
    {QLatin1StringView("> "), PromptType::Angle},
    {QLatin1StringView(": "), PromptType::Continuation},
};

} // namespace

PromptType InitPrompt(QStringView lastLine) {
    for (const PromptEnd& p : kPrompts)
        if (lastLine.endsWith(p.text))
            return p.type;
    return PromptType::None;
}

bool IsPasswordPrompt(PromptType type) {
    return type == PromptType::Password || type == PromptType::NewPassword || type == PromptType::ConfirmPassword;
}

TerminalModeSession::TerminalModeSession(CommandEngine& engine, QObject* parent) : QObject(parent), m_engine(engine) {
    connect(&m_engine, &CommandEngine::terminalReply, this, &TerminalModeSession::showReply);
    connect(&m_engine, &CommandEngine::terminalIdle, this, [this] {
        if (m_open)
            Q_EMIT focusRequested();
    });
}

TerminalModeSession::~TerminalModeSession() {
    close();
}

QString TerminalModeSession::caption() {
    return QStringLiteral("Terminal Mode");
}

QString TerminalModeSession::openingText() {
    return QStringLiteral(
        "The Terminal Mode window disables all usual communication with the transceiver. No information will be "
        "updated in Tessaro, and no EGC's or messages will be recieved in the period of the Terminal Mode session. "
        "Press 'Esc' to exit.");
}

void TerminalModeSession::open() {
    if (m_open)
        return;
    m_open = true;
    m_engine.setTerminalWindowOpen(true);
    m_text.clear();
    m_hiddenInput.clear();
    m_uploadTyped = false;
    append(openingText() + QStringLiteral("\r\n"));
    m_inputStart = m_text.size();
    m_prompt = PromptType::None;
    Q_EMIT textChanged();
}

void TerminalModeSession::close() {
    if (!m_open)
        return;
    m_open = false;
    m_engine.setTerminalWindowOpen(false);
    m_text.clear();
    m_hiddenInput.clear();
    m_inputStart = 0;
    m_prompt = PromptType::None;
    Q_EMIT textChanged();
}

void TerminalModeSession::append(const QString& text) {
    m_text += text;
    if (m_text.size() > kMaxText) {
        const qsizetype cut = m_text.size() - kMaxText;
        m_text.remove(0, cut);
        m_inputStart = std::max<qsizetype>(0, m_inputStart - cut);
    }
}

void TerminalModeSession::showReply(const QString& reply) {
    if (!m_open)
        return;
    // A reply the operator did not ask for (the keep-alive's) may come while he types: his unfinished line moves
    // behind the reply's prompt instead of being cut in two.
    const QString typed = m_text.mid(m_inputStart);
    m_text.truncate(m_inputStart);
    append(reply);
    m_inputStart = m_text.size();
    const qsizetype lineStart = m_text.lastIndexOf(QLatin1Char('\n')) + 1;
    const PromptType before = m_prompt;
    m_prompt = InitPrompt(QStringView(m_text).sliced(lineStart));
    if (IsPasswordPrompt(m_prompt) != IsPasswordPrompt(before) || !IsPasswordPrompt(m_prompt))
        m_hiddenInput.clear();
    if (IsPasswordPrompt(m_prompt))
        append(QString(m_hiddenInput.size(), QLatin1Char('*')));
    else if (!IsPasswordPrompt(before))
        append(typed);
    // The upload is over once the shell answers with a prompt of its own.
    if (m_uploadTyped && m_prompt != PromptType::None && m_engine.EngineState() != CommandEngine::Uploading)
        m_uploadTyped = false;
    Q_EMIT textChanged();
}

void TerminalModeSession::sendLine() {
    const bool hidden = IsPasswordPrompt(m_prompt);
    QString line = hidden ? m_hiddenInput : m_text.mid(m_inputStart);
    append(QStringLiteral("\r\n"));
    m_inputStart = m_text.size();
    m_hiddenInput.clear();
    if (line.startsWith(QLatin1String("tr ")) || line.startsWith(QLatin1String("transfer ")))
        m_uploadTyped = true;
    // The queue takes no empty command; a lone blank asks the shell for a new prompt all the same.
    if (line.isEmpty())
        line = QStringLiteral(" ");
    m_engine.QueueCommand(line, true);
}

bool TerminalModeSession::key(int key, const QString& text) {
    if (!m_open)
        return false;
    m_engine.touchReceiveTime();
    if (key == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return false;
    }
    // The operator's own upload: the body goes to the transceiver as it is typed.
    if (m_uploadTyped && m_engine.EngineState() == CommandEngine::Uploading) {
        QString raw = text;
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            raw = QStringLiteral("\r\n");
        if (!raw.isEmpty()) {
            m_engine.writeRaw(raw.toLatin1());
            append(raw);
            m_inputStart = m_text.size();
            Q_EMIT textChanged();
        }
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        sendLine();
    } else if (key == Qt::Key_Backspace) {
        if (m_text.size() <= m_inputStart)
            return true;
        m_text.chop(1);
        if (IsPasswordPrompt(m_prompt))
            m_hiddenInput.chop(1);
    } else if (!text.isEmpty() && text.at(0).isPrint()) {
        if (IsPasswordPrompt(m_prompt)) {
            m_hiddenInput += text;
            append(QString(text.size(), QLatin1Char('*')));
        } else {
            append(text);
        }
    } else {
        return true;
    }
    Q_EMIT textChanged();
    return true;
}

} // namespace tessaro
