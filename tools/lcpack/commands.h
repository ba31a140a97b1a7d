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
// exit code: 0 done, 1 the command failed (memory running out in list, extract or verify among
// them, told as a damaged package), 2 bad arguments (with the usage on err).
int RunLcpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A FILETIME (100-ns intervals since 1601-01-01 UTC) as "yyyy-mm-dd hh:mm:ss", UTC.
std::string FormatFileTime(uint64_t fileTime);

// The text with its control characters shown as `cat -v` shows them: ^A for U+0001, ^? for DEL,
// and M-^[ for U+009B (a C1 control taken as the byte of its code point). Package texts reach a
// terminal through it, so a hostile name cannot move the cursor, forge a line or recolour the output.
std::string EscapeControls(const std::string& text);

// Prints the five description values ("key=value") and one line per entry:
// "DIR\tpath" or "FILE\tsize\tyyyy-mm-dd hh:mm:ss\tpath" (size as its block declares it), texts
// through EscapeControls. On a missing package or a wrong magic: the installer's message on err, 1;
// on a list that cannot be read, the description first, then the message, 1.
int ListInstaller(ByteView file, std::ostream& out, std::ostream& err);

// Extracts exactly as the installer does into folder (created with its parents): the package is
// checked first (CheckPackage) and a damaged one writes nothing. Each refused entry is reported on
// err as "refused: path", each one not written whole as "failed: path", then "F failed, R refused"
// when there was any. 0 when every entry was written; 1 otherwise, and on a missing, damaged or
// unsafe package or a folder that cannot be made.
int ExtractInstaller(ByteView file, const std::string& folder, std::ostream& err);

// Unpacks every file block without writing anything and reports each that fails ("failed: path")
// or that the package cuts short ("truncated: path") on err, with a count on out. 1 when one does.
int VerifyInstaller(ByteView file, std::ostream& out, std::ostream& err);
