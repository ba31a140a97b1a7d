// The main window as a screen reader sees it: an IAccessible whose simple children (ids 1..N) are
// the items of page_access.h, answered to WM_GETOBJECT, and the events that tell a reader what
// changed. GUI thread only.
#pragma once

#include <windows.h>

// Handles WM_GETOBJECT and the posted default action of a child; false for any other message.
bool HandleAccessMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Cuts every reader off the window's object before the window goes: calls that still come answer
// RPC_E_DISCONNECTED. Called at WM_DESTROY.
void DisconnectMainAccess();

// EVENT_OBJECT_FOCUS for the child of item (an item code) on the current page; nothing when no
// child has it.
void AnnounceFocusItem(HWND window, int item);

// EVENT_OBJECT_REORDER on the client: the children are those of another page now.
void AnnouncePageChange(HWND window);

// EVENT_OBJECT_STATECHANGE for the child of item: its checked state changed.
void AnnounceItemState(HWND window, int item);
