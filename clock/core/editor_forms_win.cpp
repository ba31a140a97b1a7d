#include "clock/core/editor_forms_win.h"

#include <commctrl.h>

#include "clock/core/clock_data.h"
#include "clock/core/main_window_win.h"
#include "forms/dpi_win.h"
#include "forms/message_box_win.h"
#include "forms/wide_win.h"

namespace {

// Made where the main window is, at the scale of its monitor, so that the editor centred over it
// comes out at the DPI of the monitor it shows on.
void PlaceOnMainMonitor(FormSpec& spec) {
    RECT main;
    if (!MainWindow || !GetWindowRect(MainWindow, &main)) {
        spec.scale = WorkAreaScale();
        return;
    }
    spec.x = main.left;
    spec.y = main.top;
    spec.scale = ScaleOfMonitor(MonitorFromWindow(MainWindow, MONITOR_DEFAULTTONEAREST));
}

}  // namespace

Form* CreateEditorForm(const char* name, const wchar_t* className, const char* captionUtf8, int width,
                       int height, FormHandler handler, bool clientSize) {
    FormSpec spec;
    spec.name = name;
    spec.className = className;
    spec.caption = WideFromUtf8(captionUtf8);
    spec.width = width;
    spec.height = height;
    spec.clientSize = clientSize;
    // No WS_CLIPCHILDREN: group boxes leave their inside to the form, which must paint it.
    spec.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    spec.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    // Over a topmost main window the editor must be topmost too, or the window it belongs to
    // could cover it.
    if (MainWindow && (GetWindowLongPtrW(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST))
        spec.exStyle |= WS_EX_TOPMOST;
    spec.owner = MainWindow;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = handler;
    PlaceOnMainMonitor(spec);
    return CreateForm(GetModuleHandleW(nullptr), spec);
}

std::string GbkControlText(const Form& form, const std::string& name, int index) {
    const std::wstring text = ControlText(form, name, index);
    return Utf16ToGbk(std::u16string(text.begin(), text.end()));
}

void SetGbkControlText(const Form& form, const std::string& name, int index, const std::string& gbk) {
    SetControlText(form, name, index, WideFromGbk(gbk));
}

void SetSpinner(const Form& form, int index, int maximum, int value) {
    SetControlText(form, "Text1", index, std::to_wstring(value));
    HWND spin = ControlWindow(form, "UpDown1", index);
    SendMessageW(spin, UDM_SETRANGE32, 0, maximum);
    SendMessageW(spin, UDM_SETPOS32, 0, value);
}

int SpinnerValue(const Form& form, int index, int maximum) {
    const int64_t typed = LenientInt(GbkControlText(form, "Text1", index));
    return typed < 0 ? 0 : typed > maximum ? maximum : static_cast<int>(typed);
}

void RunEditor(const Form& form) {
    HWND window = form.window;
    CentreOverOwner(window);
    RunModal(window, MainWindow);
}

void ShowEditorError(HWND editor, const std::string& gbkMessage) {
    if (!gbkMessage.empty()) ShowError(editor, WideFromGbk(gbkMessage), WideFromUtf8("钟伴"));
}

bool ConfirmDelete(HWND editor, const char* questionUtf8) {
    return AskYesNo(editor, WideFromUtf8(questionUtf8), WideFromUtf8("钟伴"));
}

LRESULT EditorMessage(HWND editor, UINT message, WPARAM wParam, LPARAM lParam,
                      EditorCommandHandler onCommand) {
    switch (message) {
        case WM_COMMAND:
            if (Form* form = FormOfWindow(editor)) {
                if (const Control* source = ControlOfId(*form, LOWORD(wParam)))
                    onCommand(*form, *source, HIWORD(wParam));
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(editor);
            return 0;
        default:
            return DefWindowProcW(editor, message, wParam, lParam);
    }
}
