// The running processes as Windows reports them, for the check in running_check.h. The installer is
// a 32-bit program: on 64-bit Windows it reads the executable path of a 64-bit process through that
// process's 64-bit environment block.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/running_check.h"

// Every process of a snapshot, in its order, with ProcessImagePath or, when that is empty, the
// executable's name alone. Empty when no snapshot can be taken.
std::vector<RunningProcess> SnapshotProcesses();

// The full path of a process's executable (UTF-8), or "" when it cannot be read.
std::string ProcessImagePath(uint32_t processId);

// The route ProcessImagePath takes for a 64-bit process when this program is 32-bit: the path read
// from the process's 64-bit environment block. "" in a 64-bit build, or when it cannot be read.
std::string ImagePathFromEnvironmentBlock64(uint32_t processId);

// True when the system offers what that route needs (a 32-bit program on 64-bit Windows; Wine 8
// lacks the 64-bit query, and there the other routes read such paths).
bool EnvironmentBlockRouteAvailable();

// Processes held open for ending. They are opened before the user is asked, and only these handles
// are ended: an id opened afresh after the wait might belong to another program by then. The
// handles close with the object.
class ProcessesToEnd {
  public:
    ProcessesToEnd() = default;
    ~ProcessesToEnd();
    ProcessesToEnd(const ProcessesToEnd&) = delete;
    ProcessesToEnd& operator=(const ProcessesToEnd&) = delete;

    // Opens each process for ending and waiting; false with the image paths of those that cannot
    // be opened (an elevated program, say), none of which is ended.
    bool Open(const std::vector<RunningProcess>& processes, std::vector<std::string>* unopened);
    // Ends every opened process with exit code 0; one that has exited meanwhile counts as ended.
    // The image paths of those that could not be ended.
    std::vector<std::string> EndAll();
    // True once every opened process has exited.
    bool AllGone() const;

  private:
    std::vector<std::pair<void*, std::string>> opened_;  // process handle, image path
};
