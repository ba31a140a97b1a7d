#!/usr/bin/env bash
# clock_e2e.sh CLOCK_EXE DRIVER_EXE ARTIFACT_DIR AIDPORT_DLL AIDPORT_V2_DLL PLANTED_DLL: 钟伴.exe under Wine,
# driven as a user would drive
# it (window found by class, commands and clicks posted), judged by what it shows (captures) and by
# what it writes to its data file. Ends with "N passed, M failed".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
chime_display
chime_wine_up 30
clock_exe=$1 driver_exe=$2 artifacts=$3 aidport=$4 aidport_v2=$5 planted_dll=$6 form_driver_exe=$7 guesthall=$8
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'wine "$driver_exe" command 8003 >/dev/null 2>&1; rm -rf "$work"' EXIT
cp "$clock_exe" "$work/钟伴.exe"
ini="$work/闹钟数据.INI"
. "$here/e2e_lib.sh"

# A first start without a data file shows the window and writes nothing until a change, but the
# time of the update check (the first check only records the time) and when the clock last ran.
only_update_time() {
  [ ! -e "$ini" ] ||
    [ -z "$(iconv -f CP936 -t UTF-8 "$ini" | tr -d '\r' | grep -v -x -e '' -e 'DateTime=.*' -e 'LastSeen=.*' -e '\[Updates\]' -e '\[设置\]')" ]
}
start_clock
check "the window appears" "driver wait 30000"
check "nothing but the update time and LastSeen is written before a change" "driver sync && only_update_time"
check "page 0 captured" "capture page0.png"
# The band is shaded while the window is not the active one, which a virtual screen without a window
# manager decides on its own: either colour of the page will do.
band_is() { case "$(pixel "$artifacts/$1" 150 44)" in "$2" | "$3") return 0 ;; *) return 1 ;; esac; }
check "the band has the alarm page's colour" "band_is page0.png 102,87,199 73,57,172"
check "the five default alarms are shown" "rows_shown page0.png 5 35"
check "the tray icon is there" "[ \"\$(driver tray-icon)\" = 1 ]"
# The tray menu: six entries, the program icon before 显示, 隐藏 and 关闭 (three coloured bands in the
# menu's left edge).
icon_bands() {
  convert "$1" -crop 36x+0+0 +repage -colorspace HSL -channel G -separate +channel -threshold 40% \
    -scale "1x$(identify -format %h "$1")!" -threshold 1% txt:- |
    awk 'NR > 1 {printf "%s", ($NF == "gray(255)") ? 1 : 0}' | tr -s 01 | tr -d '0\n' | wc -c
}
check "the tray menu opens" "driver tray-menu '$(chime_win_path "$artifacts/tray-menu.png")'"
check "three of its entries carry the program icon" "[ \"\$(icon_bands '$artifacts/tray-menu.png')\" = 3 ]"

# A second start shows the running window and ends at once with exit code 0.
driver command 8002 >/dev/null
check "hidden by command 8002" "driver wait-hidden 10000"
check "显示=0 recorded" "wait_value 设置 显示 0"
(cd "$work" && timeout 20 "$here/wine_run.sh" ./钟伴.exe </dev/null >/dev/null 2>&1)
check "a second start exits with 0" "[ $? = 0 ]"
check "and brings the running window up" "driver wait 10000"
check "显示=1 recorded" "wait_value 设置 显示 1"

# Escape on the keyboard hides the window; a click on the tray icon brings it back.
driver escape
check "Escape hides the window" "driver wait-hidden 10000 && wait_value 设置 显示 0"
driver tray-click
check "a click on the tray icon shows it again" "driver wait 10000 && wait_value 设置 显示 1"
driver tray-click
check "and another hides it" "driver wait-hidden 10000"
driver command 8001 >/dev/null
driver wait 10000

# Tabs: the page is remembered, except the settings page.
driver click 80 10
check "tab 计时 writes 区域=2" "wait_value 设置 区域 2"
capture page2.png
check "the band has the timer page's colour" "band_is page2.png 0,191,255 0,153,204"
check "the five default timers are shown" "rows_shown page2.png 5 30"
driver click 176 10
check "tab 设置 leaves 区域 alone" "driver sync && [ \"\$(ini_value 设置 区域)\" = 2 ]"
settled capture page5.png

# Alarm page: the switch of row 0 turns the first default alarm on and saves the list.
driver click 16 10
driver click 175 100
check "the alarm switch saves the alarm on" "wait_value 闹钟 0 '12时0分||是||'"
driver click 62 114
check "a week-day cell saves the day" "wait_value 闹钟 0 '12时0分|一|是||'"
capture page0-on.png

# Stopwatch: start writes the laps and the running start tick.
driver click 48 10
driver click 95 65
check "start writes the running total" "wait_value 秒表 0 0"
check "and the start tick" "[ -n \"\$(ini_value 设置 秒表)\" ] && [ \"\$(ini_value 设置 秒表)\" != 0 ]"
capture page1.png
check "the band has the stopwatch page's colour" "band_is page1.png 0,128,0 0,204,0"

# The stopwatch's buttons: lap, pause, continue, reset; each press is saved at once.
driver click 50 65
check "a lap adds a reading" "wait_not_value 秒表 1 ''"
driver click 140 65
check "pause stores the start tick 0" "wait_value 设置 秒表 0"
driver click 140 65
check "continue stores a running start tick" "wait_not_value 设置 秒表 0"
driver click 140 65
driver click 50 65
check "reset empties the readings" "wait_value 设置 秒表 0 && wait_value 秒表 0 ''"

# The 1-second timer (the top row of the timer page) runs and stops itself about a second later.
driver click 80 10
driver click 145 95
check "its box shows the running mark" "wait_until 'capture timer-running.png && has_dark timer-running.png 136 87 18 18' 20"
check "starting saves the timers" "wait_value 计时 4 1"
check "a second later it has stopped" "wait_until 'capture timer-ended.png && ! has_dark timer-ended.png 136 87 18 18' 6s"

# Settings page: a switch writes its slot and acts at once.
driver click 176 10
driver click 170 62
check "switch 0 writes option 0 off" "wait_value 设置 0 '0|在所有窗口前面'"
check "and the window is no longer topmost" "[ \"\$(driver topmost)\" = 0 ]"
driver click 170 62
check "switch 0 again puts it on top" "wait_value 设置 0 '1|在所有窗口前面' && [ \"\$(driver topmost)\" = 1 ]"
driver click 170 149
check "switch 4 writes the tab strip below" "wait_value 设置 4 '1|功能选择在下面'"
capture page5-tabs-below.png
driver click 48 40
check "with the strip below, its tabs are at y 30-50" "wait_value 设置 区域 1"
driver click 176 40
driver click 170 149
check "switch 4 again puts the strip on top" "wait_value 设置 4 '0|功能选择在下面'"

# The tray icon switch; turning the icon off also turns close-to-hide off, which needs the icon.
driver click 170 171
check "switch 5 writes close-to-hide on" "wait_value 设置 5 '1|点关闭按钮为隐藏'"
driver click 170 105
check "switch 2 writes the tray icon off" "wait_value 设置 2 '0|显示任务栏小图标'"
check "and the icon leaves the notification area" "[ \"\$(driver tray-icon)\" = 0 ]"
check "and close-to-hide is off with it" "wait_value 设置 5 '0|点关闭按钮为隐藏'"
driver click 170 105
check "switch 2 again brings the icon back" "wait_value 设置 2 '1|显示任务栏小图标' && [ \"\$(driver tray-icon)\" = 1 ]"

# The start-up switch creates and removes 钟伴.lnk in the Wine user's Startup folder.
startup_link() { find "$WINEPREFIX/drive_c/users" -ipath '*/Startup/钟伴.lnk' 2>/dev/null | head -n 1; }
driver click 170 83
check "switch 1 puts 钟伴.lnk into the Startup folder" "wait_until '[ -n \"\$(startup_link)\" ]' && wait_value 设置 1 '1|开机启动软件'"
driver click 170 83
check "switch 1 again takes it away" "wait_until '[ -z \"\$(startup_link)\" ]' && wait_value 设置 1 '0|开机启动软件'"

# Without the components the chat button does nothing, and the program goes on.
driver click 95 265
check "the chat button without components leaves the window as it was" "driver sync && [ \"\$(driver visible)\" = 1 ]"

# The about window, from the settings page's first button and from command 8004; one at a time.
# Without a service its lists stay empty and nothing is said.
about=钟伴_About
about_shot() { form capture $about "$(chime_win_path "$artifacts/$1")" && [ -s "$artifacts/$1" ]; }
# Painted, and done with the lists' download: its waiting note (请稍等哦) is gone.
about_settled() { about_shot "$1" && has_dark "$1" 382 25 12 14 && ! has_dark "$1" 120 172 100 14; }
driver click 95 240
check "关于钟伴 opens the about window" "form wait $about 10000"
check "titled 关于：澜川_钟伴" "[ \"\$(form title $about)\" = '关于：澜川_钟伴' ]"
check "with its three lines" "[ \"\$(form text $about '#105' 0 | tr -d '\r' | grep -c .)\" = 3 ]"
check "the about window is captured" "wait_until 'about_settled about.png' 50"
check "the ranking rows carry their numbers" "has_dark about.png 382 25 12 14 && has_dark about.png 382 169 12 14"
check "and the lists are empty" \
  "! has_dark about.png 400 25 120 14 && ! has_dark about.png 90 190 80 14 && ! has_dark about.png 240 316 300 14"
check "and no message is shown" "[ \"\$(form count '#32770')\" = 0 ]"
driver command 8004
check "command 8004 brings the same window to the front" \
  "driver sync && [ \"\$(form count $about)\" = 1 ] && wait_until '[ \"\$(form active $about)\" = 1 ]' 20"
form close $about
check "its close box closes it" "form gone $about 5000"
driver command 8004
check "command 8004 opens it again" "form wait $about 10000"
# The donate button asks the member component, which answers with the lists (a stand-in here).
cp "$guesthall" "$work/GuestHall.dll"
rm -f "$work/guesthall.log"
form click $about '#106' 0
guesthall_asked() { [ "$(od -An -c "$work/guesthall.log" 2>/dev/null | tr -s ' ')" = ' 1 9 0 001 001 \n' ]; }
check "打赏 sends the software number and an empty login" "wait_until guesthall_asked"
# The answer's lists are painted at once: with the first two rows there, the third is known empty.
check "the lists of its answer are shown" \
  "wait_until 'about_shot about-lists.png && has_dark about-lists.png 400 25 120 14 && has_dark about-lists.png 90 190 80 14' 20 &&
   ! has_dark about-lists.png 90 226 80 14"
form close $about
form gone $about 5000
driver command 8004
check "opened again in the same run, it shows the same lists" \
  "form wait $about 10000 && wait_until 'about_shot about-again.png && has_dark about-again.png 400 25 120 14' 20"
form key $about 13
check "Enter presses 确定, which closes it" "form gone $about 5000"
rm -f "$work/GuestHall.dll"

# Moving by the band stores the place when option 3 is on, and not when it is off.
driver click 16 10
driver click 100 35
check "a press on the band stores X, Y and H" "wait_value 设置 X \"\$(driver rect | awk '{print \$1}')\" && [ -n \"\$(ini_value 设置 H)\" ]"
driver click 176 10
driver click 170 127
check "switch 3 writes option 3 off" "wait_value 设置 3 '0|保存窗口位置与大小'"
sed -i '/^[XYH]=/d' "$ini"
driver click 16 10
driver click 100 35
check "with option 3 off the place is not stored" "driver sync && [ -z \"\$(ini_value 设置 X)\" ]"

# Resizing by the bottom edge: within its limits, and not written to the file.
height() { driver rect | awk '{print $4}'; }
wait_height() { wait_until "[ \"\$(height)\" = $1 ]"; }
h0=$(height)
driver drag 100 $((h0 - 6)) 100
check "the bottom edge resizes the window" "wait_height $((h0 + 100))"
driver drag 100 $((h0 + 94)) 2000
check "no taller than 1080" "wait_height 1080"
driver drag 100 1074 -3000
check "no lower than 200" "wait_height 200"
check "a resize writes no height" "[ -z \"\$(ini_value 设置 H)\" ]"

# Closing ends the program.
driver command 8003 >/dev/null
check "command 8003 closes the program" "driver wait-gone 10000"

# Libraries planted beside the program under the name of every DLL it names that is not a known DLL
# are never loaded, even when Wine is told to prefer a library found on the search path.
mapfile -t planted < <(dlls_to_plant "$clock_exe")
check "the DLLs to plant include wininet and bcrypt" "[[ ' ${planted[*]} ' == *' wininet.dll '* && ' ${planted[*]} ' == *' bcrypt.dll '* ]]"
WINEDLLOVERRIDES="$(plant "$planted_dll" "$work" "${planted[@]}")" chime_start "$work" ./钟伴.exe
check "with planted libraries beside it (${planted[*]}), the window appears" "driver wait 30000"
driver click 48 10
driver click 95 65
# Handled and drawn: the stopwatch has started and its page is on the screen.
check "and no planted library was loaded" \
  "wait_not_value 设置 秒表 0 && wait_until 'capture page1-planted.png && band_is page1-planted.png 0,128,0 0,204,0' 20 &&
   [ ! -e '$work/planted.log' ]"
driver click 140 65
driver click 50 65
driver command 8003 >/dev/null
driver wait-gone 10000
for dll in "${planted[@]}"; do rm -f "$work/$dll"; done

# The customer-service component: a pending replacement is swapped in before the first call, which
# hands it the window and message 1529; the chat button and closing reach it too.
cp "$aidport" "$work/AidPort.dll"
cp "$aidport_v2" "$work/AidPort.dll.up"
rm -f "$work/aidport.log"
start_clock
check "with components, the window appears" "driver wait 30000"
log_has() { wait_until "grep -q $(printf %q "$1") '$work/aidport.log' 2>/dev/null"; }
check "the replacement was swapped in" "[ ! -e '$work/AidPort.dll.up' ]"
check "BACKAIDPORT reached it with 1529 and 190" "log_has '^v2 BACKAIDPORT_D [0-9a-f]* 1529 \[\] \[\] 190$'"
driver click 176 10
driver click 95 265
check "the chat button opens the component" "log_has '^v2 OPENAIDPORT_D [0-9a-f]* \[\] \[\] 190$'"
driver command 8003 >/dev/null
check "closing tells the component" "log_has '^v2 CLOSEAIDPORT_D$'"
check "and ends the program" "driver wait-gone 10000"

# At 144 dpi (Wine's LogPixels) the window and everything in it grow by half.
set_dpi() {
  wine reg add 'HKEY_CURRENT_USER\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  chime_wine_up 30
}
trap 'wine "$driver_exe" command 8003 >/dev/null 2>&1; set_dpi 96; rm -rf "$work"' EXIT
set_dpi 144
rm -f "$work/AidPort.dll"
start_clock
check "at 144 dpi the window appears" "driver wait 30000"
check "193 logical pixels wide are 290" "[ \"\$(driver rect | awk '{print \$3}')\" = 290 ]"
driver click 48 10
check "the band fills its 75 pixels" \
  "wait_until 'capture page1-144dpi.png && band_is page1-144dpi.png 0,128,0 0,204,0' 20 &&
   [ \"\$(pixel '$artifacts/page1-144dpi.png' 225 72)\" != 255,255,255 ]"
driver command 8003 >/dev/null
check "and closes" "driver wait-gone 10000"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
