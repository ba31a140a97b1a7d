#include "clock/services/about_win.h"

#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "clock/core/local_time_win.h"
#include "clock/core/page_parts_win.h"
#include "clock/core/program_info.h"
#include "clock/core/program_win.h"
#include "clock/services/about_texts.h"
#include "clock/services/components_win.h"
#include "clock/services/donation.h"
#include "clock/services/donation_download.h"
#include "clock/services/member_login_win.h"
#include "clock/services/update_rules.h"
#include "forms/dpi_win.h"
#include "forms/form_win.h"
#include "forms/message_box_win.h"
#include "forms/placement.h"
#include "forms/wide_win.h"

namespace {

constexpr const wchar_t* kAboutClass = L"钟伴_About";
constexpr int kWindowWidth = 600, kWindowHeight = 364;
constexpr UINT kListsArrived = WM_APP + 1;  // posted by the download thread when it stored lists

// Column splits and row height of the two lists, in pixels from each list's left edge.
constexpr float kRowHeight = 18;
constexpr float kLatestLeft = 5, kLatestTop = 188;
constexpr float kLatestSplits[] = {75, 178, 225};
constexpr float kRankingLeft = 380, kRankingTop = 23;
constexpr float kRankingSplits[] = {15, 150};
constexpr float kListRight = 589;  // both lists end 5 pixels inside the client area

// The buttons' and the text box's ids, as the window has always had them.
constexpr UINT_PTR kCmdContact = 103, kCmdMakerSite = 104, kTextId = 105, kCmdDonate = 106, kCmdOk = 107,
                   kCmdProgramPage = 108;

// Atomic, as the download thread reads it to post its note; trivially destroyed, so that thread
// may still read it while the program exits.
std::atomic<HWND> gWindow{nullptr};
std::atomic<bool> gWaiting{false};  // a download is under way: the window says so

// 澜川网站 and 确定 lie below the window's height, as the window has always had them: the title
// bar's close button closes it, Enter still presses 确定. Text1 gets its lines once it is made.
const ControlSpec kControls[] = {
    {"Command5", 0, kControlButton, L"联系澜川", 267, 153, 100, 23, kCmdContact},
    {"Command2", 0, kControlButton, L"澜川网站", 342, 392, 65, 23, kCmdMakerSite},
    {"Text1", 0, kControlEdit, L"", 4, 130, 252, 40, kTextId, true,
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 9, 0, L"SimSun"},
    {"Command3", 0, kControlButton, L"打赏", 267, 126, 49, 23, kCmdDonate},
    {"Command1", 0, kControlButton, L"确定", 426, 392, 44, 23, kCmdOk, true, BS_DEFPUSHBUTTON},
    {"Command4", 0, kControlButton, L"官网", 318, 126, 49, 23, kCmdProgramPage},
};

// The software the window was opened for, kept on its form as its state.
int SoftwareOf(HWND window) {
    const Form* form = FormOfWindow(window);
    const int* software = form ? FormState<int>(*form) : nullptr;
    return software ? *software : kSoftwareNumber;
}

// ---- Drawing ----

// "V" and the full version, "V1.3.8.847".
std::string VersionText() {
    return "V" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision) + "." + std::to_string(kVersionBuild);
}

Argb SystemColour(int index) {
    const COLORREF c = GetSysColor(index);
    return OpaqueRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The local date of a donation by the standard bias, as the lists have always shown it.
int StandardBiasMinutes() {
    TIME_ZONE_INFORMATION zone = {};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return 0;  // dates as UTC
    return static_cast<int>(zone.Bias + zone.StandardBias);
}

void DrawCell(const Canvas& c, const std::string& utf8, float left, float right, float top, unsigned align) {
    if (utf8.empty()) return;
    DrawTextIn(c, WideFromUtf8(utf8), {left + 2, top, right - left - 4, kRowHeight}, YaHei(9),
               SystemColour(COLOR_BTNTEXT), align | kTextVCenter | kTextSingleLine | kTextEllipsis);
}

// A framed row with its column lines.
void DrawRowFrame(const Canvas& c, float left, float top, const float* splits, size_t count) {
    const Argb line = SystemColour(COLOR_BTNSHADOW);
    DrawLine(c, left, top, kListRight, top, line, 1);
    DrawLine(c, left, top + kRowHeight, kListRight, top + kRowHeight, line, 1);
    DrawLine(c, left, top, left, top + kRowHeight, line, 1);
    DrawLine(c, kListRight, top, kListRight, top + kRowHeight, line, 1);
    for (size_t i = 0; i < count; ++i)
        DrawLine(c, left + splits[i], top, left + splits[i], top + kRowHeight, line, 1);
}

void PaintLists(const Canvas& c, const DonationRows& rows) {
    const Argb text = SystemColour(COLOR_BTNTEXT);
    DrawTextIn(c, L"对本软件最近打赏", {5, 170, 200, 18}, YaHei(9), text, kTextSingleLine | kTextNoClip);
    if (gWaiting)
        DrawTextIn(c, L"请稍等哦", {120, 170, 100, 18}, YaHei(9), SystemColour(COLOR_GRAYTEXT),
                   kTextSingleLine);
    for (int i = 0; i < kLatestDonationRows; ++i) {
        const float top = kLatestTop + i * kRowHeight;
        const float* s = kLatestSplits;
        const float x = kLatestLeft;
        DrawRowFrame(c, x, top, s, 3);
        const LatestDonationRow& row = rows.latest[i];
        DrawCell(c, row.date, x, x + s[0], top, kTextLeft);
        DrawCell(c, row.name, x + s[0], x + s[1], top, kTextLeft);
        DrawCell(c, row.amount, x + s[1], x + s[2], top, kTextRight);
        DrawCell(c, row.message, x + s[2], kListRight, top, kTextLeft);
    }
    DrawTextIn(c, L"对本软件累计打赏排名", {380, 5, 200, 18}, YaHei(9), text, kTextSingleLine | kTextNoClip);
    for (int i = 0; i < kDonorRankingRows; ++i) {
        const float top = kRankingTop + i * kRowHeight;
        const float* s = kRankingSplits;
        const float x = kRankingLeft;
        DrawRowFrame(c, x, top, s, 2);
        const DonorRankRow& row = rows.ranking[i];
        DrawCell(c, row.rank, x - 2, x + s[0] + 2, top, kTextCenter);
        DrawCell(c, row.name, x + s[0], x + s[1], top, kTextLeft);
        DrawCell(c, row.total, x + s[1], kListRight, top, kTextRight);
    }
}

void PaintAbout(const Canvas& c, float width, float height) {
    FillRect(c, {0, 0, width, height}, SystemColour(COLOR_BTNFACE));
    if (Gdiplus::Bitmap* picture = ProgramPicture()) {
        c.graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        c.graphics->DrawImage(picture,
                              Gdiplus::RectF(5 * c.scale.x, 5 * c.scale.y, 115 * c.scale.x, 115 * c.scale.y));
    }
    const unsigned centred = kTextCenter | kTextVCenter | kTextSingleLine;
    DrawTextIn(c, WideFromUtf8(kProgramCaption), {120, 7, 260, 40}, YaHei(18), SystemColour(COLOR_BTNTEXT),
               centred);
    DrawTextIn(c, WideFromUtf8(VersionText()), {120, 45, 260, 25}, YaHei(14), OpaqueRgb(0, 0, 255), centred);
    DrawTextIn(c, L"(64位)", {120, 70, 260, 25}, YaHei(10), OpaqueRgb(0, 153, 0), centred);
    PaintLists(c, SplitDonationData(DonationDataNow(), StandardBiasMinutes()));
}

void OnPaint(HWND window) {
    const Form* form = FormOfWindow(window);
    PaintBuffered(window, form ? form->scale : WindowScale(), PaintAbout);
}

// ---- The download ----

double RandomFraction() {
    std::mt19937_64 generator(
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

std::vector<std::string> ServiceAddresses() {
    std::vector<std::string> addresses;
    for (int i = 0; i < kServiceAddressCount; ++i)
        addresses.push_back(ServiceAddress(i));
    return addresses;
}

// The thread only stores the lists and posts a note; the about window open at that moment, if
// any, repaints (with the lists, or without them and without the waiting note). The thread is
// never joined and may outlive the program's objects at exit: it gets everything it needs by
// value, and touches only atomics and the download's own never-freed store. The note goes to this
// process's window, not to whatever window of the class FindWindow would find.
void StartDownload(int software) {
    if (!DonationDataNow().empty() || gWaiting.exchange(true)) return;
    const double random = RandomFraction();
    const DateValue now = ToDateValue(LocalDateTimeNow());
    try {
        std::thread([random, software, now, addresses = ServiceAddresses()] {
            DownloadDonationData(random, software, now, addresses);
            gWaiting = false;
            const HWND window = gWindow.load();
            if (window && IsWindow(window)) PostMessageW(window, kListsArrived, 0, 0);
        }).detach();
    } catch (const std::system_error&) {
        gWaiting = false;  // no thread to be had: the lists stay empty, as without a service
    }
}

// ---- Buttons ----

// A page the shell cannot open (no browser set for web addresses, say) is said, with its address,
// so that the user can open it by hand; a click that silently does nothing looks like a hang.
void OpenPage(HWND window, const std::string& address) {
    const HINSTANCE opened = ShellExecuteW(window, L"Open", WideFromUtf8(address).c_str(), L"_blank",
                                           ServiceFolder().c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(opened) > 32) return;  // 32 and below are the shell's error codes
    ShowWarning(window,
                L"无法打开网页：" + WideFromUtf8(address) +
                    L"\r\n\r\n请检查电脑是否设置了默认浏览器，或把这个地址复制到浏览器中打开。",
                L"钟伴");
}

// The window steps aside while the browser comes up, then shows again without taking the focus.
void OpenMakerSite(HWND window) {
    ShowWindow(window, SW_HIDE);
    OpenPage(window, MakerSiteAddress());
    PumpMessages();
    if (IsWindow(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
}

void Donate(HWND window) {
    const int software = SoftwareOf(window);
    const MemberLogin login = ReadMemberLogin(ServiceFolder());
    const std::string reply = GuestHallRequest(window, software, kGuestHallAboutRequest,
                                               DonateRequestText(software, login.account, login.password));
    if (StoreDonationData(UnpackServiceReply(reply))) InvalidateRect(window, nullptr, FALSE);
}

void OnCommand(HWND window, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    switch (LOWORD(wParam)) {
        case kCmdContact:
            OPENAIDPORT(window, L"", L"", SoftwareOf(window));
            return;
        case kCmdMakerSite:
            return OpenMakerSite(window);
        case kCmdDonate:
            return Donate(window);
        case kCmdOk:
        case IDOK:  // Enter, through the dialog keys of the message loop
        case IDCANCEL:
            DestroyWindow(window);
            return;
        case kCmdProgramPage:
            return OpenPage(window, ProgramPageAddress(SoftwareOf(window)));
        default:
            return;
    }
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the window
        case WM_CTLCOLORSTATIC:
            // The read-only text box on the window's face, as a label would be.
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_COMMAND:
            OnCommand(window, wParam);
            return 0;
        case kListsArrived:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_DESTROY:
            if (gWindow == window) gWindow = nullptr;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

FormSpec AboutForm(HWND owner) {
    FormSpec spec;
    spec.name = "Form关于";
    spec.className = kAboutClass;
    spec.caption = WideFromUtf8(std::string("关于：") + kProgramCaption);
    spec.width = kWindowWidth;
    spec.height = kWindowHeight;
    spec.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    spec.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    spec.owner = owner;
    spec.iconName = L"AAAAA_APPICON";
    spec.iconSizes[0] = 48;  // as the window has always shown it
    spec.iconSizes[1] = 32;
    spec.handler = AboutProc;
    // Over a shown owner, at its monitor's scale; else in the work area.
    const bool overOwner = owner && IsWindowVisible(owner);
    spec.scale =
        overOwner ? ScaleOfMonitor(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)) : WorkAreaScale();
    return spec;
}

// Over the main window when it is shown, else (opened from the tray) in the middle of the screen.
void PlaceOverOwner(HWND window, HWND owner) {
    if (owner && IsWindowVisible(owner)) return CentreOverOwner(window);
    RECT work, outer;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &outer);
    const ScreenRect area{work.left, work.top, work.right, work.bottom};
    const ScreenPoint at = CentredOver(area, outer.right - outer.left, outer.bottom - outer.top, area);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void OpenAboutWindow(HWND owner, int softwareNumber) {
    if (gWindow && IsWindow(gWindow)) {
        ShowWindow(gWindow, SW_SHOWNORMAL);
        SetForegroundWindow(gWindow);
        return;
    }
    Form* form = CreateForm(GetModuleHandleW(nullptr), AboutForm(owner));
    if (!form) return;
    gWindow = form->window;
    SetFormState(*form, softwareNumber);
    AddControls(*form, kControls);
    SetControlText(*form, "Text1", 0, WideFromGbk(AboutLines()));
    StartDownload(softwareNumber);
    PlaceOverOwner(form->window, owner);
    ShowWindow(form->window, SW_SHOWNORMAL);
    SetForegroundWindow(form->window);
}

bool AboutWindowMessage(MSG* message) {
    return gWindow && IsDialogMessageW(gWindow, message);
}
