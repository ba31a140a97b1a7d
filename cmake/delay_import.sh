#!/bin/sh
# delay_import.sh NM DLLTOOL IMPORT_LIB DLL OUT_LIB BITS: makes a delay-import library of DLL from
# the functions its ordinary import library names. A delay-loaded DLL is looked for on first use,
# after the program has restricted the DLL search to the system folder; an ordinary import is
# looked for by the loader before the program runs, in the program's own folder first.
set -e
nm=$1 dlltool=$2 importlib=$3 dll=$4 out=$5 bits=$6
def=$out.def
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  if [ "$bits" = 32 ]; then
    # stdcall names come decorated (_Name@N): the def keeps the @N, dlltool -k drops it for the DLL.
    "$nm" "$importlib" | awk '$2 == "T" && $3 ~ /^_/ {print substr($3, 2)}' | sort -u
  else
    "$nm" "$importlib" | awk '$2 == "T" {print $3}' | sort -u
  fi
} >"$def"
if [ "$bits" = 32 ]; then
  "$dlltool" -m i386 -k --input-def "$def" --output-delaylib "$out" --dllname "$dll"
else
  "$dlltool" -m i386:x86-64 --input-def "$def" --output-delaylib "$out" --dllname "$dll"
fi
