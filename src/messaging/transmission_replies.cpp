#include "messaging/transmission_replies.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/messaging_host.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"

namespace tessaro {

namespace {
const QLatin1String kConfReqKey("[ConfReq]");
const QLatin1String kConfReqTitle("Confirmation Request");

QString firstLine(const QString& reply) {
    return StripLineEnds(reply.section(QLatin1Char('\n'), 0, 0));
}

QString secondWord(const QString& line) {
    return line.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty).trimmed();
}
} // namespace

bool UploadedSizeMatches(const QString& reply, qint64 expectedLength) {
    const qsizetype echoEnd = reply.indexOf(QLatin1Char('\n'));
    if (echoEnd < 0)
        return false;
    const QString rest = reply.mid(echoEnd + 1);
    if (!rest.contains(QLatin1String(" bytes free"))) {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return false;
        const qsizetype bytes = rest.indexOf(QLatin1String(" bytes"), colon + 1);
        if (bytes < 0)
            return false;
        const qsizetype space = rest.lastIndexOf(QLatin1Char(' '), bytes - 1);
        if (space <= colon)
            return false;
        const QString number = rest.mid(space + 1, bytes - space - 1);
        return IsNumeric(number) && Val(number) == expectedLength;
    }
    // Only the text before the free-space line counts: without a file line ("File not found") the size
    // would otherwise be found in the totals, and the colon in the prompt would stand for the file's time.
    const QString listed = rest.left(rest.indexOf(QLatin1String(" bytes free")));
    const qsizetype at = listed.indexOf(QLatin1Char(' ') + QString::number(expectedLength) + QLatin1Char(' '), 16);
    const qsizetype colon = listed.indexOf(QLatin1Char(':'));
    return at >= 0 && colon >= 0 && at < colon;
}

TxError ParseTxError(const QString& reply) {
    TxError e;
    if (!reply.startsWith(QLatin1String("tx")) || !reply.contains(QLatin1String("ERROR")))
        return e;
    e.isError = true;
    e.fileName = secondWord(firstLine(reply));
    if (reply.contains(QLatin1String("ERROR 250:"))) {
        e.egcOnly = true;
        return e;
    }
    const qsizetype at = reply.indexOf(QLatin1String("ERROR"));
    const QString after = reply.mid(at + 5);
    QString word = after.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    word = StripLineEnds(word.section(QLatin1Char('\n'), 0, 0));
    // The word normally ends in its colon; a code given without one keeps all its digits.
    if (word.endsWith(QLatin1Char(':')))
        word.chop(1);
    e.number = word;
    const qsizetype colon = reply.indexOf(QLatin1Char(':'), at);
    const qsizetype lineEnd = reply.indexOf(QLatin1Char('\n'), at);
    // A colon right before the line end leaves no text (a negative length would take the rest of the reply).
    const qsizetype textLength = (lineEnd < 0 ? reply.size() : lineEnd) - colon - 2;
    if (colon >= 0 && (lineEnd < 0 || colon < lineEnd) && textLength > 0)
        e.text = StripLineEnds(SafeMid(reply, colon + 2, textLength)).trimmed();
    return e;
}

bool CTransmissionReplies::HandleLsReply(const QString& reply) {
    const QString name = secondWord(firstLine(reply));
    if (!m_transfers.contains(name))
        return false;
    const qint32 expected = m_transfers.expectedLength(name);
    m_transfers.finish(name);
    if (UploadedSizeMatches(reply, expected))
        return true;
    m_host.ShowMessageQueued(
        FormatText(QStringLiteral("Error: The message '%0' was possibly sent with errors."), {name}),
        QStringLiteral("Info"), MessageStyle::Information);
    // At the front, so the damaged copy is gone before its already queued "tx" runs; that "tx" then
    // fails and marks the outbox line.
    m_host.QueueCommand(QStringLiteral("delete ") + name, false, true);
    return true;
}

int CTransmissionReplies::updateByTransceiverName(const QString& name, const QString& newRefNo,
                                                  const QString& newStatus) {
    // The newest submission still waiting under that transceiver name. Names of 13 characters (from the
    // hundredth message of a day) are shortened in the transceiver and can repeat the name of a message sent
    // earlier that day, whose finished line must not take this answer.
    QString outName;
    for (const OutIdxRecord& r : m_outbox.ReadRecords())
        if (r.valueCount > OutIdx::Status && r.Status == OutboxStatus::Initiated &&
            CTransmission::TransceiverFileNameOf(r.FileName.trimmed()) == name)
            outName = r.FileName.trimmed();
    return m_outbox.UpdateOutBoxFile(outName.isEmpty() ? name : outName, newRefNo, newStatus, false);
}

void CTransmissionReplies::HandleTxReply(const QString& reply) {
    const TxError e = ParseTxError(reply);
    if (!e.isError)
        return;
    if (e.egcOnly) {
        updateByTransceiverName(e.fileName, QStringLiteral("EGC only"), OutboxStatusWord(OutboxStatus::Failed).text());
        m_host.ShowMessageQueued(QStringLiteral("Not allowed to transmit as EGC receiver!"), QStringLiteral("Error"),
                                 MessageStyle::Critical);
        return;
    }
    updateByTransceiverName(e.fileName, QStringLiteral("TX-Error"), OutboxStatusWord(OutboxStatus::Failed).text());
    QString text = QStringLiteral("Message Transmission failed.") + QStringLiteral("\r\n\r\n") +
                   QStringLiteral("Error ") + e.number + QStringLiteral(": ") + e.text + QStringLiteral("\r\n");
    if (e.number == QLatin1String("121"))
        text += QStringLiteral("Please check the message size and that the DNID exists in the transceiver.");
    m_host.ShowMessageQueued(text, QStringLiteral("Error"), MessageStyle::Critical);
}

void CTransmissionReplies::HandleRestart(const QSet<QString>& txStillQueued) {
    m_outbox.UpdateOutBoxWhere(
        OutboxStatus::Initiated,
        [&](const OutIdxRecord& r) {
            return !txStillQueued.contains(CTransmission::TransceiverFileNameOf(r.FileName.trimmed()));
        },
        OutboxStatus::MesCleared);
    for (const OutboxStatus old : {OutboxStatus::Sending, OutboxStatus::ConfReq})
        m_outbox.UpdateOutBox({}, {}, old, {}, OutboxStatus::MesCleared, true);
    m_host.RefreshOutboxView();
}

void CTransmissionReplies::RequestConfirmation(const QString& outFileName, const QString& les, const QString& refNo) {
    // The pending request is checked first: marking a line "ConfReq" for a request never sent would
    // leave it waiting for an answer that cannot come.
    if (!m_config.GetIni(kConfReqKey).trimmed().isEmpty()) {
        m_host.ShowMessageQueued(QStringLiteral("Only one confirmation request can be sent at a time. Please wait "
                                                "until the response from the previous request has been received."),
                                 kConfReqTitle, MessageStyle::Information);
        return;
    }
    const QString ref = refNo.trimmed();
    if (ref.isEmpty() || ref == kNoReference ||
        m_outbox.UpdateOutBoxFile(outFileName, {}, OutboxStatus::ConfReq, true) == 0) {
        m_host.ShowMessageQueued(QStringLiteral("ConfReq of this message not possible"), kConfReqTitle,
                                 MessageStyle::Information);
        return;
    }
    m_host.QueueCommand(QStringLiteral("co ") + ref + QLatin1Char(' ') + les.trimmed(), false, false);
    m_config.SetIni(kConfReqKey, outFileName.trimmed(), true);
}

void CTransmissionReplies::AbortTransmission() {
    m_host.QueueCommand(QStringLiteral("cl"), false, false);
}

} // namespace tessaro
