#include "link/reply_router.h"

#include "link/shell_protocol.h"

#include <algorithm>

namespace tessaro {

QString MatchKindName(MatchKind kind) {
    switch (kind) {
    case MatchKind::Echo:
        return QStringLiteral("echo");
    case MatchKind::EchoNoCase:
        return QStringLiteral("echo-nocase");
    case MatchKind::Starts:
        return QStringLiteral("starts");
    case MatchKind::StartsNoCase:
        return QStringLiteral("starts-nocase");
    case MatchKind::Contains:
        return QStringLiteral("contains");
    case MatchKind::Custom:
        return QStringLiteral("custom");
    }
    return {};
}

bool ReplyRouter::has(RouteKey key) const {
    return std::any_of(m_rows.begin(), m_rows.end(), [key](const RouteRow& r) { return r.key == key; });
}

bool ReplyRouter::addRow(RouteRow row, QString* error) {
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (int(row.key) < 0 || row.key >= RouteKey::Count)
        return fail(QStringLiteral("reply route with an unknown key"));
    if (has(row.key))
        return fail(QStringLiteral("reply route %1 registered twice").arg(RouteKeyName(row.key)));
    if (!row.handler)
        return fail(QStringLiteral("reply route %1 has no handler").arg(RouteKeyName(row.key)));
    if (row.kind == MatchKind::Custom && !row.predicate)
        return fail(QStringLiteral("reply route %1 has no predicate").arg(RouteKeyName(row.key)));
    const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), row.key,
                                     [](RouteKey key, const RouteRow& r) { return int(key) < int(r.key); });
    m_rows.insert(at, std::move(row));
    return true;
}

QStringList ReplyRouter::missingRows(const std::set<Subsystem>& attached) const {
    QStringList missing;
    for (int i = 0; i < kRouteKeyCount; ++i) {
        const RouteKey key = RouteKey(i);
        if (attached.count(RouteKeyOwner(key)) && !has(key))
            missing << QStringLiteral("reply route %1 of the %2 subsystem is not filled")
                           .arg(RouteKeyName(key), SubsystemName(RouteKeyOwner(key)));
    }
    return missing;
}

QStringList ReplyRouter::describe() const {
    QStringList lines;
    for (const RouteRow& r : m_rows)
        lines << QStringLiteral("%1 %2 \"%3\"").arg(RouteKeyName(r.key), MatchKindName(r.kind), r.command);
    return lines;
}

bool ReplyRouter::matches(const RouteRow& r, QStringView reply, QStringView lineEnd) const {
    switch (r.kind) {
    case MatchKind::Echo:
        return EchoMatches(reply, r.command, lineEnd);
    case MatchKind::EchoNoCase:
        return EchoMatches(reply, r.command, lineEnd, Qt::CaseInsensitive);
    case MatchKind::Starts:
        return reply.startsWith(r.command);
    case MatchKind::StartsNoCase:
        return reply.startsWith(r.command, Qt::CaseInsensitive);
    case MatchKind::Contains:
        return reply.contains(r.command, Qt::CaseInsensitive);
    case MatchKind::Custom:
        return r.predicate && r.predicate(reply, lineEnd);
    }
    return false;
}

RouteOutcome ReplyRouter::route(const QString& reply, const QString& lineEnd, const QString& prompt,
                                bool keepReceivingAllowed) const {
    RouteOutcome out;
    for (const RouteRow& r : m_rows) {
        if (!matches(r, reply, lineEnd))
            continue;
        if (r.option == RowOption::KeepReceivingIfEchoOnly && reply.size() <= r.command.size() + lineEnd.size()) {
            // The output follows later; waiting once more is enough, a second silent wait drops the reply.
            out.keepReceiving = out.keepReceiving || keepReceivingAllowed;
            continue;
        }
        r.handler(r.option == RowOption::CutPrompt ? CutFinalPrompt(reply, prompt) : reply);
        ++out.handled;
    }
    return out;
}

} // namespace tessaro
