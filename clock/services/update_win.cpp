#include "clock/services/update_win.h"

// <windows.h> before the headers that build on its types.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "clock/core/local_time_win.h"
#include "clock/services/components_win.h"
#include "clock/services/update_rules.h"
#include "forms/gbk.h"

namespace {

// The 32-bit tick GetTickCount gives wraps to 0 every 49.7 days, which would read as "just booted"
// and skip the check on a machine that is never switched off; the 64-bit count held at the top of
// the 32-bit range answers "up more than three minutes" correctly for any uptime.
uint32_t UptimeMs() {
    const ULONGLONG ticks = GetTickCount64();
    return ticks > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ticks);
}

std::wstring WideAscii(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

void UpdateCheck(int software, const std::string& dataFilePath) {
    if (ServiceFolder().empty()) return;
    const std::wstring updater = WideAscii(kUpdaterFile);
    const UpdateDecision decision =
        RunUpdateCheck(dataFilePath, LocalDateTimeNow(), UptimeMs(), ServiceFileExists(updater.c_str()));
    if (!decision.startUpdater) return;
    // The parameters name the software the caller gave, which for this program is the number the
    // decision assumes (kSoftwareNumber).
    const std::wstring parameters =
        WideAscii(UpdaterParameters(software, kVersionMajor, kVersionMinor, kVersionRevision));
    const std::wstring path = ServiceFolder() + updater;
    ShellExecuteW(nullptr, L"open", path.c_str(), parameters.c_str(), ServiceFolder().c_str(), SW_SHOWNORMAL);
}
