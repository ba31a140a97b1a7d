// GBK <-> UTF-16 on Windows, through the system's code page 936.
#include <windows.h>

#include "forms/gbk.h"

namespace {
constexpr UINT kGbkCodePage = 936;
}

std::u16string GbkToUtf16(const std::string& gbk) {
    if (gbk.empty()) return std::u16string();
    const int size = static_cast<int>(gbk.size());
    const int n = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, &wide[0], n);
    return std::u16string(wide.begin(), wide.end());
}

std::string Utf16ToGbk(const std::u16string& text) {
    if (text.empty()) return std::string();
    const std::wstring wide(text.begin(), text.end());
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, &out[0], n, nullptr, nullptr);
    return out;
}
