// forms_check OUT_DIR: the form framework under Wine: forms of the framework's class and of their own
// class, controls found by name and index, scaled places, fonts with their fallback, a form moved to
// a monitor of another DPI, the modal loop,
// owned windows centred over their owner, and the drop shadow that follows its form (its picture
// over a white backdrop is kept in OUT_DIR). Prints one line per check and "N passed, M failed".
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "forms/canvas_win.h"
#include "forms/form_win.h"
#include "forms/gdi_handles_win.h"
#include "forms/message_box_win.h"
#include "forms/shadow_win.h"
#include "tests/wine/check_report.h"

namespace {

constexpr UINT kMsgFinish = WM_APP + 1;  // ends a modal test form with its wParam as the result
constexpr UINT kMsgThrow = WM_APP + 2;   // the handler throws

LRESULT CALLBACK TestHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgFinish) {
        if (Form* form = FormOfWindow(window)) form->modalResult = static_cast<int>(wParam);
        DestroyWindow(window);
        return 0;
    }
    if (message == kMsgThrow) throw std::runtime_error("a handler's fault");
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT ClientRectOnScreen(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

FormSpec DialogSpec(const char* name, const wchar_t* className, const Scale& scale) {
    FormSpec spec;
    spec.name = name;
    spec.className = className;
    spec.caption = L"测试";
    spec.x = 100;
    spec.y = 100;
    spec.width = 294;
    spec.height = 407;
    spec.clientSize = true;
    spec.handler = TestHandler;
    spec.scale = scale;
    return spec;
}

// Every kind whose size the framework works out itself: a spinner beside its box, labels and a
// check box as large as their text, a list whose field follows its font.
const ControlSpec kControls[] = {
    {"Text1", 0, kControlEdit, L"7", 151, 46, 43, 22},
    {"UpDown1", 0, kControlUpDown},
    {"Text1", 1, kControlEdit, L"30", 211, 46, 43, 22},
    {"UpDown1", 1, kControlUpDown},
    {"Label2", 0, kControlLabel, L"提示", 33, 27},
    {"Check1", 0, kControlCheckBox, L"星期一", 29, 111, 70, 20, 0, true, 0, 9, 0, L"No Such Face 123"},
    {"Check1", 1, kControlCheckBox, L"每天", 109, 111},
    {"Combo1", 0, kControlComboBox, L"", 29, 150, 120, 200},
    {"Command1", 0, kControlButton, L"确定", 200, 360, 75, 25, 0, true, 0, 10.5f},
};

void CheckFormsAndControls(HINSTANCE instance, const Scale& scale, const std::string& at) {
    Form* form = CreateForm(instance, DialogSpec("Form7", L"钟伴_Form7", scale));
    HWND window = form ? form->window : nullptr;
    Check(window != nullptr && ClassOf(window) == L"钟伴_Form7", at + "a form of its own class");
    Check(form && FindForm("Form7") == form && FormOfWindow(window) == form,
          at + "found by name and by window");
    RECT client;
    GetClientRect(window, &client);
    Check(client.right == ScaleX(scale, 294) && client.bottom == ScaleY(scale, 407),
          at + "its client area is 294 x 407 logical pixels");
    Check(AddControls(*form, kControls), at + "a table of controls is made whole");

    HWND minute = ControlWindow(*form, "Text1", 1);
    Check(minute && ClassOf(minute) == L"Edit", at + "Text1 (1) is an edit box");
    wchar_t text[16] = {};
    GetWindowTextW(minute, text, 16);
    Check(std::wstring(text) == L"30", at + "Text1 (1) is the one made with index 1");
    const RECT place = ClientRectOnScreen(ControlWindow(*form, "Text1", 0));
    Check(place.left == ScaleX(scale, 151) && place.top == ScaleY(scale, 46),
          at + "Text1 (0) sits at (151, 46) scaled");
    HWND spin = ControlWindow(*form, "UpDown1", 1);
    Check(spin && reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)) == minute,
          at + "UpDown1 (1) belongs to Text1 (1)");
    const RECT labelPlace = ClientRectOnScreen(ControlWindow(*form, "Label2"));
    Check(labelPlace.right - labelPlace.left > 0 && labelPlace.bottom - labelPlace.top > 0,
          at + "a label without a size takes its text's");
    Check(FindControl(*form, "Text1", 2) == nullptr && ControlWindow(*form, "Nothing") == nullptr,
          at + "a name or index that is not there gives nothing");
    const Control* check = FindControl(*form, "Check1");
    Check(check && ControlOfId(*form, check->id) == check, at + "a control is found by its id");

    LOGFONTW asked = {}, fallback = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(ControlWindow(*form, "Check1"), WM_GETFONT, 0, 0)),
               sizeof fallback, &fallback);
    GetObjectW(FormFont(L"Microsoft YaHei", 9, scale), sizeof asked, &asked);
    Check(std::wstring(fallback.lfFaceName) == ResolveFontFace(L"No Such Face 123") &&
              !std::wstring(fallback.lfFaceName).empty(),
          at + "a face that is not installed falls back to the system's");
    Check(asked.lfHeight == -ScaleY(scale, 12), at + "9 points are 12 logical pixels high");

    const std::weak_ptr<void> state = form->state = std::make_shared<int>(7);
    DestroyWindow(window);
    Check(FindForm("Form7") == nullptr && state.expired(),
          at + "a destroyed form is forgotten, its state freed");
}

int FontHeight(HWND control) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

// The controls of moved that differ in place, size or font height from those of made, by name.
std::string ControlsApart(const Form& moved, const Form& made) {
    std::string apart;
    for (const Control& control : made.controls) {
        HWND other = ControlWindow(moved, control.name, control.index);
        const RECT a = ClientRectOnScreen(control.window), b = other ? ClientRectOnScreen(other) : RECT{};
        if (!other || !EqualRect(&a, &b) || FontHeight(control.window) != FontHeight(other)) {
            apart += " " + control.name + "(" + std::to_string(control.index) + ")";
            std::printf("  %s(%d): made %ld,%ld,%ld,%ld font %d; moved %ld,%ld,%ld,%ld font %d\n",
                        control.name.c_str(), control.index, a.left, a.top, a.right, a.bottom,
                        FontHeight(control.window), b.left, b.top, b.right, b.bottom,
                        other ? FontHeight(other) : 0);
        }
    }
    return apart;
}

// A form made at 96 dpi that the system moves to a monitor of 144 (WM_DPICHANGED with the window
// rectangle it suggests) ends as the same form made at 144: the window, and each control's place,
// size and font.
void CheckDpiChange(HINSTANCE instance) {
    const Scale at144 = ScaleFromDpi(144, 144);
    Form* made = CreateForm(instance, DialogSpec("Form7", L"钟伴_Form7", at144));
    Form* moved = CreateForm(instance, DialogSpec("Form7", L"钟伴_Form7", Scale{}));
    if (!made || !moved || !AddControls(*made, kControls) || !AddControls(*moved, kControls)) {
        Check(false, "144 dpi after a DPI change: the two forms are made");
        return;
    }
    RECT suggested, client, madeClient;
    GetWindowRect(made->window, &suggested);
    SendMessageW(moved->window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    GetClientRect(moved->window, &client);
    GetClientRect(made->window, &madeClient);
    Check(moved->scale.x == 1.5 && moved->scale.y == 1.5 && EqualRect(&client, &madeClient),
          "144 dpi after a DPI change: the form takes the scale and the suggested size");
    const std::string apart = ControlsApart(*moved, *made);
    Check(apart.empty(), "144 dpi after a DPI change: every control's place, size and font as made at 144" +
                             (apart.empty() ? std::string() : ", but not" + apart));
    DestroyWindow(moved->window);
    DestroyWindow(made->window);
}

void CheckModal(HINSTANCE instance) {
    HWND owner = CreateForm(instance, DialogSpec("Owner", kFormWindowClass, Scale{}))->window;
    ShowWindow(owner, SW_SHOW);
    FormSpec spec = DialogSpec("Form8", kFormWindowClass, Scale{});
    spec.owner = owner;
    HWND dialog = CreateForm(instance, spec)->window;
    Check(ClassOf(dialog) == L"FSMWindowClass", "a form of the framework's class FSMWindowClass");
    Check(SendMessageW(dialog, kMsgThrow, 0, 0) == 0 && IsWindow(dialog),
          "a handler that throws leaves the message to the default handling");
    PostMessageW(dialog, kMsgFinish, 7, 0);
    const int result = RunModal(dialog, owner);
    Check(result == 7, "RunModal returns the form's result");
    Check(IsWindowEnabled(owner) && !IsWindow(dialog), "the owner takes input again after the modal form");

    HWND owned = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, owner, nullptr,
                                 instance, nullptr);
    CentreOverOwner(owned);
    RECT own, mine;
    GetWindowRect(owner, &own);
    GetWindowRect(owned, &mine);
    Check(mine.left - own.left == (own.right - own.left - 100) / 2 &&
              mine.top - own.top == (own.bottom - own.top - 50) / 2,
          "an owned window is centred over its owner");
    DestroyWindow(owned);
    DestroyWindow(owner);
}

// A white window under everything, so that the shadow shows against it in the picture.
HWND WhiteBackdrop(HINSTANCE instance) {
    HWND backdrop = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 0,
                                    0, 600, 500, nullptr, nullptr, instance, nullptr);
    UpdateWindow(backdrop);
    return backdrop;
}

bool SavePictureOf(const RECT& r, const std::wstring& path, COLORREF* outside, COLORREF* beyond) {
    WindowDc screen(nullptr);
    const int w = r.right - r.left, h = r.bottom - r.top;
    MemoryDc memory(screen.get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    {
        Selection selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
        *outside = GetPixel(memory.get(), w - 18, h / 2);  // 2 px right of the form's edge
        *beyond = GetPixel(memory.get(), w - 2, h / 2);    // beyond the shadow
    }
    Gdiplus::Bitmap picture(bitmap.get(), nullptr);
    return SaveBitmapPng(picture, path);
}

void CheckShadow(HINSTANCE instance, const std::wstring& outDir) {
    HWND backdrop = WhiteBackdrop(instance);
    FormSpec spec = DialogSpec("Form6", kFormWindowClass, Scale{});
    spec.style = WS_POPUP | WS_BORDER;
    spec.width = 193, spec.height = 200, spec.clientSize = false;
    HWND form = CreateForm(instance, spec)->window;
    ShowWindow(form, SW_SHOW);
    Check(AttachShadow(form, Scale{}), "a shadow is attached");
    HWND shadow = ShadowOf(form);
    Check(shadow && ClassOf(shadow) == kShadowWindowClass, "its window is of class FormSmith_Shadow_window");
    Check(IsWindowVisible(shadow) && GetWindow(form, GW_HWNDNEXT) == shadow,
          "it is shown right below the form");
    Check((GetWindowLongPtrW(shadow, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) ==
              (WS_EX_LAYERED | WS_EX_TRANSPARENT),
          "it is layered and lets the mouse through");
    SetWindowPos(form, nullptr, 200, 150, 193, 260, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    RECT f, s;
    GetWindowRect(form, &f);
    GetWindowRect(shadow, &s);
    Check(s.left < f.left && s.top < f.top && s.right > f.right && s.bottom > f.bottom &&
              s.right - f.right == f.left - s.left,
          "moved and resized, the form keeps its shadow around it");
    Sleep(200);
    PumpMessages();
    COLORREF outside = 0, beyond = 0;
    const RECT around = {f.left - 20, f.top - 20, f.right + 20, f.bottom + 20};
    Check(SavePictureOf(around, outDir + L"\\shadow.png", &outside, &beyond),
          "the shadow's picture is saved");
    Check(outside != beyond && beyond == RGB(255, 255, 255),
          "the shade lies beside the form and ends before 20 px");
    // Without a compositing desktop the translucent shade may come out solid: the clock then leaves
    // its shadow off.
    std::printf("note: desktop composition %s; beside the form %06lx\n",
                DesktopComposesWindows() ? "on" : "off", static_cast<unsigned long>(outside));
    ShowWindow(form, SW_HIDE);
    PumpMessages();
    Check(!IsWindowVisible(shadow), "hidden with its form");
    DestroyWindow(form);
    Check(!IsWindow(shadow), "and gone with it");
    DestroyWindow(backdrop);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring outDir = argc > 1 ? argv[1] : L".";
    CreateDirectoryW(outDir.c_str(), nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    GdiplusSession gdiplus;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    CheckFormsAndControls(instance, Scale{}, "96 dpi: ");
    CheckFormsAndControls(instance, ScaleFromDpi(144, 144), "144 dpi: ");
    CheckDpiChange(instance);
    CheckModal(instance);
    CheckShadow(instance, outDir);
    return CheckReport();
}
