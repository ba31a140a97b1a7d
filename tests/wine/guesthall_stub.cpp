// A stand-in for the member component. INPUTGUESTHALL answers the donate button's request
// (software number, 0x01, account, 0x01, password) as the donation service would: "//lc//ok" and
// two packed lists; and it writes that request into guesthall.log beside itself. Any other
// request is answered with a text built from every argument received, so a test can check both
// the forwarding and the copy of the reply.
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// Two latest donations and three donors, as the service lays them out (names UTF-8).
std::string DonationLists(size_t padding) {
    const std::string latest = std::string("1765180800\x03") + "\xe5\xbc\xa0\xe4\xb8\x89\x03" + "500\x03" +
                               "\xe5\x8a\xa0\xe6\xb2\xb9\x02" + "1765094400\x03" + "Lee\x03" + "1234\x03" +
                               "thanks" + std::string(padding, '!');
    const std::string ranking = std::string("\xe6\x9d\x8e\xe5\x9b\x9b\x03") + "99900\x02" + "Lee\x03" +
                                "1234\x02" + "\xe5\xbc\xa0\xe4\xb8\x89\x03" + "500";
    return latest + "\x01" + ranking;
}

// The reply travels as a NUL-terminated string: the lists are padded until they pack without a
// zero byte.
std::string PackedReply() {
    for (size_t padding = 0; padding < 500; ++padding) {
        const std::string text = DonationLists(padding);
        uLongf size = compressBound(static_cast<uLong>(text.size()));
        std::string packed(size, '\0');
        if (compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(text.data()),
                     static_cast<uLong>(text.size())) != Z_OK)
            break;
        packed.resize(size);
        if (packed.find('\0') == std::string::npos) return "//lc//ok" + packed;
    }
    return "";
}

void LogBesideStub(const std::string& text) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&LogBesideStub), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring log = path;
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"guesthall.log";
    if (FILE* file = _wfopen(log.c_str(), L"ab")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

}  // namespace

extern "C" __declspec(dllexport) const
    char* INPUTGUESTHALL(HWND window, int software, int kind, const char* text) {
    // The caller copies the reply before the next call, so one buffer is enough.
    static std::string reply;
    const std::string request = text != nullptr ? text : "(null)";
    if (kind == 5 && request.rfind(std::to_string(software) + "\x01", 0) == 0) {
        LogBesideStub(request);
        reply = PackedReply();
        return reply.c_str();
    }
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%llx %d %d ",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)), software, kind);
    reply = numbers + request;
    return reply.c_str();
}
