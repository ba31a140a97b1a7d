#!/usr/bin/env bash
# silent_e2e.sh STUB_EXE LCPACK IDLE_EXE DRIVER_EXE: the installer's silent mode under Wine, as an
# administrator's script runs it: /S into a folder with spaces, with a log; a program of the
# package running from the folder, without and with /CLOSEAPPS; a file held open by another program
# (DRIVER_EXE holds it); a damaged package; a bad command line. Judged by the exit code, the files, the log and the shortcut; every run must end by itself,
# as a window or a message box would keep it waiting. Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_skip_unless_runnable "$1" "$3"
chime_display
chime_wine_up 30
stub=$1 lcpack=$2 idle_exe=$3 driver_exe=$4
work=$(mktemp -d)
# The package's program, should a failed check leave it running, is ended inside this prefix.
trap 'chime_wine taskkill /f /im 空闲.exe >/dev/null 2>&1; rm -rf "$work"' EXIT
ini=/dev/null
. "$here/e2e_lib.sh"

drive_c="$WINEPREFIX/drive_c"
desktop=$(find "$drive_c/users" -maxdepth 2 -name Desktop -type d | head -n 1)
mkdir -p "$work/app/文档"
cp "$idle_exe" "$work/app/空闲.exe"
echo 说明内容 >"$work/app/文档/说明.txt"
head -c 300000 /dev/urandom >"$work/app/文档/图片.bin"  # stored as it is: LZMA cannot shrink it
installer="$work/空闲_安装.exe"
"$lcpack" create --stub "$stub" --name 空闲测试 --program 空闲.exe --version 2.1 --date 2026-12-08 \
  --description 静默测试 "$work/app" "$installer" >/dev/null
entries=$("$lcpack" list "$installer" | grep -c -E '^(DIR|FILE)')

# Runs the installer with the arguments given (Wine joins them with spaces into the command line it
# hands over) and keeps its exit code in $code; a run that does not end by itself in 60 s is killed
# and counts as code "hung".
run() {
  code=$(cd "$work" && timeout 60 "$here/wine_run.sh" "./$(basename "$installer")" "$@" </dev/null >/dev/null 2>&1; echo $?)
  [ "$code" = 124 ] && code=hung
  return 0
}
log="$drive_c/静默.log"
log_lines() { tail -c +4 "$log" | tr -d '\r'; }
has_bom() { [ "$(head -c 3 "$log" | od -An -tx1 | tr -d ' ')" = efbbbf ]; }
target="$drive_c/Program Files/空闲 测试"
rm -rf "$target" "$log" "$desktop/空闲测试.lnk"

# ---- A silent install into a folder with spaces, the folder given without quotes ----
run /S '/LOG=C:\静默.log' '/D=C:\Program' 'Files\空闲' 测试
check "/S with /D= ends by itself with 0" "[ '$code' = 0 ]"
check "every file is in the folder with spaces" \
  "cmp -s '$target/空闲.exe' '$idle_exe' && [ \"\$(cat '$target/文档/说明.txt')\" = 说明内容 ] &&
   cmp -s '$target/文档/图片.bin' '$work/app/文档/图片.bin'"
check "the desktop shortcut is made and nothing is started" \
  "[ -f '$desktop/空闲测试.lnk' ] && ! pgrep -f '空闲.exe' >/dev/null"
check "the log is UTF-8 with a byte-order mark" has_bom
check "it holds the start, the folder and the package's values" \
  "log_lines | grep -qE '^开始时间：[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}$' &&
   log_lines | grep -qxF '目标文件夹：C:\\Program Files\\空闲 测试\\' &&
   log_lines | grep -qx '名称：空闲测试' && log_lines | grep -qx '版本号：2.1' && log_lines | grep -qx '说明：静默测试'"
check "one line for each of the $entries entries, each written" \
  "[ \"\$(log_lines | grep -cE '^文件(夹)? .*：已写入$')\" = $entries ] && log_lines | grep -qx '文件 空闲.exe：已写入'"
check "and ends with the end time and the result" \
  "log_lines | tail -n 2 | head -n 1 | grep -q '^结束时间：' && [ \"\$(log_lines | tail -n 1)\" = '结果：0（安装完成）' ]"

# ---- The package's program running from the folder ----
echo changed >"$target/文档/说明.txt"
chime_start "$target" ./空闲.exe
check "the installed program runs from the folder" "wait_until \"pgrep -f '空闲.exe' >/dev/null\" 200"
run -s '-log=C:\静默.log' '-d=C:\Program' 'Files\空闲' 测试
check "without /CLOSEAPPS: 4, the program runs on and no file is touched" \
  "[ '$code' = 4 ] && pgrep -f '空闲.exe' >/dev/null && [ \"\$(cat '$target/文档/说明.txt')\" = changed ] &&
   log_lines | grep -q '^运行中的程序：.*空闲.exe$' && [ \"\$(log_lines | tail -n 1)\" = '结果：4（目标文件夹中有程序在运行）' ] &&
   ! log_lines | grep -q '：已写入'"
run /S /CLOSEAPPS '/LOG=C:\静默.log' '/D=C:\Program' 'Files\空闲' 测试
check "with /CLOSEAPPS: the program is ended and the install ends with 0" \
  "[ '$code' = 0 ] && wait_until \"! pgrep -f '空闲.exe' >/dev/null\" 100 &&
   [ \"\$(cat '$target/文档/说明.txt')\" = 说明内容 ] && [ \"\$(log_lines | tail -n 1)\" = '结果：0（安装完成）' ]"

# ---- A file another program holds open: skipped, counted and named ----
held="$target/文档/说明.txt"
echo changed >"$held"
rm -f "$held.held" "$held.release"
chime_start "$work" "$driver_exe" hold-file "$(chime_win_path "$held")"
wait_until "[ -f '$held.held' ]"
run /S '/LOG=C:\静默.log' '/D=C:\Program' 'Files\空闲' 测试
touch "$held.release"
check "a file held open: 3, the file kept as it was, the log names it and the result" \
  "[ '$code' = 3 ] && [ \"\$(cat '$held')\" = changed ] && log_lines | grep -q '^文件 文档.说明.txt：失败（' &&
   [ \"\$(log_lines | tail -n 1)\" = '结果：3（有文件没有装好）' ] && cmp -s '$target/空闲.exe' '$idle_exe'"
wait_until "! pgrep -f hold-file >/dev/null" 100  # the holder lets go and ends

# ---- A damaged download: its last block cut short ----
cp "$installer" "$work/完整.exe"
head -c $(($(stat -c %s "$installer") - 200)) "$work/完整.exe" >"$installer"
rm -rf "$drive_c/损坏"
run /S '/LOG=C:\静默.log' '/D=C:\损坏'
check "a damaged package: 2, no window, nothing written" \
  "[ '$code' = 2 ] && [ ! -e '$drive_c/损坏' ] && log_lines | grep -q '^安装包无法使用：' &&
   [ \"\$(log_lines | tail -n 1)\" = '结果：2（安装包已损坏或没有安装数据）' ]"
mv -f "$work/完整.exe" "$installer"

# ---- A command line it does not understand ----
rm -f "$log"
run /S /QUIET '/LOG=C:\静默.log'
check "an unknown option with /S: 87, no window, no log" "[ '$code' = 87 ] && [ ! -e '$log' ]"
run '/D=C:\Program' 'Files\空闲' /S
check "/D= not last with /S: 87, no window" "[ '$code' = 87 ]"
run /S '/LOG=C:\没有这个文件夹\静默.log'
check "a log that cannot be created: 5" "[ '$code' = 5 ]"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
