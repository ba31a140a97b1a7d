#!/usr/bin/env bash
# setup_e2e.sh STUB_EXE CLOCK_EXE SOUNDS_DIR LCPACK FORM_DRIVER CLOCK_DRIVER ARTIFACT_DIR PLANTED_DLL: the
# installer (the shipped 32-bit build, or the 64-bit test build) under Wine with the clock's own
# package and a decompress-only one, driven through its buttons and message boxes as a user would,
# judged by the files it writes, the shortcut, the started program and its pages' pictures. Ends
# with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/wine_env.sh"
chime_skip_unless_runnable "$1" "$5" "$6"
chime_display
chime_wine_up 30
stub=$1 clock_exe=$2 sounds=$3 lcpack=$4 form_driver_exe=$5 driver_exe=$6 artifacts=$7 planted_dll=$8
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -f "$WINEPREFIX/dosdevices/d:"; wine "$form_driver_exe" close 澜川软件安装_Form1 >/dev/null 2>&1; wine "$driver_exe" command 8003 >/dev/null 2>&1; rm -rf "$work"' EXIT
ini=/dev/null
. "$here/e2e_lib.sh"

wizard=澜川软件安装_Form1
installer="$work/钟伴_安装.exe"
check "the clock's installer is made" \
  "bash '$root/scripts/make_clock_installer' '$stub' '$clock_exe' '$sounds' '$lcpack' '$installer' >/dev/null && [ -s '$installer' ]"
drive_c="$WINEPREFIX/drive_c"
desktop=$(find "$drive_c/users" -maxdepth 2 -name Desktop -type d | head -n 1)
# The wizard shows Next when it starts reading its package; a press posted after that is handled
# once the package has been read.
wizard_ready() { form wait $wizard 20000 && wait_until "[ \"\$(form visible $wizard '#111' 0)\" = 1 ]"; }
start_installer() { chime_start "$work" "./$(basename "$1")"; wizard_ready; }
press() { form click $wizard "#$1" 0; }  # 111 Next, 109 Previous, 110 Cancel, 105 Browse
folder_box() { form text $wizard '#106' 0; }
folder_is() { [ "$(folder_box)" = "$1" ]; }
button_text() { form text $wizard '#111' 0; }
shoot() { form capture $wizard "$(chime_win_path "$artifacts/$1")" && [ -s "$artifacts/$1" ]; }
# After what was pressed, the page as it stays.
shot() { form sync $wizard && settled shoot "$1"; }
wait_text() { wait_until "[ \"\$(button_text)\" = $(printf %q "$1") ]"; }

# Starts the installer with its exit code kept in $work/exit, to tell the end it came to (1 for
# cancelled) from a crash.
start_recorded() {
  rm -f "$work/exit"
  (cd "$work" && "$here/wine_run.sh" "./$(basename "$1")"; echo $? >"$work/exit") </dev/null >/dev/null 2>&1 &
  wizard_ready
}
ended_with() { form gone $wizard 10000 && wait_until "[ -s '$work/exit' ]" 200 && [ "$(cat "$work/exit")" = "$1" ]; }
# Copies installer SRC to DST with the last block's LZMA stream spoiled past the bytes the installer
# checks before it writes: the block's header, length and the stream's first byte (0) stay sound,
# and the four bytes after it become FF, which makes the first symbol a match with nothing before
# it, so the decoder refuses the stream while the files are written. Blocks follow the marker and
# "lczip", each after its u32 length.
damage_last_block() {
  cp "$1" "$2"
  local size at len last=0 header
  size=$(stat -c %s "$2")
  at=$(LC_ALL=C grep -obUaP '\xC0\xBD\xB4\xA8\xC8\xED\xBC\xFE\xB0\xB2\xD7\xB0\xB0\xFC\xCE\xC4\xBC\xFE\xD0\xC5\xCF\xA2' "$2" | head -n 1 | cut -d: -f1)
  at=$((at + 22 + 5))
  while [ $((at + 4)) -le "$size" ]; do
    len=$(od -An -tu4 -j"$at" -N4 "$2" | tr -d ' ')
    [ $((at + 4 + len)) -le "$size" ] || break
    last=$((at + 4)) at=$((at + 4 + len))
  done
  header=$(($(od -An -tu1 -j"$last" -N1 "$2" | tr -d ' ') & 3))
  printf '\377\377\377\377' | dd of="$2" bs=1 seek=$((last + header + 1 + 5 + 1)) conv=notrunc status=none
}

# ---- A package-less program: the missing data is reported, Retry asks again, Cancel ends it ----
# Named for this run: the process check below must not see another run's copy.
bare="无数据$$.exe"
cp "$stub" "$work/$bare"
chime_start "$work" "./$bare"
check "a program without a package says so" \
  "box_has '文件没有带安装数据！！！'"
form answer 4
# The answer returns once its box has closed: the box found next is a new one.
check "Retry looks again and says it again" "box_has '$bare'"
form answer 2
process_gone() { wait_until "! pgrep -f $(printf %q "$1") >/dev/null" 200; }
check "Cancel ends it" "form gone $wizard 15000 && process_gone '$bare'"

# ---- Libraries planted beside the installer, as a Downloads folder may hold them, are never
# loaded: those it names that are not known DLLs, and those the system itself loads into programs ----
mkdir -p "$work/downloads"
cp "$installer" "$work/downloads/"
mapfile -t planted < <(dlls_to_plant "$stub" version.dll uxtheme.dll dwmapi.dll cryptbase.dll)
WINEDLLOVERRIDES="$(plant "$planted_dll" "$work/downloads" "${planted[@]}")" \
  chime_start "$work/downloads" "./$(basename "$installer")"
check "with libraries planted beside it (${planted[*]}), the installer shows its first page" \
  "wizard_ready && shot planted-welcome.png"
check "and has loaded none of them" "[ ! -e '$work/downloads/planted.log' ]"
form close $wizard
check "closed on its first page, it ends" "form gone $wizard 15000"

# ---- Packages whose own names climb out of the target: refused as damaged, nothing written ----
mkdir -p "$work/one"
echo 内容 >"$work/one/x.exe"
refused_unwritten() {  # NAME PROGRAM
  rm -rf "$drive_c/澜川软件" "$drive_c/AppData" "$work/恶意.exe"
  "$lcpack" create --stub "$stub" --name "$1" --program "$2" --version 1 --date 2026-12-08 --description 说明 \
    "$work/one" "$work/恶意.exe" >/dev/null
  touch "$work/before"
  chime_start "$work" ./恶意.exe
  check "名称 '$1' with 文件名 '$2' is refused as damaged" "box_is '澜川软件安装#安装包已损坏，请重新下载#'"
  form answer 1
  check "and the installer ends, having written nothing" \
    "form gone $wizard 15000 && [ ! -e '$drive_c/AppData' ] && [ -z \"\$(find '$drive_c/澜川软件' -mindepth 1)\" ] &&
     [ -z \"\$(find '$drive_c/users' -newer '$work/before' \( -name '*.lnk' -o -name 'x.exe' \))\" ]"
}
refused_unwritten '..\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Startup\x' x.exe
refused_unwritten 钟伴 '..\..\users\x.exe'
rm -f "$work/恶意.exe"

# ---- With a D: drive: the default folder lies on it; the folder dialog ----
mkdir -p "$work/drive_d"
ln -sfn "$work/drive_d" "$WINEPREFIX/dosdevices/d:"
start_installer "$installer"
press 111
check "with a D: drive the default folder is D:\\澜川软件, made at once" \
  "wait_until \"folder_is 'D:\澜川软件\钟伴'\" && [ -d '$work/drive_d/澜川软件' ]"
press 105
browse_states=$(form browse-states 10000 | tr -d '\n')
# The tree's root and its children: the desktop and the user's folders lie on a drive, the
# computer (the drives' parent) does not.
check "the folder dialog allows OK on folders of a drive and not elsewhere" \
  "case '$browse_states' in *1*0*|*0*1*) true ;; *) false ;; esac"
form answer 2
check "Cancel in the dialog leaves the folder as it was" "form sync $wizard && folder_is 'D:\澜川软件\钟伴'"
form close $wizard
form gone $wizard 15000
rm -f "$WINEPREFIX/dosdevices/d:"

# ---- Another language: the folder has the name in Latin letters, on the home drive ----
# The C locale (present on every machine, unlike en_US) reads as US English to Windows programs.
LANG=C.UTF-8 LC_ALL=C.UTF-8 chime_start "$work" "./$(basename "$installer")"
wizard_ready
press 111
check "in another language the default folder is C:\\LanChuan" "wait_until \"folder_is 'C:\LanChuan\钟伴'\""
form close $wizard
form gone $wizard 15000

# ---- Without a D: drive: the welcome page and the folder checks ----
rm -rf "$drive_c/澜川软件"
start_installer "$installer"
check "the wizard opens" "form wait $wizard 1000"
check "the welcome page is captured" "shot welcome.png"
# The package's name is drawn in blue in the yellow panel.
check "it shows the package's name" "[ \"\$(convert '$artifacts/welcome.png' -crop 100x40+230+60 -fx 'b>0.8&&r<0.4&&g<0.4' -format '%[fx:maxima]' info:)\" = 1 ]"
# The line below it, "版本：… 发布日期：…", is blue too.
check "and its version and date" "[ \"\$(convert '$artifacts/welcome.png' -crop 220x14+130+97 -fx 'b>0.6&&r<0.5&&g<0.5' -format '%[fx:maxima]' info:)\" = 1 ]"
press 111
check "Next shows the folder page with the default folder and the package's name" \
  "wait_until \"folder_is 'C:\\澜川软件\\钟伴'\" && [ -d '$drive_c/澜川软件' ]"
check "the folder page is captured" "shot folder.png"
form set $wizard '#106' 0 'D:'
press 111
check "a drive alone must be a folder" \
  "box_is '澜川软件安装#必须安装在文件夹中！！！ /  / 已经你增加了文件夹，请查看 /  /    　　－－－－感谢你使用【澜川软件】#'"
form answer 1
check "and the default folder comes back" "wait_until \"folder_is 'C:\\澜川软件\\钟伴'\""
for typed in abc '\\server\share\folder'; do
  form set $wizard '#106' 0 "$typed"
  press 111
  check "'$typed' is refused" "box_is '澜川软件安装#目标文件夹路径错误！！！ /  / 请检查输入完整的目标文件夹 /  / 　　　－－－－感谢你使用【澜川软件】#'"
  form answer 1
done
check "and nothing was installed" "[ ! -e '$drive_c/澜川软件/钟伴' ]"

# ---- Installing: spaces trimmed, "\" added, files with their times ----
target="$drive_c/测试安装/钟伴"
rm -rf "$drive_c/测试安装"
form set $wizard '#106' 0 '  C:\测试安装\钟伴  '
started=$(date +%s%N)
press 111
check "extraction ends on the finish page" "wait_text 完成"
echo "figure: from Next to the finish page $(( ($(date +%s%N) - started) / 1000000 )) ms (polled, 50 ms between looks)"
check "the folder was trimmed and given its \\" "[ \"\$(folder_box)\" = 'C:\\测试安装\\钟伴\\' ]"
check "the finish page is captured" "shot finish.png"
entries=$("$lcpack" list "$installer" | grep -c -E '^(DIR|FILE)')
check "the progress bar ran through all $entries entries" \
  "[ \"\$(form progress $wizard '#108' 0)\" = '$((entries - 1)) $((entries - 1))' ]"
same_files() {
  local f
  for f in 钟伴.exe 闹钟声.wav 计时声.wav 生日声.wav 日程声.wav; do
    [ -f "$target/$f" ] || return 1
  done
  cmp -s "$target/钟伴.exe" "$clock_exe" && cmp -s "$target/闹钟声.wav" "$sounds/闹钟声.wav" &&
    [ "$(stat -c %Y "$target/钟伴.exe")" = "$(stat -c %Y "$clock_exe")" ] &&
    [ "$(stat -c %Y "$target/闹钟声.wav")" = "$(stat -c %Y "$sounds/闹钟声.wav")" ]
}
check "every file has its content and time" same_files
check "and no data file is carried" "[ ! -e '$target/闹钟数据.INI' ]"
echo changed >"$target/日程声.wav"
press 109
check "Previous shows the extraction page again with Next" "wait_text '下一步(&H)'"
press 111
check "Next returns to the finish page without unpacking again" \
  "wait_text 完成 && [ \"\$(cat '$target/日程声.wav')\" = changed ]"
press 111
check "the installed clock is started" "driver wait 30000"
check "the desktop shortcut exists" "[ -f '$desktop/钟伴.lnk' ]"
check "and points at the installed program, started in its folder" \
  "[ \"\$(form link '$(chime_win_path "$desktop/钟伴.lnk")' | tr '\n' '#')\" = 'C:\测试安装\钟伴\钟伴.exe#C:\测试安装\钟伴\#' ]"
check "the wizard has closed" "form gone $wizard 15000"

# ---- Again, while the clock runs from the folder: warned, ended, then asked about overwriting ----
start_installer "$installer"
press 111
form set $wizard '#106' 0 'C:\测试安装\钟伴'
press 111
check "the running clock is named" "box_has '^请退出【应用或游戏】#.*测试安装.*钟伴.exe'"
form answer 1
check "and ended" "driver wait-gone 10000"
check "then the overwrite question is asked" "box_is '澜川软件安装#安装的文件已经存在，是要覆盖安装吗？#'"
form answer 7
check "No ends the installer without writing a file" "form gone $wizard 10000 && [ \"\$(cat '$target/日程声.wav')\" = changed ]"

# ---- The running-program question: Cancel ends nothing; a close during the wait is safe ----
chime_start "$target" ./钟伴.exe
driver wait 30000
on_folder_page() { [ "$(form visible $wizard '#106' 0)" = 1 ] && [ "$(button_text)" = '下一步(&H)' ]; }
start_recorded "$installer"
press 111
form set $wizard '#106' 0 'C:\测试安装\钟伴'
press 111
check "the question names the running clock" "box_has '测试安装.*钟伴.exe'"
form answer 2
check "Cancel ends nothing and returns to the folder page" \
  "form sync $wizard && wait_until on_folder_page && driver wait 1000"
press 111
form msgbox 10000 >/dev/null
form answer 1
# The clock is ended; the installer then waits for it to let go of its files.
driver wait-gone 10000
form close $wizard
check "closing during the wait ends the installer as cancelled (1), writing nothing" \
  "ended_with 1 && [ \"\$(cat '$target/日程声.wav')\" = changed ]"

# ---- A file held open: Retry after it is let go replaces it; Continue skips it and says so ----
held="$target/日程声.wav"
hold() { rm -f "$held.held" "$held.release"; chime_start "$work" "$driver_exe" hold-file "$(chime_win_path "$held")"; wait_until "[ -f '$held.held' ]"; }
reinstall() {
  start_installer "$1"
  press 111
  form set $wizard '#106' 0 'C:\测试安装\钟伴'
  press 111
  form msgbox 20000 >/dev/null  # the overwrite question
  form answer 6
}
hold
reinstall "$installer"
check "a held file is named with Retry, Continue and Cancel" \
  "box_has '日程声.wav.*正被其他程序使用.*【重试】.*【继续】.*【取消】'"
touch "$held.release"
wait_until "! pgrep -f 'hold-file.*$(basename "$work")' >/dev/null"
form answer 10
check "Retry after it was let go replaces it and finishes" \
  "wait_text 完成 && cmp -s '$held' '$sounds/日程声.wav'"
form close $wizard
form gone $wizard 15000
echo changed >"$held"
hold
reinstall "$installer"
form msgbox 20000 >/dev/null
form answer 11
check "Continue skips it and the report names it, with what to do" \
  "box_is '澜川软件安装#安装没有完成！！！ /  / 以下文件没有装好： /     日程声.wav（正被其他程序使用） / 共 1 个文件没有装好。 /  / 请这样处理后再安装一次： / ・关闭正在使用这些文件的程序 / #'"
form answer 1
check "then the folder page is back, the held file as it was" \
  "wait_until on_folder_page && [ \"\$(cat '$held')\" = changed ]"
touch "$held.release"
form close $wizard
form gone $wizard 15000

# ---- A download damaged in its last block ----
damaged="$work/损坏_安装.exe"
damage_last_block "$installer" "$damaged"
last=$("$lcpack" list "$installer" | grep '^FILE' | tail -n 1 | cut -f4)
rm -f "$desktop/钟伴.lnk"
rm -rf "$drive_c/损坏安装"
start_installer "$damaged"
press 111
form set $wizard '#106' 0 'C:\损坏安装\钟伴'
press 111
check "a fresh install names the damaged file and asks for a new download" \
  "box_has \"安装没有完成.*$last（安装包中的数据已损坏）.*重新下载\" 30"
form answer 1
check "and returns to the folder page, the file left empty, with no shortcut" \
  "wait_until on_folder_page && [ -f '$drive_c/损坏安装/钟伴/$last' ] && [ ! -s '$drive_c/损坏安装/钟伴/$last' ] &&
   [ ! -e '$desktop/钟伴.lnk' ] && shot damaged.png"
form close $wizard
form gone $wizard 15000
echo old >"$target/$last"
echo read-only >"$target/计时声.wav"
chmod a-w "$target/计时声.wav"
reinstall "$damaged"
check "a reinstall names the damaged file and the read-only one" \
  "box_has '计时声.wav（无法写入）.*$last（安装包中的数据已损坏）' 30"
form answer 1
check "and keeps the files that were there" \
  "wait_until on_folder_page && [ \"\$(cat '$target/$last')\" = old ] && [ \"\$(cat '$target/计时声.wav')\" = read-only ]"
chmod u+w "$target/计时声.wav"
form close $wizard
form gone $wizard 15000

# ---- A decompress-only package: no folder page, no check boxes ----
mkdir -p "$work/data/子目录"
echo 内容 >"$work/data/说明.txt"
echo 更深 >"$work/data/子目录/a.txt"
bash -c "'$lcpack' create --stub '$stub' --name 资料包 --program 解压缩 --version 1 --date 2026-12-08 --description 解压测试 '$work/data' '$work/资料包.exe'" >/dev/null
rm -rf "$drive_c/澜川软件/解压测试"
start_installer "$work/资料包.exe"
press 111
check "Next unpacks at once into the default folder + 说明" \
  "wait_text 完成 && [ \"\$(cat '$drive_c/澜川软件/解压测试/子目录/a.txt')\" = 更深 ]"
check "without check boxes" "[ \"\$(form visible $wizard '#104' 0)\$(form visible $wizard '#103' 0)\" = 00 ] && shot unpacked.png"
press 111
check "and Next closes it" "form gone $wizard 15000"

# ---- A download of 1.5 GB: read a window at a time, as a 32-bit program must ----
# The bytes between the program and its package are a hole in the file: they cost no disk.
big="$work/大资料包.exe"
stub_size=$(stat -c %s "$stub")
head -c "$stub_size" "$work/资料包.exe" >"$big"
truncate -s +1536M "$big"
tail -c +"$((stub_size + 1))" "$work/资料包.exe" >>"$big"
rm -rf "$drive_c/澜川软件/解压测试"
start_installer "$big"
press 111
check "an installer of 1.5 GB installs its package" \
  "wait_text 完成 && [ \"\$(cat '$drive_c/澜川软件/解压测试/子目录/a.txt')\" = 更深 ]"
press 111
form gone $wizard 15000
rm -f "$big"

# ---- The wizard with /D= and /LOG=: the folder given is offered, the install logged ----
wizard_log="$drive_c/向导.log"
rm -rf "$drive_c/自选 目录" "$wizard_log"
rm -f "$work/exit"
(cd "$work" && "$here/wine_run.sh" "./$(basename "$installer")" '/LOG=C:\向导.log' '/D=C:\自选' '目录\钟伴'
 echo $? >"$work/exit") </dev/null >/dev/null 2>&1 &
wizard_ready
press 111
check "/D= puts its folder, spaces and all, in the folder box" "wait_until \"folder_is 'C:\自选 目录\钟伴\'\""
press 111
check "Next installs there" "wait_text 完成 && cmp -s '$drive_c/自选 目录/钟伴/钟伴.exe' '$clock_exe'"
form close $wizard
log_lines() { tail -c +4 "$wizard_log" | tr -d '\r'; }
check "closed on the finish page, it ends with 0 and /LOG= holds the folder, each file and the result" \
  "ended_with 0 && [ \"\$(head -c 3 '$wizard_log' | od -An -tx1 | tr -d ' ')\" = efbbbf ] &&
   log_lines | grep -qxF '目标文件夹：C:\自选 目录\钟伴\' && log_lines | grep -qx '文件 钟伴.exe：已写入' &&
   [ \"\$(log_lines | tail -n 1)\" = '结果：0（安装完成）' ]"
rm -rf "$drive_c/自选 目录"

# ---- A package of a thousand files: closing while they are written is refused ----
mkdir -p "$work/many"
for d in $(seq 20); do
  mkdir -p "$work/many/d$d"
  for f in $(seq 50); do echo "$d $f" >"$work/many/d$d/f$f.txt"; done
done
"$lcpack" create --stub "$stub" --name 大包 --program 解压缩 --version 1 --date 2026-12-08 --description 大包测试 \
  "$work/many" "$work/大包.exe" >/dev/null
rm -rf "$drive_c/澜川软件/大包测试"
start_installer "$work/大包.exe"
press 111
# The progress bar shows as the files start to be written.
wait_until "[ \"\$(form visible $wizard '#108' 0)\" = 1 ]"
form close $wizard
check "closing while the files are written asks whether to stop" \
  "box_is '澜川软件安装#停止安装？ /  / 已经写入的文件会留在目标文件夹中。#'"
form answer 7
check "No lets the extraction go on to its end" \
  "wait_until '[ \"\$(button_text)\" = 完成 ]' 300 &&
   [ \"\$(find '$drive_c/澜川软件/大包测试' -type f | wc -l)\" = 1000 ] && [ \"\$(form progress $wizard '#108' 0)\" = '1019 1019' ]"
form close $wizard
check "then it closes" "form gone $wizard 15000"
rm -rf "$drive_c/澜川软件/大包测试"
start_recorded "$work/大包.exe"
press 111
wait_until "[ \"\$(form visible $wizard '#108' 0)\" = 1 ]"
form close $wizard
form msgbox 10000 >/dev/null
form answer 6
box_has '已写入 [0-9]* 个文件' 30
report=$(form msgbox 2000 | tr '\n' '#')
written=$(printf '%s' "$report" | sed -n 's/.*已写入 \([0-9]*\) 个文件.*/\1/p')
echo "       the report: $report"
check "Yes stops after the file in hand and reports how many files were written" \
  "[ -n '$written' ] && [ '$written' -lt 1000 ] && [ \"\$(find '$drive_c/澜川软件/大包测试' -type f | wc -l)\" = '$written' ]"
form answer 1
check "then the installer ends as cancelled (1)" "ended_with 1"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
