// Form1, the install wizard: four pages in one fixed window, the package read from the installer's
// own file, the target folder, the running-program check, the extraction on a worker thread with
// its progress, and the finish actions. The decisions are in wizard_rules.h.
#include "setup/wizard_win.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "forms/com_win.h"
#include "forms/form_win.h"
#include "forms/message_box_win.h"
#include "forms/shell_link_win.h"
#include "forms/wide_win.h"
#include "setup/package.h"
#include "setup/package_io.h"
#include "setup/running_check_win.h"
#include "setup/wizard_pages_win.h"
#include "setup/wizard_rules.h"

namespace {

constexpr UINT kMsgLoadPackage = WM_APP + 1;  // the start step, queued behind the first paint
constexpr UINT kMsgExtracting = WM_APP + 2;   // from the worker: wParam entry index, lParam its path
constexpr int kWindowWidth = 451, kWindowHeight = 314;

WizardState gWizard;
ViewedFile* gFile = nullptr;  // the installer's own file, viewed a window at a time
PackageSource gPackage;
HANDLE gWorker = nullptr;

std::wstring W(const std::string& utf8) {
    return WideFromUtf8(utf8);
}

std::wstring Caption() {
    return W(WizardCaption());
}

const Form& TheForm() {
    return *FormOfWindow(gWizard.window);
}

// ---- Controls and pages ----

void ShowPageControls() {
    const Form& form = TheForm();
    const int s = gWizard.state;
    const bool program = !IsDecompressOnly(gWizard.info);
    ShowControl(form, "Command1", 0, true);
    ShowControl(form, "Command2", 0, true);
    ShowControl(form, "Command3", 0, s >= 2);
    ShowControl(form, "Text1", 0, s == 2);
    ShowControl(form, "Command4", 0, s == 2);
    ShowControl(form, "ProgressBar1", 0, s == 3);
    ShowControl(form, "Check1", 0, s == 4 && program);
    ShowControl(form, "Check2", 0, s == 4 && program);
    InvalidateRect(gWizard.window, nullptr, TRUE);
}

void SetState(int state) {
    gWizard.state = state;
    ShowPageControls();
}

void SetHeader(const PageHeader& header) {
    gWizard.header = header;
}

void SetLabel(const std::string& text) {
    gWizard.label = text;
    InvalidateRect(gWizard.window, nullptr, TRUE);
}

void EnableButtons(bool enable) {
    for (const char* name : {"Command1", "Command2", "Command3", "Command4"})
        EnableWindow(ControlWindow(TheForm(), name), enable);
}

std::string TextOfFolderBox() {
    return Utf8FromWide(ControlText(TheForm(), "Text1"));
}

void SetFolderBox(const std::string& folder) {
    SetControlText(TheForm(), "Text1", 0, W(folder));
}

// ---- Waiting with the window alive ----

void PumpWait(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds < 1 ? 1 : milliseconds);
    do {
        if (!PumpMessages(ActiveDialogMessage)) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (static_cast<int>(end - GetTickCount()) > 0 && !gWizard.closeRequested);
}

// ---- Running programs ----

std::vector<std::string> ImagePaths(const std::vector<RunningProcess>& processes) {
    std::vector<std::string> paths;
    for (const RunningProcess& process : processes)
        paths.push_back(process.imagePath);
    return paths;
}

// Gives ended programs the moment Windows takes to let go of their files, with the bar moving.
void WaitAfterEnding() {
    SetState(3);
    HWND bar = ControlWindow(TheForm(), "ProgressBar1");
    SendMessageW(bar, PBM_SETRANGE32, 1, 100);
    for (int i = 1; i <= 100 && !gWizard.closeRequested; ++i) {
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(i), 0);
        PumpWait(50);
    }
}

// The programs running from the target folder: the user ends them all (OK) or stops the install
// (Cancel). True when the install may go on.
bool RunningProgramCheck(const std::string& folder) {
    EnableButtons(false);
    const std::vector<RunningProcess> found =
        ProcessesInFolder(SnapshotProcesses(), folder, GetCurrentProcessId());
    if (found.empty()) return true;
    ProcessesToEnd toEnd;
    std::vector<std::string> cannot;
    if (!toEnd.Open(found, &cannot)) {
        ShowError(gWizard.window, W(CannotEndProgramsMessage(cannot)), Caption());
        return false;
    }
    if (!AskOkCancel(gWizard.window, W(RunningProgramsQuestion(gWizard.info.name, ImagePaths(found))),
                     W(RunningProgramCaption())) ||
        gWizard.closeRequested) {
        return false;
    }
    cannot = toEnd.EndAll();
    if (cannot.empty()) WaitAfterEnding();
    if (gWizard.closeRequested) return false;
    if (cannot.empty() && !toEnd.AllGone()) cannot = ImagePaths(found);
    if (cannot.empty()) return true;
    ShowError(gWizard.window, W(CannotEndProgramsMessage(cannot)), Caption());
    return false;
}

// ---- The worker ----

struct Progress : ExtractObserver {
    HWND bar = nullptr;
    void BeforeEntry(size_t index, const PackageEntry& entry) override {
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(index), 0);
        if (!entry.folder)
            SendMessageW(gWizard.window, kMsgExtracting, index, reinterpret_cast<LPARAM>(&entry.path));
    }
    void Refused(const PackageEntry&) override {}
    InUseAnswer FileInUse(const PackageEntry& entry) override {
        switch (AskRetryContinueCancel(gWizard.window, W(FileInUseQuestion(entry.path)), Caption())) {
            case RetryAnswer::kRetry:
                return InUseAnswer::kRetry;
            case RetryAnswer::kContinue:
                return InUseAnswer::kSkip;
            default:
                return InUseAnswer::kCancel;
        }
    }
    bool StopRequested() override { return gWizard.stopRequested; }
};

DWORD WINAPI ExtractWorker(LPVOID) {
    FileList list;
    std::string error;
    if (!ReadFileList(gPackage, &list, &error)) {
        ShowError(gWizard.window, W(error), Caption());
        gWizard.outcome = 1;
        return 0;
    }
    std::string target = gWizard.targetFolder;
    target.pop_back();
    if (gWizard.folderHadFiles && !AskYesNo(gWizard.window, W(OverwriteQuestion()), Caption())) {
        gWizard.outcome = 1;
        return 0;
    }
    Progress progress;
    progress.bar = ControlWindow(TheForm(), "ProgressBar1");
    // The 32-bit range: lists of more than 65,535 entries still move the bar.
    SendMessageW(progress.bar, PBM_SETRANGE32, 0,
                 static_cast<LPARAM>(list.entries.size() ? list.entries.size() - 1 : 0));
    gWizard.extracted = ExtractAll(gPackage, list, target + "\\", &progress);
    gWizard.outcome = 2;
    return 0;
}

bool FolderHasFiles(const std::string& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((W(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool any = false;
    do {
        const std::wstring name = found.cFileName;
        any = name != L"." && name != L"..";
    } while (!any && FindNextFileW(search, &found));
    FindClose(search);
    return any;
}

void FinishedExtraction() {
    EnableButtons(true);
    SetLabel("解压完成，请点下一步继续");
    SetHeader(FinishPageHeader(gWizard.info));
    SetControlText(TheForm(), "Command1", 0, L"完成");
    SetState(4);
}

// Back to the folder page, where the user can try again.
void BackToFolderPage() {
    EnableButtons(true);
    SetHeader(FolderPageHeader(gWizard.info));
    SetState(2);
}

// Closing is safe at every point of the install step: during it the window only records the wish,
// and the step ends the window once it is back in charge. While files are written the user is asked
// first, and the worker stops after the file in hand.
void RequestClose() {
    if (!gWizard.installing) {
        DestroyWindow(gWizard.window);
    } else if (!gWorker) {
        gWizard.closeRequested = true;
    } else if (!gWizard.stopRequested && AskYesNo(gWizard.window, W(StopInstallQuestion()), Caption())) {
        gWizard.stopRequested = true;
    }
}

// Checks the typed folder; false (the user told) when it will not do.
bool AcceptFolder(std::string* folder) {
    switch (CheckTargetFolder(TextOfFolderBox(), folder)) {
        case FolderCheck::kDriveRoot:
            ShowError(gWizard.window, W(DriveRootMessage()), Caption());
            SetFolderBox(gWizard.defaultFolder + gWizard.info.name);
            return false;
        case FolderCheck::kInvalid:
            ShowError(gWizard.window, W(InvalidFolderMessage()), Caption());
            return false;
        default:
            SetFolderBox(*folder);
            return true;
    }
}

bool MakeFolder(const std::string& folder) {
    if (EnsureFolderPath(folder)) return true;
    ShowError(gWizard.window, W(CannotCreateFolderMessage()), L"软件安装");
    return false;
}

// Runs the worker with the window alive; false when it could not be started.
bool RunWorker(const std::string& folder) {
    SetLabel("开始解压文件...........");
    SetHeader(ExtractPageHeader(gWizard.info));
    SetState(3);
    SetCurrentDirectoryW(W(gWizard.installerFolder).c_str());
    EnableButtons(false);
    EnableWindow(ControlWindow(TheForm(), "Command2"), TRUE);  // 取消 asks to stop
    gWizard.targetFolder = folder;
    gWizard.outcome = 0;
    gWizard.extracted = ExtractOutcome{};
    gWorker = CreateThread(nullptr, 0, ExtractWorker, nullptr, 0, nullptr);
    while (gWorker && WaitForSingleObject(gWorker, 0) == WAIT_TIMEOUT)
        PumpWait(100);
    if (!gWorker) return false;
    CloseHandle(gWorker);
    gWorker = nullptr;
    return true;
}

// What the worker came to: the finish page only when every entry was written.
void AfterWorker(bool started) {
    if (!started) {
        ShowError(gWizard.window, W(WorkerFailedMessage()), L"");
        return BackToFolderPage();
    }
    if (gWizard.outcome == 1) {
        DestroyWindow(gWizard.window);
        return;
    }
    if (gWizard.extracted.Complete()) return FinishedExtraction();
    ShowError(gWizard.window, W(ExtractFailedMessage(gWizard.extracted)), Caption());
    if (gWizard.stopRequested) {
        DestroyWindow(gWizard.window);
        return;
    }
    BackToFolderPage();
}

// ---- Steps ----

void InstallStep() {
    std::string folder;
    if (!AcceptFolder(&folder)) return;
    // Asked about only when the folder held something before this step: the step itself creates it.
    gWizard.folderHadFiles = FolderExists(folder.substr(0, folder.size() - 1)) && FolderHasFiles(folder);
    SetLabel("强制终止运行中的软件中...........");
    gWizard.installing = true;
    gWizard.closeRequested = false;
    gWizard.stopRequested = false;
    const bool ready = RunningProgramCheck(folder) && !gWizard.closeRequested && MakeFolder(folder);
    const bool started = ready && RunWorker(folder);
    gWizard.installing = false;
    if (gWizard.closeRequested) {
        DestroyWindow(gWizard.window);
    } else if (!ready) {
        BackToFolderPage();
    } else {
        AfterWorker(started);
    }
}

// Where the desktop shortcut goes; false when the desktop folder is unknown.
bool WriteDesktopShortcut(const std::wstring& folder, const std::wstring& program) {
    wchar_t desktop[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)))
        return false;
    std::wstring link = desktop;
    if (!link.empty() && link.back() != L'\\') link += L'\\';
    ShellLink fields;
    fields.target = program;
    fields.workingFolder = folder;
    fields.description = W(gWizard.info.description);
    return WriteShellLink(link + W(gWizard.info.name) + L".lnk", fields);
}

// The files are in place whatever happens here: a failing shortcut or start is told, with where
// the program is, and the install still ends.
void FinishActions() {
    std::wstring folder = ControlText(TheForm(), "Text1");
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    ShowWindow(gWizard.window, SW_HIDE);
    const std::wstring program = folder + W(gWizard.info.programFile);
    const std::string folderText = Utf8FromWide(folder);
    if (IsControlChecked(TheForm(), "Check2") && !WriteDesktopShortcut(folder, program))
        ShowWarning(gWizard.window, W(ShortcutFailedMessage(gWizard.info.name, folderText)), Caption());
    if (IsControlChecked(TheForm(), "Check1")) {
        SetCurrentDirectoryW(folder.c_str());
        const HINSTANCE started =
            ShellExecuteW(nullptr, L"open", program.c_str(), L"", nullptr, SW_SHOWNORMAL);
        // ShellExecute reports success as a value above 32.
        if (reinterpret_cast<INT_PTR>(started) <= 32)
            ShowWarning(gWizard.window, W(StartFailedMessage(gWizard.info.programFile, folderText)),
                        Caption());
    }
    DestroyWindow(gWizard.window);
}

void Next() {
    const bool program = !IsDecompressOnly(gWizard.info);
    switch (gWizard.state) {
        case 1:
            if (program) {
                SetHeader(FolderPageHeader(gWizard.info));
                SetState(2);
                SetFolderBox(gWizard.defaultFolder + gWizard.info.name);
            } else {
                SetFolderBox(gWizard.defaultFolder + gWizard.info.description);
                InstallStep();
            }
            return;
        case 2:
            return InstallStep();
        case 3:
            SetHeader(FinishPageHeader(gWizard.info));
            SetControlText(TheForm(), "Command1", 0, L"完成");
            return SetState(4);
        default:
            if (program) return FinishActions();
            DestroyWindow(gWizard.window);
    }
}

void Previous() {
    switch (gWizard.state) {
        case 2:
            return SetState(1);
        case 3:
            SetHeader(FolderPageHeader(gWizard.info));
            return SetState(2);
        case 4:
            SetHeader(ExtractPageHeader(gWizard.info));
            SetControlText(TheForm(), "Command1", 0, L"下一步(&H)");
            return SetState(3);
        default:
            return;
    }
}

// ---- Browse ----

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    } else if (message == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH] = {};
        const bool onDrive = SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path) &&
                             path[0] && path[1] == L':';
        SendMessageW(dialog, BFFM_ENABLEOK, 0, onDrive ? TRUE : FALSE);
    }
    return 0;
}

void Browse() {
    std::wstring start = ControlText(TheForm(), "Text1");
    if (!start.empty() && start.back() == L'\\') start.pop_back();
    if (start.empty()) {
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        start = current;
    }
    const std::wstring title = W("选择安装【" + gWizard.info.name + "】目标文件夹");
    BROWSEINFOW info = {};
    info.hwndOwner = gWizard.window;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    // The new dialog style hosts shell views, which need an apartment-threaded COM on this thread.
    const ComScope com(COINIT_APARTMENTTHREADED);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen, path) && path[0]) SetControlText(TheForm(), "Text1", 0, path);
    CoTaskMemFree(chosen);
}

// ---- Start ----

void LoadPackage() {
    SetState(1);
    for (;;) {
        CloseViewedFile(gFile);
        uint64_t size = 0;
        gFile = OpenViewedFile(gWizard.installerPath, &size);
        if (gFile != nullptr && LocatePackage(FileSource(gFile, size), &gPackage)) break;
        const int answer = MessageBoxW(gWizard.window, W(NoPackageMessage(gWizard.installerPath)).c_str(),
                                       Caption().c_str(), MB_RETRYCANCEL | MB_ICONERROR);
        if (answer != IDRETRY) {
            DestroyWindow(gWizard.window);
            return;
        }
    }
    std::string error;
    FileList list;
    // The whole package is checked here, before the first page: a damaged or hostile one is
    // refused while nothing has been written.
    if (!ReadPackageInfo(gPackage, &gWizard.info, &error) ||
        !CheckPackage(gPackage, gWizard.info, &list, &error)) {
        ShowError(gWizard.window, W(error), Caption());
        DestroyWindow(gWizard.window);
        return;
    }
    gWizard.packageRead = true;
    SetState(1);
}

void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    switch (LOWORD(wParam)) {
        case 111:
            return Next();
        case 109:
            return Previous();
        case 110:
            return RequestClose();
        case 105:
            return Browse();
        default:
            return;
    }
}

LRESULT CALLBACK WizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintWizard(window, gWizard);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_COMMAND:
            OnCommand(wParam);
            return 0;
        case kMsgLoadPackage:
            LoadPackage();
            return 0;
        case kMsgExtracting:
            SetLabel(*reinterpret_cast<const std::string*>(lParam));
            return 0;
        case WM_CLOSE:
            RequestClose();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Hidden until the first page shows the ones it has.
const ControlSpec kControls[] = {
    {"Check2", 0, kControlCheckBox, L"在桌面添加快捷方式", 35, 125, 149, 13, 103, false},
    {"Check1", 0, kControlCheckBox, L"完成后立即启动软件", 35, 100, 134, 18, 104, false},
    {"Text1", 0, kControlEdit, L"", 25, 175, 396, 21, 106, false},
    {"Command4", 0, kControlButton, L"浏览(&B).....", 325, 205, 95, 25, 105, false},
    {"ProgressBar1", 0, kControlProgressBar, L"", 15, 215, 421, 24, 108, false},
    {"Command3", 0, kControlButton, L"上一步(&F)", 220, 255, 63, 24, 109, false},
    {"Command1", 0, kControlButton, L"下一步(&H)", 295, 255, 63, 24, 111, false},
    {"Command2", 0, kControlButton, L"取消(&C)", 370, 255, 63, 24, 110, false},
};

void AddControls(Form& form) {
    AddControls(form, kControls);
    SetControlChecked(form, "Check1", 0, true);
    SetControlChecked(form, "Check2", 0, true);
}

std::string DefaultFolder() {
    const std::string base = BaseFolderName(GetUserDefaultLangID());
    std::string folder = "D:" + base;
    if (!EnsureFolderPath(folder)) {
        wchar_t drive[MAX_PATH] = {};
        GetEnvironmentVariableW(L"HOMEDRIVE", drive, MAX_PATH);
        folder = Utf8FromWide(drive) + base;
        EnsureFolderPath(folder);
    }
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

void RecordInstallerPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    gWizard.installerPath = Utf8FromWide(path);
    gWizard.installerFolder = Utf8FromWide(FolderOfPath(path));
}

}  // namespace

HWND CreateWizard(HINSTANCE instance, const Scale& scale) {
    RecordInstallerPath();
    LoadIconFont();
    gWizard.defaultFolder = DefaultFolder();
    FormSpec spec;
    spec.name = "Form1";
    spec.className = L"澜川软件安装_Form1";
    spec.caption = W(WizardTitle());
    spec.width = kWindowWidth;
    spec.height = kWindowHeight;
    spec.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = WizardProc;
    spec.scale = scale;
    Form* form = CreateForm(instance, spec);
    if (!form) return nullptr;
    gWizard.window = form->window;
    gWizard.scale = scale;
    AddControls(*form);
    RECT work, outer;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(gWizard.window, &outer);
    SetWindowPos(gWizard.window, nullptr,
                 work.left + (work.right - work.left - (outer.right - outer.left)) / 2,
                 work.top + (work.bottom - work.top - (outer.bottom - outer.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(gWizard.window, SW_SHOW);
    UpdateWindow(gWizard.window);
    PostMessageW(gWizard.window, kMsgLoadPackage, 0, 0);
    return gWizard.window;
}
