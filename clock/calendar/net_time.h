// The network time check: once an hour (the tick engine decides when) a detached thread asks large
// public web sites for a plain HTTP/1.0 answer, takes the GMT time of the first usable "Date"
// header and, when that time is plausible, sets the system clock to it as UTC; the system's own
// time zone then gives the local time. No time protocol: a check that cannot find a plausible
// time changes nothing. A process that may not set the clock is told once (the caller shows it)
// and checks no more for the rest of the run.
//
// All texts here are ASCII. The thread body reaches the system through the platform functions of
// clock/core/platform.h (online state, sleeping, the UTC clock), so tests drive it with a fake.
#pragma once

#include <cstddef>
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
// How long one check waits for a connection. Less than the hour between checks, so that on an
// offline machine a waiting check has given up before the next one is due.
constexpr uint32_t kNetCheckOnlineWaitMs = 50 * 60 * 1000;
// A site's time that moves the clock by more than this is only taken when a second site agrees
// with it within kNetTimeAgreeSeconds: one broken or hostile server must not throw the clock off.
constexpr int64_t kNetTimeMaxStepSeconds = 3600;
constexpr int64_t kNetTimeAgreeSeconds = 5;

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

// The three sites, in the order they are asked. A new list on every call: the check's thread may
// still run while the program ends, when a function's static list would already be destroyed.
std::vector<std::string> WebTimeSites();

// Asks the sites in order through fetch (a URL's Date value, or empty), from index *next on (from
// the first without next), and returns the time of the first usable value, or 0 when none gave one.
// *next ends just past the site that gave it, or at the end of the list.
using DateHeaderFetch = std::function<std::string(const std::string& url)>;
DateValue FetchWebTimeFrom(const std::vector<std::string>& sites, const DateHeaderFetch& fetch,
                           size_t* next = nullptr);

// ---- Whether a time is plausible ----

// The date of a compiler's __DATE__ text, "Mmm dd yyyy" (English month, day padded by a space:
// "Dec  7 2026"). 0 for anything else.
DateValue CompilerDateValue(const char* text);

// The day this program was compiled (__DATE__ of net_time.cpp, the build machine's local date).
// A stale object file only makes it earlier, which refuses less, never more.
DateValue ProgramBuildDate();

// A site's time and the system clock (UTC) at the moment it came.
struct WebTimeReading {
    DateValue web = 0;
    DateValue clock = 0;
};

enum class WebTimeVerdict {
    kTake,     // within kNetTimeMaxStepSeconds of the clock
    kConfirm,  // a larger step: taken only when a second site agrees (SitesAgree)
    kRefuse,   // before the program was built: a time no working server can give
};

// The verdict on a reading. The build date counts from the day before it, since the build
// machine's date may run up to a day ahead of UTC.
WebTimeVerdict JudgeWebTime(const WebTimeReading& reading, DateValue buildDate);

// True when two readings set the clock off by the same amount within kNetTimeAgreeSeconds. The
// offset, not the bare times, is compared, so the seconds between the two answers do not count.
bool SitesAgree(const WebTimeReading& first, const WebTimeReading& second);

// ---- The check ----

// What one check came to.
enum class NetTimeOutcome {
    kSet,      // the clock was set
    kOffline,  // no connection within kNetCheckOnlineWaitMs
    kNoTime,   // no site gave a usable time
    kRefused,  // the time was implausible, or a large step that no second site confirmed
    kNoRight,  // the system refused for lack of rights
    kFailed,   // the system refused for another reason
};

// The thread body: sleeps 5 s, waits in 5 s steps while the system reports no connection (at most
// kNetCheckOnlineWaitMs), asks the sites in order through fetch for a reading, judges it
// (JudgeWebTime; for kConfirm the next usable site must agree) and sets the system clock to the
// latest reading's time.
NetTimeOutcome NetTimeCheck(const std::vector<std::string>& sites, const DateHeaderFetch& fetch);

// NetTimeCheck over WebTimeSites with HttpDateHeader on port 80.
NetTimeOutcome NetTimeCheck();

// ---- One check at a time ----

// Takes the turn for a new check: false while another check runs, and for the rest of the run
// once a check found that the process may not set the clock. The caller that gets true runs the
// check and must end it with EndNetTimeCheck. Any thread.
bool BeginNetTimeCheck();

// Ends the running check. True exactly once per run: for the first kNoRight, when the user must be
// told that setting the clock needs administrator rights.
bool EndNetTimeCheck(NetTimeOutcome outcome);

// Back to a new run's state: no check running, rights not yet refused. Tests only.
void ResetNetTimeChecksForTesting();
