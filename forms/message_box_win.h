// The programs' message boxes, owned by the window the user is in, and the foreground-event hook
// that centres every owned window (message boxes, editors) over its owner inside the work area.
#pragma once

#include <windows.h>

#include <string>

// The one call of the system's message box, with its MB_ flags; returns the button pressed (0 when
// the box could not be shown). The helpers below are the usual uses.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// A Yes/No question with the question icon; No is the default button. True for Yes.
bool AskYesNo(HWND owner, const std::wstring& text, const std::wstring& caption);

// A warning with OK and Cancel; Cancel is the default button. True for OK.
bool AskOkCancel(HWND owner, const std::wstring& text, const std::wstring& caption);

// A question about a step that failed: try again, go on without it, or stop (the system's
// Cancel / Try Again / Continue buttons; the text says what Continue does).
enum class RetryAnswer { kRetry, kContinue, kCancel };
RetryAnswer AskRetryContinueCancel(HWND owner, const std::wstring& text, const std::wstring& caption);

// An error with the error icon and an OK button.
void ShowError(HWND owner, const std::wstring& text, const std::wstring& caption);

// A warning with the warning icon and an OK button.
void ShowWarning(HWND owner, const std::wstring& text, const std::wstring& caption);

// Installs the hook for the calling process and thread (once; later calls do nothing), and removes
// it again.
void StartCentringOwnedWindows();
void StopCentringOwnedWindows();

// Centres window over its owner inside the work area of the owner's monitor; does nothing for a
// window without a visible owner.
void CentreOverOwner(HWND window);
