#include "reporting/dnid_list.h"

#include "config/text_util.h"

#include <algorithm>
#include <limits>

namespace tessaro {

namespace {

constexpr qsizetype kLineLength = 58;

// 1-based first column and width of the numeric fields of a listing line.
struct Column {
    int first;
    int width;
};
constexpr Column kStatus{28, 2};
constexpr Column kLes{31, 3};
constexpr Column kDnid{35, 6};
constexpr Column kMember{43, 3};
constexpr Column kSubAddress{49, 1};
constexpr Column kChannel{55, 1};
constexpr Column kRandom{58, 1};

qint64 number(const QString& line, Column c, qint64 max) {
    return std::clamp<qint64>(Val(SafeMid(line, c.first - 1, c.width).trimmed()), 0, max);
}

} // namespace

QString DnidListBlock(const QString& reply) {
    const qsizetype name = reply.indexOf(QLatin1String("Name"), 0, Qt::CaseInsensitive);
    if (name < 0)
        return {};
    static const QLatin1String stored("DNID(s) stored");
    const qsizetype end = reply.indexOf(stored, name, Qt::CaseInsensitive);
    if (end < 0)
        return {};
    return reply.mid(name, end + stored.size() - name);
}

DnidRecord ParseDnidLine(const QString& line) {
    DnidRecord r;
    r.Provider = SafeMid(line, 0, 27).trimmed();
    r.Status = quint8(number(line, kStatus, 255));
    r.LesId = qint16(number(line, kLes, std::numeric_limits<qint16>::max()));
    r.Dnid = qint32(number(line, kDnid, std::numeric_limits<qint32>::max()));
    r.Member = int(number(line, kMember, 999));
    r.SubAddress = quint8(number(line, kSubAddress, 9));
    r.Channel = quint8(number(line, kChannel, 9));
    r.Random = quint8(number(line, kRandom, 9));
    return r;
}

void cDnid::SaveData(const QString& block, const QString& lineEnd) {
    m_records.clear();
    const QString br = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    const qsizetype header = block.indexOf(QStringLiteral("Rd") + br, 0, Qt::CaseInsensitive);
    if (header < 0)
        return;
    qsizetype pos = header + 2 + br.size();
    for (qsizetype next = block.indexOf(br, pos); next >= 0; next = block.indexOf(br, pos)) {
        const QString line = block.mid(pos, kLineLength);
        // A line of the right length that holds another line end is two broken lines, not an entry: its name
        // would keep the line end.
        if (next - pos != kLineLength || line.contains(u'\r') || line.contains(u'\n'))
            break;
        m_records.append(ParseDnidLine(line));
        pos = next + br.size();
    }
}

QStringList DnidChangeCommands(const QList<DnidRecord>& records, const QList<bool>& newStates) {
    QStringList commands;
    for (qsizetype i = 0; i < records.size() && i < newStates.size(); ++i) {
        const DnidRecord& r = records.at(i);
        if (newStates.at(i) == r.enabled())
            continue;
        commands << (newStates.at(i) ? QStringLiteral("st -d E") : QStringLiteral("st -d D")) +
                        QStringLiteral("%1,%2,%3,%4").arg(r.LesId).arg(r.Dnid).arg(r.Member).arg(r.SubAddress);
    }
    return commands;
}

} // namespace tessaro
