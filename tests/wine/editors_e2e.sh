#!/usr/bin/env bash
# editors_e2e.sh CLOCK_EXE DRIVER_EXE FORM_DRIVER_EXE ARTIFACT_DIR SOUNDS_DIR: 钟伴.exe under Wine with
# alarms that ring in the next minute (reminder pop-ups, their tiling and the duplicate rule, one-shot
# alarms switching off, the shutdown count-down) and its editors driven as a user would (controls
# filled and buttons pressed, message boxes answered), judged by the data file and by captures.
# Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
chime_wine_up 30
clock_exe=$1 driver_exe=$2 form_driver_exe=$3 artifacts=$4 sounds=$5
mkdir -p "$artifacts"
work=$(mktemp -d)
# Never leave a count-down running: its end would shut the Wine session down.
trap 'wine "$form_driver_exe" close 钟伴_Form重启关机 >/dev/null 2>&1; wine "$driver_exe" command 8003 >/dev/null 2>&1; rm -rf "$work"' EXIT
cp "$clock_exe" "$work/钟伴.exe"
cp "$sounds"/*.wav "$work/"
ini="$work/闹钟数据.INI"
. "$here/e2e_lib.sh"

# ---- Alarms ringing: the data file as a user might have edited it by hand ----
# The ring minute: the next one, or the one after when the next is too close for the start.
now=$(date +%s)
ring=$((now / 60 * 60 + 60))
[ $((ring - now)) -lt 15 ] && ring=$((ring + 60))
hh=$((10#$(date -d "@$ring" +%H))) mm=$((10#$(date -d "@$ring" +%M)))
at="${hh}时${mm}分"
# The birthday's advance of 9 days is more than the editor offers, and its lunar date does not exist
# (lunar 2024 has no leap month, and its 正月 has 29 days): both hand edits.
# Alarm 6 was to open a program that is gone: it joins alarm 1's pop-up (same time and text).
printf '[闹钟]\r\n0=12时0分||否|改名前|\r\n1=%s||是|同一个|\r\n2=%s||是|同一个|\r\n3=%s||是|第二个|\r\n4=%s||是|关机闹钟|关机\r\n5=%s||是|重启闹钟|重启\r\n6=%s||是|同一个|C:\\已删除\\旧软件.exe\r\n[生日]\r\n0=九天前|农历|2024年闰1月30日8时0分|提前9天提醒\r\n' \
  "$at" "$at" "$at" "$at" "$at" "$at" | iconv -f UTF-8 -t CP936 >"$ini"
start_clock
check "the window appears" "driver wait 30000"

popups() { form count LcChimePalX; }
# At least N pop-ups within S seconds.
wait_popups() { wait_until "[ \"\$(popups)\" -ge $1 ]" "$2s"; }
wait_s=$((ring - $(date +%s) + 20))
check "the alarms ring at their second: pop-ups open" "wait_popups 4 $wait_s"
# All of them open in one tick of the main window: once it has handled what came before the sync,
# that tick is over.
check "two alarms with the same time and text give one pop-up: four in all" "driver sync && [ \"\$(popups)\" = 4 ]"

# Tiling: from the lower right corner leftwards, 5 pixels apart and from the edges.
read -r wl wt wr wb <<<"$(form workarea)"
tiled() {
  form rects LcChimePalX | sort -n -r -k1 | awk -v r="$wr" -v b="$wb" '
    NR == 1 {w = $3; h = $4; x0 = $1; y0 = $2}
    {if ($1 != x0 - (NR - 1) * (w + 5) || $2 != y0) bad = 1}
    END {if (x0 + w != r - 5 || y0 + h != b - 5) bad = 1; exit bad}'
}
check "the pop-ups tile leftwards from the lower right corner of the work area" tiled
capture_form() { form capture "$1" "$(chime_win_path "$artifacts/$2")" && [ -s "$artifacts/$2" ]; }
check "a pop-up is captured" "capture_form LcChimePalX popup-alarm.png"
# The band of the pop-up in picture NAME shows COLOUR or BLINK. A pop-up still being drawn on a
# loaded machine is captured again, for at most 10 s; when it never does, the colour seen is printed.
band_of() { case "$(pixel "$artifacts/$1" 150 8)" in "$2" | "$3") return 0 ;; *) return 1 ;; esac; }
band_shows() {
  wait_until "capture_form LcChimePalX $1 && band_of $1 $2 $3" 10s && return 0
  echo "       the band showed: $(pixel "$artifacts/$1" 150 8)"
  return 1
}
check "its band has the alarm colour (or its blink)" "band_shows popup-alarm.png 106,90,205 156,140,155"
# White text on the band where the two lines are drawn.
has_white() { [ "$(convert "$artifacts/$1" -crop "$4x$5+$2+$3" -colorspace Gray -threshold 95% -format '%[fx:maxima]' info:)" = 1 ]; }
check "its title and text lines are drawn" "has_white popup-alarm.png 100 42 160 22 && has_white popup-alarm.png 100 72 100 22"
check "the one-shot alarms switched themselves off and were saved" \
  "wait_value 闹钟 1 '$at||否|同一个|' && wait_value 闹钟 3 '$at||否|第二个|'"
check "the alarm whose program is gone says so, naming the alarm and the file" \
  "box_has '钟伴#闹钟“同一个”响铃时，要打开的文件无法打开：.*C:\\\\已删除\\\\旧软件.exe'"
form answer 1

# The shutdown count-down: opened by the 关机 alarm; the 重启 alarm of the same second only brings
# it forward, so it keeps its shut-down mode.
check "the count-down window opens" "form wait 钟伴_Form重启关机 5000"
countdown() { form text 钟伴_Form重启关机 Label2 0; }
# Each refresh writes the headline for the mode before the number: once the number has left its
# first 60, the headline is the refreshed one.
check "it announces the shutdown" \
  "wait_until '[ \"\$(countdown)\" != 60 ]' && [ \"\$(form text 钟伴_Form重启关机 Label1 0)\" = 即将关闭电脑 ]"
first=$(countdown)
wait_until "[ \"\$(countdown)\" != '$first' ]"
second=$(countdown)
# Two readings one change apart: a small step down, whatever the earlier checks cost on a loaded
# machine, where one reading alone may take Wine a few seconds.
check "its number falls in tenths ($first, then $second)" \
  "awk -v a='$first' -v b='$second' 'BEGIN {exit !(b ~ /^[0-9]+\\.[0-9]\$/ && b + 0 < a + 0 && a - b <= 5)}'"
check "the count-down is captured" "capture_form 钟伴_Form重启关机 countdown.png"
form click 钟伴_Form重启关机 Command1 0
check "取消 closes it" "form gone 钟伴_Form重启关机 5000"
check "and the program goes on" "[ \"\$(driver visible)\" = 1 ]"

# Closing waits for the sound to stop (at most 10 s), which may take Wine a moment.
wait_popup_count() { wait_until "[ \"\$(popups)\" = $1 ]" 30s; }
close_popups() {
  local n
  while n=$(popups) && [ "$n" -gt 0 ]; do
    form close LcChimePalX
    wait_popup_count $((n - 1)) || return 1
  done
}
form close LcChimePalX
check "closing one pop-up leaves the others" "wait_popup_count 3"
check "all pop-ups closed" close_popups

# ---- The alarm editor ----
driver click 100 65
check "the add row opens the alarm editor" "form wait 钟伴_Form7 5000"
check "the editor is captured" "capture_form 钟伴_Form7 editor-alarm.png"
# Inside a group box the form's face shows, as outside (a clipped form once left it black).
check "its group boxes show the dialog face inside" \
  "[ \"\$(pixel '$artifacts/editor-alarm.png' 150 200)\" = \"\$(pixel '$artifacts/editor-alarm.png' 4 200)\" ]"
form set 钟伴_Form7 Text1 0 7
form set 钟伴_Form7 Text1 1 30
form set 钟伴_Form7 Text2 0 '起床|早'
form click 钟伴_Form7 Command3 0
check "... opens the program picker 选择1个EXE" "box_has '^选择1个EXE#'"
form answer 2
check "cancelling it changes nothing" \
  "form gone '#32770' 5000; [ \"\$(form text 钟伴_Form7 Text3 0)\" = '点击【...】按钮指定一个软件' ] && [ \"\$(form checked 钟伴_Form7 Option1 3)\" = 1 ]"
form click 钟伴_Form7 Check1 0
week_boxes() { echo "$(form checked 钟伴_Form7 Check1 0)$(form checked 钟伴_Form7 Check1 3)"; }
check "一次性闹钟 clears the week days" "wait_until '[ \"\$(week_boxes)\" = 10 ]' 20"
form click 钟伴_Form7 Command1 0
check "确定修改 saves the new alarm on top, without the |" "form gone 钟伴_Form7 5000 && wait_value 闹钟 0 '7时30分||是|起床早|'"

driver click 100 65
form wait 钟伴_Form7 5000
form set 钟伴_Form7 Text1 0 7
form set 钟伴_Form7 Text1 1 30
form click 钟伴_Form7 Command1 0
check "a time another alarm has is refused" \
  "box_is '钟伴#7 时 | 30 分 / 闹钟时间已经存在，请重新修改。#'"
form answer 1
check "and the editor stays open" "form sync 钟伴_Form7 && [ \"\$(form count 钟伴_Form7)\" = 1 ]"
form close 钟伴_Form7
form gone 钟伴_Form7 5000

# Row 1 is the alarm the file called 改名前 (the new one went on top).
driver click 27 132
check "a row's time box opens it for editing" "form wait 钟伴_Form7 5000 && [ \"\$(form text 钟伴_Form7 Text2 0)\" = 改名前 ]"
form set 钟伴_Form7 Text2 0 改名后
form click 钟伴_Form7 Command1 0
check "the change is saved in place" "form gone 钟伴_Form7 5000 && wait_value 闹钟 1 '12时0分||否|改名后|'"
driver click 27 132
form wait 钟伴_Form7 5000
form click 钟伴_Form7 Command2 0
check "删除 asks first" "box_is '钟伴#你要删除此闹钟吗？#'"
form answer 7
check "No keeps the alarm and the editor" \
  "form sync 钟伴_Form7 && [ \"\$(form count 钟伴_Form7)\" = 1 ] && [ \"\$(ini_value 闹钟 1)\" = '12时0分||否|改名后|' ]"
form click 钟伴_Form7 Command2 0
form msgbox 5000 >/dev/null
form answer 6
check "Yes deletes it" "form gone 钟伴_Form7 5000 && wait_not_value 闹钟 1 '12时0分||否|改名后|'"

# ---- The timer editor: a new timer starts at once and raises its reminder ----
driver click 80 10
driver click 100 65
check "新增计时 opens the timer editor" "form wait 钟伴_Form8 5000"
check "the timer editor is captured" "capture_form 钟伴_Form8 editor-timer.png"
check "its button carries its caption" "has_dark editor-timer.png 82 66 30 14"
form set 钟伴_Form8 Text1 1 0
form set 钟伴_Form8 Text1 2 2
form click 钟伴_Form8 Command1 0
check "确定 saves the 2-second timer" "form gone 钟伴_Form8 5000 && wait_value 计时 5 2"
check "it runs out and raises its pop-up" "wait_popups 1 15"
check "the timer pop-up is captured" "capture_form LcChimePalX popup-timer.png"
check "its band has the timer colour (or its blink)" "band_shows popup-timer.png 0,191,255 50,141,205"
close_popups
driver click 100 65
form wait 钟伴_Form8 5000
form set 钟伴_Form8 Text1 1 0
form set 钟伴_Form8 Text1 2 2
form click 钟伴_Form8 Command1 0
check "a duration that exists is refused" "box_is '钟伴#你设置的时间已经存在了。#'"
form answer 1
form close 钟伴_Form8
form gone 钟伴_Form8 5000

# ---- The birthday editor: the lunar lists and the picker follow each other ----
driver click 112 10
driver click 100 99
check "a birthday row opens it for editing" "form wait 钟伴_Form9 5000 && [ \"\$(form text 钟伴_Form9 Text1 0)\" = 九天前 ]"
check "a hand-edited advance of 9 days is shown as it is" "[ \"\$(form text 钟伴_Form9 Combo1 0)\" = 提前9天提醒 ]"
form set 钟伴_Form9 Text1 0 改了名
form click 钟伴_Form9 Command1 0
check "a new name is saved with the advance and the lunar date as they were, though no such day exists" \
  "form gone 钟伴_Form9 5000 && wait_value 生日 0 '改了名|农历|2024年闰1月30日8时0分|提前9天提醒'"
driver click 100 65
check "添加生日 opens the birthday editor" "form wait 钟伴_Form9 5000"
check "a new birthday starts in the lunar calendar" "[ \"\$(form checked 钟伴_Form9 Option2 1)\" = 1 ]"
lunar_2023_leap_2_1() {
  form select 钟伴_Form9 Combo3 0 123 && form select 钟伴_Form9 Combo3 1 2 && form select 钟伴_Form9 Combo3 2 0
}
form set 钟伴_Form9 Text1 0 农历生日
lunar_2023_leap_2_1
check "2023 has 闰二月 as its third month" "[ \"\$(form text 钟伴_Form9 Combo3 1)\" = 闰二月 ]"
check "the birthday editor is captured" "capture_form 钟伴_Form9 editor-birthday.png"
form click 钟伴_Form9 Command1 0
# The list is kept sorted by the days left: look through all of it.
birthday_saved() { iconv -f CP936 -t UTF-8 "$ini" | tr -d '\r' | awk '/^\[/ {f = ($0 == "[生日]")} f' | grep -q -F "=$1"; }
saved_with() { wait_until "birthday_saved $(printf %q "$1")"; }
check "saved as a lunar leap-month birthday" "form gone 钟伴_Form9 5000 && saved_with '农历生日|农历|2023年闰2月1日'"
driver click 100 65
form wait 钟伴_Form9 5000
form set 钟伴_Form9 Text1 0 公历生日
lunar_2023_leap_2_1
form click 钟伴_Form9 Option2 0
form click 钟伴_Form9 Command1 0
check "the picker followed the lists to 2023-03-22" \
  "form gone 钟伴_Form9 5000 && saved_with '公历生日|公历|2023年3月22日'"

driver command 8003 >/dev/null
check "the program closes" "driver wait-gone 10000"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
