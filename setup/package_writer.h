// The packer's side of the installer package (package.h): gathers a source folder into package
// entries, checks that the list's unescaped lines can carry them, and writes the installer file
// (stub program + marker + package + CR LF). Portable; paths on disk go through std::filesystem so
// that Chinese names survive on Windows (wide) and on Linux (UTF-8 bytes).
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "setup/package.h"

// One entry to pack, in package order.
struct SourceEntry {
    bool folder = false;
    uint64_t fileTime = 0;  // files: last-write time, 100-ns intervals since 1601-01-01 UTC
    uint64_t size = 0;      // files: size when the folder was read
    std::string path;       // relative, '\' separated, UTF-8, as the list carries it
    std::filesystem::path source;
};

// Why a list line could not carry an entry (empty when it can): a path with CR or LF or that the
// installer would refuse, a file time whose bytes begin with "DIR" or hold CR LF, a file of 2^30
// bytes or more. The text names the entry.
std::string EntryProblem(const SourceEntry& entry);

// Why the description block could not carry the values (empty when it can): a value with CR or LF,
// or a line the installer would cut at 99 characters.
std::string DescriptionProblem(const PackageInfo& info);

// The entries under folder: sorted by name at every level, each folder entry ahead of what lies in
// it. False with *error naming the first entry that the package cannot carry (EntryProblem), or a
// file that is neither a regular file nor a folder, or a folder that cannot be read.
bool CollectSourceEntries(const std::filesystem::path& folder, std::vector<SourceEntry>* entries,
                          std::string* error);

// The description block's text: the five "key=value" lines joined by CR LF.
std::string DescriptionText(const PackageInfo& info);

// The file list's text: one line per entry joined by CR LF, with no CR LF after the last (a
// trailing one would read as one more, empty, file entry).
std::string FileListText(const std::vector<SourceEntry>& entries);

// Writes the package, from the magic to the last file block. With jobs 1, reading and packing one
// file at a time; with more, that many threads read and pack files side by side (files read and
// not yet written held to about 64 MiB) and the blocks are written in list order: the same bytes.
// When a block is stored as it is, the magic is rewritten once all are written, so out must be able
// to go back (a file or a string stream). False with *error on the first file, in list order, that
// cannot be read or packed, or a failed write.
bool WritePackage(std::ostream& out, const PackageInfo& info, const std::vector<SourceEntry>& entries,
                  std::string* error, unsigned jobs = 1);

// The whole installer: stub bytes, PackageMarker(), the package of sourceFolder and CR LF, written
// to a temporary file beside output and renamed over it, so output is never left half written.
// Everything is checked before the first byte is written. False with *error naming the problem.
// jobs as WritePackage takes it.
bool WriteInstaller(const std::filesystem::path& stub, const PackageInfo& info,
                    const std::filesystem::path& sourceFolder, const std::filesystem::path& output,
                    std::string* error, unsigned jobs = 1);
