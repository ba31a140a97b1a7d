// Control ids from control names: the same name and index give the same id in every build, so a
// test driving a running program finds a control (GetDlgItem) as the program itself does by name.
#pragma once

#include <string>

// The id of control `name` (index) -- "Text1" (0), "Check1" (7), "Command2" ... -- for the kinds
// the forms use: Text, UpDown, Check, Option, Label, Command, Combo, DateTimePicker, Frame,
// ProgressBar, with a number 1..10 and an index 0..39. The ids lie in 2000..6799, below the
// programs' command ids. 0 for any other name.
int ControlIdFor(const std::string& name, int index);
