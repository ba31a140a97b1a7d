// The scrambled form in which the program keeps its about texts and the maker's addresses, so that
// they do not show as plain text in the program file. It hides, it does not protect: anyone with the
// routine reads them back.
//
// Layout of a scrambled text of n plain bytes (n <= kScrambleMaxLength), every byte printable ASCII:
//   [0..1]  the length field: n XOR kScrambleLengthMask (12 bits), as two digits of the 64-letter
//           alphabet kScrambleLengthDigits, the high 6 bits first. The alphabet holds neither '"'
//           nor '\', so the field never needs an escape in a string literal.
//   [2]     the offset byte, one of '#' (0x23) .. '?' (0x3F).
//   [3..]   4 * ceil(n / 3) characters, each the offset plus a 6-bit value. Every three plain bytes
//           b0 b1 b2 form the 24 bits b0 << 16 | b1 << 8 | b2, written as four 6-bit values from
//           the highest bits down; a last group of one or two bytes is padded with zero bytes and
//           still written as four characters. The characters lie in offset .. offset + 63, that is
//           '#' .. '~' at most: never a space or '"', but they may include '\'.
//
// Scramble picks the offset from the text itself (the same text always gives the same form) and,
// where one of the 29 offsets allows it, one that keeps '\' out of the characters too, so most
// forms paste into a string literal unescaped. Each character rules out at most one offset, so a
// text of up to 21 bytes (28 characters) always gets one.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kScrambleMaxLength = 4095;  // what the 12-bit length field holds
constexpr unsigned kScrambleLengthMask = 0x9C5;
constexpr const char kScrambleLengthDigits[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kScrambleFirstOffset = 0x23;
constexpr unsigned char kScrambleLastOffset = 0x3F;

// The scrambled form of plain (any bytes). False, *scrambled untouched, when plain is longer than
// kScrambleMaxLength.
bool Scramble(const std::string& plain, std::string* scrambled);

// Reads a scrambled form back into *plain. False, *plain untouched, when the form is shorter than
// its three header bytes, a length digit or the offset byte is not one the layout allows, a
// character lies outside offset .. offset + 63, or the characters are not exactly the number the
// length asks for (too few is a length longer than the data). Never reads past the end of the text.
bool Unscramble(const std::string& scrambled, std::string* plain);

// Unscramble for the program's own constants: the plain text, or "" when the form is bad.
std::string Unscrambled(const char* scrambled);
