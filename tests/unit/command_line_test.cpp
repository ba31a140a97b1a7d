#include "setup/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    bool ok = false;
    SetupArguments arguments;
    std::string bad;
};

Parsed Parse(const std::string& line) {
    Parsed parsed;
    parsed.ok = ParseSetupArguments(line, &parsed.arguments, &parsed.bad);
    return parsed;
}

}  // namespace

TEST(CommandLine, NoArgumentsLeavesTheWizardAsItIs) {
    const Parsed parsed = Parse("\"C:\\下载 文件\\澜川软件安装.exe\"  ");
    EXPECT_TRUE(parsed.ok);
    EXPECT_FALSE(parsed.arguments.silent);
    EXPECT_FALSE(parsed.arguments.closeApps);
    EXPECT_TRUE(parsed.arguments.folder.empty());
    EXPECT_TRUE(parsed.arguments.logPath.empty());
}

TEST(CommandLine, FolderTakesTheRestOfTheLineWithItsSpaces) {
    const Parsed parsed = Parse("\"C:\\dl\\setup.exe\" /S /LOG=C:\\s.log /D=C:\\Program Files\\钟 伴  ");
    EXPECT_TRUE(parsed.ok);
    EXPECT_TRUE(parsed.arguments.silent);
    EXPECT_EQ(parsed.arguments.logPath, "C:\\s.log");
    EXPECT_EQ(parsed.arguments.folder, "C:\\Program Files\\钟 伴\\");
    // Quotes around it, which users add out of habit, are not part of the folder.
    EXPECT_EQ(Parse("setup.exe /D=\"C:\\a b\"").arguments.folder, "C:\\a b\\");
}

TEST(CommandLine, DashSpellingAndAnyCase) {
    const Parsed parsed = Parse("setup.exe -s -CloseApps -log=C:\\a.log -d=D:\\x");
    EXPECT_TRUE(parsed.ok);
    EXPECT_TRUE(parsed.arguments.silent);
    EXPECT_TRUE(parsed.arguments.closeApps);
    EXPECT_EQ(parsed.arguments.logPath, "C:\\a.log");
    EXPECT_EQ(parsed.arguments.folder, "D:\\x\\");
}

TEST(CommandLine, QuotesKeepSpacesInOtherValues) {
    EXPECT_EQ(Parse("setup.exe \"/LOG=C:\\my logs\\a.log\" /S").arguments.logPath, "C:\\my logs\\a.log");
    // A backslash before the closing quote stays a plain character.
    const Parsed parsed = Parse("setup.exe /LOG=\"C:\\my logs\\\" /S");
    EXPECT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.arguments.logPath, "C:\\my logs\\");
    EXPECT_TRUE(parsed.arguments.silent);
}

TEST(CommandLine, UnknownOrEmptyOptionsAreRefusedButSilentStillHolds) {
    Parsed parsed = Parse("setup.exe /X /S");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.bad, "/X");
    EXPECT_TRUE(parsed.arguments.silent);
    for (const char* line :
         {"setup.exe /LOG=", "setup.exe /S /D=", "setup.exe /S /D=D:\\", "setup.exe /S /D=abc",
          "setup.exe folder", "setup.exe /SILENT", "setup.exe /S=1"}) {
        EXPECT_FALSE(Parse(line).ok) << line;
    }
}

TEST(CommandLine, FolderMustComeLast) {
    Parsed parsed = Parse("setup.exe /D=C:\\a b /S");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.bad, "/D=C:\\a b /S");
    EXPECT_TRUE(parsed.arguments.silent);  // so no window shows for the mistake
    EXPECT_FALSE(Parse("setup.exe /S /D=C:\\a -log=x.log").ok);
    // A dash inside a name is no option.
    EXPECT_EQ(Parse("setup.exe /S /D=C:\\a -b").arguments.folder, "C:\\a -b\\");
}
