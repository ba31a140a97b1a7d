// The about window's texts and the maker's addresses. They are kept scrambled in the program
// (clock/services/scramble.h) and read back when needed; the tool lcscramble makes the forms.
#pragma once

#include <string>

enum class AboutText {
    kLine1,  // the three lines of the about window's text box, GBK
    kLine2,
    kLine3,
    kMakerSite,  // the maker's web site, the same as kMakerSite of clock/core/program_info.h
    kService1,   // the three addresses of the maker's service, tried in this order
    kService2,
    kService3,
};
constexpr int kAboutTextCount = 7;
constexpr int kServiceAddressCount = 3;

// The scrambled form kept in the program.
const char* ScrambledAboutText(AboutText which);

// The plain text: GBK for the lines, ASCII for the addresses.
std::string AboutTextOf(AboutText which);

// The three lines joined by CR LF, as the read-only text box shows them (GBK).
std::string AboutLines();

// The maker's web site, e.g. "https://www.lanchuan.example".
std::string MakerSiteAddress();

// Service address index 0..2 as written (a host name or IPv4 address, possibly with a scheme
// prefix, a port or a path, which the transport ignores). "" for another index.
std::string ServiceAddress(int index);

// The program's own page on the maker's site: the site + "/soft-" + software number + ".htm".
std::string ProgramPageAddress(int softwareNumber);
