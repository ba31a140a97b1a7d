// The reminder pop-ups FormX and their sound.
#pragma once

#include <string>
#include <vector>

// Opens a pop-up of kind (0 alarm, 2 timer, 3 birthday, 4 schedule) with two lines of GBK text in
// the first free slot of the tiling and starts the kind's looping sound. When a pop-up of the same
// kind and texts is open already, that one comes to the front and its sound starts again instead.
void RaiseReminder(int kind, const std::string& firstText, const std::string& secondText);

// Opens a pop-up of kind with a title and a list of lines (GBK) under it, "确定" only, and plays
// the kind's sound once. Raised again while the same one is open, it comes to the front.
void RaiseReminderList(int kind, const std::string& title, const std::vector<std::string>& lines);

// Stops the reminder sound, whichever pop-up started it.
void StopReminderSound();
