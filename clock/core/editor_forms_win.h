// What the clock's editors share: creating one as a modal form over the main window, its controls
// in "Microsoft YaHei" 9, texts in GBK, and running it.
#pragma once

#include <windows.h>

#include <string>

#include "forms/form_win.h"

// Creates a hidden editor form owned by the main window: title bar and close box, the program icon,
// a client area of width x height logical pixels (or a window of that size when clientSize is
// false). Its controls are in the framework's default font, the editors' "Microsoft YaHei" 9. Null
// on failure.
Form* CreateEditorForm(const char* name, const wchar_t* className, const char* captionUtf8, int width,
                       int height, FormHandler handler, bool clientSize = true);

// A control's text as GBK, and set from GBK.
std::string GbkControlText(const Form& form, const std::string& name, int index = 0);
void SetGbkControlText(const Form& form, const std::string& name, int index, const std::string& gbk);

// Sets the spinner UpDown1 (index) to the range 0..maximum and to value, and its box Text1 (index)
// to the number.
void SetSpinner(const Form& form, int index, int maximum, int value);

// The value of spinner index: the number typed into its Text1 box held within 0..maximum (a text
// that is no number gives 0), as the spinner takes it from its box.
int SpinnerValue(const Form& form, int index, int maximum);

// Centres the editor over the main window inside the work area and runs it modally; the record is
// gone when this returns.
void RunEditor(const Form& form);

// The editors' messages: a refusal (GBK; nothing is shown for an empty one) with the error icon, and
// the delete question (Yes/No, No the default); both with the caption "钟伴".
void ShowEditorError(HWND editor, const std::string& gbkMessage);
bool ConfirmDelete(HWND editor, const char* questionUtf8);

// What every editor's window procedure does alike: commands go to onCommand with the control they
// came from (none of the form's: no call), the close box discards the editor, the rest goes to
// DefWindowProcW.
using EditorCommandHandler = void (*)(Form& editor, const Control& source, UINT code);
LRESULT EditorMessage(HWND editor, UINT message, WPARAM wParam, LPARAM lParam,
                      EditorCommandHandler onCommand);
