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
#include "setup/install_steps_win.h"
#include "setup/package.h"
#include "setup/package_io.h"
#include "setup/running_check_win.h"
#include "setup/wizard_pages_win.h"
#include "setup/wizard_rules.h"

namespace {

constexpr UINT kMsgLoadPackage = WM_APP + 1;  // the start step, queued behind the first paint
constexpr UINT kMsgProgress = WM_APP + 2;     // from the worker: progressIndex moved on
constexpr UINT kMsgFileInUse = WM_APP + 3;    // from the worker, sent: lParam the entry; returns a kAnswer
constexpr LRESULT kAnswerRetry = 1, kAnswerSkip = 2, kAnswerCancel = 3;

// The controls' ids.
constexpr int kIdShortcutBox = 103;
constexpr int kIdStartBox = 104;
constexpr int kIdBrowse = 105;
constexpr int kIdFolderBox = 106;
constexpr int kIdProgressBar = 108;
constexpr int kIdPrevious = 109;
constexpr int kIdCancel = 110;
constexpr int kIdNext = 111;
constexpr int kWindowWidth = 451, kWindowHeight = 314;

WizardState gWizard;
ViewedFile* gFile = nullptr;  // the installer's own file, viewed a window at a time
PackageSource gPackage;
HANDLE gWorker = nullptr;
// Set while the worker may go on: reset while the user is asked whether to stop, so that no file
// is written behind the question and Yes stops right after the file in hand.
HANDLE gGoOn = CreateEventW(nullptr, TRUE, TRUE, nullptr);

std::wstring Caption() {
    return WideFromUtf8(WizardCaption());
}

const Form& TheForm() {
    return *FormOfWindow(gWizard.window);
}

// ---- Controls and pages ----

void ShowPageControls() {
    const Form& form = TheForm();
    const WizardPage page = gWizard.page;
    const bool program = !IsDecompressOnly(gWizard.info);
    ShowControl(form, "Command1", 0, true);
    ShowControl(form, "Command2", 0, true);
    ShowControl(form, "Command3", 0, page != WizardPage::kWelcome);
    ShowControl(form, "Text1", 0, page == WizardPage::kFolder);
    ShowControl(form, "Command4", 0, page == WizardPage::kFolder);
    ShowControl(form, "ProgressBar1", 0, page == WizardPage::kExtraction);
    ShowControl(form, "Check1", 0, page == WizardPage::kFinish && program);
    ShowControl(form, "Check2", 0, page == WizardPage::kFinish && program);
    InvalidateRect(gWizard.window, nullptr, TRUE);
}

void ShowPage(WizardPage page) {
    gWizard.page = page;
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
    SetControlText(TheForm(), "Text1", 0, WideFromUtf8(folder));
}

// Carries out a page move of the rules, but for the steps it leads to.
void ApplyPageMove(const PageMove& move) {
    if (move.proposeFolder) {
        SetFolderBox(gWizard.givenFolder.empty() ? DefaultTargetFolder(gWizard.defaultFolder, gWizard.info)
                                                 : gWizard.givenFolder);
    }
    if (move.action != PageAction::kShowPage) return;
    switch (move.header) {
        case HeaderKind::kFolder:
            SetHeader(FolderPageHeader(gWizard.info));
            break;
        case HeaderKind::kExtraction:
            SetHeader(ExtractPageHeader(gWizard.info));
            break;
        case HeaderKind::kFinish:
            SetHeader(FinishPageHeader(gWizard.info));
            break;
        default:
            break;
    }
    if (move.nextCaption != nullptr) SetControlText(TheForm(), "Command1", 0, WideFromUtf8(move.nextCaption));
    ShowPage(move.page);
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
    ShowPage(WizardPage::kExtraction);
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
    for (const RunningProcess& process : found)
        gWizard.log->Write("运行中的程序：" + process.imagePath);
    if (!toEnd.Open(found, &cannot)) {
        gWizard.result = SetupExit::kProgramRunning;
        ShowError(gWizard.window, WideFromUtf8(CannotEndProgramsMessage(cannot)), Caption());
        return false;
    }
    if (!AskOkCancel(gWizard.window,
                     WideFromUtf8(RunningProgramsQuestion(gWizard.info.name, ImagePaths(found))),
                     WideFromUtf8(RunningProgramCaption())) ||
        gWizard.closeRequested) {
        return false;
    }
    cannot = toEnd.EndAll();
    if (cannot.empty()) WaitAfterEnding();
    if (gWizard.closeRequested) return false;
    if (cannot.empty() && !toEnd.AllGone()) cannot = ImagePaths(found);
    if (cannot.empty()) {
        gWizard.log->Write("已结束这些程序");
        return true;
    }
    gWizard.result = SetupExit::kProgramRunning;
    ShowError(gWizard.window, WideFromUtf8(CannotEndProgramsMessage(cannot)), Caption());
    return false;
}

// ---- The worker ----

// Runs on the worker: it only tells the window, which alone touches the controls and asks the user.
struct Progress : ExtractObserver {
    void BeforeEntry(size_t index, const PackageEntry&) override {
        gWizard.reached.Reach(index);
        gWizard.progressIndex = index;
        if (!gWizard.progressPosted.exchange(true)) PostMessageW(gWizard.window, kMsgProgress, 0, 0);
    }
    void Refused(const PackageEntry&) override {}
    InUseAnswer FileInUse(const PackageEntry& entry) override {
        // Sent, so the worker waits for the answer; a window that could not answer (0) stops it.
        switch (SendMessageW(gWizard.window, kMsgFileInUse, 0, reinterpret_cast<LPARAM>(&entry))) {
            case kAnswerRetry:
                return InUseAnswer::kRetry;
            case kAnswerSkip:
                return InUseAnswer::kSkip;
            default:
                return InUseAnswer::kCancel;
        }
    }
    bool StopRequested() override {
        WaitForSingleObject(gGoOn, INFINITE);
        return gWizard.stopRequested;
    }
};

DWORD WINAPI ExtractWorker(LPVOID) {
    Progress progress;
    gWizard.extracted = ExtractAll(gPackage, gWizard.list, gWizard.targetFolder, &progress);
    return 0;
}

// The worker's progress as the window shows it: the bar, and the file being written.
void ShowProgress() {
    gWizard.progressPosted = false;
    const size_t index = gWizard.progressIndex;
    if (index >= gWizard.list.entries.size()) return;
    SendMessageW(ControlWindow(TheForm(), "ProgressBar1"), PBM_SETPOS, static_cast<WPARAM>(index), 0);
    const PackageEntry& entry = gWizard.list.entries[index];
    if (!entry.folder) SetLabel(entry.path);
}

LRESULT AskAboutFileInUse(const PackageEntry& entry) {
    switch (AskRetryContinueCancel(gWizard.window, WideFromUtf8(FileInUseQuestion(entry.path)), Caption())) {
        case RetryAnswer::kRetry:
            return kAnswerRetry;
        case RetryAnswer::kContinue:
            return kAnswerSkip;
        default:
            return kAnswerCancel;
    }
}

bool FolderHasFiles(const std::string& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((WideFromUtf8(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool any = false;
    do {
        const std::wstring name = found.cFileName;
        any = name != L"." && name != L"..";
    } while (!any && FindNextFileW(search, &found));
    FindClose(search);
    return any;
}

// Back to the folder page, where the user can try again.
void BackToFolderPage() {
    EnableButtons(true);
    ApplyPageMove(AfterExtractionMove(false));
}

// Closing is safe at every point of the install step: during it the window only records the wish,
// and the step ends the window once it is back in charge. While files are written the user is asked
// first, and the worker stops after the file in hand.
void RequestClose() {
    if (!gWizard.installing) {
        DestroyWindow(gWizard.window);
    } else if (!gWorker) {
        gWizard.closeRequested = true;
    } else if (!gWizard.stopRequested) {
        ResetEvent(gGoOn);
        gWizard.stopRequested = AskYesNo(gWizard.window, WideFromUtf8(StopInstallQuestion()), Caption());
        SetEvent(gGoOn);
    }
}

// Checks the typed folder; false (the user told) when it will not do.
bool AcceptFolder(std::string* folder) {
    switch (CheckTargetFolder(TextOfFolderBox(), folder)) {
        case FolderCheck::kDriveRoot:
            ShowError(gWizard.window, WideFromUtf8(DriveRootMessage()), Caption());
            SetFolderBox(gWizard.defaultFolder + gWizard.info.name);
            return false;
        case FolderCheck::kInvalid:
            ShowError(gWizard.window, WideFromUtf8(InvalidFolderMessage()), Caption());
            return false;
        default:
            SetFolderBox(*folder);
            return true;
    }
}

bool MakeFolder(const std::string& folder) {
    if (EnsureFolderPath(folder)) return true;
    gWizard.result = SetupExit::kFolderNotWritable;
    gWizard.log->Write("无法创建目标文件夹");
    ShowError(gWizard.window, WideFromUtf8(CannotCreateFolderMessage()), L"软件安装");
    return false;
}

// Runs the worker with the window alive; false when it could not be started.
bool RunWorker(const std::string& folder) {
    SetLabel("开始解压文件...........");
    SetHeader(ExtractPageHeader(gWizard.info));
    ShowPage(WizardPage::kExtraction);
    SetCurrentDirectoryW(WideFromUtf8(gWizard.installerFolder).c_str());
    EnableButtons(false);
    EnableWindow(ControlWindow(TheForm(), "Command2"), TRUE);  // 取消 asks to stop
    // The 32-bit range: lists of more than 65,535 entries still move the bar.
    const size_t entries = gWizard.list.entries.size();
    SendMessageW(ControlWindow(TheForm(), "ProgressBar1"), PBM_SETRANGE32, 0,
                 static_cast<LPARAM>(entries ? entries - 1 : 0));
    gWizard.targetFolder = folder;
    gWizard.extracted = ExtractOutcome{};
    gWizard.reached.count = 0;
    gWizard.progressIndex = 0;
    gWizard.progressPosted = false;
    gWizard.extracting = true;
    gWorker = CreateThread(nullptr, 0, ExtractWorker, nullptr, 0, nullptr);
    while (gWorker && WaitForSingleObject(gWorker, 0) == WAIT_TIMEOUT)
        PumpWait(100);
    gWizard.extracting = false;
    if (!gWorker) return false;
    CloseHandle(gWorker);
    gWorker = nullptr;
    ShowProgress();  // the last entry, whose message may still wait
    gWizard.log->Write(EntryLogLines(gWizard.list, gWizard.extracted, gWizard.reached.count));
    gWizard.result = ExitOfExtraction(gWizard.extracted);
    return true;
}

// What the worker came to: the finish page only when every entry was written.
void AfterWorker(bool started) {
    if (!started) {
        gWizard.result = SetupExit::kFilesFailed;
        gWizard.log->Write("无法开始写入文件");
        ShowError(gWizard.window, WideFromUtf8(WorkerFailedMessage()), L"");
        return BackToFolderPage();
    }
    if (gWizard.extracted.Complete()) {
        EnableButtons(true);
        SetLabel("解压完成，请点下一步继续");
        return ApplyPageMove(AfterExtractionMove(true));
    }
    ShowError(gWizard.window, WideFromUtf8(ExtractFailedMessage(gWizard.extracted)), Caption());
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
    gWizard.log->Write("目标文件夹：" + folder);
    gWizard.result = SetupExit::kCancelled;
    gWizard.installing = true;
    gWizard.closeRequested = false;
    gWizard.stopRequested = false;
    const bool ready = RunningProgramCheck(folder) && !gWizard.closeRequested && MakeFolder(folder);
    // Declining to overwrite ends the wizard, as the question says nothing else.
    const bool declined = ready && gWizard.folderHadFiles &&
                          !AskYesNo(gWizard.window, WideFromUtf8(OverwriteQuestion()), Caption());
    const bool started = ready && !declined && !gWizard.closeRequested && RunWorker(folder);
    gWizard.installing = false;
    if (gWizard.closeRequested || declined) {
        DestroyWindow(gWizard.window);
    } else if (!ready) {
        BackToFolderPage();
    } else {
        AfterWorker(started);
    }
}

// The files are in place whatever happens here: a failing shortcut or start is told, with where
// the program is, and the install still ends.
void FinishActions() {
    std::wstring folder = ControlText(TheForm(), "Text1");
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    ShowWindow(gWizard.window, SW_HIDE);
    const std::wstring program = folder + WideFromUtf8(gWizard.info.programFile);
    const std::string folderText = Utf8FromWide(folder);
    if (IsControlChecked(TheForm(), "Check2") && !WriteDesktopShortcut(gWizard.info, folderText)) {
        // The files stand, but a part of the install the user asked for is missing.
        gWizard.result = SetupExit::kFilesFailed;
        gWizard.log->Write("桌面快捷方式：无法创建");
        ShowWarning(gWizard.window, WideFromUtf8(ShortcutFailedMessage(gWizard.info.name, folderText)),
                    Caption());
    }
    if (IsControlChecked(TheForm(), "Check1")) {
        SetCurrentDirectoryW(folder.c_str());
        const HINSTANCE started =
            ShellExecuteW(nullptr, L"open", program.c_str(), L"", nullptr, SW_SHOWNORMAL);
        // ShellExecute reports success as a value above 32.
        if (reinterpret_cast<INT_PTR>(started) <= 32)
            ShowWarning(gWizard.window,
                        WideFromUtf8(StartFailedMessage(gWizard.info.programFile, folderText)), Caption());
    }
    DestroyWindow(gWizard.window);
}

void Next() {
    const PageMove move = NextMove(gWizard.page, IsDecompressOnly(gWizard.info));
    ApplyPageMove(move);
    switch (move.action) {
        case PageAction::kInstall:
            return InstallStep();
        case PageAction::kFinishActions:
            return FinishActions();
        case PageAction::kClose:
            DestroyWindow(gWizard.window);
            return;
        default:
            return;
    }
}

void Previous() {
    ApplyPageMove(PreviousMove(gWizard.page));
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
    const std::wstring title = WideFromUtf8("选择安装【" + gWizard.info.name + "】目标文件夹");
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
    ShowPage(WizardPage::kWelcome);
    for (;;) {
        CloseViewedFile(gFile);
        uint64_t size = 0;
        gFile = OpenViewedFile(gWizard.installerPath, &size);
        if (gFile != nullptr && LocatePackage(FileSource(gFile, size), &gPackage)) break;
        const int answer =
            ShowMessageBox(gWizard.window, WideFromUtf8(NoPackageMessage(gWizard.installerPath)), Caption(),
                           MB_RETRYCANCEL | MB_ICONERROR);
        if (answer != IDRETRY) {
            gWizard.result = SetupExit::kPackageDamaged;
            gWizard.log->Write("安装程序中没有安装数据：" + gWizard.installerPath);
            DestroyWindow(gWizard.window);
            return;
        }
    }
    std::string error;
    // The whole package is checked here, before the first page: a damaged or hostile one is
    // refused while nothing has been written.
    if (!ReadPackageInfo(gPackage, &gWizard.info, &error) ||
        !CheckPackage(gPackage, gWizard.info, &gWizard.list, &error)) {
        gWizard.result = SetupExit::kPackageDamaged;
        gWizard.log->Write("安装包无法使用：" + error);
        ShowError(gWizard.window, WideFromUtf8(error), Caption());
        DestroyWindow(gWizard.window);
        return;
    }
    gWizard.packageRead = true;
    gWizard.log->Write(PackageLogLines(gWizard.info));
    ShowPage(WizardPage::kWelcome);
}

void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    switch (LOWORD(wParam)) {
        case kIdNext:
            return Next();
        case kIdPrevious:
            return Previous();
        case kIdCancel:
            return RequestClose();
        case kIdBrowse:
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
        case kMsgProgress:
            if (gWizard.extracting) ShowProgress();
            return 0;
        case kMsgFileInUse:
            return AskAboutFileInUse(*reinterpret_cast<const PackageEntry*>(lParam));
        case WM_DPICHANGED:
            // The framework has made the window and its controls again at the new scale.
            if (const Form* form = FormOfWindow(window)) gWizard.scale = form->scale;
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
    {"Check2", 0, kControlCheckBox, L"在桌面添加快捷方式", 35, 125, 149, 13, kIdShortcutBox, false},
    {"Check1", 0, kControlCheckBox, L"完成后立即启动软件", 35, 100, 134, 18, kIdStartBox, false},
    {"Text1", 0, kControlEdit, L"", 25, 175, 396, 21, kIdFolderBox, false},
    {"Command4", 0, kControlButton, L"浏览(&B).....", 325, 205, 95, 25, kIdBrowse, false},
    {"ProgressBar1", 0, kControlProgressBar, L"", 15, 215, 421, 24, kIdProgressBar, false},
    {"Command3", 0, kControlButton, L"上一步(&F)", 220, 255, 63, 24, kIdPrevious, false},
    {"Command1", 0, kControlButton, L"下一步(&H)", 295, 255, 63, 24, kIdNext, false, BS_DEFPUSHBUTTON},
    {"Command2", 0, kControlButton, L"取消(&C)", 370, 255, 63, 24, kIdCancel, false},
};

void AddControls(Form& form) {
    AddControls(form, kControls);
    SetControlChecked(form, "Check1", 0, true);
    SetControlChecked(form, "Check2", 0, true);
}

void RecordInstallerPath() {
    gWizard.installerPath = OwnExecutablePath();
    gWizard.installerFolder = Utf8FromWide(FolderOfPath(WideFromUtf8(gWizard.installerPath)));
}

}  // namespace

HWND CreateWizard(HINSTANCE instance, const Scale& scale, const SetupArguments& arguments, InstallLog* log) {
    RecordInstallerPath();
    LoadIconFont();
    gWizard.defaultFolder = DefaultInstallBase();
    gWizard.givenFolder = arguments.folder;
    gWizard.log = log;
    FormSpec spec;
    spec.name = "Form1";
    spec.className = L"澜川软件安装_Form1";
    spec.caption = WideFromUtf8(WizardTitle());
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

SetupExit WizardResult() {
    return gWizard.result;
}
