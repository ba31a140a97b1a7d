// FormX, the reminder pop-up: a topmost window without title bar with the kind's blinking band,
// the picture, two lines of text and "确定", tiled from the lower right of the work area, and the
// looping sound shared by all pop-ups. An alarm's pop-up also has "稍后提醒" with its list of
// minutes; the pop-up of missed alarms has a title and a list of lines instead of the two, and
// sounds once. The rules (colours, texts, places, time-out, snooze) are in reminder_rules.h.
#include "clock/alarms/reminder_win.h"

#include <windows.h>

#include <mmsystem.h>
#include <oleacc.h>
#include <shlwapi.h>

#include <iterator>
#include <string>
#include <vector>

#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/reminder_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/page_parts_win.h"
#include "clock/core/program_win.h"
#include "clock/core/tick.h"
#include "forms/canvas_win.h"
#include "forms/dpi_win.h"
#include "forms/form_win.h"
#include "forms/wide_win.h"

namespace {

constexpr const wchar_t* kPopupClass = L"LcChimePalX";
constexpr const char* kPopupName = "FormX";
constexpr int kClientWidth = 273, kClientHeight = 157;
constexpr UINT kBlinkTimer = 1;
constexpr UINT kBlinkMs = 200;

// What one pop-up shows, kept on its form.
struct ReminderNote {
    int kind = kReminderAlarm;
    std::string firstText;   // GBK, at most kReminderFirstBytes
    std::string secondText;  // GBK, at most kReminderSecondBytes
    std::vector<std::string> lines;  // a list pop-up's lines under firstText (then secondText is "")
    bool list = false;
    bool blink = false;
    int slot = 0;  // its place in the tiling (ReminderPlace)
};

const ControlSpec kControls[] = {
    {"Command1", 0, kControlButton, L"确定", 204, 120, 55, 25, 0, true, BS_DEFPUSHBUTTON},
    TimerControl("Timer1", kBlinkTimer, kBlinkMs),
};

// An alarm's pop-up: "稍后提醒" left of "确定", its minutes left of it.
constexpr int kMinutesDropHeight = 140;
const ControlSpec kSnoozeControls[] = {
    {"Combo1", 0, kControlComboBox, L"", 72, 121, 60, kMinutesDropHeight},
    {"Command2", 0, kControlButton, L"稍后提醒", 136, 120, 64, 25},
};

bool CanSnooze(const ReminderNote& note) {
    return note.kind == kReminderAlarm && !note.list;
}

ReminderNote* NoteOf(HWND window) {
    const Form* form = FormOfWindow(window);
    return form ? FormState<ReminderNote>(*form) : nullptr;
}

uint32_t gLastRaiseTick = 0;  // 0: the sound's time-out has been handled

// ---- Painting ----

Argb Opaque(Rgb c) {
    return Argb{255, c.r, c.g, c.b};
}

// The note's parts, in 96-dpi pixels: the kind's coloured band, the picture inside it (dipping by
// two pixels in the blinking half-period), and the two lines of text right of the picture.
constexpr LogicalRect kBand = {0, 0, 300, 110};
constexpr float kPictureX = -2, kPictureY = 20, kPictureSize = 108, kBlinkDip = 2;
constexpr LogicalRect kFirstLine = {100, 40, 170, 30};
constexpr LogicalRect kSecondLine = {100, 70, 170, 30};
constexpr float kSecondLineRoom = 168, kSmallestPoints = 9;
// A list pop-up: the title higher up, five smaller lines under it on the band, and "等N个" beside
// the button below the band.
constexpr LogicalRect kListTitle = {100, 8, 170, 24};
constexpr float kListTop = 32, kListPitch = 15, kListHeight = 16;
constexpr LogicalRect kListMore = {108, 124, 90, 18};

void PaintLines(const Canvas& c, const ReminderNote& note) {
    const FontSpec title{L"Microsoft YaHei", 12, false};
    const FontSpec small{L"Microsoft YaHei", 9, false};
    const Argb white{255, 255, 255, 255};
    DrawTextIn(c, WideFromGbk(note.firstText), kListTitle, title, white, kTextSingleLine | kTextEllipsis);
    for (size_t i = 0; i < note.lines.size(); ++i) {
        const std::wstring line = WideFromGbk(note.lines[i]);
        if (i == kMissedLinesShown) {
            const COLORREF text = GetSysColor(COLOR_BTNTEXT);
            const Argb dark{255, GetRValue(text), GetGValue(text), GetBValue(text)};
            DrawTextIn(c, line, kListMore, small, dark, kTextSingleLine | kTextEllipsis);
            break;
        }
        const LogicalRect box{100, kListTop + kListPitch * static_cast<float>(i), 170, kListHeight};
        DrawTextIn(c, line, box, small, white, kTextSingleLine | kTextEllipsis);
    }
}

void PaintNote(const Canvas& c, const ReminderNote& note, float width, float height) {
    const Rgb face{static_cast<uint8_t>(GetRValue(GetSysColor(COLOR_BTNFACE))),
                   static_cast<uint8_t>(GetGValue(GetSysColor(COLOR_BTNFACE))),
                   static_cast<uint8_t>(GetBValue(GetSysColor(COLOR_BTNFACE)))};
    FillRect(c, {0, 0, width, height}, Opaque(face));
    const Rgb band = note.blink ? BlinkColour(ReminderColour(note.kind)) : ReminderColour(note.kind);
    FillRect(c, kBand, Opaque(band));
    if (Gdiplus::Bitmap* picture = ProgramPicture()) {
        const float dip = note.blink ? kBlinkDip : 0;
        c.graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        c.graphics->DrawImage(picture, Gdiplus::RectF(static_cast<Gdiplus::REAL>(kPictureX * c.scale.x),
                                                      static_cast<Gdiplus::REAL>((kPictureY + dip) * c.scale.y),
                                                      static_cast<Gdiplus::REAL>(kPictureSize * c.scale.x),
                                                      static_cast<Gdiplus::REAL>((kPictureSize - dip) * c.scale.y)));
    }
    if (note.list) return PaintLines(c, note);
    const FontSpec font{L"Microsoft YaHei", 12, false};
    const Argb white{255, 255, 255, 255};
    DrawTextIn(c, WideFromGbk(note.firstText), kFirstLine, font, white, kTextSingleLine | kTextEllipsis);
    // A line too long for the pop-up (a long name, or a snooze's mark) is drawn smaller, down to
    // 9 points, rather than run past the edge; what still does not fit ends in an ellipsis.
    const std::wstring second = WideFromGbk(note.secondText);
    FontSpec fitted = font;
    while (fitted.points > kSmallestPoints && TextWidth(c, second, fitted) > kSecondLineRoom)
        fitted.points -= 1;
    DrawTextIn(c, second, kSecondLine, fitted, white, kTextSingleLine | kTextEllipsis);
}

void OnPaint(HWND window) {
    const ReminderNote* found = NoteOf(window);
    if (!found) {
        ValidateRect(window, nullptr);
        return;
    }
    const ReminderNote& note = *found;
    const Form* form = FormOfWindow(window);
    PaintBuffered(window, form ? form->scale : WindowScale(),
                  [&note](const Canvas& c, float width, float height) { PaintNote(c, note, width, height); });
}

// ---- Messages ----

void OnBlink(HWND window) {
    ReminderNote* note = NoteOf(window);
    if (!note) return;
    note->blink = !note->blink;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    if (ReminderSoundExpired(gLastRaiseTick, GetTickCount())) {
        gLastRaiseTick = 0;
        StopReminderSound();
    }
}

// The minutes chosen in the list; the remembered ones when none is.
int ChosenMinutes(const Form& form) {
    HWND list = ControlWindow(form, "Combo1");
    const LRESULT index = list ? SendMessageW(list, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (index < 0 || static_cast<size_t>(index) >= std::size(kSnoozeChoices)) return SnoozeMinutes;
    return kSnoozeChoices[index];
}

// The same reminder comes back after the chosen minutes; this one closes, and with it the sound.
void Snooze(HWND window) {
    const Form* form = FormOfWindow(window);
    const ReminderNote* note = NoteOf(window);
    if (!form || !note) return;
    SnoozeAlarmReminder(note->firstText, note->secondText, ChosenMinutes(*form));
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void OnCommand(HWND window, UINT id, UINT code) {
    const Form* form = FormOfWindow(window);
    const Control* source = form ? ControlOfId(*form, id) : nullptr;
    if (!source) return;
    // The choice is remembered at once; a write that fails is told by the main window.
    if (source->name == "Combo1" && code == CBN_SELCHANGE) WriteSnoozeMinutes(ChosenMinutes(*form));
    if (code != BN_CLICKED) return;
    if (source->name == "Command2") return Snooze(window);
    PostMessageW(window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the window
        case WM_TIMER:
            if (wParam == kBlinkTimer) OnBlink(window);
            return 0;
        case WM_NCHITTEST: {
            // Anywhere outside the button moves the window, as its title bar would.
            const LRESULT hit = DefWindowProcW(window, message, wParam, lParam);
            return hit == HTCLIENT ? HTCAPTION : hit;
        }
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            StopReminderSound();
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            KillTimer(window, kBlinkTimer);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// ---- Raising ----

std::vector<Form*> OpenPopups() {
    return FormsNamed(kPopupName);
}

HWND OpenNoteLike(const ReminderNote& note) {
    for (const Form* open : OpenPopups()) {
        const ReminderNote* other = FormState<ReminderNote>(*open);
        if (other && other->kind == note.kind && other->firstText == note.firstText &&
            other->secondText == note.secondText && other->lines == note.lines)
            return open->window;
    }
    return nullptr;
}

std::vector<int> TakenSlots() {
    std::vector<int> slots;
    for (const Form* open : OpenPopups()) {
        if (const ReminderNote* note = FormState<ReminderNote>(*open)) slots.push_back(note->slot);
    }
    return slots;
}

void AddSnoozeControls(Form& form) {
    AddControls(form, kSnoozeControls);
    HWND list = ControlWindow(form, "Combo1");
    if (!list) return;
    int selected = 0;
    for (size_t i = 0; i < std::size(kSnoozeChoices); ++i) {
        const std::wstring item = std::to_wstring(kSnoozeChoices[i]) + L"分钟";
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (kSnoozeChoices[i] == SnoozeMinutes) selected = static_cast<int>(i);
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The pop-up's text is drawn, so a screen reader finds it nowhere but in the window's name: the
// title (a list's, or the first line), then the rest. The pop-up has no title bar to show it.
std::wstring SpokenText(const ReminderNote& note) {
    std::wstring text = WideFromGbk(note.firstText);
    const std::vector<std::string> rest = note.list ? note.lines : std::vector<std::string>{note.secondText};
    const wchar_t* separator = L"：";
    for (const std::string& line : rest) {
        if (line.empty()) continue;
        text += separator + WideFromGbk(line);
        separator = L"；";
    }
    return text;
}

// Made at the screen's corner, then moved to its slot.
Form* CreatePopup(const ReminderNote& note) {
    FormSpec spec;
    spec.name = kPopupName;
    spec.className = kPopupClass;
    spec.caption = SpokenText(note);
    spec.x = 0;
    spec.y = 0;
    spec.width = kClientWidth;
    spec.height = kClientHeight;
    spec.clientSize = true;
    spec.style = WS_POPUP | WS_BORDER;
    spec.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = PopupProc;
    spec.scale = WorkAreaScale();  // made at the origin, placed in the work area
    Form* form = CreateForm(GetModuleHandleW(nullptr), spec);
    if (!form) return nullptr;
    SetFormState(*form, note);
    AddControls(*form, kControls);
    if (CanSnooze(note)) AddSnoozeControls(*form);
    return form;
}

void PlaceInSlot(HWND window, int slot) {
    RECT work = {0, 0, 1024, 768}, outer;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The size is the one the window was created with; without it nothing sensible can be placed.
    if (!GetWindowRect(window, &outer)) return;
    const ScreenPoint p = ReminderPlace(slot, outer.right - outer.left, outer.bottom - outer.top,
                                        ScreenRect{work.left, work.top, work.right, work.bottom});
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaySoundOf(const ReminderNote& note) {
    // Without SND_NODEFAULT a missing file plays the system's default sound instead.
    const std::wstring path = WideFromUtf8(ProgramFolderUtf8()) + WideFromGbk(ReminderSoundFile(note.kind));
    PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | (note.list ? 0 : SND_LOOP));
}

void FocusButton(HWND window) {
    const Form* form = FormOfWindow(window);
    if (HWND button = form ? ControlWindow(*form, "Command1") : nullptr) SetFocus(button);
}

// A screen reader speaks the alert's object, whose name is the pop-up's text.
void AlertReaders(HWND window) {
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
}

// The same reminder again while its pop-up is still open (yesterday's alarm left unclosed): the
// pop-up comes to the front and sounds again, so the earlier one does not silence this one.
void RaiseAgain(HWND window, const ReminderNote& note) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    FocusButton(window);
    AlertReaders(window);
    PlaySoundOf(note);
}

void Raise(ReminderNote note) {
    // A computer woken for an alarm keeps its screen dark and may fall asleep again unless it
    // hears that someone is to read this.
    SetThreadExecutionState(ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
    const DWORD now = GetTickCount();
    gLastRaiseTick = now != 0 ? now : 1;  // 0 means "handled"
    if (HWND open = OpenNoteLike(note)) return RaiseAgain(open, note);
    note.slot = FirstFreeReminderSlot(TakenSlots());
    const Form* form = CreatePopup(note);
    if (!form) return;
    HWND window = form->window;
    PlaceInSlot(window, note.slot);
    ShowWindow(window, SW_SHOW);
    FocusButton(window);
    AlertReaders(window);
    PlaySoundOf(note);
}

}  // namespace

void RaiseReminder(int kind, const std::string& firstText, const std::string& secondText) {
    ReminderNote note;
    note.kind = kind;
    note.firstText = ReminderFieldText(firstText, kReminderFirstBytes);
    note.secondText = ReminderFieldText(secondText, kReminderSecondBytes);
    Raise(note);
}

void RaiseReminderList(int kind, const std::string& title, const std::vector<std::string>& lines) {
    ReminderNote note;
    note.kind = kind;
    note.list = true;
    note.firstText = ReminderFieldText(title, kReminderFirstBytes);
    for (const std::string& line : lines)
        note.lines.push_back(ReminderFieldText(line, kReminderFirstBytes));
    Raise(note);
}

void StopReminderSound() {
    PlaySoundW(nullptr, nullptr, SND_PURGE);
}
