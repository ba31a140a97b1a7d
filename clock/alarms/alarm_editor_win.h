// The alarm editor Form7.
#pragma once

// Opens the editor modally over the main window for the clicked item of the alarm page: 9 adds an
// alarm, 10·i + 10 changes alarm i. Returns when the editor is closed; a save or delete has then
// been written to the data file.
void OpenAlarmEditor(int item);
