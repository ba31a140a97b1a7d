// INI files as the alarm clock keeps its data: read whole, changed in memory, written back whole
// through ReplaceFileAtomically.
//
// Files come in four encodings, told by their first bytes: EF BB BF (UTF-8), FF FE (UTF-16LE),
// FE FF (UTF-16BE, which Notepad also offers), anything else is ANSI text (GBK) -- except a file without
// signature that is well-formed UTF-8 with non-ASCII text, as editors now save by default: read as GBK, its
// names would turn into garbage and the next save would mix two encodings in one file. It is kept as UTF-8
// without signature. Line ends CR LF or LF. Callers always speak GBK: section names, keys and values going in
// and coming out are GBK text; a UTF-8 or UTF-16 file keeps its encoding (and a signature) when written, and
// lines nobody changed are written back as they were read. A file the layer creates is GBK with CR LF.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "forms/file_io.h"

enum class IniEncoding { kAnsi, kUtf8, kUtf16Le, kUtf8NoSignature, kUtf16Be };

struct IniDocument {
    IniEncoding encoding = IniEncoding::kAnsi;
    // The lines without their line ends, in the working encoding: GBK for ANSI files, UTF-8 for
    // the others. Only the functions below should need to look at them.
    std::vector<std::string> lines;
};

using IniEntries = std::vector<std::pair<std::string, std::string>>;  // key, value (GBK)

// Parses file bytes. Never fails: any bytes give a document.
IniDocument ParseIni(const std::string& bytes);

// The bytes of the document in its own encoding (with the signature it was read with), CR LF ends.
std::string SerializeIni(const IniDocument& doc);

// Reads a file; a missing or unreadable file gives an empty ANSI document.
IniDocument LoadIniFile(const std::string& path);

// Reads a file that is about to be changed and written back. False when the file exists but
// cannot be read (locked, no permission, an I/O error) or is larger than maxBytes: writing a
// document made without its content would replace every section it could not see. *error (when
// given) tells why. A missing file gives an empty document.
bool LoadIniFileForUpdate(const std::string& path, IniDocument* doc, FileError* error = nullptr,
                          size_t maxBytes = kAnyFileSize);

// Writes the document over the file atomically. False on failure (*error, when given, tells why),
// the old file untouched.
bool SaveIniFile(const std::string& path, const IniDocument& doc, FileError* error = nullptr);

// The section reader of the data file: the first section whose header line, upper-cased in ASCII
// letters and untrimmed, equals "[" + upper-cased name + "]"; inside it, lines empty after trimming
// spaces are skipped, a line (trimmed) starting with '[' and ending with ']' ends it, lines without
// '=' are skipped, the rest are trimmed of spaces with every "[]" removed. Returns the kept lines
// joined by CR LF (GBK), or "" when the section is missing or has none.
std::string ReadSection(const IniDocument& doc, const std::string& section);

// One key as the platform's profile reader finds it: the first section of that name (header
// trimmed, ASCII case ignored), the first line in it whose trimmed text before '=' equals key
// (ASCII case ignored); the value is the text after '=', trimmed, and without one pair of
// enclosing single or double quotes. False when absent.
bool ReadKey(const IniDocument& doc, const std::string& section, const std::string& key, std::string* value);

// Every writer below keeps each key line one line: a CR or LF in a name, key or value is written
// as a space.
//
// Sets one key as the profile writer does: replaces the value of an existing key line, or adds
// "key=value" after the last non-empty line of the section, or appends the section at the end of
// the document. An empty value deletes the key instead.
void WriteKey(IniDocument& doc, const std::string& section, const std::string& key, const std::string& value);

// Replaces the whole content of the section the section reader finds (ReadSection's header rule)
// by "key=value" lines, in place: the header stays where it is (with no lines under it when entries
// is empty), so a later duplicate section of the same name never becomes the one that is read.
// Entries with an empty value are left out. A missing section is appended at the end, unless
// entries has nothing to write.
void ReplaceSection(IniDocument& doc, const std::string& section, const IniEntries& entries);

// Removes the section ReadSection would read, header and lines.
void DeleteSection(IniDocument& doc, const std::string& section);
