// What the high-contrast shim (contrast_shim.dll) and clock_driver share: the request message, the
// answer mark, and the black scheme the program sees while high contrast is on.
#pragma once

#include <windows.h>

constexpr const wchar_t* kContrastShimMessage = L"LcChimeTestHighContrast";  // wParam 1 on, 0 off
constexpr const wchar_t* kContrastShimProp = L"LcChimeTestHighContrastDone";   // 2 on, 1 off, 0 failed

struct ContrastShimColour {
    int index;
    COLORREF rgb;
};
// Every part in its own colour, so that a picture tells which part a pixel was drawn as.
constexpr ContrastShimColour kContrastShimScheme[] = {
    {COLOR_WINDOW, RGB(0, 0, 0)},          {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
    {COLOR_HIGHLIGHT, RGB(26, 235, 255)},  {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
    {COLOR_GRAYTEXT, RGB(63, 242, 63)},    {COLOR_BTNFACE, RGB(0, 0, 0)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},
};
