#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro {

// One EGC network identity the transceiver holds.
struct EnidRecord {
    qint32 Enid = 0;
    QString Provider;
    quint8 Enabled = 1; // 1 enabled, 0 disabled
    bool operator==(const EnidRecord&) const = default;
};

// The transceiver's ENID list as read from the reply to "st -g".
class cENID final {
public:
    using ErrorLine = std::function<void(const QString& text)>;

    // Replaces the list with the one in the reply. Lines whose STX/ETX framing is broken are written to
    // the error log and skipped; the rest is still read. A reply without the heading gives an empty list.
    void SaveData(const QString& reply, const QString& lineEnd, const ErrorLine& errorLog);

    const QList<EnidRecord>& records() const { return m_records; }
    int count() const { return int(m_records.size()); }
    // True when at least one record was read.
    bool loaded() const { return m_loaded; }

private:
    QList<EnidRecord> m_records;
    bool m_loaded = false;
};

// The enable/disable commands for the rows whose state differs from what the transceiver reported;
// newStates[i] belongs to records[i] (missing states count as unchanged).
QStringList EnidChangeCommands(const QList<EnidRecord>& records, const QList<bool>& newStates);

} // namespace tessaro
