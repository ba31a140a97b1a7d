// The pages of the wizard: texts with a transparent background, the icon font's glyphs, the yellow
// panels and etched lines, in 96-dpi logical pixels scaled with the window's scale.
#include "setup/wizard_pages_win.h"

#include <string>

#include "forms/canvas_win.h"
#include "forms/gdi_handles_win.h"
#include "forms/wide_win.h"

namespace {

// The maker's web addresses shown in the header (the host is this program's to configure).
constexpr const char kMakerAddress[] = "lanchuan.example";
constexpr const char kMakerShortAddress[] = "lanchuan.example";

constexpr COLORREF kLightYellow = RGB(255, 255, 224);
constexpr COLORREF kBlack = RGB(0, 0, 0);

struct Painter {
    HDC dc;
    Scale scale;
};

int X(const Painter& p, int x) {
    return ScaleX(p.scale, x);
}
int Y(const Painter& p, int y) {
    return ScaleY(p.scale, y);
}

// A GDI font by face, points and weight, kept for the process (the pages repaint often).
HFONT Font(const Painter& p, const wchar_t* face, int points, bool bold) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(points, 96, 72);
    lf.lfHeight = -ScaleY(p.scale, -lf.lfHeight);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring resolved = wcscmp(face, L"ICONFONT") == 0 ? std::wstring(face) : ResolveFontFace(face);
    lstrcpynW(lf.lfFaceName, resolved.c_str(), LF_FACESIZE);
    static std::wstring keys[32];
    static HFONT fonts[32];
    const std::wstring key = resolved + L"|" + std::to_wstring(lf.lfHeight) + (bold ? L"b" : L"");
    for (int i = 0; i < 32; ++i) {
        if (keys[i] == key) return fonts[i];
        if (keys[i].empty()) {
            keys[i] = key;
            return fonts[i] = CreateFontIndirectW(&lf);
        }
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Text(const Painter& p, const std::string& utf8, int x, int y, const wchar_t* face, int points,
          COLORREF colour, bool bold = false) {
    Selection font(p.dc, Font(p, face, points, bold));
    SetTextColor(p.dc, colour);
    const std::wstring text = WideFromUtf8(utf8);
    TextOutW(p.dc, X(p, x), Y(p, y), text.c_str(), static_cast<int>(text.size()));
}

// Centred horizontally on one line at the top of the box.
void CentredText(const Painter& p, const std::string& utf8, int x, int y, int w, int h, const wchar_t* face,
                 int points, COLORREF colour, bool bold = false) {
    Selection font(p.dc, Font(p, face, points, bold));
    SetTextColor(p.dc, colour);
    const std::wstring text = WideFromUtf8(utf8);
    RECT box = {X(p, x), Y(p, y), X(p, x + w), Y(p, y + h)};
    DrawTextW(p.dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

void Glyph(const Painter& p, wchar_t glyph, int x, int y, int points, COLORREF colour) {
    Selection font(p.dc, Font(p, L"ICONFONT", points, false));
    SetTextColor(p.dc, colour);
    TextOutW(p.dc, X(p, x), Y(p, y), &glyph, 1);
}

void Fill(const Painter& p, int x, int y, int w, int h, COLORREF colour) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    RECT r = {X(p, x), Y(p, y), X(p, x + w), Y(p, y + h)};
    FillRect(p.dc, &r, brush.get());
}

void Line(const Painter& p, int x1, int x2, int y, int colourIndex) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(colourIndex)));
    Selection selected(p.dc, pen.get());
    MoveToEx(p.dc, X(p, x1), Y(p, y), nullptr);
    LineTo(p.dc, X(p, x2), Y(p, y));
}

constexpr const wchar_t* kYaHei = L"Microsoft YaHei";
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kDarkGreen = RGB(0, 100, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// The page's frame, in 96-dpi pixels: the yellow header band and its rule, and the etched rule
// above the buttons.
constexpr int kPageWidth = 451;
constexpr int kHeaderHeight = 51;
constexpr int kFooterRuleY = 250;
constexpr int kFooterRuleFromX = 68;  // right of the maker's address on the inner pages
constexpr int kWelcomePanelX = 120, kWelcomePanelWidth = 330;
constexpr int kPanelTextX = 120, kPanelTextWidth = 325;  // the package's name and version, centred
constexpr int kNameY = 60, kNameHeight = 50, kVersionY = 104, kVersionHeight = 25;
constexpr int kMakerX = 318, kMakerWidth = 123, kMakerLineHeight = 18;
constexpr int kTitleX = 13, kTitleY = 7, kSubtitleX = 22, kSubtitleY = 33;
constexpr int kFrameX = 10, kFrameY = 150, kFrameRight = 434, kFrameBottom = 238;
constexpr int kFrameCaptionX = 18, kFrameCaptionDrop = 7;  // the etched edge runs through the caption
constexpr int kLabelX = 15, kLabelY = 200;

// A fixed text of a page: where it starts, its size in points and its colour.
struct PageText {
    const char* text;
    int x, y;
    int points;
    COLORREF colour;
    bool bold;
};

// A glyph of the icon font.
struct PageGlyph {
    wchar_t glyph;
    int x, y;
    int points;
    COLORREF colour;
};

constexpr PageGlyph kWelcomeGlyphs[] = {
    {0xE637, 0, 5, 90, RGB(165, 42, 42)},
    {0xE636, 0, 150, 90, kBlack},
    {0xE70B, 23, 185, 35, kDarkGreen},
};
constexpr PageText kWelcomeTexts[] = {
    {"欢迎安装澜川软件开发小组制作的软件", 10, 258, 12, RGB(128, 0, 128), false},
    {"澜川软件", 140, 218, 16, kDarkGreen, true},
    {"绝对保证无毒无害无污染", 238, 224, 12, kRed, false},
    {"单击 【下一步】 继续。", 281, 180, 9, kBlack, false},
    {"这个向导将指引你完成本软件的安装进程。", 130, 152, 9, kBlack, false},
};
constexpr PageText kFolderTexts[] = {
    {"安装向导将安装软件到下列文件夹中。要安装到不同的文件夹，单击【浏览】", 10, 63, 9, kBlack, false},
    {"选择其它文件夹。单击【下一步】", 10, 83, 9, kBlack, false},
    {"本软件为绿色无污染软件，安装只是复制文件到此文件夹中，并不会在其他任何地", 5, 109, 9, kGreen, false},
    {"方残留东西，所以无卸载。不要时直接删除即可，重装系统后也可以直接使用。", 5, 127, 9, kGreen, false},
};
constexpr PageText kExtractTexts[] = {
    {"正在解压缩文件到目标文件夹中...", 29, 93, 18, kBlack, false},
};
constexpr PageText kProgramFinishTexts[] = {
    {"请选择你要执行的操作", 13, 65, 9, kBlack, false},
    {"本软件无自动卸载程序，不需要时直接删除目标文件夹中所有文件即可。", 15, 189, 9, kBlack, false},
    {"注意：如果杀毒软件提示或者拦截，请点允许通过才可以正常使用", 15, 216, 9, kRed, false},
    {"澜川软件", 300, 109, 16, kGreen, true},
    {"绝对保证无毒无害无污染", 253, 138, 12, kGreen, false},
};
constexpr PageText kUnpackedFinishTexts[] = {
    {"澜川软件", 150, 90, 24, kGreen, true},
    {"绝对保证无毒无害无污染", 103, 138, 16, kGreen, false},
    {"安装其实就是解压缩文件, 不用时直接删除即可。", 15, 189, 9, kBlack, false},
    {"已经完成安装工作, 点击完成退出。", 230, 216, 9, kBlue, false},
};

template <size_t N>
void Texts(const Painter& p, const PageText (&texts)[N]) {
    for (const PageText& t : texts)
        Text(p, t.text, t.x, t.y, kYaHei, t.points, t.colour, t.bold);
}

void EtchedRule(const Painter& p, int fromX, int y) {
    Line(p, fromX, kPageWidth, y, COLOR_BTNSHADOW);
    Line(p, fromX, kPageWidth, y + 1, COLOR_BTNHIGHLIGHT);
}

void WelcomePage(const Painter& p, const WizardState& w) {
    Fill(p, kWelcomePanelX, 0, kWelcomePanelWidth, kFooterRuleY, kLightYellow);
    EtchedRule(p, 0, kFooterRuleY);
    for (const PageGlyph& g : kWelcomeGlyphs)
        Glyph(p, g.glyph, g.x, g.y, g.points, g.colour);
    CentredText(p, "欢迎您使用澜川软件，即将安装以下软件", kPanelTextX, 20, kPanelTextWidth, 25, kYaHei, 12,
                kBlack);
    Texts(p, kWelcomeTexts);
    if (!w.packageRead) return;
    CentredText(p, w.info.name, kPanelTextX, kNameY, kPanelTextWidth, kNameHeight, kYaHei, 18, kBlue);
    CentredText(p, VersionLine(w.info), kPanelTextX, kVersionY, kPanelTextWidth, kVersionHeight, kYaHei, 9,
                kBlue);
}

void Header(const Painter& p, const WizardState& w) {
    Fill(p, 0, 0, kPageWidth - 1, kHeaderHeight, kLightYellow);
    Glyph(p, 0xE70B, 270, 3, 34, RGB(0, 0, 139));
    CentredText(p, "澜川软件开发小组", kMakerX, 15, kMakerWidth, kMakerLineHeight, kYaHei, 11, kBlack, true);
    CentredText(p, kMakerAddress, kMakerX, 30, kMakerWidth, kMakerLineHeight, kYaHei, 10, kBlack, true);
    Line(p, 0, kPageWidth, kHeaderHeight, COLOR_BTNSHADOW);
    EtchedRule(p, kFooterRuleFromX, kFooterRuleY);
    Text(p, kMakerShortAddress, 12, 242, kYaHei, 9, GetSysColor(COLOR_BTNSHADOW));
    Text(p, w.header.title, kTitleX, kTitleY, L"黑体", 14, kBlack, true);
    Text(p, w.header.subtitle, kSubtitleX, kSubtitleY, kYaHei, 9, kBlack);
}

void FolderPage(const Painter& p) {
    Texts(p, kFolderTexts);
    // Frame1, drawn by the window: an etched rectangle with its caption on the top edge.
    RECT frame = {X(p, kFrameX), Y(p, kFrameY) + Y(p, kFrameCaptionDrop), X(p, kFrameRight), Y(p, kFrameBottom)};
    DrawEdge(p.dc, &frame, EDGE_ETCHED, BF_RECT);
    Selection font(p.dc, Font(p, kYaHei, 9, false));
    SetBkMode(p.dc, OPAQUE);
    SetBkColor(p.dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(p.dc, kBlack);
    const std::wstring caption = L" " + WideFromUtf8("选择目标文件夹") + L" ";
    TextOutW(p.dc, X(p, kFrameCaptionX), Y(p, kFrameY), caption.c_str(), static_cast<int>(caption.size()));
    SetBkMode(p.dc, TRANSPARENT);
}

void ExtractPage(const Painter& p, const WizardState& w) {
    Texts(p, kExtractTexts);
    Text(p, w.label, kLabelX, kLabelY, kYaHei, 9, kBlack);
}

void FinishPage(const Painter& p, const WizardState& w) {
    if (IsDecompressOnly(w.info)) {
        Texts(p, kUnpackedFinishTexts);
    } else {
        Texts(p, kProgramFinishTexts);
    }
}

}  // namespace

void LoadIconFont() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, L"FONT_ICONFONT", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD fonts = 0;
    if (bytes) AddFontMemResourceEx(bytes, SizeofResource(module, found), nullptr, &fonts);
}

void PaintWizard(HWND window, const WizardState& wizard) {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    MemoryDc memory(target);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    {
        Selection selected(memory.get(), bitmap.get());
        FillRect(memory.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(memory.get(), TRANSPARENT);
        const Painter p{memory.get(), wizard.scale};
        if (wizard.page == WizardPage::kWelcome) {
            WelcomePage(p, wizard);
        } else {
            Header(p, wizard);
            if (wizard.page == WizardPage::kFolder) FolderPage(p);
            if (wizard.page == WizardPage::kExtraction) ExtractPage(p, wizard);
            if (wizard.page == WizardPage::kFinish) FinishPage(p, wizard);
        }
        BitBlt(target, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
}
