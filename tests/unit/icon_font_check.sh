#!/usr/bin/env bash
# Checks the installer's icon font: the face name the installer asks for, the three code points it
# draws, and that each of them renders as a real, distinct picture at the sizes the installer uses.
#   tests/unit/icon_font_check.sh [FONT.ttf]      (default: resources/iconfont.ttf)
# Needs fc-scan (fontconfig) and ImageMagick. Prints "N passed, N failed" and exits non-zero on a fault.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
font=${1:-$root/resources/iconfont.ttf}
codes=(e637 e636 e70b)  # logo, computer, install
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*" >&2
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
  exit
}

# UTF-8 bytes of a code point from U+0800 to U+FFFF given in hex, built by hand: bash's printf \u depends on the locale,
# and test runners often have none.
utf8() {
  local cp=$((16#$1))
  local escapes
  escapes=$(printf '\\x%x\\x%x\\x%x' $((0xE0 | (cp >> 12))) $((0x80 | ((cp >> 6) & 0x3F))) $((0x80 | (cp & 0x3F))))
  # shellcheck disable=SC2059  # the format is the escapes just built
  printf "$escapes"
}

# Whether fc-scan's charset text ("e636-e637 e70b") covers the code point.
charset_has() {
  local charset=$1 cp=$((16#$2)) range lo hi
  for range in $charset; do
    lo=$((16#${range%-*}))
    hi=$((16#${range#*-}))
    if ((cp >= lo && cp <= hi)); then return 0; fi
  done
  return 1
}

# Whether two renders differ: compare exits 0 when equal, 1 when not, 2 when it could not compare.
differ() {
  compare -metric AE "$1" "$2" null: 2>/dev/null
  case $? in
    1) return 0 ;;
    0) return 1 ;;
    *) fail "could not compare $(basename "$1") with $(basename "$2")" && return 2 ;;
  esac
}

# Renders one code point black on white; the label is as wide as the glyph's advance, so all renders
# of one size share a canvas and can be compared pixel by pixel.
render() {
  convert -background white -fill black -font "$font" -pointsize "$2" "label:$(utf8 "$1")" \
    -bordercolor white -border 4 "$3" 2>"$work/convert.log"
}

for tool in fc-scan convert compare; do
  command -v "$tool" >/dev/null || {
    fail "$tool is not installed"
    finish
  }
done

if [ ! -s "$font" ]; then
  fail "no font at $font"
  finish
fi
pass

# fc-scan lists every family name the font declares, comma separated; one must be exactly ICONFONT.
families=$(fc-scan --format '%{family}' "$font" 2>/dev/null)
if [[ ",$families," == *",ICONFONT,"* ]]; then pass; else fail "family is '$families', not ICONFONT"; fi

charset=$(fc-scan --format '%{charset}' "$font" 2>/dev/null)
for code in "${codes[@]}"; do
  if charset_has "$charset" "$code"; then pass; else fail "U+${code^^} is not in the charset '$charset'"; fi
done

for size in 35 90; do
  # A code point the font lacks shows what an unmapped glyph renders as (the fallback box or nothing).
  render e000 "$size" "$work/missing_$size.png" || fail "could not render a missing glyph at $size"
  for code in "${codes[@]}"; do
    png=$work/${code}_$size.png
    if ! render "$code" "$size" "$png"; then
      fail "U+${code^^} did not render at $size: $(cat "$work/convert.log")"
      continue
    fi
    # Ink box and ink share: a glyph must fill most of its em (at least 60% each way) and be neither
    # empty nor a solid block (every one of these icons has white inside its outline).
    read -r w h ink < <(convert "$png" -trim +repage -format '%w %h %[fx:round(100*(1-mean))]\n' info: 2>/dev/null)
    if [ -z "${w:-}" ] || ((w * 10 < size * 6 || h * 10 < size * 6)); then
      fail "U+${code^^} at $size px: ink box ${w:-?}x${h:-?} is too small"
    elif ((ink < 15 || ink > 85)); then
      fail "U+${code^^} at $size px: ${ink}% of its box is ink"
    else
      pass
    fi
    differ "$png" "$work/missing_$size.png"
    case $? in
      0) pass ;;
      1) fail "U+${code^^} at $size px renders like a missing glyph" ;;
    esac
  done
  # Three distinct pictures: a build that drew one shape for all three would pass everything above.
  for pair in "e637 e636" "e637 e70b" "e636 e70b"; do
    read -r a b <<<"$pair"
    differ "$work/${a}_$size.png" "$work/${b}_$size.png"
    case $? in
      0) pass ;;
      1) fail "U+${a^^} and U+${b^^} render the same at $size px" ;;
    esac
  done
done

finish
