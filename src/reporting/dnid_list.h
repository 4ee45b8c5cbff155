#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tessaro {

// One DNID the transceiver holds, as one 58-character line of the "st -d" listing gives it.
struct DnidRecord {
    QString Provider;
    qint16 LesId = 0;
    qint32 Dnid = 0;
    // Wider than the listing's three digits need: a member number is sent back in "st -d E/D" and must not
    // wrap to another member.
    int Member = 0;
    quint8 SubAddress = 0;
    quint8 Channel = 0;
    quint8 Random = 0;
    quint8 Status = 0; // 1 enabled, anything else disabled

    bool enabled() const { return Status == 1; }
    bool operator==(const DnidRecord&) const = default;
};

// The text from "Name" to the end of "DNID(s) stored" in a reply to "st -d"; empty when either is missing.
QString DnidListBlock(const QString& reply);

// The DNID list last read from the transceiver.
class cDnid final {
public:
    // Replaces the list by the lines of the block that follow the header ending "Rd": every line of exactly
    // 58 characters is a record, the first line of another length ends the list.
    void SaveData(const QString& block, const QString& lineEnd);

    QList<DnidRecord> records() const { return m_records; }
    int count() const { return int(m_records.size()); }
    bool isEmpty() const { return m_records.isEmpty(); }

private:
    QList<DnidRecord> m_records;
};

// One record parsed from a 58-character listing line (columns as the transceiver prints them).
DnidRecord ParseDnidLine(const QString& line);

// "st -d E" (now enabled) or "st -d D" (now disabled) followed by LES,DNID,member,sub-address for every row
// whose new state differs from the stored one; newStates[i] belongs to records[i].
QStringList DnidChangeCommands(const QList<DnidRecord>& records, const QList<bool>& newStates);

} // namespace tessaro
