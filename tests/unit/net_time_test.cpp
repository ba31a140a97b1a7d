#include "clock/calendar/net_time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "clock/core/tick.h"
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

// ---- Whether a time is plausible ----

TEST(CompilerDateValue, ReadsTheCompilersDateFormOnly) {
    EXPECT_EQ(Iso(CompilerDateValue("Dec  7 2026")), "2026-12-07 00:00:00");
    EXPECT_EQ(Iso(CompilerDateValue("Feb 29 2028")), "2028-02-29 00:00:00");
    EXPECT_EQ(CompilerDateValue("Feb 30 2026"), 0);
    EXPECT_EQ(CompilerDateValue("Dec 7 2026"), 0);
    EXPECT_EQ(CompilerDateValue("2026-12-07"), 0);
    EXPECT_EQ(CompilerDateValue("Foo  7 2026"), 0);
    EXPECT_EQ(CompilerDateValue(""), 0);
    // This very build's date was read, and it does not lie ahead of the machine's clock.
    const DateValue today = FromSeconds(static_cast<int64_t>(std::time(nullptr)) + 25569 * 86400LL);
    EXPECT_GT(ProgramBuildDate(), 0);
    EXPECT_LE(DayNumber(ProgramBuildDate()), DayNumber(today) + 1);
}

TEST(JudgeWebTime, RefusesTimesBeforeTheBuildAndConfirmsStepsOverAnHour) {
    const DateValue built = MakeDate(2026, 12, 7);
    const DateValue clock = MakeDateTime(2027, 3, 1, 12, 0, 0);
    const auto judge = [&](DateValue web, DateValue at) { return JudgeWebTime({web, at}, built); };
    EXPECT_EQ(judge(clock, clock), WebTimeVerdict::kTake);
    EXPECT_EQ(judge(MakeDateTime(2027, 3, 1, 13, 0, 0), clock), WebTimeVerdict::kTake);
    EXPECT_EQ(judge(MakeDateTime(2027, 3, 1, 13, 0, 1), clock), WebTimeVerdict::kConfirm);
    EXPECT_EQ(judge(MakeDateTime(2027, 3, 1, 10, 59, 59), clock), WebTimeVerdict::kConfirm);
    EXPECT_EQ(judge(MakeDateTime(2035, 1, 1, 0, 0, 0), clock), WebTimeVerdict::kConfirm);
    // The build machine's date may run a day ahead of UTC: the day before the build still counts.
    EXPECT_EQ(judge(MakeDateTime(2026, 12, 6, 0, 0, 0), clock), WebTimeVerdict::kConfirm);
    EXPECT_EQ(judge(MakeDateTime(2026, 12, 5, 23, 59, 59), clock), WebTimeVerdict::kRefuse);
    // A clock that is itself wrong does not make an old time acceptable.
    EXPECT_EQ(judge(MakeDateTime(2001, 1, 1, 0, 0, 0), MakeDateTime(2001, 1, 1, 0, 0, 0)),
              WebTimeVerdict::kRefuse);
    EXPECT_EQ(judge(0, clock), WebTimeVerdict::kRefuse);
}

TEST(SitesAgree, ComparesHowFarEachPutsTheClockOff) {
    const DateValue clock = MakeDateTime(2027, 3, 1, 12, 0, 0);
    const WebTimeReading first{MakeDateTime(2027, 3, 1, 15, 0, 0), clock};
    // Twenty seconds later by the clock, the second site's time is twenty seconds on as well.
    const DateValue later = MakeDateTime(2027, 3, 1, 12, 0, 20);
    EXPECT_TRUE(SitesAgree(first, {MakeDateTime(2027, 3, 1, 15, 0, 25), later}));
    EXPECT_TRUE(SitesAgree(first, {MakeDateTime(2027, 3, 1, 15, 0, 15), later}));
    EXPECT_FALSE(SitesAgree(first, {MakeDateTime(2027, 3, 1, 15, 0, 26), later}));
    EXPECT_FALSE(SitesAgree(first, {MakeDateTime(2027, 3, 1, 15, 0, 0), later}));
}

// ---- The thread body, against the fake platform ----

// A Date value for a time, as a site sends it after the week day.
std::string GmtText(DateValue value) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const DateTime t = SplitDate(value);
    char text[64];
    std::snprintf(text, sizeof text, "%02d %s %04d %02d:%02d:%02d GMT", t.day, kMonths[t.month - 1], t.year,
                  t.hour, t.minute, t.second);
    return text;
}

class NetTimeCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakePlatform();
        Fake().utcNow = clock_;
    }

    // Runs the check over sites that answer with the given times (0: no usable answer) and
    // records which were asked.
    NetTimeOutcome Check(const std::vector<DateValue>& answers) {
        std::vector<std::string> sites;
        for (size_t i = 0; i < answers.size(); ++i)
            sites.push_back("http://site" + std::to_string(i) + "/");
        return NetTimeCheck(sites, [&](const std::string& url) {
            asked_.push_back(url);
            const size_t site =
                static_cast<size_t>(std::find(sites.begin(), sites.end(), url) - sites.begin());
            return answers[site] == 0 ? std::string() : GmtText(answers[site]);
        });
    }

    DateValue After(int seconds) const { return FromSeconds(ToSeconds(clock_) + seconds); }

    // Well after this build, so that no answer here is refused for its age.
    const DateValue clock_ = AddHours(AddDays(ProgramBuildDate(), 40), 20.5);
    std::vector<std::string> asked_;
};

TEST_F(NetTimeCheckTest, WaitsUntilOnlineThenSetsTheSiteTimeAsUtc) {
    Fake().onlineAnswers = {false, false, true};
    // 23:50 GMT: no local zone is added, so the date does not move on.
    Fake().utcNow = AddHours(AddDays(ProgramBuildDate(), 40), 23.5);
    const DateValue site = FromSeconds(ToSeconds(Fake().utcNow) + 1200);
    EXPECT_EQ(Check({site}), NetTimeOutcome::kSet);
    EXPECT_EQ(Fake().onlineQueries, 3u);
    EXPECT_EQ(Fake().sleeps, (std::vector<uint32_t>{5000, 5000, 5000}));
    EXPECT_EQ(Fake().clockWrites, std::vector<std::string>{Iso(site)});
}

TEST_F(NetTimeCheckTest, GivesUpOfflineBeforeTheNextHourlyCheckIsDue) {
    Fake().offlineForGood = true;
    EXPECT_EQ(Check({After(10)}), NetTimeOutcome::kOffline);
    uint64_t slept = 0;
    for (uint32_t ms : Fake().sleeps)
        slept += ms;
    EXPECT_LT(slept, kNetCheckPeriodMs);
    EXPECT_TRUE(asked_.empty());
    EXPECT_TRUE(Fake().clockWrites.empty());
}

TEST_F(NetTimeCheckTest, WritesNothingWithoutATime) {
    EXPECT_EQ(Check({0, 0}), NetTimeOutcome::kNoTime);
    EXPECT_EQ(asked_.size(), 2u);
    EXPECT_TRUE(Fake().clockWrites.empty());
}

TEST_F(NetTimeCheckTest, TakesAStepOverAnHourOnlyWhenTheNextUsableSiteAgrees) {
    EXPECT_EQ(Check({After(7200), 0, After(7203), After(10)}), NetTimeOutcome::kSet);
    EXPECT_EQ(asked_.size(), 3u);
    EXPECT_EQ(Fake().clockWrites, std::vector<std::string>{Iso(After(7203))});

    Fake().clockWrites.clear();
    EXPECT_EQ(Check({After(7200), After(7260)}), NetTimeOutcome::kRefused);
    EXPECT_EQ(Check({After(-7200)}), NetTimeOutcome::kRefused);  // no second site to ask
    EXPECT_EQ(Check({AddDays(ProgramBuildDate(), -30), AddDays(ProgramBuildDate(), -30)}),
              NetTimeOutcome::kRefused);
    EXPECT_TRUE(Fake().clockWrites.empty());
}

TEST_F(NetTimeCheckTest, ASystemRefusalIsNoSuccess) {
    Fake().clockWriteResult = ClockWrite::kNoRight;
    EXPECT_EQ(Check({After(10)}), NetTimeOutcome::kNoRight);
    Fake().clockWriteResult = ClockWrite::kFailed;
    EXPECT_EQ(Check({After(10)}), NetTimeOutcome::kFailed);
}

TEST_F(NetTimeCheckTest, FetchesOverLoopbackSitesEndToEnd) {
    LoopbackServer silent({LoopbackMode::kSilent, {}});
    LoopbackServer good({LoopbackMode::kAnswer, {Answer("Date: Mon, " + GmtText(After(600)) + "\r\n")}});
    ASSERT_TRUE(silent.listening() && good.listening());
    EXPECT_EQ(NetTimeCheck({silent.url(), good.url()}, LoopbackDateHeader), NetTimeOutcome::kSet);
    EXPECT_EQ(Fake().clockWrites, std::vector<std::string>{Iso(After(600))});
}

// ---- One check at a time ----

TEST(NetTimeTurns, OneCheckAtATimeAndNoneOnceTheRightWasRefused) {
    ResetNetTimeChecksForTesting();
    ASSERT_TRUE(BeginNetTimeCheck());
    EXPECT_FALSE(BeginNetTimeCheck());  // still running, waiting for a connection say
    EXPECT_FALSE(EndNetTimeCheck(NetTimeOutcome::kOffline));
    ASSERT_TRUE(BeginNetTimeCheck());
    // Another failure leaves the next hour's check possible, and tells nobody.
    EXPECT_FALSE(EndNetTimeCheck(NetTimeOutcome::kFailed));
    ASSERT_TRUE(BeginNetTimeCheck());
    EXPECT_TRUE(EndNetTimeCheck(NetTimeOutcome::kNoRight));
    EXPECT_FALSE(BeginNetTimeCheck());
    EXPECT_FALSE(EndNetTimeCheck(NetTimeOutcome::kNoRight));  // told once per run
    ResetNetTimeChecksForTesting();
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
