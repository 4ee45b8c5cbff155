#include "reporting/mailbox_html.h"

#include "messaging/inbox.h"
#include "messaging/message_types.h"

#include <algorithm>

namespace tessaro {

namespace {
template <typename Record> QVector<Record> shown(QVector<Record> records, int count, int skip, bool newestFirst) {
    if (newestFirst)
        std::reverse(records.begin(), records.end());
    const qsizetype from = std::min<qsizetype>(qMax(0, skip), records.size());
    return records.mid(from, count);
}

QString row(const QStringList& cells) {
    QString html = QStringLiteral("<tr>");
    for (const QString& c : cells)
        html += QStringLiteral("<td>") + c.toHtmlEscaped() + QStringLiteral("</td>");
    return html + QStringLiteral("</tr>");
}
} // namespace

QString OutboxListingHtml(QVector<OutIdxRecord> records, int count, int skip, bool newestFirst) {
    if (count < 1)
        return {};
    QString html = QStringLiteral("<table><tr><th>File</th><th>Destination</th><th>LES</th><th>Type</th>"
                                  "<th>Date</th><th>Size</th><th>Ref</th><th>Status</th><th>Subject</th></tr>");
    static const int columns[] = {OutIdx::FileName,    OutIdx::Destination, OutIdx::Les,
                                  OutIdx::TypeAndBits, OutIdx::Date,        OutIdx::Size,
                                  OutIdx::Reference,   OutIdx::Status,      OutIdx::Subject};
    for (const OutIdxRecord& r : shown(std::move(records), count, skip, newestFirst)) {
        // The values as stored; a short line shows what it has.
        const QStringList v = OutIdx::values(r);
        QStringList cells;
        for (int c : columns) {
            QString value = v.value(c);
            if (c == OutIdx::Date && OutIdx::Time < v.size())
                value += QLatin1Char(' ') + v[OutIdx::Time];
            cells << value;
        }
        html += row(cells);
    }
    return html + QStringLiteral("</table>");
}

QString InboxListingHtml(QVector<InIdxRecord> records, int count, int skip, bool newestFirst) {
    if (count < 1)
        return {};
    QString html = QStringLiteral("<table><tr><th>File</th><th>LES</th><th>Priority</th><th>Received</th>"
                                  "<th>Size</th><th>Ref</th><th>Routing</th><th>Read</th></tr>");
    for (const InIdxRecord& r : shown(std::move(records), count, skip, newestFirst)) {
        const QStringList v = InIdx::values(r);
        html += row({v.value(InIdx::DiskFileName), v.value(InIdx::Les), PriorityName(r.Priority),
                     v.value(InIdx::DateHour) + QLatin1Char(':') + v.value(InIdx::Minutes), v.value(InIdx::Size),
                     v.value(InIdx::Refnumber), v.value(InIdx::Routing), v.value(InIdx::Read)});
    }
    return html + QStringLiteral("</table>");
}

QString InboxMessageHtml(const CInbox& inbox, const QString& fileName) {
    return inbox.GetInBoxMessage(fileName).replace(kCrLf, QLatin1String("<br>"));
}

} // namespace tessaro
