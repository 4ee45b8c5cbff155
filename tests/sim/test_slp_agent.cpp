// The simulator's SLP agent: which requests it answers, with what, and when it stays silent.
#include "link/slp_codec.h"
#include "slp_agent.h"

#include <gtest/gtest.h>

using namespace tessaro;

namespace {
const QHostAddress kOwn(QStringLiteral("127.0.0.2"));
const QByteArray kType = slp::kServiceType;
} // namespace

TEST(SlpAgent, AnswersServiceAndAttributeRequestsForItsType) {
    sim::SlpAgent agent;
    agent.setShellAddress(kOwn, 2323);
    agent.setModel("4711");
    agent.setSoftwareVersion("3.01");
    const auto services = slp::ParseServiceReply(agent.answer(slp::BuildServiceRequest(9, kType, true), kOwn), 9);
    ASSERT_TRUE(services.ok());
    ASSERT_EQ(services.value.urls.size(), 1);
    EXPECT_EQ(slp::UrlLine(services.value.urls[0]), QByteArray("service:device.devsvc://127.0.0.2:2323,65535"));

    agent.setShellAddress(kOwn, 23);
    const auto onPort23 = slp::ParseServiceReply(agent.answer(slp::BuildServiceRequest(9, kType, false), kOwn), 9);
    ASSERT_TRUE(onPort23.ok());
    EXPECT_EQ(onPort23.value.urls.value(0).url, QByteArray("service:device.devsvc://127.0.0.2"));

    const QByteArray url = "service:device.devsvc://127.0.0.2";
    const auto attributes =
        slp::ParseAttributeReply(agent.answer(slp::BuildAttributeRequest(10, url, false, {}, "fr"), kOwn), 10, "fr");
    ASSERT_TRUE(attributes.ok()) << "answered in the request's language";
    EXPECT_EQ(attributes.value.attributes, QByteArray("(device-model=4711),(device-sw-version=3.01)"));
}

TEST(SlpAgent, StaysSilentOrRefusesWhereItShould) {
    sim::SlpAgent agent;
    // Named among the previous responders of a repeated multicast request.
    EXPECT_TRUE(agent.answer(slp::BuildServiceRequest(1, kType, true, {"127.0.0.3", "127.0.0.2"}), kOwn).isEmpty());
    EXPECT_FALSE(agent.answer(slp::BuildServiceRequest(1, kType, true, {"127.0.0.3"}), kOwn).isEmpty());
    // Another service type, or a damaged request.
    EXPECT_TRUE(agent.answer(slp::BuildServiceRequest(1, "service:printer", false), kOwn).isEmpty());
    EXPECT_TRUE(agent.answer(slp::BuildServiceRequest(1, kType, false).left(20), kOwn).isEmpty());
    // Another scope: an error by unicast, silence by multicast.
    EXPECT_TRUE(agent.answer(slp::BuildServiceRequest(1, kType, true, {}, "en", "BRIDGE"), kOwn).isEmpty());
    const auto refused =
        slp::ParseServiceReply(agent.answer(slp::BuildServiceRequest(2, kType, false, {}, "en", "BRIDGE"), kOwn), 2);
    ASSERT_TRUE(refused.ok());
    EXPECT_EQ(refused.value.error, slp::kScopeNotSupported);
    EXPECT_TRUE(refused.value.urls.isEmpty());
}
