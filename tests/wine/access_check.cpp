// access_check COMMAND: reads 钟伴's main window from another process through oleacc, as a screen
// reader does, and prints one line per check ("ok" or "FAILED"); access_e2e.sh counts them. Exits
// 1 when a check failed, 2 when the command is unknown.
//   pages   every tab's default action selects its page; the children of each page
//   editor  the default action of 添加闹钟 returns at once and the alarm editor opens
//   switch  the default action of an alarm's switch turns it on, and its state follows
//   alert   a timer's pop-up raises EVENT_SYSTEM_ALERT and is named with its text
//   focus   Tab on the keyboard moves the focus to 添加闹钟 and then to the first row: each move
//           raises EVENT_OBJECT_FOCUS for that child, which reads focused, as accFocus does
//   closed  after the window closes, the object answers with an error
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "forms/com_win.h"
#include "tests/wine/check_report.h"

namespace {

struct Child {
    long id = 0;
    std::wstring name;
    long role = 0;
    long state = 0;
    std::wstring action;
};

VARIANT ChildId(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Taken(BSTR text) {
    std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return out;
}

long LongOf(HRESULT hr, const VARIANT& v) {
    return SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : -1;
}

Child ReadChild(IAccessible* object, long id) {
    const VARIANT v = ChildId(id);
    Child child;
    child.id = id;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(v, &text))) child.name = Taken(text);
    text = nullptr;
    if (SUCCEEDED(object->get_accDefaultAction(v, &text))) child.action = Taken(text);
    VARIANT out;
    VariantInit(&out);
    child.role = LongOf(object->get_accRole(v, &out), out);
    VariantInit(&out);
    child.state = LongOf(object->get_accState(v, &out), out);
    return child;
}

std::vector<Child> Children(IAccessible* object) {
    long count = 0;
    if (FAILED(object->get_accChildCount(&count))) return {};
    std::vector<Child> children;
    for (long id = 1; id <= count; ++id)
        children.push_back(ReadChild(object, id));
    return children;
}

// The first child with this name, or null.
const Child* Named(const std::vector<Child>& children, const std::wstring& name) {
    for (const Child& child : children) {
        if (child.name == name) return &child;
    }
    return nullptr;
}

bool Is(const Child* child, long role, long state = 0, long notState = 0) {
    return child && child->role == role && (child->state & state) == state && (child->state & notState) == 0;
}

// Polls condition every 50 ms for at most timeoutMs, handling this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(50);
    }
}

struct MainWindow {
    HWND window = nullptr;
    ComRef<IAccessible> object;
};

bool Open(MainWindow& main) {
    main.window = FindWindowW(L"LcChimePal", nullptr);
    if (!main.window) return false;
    return SUCCEEDED(AccessibleObjectFromWindow(main.window, static_cast<DWORD>(OBJID_CLIENT),
                                                __uuidof(IAccessible), main.object.out()));
}

HRESULT DoDefault(IAccessible* object, long id) {
    return object->accDoDefaultAction(ChildId(id));
}

// Selects page (0..5) by its tab's default action and waits until its tab, and only it, is selected.
bool ShowPage(IAccessible* object, int page) {
    if (FAILED(DoDefault(object, page + 1))) return false;
    return WaitUntil(
        [&] {
            const std::vector<Child> children = Children(object);
            if (children.size() < 7) return false;
            for (int tab = 0; tab < 6; ++tab) {
                if (((children[tab].state & STATE_SYSTEM_SELECTED) != 0) != (tab == page)) return false;
            }
            return true;
        },
        5000);
}

bool StartsWith(const std::wstring& text, const std::wstring& lead) {
    return text.compare(0, lead.size(), lead) == 0;
}

// The page's own children, as the data file of access_e2e.sh fills them.
void CheckPage(int page, const std::vector<Child>& c) {
    const std::wstring where = L"page " + std::to_wstring(page) + L": ";
    auto check = [&](bool ok, const wchar_t* what) {
        char text[512];
        WideCharToMultiByte(CP_UTF8, 0, (where + what).c_str(), -1, text, sizeof text, nullptr, nullptr);
        Check(ok, text);
    };
    if (page == 0) {
        check(Is(Named(c, L"添加闹钟"), ROLE_SYSTEM_PUSHBUTTON), L"添加闹钟 is a push button");
        check(Is(Named(c, L"07:30 起床(未开启)"), ROLE_SYSTEM_LISTITEM),
              L"the alarm off is a list item with its text");
        check(Is(Named(c, L"开启 07:30"), ROLE_SYSTEM_CHECKBUTTON, 0, STATE_SYSTEM_CHECKED),
              L"its switch is unchecked");
        const Child* on = Named(c, L"开启 12:00");
        check(Is(on, ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_CHECKED), L"the alarm on has its switch checked");
        const bool days = on && static_cast<size_t>(on->id + 6) <= c.size() && c[on->id].name == L"星期一" &&
                          Is(&c[on->id], ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_CHECKED) &&
                          Is(&c[on->id + 5], ROLE_SYSTEM_CHECKBUTTON, 0, STATE_SYSTEM_CHECKED);
        check(days, L"its week days follow the switch: 星期一 checked, 星期六 not");
    }
    if (page == 1) {
        const Child* start = Named(c, L"开始");
        check(Is(start, ROLE_SYSTEM_PUSHBUTTON) && start->action == L"单击",
              L"the reset stopwatch shows 开始, pressed by 单击");
    }
    if (page == 2) {
        const Child* add = Named(c, L"新增计时");
        const bool row = add && static_cast<size_t>(add->id + 3) <= c.size() &&
                         c[add->id].role == ROLE_SYSTEM_LISTITEM &&
                         Is(&c[add->id + 1], ROLE_SYSTEM_CHECKBUTTON, 0, STATE_SYSTEM_CHECKED) &&
                         c[add->id + 1].name == L"运行 " + c[add->id].name &&
                         c[add->id + 2].role == ROLE_SYSTEM_PUSHBUTTON;
        check(Is(add, ROLE_SYSTEM_PUSHBUTTON) && row,
              L"新增计时, then the timer, its stopped run switch and its delete button");
    }
    if (page == 3 || page == 4) {
        const Child* add = Named(c, page == 3 ? L"添加生日" : L"添加日程");
        const bool row = add && static_cast<size_t>(add->id + 1) <= c.size() &&
                         StartsWith(c[add->id].name, page == 3 ? L"外婆 [" : L"交房租 ") &&
                         c[add->id].role == ROLE_SYSTEM_LISTITEM && c[add->id].action == L"打开";
        check(Is(add, ROLE_SYSTEM_PUSHBUTTON) && row,
              L"the add button, then the entry as a list item opened by 打开");
    }
    if (page == 5) {
        int switches = 0;
        for (const Child& child : c)
            switches += child.role == ROLE_SYSTEM_CHECKBUTTON ? 1 : 0;
        check(switches == 8 &&
                  Is(Named(c, L"在所有窗口前面"), ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_CHECKED) &&
                  Is(Named(c, L"开机启动软件"), ROLE_SYSTEM_CHECKBUTTON, 0, STATE_SYSTEM_CHECKED),
              L"eight option switches with their states");
        check(Is(Named(c, L"关闭"), ROLE_SYSTEM_PUSHBUTTON) &&
                  Is(Named(c, L"关于钟伴"), ROLE_SYSTEM_PUSHBUTTON),
              L"关闭 and 关于钟伴 are push buttons");
    }
}

// The first tab lies at the client's top left, 32 by 20 logical pixels at the screen's scale.
bool FirstTabPlaced(const MainWindow& main) {
    long x = 0, y = 0, w = 0, h = 0;
    if (FAILED(main.object->accLocation(&x, &y, &w, &h, ChildId(1)))) return false;
    POINT origin = {0, 0};
    ClientToScreen(main.window, &origin);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return x == origin.x && y == origin.y && w == MulDiv(32, dpi, 96) && h == MulDiv(20, dpi, 96);
}

void CheckPages(MainWindow& main) {
    static const wchar_t* const kTabs[] = {L"闹钟", L"秒表", L"计时", L"生日", L"日程", L"设置"};
    VARIANT role;
    VariantInit(&role);
    Check(LongOf(main.object->get_accRole(ChildId(CHILDID_SELF), &role), role) == ROLE_SYSTEM_CLIENT,
          "the window itself is the system's client object");
    Check(FirstTabPlaced(main), "the first tab is placed at the client's top left, 32 x 20 scaled");
    for (int page = 0; page < 6; ++page) {
        Check(ShowPage(main.object.get(), page),
              "tab " + std::to_string(page + 1) + "'s default action selects it alone");
        const std::vector<Child> c = Children(main.object.get());
        bool tabs = c.size() > 6;
        for (int tab = 0; tabs && tab < 6; ++tab)
            tabs = c[tab].role == ROLE_SYSTEM_PAGETAB && c[tab].name == kTabs[tab];
        Check(tabs, "page " + std::to_string(page) + ": six page tabs with their names");
        Check(c.size() > 6 && c[6].role == ROLE_SYSTEM_STATICTEXT && !c[6].name.empty(),
              "page " + std::to_string(page) + ": the readout is static text with its text");
        CheckPage(page, c);
    }
    Check(ShowPage(main.object.get(), 0), "back on the alarm page");
}

void CheckEditor(MainWindow& main) {
    const Child* add = nullptr;
    std::vector<Child> c;
    if (ShowPage(main.object.get(), 0)) {
        c = Children(main.object.get());
        add = Named(c, L"添加闹钟");
    }
    Check(add && SUCCEEDED(DoDefault(main.object.get(), add->id)),
          "添加闹钟's default action returns at once");
    Check(WaitUntil([] { return FindWindowW(L"钟伴_Form7", nullptr) != nullptr; }, 5000),
          "and the alarm editor opens");
}

void CheckSwitch(MainWindow& main) {
    const std::vector<Child> c = Children(main.object.get());
    const Child* off = Named(c, L"开启 07:30");
    Check(Is(off, ROLE_SYSTEM_CHECKBUTTON, 0, STATE_SYSTEM_CHECKED), "the alarm's switch reads unchecked");
    Check(off && SUCCEEDED(DoDefault(main.object.get(), off->id)), "its default action is taken");
    Check(WaitUntil(
              [&] {
                  return Is(Named(Children(main.object.get()), L"开启 07:30"), ROLE_SYSTEM_CHECKBUTTON,
                            STATE_SYSTEM_CHECKED);
              },
              5000),
          "and the switch reads checked");
}

struct AlertSeen {
    HWND window = nullptr;
    LONG object = 0;
    LONG child = 0;
};
AlertSeen gAlert;

void CALLBACK OnAlert(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (!gAlert.window) gAlert = AlertSeen{window, object, child};
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

void CheckAlert(MainWindow& main) {
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, OnAlert, 0, 0,
                                         WINEVENT_OUTOFCONTEXT);
    Check(hook != nullptr, "a hook for alerts is set");
    std::wstring timer;
    const Child* run = nullptr;
    std::vector<Child> c;
    if (ShowPage(main.object.get(), 2)) {
        c = Children(main.object.get());
        const Child* add = Named(c, L"新增计时");
        if (add && static_cast<size_t>(add->id + 2) <= c.size()) {
            timer = c[add->id].name;
            run = &c[add->id + 1];
        }
    }
    Check(run && SUCCEEDED(DoDefault(main.object.get(), run->id)), "the timer's run switch is taken");
    Check(
        WaitUntil([] { return gAlert.window != nullptr; }, 15000) && ClassOf(gAlert.window) == L"LcChimePalX",
        "its pop-up raises EVENT_SYSTEM_ALERT");
    ComRef<IAccessible> popup;
    VARIANT child;
    VariantInit(&child);
    std::wstring name;
    BSTR text = nullptr;
    if (gAlert.window &&
        SUCCEEDED(AccessibleObjectFromEvent(gAlert.window, static_cast<DWORD>(gAlert.object),
                                            static_cast<DWORD>(gAlert.child), popup.put(), &child)) &&
        SUCCEEDED(popup->get_accName(child, &text)))
        name = Taken(text);
    const std::wstring tail = L"：" + timer;
    Check(!timer.empty() && name.size() > tail.size() &&
              name.compare(name.size() - tail.size(), tail.size(), tail) == 0,
          "the alert's object is named with the pop-up's text, ending in the timer's time");
    if (hook) UnhookWinEvent(hook);
}

struct FocusEvent {
    HWND window = nullptr;
    LONG child = 0;
};
FocusEvent gFocus;

void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) gFocus = FocusEvent{window, child};
}

void PressTab() {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

// The child the next focus event names, once the key has gone through.
Child FocusAfterTab(MainWindow& main) {
    gFocus = FocusEvent();
    PressTab();
    Child child;
    if (WaitUntil([&] { return gFocus.window == main.window && gFocus.child > 0; }, 5000))
        child = ReadChild(main.object.get(), gFocus.child);
    return child;
}

long FocusedChild(IAccessible* object) {
    VARIANT focus;
    VariantInit(&focus);
    return LongOf(object->get_accFocus(&focus), focus);
}

void CheckKeyboardFocus(MainWindow& main) {
    Check(ShowPage(main.object.get(), 0), "the alarm page is shown");
    DWORD process = 0;
    GetWindowThreadProcessId(main.window, &process);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnFocusEvent, process, 0,
                                         WINEVENT_OUTOFCONTEXT);
    SetForegroundWindow(main.window);
    Sleep(100);
    // The tab's default action left the focus on the tab: Tab goes on to the add header.
    const Child add = FocusAfterTab(main);
    Check(add.name == L"添加闹钟" && (add.state & STATE_SYSTEM_FOCUSED) != 0,
          "Tab raises a focus event for 添加闹钟, which reads focused");
    Check(add.id > 0 && FocusedChild(main.object.get()) == add.id, "accFocus names it too");
    const Child row = FocusAfterTab(main);
    Check(row.role == ROLE_SYSTEM_LISTITEM && (row.state & STATE_SYSTEM_FOCUSED) != 0,
          "the next Tab raises it for the first row, a focused list item");
    if (hook) UnhookWinEvent(hook);
}

void CheckClosed(MainWindow& main) {
    PostMessageW(main.window, WM_COMMAND, 8003, 0);  // the tray menu's 关闭
    Check(WaitUntil([&] { return !IsWindow(main.window); }, 10000), "the window closes");
    long count = 0;
    const HRESULT hr = main.object->get_accChildCount(&count);
    std::printf("(the object answered 0x%08lx)\n", static_cast<unsigned long>(hr));
    Check(FAILED(hr), "the object kept by a reader answers with an error");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    ComScope com(COINIT_APARTMENTTHREADED);
    MainWindow main;
    const bool open = com.usable() && Open(main);
    Check(open, "the main window's client object is reached through oleacc");
    if (!open) return 1;
    if (command == "pages") {
        CheckPages(main);
    } else if (command == "editor") {
        CheckEditor(main);
    } else if (command == "switch") {
        CheckSwitch(main);
    } else if (command == "alert") {
        CheckAlert(main);
    } else if (command == "focus") {
        CheckKeyboardFocus(main);
    } else if (command == "closed") {
        CheckClosed(main);
    } else {
        return 2;
    }
    return FailedChecks() == 0 ? 0 : 1;
}
