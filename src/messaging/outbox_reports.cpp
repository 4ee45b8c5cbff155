#include "messaging/outbox_reports.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/outbox.h"
#include "messaging/submission_order.h"
#include "messaging/transmission.h"
#include "status/session.h"

#include <algorithm>

namespace tessaro {

namespace {
// The text after a label up to the end of its line.
QString restOfLine(const QString& text, qsizetype from) {
    if (from < 0 || from >= text.size())
        return {};
    const qsizetype end = text.indexOf(QLatin1Char('\r'), from);
    const qsizetype lf = text.indexOf(QLatin1Char('\n'), from);
    qsizetype stop = text.size();
    if (end >= 0)
        stop = end;
    if (lf >= 0 && lf < stop)
        stop = lf;
    return text.mid(from, stop - from);
}

// Whether the transceiver started "OUT.later" a few transmissions after "OUT.earlier" (it counts 1 to 999 and
// starts over).
bool startedAfter(int later, int earlier) {
    constexpr int kNames = SubmissionOrder::kNames;
    constexpr int kNearby = 50;
    const int distance = (later - earlier + kNames) % kNames;
    return later > 0 && earlier > 0 && distance >= 1 && distance <= kNearby;
}
} // namespace

OutboxReports::OutboxReports(CConfiguration& config, cOutBox& outbox, const CSession& session, SubmissionOrder& order,
                             QObject* parent)
    : QObject(parent), m_config(config), m_outbox(outbox), m_session(session), m_order(order) {}

std::vector<std::pair<int, InfoHandler>> OutboxReports::infoHandlers() {
    return {
        {80, [this](const InfoEvent& e) { onNotDelivered(e.text); }},
        {81, [this](const InfoEvent& e) { onDelivered(e.text); }},
        {82, [this](const InfoEvent& e) { onSubmitted(e.text); }},
        {130, [this](const InfoEvent&) { onConfirmationFlag(); }},
        {131, [this](const InfoEvent&) { onConfirmationFlag(); }},
        {140, [this](const InfoEvent& e) { onReportFailed(e.text); }},
        {141, [this](const InfoEvent& e) { onReportConfirmed(e.text); }},
        {552, [this](const InfoEvent&) { onUndeliveredAlarm(); }},
    };
}

void OutboxReports::noteWaitingAtStart() {
    m_waitingAtStart.clear();
    for (const OutIdxRecord& r : m_outbox.ReadRecords())
        if (r.awaitsStartReport())
            m_waitingAtStart.insert(r.FileName.trimmed());
}

void OutboxReports::onNotDelivered(const QString& text) {
    ruleA(text, OutboxStatus::Failed, false);
    if (m_indicatorCount > 0 && --m_indicatorCount == 0)
        Q_EMIT indicatorAlarm(false);
}

void OutboxReports::onDelivered(const QString& text) {
    ruleA(text, OutboxStatus::Delivered, true);
    if (m_indicatorCount > 0 && --m_indicatorCount == 0)
        Q_EMIT indicatorAlarm(false);
}

void OutboxReports::onSubmitted(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1String("OUT."));
    if (at < 0)
        return;
    const QString outName = StripLineEnds(text.mid(at, 7)).trimmed();
    const QVector<OutIdxRecord> records = m_outbox.ReadRecords();
    if (assignByName(records, outName) != ByName::NoHolder)
        return;
    const auto first =
        std::find_if(records.begin(), records.end(), [](const OutIdxRecord& r) { return r.awaitsStartReport(); });
    if (first != records.end() && m_outbox.RenumberSubmissions({{first->FileName.trimmed(), outName}}) > 0)
        settledInOrder(*first, outName);
}

OutboxReports::ByName OutboxReports::assignByName(const QVector<OutIdxRecord>& records, const QString& outName) {
    const int n = SubmissionOrder::outNumber(outName);
    const QString holder = m_order.holderOf(n);
    if (holder.isEmpty())
        return ByName::NoHolder;
    // The newest waiting line of that transceiver name: shortened names repeat those of earlier messages.
    QString file;
    for (const OutIdxRecord& r : records)
        if (r.awaitsStartReport() && CTransmission::TransceiverFileNameOf(r.FileName.trimmed()) == holder)
            file = r.FileName.trimmed();
    // No line: a transmission typed in the terminal window. It keeps its entry, so its delivery report is
    // known as its own too.
    if (file.isEmpty())
        return ByName::NoLine;
    // The index first: killed in between, the next run finds the line holding its name and drops the entry.
    if (m_outbox.RenumberSubmissions({{file, outName}}) == 0)
        return ByName::NoLine; // the index could not be rewritten (already told); the entry stays for the next report
    m_order.settled(holder, n);
    Q_EMIT submissionOrderChanged();
    return ByName::Line;
}

void OutboxReports::settledInOrder(const OutIdxRecord& line, const QString& outName) {
    if (const int n = SubmissionOrder::outNumber(outName); n != 0) {
        m_order.settled(CTransmission::TransceiverFileNameOf(line.FileName.trimmed()), n);
        Q_EMIT submissionOrderChanged();
    }
}

void OutboxReports::onConfirmationFlag() {
    const QString pending = m_config.GetIni(QStringLiteral("[ConfReq]")).trimmed();
    if (!pending.isEmpty()) {
        m_outbox.UpdateOutBoxFile(pending, {}, OutboxStatus::ConfOkNoDot, false);
        m_config.SetIni(QStringLiteral("[ConfReq]"), QString(), true);
    }
}

void OutboxReports::onReportFailed(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1String("failure code:"), 0, Qt::CaseInsensitive);
    ruleA(text,
          at >= 0 ? OutboxStatusWord::failedWithCode(restOfLine(text, at + 13).trimmed())
                  : OutboxStatusWord(OutboxStatus::Failed),
          false);
}

void OutboxReports::onReportConfirmed(const QString& text) {
    // Stored files carry "Conf.OK" here (not "Conf.Ok"); views and forms compare with it.
    ruleA(text, OutboxStatus::ConfOkCapitalK, false);
    const int family = m_session.ProductType();
    if ((family == 4 || family == 5) &&
        m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintMsgConf"), {}) == QLatin1String("1"))
        Q_EMIT printRequested(text);
}

void OutboxReports::onUndeliveredAlarm() {
    ++m_indicatorCount;
    Q_EMIT indicatorAlarm(true);
}

void OutboxReports::ruleA(const QString& text, const OutboxStatusWord& status, bool confirmationDecides) {
    const qsizetype fileAt = text.indexOf(QLatin1String("File "));
    const QString fileName = fileAt >= 0 ? StripLineEnds(text.mid(fileAt + 5, 7)).trimmed() : QString();
    const qsizetype refAt = text.indexOf(QLatin1String("Reference number"));
    const QString refNo = refAt >= 0 ? restOfLine(text, refAt + 17).trimmed() : QString();
    const qsizetype lesAt = text.indexOf(QLatin1String("LES "));
    const QString les =
        lesAt >= 0 && Val(SafeMid(text, lesAt + 4)) > 0 ? QString::number(Val(SafeMid(text, lesAt + 4))) : QString();

    const QVector<OutIdxRecord> records = m_outbox.ReadRecords();
    const auto lineOf = [&](const QString& ref, std::optional<OutboxStatus> oldStatus,
                            const QString& lesWanted) -> const OutIdxRecord* {
        for (const OutIdxRecord& r : records)
            if (r.valueCount > OutIdx::RequestConfirmation && r.Reference.trimmed() == ref &&
                (!oldStatus || r.Status == *oldStatus) && (lesWanted.isEmpty() || r.lesNumber() == Val(lesWanted)))
                return &r;
        return nullptr;
    };
    // Which line is meant decides "Delivered" or "ConfReq" (its confirmation flag).
    const auto statusFor = [&](const OutIdxRecord& line) {
        return confirmationDecides && line.RequestConfirmation ? OutboxStatusWord(OutboxStatus::ConfReq) : status;
    };

    // A report that names a reference a line already holds (a confirmation, a later negative report) is about a
    // delivered message, whatever transmission it names.
    const bool knownReference = !refNo.isEmpty() && refNo != kNoReference && lineOf(refNo, std::nullopt, {});
    if (!fileName.isEmpty() && !knownReference && !lineOf(fileName, OutboxStatus::Sending, {})) {
        // Its start report did not come (or was lost in a kill): the line expected to get that name takes it.
        switch (assignByName(records, fileName)) {
        case ByName::Line:
            return ruleA(text, status, confirmationDecides);
        case ByName::NoLine:
            return;
        case ByName::NoHolder:
            if (restoreOrder(records, fileName))
                return ruleA(text, status, confirmationDecides);
            break;
        }
    }
    if (!fileName.isEmpty()) {
        if (const OutIdxRecord* line = lineOf(fileName, OutboxStatus::Sending, les);
            line && m_outbox.UpdateOutBox(les, fileName, OutboxStatus::Sending, refNo, statusFor(*line), false) > 0)
            return;
    }
    // After the delivery report the line holds the LES reference instead of the file name: a later report
    // (a confirmation, a negative report) finds it by that reference.
    if (!refNo.isEmpty() && refNo != kNoReference) {
        if (const OutIdxRecord* line = lineOf(refNo, std::nullopt, les);
            line && m_outbox.UpdateOutBox(les, refNo, line->Status.kind(), refNo, statusFor(*line), false) > 0)
            return;
    }
    if (const OutIdxRecord* line = lineOf(kNoReference, OutboxStatus::Initiated, {});
        line && m_outbox.UpdateOutBox({}, kNoReference, OutboxStatus::Initiated, refNo, statusFor(*line), false) > 0)
        settledInOrder(*line, fileName);
}

bool OutboxReports::restoreOrder(const QVector<OutIdxRecord>& records, const QString& outName) {
    // A report for a transmission no line holds, while a line left waiting by the last run holds one the
    // transceiver started after it: that line took a start report meant for the line after it, because the
    // report of its own was lost (read but not stored when the program was killed, or sent while it was down). Each
    // waiting line from there on moves one name along, in the order the transceiver numbered them.
    const int lost = SubmissionOrder::outNumber(outName);
    if (lost == 0)
        return false;
    const auto isLater = [&](const OutIdxRecord& r) {
        return r.valueCount > OutIdx::RequestConfirmation && r.Status.kind() == OutboxStatus::Sending &&
               startedAfter(SubmissionOrder::outNumber(r.Reference.trimmed()), lost);
    };
    qsizetype first = 0;
    while (first < records.size() && !isLater(records[first]))
        ++first;
    // A line submitted in this run got its start report in order; a later name on it comes from a
    // transmission the program did not make (a "tx" typed in the terminal window), not from a lost report.
    if (first == records.size() || !m_waitingAtStart.contains(records[first].FileName.trimmed()))
        return false;
    QStringList names{outName};
    QStringList files;
    for (qsizetype i = first; i < records.size() && files.size() < names.size(); ++i) {
        const OutIdxRecord& r = records[i];
        if (isLater(r))
            names << r.Reference.trimmed();
        else if (r.valueCount <= OutIdx::RequestConfirmation || !r.awaitsStartReport())
            continue;
        files << r.FileName.trimmed();
    }
    QHash<QString, QString> renamed;
    for (qsizetype i = 0; i < files.size(); ++i)
        renamed.insert(files[i], names[i]);
    return m_outbox.RenumberSubmissions(renamed) > 0;
}

} // namespace tessaro
