// The timer editor Form8.
#pragma once

// Opens the editor modally over the main window: row -1 adds a timer, else the timer of that
// display row (the newest on row 0) is changed. A saved timer starts at once.
void OpenTimerEditor(int row);
