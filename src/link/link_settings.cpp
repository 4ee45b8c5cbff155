#include "link/link_settings.h"

#include "config/configuration.h"
#include "config/text_util.h"

#include <QStringList>

namespace tessaro {

int GetComPort(CConfiguration& config) {
    const qint64 port = Val(config.GetIni(QStringLiteral("[COM port]")));
    return (port < 1 || port > 16) ? 1 : int(port);
}

QString GetComSettings(CConfiguration& config) {
    const QString s = config.GetIni(QStringLiteral("[COM Settings]"));
    return s.isEmpty() ? QStringLiteral("115200,n,8,1") : s;
}

QString ComDevice(CConfiguration& config, int port) {
    const QString device = config.GetIni(QStringLiteral("[COM Device]")).trimmed();
    if (!device.isEmpty())
        return device;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

SerialSettings ParseSerialSettings(const QString& text) {
    SerialSettings s;
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.isEmpty() || !IsNumeric(parts[0]) || Val(parts[0]) <= 0)
        return s;
    s.baud = qint32(Val(parts[0]));
    if (parts.size() > 1) {
        const QString p = parts[1].trimmed().toLower();
        if (p == QLatin1String("n"))
            s.parity = QSerialPort::NoParity;
        else if (p == QLatin1String("e"))
            s.parity = QSerialPort::EvenParity;
        else if (p == QLatin1String("o"))
            s.parity = QSerialPort::OddParity;
        else if (p == QLatin1String("m"))
            s.parity = QSerialPort::MarkParity;
        else if (p == QLatin1String("s"))
            s.parity = QSerialPort::SpaceParity;
        else
            return s;
    }
    if (parts.size() > 2) {
        switch (Val(parts[2])) {
        case 5:
            s.dataBits = QSerialPort::Data5;
            break;
        case 6:
            s.dataBits = QSerialPort::Data6;
            break;
        case 7:
            s.dataBits = QSerialPort::Data7;
            break;
        case 8:
            s.dataBits = QSerialPort::Data8;
            break;
        default:
            return s;
        }
    }
    if (parts.size() > 3) {
        const QString stop = parts[3].trimmed();
        if (stop == QLatin1String("1"))
            s.stopBits = QSerialPort::OneStop;
        else if (stop == QLatin1String("1.5"))
            s.stopBits = QSerialPort::OneAndHalfStop;
        else if (stop == QLatin1String("2"))
            s.stopBits = QSerialPort::TwoStop;
        else
            return s;
    }
    s.ok = true;
    return s;
}

SerialTarget ParseSerialTarget(const QString& text) {
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return {text.trimmed(), QStringLiteral("115200,n,8,1")};
    return {text.left(comma).trimmed(), text.mid(comma + 1).trimmed()};
}

HostPort ParseHostPort(const QString& text, quint16 defaultPort) {
    HostPort hp;
    hp.port = defaultPort;
    const QString t = text.trimmed();
    QString portText;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return hp;
        hp.host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return hp;
            portText = rest.mid(1);
        }
    } else if (t.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = t.indexOf(QLatin1Char(':'));
        hp.host = t.left(colon);
        portText = t.mid(colon + 1);
    } else {
        hp.host = t; // a name, an IPv4 address or a bare IPv6 address
    }
    if (!portText.isNull()) {
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return hp;
        hp.port = quint16(port);
    }
    hp.ok = !hp.host.isEmpty();
    return hp;
}

QString SerialEventText(LinkEvent event) {
    const QLatin1String reboot(" If this error continues, you may need to reboot the computer.");
    switch (event) {
    case LinkEvent::CdTimeout:
        return QStringLiteral("CD (RLSD) Timeout.") + reboot;
    case LinkEvent::CtsTimeout:
        return QStringLiteral("CTS Timeout.") + reboot;
    case LinkEvent::DsrTimeout:
        return QStringLiteral("DSR Timeout.") + reboot;
    case LinkEvent::Framing:
        return QStringLiteral("Framing Error.") + reboot;
    case LinkEvent::Overrun:
        return QStringLiteral("Data Lost.") + reboot;
    case LinkEvent::RxOverflow:
        return QStringLiteral("Receive buffer overflow.") + reboot;
    case LinkEvent::Parity:
        return QStringLiteral("Parity Error.") + reboot;
    case LinkEvent::DsrChange:
        return QStringLiteral("Change in the DSR line.") + reboot;
    case LinkEvent::Send:
        return QStringLiteral("Transmit buffer Threshold event!.");
    default:
        return {};
    }
}

} // namespace tessaro
