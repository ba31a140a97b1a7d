#!/usr/bin/env bash
# lcpack_same.sh WIN_LCPACK NATIVE_LCPACK: packs a tree of Chinese names, empty files, three levels
# of folders and set times with the native lcpack, extracts it with both builds and fails unless
# the two trees agree in names, kinds, sizes, contents and modification times (to the second). The
# Windows build must also pack the same tree into the same bytes and list it the same way. Then a
# tree of 1,000 files extracted by the Windows build with four threads and with one must each be
# the native extraction's tree.
set -u
. "$(dirname "$0")/wine_env.sh"
chime_skip_unless_runnable "$1"
chime_wine_up 30
win_exe=$1 native_exe=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

src="$work/源 文件"
mkdir -p "$src/程序/第二层/第三层" "$src/空文件夹" "$src/资料"
printf '闹钟\r\n' > "$src/程序/说明.txt"
: > "$src/空文件.txt"
: > "$src/程序/第二层/第三层/空.dat"
head -c 300000 /dev/urandom > "$src/程序/第二层/随机.bin"
seq 1 20000 > "$src/资料/数字 列表.log"
cp "$win_exe" "$src/程序/钟伴.exe"
touch -d '2024-02-29 23:59:59.75 UTC' "$src/程序/说明.txt"
touch -d '1999-12-31 12:00:00 UTC' "$src/空文件.txt"
touch -d '2038-01-19 03:14:08 UTC' "$src/程序/第二层/第三层/空.dat"
touch -d '2010-06-01 08:30:00.123456789 UTC' "$src/资料/数字 列表.log"

info=(--name 钟伴 --program 程序\\钟伴.exe --version 1.3.8 --date 2026-12-08 --description 桌面闹钟)
"$native_exe" create --stub "$win_exe" "${info[@]}" "$src" "$work/native.exe" >/dev/null ||
  fail "native create"
chime_wine "$win_exe" create --stub "$(chime_win_path "$win_exe")" "${info[@]}" "$(chime_win_path "$src")" \
  "$(chime_win_path "$work/win.exe")" >/dev/null || fail "Windows create"
cmp -s "$work/native.exe" "$work/win.exe" || fail "the two builds packed different bytes"

native_list=$("$native_exe" list "$work/native.exe") || fail "native list"
win_list=$(chime_wine "$win_exe" list "$(chime_win_path "$work/native.exe")") || fail "Windows list"
[ "$native_list" = "$win_list" ] || { fail "list output differs"; diff <(echo "$native_list") <(echo "$win_list"); }
chime_wine "$win_exe" verify "$(chime_win_path "$work/native.exe")" >/dev/null || fail "Windows verify"

"$native_exe" extract "$work/native.exe" "$work/native-out" || fail "native extract"
chime_wine "$win_exe" extract "$(chime_win_path "$work/native.exe")" "$(chime_win_path "$work/win-out")" ||
  fail "Windows extract"

# Every folder, and every file with its size and modification second; then the contents file by
# file. Folder times are the extraction's own and are left out.
describe() {
  (cd "$1" && find . -mindepth 1 \( -type d -printf 'd %P\n' \) -o \( -type f -printf 'f %s %T@ %P\n' \) |
    sed -E 's/^(f [0-9]+ -?[0-9]+)\.[0-9]+ /\1 /' | LC_ALL=C sort)
}
native_tree=$(describe "$work/native-out")
win_tree=$(describe "$work/win-out")
[ "$native_tree" = "$win_tree" ] || { fail "extracted trees differ"; diff <(echo "$native_tree") <(echo "$win_tree"); }
[ "$native_tree" = "$(describe "$src")" ] || fail "the extracted tree differs from the source"
files=0
while IFS= read -r -d '' f; do
  rel=${f#"$work/native-out/"}
  cmp -s "$f" "$work/win-out/$rel" || fail "content differs: $rel"
  cmp -s "$f" "$src/$rel" || fail "content differs from the source: $rel"
  files=$((files + 1))
done < <(find "$work/native-out" -type f -print0)
[ "$files" -gt 0 ] && [ "$files" = "$(find "$src" -type f | wc -l)" ] || fail "found $files files"
echo "$files files and $(grep -c '^d' <<<"$native_tree") folders the same in both builds"

# 1,000 files in 20 folders, each with its own content and modification time.
many="$work/多"
for d in $(seq 1 20); do
  mkdir -p "$many/目录$d"
  for f in $(seq 1 50); do
    n=$((d * 100 + f))
    printf '文件 %d\r\n%*d\n' "$n" "$n" "$f" > "$many/目录$d/文件$f.txt"
    touch -d "@$((1600000000 + n * 977)).$((n % 10))" "$many/目录$d/文件$f.txt"
  done
done
"$native_exe" create --stub "$win_exe" --name 多 --program 解压缩 --description 多 "$many" "$work/many.exe" >/dev/null ||
  fail "native create of 1,000 files"
"$native_exe" extract --jobs 1 "$work/many.exe" "$work/many-native" || fail "native extract of 1,000 files"
many_tree=$(describe "$work/many-native")
[ "$many_tree" = "$(describe "$many")" ] || fail "the native extraction of 1,000 files differs from the source"
for jobs in 4 1; do
  chime_wine "$win_exe" extract --jobs "$jobs" "$(chime_win_path "$work/many.exe")" \
    "$(chime_win_path "$work/many-$jobs")" || fail "Windows extract --jobs $jobs"
  [ "$many_tree" = "$(describe "$work/many-$jobs")" ] ||
    { fail "Windows extract --jobs $jobs differs"; diff <(echo "$many_tree") <(describe "$work/many-$jobs") | head; }
  diff -r -q "$work/many-native" "$work/many-$jobs" >/dev/null || fail "contents differ after --jobs $jobs"
done
echo "$(grep -c '^f' <<<"$many_tree") files the same from Windows extract --jobs 4 and --jobs 1"
exit $status
