// Whole-file reads and crash-safe whole-file writes. Paths are UTF-8; the Windows side converts
// them to UTF-16 at the wide-character call, so any file name works.
#pragma once

#include <cstddef>
#include <string>

// Reads the whole file into *bytes. False (and *bytes emptied) when it is missing or unreadable.
bool ReadWholeFile(const std::string& path, std::string* bytes);

// Replaces the file's content with bytes, or creates it: writes a temporary file in the same
// folder, flushes it to the disk and renames it over the old file, so a crash or power cut leaves
// either the old file or the new one, never a half-written or empty file. False on any failure,
// with the old file untouched and the temporary file removed.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// True when path names an existing file or folder.
bool PathExists(const std::string& path);

// Makes ReadWholeFile fail for every file, as an unreadable or locked file would. Tests only.
void SetReadFaultForTesting(bool fail);

// Makes ReplaceFileAtomically stop after writing this many bytes of the temporary file, as if the
// process died there (the temporary file is left behind, as a crash would leave it). Tests only;
// a negative value turns the fault off.
void SetWriteFaultForTesting(long long bytesBeforeFault);
