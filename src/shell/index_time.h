#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tessaro {

// A date and time read from an index line. The inbox, Sent Items and EGC grids show every such value in one
// form, "yyyy-MM-dd hh:mm", and sort by the value, never by the text. Seconds are read where an index keeps
// them (Inbox.idx) but not shown: OUT.IDX and EGC.IDX hold minutes only.
struct IndexTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Increases with the time: yyyyMMddhhmmss as one number.
    qint64 key() const;
    friend bool operator==(const IndexTime&, const IndexTime&) = default;
};

// "yyyy-MM-dd hh:mm[:ss]" or "yy-MM-dd hh:mm[:ss]" (two-digit years below 70 are 20yy), blanks around
// allowed; nullopt for anything else ("Unknown", a damaged value, a locale's own form), which the grids
// show as stored.
std::optional<IndexTime> ParseIndexTime(QStringView text);
// The same for a value an index keeps in two positions, read as first + joint + second (OUT.IDX: date and
// time; EGC.IDX: "yyyy-mm-dd hh" and the minutes).
std::optional<IndexTime> ParseIndexTime(QStringView first, QChar joint, QStringView second);

// The one form every grid, the reading pane and the message windows show: "yyyy-MM-dd hh:mm".
QString IndexTimeText(const IndexTime& time);

} // namespace tessaro
