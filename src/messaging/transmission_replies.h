#pragma once

#include <QSet>
#include <QString>

namespace tessaro {

class CConfiguration;
class IMessagingHost;
class PendingTransfers;
class cOutBox;

// The size check of an "ls <file>" reply in both listing layouts. The echo line is skipped.
bool UploadedSizeMatches(const QString& reply, qint64 expectedLength);

// An error reply to "tx": the transceiver file (second word of the echo), the error number and text.
struct TxError {
    bool isError = false;
    bool egcOnly = false; // "ERROR 250:": the unit only receives EGCs
    QString fileName;
    QString number;
    QString text;
};
TxError ParseTxError(const QString& reply);

// Replies that follow a submission: the size check, "tx" errors, the transceiver restart, and the
// operator's confirmation request and abort.
class CTransmissionReplies final {
public:
    CTransmissionReplies(CConfiguration& config, cOutBox& outbox, IMessagingHost& host, PendingTransfers& transfers)
        : m_config(config), m_outbox(outbox), m_host(host), m_transfers(transfers) {}

    // "ls " + file for a file this program uploaded; other "ls" replies are left alone (returns false).
    bool HandleLsReply(const QString& reply);
    void HandleTxReply(const QString& reply);
    // "Starting application program.": the transceiver restarted and lost what it was given: those lines become "MES
    // Cleared". A line whose "tx" is still queued here (txStillQueued: transceiver file names) never reached it and
    // stays.
    void HandleRestart(const QSet<QString>& txStillQueued = {});

    // Outbox view command: ask the LES to confirm delivery of a sent message.
    void RequestConfirmation(const QString& outFileName, const QString& les, const QString& refNo);
    void AbortTransmission();

private:
    int updateByTransceiverName(const QString& name, const QString& newRefNo, const QString& newStatus);

    CConfiguration& m_config;
    cOutBox& m_outbox;
    IMessagingHost& m_host;
    PendingTransfers& m_transfers;
};

} // namespace tessaro
