#pragma once

#include "link/link.h"

#include <QSerialPort>
#include <QString>

namespace tessaro {

class CConfiguration;

// "[COM port]": Val of the key; anything outside 1..16 gives 1.
int GetComPort(CConfiguration& config);
// "[COM Settings]", or "115200,n,8,1" when empty.
QString GetComSettings(CConfiguration& config);
// The device behind a port number: "[COM Device]" when it names one, else /dev/ttyS(port-1).
QString ComDevice(CConfiguration& config, int port);

struct SerialSettings {
    qint32 baud = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    bool ok = false;
};
// "BAUD,PARITY,DATABITS,STOPBITS" as in "115200,n,8,1"; missing trailing fields keep their defaults.
SerialSettings ParseSerialSettings(const QString& text);

// "DEVICE[,SETTINGS]" from the command line.
struct SerialTarget {
    QString device;
    QString settings;
};
SerialTarget ParseSerialTarget(const QString& text);

struct HostPort {
    QString host;
    quint16 port = 23;
    bool ok = false;
};
// "HOST", "HOST:PORT", "[v6]:PORT" or a bare IPv6 address; an empty host is not ok.
HostPort ParseHostPort(const QString& text, quint16 defaultPort = 23);

// The error-log text of a serial event, or empty when the event is not logged.
QString SerialEventText(LinkEvent event);

} // namespace tessaro
