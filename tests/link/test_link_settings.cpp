#include "config/configuration.h"
#include "link/link_settings.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaro;

TEST(LinkSettings, ComPortOutsideOneToSixteenOpensPortOne) {
    QTemporaryDir dir;
    CConfiguration config(dir.path(), true);
    const std::pair<const char*, int> cases[] = {{"0", 1},  {"17", 1},  {"abc", 1}, {"", 1},
                                                 {" 4", 4}, {"16", 16}, {"3x", 3}};
    for (auto [value, port] : cases) {
        config.SetIni(QStringLiteral("[COM port]"), QLatin1String(value));
        EXPECT_EQ(GetComPort(config), port) << value;
    }
    EXPECT_EQ(ComDevice(config, 1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ComDevice(config, 16), QStringLiteral("/dev/ttyS15"));
    config.SetIni(QStringLiteral("[COM Device]"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(ComDevice(config, 3), QStringLiteral("/dev/ttyUSB0"));

    config.SetIni(QStringLiteral("[COM Settings]"), QString());
    EXPECT_EQ(GetComSettings(config), QStringLiteral("115200,n,8,1"));
    config.SetIni(QStringLiteral("[COM Settings]"), QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(GetComSettings(config), QStringLiteral("9600,n,8,1"));
}

TEST(LinkSettings, SerialSettingsAndTargets) {
    const SerialSettings s = ParseSerialSettings(QStringLiteral("9600,e,7,2"));
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.parity, QSerialPort::EvenParity);
    EXPECT_EQ(s.dataBits, QSerialPort::Data7);
    EXPECT_EQ(s.stopBits, QSerialPort::TwoStop);
    EXPECT_TRUE(ParseSerialSettings(QStringLiteral("115200")).ok);
    for (const char* bad : {"", "fast,n,8,1", "9600,x,8,1", "9600,n,9,1", "9600,n,8,3"})
        EXPECT_FALSE(ParseSerialSettings(QLatin1String(bad)).ok) << bad;

    const SerialTarget t = ParseSerialTarget(QStringLiteral("/dev/pts/4,4800,n,8,1"));
    EXPECT_EQ(t.device, QStringLiteral("/dev/pts/4"));
    EXPECT_EQ(t.settings, QStringLiteral("4800,n,8,1"));
    EXPECT_EQ(ParseSerialTarget(QStringLiteral("/dev/ttyUSB0")).settings, QStringLiteral("115200,n,8,1"));
}

TEST(LinkSettings, HostAndPort) {
    struct Case {
        const char* text;
        const char* host;
        int port;
        bool ok;
    };
    const Case cases[] = {
        {"10.0.0.5", "10.0.0.5", 23, true},
        {"10.0.0.5:2323", "10.0.0.5", 2323, true},
        {" mes.local ", "mes.local", 23, true},
        {"[::1]:4000", "::1", 4000, true},
        {"fe80::1", "fe80::1", 23, true},
        {"10.0.0.5:0", "10.0.0.5", 23, false},
        {"10.0.0.5:99999", "10.0.0.5", 23, false},
        {"10.0.0.5:x", "10.0.0.5", 23, false},
        {"", "", 23, false},
        {":23", "", 23, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const HostPort hp = ParseHostPort(QLatin1String(c.text));
        EXPECT_EQ(hp.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(hp.host, QLatin1String(c.host));
            EXPECT_EQ(hp.port, c.port);
        }
    }
}

TEST(LinkSettings, SerialEventTexts) {
    EXPECT_EQ(SerialEventText(LinkEvent::Framing),
              QStringLiteral("Framing Error. If this error continues, you may need to reboot the computer."));
    EXPECT_EQ(SerialEventText(LinkEvent::Overrun),
              QStringLiteral("Data Lost. If this error continues, you may need to reboot the computer."));
    EXPECT_EQ(SerialEventText(LinkEvent::Send), QStringLiteral("Transmit buffer Threshold event!."));
    for (LinkEvent silent : {LinkEvent::None, LinkEvent::Break, LinkEvent::TxFull, LinkEvent::CarrierChange})
        EXPECT_TRUE(SerialEventText(silent).isEmpty());
}
