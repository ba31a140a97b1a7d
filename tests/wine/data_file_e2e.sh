#!/usr/bin/env bash
# data_file_e2e.sh CLOCK_EXE DRIVER_EXE FORM_DRIVER_EXE ARTIFACT_DIR: 钟伴.exe under Wine with a data
# file it cannot use as it is: read-only, held by another program, claimed by a copy in another
# session, with one very long line, or with a window place far off the screen. Judged as a user
# would: by the messages it shows and by the user's lists, which must stay in the file as they were.
# Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
chime_wine_up 30
clock_exe=$1 driver_exe=$2 form_driver_exe=$3 artifacts=$4
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'touch "$ini.release"; wine "$driver_exe" command 8003 >/dev/null 2>&1; chmod -R u+w "$work"; rm -rf "$work"' EXIT
cp "$clock_exe" "$work/钟伴.exe"
ini="$work/闹钟数据.INI"
. "$here/e2e_lib.sh"

# The user's lists, which no failure may cost them.
user_file() {
  printf '[设置]\r\n3=1|保存窗口位置与大小\r\n%s[闹钟]\r\n0=7时30分|一二三四五|是|起床|\r\n[计时]\r\n0=45\r\n[生日]\r\n0=外婆|农历|1940年闰6月3日0时0分|提前3天提醒\r\n' "${1:-}" |
    iconv -f UTF-8 -t CP936 >"$ini"
  cp "$ini" "$work/before.ini"
}
unchanged() { cmp -s "$ini" "$work/before.ini"; }
no_message() { driver sync && [ "$(form count '#32770')" = 0 ]; }
# The switch of the first alarm: a change that saves the alarm list.
toggle_alarm() { driver click 175 100; }
close_clock() { driver command 8003 >/dev/null; driver wait-gone 10000; }
# Starts a holder (hold-file or hold-lock) in the background and waits until it holds.
hold() {
  rm -f "$ini.release" "$ini.held"
  chime_wine "$driver_exe" "$1" "$(chime_win_path "$ini")" >/dev/null 2>&1 &
  holder=$!
  wait_until "[ -e '$ini.held' ]" 20s
}
release() { touch "$ini.release"; wait "$holder"; rm -f "$ini.held"; }

# A read-only file stays as it is; the first failed write says so once, later ones are quiet. The
# first is the clock's own note of the time it runs (LastSeen), so the user hears of it at start,
# before making a change that could not be kept.
user_file
chmod a-w "$ini"
start_clock
check "with a read-only data file the window appears and says at once the file is read-only, naming it" \
  "driver wait 30000 && box_has '只读' && box_has '闹钟数据.INI'"
form answer 1 >/dev/null
check "and leaves the file untouched" "unchanged"
toggle_alarm
check "a failed change says nothing again" "no_message && unchanged"
close_clock
chmod u+w "$ini"

# A file another program holds while the clock starts is not read, and never written in that run,
# even once it is free again: the defaults shown in its place must not replace the user's lists.
user_file
hold hold-file
start_clock
check "a data file held at start is reported by name" \
  "driver wait 30000 && box_has '无法读取数据文件' && box_has '闹钟数据.INI'"
form answer 1 >/dev/null
release
toggle_alarm
check "after it is free, a change leaves the user's lists intact" "no_message && unchanged"
close_clock

# A copy in another session that uses the same file makes this one read-only, and says so.
user_file
hold hold-lock
start_clock
check "a copy in another session is reported" "driver wait 30000 && box_has '另一个用户会话'"
form answer 1 >/dev/null
toggle_alarm
check "and this copy writes nothing" "no_message && unchanged"
close_clock
release

# A place saved far below and right of the screen is pulled back inside the work area.
user_file "$(printf 'X=5000\r\nY=5000\r\nH=400\r\n')"
start_clock
check "a place saved off the screen still shows the window" "driver wait 30000"
inside() {
  read -r wl wt wr wb <<<"$(form workarea)"
  read -r x y w h <<<"$(driver rect)"
  [ "$x" -ge "$wl" ] && [ "$y" -ge "$wt" ] && [ $((x + w)) -le "$wr" ] && [ $((y + h)) -le "$wb" ] && [ "$h" = 400 ]
}
check "whole, inside the work area, at its saved height" "inside"
close_clock

# One line of a megabyte loads in a moment (a search from the line's start for every field made it
# take minutes), and the rest of the file reads as usual.
user_file
{
  printf '[闹钟]\r\n0=7时30分|一|是|' | iconv -f UTF-8 -t CP936
  head -c 1048576 /dev/zero | tr '\0' 'a'
  printf '|\r\n[计时]\r\n0=45\r\n' | iconv -f UTF-8 -t CP936
} >"$ini"
start_clock
check "a data file with a 1 MB line opens its window" "driver wait 30000 && no_message"
driver click 80 10
check "and its other lists are read: the one timer of the file" \
  "wait_value 设置 区域 2 && settled capture long-line-timers.png && rows_shown long-line-timers.png 1 30"
close_clock

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
