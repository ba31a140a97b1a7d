#!/usr/bin/env bash
# compare_chimectl.sh WIN_EXE NATIVE_EXE ARG...: runs both chimectl builds with the same arguments
# and fails unless standard output and the exit code are identical. An argument "file:PATH" is a
# file, handed to each build in its own path form.
set -u
. "$(dirname "$0")/wine_env.sh"
chime_skip_unless_runnable "$1"
chime_wine_up 30
win_exe=$1 native_exe=$2
shift 2
native_args=() win_args=()
for a in "$@"; do
  case $a in
    file:*) native_args+=("${a#file:}"); win_args+=("$(chime_win_path "${a#file:}")") ;;
    *) native_args+=("$a"); win_args+=("$a") ;;
  esac
done
native_out=$("$native_exe" "${native_args[@]}" 2>/dev/null); native_rc=$?
win_out=$(chime_wine "$win_exe" "${win_args[@]}" 2>/dev/null); win_rc=$?
if [ "$native_rc" != "$win_rc" ] || [ "$native_out" != "$win_out" ]; then
  echo "chimectl $* differs: native exit $native_rc, Windows exit $win_rc"
  diff <(printf '%s\n' "$native_out") <(printf '%s\n' "$win_out") | head -40
  exit 1
fi
lines=$(printf '%s\n' "$native_out" | grep -c .)
echo "same output ($lines lines, exit $native_rc): chimectl $*"
# An empty output would make the comparison prove nothing, unless the exit code is the point.
[ "$lines" -gt 0 ] || [ "$native_rc" != 0 ]
