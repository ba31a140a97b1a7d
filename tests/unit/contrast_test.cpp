#include "forms/contrast.h"

#include <gtest/gtest.h>

namespace {

// A black scheme, as high-contrast users often pick: every role has its own colour here, so a
// wrong role shows.
const ContrastPalette kBlackScheme{OpaqueRgb(0, 0, 0), OpaqueRgb(255, 255, 255), OpaqueRgb(26, 235, 255),
                                   OpaqueRgb(0, 0, 1), OpaqueRgb(63, 242, 63)};

TEST(Contrast, EachPageColourPlaysItsPartInTheSystemScheme) {
    // The page's white and its pale hover become the background; the band's colour the highlight.
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(255, 255, 255), ColourUse::kFill), kBlackScheme.window);
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(224, 224, 224), ColourUse::kFill), kBlackScheme.window);
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(102, 87, 199), ColourUse::kFill), kBlackScheme.highlight);
    // A white fade keeps its transparency; a dark shadow is left out rather than tinting the page.
    EXPECT_EQ(ContrastColour(kBlackScheme, Argb{0x80, 255, 255, 255}, ColourUse::kFill).a, 0x80);
    EXPECT_EQ(ContrastColour(kBlackScheme, Argb{0x60, 0, 0, 0}, ColourUse::kFill).a, 0);

    // Text: black and red read as window text, grey hints as grey text, white on the band as the
    // highlight's text.
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(0, 0, 0), ColourUse::kText), kBlackScheme.windowText);
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(255, 0, 0), ColourUse::kText), kBlackScheme.windowText);
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(160, 160, 160), ColourUse::kText), kBlackScheme.grayText);
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(255, 255, 255), ColourUse::kText),
              kBlackScheme.highlightText);
    EXPECT_EQ(ContrastColour(kBlackScheme, OpaqueRgb(128, 128, 128), ColourUse::kLine), kBlackScheme.windowText);
}

}  // namespace
