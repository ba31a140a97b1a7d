#include "clock/alarms/reminder_rules.h"

#include <gtest/gtest.h>

#include "forms/gbk.h"

namespace {

const ScreenRect kWork{0, 0, 1280, 760};
constexpr int kPopupW = 275, kPopupH = 159;  // 273 x 157 client area with a one-pixel border

}  // namespace

TEST(ReminderLook, ColoursBlinkAndSounds) {
    EXPECT_EQ(ReminderColour(kReminderAlarm), (Rgb{106, 90, 205}));
    EXPECT_EQ(ReminderColour(kReminderSchedule), (Rgb{107, 142, 35}));
    EXPECT_EQ(ReminderColour(1), ReminderColour(kReminderAlarm));  // no kind 1: the alarm's
    // 128 and above darken, below lighten: the blink moves every channel by 50 either way.
    EXPECT_EQ(BlinkColour(Rgb{106, 90, 205}), (Rgb{156, 140, 155}));
    EXPECT_EQ(BlinkColour(Rgb{0, 128, 255}), (Rgb{50, 78, 205}));
    EXPECT_EQ(BlinkColour(Rgb{127, 127, 127}), (Rgb{177, 177, 177}));
    EXPECT_EQ(ReminderSoundFile(kReminderTimer), Gbk("计时声.wav"));
    EXPECT_EQ(ReminderSoundFile(kReminderBirthday), Gbk("生日声.wav"));
    EXPECT_EQ(ReminderSoundFile(7), Gbk("闹钟声.wav"));
}

TEST(ReminderLook, FieldTextsNeverEndInHalfACharacter) {
    // "12:00 " is 6 bytes; 22 Chinese characters make 50 bytes in all, a 23rd does not fit.
    const std::string line = "12:00 " + Gbk("一二三四五六七八九十一二三四五六七八九十一二三");
    const std::string cut = ReminderFieldText(line, kReminderSecondBytes);
    EXPECT_EQ(cut, "12:00 " + Gbk("一二三四五六七八九十一二三四五六七八九十一二"));
    // An odd prefix: the 50th byte would be the lead byte of a character, so only 49 remain.
    EXPECT_EQ(ReminderFieldText("12:00" + Gbk("一二三四五六七八九十一二三四五六七八九十一二三"), 50).size(),
              49u);
    EXPECT_EQ(ReminderFieldText(Gbk("闹钟的时间到了！！"), kReminderFirstBytes), Gbk("闹钟的时间到了！！"));
}

// A full second line gives up part of the name, never the mark; snoozing again adds no second one.
TEST(ReminderLook, SnoozedLineKeepsItsWholeMark) {
    const std::string full = "12:00 " + Gbk("一二三四五六七八九十一二三四五六七八九十一二");
    const std::string snoozed = SnoozedSecondText(full);
    EXPECT_EQ(snoozed, "12:00 " + Gbk("一二三四五六七八九十一二三四五六（稍后提醒）"));
    EXPECT_LE(snoozed.size(), kReminderSecondBytes);
    EXPECT_EQ(SnoozedSecondText(snoozed), snoozed);
}

TEST(ReminderPlace, TilesFromTheLowerRightLeftwardsThenUpwards) {
    const ScreenPoint first = ReminderPlace(0, kPopupW, kPopupH, kWork);
    EXPECT_EQ(first.x, 1280 - 280);
    EXPECT_EQ(first.y, 760 - 164);
    const ScreenPoint second = ReminderPlace(1, kPopupW, kPopupH, kWork);
    EXPECT_EQ(second.x, first.x - 280);
    EXPECT_EQ(second.y, first.y);
    // 1280 / 280 = 4 columns: the fifth opens at the right edge of the row above.
    const ScreenPoint fifth = ReminderPlace(4, kPopupW, kPopupH, kWork);
    EXPECT_EQ(fifth.x, first.x);
    EXPECT_EQ(fifth.y, first.y - 164);
}

TEST(ReminderPlace, NewPopupTakesTheFirstFreeSlot) {
    EXPECT_EQ(FirstFreeReminderSlot({}), 0);
    EXPECT_EQ(FirstFreeReminderSlot({2, 0, 1}), 3);
    // Slot 1 was closed: with two still open, the count would name slot 2, which is taken.
    EXPECT_EQ(FirstFreeReminderSlot({2, 0}), 1);
}

TEST(ReminderPlace, NarrowWorkAreas) {
    // Narrower than two pop-ups: one column, stacked upwards.
    const ScreenRect portrait{0, 0, 500, 1900};
    EXPECT_EQ(ReminderPlace(1, kPopupW, kPopupH, portrait).x, ReminderPlace(0, kPopupW, kPopupH, portrait).x);
    EXPECT_EQ(ReminderPlace(2, kPopupW, kPopupH, portrait).y, 1900 - 3 * 164);
    // Narrower than one pop-up: still one column at the right edge, never a division by zero.
    const ScreenRect tiny{100, 0, 300, 600};
    const ScreenPoint p = ReminderPlace(3, kPopupW, kPopupH, tiny);
    EXPECT_EQ(p.x, 300 - 280);
    EXPECT_EQ(p.y, 600 - 4 * 164);
}

TEST(ReminderSound, StopsThreeMinutesAfterTheLatestRaise) {
    EXPECT_FALSE(ReminderSoundExpired(1000, 1000 + kReminderSoundMs));
    EXPECT_TRUE(ReminderSoundExpired(1000, 1001 + kReminderSoundMs));
    EXPECT_FALSE(ReminderSoundExpired(0, 5000000));  // already handled
    // Raised just before the tick wrapped: still measured right.
    EXPECT_FALSE(ReminderSoundExpired(0xFFFFF000u, 1000));
    EXPECT_TRUE(ReminderSoundExpired(0xFFFFF000u, kReminderSoundMs + 5000));
}

TEST(ShutdownCountdown, TextsAndRemainingTime) {
    EXPECT_EQ(ShutdownRemainingMs(5000, 5000), 60000);
    EXPECT_EQ(ShutdownRemainingMs(5000, 5100), 59900);
    EXPECT_EQ(ShutdownRemainingMs(5000, 70000), 0);
    EXPECT_EQ(ShutdownRemainingMs(0xFFFFFF00u, 0x100u), 60000 - 0x200);  // across the wrap
    EXPECT_EQ(ShutdownCountdownText(60000), "60.0");
    EXPECT_EQ(ShutdownCountdownText(59999), "59.9");
    EXPECT_EQ(ShutdownCountdownText(12345), "12.3");
    EXPECT_EQ(ShutdownCountdownText(99), "0.0");
    EXPECT_EQ(ShutdownCountdownText(-5), "0.0");
    EXPECT_EQ(ShutdownHeadline(kShutdownPowerOff), Gbk("即将关闭电脑"));
    EXPECT_EQ(ShutdownHeadline(kShutdownRestart), Gbk("即将重启电脑"));
}
