// FormX, the reminder pop-up: a topmost window without title bar with the kind's blinking band,
// the picture, two lines of text and "确定", tiled from the lower right of the work area, and the
// looping sound shared by all pop-ups. The rules (colours, texts, places, time-out) are in
// reminder_rules.h.
#include "clock/alarms/reminder_win.h"

#include <windows.h>

#include <mmsystem.h>
#include <shlwapi.h>

#include <vector>

#include "clock/alarms/reminder_rules.h"
#include "clock/core/program_win.h"
#include "clock/core/page_parts_win.h"
#include "forms/canvas_win.h"
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
    bool blink = false;
    int slot = 0;  // its place in the tiling (ReminderPlace)
};

const ControlSpec kControls[] = {
    {"Command1", 0, kControlButton, L"确定", 204, 120, 55, 25},
    TimerControl("Timer1", kBlinkTimer, kBlinkMs),
};

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
    const FontSpec font{L"Microsoft YaHei", 12, false};
    const Argb white{255, 255, 255, 255};
    DrawTextIn(c, WideFromGbk(note.firstText), kFirstLine, font, white, kTextSingleLine | kTextNoClip);
    DrawTextIn(c, WideFromGbk(note.secondText), kSecondLine, font, white, kTextSingleLine | kTextNoClip);
}

void OnPaint(HWND window) {
    const ReminderNote* found = NoteOf(window);
    if (!found) {
        ValidateRect(window, nullptr);
        return;
    }
    const ReminderNote& note = *found;
    PaintBuffered(window, WindowScale(),
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
            if (HIWORD(wParam) == BN_CLICKED) PostMessageW(window, WM_CLOSE, 0, 0);
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
            other->secondText == note.secondText)
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

// Made at the screen's corner, then moved to its slot.
Form* CreatePopup(const ReminderNote& note) {
    FormSpec spec;
    spec.name = kPopupName;
    spec.className = kPopupClass;
    spec.caption = WideFromUtf8("提醒");
    spec.x = 0;
    spec.y = 0;
    spec.width = kClientWidth;
    spec.height = kClientHeight;
    spec.clientSize = true;
    spec.style = WS_POPUP | WS_BORDER;
    spec.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = PopupProc;
    spec.scale = WindowScale();
    Form* form = CreateForm(GetModuleHandleW(nullptr), spec);
    if (!form) return nullptr;
    SetFormState(*form, note);
    AddControls(*form, kControls);
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

void PlaySoundOf(int kind) {
    // Without SND_NODEFAULT a missing file plays the system's default sound instead.
    const std::wstring path = WideFromUtf8(ProgramFolderUtf8()) + WideFromGbk(ReminderSoundFile(kind));
    PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_LOOP | SND_ASYNC);
}

void FocusButton(HWND window) {
    const Form* form = FormOfWindow(window);
    if (HWND button = form ? ControlWindow(*form, "Command1") : nullptr) SetFocus(button);
}

// The same reminder again while its pop-up is still open (yesterday's alarm left unclosed): the
// pop-up comes to the front and sounds again, so the earlier one does not silence this one.
void RaiseAgain(HWND window, int kind) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    FocusButton(window);
    PlaySoundOf(kind);
}

}  // namespace

void RaiseReminder(int kind, const std::string& firstText, const std::string& secondText) {
    ReminderNote note;
    note.kind = kind;
    note.firstText = ReminderFieldText(firstText, kReminderFirstBytes);
    note.secondText = ReminderFieldText(secondText, kReminderSecondBytes);
    const DWORD now = GetTickCount();
    gLastRaiseTick = now != 0 ? now : 1;  // 0 means "handled"
    if (HWND open = OpenNoteLike(note)) return RaiseAgain(open, kind);
    note.slot = FirstFreeReminderSlot(TakenSlots());
    const Form* form = CreatePopup(note);
    if (!form) return;
    HWND window = form->window;
    PlaceInSlot(window, note.slot);
    ShowWindow(window, SW_SHOW);
    FocusButton(window);
    PlaySoundOf(kind);
}

void StopReminderSound() {
    PlaySoundW(nullptr, nullptr, SND_PURGE);
}
