#pragma once

#include "link/route_keys.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <set>
#include <vector>

namespace tessaro {

enum class MatchKind {
    Echo,         // the reply starts with the command followed by the line end
    EchoNoCase,   // the same, ignoring letter case
    Starts,       // the reply starts with the command text
    StartsNoCase, // the same, ignoring letter case
    Contains,     // the reply contains the text anywhere, ignoring letter case
    Custom,       // the row's own predicate decides
};

// What a row does besides calling its handler.
enum class RowOption {
    None,
    CutPrompt,               // the handler gets the reply without its final prompt
    KeepReceivingIfEchoOnly, // a reply that is only the echo is not handed over: collect more
};

using ReplyHandler = std::function<void(const QString& reply)>;
using ReplyPredicate = std::function<bool(QStringView reply, QStringView lineEnd)>;

// One row of the routing table, as the subsystem that owns it registers it.
struct RouteRow {
    RouteKey key = RouteKey::Count;
    MatchKind kind = MatchKind::Echo;
    QString command;
    RowOption option = RowOption::None;
    ReplyPredicate predicate; // Custom rows only
    ReplyHandler handler;
};

struct RouteOutcome {
    int handled = 0;            // handlers called
    bool keepReceiving = false; // an echo-only reply to a command whose output comes later
};

// The reply routing table: every row is tested in key order and more than one may fire. Rows come from
// the subsystems; the table only knows the order and who owns each key.
class ReplyRouter final {
public:
    // Places the row at its key's position. False, with the reason in *error, for a key that already
    // has a row, a key out of range or a row without a handler.
    bool addRow(RouteRow row, QString* error = nullptr);
    // The keys owned by one of the attached subsystems that have no row, worded for a start-up failure.
    QStringList missingRows(const std::set<Subsystem>& attached) const;

    bool matches(const RouteRow& row, QStringView reply, QStringView lineEnd) const;
    // keepReceivingAllowed: false once the engine has already waited once more for this command.
    RouteOutcome route(const QString& reply, const QString& lineEnd, const QString& prompt,
                       bool keepReceivingAllowed = true) const;

    // In table order.
    const std::vector<RouteRow>& rows() const { return m_rows; }
    bool has(RouteKey key) const;
    // One line per row: "Key kind command", for reviews and the order test.
    QStringList describe() const;

private:
    std::vector<RouteRow> m_rows;
};

QString MatchKindName(MatchKind kind);

} // namespace tessaro
