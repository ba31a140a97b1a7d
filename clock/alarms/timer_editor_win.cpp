// Form8, the timer editor: hours, minutes and seconds with their spinners and "确定".
#include "clock/alarms/timer_editor_win.h"

#include <windows.h>

#include "clock/alarms/timer_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/editor_forms_win.h"
#include "clock/core/platform.h"
#include "forms/message_box_win.h"
#include "forms/wide_win.h"

namespace {

constexpr int kClientWidth = 191, kClientHeight = 123;

struct DurationBox {
    const char* label;
    int labelX, labelY, x, maximum;
};
const DurationBox kBoxes[3] = {{"时", 13, 6, 11, 99}, {"分", 73, 5, 70, 59}, {"秒", 135, 4, 131, 59}};

int gRow = -1;  // the display row being changed; -1 for a new timer

void AddControls(Form& form, const int values[3]) {
    for (int i = 0; i < 3; ++i) {
        const DurationBox& box = kBoxes[i];
        AddEditorControl(form, EditorControl("Label1", i, kControlLabel, box.label, box.labelX, box.labelY));
        AddSpinnerBox(form, i, box.x, 22, 45, 23, box.maximum, values[i]);
    }
    AddEditorControl(form, EditorControl("Command1", 0, kControlButton, "确定", 52, 60, 88, 28));
}

void Save(HWND window, const Form& form) {
    std::string message;
    const bool saved = SaveTimerEdit(Timers, gRow, SpinnerValue(form, 0, kBoxes[0].maximum),
                                     SpinnerValue(form, 1, kBoxes[1].maximum),
                                     SpinnerValue(form, 2, kBoxes[2].maximum), PlatformTickCount(), &message);
    if (!saved) return ShowEditorError(window, message);
    SaveTimers();
    DestroyWindow(window);
}

void OnCommand(HWND window, WPARAM wParam) {
    std::string name;
    int index = 0;
    const Form* form = FormOfWindow(window);
    if (form && HIWORD(wParam) == BN_CLICKED && CommandSource(window, wParam, &name, &index) &&
        name == "Command1")
        Save(window, *form);
}

LRESULT CALLBACK TimerEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditorMessage(window, message, wParam, lParam, OnCommand);
}

}  // namespace

void OpenTimerEditor(int row) {
    gRow = row;
    int values[3] = {0, 1, 0};
    if (row >= 0) {
        const int index = TimerIndexOfRow(Timers.size(), row);
        if (index < 0) return;
        SplitDuration(Timers[static_cast<size_t>(index)].seconds, &values[0], &values[1], &values[2]);
    }
    HWND window = CreateEditorForm("Form8", L"钟伴_Form8", row < 0 ? "新增计时" : "修改计时", kClientWidth,
                                   kClientHeight, TimerEditorProc);
    Form* form = FormOfWindow(window);
    if (!form) return;
    AddControls(*form, values);
    RunEditor(window);
}
