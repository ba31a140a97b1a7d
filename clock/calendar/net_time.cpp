#include "clock/calendar/net_time.h"

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

const std::vector<std::string>& WebTimeSites() {
    static const std::vector<std::string> kSites = {
        "https://www.baidu.com/",
        "https://www.qq.com/",
        "http://www.163.com/",
    };
    return kSites;
}

DateValue FetchWebTimeFrom(const std::vector<std::string>& sites, const DateHeaderFetch& fetch) {
    for (const std::string& url : sites) {
        DateValue value = 0;
        if (ReadWebDate(fetch(url), &value)) return value;
    }
    return 0;
}

DateValue FetchWebTime() {
    return FetchWebTimeFrom(WebTimeSites(), [](const std::string& url) { return HttpDateHeader(url); });
}

void NetTimeCheck(const std::function<DateValue()>& fetch) {
    PlatformSleep(kNetCheckWaitMs);
    while (!PlatformIsOnline())
        PlatformSleep(kNetCheckWaitMs);
    const DateValue gmt = fetch();
    if (!(gmt > 0)) return;
    const DateTime local = SplitDate(AddHours(gmt, kWebTimeZoneHours));
    // Two writes, date first; each keeps the other half of the clock as it reads at that moment.
    SetSystemDate(local.year, local.month, local.day);
    SetSystemTimeOfDay(local.hour, local.minute, local.second);
}
