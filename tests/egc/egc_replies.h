#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaro::test {

// Transceiver replies laid out by their documented columns, independent of the parsers under test.
struct ListedEgc {
    int number;
    int size;
    const char* date; // "yy-mm-dd" as listed
    const char* time; // "hh:mm"
};

inline QString egcName(int number) {
    return QStringLiteral("EGC.%1").arg(number, 3, 10, QLatin1Char('0'));
}

// Long layout: name in columns 1-17, date 37-44, time 47-51, then the size up to " bytes".
inline QString longListing(const QList<ListedEgc>& files) {
    QString r = QStringLiteral("ls EGC.*\r\n");
    for (const ListedEgc& f : files)
        r += egcName(f.number).rightJustified(17) + QStringLiteral("  -rw-  1 mes").leftJustified(19) +
             QLatin1String(f.date) + QStringLiteral("  ") + QLatin1String(f.time) +
             QStringLiteral("%1 bytes\r\n").arg(f.size, 9);
    if (files.isEmpty())
        r += QStringLiteral("ls: EGC.*: No such file or directory\r\n");
    return r + QStringLiteral("can0:/$ ");
}

// DOS layout: name 1-8, extension 10-12, size ending in column 22, date 25-32, time 35-39, totals after.
inline QString dosListing(const QList<ListedEgc>& files) {
    QString r = QStringLiteral("ls EGC.*\r\n");
    for (const ListedEgc& f : files)
        r += QStringLiteral("EGC      %1%2  %3  %4\r\n")
                 .arg(QStringLiteral("%1").arg(f.number, 3, 10, QLatin1Char('0')))
                 .arg(f.size, 10)
                 .arg(QLatin1String(f.date), QLatin1String(f.time));
    r += QStringLiteral("%1 file(s) %2 bytes\r\n").arg(files.size(), 10).arg(0, 12);
    return r + QStringLiteral("%1 bytes free\r\ncan0:/$ ").arg(123456, 23);
}

struct LoggedEgc {
    int number;
    int les;
    int service;
    int priority;
    const char* date;
    const char* time;
    int size;
    const char* routing;
};

inline QString egcLogLine(const LoggedEgc& e) {
    return QStringLiteral("%1 %2 %3 0 %4 %5 %6 %7  0  1 %8 %9")
        .arg(e.les, 3, 10, QLatin1Char('0'))
        .arg(e.service, 3)
        .arg(e.priority)
        .arg(QLatin1String(e.date), QLatin1String(e.time))
        .arg(e.size, 7)
        .arg(4000 + e.number, 8)
        .arg(QString::fromLatin1(e.routing).leftJustified(7), egcName(e.number));
}

inline QString egcLog(const QList<LoggedEgc>& entries) {
    QString r = QStringLiteral("st -e\r\nEGC log\r\nLES Svc P B Date     Time    Size   Ref no Sq Ch Routing File\r\n");
    for (const LoggedEgc& e : entries)
        r += egcLogLine(e) + QStringLiteral("\r\n");
    return r + QStringLiteral("can0:/$ ");
}

// "ty NAME -b -k": echo, a file header, an empty line, the bytes, the prompt right after them.
inline QString tyReply(int number, const QByteArray& body, const char* flags = " -b -k") {
    return QStringLiteral("ty ") + egcName(number) + QLatin1String(flags) + QStringLiteral("\r\nFile ") +
           egcName(number) + QStringLiteral(", %1 bytes, 26-12-10 08:15\r\n\r\n").arg(body.size()) +
           QString::fromLatin1(body) + QStringLiteral("can0:/$ ");
}

} // namespace tessaro::test
