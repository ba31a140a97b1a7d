#include "clock/calendar/net_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "clock/services/net_socket.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/loopback_server.h"

namespace {

std::string Answer(const std::string& headers) {
    return "HTTP/1.0 200 OK\r\n" + headers + "Content-Type: text/html\r\n\r\n<html></html>";
}

const std::string kUsableAnswer = Answer("Server: test\r\nDate: Mon, 07 Dec 2026 08:33:53 GMT\r\n");

std::string Iso(DateValue value) {
    const DateTime t = SplitDate(value);
    return FormatIsoDate(value) + " " + FormatTimeOfDay(t);
}

// What FetchWebTime does, but on each URL's own loopback port and with a short time-out.
std::string LoopbackDateHeader(const std::string& url) {
    return HttpDateHeader(url, static_cast<uint16_t>(SplitUrl(url).port), 1000);
}

// ---- URLs and the request ----

TEST(SplitUrl, DropsEitherSchemeInAnyCaseAndSplitsHostFromPath) {
    UrlParts p = SplitUrl("https://www.example.com/");
    EXPECT_EQ(p.host, "www.example.com");
    EXPECT_EQ(p.path, "");
    p = SplitUrl("  HTTP://Example.com/a/b.html?x=1  ");
    EXPECT_EQ(p.host, "Example.com");
    EXPECT_EQ(p.path, "a/b.html?x=1");
    p = SplitUrl("example.com");
    EXPECT_EQ(p.host, "example.com");
    EXPECT_EQ(p.path, "");
    // Only a leading scheme is dropped; "ftp://" is not one of them and its colon ends the host.
    p = SplitUrl("ftp://example.com/");
    EXPECT_EQ(p.host, "ftp");
}

TEST(SplitUrl, TakesThePortOutOfTheHostAndTrimsBothParts) {
    UrlParts p = SplitUrl("https://example.com:8443/ path ");
    EXPECT_EQ(p.host, "example.com");
    EXPECT_EQ(p.port, 8443);
    EXPECT_EQ(p.path, "path");
    p = SplitUrl("http:// example.com /");
    EXPECT_EQ(p.host, "example.com");
    EXPECT_EQ(p.port, 0);
    EXPECT_EQ(SplitUrl("https:///index.html").host, "");
}

TEST(WebTimeRequest, IsTheExactMinimalHttp10Request) {
    EXPECT_EQ(
        WebTimeRequest(SplitUrl("https://www.example.com/")),
        "GET / HTTP/1.0\r\nHost: www.example.com\r\nConnection: close\r\nUser-Agent: GetHTTP 0.0\r\n\r\n");
    EXPECT_EQ(WebTimeRequest(SplitUrl("http://example.com:81/time/now")),
              "GET /time/now HTTP/1.0\r\nHost: example.com\r\nConnection: close\r\nUser-Agent: GetHTTP "
              "0.0\r\n\r\n");
}

// ---- The Date header in the received bytes ----

TEST(DateHeaderValue, TakesTheTextAfterTheWeekDayUpToTheLineEnd) {
    EXPECT_EQ(DateHeaderValue(kUsableAnswer), "07 Dec 2026 08:33:53 GMT");
    // Without a CR LF the value runs to the end of what came.
    EXPECT_EQ(DateHeaderValue("Date: Mon,   07 Dec 2026 08:33:53 GMT  "), "07 Dec 2026 08:33:53 GMT");
    // The first occurrence counts, even inside another header's name.
    EXPECT_EQ(DateHeaderValue("Last-Date: Tue, first\r\nDate: Mon, second\r\n"), "first");
}

TEST(DateHeaderValue, IsEmptyWithoutExactCaseNameOrCommaOnTheLine) {
    EXPECT_EQ(DateHeaderValue(Answer("date: Mon, 07 Dec 2026 08:33:53 GMT\r\n")), "");
    EXPECT_EQ(DateHeaderValue(Answer("DATE: Mon, 07 Dec 2026 08:33:53 GMT\r\n")), "");
    // The comma of a later header line is not taken: the value is cut at its CR LF first.
    EXPECT_EQ(DateHeaderValue("Date: 07 Dec 2026 08:33:53 GMT\r\nX-Note: a, b\r\n"), "");
    EXPECT_EQ(DateHeaderValue("HTTP/1.0 200 OK\r\nDate:"), "");
    EXPECT_EQ(DateHeaderValue(""), "");
}

// ---- The time of a Date value ----

TEST(WebDateValue, ReadsTheStandardFormInAnyCase) {
    EXPECT_EQ(Iso(WebDateValue("07 Dec 2026 08:33:53 GMT")), "2026-12-07 08:33:53");
    EXPECT_EQ(Iso(WebDateValue("07 dec 2026 08:33:53 gmt")), "2026-12-07 08:33:53");
    EXPECT_EQ(Iso(WebDateValue("29 Feb 2028 23:59:59 GMT")), "2028-02-29 23:59:59");
}

TEST(WebDateValue, RejectsAnythingButFivePartsEndingInGmt) {
    // The older form leaves three parts after the week day's comma.
    EXPECT_EQ(WebDateValue(DateHeaderValue("Date: Sunday, 06-Nov-94 08:49:37 GMT\r\n")), 0);
    EXPECT_EQ(WebDateValue("07  Dec 2026 08:33:53 GMT"), 0);  // two spaces: an empty sixth part
    EXPECT_EQ(WebDateValue("07 Dec 2026 08:33:53 UTC"), 0);
    EXPECT_EQ(WebDateValue("07 Dec 2026 08:33:53 +0000"), 0);
    EXPECT_EQ(WebDateValue(""), 0);
}

TEST(WebDateValue, NormalisesOddDatesAndIgnoresAnInvalidTime) {
    // An unknown month name is month 0: December of the year before.
    EXPECT_EQ(Iso(WebDateValue("07 Foo 2026 08:00:00 GMT")), "2025-12-07 08:00:00");
    EXPECT_EQ(Iso(WebDateValue("32 Jan 2026 10:00:00 GMT")), "2026-02-01 10:00:00");
    EXPECT_EQ(Iso(WebDateValue("07 Dec 2026 25:00:00 GMT")), "2026-12-07 00:00:00");
    EXPECT_EQ(Iso(WebDateValue("07 Dec 2026 noon GMT")), "2026-12-07 00:00:00");
}

// ---- Asking the sites in order ----

TEST(FetchWebTimeFrom, AsksInOrderUntilTheFirstUsableValue) {
    std::vector<std::string> asked;
    const std::vector<std::string> sites = {"https://a/", "https://b/", "http://c/", "http://d/"};
    const DateValue t = FetchWebTimeFrom(sites, [&](const std::string& url) {
        asked.push_back(url);
        if (url == "https://a/") return std::string();
        if (url == "https://b/") return std::string("06-Nov-94 08:49:37 GMT");
        return std::string("01 Jan 2027 00:00:01 GMT");
    });
    EXPECT_EQ(Iso(t), "2027-01-01 00:00:01");
    EXPECT_EQ(asked, (std::vector<std::string>{"https://a/", "https://b/", "http://c/"}));
}

TEST(FetchWebTimeFrom, GivesZeroWhenNoSiteHasATime) {
    int calls = 0;
    const DateValue t = FetchWebTimeFrom(WebTimeSites(), [&](const std::string&) {
        ++calls;
        return std::string("07 Dec 2026 08:33:53");
    });
    EXPECT_EQ(t, 0);
    EXPECT_EQ(calls, 3);
}

TEST(WebTimeSites, AreThreeRootUrlsTheLastOnePlainHttp) {
    const std::vector<std::string>& sites = WebTimeSites();
    ASSERT_EQ(sites.size(), 3u);
    EXPECT_EQ(sites[0].rfind("https://", 0), 0u);
    EXPECT_EQ(sites[1].rfind("https://", 0), 0u);
    EXPECT_EQ(sites[2].rfind("http://", 0), 0u);
    for (const std::string& site : sites) {
        EXPECT_FALSE(SplitUrl(site).host.empty()) << site;
        EXPECT_EQ(SplitUrl(site).path, "") << site;
    }
}

// ---- The thread body, against the fake platform ----

class NetTimeCheckTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetFakePlatform(); }
};

TEST_F(NetTimeCheckTest, WaitsUntilOnlineThenWritesDateAndTimeEightHoursOn) {
    Fake().onlineAnswers = {false, false, true};
    int fetches = 0;
    NetTimeCheck([&] {
        ++fetches;
        // Offline answers must all have been given before the fetch.
        EXPECT_EQ(Fake().onlineQueries, 3u);
        return WebDateValue("07 Dec 2026 20:10:00 GMT");
    });
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(Fake().sleeps, (std::vector<uint32_t>{5000, 5000, 5000}));
    // Midnight crossed by the eight hours: the date moves on too.
    EXPECT_EQ(Fake().clockWrites, (std::vector<std::string>{"date 2026-12-08", "time 04:10:00"}));
}

TEST_F(NetTimeCheckTest, CrossesTheYearEnd) {
    NetTimeCheck([] { return WebDateValue("31 Dec 2026 16:00:00 GMT"); });
    EXPECT_EQ(Fake().sleeps, (std::vector<uint32_t>{5000}));
    EXPECT_EQ(Fake().clockWrites, (std::vector<std::string>{"date 2027-01-01", "time 00:00:00"}));
}

TEST_F(NetTimeCheckTest, WritesNothingWithoutATime) {
    NetTimeCheck([] { return DateValue(0); });
    NetTimeCheck([] { return WebDateValue("07 Dec 1899 08:00:00 GMT"); });  // before day 0
    EXPECT_TRUE(Fake().clockWrites.empty());
    EXPECT_EQ(Fake().sleeps.size(), 2u);
}

TEST_F(NetTimeCheckTest, FetchesOverLoopbackSitesEndToEnd) {
    LoopbackServer silent({LoopbackMode::kSilent, {}});
    LoopbackServer good({LoopbackMode::kAnswer, {Answer("Date: Mon, 07 Dec 2026 20:10:00 GMT\r\n")}});
    ASSERT_TRUE(silent.listening() && good.listening());
    NetTimeCheck([&] { return FetchWebTimeFrom({silent.url(), good.url()}, LoopbackDateHeader); });
    EXPECT_EQ(Fake().clockWrites, (std::vector<std::string>{"date 2026-12-08", "time 04:10:00"}));
}

// ---- Name look-up ----

std::vector<int> Octets(uint32_t networkOrder) {
    unsigned char bytes[4];
    std::memcpy(bytes, &networkOrder, 4);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

TEST(ResolveHost, TakesDottedAddressesAsTheyAreInNetworkOrder) {
    EXPECT_EQ(Octets(ResolveHost("127.0.0.1")), (std::vector<int>{127, 0, 0, 1}));
    EXPECT_EQ(Octets(ResolveHost("10.1.2.254")), (std::vector<int>{10, 1, 2, 254}));
    EXPECT_EQ(Octets(ResolveHost("localhost")), (std::vector<int>{127, 0, 0, 1}));
}

TEST(ResolveHost, IsZeroForNamesThatDoNotResolve) {
    EXPECT_EQ(ResolveHost("no-such-host.invalid"), 0u);
    EXPECT_EQ(ResolveHost(""), 0u);
}

// ---- One site over real sockets ----

TEST(HttpDateHeader, SendsTheRequestAndReadsTheDate) {
    LoopbackServer server({LoopbackMode::kAnswer, {kUsableAnswer}});
    ASSERT_TRUE(server.listening());
    EXPECT_EQ(LoopbackDateHeader(server.url() + "status"), "07 Dec 2026 08:33:53 GMT");
    EXPECT_EQ(server.requests(),
              (std::vector<std::string>{"GET /status HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: "
                                        "close\r\nUser-Agent: GetHTTP 0.0\r\n\r\n"}));
}

TEST(HttpDateHeader, IsEmptyForAnswersWithoutAUsableDate) {
    LoopbackServer noDate({LoopbackMode::kAnswer, {Answer("Server: test\r\n")}});
    LoopbackServer closes({LoopbackMode::kCloseAtOnce, {}});
    ASSERT_TRUE(noDate.listening() && closes.listening());
    EXPECT_EQ(LoopbackDateHeader(noDate.url()), "");
    EXPECT_EQ(LoopbackDateHeader(closes.url()), "");
    EXPECT_EQ(noDate.requests().size(), 1u);
    EXPECT_EQ(LoopbackDateHeader("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/"), "");
    EXPECT_EQ(LoopbackDateHeader("http://no-such-host.invalid:80/"), "");
}

TEST(HttpDateHeader, ReadsOnlyTheFirstReceiveOfAtMost1000Bytes) {
    const std::string filler = "X-Filler: " + std::string(1000, 'x') + "\r\n";
    LoopbackServer late(
        {LoopbackMode::kAnswer, {Answer(filler + "Date: Mon, 07 Dec 2026 08:33:53 GMT\r\n")}});
    LoopbackServer split(
        {LoopbackMode::kAnswer, {"HTTP/1.0 200 OK\r\n", "Date: Mon, 07 Dec 2026 08:33:53 GMT\r\n\r\n"}});
    ASSERT_TRUE(late.listening() && split.listening());
    EXPECT_EQ(LoopbackDateHeader(late.url()), "");
    EXPECT_EQ(LoopbackDateHeader(split.url()), "");
}

TEST(HttpDateHeader, GivesUpOnASilentServerAfterTheTimeOut) {
    LoopbackServer silent({LoopbackMode::kSilent, {}});
    ASSERT_TRUE(silent.listening());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpDateHeader(silent.url(), silent.port(), 300), "");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(250));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    EXPECT_EQ(silent.requests().size(), 1u);
}

TEST(FetchWebTimeFrom, TriesLoopbackSitesInOrderUntilOneIsUsable) {
    LoopbackServer noDate({LoopbackMode::kAnswer, {Answer("Server: test\r\n")}});
    LoopbackServer silent({LoopbackMode::kSilent, {}});
    LoopbackServer good({LoopbackMode::kAnswer, {Answer("Date: mon, 07 dec 2026 08:33:53 gmt\r\n")}});
    LoopbackServer unused({LoopbackMode::kAnswer, {kUsableAnswer}});
    ASSERT_TRUE(noDate.listening() && silent.listening() && good.listening() && unused.listening());
    const DateValue t =
        FetchWebTimeFrom({noDate.url(), silent.url(), good.url(), unused.url()}, LoopbackDateHeader);
    EXPECT_EQ(Iso(t), "2026-12-07 08:33:53");
    EXPECT_EQ(noDate.requests().size(), 1u);
    EXPECT_EQ(silent.requests().size(), 1u);
    EXPECT_EQ(good.requests().size(), 1u);
    EXPECT_TRUE(unused.requests().empty());
}

// The real port: the URL's scheme and port change nothing. Another build's tests may hold port 80
// for a moment, hence the retries before giving up.
TEST(HttpDateHeader, AsksPort80WhateverTheUrlSays) {
    LoopbackConfig config{LoopbackMode::kAnswer, {kUsableAnswer}};
    config.port = 80;
    config.bindRetryMs = 5000;
    LoopbackServer server(config);
    if (!server.listening()) GTEST_SKIP() << "port 80 on 127.0.0.1 could not be bound (in use, or no right)";
    EXPECT_EQ(HttpDateHeader("https://127.0.0.1:8443/"), "07 Dec 2026 08:33:53 GMT");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].rfind("GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n", 0), 0u);
}

}  // namespace
