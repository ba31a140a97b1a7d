// GBK conversions and character-aware byte handling.
#include "forms/gbk.h"

#include <gtest/gtest.h>

namespace {

// Rare double-byte characters whose trail byte is an ASCII delimiter or letter.
const std::string kTrailPipe = "\x81\x7C";       // U+4E85
const std::string kTrailOpen = "\x81\x5B";       // U+4E55
const std::string kTrailClose = "\x81\x5D";      // U+4E5A
const std::string kTrailBackslash = "\x81\x5C";  // U+4E57
const std::string kTrailLetter = "\xB0\x61";     // U+766E

}  // namespace

TEST(GbkConversion, ChineseRoundTripsThroughUtf16AndUtf8) {
    const std::string gbk = "\xC4\xD6\xD6\xD3";
    EXPECT_EQ(Gbk("闹钟"), gbk);
    EXPECT_EQ(GbkToUtf16(gbk), u"闹钟");
    EXPECT_EQ(Utf16ToGbk(u"闹钟"), gbk);
    EXPECT_EQ(GbkToUtf8("a" + gbk + "=1"), "a闹钟=1");
    EXPECT_EQ(Utf8ToGbk("a闹钟=1"), "a" + gbk + "=1");
}

TEST(GbkConversion, EuroSignIsTheSingleByte0x80) {
    EXPECT_EQ(GbkToUtf16("\x80"), u"\u20AC");
    EXPECT_EQ(Utf16ToGbk(u"\u20AC"), "\x80");
    EXPECT_EQ(Gbk("5€"), "5\x80");
}

TEST(GbkConversion, CharactersWithDelimiterTrailBytesRoundTrip) {
    const std::string all = kTrailPipe + kTrailOpen + kTrailClose + kTrailBackslash + kTrailLetter;
    EXPECT_EQ(GbkToUtf16(all), u"\u4E85\u4E55\u4E5A\u4E57\u766E");
    EXPECT_EQ(Utf16ToGbk(GbkToUtf16(all)), all);
    EXPECT_EQ(Utf8ToGbk(GbkToUtf8(all)), all);
}

TEST(GbkConversion, UnreadableInputBecomesQuestionMarksKeepingTheRest) {
    EXPECT_EQ(GbkToUtf16("a\xFF"
                         "b"),
              u"a?b");
    EXPECT_EQ(GbkToUtf16("a\x81"), u"a?");  // lead byte cut off at the end
    EXPECT_EQ(Utf16ToGbk(u"x\u0E01y"), "x?y");
}

TEST(Utf8Conversion, MalformedInputBecomesReplacementCharactersAndPairsRoundTrip) {
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");  // overlong '/'
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(u"\U0001F600")), u"\U0001F600");
}

TEST(CutGbk, NeverEndsInsideADoubleByteCharacter) {
    const std::string text = "ab" + Gbk("闹钟") + kTrailPipe + "c" + kTrailOpen;
    const std::u16string wide = GbkToUtf16(text);
    for (size_t n = 0; n <= text.size() + 1; ++n) {
        const std::string cut = CutGbk(text, n);
        ASSERT_LE(cut.size(), n);
        ASSERT_EQ(text.compare(0, cut.size(), cut), 0);
        // A clean cut decodes to a prefix of the whole text, with no '?' from half a character.
        const std::u16string cutWide = GbkToUtf16(cut);
        ASSERT_EQ(wide.compare(0, cutWide.size(), cutWide), 0) << "cut at " << n;
        // And it is the longest such prefix: one more byte would fit only by splitting.
        if (cut.size() < text.size()) {
            ASSERT_GT(cut.size() + GbkCharLength(text, cut.size()), n);
        }
    }
}

TEST(CutGbk, NameOfFiftyBytesLosesTheCharacterThatWouldBeSplit) {
    std::string name = "a";
    for (int i = 0; i < 25; ++i)
        name += Gbk("钟");
    const std::string cut = CutGbk(name, 50);
    EXPECT_EQ(cut.size(), 49u);
    EXPECT_EQ(cut, name.substr(0, 49));
}

TEST(GbkFind, TrailBytesAreNeverTakenForDelimiters) {
    const std::string line = kTrailPipe + "|" + kTrailOpen + "[]" + kTrailClose;
    EXPECT_EQ(GbkFind(line, "|"), 2u);
    EXPECT_EQ(GbkFind(line, "[]"), 5u);
    EXPECT_EQ(GbkFind(line, "]"), 6u);
    EXPECT_EQ(GbkFind(line, "|", 3), std::string::npos);
    EXPECT_EQ(GbkFind(kTrailClose + kTrailBackslash, "]"), std::string::npos);
    EXPECT_EQ(GbkFind(kTrailBackslash, "\\"), std::string::npos);
    EXPECT_EQ(GbkFind(line, Gbk("闹")), std::string::npos);
}

TEST(GbkReplaceAll, RemovesOnlyWholeCharacterMatches) {
    const std::string text = kTrailOpen + "[]" + kTrailClose + "[][]x";
    EXPECT_EQ(GbkReplaceAll(text, "[]", ""), kTrailOpen + kTrailClose + "x");
    EXPECT_EQ(GbkReplaceAll(kTrailPipe + "|", "|", "/"), kTrailPipe + "/");
}
