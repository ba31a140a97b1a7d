// GBK <-> UTF-16 on Windows, through the system's code page 936.
#include <windows.h>

#include "forms/gbk.h"

namespace {
constexpr UINT kGbkCodePage = 936;
}

namespace {

// Converts the whole text, refusing anything that is not valid GBK; false if some byte was refused.
bool StrictGbkToUtf16(const char* bytes, int size, std::wstring* wide) {
    const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
    if (n <= 0) return false;
    wide->resize(static_cast<size_t>(n));
    return MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes, size, &(*wide)[0], n) == n;
}

// The slow path for text with invalid bytes: character by character, each unreadable byte becoming
// '?'. Without this the system maps such bytes to private-use characters, unlike the Linux build.
std::u16string LenientGbkToUtf16(const std::string& gbk) {
    std::u16string out;
    for (size_t pos = 0; pos < gbk.size();) {
        const size_t length = GbkCharLength(gbk, pos);
        std::wstring wide;
        if (StrictGbkToUtf16(gbk.data() + pos, static_cast<int>(length), &wide)) {
            out.append(wide.begin(), wide.end());
            pos += length;
        } else {
            out.push_back(u'?');
            pos += 1;
        }
    }
    return out;
}

}  // namespace

std::u16string GbkToUtf16(const std::string& gbk) {
    if (gbk.empty()) return std::u16string();
    std::wstring wide;
    if (StrictGbkToUtf16(gbk.data(), static_cast<int>(gbk.size()), &wide)) {
        return std::u16string(wide.begin(), wide.end());
    }
    return LenientGbkToUtf16(gbk);
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
