#include "clock/core/load_all.h"

#include "clock/alarms/stopwatch.h"
#include "clock/core/clock_data.h"
#include "clock/core/platform.h"
#include "clock/core/tick.h"

void LoadAll() {
    LoadEnvironment env;
    env.now = PlatformNow();
    // Becomes the start tick of a running stopwatch, where 0 would read as stopped.
    env.mediaTick = static_cast<uint32_t>(StopwatchStartTick(PlatformMediaTime()));
    env.startupShortcutExists = StartupShortcutExists();
    env.screen = PlatformScreenMetrics();
    const LoadResult result = LoadClockData(env);
    SetLastSeenAtStart(result.lastSeen);
    ShowTrayIcon(result.showTrayIcon);
    MoveMainWindow(result.geometry);
}
