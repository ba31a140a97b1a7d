// Steps the wizard and the silent install take alike.
#pragma once

#include <string>

#include "setup/package.h"

// The base folder, "D:\澜川软件\" (or "\LanChuan\" in other languages), made on disk; on the home
// drive when D: will not take it. Ends in '\'.
std::string DefaultInstallBase();

// The folder a package goes to under the base: 名称 for a program, 说明 for a decompress-only one.
std::string DefaultTargetFolder(const std::string& base, const PackageInfo& info);

// This program's own file (UTF-8).
std::string OwnExecutablePath();

// The desktop shortcut to the installed program, started in its folder (which ends in '\'); false
// when the desktop folder is unknown or the link cannot be written.
bool WriteDesktopShortcut(const PackageInfo& info, const std::string& folder);
