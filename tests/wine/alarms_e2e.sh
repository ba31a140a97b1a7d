#!/usr/bin/env bash
# alarms_e2e.sh CLOCK_EXE DRIVER_EXE FORM_DRIVER_EXE ARTIFACT_DIR SOUNDS_DIR: 钟伴.exe under Wine
# with alarms that cannot simply ring: one that fell while the program was not running (told in
# the "错过的闹钟" pop-up at start, its one-shot saved off), the option that wakes the computer for
# the next alarm (its switch writes slot 7, the wake timer follows the next ring), and 稍后提醒
# (the pop-up comes back after the chosen minute, not before). Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
chime_wine_up 30
clock_exe=$1 driver_exe=$2 form_driver_exe=$3 artifacts=$4 sounds=$5
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'wine "$driver_exe" command 8003 >/dev/null 2>&1; rm -rf "$work"' EXIT
cp "$clock_exe" "$work/钟伴.exe"
cp "$sounds"/*.wav "$work/"
ini="$work/闹钟数据.INI"
. "$here/e2e_lib.sh"

# "H时M分" of an epoch second; the program's own moments are local seconds since 1899-12-30.
alarm_time() { echo "$((10#$(date -d "@$1" +%H)))时$((10#$(date -d "@$1" +%M)))分"; }
local_moment() { echo $(($(date -u -d "$(date -d "@$1" '+%Y-%m-%d %H:%M:%S')" +%s) + 2209161600)); }

now=$(date +%s)
last_seen=$(date -d "@$((now - 600))" '+%Y-%m-%d %H:%M:%S')
missed=$((now - 300))
# The snooze alarm rings in the next minute, or the one after when the next is too close.
ring=$((now / 60 * 60 + 60))
[ $((ring - now)) -lt 15 ] && ring=$((ring + 60))
daily=$((now + 12 * 3600))
printf '[设置]\r\nLastSeen=%s\r\n[闹钟]\r\n0=%s||是|错过了|关机\r\n1=%s||是|小睡|\r\n2=%s|一二三四五六日|是|每天|\r\n' \
  "$last_seen" "$(alarm_time $missed)" "$(alarm_time $ring)" "$(alarm_time $daily)" | iconv -f UTF-8 -t CP936 >"$ini"
start_clock
check "the window appears" "driver wait 30000"

popups() { form count LcChimePalX; }
check "the alarm that fell while the program was not running is told at start, named in the pop-up's title" \
  "wait_until '[[ \"\$(form title LcChimePalX)\" == 错过的闹钟：*错过了* ]]'"
check "the missed pop-up is captured" \
  "form capture LcChimePalX '$(chime_win_path "$artifacts/popup-missed.png")' && [ -s '$artifacts/popup-missed.png' ]"
check "its one-shot is saved off" "wait_value 闹钟 0 '$(alarm_time $missed)||否|错过了|关机'"
check "its action does not run: no count-down" "! form wait 钟伴_Form重启关机 1000"
check "LastSeen is written anew" "wait_not_value 设置 LastSeen '$last_seen'"
form close LcChimePalX
check "the missed pop-up closes" "wait_until '[ \"\$(popups)\" = 0 ]' 200"

# ---- Waking the computer ----
driver click 176 10
check "no wake timer while the option is off" "driver sync && [ \"\$(driver wake)\" = 0 ]"
driver click 170 215
check "switch 7 writes the option on" "wait_value 设置 7 '1|睡眠时唤醒电脑响闹钟'"
check "the wake timer is armed for the next alarm" "wait_until '[ \"\$(driver wake)\" = $(local_moment $ring) ]'"
check "without a word to the user" "! form msgbox 1000 >/dev/null"

# ---- 稍后提醒 ----
check "the alarm rings" "wait_until '[ \"\$(popups)\" -ge 1 ]' $((ring - $(date +%s) + 20))s"
next_daily=$(local_moment $((daily / 60 * 60)))
check "the wake timer moves on to the next alarm after the ring" "wait_until '[ \"\$(driver wake)\" = $next_daily ]'"
check "the alarm pop-up is captured" \
  "form capture LcChimePalX '$(chime_win_path "$artifacts/popup-snooze.png")' && [ -s '$artifacts/popup-snooze.png' ]"
form select LcChimePalX Combo1 0 0
check "choosing 1 minute is remembered as 稍后=1" "wait_value 设置 稍后 1"
form click LcChimePalX Command2 0
check "稍后提醒 closes the pop-up" "wait_until '[ \"\$(popups)\" = 0 ]' 200"
snoozed=$(date +%s)
sleep $((snoozed + 50 - $(date +%s)))
check "it is not back before the minute is over" "[ \"\$(popups)\" = 0 ]"
check "it is back after a minute" "wait_until '[ \"\$(popups)\" = 1 ]' 25s"
check "the snoozed pop-up is captured" \
  "form capture LcChimePalX '$(chime_win_path "$artifacts/popup-snoozed.png")' && [ -s '$artifacts/popup-snoozed.png' ]"
form close LcChimePalX
wait_until "[ \"\$(popups)\" = 0 ]" 200

driver click 170 215
check "switch 7 again cancels the wake timer" "wait_value 设置 7 '0|睡眠时唤醒电脑响闹钟' && wait_until '[ \"\$(driver wake)\" = 0 ]'"

# Suspend keeps the moment, so what rings while the computer is off is told at the next start.
recent() { [ $(($(date +%s) - $(date -d "$(ini_value 设置 LastSeen)" +%s))) -le 2 ]; }
before=$(ini_value 设置 LastSeen)
check "suspend writes LastSeen" "driver power 4 && wait_not_value 设置 LastSeen '$before' && recent"

driver command 8003
check "the program ends" "driver wait-gone 10000"
echo "$passed passed, $failed failed"
