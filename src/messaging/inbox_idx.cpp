#include "messaging/inbox_idx.h"

namespace tessaro {

namespace {
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString same(const QString& text) {
    return text;
}

QString field(const QString& value) {
    return SanitiseIndexField(value, InboxIdx::kLayout.separator, QLatin1Char(' '));
}

QDateTime readReceived(const QString& text) {
    return QDateTime::fromString(text.trimmed(), kTimeFormat);
}
} // namespace

namespace InboxIdx {

quint8 readFlag(QStringView text) {
    return IndexNumber<quint8>(text);
}

std::optional<InboxIdxRecord> parse(const QString& line) {
    if (line.isEmpty())
        return std::nullopt;
    const QStringList v = SplitIndexLine(line, kLayout);
    const auto at = [&](int pos) { return pos < v.size() ? v[pos] : QString(); };
    InboxIdxRecord r;
    r.ModemFileName = at(ModemFileName);
    r.Priority = IndexNumber<quint8>(at(Priority));
    r.To = at(To);
    r.From = at(From);
    r.Subject = at(Subject);
    r.Received = readReceived(at(Received));
    r.LES = IndexNumber<qint16>(at(Les));
    r.Bits = IndexNumber<quint8>(at(Bits));
    r.Size = IndexNumber<qint32>(at(Size));
    r.Refnumber = IndexNumber<qint32>(at(Refnumber));
    r.Routing = at(Routing);
    r.Read = readFlag(at(Read));
    r.DiskFileName = at(DiskFileName);
    r.valueCount = int(std::min<qsizetype>(v.size(), Count));
    r.extra = v.mid(Count);
    r.stored = v;
    return r;
}

QString format(const InboxIdxRecord& r) {
    const QStringList& s = r.stored;
    const auto text = [&](int pos, const QString& value) { return StoredOrEncoded(s, pos, value, same, field); };
    const auto number = [&](int pos, auto value) {
        return StoredOrEncoded(s, pos, value, IndexNumber<decltype(value)>, [](auto n) { return QString::number(n); });
    };
    QStringList values = {
        text(ModemFileName, r.ModemFileName),
        number(Priority, r.Priority),
        text(To, r.To),
        text(From, r.From),
        text(Subject, r.Subject),
        StoredOrEncoded(s, Received, r.Received, readReceived,
                        [](const QDateTime& t) { return t.toString(kTimeFormat); }),
        number(Les, r.LES),
        number(Bits, r.Bits),
        number(Size, r.Size),
        number(Refnumber, r.Refnumber),
        text(Routing, r.Routing),
        number(Read, r.Read),
        text(DiskFileName, r.DiskFileName),
    };
    values.resize(std::clamp<qsizetype>(r.valueCount, 0, Count));
    for (qsizetype i = 0; i < r.extra.size(); ++i)
        values << text(int(Count + i), r.extra[i]);
    return values.join(kLayout.separator);
}

InboxIdxRecord fromInbox(const InboxRecord& in) {
    InboxIdxRecord r;
    r.ModemFileName = in.ModemFileName;
    r.Priority = in.Priority;
    r.To = in.To;
    r.From = in.From;
    r.Subject = in.Subject;
    r.Received = in.Received;
    r.LES = in.LES;
    r.Bits = in.Bits;
    r.Size = in.Size;
    r.Refnumber = in.Refnumber;
    r.Routing = in.Routing;
    r.Read = in.Read;
    r.DiskFileName = in.DiskFileName;
    return r;
}

} // namespace InboxIdx

} // namespace tessaro
