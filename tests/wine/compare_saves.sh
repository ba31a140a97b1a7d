#!/usr/bin/env bash
# compare_saves.sh WIN_EXE NATIVE_EXE SAMPLE: both builds of save_lists load SAMPLE and write every
# list and setting, once into a new file and once over a copy of SAMPLE; the files must be identical.
set -u
. "$(dirname "$0")/wine_env.sh"
chime_skip_unless_runnable "$1"
chime_wine_up 30
win_exe=$1 native_exe=$2 sample=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for mode in new copy; do
  for build in native win; do
    out="$work/$build-$mode.ini"
    [ "$mode" = copy ] && cp "$sample" "$out"
    if [ "$build" = native ]; then
      "$native_exe" "$sample" "$out" || status=1
    else
      chime_wine "$win_exe" "$(chime_win_path "$sample")" "$(chime_win_path "$out")" || status=1
    fi
  done
  if [ ! -s "$work/native-$mode.ini" ]; then
    echo "$mode: the native build wrote nothing"; status=1
  elif ! cmp "$work/native-$mode.ini" "$work/win-$mode.ini"; then
    echo "$mode: the files differ"; status=1
  else
    echo "$mode: identical, $(wc -c < "$work/native-$mode.ini") bytes"
  fi
done
exit $status
