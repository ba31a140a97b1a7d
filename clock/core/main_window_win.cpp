// The main window: creation, the load step, the tick timer, painting, commands, tray and hooks.
// The window procedure only dispatches; mouse handling and click actions are in main_mouse_win.cpp.
#include "clock/core/main_window_win.h"
#include "clock/core/program_win.h"

#include <shellapi.h>

#include <string>
#include <utility>

#include "clock/alarms/stopwatch.h"
#include "clock/core/keyboard_focus.h"
#include "clock/core/load_all.h"
#include "clock/core/main_keys_win.h"
#include "clock/core/main_access_win.h"
#include "clock/core/main_mouse_win.h"
#include "clock/core/main_window_rules.h"
#include "clock/core/pages_win.h"
#include "clock/core/platform.h"
#include "clock/core/settings_rules.h"
#include "clock/core/tick.h"
#include "clock/core/window_ids.h"
#include "clock/services/about_win.h"
#include "clock/services/components_win.h"
#include "clock/services/update_win.h"
#include "forms/form_win.h"
#include "forms/gbk.h"
#include "forms/gdi_handles_win.h"
#include "forms/message_box_win.h"
#include "forms/shadow_win.h"
#include "forms/tray_win.h"
#include "forms/wide_win.h"

HWND MainWindow = nullptr;
int PageScroll[kPageCount] = {};
int HotItem = 0;
int PressState = kPressNone;
uint32_t PressTick = 0;
int LastY = 0;
int ServiceUnread = 0;
int FocusItem = 0;
bool FocusShown = false;

namespace {

// Geometry of the form before the data file places it (logical pixels).
constexpr int kFormWidth = 193;
constexpr int kFormHeight = 318;

TrayIcon gTray;
HMENU gTrayMenu = nullptr;
HBITMAP gMenuIcons[3] = {};  // the program icon of items 8001, 8002 and 8003
HHOOK gKeyboardHook = nullptr;
bool gActive = true;

HICON LoadAppIcon(int size, const wchar_t* name) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
    return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

// The band's program icon at the window's scale, made again when the scale changes. Not LR_SHARED:
// that hands back the size loaded first, whatever size is asked.
struct BandIcon {
    HICON icon = nullptr;
    int size = 0;
};
BandIcon gBandIcon;

HICON BandIconAtScale() {
    const int size = ScaleX(WindowScale(), 16);
    if (gBandIcon.size == size) return gBandIcon.icon;
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"AAAAA_APPICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon) return LoadAppIcon(16, L"AAAAA_APPICON");
    if (gBandIcon.icon) DestroyIcon(gBandIcon.icon);
    gBandIcon = BandIcon{icon, size};
    return icon;
}

// ---- Keyboard hook ----

// Escape anywhere in the program's GUI thread hides the main window, editors included.
LRESULT CALLBACK KeyboardHook(int code, WPARAM key, LPARAM flags) {
    const bool keyDown = (flags & (1u << 31)) == 0;
    if (code == HC_ACTION && key == VK_ESCAPE) {
        if (keyDown && MainWindow) PostMessageW(MainWindow, WM_COMMAND, kCmdHide, 0);
        return 1;
    }
    return CallNextHookEx(gKeyboardHook, code, key, flags);
}

// ---- Load ----

void BuildTrayMenu() {
    gTrayMenu = CreatePopupMenu();
    AppendMenuW(gTrayMenu, MF_STRING, kCmdShow, WideFromUtf8("显示").c_str());
    AppendMenuW(gTrayMenu, MF_STRING, kCmdHide, WideFromUtf8("隐藏").c_str());
    AppendMenuW(gTrayMenu, MF_STRING, kCmdService, WideFromUtf8("客服").c_str());
    AppendMenuW(gTrayMenu, MF_STRING, kCmdAbout, WideFromUtf8("关于").c_str());
    AppendMenuW(gTrayMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(gTrayMenu, MF_STRING, kCmdClose, WideFromUtf8("关闭").c_str());
    HICON icon = LoadAppIcon(GetSystemMetrics(SM_CXSMICON), L"AAAAA_APPICON");
    const UINT withIcon[3] = {kCmdShow, kCmdHide, kCmdClose};
    for (int k = 0; k < 3; ++k)
        gMenuIcons[k] = SetMenuItemIcon(gTrayMenu, withIcon[k], icon);
}

// The form's components, recorded under their names: the tick timer (started here), the tray icon
// and the keyboard hook.
const ControlSpec kComponents[] = {
    TimerControl("Timer1", kTimerTick, kTickIntervalMs),
    {"TrayIco1", 0, kControlTrayIcon, L"", 0, 0, 0, 0, kTrayIconId},
    {"WinHook1", 0, kControlKeyboardHook},
};

void OnCreate(HWND window) {
    MainWindow = window;
    const std::wstring caption = WideFromGbk(MainCaption(kVersionMajor, kVersionMinor, kVersionRevision));
    SetWindowTextW(window, caption.c_str());
    gTray.window = window;
    gTray.id = kTrayIconId;
    gTray.callbackMessage = kMsgTray;
    gTray.icon = LoadAppIcon(GetSystemMetrics(SM_CXSMICON), L"ICON_DR2");
    gTray.tip = caption;
    AddTrayIcon(gTray);
    BuildTrayMenu();
    LoadAll();
    PostMessageW(window, kMsgDataFileProblem, 0, 0);  // a file the load could not use is told at once
    StartCentringOwnedWindows();
    gKeyboardHook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    if (Form* form = FormOfWindow(window)) AddControls(*form, kComponents);
    if (LenientInt(ReadSetting(Gbk("显示"), "1")) == 1) PostMessageW(window, WM_COMMAND, kCmdShow, 0);
}

// Runs once, when the window is first shown: the component hears of the window, and the updater
// may start.
void OnFirstShow(HWND window) {
    static bool done = false;
    if (done) return;
    done = true;
    BACKAIDPORT(window, static_cast<int>(kMsgServiceCount), L"", L"", kSoftwareNumber);
    UpdateCheck(kSoftwareNumber, DataFilePath);
    if (DesktopComposesWindows()) AttachShadow(window, WindowScale());
}

// ---- Painting ----

// The focus frame shows once a key was pressed, while the window is active, and not for an item
// scrolled under the band.
void SetFocusFrame(MainPaint& p) {
    const PageView view = CurrentMainView();
    if (!FocusShown || !gActive || !CanTakeFocus(view, FocusItem)) return;
    const LayoutRect box = FindItem(PageItems(view), FocusItem).box;
    const int top = FocusVisibleTop(view, FocusItem);
    if (box.y < top) return;
    p.focusOnBand = top == 0;
    p.focus = box;
}

MainPaint CollectPaint(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MainPaint p;
    p.now = PlatformNow();
    p.tickNow = PlatformTickCount();
    p.serviceUnread = ServiceUnread;
    p.band.page = CurrentPage;
    p.band.active = gActive;
    p.band.tabsBelow = OptionOn(kOptionTabsBelow);
    p.band.hotItem = HotItem;
    p.band.pressState = PressState;
    p.band.appIcon = BandIconAtScale();
    ReadoutSource source;
    source.now = p.now;
    source.tickNow = p.tickNow;
    source.laps = &LapTimes;
    source.timers = &Timers;
    source.birthdays = &Birthdays;
    source.schedules = &Schedules;
    source.caption = MainCaption(kVersionMajor, kVersionMinor, kVersionRevision);
    p.band.readout = PageReadout(CurrentPage, source);
    p.page.scroll = PageScroll[CurrentPage];
    p.page.hotItem = HotItem;
    p.page.pressState = PressState;
    p.page.width = static_cast<float>(client.right / WindowScale().x);
    p.page.height = static_cast<float>(client.bottom / WindowScale().y);
    SetFocusFrame(p);
    return p;
}

// The page's fixed layer as drawn last. Most seconds change only the readout and the alarms'
// count-downs; drawing those over a copy of the kept layer costs a fraction of a whole paint.
struct FixedLayer {
    GdiObject<HBITMAP> bitmap{nullptr};
    int width = 0;
    int height = 0;
    std::string key;
    float contentBottom = 0;
};
FixedLayer gFixedLayer;

std::string FixedKeyOf(const MainPaint& p, const RECT& client) {
    PageLook look;
    look.page = p.band.page;
    look.scroll = p.page.scroll;
    look.hotItem = p.page.hotItem;
    look.pressState = p.page.pressState;
    look.width = client.right;
    look.height = client.bottom;
    look.serviceUnread = p.serviceUnread;
    return FixedLayerKey(look);
}

void UpdateFixedLayer(HDC target, const MainPaint& p, const RECT& client) {
    if (!gFixedLayer.bitmap.get() || gFixedLayer.width != client.right ||
        gFixedLayer.height != client.bottom) {
        gFixedLayer.bitmap.reset(CreateCompatibleBitmap(target, client.right, client.bottom));
        gFixedLayer.width = client.right;
        gFixedLayer.height = client.bottom;
        gFixedLayer.key.clear();
    }
    std::string key = FixedKeyOf(p, client);
    if (key == gFixedLayer.key) return;
    MemoryDc memory(target);
    Selection selected(memory.get(), gFixedLayer.bitmap.get());
    Gdiplus::Graphics graphics(memory.get());
    gFixedLayer.contentBottom = PaintFixedLayer(MakeCanvas(graphics, WindowScale()), p);
    gFixedLayer.key = std::move(key);
}

void PaintInto(HWND window, HDC target) {
    RECT client;
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // The running stopwatch counts up to now whenever its page is drawn.
    if (CurrentPage == 1 && StopwatchStart != 0)
        AccumulateStopwatch(LapTimes, StopwatchStart, PlatformMediaTime());
    const MainPaint p = CollectPaint(window);
    UpdateFixedLayer(target, p, client);
    if (!gFixedLayer.bitmap.get()) return;
    MemoryDc fixed(target);
    MemoryDc frame(target);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    Selection fixedSelected(fixed.get(), gFixedLayer.bitmap.get());
    Selection frameSelected(frame.get(), bitmap.get());
    BitBlt(frame.get(), 0, 0, client.right, client.bottom, fixed.get(), 0, 0, SRCCOPY);
    {
        Gdiplus::Graphics graphics(frame.get());
        PaintTimedLayer(MakeCanvas(graphics, WindowScale()), p, gFixedLayer.contentBottom);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, frame.get(), 0, 0, SRCCOPY);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintInto(window, dc);
    EndPaint(window, &ps);
}

// ---- Commands ----

// Records the visibility for the next start. Written only when it changes, so that a start without
// a data file writes nothing until the user changes something.
void RecordVisibility(const char* value) {
    static const std::string kKey = Gbk("显示");
    if (ReadSetting(kKey, "1") != value) WriteSetting(kKey, value);
}

void ShowMain(HWND window) {
    SetTrayIconShown(OptionOn(kOptionTrayIcon));
    RecordVisibility("1");
    SetWindowPos(window, OptionOn(kOptionTopmost) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    OnFirstShow(window);
}

void HideMain(HWND window) {
    ShowWindow(window, SW_HIDE);
    RecordVisibility("0");
}

void OnCommand(HWND window, int id) {
    switch (id) {
        case kCmdShow:
            return ShowMain(window);
        case kCmdHide:
            return HideMain(window);
        case kCmdClose:
            PostMessageW(window, WM_CLOSE, 0, 0);
            return;
        case kCmdService:
            OPENAIDPORT(window, L"", L"", kSoftwareNumber);
            return;
        case kCmdAbout:
            OpenAboutWindow(window, kSoftwareNumber);
            return;
        default:
            return;
    }
}

void OnTrayMessage(HWND window, LPARAM event) {
    if (event == WM_LBUTTONDOWN) {
        PostMessageW(window, WM_COMMAND, IsWindowVisible(window) ? kCmdHide : kCmdShow, 0);
    } else if (event == WM_RBUTTONDOWN) {
        ShowTrayMenu(window, gTrayMenu);
    }
}

// Stopped while the tick runs and started again after it: ticks never overlap or queue up.
void OnTimer(HWND window, WPARAM id) {
    if (id != kTimerTick) return;
    KillTimer(window, kTimerTick);
    Tick();
    if (DataFileProblemsWaiting()) PostMessageW(window, kMsgDataFileProblem, 0, 0);
    if (AlarmFileProblemsWaiting()) PostMessageW(window, kMsgAlarmFileProblem, 0, 0);
    if (WakeProblemWaiting()) PostMessageW(window, kMsgWakeProblem, 0, 0);
    if (MainWindow) SetTimer(window, kTimerTick, kTickIntervalMs, nullptr);
}

// Posted, not shown from where the save failed: a message box's own message loop must never run in
// the middle of an editor's save or of a tick. Each problem is taken before its box appears, so a
// tick during the box does not show it again.
void TellDataFileProblems(HWND window) {
    for (DataFileProblem problem = TakeDataFileProblemToTell(); problem != DataFileProblem::kNone;
         problem = TakeDataFileProblemToTell()) {
        ShowWarning(window, WideFromUtf8(DataFileProblemText(problem, DataFilePath)), WideFromUtf8("钟伴"));
    }
}

void TellAlarmFileProblems(HWND window) {
    for (std::string text = TakeAlarmFileProblem(); !text.empty(); text = TakeAlarmFileProblem())
        ShowWarning(window, WideFromGbk(text), L"钟伴");
}

void TellWakeProblem(HWND window) {
    if (!WakeProblemWaiting()) return;
    std::string option = OptionCaption(OptionSlots[kOptionWakeForAlarm]);
    if (option.empty()) option = OptionCaption(BuiltInOption(kOptionWakeForAlarm));
    ShowWarning(window, WideFromGbk(WakeProblemText(TakeWakeProblem(), option)), L"钟伴");
}

// Suspend: the moment is kept, so what rings while the computer is off is told as missed. Resume:
// the wake timer is set again, as the sleep may have used or lost it; alarms that fell while the
// computer slept are told by the next tick.
LRESULT OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) RecordLastSeen();
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) KeepWakeTimer(true);
    return TRUE;
}

void OnClose(HWND window) {
    CLOSEAIDPORT(window);
    DestroyWindow(window);
}

void OnDestroy(HWND window) {
    RecordLastSeen();
    RemoveTrayIcon(gTray);
    if (gKeyboardHook) UnhookWindowsHookEx(gKeyboardHook);
    StopCentringOwnedWindows();
    KillTimer(window, kTimerTick);
    if (gTrayMenu) DestroyMenu(gTrayMenu);
    for (HBITMAP& picture : gMenuIcons) {
        if (picture) DeleteObject(picture);
        picture = nullptr;
    }
    DisconnectMainAccess();
    if (gBandIcon.icon) DestroyIcon(gBandIcon.icon);
    gBandIcon = BandIcon{};
    MainWindow = nullptr;
    PostQuitMessage(0);
}

// The time check found it may not set the clock. It posts this once per run and checks no more,
// so the warning cannot repeat every hour.
void OnNetTimeNoRight(HWND window) {
    std::string option = OptionCaption(OptionSlots[kOptionNetTime]);
    if (option.empty()) option = OptionCaption(BuiltInOption(kOptionNetTime));
    const std::wstring text = L"“" + WideFromGbk(option) +
                              L"”需要管理员权限才能修改系统时间，本次运行不再校对。\r\n\r\n"
                              L"请以管理员身份运行钟伴（右键点击程序，选择“以管理员身份运行”），"
                              L"或在“设置”页关闭这一选项。";
    ShowWarning(window, text, L"钟伴");
}

LRESULT OnOtherMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgTray) {
        OnTrayMessage(window, lParam);
        return 0;
    }
    if (message == kMsgDataFileProblem) {
        TellDataFileProblems(window);
        return 0;
    }
    if (message == kMsgAlarmFileProblem) {
        TellAlarmFileProblems(window);
        return 0;
    }
    if (message == kMsgWakeProblem) {
        TellWakeProblem(window);
        return 0;
    }
    if (message == kMsgWakeMoment) return static_cast<LRESULT>(ArmedWakeMoment());
    if (message == kMsgFocusItem) return FocusShown ? FocusItem : 0;
    if (message == WM_POWERBROADCAST) return OnPowerBroadcast(wParam);
    if (message == WM_TIMECHANGE) {
        KeepWakeTimer(true);  // the same local moment lies elsewhere in UTC now
        return 0;
    }
    if (message == WM_ENDSESSION) {
        if (wParam) RecordLastSeen();  // the session ends without WM_DESTROY reaching us
        return 0;
    }
    if (message == WM_SYSCOLORCHANGE || (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST)) {
        gFixedLayer.key.clear();  // drawn in the old colours
        return 0;
    }
    if (message == kMsgNetTimeNoRight) {
        OnNetTimeNoRight(window);
        return 0;
    }
    if (message == kMsgServiceCount) {
        ServiceUnread = static_cast<int>(wParam);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    if (message == TaskbarCreatedMessage()) {
        gTray.shown = false;
        if (OptionOn(kOptionTrayIcon)) AddTrayIcon(gTray);
        return 0;
    }
    LRESULT result = 0;
    if (HandleKeyMessage(window, message, wParam, lParam, &result)) return result;
    if (HandleAccessMessage(window, message, wParam, lParam, &result)) return result;
    if (HandleMouseMessage(window, message, wParam, lParam, &result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_PRINTCLIENT:
            PaintInto(window, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the whole client area
        case WM_TIMER:
            OnTimer(window, wParam);
            return 0;
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            gActive = LOWORD(wParam) != WA_INACTIVE;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_DPICHANGED:
            gFixedLayer.key.clear();  // drawn at the old scale; the form took the new size already
            return 0;
        case WM_CLOSE:
            OnClose(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        default:
            return OnOtherMessage(window, message, wParam, lParam);
    }
}

}  // namespace

void SetTrayIconShown(bool show) {
    if (show) {
        AddTrayIcon(gTray);
    } else {
        RemoveTrayIcon(gTray);
    }
}

void ShowCloseBalloon(const std::wstring& text, UINT timeoutMs) {
    ShowTrayBalloon(gTray, L"", text, timeoutMs);
}

HWND CreateMainWindow(HINSTANCE instance) {
    RecordWindowScale();
    FormSpec spec;
    spec.name = kMainFormName;
    spec.className = kMainWindowClass;
    spec.caption = WideFromUtf8("简易钟伴");
    spec.x = 0;
    spec.y = 0;
    spec.width = kFormWidth;
    spec.height = kFormHeight;
    spec.style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    spec.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = MainWindowProc;
    spec.scale = WindowScale();
    const Form* form = CreateForm(instance, spec);
    return form ? form->window : nullptr;
}
