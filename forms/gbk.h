// Text in code page 936 (GBK), the ANSI code page of Chinese Windows, and its conversions.
//
// The alarm clock keeps user data (names, actions, lines of its data file) as GBK bytes, where
// every Chinese character is one double-byte character: a lead byte 0x81..0xFE and a trail byte.
// UTF-16 is carried in std::u16string so the same code serves Linux (tests, tools) and Windows.
// GBK <-> UTF-16 goes through iconv's CP936 on Linux and the system's code page 936 on Windows.
#pragma once

#include <cstddef>
#include <string>

// GBK bytes -> UTF-16. A byte sequence that is not valid GBK becomes U+003F '?', one per byte
// that could not be read, so the result never loses the text around it.
std::u16string GbkToUtf16(const std::string& gbk);

// UTF-16 -> GBK. A character that GBK cannot hold becomes '?', as the system's default char.
std::string Utf16ToGbk(const std::u16string& text);

// UTF-8 <-> UTF-16, portable. Malformed UTF-8 bytes and unpaired surrogates become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& text);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or stray bytes) and has at
// least one character outside ASCII. Chinese GBK text of any length practically never passes: its
// double-byte characters do not form UTF-8's lead and continuation pattern.
bool LooksLikeUtf8(const std::string& text);

// The two compositions every caller needs.
std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);

// A GBK text from a UTF-8 literal of the source code, e.g. Gbk("闹钟"). Converts on every call:
// hot paths keep the result in a function-local static.
inline std::string Gbk(const char* utf8) {
    return Utf8ToGbk(utf8);
}

// True for a byte that starts a double-byte GBK character.
inline bool IsGbkLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Bytes of the character starting at pos: 2 for a lead byte followed by a trail byte, else 1.
size_t GbkCharLength(const std::string& text, size_t pos);

// The longest prefix of at most maxBytes bytes that does not end inside a double-byte character.
std::string CutGbk(const std::string& text, size_t maxBytes);

// Position of needle in text at or after from, matching only at character boundaries, so that
// the trail byte of a double-byte character is never taken for '|', '[' or ']'. npos if absent.
// from must itself be a character boundary: 0, or the end of an earlier hit (needles are whole
// characters). The scan starts there, so a walk through a long text stays linear.
size_t GbkFind(const std::string& text, const std::string& needle, size_t from = 0);

// text with every occurrence of needle (found as GbkFind finds it) replaced.
std::string GbkReplaceAll(const std::string& text, const std::string& needle, const std::string& replacement);
