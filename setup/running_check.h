// The check for running programs of the target folder: files of a running program cannot be
// replaced, so before unpacking every process whose executable lies in the target folder or below
// it is named to the user, who may end them all or stop the install. The rules
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

// The caption and text of the OK / Cancel question shown before such processes are ended, listing
// every one's image path; OK ends them, Cancel stops the install.
std::string RunningProgramCaption();
std::string RunningProgramsQuestion(const std::string& packageName,
                                    const std::vector<std::string>& imagePaths);

// Told when some of them cannot be ended (an elevated program, say): the install stops before
// anything is written.
std::string CannotEndProgramsMessage(const std::vector<std::string>& imagePaths);
