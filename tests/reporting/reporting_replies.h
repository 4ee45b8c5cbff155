#pragma once

#include <QString>

namespace tessaro::test {

// A "st -d" reply as the transceiver prints it: 58-character lines between the header ending "Rd" and the count.
inline QString DnidReply(const QString& br = QStringLiteral("\r\n")) {
    return QStringLiteral("st -d") + br + QStringLiteral("DNID list") + br +
           QStringLiteral("Name                       St LES DNID    Mem  Sub   Ch Rd") + br +
           //                  1234567890123456789012345678901234567890123456789012345678
           QStringLiteral("Fleet Tracking & Co         1 102 12345   007   0     1  0") + br +
           QStringLiteral("Coastal Monitoring          0 212 4321    012   1     0  1") + br +
           QStringLiteral("Far Away                    1 405 777     001   0     0  0") + br +
           QStringLiteral("  3 DNID(s) stored") + br + QStringLiteral("can0:/$ ");
}

inline QString RsReply(const QString& operation = QStringLiteral("Operation 1: Active")) {
    return QStringLiteral("rs\r\nIllegal argument\r\nUsage: rs [options]\r\n"
                          " -f (num)  value is 1 Function\r\n"
                          " -m (str)  value is 1-6 Month\r\n"
                          " -d (str)  value is * Month day\r\n"
                          " -w (str)  value is 1,3 Day of week\r\n"
                          " -h (str)  value is 12 Hour of day\r\n"
                          " -u (str)  value is 30 Minute of day\r\n"
                          " -n (num)  value is 1 No print copy\r\n"
                          " -s (num)  value is 0 Service\r\n"
                          " -t (num)  value is 5 Destination type\r\n"
                          " -v (num)  value is 0 Confirmation\r\n"
                          " -e (str)  value is 12345 Message Extension\r\n"
                          " -p (str)  value is 1A2 PIN code\r\n"
                          " -a (str)  value is 12345 Destination Address\r\n") +
           operation + QStringLiteral("\r\ncan0:/$ ");
}

inline QString ListingReply() {
    return QStringLiteral("pg -d\r\nPosition report programs\r\n"
                          "Prg Type      State   Connection (LES,DNID,Mem per ocean)\r\n"
                          //        1         2
                          // 23456789012345678901
                          "0  PU-Local  PU[i]   105,12345,7 000,0,0 212,4321,12 000,0,0\r\n"
                          "1  PU-Remote PU[s]   000,0,0 102,12345,7 000,0,0 000,0,0\r\n"
                          "2  Closed    none    000,0,0 000,0,0 000,0,0 000,0,0\r\n"
                          "3  Closed    none\r\n"
                          "can0:/$ ");
}

} // namespace tessaro::test
