#!/usr/bin/env bash
# dpi_e2e.sh CLOCK_EXE DRIVER_EXE ARTIFACT_DIR: 钟伴.exe started at 96 dpi and moved to a monitor of
# 144 (WM_DPICHANGED, sent from inside the program as the system sends it) must look exactly as when
# started at 144: the same window size and the same picture. The session's scale is set back to 96
# at the end. Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
clock_exe=$1 driver_exe=$2 artifacts=$3
mkdir -p "$artifacts"
work=$(mktemp -d)
cp "$clock_exe" "$work/钟伴.exe"
ini="$work/闹钟数据.INI"
. "$here/e2e_lib.sh"

# The screen scale of the session: read by Wine's server at its start only.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  wineserver -w
  chime_wine_up 30
}
session_dpi() { wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' | awk '/LogPixels/ {print $3}'; }
trap 'driver command 8003 >/dev/null; [ "$(session_dpi)" = 0x60 ] || set_dpi 96; rm -rf "$work"' EXIT

# The timer page: nothing on it changes with the time of day, so two starts draw the same picture.
printf '[设置]\r\n区域=2\r\n' | iconv -f UTF-8 -t CP936 >"$ini"
run_clock() {
  start_clock
  driver wait 30000 && driver sync
}
close_clock() { driver command 8003 >/dev/null && driver wait-gone 20000; }
size_of() { driver rect | awk '{print $3 "x" $4}'; }

chime_wine_up 30
[ "$(session_dpi)" = 0x60 ] || set_dpi 96
check "the clock starts at 96 dpi" "run_clock"
size96=$(size_of)
check "the window is 193 x 300 there" "[ '$size96' = 193x300 ]"
# At the top-left corner, so that the window grown for 144 dpi stays on the screen the capture copies.
check "moved to the top-left corner" "driver move 0 0 && driver sync"
check "WM_DPICHANGED to 144 is handled" "driver dpi-change 144 96"
moved=$(size_of)
check "the window takes the suggested 290 x 450" "[ '$moved' = 290x450 ]"
check "it is drawn at 144" "settled capture moved-to-144.png"
check "the clock closes" "close_clock"

set_dpi 144
check "the session runs at 144 dpi" "[ \"\$(session_dpi)\" = 0x90 ]"
check "the clock starts at 144 dpi" "run_clock"
check "at the size it took when moved" "[ \"\$(size_of)\" = '$moved' ]"
check "it is drawn" "settled capture started-at-144.png"
# Both are drawn by the same code at the same scale into a window of the same size: every pixel must
# match. A count, not a fuzz, so that any shifted text or box shows.
differing=$(compare -metric AE "$artifacts/moved-to-144.png" "$artifacts/started-at-144.png" \
  "$artifacts/dpi-difference.png" 2>&1 >/dev/null)
echo "pixels that differ: $differing"
check "the two pictures are the same, pixel for pixel" "[ '$differing' = 0 ]"
check "the clock closes" "close_clock"
set_dpi 96
check "the session is back at 96 dpi" "[ \"\$(session_dpi)\" = 0x60 ]"
echo "$passed passed, $failed failed"
