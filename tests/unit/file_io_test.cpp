// Whole-file reads and crash-safe replacement.
#include "forms/file_io.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <vector>

#include "tests/unit/test_support.h"

namespace {

std::vector<std::string> FolderEntries(const ScratchDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(U8Path(dir.path()))) {
        names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Turns the simulated crash off again whatever the test's outcome.
class WriteFaultTest : public ::testing::Test {
  protected:
    void TearDown() override { SetWriteFaultForTesting(-1); }
    ScratchDir dir_;
};

}  // namespace

TEST(ReadWholeFile, MissingFileOrFolderFailsWithAnEmptyBuffer) {
    ScratchDir dir;
    std::string bytes = "stale";
    EXPECT_FALSE(ReadWholeFile(dir.File("missing.ini"), &bytes));
    EXPECT_EQ(bytes, "");
    bytes = "stale";
    EXPECT_FALSE(ReadWholeFile(dir.path(), &bytes));
    EXPECT_EQ(bytes, "");
}

TEST(ReplaceFileAtomically, CreatesAndReplacesWithTheExactBytes) {
    ScratchDir dir;
    const std::string path = dir.File("闹钟数据.INI");
    const std::string first = std::string("a\0b\r\n\x80\xFF\n", 8) + std::string(100000, 'x');
    ASSERT_TRUE(ReplaceFileAtomically(path, first));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(path, &read));
    EXPECT_EQ(read, first);

    ASSERT_TRUE(ReplaceFileAtomically(path, "short"));
    EXPECT_EQ(ReadBytes(path), "short");
    ASSERT_TRUE(ReplaceFileAtomically(path, ""));
    ASSERT_TRUE(ReadWholeFile(path, &read));
    EXPECT_EQ(read, "");
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"闹钟数据.INI"});
}

TEST(ReplaceFileAtomically, FailureLeavesNoFileBehind) {
    ScratchDir dir;
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("no-such-folder/data.ini"), "x"));
    EXPECT_FALSE(PathExists(dir.File("no-such-folder")));

    // The rename cannot replace a folder that has files in it: the temporary file must go again.
    std::filesystem::create_directory(U8Path(dir.File("taken")));
    WriteBytes(dir.File("taken/inner"), "keep");
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("taken"), "x"));
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"taken"});
    EXPECT_EQ(ReadBytes(dir.File("taken/inner")), "keep");
}

#ifndef _WIN32
TEST(ReplaceFileAtomically, KeepsThePermissionsOfTheReplacedFile) {
    ScratchDir dir;
    const std::string path = dir.File("data.ini");
    WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(ReplaceFileAtomically(path, "new"));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
#endif

TEST(PathExists, TellsFilesAndFoldersFromMissingNames) {
    ScratchDir dir;
    WriteBytes(dir.File("f"), "");
    EXPECT_TRUE(PathExists(dir.File("f")));
    EXPECT_TRUE(PathExists(dir.path()));
    EXPECT_FALSE(PathExists(dir.File("g")));
}

TEST_F(WriteFaultTest, InterruptedSaveLeavesTheOldFileWholeAndALaterSaveSucceeds) {
    const std::string path = dir_.File("data.ini");
    WriteBytes(path, "old content\r\n");
    SetWriteFaultForTesting(5);
    EXPECT_FALSE(ReplaceFileAtomically(path, "new content, longer\r\n"));
    EXPECT_EQ(ReadBytes(path), "old content\r\n");

    // The crash leaves its half-written temporary file beside the target, as a real one would.
    const std::vector<std::string> names = FolderEntries(dir_);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(ReadBytes(dir_.File(names[0] == "data.ini" ? names[1] : names[0])), "new c");

    SetWriteFaultForTesting(-1);
    EXPECT_TRUE(ReplaceFileAtomically(path, "new content, longer\r\n"));
    EXPECT_EQ(ReadBytes(path), "new content, longer\r\n");
}

TEST_F(WriteFaultTest, FaultBeforeTheFirstByteAndFaultPastTheEnd) {
    const std::string path = dir_.File("data.ini");
    SetWriteFaultForTesting(0);
    EXPECT_FALSE(ReplaceFileAtomically(path, "abc"));
    EXPECT_FALSE(PathExists(path));
    // A fault set beyond the content never strikes: the write completes.
    SetWriteFaultForTesting(3);
    EXPECT_TRUE(ReplaceFileAtomically(path, "abc"));
    EXPECT_EQ(ReadBytes(path), "abc");
}
