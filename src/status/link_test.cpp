#include "status/link_test.h"

#include "config/text_util.h"
#include "status/reply_fields.h"

namespace tessaro {

std::optional<QString> ParseLinkTestResults(const QString& reply) {
    const qsizetype s = reply.indexOf(QLatin1StringView("Latest Link Test results"), 0, Qt::CaseInsensitive);
    if (s < 0)
        return std::nullopt;
    const qsizetype t = reply.indexOf(QLatin1StringView("Test at UTC"), s, Qt::CaseInsensitive);
    if (t < 0)
        return std::nullopt;
    // The line may end in LF alone, so the block ends after the first LF (which closes CR LF as well).
    const qsizetype e = reply.indexOf(QLatin1Char('\n'), t);
    if (e < 0)
        return std::nullopt;
    return WithoutFraming(reply.mid(s, e + 1 - s));
}

QString LinkTestWindowText(const QString& block, const QString& lineEnd, const QString& promptText) {
    const QString separator = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    QString out;
    for (QString piece : block.split(separator)) {
        if (!promptText.isEmpty())
            piece.remove(promptText);
        // A line end other than the learned one must not leave stray CR or LF characters behind.
        piece = StripLineEnds(piece);
        if (piece.size() > 1)
            out += piece + QStringLiteral("\r\n");
    }
    return out;
}

QString NoLinkTestResultsText() {
    return QStringLiteral("No LINK Test results available");
}

QString LinkTestWarningTitle() {
    return QStringLiteral("Link test warning");
}

QString LinkTestWarningText() {
    return QStringLiteral("ATTENTION!\r\nA Link test can take up to about 30 minutes.\r\n"
                          "Do you want to proceed with the Link test?");
}

QString LinkTestRequestedText() {
    return QStringLiteral("The Link test Request has been sent.");
}

} // namespace tessaro
