// Reading the installer package and extracting its entries. Portable: files are reached through
// setup/package_io.h, blocks through setup/lzma_block.h, and the package itself is only ever
// looked at through a window on it, never copied.
#include "setup/package.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <new>

#include "setup/lzma_block.h"
#include "setup/ordered_work.h"
#include "setup/package_io.h"

namespace {

constexpr size_t kMaxInfoCharacters = 99;

// ---- Reading the package through a window ----

// One view of the package at a time. A package in memory is its own view; one in a file is mapped
// a window at a time, so that no reading ever needs more address space than a window (or the few
// bytes asked for together, when more).
struct Window {
    explicit Window(const PackageSource& package) : source(package) {}
    ~Window() { ReleaseFileBytes(&view); }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const PackageSource& source;
    FileBytes view;
    uint64_t viewStart = 0;  // the package position of view.data[0]
};

// The bytes from position on: at least `together` of them in one piece (fewer only where the
// package ends), at most `most`. Empty past the end, or when the file cannot be viewed there.
ByteView Read(Window* window, uint64_t position, size_t together, size_t most) {
    const PackageSource& source = window->source;
    if (position >= source.size) return {};
    const uint64_t left = source.size - position;
    most = static_cast<size_t>(std::min<uint64_t>(most, left));
    together = std::min(together, most);
    if (source.file == nullptr) return {source.memory.data + position, most};
    FileBytes& view = window->view;
    const bool inView = view.data != nullptr && position >= window->viewStart &&
                        position - window->viewStart + together <= view.size;
    if (!inView) {
        ReleaseFileBytes(&view);
        const auto length = static_cast<size_t>(std::min<uint64_t>(std::max(together, source.windowBytes), left));
        if (!MapFileBytes(source.file, source.start + position, length, &view)) return {};
        window->viewStart = position;
    }
    const auto offset = static_cast<size_t>(position - window->viewStart);
    return {view.data + offset, std::min(most, view.size - offset)};
}

// The u32 at position, or 0 when its four bytes are not all present.
uint32_t ReadLength(Window* window, uint64_t position) {
    const ByteView bytes = Read(window, position, 4, 4);
    if (bytes.size < 4) return 0;
    const uint8_t* p = bytes.data;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Where a length-prefixed block lies in the package.
struct BlockPlace {
    bool lengthPresent = false;  // all four bytes of its length field
    uint32_t stated = 0;         // what the length field says
    uint64_t start = 0;
    size_t length = 0;  // cut to the bytes present
};

// The length-prefixed block at *position, cut to the bytes present; *position moves past it. The
// position is held at the package's end, so a hostile length can never wrap it round.
BlockPlace TakeBlock(Window* window, uint64_t* position) {
    const uint64_t size = window->source.size;
    const uint64_t at = std::min(*position, size);
    BlockPlace place;
    place.lengthPresent = size - at >= 4;
    place.stated = ReadLength(window, at);
    place.start = place.lengthPresent ? at + 4 : size;
    place.length = static_cast<size_t>(std::min<uint64_t>(place.stated, size - place.start));
    *position = place.start + place.length;
    return place;
}

// The block's bytes through the window, as the decoder takes them.
BlockReader ReaderOf(Window* window, const BlockPlace& place) {
    return [window, place](size_t offset) {
        return offset < place.length ? Read(window, place.start + offset, 1, place.length - offset) : ByteView{};
    };
}

// An entry's content as the writer takes it: unpacked from the package into the sink as it is
// written, or handed over from memory where a worker unpacked it ahead.
using ContentSource = std::function<UnpackResult(const BlockSink& sink)>;

ContentSource StreamFrom(Window* window, const BlockPlace& place) {
    return [window, place](const BlockSink& sink) {
        return UnpackBlockFrom(place.length, ReaderOf(window, place), sink);
    };
}

bool HasMagic(Window* window) {
    const ByteView magic = Read(window, 0, kPackageMagicSize, kPackageMagicSize);
    if (magic.size != kPackageMagicSize) return false;
    return std::memcmp(magic.data, kPackageMagic, kPackageMagicSize) == 0 ||
           std::memcmp(magic.data, kStoredPackageMagic, kPackageMagicSize) == 0;
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
bool CheckNextBlock(Window* window, uint64_t* position, bool writes) {
    const BlockPlace place = TakeBlock(window, position);
    if (!place.lengthPresent) return !writes;
    if (place.length != place.stated) return false;
    if (!writes) return true;
    const size_t headSize = std::min(place.length, kBlockHeadBytes);
    const ByteView head = Read(window, place.start, headSize, headSize);
    return head.size == headSize && CheckBlockHeader(head.data, place.length);
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

ApplyResult ApplyFile(const std::string& fullPath, uint64_t fileTime, const ContentSource& content) {
    const std::string newPath = fullPath + kNewFileSuffix;
    // A link left at the new file's name would be followed by the create.
    if (!RemoveFile(newPath)) return ApplyResult::kNotWritten;
    OutputFile* file = CreateOutputFile(newPath);
    if (file == nullptr) return ApplyResult::kNotWritten;
    const UnpackResult result =
        content([file](const uint8_t* data, size_t size) { return WriteOutput(file, data, size); });
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

ApplyResult ApplyEntryFrom(const std::string& targetFolder, const PackageEntry& entry,
                           const ContentSource& content) {
    // An empty path names the target folder itself, as the empty last entry of a list ending in
    // CR LF does: there is nothing to write, and nothing hostile to report either.
    if (entry.path.empty()) return FolderExists(targetFolder) ? ApplyResult::kDone : ApplyResult::kNotWritten;
    if (!IsSafeRelativePath(entry.path)) return ApplyResult::kRefused;
    if (LinkOnTheWay(targetFolder, entry.path)) return ApplyResult::kNotWritten;
    const std::string fullPath = targetFolder + entry.path;
    return entry.folder ? ApplyFolder(fullPath) : ApplyFile(fullPath, entry.fileTime, content);
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
bool ApplyAndCount(const std::string& targetFolder, const PackageEntry& entry, const ContentSource& content,
                   ExtractObserver* observer, ExtractOutcome* outcome) {
    ApplyResult result = ApplyEntryFrom(targetFolder, entry, content);
    InUseAnswer answer = InUseAnswer::kSkip;
    while (result == ApplyResult::kInUse && observer != nullptr &&
           (answer = observer->FileInUse(entry)) == InUseAnswer::kRetry) {
        result = ApplyEntryFrom(targetFolder, entry, content);
    }
    if (result == ApplyResult::kDone) {
        if (!entry.folder && !entry.path.empty()) ++outcome->filesWritten;
        return true;
    }
    if (result == ApplyResult::kRefused && observer != nullptr) observer->Refused(entry);
    outcome->failures.emplace_back(entry.path, FailureOf(result));
    return answer != InUseAnswer::kCancel;
}

// True when the observer asks to stop before entry `index`; tells it of the entry otherwise.
bool StopBefore(size_t index, const PackageEntry& entry, ExtractObserver* observer) {
    if (observer == nullptr) return false;
    if (observer->StopRequested()) return true;
    observer->BeforeEntry(index, entry);
    return false;
}

ExtractOutcome ExtractSerially(const PackageSource& package, const FileList& list,
                               const std::string& targetFolder, ExtractObserver* observer) {
    ExtractOutcome outcome;
    Window window(package);
    uint64_t position = list.firstBlock;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const PackageEntry& entry = list.entries[i];
        if (StopBefore(i, entry, observer)) {
            outcome.stopped = true;
            break;
        }
        // A file entry takes its block before anything else, whatever becomes of the entry.
        const BlockPlace block = entry.folder ? BlockPlace{} : TakeBlock(&window, &position);
        if (!ApplyAndCount(targetFolder, entry, StreamFrom(&window, block), observer, &outcome)) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
}

// ---- Unpacking ahead on worker threads ----

// Files up to this size are unpacked by a worker into memory; a larger one is unpacked by the
// writing thread straight into its file, as in a serial run, with one dictionary of its own.
constexpr size_t kWorkerFileLimit = 32u << 20;
// The most unpacked content held at once, being made or waiting to be written.
constexpr size_t kUnpackedBudget = 40u << 20;
// What an item costs beside its content (its record, the decoder's tables), so that even a run of
// empty files waits in bounded number.
constexpr size_t kItemOverhead = 16u << 10;

struct UnpackedBlock {
    BlockPlace place;
    std::vector<uint8_t> content;
    UnpackResult result = UnpackResult::kFailed;
    bool outOfMemory = false;  // the writer unpacks it itself, piece by piece
};

// The blocks as the workers walk them, one entry ahead of another, under the run's lock.
struct BlockScan {
    BlockScan(const PackageSource& package, uint64_t first) : window(package), position(first) {}
    Window window;
    uint64_t position;
};

uint32_t DeclaredSize(Window* window, const BlockPlace& place) {
    const size_t headSize = std::min(place.length, kBlockHeadBytes);
    const ByteView head = Read(window, place.start, headSize, headSize);
    uint32_t size = 0;
    unsigned header = 0;
    if (head.size < headSize || !BlockDeclaredSize(head.data, place.length, &size, &header)) return 0;
    return size;
}

// Which entries a worker unpacks: files with content up to the limit. Folders, the empty path and
// empty blocks cost the writer nothing to do itself.
bool ForWorker(const FileList& list, BlockScan* scan, size_t index, UnpackedBlock* item, size_t* cost) {
    const PackageEntry& entry = list.entries[index];
    if (entry.folder) return false;
    item->place = TakeBlock(&scan->window, &scan->position);
    const uint32_t size = entry.path.empty() ? 0 : DeclaredSize(&scan->window, item->place);
    if (size == 0 || size > kWorkerFileLimit) return false;
    *cost = size + kItemOverhead;
    return true;
}

void UnpackAhead(const PackageSource& package, UnpackedBlock* item, const std::atomic<bool>& stopping) {
    Window window(package);
    try {
        item->result =
            UnpackBlockInto(item->place.length, ReaderOf(&window, item->place), &item->content, stopping);
    } catch (const std::bad_alloc&) {
        item->outOfMemory = true;
    }
}

// A worker's content as ApplyFile takes it: the whole of it at once, or the failure.
ContentSource Replay(const UnpackedBlock& item) {
    return [&item](const BlockSink& sink) {
        if (item.result != UnpackResult::kComplete) return item.result;
        return sink(item.content.data(), item.content.size()) ? UnpackResult::kComplete
                                                              : UnpackResult::kSinkStopped;
    };
}

// The serial walk, with file blocks unpacked ahead by the workers: the writing, the observer and
// the outcome stay on this thread and in list order.
ExtractOutcome ExtractWithWorkers(const PackageSource& package, const FileList& list,
                                  const std::string& targetFolder, ExtractObserver* observer,
                                  unsigned workers) {
    BlockScan scan(package, list.firstBlock);
    OrderedJobs<UnpackedBlock> jobs;
    jobs.count = list.entries.size();
    jobs.budget = kUnpackedBudget;
    jobs.classify = [&list, &scan](size_t index, UnpackedBlock* item, size_t* cost) {
        return ForWorker(list, &scan, index, item, cost);
    };
    jobs.make = [&package](UnpackedBlock* item, const std::atomic<bool>& stopping) {
        UnpackAhead(package, item, stopping);
    };
    OrderedRun<UnpackedBlock> run(std::move(jobs), workers);
    ExtractOutcome outcome;
    Window window(package);
    uint64_t position = list.firstBlock;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const PackageEntry& entry = list.entries[i];
        if (StopBefore(i, entry, observer)) {
            outcome.stopped = true;
            break;
        }
        const BlockPlace block = entry.folder ? BlockPlace{} : TakeBlock(&window, &position);
        UnpackedBlock item;
        const bool ahead = run.Take(i, &item) && !item.outOfMemory;
        if (!ApplyAndCount(targetFolder, entry, ahead ? Replay(item) : StreamFrom(&window, block), observer,
                           &outcome)) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
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

PackageSource FileSource(ViewedFile* file, uint64_t size, size_t windowBytes) {
    PackageSource source;
    source.file = file;
    source.size = size;
    source.windowBytes = windowBytes;
    return source;
}

bool LocatePackage(const PackageSource& file, PackageSource* package) {
    const std::string marker = PackageMarker();
    const auto first = static_cast<unsigned char>(marker[0]);
    Window window(file);
    // Window by window, each overlapping the last by less than a marker, so that a marker lying
    // across two windows is seen whole in the second.
    for (uint64_t position = 0; position + marker.size() <= file.size;) {
        const ByteView piece = Read(&window, position, marker.size(), file.windowBytes);
        if (piece.size < marker.size()) return false;
        const size_t last = piece.size - marker.size();
        for (size_t at = 0; at <= last; ++at) {
            const void* hit = std::memchr(piece.data + at, first, last + 1 - at);
            if (hit == nullptr) break;
            at = static_cast<size_t>(static_cast<const uint8_t*>(hit) - piece.data);
            if (std::memcmp(piece.data + at, marker.data(), marker.size()) != 0) continue;
            const uint64_t skipped = position + at + marker.size();
            *package = file;
            package->start += skipped;
            package->size -= skipped;
            if (file.file == nullptr) package->memory = {file.memory.data + skipped, static_cast<size_t>(package->size)};
            return true;
        }
        position += last + 1;
    }
    return false;
}

bool LocatePackage(ByteView file, ByteView* package) {
    PackageSource found;
    if (!LocatePackage(PackageSource(file), &found)) return false;
    *package = found.memory;
    return true;
}

bool ReadPackageInfo(const PackageSource& package, PackageInfo* info, std::string* error) {
    Window window(package);
    if (!HasMagic(&window)) {
        *error = kNotAPackageMessage;
        return false;
    }
    uint64_t position = kPackageMagicSize;
    const BlockPlace block = TakeBlock(&window, &position);
    *info = PackageInfo{};
    try {
        ForEachLine(UnpackBlockFrom(block.length, ReaderOf(&window, block)), [info](const std::string& line) {
            ApplyInfoLine(CutCharacters(line, kMaxInfoCharacters), info);
        });
    } catch (const std::bad_alloc&) {
        *info = PackageInfo{};
        *error = kDamagedPackageMessage;
        return false;
    }
    return true;
}

bool ReadFileList(const PackageSource& package, FileList* list, std::string* error, const ListCaps& caps) {
    Window window(package);
    if (!HasMagic(&window)) {
        *error = kNotAPackageMessage;
        return false;
    }
    uint64_t position = kPackageMagicSize;
    TakeBlock(&window, &position);  // the description
    const BlockPlace block = TakeBlock(&window, &position);
    *list = FileList{};
    try {
        const std::vector<uint8_t> content = UnpackBlockFrom(block.length, ReaderOf(&window, block));
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

bool CheckPackage(const PackageSource& package, const PackageInfo& info, FileList* list, std::string* error) {
    if (!ReadFileList(package, list, error)) return false;
    *error = kDamagedPackageMessage;
    if (!PackageTextsAreSafe(info)) return false;
    Window window(package);
    uint64_t position = list->firstBlock;
    for (const PackageEntry& entry : list->entries) {
        if (!entry.folder && !CheckNextBlock(&window, &position, !entry.path.empty())) return false;
    }
    error->clear();
    return true;
}

bool PackageTextsAreSafe(const PackageInfo& info) {
    if (!IsSafeName(info.name)) return false;
    if (info.programFile == kDecompressOnlyProgram) return IsSafeRelativePath(info.description);
    return IsSafeRelativePath(info.programFile);
}

ByteView NextFileBlock(ByteView package, uint64_t* position) {
    const PackageSource source(package);
    Window window(source);
    const BlockPlace place = TakeBlock(&window, position);
    if (place.length == 0) return {};
    return {package.data + place.start, place.length};
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
    return ApplyEntryFrom(targetFolder, entry, [block](const BlockSink& sink) {
        return UnpackBlockFrom(block.size, ReaderOfBytes(block), sink);
    });
}

ExtractOutcome ExtractAll(const PackageSource& package, const FileList& list, const std::string& targetFolder,
                          ExtractObserver* observer) {
    return ExtractAll(package, list, targetFolder, observer, DefaultJobs());
}

ExtractOutcome ExtractAll(const PackageSource& package, const FileList& list, const std::string& targetFolder,
                          ExtractObserver* observer, unsigned jobs) {
    if (jobs <= 1) return ExtractSerially(package, list, targetFolder, observer);
    return ExtractWithWorkers(package, list, targetFolder, observer, std::min(jobs, kMostExtractJobs));
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

FileBytes ReadFileBytes(const std::string& path) {
    FileBytes bytes;
    uint64_t size = 0;
    ViewedFile* file = OpenViewedFile(path, &size);
    if (file != nullptr && size <= SIZE_MAX) MapFileBytes(file, 0, static_cast<size_t>(size), &bytes);
    CloseViewedFile(file);
    return bytes;
}
