// The network time check: once an hour (the tick engine decides when) a detached thread asks large
// public web sites for a plain HTTP/1.0 answer, takes the GMT time of the first usable "Date"
// header, shifts it by a fixed eight hours and writes it to the local clock. No time protocol, no
// time-zone setting, no report: a check that cannot find a time changes nothing.
//
// All texts here are ASCII. The thread body reaches the system through the platform functions of
// clock/core/platform.h (online state, sleeping, setting the clock), so tests drive it with a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clock/core/date_value.h"

constexpr uint16_t kWebTimePort = 80;
// Connect and receive time-out of one site. The check used to rely on the system's defaults, which
// let a server that accepts and never answers hold the thread for good.
constexpr int kWebTimeTimeoutMs = 30000;
constexpr uint32_t kNetCheckWaitMs = 5000;  // the first wait, and each step while offline
constexpr double kWebTimeZoneHours = 8;     // fixed shift from GMT; the system's zone plays no part

// The parts of a site URL.
struct UrlParts {
    std::string host;
    std::string path;  // the text after the first "/" following the host; empty for the root
    int port = 0;      // the number after a ":" in the host, 0 when there is none; never used to connect
};

// Trims spaces; drops a leading "http://" or "https://" (any case); the host is the text up to the
// first "/" (all of it without one), the path the text after it, both trimmed; a ":" in the host
// ends it, and the digits after it are the port.
UrlParts SplitUrl(const std::string& url);

// The exact request bytes: "GET /" + path + " HTTP/1.0", "Host: " + host, "Connection: close",
// "User-Agent: GetHTTP 0.0" and an empty line, each ended by CR LF.
std::string WebTimeRequest(const UrlParts& url);

// The value of the first "Date:" (exact case) in an answer's bytes, as the week day leaves it: from
// the second character after the colon up to the first CR LF, then the text after the first ","
// with spaces trimmed. Empty when there is no "Date:" or no comma.
// "...Date: Mon, 07 Dec 2026 08:33:53 GMT\r\n..." gives "07 Dec 2026 08:33:53 GMT".
std::string DateHeaderValue(const std::string& answer);

// One request to one site: host from SplitUrl, resolved, asked on port (80 whatever the URL says;
// tests pass a loopback port), one receive of at most 1000 bytes. The Date value as
// DateHeaderValue gives it, or empty when any step fails.
std::string HttpDateHeader(const std::string& url, uint16_t port = kWebTimePort,
                           int timeoutMs = kWebTimeTimeoutMs);

// The time of a Date value: upper-cased, split at every single space; exactly five parts with
// "GMT" last, else 0. Day, month name (JAN..DEC; any other name is month 0, December of the year
// before) and year build a normalised date, and "h:m:s" adds its time of day (a part that is no
// valid time adds nothing). "07 Dec 2026 08:33:53 GMT" gives 2026-12-07 08:33:53.
DateValue WebDateValue(const std::string& dateHeader);

// The three sites, in the order they are asked.
const std::vector<std::string>& WebTimeSites();

// Asks each site in order through fetch (a URL's Date value, or empty) and returns the time of the
// first usable value, or 0 when none gave one.
using DateHeaderFetch = std::function<std::string(const std::string& url)>;
DateValue FetchWebTimeFrom(const std::vector<std::string>& sites, const DateHeaderFetch& fetch);

// FetchWebTimeFrom over WebTimeSites with HttpDateHeader on port 80.
DateValue FetchWebTime();

// The thread body: sleeps 5 s, waits in 5 s steps until the system reports a connection (however
// long that takes), fetches the time and, if one came, writes date and then time of day of it plus
// eight hours to the local clock. Tests pass their own fetch.
void NetTimeCheck(const std::function<DateValue()>& fetch = FetchWebTime);
