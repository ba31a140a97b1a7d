// form_driver: drives the forms of a running 钟伴.exe (editors, pop-ups, the count-down window) and
// its message boxes through Win32, as a user would, for the end-to-end tests. Controls are found by
// their name and index, through the ids the program gives them (forms/control_ids.h).
//   form_driver wait CLASS [MS]                  until a visible window of the class exists
//   form_driver gone CLASS [MS]                  until none exists
//   form_driver count CLASS                      prints how many visible windows of the class exist
//   form_driver rects CLASS                      prints "left top width height" of each, one a line
//   form_driver set CLASS NAME INDEX TEXT        puts TEXT into a control (NAME "#ID": by id)
//   form_driver text CLASS NAME INDEX            prints a control's text
//   form_driver checked CLASS NAME INDEX         prints 1 when a check or option box is checked
//   form_driver visible CLASS NAME INDEX         prints 1 when the control is shown
//   form_driver progress CLASS NAME INDEX        prints a progress bar's position and its top
//   form_driver click CLASS NAME INDEX           clicks a button, check or option box
//   form_driver select CLASS NAME INDEX ITEM     selects item ITEM of a drop-down list, as a user does
//   form_driver close CLASS                      asks the window to close
//   form_driver title CLASS                      prints the window's caption
//   form_driver active CLASS                     prints 1 when the window is the foreground window
//   form_driver key CLASS VK                     brings the window to the front and presses the key
//                                                of virtual-key code VK (decimal) on the keyboard
//   form_driver sync CLASS [MS]                  returns once the window has handled what was
//                                                posted to its thread before
//   form_driver capture CLASS PATH               saves the window's client area as a PNG, as it is
//                                                on the screen (it must be uncovered)
//   form_driver msgbox [MS]                      waits for the program's message box; prints its
//                                                caption and its text (lines joined by " / ")
//   form_driver answer ID [MS]                   presses button ID (1 OK, 6 Yes, 7 No) of that box
//                                                and waits until the box has closed
//   form_driver workarea                         prints "left top right bottom" of the work area
//   form_driver link PATH                        prints the target and the working folder of a
//                                                shortcut, read back through the shell
//   form_driver browse-states [MS]               waits for the folder dialog; selects its tree's root
//                                                and then each of the root's children, printing for
//                                                each "1" when the dialog's OK button is enabled
// Texts are UTF-8 on the command line and on output.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "clock/core/window_ids.h"
#include "forms/canvas_win.h"
#include "forms/control_ids.h"
#include "forms/wide_win.h"
#include "window_sync_win.h"

namespace {

template <typename Condition>
int WaitFor(Condition condition, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (condition()) return 0;
        Sleep(50);
    }
    std::fprintf(stderr, "form_driver: timed out\n");
    return 1;
}

DWORD ClockProcess() {
    DWORD process = 0;
    if (HWND main = FindWindowW(kMainWindowClass, nullptr)) GetWindowThreadProcessId(main, &process);
    return process;
}

std::vector<HWND> WindowsOfClass(const std::wstring& className) {
    std::vector<HWND> found;
    for (HWND w = FindWindowExW(nullptr, nullptr, className.c_str(), nullptr); w;
         w = FindWindowExW(nullptr, w, className.c_str(), nullptr)) {
        if (IsWindowVisible(w)) found.push_back(w);
    }
    return found;
}

HWND WindowOfClass(const std::wstring& className) {
    const std::vector<HWND> all = WindowsOfClass(className);
    return all.empty() ? nullptr : all.front();
}

// The program's message box: a dialog of the standard class, of the clock's process when it shows
// one, else of whichever program shows one (the installer).
HWND MessageBoxOfClock() {
    const DWORD clock = ClockProcess();
    HWND any = nullptr;
    for (HWND box : WindowsOfClass(L"#32770")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == clock) return box;
        if (!any) any = box;
    }
    return any;
}

// Real key strokes through the input queue, as a user's keyboard gives them.
void PressKey(HWND window, WORD key) {
    SetForegroundWindow(window);
    Sleep(100);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = key;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

BOOL CALLBACK KeepTreeView(HWND child, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpW(name, L"SysTreeView32") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The folder dialog: a standard dialog holding the shell's folder tree.
HWND FolderTreeOfDialog() {
    for (HWND box : WindowsOfClass(L"#32770")) {
        HWND tree = nullptr;
        EnumChildWindows(box, KeepTreeView, reinterpret_cast<LPARAM>(&tree));
        if (tree) return tree;
    }
    return nullptr;
}

// Selects each item as a user's click would (the dialog hears of it through its notification) and
// reads the OK button once the dialog has answered.
int PrintBrowseStates(int timeoutMs) {
    HWND tree = nullptr;
    if (WaitFor([&] { return (tree = FolderTreeOfDialog()) != nullptr; }, timeoutMs) != 0) return 1;
    Sleep(300);
    HWND dialog = GetAncestor(tree, GA_ROOT);
    HWND ok = GetDlgItem(dialog, IDOK);
    const auto root = reinterpret_cast<LPARAM>(TreeView_GetRoot(tree));
    std::vector<LPARAM> items = {root};
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, root);
    for (LPARAM item = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, root); item;
         item = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, item))
        items.push_back(item);
    for (LPARAM item : items) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, item);
        Sleep(100);
        std::printf("%d\n", IsWindowEnabled(ok) ? 1 : 0);
    }
    return 0;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

void PrintLine(const std::wstring& text) {
    std::printf("%s\n", Utf8FromWide(text).c_str());
}

int PrintShortcut(const std::wstring& path) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    int result = 1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
        PrintLine(target);
        PrintLine(folder);
        result = 0;
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return result;
}

// A control by name and index, or by its id written as "#111" (forms that fix their ids).
HWND ControlOf(HWND form, const std::wstring& name, const std::wstring& index) {
    if (!name.empty() && name[0] == L'#') return GetDlgItem(form, _wtoi(name.c_str() + 1));
    return GetDlgItem(form, ControlIdFor(Utf8FromWide(name), _wtoi(index.c_str())));
}

int PrintMessageBox() {
    HWND box = MessageBoxOfClock();
    if (!box) return 1;
    std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
    for (size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;)
        text.replace(at, 2, L" / ");
    PrintLine(TextOf(box));
    PrintLine(text);
    return 0;
}

// The client area, copied from the screen: its pixels are at the form's own client coordinates,
// whatever frame the window manager gives the window.
int CaptureClient(HWND form, const std::wstring& path) {
    RECT client;
    GetClientRect(form, &client);
    POINT origin = {0, 0};
    ClientToScreen(form, &origin);
    GdiplusSession gdiplus;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    bool saved = false;
    {
        Gdiplus::Bitmap picture(bitmap, nullptr);
        saved = SaveBitmapPng(picture, path);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved ? 0 : 1;
}

int Select(HWND form, HWND list, int item) {
    if (SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0) == CB_ERR) return 1;
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return 0;
}

int ControlCommand(const std::wstring& command, HWND form, const std::vector<std::wstring>& a) {
    HWND control = ControlOf(form, a[3], a[4]);
    if (!control) {
        std::fprintf(stderr, "form_driver: no such control\n");
        return 1;
    }
    if (command == L"set" && a.size() > 5) {
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[5].c_str()));
        return 0;
    }
    if (command == L"text") return PrintLine(TextOf(control)), 0;
    if (command == L"checked")
        return std::printf("%d\n", SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED), 0;
    if (command == L"visible") return std::printf("%d\n", IsWindowVisible(control) ? 1 : 0), 0;
    if (command == L"progress") {
        return std::printf("%d %d\n", static_cast<int>(SendMessageW(control, PBM_GETPOS, 0, 0)),
                           static_cast<int>(SendMessageW(control, PBM_GETRANGE, FALSE, 0))),
               0;
    }
    if (command == L"click") return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
    if (command == L"select" && a.size() > 5) return Select(form, control, _wtoi(a[5].c_str()));
    return 2;
}

int Run(const std::vector<std::wstring>& a) {
    const std::wstring command = a.size() > 1 ? a[1] : L"";
    if (command == L"msgbox") {
        const int timeout = a.size() > 2 ? _wtoi(a[2].c_str()) : 10000;
        if (WaitFor([] { return MessageBoxOfClock() != nullptr; }, timeout) != 0) return 1;
        Sleep(100);  // its text is set as it opens
        return PrintMessageBox();
    }
    if (command == L"answer" && a.size() > 2) {
        HWND box = MessageBoxOfClock();
        if (!box || !PostMessageW(GetDlgItem(box, _wtoi(a[2].c_str())), BM_CLICK, 0, 0)) return 1;
        // Gone, so that a box the answer brings up next is not taken for this one.
        return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); },
                       a.size() > 3 ? _wtoi(a[3].c_str()) : 15000);
    }
    if (command == L"link" && a.size() > 2) return PrintShortcut(a[2]);
    if (command == L"browse-states") return PrintBrowseStates(a.size() > 2 ? _wtoi(a[2].c_str()) : 10000);
    if (command == L"workarea") {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        std::printf("%ld %ld %ld %ld\n", work.left, work.top, work.right, work.bottom);
        return 0;
    }
    if (a.size() < 3) return 2;
    const std::wstring& className = a[2];
    const int timeout = a.size() > 3 ? _wtoi(a[3].c_str()) : 20000;
    if (command == L"wait") return WaitFor([&] { return WindowOfClass(className) != nullptr; }, timeout);
    if (command == L"gone") return WaitFor([&] { return WindowOfClass(className) == nullptr; }, timeout);
    if (command == L"count")
        return std::printf("%d\n", static_cast<int>(WindowsOfClass(className).size())), 0;
    if (command == L"rects") {
        for (HWND w : WindowsOfClass(className)) {
            RECT r;
            GetWindowRect(w, &r);
            std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        return 0;
    }
    HWND form = WindowOfClass(className);
    if (!form) {
        std::fprintf(stderr, "form_driver: no window of that class\n");
        return 1;
    }
    if (command == L"close") return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"title") return PrintLine(TextOf(form)), 0;
    if (command == L"key" && a.size() > 3) return PressKey(form, static_cast<WORD>(_wtoi(a[3].c_str()))), 0;
    if (command == L"sync") return SyncWithWindow(form, timeout) ? 0 : 1;
    if (command == L"active") return std::printf("%d\n", GetForegroundWindow() == form ? 1 : 0), 0;
    if (command == L"capture" && a.size() > 3) return CaptureClient(form, a[3]);
    if (a.size() < 5) return 2;
    return ControlCommand(command, form, a);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Plain "\n" line ends, so that the shell compares "1" and not "1\r".
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::wstring> args(argv, argv + argc);
    const int result = Run(args);
    if (result == 2) std::fprintf(stderr, "form_driver: unknown command or missing arguments\n");
    // Every failure says something, so that a run ending in an error without a word is one Wine
    // never started (wine_run.sh --prints tries that again).
    if (result != 0) std::fprintf(stderr, "form_driver: exit %d\n", result);
    return result;
}
