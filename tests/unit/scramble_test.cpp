// The scrambled form, the tool that makes it, and the texts the program ships scrambled.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "clock/core/program_info.h"
#include "clock/services/about_texts.h"
#include "clock/services/scramble.h"
#include "forms/gbk.h"
#include "tools/scramble/commands.h"

namespace {

// Every byte value turns up across the lengths, NUL and 0xFF included.
std::string Bytes(size_t size, unsigned seed) {
    std::string text;
    for (size_t i = 0; i < size; ++i)
        text += static_cast<char>((seed + i * 37) & 0xFF);
    return text;
}

std::string ScrambledOrFail(const std::string& plain) {
    std::string form;
    EXPECT_TRUE(Scramble(plain, &form));
    return form;
}

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

ToolRun RunTool(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "lcscramble");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = RunLcscramble(args, in, out, err);
    return {code, out.str(), err.str()};
}

TEST(ScrambleTest, EveryLengthRoundTripsInPrintableCharacters) {
    for (unsigned seed : {0u, 200u}) {
        for (size_t size = 0; size <= 70; ++size) {
            const std::string plain = Bytes(size, seed + static_cast<unsigned>(size));
            const std::string form = ScrambledOrFail(plain);
            EXPECT_EQ(form.size(), 3 + (size + 2) / 3 * 4) << size;
            for (char c : form) {
                EXPECT_TRUE(c > ' ' && c <= '~' && c != '"') << size << " " << form;
                // Up to 21 bytes (28 characters) some offset always keeps the backslash out.
                if (size <= 21) {
                    EXPECT_NE(c, '\\') << size;
                }
            }
            EXPECT_GE(form[2], kScrambleFirstOffset);
            EXPECT_LE(form[2], kScrambleLastOffset);
            std::string back;
            ASSERT_TRUE(Unscramble(form, &back)) << size;
            EXPECT_EQ(back, plain) << size;
            EXPECT_EQ(ScrambledOrFail(plain), form);  // the same text, the same form
        }
    }
}

TEST(ScrambleTest, LayoutIsMaskedLengthOffsetAndSixBitGroups) {
    // 3 ^ 0x9C5 = 0x9C6: digits 39 'n' and 6 'G'. "Man" = 010011 010110 000101 101110 over '0'.
    EXPECT_EQ(Unscrambled("nG0CF5^"), "Man");
    // One byte: 1 ^ 0x9C5 = 0x9C4, "nE"; 'M' padded with zero bytes, offset '#'.
    EXPECT_EQ(Unscrambled("nE#63##"), "M");
    EXPECT_EQ(Unscrambled("nF#"), "");  // the empty text: 0 ^ 0x9C5 = 0x9C5
    std::string plain = "unchanged";
    EXPECT_TRUE(Unscramble("nF#", &plain));
    EXPECT_EQ(plain, "");
}

TEST(ScrambleTest, BadFormsAreRefusedWithoutReadingPastTheEnd) {
    const std::string good = ScrambledOrFail("about the clock");
    std::string plain = "unchanged";
    std::string cutShort = good.substr(0, good.size() - 4);
    std::string extra = good + "####";
    std::string belowOffset = good, aboveOffset = good, badDigit = good, badOffset = good, withNul = good;
    belowOffset[5] = static_cast<char>(good[2] - 1);
    aboveOffset[6] = static_cast<char>(good[2] + 64);
    badDigit[1] = '!';
    badOffset[2] = ' ';
    withNul[7] = '\0';
    for (const std::string& bad :
         {std::string(), std::string("n"), std::string("nF"), cutShort, extra, belowOffset, aboveOffset,
          badDigit, badOffset, withNul, std::string("nG0CF5"), std::string("nG@CF5^")}) {
        EXPECT_FALSE(Unscramble(bad, &plain)) << bad;
        EXPECT_EQ(plain, "unchanged");
    }
    EXPECT_EQ(Unscrambled(nullptr), "");
    EXPECT_EQ(Unscrambled(cutShort.c_str()), "");
}

TEST(ScrambleTest, LengthFieldLimitsTheText) {
    std::string form = "unchanged";
    EXPECT_FALSE(Scramble(std::string(kScrambleMaxLength + 1, 'x'), &form));
    EXPECT_EQ(form, "unchanged");
    const std::string longest = Bytes(kScrambleMaxLength, 7);
    std::string back;
    ASSERT_TRUE(Unscramble(ScrambledOrFail(longest), &back));
    EXPECT_EQ(back, longest);
}

TEST(ScrambleToolTest, ScramblesToLiteralsAndReadsThemBack) {
    ToolRun run = RunTool({"--gbk", u8"钟伴", "plain"});
    ASSERT_EQ(run.code, kScrambleExitOk) << run.err;
    std::istringstream lines(run.out);
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(Unscrambled(FormFromLiteral(first).c_str()), Gbk("钟伴"));
    EXPECT_EQ(Unscrambled(FormFromLiteral(second).c_str()), "plain");

    run = RunTool({"--unscramble", "--gbk", first});
    EXPECT_EQ(run.out, u8"钟伴\n");
    // Standard input, one text per line, CR LF line ends taken off.
    run = RunTool({}, "one\r\ntwo\n");
    ASSERT_EQ(run.code, kScrambleExitOk);
    EXPECT_EQ(RunTool({"--unscramble"}, run.out).out, "one\ntwo\n");
}

TEST(ScrambleToolTest, FailuresAndUsage) {
    ToolRun run = RunTool({"--unscramble", "nG0CF5^", "not a form"});
    EXPECT_EQ(run.code, kScrambleExitFailed);
    EXPECT_EQ(run.out, "Man\n");
    EXPECT_NE(run.err.find("not a form"), std::string::npos);
    EXPECT_EQ(RunTool({"--gbk", u8"钟\U0001F600"}).code, kScrambleExitFailed);  // no emoji in GBK
    EXPECT_EQ(RunTool({std::string(kScrambleMaxLength + 1, 'x')}).code, kScrambleExitFailed);
    EXPECT_EQ(RunTool({"--bogus"}).code, kScrambleExitUsage);
    EXPECT_EQ(RunTool({"--", "--gbk"}).out, "\"" + ScrambledOrFail("--gbk") + "\"\n");
}

TEST(ScrambleToolTest, LiteralsEscapeAndSplitLongForms) {
    const std::string form = std::string("a\\b\"c?\?=d") + std::string(200, 'x');
    const std::string source = CppLiteral(form);
    EXPECT_EQ(source.substr(0, 16), "\"a\\\\b\\\"c?\\?=dxxx");
    size_t lines = 1;
    for (size_t at = source.find('\n'); at != std::string::npos; at = source.find('\n', at + 1))
        ++lines;
    EXPECT_EQ(lines, 3u);  // 209 characters in pieces of 90
    EXPECT_EQ(FormFromLiteral(source), form);
    EXPECT_EQ(CppLiteral(""), "\"\"");
}

TEST(AboutTextsTest, ShippedFormsAreTheToolsOutputOfOurTexts) {
    const char* lines[] = {u8"钟伴：澜川出品的桌面闹钟与万年历。", u8"免费绿色软件，不写注册表，放心使用。",
                           u8"感谢每一位打赏和提建议的朋友！"};
    const AboutText ids[] = {AboutText::kLine1, AboutText::kLine2, AboutText::kLine3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(AboutTextOf(ids[i]), Gbk(lines[i])) << i;
        EXPECT_EQ(RunTool({"--gbk", lines[i]}).out, CppLiteral(ScrambledAboutText(ids[i])) + "\n") << i;
    }
    EXPECT_EQ(AboutLines(), Gbk(lines[0]) + "\r\n" + Gbk(lines[1]) + "\r\n" + Gbk(lines[2]));
    EXPECT_EQ(MakerSiteAddress(), kMakerSite);
    EXPECT_EQ(ProgramPageAddress(kSoftwareNumber), std::string(kMakerSite) + "/soft-190.htm");
}

TEST(AboutTextsTest, ServiceAddressesLieUnderTheMakersDomain) {
    // The domain of the web site's host, "www." taken off.
    std::string domain = kMakerSite;
    domain = domain.substr(domain.find("://") + 3);
    if (domain.compare(0, 4, "www.") == 0) domain = domain.substr(4);
    std::string hosts;
    for (int i = 0; i < kServiceAddressCount; ++i) {
        std::string host = ServiceAddress(i);
        // As the transport cleans them: scheme off, then nothing from the first '/', '\' or ':'.
        if (host.find("://") != std::string::npos) host = host.substr(host.find("://") + 3);
        host = host.substr(0, host.find_first_of("/\\:"));
        ASSERT_GT(host.size(), domain.size()) << i;
        EXPECT_EQ(host.substr(host.size() - domain.size() - 1), "." + domain) << i;
        EXPECT_EQ(hosts.find("|" + host + "|"), std::string::npos) << "twice: " << host;
        hosts += "|" + host + "|";
    }
    EXPECT_NE(ServiceAddress(2), "svc3." + domain);  // written with more than the host
    EXPECT_EQ(ServiceAddress(3), "");
    EXPECT_EQ(ServiceAddress(-1), "");
}

}  // namespace
