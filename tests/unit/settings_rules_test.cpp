// The settings page's switches, the start-up shortcut's outcome, the close button and the captions.
#include <gtest/gtest.h>

#include "clock/core/settings_rules.h"
#include "forms/gbk.h"
#include "forms/ini.h"
#include "test_support.h"

namespace {

// Sets the eight flags from a "1010..." pattern over the built-in captions.
void SetFlags(const char* flags) {
    for (int slot = 0; slot < kOptionCount; ++slot) {
        OptionSlots[slot] = BuiltInOption(slot);
        SetOptionFlag(slot, flags[slot] == '1');
    }
}

TEST(SettingsRulesTest, TopmostFollowsTheWindowsRealZOrderAndFlipsTheFlag) {
    SetFlags("1000000");
    // The flag says topmost but the window is not: it becomes topmost while the flag turns off.
    OptionToggleActions actions = ToggleOption(kOptionTopmost, false);
    EXPECT_EQ(actions.zOrder, ZOrderChange::kMakeTopmost);
    EXPECT_FALSE(OptionOn(kOptionTopmost));
    EXPECT_EQ(actions.slotsToWrite, std::vector<int>{0});
    EXPECT_EQ(ToggleOption(kOptionTopmost, true).zOrder, ZOrderChange::kMakeNotTopmost);
    EXPECT_TRUE(OptionOn(kOptionTopmost));
    EXPECT_FALSE(ToggleOption(kOptionCount, true).repaint);  // outside the page: nothing at all
}

TEST(SettingsRulesTest, TrayOffWithCloseToHideOnTurnsBothOffAndWritesBoth) {
    ScratchDir dir;
    DataFilePath = dir.File("data.ini");
    SetFlags("0010010");
    const OptionToggleActions actions = ToggleOption(kOptionTrayIcon, false);
    EXPECT_EQ(actions.tray, TrayChange::kRemove);
    EXPECT_EQ(actions.slotsToWrite, (std::vector<int>{5, 2}));

    WriteOptionSlots(actions.slotsToWrite);
    const IniDocument doc = LoadIniFile(DataFilePath);
    DataFilePath.clear();
    std::string value;
    EXPECT_TRUE(ReadKey(doc, Gbk("设置"), "5", &value) && value == Gbk("0|点关闭按钮为隐藏"));
    EXPECT_TRUE(ReadKey(doc, Gbk("设置"), "2", &value) && value == Gbk("0|显示任务栏小图标"));
    EXPECT_FALSE(ReadKey(doc, Gbk("设置"), "0", &value));

    // With close-to-hide already off only the tray slot changes; switching on again adds the icon.
    EXPECT_EQ(ToggleOption(kOptionTrayIcon, false).tray, TrayChange::kAdd);
    EXPECT_EQ(ToggleOption(kOptionTrayIcon, false).slotsToWrite, std::vector<int>{2});
}

TEST(SettingsRulesTest, CloseToHideWithoutTrayIconHidesAndTheBalloonBringsItBack) {
    SetFlags("0000000");
    const OptionToggleActions actions = ToggleOption(kOptionCloseHides, false);
    EXPECT_EQ(actions.tray, TrayChange::kNone);
    EXPECT_EQ(actions.slotsToWrite, std::vector<int>{5});

    const CloseButtonActions close = CloseButtonAction();
    EXPECT_TRUE(close.hideWindow);
    EXPECT_FALSE(close.showTrayIcon);
    EXPECT_EQ(close.balloonTitle, "");
    EXPECT_EQ(close.balloonText, Gbk("钟伴并没有关闭，还在这里，点击它立即显示。"));
    EXPECT_EQ(close.balloonTimeoutMs, 5000);

    SetFlags("0010010");
    EXPECT_TRUE(CloseButtonAction().showTrayIcon);
    SetFlags("0010000");
    EXPECT_FALSE(CloseButtonAction().hideWindow);
}

TEST(SettingsRulesTest, StartupFlagEndsEqualToTheLinksPresence) {
    SetFlags("0000000");
    const OptionToggleActions actions = ToggleOption(kOptionStartWithSystem, false);
    EXPECT_EQ(actions.shortcut, ShortcutChange::kCreate);
    EXPECT_TRUE(actions.slotsToWrite.empty());
    EXPECT_FALSE(OptionOn(kOptionStartWithSystem));  // nothing decided before the attempt

    StartupToggleResult result = FinishStartupToggle(ShortcutChange::kCreate, true);
    EXPECT_TRUE(result.writeSlot && result.errorMessage.empty());
    EXPECT_TRUE(OptionOn(kOptionStartWithSystem));
    EXPECT_EQ(ToggleOption(kOptionStartWithSystem, false).shortcut, ShortcutChange::kRemove);

    const std::string tail =
        "\r\n如果杀毒软件拦截，请允许通过\r\n如果是WIN7或者以上系统，请用\r\n"
        "管理员方式打开本软件后，再设置。\r\n正常使用软件时不可以用管理员方式打开";
    result = FinishStartupToggle(ShortcutChange::kRemove, true);
    EXPECT_FALSE(result.writeSlot);
    EXPECT_EQ(result.errorMessage, Gbk(("清除开机启动失败" + tail).c_str()));
    EXPECT_TRUE(OptionOn(kOptionStartWithSystem));

    SetFlags("0000000");
    result = FinishStartupToggle(ShortcutChange::kCreate, false);
    EXPECT_FALSE(result.writeSlot);
    EXPECT_EQ(result.errorMessage, Gbk(("增加开机启动失败" + tail).c_str()));
    EXPECT_FALSE(OptionOn(kOptionStartWithSystem));
}

TEST(SettingsRulesTest, EditedOptionLabelIsShownAndKeptThroughAToggle) {
    OptionSlots[kOptionRememberWindow] = Gbk("1|我的标签");
    EXPECT_TRUE(OptionOn(kOptionRememberWindow));
    EXPECT_EQ(OptionCaption(OptionSlots[kOptionRememberWindow]), Gbk("我的标签"));
    ToggleOption(kOptionRememberWindow, false);
    EXPECT_EQ(OptionSlots[kOptionRememberWindow], Gbk("0|我的标签"));
    EXPECT_EQ(OptionCaption("1"), "");
    // A flag that is a Chinese character is one character, not two bytes.
    EXPECT_EQ(OptionCaption(Gbk("是|标签")), Gbk("标签"));
    EXPECT_EQ(OptionCaption(Gbk("|点关闭按钮为隐藏")), Gbk("点关闭按钮为隐藏"));  // empty flag, on
}

TEST(SettingsRulesTest, ShortcutPathAndFields) {
    const std::string link = Gbk("钟伴.lnk");
    EXPECT_EQ(StartupShortcutPath("C:\\Startup"), "C:\\Startup\\" + link);
    EXPECT_EQ(StartupShortcutPath("C:\\Startup\\"), "C:\\Startup\\" + link);
    // The last byte 0x5C is the trail byte of 乗, not a separator.
    const std::string folder = Gbk("C:\\乗");
    ASSERT_EQ(folder.back(), '\\');
    EXPECT_EQ(StartupShortcutPath(folder), folder + "\\" + link);

    const StartupShortcutFields fields = StartupShortcut(Gbk("D:\\乗\\钟伴.exe"));
    EXPECT_EQ(fields.fileName, link);
    EXPECT_EQ(fields.description, Gbk("简单方便的闹钟、秒表、计时、生日、日程等小功能"));
    EXPECT_EQ(fields.windowStyle, 1);
    EXPECT_EQ(fields.workingDirectory, Gbk("D:\\乗"));
    EXPECT_EQ(StartupShortcut("C:\\clock.exe").workingDirectory, "C:\\");
}

}  // namespace
