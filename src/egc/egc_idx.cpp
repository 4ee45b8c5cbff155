#include "egc/egc_idx.h"

#include "egc/egc_codes.h"

namespace tessaro {

namespace {
const QLatin1String kUnknown("Unknown");

QString same(const QString& text) {
    return text;
}

QString field(const QString& value) {
    return SanitiseIndexField(value, EgcIdx::kLayout.separator, QLatin1Char('.'));
}
} // namespace

qint32 EgcIdxRecord::lesNumber() const {
    const QStringView t = QStringView(Les).trimmed();
    if (!IsNumeric(t))
        return -1;
    const qint64 v = Val(t);
    return v < 0 ? -1 : qint32(std::min<qint64>(v, std::numeric_limits<qint32>::max()));
}

QString EgcIdxRecord::dateTimeText() const {
    if (DateHour == kUnknown)
        return DateHour;
    return DateHour + QLatin1Char(':') + Minutes;
}

namespace EgcIdx {

std::optional<EgcIdxRecord> fromValues(const QStringList& v) {
    if (v.size() < Count)
        return std::nullopt;
    EgcIdxRecord r;
    r.ModemFileName = v[ModemFileName];
    r.Les = v[Les];
    r.Service = IndexNumber<qint16>(v[Service]);
    r.Priority = IndexNumber<qint16>(v[Priority]);
    r.Bits = IndexNumber<qint16>(v[Bits]);
    r.DateHour = v[DateHour];
    r.Minutes = v[Minutes];
    r.Size = IndexNumber<qint32>(v[Size]);
    r.RefNo = IndexNumber<qint32>(v[RefNo]);
    r.Routing = v[Routing];
    r.Read = v[Read];
    r.DiskFileName = v[DiskFileName];
    r.stored = v;
    return r;
}

std::optional<EgcIdxRecord> parse(const QString& line) {
    return fromValues(SplitIndexLine(line, kLayout));
}

QString format(const EgcIdxRecord& r) {
    const QStringList& s = r.stored;
    const auto text = [&](int pos, const QString& value) { return StoredOrEncoded(s, pos, value, same, field); };
    const auto number = [&](int pos, auto value) {
        return StoredOrEncoded(s, pos, value, IndexNumber<decltype(value)>, [](auto n) { return QString::number(n); });
    };
    const QStringList values = {
        text(ModemFileName, r.ModemFileName),
        text(Les, r.Les),
        number(Service, r.Service),
        number(Priority, r.Priority),
        number(Bits, r.Bits),
        text(DateHour, r.DateHour),
        text(Minutes, r.Minutes),
        number(Size, r.Size),
        number(RefNo, r.RefNo),
        text(Routing, r.Routing),
        text(Read, r.Read),
        text(DiskFileName, r.DiskFileName),
    };
    return values.join(kLayout.separator);
}

EgcIdxRecord fromLog(const EgcLogEntry& e, const QString& diskFileName) {
    EgcIdxRecord r;
    r.ModemFileName = e.FileName;
    r.Les = EgcLesText(qint32(e.Les));
    r.Service = e.Service;
    r.Priority = e.Priority;
    r.Bits = e.Bits;
    if (e.Date == kUnknown) {
        r.DateHour = kUnknown;
    } else {
        // The date, a blank and hh:mm written as one value: the time's colon splits it in two positions.
        const QString time = e.Time;
        const qsizetype colon = time.indexOf(QLatin1Char(':'));
        r.DateHour = e.Date + QLatin1Char(' ') + (colon < 0 ? time : time.first(colon));
        r.Minutes = colon < 0 ? QString() : time.sliced(colon + 1);
    }
    r.Size = e.Size;
    r.RefNo = e.RefNo;
    r.Routing = e.Routing;
    r.Read = QStringLiteral("No");
    r.DiskFileName = diskFileName;
    return r;
}

EgcIdxRecord repaired(const EgcIdxRecord& record, const EgcLogEntry& e) {
    EgcIdxRecord r = record;
    r.Les = QString::number(e.Les);
    r.Service = e.Service;
    r.Priority = e.Priority;
    r.Bits = e.Bits;
    r.DateHour = e.Date + QLatin1Char(' ') + e.Time.left(2);
    r.Minutes = e.Time.mid(3, 2);
    r.Size = e.Size;
    r.RefNo = e.RefNo;
    r.Routing = e.Routing;
    return r;
}

} // namespace EgcIdx

} // namespace tessaro
