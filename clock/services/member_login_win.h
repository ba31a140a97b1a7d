// The member login that the donation button sends: "帐号1" and "密码1" of section "登入" in an INI
// file beside the program, each stored enciphered with a key bound to this computer, so a copied
// INI file gives nothing on another machine.
//
// Cipher: AES-256-GCM through CNG (bcrypt.dll). The key is SHA-256 of a fixed label followed by
// MachineIdentity(). A stored value is lowercase hex of nonce (12 random bytes) | ciphertext | tag
// (16 bytes); the plain text always starts with the marker "lcqb", which the reader checks after
// the tag has been verified.
//
// Values are byte strings: the account and password are GBK, as every text of the program's INI
// files. Every function here may be called on any thread; the first cipher call of the process
// queries WMI (a fraction of a second), later ones reuse the key.
#pragma once

#include <string>

struct MemberLogin {
    std::string account;   // UTF-8 (the request sends it that way); "" when none was found
    std::string password;  // the deciphered bytes as they were stored (GBK); "" when none
};

// The text this computer's key is made from: the processor's CPUID vendor, signature and feature
// bits; BIOSCharacteristics, Version and SMBIOSBIOSVersion of Win32_BIOS through WMI; serial
// number, label and file system of drive C:. One "name=value" line per field, UTF-8. A part that
// cannot be read (no WMI, no drive C:) leaves its fields empty; never fails. Computed afresh on
// every call: two calls on the same computer give the same text.
std::string MachineIdentity();

// "lcqb" + plain, enciphered with this computer's key and a fresh random nonce, as lowercase hex.
// Two calls with the same text give different results. "" when the platform's cipher fails.
std::string EncipherLoginValue(const std::string& plain);

// The cipher alone: bytes enciphered as EncipherLoginValue enciphers, but without the marker put
// in front. For checks that need a properly sealed value lacking the marker; the program itself
// only uses EncipherLoginValue. "" when bytes is empty or the platform's cipher fails.
std::string SealWithMachineKey(const std::string& bytes);

// The inverse of EncipherLoginValue, without the "lcqb" marker. "" for anything that is not a
// value enciphered on this computer: odd length or non-hex digits, too short, a changed byte (the
// tag does not match), or a deciphered text that does not start with "lcqb".
std::string DecipherLoginValue(const std::string& stored);

// Looks through the "*.ini" files of programFolder (with or without the trailing "\") in the
// order the directory lists them, skipping folders, and takes the first whose "帐号1" of section
// "登入" is not empty (as stored, before deciphering). Returns its account converted from GBK to
// UTF-8 and its password, each deciphered (so "" when it does not decipher). No such file gives
// two empty values.
MemberLogin ReadMemberLogin(const std::wstring& programFolder);

// Writes account and password (GBK) enciphered into "帐号1" and "密码1" of section "登入" of the
// INI file at iniPath, creating the file when missing and keeping everything else in it. False
// when the file cannot be read or written or the cipher fails (the file is then left as it was).
bool WriteMemberLogin(const std::wstring& iniPath, const std::string& account, const std::string& password);
