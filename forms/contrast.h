// High contrast: while the user has it on, drawn windows take the system's colours instead of their
// own. Painters keep naming their own colours; each one is turned into the system colour that plays
// its part, so a page reads in any scheme, black on white or white on black.
#pragma once

#include "forms/colour.h"

// The system colours (GetSysColor) a drawing may use under high contrast.
struct ContrastPalette {
    Argb window;         // COLOR_WINDOW: the background
    Argb windowText;     // COLOR_WINDOWTEXT: text and lines on it
    Argb highlight;      // COLOR_HIGHLIGHT: every coloured area (band, buttons, switches, hover)
    Argb highlightText;  // COLOR_HIGHLIGHTTEXT: text and marks drawn light on a coloured area
    Argb grayText;       // COLOR_GRAYTEXT: grey hints and disabled entries
};

enum class ColourUse { kFill, kText, kLine };

// The palette's colour for colour drawn as use:
//   fills: light ones (every channel 192 or more) become the window colour with their alpha kept,
//   a thin wash or shadow (alpha below 128) is left out, any other becomes the highlight;
//   text: light becomes the highlight's text colour, a neutral grey the grey text, any other the
//   window text; lines: light the highlight's text colour, any other the window text.
// A fully transparent colour stays as it is.
Argb ContrastColour(const ContrastPalette& palette, Argb colour, ColourUse use);
