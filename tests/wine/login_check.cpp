// login_check: the member login's machine-bound cipher under Wine: the machine identity (stable,
// whatever COM state the calling thread is in, and from one process to the next), enciphering
// round trips, rejection of changed, malformed and unmarked values, and the search of the program folder's
// INI files for the login. Prints one line per check and "N passed, M failed".
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "clock/services/member_login_win.h"
#include "forms/gbk.h"
#include "forms/ini.h"
#include "forms/wide_win.h"
#include "tests/wine/check_report.h"

namespace {

constexpr size_t kOverheadHexChars = 2 * (12 + 4 + 16);  // nonce, marker, tag

std::string FieldOf(const std::string& identity, const std::string& name) {
    const std::string key = name + "=";
    const size_t at = identity.find(key);
    if (at == std::string::npos || (at != 0 && identity[at - 1] != '\n')) return "?missing";
    const size_t end = identity.find('\n', at);
    return identity.substr(at + key.size(),
                           end == std::string::npos ? std::string::npos : end - at - key.size());
}

// The identity is read three times: plainly, again (when the process's COM security has been set
// already), and on a thread that runs COM single-threaded, as the window thread does.
void CheckIdentity() {
    const std::string first = MachineIdentity();
    const std::string second = MachineIdentity();
    const HRESULT sta = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::string third = MachineIdentity();
    if (SUCCEEDED(sta)) CoUninitialize();
    std::printf("note: identity\n%s", first.c_str());
    Check(!first.empty() && first == second, "the machine identity is the same on a second call");
    Check(first == third, "and on a thread already running COM single-threaded");
    Check(!FieldOf(first, "cpu.vendor").empty() && FieldOf(first, "cpu.signature") != "00000000",
          "the processor's vendor and signature are read");
    Check(FieldOf(first, "volume.serial").size() == 8 && !FieldOf(first, "volume.filesystem").empty(),
          "drive C:'s serial number and file system are read");
    Check(!FieldOf(first, "bios.version").empty() || !FieldOf(first, "bios.smbios").empty(),
          "Win32_BIOS is read through WMI");
    Check(FieldOf(first, "bios.characteristics") != "?missing", "the BIOS characteristics have their field");
}

bool IsLowerHex(const std::string& text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// One hex digit of stored changed to another value.
std::string WithDigitChanged(std::string stored, size_t at) {
    stored[at] = stored[at] == '0' ? '1' : '0';
    return stored;
}

void CheckCipher() {
    const std::string ascii = "member_0815", chinese = Gbk("澜川会员"), password = "p@ss w0rd";
    const std::string sealedAscii = EncipherLoginValue(ascii);
    Check(sealedAscii.size() == kOverheadHexChars + 2 * ascii.size() && IsLowerHex(sealedAscii),
          "a value is stored as lowercase hex of nonce, marker and text, and tag");
    Check(DecipherLoginValue(sealedAscii) == ascii, "an ASCII account deciphers to itself");
    Check(DecipherLoginValue(EncipherLoginValue(chinese)) == chinese,
          "a Chinese GBK account deciphers to itself");
    Check(DecipherLoginValue(EncipherLoginValue(password)) == password,
          "a password with spaces and signs too");
    std::string upper = sealedAscii;
    for (char& c : upper)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    Check(DecipherLoginValue(upper) == ascii, "upper-case hex is read as well");
    const std::string sealedEmpty = EncipherLoginValue("");
    Check(sealedEmpty.size() == kOverheadHexChars && DecipherLoginValue(sealedEmpty).empty(),
          "an empty value is enciphered with its marker and deciphers to empty");

    const std::string again = EncipherLoginValue(ascii);
    Check(again != sealedAscii && again.substr(0, 24) != sealedAscii.substr(0, 24),
          "two encipherings of the same text differ, nonce included");

    // A changed byte anywhere: in the nonce, the marker, the text and the tag.
    const size_t tagStart = sealedAscii.size() - 32;
    bool allRejected = true;
    for (size_t at :
         {size_t{0}, size_t{23}, size_t{24}, size_t{31}, size_t{40}, tagStart, sealedAscii.size() - 1})
        allRejected = allRejected && DecipherLoginValue(WithDigitChanged(sealedAscii, at)).empty();
    Check(allRejected, "one changed byte in nonce, marker, text or tag deciphers to empty");

    Check(DecipherLoginValue(SealWithMachineKey("member_0815")).empty(),
          "a well-sealed value without the marker deciphers to empty");
    Check(DecipherLoginValue(SealWithMachineKey("LCQBmember")).empty(), "the marker's case counts");
    Check(DecipherLoginValue(SealWithMachineKey("lcqbmember")) == "member",
          "a sealed value with the marker deciphers (the sealing check itself works)");

    Check(DecipherLoginValue(sealedAscii.substr(1)).empty(), "odd hex length gives empty");
    Check(DecipherLoginValue(sealedAscii.substr(0, sealedAscii.size() - 2)).empty(),
          "a cut-off tag gives empty");
    Check(DecipherLoginValue(std::string(sealedAscii.size(), 'g')).empty() &&
              DecipherLoginValue("zz" + sealedAscii.substr(2)).empty(),
          "non-hex digits give empty");
    Check(
        DecipherLoginValue("").empty() && DecipherLoginValue(std::string(kOverheadHexChars - 2, '0')).empty(),
        "empty and too short values give empty");
    Check(DecipherLoginValue(ascii).empty(), "a login stored in plain text gives empty");
}

// ---- The INI search ----

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"登入检查_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// An INI file (GBK, CR LF) with a [登入] section holding the given raw values; a value of
// "-" leaves its key out.
std::string LoginIni(const std::string& account, const std::string& password) {
    std::string text = Gbk("[设置]\r\n颜色=1\r\n[登入]\r\n");
    if (account != "-") text += Gbk("帐号1=") + account + "\r\n";
    if (password != "-") text += Gbk("密码1=") + password + "\r\n";
    return text;
}

// The "*.ini" files of folder in the order the directory lists them, folders left out.
std::vector<std::wstring> ListedIniFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*.ini").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A folder named like an INI file, an INI file without the account, one with an empty account and
// a non-INI file with a login are all passed over for the INI file that has one.
void CheckSkipped(const std::wstring& scratch) {
    const std::wstring folder = scratch + L"skip\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"x.ini").c_str(), nullptr);
    const std::string account = Gbk("澜川会员"), password = Gbk("密码12");
    bool written =
        WriteBytes(folder + L"a.ini", LoginIni("-", EncipherLoginValue("other"))) &&
        WriteBytes(folder + L"b.ini", LoginIni("", EncipherLoginValue("other"))) &&
        WriteBytes(folder + L"c.txt", LoginIni(EncipherLoginValue("txt"), EncipherLoginValue("txt"))) &&
        WriteBytes(folder + L"m.ini", LoginIni(EncipherLoginValue(account), EncipherLoginValue(password)));
    Check(written,
          "a folder x.ini, INI files without and with an empty account, a .txt and the login written");
    const MemberLogin login = ReadMemberLogin(folder);
    Check(login.account == u8"澜川会员", "the one INI file with an account is used, its account as UTF-8");
    Check(login.password == password, "and its password as deciphered (GBK)");
    const MemberLogin noSlash = ReadMemberLogin(folder.substr(0, folder.size() - 1));
    Check(noSlash.account == login.account && noSlash.password == login.password,
          "the program folder may be given without its trailing backslash");
}

// Of two INI files with an account the first the directory lists wins, even when its values do
// not decipher: the search stops at the first non-empty account.
void CheckFirstWins(const std::wstring& scratch) {
    const std::wstring folder = scratch + L"order\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    Check(
        WriteBytes(folder + L"p.ini", LoginIni(EncipherLoginValue("first"), EncipherLoginValue("pw1"))) &&
            WriteBytes(folder + L"q.ini", LoginIni(EncipherLoginValue("second"), EncipherLoginValue("pw2"))),
        "two INI files with logins written");
    const std::vector<std::wstring> listed = ListedIniFiles(folder);
    const bool pFirst = !listed.empty() && listed[0] == L"p.ini";
    const MemberLogin login = ReadMemberLogin(folder);
    Check(login.account == (pFirst ? "first" : "second") && login.password == (pFirst ? "pw1" : "pw2"),
          "the INI file listed first gives the login");

    const std::wstring loser = pFirst ? L"q.ini" : L"p.ini", winner = pFirst ? L"p.ini" : L"q.ini";
    Check(WriteBytes(folder + winner, LoginIni("plaintext", "secret")),
          "the first file's login put in plain text");
    const MemberLogin plain = ReadMemberLogin(folder);
    Check(plain.account.empty() && plain.password.empty(),
          "a first account that does not decipher gives empty values, the next file is not tried");
    DeleteFileW((folder + loser).c_str());
}

// WriteMemberLogin into a UTF-16 file keeps what else it holds and is found by the search; an
// empty folder and a missing folder give nothing.
void CheckWriteAndEmpty(const std::wstring& scratch) {
    const std::wstring folder = scratch + L"write\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring ini = folder + L"钟伴.ini";
    const std::wstring utf16 = L"\xFEFF[设置]\r\n颜色=7\r\n";
    Check(WriteBytes(ini, std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2)),
          "a UTF-16 INI file written");
    Check(WriteMemberLogin(ini, Gbk("会员甲"), "pw"), "WriteMemberLogin succeeds");
    const MemberLogin login = ReadMemberLogin(folder);
    Check(login.account == u8"会员甲" && login.password == "pw", "the login written is read back");
    const IniDocument doc = LoadIniFile(Utf8FromWide(ini));
    std::string colour;
    Check(doc.encoding == IniEncoding::kUtf16Le && ReadKey(doc, Gbk("设置"), Gbk("颜色"), &colour) &&
              colour == "7",
          "the file keeps its encoding and its other section");

    const std::wstring empty = scratch + L"empty\\";
    CreateDirectoryW(empty.c_str(), nullptr);
    CreateDirectoryW((empty + L"folder.ini").c_str(), nullptr);
    const MemberLogin none = ReadMemberLogin(empty), missing = ReadMemberLogin(scratch + L"no such folder\\");
    Check(
        none.account.empty() && none.password.empty() && missing.account.empty() && missing.password.empty(),
        "a folder without INI files, or no folder at all, gives empty values");
}

// A value enciphered here must decipher in another process on the same computer (the key must
// hold nothing of the process, such as the core it runs on): a second copy of this program is
// started to decipher it, and its exit code says whether it got the text back.
void CheckOtherProcess() {
    const std::string sealed = EncipherLoginValue("across processes");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --decipher " + WideFromUtf8(sealed);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    DWORD code = 99;
    if (CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        if (WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    Check(code == 0, "a value enciphered by one process deciphers in another");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--decipher")
        return DecipherLoginValue(Utf8FromWide(argv[2])) == "across processes" ? 0 : 1;
    CheckIdentity();
    CheckOtherProcess();
    CheckCipher();
    const std::wstring scratch = ScratchFolder();
    RemoveTree(scratch);
    CreateDirectoryW(scratch.c_str(), nullptr);
    CheckSkipped(scratch);
    CheckFirstWins(scratch);
    CheckWriteAndEmpty(scratch);
    RemoveTree(scratch);
    return CheckReport();
}
