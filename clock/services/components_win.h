// The Win32 side of the maker's optional components beside the program: AidPort.dll (the
// customer-service chat) behind the three functions the program exports by name, and GuestHall.dll
// (member operations) behind GuestHallRequest. Every decision (swap a ".up" replacement, report it
// as outdated, load, call) comes from PlanComponentCall in update_rules.h; this file only carries it
// out. A component that is missing is never an error here except for GuestHall, whose failures the
// user is told about.
//
// Components are loaded only by their full path in the program folder, never by a bare name, so a
// DLL of the same name in the current folder or on PATH can never be picked up instead.
//
// All functions run on the window thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "clock/services/update_rules.h"

// The program folder, UTF-8, ending in "\" (one is added when missing). Set once at start-up,
// before any other function here; until it is set every component call does nothing.
void SetServiceFolder(const std::string& folderUtf8);

// The program folder as set, UTF-16, ending in "\"; empty before SetServiceFolder.
const std::wstring& ServiceFolder();

// True when folder + name exists as a file (a folder of that name does not count).
bool ServiceFileExists(const wchar_t* name);

// The customer-service calls, exported by name from the program. Texts are passed through to the
// component as wide strings; the results of the component are not looked at.
extern "C" {
// Opens the chat window: forwards to OPENAIDPORT_D with the same arguments and returns its result;
// 0 when the component is missing, lacks the export, or is reported as outdated.
__declspec(dllexport) intptr_t
    OPENAIDPORT(HWND window, const wchar_t* first, const wchar_t* second, int software);
// Registers the window and message (1529) through which the component reports its unread count:
// forwards to BACKAIDPORT_D. The one call that swaps in a pending replacement of a loaded component.
__declspec(dllexport) void BACKAIDPORT(HWND window, int message, const wchar_t* first, const wchar_t* second,
                                       long long software);
// Hides window, then forwards to CLOSEAIDPORT_D; with a replacement pending it calls nothing.
__declspec(dllexport) void CLOSEAIDPORT(HWND window);
}

// Forwards (window, software, kind, text) to INPUTGUESTHALL of GuestHall.dll and returns a copy of
// the byte string it answers ("" for a null answer). text and the reply are passed through as they
// are (GBK by the program's convention). A missing library or export is reported to the user with
// an error box and gives ""; so does an outdated component (warning box).
std::string GuestHallRequest(HWND window, int software, int kind, const std::string& text);

// How a service message reaches the user. The default shows a top-most message box owned by owner.
using ServiceMessageShow = void (*)(HWND owner, const ServiceMessage& message);

// Replaces the message box, so a test can see the message without a modal box waiting for a click.
// nullptr restores the message box. Tests only.
void SetServiceMessageShowForTesting(ServiceMessageShow show);
