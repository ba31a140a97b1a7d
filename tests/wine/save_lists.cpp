// save_lists IN OUT: loads IN as the program loads its data file, then writes every list and every
// setting into OUT (a new file, or a copy of IN to see how an existing file is rewritten).
// Exit code 0, or 2 for wrong arguments. The paths must be ASCII.
#include <cstdio>
#include <string>

#include "clock/core/clock_data.h"
#include "forms/gbk.h"

namespace {

void SaveEverything() {
    SaveAlarms();
    SaveLaps();
    SaveTimers();
    SaveBirthdays();
    SaveSchedules();
    for (int k = 0; k < kOptionCount; ++k)
        WriteSetting(std::to_string(k), OptionSlots[k]);
    WriteSetting("X", "10");
    WriteSetting("Y", "20");
    WriteSetting("H", "300");
    WriteSetting(Utf8ToGbk("秒表"), std::to_string(StopwatchStart != 0 ? 4242 : 0));
    WriteSetting(Utf8ToGbk("区域"), std::to_string(CurrentPage));
    WriteSetting(Utf8ToGbk("显示"), "0");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_lists IN OUT\n");
        return 2;
    }
    DataFilePath = argv[1];
    LoadEnvironment env;
    env.now.year = 2026, env.now.month = 12, env.now.day = 8, env.now.hour = 10;
    LoadClockData(env);
    DataFilePath = argv[2];
    SaveEverything();
    return 0;
}
