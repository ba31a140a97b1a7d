// Fuzz target of the installer package reader: whatever the bytes, reading the description and the
// list, checking the package, walking every file block and unpacking it must stay inside the input,
// keep its promises about sizes and the list's caps, and write nothing (nothing here touches the
// file system).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/lzma_block.h"
#include "setup/package.h"

namespace {

constexpr size_t kPieceLimit = 64u << 10;   // UnpackBlockTo's promise on each piece
constexpr size_t kCompareLimit = 1u << 20;  // content kept to compare with UnpackBlock

void Check(bool condition) {
    if (!condition) std::abort();
}

// The length field at position, which the check promises is there for every named file.
uint32_t LengthAt(ByteView package, uint64_t position) {
    Check(position <= package.size && package.size - position >= 4);
    const uint8_t* p = package.data + position;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// A package the check passes has, for every file entry that names a path, its whole block in the
// package, with a header the decoder can start from.
void HoldToTheCheck(ByteView package, const PackageInfo& info) {
    FileList list;
    std::string error;
    if (!CheckPackage(package, info, &list, &error)) {
        Check(!error.empty() && list.entries.size() <= ListCaps{}.entries);
        return;
    }
    Check(PackageTextsAreSafe(info));
    uint64_t position = list.firstBlock;
    for (const PackageEntry& entry : list.entries) {
        if (entry.folder || entry.path.empty()) continue;
        const uint32_t stated = LengthAt(package, position);
        const ByteView block = NextFileBlock(package, &position);
        Check(block.size == stated && CheckBlockHeader(block.data, block.size));
    }
}

// Unpacks one block piece by piece and holds the two ways of unpacking to the same result.
void UnpackOne(ByteView package, ByteView block) {
    Check(block.size == 0 ||
          (block.data >= package.data && block.size <= package.size &&
           block.data - package.data <= static_cast<std::ptrdiff_t>(package.size - block.size)));
    uint32_t declared = 0;
    unsigned headerBytes = 0;
    const bool hasHeader = BlockDeclaredSize(block.data, block.size, &declared, &headerBytes);
    size_t produced = 0;
    std::vector<uint8_t> content;
    const BlockSink sink = [&](const uint8_t* data, size_t size) {
        Check(size <= kPieceLimit);
        produced += size;
        if (produced <= kCompareLimit) content.insert(content.end(), data, data + size);
        return true;
    };
    const UnpackResult result = UnpackBlockTo(block.data, block.size, sink);
    if (result != UnpackResult::kComplete) return;
    Check(hasHeader && produced == declared);
    if (produced <= kCompareLimit) Check(UnpackBlock(block.data, block.size) == content);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteView file{data, size};
    ByteView package;
    if (!LocatePackage(file, &package)) package = file;
    PackageInfo info;
    std::string error;
    ReadPackageInfo(package, &info, &error);
    HoldToTheCheck(package, info);
    FileList list;
    if (!ReadFileList(package, &list, &error)) return 0;
    Check(list.entries.size() <= ListCaps{}.entries);
    uint64_t position = list.firstBlock;
    for (const PackageEntry& entry : list.entries) {
        IsSafeRelativePath(entry.path);
        if (entry.folder) continue;
        UnpackOne(package, NextFileBlock(package, &position));
    }
    return 0;
}
