#include "clock/services/about_texts.h"

#include "clock/services/scramble.h"

namespace {

// Made by lcscramble (--gbk for the three lines); check one with lcscramble --unscramble.
const char* const kScrambled[kAboutTextCount] = {
    "nn3h`AcmMAmc>ig]>Bid^Qhd@R3cqN7h`NFgqb@o_F]cB]T[c33",  // line 1: what the program is
    "nh0`n:gdL;<bJ_8kKcnXjbb^m2dej:bhK7]XjbgaM34b[WC`j6S",  // line 2: free, green
    "nb,Z9/<Zh:k`W[:Zg?^^Hbf_H_M[FO>fGC0]K;?`F:M",          // line 3: thanks
    "nZ8R?IlT?DrCjuoUoTfS>=fPnYmPNpfQOYYSO9dQH88",          // the web site
    "nQ)E`BL5;bUA?bLC0>JDKbNG/.VE/ZN",                      // service 1
    "nQ*FaCM6LcVB@cMD1?KELcOH0/WF0[O",                      // service 2
    "nn<VCMpX?dkGsIrToHjWBAjTr]qTRtjUS]]WS=hUOdqH_PnGl<<",  // service 3, with scheme and port
};

}  // namespace

const char* ScrambledAboutText(AboutText which) {
    const int index = static_cast<int>(which);
    return index >= 0 && index < kAboutTextCount ? kScrambled[index] : "";
}

std::string AboutTextOf(AboutText which) {
    return Unscrambled(ScrambledAboutText(which));
}

std::string AboutLines() {
    return AboutTextOf(AboutText::kLine1) + "\r\n" + AboutTextOf(AboutText::kLine2) + "\r\n" +
           AboutTextOf(AboutText::kLine3);
}

std::string MakerSiteAddress() {
    return AboutTextOf(AboutText::kMakerSite);
}

std::string ServiceAddress(int index) {
    if (index < 0 || index >= kServiceAddressCount) return std::string();
    return AboutTextOf(static_cast<AboutText>(static_cast<int>(AboutText::kService1) + index));
}

std::string ProgramPageAddress(int softwareNumber) {
    return MakerSiteAddress() + "/soft-" + std::to_string(softwareNumber) + ".htm";
}
