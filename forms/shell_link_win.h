// Shell links (.lnk files) through IShellLinkW and IPersistFile, with COM initialised around the
// call. Paths stay UTF-16 from end to end, so names outside the ANSI code page still work.
#pragma once

#include <string>

struct ShellLink {
    std::wstring target;         // the program's full path
    std::wstring workingFolder;  // "" leaves it unset
    std::wstring description;
    int showCommand = 1;  // SW_SHOWNORMAL
    // Arguments, hotkey, icon location and relative path stay empty: the link shows the target's
    // own icon.
};

// Writes (or overwrites) linkPath. True when the link file exists afterwards.
bool WriteShellLink(const std::wstring& linkPath, const ShellLink& link);

// The folder of a program's full path: up to its last '\' or '/', keeping the separator of a drive
// root ("C:\" without it would name the drive's current folder).
std::wstring FolderOfPath(const std::wstring& path);
