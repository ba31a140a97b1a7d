// Forms and their controls, created from code and found again by name: a form by its name
// ("Form7"), a control by its name and its index in the array of that name ("Text1", 1).
//
// A form is a top-level window of the class FSMWindowClass or of a class of its own name; either
// way the framework's window procedure holds the form's record (attached at WM_NCCREATE) and passes
// every message on to the form's own handler. Controls are child windows (edit, spinner, check and
// option boxes, label, button, combo box, date-and-time picker, progress bar) or components without
// a window of their own (window timer, tray icon, keyboard hook) that are recorded by name too.
// Geometry is in 96-dpi logical pixels and scaled here, with the form's Scale; fonts are given by
// face and size and fall back to the system's user-interface face when the face is not installed.
// GUI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
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

// A control as a form's load step describes it. A label, check box or option button with no width
// is as wide and high as its text (and its box). A control without an id gets the one its name and
// index give (forms/control_ids.h).
struct ControlSpec {
    std::string name;  // "Text1"
    int index = 0;     // place in the array of that name
    ControlKind kind = kControlLabel;
    std::wstring caption;
    int x = 0, y = 0, width = 0, height = 0;  // logical pixels in the form's client area
    const wchar_t* fontFace = L"Microsoft YaHei";
    float fontPoints = 9;
    DWORD style = 0;  // styles added to the kind's own
    bool visible = true;
    UINT_PTR id = 0;      // timer and tray ids; 0 = the next free control id
    UINT intervalMs = 0;  // timers: started at once when not 0
};

struct Control {
    std::string name;
    int index = 0;
    ControlKind kind = kControlLabel;
    HWND window = nullptr;  // null for the components without a window
    UINT_PTR id = 0;
};

// The handler of a form's messages; the framework's procedure calls it for every message of the
// form's window, WM_NCCREATE and WM_CREATE included. Whatever it does not handle goes to
// DefWindowProcW.
using FormHandler = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct Form {
    std::string name;  // "Form6"
    HWND window = nullptr;
    Scale scale;
    FormHandler handler = nullptr;
    std::vector<Control> controls;
    UINT_PTR nextControlId = 1001;
    int modalResult = 0;        // what RunModal returns; set by the form before it closes
    HWND modalOwner = nullptr;  // enabled again as the form goes, so that it gets the activation
};

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
    const wchar_t* iconName = nullptr;  // icon resource of the class, large and small
    FormHandler handler = nullptr;
    Scale scale;
};

// Creates the form's window, hidden, and records it. Registers the class on first use (a class of
// the same name registered by someone else is used as it is). Null when the window could not be
// made; the record is dropped then.
HWND CreateForm(HINSTANCE instance, const FormSpec& spec);

// The record of a live form, by name or by its window; null when there is none.
Form* FindForm(const std::string& name);
Form* FormOfWindow(HWND window);

// Creates a control on the form (or records a component) and returns its window (null for
// components, and on failure).
HWND AddControl(Form& form, const ControlSpec& spec);

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
