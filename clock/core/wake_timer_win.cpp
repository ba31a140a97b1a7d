// The wake timer: one waitable timer of the program, set with a wake context so that the computer
// resumes from sleep at the next alarm. Closing the program closes its handle, which cancels it.
#include <windows.h>

#include <cstdint>

#include "clock/core/date_value.h"
#include "clock/core/local_time_win.h"
#include "clock/core/platform.h"

namespace {

HANDLE gWakeTimer = nullptr;

// The power plan's "允许使用唤醒定时器" (sleep sub-group): 0 off, 1 on, 2 only important ones,
// which an alarm clock's timer is not.
constexpr GUID kSleepGroup = {0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr GUID kAllowWakeTimers = {0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};

using GetActiveSchemeFn = DWORD(WINAPI*)(HKEY, GUID**);
using ReadValueIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*);

// From the system folder only, and on first use: no copy lying beside the program is loaded.
HMODULE PowerLibrary() {
    static HMODULE library = LoadLibraryExW(L"powrprof.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library;
}

// True only when the active plan is known to refuse wake timers on mains power; a plan that cannot
// be read is taken to allow them, as the timer itself has been accepted.
bool PlanRefusesWakeTimers() {
    HMODULE library = PowerLibrary();
    if (!library) return false;
    const auto getScheme = reinterpret_cast<GetActiveSchemeFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "PowerGetActiveScheme")));
    const auto readAc = reinterpret_cast<ReadValueIndexFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "PowerReadACValueIndex")));
    if (!getScheme || !readAc) return false;
    GUID* scheme = nullptr;
    if (getScheme(nullptr, &scheme) != ERROR_SUCCESS || !scheme) return false;
    DWORD allowed = 1;
    const DWORD read = readAc(nullptr, scheme, &kSleepGroup, &kAllowWakeTimers, &allowed);
    LocalFree(scheme);
    return read == ERROR_SUCCESS && allowed != 1;
}

// The local wall-clock moment in UTC, by the rules of the zone for that date (daylight time
// included), as a positive FILETIME count: an absolute due time.
bool UtcDueTime(int64_t moment, LARGE_INTEGER* due) {
    const SYSTEMTIME local = SystemTimeOf(SplitDate(FromSeconds(moment)));
    SYSTEMTIME utc;
    FILETIME file;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &file))
        return false;
    due->LowPart = file.dwLowDateTime;
    due->HighPart = static_cast<LONG>(file.dwHighDateTime);
    return true;
}

}  // namespace

WakeArm ArmWakeTimer(int64_t moment) {
    if (!gWakeTimer) gWakeTimer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_MODIFY_STATE | SYNCHRONIZE);
    LARGE_INTEGER due;
    if (!gWakeTimer || !UtcDueTime(moment, &due)) return WakeArm::kFailed;
    REASON_CONTEXT reason = {};
    reason.Version = POWER_REQUEST_CONTEXT_VERSION;
    reason.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    wchar_t text[] = L"钟伴：闹钟";
    reason.Reason.SimpleReasonString = text;
    SetLastError(ERROR_SUCCESS);
    if (!SetWaitableTimerEx(gWakeTimer, &due, 0, nullptr, nullptr, &reason, 0)) return WakeArm::kFailed;
    // The timer runs even where the hardware cannot wake the computer; the system says so here.
    if (GetLastError() == ERROR_NOT_SUPPORTED) return WakeArm::kCannotWake;
    return PlanRefusesWakeTimers() ? WakeArm::kWakeTimersOff : WakeArm::kArmed;
}

void CancelWakeTimer() {
    if (gWakeTimer) CancelWaitableTimer(gWakeTimer);
}
