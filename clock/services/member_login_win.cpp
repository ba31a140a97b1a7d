#include "clock/services/member_login_win.h"

#include <windows.h>
// The COM, WMI and CNG headers below expect <windows.h> first.
#include <bcrypt.h>
#include <oleauto.h>
#include <wbemidl.h>

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <intrin.h>
#define CHIME_HAS_CPUID 1
#elif defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define CHIME_HAS_CPUID 1
#endif

#include <cstdio>

#include "forms/com_win.h"
#include "forms/gbk.h"
#include "forms/ini.h"
#include "forms/wide_win.h"

namespace {

constexpr char kMarker[] = "lcqb";
constexpr size_t kMarkerLength = sizeof kMarker - 1;
constexpr size_t kNonceBytes = 12;  // the nonce length GCM is built for
constexpr size_t kTagBytes = 16;
constexpr ULONG kWmiWaitMs = 5000;  // a WMI service that hangs must not hang the donation button
// Mixed into the key so that nothing else hashing the same identity text arrives at this key.
constexpr char kKeyLabel[] = "chime member login key 1\n";

std::string Hex(unsigned long long value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llx", digits, value);
    return text;
}

// ---- Processor ----

struct CpuidRegisters {
    unsigned a = 0, b = 0, c = 0, d = 0;
};

CpuidRegisters Cpuid(unsigned leaf) {
    CpuidRegisters r;
#if defined(CHIME_HAS_CPUID) && defined(_MSC_VER)
    int regs[4];
    __cpuid(regs, static_cast<int>(leaf));
    r.a = static_cast<unsigned>(regs[0]), r.b = static_cast<unsigned>(regs[1]);
    r.c = static_cast<unsigned>(regs[2]), r.d = static_cast<unsigned>(regs[3]);
#elif defined(CHIME_HAS_CPUID)
    if (!__get_cpuid(leaf, &r.a, &r.b, &r.c, &r.d)) r = CpuidRegisters{};
#else
    (void)leaf;
#endif
    return r;
}

// EBX of leaf 1 is left out: its top byte is the APIC id of the core the thread happens to run
// on, which would give a different key from one call to the next.
std::string ProcessorLines() {
    const CpuidRegisters vendor = Cpuid(0);
    std::string name;
    for (unsigned word : {vendor.b, vendor.d, vendor.c})
        for (int i = 0; i < 4; ++i) {
            const char c = static_cast<char>((word >> (8 * i)) & 0xFF);
            if (c != '\0') name += c;
        }
    const CpuidRegisters info = vendor.a >= 1 ? Cpuid(1) : CpuidRegisters{};
    return "cpu.vendor=" + name + "\ncpu.signature=" + Hex(info.a, 8) + "\ncpu.features=" + Hex(info.d, 8) +
           Hex(info.c, 8) + "\n";
}

// ---- Drive C: ----

std::string VolumeLines() {
    wchar_t label[MAX_PATH + 1] = L"", fileSystem[MAX_PATH + 1] = L"";
    DWORD serial = 0, maxComponent = 0, flags = 0;
    std::string serialText;
    if (GetVolumeInformationW(L"C:\\", label, MAX_PATH + 1, &serial, &maxComponent, &flags, fileSystem,
                              MAX_PATH + 1))
        serialText = Hex(serial, 8);
    else
        label[0] = fileSystem[0] = L'\0';
    return "volume.serial=" + serialText + "\nvolume.label=" + Utf8FromWide(label) +
           "\nvolume.filesystem=" + Utf8FromWide(fileSystem) + "\n";
}

// ---- BIOS through WMI ----

class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : b_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }

  private:
    BSTR b_;
};

struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

std::string VariantText(const VARIANT& value);

// Only element types that fit in a VARIANT's value field can be fetched into one.
bool FitsVariantValue(VARTYPE type) {
    static const VARTYPE kSimple[] = {VT_I1,  VT_UI1, VT_I2,   VT_UI2,  VT_I4, VT_UI4, VT_I8,
                                      VT_UI8, VT_INT, VT_UINT, VT_BOOL, VT_R4, VT_R8,  VT_BSTR};
    for (VARTYPE simple : kSimple)
        if (type == simple) return true;
    return false;
}

// A one-dimensional array as its elements joined by ",". WMI hands CIM uint16 arrays over as
// VT_I4 elements, but other providers differ, so any simple element type is taken.
std::string ArrayText(SAFEARRAY* array, VARTYPE type) {
    LONG low = 0, high = -1;
    if (array == nullptr || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &low)) ||
        FAILED(SafeArrayGetUBound(array, 1, &high)))
        return "";
    std::string text;
    for (LONG i = low; i <= high; ++i) {
        Variant element;
        HRESULT hr = E_FAIL;
        if (type == VT_VARIANT) {
            hr = SafeArrayGetElement(array, &i, &element.v);
        } else if (FitsVariantValue(type)) {
            hr = SafeArrayGetElement(array, &i, &element.v.llVal);
            if (SUCCEEDED(hr)) V_VT(&element.v) = type;
        }
        if (i != low) text += ',';
        if (SUCCEEDED(hr)) text += VariantText(element.v);
    }
    return text;
}

std::string VariantText(const VARIANT& value) {
    const VARTYPE type = V_VT(&value);
    if (type & VT_ARRAY) return ArrayText(V_ARRAY(&value), type & VT_TYPEMASK);
    if (type == VT_EMPTY || type == VT_NULL) return "";
    if (type == VT_BSTR) return V_BSTR(&value) ? Utf8FromWide(V_BSTR(&value)) : "";
    Variant text;
    // MinGW declares the source without const; the call only reads it.
    if (FAILED(VariantChangeType(&text.v, const_cast<VARIANT*>(&value), 0, VT_BSTR)) ||
        V_BSTR(&text.v) == nullptr)
        return "";
    return Utf8FromWide(V_BSTR(&text.v));
}

std::string Property(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, &value.v, nullptr, nullptr))) return "";
    return VariantText(value.v);
}

struct BiosFields {
    std::string characteristics, version, smbiosVersion;
};

// The calls themselves, inside a live COM scope: every interface is released on return, before
// the scope may uninitialise COM.
BiosFields QueryBios() {
    BiosFields fields;
    ComRef<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.out())))
        return fields;
    ComRef<IWbemServices> services;
    const Bstr space(L"ROOT\\CIMV2");
    if (FAILED(locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.put())))
        return fields;
    // The proxy's own blanket, so the query works whatever security the process was given; an
    // in-process provider has no proxy and refuses this harmlessly.
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    // "*" rather than the three names: a provider lacking one column would refuse the whole query.
    const Bstr language(L"WQL"), query(L"SELECT * FROM Win32_BIOS");
    ComRef<IEnumWbemClassObject> rows;
    if (FAILED(services->ExecQuery(language.get(), query.get(),
                                   WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                   rows.put())))
        return fields;
    CoSetProxyBlanket(rows.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    ComRef<IWbemClassObject> bios;
    ULONG count = 0;
    if (rows->Next(static_cast<LONG>(kWmiWaitMs), 1, bios.put(), &count) != WBEM_S_NO_ERROR || count != 1)
        return fields;
    fields.characteristics = Property(bios.get(), L"BIOSCharacteristics");
    fields.version = Property(bios.get(), L"Version");
    fields.smbiosVersion = Property(bios.get(), L"SMBIOSBIOSVersion");
    return fields;
}

std::string BiosLines() {
    BiosFields fields;
    {
        ComScope com(COINIT_MULTITHREADED);
        if (com.usable()) {
            // No CoInitializeSecurity here: it would fix the whole process's COM security for the
            // components loaded later. The proxy blankets set in QueryBios are all the query needs.
            fields = QueryBios();
        }
    }
    return "bios.characteristics=" + fields.characteristics + "\nbios.version=" + fields.version +
           "\nbios.smbios=" + fields.smbiosVersion + "\n";
}

// ---- CNG ----

template <void (*Close)(void*)>
class CngHandle {
  public:
    CngHandle() = default;
    ~CngHandle() {
        if (h_) Close(h_);
    }
    CngHandle(const CngHandle&) = delete;
    CngHandle& operator=(const CngHandle&) = delete;
    void* get() const { return h_; }
    void** put() { return &h_; }

  private:
    void* h_ = nullptr;
};

void CloseAlgorithm(void* h) {
    BCryptCloseAlgorithmProvider(h, 0);
}
void DestroyKey(void* h) {
    BCryptDestroyKey(h);
}
void DestroyHash(void* h) {
    BCryptDestroyHash(h);
}
using AlgorithmHandle = CngHandle<CloseAlgorithm>;
using KeyHandle = CngHandle<DestroyKey>;
using HashHandle = CngHandle<DestroyHash>;

PUCHAR Bytes(std::string& s) {
    return reinterpret_cast<PUCHAR>(&s[0]);
}

// SHA-256 of text, 32 bytes; "" when CNG fails. The hash object's memory is left to CNG
// (allowed since Windows 7).
std::string Sha256(std::string text) {
    AlgorithmHandle algorithm;
    HashHandle hash;
    std::string digest(32, '\0');
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0)) ||
        !BCRYPT_SUCCESS(BCryptHashData(hash.get(), Bytes(text), static_cast<ULONG>(text.size()), 0)) ||
        !BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), Bytes(digest), static_cast<ULONG>(digest.size()), 0)))
        return "";
    return digest;
}

// The key of this computer, made once per process: the WMI query behind it is slow, and one
// process must never see two keys.
const std::string& MachineKey() {
    static const std::string key = Sha256(kKeyLabel + MachineIdentity());
    return key;
}

// AES-256-GCM over input into *output (same length). Enciphering fills *tag; deciphering checks
// it, and any mismatch fails.
bool AesGcm(bool encipher, std::string nonce, std::string input, std::string* output, std::string* tag) {
    std::string key = MachineKey();
    if (key.size() != 32 || input.empty()) return false;
    AlgorithmHandle aes;
    KeyHandle handle;
    wchar_t mode[] = BCRYPT_CHAIN_MODE_GCM;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(aes.put(), BCRYPT_AES_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptSetProperty(aes.get(), BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(mode),
                                          sizeof mode, 0)) ||
        !BCRYPT_SUCCESS(BCryptGenerateSymmetricKey(aes.get(), handle.put(), nullptr, 0, Bytes(key),
                                                   static_cast<ULONG>(key.size()), 0)))
        return false;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = Bytes(nonce);
    info.cbNonce = static_cast<ULONG>(nonce.size());
    tag->resize(kTagBytes);
    info.pbTag = Bytes(*tag);
    info.cbTag = static_cast<ULONG>(tag->size());
    output->assign(input.size(), '\0');
    const ULONG size = static_cast<ULONG>(input.size());
    ULONG done = 0;
    const NTSTATUS status = encipher ? BCryptEncrypt(handle.get(), Bytes(input), size, &info, nullptr, 0,
                                                     Bytes(*output), size, &done, 0)
                                     : BCryptDecrypt(handle.get(), Bytes(input), size, &info, nullptr, 0,
                                                     Bytes(*output), size, &done, 0);
    return BCRYPT_SUCCESS(status) && done == size;
}

// ---- Hex ----

std::string ToHex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 0x0F];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool FromHex(const std::string& text, std::string* bytes) {
    if (text.size() % 2 != 0) return false;
    bytes->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        *bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

// ---- The INI files ----

const std::string& SectionName() {
    static const std::string name = Gbk("登入");
    return name;
}
const std::string& AccountKey() {
    static const std::string key = Gbk("帐号1");
    return key;
}
const std::string& PasswordKey() {
    static const std::string key = Gbk("密码1");
    return key;
}

}  // namespace

std::string MachineIdentity() {
    return ProcessorLines() + BiosLines() + VolumeLines();
}

std::string SealWithMachineKey(const std::string& bytes) {
    std::string nonce(kNonceBytes, '\0');
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, Bytes(nonce), static_cast<ULONG>(nonce.size()),
                                        BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return "";
    std::string sealed, tag;
    if (!AesGcm(true, nonce, bytes, &sealed, &tag)) return "";
    return ToHex(nonce + sealed + tag);
}

std::string EncipherLoginValue(const std::string& plain) {
    return SealWithMachineKey(kMarker + plain);
}

std::string DecipherLoginValue(const std::string& stored) {
    std::string bytes;
    if (!FromHex(stored, &bytes) || bytes.size() < kNonceBytes + kMarkerLength + kTagBytes) return "";
    std::string tag = bytes.substr(bytes.size() - kTagBytes), plain;
    const std::string sealed = bytes.substr(kNonceBytes, bytes.size() - kNonceBytes - kTagBytes);
    if (!AesGcm(false, bytes.substr(0, kNonceBytes), sealed, &plain, &tag)) return "";
    if (plain.compare(0, kMarkerLength, kMarker) != 0) return "";
    return plain.substr(kMarkerLength);
}

MemberLogin ReadMemberLogin(const std::wstring& programFolder) {
    std::wstring folder = programFolder;
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    MemberLogin login;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*.ini").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return login;
    std::string account, password;
    bool used = false;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const IniDocument doc = LoadIniFile(Utf8FromWide(folder + found.cFileName));
        used = ReadKey(doc, SectionName(), AccountKey(), &account) && !account.empty();
        if (used && !ReadKey(doc, SectionName(), PasswordKey(), &password)) password.clear();
    } while (!used && FindNextFileW(search, &found));
    FindClose(search);
    if (!used) return login;
    login.account = GbkToUtf8(DecipherLoginValue(account));
    login.password = DecipherLoginValue(password);
    return login;
}

bool WriteMemberLogin(const std::wstring& iniPath, const std::string& account, const std::string& password) {
    const std::string sealedAccount = EncipherLoginValue(account),
                      sealedPassword = EncipherLoginValue(password);
    if (sealedAccount.empty() || sealedPassword.empty()) return false;
    const std::string path = Utf8FromWide(iniPath);
    IniDocument doc;
    if (!LoadIniFileForUpdate(path, &doc)) return false;
    WriteKey(doc, SectionName(), AccountKey(), sealedAccount);
    WriteKey(doc, SectionName(), PasswordKey(), sealedPassword);
    return SaveIniFile(path, doc);
}
