#include "setup/running_check.h"

#include <gtest/gtest.h>

TEST(RunningCheck, FolderMatchIgnoresTheCaseOfLatinLettersOnly) {
    const std::string folder = "D:\\澜川软件\\钟伴\\";
    EXPECT_TRUE(ImageLiesInFolder("D:\\澜川软件\\钟伴\\钟伴.exe", folder));
    EXPECT_TRUE(ImageLiesInFolder("d:\\澜川软件\\钟伴\\bin\\Update.exe", folder));  // below it, other case
    EXPECT_TRUE(ImageLiesInFolder("D:\\LANCHUAN\\APP\\A.EXE", "d:\\lanchuan\\app\\"));
    // A sibling whose name begins with the folder's name is another folder.
    EXPECT_FALSE(ImageLiesInFolder("D:\\澜川软件\\钟伴2\\钟伴.exe", folder));
    EXPECT_FALSE(ImageLiesInFolder("钟伴.exe", folder));  // a bare name (the path was not readable)
    // Letters beyond a-z are compared as they are.
    EXPECT_FALSE(ImageLiesInFolder("D:\\ÄPFEL\\x.exe", "D:\\äpfel\\"));
    EXPECT_FALSE(ImageLiesInFolder("D:\\any\\x.exe", ""));
}

TEST(RunningCheck, ProcessesInTheFolderInSnapshotOrderWithoutTheInstaller) {
    const std::vector<RunningProcess> snapshot = {{4, "System"},
                                                  {100, "C:\\Windows\\explorer.exe"},
                                                  {200, "D:\\Apps\\Game\\bin\\game.exe"},
                                                  {300, "D:\\Apps\\Game\\setup.exe"},
                                                  {400, "D:\\Apps\\Game\\tool.exe"},
                                                  {500, "D:\\Apps\\Games\\other.exe"}};
    const std::vector<RunningProcess> found = ProcessesInFolder(snapshot, "D:\\Apps\\Game\\", 300);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].id, 200u);
    EXPECT_EQ(found[1].id, 400u);
}

TEST(RunningCheck, QuestionNamesThePackageAndEveryProgram) {
    const std::string text = RunningProgramsQuestion(
        "钟伴", {"D:\\澜川软件\\钟伴\\钟伴.exe", "D:\\澜川软件\\钟伴\\工具\\助手.exe"});
    const std::string rule(50, '-');
    EXPECT_EQ(text.rfind("发现目标文件夹中有【游戏或软件】运行中！！！\r\n\r\n" + rule +
                             "\r\n钟伴\r\n\r\n"
                             "D:\\澜川软件\\钟伴\\钟伴.exe\r\n"
                             "D:\\澜川软件\\钟伴\\工具\\助手.exe\r\n" +
                             rule + "\r\n\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("点【取消】停止安装"), std::string::npos);
    EXPECT_EQ(RunningProgramCaption(), "请退出【应用或游戏】");
    EXPECT_NE(CannotEndProgramsMessage({"D:\\a\\b.exe"}).find("D:\\a\\b.exe"), std::string::npos);
}
