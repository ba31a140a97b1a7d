# Sourced by the Wine tests and scripts: one Wine prefix under the build folder, Chinese locale
# (ANSI code page 936), quiet logs, and the CJK font standing in for the faces the programs ask for.
# CHIME_WINE_PREFIX overrides the prefix folder.
_chime_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX=${CHIME_WINE_PREFIX:-$_chime_root/build/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# Creates the prefix once; concurrent callers wait for the first one.
chime_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.chime-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      # The user's shell folders (Desktop ...) are links to the Linux home: folders of the prefix
      # instead, so that what the programs put on the desktop stays inside the build folder.
      local folder
      for folder in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos}; do
        if [ -L "$folder" ]; then rm -f "$folder" && mkdir -p "$folder"; fi
      done
      local reg
      reg=$(mktemp --suffix=.reg)
      printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
        '"Microsoft YaHei"="WenQuanYi Micro Hei"' '"黑体"="WenQuanYi Micro Hei"' \
        '"SimSun"="WenQuanYi Micro Hei"' '"宋体"="WenQuanYi Micro Hei"' > "$reg"
      wine regedit "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
      rm -f "$reg"
      # The first 64- and 32-bit programs of a prefix finish its set-up; let that happen here,
      # not inside a test's time limit.
      wine cmd /c exit >/dev/null 2>&1 || true
      wine "C:\\windows\\syswow64\\cmd.exe" /c exit >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.chime-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# A Linux path as the Windows programs see it (drive Z: is the Linux root).
chime_win_path() { printf 'Z:%s' "$(realpath -m "$1")" | tr '/' '\\'; }

# Makes sure the prefix exists and its server and services run, detached from every pipe: started
# by a program whose output is captured, they would inherit that pipe and hold it open. SECONDS
# keeps the server alive that long after its last client (no argument: until `wineserver -k`).
chime_wine_up() {
  chime_wine_prefix
  wineserver -p ${1:-} </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Gives the programs a screen: when DISPLAY is unset, starts a virtual one (Xvfb) on a free
# display number and exports DISPLAY. CHIME_XVFB_PID names the server this started, for cleanup.
chime_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=99
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  CHIME_XVFB_PID=$!
  local i
  for i in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n" CHIME_XVFB_PID
}

# Runs a Windows program as the emulator of the tests does, retrying a start Wine itself failed.
chime_wine() { "$(dirname "${BASH_SOURCE[0]}")/wine_run.sh" "$@"; }
