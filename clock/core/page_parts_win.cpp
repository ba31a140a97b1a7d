#include "clock/core/page_parts_win.h"

#include <shlwapi.h>

#include <memory>


namespace {

constexpr float kCircleSize = 16;
constexpr float kPlusArm = 4.5f;   // half the length of each bar of the plus
constexpr float kHeaderInset = 5;  // the header's contents sit 5 below its top
constexpr float kHeaderTextX = 30;
constexpr float kHeaderCountX = 105;
constexpr float kHintX = 5;
constexpr float kHintHeight = 20;
constexpr float kFixedBandWidth = 200;

}  // namespace

void DrawRowLine(const Canvas& c, float y) {
    DrawLine(c, kRowLineLeft, y, kRowLineRight, y, kLineGrey, 1);
}

void DrawCircledPlus(const Canvas& c, float x, float y) {
    DrawEllipse(c, {x, y, kCircleSize, kCircleSize}, kBlack, 1.5f);
    const float cx = x + kCircleSize / 2, cy = y + kCircleSize / 2;
    DrawLine(c, cx - kPlusArm, cy, cx + kPlusArm, cy, kBlack, 1.5f);
    DrawLine(c, cx, cy - kPlusArm, cx, cy + kPlusArm, kBlack, 1.5f);
}

void DrawContrastEdge(const Canvas& c, const LogicalRect& box) {
    if (c.contrast) DrawRoundRect(c, box, 0, kBlack, 1);
}

void DrawCheckMark(const Canvas& c, const LogicalRect& box, Argb colour, float penWidth) {
    // The short stroke down to the foot, then the long one up to the right, as a hand writes √.
    const float left = box.x + box.w * 0.22f, footX = box.x + box.w * 0.42f, right = box.x + box.w * 0.8f;
    const float midY = box.y + box.h * 0.52f, footY = box.y + box.h * 0.75f, topY = box.y + box.h * 0.22f;
    DrawLine(c, left, midY, footX, footY, colour, penWidth);
    DrawLine(c, footX, footY, right, topY, colour, penWidth);
}

void DrawAddHeader(const Canvas& c, float top, float width, const AddHeader& header) {
    if (header.hot)
        FillRect(c, {0, top, width, kAddHeaderHeight}, header.pressed ? kPressGreen : kHoverGreen);
    const float y = top + kHeaderInset;
    DrawCircledPlus(c, kRowLineLeft + 2, y + 2);
    DrawTextIn(c, header.caption, {kHeaderTextX, y, 150, 20}, Heiti(12), kBlack,
               kTextVCenter | kTextSingleLine);
    DrawTextIn(c, WideFromGbk(header.count), {kHeaderCountX, y + 5, width - kHeaderCountX, 16}, YaHei(9), kBlack,
               kTextSingleLine | kTextNoClip);
    DrawRowLine(c, top + kAddHeaderHeight);
}

float DrawDragHint(const Canvas& c, float y) {
    DrawTextIn(c, WideFromGbk(DragHintText()), {kHintX, y, 180, kHintHeight}, YaHei(9), kHintGrey,
               kTextSingleLine | kTextNoClip);
    return y + kHintHeight;
}

void DrawBottomFade(const Canvas& c, float contentBottom, float width, float height) {
    if (contentBottom <= height) return;
    FillVerticalGradient(c, {0, height - kBottomFade, width, kBottomFade}, Argb{0, 255, 255, 255}, kWhite);
}

void DrawFixedButtonBand(const Canvas& c, float width) {
    FillRect(c, {0, kButtonBandTop, width > kFixedBandWidth ? width : kFixedBandWidth, kButtonBandHeight},
             kWhite);
}

Gdiplus::Bitmap* ProgramPicture() {
    static std::unique_ptr<Gdiplus::Bitmap> picture;
    static bool tried = false;
    if (tried) return picture.get();
    tried = true;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, L"PNG_SHIZUO128", L"PNG");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size == 0) return nullptr;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(bytes), size);
    if (!stream) return nullptr;
    picture.reset(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    if (picture && picture->GetLastStatus() != Gdiplus::Ok) picture.reset();
    return picture.get();
}
