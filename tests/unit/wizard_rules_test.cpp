#include "setup/wizard_rules.h"

#include <gtest/gtest.h>

TEST(WizardRules, TypedFolders) {
    std::string folder = "unchanged";
    EXPECT_EQ(CheckTargetFolder("D:", &folder), FolderCheck::kDriveRoot);
    EXPECT_EQ(CheckTargetFolder("D:\\", &folder), FolderCheck::kDriveRoot);
    EXPECT_EQ(CheckTargetFolder("  D:\\ ", &folder), FolderCheck::kDriveRoot);
    EXPECT_EQ(CheckTargetFolder("abc", &folder), FolderCheck::kInvalid);
    EXPECT_EQ(CheckTargetFolder("", &folder), FolderCheck::kInvalid);
    EXPECT_EQ(CheckTargetFolder("\\\\server\\share\\folder", &folder), FolderCheck::kInvalid);  // network
    EXPECT_EQ(CheckTargetFolder("D:folder", &folder), FolderCheck::kInvalid);
    EXPECT_EQ(folder, "unchanged");
    EXPECT_EQ(CheckTargetFolder("  E:\\Games  ", &folder), FolderCheck::kAccepted);
    EXPECT_EQ(folder, "E:\\Games\\");
    EXPECT_EQ(CheckTargetFolder("D:\\澜川软件\\钟伴\\", &folder), FolderCheck::kAccepted);
    EXPECT_EQ(folder, "D:\\澜川软件\\钟伴\\");
    // Three Chinese characters are three characters, not nine bytes: too short for a folder.
    EXPECT_EQ(CheckTargetFolder("钟伴啊", &folder), FolderCheck::kInvalid);
}

TEST(WizardRules, TitleFoldersAndHeaders) {
    EXPECT_EQ(WizardTitle(), "安装澜川软件 V3.0.0 _ 纯绿色，安装只是解压");
    EXPECT_EQ(BaseFolderName(2052), "\\澜川软件\\");
    EXPECT_EQ(BaseFolderName(1033), "\\LanChuan\\");
    PackageInfo info;
    info.name = "钟伴";
    info.programFile = "钟伴.exe";
    info.version = "1.3.8";
    info.date = "2026-12-08";
    EXPECT_FALSE(IsDecompressOnly(info));
    EXPECT_EQ(FolderPageHeader(info).subtitle, "选择“钟伴”的安装文件夹");
    EXPECT_EQ(FinishPageHeader(info).title, "安装选项");
    EXPECT_EQ(VersionLine(info), "版本：1.3.8   发布日期：2026-12-08");
    info.programFile = "解压缩";
    EXPECT_TRUE(IsDecompressOnly(info));
    EXPECT_EQ(FinishPageHeader(info).title, "安装完成");
    EXPECT_EQ(ExtractPageHeader(info).subtitle, "解压“钟伴”的安装包");
}

// The report after an extraction that did not write everything names what failed and what to do
// about each kind of failure present, and nothing else.
TEST(WizardRules, ExtractFailedMessageNamesFilesCountAndRemedies) {
    ExtractOutcome outcome;
    for (int i = 1; i <= 7; ++i)
        outcome.failures.emplace_back("f" + std::to_string(i) + ".dat", EntryFailure::kDamaged);
    std::string text = ExtractFailedMessage(outcome);
    EXPECT_NE(text.find("f5.dat（安装包中的数据已损坏）"), std::string::npos);
    EXPECT_EQ(text.find("f6.dat"), std::string::npos);
    EXPECT_NE(text.find("共 7 个文件没有装好"), std::string::npos);
    EXPECT_NE(text.find("重新下载"), std::string::npos);
    EXPECT_EQ(text.find("关闭正在使用"), std::string::npos);
    EXPECT_EQ(text.find("磁盘空间"), std::string::npos);

    outcome.failures = {{"钟伴.exe", EntryFailure::kInUse}, {"声.wav", EntryFailure::kNotWritten}};
    text = ExtractFailedMessage(outcome);
    EXPECT_NE(text.find("钟伴.exe（正被其他程序使用）"), std::string::npos);
    EXPECT_NE(text.find("关闭正在使用这些文件的程序"), std::string::npos);
    EXPECT_NE(text.find("腾出磁盘空间"), std::string::npos);
    EXPECT_EQ(text.find("重新下载"), std::string::npos);

    ExtractOutcome stopped;
    stopped.stopped = true;
    stopped.filesWritten = 12;
    EXPECT_EQ(ExtractFailedMessage(stopped).rfind("安装已停止，已写入 12 个文件", 0), 0u);
}

// A user's way through the pages: a program package asks for its folder and ends with the finish
// actions; a decompress-only one unpacks at once and Next on its last page closes the wizard.
TEST(WizardRules, PageMoves) {
    const PageMove toFolder = NextMove(WizardPage::kWelcome, false);
    EXPECT_EQ(toFolder.action, PageAction::kShowPage);
    EXPECT_EQ(toFolder.page, WizardPage::kFolder);
    EXPECT_EQ(toFolder.header, HeaderKind::kFolder);
    EXPECT_TRUE(toFolder.proposeFolder);
    const PageMove unpackAtOnce = NextMove(WizardPage::kWelcome, true);
    EXPECT_EQ(unpackAtOnce.action, PageAction::kInstall);
    EXPECT_TRUE(unpackAtOnce.proposeFolder);
    EXPECT_EQ(NextMove(WizardPage::kFolder, false).action, PageAction::kInstall);
    EXPECT_EQ(NextMove(WizardPage::kFinish, false).action, PageAction::kFinishActions);
    EXPECT_EQ(NextMove(WizardPage::kFinish, true).action, PageAction::kClose);

    // The finish page is reached by a whole extraction or by Next after going back to it, and its
    // Next reads 完成 until Previous leaves it.
    const PageMove finished = AfterExtractionMove(true);
    EXPECT_EQ(finished.page, WizardPage::kFinish);
    EXPECT_STREQ(finished.nextCaption, "完成");
    const PageMove back = PreviousMove(WizardPage::kFinish);
    EXPECT_EQ(back.page, WizardPage::kExtraction);
    EXPECT_STREQ(back.nextCaption, "下一步(&H)");
    EXPECT_EQ(NextMove(WizardPage::kExtraction, false).page, WizardPage::kFinish);

    // A failed extraction goes back to the folder page, as Previous from the extraction page does.
    const PageMove retry = AfterExtractionMove(false);
    EXPECT_EQ(retry.page, WizardPage::kFolder);
    EXPECT_EQ(retry.header, HeaderKind::kFolder);
    EXPECT_EQ(retry.nextCaption, nullptr);
    EXPECT_EQ(PreviousMove(WizardPage::kFolder).page, WizardPage::kWelcome);
    EXPECT_EQ(PreviousMove(WizardPage::kWelcome).action, PageAction::kNothing);
}
