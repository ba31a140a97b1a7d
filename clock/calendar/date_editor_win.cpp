// Form9, the birthday and schedule editor: a name, the calendar, a Gregorian date-and-time picker
// and three lunar lists that follow each other, the days of advance reminder and (schedules) the
// repeat mode. Save and delete are the list operations of date_editing.h.
#include "clock/calendar/date_editor_win.h"

#include <windows.h>

#include <commctrl.h>

#include "clock/calendar/date_editing.h"
#include "clock/calendar/lunar.h"
#include "clock/core/clock_data.h"
#include "clock/core/editor_forms_win.h"
#include "clock/core/local_time_win.h"
#include "clock/core/platform.h"
#include "forms/gbk.h"
#include "forms/message_box_win.h"
#include "forms/wide_win.h"

namespace {

constexpr int kWindowWidth = 260, kWindowHeight = 258;  // the whole window, caption bar included
constexpr int kNameLimit = 50;
constexpr int kListDropHeight = 240;  // a drop-down list shows this much when open
constexpr int kOfferedAheadDays = 7;

// What the editor works on, kept on its form.
struct DateEdit {
    DateListKind kind = kBirthdayList;
    int openedIndex = -1;   // -1 when adding
    DateEntry opened;       // the entry as it was opened, to find it again after a re-sort
    DateEditorInput shown;  // the controls as read back once opened: untouched, the date is kept
    bool syncing = false;   // the lists are being set from the picker: no feedback to it
};

// The lunar year, month and day lists are Combo3 (0..2), the advance reminder Combo1, the repeat
// mode Combo2. Label1 (0, 1) name a birthday's fields; a schedule's form renames them (ShowOpened),
// to texts as wide.
const ControlSpec kControls[] = {
    {"Label1", 0, kControlLabel, L"姓名：", 12, 9},
    {"Text1", 0, kControlEdit, L"", 57, 5, 186, 23},
    {"Label1", 1, kControlLabel, L"生日：", 12, 40},
    {"Option2", 0, kControlOptionButton, L"公历", 60, 38, 44, 19},
    {"Option2", 1, kControlOptionButton, L"农历", 125, 38, 44, 19},
    {"DateTimePicker1", 0, kControlDatePicker, L"", 15, 63, 228, 25},
    {"Combo3", 0, kControlComboBox, L"", 14, 93, 97, kListDropHeight},
    {"Combo3", 1, kControlComboBox, L"", 118, 93, 60, kListDropHeight},
    {"Combo3", 2, kControlComboBox, L"", 186, 93, 56, kListDropHeight},
    {"Label1", 2, kControlLabel, L"提醒：", 12, 128},
    {"Combo1", 0, kControlComboBox, L"", 57, 125, 185, kListDropHeight},
    {"Label1", 3, kControlLabel, L"重复：", 12, 161},
    {"Combo2", 0, kControlComboBox, L"", 57, 158, 185, kListDropHeight},
    {"Command3", 0, kControlButton, L"删除", 12, 194, 40, 25},
    {"Command1", 0, kControlButton, L"确定", 105, 194, 67, 25, 0, true, BS_DEFPUSHBUTTON},
    {"Command2", 0, kControlButton, L"取消", 185, 194, 57, 25},
};

DateEdit& Edit(const Form& form) {
    return *FormState<DateEdit>(form);
}

std::vector<DateEntry>& List(const DateEdit& edit) {
    return edit.kind == kBirthdayList ? Birthdays : Schedules;
}

// ---- Controls ----

HWND Combo(const Form& form, const char* name, int index = 0) {
    return ControlWindow(form, name, index);
}

void FillList(HWND combo, const std::vector<std::string>& items) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromGbk(item).c_str()));
}

// -1 when nothing is selected.
int Selected(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

// The lists that always hold a selection read as their first item when they somehow do not.
int SelectedOrFirst(HWND combo) {
    const int index = Selected(combo);
    return index < 0 ? 0 : index;
}

void Select(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Refills a list and keeps its selection, one less when it would lie past the new end.
void RefillKeeping(HWND combo, const std::vector<std::string>& items) {
    int keep = SelectedOrFirst(combo);
    FillList(combo, items);
    if (keep >= static_cast<int>(items.size())) keep = static_cast<int>(items.size()) - 1;
    Select(combo, keep < 0 ? 0 : keep);
}

// "提前0天提醒" ... "提前7天提醒", each item carrying its number of days. A hand-edited 8 or 9 gets an
// item of its own, so that the entry is shown and saved as it is when the list is not touched.
void FillAheadList(HWND combo, int current) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const int last = current > kOfferedAheadDays && current <= 9 ? current : kOfferedAheadDays;
    for (int days = 0; days <= last; ++days) {
        if (days > kOfferedAheadDays && days != current) continue;
        const std::wstring text = WideFromUtf8("提前" + std::to_string(days) + "天提醒");
        const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), days);
        if (days == current) Select(combo, static_cast<int>(item));
    }
    if (SendMessageW(combo, CB_GETCURSEL, 0, 0) == CB_ERR) Select(combo, 0);
}

void FillRepeatList(HWND combo) {
    std::vector<std::string> items;
    for (int r = kRepeatNone; r <= kRepeatWeekly; ++r)
        items.push_back(r == kRepeatNone ? Gbk("不重复(一次性)") : RepeatText(r));
    FillList(combo, items);
}

std::vector<std::string> YearItems() {
    std::vector<std::string> items;
    for (int year = kLunarFirstYear; year <= kLunarLastYear; ++year)
        items.push_back(LunarYearItem(year));
    return items;
}

// ---- Picker and lunar lists ----

DateTime PickerTime(const Form& form) {
    SYSTEMTIME s = {};
    SendMessageW(Combo(form, "DateTimePicker1"), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&s));
    DateTime t;
    t.year = s.wYear, t.month = s.wMonth, t.day = s.wDay, t.hour = s.wHour, t.minute = s.wMinute;
    return t;
}

void SetPicker(const Form& form, const DateTime& t) {
    SYSTEMTIME s = SystemTimeOf(t);
    s.wSecond = 0;  // the picker shows minutes
    SendMessageW(Combo(form, "DateTimePicker1"), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&s));
}

void SetUpPicker(const Form& form) {
    HWND picker = Combo(form, "DateTimePicker1");
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy'年'MM'月'dd'日'HH'时'mm'分'"));
    SYSTEMTIME range[2] = {};
    range[0].wYear = kPickerFirstYear, range[0].wMonth = 1, range[0].wDay = 1;
    range[1].wYear = kPickerLastYear, range[1].wMonth = 12, range[1].wDay = 31, range[1].wHour = 23,
    range[1].wMinute = 59;
    SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
}

// Sets the three lunar lists without writing back to the picker; -1 leaves a list without a
// selection (and the month list empty without a year), so it never seems to name a date.
void ShowLunarLists(const Form& form, const LunarListIndexes& lists) {
    Edit(form).syncing = true;
    Select(Combo(form, "Combo3", 0), lists.year);
    const bool year = lists.year >= 0;
    FillList(Combo(form, "Combo3", 1),
             year ? LunarMonthItems(LunarYearOfIndex(lists.year)) : std::vector<std::string>());
    Select(Combo(form, "Combo3", 1), lists.month);
    FillList(Combo(form, "Combo3", 2), LunarDayItems());
    Select(Combo(form, "Combo3", 2), lists.day);
    Edit(form).syncing = false;
}

// The lunar lists show the picker's day, or nothing where the lunar table has no such day.
void LunarListsFromPicker(const Form& form) {
    ShowLunarLists(form, LunarListIndexesOfDay(PickerTime(form)));
}

// A new selection in a lunar list: a new year refills the months, a new month the days, and the
// picker moves to the chosen lunar date with its time of day kept.
void PickerFromLunarLists(const Form& form, int changedList) {
    if (Edit(form).syncing) return;
    const int yearIndex = Selected(Combo(form, "Combo3", 0));
    const int year = LunarYearOfIndex(yearIndex);
    if (changedList == 0) RefillKeeping(Combo(form, "Combo3", 1), LunarMonthItems(year));
    if (changedList <= 1) RefillKeeping(Combo(form, "Combo3", 2), LunarDayItems());
    const int monthIndex = Selected(Combo(form, "Combo3", 1)), dayIndex = Selected(Combo(form, "Combo3", 2));
    // Lists that name no date yet leave the picker where it is.
    if (yearIndex < 0 || monthIndex < 0 || dayIndex < 0) return;
    int month = 1;
    bool leap = false;
    LunarMonthOfIndex(year, monthIndex, &month, &leap);
    const DateValue day = LunarToSolar(year, month, dayIndex + 1, leap);
    if (day == 0) return;  // day 30 of a 29-day month: no day to show
    const DateTime date = SplitDate(day);
    DateTime t = PickerTime(form);
    t.year = date.year, t.month = date.month, t.day = date.day;
    Edit(form).syncing = true;
    SetPicker(form, t);
    Edit(form).syncing = false;
}

// ---- Opening, saving, deleting ----

void ShowEntry(const Form& form, const DateEntry& entry) {
    const DateEditorInput shown = DateEditorInputFor(entry, PlatformNow());
    SetGbkControlText(form, "Text1", 0, entry.name);
    SetPicker(form, shown.picker);
    SetControlChecked(form, "Option2", 0, shown.gregorian);
    SetControlChecked(form, "Option2", 1, !shown.gregorian);
    ShowLunarLists(form, LunarListIndexes{shown.yearIndex, shown.monthIndex, shown.dayIndex});
    if (Edit(form).kind == kScheduleList) Select(Combo(form, "Combo2"), entry.repeat);
}

void ShowNew(const Form& form) {
    DateTime today = PlatformNow();
    today.hour = today.minute = today.second = 0;
    SetPicker(form, today);
    const bool lunar = Edit(form).kind == kBirthdayList;
    SetControlChecked(form, "Option2", 0, !lunar);
    SetControlChecked(form, "Option2", 1, lunar);
    Select(Combo(form, "Combo2"), 0);
    LunarListsFromPicker(form);
}

DateEditorInput ReadInput(const Form& form) {
    DateEditorInput input;
    input.nameText = GbkControlText(form, "Text1");
    input.gregorian = IsControlChecked(form, "Option2", 0);
    input.picker = PickerTime(form);
    input.yearIndex = Selected(Combo(form, "Combo3", 0));
    input.monthIndex = Selected(Combo(form, "Combo3", 1));
    input.dayIndex = Selected(Combo(form, "Combo3", 2));
    HWND ahead = Combo(form, "Combo1");
    input.aheadIndex =
        static_cast<int>(SendMessageW(ahead, CB_GETITEMDATA, static_cast<WPARAM>(SelectedOrFirst(ahead)), 0));
    input.repeatIndex = SelectedOrFirst(Combo(form, "Combo2"));
    return input;
}

void SaveList(const DateEdit& edit) {
    if (edit.kind == kBirthdayList) {
        SaveBirthdays();
    } else {
        SaveSchedules();
    }
}

// The entry the editor was opened for, where the minute pass may have moved it; -1 when gone.
int CurrentIndex(const DateEdit& edit) {
    return edit.openedIndex < 0 ? -1 : LocateOpenedEntry(List(edit), edit.openedIndex, edit.opened);
}

void Save(const Form& form) {
    const DateEdit& edit = Edit(form);
    const int index = CurrentIndex(edit);
    if (edit.openedIndex >= 0 && index < 0) {
        DestroyWindow(form.window);  // the entry is gone meanwhile: nothing left to save into
        return;
    }
    std::string message;
    const DateEditorInput* shown = edit.openedIndex < 0 ? nullptr : &edit.shown;
    if (!SaveDateEdit(List(edit), edit.kind, index, ReadInput(form), shown, PlatformNow(), &message)) {
        return ShowEditorError(form.window, message);
    }
    SaveList(edit);
    DestroyWindow(form.window);
}

void Delete(const Form& form) {
    if (!ConfirmDelete(form.window, "你要删除这个吗？")) return;
    const DateEdit& edit = Edit(form);
    if (DeleteDateEntry(List(edit), CurrentIndex(edit))) SaveList(edit);
    DestroyWindow(form.window);
}

void OnCommand(Form& form, const Control& source, UINT code) {
    if (source.name == "Combo3" && code == CBN_SELCHANGE) return PickerFromLunarLists(form, source.index);
    if (code != BN_CLICKED) return;
    if (source.name == "Option2") {
        SetControlChecked(form, "Option2", 0, source.index == 0);
        SetControlChecked(form, "Option2", 1, source.index == 1);
    } else if (source.name == "Command1") {
        Save(form);
    } else if (source.name == "Command2") {
        DestroyWindow(form.window);
    } else if (source.name == "Command3") {
        Delete(form);
    }
}

void OnNotify(HWND window, const NMHDR* header) {
    const Form* form = FormOfWindow(window);
    if (!form || header->code != DTN_DATETIMECHANGE || Edit(*form).syncing) return;
    LunarListsFromPicker(*form);
}

LRESULT CALLBACK DateEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    }
    return EditorMessage(window, message, wParam, lParam, OnCommand);
}

const char* CaptionOf(DateListKind kind, bool adding) {
    if (kind == kBirthdayList) return adding ? "新增生日" : "修改生日";
    return adding ? "新增日程" : "修改日程";
}

// The controls and lists as the kind of entry wants them, showing the entry opened or a new one's
// defaults; what they show is kept to tell an untouched date on save.
void ShowOpened(const Form& form) {
    DateEdit& edit = Edit(form);
    const bool adding = edit.openedIndex < 0, birthdays = edit.kind == kBirthdayList;
    SendMessageW(ControlWindow(form, "Text1"), EM_LIMITTEXT, kNameLimit, 0);
    if (!birthdays) {
        SetControlText(form, "Label1", 0, L"名称：");
        SetControlText(form, "Label1", 1, L"日期：");
    }
    SetUpPicker(form);
    FillAheadList(Combo(form, "Combo1"), adding ? 0 : edit.opened.aheadDays);
    FillRepeatList(Combo(form, "Combo2"));
    FillList(Combo(form, "Combo3", 0), YearItems());
    ShowControl(form, "Label1", 3, !birthdays);
    ShowControl(form, "Combo2", 0, !birthdays);
    ShowControl(form, "Command3", 0, !adding);
    if (adding) {
        ShowNew(form);
    } else {
        ShowEntry(form, edit.opened);
    }
    edit.shown = ReadInput(form);
}

}  // namespace

void OpenDateEditor(int page, int item) {
    DateEdit edit;
    edit.kind = page == kScheduleList ? kScheduleList : kBirthdayList;
    const bool adding = item == kAddItem;
    edit.openedIndex = adding ? -1 : item - DateRowItem(0);
    if (!adding && (edit.openedIndex < 0 || edit.openedIndex >= static_cast<int>(List(edit).size()))) return;
    if (!adding) edit.opened = List(edit)[static_cast<size_t>(edit.openedIndex)];
    Form* form = CreateEditorForm("Form9", L"钟伴_Form9", CaptionOf(edit.kind, adding), kWindowWidth,
                                  kWindowHeight, DateEditorProc, false);
    if (!form) return;
    SetFormState(*form, edit);
    AddControls(*form, kControls);
    ShowOpened(*form);
    RunEditor(*form);
}
