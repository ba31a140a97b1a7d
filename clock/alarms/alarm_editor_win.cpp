// Form7, the alarm editor: a modal dialog over the main window that creates, changes and deletes
// one alarm. What the controls mean on save is decided by SaveAlarmEdit (alarm_rules.h).
#include "clock/alarms/alarm_editor_win.h"

#include <windows.h>

#include <commdlg.h>

#include "clock/alarms/alarm_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/editor_forms_win.h"
#include "clock/core/platform.h"
#include "forms/wide_win.h"

namespace {

constexpr int kClientWidth = 294, kClientHeight = 407;
constexpr int kNameLimit = 50;
constexpr int kMaxHour = 23, kMaxMinute = 59;

// What the editor works on, kept on its form.
struct AlarmEdit {
    int index = -1;     // the alarm being changed; -1 for a new one
    AlarmEntry opened;  // that alarm as the editor opened it: the tick may ring it meanwhile
};

// The hour and minute are Text1/UpDown1 (0, 1), the one-shot box and the week days Check1 (0, 1..7),
// the actions Option1 (0..3). One-shot follows the time in the tab order, as the dialog reads.
const ControlSpec kControls[] = {
    {"Label2", 0, kControlLabel, L"提示", 33, 27},
    {"Text2", 0, kControlEdit, L"", 32, 46, 105, 22},
    {"Label1", 0, kControlLabel, L"时", 153, 27},
    {"Text1", 0, kControlEdit, L"", 151, 46, 43, 22},
    {"UpDown1", 0, kControlUpDown},
    {"Label1", 1, kControlLabel, L"分", 213, 27},
    {"Text1", 1, kControlEdit, L"", 210, 46, 47, 22},
    {"UpDown1", 1, kControlUpDown},
    {"Check1", 0, kControlCheckBox, L"一次性闹钟", 187, 113},
    {"Check1", 1, kControlCheckBox, L"星期一", 29, 111},
    {"Check1", 2, kControlCheckBox, L"星期二", 29, 131},
    {"Check1", 3, kControlCheckBox, L"星期三", 29, 151},
    {"Check1", 4, kControlCheckBox, L"星期四", 106, 112},
    {"Check1", 5, kControlCheckBox, L"星期五", 106, 132},
    {"Check1", 6, kControlCheckBox, L"星期六", 106, 152},
    {"Check1", 7, kControlCheckBox, L"星期日", 187, 151},
    {"Option1", 3, kControlOptionButton, L"不使用附加功能", 27, 209},
    {"Option1", 0, kControlOptionButton, L"打开某个软件", 27, 233},
    {"Text3", 0, kControlEdit, L"", 37, 261, 226, 20, 0, true, ES_READONLY},
    {"Command3", 0, kControlButton, L"...", 233, 239, 30, 19},
    {"Option1", 1, kControlOptionButton, L"关闭电脑", 27, 287},
    {"Option1", 2, kControlOptionButton, L"重启电脑", 27, 309},
    {"Command2", 0, kControlButton, L"删除", 25, 343, 52, 27},
    {"Command1", 0, kControlButton, L"确定修改", 191, 343, 64, 27, 0, true, BS_DEFPUSHBUTTON},
    // Group boxes last: at the bottom of the z-order, under the controls they frame.
    {"Frame1", 0, kControlFrame, L"时间", 12, 2, 263, 78},
    {"Frame2", 0, kControlFrame, L"每星期循环", 12, 89, 263, 87},
    {"Frame3", 0, kControlFrame, L"附加功能", 12, 186, 263, 145},
};

AlarmEdit& Edit(const Form& form) {
    return *FormState<AlarmEdit>(form);
}

void SelectAction(const Form& form, int option) {
    for (int k = 0; k < 4; ++k)
        SetControlChecked(form, "Option1", k, k == option);
}

void ShowInput(const Form& form, const AlarmEditorInput& input) {
    SetSpinner(form, 0, kMaxHour, input.hour);
    SetSpinner(form, 1, kMaxMinute, input.minute);
    SetGbkControlText(form, "Text2", 0, input.nameText);
    SetControlChecked(form, "Check1", 0, input.oneShot);
    for (int k = 1; k <= 7; ++k)
        SetControlChecked(form, "Check1", k, input.days[k]);
    SelectAction(form, input.option);
    SetControlText(form, "Text3", 0,
                   input.programPath.empty() ? WideFromUtf8(kProgramHint) : WideFromGbk(input.programPath));
}

AlarmEditorInput ReadInput(const Form& form) {
    AlarmEditorInput input;
    input.hour = SpinnerValue(form, 0, kMaxHour);
    input.minute = SpinnerValue(form, 1, kMaxMinute);
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

void PickProgram(const Form& form) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring title = WideFromUtf8("选择1个EXE");
    std::wstring filter = WideFromUtf8("可执行文件(*.exe)");
    filter.push_back(L'\0');
    filter += L"*.exe";
    filter.push_back(L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = form.window;
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

void Save(const Form& form) {
    std::string message;
    const AlarmEdit& edit = Edit(form);
    const AlarmEntry* opened = edit.index < 0 ? nullptr : &edit.opened;
    if (!SaveAlarmEdit(Alarms, edit.index, opened, ReadInput(form), &message))
        return ShowEditorError(form.window, message);
    SaveAlarms();
    DestroyWindow(form.window);
}

void Delete(const Form& form) {
    if (!ConfirmDelete(form.window, "你要删除此闹钟吗？")) return;
    if (DeleteAlarm(Alarms, Edit(form).index)) SaveAlarms();
    DestroyWindow(form.window);
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

void OnCommand(Form& form, const Control& source, UINT code) {
    if (code != BN_CLICKED) return;
    if (source.name == "Check1") return CoupleDayBoxes(form, source.index);
    if (source.name == "Option1") return SelectAction(form, source.index);
    if (source.name == "Command3") return PickProgram(form);
    if (source.name == "Command1") return Save(form);
    if (source.name == "Command2") return Delete(form);
}

LRESULT CALLBACK AlarmEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditorMessage(window, message, wParam, lParam, OnCommand);
}

}  // namespace

void OpenAlarmEditor(int item) {
    const bool adding = item == kAddItem;
    AlarmEdit edit;
    edit.index = adding ? -1 : AlarmRowOfItem(item, Alarms.size());
    if (!adding && edit.index < 0) return;
    if (!adding) edit.opened = Alarms[static_cast<size_t>(edit.index)];
    Form* form = CreateEditorForm("Form7", L"钟伴_Form7", adding ? "新增闹钟" : "修改闹钟", kClientWidth,
                                  kClientHeight, AlarmEditorProc);
    if (!form) return;
    const AlarmEntry& opened = SetFormState(*form, edit).opened;
    AddControls(*form, kControls);
    SendMessageW(ControlWindow(*form, "Text2"), EM_LIMITTEXT, kNameLimit, 0);
    ShowInput(*form, adding ? NewAlarmEditorInput(PlatformNow()) : AlarmEditorInputFor(opened));
    ShowControl(*form, "Command2", 0, !adding);
    RunEditor(*form);
}
