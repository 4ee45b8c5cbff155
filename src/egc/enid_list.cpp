#include "egc/enid_list.h"

#include "config/text_util.h"

#include <limits>

namespace tessaro {

namespace {

constexpr QChar kStx(0x02);
constexpr QChar kEtx(0x03);

} // namespace

void cENID::SaveData(const QString& reply, const QString& lineEnd, const ErrorLine& errorLog) {
    m_records.clear();
    m_loaded = false;
    const QString br = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    const QString heading = br + QStringLiteral("EGC Network ID list") + br;
    const qsizetype at = reply.indexOf(heading, 0, Qt::CaseInsensitive);
    if (at < 0)
        return;
    auto log = [&errorLog](const char* text) {
        if (errorLog)
            errorLog(QLatin1String(text));
    };
    qsizetype pos = at + heading.size();
    // Only whole lines count: the text after the last line break is the prompt.
    for (qsizetype next = reply.indexOf(br, pos); next >= 0; pos = next + br.size(), next = reply.indexOf(br, pos)) {
        const QString line = reply.mid(pos, next - pos);
        const qsizetype stx1 = line.indexOf(kStx);
        if (stx1 < 0)
            break;
        const qsizetype etx1 = line.indexOf(kEtx, stx1 + 1);
        if (etx1 < 0) {
            log("ENID.SaveData: <ETX> missing in line");
            continue;
        }
        // A stray CR or LF inside the line (a line end other than the learned one) is no part of the name.
        QString provider = line.mid(stx1 + 1, etx1 - stx1 - 1);
        provider.remove(QLatin1Char('\r'));
        provider.remove(QLatin1Char('\n'));
        provider = provider.trimmed();
        const qsizetype stx2 = line.indexOf(kStx, etx1 + 1);
        if (stx2 < 0) {
            log("ENID.SaveData: <STX> missing in line");
            continue;
        }
        const qsizetype etx2 = line.indexOf(kEtx, stx2 + 1);
        if (etx2 < 0) {
            log("ENID.SaveData: <ETX> missing in line");
            continue;
        }
        const QString enid = line.mid(stx2 + 1, etx2 - stx2 - 1).trimmed();
        if (!IsNumeric(enid))
            continue;
        const qint64 value = Val(enid);
        // A number the 32-bit ENID cannot hold would be sent back as a different ENID.
        if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
            continue;
        const bool disabled = line.indexOf(QLatin1StringView("disabled"), etx2 + 1, Qt::CaseInsensitive) >= 0;
        m_records.append(EnidRecord{qint32(value), provider, quint8(disabled ? 0 : 1)});
    }
    m_loaded = !m_records.isEmpty();
}

QStringList EnidChangeCommands(const QList<EnidRecord>& records, const QList<bool>& newStates) {
    QStringList commands;
    for (qsizetype i = 0; i < records.size() && i < newStates.size(); ++i) {
        const bool wasEnabled = records.at(i).Enabled != 0;
        if (newStates.at(i) == wasEnabled)
            continue;
        commands << (newStates.at(i) ? QStringLiteral("st -g e") : QStringLiteral("st -g d")) +
                        QString::number(records.at(i).Enid);
    }
    return commands;
}

} // namespace tessaro
