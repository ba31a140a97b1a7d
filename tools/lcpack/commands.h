// The commands of lcpack, the packer and inspector of installer packages. Each command works on
// the installer file's bytes and writes to the streams it is given, so the tests call them as the
// program does.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "setup/package.h"

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Runs the command line (args[0] is the program): create, list, extract or verify. Returns the
// exit code: 0 done, 1 the command failed, 2 bad arguments (with the usage on err).
int RunLcpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A FILETIME (100-ns intervals since 1601-01-01 UTC) as "yyyy-mm-dd hh:mm:ss", UTC.
std::string FormatFileTime(uint64_t fileTime);

// Prints the five description values ("key=value") and one line per entry:
// "DIR\tpath" or "FILE\tsize\tyyyy-mm-dd hh:mm:ss\tpath" (size as its block declares it).
// On a missing package, a wrong magic or an empty list: the installer's message on err, 1.
int ListInstaller(ByteView file, std::ostream& out, std::ostream& err);

// Extracts exactly as the installer does into folder (created with its parents), reporting each
// refused entry on err as "refused: path". 1 on a missing package, wrong magic or empty list, or a
// folder that cannot be made; 0 otherwise, also with refusals.
int ExtractInstaller(ByteView file, const std::string& folder, std::ostream& err);

// Unpacks every file block without writing anything and reports each that fails ("failed: path")
// or that the package cuts short ("truncated: path") on err, with a count on out. 1 when one does.
int VerifyInstaller(ByteView file, std::ostream& out, std::ostream& err);
