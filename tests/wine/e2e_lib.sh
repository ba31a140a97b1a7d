# Shared by the end-to-end scripts: checks, the drivers, the data file and the pictures. The script
# that sources it sets work (the program's scratch folder), ini, driver_exe and artifacts first.
# shellcheck shell=bash
passed=0 failed=0

check() {
  if eval "$2"; then echo "ok     $1"; passed=$((passed + 1)); else echo "FAILED $1"; failed=$((failed + 1)); fi
}
# The drivers say something whenever they fail, so a silent failure is a start Wine failed: retried.
driver() { chime_wine --prints "$driver_exe" "$@" 2>/dev/null; }
form() { chime_wine --prints "${form_driver_exe:-}" "$@" 2>/dev/null; }
start_clock() { chime_start "$work" ./钟伴.exe; }
# The value of KEY in [SECTION] of the data file (GBK), as UTF-8; empty when absent.
ini_value() {
  [ -f "$ini" ] || return 0
  iconv -f CP936 -t UTF-8 "$ini" | tr -d '\r' |
    awk -v s="[$1]" -v k="$2" '$0 == s {f = 1; next} /^\[/ {f = 0} f && index($0, k "=") == 1 {print substr($0, length(k) + 2); exit}'
}
# Polls CONDITION (shell code, as for check) every 50 ms until it holds: at most LIMIT times (100
# unless given; a condition that asks a driver takes longer a try), or for at most N seconds when
# LIMIT is written Ns (waits on the clock). The drivers post their input, so what it does shows a
# moment later. What input must NOT do cannot be waited for: such a check first waits with
# `driver sync` or `form sync CLASS` until the input has been handled.
wait_until() {
  local limit=${2:-100} _try=0 end=
  case $limit in *s) end=$((SECONDS + ${limit%s})) ;; esac
  until eval "$1"; do
    _try=$((_try + 1))
    if [ -n "$end" ]; then
      [ "$SECONDS" -lt "$end" ] || return 1
    else
      [ "$_try" -lt "$limit" ] || return 1
    fi
    sleep 0.05
  done
}
# Reads the message box on screen until it shows TEXT (box_is: its caption and lines, each ended by
# #) or holds PATTERN (box_has: a grep pattern), for at most SECONDS (20 unless given). A box still
# closing after the last answer, or one read while it opens on a loaded machine, is read again. When
# it never does, what was read last is printed, so that a failure says what the user saw.
box_is() { box_until '[ "$box" = "$want" ]' "$@"; }
box_has() { box_until 'printf %s "$box" | grep -q -- "$want"' "$@"; }
box_until() {
  local want=$2 box=
  wait_until 'box=$(form msgbox 2000 | tr "\n" "#"); '"$1" "${3:-20}s" && return 0
  echo "       the box read: ${box:-no box}"
  return 1
}
# Polls until the data file holds VALUE under SECTION/KEY (or anything else: wait_not_value). When
# it never does, what the file held is printed.
value_is() { [ "$(ini_value "$1" "$2")" = "$3" ]; }
wait_value() {
  wait_until "value_is $(printf '%q ' "$@")" && return 0
  echo "       the file held: [$1] $2=$(ini_value "$1" "$2")"
  return 1
}
wait_not_value() { wait_until "! value_is $(printf '%q ' "$@")"; }
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
capture() { driver capture "$(chime_win_path "$artifacts/$1")" && [ -s "$artifacts/$1" ]; }
# Takes picture NAME with SHOOT (a command given the name) until two in a row are the same, so that
# a frame still being drawn is not the one kept; at most TRIES pictures after the first (20).
settled() {
  local shoot=$1 name=$2 previous="$artifacts/.previous-$2" _try
  "$shoot" "$name" || return 1
  for _try in $(seq "${3:-20}"); do
    mv -f "$artifacts/$name" "$previous"
    "$shoot" "$name" || break
    if cmp -s "$artifacts/$name" "$previous"; then
      rm -f "$previous"
      return 0
    fi
    sleep 0.05
  done
  rm -f "$previous"
  return 1
}
# True when the box (logical x y w h of a capture at 96 dpi) holds dark pixels, such as a "√".
has_dark() { [ "$(convert "$artifacts/$1" -crop "$4x$5+$2+$3" -colorspace Gray -threshold 40% -format '%[fx:minima]' info:)" = 0 ]; }

# PICTURE shows exactly N list rows of height H (alarms 35, timers 30): each with its time box or
# duration on the left, and nothing below the last.
rows_shown() {
  local i
  for i in $(seq 0 $(($2 - 1))); do has_dark "$1" 5 $((80 + $3 * i + 5)) 45 $(($3 - 10)) || return 1; done
  ! has_dark "$1" 5 $((80 + $3 * $2 + 30)) 45 10
}
# The DLLs to plant beside EXE: every DLL it names that is not a known DLL (Windows takes those
# from its own folder whatever lies beside a program), nor one of the maker's components, which are
# meant to lie beside it; then any more names given, which the system itself loads into programs.
dlls_to_plant() {
  local known=' advapi32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32 ws2_32 aidport guesthall '
  local dll
  for dll in $( (strings "$1" | grep -i -o '^[a-z0-9_]*\.dll$'; shift; printf '%s\n' "$@") | tr 'A-Z' 'a-z' | sort -u); do
    case $known in *" ${dll%.dll} "*) ;; *) echo "$dll" ;; esac
  done
}
# Copies PLANTED_DLL into FOLDER under each name given; prints the WINEDLLOVERRIDES value that makes
# Wine prefer a library found on the search path for them, as Windows does.
plant() {
  local dll_file=$1 folder=$2 dll overrides=
  shift 2
  for dll in "$@"; do cp "$dll_file" "$folder/$dll"; overrides+="${dll%.dll},"; done
  echo "${overrides%,}=n,b"
}
