#pragma once

#include "messaging/out_idx.h"
#include "status/info_lines.h"
#include <QObject>
#include <QSet>

#include <QString>

#include <utility>
#include <vector>

namespace tessaro {

class CConfiguration;
class CSession;
class cOutBox;
class SubmissionOrder;

// The delivery reports among the INFO lines: they move outbox lines through "Sending", "Delivered",
// "ConfReq", "Conf.OK" and "Failed" and carry the LES reference numbers. Registered with the INFO
// handler for its codes; what the operator should see beyond the outbox is announced by signals.
class OutboxReports final : public QObject {
    Q_OBJECT
public:
    OutboxReports(CConfiguration& config, cOutBox& outbox, const CSession& session, SubmissionOrder& order,
                  QObject* parent = nullptr);

    // The handlers of INFO 80, 81, 82, 130, 131, 140, 141 and 552, for registration by code.
    std::vector<std::pair<int, InfoHandler>> infoHandlers();

    void onNotDelivered(const QString& text);    // 80
    void onDelivered(const QString& text);       // 81
    void onSubmitted(const QString& text);       // 82
    void onConfirmationFlag();                   // 130, 131
    void onReportFailed(const QString& text);    // 140
    void onReportConfirmed(const QString& text); // 141
    void onUndeliveredAlarm();                   // 552

    int indicatorCount() const { return m_indicatorCount; }
    // Remembers the submissions still waiting for their start report when the program starts: only a report
    // lost while no program ran (or one killed before storing it) can shift them.
    void noteWaitingAtStart();

Q_SIGNALS:
    // A confirmation report to print (when the operator asked for printed confirmations).
    void printRequested(const QString& text);
    // INFO 552 sets the alarm; the delivery report that settles the last one clears it.
    void indicatorAlarm(bool alarm);
    // A report settled a submission in the order of "tx" written (to be kept on disk).
    void submissionOrderChanged();

private:
    enum class ByName { NoHolder, Line, NoLine };
    // Gives the report of outName to the submission whose "tx" was expected to get that name: Line when its
    // waiting line took the name, NoLine when that "tx" has no line (one typed in the terminal window).
    ByName assignByName(const QVector<OutIdxRecord>& records, const QString& outName);
    // The oldest line took the report of outName for want of a better one: the order is told.
    void settledInOrder(const OutIdxRecord& line, const QString& outName);
    void ruleA(const QString& text, const OutboxStatusWord& status, bool confirmationDecides);
    // Puts the transceiver's names back in order on the waiting lines when a report for outName shows that a
    // start report was lost; true when a line changed.
    bool restoreOrder(const QVector<OutIdxRecord>& records, const QString& outName);

    CConfiguration& m_config;
    cOutBox& m_outbox;
    const CSession& m_session;
    SubmissionOrder& m_order;
    int m_indicatorCount = 0;
    QSet<QString> m_waitingAtStart; // out file names
};

} // namespace tessaro
