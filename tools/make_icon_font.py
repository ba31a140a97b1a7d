# Builds the installer's private icon font (family "ICONFONT") from the geometry below.
#
#   fontforge -lang=py -script tools/make_icon_font.py OUT.ttf
#
# The installer draws three glyphs from it: the maker's emblem (U+E637, 90 px), a computer (U+E636, 90 px)
# and the install symbol (U+E70B, about 34 px). Every outline is drawn here with the glyph pen, so the
# font can be rebuilt and changed without any drawing program or outside artwork.
#
# Coordinates are font units on a 1000-unit square em: ascent 800, descent 200, so the em box runs from
# y = -200 to y = 800 and its centre is (500, 300). Each glyph keeps about 60 units clear on every side:
# renderers that place the em box on the pixel grid then never clip a rounded edge.
import math
import os
import sys

import fontforge

EM = 1000
ASCENT = 800
DESCENT = 200
CX = EM / 2
CY = (ASCENT - DESCENT) / 2

# Cubic Bezier handle length for a quarter circle (the usual 4/3 * tan(pi/8)).
KAPPA = 0.5522847498

# Fixed timestamps keep the output byte-for-byte the same on every run: the 'head' table would
# otherwise carry the build time, and the installer's resources would change with each rebuild.
FIXED_EPOCH = 1704067200  # 2024-01-01 00:00:00 UTC

CODE_LOGO = 0xE637
CODE_COMPUTER = 0xE636
CODE_INSTALL = 0xE70B


# --- Pen helpers. A solid is drawn clockwise, the filled direction in TrueType and in FontForge's
# overlap removal; a hole (hole=True) counter-clockwise. Holes are drawn this way rather than cut with
# glyph.exclude(), which in FontForge 20230101 drops every contour its cut does not cross (a hole
# inside a frame empties the glyph) and crashes on some stroked outlines. ---


def emit(pen, start, segments, hole):
    """Draws a closed path given as a start point and ("line", end) / ("curve", c1, c2, end) segments,
    all clockwise; hole=True draws it backwards."""
    if hole:
        points = [start] + [seg[-1] for seg in segments]
        reversed_segments = []
        for i in range(len(segments) - 1, -1, -1):
            seg, begin = segments[i], points[i]
            if seg[0] == "line":
                reversed_segments.append(("line", begin))
            else:
                reversed_segments.append(("curve", seg[2], seg[1], begin))
        start, segments = points[-1], reversed_segments
    pen.moveTo(start)
    for seg in segments:
        if seg[0] == "line":
            pen.lineTo(seg[1])
        else:
            pen.curveTo(seg[1], seg[2], seg[3])
    pen.closePath()


def draw_polygon(pen, points, hole=False):
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))
    if area > 0:  # counter-clockwise as given
        points = points[::-1]
    emit(pen, points[0], [("line", p) for p in points[1:]] + [("line", points[0])], hole)


def draw_circle(pen, cx, cy, r, hole=False):
    k = r * KAPPA
    top, right, bottom, left = (cx, cy + r), (cx + r, cy), (cx, cy - r), (cx - r, cy)
    segments = [
        ("curve", (cx + k, cy + r), (cx + r, cy + k), right),
        ("curve", (cx + r, cy - k), (cx + k, cy - r), bottom),
        ("curve", (cx - k, cy - r), (cx - r, cy - k), left),
        ("curve", (cx - r, cy + k), (cx - k, cy + r), top),
    ]
    emit(pen, top, segments, hole)


def draw_rounded_rect(pen, x0, y0, x1, y1, r, hole=False):
    """Rectangle with quarter-circle corners of radius r (clamped to half the shorter side)."""
    r = min(r, (x1 - x0) / 2, (y1 - y0) / 2)
    k = r * KAPPA
    segments = [
        ("line", (x1 - r, y1)),
        ("curve", (x1 - r + k, y1), (x1, y1 - r + k), (x1, y1 - r)),
        ("line", (x1, y0 + r)),
        ("curve", (x1, y0 + r - k), (x1 - r + k, y0), (x1 - r, y0)),
        ("line", (x0 + r, y0)),
        ("curve", (x0 + r - k, y0), (x0, y0 + r - k), (x0, y0 + r)),
        ("line", (x0, y1 - r)),
        ("curve", (x0, y1 - r + k), (x0 + r - k, y1), (x0 + r, y1)),
    ]
    emit(pen, (x0 + r, y1), segments, hole)


def draw_wave_path(pen, x0, x1, y, amplitude, wavelength, phase=0.0):
    """Open sine path from x0 to x1, one cubic per quarter wave (Hermite handles from the slope)."""
    steps = max(1, int(round((x1 - x0) / (wavelength / 4))))
    h = (x1 - x0) / steps
    w = 2 * math.pi / wavelength

    def point(x):
        return (x, y + amplitude * math.sin(w * (x - x0) + phase))

    def slope(x):
        return amplitude * w * math.cos(w * (x - x0) + phase)

    pen.moveTo(point(x0))
    for i in range(steps):
        xa = x0 + i * h
        xb = xa + h
        ya = point(xa)[1]
        yb = point(xb)[1]
        pen.curveTo((xa + h / 3, ya + slope(xa) * h / 3), (xb - h / 3, yb - slope(xb) * h / 3), (xb, yb))
    pen.endPath()


# --- Building glyphs: solids first, merged, then holes, so overlapping parts never leave seams. ---


def stroked_layer(draw, width):
    """Outline of an open path drawn by draw(pen), stroked with a round pen of the given width."""
    scratch = fontforge.font()
    scratch.em = EM
    g = scratch.createChar(0xE000)
    pen = g.glyphPen()
    draw(pen)
    pen = None  # the pen writes its contours into the glyph when released
    g.stroke("circular", width, "round", "round")
    g.removeOverlap()
    g.correctDirection()
    g.round()
    layer = g.foreground
    scratch.close()
    return layer


def add_contours(glyph, draw):
    pen = glyph.glyphPen(replace=False)
    draw(pen)
    pen = None


def finish(glyph):
    glyph.removeOverlap()
    glyph.correctDirection()
    glyph.canonicalContours()
    glyph.canonicalStart()
    glyph.round()
    glyph.width = EM


def new_glyph(font, code, name):
    g = font.createChar(code, name)
    g.clear()
    g.width = EM
    return g


# --- The glyphs. ---


def build_logo(font):
    """Emblem for the maker (waves and river): a ring around a disc that carries three wave lines."""
    g = new_glyph(font, CODE_LOGO, "uniE637")
    ring_outer, ring_inner, disc = 440, 378, 316
    add_contours(g, lambda p: draw_circle(p, CX, CY, ring_outer))
    add_contours(g, lambda p: draw_circle(p, CX, CY, ring_inner, hole=True))
    add_contours(g, lambda p: draw_circle(p, CX, CY, disc))
    # The waves are holes in the disc, parallel, the middle one longest like a river between two
    # banks. Each ends inside the disc, so its reversed outline cuts a clean hole: this FontForge's
    # exclude() drops contours its cut does not touch and cannot be trusted to cut them.
    # The group sits a little below the centre: the crests at the middle carry the eye upwards.
    wavelength, amplitude, band, spacing, drop = 300, 30, 56, 124, 14
    for dy, half in ((spacing - drop, 185), (-drop, 232), (-spacing - drop, 185)):
        wave = stroked_layer(
            lambda p, dy=dy, half=half: draw_wave_path(
                p, CX - half, CX + half, CY + dy, amplitude, wavelength, wave_phase(half, wavelength)
            ),
            band,
        )
        for contour in wave:
            if contour.isClockwise():
                contour.reverseDirection()
        add_contours(g, wave.draw)
    finish(g)


def wave_phase(half, wavelength):
    """Phase that puts a crest at the centre line, so waves of any length line up with each other."""
    return math.pi / 2 - 2 * math.pi * (half % wavelength) / wavelength


def build_computer(font):
    """A monitor on a stand: a framed screen, a neck and a flat foot."""
    g = new_glyph(font, CODE_COMPUTER, "uniE636")
    left, right, bottom, top = 70, 930, 110, 720
    frame, chin = 62, 92
    neck_half, foot_half, foot_h = 70, 250, 78
    foot_bottom = -140
    add_contours(g, lambda p: draw_rounded_rect(p, left, bottom, right, top, 56))
    # The neck overlaps the frame and the foot so the union leaves one unbroken piece.
    neck = [
        (CX - neck_half - 18, foot_bottom + foot_h - 10),
        (CX + neck_half + 18, foot_bottom + foot_h - 10),
        (CX + neck_half, bottom + 10),
        (CX - neck_half, bottom + 10),
    ]
    add_contours(g, lambda p: draw_polygon(p, neck))
    add_contours(
        g, lambda p: draw_rounded_rect(p, CX - foot_half, foot_bottom, CX + foot_half, foot_bottom + foot_h, 39)
    )
    g.removeOverlap()
    add_contours(
        g, lambda p: draw_rounded_rect(p, left + frame, bottom + chin, right - frame, top - frame, 14, hole=True)
    )
    finish(g)


def build_install(font):
    """Install: a bold arrow pointing down into an open tray."""
    g = new_glyph(font, CODE_INSTALL, "uniE70B")
    # Strokes of about 100 units stay three pixels wide at the 34 px the installer uses.
    shaft_half, head_half = 62, 230
    shaft_top, head_base, tip = 740, 330, 40
    tray_left, tray_right, tray_bottom, tray_top, wall = 90, 910, -140, 250, 100

    def draw(p):
        draw_rounded_rect(p, CX - shaft_half, head_base - 20, CX + shaft_half, shaft_top, 24)
        draw_polygon(p, [(CX - head_half, head_base), (CX + head_half, head_base), (CX, tip)])
        # The tray: a bottom bar with two walls, rounded outside and on the wall tops.
        draw_rounded_rect(p, tray_left, tray_bottom, tray_right, tray_bottom + wall, 40)
        draw_rounded_rect(p, tray_left, tray_bottom, tray_left + wall, tray_top, 40)
        draw_rounded_rect(p, tray_right - wall, tray_bottom, tray_right, tray_top, 40)

    add_contours(g, draw)
    finish(g)


def build_notdef(font):
    """The conventional hollow box, shown only if a caller asks for a code point the font lacks."""
    g = font.createChar(-1, ".notdef")
    g.clear()
    add_contours(g, lambda p: draw_polygon(p, [(150, -100), (850, -100), (850, 700), (150, 700)]))
    add_contours(g, lambda p: draw_polygon(p, [(220, -30), (780, -30), (780, 630), (220, 630)], hole=True))
    finish(g)


def set_names(font):
    font.familyname = "ICONFONT"
    font.fontname = "ICONFONT"
    font.fullname = "ICONFONT"
    font.weight = "Regular"
    font.version = "1.0"
    font.copyright = "Drawn for the installer by tools/make_icon_font.py."
    lang = "English (US)"
    font.appendSFNTName(lang, "Family", "ICONFONT")
    font.appendSFNTName(lang, "SubFamily", "Regular")
    font.appendSFNTName(lang, "Fullname", "ICONFONT")
    font.appendSFNTName(lang, "PostScriptName", "ICONFONT")
    font.appendSFNTName(lang, "Version", "Version 1.0")
    # The default unique id embeds today's date; a fixed one keeps rebuilds identical.
    font.appendSFNTName(lang, "UniqueID", "ICONFONT 1.0")


def set_metrics(font):
    font.em = EM
    font.ascent = ASCENT
    font.descent = DESCENT
    # Line metrics equal to the em box: the installer centres the glyph cell, so the box must be
    # exactly the square the glyphs were centred in, on Windows (OS/2 win) and elsewhere (hhea) alike.
    font.os2_winascent = ASCENT
    font.os2_winascent_add = False
    font.os2_windescent = DESCENT
    font.os2_windescent_add = False
    font.os2_typoascent = ASCENT
    font.os2_typoascent_add = False
    font.os2_typodescent = -DESCENT
    font.os2_typodescent_add = False
    font.os2_typolinegap = 0
    font.hhea_ascent = ASCENT
    font.hhea_ascent_add = False
    font.hhea_descent = -DESCENT
    font.hhea_descent_add = False
    font.hhea_linegap = 0
    font.os2_vendor = "ICON"
    # Latin 1 and simplified Chinese: GDI's font mapper weighs a charset mismatch above the face name,
    # so the font must claim whichever charset the (Chinese) installer asks for.
    font.os2_codepages = (0x00000001 | 0x00040000, 0)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: fontforge -lang=py -script make_icon_font.py OUT.ttf\n")
        return 2
    out = argv[1]
    if not out.lower().endswith(".ttf"):
        # generate() takes the format from the extension and would quietly write something else.
        sys.stderr.write("make_icon_font: the output name must end in .ttf\n")
        return 2
    # FontForge takes the 'head' created/modified dates from SOURCE_DATE_EPOCH when it is set. It is
    # set here, not defaulted, so the committed font does not depend on the caller's environment.
    os.environ["SOURCE_DATE_EPOCH"] = str(FIXED_EPOCH)

    font = fontforge.font()
    font.encoding = "UnicodeBmp"
    set_metrics(font)
    set_names(font)

    build_notdef(font)
    build_logo(font)
    build_computer(font)
    build_install(font)

    # No FFTM table: it records FontForge's own build date and the file's modification times.
    font.generate(out, flags=("opentype", "no-FFTM-table", "omit-instructions"))
    font.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
