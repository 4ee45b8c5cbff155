// SLP discovery: the request and reply layouts byte for byte, defensive reply parsing, the rules that read
// the tool's output, the hidden runner, the discovery flow against a scripted tool, and the exchange that
// OK on the comm-settings LAN page runs.
#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "link/in_memory_link.h"
#include "link/lan_discovery.h"
#include "link/lan_setup_exchange.h"
#include "link/slp_codec.h"
#include "link/terminal.h"
#include "link_test_support.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A length-prefixed SLP string, written out by hand.
QByteArray str(const QByteArray& s) {
    return QByteArray(1, char(s.size() >> 8)) + QByteArray(1, char(s.size() & 0xFF)) + s;
}

QByteArray withLength(QByteArray m) {
    m[2] = char((m.size() >> 16) & 0xFF);
    m[3] = char((m.size() >> 8) & 0xFF);
    m[4] = char(m.size() & 0xFF);
    return m;
}

const QByteArray kType = "service:device.devsvc";

// A Service Reply with two URL entries, the second carrying one authentication block.
QByteArray twoUrlReply(quint16 flags = 0) {
    QByteArray m = hex("02 02 000000") + QByteArray(1, char(flags >> 8)) + QByteArray(1, char(flags & 0xFF)) +
                   hex("000000 1234") + str("en");
    m += hex("0000 0002");
    m += hex("00 ffff") + str("service:device.devsvc://192.168.1.5") + hex("00");
    m += hex("00 003c") + str("service:device.devsvc://192.168.1.6:2323") + hex("01") + hex("0002 000a") +
         hex("0000 0000 0000");
    return withLength(m);
}

} // namespace

TEST(SlpCodec, RequestsAreLaidOutByteForByte) {
    const QByteArray tail = str(kType) + str("DEFAULT") + hex("0000 0000");
    // The multicast Service Request: the "request multicast" flag, no previous responders yet.
    EXPECT_EQ(slp::BuildServiceRequest(0x1234, kType, true),
              hex("02 01 000036 2000 000000 1234 0002") + "en" + hex("0000") + tail);
    // A repeat names the agents that have answered.
    EXPECT_EQ(slp::BuildServiceRequest(0x1234, kType, true, {"127.0.0.2", "127.0.0.3"}),
              hex("02 01 000049 2000 000000 1234 0002") + "en" + str("127.0.0.2,127.0.0.3") + tail);
    // Unicast Attribute Request: no flag.
    EXPECT_EQ(slp::BuildAttributeRequest(0xBEEF, kType, false),
              hex("02 06 000036 0000 000000 beef 0002") + "en" + hex("0000") + tail);
    // And the agent reads them back.
    const auto q = slp::ParseRequest(slp::BuildServiceRequest(7, kType, true, {"10.0.0.1"}, "de", "a,b", "(x=1)"));
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.value.header.function, quint8(slp::Function::SrvRqst));
    EXPECT_EQ(q.value.header.flags, slp::kFlagMulticast);
    EXPECT_EQ(q.value.header.language, QByteArray("de"));
    EXPECT_EQ(q.value.previousResponders, QList<QByteArray>{"10.0.0.1"});
    EXPECT_EQ(q.value.serviceTypeOrUrl, kType);
    EXPECT_EQ(q.value.scopes, QByteArray("a,b"));
    EXPECT_EQ(q.value.predicateOrTags, QByteArray("(x=1)"));
}

TEST(SlpCodec, RepliesBuiltByTheAgentMatchTheLayout) {
    EXPECT_EQ(slp::BuildServiceReply(0x1234, "en", 0, {{0xffff, "service:device.devsvc://10.0.0.9"}}),
              withLength(hex("02 02 000000 0000 000000 1234 0002") + "en" + hex("0000 0001 00 ffff") +
                         str("service:device.devsvc://10.0.0.9") + hex("00")));
    EXPECT_EQ(slp::BuildAttributeReply(0x0102, "en", 0, "(device-model=7302)"),
              withLength(hex("02 07 000000 0000 000000 0102 0002") + "en" + hex("0000") + str("(device-model=7302)") +
                         hex("00")));
}

TEST(SlpCodec, ServiceReplyGivesEveryUrlAndSkipsAuthenticationBlocks) {
    const auto r = slp::ParseServiceReply(twoUrlReply(), 0x1234);
    ASSERT_TRUE(r.ok()) << slp::ParseStatusText(r.status).toStdString();
    const QList<slp::UrlEntry> expected{{0xffff, "service:device.devsvc://192.168.1.5"},
                                        {60, "service:device.devsvc://192.168.1.6:2323"}};
    EXPECT_EQ(r.value.urls, expected);
    EXPECT_EQ(slp::UrlLine(r.value.urls[1]), QByteArray("service:device.devsvc://192.168.1.6:2323,60"));
}

TEST(SlpCodec, RepliesNotForThisRequestAreRefused) {
    const QByteArray good = twoUrlReply();
    QByteArray badVersion = good;
    badVersion[0] = 1;
    QByteArray otherLanguage = good;
    otherLanguage[14] = 'd';
    const struct {
        const char* what;
        QByteArray datagram;
        quint16 xid;
        slp::ParseStatus status;
    } cases[] = {
        {"empty", {}, 0x1234, slp::ParseStatus::TooShort},
        {"half a header", good.left(10), 0x1234, slp::ParseStatus::TooShort},
        {"version 1", badVersion, 0x1234, slp::ParseStatus::BadVersion},
        {"other XID", good, 0x1235, slp::ParseStatus::WrongXid},
        {"other language", otherLanguage, 0x1234, slp::ParseStatus::WrongLanguage},
        {"attribute reply", slp::BuildAttributeReply(0x1234, "en", 0, "(a=1)"), 0x1234,
         slp::ParseStatus::WrongFunction},
        {"datagram cut short", good.left(good.size() - 1), 0x1234, slp::ParseStatus::LengthMismatch},
        {"trailing bytes", good + "x", 0x1234, slp::ParseStatus::LengthMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(slp::ParseServiceReply(c.datagram, c.xid).status, c.status);
    }
    EXPECT_TRUE(slp::ParseServiceReply(good, 0x1234, "EN").ok()) << "language tags compare without case";
}

// Cut anywhere and with the header's length made to agree, the counts and string lengths inside now lie:
// nothing past the end is read and no partial result is given, unless the agent said it overflowed.
TEST(SlpCodec, LyingLengthsInsideTheBodyNeverReadPastTheEnd) {
    for (const quint16 flags : {quint16(0), slp::kFlagOverflow}) {
        const QByteArray full = twoUrlReply(flags);
        const int firstEntryEnd = 16 + 4 + 1 + 2 + 2 + 35 + 1;
        for (int n = 16; n < full.size(); ++n) {
            SCOPED_TRACE(n);
            const auto r = slp::ParseServiceReply(withLength(full.left(n)), 0x1234);
            if (flags == 0) {
                EXPECT_EQ(r.status, slp::ParseStatus::Malformed);
            } else if (n >= 20) {
                ASSERT_TRUE(r.ok());
                EXPECT_EQ(r.value.urls.size(), n >= firstEntryEnd ? 1 : 0) << "whole entries before the cut";
            }
        }
    }
    QByteArray hugeUrl = twoUrlReply();
    hugeUrl[16 + 4 + 3] = char(0xff); // first URL's length says 65xxx
    EXPECT_EQ(slp::ParseServiceReply(hugeUrl, 0x1234).status, slp::ParseStatus::Malformed);
    QByteArray shortAuth = twoUrlReply();
    shortAuth[shortAuth.size() - 7] = 2; // an authentication block claiming less than its own start
    EXPECT_EQ(slp::ParseServiceReply(shortAuth, 0x1234).status, slp::ParseStatus::Malformed);
    QByteArray longLanguage = twoUrlReply();
    longLanguage[13] = char(0x7f);
    EXPECT_EQ(slp::ParseServiceReply(longLanguage, 0x1234).status, slp::ParseStatus::Malformed);
}

TEST(SlpCodec, AttributeReplyGivesTheList) {
    const QByteArray good = withLength(hex("02 07 000000 0000 000000 4242 0002") + "en" + hex("0000") +
                                       str("(device-model=7302),(device-sw-version=1.06)") + hex("00"));
    const auto r = slp::ParseAttributeReply(good, 0x4242);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value.attributes, QByteArray("(device-model=7302),(device-sw-version=1.06)"));
    for (int n = 16; n < good.size() - 1; ++n)
        EXPECT_EQ(slp::ParseAttributeReply(withLength(good.left(n)), 0x4242).status, slp::ParseStatus::Malformed) << n;
    EXPECT_EQ(slp::ParseAttributeReply(good, 0x4243).status, slp::ParseStatus::WrongXid);
    const auto err = slp::ParseAttributeReply(slp::BuildAttributeReply(1, "en", slp::kScopeNotSupported, {}), 1);
    ASSERT_TRUE(err.ok());
    EXPECT_EQ(err.value.error, slp::kScopeNotSupported);
}

TEST(SlpOutput, ServiceAddressesFollowTheSlashesUpToTheComma) {
    const struct {
        const char* output;
        QStringList addresses;
    } cases[] = {
        {"service:device.devsvc://192.168.1.5,65535\nservice:device.devsvc://192.168.1.6:2323,60\n",
         {QStringLiteral("192.168.1.5"), QStringLiteral("192.168.1.6:2323")}},
        {"service:device.devsvc://10.0.0.1,65535\r\nservice:device.devsvc://10.0.0.1,65535\r\n",
         {QStringLiteral("10.0.0.1")}},
        {"service:device.devsvc://10.0.0.2\n", {}},
        {"tessaro-slp: cannot send the request: Network is unreachable\n", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        EXPECT_EQ(ServiceAddresses(QString::fromLatin1(c.output)), c.addresses);
    }
}

TEST(SlpOutput, OnlyModel7302IsSupportedAndItsVersionIsRead) {
    const struct {
        const char* output;
        bool supported;
        std::optional<std::pair<int, int>> version;
    } cases[] = {
        {"(device-model=7302),(device-sw-version=1.06)\n", true, std::pair{1, 6}},
        {"(device-sw-version=1.6),(device-model=7302)\r\n", true, std::pair{1, 6}},
        {"(device-model=7302),(device-sw-version=12.10)\n", true, std::pair{12, 10}},
        {"(device-model=7302),(device-sw-version=2),(other=3.4)\n", true, std::pair{2, 0}},
        {"(device-model=7302)\n", true, std::nullopt},
        {"(device-model=7303),(device-sw-version=1.06)\n", false, std::nullopt},
        {"(device-model=73021),(device-sw-version=1.06)\n", false, std::nullopt},
        {"(device-model=4711),(device-sw-version=3.01)\n(device-model=7302),(device-sw-version=1.07)\n", true,
         std::pair{1, 7}},
        {"", false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        const QString output = QString::fromLatin1(c.output);
        EXPECT_EQ(IsSupportedTransceiver(output), c.supported);
        const auto v = ParseTcuSwVersion(output);
        ASSERT_EQ(v.has_value(), c.version.has_value());
        if (v) {
            EXPECT_EQ(v->major, c.version->first);
            EXPECT_EQ(v->minor, c.version->second);
        }
    }
}

namespace {
struct DiscoveryRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, true};
    SystemClock clock;
    cErrorLog errorLog{path, clock};
    LanDiscovery discovery{config, errorLog};

    // A stand-in for tessaro-slp that answers from canned texts and records its arguments.
    void scriptTool(const QByteArray& body) {
        const QString tool = path + QStringLiteral("slp-tool.sh");
        QFile f(tool);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho \"$*\" >> \"" + path.toUtf8() + "calls.txt\"\n" + body);
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Tool"), tool);
        config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Targets"), QStringLiteral("127.0.0.9"));
    }
    QStringList calls() {
        return QString::fromUtf8(test::readFile(path + QStringLiteral("calls.txt"))).split(u'\n', Qt::SkipEmptyParts);
    }
    QString errorLogText() { return QString::fromLatin1(test::readFile(path + QStringLiteral("ErrorLog.txt"))); }
};

const QByteArray kTwoTransceivers = R"SH(case "$*" in
*findsrvs*) echo "service:device.devsvc://10.0.0.1,65535"; echo "service:device.devsvc://10.0.0.2:23,65535";;
*"-u 10.0.0.1 "*) echo "(device-model=4711),(device-sw-version=2.00)";;
*"-u 10.0.0.2:23 "*) echo "(device-model=7302),(device-sw-version=1.06)";;
esac
)SH";
} // namespace

TEST(LanDiscovery, FindsServicesThenKeepsOnlyTheAddressesThatAnswerAsModel7302) {
    DiscoveryRig rig;
    rig.scriptTool(kTwoTransceivers);
    QSignalSpy finished(&rig.discovery, &LanDiscovery::searchFinished);
    rig.discovery.runSearch();
    EXPECT_TRUE(rig.discovery.searching());
    rig.discovery.runSearch(); // a second search while one runs is not started
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(rig.discovery.discoveredHosts(), QStringList{QStringLiteral("10.0.0.2:23")});
    EXPECT_EQ(rig.config.SlpTcuAddressCount(), 1);
    EXPECT_EQ(rig.calls(), (QStringList{QStringLiteral("--to 127.0.0.9 findsrvs service:device.devsvc"),
                                        QStringLiteral("-u 10.0.0.1 findattrs service:device.devsvc"),
                                        QStringLiteral("-u 10.0.0.2:23 findattrs service:device.devsvc")}));

    QSignalSpy learned(&rig.discovery, &LanDiscovery::versionLearned);
    EXPECT_EQ(rig.discovery.knownSoftwareMajor(), 0);
    rig.discovery.askVersion(QStringLiteral("10.0.0.2:23"));
    ASSERT_TRUE(learned.wait(5000));
    EXPECT_EQ(rig.config.GetTcuSwMajor(), 1);
    EXPECT_EQ(rig.config.GetTcuSwMinor(), 6);

    QSignalSpy checked(&rig.discovery, &LanDiscovery::addressChecked);
    rig.discovery.checkAddress(QStringLiteral("10.0.0.1"));
    ASSERT_TRUE(checked.wait(5000));
    EXPECT_EQ(checked.first().at(1).toBool(), false) << "model 4711 is not supported";
    EXPECT_EQ(rig.config.GetTcuSwMajor(), 1) << "another model's version is not stored";
}

TEST(LanDiscovery, AMissingToolIsLoggedAndFindsNothing) {
    DiscoveryRig rig;
    rig.config.SetSlpTcuAddresses({QStringLiteral("10.0.0.7")});
    rig.config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Tool"), rig.path + QStringLiteral("missing"));
    rig.config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Targets"), QStringLiteral("127.0.0.9"));
    QSignalSpy finished(&rig.discovery, &LanDiscovery::searchFinished);
    rig.discovery.runSearch();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(rig.discovery.discoveredHosts().isEmpty());
    EXPECT_TRUE(rig.errorLogText().contains(QLatin1String("Could not launch ")));
    EXPECT_TRUE(rig.errorLogText().contains(QLatin1String(" - Could not launch a required program")));
}

TEST(LanDiscovery, ATestRunWithoutTargetsNeverSearchesTheMulticastGroup) {
    const bool wasSet = qEnvironmentVariableIsSet("TESSARO_TESTING");
    qputenv("TESSARO_TESTING", "1");
    DiscoveryRig rig;
    rig.scriptTool("echo service:device.devsvc://10.0.0.1,65535\n");
    rig.config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Targets"), QString());
    rig.discovery.runSearch();
    EXPECT_FALSE(rig.discovery.searching());
    QTest::qWait(50);
    EXPECT_TRUE(rig.calls().isEmpty());
    EXPECT_TRUE(rig.errorLogText().contains(QLatin1String("Network discovery skipped")));
    if (!wasSet)
        qunsetenv("TESSARO_TESTING");
}

TEST(HiddenRunner, ATimedOutToolIsKilledAndItsOutputSoFarUsed) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { warnings << m; });
    DiscoveryRig rig;
    HiddenRunner runner(rig.errorLog);
    runner.setLimitMs(300);
    std::optional<QString> output;
    runner.RunHidden(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo partial; exec sleep 30")},
                     [&output](const QString& text) { output = text; });
    EXPECT_FALSE(output.has_value()) << "the window keeps running while the tool does";
    ASSERT_TRUE(QTest::qWaitFor([&output] { return output.has_value(); }, 5000));
    EXPECT_EQ(*output, QStringLiteral("partial\n"));
    EXPECT_TRUE(rig.errorLogText().contains(QLatin1String("did not finish within 300 ms")));
    // The killed tool is reaped before its process object goes: no "destroyed while still running".
    const bool gone = QTest::qWaitFor([&runner] { return runner.findChildren<QProcess*>().isEmpty(); }, 5000);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(warnings.filter(QStringLiteral("still running")).isEmpty()) << warnings.join(u'|').toStdString();
}

namespace {
struct SetupRig {
    ManualClock clock;
    InMemoryLink tcp{LinkKind::Tcp};
    LanSetupExchange exchange{tcp, clock};
    std::optional<LanSetupExchange::Outcome> outcome;
    SetupRig() {
        QObject::connect(&exchange, &LanSetupExchange::finished, [this](LanSetupExchange::Outcome o) { outcome = o; });
    }
};
} // namespace

TEST(LanSetupExchange, StartsTheTerminalProgramOnTheChosenAddressAndWaitsForItsBanner) {
    for (const char* banner : {"Mini-C terminal Connected", "MINIC: command not found"}) {
        SCOPED_TRACE(banner);
        SetupRig rig;
        rig.tcp.setTarget(QStringLiteral("10.0.0.1"));
        rig.tcp.open();
        rig.tcp.feed("can0:/$ ");
        ASSERT_TRUE(rig.exchange.start(QStringLiteral("10.0.0.2")));
        EXPECT_EQ(rig.tcp.target(), QStringLiteral("10.0.0.2")) << "another address: the socket moves";
        EXPECT_FALSE(rig.exchange.start(QStringLiteral("10.0.0.3")));
        rig.exchange.step();
        EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\nminic -f\r\n"));
        rig.clock.advanceMs(LanSetupExchange::kBannerWaitMs - 1);
        rig.tcp.feed(QByteArray(banner) + "\r\ncan0:/$ ");
        rig.exchange.step();
        EXPECT_EQ(rig.outcome, LanSetupExchange::Outcome::Done);
        EXPECT_TRUE(LanSetupExchange::OutcomeText(*rig.outcome).isEmpty());
    }
}

TEST(LanSetupExchange, SilenceSendsRebootAndNoSocketIsATimeOut) {
    SetupRig quiet;
    quiet.tcp.setTarget(QStringLiteral("10.0.0.2"));
    quiet.tcp.open();
    ASSERT_TRUE(quiet.exchange.start(QStringLiteral("10.0.0.2")));
    EXPECT_EQ(quiet.tcp.takeWritten(), QByteArray("\r\nminic -f\r\n")) << "same address: straight to the banner";
    quiet.tcp.feed("kv7302:/$ ");
    quiet.clock.advanceMs(LanSetupExchange::kBannerWaitMs - 1);
    quiet.exchange.step();
    EXPECT_FALSE(quiet.outcome.has_value());
    quiet.clock.advanceMs(1);
    quiet.exchange.step();
    EXPECT_EQ(quiet.outcome, LanSetupExchange::Outcome::NoBanner);
    EXPECT_EQ(quiet.tcp.takeWritten(), QByteArray("reboot\r\n"));
    EXPECT_EQ(LanSetupExchange::OutcomeText(*quiet.outcome),
              QStringLiteral("Mini-C Terminal not responding, please try again"));

    SetupRig unreachable;
    unreachable.tcp.connectOnOpen = false;
    ASSERT_TRUE(unreachable.exchange.start(QStringLiteral("10.0.0.2")));
    unreachable.clock.advanceMs(LanSetupExchange::kConnectWaitMs);
    unreachable.exchange.step();
    EXPECT_EQ(unreachable.outcome, LanSetupExchange::Outcome::NotConnected);
    EXPECT_TRUE(unreachable.tcp.written().isEmpty()) << "nothing is sent without a socket";
    EXPECT_EQ(LanSetupExchange::OutcomeText(*unreachable.outcome),
              QStringLiteral("TCP/IP Timemout, please check IP address or try again"));
}

namespace {
// The terminal on in-memory links, switched to the LAN by the comm-settings dialog's OK.
struct LanOkRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, false, path + QStringLiteral("settings.ini")};
    SessionFlags session;
    ManualClock clock;
    RecordingMainForm form;
    InMemoryLink* tcp = nullptr;
    std::unique_ptr<CTerminal> terminal;

    LanOkRig() {
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("yes"));
        config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("COM"));
        terminal = std::make_unique<CTerminal>(config, session, form, clock, [this](LinkKind kind) {
            auto link = std::make_unique<InMemoryLink>(kind);
            if (kind == LinkKind::Tcp)
                tcp = link.get();
            return link;
        });
        EXPECT_TRUE(terminal->start({}).ok);
        for (int i = 0; i < kTerminalTimerCount; ++i)
            terminal->timer(TerminalTimer(i)).stop(); // the test steps them; only the exchange's own runs
        terminal->engine().queue().clear();
    }
    bool wrote(const QByteArray& text) {
        return QTest::qWaitFor([this, text] { return tcp->written().contains(text); }, 3000);
    }
    QStringList boxTexts() {
        for (int i = 0; i < 5; ++i)
            terminal->messageBoxes().onMBoxTimer();
        QStringList out;
        for (const MessageBoxRequest& b : form.boxes)
            out << b.text;
        return out;
    }
};
} // namespace

TEST(CommSettingsLanOk, TheBannerLinksAtOnceAndQueuesTheIdentityCommands) {
    LanOkRig rig;
    rig.terminal->useLan(QStringLiteral("10.0.0.2"));
    EXPECT_TRUE(rig.terminal->lanSetupRunning());
    ASSERT_TRUE(rig.wrote("\r\nminic -f\r\n"));
    EXPECT_EQ(rig.tcp->target(), QStringLiteral("10.0.0.2"));
    rig.terminal->tick(TerminalTimer::Winsock);
    EXPECT_EQ(rig.terminal->lan().LanConnectState(), LanState::Start) << "the connect sequence waits meanwhile";
    rig.tcp->feed("minic -f\r\nConnected\r\ncan0:/$ ");
    ASSERT_TRUE(QTest::qWaitFor([&rig] { return !rig.terminal->lanSetupRunning(); }, 3000));
    EXPECT_EQ(rig.terminal->lan().LanConnectState(), LanState::WaitReport);
    EXPECT_TRUE(rig.session.LanLinkUp());
    EXPECT_EQ(rig.terminal->engine().queue().text(), QStringLiteral("st -v\r\nst -i\r\n"));
    EXPECT_TRUE(rig.boxTexts().isEmpty());
}

TEST(CommSettingsLanOk, SilenceRebootsAndANoSocketSaysTimeOut) {
    LanOkRig quiet;
    quiet.terminal->useLan(QStringLiteral("10.0.0.2"));
    ASSERT_TRUE(quiet.wrote("minic -f"));
    quiet.clock.advanceMs(LanSetupExchange::kBannerWaitMs);
    ASSERT_TRUE(quiet.wrote("reboot\r\n"));
    EXPECT_FALSE(quiet.terminal->lanSetupRunning());
    EXPECT_EQ(quiet.boxTexts(), QStringList{QStringLiteral("Mini-C Terminal not responding, please try again")});
    EXPECT_FALSE(quiet.session.LanLinkUp());

    LanOkRig unreachable;
    unreachable.tcp->connectOnOpen = false;
    unreachable.terminal->useLan(QStringLiteral("10.0.0.3"));
    unreachable.clock.advanceMs(LanSetupExchange::kConnectWaitMs);
    ASSERT_TRUE(QTest::qWaitFor([&unreachable] { return !unreachable.terminal->lanSetupRunning(); }, 3000));
    EXPECT_EQ(unreachable.boxTexts(),
              QStringList{QStringLiteral("TCP/IP Timemout, please check IP address or try again")});
    EXPECT_TRUE(unreachable.tcp->written().isEmpty());
    EXPECT_EQ(unreachable.config.GetIni(QStringLiteral("[IP Settings]")), QStringLiteral("10.0.0.3"));
}
