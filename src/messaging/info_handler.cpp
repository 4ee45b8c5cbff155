#include "messaging/info_handler.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "messaging/messaging_host.h"
#include "messaging/outbox.h"

#include <QVector>

namespace tessaro {

namespace {
const QLatin1String kCrLfText("\r\n");

bool isSilent(int code) {
    switch (code) {
    case 393:
    case 403:
    case 413:
    case 480:
    case 481:
    case 482:
    case 490:
    case 491:
    case 492:
        return true;
    default:
        return false;
    }
}

bool isPlainNotice(int code) {
    switch (code) {
    case 30:
    case 60:
    case 61:
    case 40:
    case 50:
    case 62:
    case 70:
    case 80:
    case 117:
    case 119:
    case 125:
    case 160:
    case 161:
    case 363:
    case 450:
    case 473:
    case 500:
    case 552:
    case 804:
    case 817:
    case 819:
    case 20:
    case 21:
    case 22:
        return true;
    default:
        return false;
    }
}

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

QVector<InfoLine> CutInfoLines(const QString& rawBlock, const QString& keyword, const QString& prompt) {
    QVector<InfoLine> lines;
    // Every shell line end becomes CR LF, so LF-only and CR CR LF shells are searched the same way.
    const QString block = NormaliseLineEnds(rawBlock);
    const QString start = kCrLfText + keyword;
    const QString nextInfo = QStringLiteral("\r\nINFO ");
    const QString nextError = QStringLiteral("\r\nERROR ");
    const QString promptMark = prompt == QLatin1String("\r\n: ") ? prompt : kCrLfText + prompt;

    // The prompt the engine last saw; the main prompts also end a line when none was seen yet.
    QStringList marks = {QStringLiteral("\r\ncan0:/$ "), QStringLiteral("\r\ncan1:/$ "),
                         QStringLiteral("\r\ncan2:/$ ")};
    if (!prompt.isEmpty())
        marks << promptMark;

    qsizetype at = block.indexOf(start);
    while (at >= 0) {
        const qsizetype lineStart = at + 2;
        const QString rest = block.mid(lineStart);
        qsizetype end = -1;
        for (const QString& mark : {nextInfo, nextError}) {
            const qsizetype e = rest.indexOf(mark, 5);
            if (e >= 0 && (end < 0 || e < end))
                end = e;
        }
        for (const QString& mark : std::as_const(marks)) {
            const qsizetype e = rest.indexOf(mark);
            if (e >= 0 && (end < 0 || e < end))
                end = e;
        }
        if (end < 0) {
            lines << InfoLine{QStringLiteral("000"), QString(), false};
            break;
        }
        const QString line = rest.left(end);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString head = colon >= 0 ? line.left(colon) : line;
        InfoLine info;
        info.code = head.section(QLatin1Char(' '), -1, -1, QString::SectionSkipEmpty);
        info.text = colon >= 0 ? SafeMid(line, colon + 2) : QString();
        lines << info;
        // Continue at the end found: an ERROR line there ends this scan's INFO, and the next INFO follows.
        const qsizetype next = block.indexOf(start, lineStart + end);
        at = next;
    }
    return lines;
}

CInfo::CInfo(CConfiguration& config, cOutBox& outbox, IMessagingHost& host, cInfoLog& infoLog, DebugLog* debugLog)
    : m_config(config), m_outbox(outbox), m_host(host), m_infoLog(infoLog), m_debugLog(debugLog) {}

void CInfo::record(const QString& kind, const QString& code, const QString& text) {
    const QString line = kind + QLatin1Char(' ') + code + QStringLiteral(": ") + text;
    if (m_debugLog)
        m_debugLog->AddLine(line);
    // One log line per entry: the multi-line texts are flattened for the log and the list.
    const QString flat = FlattenText(line).trimmed();
    m_infoLog.AddInfo(flat);
    m_host.AddInformationLine(flat);
}

void CInfo::notice(const QString& code, const QString& text) {
    m_noticeRaised = true;
    m_host.ShowMessageQueued(QStringLiteral("INFO ") + code + QStringLiteral(": ") + text, QStringLiteral("INFO"),
                             MessageStyle::Information);
}

void CInfo::CheckInfos(const QString& block, const QString& prompt) {
    for (const InfoLine& line : CutInfoLines(block, QStringLiteral("INFO "), prompt)) {
        if (!line.terminated) {
            record(QStringLiteral("INFO"), QStringLiteral("000"), QStringLiteral("Unknown Info(s)"));
            return;
        }
        const int code = IsNumeric(line.code) ? int(Val(line.code)) : 0;
        if (code <= 0) {
            if (m_debugLog)
                m_debugLog->AddLine(QStringLiteral("INFO 0: Unknown info received from mobile"));
            m_infoLog.AddInfo(QStringLiteral("Unknown info received from mobile"));
            m_host.AddInformationLine(QStringLiteral("Unknown info received from mobile"));
            continue;
        }
        const QString codeText = QString::number(code);
        if (!isSilent(code))
            record(QStringLiteral("INFO"), codeText, line.text);
        m_noticeRaised = false;
        if (isPlainNotice(code))
            notice(codeText, line.text);
        act(code, line.text);
    }
}

void CInfo::CheckErrors(const QString& block, const QString& prompt) {
    for (const InfoLine& line : CutInfoLines(block, QStringLiteral("ERROR "), prompt)) {
        if (!line.terminated) {
            record(QStringLiteral("ERROR"), QStringLiteral("000"),
                   QStringLiteral("Unknown error(s) received from mobile"));
            return;
        }
        const int code = IsNumeric(line.code) ? int(Val(line.code)) : 0;
        if (code <= 0) {
            if (m_debugLog)
                m_debugLog->AddLine(QStringLiteral("ERROR 0: Unknown error received from mobile"));
            m_infoLog.AddInfo(QStringLiteral("Unknown error received from mobile"));
            m_host.AddInformationLine(QStringLiteral("Unknown error received from mobile"));
            m_host.ShowMessageQueued(QStringLiteral("Unknown error received from mobile: ") + line.text,
                                     QStringLiteral("ERROR"), MessageStyle::Information);
            continue;
        }
        const QString codeText = QString::number(code);
        record(QStringLiteral("ERROR"), codeText, line.text);
        m_host.ShowMessageQueued(QStringLiteral("ERROR ") + codeText + QStringLiteral(": ") + line.text,
                                 QStringLiteral("ERROR"), MessageStyle::Information);
    }
}

void CInfo::queueStatusPoll() {
    if (!m_host.IsCommandQueued(QStringLiteral("st -w")))
        m_host.QueueCommand(QStringLiteral("st -w"), false, false);
}

void CInfo::queueDistressRefresh() {
    const int family = m_host.ProductType();
    m_host.QueueCommand(QStringLiteral("se -g"), false, false);
    if (family == 4 || family == 5)
        m_host.QueueCommand(QStringLiteral("se -m ALL_OCEANS"), false, false);
}

void CInfo::act(int code, const QString& text) {
    const int family = m_host.ProductType();
    switch (code) {
    case 20:
    case 21:
    case 22: {
        static const char* const statuses[] = {"Failed", "Conf.Ok", "Sending"};
        const QString status = QLatin1String(statuses[code - 20]);
        if (code != 22)
            m_outbox.UpdateOutBox({}, QStringLiteral("-"), QStringLiteral("Sending"), {}, status, false);
        if (distressAlert)
            distressAlert(status);
        if (code == 22)
            m_host.RefreshOutboxView();
        if (m_host.LoggedIn())
            queueDistressRefresh();
        break;
    }
    case 30:
    case 60:
    case 61:
    case 220:
    case 221:
    case 501:
        queueStatusPoll();
        break;
    case 500:
        queueStatusPoll();
        break;
    case 80:
    case 81:
        if (code == 80)
            ruleA(text, QStringLiteral("Failed"), false);
        else
            ruleA(text, QStringLiteral("Delivered"), true);
        if (m_indicatorCount > 0 && --m_indicatorCount == 0 && indicator)
            indicator(false);
        break;
    case 82: {
        const qsizetype at = text.indexOf(QLatin1String("OUT."));
        if (at >= 0)
            m_outbox.UpdateOutBox({}, kNoReference, QStringLiteral("Initiated"),
                                  StripLineEnds(text.mid(at, 7)).trimmed(), QStringLiteral("Sending"), false);
        break;
    }
    case 111:
    case 193:
        if (positionEntryTransceiver && positionEntryTransceiver())
            notice(QString::number(code), text);
        break;
    case 116:
        if (!m_testSoftwareNoticeShown) {
            m_testSoftwareNoticeShown = true;
            notice(QStringLiteral("116"), text);
        }
        break;
    case 119:
        if (!m_noticeRaised)
            m_host.QueueCommand(QStringLiteral("se -g"), false, false);
        if (family == 4 || family == 5)
            m_host.QueueCommand(QStringLiteral("se -m ALL_OCEANS"), false, false);
        break;
    case 130:
    case 131: {
        const QString pending = m_config.GetIni(QStringLiteral("[ConfReq]")).trimmed();
        if (!pending.isEmpty()) {
            m_outbox.UpdateOutBoxFile(pending, {}, QStringLiteral("ConfOk"), false);
            m_config.SetIni(QStringLiteral("[ConfReq]"), QString(), true);
        }
        break;
    }
    case 132:
        m_host.ShowMessageQueued(text, QStringLiteral("Info"), MessageStyle::Information);
        break;
    case 140: {
        QString status = QStringLiteral("Failed");
        const qsizetype at = text.indexOf(QLatin1String("failure code:"), 0, Qt::CaseInsensitive);
        if (at >= 0)
            status += QStringLiteral(". Error code: '") + restOfLine(text, at + 13).trimmed() + QLatin1Char('\'');
        ruleA(text, status, false);
        break;
    }
    case 141:
        ruleA(text, QStringLiteral("Conf.OK"), false);
        if ((family == 4 || family == 5) &&
            m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintMsgConf"), {}) ==
                QLatin1String("1"))
            m_host.PrintText(text);
        break;
    case 353:
        if (testModeBanner)
            testModeBanner(QString());
        break;
    case 363:
        queueStatusPoll();
        if (testModeBanner)
            testModeBanner(QString());
        break;
    case 502:
        if (testModeBanner)
            testModeBanner(QStringLiteral("Automatic test mode: Normal communication disabled. Do not press any "
                                          "distress button unless you are in distress."));
        break;
    case 552:
        ++m_indicatorCount;
        if (indicator)
            indicator(true);
        break;
    case 733:
        if (distressTestEvent)
            distressTestEvent(1);
        break;
    case 803:
        if (distressTestEvent)
            distressTestEvent(3);
        break;
    default:
        break;
    }
}

void CInfo::ruleA(const QString& text, const QString& status, bool confirmationDecides) {
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
    const QStringList line = lineOf(kNoReference, QStringLiteral("Initiated"), {});
    if (!line.isEmpty())
        m_outbox.UpdateOutBox({}, kNoReference, QStringLiteral("Initiated"), refNo, statusFor(line), false);
}

} // namespace tessaro
