// The shutdown and restart count-down window and the shutdown itself.
#pragma once

// Opens the 60-second count-down for mode 0 (shut down) or 1 (restart). While one runs, a further
// request brings it forward and flashes it; its mode and time stay.
void OpenShutdownWindow(int mode);

// Enables the shutdown privilege of the process and shuts the computer down (mode 0) or restarts
// it (mode 1), forcing other programs to close. 1 on success, 0 on failure.
int ExitSystem(int mode);
