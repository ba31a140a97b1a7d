#include "clock/services/components_win.h"

#include "forms/message_box_win.h"
#include "forms/wide_win.h"

namespace {

std::wstring gFolder;
// One handle per component, indexed by Component. A component stays loaded for the life of the
// process: the chat window it opens may still run its code. The only unload is BACKAIDPORT's swap.
HMODULE gModules[2] = {nullptr, nullptr};
ServiceMessageShow gShowForTesting = nullptr;

constexpr DWORD kUnloadSettleMs = 100;  // lets the old DLL's file handle go before it is deleted

std::wstring WideAscii(const char* ascii) {
    std::wstring text;
    for (; *ascii != '\0'; ++ascii)
        text += static_cast<wchar_t>(*ascii);
    return text;
}

HMODULE& ModuleOf(Component component) {
    return gModules[component == Component::kGuestHall ? 1 : 0];
}

void ShowServiceMessage(HWND owner, const ServiceMessage& message) {
    if (gShowForTesting != nullptr) {
        gShowForTesting(owner, message);
        return;
    }
    const UINT icon = message.errorIcon ? MB_ICONERROR : MB_ICONWARNING;
    ShowMessageBox(owner, WideFromUtf8(message.text), WideFromUtf8(message.caption), MB_OK | icon | MB_TOPMOST);
}

// The replacement goes in by delete and rename, not by a replacing move: that is how the maker's
// installers expect it, and a failure at either step leaves at worst the old library or none.
// Failures are not reported; the load that follows simply finds what is there.
void SwapInReplacement(const ComponentFiles& files) {
    const std::wstring library = gFolder + WideAscii(files.library);
    DeleteFileW(library.c_str());
    MoveFileW((gFolder + WideAscii(files.pending)).c_str(), library.c_str());
}

// LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR lets the component find DLLs of its own beside itself; the
// system folder is the only other place searched.
HMODULE LoadByFullPath(const ComponentFiles& files) {
    const std::wstring path = gFolder + WideAscii(files.library);
    return LoadLibraryExW(path.c_str(), nullptr,
                          LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Carries out the planned steps before the call itself. False when the call must not happen: the
// folder is unknown, the component was reported as outdated, or the plan calls nothing.
bool PrepareCall(ComponentCall call, HWND window) {
    const Component component = ComponentOf(call);
    const ComponentFiles files = FilesOf(component);
    HMODULE& module = ModuleOf(component);
    const bool upPending = !gFolder.empty() && ServiceFileExists(WideAscii(files.pending).c_str());
    const ComponentPlan plan = PlanComponentCall(call, upPending, module != nullptr);
    if (plan.hideWindowFirst && window != nullptr) ShowWindow(window, SW_HIDE);
    // Without a folder the only path left would be a bare name, which is never loaded.
    if (gFolder.empty()) return false;
    if (plan.showOutdatedMessage) {
        ShowServiceMessage(window, OutdatedMessage(component));
        return false;
    }
    if (plan.unloadFirst && module != nullptr) {
        FreeLibrary(module);
        module = nullptr;
        Sleep(kUnloadSettleMs);
    }
    if (plan.swap) {
        SwapInReplacement(files);
        module = nullptr;
    }
    if (plan.load && module == nullptr) module = LoadByFullPath(files);
    return plan.call;
}

// The component's export for call, or nullptr when the component is not loaded or lacks it.
template <typename Function>
Function ExportFor(ComponentCall call) {
    const HMODULE module = ModuleOf(ComponentOf(call));
    if (module == nullptr) return nullptr;
    // Through void*: GetProcAddress's FARPROC is a different function type from every export's.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, ExportOf(call))));
}

}  // namespace

void SetServiceFolder(const std::string& folderUtf8) {
    gFolder = WideFromUtf8(folderUtf8);
    if (!gFolder.empty() && gFolder.back() != L'\\' && gFolder.back() != L'/') gFolder += L'\\';
}

const std::wstring& ServiceFolder() {
    return gFolder;
}

bool ServiceFileExists(const wchar_t* name) {
    if (gFolder.empty()) return false;
    const DWORD attributes = GetFileAttributesW((gFolder + name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void SetServiceMessageShowForTesting(ServiceMessageShow show) {
    gShowForTesting = show;
}

extern "C" intptr_t OPENAIDPORT(HWND window, const wchar_t* first, const wchar_t* second, int software) {
    using OpenFunction = intptr_t (*)(HWND, const wchar_t*, const wchar_t*, int);
    if (!PrepareCall(ComponentCall::kOpenAidPort, window)) return 0;
    const OpenFunction open = ExportFor<OpenFunction>(ComponentCall::kOpenAidPort);
    return open != nullptr ? open(window, first, second, software) : 0;
}

extern "C" void BACKAIDPORT(HWND window, int message, const wchar_t* first, const wchar_t* second,
                            long long software) {
    using BackFunction = void (*)(HWND, int, const wchar_t*, const wchar_t*, long long);
    if (!PrepareCall(ComponentCall::kBackAidPort, window)) return;
    const BackFunction back = ExportFor<BackFunction>(ComponentCall::kBackAidPort);
    if (back != nullptr) back(window, message, first, second, software);
}

extern "C" void CLOSEAIDPORT(HWND window) {
    using CloseFunction = void (*)();
    if (!PrepareCall(ComponentCall::kCloseAidPort, window)) return;
    const CloseFunction close = ExportFor<CloseFunction>(ComponentCall::kCloseAidPort);
    if (close != nullptr) close();
}

std::string GuestHallRequest(HWND window, int software, int kind, const std::string& text) {
    using InputFunction = const char* (*)(HWND, int, int, const char*);
    if (!PrepareCall(ComponentCall::kGuestHallRequest, window)) return std::string();
    const bool loaded = ModuleOf(Component::kGuestHall) != nullptr;
    const InputFunction input = ExportFor<InputFunction>(ComponentCall::kGuestHallRequest);
    if (input == nullptr) {
        ShowServiceMessage(window, GuestHallFailureMessage(loaded, false));
        return std::string();
    }
    const char* reply = input(window, software, kind, text.c_str());
    return reply != nullptr ? std::string(reply) : std::string();
}
