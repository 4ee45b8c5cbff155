#include "link/shell_protocol.h"

#include <algorithm>
#include <iterator>

#include <QList>

namespace tessaro {

ReplyEndTest TestReplyEnd(QStringView buffer, QStringView lineEnd) {
    ReplyEndTest r;
    if (buffer.size() < 2)
        return r;

    bool mainPrompt = false;
    for (QLatin1StringView p : shell::kMainPrompts) {
        if (buffer.endsWith(p)) {
            r.prompt = p;
            mainPrompt = true;
            break;
        }
    }
    if (mainPrompt) {
        r.complete = true;
        r.promptSeen = true;
    } else if (buffer.endsWith(shell::kBareShellPrompt)) {
        r.prompt = shell::kBareShellPrompt;
        r.promptSeen = true;
        r.bareShell = true;
    } else if (buffer.endsWith(shell::kContinuationPrompt)) {
        r.prompt = shell::kContinuationPrompt;
        r.complete = true;
        r.promptSeen = true;
    }

    if (buffer.endsWith(QLatin1StringView("> ")) || buffer.endsWith(QLatin1StringView(" >")))
        r.complete = true;
    for (QLatin1StringView p : shell::kPasswordPrompts) {
        const qsizetype n = p.size() + lineEnd.size();
        if (buffer.size() >= n && buffer.endsWith(p) && buffer.sliced(buffer.size() - n).startsWith(lineEnd))
            r.complete = true;
    }
    // The echo of an upload command is all that comes before the body is sent. The prompt tests above
    // still count: a bare shell behind the echo must restart the terminal program all the same.
    if (buffer.startsWith(QLatin1StringView("tr ")))
        r.complete = true;
    return r;
}

bool EndsWithMainPrompt(QStringView buffer) {
    return std::any_of(std::begin(shell::kMainPrompts), std::end(shell::kMainPrompts),
                       [buffer](QLatin1StringView p) { return buffer.endsWith(p); });
}

std::optional<QString> LearnLineEnd(QStringView reply) {
    if (!reply.startsWith(shell::kLineEndProbe))
        return std::nullopt;
    const QStringView rest = reply.sliced(shell::kLineEndProbe.size());
    if (rest.startsWith(u'\n'))
        return QStringLiteral("\n");
    if (rest.startsWith(QLatin1StringView("\r\n")))
        return QStringLiteral("\r\n");
    if (rest.startsWith(QLatin1StringView("\r\r\n")))
        return QStringLiteral("\r\r\n");
    return std::nullopt;
}

UploadRefusal UploadRefusalIn(QStringView reply) {
    // Only what follows the echo line counts: the file name may hold any text.
    const qsizetype lf = reply.indexOf(u'\n');
    const QStringView rest = lf < 0 ? QStringView() : reply.sliced(lf + 1);
    if (rest.contains(shell::kBareShellPrompt) || rest.contains(QLatin1StringView("command not found")) ||
        reply.endsWith(shell::kBareShellPrompt))
        return UploadRefusal::ShellGone;
    for (QStringView line : rest.split(u'\n'))
        if (line.trimmed().startsWith(QLatin1StringView("ERROR")))
            return UploadRefusal::Error;
    return UploadRefusal::None;
}

bool EchoMatches(QStringView reply, QStringView command, QStringView lineEnd, Qt::CaseSensitivity cs) {
    if (reply.size() < command.size() + lineEnd.size())
        return false;
    return reply.startsWith(command, cs) && reply.sliced(command.size()).startsWith(lineEnd);
}

QString CutFinalPrompt(const QString& reply, const QString& prompt) {
    if (!prompt.isEmpty() && reply.endsWith(prompt))
        return reply.left(reply.size() - prompt.size());
    return reply;
}

QString WithoutEchoLine(const QString& reply) {
    const qsizetype lf = reply.indexOf(QLatin1Char('\n'));
    return lf < 0 ? QString() : reply.mid(lf + 1);
}

int UploadLastRound(qsizetype length) {
    const qsizetype whole = length / 100;
    const qsizetype rest = length % 100;
    qsizetype rounded = whole;
    if (rest > 50 || (rest == 50 && (whole % 2) == 1))
        ++rounded;
    return int(rounded + 1);
}

} // namespace tessaro
