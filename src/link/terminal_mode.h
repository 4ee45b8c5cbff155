#pragma once

#include <QObject>
#include <QString>

namespace tessaro {

class CommandEngine;

// The kinds of prompt the shell leaves at the end of a reply; the password prompts hide what is typed.
enum class PromptType {
    None,
    Can0,            // "can0:/$ "
    Can1,            // "can1:/$ "
    Can2,            // "can2:/$ "
    BareShell,       // "kv7302:/$ "
    Angle,           // "> "
    SpaceAngle,      // " > "
    Password,        // "Enter password: "
    NewPassword,     // "Enter new password: "
    ConfirmPassword, // "Confirm new password: "
    FileNumber,      // "Enter filenumber > "
    Continuation,    // a line ending in ": "
};
// The prompt type of the current (last) line of the dialogue.
PromptType InitPrompt(QStringView lastLine);
bool IsPasswordPrompt(PromptType type);

// The operator's direct dialogue with the shell. While it is open the engine shows every completed reply
// here instead of routing it, and the poll cycle and the position poll wait (the keep-alive still runs).
// Holds the text of the window (CR LF line ends, at most its last kMaxText characters) and turns keys into
// command lines; the window only displays the text and forwards keys.
class TerminalModeSession final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxText = 10000;
    explicit TerminalModeSession(CommandEngine& engine, QObject* parent = nullptr);
    ~TerminalModeSession() override;

    static QString caption();
    static QString openingText();

    // Opening sets the engine's terminal mode; closing ends it and clears the text.
    void open();
    void close();
    bool isOpen() const { return m_open; }

    const QString& text() const { return m_text; }
    PromptType promptType() const { return m_prompt; }
    // What is typed after the prompt on the current line (stars at a password prompt).
    QString typedText() const { return m_text.mid(m_inputStart); }

    // A key with its text. Esc closes (returns false); Enter sends the line; Backspace never erases the prompt;
    // at a password prompt the characters are kept apart and shown as stars.
    bool key(int key, const QString& text);

Q_SIGNALS:
    void textChanged();
    // The engine is idle with nothing queued: the window takes the input focus.
    void focusRequested();
    void closeRequested();

private:
    void append(const QString& text);
    void showReply(const QString& reply);
    void sendLine();

    CommandEngine& m_engine;
    bool m_open = false;
    QString m_text;
    qsizetype m_inputStart = 0; // where the operator's typing on the current line begins
    PromptType m_prompt = PromptType::None;
    QString m_hiddenInput;
    bool m_uploadTyped = false; // the last line sent was "tr " or "transfer ": the body is typed raw
};

} // namespace tessaro
