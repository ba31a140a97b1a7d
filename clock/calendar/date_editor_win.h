// The birthday and schedule editor Form9.
#pragma once

// Opens the editor modally over the main window for page 3 (birthdays) or 4 (schedules): item 9
// adds an entry, 10 + i changes entry i of the list as it was when the editor opened.
void OpenDateEditor(int page, int item);
