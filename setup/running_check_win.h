// The running processes as Windows reports them, for the check in running_check.h. The installer is
// a 32-bit program: on 64-bit Windows it reads the executable path of a 64-bit process through that
// process's 64-bit environment block.
#pragma once

#include <cstdint>
#include <string>
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

// Ends a process with exit code 0; false when it cannot be opened or ended (it may be gone).
bool EndProcess(uint32_t processId);
