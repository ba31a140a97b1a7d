// The commands of lcpack, the packer and inspector of installer packages. Each command works on
// the installer file's bytes and writes to the streams it is given, so the tests call them as the
// program does.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "setup/package.h"

// Exit codes, as the installer's where they apply (1, cancelled, and 4, a program of the folder
// running, do not arise here).
constexpr int kExitOk = 0;
constexpr int kExitDamaged = 2;       // no package, a damaged one, or an installer that cannot be read
constexpr int kExitFilesFailed = 3;   // some entries were not written, or create could not pack
constexpr int kExitFolderFailed = 5;  // the target folder cannot be created
constexpr int kExitUsage = 87;        // bad arguments, as the installer's

// Runs the command line (args[0] is the program): create, list, extract or verify, create and
// extract with an optional "--jobs N" (threads packing or unpacking; default one per core, at most
// 4). Returns one of the exit codes above; memory running out in list, extract or verify is told
// as a damaged package, in create as a failure to pack. Bad arguments print the usage on err.
int RunLcpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A FILETIME (100-ns intervals since 1601-01-01 UTC) as "yyyy-mm-dd hh:mm:ss", UTC.
std::string FormatFileTime(uint64_t fileTime);

// The text with its control characters shown as `cat -v` shows them: ^A for U+0001, ^? for DEL,
// and M-^[ for U+009B (a C1 control taken as the byte of its code point). Package texts reach a
// terminal through it, so a hostile name cannot move the cursor, forge a line or recolour the output.
std::string EscapeControls(const std::string& text);

// Prints the five description values ("key=value") and one line per entry:
// "DIR\tpath" or "FILE\tsize\tyyyy-mm-dd hh:mm:ss\tpath" (size as its block declares it), texts
// through EscapeControls. On a missing package or a wrong magic: the installer's message on err, 2;
// on a list that cannot be read, the description first, then the message, 2.
int ListInstaller(ByteView file, std::ostream& out, std::ostream& err);

// Extracts exactly as the installer does into folder (created with its parents): the package is
// checked first (CheckPackage) and a damaged one writes nothing. Each refused entry is reported on
// err as "refused: path", each one not written whole as "failed: path", then "F failed, R refused"
// when there was any. 0 when every entry was written; 3 otherwise; 2 on a missing, damaged or
// unsafe package; 5 when the folder cannot be made. jobs as ExtractAll takes it.
int ExtractInstaller(const PackageSource& file, const std::string& folder, std::ostream& err,
                     unsigned jobs = 1);

// Unpacks every file block without writing anything and reports each that fails ("failed: path")
// or that the package cuts short ("truncated: path") on err, with a count on out. 2 when one does.
int VerifyInstaller(ByteView file, std::ostream& out, std::ostream& err);
