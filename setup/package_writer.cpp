#include "setup/package_writer.h"

#include <algorithm>
#include <fstream>
#include <new>
#include <random>
#include <system_error>
#include <utility>

#include "setup/lzma_block.h"
#include "setup/ordered_work.h"
#include "setup/package_io.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kInfoLineCharacters = 99;  // the reader cuts longer lines
constexpr size_t kReadChunk = 1u << 20;

const char kCrLf[] = "\r\n";

// The keys of the description block, in the order the lines are written.
struct InfoLine {
    const char* key;
    const std::string PackageInfo::*value;
};
const InfoLine kInfoLines[] = {
    {"名称=", &PackageInfo::name}, {"文件名=", &PackageInfo::programFile}, {"版本号=", &PackageInfo::version},
    {"日期=", &PackageInfo::date}, {"说明=", &PackageInfo::description},
};

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// UTF-16 code units of well-formed UTF-8 (what the reader counts as characters); false on
// malformed bytes, which the reader would turn into replacement characters.
bool Utf16Length(const std::string& text, size_t* units) {
    *units = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        uint32_t code = length == 1 ? c : c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        *units += code >= 0x10000 ? 2 : 1;
        i += length;
    }
    return true;
}

bool IsUtf8(const std::string& text) {
    size_t units = 0;
    return Utf16Length(text, &units);
}

std::string EntryName(const SourceEntry& entry) {
    return entry.source.empty() ? entry.path : entry.source.u8string();
}

// A FILETIME's bytes as the list line holds them: low byte first.
std::string FileTimeBytes(uint64_t fileTime) {
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<char>((fileTime >> (8 * i)) & 0xFF);
    return bytes;
}

std::string TimeProblem(const SourceEntry& entry) {
    const std::string bytes = FileTimeBytes(entry.fileTime);
    const char* what = nullptr;
    if (bytes.compare(0, 3, "DIR") == 0) {
        what = "的修改时间的头三个字节是 \"DIR\"，安装程序会把它当作文件夹";
    } else if (bytes.find(kCrLf) != std::string::npos) {
        what = "的修改时间含有字节对 CR LF，安装程序会在这里断行";
    }
    if (!what) return std::string();
    return "文件 " + EntryName(entry) + " " + what + "；请更新它的修改时间（例如 touch 该文件）后再打包";
}

void AppendU32(std::string* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Writes a block after its length; *stored becomes true when it is stored as it is.
bool WriteBlock(std::ostream& out, const std::vector<uint8_t>& block, bool* stored) {
    if (IsStoredBlock(block.data(), block.size())) *stored = true;
    std::string length;
    AppendU32(&length, static_cast<uint32_t>(block.size()));
    out.write(length.data(), 4);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    return static_cast<bool>(out);
}

bool PackText(const std::string& text, std::vector<uint8_t>* block) {
    return PackBlock(reinterpret_cast<const uint8_t*>(text.data()), text.size(), block);
}

// The whole content of one file; false when it cannot be read or has grown past what a block holds.
bool ReadContent(const SourceEntry& entry, std::vector<uint8_t>* content, std::string* error) {
    std::ifstream in(entry.source, std::ios::binary);
    if (!in) {
        *error = "无法读取文件 " + EntryName(entry);
        return false;
    }
    content->clear();
    content->reserve(static_cast<size_t>(std::min<uint64_t>(entry.size, kMaxBlockContent)));
    while (in) {
        const size_t used = content->size();
        if (used > kMaxBlockContent) {
            *error = "文件 " + EntryName(entry) + " 在打包时增长到 1 GiB 以上，安装包无法容纳";
            return false;
        }
        content->resize(used + kReadChunk);
        in.read(reinterpret_cast<char*>(content->data() + used), kReadChunk);
        content->resize(used + static_cast<size_t>(in.gcount()));
    }
    if (!in.eof()) {
        *error = "读取文件 " + EntryName(entry) + " 时出错";
        return false;
    }
    return true;
}

// ---- Packing files on worker threads ----

// What files read and not yet written out may hold at once (one file alone may pass it).
constexpr size_t kPackingBudget = 64u << 20;
constexpr size_t kItemOverhead = 16u << 10;

struct PackedFile {
    const SourceEntry* entry = nullptr;
    std::vector<uint8_t> block;
    std::string error;  // empty when packed
};

void PackFile(PackedFile* item) {
    std::vector<uint8_t> content;
    try {
        if (!ReadContent(*item->entry, &content, &item->error)) return;
        if (!PackBlock(content.data(), content.size(), &item->block))
            item->error = "无法压缩文件 " + EntryName(*item->entry);
    } catch (const std::bad_alloc&) {
        item->error = "内存不足，无法压缩文件 " + EntryName(*item->entry);
    }
}

// Packs the files on `jobs` workers side by side (none: each on this thread as its turn comes) and
// writes their blocks in list order; the first file that fails, in list order, is the one told.
bool WriteFileBlocks(std::ostream& out, const std::vector<SourceEntry>& entries, unsigned jobs, bool* stored,
                     std::string* error) {
    OrderedJobs<PackedFile> work;
    work.count = entries.size();
    work.budget = kPackingBudget;
    work.classify = [&entries](size_t index, PackedFile* item, size_t* cost) {
        item->entry = &entries[index];
        *cost =
            static_cast<size_t>(std::min<uint64_t>(entries[index].size, kMaxBlockContent)) + kItemOverhead;
        return !entries[index].folder;
    };
    work.make = [](PackedFile* item, const std::atomic<bool>&) { PackFile(item); };
    OrderedRun<PackedFile> run(std::move(work), jobs);
    for (size_t i = 0; i < entries.size(); ++i) {
        PackedFile item;
        if (!run.Take(i, &item)) continue;  // a folder has no block
        if (!item.error.empty()) {
            *error = item.error;
            return false;
        }
        if (!WriteBlock(out, item.block, stored)) {
            *error = "写入安装包时出错";
            return false;
        }
    }
    return true;
}

// Turns the magic at start into the one of a package with stored blocks, which is only known once
// every block is packed.
bool MarkStored(std::ostream& out, std::streampos start, std::string* error) {
    const std::streampos unknown(-1);
    const std::streampos end = out.tellp();
    if (start == unknown || end == unknown || !out.seekp(start) ||
        !out.write(kStoredPackageMagic, kPackageMagicSize) || !out.seekp(end)) {
        *error = "写入安装包时出错";
        return false;
    }
    return true;
}

bool AddEntry(SourceEntry entry, std::vector<SourceEntry>* entries, std::string* error) {
    *error = EntryProblem(entry);
    if (!error->empty()) return false;
    entries->push_back(std::move(entry));
    return true;
}

// One entry for the child at source, and for a folder everything inside it.
bool CollectFolder(const fs::path& folder, const std::string& prefix, std::vector<SourceEntry>* entries,
                   std::string* error);

bool CollectChild(const fs::path& source, const std::string& path, std::vector<SourceEntry>* entries,
                  std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::status(source, ec);
    SourceEntry entry;
    entry.path = path;
    entry.source = source;
    if (fs::is_directory(status)) {
        // A link to a folder may point at one of its own ancestors: the walk would never end.
        if (fs::is_symlink(fs::symlink_status(source, ec))) {
            *error = "不打包指向文件夹的链接: " + source.u8string();
            return false;
        }
        entry.folder = true;
        return AddEntry(std::move(entry), entries, error) && CollectFolder(source, path, entries, error);
    }
    if (!fs::is_regular_file(status)) {
        *error = "既不是普通文件也不是文件夹，无法打包: " + source.u8string();
        return false;
    }
    entry.size = fs::file_size(source, ec);
    if (ec || !SourceFileTime(source, &entry.fileTime)) {
        *error = "无法读取文件的大小或修改时间: " + source.u8string();
        return false;
    }
    return AddEntry(std::move(entry), entries, error);
}

bool CollectFolder(const fs::path& folder, const std::string& prefix, std::vector<SourceEntry>* entries,
                   std::string* error) {
    std::vector<std::pair<std::string, fs::path>> children;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        children.emplace_back(it->path().filename().u8string(), it->path());
    if (ec) {
        *error = "无法读取文件夹 " + folder.u8string() + ": " + ec.message();
        return false;
    }
    std::sort(children.begin(), children.end());
    for (const auto& child : children) {
        // Legal in a Linux name, but the list would read it as a separator.
        if (child.first.find('\\') != std::string::npos) {
            *error = "文件名含有反斜杠 \\，安装包无法记录: " + child.second.u8string();
            return false;
        }
        const std::string path = prefix.empty() ? child.first : prefix + "\\" + child.first;
        if (!CollectChild(child.second, path, entries, error)) return false;
    }
    return true;
}

bool ReadStub(const fs::path& stub, std::string* bytes, std::string* error) {
    std::ifstream in(stub, std::ios::binary);
    if (in) bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        *error = "无法读取安装程序 " + stub.u8string();
        return false;
    }
    // The reader takes the first marker in the file: one inside the stub, or one that the stub's
    // last bytes and the marker would form together, would hide the package.
    const std::string marker = PackageMarker();
    if ((*bytes + marker).find(marker) != bytes->size()) {
        *error = "安装程序 " + stub.u8string() + " 本身含有安装包标记，不能用作安装程序";
        return false;
    }
    return true;
}

fs::path TemporaryBeside(const fs::path& output) {
    std::random_device random;
    fs::path temporary = output;
    temporary += ".part" + std::to_string(random() % 1000000);
    return temporary;
}

bool WriteFileThenRename(const fs::path& output, const std::string& stub, const PackageInfo& info,
                         const std::vector<SourceEntry>& entries, unsigned jobs, std::string* error) {
    const fs::path temporary = TemporaryBeside(output);
    bool ok = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            *error = "无法创建文件 " + temporary.u8string();
            return false;
        }
        const std::string marker = PackageMarker();
        out.write(stub.data(), static_cast<std::streamsize>(stub.size()));
        out.write(marker.data(), static_cast<std::streamsize>(marker.size()));
        ok = WritePackage(out, info, entries, error, jobs);
        out.write(kCrLf, 2);
        out.close();
        if (ok && !out) {
            *error = "写入文件 " + temporary.u8string() + " 时出错";
            ok = false;
        }
    }
    std::error_code ec;
    if (ok) {
        fs::rename(temporary, output, ec);
        if (ec)
            *error = "无法把 " + temporary.u8string() + " 改名为 " + output.u8string() + ": " + ec.message();
        ok = !ec;
    }
    if (!ok) fs::remove(temporary, ec);
    return ok;
}

}  // namespace

std::string EntryProblem(const SourceEntry& entry) {
    const std::string name = EntryName(entry);
    if (HasLineBreak(entry.path)) return "名称含有回车或换行符，安装包的文件列表无法记录: " + name;
    if (!IsUtf8(entry.path)) return "名称不是有效的 UTF-8 文本: " + name;
    if (!IsSafeRelativePath(entry.path)) return "安装程序会拒绝这个路径（含有 : 或控制字符等）: " + name;
    if (entry.folder) return std::string();
    if (entry.size > kMaxBlockContent) return "文件 " + name + " 达到或超过 1 GiB，安装包无法容纳";
    return TimeProblem(entry);
}

std::string DescriptionProblem(const PackageInfo& info) {
    for (const InfoLine& line : kInfoLines) {
        const std::string& value = info.*line.value;
        size_t units = 0;
        if (HasLineBreak(value)) return std::string(line.key) + " 的值含有回车或换行符: " + value;
        if (!Utf16Length(line.key + value, &units))
            return std::string(line.key) + " 的值不是有效的 UTF-8 文本";
        if (units > kInfoLineCharacters)
            return std::string(line.key) + " 这一行超过 99 个字符，安装程序只读前 99 个: " + value;
    }
    return std::string();
}

bool CollectSourceEntries(const fs::path& folder, std::vector<SourceEntry>* entries, std::string* error) {
    entries->clear();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *error = "源文件夹不存在: " + folder.u8string();
        return false;
    }
    return CollectFolder(folder, std::string(), entries, error);
}

std::string DescriptionText(const PackageInfo& info) {
    std::string text;
    for (const InfoLine& line : kInfoLines) {
        if (!text.empty()) text += kCrLf;
        text += line.key + info.*line.value;
    }
    return text;
}

std::string FileListText(const std::vector<SourceEntry>& entries) {
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += entries[i].folder ? std::string("DIR") : FileTimeBytes(entries[i].fileTime);
        text += entries[i].path;
    }
    return text;
}

bool WritePackage(std::ostream& out, const PackageInfo& info, const std::vector<SourceEntry>& entries,
                  std::string* error, unsigned jobs) {
    std::vector<uint8_t> block;
    bool stored = false;
    const std::streampos start = out.tellp();
    out.write(kPackageMagic, kPackageMagicSize);
    if (!PackText(DescriptionText(info), &block) || !WriteBlock(out, block, &stored) ||
        !PackText(FileListText(entries), &block) || !WriteBlock(out, block, &stored)) {
        *error = "无法写入安装包的说明或文件列表";
        return false;
    }
    // One job: no worker, each file read and packed on this thread as its turn comes.
    if (!WriteFileBlocks(out, entries, jobs > 1 ? jobs : 0, &stored, error)) return false;
    return !stored || MarkStored(out, start, error);
}

bool WriteInstaller(const fs::path& stub, const PackageInfo& info, const fs::path& sourceFolder,
                    const fs::path& output, std::string* error, unsigned jobs) {
    *error = DescriptionProblem(info);
    if (!error->empty()) return false;
    std::string stubBytes;
    std::vector<SourceEntry> entries;
    if (!ReadStub(stub, &stubBytes, error) || !CollectSourceEntries(sourceFolder, &entries, error))
        return false;
    if (entries.empty()) {
        // The installer reads an empty list as "no file list" and installs nothing.
        *error = "源文件夹是空的: " + sourceFolder.u8string();
        return false;
    }
    return WriteFileThenRename(output, stubBytes, info, entries, jobs, error);
}
