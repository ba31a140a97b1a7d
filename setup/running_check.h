// The check for running programs of the target folder: files of a running program cannot be
// replaced, and the extraction skips a file it cannot write, so before unpacking every process whose
// executable lies in the target folder or below it is named to the user and then ended. The rules
// here are portable; the processes come from running_check_win.cpp. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RunningProcess {
    uint32_t id = 0;
    std::string imagePath;  // full path, or only the executable's name when the path could not be read
};

// True when the image path contains the folder (which ends in '\'), comparing Latin letters without
// regard to case and every other character as it is. The trailing '\' keeps a sibling folder whose
// name merely begins with the folder's name from matching.
bool ImageLiesInFolder(const std::string& imagePath, const std::string& folder);

// The processes of the list, in its order, that ImageLiesInFolder reports, leaving out the
// installer's own process.
std::vector<RunningProcess> ProcessesInFolder(const std::vector<RunningProcess>& processes,
                                              const std::string& folder, uint32_t ownProcessId);

// The caption and text of the warning shown for one such process.
std::string RunningProgramCaption();
std::string RunningProgramWarning(const std::string& packageName, const std::string& imagePath);
