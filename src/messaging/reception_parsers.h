#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

namespace tessaro {

// One file of the "ls IN.*" reply.
struct ListingRecord {
    QString name;      // "IN"
    QString extension; // "12"
    QDateTime dateTime;
    qint32 size = 0;
    QString fileName() const { return extension.isEmpty() ? name : name + QLatin1Char('.') + extension; }
};

// One "IN." line of the "st -r" reception log.
struct ReceptionLogRecord {
    qint16 les = 0;
    int code1 = 0;
    quint8 priority = 0;
    quint8 presentation = 0; // stored as Bits
    QDateTime received;
    qint32 size = 0;
    qint32 refNumber = 0;
    int code2 = 0;
    QString routing;
    QString fileName; // "IN.12", trimmed
};

// Both layouts of the listing: with " bytes free" (fixed columns, ":" after position 7 marks a file line)
// and without (" bytes" after position 8 marks a file line). Any text is accepted; lines that do not
// fit are skipped.
QVector<ListingRecord> ParseMessageListing(const QString& reply);

// Every line holding "IN." gives one record, cut from fixed columns.
QVector<ReceptionLogRecord> ParseReceptionLog(const QString& reply);

// "yy-mm-dd": years below 70 are 20yy, the others 19yy. Invalid date for unreadable text.
QDate ParseShortDate(QStringView text);

} // namespace tessaro
