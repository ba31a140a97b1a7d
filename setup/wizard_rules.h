// The install wizard's decisions, apart from its window: the proposed folder, the check of the
// folder the user typed, the title and the page header texts. Texts are UTF-8.
#pragma once

#include <string>

#include "setup/package.h"

// The installer's version, of which the title shows the first three numbers.
constexpr int kSetupVersion[4] = {3, 0, 0, 37};

// "安装澜川软件 V3.0.0 _ 纯绿色，安装只是解压".
std::string WizardTitle();

// The caption of the wizard's message boxes.
std::string WizardCaption();

// True for a package that is only unpacked (文件名 "解压缩"): no folder page, shortcut or start.
bool IsDecompressOnly(const PackageInfo& info);

// The base folder's name under a drive: "\澜川软件\" for a Chinese (PRC, 2052) default language,
// else "\LanChuan\".
std::string BaseFolderName(unsigned languageId);

// What the folder the user typed comes to.
enum class FolderCheck {
    kAccepted,   // *folder holds it trimmed, ending in '\'
    kDriveRoot,  // "D:" or "D:\": it must be a folder; the wizard proposes the default again
    kInvalid,    // too short, or not "X:\..." (network paths included)
};

// Spaces around the text are removed; a text of 3 characters or fewer is a drive root when its
// second character is ':', else invalid; a longer one must have ":\" as its 2nd and 3rd characters.
FolderCheck CheckTargetFolder(const std::string& typed, std::string* folder);

// The wizard's pages, in the order Next walks them.
enum class WizardPage { kWelcome = 1, kFolder, kExtraction, kFinish };

// What a press of Next or Previous, or the end of an extraction, leads to.
enum class PageAction {
    kNothing,
    kShowPage,       // show `page`, with `header` and Next's caption when they change
    kInstall,        // the install step, which moves the pages itself
    kFinishActions,  // the desktop shortcut and the program's start, then the wizard closes
    kClose,
};
enum class HeaderKind { kKeep, kFolder, kExtraction, kFinish };
struct PageMove {
    PageAction action = PageAction::kNothing;
    WizardPage page = WizardPage::kWelcome;
    HeaderKind header = HeaderKind::kKeep;
    const char* nextCaption = nullptr;  // Next's new caption; null keeps it
    bool proposeFolder = false;         // the folder box gets the default folder + the package's folder name
};
PageMove NextMove(WizardPage page, bool decompressOnly);
PageMove PreviousMove(WizardPage page);
// After an extraction: the finish page when every entry was written, else the folder page to try
// again.
PageMove AfterExtractionMove(bool complete);

// The messages of the wizard (CR LF inside).
std::string DriveRootMessage();
std::string InvalidFolderMessage();
std::string CannotCreateFolderMessage();
std::string WorkerFailedMessage();
std::string NoPackageMessage(const std::string& installerPath);
std::string OverwriteQuestion();
// The finish page's two actions failing after the files were written: the install itself stands,
// so each says where the program is. folder ends in '\'.
std::string ShortcutFailedMessage(const std::string& name, const std::string& folder);
std::string StartFailedMessage(const std::string& program, const std::string& folder);

// How many failed files the message after an extraction names; the rest are counted.
constexpr size_t kFailuresNamed = 5;

// The message after an extraction that did not write everything (ExtractOutcome::Complete false):
// whether it was stopped and how many files were written then, the first kFailuresNamed failed
// files with why, how many failed in all, and what the user can do about each kind of failure
// present, before trying again.
std::string ExtractFailedMessage(const ExtractOutcome& outcome);

// Why an entry failed, as the report after an extraction and the log name it.
const char* EntryFailureReason(EntryFailure failure);

// The question when a file to be replaced is held open by another program (Retry / Skip / Cancel).
std::string FileInUseQuestion(const std::string& path);

// Asked when the window is closed while files are written.
std::string StopInstallQuestion();

// Page header texts of the pages 2 to 4.
struct PageHeader {
    std::string title;
    std::string subtitle;
};
PageHeader FolderPageHeader(const PackageInfo& info);
PageHeader ExtractPageHeader(const PackageInfo& info);
PageHeader FinishPageHeader(const PackageInfo& info);

// "版本：" + 版本号 + "   发布日期：" + 日期, the welcome page's second line.
std::string VersionLine(const PackageInfo& info);
