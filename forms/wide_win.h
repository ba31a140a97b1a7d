// Text at the wide-character calls of Windows: GBK data and UTF-8 paths become UTF-16 here, at
// the call, and nowhere earlier.
#pragma once

#include <string>

#include "forms/gbk.h"

inline std::wstring WideFromGbk(const std::string& gbk) {
    const std::u16string text = GbkToUtf16(gbk);
    return std::wstring(text.begin(), text.end());
}

inline std::wstring WideFromUtf8(const std::string& utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

inline std::string Utf8FromWide(const std::wstring& wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}
