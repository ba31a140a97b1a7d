#include "clock/services/scramble.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kOffsetCount = kScrambleLastOffset - kScrambleFirstOffset + 1;

// Position of c in the length alphabet, or -1. The terminating NUL of the alphabet is no digit.
int LengthDigitValue(char c) {
    if (c == '\0') return -1;
    const char* found = std::strchr(kScrambleLengthDigits, c);
    return found ? static_cast<int>(found - kScrambleLengthDigits) : -1;
}

// The four 6-bit values of the group starting at plain[first], zero bytes past the end.
void GroupValues(const std::string& plain, size_t first, unsigned values[4]) {
    uint32_t bits = 0;
    for (size_t i = 0; i < 3; ++i) {
        const size_t at = first + i;
        const uint32_t byte = at < plain.size() ? static_cast<unsigned char>(plain[at]) : 0u;
        bits = bits << 8 | byte;
    }
    for (int k = 0; k < 4; ++k)
        values[k] = (bits >> (18 - 6 * k)) & 0x3F;
}

// Whether writing plain with this offset would put a backslash into the characters.
bool OffsetMakesBackslash(const std::string& plain, unsigned offset) {
    if (offset > '\\' || offset + 63 < '\\') return false;
    const unsigned bad = '\\' - offset;
    unsigned values[4];
    for (size_t first = 0; first < plain.size(); first += 3) {
        GroupValues(plain, first, values);
        for (unsigned v : values)
            if (v == bad) return true;
    }
    return false;
}

// Starts from a point that depends on the text, so that different texts use different offsets,
// and takes the first offset from there that needs no escape.
unsigned ChooseOffset(const std::string& plain) {
    unsigned sum = static_cast<unsigned>(plain.size()) * 7u;
    for (char c : plain)
        sum += static_cast<unsigned char>(c);
    const unsigned start = sum % kOffsetCount;
    for (unsigned step = 0; step < kOffsetCount; ++step) {
        const unsigned offset = kScrambleFirstOffset + (start + step) % kOffsetCount;
        if (!OffsetMakesBackslash(plain, offset)) return offset;
    }
    return kScrambleFirstOffset + start;
}

}  // namespace

bool Scramble(const std::string& plain, std::string* scrambled) {
    if (plain.size() > kScrambleMaxLength) return false;
    const unsigned field = static_cast<unsigned>(plain.size()) ^ kScrambleLengthMask;
    const unsigned offset = ChooseOffset(plain);
    std::string out;
    out.reserve(3 + (plain.size() + 2) / 3 * 4);
    out += kScrambleLengthDigits[(field >> 6) & 0x3F];
    out += kScrambleLengthDigits[field & 0x3F];
    out += static_cast<char>(offset);
    unsigned values[4];
    for (size_t first = 0; first < plain.size(); first += 3) {
        GroupValues(plain, first, values);
        for (unsigned v : values)
            out += static_cast<char>(offset + v);
    }
    *scrambled = out;
    return true;
}

bool Unscramble(const std::string& scrambled, std::string* plain) {
    if (scrambled.size() < 3) return false;
    const int high = LengthDigitValue(scrambled[0]);
    const int low = LengthDigitValue(scrambled[1]);
    const unsigned offset = static_cast<unsigned char>(scrambled[2]);
    if (high < 0 || low < 0 || offset < kScrambleFirstOffset || offset > kScrambleLastOffset) return false;
    const size_t length = (static_cast<unsigned>(high << 6 | low) ^ kScrambleLengthMask) & 0xFFF;
    // Checked before any group is read: a length the characters cannot hold is refused here.
    if (scrambled.size() - 3 != (length + 2) / 3 * 4) return false;

    std::string out;
    out.reserve(length + 2);
    for (size_t at = 3; at < scrambled.size(); at += 4) {
        uint32_t bits = 0;
        for (size_t k = 0; k < 4; ++k) {
            const unsigned c = static_cast<unsigned char>(scrambled[at + k]);
            if (c < offset || c - offset > 63) return false;
            bits = bits << 6 | (c - offset);
        }
        out += static_cast<char>(bits >> 16 & 0xFF);
        out += static_cast<char>(bits >> 8 & 0xFF);
        out += static_cast<char>(bits & 0xFF);
    }
    out.resize(length);
    *plain = out;
    return true;
}

std::string Unscrambled(const char* scrambled) {
    std::string plain;
    if (!scrambled || !Unscramble(scrambled, &plain)) return std::string();
    return plain;
}
