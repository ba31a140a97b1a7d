#include "forms/form_win.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <tuple>

#include "forms/canvas_win.h"
#include "forms/control_ids.h"
#include "forms/dpi_win.h"
#include "forms/gdi_handles_win.h"
#include "forms/wide_win.h"

namespace {

// The modalResult of the form destroyed last, for RunModal: the record goes with the window.
HWND gClosedForm = nullptr;
int gClosedResult = 0;

// The live forms' records, oldest first; each window points to its own through its user data.
std::vector<std::unique_ptr<Form>>& Forms() {
    static std::vector<std::unique_ptr<Form>> forms;
    return forms;
}

// Compares addresses only: the record may be gone already when a window failed in its creation.
void DropForm(const Form* form) {
    auto& forms = Forms();
    for (auto it = forms.begin(); it != forms.end(); ++it) {
        if (it->get() == form) {
            forms.erase(it);
            return;
        }
    }
}

// The record comes with WM_NCCREATE and is kept in the window's user data.
Form* AttachedForm(HWND window, UINT message, LPARAM lParam) {
    if (message != WM_NCCREATE) return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    Form* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    return form;
}

// The record may be gone with the window by the time the handler throws: only the handle is told.
void LogHandlerFault(HWND window, UINT message, const char* what) {
    char line[256];
    std::snprintf(line, sizeof line, "form window %p: the handler of message 0x%04x threw: %s\n",
                  static_cast<void*>(window), message, what);
    OutputDebugStringW(WideFromUtf8(line).c_str());
}

// No exception may unwind through user32: a throwing handler is logged and the message gets its
// default handling. Nothing of the record may be used after the call, which can have destroyed it.
LRESULT CallHandler(FormHandler handler, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handler(window, message, wParam, lParam);
    } catch (const std::exception& e) {
        LogHandlerFault(window, message, e.what());
    } catch (...) {
        LogHandlerFault(window, message, "not a std::exception");
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RescaleForm(Form& form, const Scale& scale, const RECT& suggested);

void FreeIcons(Form& form) {
    for (HICON& icon : form.icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

// Every form's window procedure. The record goes with the window.
LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Form* form = AttachedForm(window, message, lParam);
    if (!form || !form->handler) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DESTROY && form->modalOwner) EnableWindow(form->modalOwner, TRUE);
    // High contrast switched, or the system colours changed: drawn forms take the new colours.
    if (message == WM_SYSCOLORCHANGE || (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST))
        InvalidateRect(window, nullptr, FALSE);
    // Enter in an edit box presses the form's default button, as in a dialog.
    if (message == DM_GETDEFID) {
        for (const Control& control : form->controls) {
            const LONG_PTR style = control.window ? GetWindowLongPtrW(control.window, GWL_STYLE) : 0;
            if (control.kind == kControlButton && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return MAKELRESULT(control.id, DC_HASDEFID);
        }
    }
    if (message == WM_DPICHANGED)
        RescaleForm(*form, ScaleOfDpiChange(wParam), *reinterpret_cast<const RECT*>(lParam));
    const LRESULT result = CallHandler(form->handler, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        gClosedForm = window;
        gClosedResult = form->modalResult;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        FreeIcons(*form);
        DropForm(form);
    }
    return result;
}

HICON ClassIcon(HINSTANCE instance, const wchar_t* name, int metric) {
    if (!name) return nullptr;
    const int size = GetSystemMetrics(metric);
    return static_cast<HICON>(
        LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

void RegisterFormClass(HINSTANCE instance, const FormSpec& spec) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, spec.className, &existing)) return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hIcon = ClassIcon(instance, spec.iconName, SM_CXICON);
    wc.hIconSm = ClassIcon(instance, spec.iconName, SM_CXSMICON);
    wc.lpszClassName = spec.className;
    RegisterClassExW(&wc);
}

SIZE WindowSize(const FormSpec& spec) {
    RECT r = {0, 0, ScaleX(spec.scale, spec.width), ScaleY(spec.scale, spec.height)};
    if (spec.clientSize) AdjustWindowRectEx(&r, spec.style, FALSE, spec.exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

struct KindClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

KindClass ClassOfKind(ControlKind kind) {
    switch (kind) {
        case kControlEdit:
            return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case kControlUpDown:
            return {UPDOWN_CLASSW,
                    UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_AUTOBUDDY, 0};
        case kControlCheckBox:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case kControlOptionButton:
            return {L"BUTTON", WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
        case kControlButton:
            return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
        case kControlComboBox:
            return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case kControlDatePicker:
            return {DATETIMEPICK_CLASSW, WS_TABSTOP, 0};
        case kControlProgressBar:
            return {PROGRESS_CLASSW, 0, 0};
        case kControlFrame:
            return {L"BUTTON", BS_GROUPBOX, 0};
        default:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    }
}

// The size of a label that was given none: its text in its font.
SIZE TextSize(const std::wstring& text, HFONT font) {
    WindowDc screen(nullptr);
    Selection selected(screen.get(), font);
    RECT r = {0, 0, 0, 0};
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool HasWindow(ControlKind kind) {
    return kind != kControlTimer && kind != kControlTrayIcon && kind != kControlKeyboardHook;
}

bool SizedByText(const Control& control) {
    return control.width == 0 && (control.kind == kControlLabel || control.kind == kControlCheckBox ||
                                  control.kind == kControlOptionButton);
}

// The control's size at the form's scale: its own, or that of its text (and its box).
SIZE ControlSize(const Form& form, const Control& control, const std::wstring& caption, HFONT font) {
    if (!SizedByText(control))
        return SIZE{ScaleX(form.scale, control.width), ScaleY(form.scale, control.height)};
    const SIZE text = TextSize(caption, font);
    // A check or option box: the box, a gap, the text.
    const int box = control.kind == kControlLabel
                        ? 0
                        : SystemMetricAt(SM_CXMENUCHECK, form.scale) + ScaleX(form.scale, 6);
    return SIZE{text.cx + box, text.cy + (box ? ScaleY(form.scale, 4) : 0)};
}

HWND CreateChild(Form& form, const ControlSpec& spec, const Control& control) {
    const KindClass kc = ClassOfKind(spec.kind);
    const HFONT font = FormFont(spec.fontFace, spec.fontPoints, form.scale);
    const SIZE size = ControlSize(form, control, spec.caption, font);
    const DWORD style = WS_CHILD | (spec.visible ? WS_VISIBLE : 0) | kc.style | spec.style;
    HWND child =
        CreateWindowExW(kc.exStyle, kc.className, spec.caption.c_str(), style, ScaleX(form.scale, spec.x),
                        ScaleY(form.scale, spec.y), size.cx, size.cy, form.window,
                        reinterpret_cast<HMENU>(control.id), GetModuleHandleW(nullptr), nullptr);
    if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void LogFormFault(HWND window, const char* what) {
    char line[160];
    std::snprintf(line, sizeof line, "form window %p: %s failed (error %lu)\n", static_cast<void*>(window),
                  what, GetLastError());
    OutputDebugStringW(WideFromUtf8(line).c_str());
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// Placed, sized and given its font as at its making, from its row's logical geometry. A spinner
// takes its place beside its box again, which has just taken its own.
void RescaleControl(const Form& form, const Control& control) {
    const HFONT font = FormFont(control.fontFace.c_str(), control.fontPoints, form.scale);
    if (control.kind == kControlUpDown) {
        SendMessageW(control.window, UDM_SETBUDDY, SendMessageW(control.window, UDM_GETBUDDY, 0, 0), 0);
    } else {
        const SIZE size = ControlSize(form, control, WindowText(control.window), font);
        if (!SetWindowPos(control.window, nullptr, ScaleX(form.scale, control.x),
                          ScaleY(form.scale, control.y), size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE))
            LogFormFault(control.window, "placing a control");
    }
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// The class's icons are of the scale the program started at: the window has its own at its scale.
// Not LR_SHARED, which hands back the size loaded first whatever size is asked; those it had from
// here before are freed.
void SetFormIcons(Form& form) {
    if (!form.iconName) return;
    const WPARAM which[2] = {ICON_BIG, ICON_SMALL};
    for (int k = 0; k < 2; ++k) {
        const int size = ScaleX(form.scale, form.iconSizes[k]);
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), form.iconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        if (!icon) {
            LogFormFault(form.window, "loading an icon");
            continue;
        }
        SendMessageW(form.window, WM_SETICON, which[k], reinterpret_cast<LPARAM>(icon));
        if (form.icons[k]) DestroyIcon(form.icons[k]);
        form.icons[k] = icon;
    }
}

void RescaleForm(Form& form, const Scale& scale, const RECT& suggested) {
    form.scale = scale;
    if (!SetWindowPos(form.window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                      suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE))
        LogFormFault(form.window, "placing the window");
    for (const Control& control : form.controls) {
        if (control.window) RescaleControl(form, control);
    }
    SetFormIcons(form);
    InvalidateRect(form.window, nullptr, TRUE);
}

}  // namespace

Form* CreateForm(HINSTANCE instance, const FormSpec& spec) {
    RegisterFormClass(instance, spec);
    auto record = std::make_unique<Form>();
    record->name = spec.name;
    record->scale = spec.scale;
    record->handler = spec.handler;
    record->iconName = spec.iconName;
    record->iconSizes[0] = spec.iconSizes[0];
    record->iconSizes[1] = spec.iconSizes[1];
    Form* form = record.get();
    Forms().push_back(std::move(record));
    const SIZE size = WindowSize(spec);
    HWND window = CreateWindowExW(spec.exStyle, spec.className, spec.caption.c_str(), spec.style, spec.x,
                                  spec.y, size.cx, size.cy, spec.owner, nullptr, instance, form);
    if (window) {
        SetFormIcons(*form);
        return form;
    }
    DropForm(form);
    return nullptr;
}

Form* FindForm(const std::string& name) {
    for (const auto& form : Forms()) {
        if (form->name == name && form->window) return form.get();
    }
    return nullptr;
}

std::vector<Form*> FormsNamed(const std::string& name) {
    std::vector<Form*> named;
    for (const auto& form : Forms()) {
        if (form->name == name && form->window) named.push_back(form.get());
    }
    return named;
}

Form* FormOfWindow(HWND window) {
    // Any other window's user data has a meaning of its own. The class's procedure tells a form even
    // when the window is subclassed (the drop shadow does that).
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId() ||
        GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(FormWindowProc))
        return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND AddControl(Form& form, const ControlSpec& spec) {
    Control control;
    control.name = spec.name;
    control.index = spec.index;
    control.kind = spec.kind;
    control.id = spec.id;
    control.x = spec.x;
    control.y = spec.y;
    control.width = spec.width;
    control.height = spec.height;
    control.fontPoints = spec.fontPoints;
    control.fontFace = spec.fontFace ? spec.fontFace : L"";
    if (control.id == 0) control.id = static_cast<UINT_PTR>(ControlIdFor(spec.name, spec.index));
    if (control.id == 0) control.id = form.nextControlId++;
    if (HasWindow(spec.kind)) {
        control.window = CreateChild(form, spec, control);
        if (!control.window) return nullptr;
    } else if (spec.kind == kControlTimer && spec.intervalMs != 0) {
        SetTimer(form.window, control.id, spec.intervalMs, nullptr);
    }
    form.controls.push_back(control);
    return control.window;
}

bool AddControls(Form& form, const ControlSpec* table, size_t count) {
    bool all = true;
    for (size_t i = 0; i < count; ++i) {
        // Components have no window to show for them.
        if (!AddControl(form, table[i]) && HasWindow(table[i].kind)) all = false;
    }
    return all;
}

const Control* FindControl(const Form& form, const std::string& name, int index) {
    for (const Control& control : form.controls) {
        if (control.name == name && control.index == index) return &control;
    }
    return nullptr;
}

const Control* ControlOfId(const Form& form, UINT_PTR id) {
    for (const Control& control : form.controls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

HWND ControlWindow(const Form& form, const std::string& name, int index) {
    const Control* control = FindControl(form, name, index);
    return control ? control->window : nullptr;
}

std::wstring ControlText(const Form& form, const std::string& name, int index) {
    HWND control = ControlWindow(form, name, index);
    return control ? WindowText(control) : std::wstring();
}

void SetControlText(const Form& form, const std::string& name, int index, const std::wstring& text) {
    if (HWND control = ControlWindow(form, name, index)) SetWindowTextW(control, text.c_str());
}

bool IsControlChecked(const Form& form, const std::string& name, int index) {
    HWND control = ControlWindow(form, name, index);
    return control && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetControlChecked(const Form& form, const std::string& name, int index, bool checked) {
    if (HWND control = ControlWindow(form, name, index))
        SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ShowControl(const Form& form, const std::string& name, int index, bool show) {
    if (HWND control = ControlWindow(form, name, index)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

HFONT FormFont(const wchar_t* face, float points, const Scale& scale) {
    using Key = std::tuple<std::wstring, float, double>;
    static std::map<Key, HFONT> fonts;  // kept for the life of the process, as the controls use them
    HFONT& font = fonts[Key{face ? face : L"", points, scale.y}];
    if (font) return font;
    LOGFONTW lf = {};
    lf.lfHeight = -static_cast<LONG>(std::lround(points * 96.0 / 72.0 * scale.y));
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring resolved = ResolveFontFace(face);
    lstrcpynW(lf.lfFaceName, resolved.c_str(), LF_FACESIZE);
    font = CreateFontIndirectW(&lf);
    return font;
}

int RunModal(HWND form, HWND owner) {
    Form* record = FormOfWindow(form);
    if (!record) return 0;
    record->modalResult = 0;
    if (owner && IsWindowEnabled(owner)) {
        record->modalOwner = owner;
        EnableWindow(owner, FALSE);
    }
    ShowWindow(form, SW_SHOW);
    MSG message;
    while (IsWindow(form)) {
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must end too
            DestroyWindow(form);
            break;
        }
        if (IsDialogMessageW(form, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (owner && IsWindow(owner)) EnableWindow(owner, TRUE);
    return gClosedForm == form ? gClosedResult : 0;
}

bool ActiveDialogMessage(MSG* message) {
    HWND active = GetActiveWindow();
    return active && IsDialogMessageW(active, message);
}

bool PumpMessages(MessageFilter filter) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (filter && filter(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}
