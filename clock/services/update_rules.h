// The maker's optional components beside the program (AidPort.dll for the customer-service chat,
// GuestHall.dll for the member operations) and the updater Update.exe: every decision about them
// without side effects, plus the update time kept in the data file. The Win32 side loads, swaps,
// calls and starts as the returned records say.
//
// The message texts here are UTF-8 string literals: they are only ever shown through MessageBoxW,
// so the caller converts them with Utf8ToUtf16 at the call. Parameter and file names are ASCII.
#pragma once

#include <cstdint>
#include <string>

#include "clock/core/date_value.h"
#include "clock/core/program_info.h"


// Window message through which the chat component reports its unread count (WM_USER + 505),
// passed to BACKAIDPORT_D.
constexpr uint32_t kServiceCountMessage = 0x0400 + 505;
// The request kind the about window passes to GuestHallRequest.
constexpr int kGuestHallAboutRequest = 5;

constexpr uint32_t kUpdateMinUptimeMs = 180000;  // the system must be up longer than three minutes
constexpr int kUpdateIntervalDays = 3;

constexpr const char kUpdaterFile[] = "Update.exe";
constexpr const char kUpdatesSection[] = "Updates";
constexpr const char kUpdateTimeKey[] = "DateTime";

// ---- Update check ----

// The updater's software code: the software number, except that 99, 186, 67, 24 and 25 all count
// as 99.
int UpdaterCode(int softwareNumber);

// "zf" + code + "," + major + "." + minor + "." + revision, in plain decimal; for this program
// "zf190,1.3.8".
std::string UpdaterParameters(int softwareNumber, int major, int minor, int revision);

// "yyyy-mm-dd hh:mm:ss", the form the update time is stored in.
std::string FormatUpdateTime(const DateTime& t);

struct UpdateDecision {
    bool writeTime = false;     // write timeText as Updates/DateTime
    std::string timeText;       // FormatUpdateTime(now) when writeTime
    bool startUpdater = false;  // start Update.exe with the verb "open", a normal window, parameters
    std::string parameters;
};

// The update check as run once when the main window is first shown. storedText: the DateTime value
// read from the data file ("" when absent); now: the local time; uptimeMs: the 32-bit system tick;
// updaterExists: whether Update.exe lies in the program folder.
//
// An empty stored time is replaced by now and the check goes on from there, so a first start
// writes the time and starts nothing. A stored text that is not a valid "yyyy-mm-dd hh:mm:ss" (or
// "yyyy-mm-dd") date is treated as empty: it is rewritten and nothing starts, rather than starting
// the updater on a date nobody can read. Otherwise, when the calendar days from the stored date to
// today (midnights passed, time of day ignored) are 3 or more and uptimeMs is above 180000, now is
// written and the updater is started if it exists (the time is written even when it does not).
// Anything else, a stored date in the future included, changes nothing.
UpdateDecision DecideUpdateCheck(const std::string& storedText, const DateTime& now, uint32_t uptimeMs,
                                 bool updaterExists);

// Updates/DateTime of the data file at dataFilePath (UTF-8 path), "" when absent or unreadable.
std::string ReadUpdateTime(const std::string& dataFilePath);

// Sets Updates/DateTime to text, keeping the rest of the file. False, the file untouched, when it
// exists but cannot be read or when it cannot be written.
bool WriteUpdateTime(const std::string& dataFilePath, const std::string& text);

// Reads the stored time, decides, and writes the new time when the decision says so; the caller
// then starts the updater when the result says so. Write failures are ignored.
UpdateDecision RunUpdateCheck(const std::string& dataFilePath, const DateTime& now, uint32_t uptimeMs,
                              bool updaterExists);

// ---- Components ----

enum class Component { kAidPort, kGuestHall };
enum class ComponentCall { kOpenAidPort, kBackAidPort, kCloseAidPort, kGuestHallRequest };

struct ComponentFiles {
    const char* library;   // the file beside the program, e.g. "AidPort.dll"
    const char* pending;   // its waiting replacement, e.g. "AidPort.dll.up"
    const char* loadName;  // what is loaded: program folder + this (the system adds ".dll")
};
ComponentFiles FilesOf(Component component);

Component ComponentOf(ComponentCall call);

// The export each call looks up: "OPENAIDPORT_D", "BACKAIDPORT_D", "CLOSEAIDPORT_D",
// "INPUTGUESTHALL".
const char* ExportOf(ComponentCall call);

// What one call does, in this order. When showOutdatedMessage is set, the call shows
// OutdatedMessage(component), returns an empty result and does nothing else.
struct ComponentPlan {
    bool hideWindowFirst = false;  // CLOSEAIDPORT hides the window passed to it before anything
    bool showOutdatedMessage = false;
    bool unloadFirst = false;  // free the loaded library, then wait 100 ms
    bool swap = false;         // delete the library file, rename the pending file to it, forget the handle
    bool load = false;         // load the library (no handle held, or the handle was just forgotten)
    bool call = false;         // if a handle is held now, look up the export and call it
};

// upPending: the pending ".up" replacement exists as a file (not a folder); loaded: a handle is
// held. A replacement is swapped in by the first OPENAIDPORT, BACKAIDPORT or GuestHallRequest that
// finds the component not loaded; only BACKAIDPORT unloads a loaded one to swap, the other two
// report it as outdated instead. CLOSEAIDPORT never swaps and with a replacement pending calls
// nothing.
ComponentPlan PlanComponentCall(ComponentCall call, bool upPending, bool loaded);

struct ServiceMessage {
    const char* text;     // UTF-8
    const char* caption;  // UTF-8
    bool errorIcon;       // error icon, else a warning icon; always top-most
};

// "…组件已经旧了，需要更新！…" of the component, caption "澜川_钟伴", warning icon.
ServiceMessage OutdatedMessage(Component component);

// GuestHallRequest after its load step: the message for a library that could not be loaded or
// lacks INPUTGUESTHALL (caption "发生错误！", error icon), or nullptr texts when neither failed.
ServiceMessage GuestHallFailureMessage(bool loaded, bool exportFound);
