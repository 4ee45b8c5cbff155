#include "messaging/outbox_reports.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/outbox.h"
#include "status/session.h"

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
} // namespace

OutboxReports::OutboxReports(CConfiguration& config, cOutBox& outbox, const CSession& session, QObject* parent)
    : QObject(parent), m_config(config), m_outbox(outbox), m_session(session) {}

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

void OutboxReports::onNotDelivered(const QString& text) {
    ruleA(text, QStringLiteral("Failed"), false);
    if (m_indicatorCount > 0 && --m_indicatorCount == 0)
        Q_EMIT indicatorAlarm(false);
}

void OutboxReports::onDelivered(const QString& text) {
    ruleA(text, QStringLiteral("Delivered"), true);
    if (m_indicatorCount > 0 && --m_indicatorCount == 0)
        Q_EMIT indicatorAlarm(false);
}

void OutboxReports::onSubmitted(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1String("OUT."));
    if (at >= 0)
        m_outbox.UpdateOutBox({}, kNoReference, QStringLiteral("Initiated"), StripLineEnds(text.mid(at, 7)).trimmed(),
                              QStringLiteral("Sending"), false);
}

void OutboxReports::onConfirmationFlag() {
    const QString pending = m_config.GetIni(QStringLiteral("[ConfReq]")).trimmed();
    if (!pending.isEmpty()) {
        m_outbox.UpdateOutBoxFile(pending, {}, QStringLiteral("ConfOk"), false);
        m_config.SetIni(QStringLiteral("[ConfReq]"), QString(), true);
    }
}

void OutboxReports::onReportFailed(const QString& text) {
    QString status = QStringLiteral("Failed");
    const qsizetype at = text.indexOf(QLatin1String("failure code:"), 0, Qt::CaseInsensitive);
    if (at >= 0)
        status += QStringLiteral(". Error code: '") + restOfLine(text, at + 13).trimmed() + QLatin1Char('\'');
    ruleA(text, status, false);
}

void OutboxReports::onReportConfirmed(const QString& text) {
    // Stored files carry this spelling (not "Conf.Ok"); views and forms compare with it.
    ruleA(text, QStringLiteral("Conf.OK"), false);
    const int family = m_session.ProductType();
    if ((family == 4 || family == 5) &&
        m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintMsgConf"), {}) == QLatin1String("1"))
        Q_EMIT printRequested(text);
}

void OutboxReports::onUndeliveredAlarm() {
    ++m_indicatorCount;
    Q_EMIT indicatorAlarm(true);
}

void OutboxReports::ruleA(const QString& text, const QString& status, bool confirmationDecides) {
    const qsizetype fileAt = text.indexOf(QLatin1String("File "));
    const QString fileName = fileAt >= 0 ? StripLineEnds(text.mid(fileAt + 5, 7)).trimmed() : QString();
    const qsizetype refAt = text.indexOf(QLatin1String("Reference number"));
    const QString refNo = refAt >= 0 ? restOfLine(text, refAt + 17).trimmed() : QString();
    const qsizetype lesAt = text.indexOf(QLatin1String("LES "));
    const QString les =
        lesAt >= 0 && Val(SafeMid(text, lesAt + 4)) > 0 ? QString::number(Val(SafeMid(text, lesAt + 4))) : QString();

    // Which line is meant decides "Delivered" or "ConfReq" (its confirmation flag).
    const auto lineOf = [&](const QString& ref, const QString& oldStatus, const QString& lesWanted) -> QStringList {
        for (const QStringList& p : m_outbox.ReadIndex())
            if (p.size() > OutPos::RequestConfirmation && p[OutPos::Reference].trimmed() == ref &&
                p[OutPos::Status].trimmed() == oldStatus &&
                (lesWanted.isEmpty() || Val(p[OutPos::Les]) == Val(lesWanted)))
                return p;
        return {};
    };
    const auto statusFor = [&](const QStringList& line) {
        if (confirmationDecides && !line.isEmpty() && line[OutPos::RequestConfirmation].trimmed() == QLatin1String("1"))
            return QStringLiteral("ConfReq");
        return status;
    };

    if (!fileName.isEmpty()) {
        const QStringList line = lineOf(fileName, QStringLiteral("Sending"), les);
        if (!line.isEmpty() &&
            m_outbox.UpdateOutBox(les, fileName, QStringLiteral("Sending"), refNo, statusFor(line), false) > 0)
            return;
    }
    // After the delivery report the line holds the LES reference instead of the file name: a later report
    // (a confirmation, a negative report) finds it by that reference.
    if (!refNo.isEmpty() && refNo != kNoReference) {
        for (const QStringList& p : m_outbox.ReadIndex()) {
            if (p.size() <= OutPos::RequestConfirmation || p[OutPos::Reference].trimmed() != refNo ||
                (!les.isEmpty() && Val(p[OutPos::Les]) != Val(les)))
                continue;
            if (m_outbox.UpdateOutBox(les, refNo, p[OutPos::Status].trimmed(), refNo, statusFor(p), false) > 0)
                return;
        }
    }
    const QStringList line = lineOf(kNoReference, QStringLiteral("Initiated"), {});
    if (!line.isEmpty())
        m_outbox.UpdateOutBox({}, kNoReference, QStringLiteral("Initiated"), refNo, statusFor(line), false);
}

} // namespace tessaro
