// The installer package: blocks, the marker, the description and list, and extraction into a
// scratch folder through the platform's file functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "setup/lzma_block.h"
#include "setup/package.h"
#include "setup/package_io.h"
#include "tests/unit/test_support.h"

// The SDK's Types.h would bring in <windows.h> on Windows; it is only needed here to make a
// stream with an end mark, which the packer never writes.
#include <stddef.h>
#if defined(_WIN32)
#pragma push_macro("_WIN32")
#undef _WIN32
#define PACKAGE_TEST_HID_WIN32
#endif
#include <LzmaEnc.h>
#if defined(PACKAGE_TEST_HID_WIN32)
#pragma pop_macro("_WIN32")
#endif

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

Bytes Pack(const Bytes& content) {
    Bytes block;
    EXPECT_TRUE(PackBlock(content.data(), content.size(), &block));
    return block;
}

Bytes Pack(const std::string& text) {
    return Pack(ToBytes(text));
}

struct Unpacked {
    UnpackResult result;
    Bytes content;
    size_t largestPiece = 0;
    size_t peakMemory = 0;
};

Unpacked Unpack(const Bytes& block) {
    Unpacked out{};
    out.result = UnpackBlockTo(
        block.data(), block.size(),
        [&out](const uint8_t* data, size_t size) {
            out.content.insert(out.content.end(), data, data + size);
            out.largestPiece = std::max(out.largestPiece, size);
            return true;
        },
        &out.peakMemory);
    return out;
}

// A raw block: header for `size`, properties, stream; for blocks PackBlock would not write.
Bytes WithHeader(uint32_t size, const Bytes& propertiesAndStream) {
    const uint32_t value = size * 4 + 3;
    // Reserved first: GCC 12 warns of a bounds overrun (wrongly) when a 4-byte list grows here.
    Bytes block;
    block.reserve(4 + propertiesAndStream.size());
    for (int shift = 0; shift < 32; shift += 8)
        block.push_back(static_cast<uint8_t>(value >> shift));
    block.insert(block.end(), propertiesAndStream.begin(), propertiesAndStream.end());
    return block;
}

// Properties and stream of a packed block, without its size header.
Bytes Body(const Bytes& block) {
    uint32_t size = 0;
    unsigned header = 0;
    EXPECT_TRUE(BlockDeclaredSize(block.data(), block.size(), &size, &header));
    return Bytes(block.begin() + header, block.end());
}

void AppendU32(std::string* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>(value >> (8 * i)));
}

void AppendBlock(std::string* out, const Bytes& block) {
    AppendU32(out, static_cast<uint32_t>(block.size()));
    out->append(block.begin(), block.end());
}

// An installer file: some program bytes, the marker, then the package as the packer lays it out.
struct PackageBuilder {
    std::string image = "MZ program bytes";
    std::string description = "名称=钟伴";
    std::string list;
    std::vector<Bytes> blocks;

    std::string Package() const {
        std::string package = "lczip";
        AppendBlock(&package, Pack(description));
        AppendBlock(&package, Pack(list));
        for (const Bytes& block : blocks)
            AppendBlock(&package, block);
        return package + "\r\n";
    }
    std::string File() const { return image + PackageMarker() + Package(); }
};

ByteView View(const std::string& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

std::string FileLine(uint64_t time, const std::string& path) {
    std::string line;
    for (int i = 0; i < 8; ++i)
        line.push_back(static_cast<char>(time >> (8 * i)));
    return line + path;
}

// ---- Blocks ----

TEST(PackageBlock, SizeHeaderReadsItsOwnLength) {
    const uint8_t block[] = {0xC9, 0x02, 0x5D, 0x00, 0x00, 0x01, 0x00, 0x00};
    uint32_t size = 0;
    unsigned header = 0;
    ASSERT_TRUE(BlockDeclaredSize(block, sizeof block, &size, &header));
    EXPECT_EQ(header, 2u);
    EXPECT_EQ(size, 178u);  // 0x02C9 >> 2, not 713
    EXPECT_FALSE(BlockDeclaredSize(block, 4, &size, &header));

    const Bytes packed = Pack(Bytes(178, 'x'));
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(packed[0], 0xC9);
    EXPECT_EQ(packed[1], 0x02);
}

TEST(PackageBlock, PackerWritesFewestHeaderBytesAndItsProperties) {
    const struct {
        size_t size;
        unsigned header;
        uint32_t dictionary;
    } cases[] = {{1, 1, 4096},      {63, 1, 4096},     {64, 2, 4096},
                 {16383, 2, 16384}, {16384, 3, 16384}, {70000, 3, 131072}};
    for (const auto& c : cases) {
        const Bytes block = Pack(Bytes(c.size, 'a'));
        uint32_t size = 0;
        unsigned header = 0;
        ASSERT_TRUE(BlockDeclaredSize(block.data(), block.size(), &size, &header)) << c.size;
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(header, c.header) << c.size;
        EXPECT_EQ(block[header], kLzmaPropertiesByte);
        uint32_t dictionary = 0;
        std::memcpy(&dictionary, &block[header + 1], 4);
        EXPECT_EQ(dictionary, c.dictionary) << c.size;
    }
    Bytes block = {1};
    EXPECT_TRUE(PackBlock(nullptr, 0, &block));
    EXPECT_TRUE(block.empty());
    static const uint8_t one = 0;  // refused on its size alone, before any byte is read
    EXPECT_FALSE(PackBlock(&one, size_t{kMaxBlockContent} + 1, &block));
}

TEST(PackageBlock, RoundTrips) {
    Bytes compressible(8u << 20);
    for (size_t i = 0; i < compressible.size(); ++i)
        compressible[i] = static_cast<uint8_t>("钟伴闹钟"[i % 12] ^ (i >> 20));
    for (const Bytes& content : {Bytes{0x42}, RandomBytes(1u << 20, 7), compressible}) {
        const Bytes block = Pack(content);
        const Unpacked out = Unpack(block);
        EXPECT_EQ(out.result, UnpackResult::kComplete);
        EXPECT_TRUE(out.content == content) << content.size();
        EXPECT_LE(out.largestPiece, 64u << 10);
        EXPECT_TRUE(UnpackBlock(block.data(), block.size()) == content);
    }
    EXPECT_LT(Pack(compressible).size(), compressible.size() / 100);
    EXPECT_EQ(Unpack(Bytes{}).result, UnpackResult::kEmpty);
    EXPECT_TRUE(UnpackBlock(nullptr, 0).empty());
}

// Content that LZMA cannot shrink is stored as it is and copied back, in pieces a 64 KiB sink takes
// and from a block read a little at a time; one cut short is refused before and while unpacking.
TEST(PackageBlock, IncompressibleContentIsStoredAndCopiedBack) {
    const Bytes random = RandomBytes(1u << 20, 8);
    const Bytes block = Pack(random);
    ASSERT_TRUE(IsStoredBlock(block.data(), block.size()));
    EXPECT_EQ(block.size(), 3 + 5 + random.size());
    EXPECT_TRUE(CheckBlockHeader(block.data(), block.size()));
    const Bytes small = Pack(RandomBytes(kLeastStoredContent - 1, 8));
    EXPECT_FALSE(IsStoredBlock(small.data(), small.size()));

    const BlockReader dribble = [&block](size_t offset) {
        return ByteView{block.data() + offset, std::min<size_t>(1000, block.size() - offset)};
    };
    Bytes copied;
    EXPECT_EQ(UnpackBlockFrom(block.size(), dribble,
                              [&copied](const uint8_t* data, size_t size) {
                                  copied.insert(copied.end(), data, data + size);
                                  return true;
                              }),
              UnpackResult::kComplete);
    EXPECT_TRUE(copied == random);
    const std::atomic<bool> stop{false};
    Bytes into;
    EXPECT_EQ(UnpackBlockInto(block.size(), dribble, &into, stop), UnpackResult::kComplete);
    EXPECT_TRUE(into == random);

    const Bytes cut(block.begin(), block.end() - 1);
    EXPECT_FALSE(CheckBlockHeader(cut.data(), cut.size()));
    EXPECT_EQ(Unpack(cut).result, UnpackResult::kFailed);
    EXPECT_EQ(UnpackBlockInto(cut.size(), ReaderOfBytes(ByteView{cut.data(), cut.size()}), &into, stop),
              UnpackResult::kFailed);
    EXPECT_TRUE(into.empty());
}

// Properties and stream straight from the SDK's encoder, for what the packer never writes: an end
// mark, or a dictionary smaller than the content.
Bytes EncodeRaw(const Bytes& content, uint32_t dictionary, int endMark) {
    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.dictSize = dictionary;
    Bytes body(LZMA_PROPS_SIZE + content.size() + content.size() / 2 + 1024);
    SizeT streamSize = body.size() - LZMA_PROPS_SIZE;
    SizeT propsSize = LZMA_PROPS_SIZE;
    ISzAlloc alloc = {[](void*, size_t size) { return std::malloc(size); },
                      [](void*, void* p) { std::free(p); }};
    EXPECT_EQ(LzmaEncode(body.data() + LZMA_PROPS_SIZE, &streamSize, content.data(), content.size(), &props,
                         body.data(), &propsSize, endMark, nullptr, &alloc, &alloc),
              SZ_OK);
    body.resize(LZMA_PROPS_SIZE + streamSize);
    return body;
}

TEST(PackageBlock, DictionarySmallerThanContentWrapsRound) {
    Bytes content(300000);
    std::mt19937 random(4);
    for (size_t i = 0; i < content.size(); ++i)  // repeats at short distances, across every wrap
        content[i] =
            i >= 3000 && random() % 4 != 0 ? content[i - 1000 - random() % 2000] : 'a' + random() % 26;
    const Unpacked out =
        Unpack(WithHeader(static_cast<uint32_t>(content.size()), EncodeRaw(content, 4096, 0)));
    EXPECT_EQ(out.result, UnpackResult::kComplete);
    EXPECT_TRUE(out.content == content);
}

TEST(PackageBlock, EndMarkBeforeDeclaredSizeIsPaddedWithZeros) {
    const Bytes content = ToBytes("short content");
    const Bytes body = EncodeRaw(content, 1u << 16, 1);
    const uint32_t declared = 200000;  // more than one piece of zeros
    const Unpacked out = Unpack(WithHeader(declared, body));
    EXPECT_EQ(out.result, UnpackResult::kComplete);
    ASSERT_EQ(out.content.size(), declared);
    EXPECT_TRUE(std::equal(content.begin(), content.end(), out.content.begin()));
    EXPECT_TRUE(std::all_of(out.content.begin() + static_cast<std::ptrdiff_t>(content.size()),
                            out.content.end(), [](uint8_t b) { return b == 0; }));
    // Bytes after the end of the declared content are never looked at.
    Bytes extra = Pack(content);
    extra.insert(extra.end(), 100, 0xEE);
    EXPECT_TRUE(UnpackBlock(extra.data(), extra.size()) == content);
}

TEST(PackageBlock, BrokenStreamsFailWithoutCrashing) {
    const Bytes content = RandomBytes(kLeastStoredContent - 1, 3);  // LZMA-coded, however random
    const Bytes block = Pack(content);
    const Bytes truncated(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(block.size() / 2));
    EXPECT_EQ(Unpack(truncated).result, UnpackResult::kFailed);
    EXPECT_TRUE(UnpackBlock(truncated.data(), truncated.size()).empty());

    Bytes corrupted = block;
    corrupted[3 + 5] = 0xFF;  // the range coder's first byte is always 0
    EXPECT_EQ(Unpack(corrupted).result, UnpackResult::kFailed);

    Bytes badProperties = block;
    badProperties[3] = 225;  // lc/lp/pb out of range
    EXPECT_EQ(Unpack(badProperties).result, UnpackResult::kFailed);

    // Random damage: whatever comes out, never more than declared and never a crash.
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        Bytes damaged = block;
        for (int i = 0; i < 4; ++i)
            damaged[8 + random() % (damaged.size() - 8)] ^= static_cast<uint8_t>(1 + random() % 255);
        const Unpacked out = Unpack(damaged);
        if (out.result == UnpackResult::kComplete) {
            EXPECT_EQ(out.content.size(), content.size());
        }
        EXPECT_LE(out.content.size(), content.size());
    }
}

TEST(PackageBlock, HugeDeclaredSizeWithTinyStreamCostsLittleMemory) {
    Bytes body = Body(Pack(RandomBytes(100, 5)));
    const uint32_t bigDictionary = kLzmaDictionary;
    std::memcpy(&body[1], &bigDictionary, 4);  // a dictionary of 64 MiB, as real blocks declare
    const Unpacked out = Unpack(WithHeader(kMaxBlockContent, body));
    EXPECT_EQ(out.result, UnpackResult::kFailed);
    EXPECT_LE(out.content.size(), 64u << 10);
    EXPECT_GT(out.peakMemory, 0u);
    EXPECT_LE(out.peakMemory, 1u << 20);
    // The description and list blocks are bounded before anything is decoded.
    const Bytes bomb = WithHeader(kMaxBlockContent, body);
    EXPECT_TRUE(UnpackBlock(bomb.data(), bomb.size(), 1u << 20).empty());
}

// ---- Marker, description and list ----

TEST(PackageReader, MarkerIsTheGbkTextAndFirstOccurrenceCounts) {
    // Kept as 16-bit values so that this program's image does not hold the marker in one piece.
    const uint16_t expected[] = {0xC0, 0xBD, 0xB4, 0xA8, 0xC8, 0xED, 0xBC, 0xFE, 0xB0, 0xB2, 0xD7,
                                 0xB0, 0xB0, 0xFC, 0xCE, 0xC4, 0xBC, 0xFE, 0xD0, 0xC5, 0xCF, 0xA2};
    const std::string marker = PackageMarker();
    ASSERT_EQ(marker.size(), 22u);
    for (size_t i = 0; i < marker.size(); ++i)
        EXPECT_EQ(static_cast<uint8_t>(marker[i]), expected[i]) << i;

    const std::string file = "image" + marker + "first" + marker + "second";
    ByteView package;
    ASSERT_TRUE(LocatePackage(View(file), &package));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(package.data), package.size),
              "first" + marker + "second");
    EXPECT_FALSE(LocatePackage(View("image" + marker.substr(0, 21)), &package));
    EXPECT_FALSE(LocatePackage(ByteView{}, &package));
}

TEST(PackageReader, ProgramImageDoesNotHoldTheMarker) {
#if defined(_WIN32)
    const char* self = _pgmptr;  // the C runtime's copy of the program's path (ASCII in the build tree)
    ASSERT_NE(self, nullptr);
#else
    const char* self = "/proc/self/exe";
#endif
    FileBytes image = ReadFileBytes(self);
    ASSERT_GT(image.size, 100000u);
    ByteView package;
    EXPECT_FALSE(LocatePackage({image.data, image.size}, &package));
    ReleaseFileBytes(&image);
}

TEST(PackageReader, DescriptionLinesAreCutMatchedAndReplaced) {
    PackageBuilder builder;
    std::string longText;
    for (int i = 0; i < 120; ++i)
        longText += "长";
    builder.description =
        "名称=旧名\r\n 名称=indented\r\n名称=钟伴\r\n文件名=钟伴.exe\r\n版本号=1.3.8\r\nunknown=x\r\n"
        "日期=2024-05-01\r\n说明=" +
        longText + "\r\n";
    const std::string package = builder.Package();
    PackageInfo info;
    std::string error;
    ASSERT_TRUE(ReadPackageInfo(View(package), &info, &error));
    EXPECT_EQ(info.name, "钟伴");
    EXPECT_EQ(info.programFile, "钟伴.exe");
    EXPECT_EQ(info.version, "1.3.8");
    EXPECT_EQ(info.date, "2024-05-01");
    EXPECT_EQ(info.description, longText.substr(0, 96 * 3));  // 99 characters less the key's 3

    EXPECT_FALSE(ReadPackageInfo(View("LCZIP" + package.substr(5)), &info, &error));
    EXPECT_EQ(error, kNotAPackageMessage);
    FileList list;
    EXPECT_FALSE(ReadFileList(View("lcz"), &list, &error));
    EXPECT_EQ(error, kNotAPackageMessage);
}

TEST(PackageReader, ListEntriesAndTheEmptyLastLine) {
    PackageBuilder builder;
    builder.list =
        "DIR文件夹\r\n" + FileLine(0x0102030405060708ull, "文件夹\\a.txt") + "\r\nDIR\r\nshort\r\n";
    const std::string package = builder.Package();
    FileList list;
    std::string error;
    ASSERT_TRUE(ReadFileList(View(package), &list, &error));
    ASSERT_EQ(list.entries.size(), 5u);
    EXPECT_TRUE(list.entries[0].folder);
    EXPECT_EQ(list.entries[0].path, "文件夹");
    EXPECT_FALSE(list.entries[1].folder);
    EXPECT_EQ(list.entries[1].fileTime, 0x0102030405060708ull);
    EXPECT_EQ(list.entries[1].path, "文件夹\\a.txt");
    EXPECT_TRUE(list.entries[2].folder);
    EXPECT_EQ(list.entries[2].path, "");
    EXPECT_FALSE(list.entries[3].folder);  // shorter than the time field: zero-filled, no path
    EXPECT_EQ(list.entries[3].fileTime, 0x74726F6873ull);
    EXPECT_EQ(list.entries[3].path, "");
    EXPECT_FALSE(list.entries[4].folder);  // after the final CR LF
    EXPECT_EQ(list.entries[4].path, "");
    EXPECT_EQ(package.substr(list.firstBlock), "\r\n");

    builder.list.clear();
    EXPECT_FALSE(ReadFileList(View(builder.Package()), &list, &error));
    EXPECT_EQ(error, kNoFileListMessage);
}

TEST(PackageReader, LengthFieldsPastTheEndReadAsZero) {
    std::string package = "lczip";
    AppendU32(&package, 0xFFFFFFF0u);  // a description "longer" than the package
    FileList list;
    std::string error;
    EXPECT_FALSE(ReadFileList(View(package), &list, &error));
    EXPECT_EQ(error, kNoFileListMessage);

    const char first[] =
        "\x03\x00\x00\x00"
        "abc"
        "\x01\x00";
    const std::string partial(first, sizeof first - 1);
    uint64_t position = 0;
    ByteView block = NextFileBlock(View(partial), &position);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data), block.size), "abc");
    block = NextFileBlock(View(partial), &position);  // two bytes of a length field
    EXPECT_EQ(block.size, 0u);
    EXPECT_EQ(position, partial.size());
    block = NextFileBlock(View(partial), &position);
    EXPECT_EQ(block.size, 0u);

    const char second[] =
        "\x10\x00\x00\x00"
        "xy";
    const std::string cut(second, sizeof second - 1);
    position = 0;
    block = NextFileBlock(View(cut), &position);  // cut to the bytes present
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data), block.size), "xy");
    EXPECT_EQ(position, cut.size());
}

// ---- The check before writing ----

// A package of two files as the packer lays it out, with the position of the second file's
// length field.
struct TwoFiles {
    PackageBuilder builder;
    std::string package;
    size_t secondBlock = 0;
    TwoFiles() {
        builder.description = "名称=钟伴\r\n文件名=钟伴.exe";
        builder.list = "DIR程序\r\n" + FileLine(kUnixEpochAsFileTime, "程序\\a.txt") + "\r\n" +
                       FileLine(kUnixEpochAsFileTime, "b.txt");
        builder.blocks = {Pack(RandomBytes(3000, 4)), Pack(std::string(5000, 'b'))};
        package = builder.Package();
        secondBlock = package.size() - 2 - builder.blocks[1].size() - 4;
    }
};

PackageInfo Info(const std::string& name, const std::string& program, const std::string& description = "") {
    PackageInfo info;
    info.name = name;
    info.programFile = program;
    info.description = description;
    return info;
}

bool Check(const std::string& package, std::string* error,
           const PackageInfo& info = Info("钟伴", "钟伴.exe")) {
    FileList list;
    return CheckPackage(View(package), info, &list, error);
}

TEST(PackageCheck, PassesAGoodPackageAndRefusesOneCutOrWithABadBlockHeader) {
    const TwoFiles good;
    FileList list;
    std::string error;
    ASSERT_TRUE(CheckPackage(View(good.package), Info("钟伴", "钟伴.exe"), &list, &error)) << error;
    EXPECT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(error, "");

    // A download cut inside the last block, or inside its length field.
    for (const size_t cut : {good.package.size() - 100, good.secondBlock + 2}) {
        EXPECT_FALSE(Check(good.package.substr(0, cut), &error)) << cut;
        EXPECT_EQ(error, kDamagedPackageMessage);
    }
    // The second block's header: an impossible properties byte, then a stream not starting at 0.
    const unsigned header = (static_cast<uint8_t>(good.package[good.secondBlock + 4]) & 3u) + 1;
    for (const size_t at : {good.secondBlock + 4 + header, good.secondBlock + 4 + header + 5}) {
        std::string bad = good.package;
        bad[at] = static_cast<char>(0xE1);
        EXPECT_FALSE(Check(bad, &error)) << at;
        EXPECT_EQ(error, kDamagedPackageMessage);
    }
    // Blocks the decoder reads as empty content are empty files, as the installer writes them.
    for (const Bytes& empty : {Bytes{}, Bytes{0x01, 0x00}, WithHeader(0, Body(Pack("x")))}) {
        EXPECT_TRUE(CheckBlockHeader(empty.data(), empty.size())) << empty.size();
    }
    // The empty entry after a list's final CR LF finds no block and writes nothing.
    TwoFiles trailing;
    trailing.builder.list += "\r\n";
    EXPECT_TRUE(Check(trailing.builder.Package(), &error)) << error;
    // A list that cannot be read keeps the reader's message.
    trailing.builder.list.clear();
    EXPECT_FALSE(Check(trailing.builder.Package(), &error));
    EXPECT_EQ(error, kNoFileListMessage);
}

TEST(PackageCheck, TheDescriptionsNamesMustStayInsideTheTarget) {
    const std::string climbing = "..\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\x";
    for (const char* name : {"钟伴\\x", "..", "CON", "com1.txt", "C:x", "\\\\server\\x", "a\x1B[2J", ""}) {
        EXPECT_FALSE(PackageTextsAreSafe(Info(name, "钟伴.exe"))) << name;
    }
    EXPECT_FALSE(PackageTextsAreSafe(Info(climbing, "钟伴.exe")));
    for (const char* program : {"..\\..\\x.exe", "C:\\Windows\\x.exe", "nul", "x\r.exe", ""}) {
        EXPECT_FALSE(PackageTextsAreSafe(Info("钟伴", program))) << program;
    }
    EXPECT_TRUE(PackageTextsAreSafe(Info("钟伴 V1.3", "程序\\钟伴.exe")));
    // 说明 names the folder only of a decompress-only package; elsewhere it is the shortcut's comment.
    EXPECT_TRUE(PackageTextsAreSafe(Info("资料", "钟伴.exe", "..\\说明")));
    EXPECT_FALSE(PackageTextsAreSafe(Info("资料", kDecompressOnlyProgram, "..\\说明")));
    EXPECT_FALSE(PackageTextsAreSafe(Info("资料", kDecompressOnlyProgram, "")));
    EXPECT_TRUE(PackageTextsAreSafe(Info("资料", kDecompressOnlyProgram, "资料\\二")));

    std::string error;
    EXPECT_FALSE(Check(TwoFiles().package, &error, Info(climbing, "钟伴.exe")));
    EXPECT_EQ(error, kDamagedPackageMessage);
}

TEST(PackageCheck, ListsPastTheCapsAreDamaged) {
    // A list of blank lines: a few kilobytes of block, one entry per CR LF.
    PackageBuilder builder;
    std::string blank;
    for (size_t i = 0; i < ListCaps{}.entries; ++i)
        blank += "\r\n";
    builder.list = blank;  // one line more than CR LFs: the cap plus one
    const std::string package = builder.Package();
    EXPECT_LT(package.size(), 20000u);
    FileList list;
    std::string error;
    EXPECT_FALSE(ReadFileList(View(package), &list, &error));
    EXPECT_EQ(error, kDamagedPackageMessage);
    EXPECT_TRUE(list.entries.empty());
    builder.list = blank.substr(2);
    ASSERT_TRUE(ReadFileList(View(builder.Package()), &list, &error)) << error;
    EXPECT_EQ(list.entries.size(), ListCaps{}.entries);

    // The memory cap counts each entry's record and the text its paths come from.
    builder.list = "DIRa\r\nDIRb";
    const size_t needed = 2 * sizeof(PackageEntry) + builder.list.size();
    EXPECT_TRUE(ReadFileList(View(builder.Package()), &list, &error, ListCaps{2, needed}));
    EXPECT_FALSE(ReadFileList(View(builder.Package()), &list, &error, ListCaps{2, needed - 1}));
    EXPECT_FALSE(ReadFileList(View(builder.Package()), &list, &error, ListCaps{1, needed}));
    EXPECT_EQ(error, kDamagedPackageMessage);
}

// Random damage to a good package, in the manner of a fuzzer but repeatable: whatever the bytes, the
// check and the reader stay inside the input (the sanitizer build sees to that), keep the caps, and
// a package the check passes has a length field and a whole block for every named file.
TEST(PackageCheck, RandomlyDamagedPackagesNeverPassWithABlockOutside) {
    const TwoFiles good;
    std::mt19937 random(2026);
    const ListCaps caps{50, 4096};
    size_t passed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good.package;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
                case 0:
                    bytes[at] = static_cast<char>(random());
                    break;
                case 1:
                    bytes.resize(at);
                    break;
                default:
                    bytes.insert(at, 1 + random() % 8, static_cast<char>(random()));
                    break;
            }
            if (bytes.empty()) bytes = "l";
        }
        FileList list;
        std::string error;
        if (ReadFileList(View(bytes), &list, &error, caps)) {
            EXPECT_LE(list.entries.size(), caps.entries);
        }
        if (!CheckPackage(View(bytes), Info("钟伴", "钟伴.exe"), &list, &error)) continue;
        ++passed;
        uint64_t position = list.firstBlock;
        for (const PackageEntry& entry : list.entries) {
            if (entry.folder || entry.path.empty()) continue;
            ASSERT_LE(position + 4, bytes.size());
            uint32_t stated = 0;
            for (int i = 3; i >= 0; --i)
                stated = stated << 8 | static_cast<uint8_t>(bytes[position + i]);
            EXPECT_EQ(NextFileBlock(View(bytes), &position).size, stated);
        }
    }
    EXPECT_GT(passed, 0u);  // damage inside a stream passes the cheap check
}

// ---- Paths and extraction ----

TEST(PackagePaths, HostilePathsAreRefused) {
    for (const char* path :
         {"../x",     "..\\x",  "C:\\x",        "\\\\server\\x", "\\\\?\\C:\\x", "//server/x",
          "\\x",      "/x",     "a\\..\\..\\x", "a\\.\\b",       "..",           "...\\x",
          "x:stream", "a\x01z", "a\x7F",        "a/b",           "NUL",          "sub\\com1.txt",
          "con",      ""}) {
        EXPECT_FALSE(IsSafeRelativePath(path)) << path;
    }
    for (const char* path :
         {"a..b", "a\\b.txt", "钟伴\\说明.txt", ".hidden", "console.txt", "com10", "a\\"}) {
        EXPECT_TRUE(IsSafeRelativePath(path)) << path;
    }
}

// The file's last-write time as a FILETIME, within the clock conversion's rounding.
uint64_t WrittenFileTime(const std::string& path) {
    const auto written = fs::last_write_time(U8Path(path));
    const auto offset = std::chrono::system_clock::now().time_since_epoch() -
                        fs::file_time_type::clock::now().time_since_epoch();
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch() + offset);
    return kUnixEpochAsFileTime + static_cast<uint64_t>(sinceEpoch.count() / 100);
}

struct Recorder : ExtractObserver {
    std::vector<size_t> seen;
    std::vector<std::string> refused;
    size_t stopAfter = SIZE_MAX;  // entries seen before a stop is asked for
    void BeforeEntry(size_t index, const PackageEntry&) override { seen.push_back(index); }
    void Refused(const PackageEntry& entry) override { refused.push_back(entry.path); }
    bool StopRequested() override { return seen.size() >= stopAfter; }
};

using Failures = std::vector<std::pair<std::string, EntryFailure>>;

struct Extraction {
    ScratchDir scratch;
    std::string target = scratch.path() + "\\target\\";
    bool made = EnsureFolderPath(target);
    Recorder recorder;
    ExtractOutcome outcome;

    void Run(const PackageBuilder& builder) {
        ASSERT_TRUE(made);
        const std::string file = builder.File();
        ByteView package;
        ASSERT_TRUE(LocatePackage(View(file), &package));
        FileList list;
        std::string error;
        ASSERT_TRUE(ReadFileList(package, &list, &error));
        outcome = ExtractAll(package, list, target, &recorder);
    }
    std::string In(const std::string& relative) const { return scratch.File("target/" + relative); }
};

TEST(PackageExtract, FoldersFilesTimesAndSkippedEntries) {
    const uint64_t time = kUnixEpochAsFileTime + 1623760496ull * 10000000ull + 1234567;  // 2021-06-15
    PackageBuilder builder;
    builder.list = "DIR程序\r\n" + FileLine(time, "程序\\钟伴.exe") + "\r\n" +
                   FileLine(time + 12345678, "空.txt") + "\r\n" + FileLine(0, "不存在\\x.txt") +
                   "\r\nDIR程序\\数据\r\n" + FileLine(time, "程序\\数据\\坏.dat") + "\r\n" +
                   FileLine(time, "最后.txt") + "\r\n";
    const Bytes program = RandomBytes(300000, 9);
    Bytes broken = Pack(RandomBytes(5000, 2));
    broken.resize(broken.size() / 2);
    builder.blocks = {Pack(program), Bytes{}, Pack("lost"), broken, Pack("last file")};

    Extraction run;
    WriteBytes(run.scratch.File("target/空.txt"), "old content to be truncated");
    run.Run(builder);
    // Every entry's outcome counts: the file whose folder is missing and the damaged block fail.
    EXPECT_EQ(run.outcome.failures, (Failures{{"不存在\\x.txt", EntryFailure::kNotWritten},
                                              {"程序\\数据\\坏.dat", EntryFailure::kDamaged}}));
    EXPECT_EQ(run.outcome.filesWritten, 3u);
    EXPECT_FALSE(run.outcome.Complete());
    EXPECT_EQ(run.recorder.seen.size(), 8u);
    EXPECT_TRUE(ReadBytes(run.In("程序/钟伴.exe")) == std::string(program.begin(), program.end()));
    EXPECT_TRUE(fs::is_directory(U8Path(run.In("程序/数据"))));
    EXPECT_TRUE(fs::exists(U8Path(run.In("空.txt"))));
    EXPECT_EQ(fs::file_size(U8Path(run.In("空.txt"))), 0u);
    EXPECT_FALSE(fs::exists(U8Path(run.In("不存在"))));
    EXPECT_TRUE(fs::exists(U8Path(run.In("程序/数据/坏.dat"))));
    EXPECT_EQ(fs::file_size(U8Path(run.In("程序/数据/坏.dat"))), 0u);
    EXPECT_EQ(ReadBytes(run.In("最后.txt")), "last file");

    // Exact between two files, to the reading library's resolution (MinGW's reads whole seconds);
    // the absolute time within the clock conversion.
    const auto difference =
        fs::last_write_time(U8Path(run.In("空.txt"))) - fs::last_write_time(U8Path(run.In("程序/钟伴.exe")));
#if defined(_WIN32)
    // From .1234567 into the next second, at 1.3580245.
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(difference).count(), 1);
#else
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::nanoseconds>(difference).count(), 1234567800);
#endif
    const int64_t off = static_cast<int64_t>(WrittenFileTime(run.In("程序/钟伴.exe")) - time);
    EXPECT_LT(std::llabs(off), 20000000);
    EXPECT_LT(std::llabs(static_cast<int64_t>(WrittenFileTime(run.In("最后.txt")) - time)), 20000000);
    // A block that fails to unpack still leaves the file with the entry's time.
    EXPECT_LT(std::llabs(static_cast<int64_t>(WrittenFileTime(run.In("程序/数据/坏.dat")) - time)), 20000000);
}

// The installer reads its own file a window at a time: the marker across two windows, and blocks
// and length fields across many, give what the package in memory gives.
TEST(PackageExtract, FileReadAWindowAtATimeInstallsAsFromMemory) {
    PackageBuilder builder;
    builder.image = std::string(990, 'M');  // the marker lies across the first window's end
    builder.description = "名称=钟伴\r\n文件名=钟伴.exe";
    builder.list = FileLine(kUnixEpochAsFileTime, "大.bin") + "\r\n" + FileLine(kUnixEpochAsFileTime, "坏.bin") +
                   "\r\n" + FileLine(kUnixEpochAsFileTime, "小.txt");
    const Bytes big = RandomBytes(200000, 21);
    Bytes cut = Pack(RandomBytes(5000, 2));
    cut.resize(cut.size() / 2);  // whole as the package says, but its stream ends early
    builder.blocks = {Pack(big), cut, Pack("small")};
    Extraction run;
    WriteBytes(run.scratch.File("安装.exe"), builder.File());

    uint64_t size = 0;
    ViewedFile* file = OpenViewedFile(run.scratch.path() + "\\安装.exe", &size);
    ASSERT_NE(file, nullptr);
    PackageSource package;
    PackageInfo info;
    FileList list;
    std::string error;
    ASSERT_TRUE(LocatePackage(FileSource(file, size, 1000), &package));
    ASSERT_TRUE(ReadPackageInfo(package, &info, &error) && CheckPackage(package, info, &list, &error)) << error;
    run.outcome = ExtractAll(package, list, run.target, nullptr);
    CloseViewedFile(file);
    EXPECT_EQ(info.programFile, "钟伴.exe");
    EXPECT_EQ(run.outcome.failures, (Failures{{"坏.bin", EntryFailure::kDamaged}}));
    EXPECT_TRUE(ReadBytes(run.In("大.bin")) == std::string(big.begin(), big.end()));
    EXPECT_EQ(ReadBytes(run.In("小.txt")), "small");
}

TEST(PackageExtract, HostileEntriesWriteNothingOutsideAndKeepTheOrder) {
    const char* hostile[] = {"../x",     "..\\x",   "C:\\x", "\\\\server\\x", "\\x", "a\\..\\..\\x",
                             "x:stream", "ctl\x01", "a/b"};
    PackageBuilder builder;
    builder.list = "DIRa";
    for (const char* path : hostile) {
        builder.list += "\r\n" + FileLine(kUnixEpochAsFileTime, path);
        builder.blocks.push_back(Pack(std::string("evil ") + path));
    }
    builder.list += "\r\nDIR..\\up\r\n" + FileLine(kUnixEpochAsFileTime, "a\\good.txt");
    builder.blocks.push_back(Pack("good"));

    Extraction run;
    run.Run(builder);
    EXPECT_EQ(run.outcome.failures.size(), std::size(hostile) + 1);
    EXPECT_TRUE(std::all_of(run.outcome.failures.begin(), run.outcome.failures.end(),
                            [](const auto& failure) { return failure.second == EntryFailure::kRefused; }));
    EXPECT_EQ(run.recorder.refused.size(), run.outcome.failures.size());
    EXPECT_EQ(ReadBytes(run.In("a/good.txt")), "good");
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(U8Path(run.scratch.path()))) {
        found.push_back(fs::relative(item.path(), U8Path(run.scratch.path())).generic_u8string());
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"target", "target/a", "target/a/good.txt"}));
}

TEST(PackageExtract, EmptyPathsAndUnwritableFiles) {
    Extraction run;
    ASSERT_TRUE(run.made);
    const Bytes block = Pack("content");
    const ByteView view{block.data(), block.size()};
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, ""}, view),
              ApplyResult::kDone);  // nothing to write
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{true, 0, ""}, {}), ApplyResult::kDone);
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "no\\such\\a.txt"}, view),
              ApplyResult::kNotWritten);
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{true, 0, "no\\such"}, {}), ApplyResult::kNotWritten);
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "zero.txt"}, view), ApplyResult::kDone);
    EXPECT_EQ(ReadBytes(run.In("zero.txt")), "content");
#if !defined(_WIN32)
    // Times before 1970, FILETIME 0 among them, are held at the Unix epoch (Windows leaves a time of
    // 0 unchanged).
    EXPECT_LT(WrittenFileTime(run.In("zero.txt")) - kUnixEpochAsFileTime, 20000000u);
#endif
}

// A reinstall from a damaged download: what cannot be had new keeps what worked before, and no
// unfinished file is left beside it.
TEST(PackageExtract, DamagedBlockOrReadOnlyFileKeepsTheOldFile) {
    Extraction run;
    ASSERT_TRUE(run.made);
    Bytes broken = Pack(RandomBytes(5000, 3));
    broken.resize(broken.size() / 2);
    WriteBytes(run.In("旧.exe"), "working program");
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "旧.exe"}, {broken.data(), broken.size()}),
              ApplyResult::kDamaged);
    EXPECT_EQ(ReadBytes(run.In("旧.exe")), "working program");

    WriteBytes(run.In("只读.txt"), "kept");
    fs::permissions(U8Path(run.In("只读.txt")),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const Bytes block = Pack("new");
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "只读.txt"}, {block.data(), block.size()}),
              ApplyResult::kNotWritten);
    EXPECT_EQ(ReadBytes(run.In("只读.txt")), "kept");
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "新.txt"}, {block.data(), block.size()}),
              ApplyResult::kDone);
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(U8Path(run.scratch.File("target"))))
        names.push_back(item.path().filename().u8string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"只读.txt", "新.txt", "旧.exe"}));
    fs::permissions(U8Path(run.In("只读.txt")), fs::perms::owner_write, fs::perm_options::add);
}

#if !defined(_WIN32)
// Links in the target folder are never followed: the entry fails and the place they point at stays
// untouched. (Making links on Windows needs a right the tests do not have.)
TEST(PackageExtract, LinksInTheTargetAreNotFollowed) {
    Extraction run;
    ASSERT_TRUE(run.made);
    fs::create_directories(U8Path(run.scratch.File("elsewhere")));
    WriteBytes(run.scratch.File("elsewhere/file.txt"), "outside");
    fs::create_directory_symlink(U8Path(run.scratch.File("elsewhere")), U8Path(run.In("dir")));
    fs::create_symlink(U8Path(run.scratch.File("elsewhere/file.txt")), U8Path(run.In("file.txt")));
    const Bytes block = Pack("evil");
    const ByteView view{block.data(), block.size()};
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "dir\\new.txt"}, view), ApplyResult::kNotWritten);
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "dir\\file.txt"}, view),
              ApplyResult::kNotWritten);
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{true, 0, "dir\\sub"}, {}), ApplyResult::kNotWritten);
    EXPECT_EQ(ApplyEntry(run.target, PackageEntry{false, 0, "file.txt"}, view), ApplyResult::kNotWritten);
    EXPECT_EQ(ReadBytes(run.scratch.File("elsewhere/file.txt")), "outside");
    EXPECT_FALSE(fs::exists(U8Path(run.scratch.File("elsewhere/new.txt"))));
    EXPECT_FALSE(fs::exists(U8Path(run.scratch.File("elsewhere/sub"))));
}
#endif

#if defined(_WIN32)
// Answers the question about a held file from a list, letting the file go before a Retry.
struct HeldFileAnswers : Recorder {
    HANDLE held = INVALID_HANDLE_VALUE;
    std::vector<InUseAnswer> answers;
    std::vector<std::string> asked;
    InUseAnswer FileInUse(const PackageEntry& entry) override {
        asked.push_back(entry.path);
        const InUseAnswer answer = answers.at(asked.size() - 1);
        if (answer == InUseAnswer::kRetry && held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
        }
        return answer;
    }
};

// A file another program holds open without sharing is asked about, not silently left: Retry
// once it is let go replaces it; Cancel stops after it, counting it as failed.
TEST(PackageExtract, HeldFileIsAskedAboutRetriedOrCancelled) {
    PackageBuilder builder;
    builder.list = FileLine(0, "held.txt") + "\r\n" + FileLine(0, "after.txt");
    builder.blocks = {Pack("new"), Pack("after")};
    for (const InUseAnswer first : {InUseAnswer::kRetry, InUseAnswer::kCancel}) {
        Extraction run;
        WriteBytes(run.In("held.txt"), "old");
        HeldFileAnswers answers;
        answers.answers = {first};
        answers.held = CreateFileW(fs::u8path(run.In("held.txt")).wstring().c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(answers.held, INVALID_HANDLE_VALUE);
        const std::string file = builder.File();
        ByteView package;
        FileList list;
        std::string error;
        ASSERT_TRUE(LocatePackage(View(file), &package) && ReadFileList(package, &list, &error));
        const ExtractOutcome outcome = ExtractAll(package, list, run.target, &answers);
        if (answers.held != INVALID_HANDLE_VALUE) CloseHandle(answers.held);
        EXPECT_EQ(answers.asked, std::vector<std::string>{"held.txt"});
        if (first == InUseAnswer::kRetry) {
            EXPECT_TRUE(outcome.Complete());
            EXPECT_EQ(ReadBytes(run.In("held.txt")), "new");
        } else {
            EXPECT_TRUE(outcome.stopped);
            EXPECT_EQ(outcome.failures, (Failures{{"held.txt", EntryFailure::kInUse}}));
            EXPECT_EQ(ReadBytes(run.In("held.txt")), "old");
            EXPECT_FALSE(fs::exists(U8Path(run.In("after.txt"))));
            EXPECT_FALSE(fs::exists(U8Path(run.In("held.txt.lcnew"))));
        }
    }
}
#endif

TEST(PackageExtract, StopEndsAfterTheFileInHand) {
    PackageBuilder builder;
    builder.list = FileLine(0, "1.txt") + "\r\n" + FileLine(0, "2.txt") + "\r\n" + FileLine(0, "3.txt");
    builder.blocks = {Pack("one"), Pack("two"), Pack("three")};
    Extraction run;
    run.recorder.stopAfter = 2;
    run.Run(builder);
    EXPECT_TRUE(run.outcome.stopped);
    EXPECT_FALSE(run.outcome.Complete());
    EXPECT_EQ(run.outcome.filesWritten, 2u);
    EXPECT_EQ(ReadBytes(run.In("2.txt")), "two");
    EXPECT_FALSE(fs::exists(U8Path(run.In("3.txt"))));
}

// Every file under a folder with its last-write time, size and (below 1 MiB) content, for
// comparing two extractions.
std::vector<std::string> TreeOf(const std::string& folder) {
    std::vector<std::string> tree;
    for (const auto& item : fs::recursive_directory_iterator(U8Path(folder))) {
        std::string line = fs::relative(item.path(), U8Path(folder)).generic_u8string();
        if (item.is_regular_file()) {
            line += " " + std::to_string(item.last_write_time().time_since_epoch().count()) + " " +
                    std::to_string(item.file_size());
            if (item.file_size() < (1u << 20)) line += " " + ReadBytes(item.path().u8string());
        }
        tree.push_back(line);
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

// Also records the thread each call comes on.
struct ThreadRecorder : Recorder {
    std::vector<std::thread::id> threads;
    void BeforeEntry(size_t index, const PackageEntry& entry) override {
        Recorder::BeforeEntry(index, entry);
        threads.push_back(std::this_thread::get_id());
    }
};

// Workers unpack ahead, yet what the user sees is the serial run: folders made before the files in
// them, a path listed twice ending with its last content, outcomes and observer calls in list
// order on the calling thread, a damaged block in the middle failing only its own entry, a file too
// large for the workers written by the caller in its turn, and nothing written after a stop.
TEST(PackageExtract, WorkersGiveTheSerialResultInListOrder) {
    const uint64_t time = kUnixEpochAsFileTime + 1623760496ull * 10000000ull;
    PackageBuilder builder;
    Bytes broken = Pack(RandomBytes(5000, 4));
    broken.resize(broken.size() / 2);
    // Past what a worker takes, so the caller unpacks it itself: a short text, then zeros after
    // the stream's end mark up to the declared 33 MiB.
    const Bytes head = ToBytes("large file");
    constexpr uint32_t kLarge = 33u << 20;
    builder.list = "DIR目录\r\n" + FileLine(time, "目录\\a.bin") + "\r\n" + FileLine(time + 1, "重复.txt") +
                   "\r\nDIR目录\\子\r\n" + FileLine(time + 2, "目录\\子\\b.bin") + "\r\n" +
                   FileLine(time + 3, "坏.dat") + "\r\n" + FileLine(time + 4, "大.bin") + "\r\n" +
                   FileLine(time + 5, "重复.txt") + "\r\n" + FileLine(time + 6, "c.txt");
    builder.blocks = {Pack(RandomBytes(300000, 5)),
                      Pack(RandomBytes(200000, 6)),
                      Pack(RandomBytes(1000, 7)),
                      broken,
                      WithHeader(kLarge, EncodeRaw(head, 1u << 16, 1)),
                      Pack("second"),
                      Pack("last")};
    const Failures damaged{{"坏.dat", EntryFailure::kDamaged}};
    const std::string file = builder.File();
    ByteView package;
    FileList list;
    std::string error;
    ASSERT_TRUE(LocatePackage(View(file), &package) && ReadFileList(package, &list, &error));

    std::vector<std::vector<std::string>> trees;
    for (const unsigned jobs : {1u, 4u}) {
        Extraction run;
        ThreadRecorder recorder;
        run.outcome = ExtractAll(package, list, run.target, &recorder, jobs);
        EXPECT_EQ(run.outcome.failures, damaged) << jobs;
        EXPECT_EQ(run.outcome.filesWritten, 6u);
        EXPECT_EQ(recorder.seen, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_TRUE(std::all_of(recorder.threads.begin(), recorder.threads.end(),
                                [](std::thread::id id) { return id == std::this_thread::get_id(); }));
        EXPECT_EQ(ReadBytes(run.In("重复.txt")), "second");
        const std::string large = ReadBytes(run.In("大.bin"));
        EXPECT_EQ(large.size(), kLarge);
        EXPECT_EQ(large.find_first_not_of('\0', head.size()), std::string::npos);
        EXPECT_EQ(large.compare(0, head.size(), "large file"), 0);
        trees.push_back(TreeOf(run.scratch.File("target")));

        Extraction stopped;
        ThreadRecorder stopper;
        stopper.stopAfter = 6;  // before 大.bin
        stopped.outcome = ExtractAll(package, list, stopped.target, &stopper, jobs);
        EXPECT_TRUE(stopped.outcome.stopped);
        EXPECT_EQ(stopped.outcome.failures, damaged);
        // 目录, a.bin, 子, b.bin, 重复.txt, 坏.dat: nothing after the stop, nothing left half made.
        EXPECT_EQ(TreeOf(stopped.scratch.File("target")).size(), 6u);
        EXPECT_EQ(ReadBytes(stopped.In("重复.txt")).size(), 200000u);
        EXPECT_FALSE(fs::exists(U8Path(stopped.In("大.bin"))));
    }
    EXPECT_EQ(trees[0], trees[1]);
}

TEST(PackageExtract, EnsureFolderPathCreatesEveryLevel) {
    ScratchDir scratch;
    const std::string deep = scratch.path() + "\\一\\二\\\\三\\";
    EXPECT_TRUE(EnsureFolderPath(deep));
    EXPECT_TRUE(fs::is_directory(U8Path(scratch.File("一/二/三"))));
    EXPECT_TRUE(EnsureFolderPath(deep));  // already there
    WriteBytes(scratch.File("file"), "x");
    EXPECT_FALSE(EnsureFolderPath(scratch.path() + "\\file\\sub\\"));
}

TEST(PackageIo, ReadFileBytesMapsWholeFiles) {
    ScratchDir scratch;
    WriteBytes(scratch.File("data.bin"), std::string("ab\0cd", 5));
    FileBytes bytes = ReadFileBytes(scratch.path() + "\\data.bin");
    ASSERT_EQ(bytes.size, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data), bytes.size), std::string("ab\0cd", 5));
    ReleaseFileBytes(&bytes);
    EXPECT_EQ(bytes.data, nullptr);

    WriteBytes(scratch.File("empty.bin"), "");
    bytes = ReadFileBytes(scratch.path() + "\\empty.bin");
    EXPECT_EQ(bytes.size, 0u);
    ReleaseFileBytes(&bytes);
    EXPECT_EQ(ReadFileBytes(scratch.path() + "\\missing.bin").size, 0u);
}

}  // namespace
