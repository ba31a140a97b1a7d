#include "clock/services/service_request.h"

#include <gtest/gtest.h>

#include "tests/unit/loopback_server.h"

namespace {

// A service request as the about window builds it: "lcqb", its total length (little-endian),
// the kind, then the payload.
std::string LcqbRequest(const std::string& payload) {
    const uint32_t total = static_cast<uint32_t>(12 + payload.size());
    std::string request = "lcqb";
    for (int i = 0; i < 4; ++i)
        request += static_cast<char>((total >> (8 * i)) & 0xFF);
    return request + "DSLB" + payload;
}

// 127.0.0.x: distinct hosts on this machine that can share one port.
constexpr uint32_t Loopback(int x) {
    return 0x7F000000u + static_cast<uint32_t>(x);
}

LoopbackConfig At(LoopbackMode mode, uint32_t address, uint16_t port, std::vector<std::string> reply = {}) {
    LoopbackConfig config{mode, std::move(reply)};
    config.address = address;
    config.port = port;
    return config;
}

// ---- Taking the request and the addresses apart ----

TEST(SplitServicePort, TakesLeadingDigitsBeforeLcqbAsThePortAndDropsThem) {
    ServiceTarget t = SplitServicePort("8080" + LcqbRequest(""));
    EXPECT_EQ(t.port, 8080);
    EXPECT_EQ(t.body, LcqbRequest(""));
    t = SplitServicePort("lcqbDSLB");
    EXPECT_EQ(t.port, kServiceDefaultPort);
    EXPECT_EQ(t.body, "lcqbDSLB");
}

TEST(SplitServicePort, LeavesOtherRequestsWholeOnTheDefaultPort) {
    ServiceTarget t = SplitServicePort("123abc");
    EXPECT_EQ(t.port, 5252);
    EXPECT_EQ(t.body, "123abc");
    t = SplitServicePort("12 lcqb");
    EXPECT_EQ(t.port, 5252);
    EXPECT_EQ(t.body, "12 lcqb");
    // Digits that are no port are still a prefix, not request bytes.
    t = SplitServicePort("99999lcqb");
    EXPECT_EQ(t.port, 5252);
    EXPECT_EQ(t.body, "lcqb");
    t = SplitServicePort("00000000000000000081lcqb");
    EXPECT_EQ(t.port, 81);
    EXPECT_EQ(SplitServicePort("").body, "");
}

TEST(ServiceHost, DropsTheSchemeAndEverythingFromTheFirstSeparator) {
    EXPECT_EQ(ServiceHost("http://svc.example.com/api/x"), "svc.example.com");
    EXPECT_EQ(ServiceHost("svc.example.com:5252"), "svc.example.com");
    EXPECT_EQ(ServiceHost("tcp://10.0.0.7\\share"), "10.0.0.7");
    EXPECT_EQ(ServiceHost("  https://svc.example.com:443/  "), "svc.example.com");
    EXPECT_EQ(ServiceHost("svc.example.com/redirect?to=http://other/"), "svc.example.com");
    EXPECT_EQ(ServiceHost("http:///path"), "");
    EXPECT_EQ(ServiceHost("   "), "");
}

// ---- The exchange over real sockets ----

TEST(ServiceRequest, SendsTheBodyToThePrefixedPortAndReadsTheReplyToTheClose) {
    // More than one 4096-byte piece, and arriving in three writes with pauses between.
    const std::vector<std::string> pieces = {"//lc//ok" + std::string(5000, 'a'), std::string(5000, 'b'),
                                             "end"};
    LoopbackServer server({LoopbackMode::kAnswer, pieces});
    ASSERT_TRUE(server.listening());
    const std::string request = LcqbRequest(std::string(3000, '\x01'));
    const std::string reply =
        ServiceRequest(std::to_string(server.port()) + request, {"http://127.0.0.1/service"}, 2000);
    EXPECT_EQ(reply, pieces[0] + pieces[1] + pieces[2]);
    EXPECT_EQ(server.requests(), std::vector<std::string>{request});
}

TEST(ServiceRequest, MovesOnFromAddressesThatGiveNothing) {
    LoopbackServer closes({LoopbackMode::kCloseAtOnce, {}});
    ASSERT_TRUE(closes.listening());
    const uint16_t port = closes.port();
    LoopbackServer good(At(LoopbackMode::kAnswer, Loopback(3), port, {"reply"}));
    LoopbackServer spare(At(LoopbackMode::kAnswer, Loopback(4), port, {"spare"}));
    if (!good.listening() || !spare.listening()) GTEST_SKIP() << "127.0.0.3/4 cannot share the port";
    const std::string reply = ServiceRequest(
        std::to_string(port) + LcqbRequest("x"),
        {"no-such-host.invalid", "tcp://127.0.0.1:9/", "127.0.0.2", "http://127.0.0.3/", "127.0.0.4"}, 2000);
    EXPECT_EQ(reply, "reply");
    // The address's own port (9) plays no part: the peer on the request's port that closed at once
    // was asked, and 127.0.0.2, where nothing listens, refused.
    EXPECT_EQ(closes.requests().size(), 1u);
    EXPECT_EQ(good.requests(), std::vector<std::string>{LcqbRequest("x")});
    EXPECT_TRUE(spare.requests().empty());
}

TEST(ServiceRequest, IsEmptyWhenEveryAddressFails) {
    LoopbackServer closes({LoopbackMode::kCloseAtOnce, {}});
    ASSERT_TRUE(closes.listening());
    LoopbackServer silent(At(LoopbackMode::kSilent, Loopback(2), closes.port()));
    if (!silent.listening()) GTEST_SKIP() << "127.0.0.2 cannot share the port";
    const std::string prefix = std::to_string(closes.port());
    EXPECT_EQ(ServiceRequest(prefix + LcqbRequest("x"), {"127.0.0.1", "127.0.0.2", "127.0.0.5", ""}, 300),
              "");
    EXPECT_EQ(closes.requests().size(), 1u);
    EXPECT_EQ(silent.requests().size(), 1u);
    EXPECT_EQ(ServiceRequest(LcqbRequest("x"), {}, 300), "");
}

TEST(ServiceRequest, TakesAReplyOfOneMebibyteAndTreatsALongerOneAsGarbage) {
    LoopbackServer fits({LoopbackMode::kAnswer, {std::string(kServiceReplyMaxBytes, 'a')}});
    ASSERT_TRUE(fits.listening());
    const std::string request = std::to_string(fits.port()) + LcqbRequest("x");
    EXPECT_EQ(ServiceRequest(request, {"127.0.0.1"}, 2000).size(), kServiceReplyMaxBytes);

    // The longer reply ends the exchange as a damaged one does: the next address is not asked.
    LoopbackServer over(
        At(LoopbackMode::kAnswer, Loopback(6), fits.port(), {std::string(kServiceReplyMaxBytes, 'a'), "b"}));
    LoopbackServer spare(At(LoopbackMode::kAnswer, Loopback(7), fits.port(), {"spare"}));
    if (!over.listening() || !spare.listening()) GTEST_SKIP() << "127.0.0.6/7 cannot share the port";
    EXPECT_EQ(ServiceRequest(request, {"127.0.0.6", "127.0.0.7"}, 2000), "");
    EXPECT_EQ(over.requests().size(), 1u);
    EXPECT_TRUE(spare.requests().empty());
}

TEST(ServiceRequest, UsesPort5252WithoutAPrefix) {
    LoopbackConfig config{LoopbackMode::kAnswer, {"default port"}};
    config.port = kServiceDefaultPort;
    config.bindRetryMs = 2000;
    LoopbackServer server(config);
    if (!server.listening()) GTEST_SKIP() << "port 5252 on 127.0.0.1 is in use";
    EXPECT_EQ(ServiceRequest(LcqbRequest("y"), {"127.0.0.1"}, 2000), "default port");
    EXPECT_EQ(server.requests(), std::vector<std::string>{LcqbRequest("y")});
}

}  // namespace
