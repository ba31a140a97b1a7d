#!/usr/bin/env bash
# access_e2e.sh CLOCK_EXE DRIVER_EXE FORM_DRIVER_EXE ACCESS_CHECK_EXE: 钟伴.exe under Wine, read and
# driven through oleacc from another process as a screen reader would: the children of every page,
# the alarm editor opened by a default action, a switch whose state and data file follow it, the
# alert of a reminder pop-up, and an object that outlives its window. Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
chime_wine_up 30
clock_exe=$1 driver_exe=$2 form_driver_exe=$3 access_exe=$4
work=$(mktemp -d)
trap 'wine "$driver_exe" command 8003 >/dev/null 2>&1; rm -rf "$work"' EXIT
cp "$clock_exe" "$work/钟伴.exe"
ini="$work/闹钟数据.INI"
artifacts=$work
. "$here/e2e_lib.sh"

# Runs access_check COMMAND and counts its check lines; a run that checked nothing counts as failed
# and shows what Wine said.
reader() {
  local out rc
  out=$(chime_wine --prints "$access_exe" "$@" 2>"$work/reader.err")
  rc=$?
  echo "$out"
  local ok bad
  ok=$(grep -c '^ok ' <<<"$out")
  bad=$(grep -c '^FAILED' <<<"$out")
  passed=$((passed + ok)) failed=$((failed + bad))
  if [ "$ok" = 0 ]; then
    echo "FAILED access_check $* checked nothing (exit $rc); Wine said:"
    tail -n 15 "$work/reader.err"
    failed=$((failed + 1))
  fi
}

printf '[闹钟]\r\n0=7时30分||否|起床|\r\n1=12时0分|一二三四五|是|午休|\r\n[计时]\r\n0=2\r\n[生日]\r\n0=外婆|农历|1940年闰6月3日0时0分|提前3天提醒\r\n[日程]\r\n0=交房租|公历|2024年1月5日9时0分|提前1天提醒|按月重复(忽略年月)\r\n' |
  iconv -f UTF-8 -t CP936 >"$ini"
start_clock
check "the window appears" "driver wait 30000"

reader pages
reader editor
form close 钟伴_Form7
check "the alarm editor closes" "wait_until '[ \"\$(form count 钟伴_Form7)\" = 0 ]'"
reader switch
check "the switch's default action saved the alarm on" "wait_value 闹钟 0 '7时30分||是|起床|'"
reader focus
reader alert
form close LcChimePalX
reader closed

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
