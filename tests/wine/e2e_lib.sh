# Shared by the end-to-end scripts: checks, the drivers, the data file and the pictures. The script
# that sources it sets work (the program's scratch folder), ini, driver_exe and artifacts first.
# shellcheck shell=bash
passed=0 failed=0

check() {
  if eval "$2"; then echo "ok     $1"; passed=$((passed + 1)); else echo "FAILED $1"; failed=$((failed + 1)); fi
}
driver() { chime_wine "$driver_exe" "$@" 2>/dev/null; }
form() { chime_wine "${form_driver_exe:-}" "$@" 2>/dev/null; }
start_clock() { (cd "$work" && wine "./钟伴.exe" </dev/null >/dev/null 2>&1 &); }
# The value of KEY in [SECTION] of the data file (GBK), as UTF-8; empty when absent.
ini_value() {
  [ -f "$ini" ] || return 0
  iconv -f CP936 -t UTF-8 "$ini" | tr -d '\r' |
    awk -v s="[$1]" -v k="$2" '$0 == s {f = 1; next} /^\[/ {f = 0} f && index($0, k "=") == 1 {print substr($0, length(k) + 2); exit}'
}
# Polls until the data file holds VALUE under SECTION/KEY (the program writes at once, but Wine may
# take a moment to deliver the posted input).
wait_value() {
  local i
  for i in $(seq 100); do [ "$(ini_value "$1" "$2")" = "$3" ] && return 0; sleep 0.05; done
  return 1
}
wait_not_value() {
  local i
  for i in $(seq 100); do [ "$(ini_value "$1" "$2")" != "$3" ] && return 0; sleep 0.05; done
  return 1
}
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
capture() { driver capture "$(chime_win_path "$artifacts/$1")" && [ -s "$artifacts/$1" ]; }
# True when the box (logical x y w h of a capture at 96 dpi) holds dark pixels, such as a "√".
has_dark() { [ "$(convert "$artifacts/$1" -crop "$4x$5+$2+$3" -colorspace Gray -threshold 40% -format '%[fx:minima]' info:)" = 0 ]; }

