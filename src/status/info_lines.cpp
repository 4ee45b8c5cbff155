#include "status/info_lines.h"

#include "config/logs.h"
#include "config/text_util.h"

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

CInfo::CInfo(cInfoLog& infoLog, OperatorNotifier& notifier, DebugLog* debugLog)
    : m_infoLog(infoLog), m_notifier(notifier), m_debugLog(debugLog) {}

bool CInfo::addHandler(LineKind kind, int code, Subsystem owner, InfoHandler handler, QString* error) {
    const QString name =
        (kind == LineKind::Info ? QStringLiteral("INFO ") : QStringLiteral("ERROR ")) + QString::number(code);
    const auto it = m_handlers.find({kind, code});
    if (it != m_handlers.end()) {
        if (error)
            *error = QStringLiteral("%1 registered twice (by %2 and %3)")
                         .arg(name, SubsystemName(it->second.owner), SubsystemName(owner));
        return false;
    }
    if (!handler) {
        if (error)
            *error = QStringLiteral("%1 has no handler").arg(name);
        return false;
    }
    m_handlers.emplace(std::make_pair(kind, code), Entry{owner, std::move(handler)});
    return true;
}

bool CInfo::hasHandler(LineKind kind, int code) const {
    return m_handlers.count({kind, code}) > 0;
}

QStringList CInfo::describe() const {
    QStringList lines;
    for (const auto& [key, entry] : m_handlers)
        lines << (key.first == LineKind::Info ? QStringLiteral("INFO ") : QStringLiteral("ERROR ")) +
                     QString::number(key.second) + QLatin1Char(' ') + SubsystemName(entry.owner);
    return lines;
}

void CInfo::dispatch(LineKind kind, int code, const QString& text) {
    const auto it = m_handlers.find({kind, code});
    if (it != m_handlers.end())
        it->second.handler(InfoEvent{code, text, m_noticeRaised});
}

void CInfo::addInfo(const QString& line) {
    if (!m_infoLog.AddInfo(line))
        ReportInfoLogFailure(m_infoLog, m_notifier);
}

void CInfo::record(const QString& kind, const QString& code, const QString& text) {
    const QString line = kind + QLatin1Char(' ') + code + QStringLiteral(": ") + text;
    if (m_debugLog)
        m_debugLog->AddLine(line);
    // One log line per entry: the multi-line texts are flattened for the log and the list.
    const QString flat = FlattenText(line).trimmed();
    addInfo(flat);
    m_notifier.informationLine(flat);
}

void CInfo::notice(const QString& code, const QString& text) {
    m_noticeRaised = true;
    m_notifier.showMessage(QStringLiteral("INFO ") + code + QStringLiteral(": ") + text, QStringLiteral("INFO"),
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
            addInfo(QStringLiteral("Unknown info received from mobile"));
            m_notifier.informationLine(QStringLiteral("Unknown info received from mobile"));
            continue;
        }
        const QString codeText = QString::number(code);
        if (!isSilent(code))
            record(QStringLiteral("INFO"), codeText, line.text);
        m_noticeRaised = false;
        if (isPlainNotice(code))
            notice(codeText, line.text);
        dispatch(LineKind::Info, code, line.text);
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
            addInfo(QStringLiteral("Unknown error received from mobile"));
            m_notifier.informationLine(QStringLiteral("Unknown error received from mobile"));
            m_notifier.showMessage(QStringLiteral("Unknown error received from mobile: ") + line.text,
                                   QStringLiteral("ERROR"), MessageStyle::Information);
            continue;
        }
        const QString codeText = QString::number(code);
        record(QStringLiteral("ERROR"), codeText, line.text);
        m_notifier.showMessage(QStringLiteral("ERROR ") + codeText + QStringLiteral(": ") + line.text,
                               QStringLiteral("ERROR"), MessageStyle::Information);
        m_noticeRaised = true;
        dispatch(LineKind::Error, code, line.text);
    }
}

} // namespace tessaro
