#!/usr/bin/env bash
# Draws the alarm clock's pictures with ImageMagick primitives and writes them into resources/:
#   chime.ico   program icon (16, 32, 48 px): a white alarm clock on a purple rounded tile
#   tray.ico    notification-area icon (16, 32 px): a white bell on a purple disc
#   clock128.png  the reminder pop-up's picture (128 x 128): a smiling purple alarm clock
# The purple is the alarm page's header colour, RGB(102,87,199).
#
# Every picture is drawn on a 48-unit (128 for the PNG) grid at 8 times its pixel size and shrunk
# with a box filter, which gives clean anti-aliased edges; the 16 px icons get their own, bolder
# drawings because thin strokes vanish at that size. Metadata is stripped so that running the
# script again gives the same bytes.
#   tools/make_icons.sh [OUT_DIR]   (default: resources/ of this repository)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/resources}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

purple='rgb(102,87,199)'
deep='rgb(70,58,150)'  # darker purple for outlines on white
white='rgb(255,255,255)'
ss=8  # supersampling factor

# render GRID SIZE OUT.png DRAW...: draws the primitives (coordinates in GRID units) at SIZE px.
render() {
    local grid=$1 size=$2 file=$3
    shift 3
    local big=$((size * ss))
    local k
    k=$(awk -v b="$big" -v g="$grid" 'BEGIN { printf "%.6f", b / g }')
    convert -size "${big}x${big}" xc:none -colorspace sRGB \
        -draw "affine $k,0,0,$k,0,0 $*" \
        -filter box -resize "${size}x${size}" \
        -strip -define png:exclude-chunks=date,time,tIME "PNG32:$file"
}

# Program icon, 32 and 48 px: purple tile, white alarm clock with two bells and feet, purple hands
# at ten past ten.
app_detailed() {
    render 48 "$1" "$2" \
        "fill $purple stroke none roundrectangle 1,1 46,46 9,9" \
        "fill $white circle 12,11 12,5.5" "fill $white circle 36,11 36,5.5" \
        "stroke $white stroke-width 3 line 16,38 12,43 line 32,38 36,43" \
        "stroke none fill $white circle 24,26 24,11" \
        "fill $purple circle 24,26 24,14" \
        "fill $white circle 24,26 24,15.5" \
        "stroke $purple stroke-width 3 stroke-linecap round line 24,26 24,17.5 line 24,26 30,23" \
        "stroke none fill $purple circle 24,26 24,24.2"
}

# Program icon, 16 px: the tile, two stubby bells kept apart from the face by a purple gap, and
# bold hands at three o'clock.
app_small() {
    render 48 16 "$1" \
        "fill $purple stroke none roundrectangle 0,0 47,47 10,10" \
        "fill $white circle 10,10 10,3.5" "fill $white circle 38,10 38,3.5" \
        "fill $purple circle 24,27 24,8" \
        "fill $white circle 24,27 24,11" \
        "stroke $purple stroke-width 5 line 24,29 24,16 line 22,27 34,27"
}

# Tray icon: a white bell on a purple disc with a thin white rim, so that it stands out on dark
# and light task bars alike. clapper below the bell's rim, a knob on top.
tray_icon() {
    render 48 "$1" "$2" \
        "fill $white stroke none circle 24,24 24,1" \
        "fill $purple circle 24,24 24,3.5" \
        "fill $white path 'M 13,33 C 15,30 15,26 15,22 C 15,15 19,11 24,11 C 29,11 33,15 33,22 C 33,26 33,30 35,33 Z'" \
        "fill $white roundrectangle 11,32 37,36 2,2" \
        "fill $white circle 24,39 24,42" \
        "fill $white circle 24,9.5 24,7"
}

# Reminder picture: a friendly alarm clock on a 128 grid: purple bells and body, white face with
# closed happy eyes, pink cheeks and a smile, hands at ten past ten standing in for eyebrows.
reminder_png() {
    render 128 128 "$1" \
        "stroke $purple stroke-width 7 stroke-linecap round line 40,104 30,119 line 88,104 98,119" \
        "stroke none fill $purple path 'M 14,40 A 22,22 0 0,1 48,14 Z'" \
        "fill $purple path 'M 80,14 A 22,22 0 0,1 114,40 Z'" \
        "stroke $purple stroke-width 6 stroke-linecap round line 30,26 22,18 line 98,26 106,18" \
        "stroke none fill $purple circle 64,68 64,22" \
        "fill $white circle 64,68 64,28" \
        "fill $purple circle 64,24 64,18" \
        "fill rgb(255,170,190) circle 41,78 41,71 circle 87,78 87,71" \
        "fill none stroke $deep stroke-width 4 stroke-linecap round" \
        "path 'M 42,64 Q 48,57 54,64' path 'M 74,64 Q 80,57 86,64'" \
        "path 'M 52,82 Q 64,94 76,82'" \
        "stroke $purple stroke-width 5 line 64,44 64,34 line 64,44 74,40" \
        "stroke none fill $purple circle 64,44 64,41"
}

app_small "$work/app16.png"
app_detailed 32 "$work/app32.png"
app_detailed 48 "$work/app48.png"
tray_icon 16 "$work/tray16.png"
tray_icon 32 "$work/tray32.png"
reminder_png "$work/clock128.png"

# ICO entries as 32-bit bitmaps with alpha (not embedded PNG), which every Windows reads.
convert "$work/app16.png" "$work/app32.png" "$work/app48.png" -strip "$out/chime.ico"
convert "$work/tray16.png" "$work/tray32.png" -strip "$out/tray.ico"
cp "$work/clock128.png" "$out/clock128.png"
echo "wrote $out/chime.ico $out/tray.ico $out/clock128.png"
