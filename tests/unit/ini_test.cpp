// The INI layer: encodings, the section reader, the key reader and writer, section replacement,
// and saving through the crash-safe writer.
#include "forms/ini.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "forms/file_io.h"
#include "forms/gbk.h"
#include "tests/unit/test_support.h"

namespace {

const std::string kTrailOpen = "\x81\x5B";   // a character whose trail byte is '['
const std::string kTrailClose = "\x81\x5D";  // ... is ']'
const std::string kTrailUpper = "\xB0\x41";  // ... is 'A'
const std::string kTrailLower = "\xB0\x61";  // ... is 'a': a different character, not its lower case

// GBK text of UTF-8 lines, each ended by CR LF.
std::string GbkLines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines)
        out += Gbk(line) + "\r\n";
    return out;
}

std::string Utf16File(const std::string& utf8, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : Utf8ToUtf16(utf8)) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

std::string Utf16LeFile(const std::string& utf8) {
    return Utf16File(utf8, false);
}

std::string Key(const IniDocument& doc, const char* section, const char* key) {
    std::string value;
    return ReadKey(doc, Gbk(section), Gbk(key), &value) ? value : "<absent>";
}

std::string Section(const IniDocument& doc, const char* section) {
    return ReadSection(doc, Gbk(section));
}

const char kSample[] =
    "[设置]\r\n区域=2\r\n[闹钟]\r\n0=7时30分|一二三四五|是|起床|\r\n1=22时0分||否|关电脑|关机\r\n";

}  // namespace

TEST(IniText, LinesSplitAtLfAndAreWrittenWithCrLf) {
    const IniDocument doc = ParseIni("a\nb\r\n\r\nc=1");
    EXPECT_EQ(doc.encoding, IniEncoding::kAnsi);
    EXPECT_EQ(doc.lines, (std::vector<std::string>{"a", "b", "", "c=1"}));
    EXPECT_EQ(SerializeIni(doc), "a\r\nb\r\n\r\nc=1\r\n");
    EXPECT_TRUE(ParseIni("").lines.empty());
    EXPECT_EQ(SerializeIni(ParseIni("")), "");
}

TEST(IniText, UntouchedGbkBytesSurviveExactly) {
    // Bytes that are no valid GBK must come back too: there is no trip through UTF-16.
    const std::string bytes = "[x]\r\n0=" + kTrailOpen + "\x80\xFF\x81\r\n";
    EXPECT_EQ(SerializeIni(ParseIni(bytes)), bytes);
}

TEST(IniText, EveryEncodingReadsTheSame) {
    // A file without signature that is well-formed UTF-8 is taken as UTF-8, as editors save it now.
    // A big-endian file must not be read as GBK: the next save would mix two encodings in it.
    const std::string files[] = {Utf8ToGbk(kSample), "\xEF\xBB\xBF" + std::string(kSample),
                                 Utf16LeFile(kSample), kSample, Utf16File(kSample, true)};
    const IniEncoding encodings[] = {IniEncoding::kAnsi, IniEncoding::kUtf8, IniEncoding::kUtf16Le,
                                     IniEncoding::kUtf8NoSignature, IniEncoding::kUtf16Be};
    for (int i = 0; i < 5; ++i) {
        const IniDocument doc = ParseIni(files[i]);
        EXPECT_EQ(doc.encoding, encodings[i]);
        EXPECT_EQ(Section(doc, "闹钟"), Gbk("0=7时30分|一二三四五|是|起床|\r\n1=22时0分||否|关电脑|关机"));
        EXPECT_EQ(Key(doc, "设置", "区域"), "2");
        EXPECT_EQ(SerializeIni(doc), files[i]);
    }
}

TEST(IniText, WritesKeepTheFileEncoding) {
    IniDocument utf16 = ParseIni(Utf16LeFile(kSample));
    WriteKey(utf16, Gbk("设置"), Gbk("区域"), "4");
    ReplaceSection(utf16, Gbk("闹钟"), {{"0", Gbk("8时0分||是|早|")}});
    EXPECT_EQ(SerializeIni(utf16), Utf16LeFile("[设置]\r\n区域=4\r\n[闹钟]\r\n0=8时0分||是|早|\r\n"));

    IniDocument utf8 = ParseIni("\xEF\xBB\xBF[a]\nx=1");
    WriteKey(utf8, "a", "y", Gbk("中"));
    EXPECT_EQ(SerializeIni(utf8), "\xEF\xBB\xBF[a]\r\nx=1\r\ny=中\r\n");
    EXPECT_EQ(Key(utf8, "a", "y"), Gbk("中"));
}

TEST(IniText, Utf8WithoutSignatureStaysSoAndGbkIsNeverTakenForIt) {
    IniDocument utf8 = ParseIni("[a]\r\nx=中\r\n");
    WriteKey(utf8, "a", "y", Gbk("文"));
    EXPECT_EQ(SerializeIni(utf8), "[a]\r\nx=中\r\ny=文\r\n");
    // GBK text, ASCII-only text and UTF-8 cut inside a character are all read as ANSI.
    for (const std::string& bytes : {GbkLines({"[闹钟]", "0=7时30分|一二三四五|是|起床|"}),
                                     std::string("[a]\r\nx=1"), std::string("[a]\r\nx=\xE4\xB8")}) {
        EXPECT_EQ(ParseIni(bytes).encoding, IniEncoding::kAnsi);
    }
}

TEST(IniText, LineBreaksInValuesCannotForgeLines) {
    IniDocument doc = ParseIni("[a]\r\nx=1\r\n");
    WriteKey(doc, "a", "y", "2\r\n[b]\r\nz=3");
    ReplaceSection(doc, "c", {{"0", "name\nsecond"}});
    EXPECT_EQ(SerializeIni(doc), "[a]\r\nx=1\r\ny=2  [b]  z=3\r\n[c]\r\n0=name second\r\n");
}

TEST(IniText, Utf8LinesAreNotScannedAsGbk) {
    // In UTF-8, "中" ends in 0xAD, which GBK would read as a lead byte swallowing the '['.
    const IniDocument doc = ParseIni("\xEF\xBB\xBF[a]\r\n0=中[]x\r\n");
    EXPECT_EQ(ReadSection(doc, "a"), Gbk("0=中x"));
}

TEST(SectionReader, FirstSectionWinsAndHeaderCaseIsIgnored) {
    const IniDocument doc = ParseIni(GbkLines({" [updates]", "a=1", "[updates]", "b=2", "[Updates]", "c=3"}));
    EXPECT_EQ(ReadSection(doc, "UPDATES"), "b=2");
    EXPECT_EQ(ReadSection(doc, "Missing"), "");
}

TEST(SectionReader, KeepsKeyLinesTrimmedWithoutBracketPairs) {
    const IniDocument doc =
        ParseIni(GbkLines({"[生日]", "  ", "0=外婆|农历|1940年闰6月3日0时0分|提前3天提醒  ", "no equals sign",
                           "  1=a[]b[][]c ", "3=", "  [其他]  ", "4=not read"}));
    EXPECT_EQ(Section(doc, "生日"), Gbk("0=外婆|农历|1940年闰6月3日0时0分|提前3天提醒\r\n1=abc\r\n3="));
}

TEST(SectionReader, TrailBytesNeitherEndTheSectionNorLoseBrackets) {
    const IniDocument doc =
        ParseIni("[a]\r\n[" + kTrailClose + "\r\n0=" + kTrailOpen + "]\r\n1=x" + kTrailClose + "\r\n[b]\r\n");
    EXPECT_EQ(ReadSection(doc, "a"), "0=" + kTrailOpen + "]\r\n1=x" + kTrailClose);
}

TEST(SectionReader, CaseFoldingSparesTrailBytes) {
    const IniDocument doc = ParseIni("[" + kTrailLower + "]\r\nk=1\r\n");
    EXPECT_EQ(ReadSection(doc, kTrailLower), "k=1");
    EXPECT_EQ(ReadSection(doc, kTrailUpper), "");
    std::string value;
    EXPECT_FALSE(ReadKey(doc, kTrailUpper, "k", &value));
}

TEST(KeyReader, TrimsFoldsAndUnquotes) {
    const IniDocument doc = ParseIni(GbkLines({"[a]", "k", " Name = \"two words\" ", "q='x\"", "e=", "n=1",
                                               "n=2", " [ 设置 ] ", "区域=5", "[A]", "z=9"}));
    EXPECT_EQ(Key(doc, "A", "name"), "two words");
    EXPECT_EQ(Key(doc, "a", "q"), "'x\"");
    EXPECT_EQ(Key(doc, "a", "e"), "");
    EXPECT_EQ(Key(doc, "a", "n"), "1");
    EXPECT_EQ(Key(doc, "a", "k"), "<absent>");
    EXPECT_EQ(Key(doc, "a", "z"), "<absent>");  // only the first [a] is searched
    EXPECT_EQ(Key(doc, "设置", "区域"), "5");
    EXPECT_EQ(Key(doc, "b", "n"), "<absent>");
}

TEST(KeyWriter, ReplacesInsertsAndDeletesInTheFirstSection) {
    IniDocument doc = ParseIni(GbkLines({"; note", "[设置]", " X = 1", "y=2", "", "[设置]", "z=3"}));
    WriteKey(doc, Gbk("设置"), "x", "10");
    WriteKey(doc, Gbk("设置"), "y", "");
    WriteKey(doc, Gbk("设置"), "H", "300");
    WriteKey(doc, Gbk("设置"), "missing", "");
    EXPECT_EQ(SerializeIni(doc), GbkLines({"; note", "[设置]", "X=10", "H=300", "", "[设置]", "z=3"}));
}

TEST(KeyWriter, AppendsAMissingSectionAndNothingElse) {
    IniDocument doc = ParseIni("[a]\nk=1");
    WriteKey(doc, "b", "k", "");
    EXPECT_EQ(doc.lines.size(), 2u);
    WriteKey(doc, Gbk("设置"), Gbk("区域"), "3");
    EXPECT_EQ(SerializeIni(doc), "[a]\r\nk=1\r\n" + GbkLines({"[设置]", "区域=3"}));
}

TEST(SectionReplacement, ReplacesTheFirstSectionInPlace) {
    IniDocument doc =
        ParseIni(GbkLines({"[闹钟]", "0=old", "junk", "", "[秒表]", "0=95210", "[闹钟]", "0=second copy"}));
    ReplaceSection(doc, Gbk("闹钟"), {{"0", "a"}, {"1", ""}, {"2", "c"}});
    EXPECT_EQ(SerializeIni(doc),
              GbkLines({"[闹钟]", "0=a", "2=c", "[秒表]", "0=95210", "[闹钟]", "0=second copy"}));

    ReplaceSection(doc, Gbk("闹钟"), {});
    EXPECT_EQ(doc.lines[0], Gbk("[闹钟]"));
    EXPECT_EQ(Section(doc, "闹钟"), "");
    EXPECT_EQ(Section(doc, "秒表"), "0=95210");
}

TEST(SectionReplacement, AppendsAMissingSectionOnlyWithSomethingToWrite) {
    IniDocument doc = ParseIni("[a]\r\nk=1\r\n");
    ReplaceSection(doc, "b", {{"0", ""}});
    EXPECT_EQ(doc.lines.size(), 2u);
    ReplaceSection(doc, Gbk("计时"), {{"0", "600"}, {"1", "180"}});
    EXPECT_EQ(SerializeIni(doc), "[a]\r\nk=1\r\n" + GbkLines({"[计时]", "0=600", "1=180"}));
}

TEST(SectionDeletion, RemovesTheFirstCopySoTheNextIsRead) {
    IniDocument doc = ParseIni(GbkLines({"[x]", "a=1", "[日程]", "0=first", "[日程]", "0=second"}));
    DeleteSection(doc, Gbk("日程"));
    EXPECT_EQ(SerializeIni(doc), GbkLines({"[x]", "a=1", "[日程]", "0=second"}));
    DeleteSection(doc, "missing");
    EXPECT_EQ(doc.lines.size(), 4u);
}

TEST(IniFile, CreatedFileIsGbkWithCrLf) {
    ScratchDir dir;
    const std::string path = dir.File("闹钟数据.INI");
    IniDocument doc = LoadIniFile(path);
    EXPECT_EQ(doc.encoding, IniEncoding::kAnsi);
    EXPECT_TRUE(doc.lines.empty());
    WriteKey(doc, Gbk("设置"), Gbk("区域"), "1");
    ASSERT_TRUE(SaveIniFile(path, doc));
    EXPECT_EQ(ReadBytes(path), "[\xC9\xE8\xD6\xC3]\r\n\xC7\xF8\xD3\xF2=1\r\n");
}

TEST(IniFile, HandEditedFileKeepsUntouchedLinesThroughASave) {
    ScratchDir dir;
    const std::string path = dir.File("data.ini");
    WriteBytes(path, Utf8ToGbk("[闹钟]\n 0 =7时0分||是|起床| \n\n[设置]\n区域=1\n  note without equals\n"));
    IniDocument doc = LoadIniFile(path);
    WriteKey(doc, Gbk("设置"), Gbk("区域"), "2");
    ASSERT_TRUE(SaveIniFile(path, doc));
    EXPECT_EQ(ReadBytes(path),
              GbkLines({"[闹钟]", " 0 =7时0分||是|起床| ", "", "[设置]", "区域=2", "  note without equals"}));
}

TEST(IniFile, InterruptedSaveLeavesTheOldFileReadable) {
    ScratchDir dir;
    const std::string path = dir.File("data.ini");
    WriteBytes(path, GbkLines({"[计时]", "0=600", "1=180"}));
    IniDocument doc = LoadIniFile(path);
    ReplaceSection(doc, Gbk("计时"), {{"0", "30"}});

    SetWriteFaultForTesting(8);
    EXPECT_FALSE(SaveIniFile(path, doc));
    SetWriteFaultForTesting(-1);
    EXPECT_EQ(Section(LoadIniFile(path), "计时"), "0=600\r\n1=180");

    ASSERT_TRUE(SaveIniFile(path, doc));
    EXPECT_EQ(Section(LoadIniFile(path), "计时"), "0=30");
}
