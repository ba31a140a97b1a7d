// Reading the installer package and extracting its entries. Portable: files are reached through
// setup/package_io.h, blocks through setup/lzma_block.h, and the package itself is only ever
// looked at through ByteView, never copied.
#include "setup/package.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "setup/lzma_block.h"
#include "setup/package_io.h"

namespace {

constexpr char kMagic[] = "lczip";
constexpr size_t kMagicSize = sizeof kMagic - 1;
constexpr size_t kMaxInfoCharacters = 99;

// ---- Positions in the package ----

// The u32 at position, or 0 when its four bytes are not all present.
uint32_t ReadLength(ByteView package, size_t position) {
    if (position > package.size || package.size - position < 4) return 0;
    const uint8_t* p = package.data + position;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The length-prefixed block at *position, cut to the bytes present; *position moves past it. The
// position is held at the package's end, so a hostile length can never wrap it round.
ByteView TakeBlock(ByteView package, size_t* position) {
    const size_t at = std::min(*position, package.size);
    const uint32_t length = ReadLength(package, at);
    const size_t start = package.size - at < 4 ? package.size : at + 4;
    const size_t taken = std::min<size_t>(length, package.size - start);
    *position = start + taken;
    ByteView block;
    if (taken > 0) block = {package.data + start, taken};
    return block;
}

bool HasMagic(ByteView package) {
    return package.size >= kMagicSize && std::memcmp(package.data, kMagic, kMagicSize) == 0;
}

// ---- Texts ----

// Calls take(line) for each CR LF separated line of content, the part after the last CR LF
// included. Lines are made one at a time, so a list of millions of lines is never held twice.
template <typename Take>
void ForEachLine(const std::vector<uint8_t>& content, Take take) {
    const char* text = reinterpret_cast<const char*>(content.data());
    size_t start = 0;
    for (size_t i = 0; i + 1 < content.size(); ++i) {
        if (text[i] != '\r' || text[i + 1] != '\n') continue;
        take(std::string(text + start, i - start));
        start = i + 2;
        ++i;
    }
    take(std::string(text + start, content.size() - start));
}

size_t CountLines(const std::vector<uint8_t>& content) {
    size_t lines = 1;
    for (size_t i = 0; i + 1 < content.size(); ++i) {
        if (content[i] == '\r' && content[i + 1] == '\n') ++lines, ++i;
    }
    return lines;
}

// The first maxCharacters characters of a UTF-8 line: a character starts at every byte that is
// not a continuation byte, so a cut never splits one (stray bytes count as one character each).
std::string CutCharacters(const std::string& line, size_t maxCharacters) {
    size_t characters = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if ((byte & 0xC0) != 0x80 && characters++ == maxCharacters) return line.substr(0, i);
    }
    return line;
}

void ApplyInfoLine(const std::string& line, PackageInfo* info) {
    const struct {
        const char* key;
        std::string PackageInfo::*value;
    } keys[] = {
        {"名称=", &PackageInfo::name},        {"文件名=", &PackageInfo::programFile},
        {"版本号=", &PackageInfo::version},   {"日期=", &PackageInfo::date},
        {"说明=", &PackageInfo::description},
    };
    for (const auto& key : keys) {
        const size_t keySize = std::strlen(key.key);
        if (line.compare(0, keySize, key.key) == 0) {
            info->*key.value = line.substr(keySize);
            return;
        }
    }
}

PackageEntry ParseEntry(const std::string& line) {
    PackageEntry entry;
    if (line.compare(0, 3, "DIR") == 0) {
        entry.folder = true;
        entry.path = line.substr(3);
        return entry;
    }
    // A line shorter than the time field is read with its missing bytes as zeros and no path.
    for (size_t i = 0; i < 8 && i < line.size(); ++i) {
        entry.fileTime |= static_cast<uint64_t>(static_cast<unsigned char>(line[i])) << (8 * i);
    }
    if (line.size() > 8) entry.path = line.substr(8);
    return entry;
}

// ---- Paths ----

// Windows strips trailing dots and spaces from a name, so "..." or ".. " would name the parent as
// ".." does: a component made only of those is refused outright.
bool IsDotsAndSpaces(const std::string& component) {
    return !component.empty() && component.find_first_not_of(". ") == std::string::npos;
}

// Names that Windows opens as devices in any folder ("NUL", "COM1.txt", ...): writing there would
// reach a port or the console instead of a file under the target folder.
bool IsDeviceName(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$") {
        return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

bool HasUnsafeByte(const std::string& path) {
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        // ':' makes a drive letter or an alternate data stream; '/' would be a second separator
        // where the POSIX side maps '\' to '/'.
        if (byte < 0x20 || byte == 0x7F || c == ':' || c == '/') return true;
    }
    return false;
}

// A name that may stand alone in a folder: a safe relative path of one component.
bool IsSafeName(const std::string& name) {
    return name.find('\\') == std::string::npos && IsSafeRelativePath(name);
}

// The next file block at *position, as NextFileBlock takes it, with its length field present and
// the whole block inside the package. An entry with no path writes nothing, so its block may be
// missing, as the empty entry after a list's final CR LF finds none.
bool CheckNextBlock(ByteView package, size_t* position, bool writes) {
    const size_t at = std::min(*position, package.size);
    const bool lengthPresent = package.size - at >= 4;
    const uint32_t length = ReadLength(package, at);
    const ByteView block = TakeBlock(package, position);
    if (!lengthPresent) return !writes;
    return block.size == length && (!writes || CheckBlockHeader(block.data, block.size));
}

// The entries of the list's text, refused before anything is held for them when they would pass
// the caps (the memory counted is the records and every byte of the text as paths).
bool ParseList(const std::vector<uint8_t>& content, const ListCaps& caps,
               std::vector<PackageEntry>* entries) {
    const size_t lines = CountLines(content);
    if (lines > caps.entries || lines * sizeof(PackageEntry) + content.size() > caps.memory) return false;
    entries->reserve(lines);
    ForEachLine(content, [entries](const std::string& line) { entries->push_back(ParseEntry(line)); });
    return true;
}

// True when a folder or file on the entry's path below the target is a link or junction: writing
// through it would land wherever it points, outside the target folder perhaps.
bool LinkOnTheWay(const std::string& targetFolder, const std::string& path) {
    for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        if (KindOfPath(targetFolder + path.substr(0, end)) == PathKind::kLink) return true;
        if (end == std::string::npos) return false;
    }
}

ApplyResult ApplyFolder(const std::string& fullPath) {
    switch (KindOfPath(fullPath)) {
        case PathKind::kFolder:
            return ApplyResult::kDone;
        case PathKind::kNone:
            return CreateOneFolder(fullPath) ? ApplyResult::kDone : ApplyResult::kNotWritten;
        default:
            return ApplyResult::kNotWritten;
    }
}

// The new content is written beside the old file under this name and put in its place when whole.
constexpr char kNewFileSuffix[] = ".lcnew";

ApplyResult UnfinishedFile(const std::string& newPath, ApplyResult why) {
    RemoveFile(newPath);  // a leftover is harmless: the next install writes over it first
    return why;
}

ApplyResult ApplyFile(const std::string& fullPath, uint64_t fileTime, ByteView block) {
    const std::string newPath = fullPath + kNewFileSuffix;
    // A link left at the new file's name would be followed by the create.
    if (!RemoveFile(newPath)) return ApplyResult::kNotWritten;
    OutputFile* file = CreateOutputFile(newPath);
    if (file == nullptr) return ApplyResult::kNotWritten;
    const UnpackResult result =
        UnpackBlockTo(block.data, block.size,
                      [file](const uint8_t* data, size_t size) { return WriteOutput(file, data, size); });
    const bool whole = result == UnpackResult::kComplete || result == UnpackResult::kEmpty;
    const ApplyResult failure =
        result == UnpackResult::kSinkStopped ? ApplyResult::kNotWritten : ApplyResult::kDamaged;
    // Never keep part of a file: an old file stays as it was; without one, an empty file with the
    // entry's time stands for the content that could not be had.
    const bool keepOld = !whole && KindOfPath(fullPath) != PathKind::kNone;
    const bool emptied = whole || keepOld || TruncateOutput(file);
    if (!CloseOutputFile(file, fileTime) || !emptied)
        return UnfinishedFile(newPath, ApplyResult::kNotWritten);
    if (keepOld) return UnfinishedFile(newPath, failure);
    switch (ReplaceFileWith(newPath, fullPath)) {
        case ReplaceResult::kDone:
            return whole ? ApplyResult::kDone : failure;
        case ReplaceResult::kInUse:
            return UnfinishedFile(newPath, ApplyResult::kInUse);
        default:
            return UnfinishedFile(newPath, ApplyResult::kNotWritten);
    }
}

EntryFailure FailureOf(ApplyResult result) {
    switch (result) {
        case ApplyResult::kRefused:
            return EntryFailure::kRefused;
        case ApplyResult::kDamaged:
            return EntryFailure::kDamaged;
        case ApplyResult::kInUse:
            return EntryFailure::kInUse;
        default:
            return EntryFailure::kNotWritten;
    }
}

// Applies one entry, asking what to do while its file is held open, and counts what it came to.
// False when the user cancelled.
bool ApplyAndCount(const std::string& targetFolder, const PackageEntry& entry, ByteView block,
                   ExtractObserver* observer, ExtractOutcome* outcome) {
    ApplyResult result = ApplyEntry(targetFolder, entry, block);
    InUseAnswer answer = InUseAnswer::kSkip;
    while (result == ApplyResult::kInUse && observer != nullptr &&
           (answer = observer->FileInUse(entry)) == InUseAnswer::kRetry) {
        result = ApplyEntry(targetFolder, entry, block);
    }
    if (result == ApplyResult::kDone) {
        if (!entry.folder && !entry.path.empty()) ++outcome->filesWritten;
        return true;
    }
    if (result == ApplyResult::kRefused && observer != nullptr) observer->Refused(entry);
    outcome->failures.emplace_back(entry.path, FailureOf(result));
    return answer != InUseAnswer::kCancel;
}

}  // namespace

std::string PackageMarker() {
    // Both pieces in one array with a byte between them, so that no layout the linker picks can
    // put the 22 marker bytes side by side in the program image: the installer would then find
    // its own code instead of the package. GBK for "澜川软件" and "安装包文件信息".
    static const uint8_t kPieces[] = {0xC0, 0xBD, 0xB4, 0xA8, 0xC8, 0xED, 0xBC, 0xFE,  //
                                      0x00,                                            //
                                      0xB0, 0xB2, 0xD7, 0xB0, 0xB0, 0xFC, 0xCE, 0xC4,
                                      0xBC, 0xFE, 0xD0, 0xC5, 0xCF, 0xA2};
    constexpr size_t kFirst = 8;
    std::string marker(reinterpret_cast<const char*>(kPieces), kFirst);
    marker.append(reinterpret_cast<const char*>(kPieces) + kFirst + 1, sizeof kPieces - kFirst - 1);
    return marker;
}

bool LocatePackage(ByteView file, ByteView* package) {
    const std::string marker = PackageMarker();
    if (file.data == nullptr || file.size < marker.size()) return false;
    const uint8_t* end = file.data + file.size;
    const uint8_t* found = std::search(file.data, end, marker.begin(), marker.end(),
                                       [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    if (found == end) return false;
    package->data = found + marker.size();
    package->size = static_cast<size_t>(end - package->data);
    return true;
}

bool ReadPackageInfo(ByteView package, PackageInfo* info, std::string* error) {
    if (!HasMagic(package)) {
        *error = kNotAPackageMessage;
        return false;
    }
    size_t position = kMagicSize;
    const ByteView block = TakeBlock(package, &position);
    *info = PackageInfo{};
    try {
        ForEachLine(UnpackBlock(block.data, block.size), [info](const std::string& line) {
            ApplyInfoLine(CutCharacters(line, kMaxInfoCharacters), info);
        });
    } catch (const std::bad_alloc&) {
        *info = PackageInfo{};
        *error = kDamagedPackageMessage;
        return false;
    }
    return true;
}

bool ReadFileList(ByteView package, FileList* list, std::string* error, const ListCaps& caps) {
    if (!HasMagic(package)) {
        *error = kNotAPackageMessage;
        return false;
    }
    size_t position = kMagicSize;
    TakeBlock(package, &position);  // the description
    const ByteView block = TakeBlock(package, &position);
    *list = FileList{};
    try {
        const std::vector<uint8_t> content = UnpackBlock(block.data, block.size);
        if (content.empty()) {
            *error = kNoFileListMessage;
            return false;
        }
        if (ParseList(content, caps, &list->entries)) {
            list->firstBlock = position;
            return true;
        }
    } catch (const std::bad_alloc&) {
        // Memory ran out although the caps held (a 32-bit process with a fragmented address space):
        // the package cannot be installed here, and is told as damaged rather than crashing.
    }
    *list = FileList{};
    *error = kDamagedPackageMessage;
    return false;
}

bool CheckPackage(ByteView package, const PackageInfo& info, FileList* list, std::string* error) {
    if (!ReadFileList(package, list, error)) return false;
    *error = kDamagedPackageMessage;
    if (!PackageTextsAreSafe(info)) return false;
    size_t position = list->firstBlock;
    for (const PackageEntry& entry : list->entries) {
        if (!entry.folder && !CheckNextBlock(package, &position, !entry.path.empty())) return false;
    }
    error->clear();
    return true;
}

bool PackageTextsAreSafe(const PackageInfo& info) {
    if (!IsSafeName(info.name)) return false;
    if (info.programFile == kDecompressOnlyProgram) return IsSafeRelativePath(info.description);
    return IsSafeRelativePath(info.programFile);
}

ByteView NextFileBlock(ByteView package, size_t* position) {
    return TakeBlock(package, position);
}

bool IsSafeRelativePath(const std::string& path) {
    if (path.empty() || path[0] == '\\' || HasUnsafeByte(path)) return false;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        const std::string component =
            path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (IsDotsAndSpaces(component) || IsDeviceName(component)) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

ApplyResult ApplyEntry(const std::string& targetFolder, const PackageEntry& entry, ByteView block) {
    // An empty path names the target folder itself, as the empty last entry of a list ending in
    // CR LF does: there is nothing to write, and nothing hostile to report either.
    if (entry.path.empty()) return FolderExists(targetFolder) ? ApplyResult::kDone : ApplyResult::kNotWritten;
    if (!IsSafeRelativePath(entry.path)) return ApplyResult::kRefused;
    if (LinkOnTheWay(targetFolder, entry.path)) return ApplyResult::kNotWritten;
    const std::string fullPath = targetFolder + entry.path;
    return entry.folder ? ApplyFolder(fullPath) : ApplyFile(fullPath, entry.fileTime, block);
}

ExtractOutcome ExtractAll(ByteView package, const FileList& list, const std::string& targetFolder,
                          ExtractObserver* observer) {
    ExtractOutcome outcome;
    size_t position = list.firstBlock;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const PackageEntry& entry = list.entries[i];
        if (observer != nullptr && observer->StopRequested()) {
            outcome.stopped = true;
            break;
        }
        if (observer != nullptr) observer->BeforeEntry(i, entry);
        // A file entry takes its block before anything else, whatever becomes of the entry.
        const ByteView block = entry.folder ? ByteView{} : NextFileBlock(package, &position);
        if (!ApplyAndCount(targetFolder, entry, block, observer, &outcome)) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
}

bool EnsureFolderPath(const std::string& path) {
    std::string whole = path;
    if (!whole.empty() && whole.back() == '\\') whole.pop_back();
    // The first piece (the drive, or on POSIX everything before the first '\') is taken as given.
    size_t end = whole.find('\\');
    std::string current = whole.substr(0, end);
    while (end != std::string::npos) {
        const size_t start = end + 1;
        end = whole.find('\\', start);
        const std::string piece =
            whole.substr(start, end == std::string::npos ? std::string::npos : end - start);
        current += '\\';
        current += piece;
        if (!piece.empty() && !FolderExists(current)) CreateOneFolder(current);
    }
    return FolderExists(whole);
}
