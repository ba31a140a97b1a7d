#include "clock/calendar/net_time.h"

#include <atomic>
#include <cmath>

#include "clock/core/platform.h"
#include "clock/services/net_socket.h"

namespace {

std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const std::string p(prefix);
    return text.size() >= p.size() && AsciiUpper(text.substr(0, p.size())) == AsciiUpper(p);
}

// The number a text starts with (an optional sign, then decimal digits; 0 without any), held
// within a billion so that a corrupt header cannot overflow the date arithmetic.
int LeadingNumber(const std::string& text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < 1000000000) value = value * 10 + (text[i] - '0');
    if (value > 1000000000) value = 1000000000;
    return static_cast<int>(negative ? -value : value);
}

// Every single space separates: two in a row leave an empty part between them.
std::vector<std::string> SplitAtSpaces(const std::string& text) {
    std::vector<std::string> parts;
    size_t begin = 0;
    for (;;) {
        const size_t space = text.find(' ', begin);
        parts.push_back(text.substr(begin, space == std::string::npos ? std::string::npos : space - begin));
        if (space == std::string::npos) return parts;
        begin = space + 1;
    }
}

// 1..12 for an upper-case month abbreviation, 0 for anything else.
int MonthNumber(const std::string& name) {
    static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int m = 0; m < 12; ++m)
        if (name == kMonths[m]) return m + 1;
    return 0;
}

}  // namespace

UrlParts SplitUrl(const std::string& url) {
    std::string rest = TrimSpaces(url);
    if (StartsWithNoCase(rest, "http://")) {
        rest.erase(0, 7);
    } else if (StartsWithNoCase(rest, "https://")) {
        rest.erase(0, 8);
    }
    UrlParts parts;
    const size_t slash = rest.find('/');
    parts.host = TrimSpaces(rest.substr(0, slash));
    if (slash != std::string::npos) parts.path = TrimSpaces(rest.substr(slash + 1));
    const size_t colon = parts.host.find(':');
    if (colon != std::string::npos) {
        parts.port = LeadingNumber(parts.host.substr(colon + 1));
        parts.host.erase(colon);
    }
    return parts;
}

std::string WebTimeRequest(const UrlParts& url) {
    return "GET /" + url.path + " HTTP/1.0\r\nHost: " + url.host +
           "\r\nConnection: close\r\nUser-Agent: GetHTTP 0.0\r\n\r\n";
}

std::string DateHeaderValue(const std::string& answer) {
    const size_t name = answer.find("Date:");
    // The value starts one character after the colon: the space a well-formed header has there.
    const size_t start = name == std::string::npos ? std::string::npos : name + 6;
    if (start == std::string::npos || start > answer.size()) return std::string();
    std::string line = answer.substr(start);
    const size_t end = line.find("\r\n");
    if (end != std::string::npos) line.erase(end);
    const size_t comma = line.find(',');
    if (comma == std::string::npos) return std::string();
    return TrimSpaces(line.substr(comma + 1));
}

std::string HttpDateHeader(const std::string& url, uint16_t port, int timeoutMs) {
    const UrlParts parts = SplitUrl(url);
    if (parts.host.empty()) return std::string();
    const uint32_t address = ResolveHost(parts.host);
    if (address == 0) return std::string();
    const std::string answer =
        TcpExchange(address, port, WebTimeRequest(parts), TcpReceive::kOnce, timeoutMs, kSingleReceiveBytes);
    return DateHeaderValue(answer);
}

namespace {

// The time of a Date value, or false when it is not five parts with "GMT" last.
bool ReadWebDate(const std::string& dateHeader, DateValue* result) {
    const std::vector<std::string> parts = SplitAtSpaces(AsciiUpper(dateHeader));
    if (parts.size() != 5 || parts[4] != "GMT") return false;
    const DateValue date = MakeDate(LeadingNumber(parts[2]), MonthNumber(parts[1]), LeadingNumber(parts[0]));
    DateValue timeOfDay = 0;
    ParseTimeOfDay(parts[3], &timeOfDay);
    // Through whole seconds: a plain sum would run the wrong way for a date before 1899-12-30.
    *result = FromSeconds(ToSeconds(date) + std::llround(timeOfDay * 86400));
    return true;
}

}  // namespace

DateValue WebDateValue(const std::string& dateHeader) {
    DateValue value = 0;
    return ReadWebDate(dateHeader, &value) ? value : 0;
}

std::vector<std::string> WebTimeSites() {
    return {
        "https://www.baidu.com/",
        "https://www.qq.com/",
        "http://www.163.com/",
    };
}

DateValue FetchWebTimeFrom(const std::vector<std::string>& sites, const DateHeaderFetch& fetch,
                           size_t* next) {
    size_t first = 0;
    size_t& at = next ? *next : first;
    while (at < sites.size()) {
        DateValue value = 0;
        if (ReadWebDate(fetch(sites[at++]), &value)) return value;
    }
    return 0;
}

DateValue CompilerDateValue(const char* text) {
    const std::string date = text ? text : "";
    if (date.size() != 11 || date[3] != ' ' || date[6] != ' ') return 0;
    const int month = MonthNumber(AsciiUpper(date.substr(0, 3)));
    const std::string day = TrimSpaces(date.substr(4, 2));
    const std::string year = date.substr(7);
    if (month == 0 || day.empty() || day.find_first_not_of("0123456789") != std::string::npos ||
        year.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const DateValue value = MakeDate(LeadingNumber(year), month, LeadingNumber(day));
    return SplitDate(value).day == LeadingNumber(day) ? value : 0;  // no "Feb 30"
}

DateValue ProgramBuildDate() {
    return CompilerDateValue(__DATE__);
}

WebTimeVerdict JudgeWebTime(const WebTimeReading& reading, DateValue buildDate) {
    const int64_t web = ToSeconds(reading.web);
    if (!(reading.web > 0) || web < ToSeconds(AddDays(buildDate, -1))) return WebTimeVerdict::kRefuse;
    const int64_t step = web - ToSeconds(reading.clock);
    return step > kNetTimeMaxStepSeconds || step < -kNetTimeMaxStepSeconds ? WebTimeVerdict::kConfirm
                                                                           : WebTimeVerdict::kTake;
}

bool SitesAgree(const WebTimeReading& first, const WebTimeReading& second) {
    const int64_t firstOffset = ToSeconds(first.web) - ToSeconds(first.clock);
    const int64_t secondOffset = ToSeconds(second.web) - ToSeconds(second.clock);
    const int64_t gap = firstOffset - secondOffset;
    return gap <= kNetTimeAgreeSeconds && gap >= -kNetTimeAgreeSeconds;
}

namespace {

// False when the machine stayed offline for kNetCheckOnlineWaitMs.
bool WaitUntilOnline() {
    PlatformSleep(kNetCheckWaitMs);
    for (uint32_t waited = 0; !PlatformIsOnline(); waited += kNetCheckWaitMs) {
        if (waited >= kNetCheckOnlineWaitMs) return false;
        PlatformSleep(kNetCheckWaitMs);
    }
    return true;
}

// The next usable site's time from *next on, with the clock read as it came.
bool NextReading(const std::vector<std::string>& sites, const DateHeaderFetch& fetch, size_t* next,
                 WebTimeReading* reading) {
    reading->web = FetchWebTimeFrom(sites, fetch, next);
    reading->clock = PlatformUtcNow();
    return reading->web != 0;
}

NetTimeOutcome SetClockTo(DateValue utc) {
    switch (SetSystemClockUtc(utc)) {
        case ClockWrite::kDone:
            return NetTimeOutcome::kSet;
        case ClockWrite::kNoRight:
            return NetTimeOutcome::kNoRight;
        case ClockWrite::kFailed:
            break;
    }
    return NetTimeOutcome::kFailed;
}

// Both flags are plain atomics: trivially destroyed, so a check thread that ends while the
// program exits still finds them intact.
std::atomic<bool> gCheckRunning{false};
std::atomic<bool> gRightRefused{false};

}  // namespace

NetTimeOutcome NetTimeCheck(const std::vector<std::string>& sites, const DateHeaderFetch& fetch) {
    if (!WaitUntilOnline()) return NetTimeOutcome::kOffline;
    size_t next = 0;
    WebTimeReading reading;
    if (!NextReading(sites, fetch, &next, &reading)) return NetTimeOutcome::kNoTime;
    const WebTimeVerdict verdict = JudgeWebTime(reading, ProgramBuildDate());
    if (verdict == WebTimeVerdict::kRefuse) return NetTimeOutcome::kRefused;
    if (verdict == WebTimeVerdict::kConfirm) {
        WebTimeReading second;
        if (!NextReading(sites, fetch, &next, &second) || !SitesAgree(reading, second))
            return NetTimeOutcome::kRefused;
        reading = second;
    }
    return SetClockTo(reading.web);
}

NetTimeOutcome NetTimeCheck() {
    return NetTimeCheck(WebTimeSites(), [](const std::string& url) { return HttpDateHeader(url); });
}

bool BeginNetTimeCheck() {
    if (gRightRefused) return false;
    return !gCheckRunning.exchange(true);
}

bool EndNetTimeCheck(NetTimeOutcome outcome) {
    const bool tell = outcome == NetTimeOutcome::kNoRight && !gRightRefused.exchange(true);
    gCheckRunning = false;
    return tell;
}

void ResetNetTimeChecksForTesting() {
    gRightRefused = false;
    gCheckRunning = false;
}
