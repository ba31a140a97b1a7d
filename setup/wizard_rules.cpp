#include "setup/wizard_rules.h"

namespace {

// Characters of a UTF-8 text (bytes that do not continue a character).
size_t CharacterCount(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const char kThanks[] = "－－－－感谢你使用【澜川软件】";

std::string FailedFilesLines(const ExtractOutcome& outcome) {
    std::string lines;
    for (size_t i = 0; i < outcome.failures.size() && i < kFailuresNamed; ++i) {
        lines += "    " + outcome.failures[i].first + "（" + EntryFailureReason(outcome.failures[i].second) +
                 "）\r\n";
    }
    if (outcome.failures.size() > kFailuresNamed) lines += "    ……\r\n";
    return lines + "共 " + std::to_string(outcome.failures.size()) + " 个文件没有装好。\r\n\r\n";
}

std::string Remedies(const ExtractOutcome& outcome) {
    std::string text = "请这样处理后再安装一次：\r\n";
    if (outcome.Has(EntryFailure::kInUse)) text += "・关闭正在使用这些文件的程序\r\n";
    if (outcome.Has(EntryFailure::kNotWritten))
        text += "・腾出磁盘空间，去掉文件的只读属性，或换一个文件夹\r\n";
    if (outcome.Has(EntryFailure::kDamaged) || outcome.Has(EntryFailure::kRefused))
        text += "・安装包已损坏，请到澜川网站重新下载\r\n";
    return text;
}

constexpr char kNextCaption[] = "下一步(&H)";
constexpr char kFinishCaption[] = "完成";

PageMove ShowPage(WizardPage page, HeaderKind header, const char* nextCaption = nullptr) {
    PageMove move;
    move.action = PageAction::kShowPage;
    move.page = page;
    move.header = header;
    move.nextCaption = nextCaption;
    return move;
}

PageMove Act(PageAction action) {
    PageMove move;
    move.action = action;
    return move;
}

}  // namespace

PageMove NextMove(WizardPage page, bool decompressOnly) {
    switch (page) {
        case WizardPage::kWelcome: {
            // A decompress-only package has no folder to choose: it unpacks to the default at once.
            PageMove move = decompressOnly ? Act(PageAction::kInstall)
                                           : ShowPage(WizardPage::kFolder, HeaderKind::kFolder);
            move.proposeFolder = true;
            return move;
        }
        case WizardPage::kFolder:
            return Act(PageAction::kInstall);
        case WizardPage::kExtraction:
            return ShowPage(WizardPage::kFinish, HeaderKind::kFinish, kFinishCaption);
        default:
            return Act(decompressOnly ? PageAction::kClose : PageAction::kFinishActions);
    }
}

PageMove PreviousMove(WizardPage page) {
    switch (page) {
        case WizardPage::kFolder:
            return ShowPage(WizardPage::kWelcome, HeaderKind::kKeep);
        case WizardPage::kExtraction:
            return ShowPage(WizardPage::kFolder, HeaderKind::kFolder);
        case WizardPage::kFinish:
            return ShowPage(WizardPage::kExtraction, HeaderKind::kExtraction, kNextCaption);
        default:
            return PageMove{};
    }
}

PageMove AfterExtractionMove(bool complete) {
    return complete ? NextMove(WizardPage::kExtraction, false) : PreviousMove(WizardPage::kExtraction);
}

std::string WizardTitle() {
    return "安装澜川软件 V" + std::to_string(kSetupVersion[0]) + "." + std::to_string(kSetupVersion[1]) +
           "." + std::to_string(kSetupVersion[2]) + " _ 纯绿色，安装只是解压";
}

std::string WizardCaption() {
    return "澜川软件安装";
}

bool IsDecompressOnly(const PackageInfo& info) {
    return info.programFile == kDecompressOnlyProgram;
}

std::string BaseFolderName(unsigned languageId) {
    return languageId == 2052 ? "\\澜川软件\\" : "\\LanChuan\\";
}

FolderCheck CheckTargetFolder(const std::string& typed, std::string* folder) {
    const std::string text = Trimmed(typed);
    // The first three characters are ASCII in every accepted or drive-root form, so bytes serve.
    if (CharacterCount(text) <= 3)
        return text.size() >= 2 && text[1] == ':' ? FolderCheck::kDriveRoot : FolderCheck::kInvalid;
    if (text[1] != ':' || text[2] != '\\') return FolderCheck::kInvalid;
    *folder = text.back() == '\\' ? text : text + "\\";
    return FolderCheck::kAccepted;
}

std::string DriveRootMessage() {
    return std::string("必须安装在文件夹中！！！\r\n\r\n已经你增加了文件夹，请查看\r\n\r\n   　　") + kThanks;
}

std::string InvalidFolderMessage() {
    return std::string("目标文件夹路径错误！！！\r\n\r\n请检查输入完整的目标文件夹\r\n\r\n　　　") + kThanks;
}

std::string CannotCreateFolderMessage() {
    return "创建文件夹时出错，无法创建文件夹\r\n\r\n可能是以下原因造成的：\r\n\r\n1."
           "磁盘已满，请换个盘安装！\r\n"
           "2.此盘是光驱，请换个盘安装！\r\n3.没有此盘，请换个盘安装！\r\n4."
           "文件夹名称有非法字符，请更名！\r\n\r\n"
           "        　　　－－－－请自己检查后更正。";
}

std::string WorkerFailedMessage() {
    return std::string(
               "安装文件时发生错误！！！\r\n\r\n请检查磁盘是否满、是否不可以写入、杀毒软件拦截等\r\n\r\n　　"
               "　") +
           kThanks;
}

std::string NoPackageMessage(const std::string& installerPath) {
    return installerPath + "\r\n\r\n文件没有带安装数据！！！ \r\n\r\n请到澜川网站重新下载试试\r\n\r\n   　" +
           kThanks;
}

std::string ExtractFailedMessage(const ExtractOutcome& outcome) {
    std::string text = outcome.stopped ? "安装已停止，已写入 " + std::to_string(outcome.filesWritten) +
                                             " 个文件，其余文件没有写入。\r\n\r\n"
                                       : std::string("安装没有完成！！！\r\n\r\n");
    if (!outcome.failures.empty())
        text += "以下文件没有装好：\r\n" + FailedFilesLines(outcome) + Remedies(outcome);
    if (outcome.stopped && outcome.failures.empty()) text += "软件可能无法正常使用，请再安装一次。";
    return text;
}

std::string FileInUseQuestion(const std::string& path) {
    return path + "\r\n\r\n这个文件正被其他程序使用，无法替换。\r\n\r\n请关闭使用它的程序后点【重试】；" +
           "点【继续】跳过这个文件；点【取消】停止安装。";
}

std::string StopInstallQuestion() {
    return "停止安装？\r\n\r\n已经写入的文件会留在目标文件夹中。";
}

std::string OverwriteQuestion() {
    return "安装的文件已经存在，是要覆盖安装吗？";
}

std::string ShortcutFailedMessage(const std::string& name, const std::string& folder) {
    return "无法在桌面创建快捷方式“" + name + "”。\r\n\r\n软件已经安装在：\r\n" + folder +
           "\r\n可以从这个文件夹启动它，或者自己创建快捷方式。";
}

std::string StartFailedMessage(const std::string& program, const std::string& folder) {
    return "无法启动“" + program + "”。\r\n\r\n软件已经安装在：\r\n" + folder +
           "\r\n请在这个文件夹中双击它启动。";
}

PageHeader FolderPageHeader(const PackageInfo& info) {
    return PageHeader{"选择安装位置", "选择“" + info.name + "”的安装文件夹"};
}

PageHeader ExtractPageHeader(const PackageInfo& info) {
    return PageHeader{"解压缩文件", "解压“" + info.name + "”的安装包"};
}

PageHeader FinishPageHeader(const PackageInfo& info) {
    return PageHeader{IsDecompressOnly(info) ? "安装完成" : "安装选项", "感谢你使用“" + info.name + "”"};
}

std::string VersionLine(const PackageInfo& info) {
    return "版本：" + info.version + "   发布日期：" + info.date;
}

const char* EntryFailureReason(EntryFailure failure) {
    switch (failure) {
        case EntryFailure::kDamaged:
            return "安装包中的数据已损坏";
        case EntryFailure::kInUse:
            return "正被其他程序使用";
        case EntryFailure::kRefused:
            return "安装包中的路径不安全";
        default:
            return "无法写入";
    }
}
