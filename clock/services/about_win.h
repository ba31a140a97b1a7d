// The about window "钟伴_About": the program's picture, name and version, three lines about it, and
// the two donation lists fetched from the maker's service once per process; its buttons open the
// maker's pages, the customer-service chat and the donation through the member component.
#pragma once

#include <windows.h>

// Opens the about window over owner for the program of softwareNumber; when it is open already,
// brings that one to the front instead. GUI thread.
void OpenAboutWindow(HWND owner, int softwareNumber);

// Gives the about window its dialog keys (Tab between the buttons, Enter for 确定; Escape stays
// the program's own key that hides the main window). True when message was the about window's and
// has been handled. Called by the message loop for every message.
bool AboutWindowMessage(MSG* message);
