// The about window "钟伴_About": the program's picture, name and version, three lines about it, and
// the two donation lists fetched from the maker's service once per process; its buttons open the
// maker's pages, the customer-service chat and the donation through the member component.
#pragma once

#include <windows.h>

// Opens the about window over owner for the program of softwareNumber; when it is open already,
// brings that one to the front instead. GUI thread.
void OpenAboutWindow(HWND owner, int softwareNumber);
