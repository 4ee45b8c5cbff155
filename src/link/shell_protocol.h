#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tessaro {

// What the shell prints, as the program relies on it.
namespace shell {
inline constexpr QLatin1StringView kMainPrompts[] = {QLatin1StringView("can0:/$ "), QLatin1StringView("can1:/$ "),
                                                     QLatin1StringView("can2:/$ ")};
// The transceiver's own shell: its terminal program is not running.
inline constexpr QLatin1StringView kBareShellPrompt("kv7302:/$ ");
inline constexpr QLatin1StringView kContinuationPrompt("\r\n: ");
inline constexpr QLatin1StringView kPasswordPrompts[] = {QLatin1StringView("Enter password: "),
                                                         QLatin1StringView("Enter new password: "),
                                                         QLatin1StringView("Confirm new password: ")};
inline constexpr QLatin1StringView kLineEndProbe("st -l");
// What the transceiver prints, whenever it happens, when its application program restarts.
inline constexpr QLatin1StringView kRestartBanner("Starting application program.");
} // namespace shell

// The verdict on the end of the receive buffer in a tick that brought no new data.
struct ReplyEndTest {
    bool complete = false;
    bool promptSeen = false; // one of the shell's prompts ends the buffer
    bool bareShell = false;  // the bare shell prompt: the terminal program must be restarted
    QString prompt;          // the prompt recognised, when promptSeen
};

// Applies every completion test in its order. lineEnd is the learned line end ("" until learned).
ReplyEndTest TestReplyEnd(QStringView buffer, QStringView lineEnd);

// The buffer ends with one of the main prompts: the reply is complete in the tick its last data arrived.
bool EndsWithMainPrompt(QStringView buffer);

// The line end used in the echo of a reply to "st -l": LF, CR LF or CR CR LF; nothing for other replies.
std::optional<QString> LearnLineEnd(QStringView reply);

// The reply echoes command (followed by lineEnd).
// Why the shell answered an upload command with more than its echo: the terminal program is gone (the bare
// shell ran "tr" as a command of its own), or it refused the upload with an ERROR line.
enum class UploadRefusal { None, ShellGone, Error };
UploadRefusal UploadRefusalIn(QStringView reply);

bool EchoMatches(QStringView reply, QStringView command, QStringView lineEnd,
                 Qt::CaseSensitivity cs = Qt::CaseSensitive);

// The reply without its final prompt (when it ends with it).
QString CutFinalPrompt(const QString& reply, const QString& prompt);

// The reply without its echoed first line: what an operator typing the command wants to see.
QString WithoutEchoLine(const QString& reply);

// An upload of length characters is written as rounds 0..UploadLastRound(length), 100 characters each:
// the last round index is length/100 rounded half to even, plus one.
int UploadLastRound(qsizetype length);

} // namespace tessaro
