// Who this program is to the maker's services and updater.
#pragma once

constexpr int kSoftwareNumber = 190;  // the maker's number for this program
constexpr int kVersionMajor = 1;      // version 1.3.8.847
constexpr int kVersionMinor = 3;
constexpr int kVersionRevision = 8;
constexpr int kVersionBuild = 847;

// The program's name as its windows and messages show it (UTF-8).
constexpr const char kProgramCaption[] = "澜川_钟伴";

// The maker's web site, the one place to configure it. A host under the reserved .example domain
// stands in until the maker's own host is set here.
constexpr const char kMakerSite[] = "https://www.lanchuan.example";
