#!/usr/bin/env bash
# keyboard_e2e.sh CLOCK_EXE DRIVER_EXE FORM_DRIVER_EXE ARTIFACT_DIR: 钟伴.exe under Wine, used from the
# keyboard alone. Real key strokes go through the input queue: Tab walks the tab strip, the add
# header and the list, the arrows walk the list, Space toggles what has the focus, Enter opens the
# editor of the focused row, Ctrl+Tab changes pages. Then high contrast: the page takes the system's
# colours while it is on and its own again when it goes off. Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
chime_wine_up 30
clock_exe=$1 driver_exe=$2 form_driver_exe=$3 artifacts=$4
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'wine "$driver_exe" high-contrast off >/dev/null 2>&1; wine "$driver_exe" command 8003 >/dev/null 2>&1; rm -rf "$work"' EXIT
cp "$clock_exe" "$work/钟伴.exe"
ini="$work/闹钟数据.INI"
. "$here/e2e_lib.sh"

printf '[设置]\r\n区域=0\r\n[闹钟]\r\n0=6时30分|一二三四五|是|早起|\r\n1=7时15分|一二三四五六日|是|上班|\r\n2=22时0分||否|睡觉|\r\n' |
  iconv -f UTF-8 -t CP936 >"$ini"
start_clock
check "the window appears" "driver wait 30000"
check "no focus is shown before a key is pressed" "[ \"\$(driver focus)\" = 0 ]"

# Item codes: tab k is k + 1, the add header 9, alarm row r 10·(r + 1), its switch + 1, its days + 2 .. + 8.
walk() { driver keys "$@" | tr '\n' ' '; }
# A saved alarm moves to the top of the list.
saved_alarm() { value_is 闹钟 0 "$1" || value_is 闹钟 1 "$1"; }
has_light() { [ "$(convert "$artifacts/$1" -crop "$4x$5+$2+$3" -colorspace Gray -format '%[fx:maxima]' info:)" = 1 ]; }
check "Tab goes from the tab strip to the add header, the list and round again" \
  "[ \"\$(walk tab tab tab tab)\" = '1 9 10 1 ' ]"
check "Shift+Tab goes back" "[ \"\$(walk shift+tab shift+tab)\" = '10 9 ' ]"
check "Down enters the list and walks its rows" "[ \"\$(walk down down down down)\" = '10 20 30 30 ' ]"
check "Right walks a row: the days Monday to Sunday, then the switch" \
  "[ \"\$(walk up right right right right right right right right right)\" = '20 22 23 24 25 26 27 28 21 21 ' ]"
check "the focused row is captured" "capture keyboard-focus.png"
check "Space toggles the focused switch" "walk space >/dev/null && wait_value 闹钟 1 '7时15分|一二三四五六日|否|上班|'"
check "Space on a day cell toggles that day" \
  "walk left space >/dev/null && wait_value 闹钟 1 '7时15分|一二三四五六|否|上班|'"
check "Left goes back to the time; Enter opens the editor of that row" \
  "walk left left left left left left left enter >/dev/null; form wait 钟伴_Form7 5000 && [ \"\$(form text 钟伴_Form7 Text2 0)\" = 上班 ]"
# Saved from the editor, an alarm with week days is on again.
check "Enter in the editor presses its default button: it closes and saves the alarm" \
  "form key 钟伴_Form7 13 && form gone 钟伴_Form7 5000 && saved_alarm '7时15分|一二三四五六|是|上班|'"
form close 钟伴_Form7
check "Ctrl+Tab shows the next page, and it is remembered" "walk ctrl+tab >/dev/null && wait_value 设置 区域 1"
check "Ctrl+Shift+Tab goes back past the first page to the settings" \
  "[ \"\$(walk ctrl+shift+tab ctrl+shift+tab)\" = '1 6 ' ]"
check "on the settings page Tab reaches the switches, the buttons and the close button" \
  "[ \"\$(walk tab tab tab tab tab tab tab tab tab tab tab tab tab)\" = '11 12 13 14 15 16 17 18 19 20 21 10 6 ' ]"
check "the settings page with the focus on its tab is captured" "capture keyboard-settings.png"

# ---- High contrast (the shim's black scheme: window black, highlight 26,235,255) ----
walk ctrl+tab >/dev/null
check "high contrast goes on" "driver high-contrast on"
check "the page under high contrast is captured" "capture high-contrast.png"
check "the page's background is the window colour" "[ \"\$(pixel '$artifacts/high-contrast.png' 150 250)\" = 0,0,0 ]"
check "the band is the highlight colour" "[ \"\$(pixel '$artifacts/high-contrast.png' 3 35)\" = 26,235,255 ]"
check "text on the page is drawn in the window text colour" "has_light high-contrast.png 40 60 60 20"
check "high contrast goes off" "driver high-contrast off"
check "the page after high contrast is captured" "capture high-contrast-off.png"
check "the page is white again" "[ \"\$(pixel '$artifacts/high-contrast-off.png' 150 250)\" = 255,255,255 ]"
check "the band has the page colour again" "[ \"\$(pixel '$artifacts/high-contrast-off.png' 3 35)\" = 102,87,199 ]"

driver command 8003
check "the program ends" "driver wait-gone 10000"
echo "$passed passed, $failed failed"
