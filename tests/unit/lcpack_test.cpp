#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "setup/package.h"
#include "setup/package_io.h"
#include "setup/package_writer.h"
#include "tests/unit/test_support.h"
#include "tools/lcpack/commands.h"

namespace {

constexpr uint64_t kSecond = 10000000;
// 2024-02-29 23:59:59.5 UTC as a FILETIME.
constexpr uint64_t kLeapDayEvening = (1709251199ull + 11644473600ull) * kSecond + kSecond / 2;
// 1999-12-31 23:59:59.9999999 UTC: the list shows whole seconds, never rounded up.
constexpr uint64_t kMillenniumEve = (946684799ull + 11644473600ull) * kSecond + kSecond - 1;

// A file with content and last-write time set through the extraction's own file calls, so the
// time is exact on Linux and under Wine alike.
void MakeFile(const std::string& path, const std::string& content, uint64_t fileTime) {
    OutputFile* file = CreateOutputFile(path);
    ASSERT_NE(file, nullptr) << path;
    ASSERT_TRUE(WriteOutput(file, reinterpret_cast<const uint8_t*>(content.data()), content.size()));
    CloseOutputFile(file, fileTime);
}

void MakeFolder(const std::string& path) {
    std::filesystem::create_directories(U8Path(path));
}

uint64_t TimeOf(const std::string& path) {
    uint64_t fileTime = 0;
    EXPECT_TRUE(SourceFileTime(U8Path(path), &fileTime)) << path;
    return fileTime;
}

PackageInfo SampleInfo() {
    PackageInfo info;
    info.name = "钟伴";
    info.programFile = "钟伴.exe";
    info.version = "1.3.8";
    info.date = "2026-12-08";
    info.description = "桌面闹钟";
    return info;
}

std::string RandomBytes(size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// A scratch folder with a stub program and a source tree to pack.
struct PackFixture {
    ScratchDir dir;
    std::string stub = dir.File("stub.exe");
    std::string source = dir.File("源");
    std::string output = dir.File("安装.exe");
    PackFixture() { WriteBytes(stub, "MZ stand-in program"); }

    bool Pack(std::string* error, const PackageInfo& info = SampleInfo()) {
        return WriteInstaller(U8Path(stub), info, U8Path(source), U8Path(output), error);
    }
};

// The installer file as the commands read it.
struct Installer {
    explicit Installer(const std::string& path) : bytes(ReadFileBytes(path)) {}
    ~Installer() { ReleaseFileBytes(&bytes); }
    ByteView view() const { return ByteView{bytes.data, bytes.size}; }
    FileBytes bytes;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(PackageWriter, ExtractionGivesBackEveryFileWithItsContentAndTime) {
    PackFixture f;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"钟伴.exe", RandomBytes(200000)},
        {"空文件.txt", ""},
        {"文档/说明.txt", "第一行\r\n第二行\r\n"},
        {"文档/第二层/第三层/深处.log", std::string(300000, 'a') + "end"},
        {"文档/第二层/空.dat", ""},
    };
    MakeFolder(f.source + "/文档/第二层/第三层");
    MakeFolder(f.source + "/空文件夹");
    for (size_t i = 0; i < files.size(); ++i)
        MakeFile(f.source + "/" + files[i].first, files[i].second, kLeapDayEvening + i * 3 * kSecond);
    std::string error;
    ASSERT_TRUE(f.Pack(&error)) << error;

    const std::string installer = ReadBytes(f.output);
    const std::string stub = "MZ stand-in program";
    EXPECT_EQ(installer.compare(0, stub.size(), stub), 0);
    EXPECT_EQ(installer.compare(stub.size(), PackageMarker().size(), PackageMarker()), 0);
    // 钟伴.exe's random bytes are stored as they are, which a reader of LZMA blocks alone must refuse.
    EXPECT_EQ(installer.compare(stub.size() + PackageMarker().size(), 5, kStoredPackageMagic), 0);
    EXPECT_EQ(installer.substr(installer.size() - 2), "\r\n");

    std::ostringstream err;
    const std::string target = f.dir.File("目标");
    ASSERT_EQ(ExtractInstaller(Installer(f.output).view(), target, err), kExitOk) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(std::filesystem::is_directory(U8Path(target + "/空文件夹")));
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string path = target + "/" + files[i].first;
        EXPECT_EQ(ReadBytes(path), files[i].second) << files[i].first;
        EXPECT_EQ(TimeOf(path) / kSecond, kLeapDayEvening / kSecond + i * 3) << files[i].first;
    }
}

TEST(PackageWriter, ListsEachFolderBeforeWhatItHoldsAndSortsByName) {
    PackFixture f;
    MakeFolder(f.source + "/c/d");
    MakeFolder(f.source + "/a");
    for (const char* name : {"c/d/e.txt", "b.txt", "a/x.txt", "a.txt", "c/0.txt"})
        MakeFile(f.source + "/" + name, name, kLeapDayEvening);
    std::vector<SourceEntry> entries;
    std::string error;
    ASSERT_TRUE(CollectSourceEntries(U8Path(f.source), &entries, &error)) << error;
    std::vector<std::string> order;
    for (const SourceEntry& entry : entries)
        order.push_back((entry.folder ? "DIR " : "") + entry.path);
    EXPECT_EQ(order, (std::vector<std::string>{"DIR a", "a\\x.txt", "a.txt", "b.txt", "DIR c", "c\\0.txt",
                                               "DIR c\\d", "c\\d\\e.txt"}));

    // The list text reads back as the same entries, with no empty entry after the last line.
    const std::string text = FileListText(entries);
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    std::ostringstream package;
    ASSERT_TRUE(WritePackage(package, SampleInfo(), entries, &error)) << error;
    const std::string bytes = package.str();
    EXPECT_EQ(bytes.compare(0, 5, kPackageMagic), 0);  // LZMA blocks only: what every reader reads
    FileList list;
    ASSERT_TRUE(
        ReadFileList(ByteView{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, &list, &error));
    ASSERT_EQ(list.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(list.entries[i].folder, entries[i].folder);
        EXPECT_EQ(list.entries[i].path, entries[i].path);
        if (!entries[i].folder) {
            EXPECT_EQ(list.entries[i].fileTime, kLeapDayEvening);
        }
    }
}

TEST(PackageWriter, RefusesTimesTheListWouldMisreadAndNamesTheFile) {
    const uint64_t base = kLeapDayEvening & ~0xFFFFFFull;
    const std::vector<uint64_t> unreadable = {
        base | 0x524944,  // bytes 'D' 'I' 'R' first: read as a folder entry
        base | 0x0A0D00,  // CR LF inside: the line would break there
    };
    for (uint64_t fileTime : unreadable) {
        PackFixture f;
        MakeFolder(f.source);
        MakeFile(f.source + "/好.txt", "fine", kLeapDayEvening);
        MakeFile(f.source + "/坏时间.txt", "content", fileTime);
        WriteBytes(f.output, "earlier installer");
        std::string error;
        EXPECT_FALSE(f.Pack(&error));
        EXPECT_NE(error.find("坏时间.txt"), std::string::npos) << error;
        EXPECT_NE(error.find("touch"), std::string::npos) << error;
        // Nothing written: the earlier output stays, and no temporary file is left beside it.
        EXPECT_EQ(ReadBytes(f.output), "earlier installer");
        size_t files = 0;
        for (const auto& item : std::filesystem::directory_iterator(U8Path(f.dir.path())))
            files += item.is_regular_file() ? 1 : 0;
        EXPECT_EQ(files, 2u);
    }
}

#ifndef _WIN32
TEST(PackageWriter, RefusesANameWithALineBreak) {
    PackFixture f;
    MakeFolder(f.source + "/子");
    MakeFile(f.source + "/子/two\nlines.txt", "x", kLeapDayEvening);
    std::string error;
    EXPECT_FALSE(f.Pack(&error));
    EXPECT_NE(error.find("two\nlines.txt"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(U8Path(f.output)));
}
#endif

TEST(PackageWriter, RefusesFilesOfAGibibyteAndDescriptionsTheInstallerWouldMisread) {
    SourceEntry entry;
    entry.path = "大\\文件.bin";
    entry.fileTime = kLeapDayEvening;
    entry.size = (1u << 30) - 1;
    EXPECT_EQ(EntryProblem(entry), "");
    entry.size = 1u << 30;
    EXPECT_NE(EntryProblem(entry).find("大\\文件.bin"), std::string::npos);

    PackageInfo info = SampleInfo();
    EXPECT_EQ(DescriptionProblem(info), "");
    info.description = "两行\r\n说明";
    EXPECT_NE(DescriptionProblem(info), "");
    info.description.clear();
    info.name = "名\n称";
    EXPECT_NE(DescriptionProblem(info), "");
    // "名称=" is 3 characters: 96 more make a line of 99, the most the installer reads.
    info.name = std::string();
    for (int i = 0; i < 96; ++i)
        info.name += "字";
    EXPECT_EQ(DescriptionProblem(info), "");
    info.name += "x";
    EXPECT_NE(DescriptionProblem(info), "");

    PackFixture f;
    MakeFolder(f.source);
    MakeFile(f.source + "/a.txt", "a", kLeapDayEvening);
    std::string error;
    EXPECT_FALSE(f.Pack(&error, info));
    EXPECT_FALSE(std::filesystem::exists(U8Path(f.output)));
}

TEST(PackageWriter, RefusesAStubHoldingTheMarkerAndAnEmptySource) {
    PackFixture f;
    MakeFolder(f.source);
    std::string error;
    EXPECT_FALSE(f.Pack(&error));  // nothing to install: the installer would find no list
    MakeFile(f.source + "/a.txt", "a", kLeapDayEvening);
    WriteBytes(f.stub, "MZ" + PackageMarker() + "old package");
    EXPECT_FALSE(f.Pack(&error));
    EXPECT_NE(error.find("stub.exe"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(U8Path(f.output)));
}

TEST(LcpackList, PrintsTheDescriptionThenOneLinePerEntry) {
    PackFixture f;
    MakeFolder(f.source + "/文档");
    MakeFile(f.source + "/文档/说明.txt", "hello", kLeapDayEvening);
    MakeFile(f.source + "/钟伴.exe", std::string(70000, 'z'), kMillenniumEve);
    std::string error;
    ASSERT_TRUE(f.Pack(&error)) << error;
    std::ostringstream out, err;
    ASSERT_EQ(ListInstaller(Installer(f.output).view(), out, err), kExitOk) << err.str();
    EXPECT_EQ(Lines(out.str()), (std::vector<std::string>{"名称=钟伴", "文件名=钟伴.exe", "版本号=1.3.8",
                                                          "日期=2026-12-08", "说明=桌面闹钟", "DIR\t文档",
                                                          "FILE\t5\t2024-02-29 23:59:59\t文档\\说明.txt",
                                                          "FILE\t70000\t1999-12-31 23:59:59\t钟伴.exe"}));
}

TEST(LcpackList, FormatsFileTimesAsUtcCalendarTimes) {
    EXPECT_EQ(FormatFileTime(0), "1601-01-01 00:00:00");
    EXPECT_EQ(FormatFileTime(116444736000000000ull), "1970-01-01 00:00:00");
    EXPECT_EQ(FormatFileTime((951782400ull + 11644473600ull) * kSecond), "2000-02-29 00:00:00");
    EXPECT_EQ(FormatFileTime((4107542399ull + 11644473600ull) * kSecond + 9999999), "2100-02-28 23:59:59");
    EXPECT_EQ(FormatFileTime((4107542400ull + 11644473600ull) * kSecond), "2100-03-01 00:00:00");
}

TEST(LcpackList, ReportsTheInstallersFailureTexts) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"MZ no package here", "文件中没有安装包\n"},
        {"MZ" + PackageMarker() + "lczap\x01\0\0\0", "不是澜川压缩文件\n"},
        {"MZ" + PackageMarker() + std::string("lczip\0\0\0\0\0\0\0\0", 13), "无法获取文件列表\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        const ByteView file{reinterpret_cast<const uint8_t*>(c.first.data()), c.first.size()};
        EXPECT_EQ(ListInstaller(file, out, err), kExitDamaged);
        EXPECT_EQ(err.str(), c.second);
        EXPECT_EQ(VerifyInstaller(file, out, err), kExitDamaged);
    }
}

// A package whose list names an unsafe path between two good files.
TEST(LcpackExtract, ReportsRefusedEntriesAndKeepsTheFollowingBlocksInOrder) {
    PackFixture f;
    MakeFolder(f.source);
    std::vector<SourceEntry> entries(3);
    const char* names[] = {"first.txt", "..\\escape.txt", "last.txt"};
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].path = names[i];
        entries[i].source = U8Path(f.source + "/" + std::to_string(i));
        entries[i].fileTime = kLeapDayEvening;
        MakeFile(f.source + "/" + std::to_string(i), "content " + std::to_string(i), kLeapDayEvening);
    }
    std::ostringstream package;
    std::string error;
    ASSERT_TRUE(WritePackage(package, SampleInfo(), entries, &error)) << error;
    const std::string file = "MZ" + PackageMarker() + package.str();
    std::ostringstream err;
    const std::string target = f.dir.File("深/层/目标");
    EXPECT_EQ(
        ExtractInstaller(ByteView{reinterpret_cast<const uint8_t*>(file.data()), file.size()}, target, err),
        kExitFilesFailed);
    EXPECT_EQ(err.str(), "refused: ..\\escape.txt\n0 failed, 1 refused\n");
    EXPECT_EQ(ReadBytes(target + "/first.txt"), "content 0");
    EXPECT_EQ(ReadBytes(target + "/last.txt"), "content 2");
    EXPECT_FALSE(std::filesystem::exists(U8Path(f.dir.File("深/层/escape.txt"))));
}

// Packs a.txt (compressible, 1000 bytes) and b.txt; returns the installer's bytes and the
// position in them of b.txt's block.
std::string PackTwoFiles(PackFixture* f, size_t* secondBlock) {
    MakeFolder(f->source);
    MakeFile(f->source + "/a.txt", std::string(1000, 'a'), kLeapDayEvening);
    MakeFile(f->source + "/b.txt", std::string(1000, 'b'), kLeapDayEvening);
    std::string error;
    EXPECT_TRUE(f->Pack(&error)) << error;
    std::string bytes = ReadBytes(f->output);
    const ByteView view{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    ByteView package;
    FileList list;
    EXPECT_TRUE(LocatePackage(view, &package));
    EXPECT_TRUE(ReadFileList(package, &list, &error));
    uint64_t position = list.firstBlock;
    NextFileBlock(package, &position);
    *secondBlock = static_cast<size_t>(package.data - view.data) + position + 4;
    return bytes;
}

TEST(LcpackVerify, PassesAGoodPackageAndNamesEachBadBlock) {
    PackFixture f;
    size_t second = 0;
    std::string bytes = PackTwoFiles(&f, &second);
    auto verify = [](const std::string& file, std::string* out, std::string* err) {
        std::ostringstream o, e;
        const int code =
            VerifyInstaller(ByteView{reinterpret_cast<const uint8_t*>(file.data()), file.size()}, o, e);
        *out = o.str();
        *err = e.str();
        return code;
    };
    std::string out, err;
    EXPECT_EQ(verify(bytes, &out, &err), kExitOk);
    EXPECT_EQ(out, "2 files, 0 failed\n");
    EXPECT_EQ(err, "");

    // b.txt now declares 10 bytes more than its stream holds: the input ends first.
    std::string corrupt = bytes;
    ASSERT_EQ(static_cast<uint8_t>(corrupt[second]) & 3, 1);  // a two-byte size header
    const unsigned header = static_cast<uint8_t>(corrupt[second]) | static_cast<uint8_t>(corrupt[second + 1])
                                                                        << 8;
    corrupt[second] = static_cast<char>((header + 40) & 0xFF);
    corrupt[second + 1] = static_cast<char>((header + 40) >> 8);
    EXPECT_EQ(verify(corrupt, &out, &err), kExitDamaged);
    EXPECT_EQ(err, "failed: b.txt\n");

    // Cut inside b.txt's block (the trailing CR LF and more gone).
    EXPECT_EQ(verify(bytes.substr(0, second + 6), &out, &err), kExitDamaged);
    EXPECT_EQ(err, "truncated: b.txt\n");
    EXPECT_EQ(out, "2 files, 1 failed\n");
}

TEST(LcpackExtract, CountsEntriesNotWrittenAndWritesNothingFromADamagedPackage) {
    PackFixture f;
    size_t second = 0;
    const std::string bytes = PackTwoFiles(&f, &second);
    const auto extract = [](const std::string& file, const std::string& target, std::string* err) {
        std::ostringstream e;
        const int code =
            ExtractInstaller(ByteView{reinterpret_cast<const uint8_t*>(file.data()), file.size()}, target, e);
        *err = e.str();
        return code;
    };
    std::string err;
    EXPECT_EQ(extract(bytes, f.dir.File("good"), &err), kExitOk);
    EXPECT_EQ(err, "");

    // b.txt's stream ends before the size its header declares: found only while unpacking.
    std::string corrupt = bytes;
    corrupt[second] = static_cast<char>(static_cast<uint8_t>(corrupt[second]) + 40);
    EXPECT_EQ(extract(corrupt, f.dir.File("corrupt"), &err), kExitFilesFailed);
    EXPECT_EQ(err, "failed: b.txt\n1 failed, 0 refused\n");
    EXPECT_EQ(ReadBytes(f.dir.File("corrupt/a.txt")), std::string(1000, 'a'));
    EXPECT_EQ(ReadBytes(f.dir.File("corrupt/b.txt")), "");

    // Cut inside b.txt's block: refused by the check before the folder is made.
    EXPECT_EQ(extract(bytes.substr(0, second + 6), f.dir.File("cut"), &err), kExitDamaged);
    EXPECT_EQ(err, std::string(kDamagedPackageMessage) + "\n");
    EXPECT_FALSE(std::filesystem::exists(U8Path(f.dir.File("cut"))));
}

// A package from another writer, with controls in its texts: none reaches the terminal raw.
TEST(LcpackOutput, PrintsPackageTextsWithControlCharactersEscaped) {
    EXPECT_EQ(EscapeControls("a\x1B[2Jb\r\n\x7F\xC2\x9B"
                             "c 钟伴\\x"),
              "a^[[2Jb^M^J^?M-^[c 钟伴\\x");
    PackFixture f;
    MakeFolder(f.source);
    MakeFile(f.source + "/0", "content", kLeapDayEvening);
    std::vector<SourceEntry> entries(1);
    entries[0].path = "evil\x1B[31m.txt";
    entries[0].source = U8Path(f.source + "/0");
    entries[0].fileTime = kLeapDayEvening;
    PackageInfo info = SampleInfo();
    info.description = "line\rforged";
    std::ostringstream package;
    std::string error;
    ASSERT_TRUE(WritePackage(package, info, entries, &error)) << error;
    const std::string file = "MZ" + PackageMarker() + package.str();
    const ByteView view{reinterpret_cast<const uint8_t*>(file.data()), file.size()};

    std::ostringstream listed, listErr;
    EXPECT_EQ(ListInstaller(view, listed, listErr), kExitOk);
    EXPECT_NE(listed.str().find("说明=line^Mforged\n"), std::string::npos) << listed.str();
    EXPECT_NE(listed.str().find("\tevil^[[31m.txt\n"), std::string::npos) << listed.str();
    std::ostringstream none, extracted;
    EXPECT_EQ(ExtractInstaller(view, f.dir.File("out"), extracted), kExitFilesFailed);
    EXPECT_EQ(extracted.str(), "refused: evil^[[31m.txt\n0 failed, 1 refused\n");
    std::ostringstream verified;
    const std::string cut = file.substr(0, file.size() - 4);
    EXPECT_EQ(VerifyInstaller(ByteView{view.data, cut.size()}, none, verified), kExitDamaged);
    EXPECT_EQ(verified.str(), "truncated: evil^[[31m.txt\n");
}

TEST(LcpackList, PrintsTheDescriptionEvenWhenTheListCannotBeRead) {
    std::ostringstream package;
    std::string error;
    ASSERT_TRUE(WritePackage(package, SampleInfo(), {}, &error)) << error;  // an empty list
    const std::string file = "MZ" + PackageMarker() + package.str();
    std::ostringstream out, err;
    EXPECT_EQ(ListInstaller(ByteView{reinterpret_cast<const uint8_t*>(file.data()), file.size()}, out, err),
              kExitDamaged);
    EXPECT_EQ(Lines(out.str()), (std::vector<std::string>{"名称=钟伴", "文件名=钟伴.exe", "版本号=1.3.8",
                                                          "日期=2026-12-08", "说明=桌面闹钟"}));
    EXPECT_EQ(err.str(), std::string(kNoFileListMessage) + "\n");
}

TEST(LcpackCommandLine, CreatesListsAndRejectsBadArguments) {
    PackFixture f;
    MakeFolder(f.source);
    MakeFile(f.source + "/a.txt", "a", kLeapDayEvening);
    std::ostringstream out, err;
    EXPECT_EQ(RunLcpack({"lcpack", "create", "--stub", f.stub, "--name", "名", "--program", "解压缩",
                         "--description", "资料", f.source, f.output},
                        out, err),
              kExitOk)
        << err.str();
    EXPECT_EQ(RunLcpack({"lcpack", "list", f.output}, out, err), kExitOk) << err.str();
    EXPECT_NE(out.str().find("文件名=解压缩\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("说明=资料\n"), std::string::npos) << out.str();
    EXPECT_EQ(RunLcpack({"lcpack", "list", f.dir.File("missing.exe")}, out, err), kExitDamaged);

    const std::vector<std::vector<std::string>> bad = {
        {"lcpack"},
        {"lcpack", "frobnicate", f.output},
        {"lcpack", "list"},
        {"lcpack", "extract", f.output},
        {"lcpack", "verify", f.output, "extra"},
        {"lcpack", "create", "--name", "n", "--program", "p", f.source, f.output},
        {"lcpack", "create", "--stub", f.stub, "--name", "n", "--program", "p", f.source},
        {"lcpack", "create", "--stub", f.stub, "--name", "n", "--name", "m", "--program", "p", f.source,
         f.output},
        {"lcpack", "create", "--stub", f.stub, "--name", "n", "--program", "p", "--colour", "x", f.source,
         f.output},
        {"lcpack", "create", "--stub", f.stub, "--name", "n", "--program"},
        {"lcpack", "extract", "--jobs", "0", f.output, f.dir.File("out")},
        {"lcpack", "extract", f.output, f.dir.File("out"), "--jobs"},
    };
    for (const auto& args : bad) {
        std::ostringstream o, e;
        EXPECT_EQ(RunLcpack(args, o, e), kExitUsage) << args.size();
        EXPECT_NE(e.str().find("用法"), std::string::npos);
    }
}

}  // namespace
