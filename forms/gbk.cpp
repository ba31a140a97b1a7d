// The portable half of the GBK module: UTF-8 <-> UTF-16 and character-aware byte handling.
#include "forms/gbk.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at pos, advancing pos; rejects overlong forms and surrogates.
char32_t DecodeUtf8(const std::string& s, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    size_t i = pos + 1;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= s.size() || (byte(i) & 0xC0) != 0x80) {
            pos = i;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    pos = i;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size())
        AppendUtf16(out, DecodeUtf8(utf8, pos));
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

bool LooksLikeUtf8(const std::string& text) {
    bool beyondAscii = false;
    size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        beyondAscii = true;
        const size_t start = pos;
        // A literal U+FFFD (EF BF BD) is well-formed; only a decoding error may be refused.
        if (DecodeUtf8(text, pos) == kReplacement && text.compare(start, 3, "\xEF\xBF\xBD") != 0)
            return false;
    }
    return beyondAscii;
}

std::string GbkToUtf8(const std::string& gbk) {
    return Utf16ToUtf8(GbkToUtf16(gbk));
}

std::string Utf8ToGbk(const std::string& utf8) {
    return Utf16ToGbk(Utf8ToUtf16(utf8));
}

size_t GbkCharLength(const std::string& text, size_t pos) {
    if (pos + 1 < text.size() && IsGbkLeadByte(static_cast<unsigned char>(text[pos]))) return 2;
    return 1;
}

std::string CutGbk(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + GbkCharLength(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

size_t GbkFind(const std::string& text, const std::string& needle, size_t from) {
    if (needle.empty()) return from <= text.size() ? from : std::string::npos;
    // Scanning from the start for every call made a search over a long line quadratic: a data
    // file with one 1 MB line took minutes to load. from is a character boundary (see the header).
    for (size_t pos = from; pos < text.size(); pos += GbkCharLength(text, pos)) {
        if (text.compare(pos, needle.size(), needle) == 0) return pos;
    }
    return std::string::npos;
}

std::string GbkReplaceAll(const std::string& text, const std::string& needle,
                          const std::string& replacement) {
    if (needle.empty()) return text;
    std::string out;
    size_t pos = 0;
    for (size_t hit = GbkFind(text, needle); hit != std::string::npos; hit = GbkFind(text, needle, pos)) {
        out.append(text, pos, hit - pos);
        out += replacement;
        pos = hit + needle.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}
