// Form7, the alarm editor: a modal dialog over the main window that creates, changes and deletes
// one alarm. What the controls mean on save is decided by SaveAlarmEdit (alarm_rules.h).
#include "clock/alarms/alarm_editor_win.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include "clock/alarms/alarm_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/editor_forms_win.h"
#include "clock/core/platform.h"
#include "forms/gbk.h"
#include "forms/message_box_win.h"
#include "forms/wide_win.h"

namespace {

constexpr int kClientWidth = 294, kClientHeight = 407;
constexpr int kNameLimit = 50;

int gEditIndex = -1;  // the alarm being changed; -1 for a new one
AlarmEntry gOpened;   // that alarm as the editor opened it: the tick may ring it meanwhile

// Hour and minute boxes with their spinners: Text1/UpDown1 (i).
struct TimeBox {
    int x, width, labelX;
    const char* label;
    int maximum;
};
const TimeBox kTimeBoxes[2] = {{151, 43, 153, "时", 23}, {210, 47, 213, "分", 59}};

// The week-day boxes Check1 (1..7).
struct DayBox {
    const char* caption;
    int x, y;
};
const DayBox kDayBoxes[8] = {{"一次性闹钟", 187, 113}, {"星期一", 29, 111},  {"星期二", 29, 131},
                             {"星期三", 29, 151},      {"星期四", 106, 112}, {"星期五", 106, 132},
                             {"星期六", 106, 152},     {"星期日", 187, 151}};

// The action options Option1 (0..3).
struct ActionOption {
    const char* caption;
    int y;
};
const ActionOption kActions[4] = {
    {"打开某个软件", 233}, {"关闭电脑", 287}, {"重启电脑", 309}, {"不使用附加功能", 209}};

void AddTimeBoxes(Form& form) {
    AddEditorControl(form, EditorControl("Label2", 0, kControlLabel, "提示", 33, 27));
    HWND name = AddEditorControl(form, EditorControl("Text2", 0, kControlEdit, "", 32, 46, 105, 22));
    SendMessageW(name, EM_LIMITTEXT, kNameLimit, 0);
    for (int i = 0; i < 2; ++i) {
        const TimeBox& box = kTimeBoxes[i];
        AddEditorControl(form, EditorControl("Label1", i, kControlLabel, box.label, box.labelX, 27));
        AddSpinnerBox(form, i, box.x, 46, box.width, 22, box.maximum, 1);
    }
}

void AddDayAndActionBoxes(Form& form) {
    // One-shot first: its place in the tab order follows the time, as the dialog reads.
    for (int k = 0; k <= 7; ++k) {
        const DayBox& day = kDayBoxes[k];
        AddEditorControl(form, EditorControl("Check1", k, kControlCheckBox, day.caption, day.x, day.y));
    }
    for (int k : {3, 0}) {
        AddEditorControl(
            form, EditorControl("Option1", k, kControlOptionButton, kActions[k].caption, 27, kActions[k].y));
    }
    HWND path =
        AddEditorControl(form, EditorControl("Text3", 0, kControlEdit, kProgramHint, 37, 261, 226, 20));
    if (path) SendMessageW(path, EM_SETREADONLY, TRUE, 0);
    AddEditorControl(form, EditorControl("Command3", 0, kControlButton, "...", 233, 239, 30, 19));
    for (int k : {1, 2}) {
        AddEditorControl(
            form, EditorControl("Option1", k, kControlOptionButton, kActions[k].caption, 27, kActions[k].y));
    }
}

void AddButtonsAndFrames(Form& form) {
    AddEditorControl(form, EditorControl("Command2", 0, kControlButton, "删除", 25, 343, 52, 27));
    AddEditorControl(form, EditorControl("Command1", 0, kControlButton, "确定修改", 191, 343, 64, 27));
    // Group boxes last: at the bottom of the z-order, under the controls they frame.
    AddEditorControl(form, EditorControl("Frame1", 0, kControlFrame, "时间", 12, 2, 263, 78));
    AddEditorControl(form, EditorControl("Frame2", 0, kControlFrame, "每星期循环", 12, 89, 263, 87));
    AddEditorControl(form, EditorControl("Frame3", 0, kControlFrame, "附加功能", 12, 186, 263, 145));
}

void SelectAction(const Form& form, int option) {
    for (int k = 0; k < 4; ++k)
        SetControlChecked(form, "Option1", k, k == option);
}

void ShowInput(const Form& form, const AlarmEditorInput& input) {
    for (int i = 0; i < 2; ++i) {
        const int value = i == 0 ? input.hour : input.minute;
        SetControlText(form, "Text1", i, std::to_wstring(value));
        SendMessageW(ControlWindow(form, "UpDown1", i), UDM_SETPOS32, 0, value);
    }
    SetGbkControlText(form, "Text2", 0, input.nameText);
    SetControlChecked(form, "Check1", 0, input.oneShot);
    for (int k = 1; k <= 7; ++k)
        SetControlChecked(form, "Check1", k, input.days[k]);
    SelectAction(form, input.option);
    if (!input.programPath.empty()) SetGbkControlText(form, "Text3", 0, input.programPath);
}

AlarmEditorInput ReadInput(const Form& form) {
    AlarmEditorInput input;
    input.hour = SpinnerValue(form, 0, kTimeBoxes[0].maximum);
    input.minute = SpinnerValue(form, 1, kTimeBoxes[1].maximum);
    input.nameText = GbkControlText(form, "Text2");
    input.oneShot = IsControlChecked(form, "Check1", 0);
    for (int k = 1; k <= 7; ++k)
        input.days[k] = IsControlChecked(form, "Check1", k);
    input.option = kActionNone;
    for (int k = 0; k < 3; ++k) {
        if (IsControlChecked(form, "Option1", k)) input.option = k;
    }
    input.programPath = GbkControlText(form, "Text3");
    return input;
}

void PickProgram(HWND window, const Form& form) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring title = WideFromUtf8("选择1个EXE");
    std::wstring filter = WideFromUtf8("可执行文件(*.exe)");
    filter.push_back(L'\0');
    filter += L"*.exe";
    filter.push_back(L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = L"exe";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return;
    SetControlText(form, "Text3", 0, file);
    SelectAction(form, kActionOpenProgram);
}

void Save(HWND window, const Form& form) {
    std::string message;
    const AlarmEntry* opened = gEditIndex < 0 ? nullptr : &gOpened;
    if (!SaveAlarmEdit(Alarms, gEditIndex, opened, ReadInput(form), &message))
        return ShowEditorError(window, message);
    SaveAlarms();
    DestroyWindow(window);
}

void Delete(HWND window) {
    if (!ConfirmDelete(window, "你要删除此闹钟吗？")) return;
    if (DeleteAlarm(Alarms, gEditIndex)) SaveAlarms();
    DestroyWindow(window);
}

// "一次性闹钟" and the days exclude each other: checking it clears the days, unchecking it checks
// all seven, and checking a day unchecks it.
void CoupleDayBoxes(const Form& form, int clicked) {
    if (clicked == 0) {
        const bool oneShot = IsControlChecked(form, "Check1", 0);
        for (int k = 1; k <= 7; ++k)
            SetControlChecked(form, "Check1", k, !oneShot);
    } else {
        SetControlChecked(form, "Check1", 0, false);
    }
}

void OnCommand(HWND window, WPARAM wParam) {
    const Form* form = FormOfWindow(window);
    std::string name;
    int index = 0;
    if (!form || HIWORD(wParam) != BN_CLICKED || !CommandSource(window, wParam, &name, &index)) return;
    if (name == "Check1") return CoupleDayBoxes(*form, index);
    if (name == "Option1") return SelectAction(*form, index);
    if (name == "Command3") return PickProgram(window, *form);
    if (name == "Command1") return Save(window, *form);
    if (name == "Command2") return Delete(window);
}

LRESULT CALLBACK AlarmEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditorMessage(window, message, wParam, lParam, OnCommand);
}

}  // namespace

void OpenAlarmEditor(int item) {
    const bool adding = item == kAddItem;
    gEditIndex = adding ? -1 : AlarmRowOfItem(item, Alarms.size());
    if (!adding && gEditIndex < 0) return;
    gOpened = adding ? AlarmEntry() : Alarms[static_cast<size_t>(gEditIndex)];
    HWND window = CreateEditorForm("Form7", L"钟伴_Form7", adding ? "新增闹钟" : "修改闹钟", kClientWidth,
                                   kClientHeight, AlarmEditorProc);
    Form* form = FormOfWindow(window);
    if (!form) return;
    AddTimeBoxes(*form);
    AddDayAndActionBoxes(*form);
    AddButtonsAndFrames(*form);
    ShowInput(*form, adding ? NewAlarmEditorInput(PlatformNow()) : AlarmEditorInputFor(gOpened));
    ShowControl(*form, "Command2", 0, !adding);
    RunEditor(window);
}
