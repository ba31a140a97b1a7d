// The INI layer: parse, serialize, the section reader of the data file and a profile-style key
// reader and writer, all working on the lines of an IniDocument.
//
// The lines of an ANSI file are GBK bytes, kept exactly as read. Every scan over them is
// character-aware: the trail byte of a double-byte character may be '[' (0x5B), ']' (0x5D),
// '|' (0x7C), '\' (0x5C) or an ASCII letter, and must never be taken for one. Bytes below 0x40
// ('=', space, tab, quotes, CR, LF) cannot be trail bytes, so searching for those byte-wise is safe.
// UTF-8 and UTF-16 files (UTF-8 also without signature) are worked on as UTF-8, where every byte
// below 0x80 is a character.
#include "forms/ini.h"

#include <cstddef>

#include "forms/file_io.h"
#include "forms/gbk.h"

namespace {

constexpr char kUtf8Signature[] = "\xEF\xBB\xBF";
constexpr char kUtf16Signature[] = "\xFF\xFE";
constexpr char kUtf16BeSignature[] = "\xFE\xFF";
constexpr char kSpaces[] = " ";
constexpr char kBlanks[] = " \t";

// The lines of a section: the header at header, its content in [begin, end).
struct SectionRange {
    size_t header = 0;
    size_t begin = 0;
    size_t end = 0;
};

bool IsGbk(const IniDocument& doc) {
    return doc.encoding == IniEncoding::kAnsi;
}

// Caller text (GBK) in the document's working encoding, and back.
std::string ToWorking(const IniDocument& doc, const std::string& gbk) {
    return IsGbk(doc) ? gbk : GbkToUtf8(gbk);
}

// Caller text for a line of the file: a CR or LF inside a name, key or value would end the line
// there and turn the rest into a line of its own (a forged key, or a header). Spaces take their
// place. Neither can be a GBK trail byte, so a byte-wise pass is safe.
std::string OneLine(const IniDocument& doc, const std::string& gbk) {
    std::string text = ToWorking(doc, gbk);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

std::string FromWorking(const IniDocument& doc, const std::string& text) {
    return IsGbk(doc) ? text : Utf8ToGbk(text);
}

size_t CharLength(bool gbk, const std::string& text, size_t pos) {
    return gbk ? GbkCharLength(text, pos) : 1;
}

std::string Trim(const std::string& text, const char* set) {
    const size_t first = text.find_first_not_of(set);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(set) - first + 1);
}

// Upper-cases ASCII letters that are characters of their own; a GBK trail byte 'a' stays as it is
// (0xB0 0x61 and 0xB0 0x41 are two different characters).
std::string FoldAscii(bool gbk, const std::string& text) {
    std::string out = text;
    for (size_t pos = 0; pos < out.size(); pos += CharLength(gbk, out, pos)) {
        if (out[pos] >= 'a' && out[pos] <= 'z') out[pos] -= 'a' - 'A';
    }
    return out;
}

// True when the last character (not merely the last byte) of text is c.
bool EndsWithChar(bool gbk, const std::string& text, char c) {
    if (text.empty()) return false;
    if (!gbk) return text.back() == c;
    size_t last = 0;
    for (size_t pos = 0; pos < text.size(); pos += GbkCharLength(text, pos))
        last = pos;
    return last == text.size() - 1 && text[last] == c;
}

std::string RemoveAll(bool gbk, const std::string& text, const std::string& needle) {
    if (gbk) return GbkReplaceAll(text, needle, std::string());
    std::string out;
    size_t pos = 0;
    for (size_t hit = text.find(needle); hit != std::string::npos; hit = text.find(needle, pos)) {
        out.append(text, pos, hit - pos);
        pos = hit + needle.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}

// A line that, trimmed of spaces, starts with '[' and ends with ']': it starts a section and
// ends the one before it.
bool IsHeaderLine(bool gbk, const std::string& line) {
    const std::string trimmed = Trim(line, kSpaces);
    return trimmed.size() >= 2 && trimmed[0] == '[' && EndsWithChar(gbk, trimmed, ']');
}

size_t NextHeader(const IniDocument& doc, size_t from) {
    const bool gbk = IsGbk(doc);
    size_t pos = from;
    while (pos < doc.lines.size() && !IsHeaderLine(gbk, doc.lines[pos]))
        ++pos;
    return pos;
}

// The section reader's header rule: the line, untrimmed and folded, equals "[NAME]".
bool FindReaderSection(const IniDocument& doc, const std::string& name, SectionRange* range) {
    const bool gbk = IsGbk(doc);
    const std::string wanted = FoldAscii(gbk, "[" + name + "]");
    for (size_t i = 0; i < doc.lines.size(); ++i) {
        if (FoldAscii(gbk, doc.lines[i]) != wanted) continue;
        *range = SectionRange{i, i + 1, NextHeader(doc, i + 1)};
        return true;
    }
    return false;
}

// The profile functions' header rule: the name between the brackets, trimmed, ASCII case ignored.
bool FindProfileSection(const IniDocument& doc, const std::string& name, SectionRange* range) {
    const bool gbk = IsGbk(doc);
    const std::string wanted = FoldAscii(gbk, Trim(name, kBlanks));
    for (size_t i = 0; i < doc.lines.size(); ++i) {
        if (!IsHeaderLine(gbk, doc.lines[i])) continue;
        const std::string trimmed = Trim(doc.lines[i], kSpaces);
        if (FoldAscii(gbk, Trim(trimmed.substr(1, trimmed.size() - 2), kBlanks)) != wanted) continue;
        *range = SectionRange{i, i + 1, NextHeader(doc, i + 1)};
        return true;
    }
    return false;
}

// The first key line of the range whose trimmed name equals key (ASCII case ignored); lines
// without '=' are no key lines. Returns the line index, or range.end when absent.
size_t FindKeyLine(const IniDocument& doc, const SectionRange& range, const std::string& key) {
    const bool gbk = IsGbk(doc);
    const std::string wanted = FoldAscii(gbk, Trim(key, kBlanks));
    for (size_t i = range.begin; i < range.end; ++i) {
        const size_t eq = doc.lines[i].find('=');
        if (eq == std::string::npos) continue;
        if (FoldAscii(gbk, Trim(doc.lines[i].substr(0, eq), kBlanks)) == wanted) return i;
    }
    return range.end;
}

std::string StripQuotes(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        // CR LF files lose the CR here; a CR at the very end is the remains of a cut CR LF.
        if (end > pos && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(pos, end - pos));
        pos = next;
    }
    return lines;
}

// bigEndian: the byte order of a file that starts FE FF.
std::string Utf16BytesToUtf8(const std::string& bytes, size_t from, bool bigEndian) {
    const size_t high = bigEndian ? 0 : 1;
    std::u16string text;
    text.reserve(bytes.size() / 2);
    // An odd last byte is half a character and cannot be read.
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i + 1 - high]) |
                                             (static_cast<unsigned char>(bytes[i + high]) << 8)));
    }
    return Utf16ToUtf8(text);
}

std::string Utf8ToUtf16Bytes(const std::string& text, bool bigEndian) {
    const std::u16string wide = Utf8ToUtf16(text);
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        const char low = static_cast<char>(c & 0xFF);
        const char high = static_cast<char>(c >> 8);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

bool StartsWith(const std::string& bytes, const std::string& prefix) {
    return bytes.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

IniDocument ParseIni(const std::string& bytes) {
    IniDocument doc;
    if (StartsWith(bytes, kUtf8Signature)) {
        doc.encoding = IniEncoding::kUtf8;
        doc.lines = SplitLines(bytes.substr(sizeof kUtf8Signature - 1));
    } else if (StartsWith(bytes, kUtf16Signature)) {
        doc.encoding = IniEncoding::kUtf16Le;
        doc.lines = SplitLines(Utf16BytesToUtf8(bytes, sizeof kUtf16Signature - 1, false));
    } else if (StartsWith(bytes, kUtf16BeSignature)) {
        doc.encoding = IniEncoding::kUtf16Be;
        doc.lines = SplitLines(Utf16BytesToUtf8(bytes, sizeof kUtf16BeSignature - 1, true));
    } else {
        if (LooksLikeUtf8(bytes)) doc.encoding = IniEncoding::kUtf8NoSignature;
        doc.lines = SplitLines(bytes);
    }
    return doc;
}

std::string SerializeIni(const IniDocument& doc) {
    std::string text;
    for (const std::string& line : doc.lines) {
        text += line;
        text += "\r\n";
    }
    switch (doc.encoding) {
        case IniEncoding::kUtf8:
            return kUtf8Signature + text;
        case IniEncoding::kUtf16Le:
            return std::string(kUtf16Signature) + Utf8ToUtf16Bytes(text, false);
        case IniEncoding::kUtf16Be:
            return std::string(kUtf16BeSignature) + Utf8ToUtf16Bytes(text, true);
        case IniEncoding::kAnsi:
        case IniEncoding::kUtf8NoSignature:
            break;
    }
    return text;
}

IniDocument LoadIniFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) return IniDocument();
    return ParseIni(bytes);
}

bool LoadIniFileForUpdate(const std::string& path, IniDocument* doc, FileError* error, size_t maxBytes) {
    std::string bytes;
    FileError why = FileError::kNone;
    if (ReadWholeFile(path, &bytes, &why, maxBytes)) {
        *doc = ParseIni(bytes);
    } else if (why == FileError::kMissing && !PathExists(path)) {
        *doc = IniDocument();
    } else {
        if (error) *error = why == FileError::kMissing ? FileError::kFailed : why;
        return false;
    }
    if (error) *error = FileError::kNone;
    return true;
}

bool SaveIniFile(const std::string& path, const IniDocument& doc, FileError* error) {
    return ReplaceFileAtomically(path, SerializeIni(doc), error);
}

std::string ReadSection(const IniDocument& doc, const std::string& section) {
    SectionRange range;
    if (!FindReaderSection(doc, ToWorking(doc, section), &range)) return std::string();
    const bool gbk = IsGbk(doc);
    std::string kept;
    for (size_t i = range.begin; i < range.end; ++i) {
        const std::string line = Trim(doc.lines[i], kSpaces);
        // Blank lines and lines without '=' are both left out.
        if (line.find('=') == std::string::npos) continue;
        if (!kept.empty()) kept += "\r\n";
        kept += RemoveAll(gbk, line, "[]");
    }
    return FromWorking(doc, kept);
}

bool ReadKey(const IniDocument& doc, const std::string& section, const std::string& key, std::string* value) {
    SectionRange range;
    if (!FindProfileSection(doc, ToWorking(doc, section), &range)) return false;
    const size_t line = FindKeyLine(doc, range, ToWorking(doc, key));
    if (line == range.end) return false;
    const std::string& text = doc.lines[line];
    *value = FromWorking(doc, StripQuotes(Trim(text.substr(text.find('=') + 1), kBlanks)));
    return true;
}

void WriteKey(IniDocument& doc, const std::string& section, const std::string& key,
              const std::string& value) {
    const std::string name = Trim(OneLine(doc, section), kBlanks);
    const std::string keyText = Trim(OneLine(doc, key), kBlanks);
    const std::string valueText = OneLine(doc, value);
    SectionRange range;
    if (!FindProfileSection(doc, name, &range)) {
        if (valueText.empty()) return;
        doc.lines.push_back("[" + name + "]");
        doc.lines.push_back(keyText + "=" + valueText);
        return;
    }
    const size_t line = FindKeyLine(doc, range, keyText);
    if (line != range.end) {
        if (valueText.empty()) {
            doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(line));
        } else {
            // The key keeps its spelling from the file; only the spaces around it go.
            const std::string& old = doc.lines[line];
            doc.lines[line] = Trim(old.substr(0, old.find('=')), kBlanks) + "=" + valueText;
        }
        return;
    }
    if (valueText.empty()) return;
    size_t after = range.header;
    for (size_t i = range.begin; i < range.end; ++i) {
        if (!Trim(doc.lines[i], kBlanks).empty()) after = i;
    }
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(after + 1), keyText + "=" + valueText);
}

void ReplaceSection(IniDocument& doc, const std::string& section, const IniEntries& entries) {
    const std::string name = OneLine(doc, section);
    std::vector<std::string> fresh;
    for (const auto& entry : entries) {
        if (entry.second.empty()) continue;
        fresh.push_back(OneLine(doc, entry.first) + "=" + OneLine(doc, entry.second));
    }
    SectionRange range;
    if (!FindReaderSection(doc, name, &range)) {
        if (fresh.empty()) return;
        doc.lines.push_back("[" + name + "]");
        doc.lines.insert(doc.lines.end(), fresh.begin(), fresh.end());
        return;
    }
    const auto first = doc.lines.begin() + static_cast<std::ptrdiff_t>(range.begin);
    doc.lines.erase(first, doc.lines.begin() + static_cast<std::ptrdiff_t>(range.end));
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(range.begin), fresh.begin(),
                     fresh.end());
}

void DeleteSection(IniDocument& doc, const std::string& section) {
    SectionRange range;
    if (!FindReaderSection(doc, ToWorking(doc, section), &range)) return;
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(range.header),
                    doc.lines.begin() + static_cast<std::ptrdiff_t>(range.end));
}
