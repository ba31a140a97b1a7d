#!/usr/bin/env bash
# wine_run.sh [--prints] PROGRAM.exe ARG...: runs a Windows program under Wine for the tests (the
# Windows presets' emulator). Under load Wine now and then fails to start a process at all: its
# loader reports "ShellExecuteEx" failing, or, with its messages off, the run ends with an error and
# not a byte of output. Only such a start is tried again; a program that ran keeps its output and
# exit code, whatever they are. The second kind is told only for a program that always prints (the
# test programs, given --prints): a silent one may fail silently by itself.
# A 32-bit program on a host that runs only 64-bit ones ends as skipped (exit 77), saying why.
. "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
prints=no
if [ "${1:-}" = --prints ]; then prints=yes; shift; fi
chime_skip_unless_runnable "$1"
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
never_started() {
  grep -q "ShellExecuteEx" "$err" || { [ "$prints" = yes ] && [ ! -s "$err" ]; }
}
for attempt in 1 2 3; do
  wine "$@" >"$out" 2>"$err"
  rc=$?
  if [ "$rc" = 0 ] || [ -s "$out" ] || ! never_started; then
    cat "$out"
    cat "$err" >&2
    exit "$rc"
  fi
  echo "wine_run.sh: Wine did not start $1 (attempt $attempt, exit $rc), trying again" >&2
  sleep 1
done
cat "$err" >&2
exit "$rc"
