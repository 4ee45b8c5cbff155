// The fixed-IP exchange on the raw socket: its lines, the banner it waits for, the time-out and reboot.
#include "config/clock.h"
#include "link/fixed_ip_exchange.h"
#include "link/in_memory_link.h"

#include <gtest/gtest.h>

#include <optional>

using namespace tessaro;

namespace {
struct ExchangeRig {
    ManualClock clock;
    InMemoryLink tcp;
    FixedIpExchange exchange{tcp, clock};
    std::optional<FixedIpExchange::Outcome> outcome;
    int outcomes = 0;
    ExchangeRig() {
        tcp.open();
        QObject::connect(&exchange, &FixedIpExchange::finished, [this](FixedIpExchange::Outcome o) {
            outcome = o;
            ++outcomes;
        });
    }
};
} // namespace

TEST(FixedIpExchange, SendsTheWholeSequenceAtOnceAndEndsOnTheBanner) {
    const struct {
        bool fixed;
        const char* written;
        const char* banner;
    } cases[] = {
        {true, "\r\nexit\r\nsysconf -h 0\r\nsysconf -i 10.0.0.5\r\nminic -f\r\n", "Connected to transceiver"},
        {false, "\r\nexit\r\nsysconf -h 1\r\nminic -f\r\n", "minic: command not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        ExchangeRig rig;
        rig.tcp.feed("half a reply of the command given up\r\n");
        ASSERT_TRUE(rig.exchange.start(QStringLiteral(" 10.0.0.5 "), c.fixed));
        EXPECT_EQ(rig.tcp.written(), QByteArray(c.written));
        EXPECT_FALSE(rig.exchange.start(QStringLiteral("10.0.0.6"), true)) << "one exchange at a time";
        rig.clock.advanceMs(6000);
        rig.tcp.feed("logout\r\nkv7302:/$ ");
        rig.exchange.step();
        EXPECT_FALSE(rig.outcome.has_value()) << "the bare shell is no banner";
        rig.tcp.feed(QByteArray(c.banner) + "\r\ncan0:/$ ");
        rig.exchange.step();
        EXPECT_EQ(rig.outcome, FixedIpExchange::Outcome::Done);
        EXPECT_FALSE(rig.exchange.running());
        EXPECT_FALSE(rig.tcp.written().contains("reboot"));
    }
}

TEST(FixedIpExchange, NoBannerWithinTheWaitSendsRebootAndSaysSo) {
    ExchangeRig rig;
    ASSERT_TRUE(rig.exchange.start(QStringLiteral("10.0.0.5"), true));
    rig.clock.advanceMs(FixedIpExchange::kBannerWaitMs - 1);
    rig.exchange.step();
    EXPECT_FALSE(rig.outcome.has_value());
    rig.clock.advanceMs(1);
    rig.exchange.step();
    EXPECT_EQ(rig.outcome, FixedIpExchange::Outcome::NoBanner);
    EXPECT_TRUE(rig.tcp.written().endsWith("minic -f\r\nreboot\r\n"));
    EXPECT_EQ(FixedIpExchange::OutcomeText(*rig.outcome, {}, true),
              QStringLiteral("Mini-C Terminal not responding, please try again"));
    rig.exchange.step();
    EXPECT_EQ(rig.outcomes, 1);
}

TEST(FixedIpExchange, WithoutASocketNothingIsSent) {
    ExchangeRig rig;
    rig.tcp.close();
    rig.exchange.start(QStringLiteral("10.0.0.5"), true);
    EXPECT_EQ(rig.outcome, FixedIpExchange::Outcome::NotConnected);
    EXPECT_TRUE(rig.tcp.written().isEmpty());
    EXPECT_FALSE(rig.exchange.running());
}
