// Form8, the timer editor: hours, minutes and seconds with their spinners and "确定".
#include "clock/alarms/timer_editor_win.h"

#include <windows.h>

#include "clock/alarms/timer_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/editor_forms_win.h"
#include "clock/core/platform.h"

namespace {

constexpr int kClientWidth = 191, kClientHeight = 123;
constexpr int kMaximum[3] = {99, 59, 59};  // hours, minutes, seconds

// Hours, minutes and seconds are Text1/UpDown1 (0..2).
const ControlSpec kControls[] = {
    {"Label1", 0, kControlLabel, L"时", 13, 6},
    {"Text1", 0, kControlEdit, L"", 11, 22, 45, 23},
    {"UpDown1", 0, kControlUpDown},
    {"Label1", 1, kControlLabel, L"分", 73, 5},
    {"Text1", 1, kControlEdit, L"", 70, 22, 45, 23},
    {"UpDown1", 1, kControlUpDown},
    {"Label1", 2, kControlLabel, L"秒", 135, 4},
    {"Text1", 2, kControlEdit, L"", 131, 22, 45, 23},
    {"UpDown1", 2, kControlUpDown},
    {"Command1", 0, kControlButton, L"确定", 52, 60, 88, 28, 0, true, BS_DEFPUSHBUTTON},
};

struct TimerEdit {
    int row = -1;  // the display row being changed; -1 for a new timer
};

void Save(const Form& form) {
    std::string message;
    const bool saved = SaveTimerEdit(Timers, FormState<TimerEdit>(form)->row,
                                     SpinnerValue(form, 0, kMaximum[0]), SpinnerValue(form, 1, kMaximum[1]),
                                     SpinnerValue(form, 2, kMaximum[2]), PlatformTickCount(), &message);
    if (!saved) return ShowEditorError(form.window, message);
    SaveTimers();
    DestroyWindow(form.window);
}

void OnCommand(Form& form, const Control& source, UINT code) {
    if (code == BN_CLICKED && source.name == "Command1") Save(form);
}

LRESULT CALLBACK TimerEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditorMessage(window, message, wParam, lParam, OnCommand);
}

}  // namespace

void OpenTimerEditor(int row) {
    int values[3] = {0, 1, 0};
    if (row >= 0) {
        const int index = TimerIndexOfRow(Timers.size(), row);
        if (index < 0) return;
        SplitDuration(Timers[static_cast<size_t>(index)].seconds, &values[0], &values[1], &values[2]);
    }
    Form* form = CreateEditorForm("Form8", L"钟伴_Form8", row < 0 ? "新增计时" : "修改计时", kClientWidth,
                                  kClientHeight, TimerEditorProc);
    if (!form) return;
    SetFormState(*form, TimerEdit{row});
    AddControls(*form, kControls);
    for (int i = 0; i < 3; ++i)
        SetSpinner(*form, i, kMaximum[i], values[i]);
    RunEditor(*form);
}
