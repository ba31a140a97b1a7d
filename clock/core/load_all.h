// The start-up load as the main window's load step calls it.
#pragma once

// Reads the data file (LoadClockData) with today, the multimedia tick, the start-up shortcut's
// presence and the screen taken from the platform, then shows or removes the tray icon and moves
// the main window to the loaded geometry. Never fails.
void LoadAll();
