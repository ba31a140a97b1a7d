# Sourced by the Wine tests and scripts: one Wine prefix under the build folder, Chinese locale
# (ANSI code page 936), quiet logs, and the CJK font standing in for the faces the programs ask for.
# CHIME_WINE_PREFIX overrides the prefix folder.
_chime_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# How Windows programs are started on this host, decided here once and exported to every child.
# Debian's `wine` prefers the 32-bit loader whenever wine32 is installed, and on some hosts the
# kernel refuses 32-bit Linux programs, so there even 64-bit programs would never start. On such a
# host every Wine call goes straight to the 64-bit loader (the commands in wine64-only/, first on
# PATH), and 32-bit Windows programs cannot run. CHIME_WINE64_ONLY=1 takes that path anywhere.
# CHIME_WINE32 is "yes" when 32-bit Windows programs can run, "no" when not; CHIME_WINE_NOTE then
# says why, in the one line printed when the decision is made.
if [ -z "${CHIME_WINE32:-}" ]; then
  if [ "${CHIME_WINE64_ONLY:-0}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    CHIME_WINE32=yes CHIME_WINE_NOTE=
  else
    CHIME_WINE32=no
    if [ "${CHIME_WINE64_ONLY:-0}" = 1 ]; then
      CHIME_WINE_NOTE="Wine runs 64-bit programs only (CHIME_WINE64_ONLY=1): 32-bit Windows programs are not run"
    else
      CHIME_WINE_NOTE="this host cannot run 32-bit Linux programs, so Wine runs 64-bit programs only: 32-bit Windows programs are not run"
    fi
    echo "wine: $CHIME_WINE_NOTE" >&2
  fi
  export CHIME_WINE32 CHIME_WINE_NOTE
fi
if [ "$CHIME_WINE32" = no ]; then
  case ":$PATH:" in
    *":$_chime_root/tests/wine/wine64-only:"*) ;;
    *) export PATH="$_chime_root/tests/wine/wine64-only:$PATH" ;;
  esac
  export WINELOADER=/usr/lib/wine/wine64
fi

# True when this host can run the Windows program EXE: any 64-bit one, a 32-bit one only where
# the 32-bit loader runs (the machine field of its PE header: 0x14c is x86).
chime_can_run() {
  [ "$CHIME_WINE32" = yes ] && return 0
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] || return 0
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" != 014c ]
}

# Ends a test script as skipped (ctest's SKIP_RETURN_CODE 77) when one of the programs it runs
# cannot run on this host, saying why.
chime_skip_unless_runnable() {
  local exe
  for exe in "$@"; do
    if ! chime_can_run "$exe"; then
      echo "skipped: $(basename "$exe") is a 32-bit Windows program; $CHIME_WINE_NOTE"
      exit 77
    fi
  done
}
# Set once: what is started from a script that sourced this keeps what that script chose for it (a
# program started in another language, or with other library overrides, through chime_start).
if [ -z "${CHIME_WINE_ENV:-}" ]; then
  export WINEPREFIX=${CHIME_WINE_PREFIX:-$_chime_root/build/wine-prefix}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export CHIME_WINE_ENV=1
fi

# Creates the prefix once; concurrent callers wait for the first one.
chime_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    # A prefix made by the 64-bit loader alone cannot run 32-bit programs: where they can run now,
    # make it afresh.
    if [ "$CHIME_WINE32" = yes ] && grep -qx 'wine32=no' "$WINEPREFIX/.chime-ready" 2>/dev/null; then
      wineserver -k >/dev/null 2>&1 || true
      rm -rf "$WINEPREFIX"
    fi
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
      [ "$CHIME_WINE32" = no ] || wine "C:\\windows\\syswow64\\cmd.exe" /c exit >/dev/null 2>&1 || true
      wineserver -w
      echo "wine32=$CHIME_WINE32" > "$WINEPREFIX/.chime-ready"
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

# chime_start FOLDER PROGRAM ARG...: starts a Windows program in FOLDER in the background, detached
# from the caller's pipes, and returns at once; a start Wine itself failed is tried again there too.
chime_start() {
  local folder=$1 run_sh
  # Absolute: the program starts from FOLDER, and this file may have been sourced by a relative path.
  run_sh="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine_run.sh"
  shift
  (cd "$folder" && exec "$run_sh" "$@") </dev/null >/dev/null 2>&1 &
}
