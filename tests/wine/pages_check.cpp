// pages_check OUT_DIR: paints the main window's band and every page from sample lists into memory
// bitmaps at 96 and 144 dpi (active and inactive, tabs above and below, hovered and pressed
// elements, a scrolled page), saves each picture as a PNG in OUT_DIR for a person to look at, and
// checks pixels at known places. Prints one line per check and "N passed, M failed"; exit code 0
// only when all pass.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "clock/alarms/stopwatch.h"
#include "clock/core/pages_win.h"
#include "forms/gbk.h"
#include "tests/wine/check_report.h"

namespace {

const DateTime kNow{2026, 12, 8, 10, 0, 30};  // a Tuesday
const uint32_t kTickNow = 5000000;
const float kWindowHeight = 318;

// ---- Sample lists ----

AlarmEntry MakeAlarm(const char* name, int hour, int minute, bool enabled, const char* days) {
    AlarmEntry a;
    a.name = Gbk(name);
    a.hour = hour;
    a.minute = minute;
    a.enabled = enabled ? 1 : 0;
    for (int k = 1; k <= 7 && days[k - 1]; ++k)
        a.days[k] = days[k - 1] == '1' ? 1 : 0;
    return a;
}

DateEntry MakeDate(const char* name, int calendar, int y, int m, int d, int repeat, int daysLeft, int age) {
    DateEntry e;
    e.name = Gbk(name);
    e.calendar = calendar;
    e.year = y;
    e.month = m;
    e.day = d;
    e.hour = 8;
    e.repeat = repeat;
    e.daysLeft = daysLeft;
    e.age = age;
    return e;
}

// Row 0 rings in 30 s (red), rows 1 and 3 are on, row 2 is off; seven rows run past the bottom.
void FillAlarms() {
    Alarms = {MakeAlarm("开会", 10, 1, true, "0000000"),
              MakeAlarm("起床", 7, 30, true, "1111100"),
              MakeAlarm("午饭", 12, 0, false, "0000000"),
              MakeAlarm("晚上十点的这个闹钟名字特别长一定要截断", 22, 0, true, "1111111"),
              MakeAlarm("周末", 9, 0, false, "0000011"),
              MakeAlarm("下午茶", 15, 30, true, "0010100"),
              MakeAlarm("睡觉", 23, 0, false, "1111111")};
}

void FillLists() {
    FillAlarms();
    LapTimes = {130400, 5000, 8100, 61200};
    StopwatchStart = 12345;
    Timers = {{600, 0}, {180, kTickNow - 20000}, {60, 0}, {30, 0}, {1, 0}, {3605, kTickNow - 1000}};
    Birthdays = {MakeDate("妈妈", kGregorian, 1960, 12, 10, 0, 2, 66),
                 MakeDate("小明", kLunar, 2015, 5, 8, 0, 150, 11),
                 MakeDate("闰月出生的名字很长很长的朋友", kLunarLeap, 1990, 5, 8, 0, 300, 36)};
    Schedules = {MakeDate("交房租", kGregorian, 2026, 1, 10, kRepeatMonthly, 2, 0),
                 MakeDate("周例会", kGregorian, 2026, 12, 2, kRepeatWeekly, 1, 0),
                 MakeDate("结婚纪念日", kLunar, 2010, 8, 15, kRepeatYearly, 280, 0),
                 MakeDate("体检", kGregorian, 2026, 12, 1, kRepeatNone, -7, 0)};
    for (int k = 0; k < kOptionCount; ++k)
        OptionSlots[k] = BuiltInOption(k);
    SetOptionFlag(kOptionTopmost, true);
    SetOptionFlag(kOptionStartWithSystem, false);
}

// ---- Rendering ----

struct Variant {
    const char* name = "active";
    int page = 0;
    bool active = true;
    bool tabsBelow = false;
    int hotItem = 0;
    int pressState = 0;
    int scroll = 0;
    float height = kWindowHeight;
};

struct Picture {
    Scale scale;
    Gdiplus::Bitmap* bitmap = nullptr;
};

MainPaint PaintFor(const Variant& v) {
    MainPaint paint;
    paint.now = kNow;
    paint.tickNow = kTickNow;
    paint.serviceUnread = 3;
    paint.band.page = v.page;
    paint.band.active = v.active;
    paint.band.tabsBelow = v.tabsBelow;
    paint.band.hotItem = v.hotItem;
    paint.band.pressState = v.pressState;
    paint.band.appIcon = LoadIconW(nullptr, IDI_APPLICATION);
    ReadoutSource source;
    source.now = kNow;
    source.tickNow = kTickNow;
    source.laps = &LapTimes;
    source.timers = &Timers;
    source.birthdays = &Birthdays;
    source.schedules = &Schedules;
    source.caption = MainCaption(1, 3, 8);
    paint.band.readout = PageReadout(v.page, source);
    paint.page.scroll = v.scroll;
    paint.page.hotItem = v.hotItem;
    paint.page.pressState = v.pressState;
    paint.page.width = 193;
    paint.page.height = v.height;
    return paint;
}

// Paints the variant at dpi and saves it as page<k>-<name>-<dpi>.png; the caller owns the bitmap.
Gdiplus::Bitmap* Render(const Variant& v, int dpi, const std::wstring& outDir) {
    const Scale scale = ScaleFromDpi(dpi, dpi);
    auto* bitmap = new Gdiplus::Bitmap(ScaleX(scale, 193), ScaleY(scale, v.height), PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(bitmap);
        PaintMainWindow(MakeCanvas(graphics, scale), PaintFor(v));
    }
    const std::string name = "page" + std::to_string(v.page) + "-" + v.name + "-" + std::to_string(dpi);
    const std::wstring file = outDir + L"\\" + std::wstring(name.begin(), name.end()) + L"dpi.png";
    Check(SaveBitmapPng(*bitmap, file), name + ": saved as PNG");
    return bitmap;
}

// ---- Pixel tests (logical coordinates, scaled here) ----

Gdiplus::Color PixelAt(Gdiplus::Bitmap& b, const Scale& s, float x, float y) {
    Gdiplus::Color c;
    b.GetPixel(ScaleX(s, x), ScaleY(s, y), &c);
    return c;
}

bool Near(const Gdiplus::Color& c, Argb want, int tolerance = 2) {
    return std::abs(c.GetR() - want.r) <= tolerance && std::abs(c.GetG() - want.g) <= tolerance &&
           std::abs(c.GetB() - want.b) <= tolerance;
}

template <typename Predicate>
int CountPixels(Gdiplus::Bitmap& b, const Scale& s, const LogicalRect& r, Predicate match) {
    int count = 0;
    for (int y = ScaleY(s, r.y); y < ScaleY(s, r.y + r.h); ++y) {
        for (int x = ScaleX(s, r.x); x < ScaleX(s, r.x + r.w); ++x) {
            Gdiplus::Color c;
            b.GetPixel(x, y, &c);
            count += match(c) ? 1 : 0;
        }
    }
    return count;
}

bool IsDark(const Gdiplus::Color& c) {
    return c.GetR() < 100 && c.GetG() < 100 && c.GetB() < 100;
}
bool IsRed(const Gdiplus::Color& c) {
    return c.GetR() > 200 && c.GetG() < 90 && c.GetB() < 90;
}
bool IsBlue(const Gdiplus::Color& c) {
    return c.GetB() > 200 && c.GetR() < 120 && c.GetG() < 120;
}
bool IsNotWhite(const Gdiplus::Color& c) {
    return c.GetR() < 200 || c.GetG() < 200 || c.GetB() < 200;
}

Argb ToArgbColour(Rgb c) {
    return OpaqueRgb(c.r, c.g, c.b);
}

std::string At(const Variant& v, int dpi) {
    return "page " + std::to_string(v.page) + " " + v.name + " at " + std::to_string(dpi) + " dpi: ";
}

// The band's colour beside the readout, the white page under the band and readout text present.
void CheckBandAndPage(Gdiplus::Bitmap& b, const Scale& s, const Variant& v, int dpi) {
    const Rgb page = PageColour(v.page);
    const Argb band = ToArgbColour(v.active ? page : InactiveColour(page));
    const float top = static_cast<float>(ReadoutTop(v.tabsBelow));
    Check(Near(PixelAt(b, s, 1, top + 27), band), At(v, dpi) + "band colour");
    Check(Near(PixelAt(b, s, 190, 60), OpaqueRgb(255, 255, 255)), At(v, dpi) + "white page below the band");
    const int text =
        CountPixels(b, s, {0, top, 193, 30}, [&](const Gdiplus::Color& c) { return !Near(c, band, 40); });
    Check(text > 60 * dpi / 96, At(v, dpi) + "readout drawn");
}

void CheckAlarmRows(Gdiplus::Bitmap& b, const Scale& s, const Variant& v, int dpi) {
    const auto box = [](int row) { return LogicalRect{167, 80 + 35.0f * row + 12, 16, 16}; };
    const auto line = [](int row) { return LogicalRect{55, 80 + 35.0f * row + 3, 110, 18}; };
    Check(CountPixels(b, s, box(1), IsDark) > 8 * dpi / 96,
          At(v, dpi) + "check mark in an enabled alarm's box");
    Check(CountPixels(b, s, box(2), IsDark) == 0, At(v, dpi) + "no check mark in a disabled alarm's box");
    Check(CountPixels(b, s, line(0), IsRed) > 20 * dpi / 96, At(v, dpi) + "count-down under a minute in red");
    Check(CountPixels(b, s, line(1), IsRed) == 0 && CountPixels(b, s, line(1), IsDark) > 20 * dpi / 96,
          At(v, dpi) + "a later count-down in black");
    // Row 1 repeats Monday to Friday: five blue letters, Saturday and Sunday grey.
    const auto days = [](int first, int count) {
        return LogicalRect{40 + 15.0f * first, 80 + 35 + 20, 15.0f * count, 15};
    };
    Check(CountPixels(b, s, days(1, 5), IsBlue) > 40 * dpi / 96 &&
              CountPixels(b, s, days(6, 2), IsBlue) == 0 &&
              CountPixels(b, s, days(6, 2), IsNotWhite) > 10 * dpi / 96,
          At(v, dpi) + "week days drawn, the set ones blue");
}

void CheckTimerRows(Gdiplus::Bitmap& b, const Scale& s, const Variant& v, int dpi) {
    // Display row 0 is the newest timer (3605 s, running); row 4 is the 180-s one, running too.
    const auto box = [](int row) { return LogicalRect{137, 80 + 30.0f * row + 8, 16, 16}; };
    Check(
        CountPixels(b, s, box(0), IsDark) > 8 * dpi / 96 && CountPixels(b, s, box(4), IsDark) > 8 * dpi / 96,
        At(v, dpi) + "running timers checked");
    Check(CountPixels(b, s, box(1), IsDark) == 0, At(v, dpi) + "a stopped timer unchecked");
}

void CheckSettingsRows(Gdiplus::Bitmap& b, const Scale& s, const Variant& v, int dpi) {
    const Argb knobOn = OpaqueRgb(0, 191, 255);
    Check(Near(PixelAt(b, s, 176, 50 + 11), knobOn), At(v, dpi) + "option 0 switch on");
    Check(!Near(PixelAt(b, s, 176, 72 + 11), knobOn, 40) && !Near(PixelAt(b, s, 164, 72 + 11), knobOn, 40),
          At(v, dpi) + "option 1 switch off");
}

// Row 2 has 300 days left in the large face: all three digits, so ink reaches left of x 158.
void CheckBirthdayDays(Gdiplus::Bitmap& b, const Scale& s, const Variant& v, int dpi) {
    const auto light = [](const Gdiplus::Color& c) {
        return c.GetR() > 200 && c.GetG() < 190 && c.GetB() < 190;
    };
    Check(CountPixels(b, s, {143, 80 + 76 + 5, 15, 28}, light) > 10 * dpi / 96,
          At(v, dpi) + "a three-digit day count drawn whole");
}

void CheckPage(const Variant& v, int dpi, const std::wstring& outDir) {
    Gdiplus::Bitmap* b = Render(v, dpi, outDir);
    const Scale s = ScaleFromDpi(dpi, dpi);
    CheckBandAndPage(*b, s, v, dpi);
    if (v.page == 0) CheckAlarmRows(*b, s, v, dpi);
    if (v.page == 2) CheckTimerRows(*b, s, v, dpi);
    if (v.page == 3) CheckBirthdayDays(*b, s, v, dpi);
    if (v.page == kSettingsPage) CheckSettingsRows(*b, s, v, dpi);
    delete b;
}

// ---- Hover, press, scroll and fade ----

void CheckHoveredTab(int dpi, const std::wstring& outDir, int pressState) {
    Variant v;
    v.name = pressState ? "tab-pressed" : "tab-hovered";
    v.page = 3;
    v.hotItem = kFirstTabItem + 1;
    v.pressState = pressState;
    Gdiplus::Bitmap* b = Render(v, dpi, outDir);
    const Scale s = ScaleFromDpi(dpi, dpi);
    const Argb want = ToArgbColour(TabHoverColour(PageColour(3), pressState == 1));
    Check(Near(PixelAt(*b, s, 32 + 2, 2), want) && Near(PixelAt(*b, s, 63, 18), want),
          At(v, dpi) + "hovered tab filled with the hover colour");
    Check(!Near(PixelAt(*b, s, 64 + 2, 2), want, 10), At(v, dpi) + "the next tab not filled");
    delete b;
}

void CheckCloseButton(int dpi, const std::wstring& outDir) {
    Variant v;
    v.name = "close-hovered";
    v.page = kSettingsPage;
    v.hotItem = kCloseItem;
    Gdiplus::Bitmap* b = Render(v, dpi, outDir);
    const Scale s = ScaleFromDpi(dpi, dpi);
    Check(Near(PixelAt(*b, s, 169, 20 + 14), OpaqueRgb(232, 17, 35), 6), At(v, dpi) + "close button red");
    delete b;
}

void CheckScrolledShadow(int dpi, const std::wstring& outDir) {
    Variant v;
    v.name = "scrolled";
    v.scroll = -70;
    Gdiplus::Bitmap* b = Render(v, dpi, outDir);
    const Scale s = ScaleFromDpi(dpi, dpi);
    const Gdiplus::Color under = PixelAt(*b, s, 190, 51);
    Check(under.GetR() < 245 && under.GetR() == under.GetB(), At(v, dpi) + "grey shadow under the band");
    Check(Near(PixelAt(*b, s, 190, 62), OpaqueRgb(255, 255, 255), 3), At(v, dpi) + "shadow over by y 58");
    delete b;
}

// Row 5's text line (y 258..276) lies in the lowest 10 pixels of a 272-high window: faded there,
// while a tall window shows it dark.
void CheckBottomFade(int dpi, const std::wstring& outDir) {
    const Scale s = ScaleFromDpi(dpi, dpi);
    Variant tall;
    tall.name = "tall";
    tall.height = 600;
    Variant cut;
    cut.name = "cut";
    cut.height = 272;
    Gdiplus::Bitmap* t = Render(tall, dpi, outDir);
    Gdiplus::Bitmap* c = Render(cut, dpi, outDir);
    const LogicalRect lastRows{55, 269, 110, 3};
    const int inTall = CountPixels(*t, s, lastRows, IsNotWhite);
    const int inCut = CountPixels(*c, s, lastRows, IsNotWhite);
    Check(inTall > 5 && inCut * 4 < inTall, At(cut, dpi) + "the lowest pixels fade out (" +
                                                std::to_string(inCut) + " vs " + std::to_string(inTall) +
                                                ")");
    delete t;
    delete c;
}

void CheckHoveredElements(int dpi, const std::wstring& outDir) {
    const Scale s = ScaleFromDpi(dpi, dpi);
    Variant v;
    v.name = "header-pressed";
    v.page = 3;
    v.hotItem = 9;
    v.pressState = 1;
    Gdiplus::Bitmap* b = Render(v, dpi, outDir);
    Check(Near(PixelAt(*b, s, 190, 60), OpaqueRgb(128, 224, 31)), At(v, dpi) + "pressed add header green");
    delete b;
    v.name = "row-hovered";
    v.page = 4;
    v.hotItem = 11;
    v.pressState = 0;
    b = Render(v, dpi, outDir);
    Check(Near(PixelAt(*b, s, 2, 80 + 38 + 20), OpaqueRgb(224, 224, 224)), At(v, dpi) + "hovered row grey");
    delete b;
    v.name = "button-hovered";
    v.page = 1;
    v.hotItem = kStopwatchRightItem;  // "暂 停" while running;
    b = Render(v, dpi, outDir);
    Check(!Near(PixelAt(*b, s, 100, 58), OpaqueRgb(255, 255, 255), 5) &&
              Near(PixelAt(*b, s, 90, 58), OpaqueRgb(255, 255, 255), 5),
          At(v, dpi) + "only the hovered half of the stopwatch button filled");
    delete b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pages_check OUT_DIR\n");
        return 2;
    }
    GdiplusSession gdiplus;
    Check(gdiplus.ok(), "GDI+ started");
    const std::string dir = argv[1];
    const std::wstring outDir(dir.begin(), dir.end());  // the test passes an ASCII folder
    CreateDirectoryW(outDir.c_str(), nullptr);
    FillLists();
    for (int dpi : {96, 144}) {
        for (int page = 0; page < kPageCount; ++page) {
            Variant v;
            v.page = page;
            CheckPage(v, dpi, outDir);
            v.name = "inactive";
            v.active = false;
            CheckPage(v, dpi, outDir);
            v.name = "tabs-below";
            v.active = true;
            v.tabsBelow = true;
            CheckPage(v, dpi, outDir);
        }
        CheckHoveredTab(dpi, outDir, 0);
        CheckHoveredTab(dpi, outDir, 1);
        CheckCloseButton(dpi, outDir);
        CheckScrolledShadow(dpi, outDir);
        CheckBottomFade(dpi, outDir);
        CheckHoveredElements(dpi, outDir);
    }
    return CheckReport();
}
