#include "messaging/in_idx.h"

#include "messaging/reception_parsers.h"

namespace tessaro {

namespace {
const QLatin1String kYes("Yes");
const QLatin1String kNo("No");
const QString kTimeFormat = QStringLiteral("yy-MM-dd HH:mm");

QString same(const QString& text) {
    return text;
}

QString field(const QString& value) {
    return SanitiseIndexField(value, InIdx::kLayout.separator, QLatin1Char('.'));
}

// "yy-mm-dd hh:nn", two-digit years below 70 being 20yy; invalid for anything else.
QDateTime readReceived(QStringView text) {
    const QStringView t = text.trimmed();
    const qsizetype blank = t.indexOf(u' ');
    const qsizetype colon = t.indexOf(u':');
    if (blank < 0 || colon < blank)
        return {};
    const QStringView hour = t.sliced(blank + 1, colon - blank - 1).trimmed();
    const QStringView minute = t.sliced(colon + 1);
    const QDate date = ParseShortDate(t.first(blank));
    if (!date.isValid() || !IsNumeric(hour) || !IsNumeric(minute))
        return {};
    const QTime time(int(Val(hour)), int(Val(minute)));
    return time.isValid() ? QDateTime(date, time) : QDateTime();
}
} // namespace

namespace InIdx {

bool isRead(QStringView value) {
    return value.trimmed() != kNo;
}

std::optional<InIdxRecord> fromValues(const QStringList& v) {
    if (v.size() < Count)
        return std::nullopt;
    InIdxRecord r;
    r.ModemFileName = v[ModemFileName];
    r.LES = IndexNumber<qint16>(v[Les]);
    r.Priority = IndexNumber<quint8>(v[Priority]);
    r.Bits = IndexNumber<quint8>(v[Bits]);
    r.Received = readReceived(v[DateHour] + QLatin1Char(':') + v[Minutes]);
    r.Size = IndexNumber<qint32>(v[Size]);
    r.Refnumber = IndexNumber<qint32>(v[Refnumber]);
    r.Routing = v[Routing];
    r.Read = isRead(v[Read]);
    r.DiskFileName = v[DiskFileName];
    r.stored = v;
    return r;
}

std::optional<InIdxRecord> parse(const QString& line) {
    return fromValues(SplitIndexLine(line, kLayout));
}

QString format(const InIdxRecord& r) {
    const QStringList& s = r.stored;
    const auto text = [&](int pos, const QString& value) { return StoredOrEncoded(s, pos, value, same, field); };
    const auto number = [&](int pos, auto value) {
        return StoredOrEncoded(s, pos, value, IndexNumber<decltype(value)>, [](auto n) { return QString::number(n); });
    };
    // The time spans two positions; both are kept while the time read from them is unchanged.
    const QString storedTime = s.size() > Minutes ? s[DateHour] + QLatin1Char(':') + s[Minutes] : QString();
    const QString received =
        s.size() > Minutes && readReceived(storedTime) == r.Received ? storedTime : r.Received.toString(kTimeFormat);
    const QStringList values = {
        text(ModemFileName, r.ModemFileName),
        number(Les, r.LES),
        number(Priority, r.Priority),
        number(Bits, r.Bits),
        received,
        number(Size, r.Size),
        number(Refnumber, r.Refnumber),
        text(Routing, r.Routing),
        StoredOrEncoded(s, Read, r.Read, isRead, [](bool read) { return read ? kYes : kNo; }),
        text(DiskFileName, r.DiskFileName),
    };
    return values.join(kLayout.separator);
}

QStringList values(const InIdxRecord& record) {
    return SplitIndexLine(format(record), kLayout);
}

InIdxRecord fromInbox(const InboxRecord& in) {
    InIdxRecord r;
    r.ModemFileName = in.ModemFileName;
    r.LES = in.LES;
    r.Priority = in.Priority;
    r.Bits = in.Bits;
    r.Received = in.Received;
    r.Size = in.Size;
    r.Refnumber = in.Refnumber;
    r.Routing = in.Routing;
    r.Read = in.Read == 255;
    r.DiskFileName = in.DiskFileName;
    return r;
}

} // namespace InIdx

} // namespace tessaro
