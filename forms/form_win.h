// Forms and their controls, created from code and found again by name: a form by its name
// ("Form7"), a control by its name and its index in the array of that name ("Text1", 1).
//
// A form is a top-level window of the class FSMWindowClass or of a class of its own name; either
// way the framework's window procedure holds the form's record (attached at WM_NCCREATE), with the
// form's own state, and passes every message on to the form's own handler. That procedure is the
// one place where an exception from a handler stops: it is logged and the message gets its default
// handling. Controls are child windows (edit, spinner, check and option boxes, label, button, combo
// box, date-and-time picker, progress bar) or components without a window of their own (window
// timer, tray icon, keyboard hook) that are recorded by name too.
// Geometry is in 96-dpi logical pixels and scaled here, with the form's Scale; fonts are given by
// face and size and fall back to the system's user-interface face when the face is not installed.
// At WM_DPICHANGED the framework takes the new scale and the suggested window rectangle and makes
// the controls and the window's icons again at that scale, before the form's own handler sees the
// message (for what it draws or keeps per scale itself).
// GUI thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "forms/scale.h"

constexpr const wchar_t* kFormWindowClass = L"FSMWindowClass";

enum ControlKind {
    kControlEdit,
    kControlUpDown,  // takes the control created just before it as its buddy
    kControlCheckBox,
    kControlOptionButton,
    kControlLabel,
    kControlButton,
    kControlComboBox,  // a drop-down list
    kControlDatePicker,
    kControlProgressBar,
    kControlFrame,  // a group box
    kControlTimer,  // a window timer of the form: id and interval
    kControlTrayIcon,
    kControlKeyboardHook,
};

// A control as a form's load step describes it, one row of the form's control table: the fields
// run from the ones every row gives to the ones few do. A label, check box or option button with no
// width is as wide and high as its text (and its box). A control without an id gets the one its name
// and index give (forms/control_ids.h).
struct ControlSpec {
    std::string name;  // "Text1"
    int index = 0;     // place in the array of that name
    ControlKind kind = kControlLabel;
    std::wstring caption = {};                // defaulted, so that a table's row may end before it
    int x = 0, y = 0, width = 0, height = 0;  // logical pixels in the form's client area
    UINT_PTR id = 0;                          // 0 = the one of name and index, else the next free one
    bool visible = true;
    DWORD style = 0;  // styles added to the kind's own
    float fontPoints = 9;
    UINT intervalMs = 0;  // timers: started at once when not 0
    const wchar_t* fontFace = L"Microsoft YaHei";
};

// The row of a window timer of the form, id and interval (started at once when not 0).
inline ControlSpec TimerControl(const char* name, UINT_PTR id, UINT intervalMs) {
    ControlSpec spec;
    spec.name = name;
    spec.kind = kControlTimer;
    spec.id = id;
    spec.intervalMs = intervalMs;
    return spec;
}

struct Control {
    std::string name;
    int index = 0;
    ControlKind kind = kControlLabel;
    HWND window = nullptr;  // null for the components without a window
    UINT_PTR id = 0;
    // Place and font as its row gave them, to be made again at another scale.
    int x = 0, y = 0, width = 0, height = 0;  // logical pixels; no width: its text's size
    float fontPoints = 9;
    std::wstring fontFace;
};

// The handler of a form's messages; the framework's procedure calls it for every message of the
// form's window, WM_NCCREATE and WM_CREATE included. Whatever it does not handle goes to
// DefWindowProcW.
using FormHandler = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct Form {
    std::string name;  // "Form6"
    HWND window = nullptr;
    Scale scale;  // that of the monitor it is on: WM_DPICHANGED changes it
    FormHandler handler = nullptr;
    std::vector<Control> controls;
    UINT_PTR nextControlId = 1001;
    int modalResult = 0;          // what RunModal returns; set by the form before it closes
    HWND modalOwner = nullptr;    // enabled again as the form goes, so that it gets the activation
    std::shared_ptr<void> state;  // the form's own state (SetFormState), freed with the window
    const wchar_t* iconName = nullptr;  // the icon resource, loaded again at a new scale
    int iconSizes[2] = {32, 16};        // logical pixels of the big and the small icon
    HICON icons[2] = {};                // the window's own, at its scale; freed with the window
};

// Gives the form its own state, replacing any it had, and returns it.
template <class T>
T& SetFormState(Form& form, T state) {
    auto owned = std::make_shared<T>(std::move(state));
    form.state = owned;
    return *owned;
}

// The form's state as SetFormState gave it; T must be that type. Null while it has none.
template <class T>
T* FormState(const Form& form) {
    return static_cast<T*>(form.state.get());
}

// How a form is created. The size is of the client area when clientSize is set (dialogs), else of
// the whole window; logical pixels either way.
struct FormSpec {
    std::string name;
    const wchar_t* className = kFormWindowClass;
    std::wstring caption;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;  // device pixels; CW_USEDEFAULT leaves the place to Windows
    int width = 0, height = 0;
    bool clientSize = false;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    const wchar_t* iconName = nullptr;  // icon resource of the class and the window, large and small
    int iconSizes[2] = {32, 16};        // the window's big and small icon, logical pixels
    FormHandler handler = nullptr;
    Scale scale;  // that of the monitor where the window is made (forms/dpi_win.h)
};

// Creates the form's window, hidden, and returns its record, which lives as long as the window.
// Registers the class on first use (a class of the same name registered by someone else is used as
// it is). Null when the window could not be made.
Form* CreateForm(HINSTANCE instance, const FormSpec& spec);

// The record of a live form by name (the first made), all live forms of a name (oldest first), and
// the record of one of this process's form windows (null for none and for any other window).
Form* FindForm(const std::string& name);
std::vector<Form*> FormsNamed(const std::string& name);
Form* FormOfWindow(HWND window);

// Creates a control on the form (or records a component) and returns its window (null for
// components, and on failure).
HWND AddControl(Form& form, const ControlSpec& spec);

// Adds a form's table of controls in its order, which is the tab order. False when one of them
// could not be made; the others are made all the same.
bool AddControls(Form& form, const ControlSpec* table, size_t count);
template <size_t N>
bool AddControls(Form& form, const ControlSpec (&table)[N]) {
    return AddControls(form, table, N);
}

// A control by name and index, or by its id; null when the form has none.
const Control* FindControl(const Form& form, const std::string& name, int index = 0);
const Control* ControlOfId(const Form& form, UINT_PTR id);
HWND ControlWindow(const Form& form, const std::string& name, int index = 0);

// Texts and states of controls by name and index; nothing happens for a control that is not there.
std::wstring ControlText(const Form& form, const std::string& name, int index = 0);
void SetControlText(const Form& form, const std::string& name, int index, const std::wstring& text);
bool IsControlChecked(const Form& form, const std::string& name, int index = 0);
void SetControlChecked(const Form& form, const std::string& name, int index, bool checked);
void ShowControl(const Form& form, const std::string& name, int index, bool show);

// A GDI font of face and size (points) for the form's scale, made once and kept for the process.
// A face that is not installed gives the system's user-interface face.
HFONT FormFont(const wchar_t* face, float points, const Scale& scale);

// Shows the form modally over owner: the owner takes no input until the form is destroyed, while
// messages keep flowing (timers of the owner go on). Returns the form's modalResult.
int RunModal(HWND form, HWND owner);

// Handles a message before it is dispatched (dialog keys, say); true when it needs nothing more.
using MessageFilter = bool (*)(MSG* message);

// The dialog keys (Tab, Enter, Esc) of the active window, as a dialog has them.
bool ActiveDialogMessage(MSG* message);

// Dispatches the messages waiting in this thread's queue, each offered to filter first when there
// is one, and returns once the queue is empty: true, or false at WM_QUIT, which is posted again so
// that the outer loop ends too.
bool PumpMessages(MessageFilter filter = nullptr);
