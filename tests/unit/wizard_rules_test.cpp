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
