#!/usr/bin/env bash
# Builds the installer's icon font from tools/make_icon_font.py.
#   tools/make_icon_font.sh [OUT.ttf]      (default: resources/iconfont.ttf)
# Installs FontForge first when it is missing, through scripts/setup so packages come one way only.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/resources/iconfont.ttf}

if ! command -v fontforge >/dev/null; then
  CHIME_EXTRA_PACKAGES="${CHIME_EXTRA_PACKAGES:-} fontforge" "$root/scripts/setup"
fi

# FontForge writes its banner to stderr on every run; keep it out of the way unless the build fails.
# The font goes to a temporary file first so a failed build never leaves a stale or partial one.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/fontforge.log
tmp=$work/iconfont.ttf  # FontForge picks the output format from the extension
if ! fontforge -lang=py -script "$root/tools/make_icon_font.py" "$tmp" >"$log" 2>&1 || [ ! -s "$tmp" ]; then
  cat "$log" >&2
  echo "make_icon_font: the font was not built" >&2
  exit 1
fi
mv -f "$tmp" "$out"
echo "wrote $out"
