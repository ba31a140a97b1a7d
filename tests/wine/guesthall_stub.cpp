// A stand-in for the member component: INPUTGUESTHALL answers with a text built from every
// argument it received, so a test can check both the forwarding and the copy of the reply.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" __declspec(dllexport) const
    char* INPUTGUESTHALL(HWND window, int software, int kind, const char* text) {
    // The caller copies the reply before the next call, so one buffer is enough.
    static std::string reply;
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%llx %d %d ",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)), software, kind);
    reply = numbers + std::string(text != nullptr ? text : "(null)");
    return reply.c_str();
}
