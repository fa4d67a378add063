#!/usr/bin/env python3
"""Writes every SVG source of Korvelo's icons (run by ../render.sh).

All pictures are drawn here from plain shapes; nothing is taken from fonts or
other images, so the output does not depend on the machine that renders it.

The KML markers and the file-function icons share one badge: a coloured disc
in a white ring with a faint dark rim, so that they stand out on dark forest
and on bright snow alike, and a white pictogram centred in the disc.
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

WHITE = "#ffffff"
INK = "#263238"


# ---------------------------------------------------------------- helpers


def svg(width, height, body, view=None):
    view = view or f"0 0 {width} {height}"
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" '
        f'height="{height}" viewBox="{view}">\n{body}</svg>\n'
    )


def star_points(cx, cy, outer, inner, points=5, turn=-90.0):
    coords = []
    for i in range(points * 2):
        radius = outer if i % 2 == 0 else inner
        angle = math.radians(turn + i * 180.0 / points)
        x = cx + radius * math.cos(angle)
        y = cy + radius * math.sin(angle)
        coords.append(f"{x:.2f},{y:.2f}")
    return " ".join(coords)


def star(cx, cy, outer, inner, fill, extra="", points=5):
    pts = star_points(cx, cy, outer, inner, points)
    return f'<polygon points="{pts}" fill="{fill}" {extra}/>\n'


def check_badge(cx=23.5, cy=23.5, r=5.6):
    """Green 'solved' badge that overlaps the ring at the lower right."""
    return (
        f'<circle cx="{cx}" cy="{cy}" r="{r + 1.1}" fill="{WHITE}"/>\n'
        f'<circle cx="{cx}" cy="{cy}" r="{r + 1.6}" fill="none" '
        f'stroke="#000" stroke-opacity=".35" stroke-width=".8"/>\n'
        f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#2e9d3a"/>\n'
        f'<path d="M{cx - 3.1} {cy + 0.1} L{cx - 0.9} {cy + 2.4} '
        f'L{cx + 3.2} {cy - 2.3}" fill="none" stroke="{WHITE}" '
        f'stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>\n'
    )


def badge(color, glyph, over=""):
    """32x32 marker: disc, ring, rim, a glyph clipped to the disc, overlay."""
    body = (
        '<defs><clipPath id="disc"><circle cx="16" cy="16" r="13"/>'
        "</clipPath></defs>\n"
        '<circle cx="16" cy="16" r="15.4" fill="none" stroke="#000" '
        'stroke-opacity=".45" stroke-width="1.1"/>\n'
        f'<circle cx="16" cy="16" r="14" fill="{color}" stroke="{WHITE}" '
        'stroke-width="2"/>\n'
        f'<g clip-path="url(#disc)">\n{glyph}</g>\n{over}'
    )
    return svg(32, 32, body)


# ----------------------------------------------------------------- glyphs


def glyph_crowd():
    back = "#e8c6f0"
    edge = 'stroke="#8e24aa" stroke-width="1.2"'
    return (
        f'<circle cx="9" cy="12.6" r="2.7" fill="{back}"/>\n'
        f'<rect x="4.6" y="16.2" width="8.8" height="12" rx="4" '
        f'fill="{back}"/>\n'
        f'<circle cx="23" cy="12.6" r="2.7" fill="{back}"/>\n'
        f'<rect x="18.6" y="16.2" width="8.8" height="12" rx="4" '
        f'fill="{back}"/>\n'
        f'<circle cx="16" cy="10.4" r="3.6" fill="{WHITE}" {edge}/>\n'
        f'<rect x="10.2" y="15" width="11.6" height="14" rx="5" '
        f'fill="{WHITE}" {edge}/>\n'
    )


def glyph_handheld(color):
    return (
        f'<rect x="17.6" y="3.5" width="2.6" height="6" rx="1.2" '
        f'fill="{WHITE}"/>\n'
        f'<rect x="10" y="7.5" width="12" height="19" rx="3" '
        f'fill="{WHITE}"/>\n'
        f'<rect x="12.2" y="10" width="7.6" height="7.4" rx="1" '
        f'fill="{color}"/>\n'
        f'<path d="M16 11.2 L18.2 15.8 L16 14.7 L13.8 15.8 Z" '
        f'fill="#b2ebf2"/>\n'
        f'<circle cx="16" cy="21.6" r="2" fill="{color}"/>\n'
    )


def glyph_question(dx=0.0, dy=0.0):
    return (
        f'<g transform="translate({dx} {dy})">'
        '<path d="M11.6 11.8 A4.6 4.6 0 1 1 17.6 16.2 '
        'C16.4 16.9 16 17.6 16 19.2" fill="none" stroke="#fff" '
        'stroke-width="3.3" stroke-linecap="round"/>\n'
        '<circle cx="16" cy="23.6" r="2.1" fill="#fff"/></g>\n'
    )


def glyph_stages():
    return (
        '<path d="M8.8 18.5 L13.8 9.8 L21.5 12.2" fill="none" stroke="#fff" '
        'stroke-width="1.6"/>\n'
        '<circle cx="8.8" cy="18.5" r="3" fill="#fff"/>\n'
        '<circle cx="13.8" cy="9.8" r="3" fill="#fff"/>\n'
        '<circle cx="21.5" cy="12.2" r="3" fill="#fff"/>\n'
    )


def glyph_moon():
    gold = "#ffd54f"
    return (
        '<defs><mask id="cut"><rect width="32" height="32" fill="#fff"/>'
        '<circle cx="19.6" cy="12.4" r="7" fill="#000"/></mask></defs>\n'
        f'<circle cx="14.6" cy="16.6" r="8.4" fill="{gold}" '
        'mask="url(#cut)"/>\n'
        + star(22.3, 20.2, 3.6, 1.5, gold)
        + star(23.2, 9.4, 2.4, 1.0, gold)
        + star(17.6, 6.6, 1.6, 0.7, "#fff8e1")
    )


def glyph_motorway():
    return (
        '<path d="M3 8 H29 V15.5 H25.2 C22 11.6 10 11.6 6.8 15.5 H3 Z" '
        'fill="#fff"/>\n'
        '<path d="M6.5 30 L14.6 14.2 H15.5 L14.4 30 Z" fill="#fff"/>\n'
        '<path d="M17.6 30 L16.5 14.2 H17.4 L25.5 30 Z" fill="#fff"/>\n'
    )


def glyph_church(color):
    return (
        '<rect x="15.3" y="3.6" width="1.4" height="6" fill="#fff"/>\n'
        '<rect x="13.8" y="5.1" width="4.4" height="1.4" fill="#fff"/>\n'
        '<path d="M12.6 13 L16 8.4 L19.4 13 Z" fill="#fff"/>\n'
        '<path d="M6.8 27 V19.6 L12.6 15.6 V13 H19.4 V15.6 L25.2 19.6 '
        'V27 Z" fill="#fff"/>\n'
        f'<path d="M14.6 27 V22.3 A1.4 1.4 0 0 1 17.4 22.3 V27 Z" '
        f'fill="{color}"/>\n'
        f'<rect x="9" y="21" width="1.8" height="2.8" rx=".9" '
        f'fill="{color}"/>\n'
        f'<rect x="21.2" y="21" width="1.8" height="2.8" rx=".9" '
        f'fill="{color}"/>\n'
        f'<circle cx="16" cy="16.6" r="1.2" fill="{color}"/>\n'
    )


def glyph_bed():
    return (
        '<rect x="5.5" y="10" width="2.6" height="15" rx=".8" fill="#fff"/>\n'
        '<rect x="24" y="15" width="2.6" height="10" rx=".8" fill="#fff"/>\n'
        '<rect x="8" y="19.2" width="16.2" height="3.6" fill="#fff"/>\n'
        '<circle cx="11.6" cy="15.6" r="2.6" fill="#fff"/>\n'
        '<path d="M15 19.2 V15.8 Q15 13.8 17 13.8 H22.5 Q24 13.8 24 15.4 '
        'V19.2 Z" fill="#fff"/>\n'
    )


def glyph_train(color):
    return (
        '<path d="M12 23.5 L7.5 30 M20 23.5 L24.5 30" stroke="#fff" '
        'stroke-width="2" stroke-linecap="round"/>\n'
        '<path d="M9.8 26.6 H22.2" stroke="#fff" stroke-width="1.4"/>\n'
        '<path d="M9.2 9.5 Q9.2 5.5 13 5.5 H19 Q22.8 5.5 22.8 9.5 V21.5 '
        'Q22.8 23.8 20.6 23.8 H11.4 Q9.2 23.8 9.2 21.5 Z" fill="#fff"/>\n'
        f'<rect x="11.2" y="8.4" width="9.6" height="6.4" rx="1.2" '
        f'fill="{color}"/>\n'
        '<circle cx="12.6" cy="19.3" r="1.6" fill="#ffd54f" '
        f'stroke="{color}" stroke-width=".8"/>\n'
        '<circle cx="19.4" cy="19.3" r="1.6" fill="#ffd54f" '
        f'stroke="{color}" stroke-width=".8"/>\n'
    )


def glyph_smiley():
    ink = "#4e342e"
    return (
        f'<ellipse cx="12" cy="12.4" rx="1.8" ry="2.5" fill="{ink}"/>\n'
        f'<ellipse cx="20" cy="12.4" rx="1.8" ry="2.5" fill="{ink}"/>\n'
        f'<path d="M9 17.6 Q16 25.6 23 17.6" fill="none" stroke="{ink}" '
        'stroke-width="2.4" stroke-linecap="round"/>\n'
    )


def glyph_star():
    return star(16, 16.8, 10.6, 4.4, "#ffd54f",
                'stroke="#fff" stroke-width="1.3" stroke-linejoin="round"')


def glyph_box(shade):
    """White cache box with a handle, the lid seam and a latch in shade."""
    box = "#ffffff"
    return (
        f'<path d="M13 10.6 V8.6 H19 V10.6" fill="none" stroke="{box}" '
        'stroke-width="1.6"/>\n'
        f'<rect x="7.5" y="10.5" width="17" height="13.5" rx="1.6" '
        f'fill="{box}"/>\n'
        f'<rect x="7.5" y="14.4" width="17" height="1.3" fill="{shade}"/>\n'
        f'<rect x="14.3" y="13.2" width="3.4" height="4.2" rx=".6" '
        f'fill="{shade}"/>\n'
    )


def glyph_crossed_box():
    return (
        glyph_box("#5f5f5f")
        + '<path d="M6.5 6.5 L25.5 25.5" stroke="#fff" stroke-width="5.4" '
        'stroke-linecap="round"/>\n'
        '<path d="M6.5 6.5 L25.5 25.5" stroke="#d32f2f" stroke-width="3.2" '
        'stroke-linecap="round"/>\n'
    )


def glyph_flag():
    return (
        '<rect x="9.6" y="6" width="2.2" height="21" rx="1.1" fill="#fff"/>\n'
        '<path d="M11.8 7.2 C15 5.6 18.4 9.6 23.8 7.6 V17 '
        'C18.4 19 15 15 11.8 16.6 Z" fill="#fff"/>\n'
    )


def pin(x, y, color="#e53935"):
    """Small map pin whose tip touches (x, y)."""
    return (
        f'<path d="M{x} {y} L{x - 2.3} {y - 4.2} A2.7 2.7 0 1 1 '
        f'{x + 2.3} {y - 4.2} Z" fill="{color}" stroke="#fff" '
        'stroke-width=".7" stroke-linejoin="round"/>\n'
        f'<circle cx="{x}" cy="{y - 5.4}" r="1" fill="#fff"/>\n'
    )


def glyph_map():
    return (
        '<path d="M6 10 L12 7.6 L20 10 L26 7.6 V22.4 L20 24.8 L12 22.4 '
        'L6 24.8 Z" fill="#fff"/>\n'
        '<path d="M12 7.6 L20 10 V24.8 L12 22.4 Z" fill="#cfe8fb"/>\n'
        '<path d="M6 19 C10 17 13 21 17 18 S23 15 26 16" fill="none" '
        'stroke="#64b5f6" stroke-width="1.2"/>\n'
        + pin(10, 17.6) + pin(16.6, 22) + pin(22, 14.6)
    )


def glyph_dashed_box():
    """Outline of a cache box that is not there, with a sparkle."""
    return (
        '<path d="M12.2 11.4 V9.4 H17.8 V11.4" fill="none" stroke="#fff" '
        'stroke-width="1.5" stroke-dasharray="2 1.4"/>\n'
        '<rect x="7" y="11.6" width="16" height="12.6" rx="1.6" fill="none" '
        'stroke="#fff" stroke-width="1.8" stroke-dasharray="3.2 2"/>\n'
        + star(23.4, 9.2, 3.8, 1.0, "#fff", points=4)
        + star(25.2, 16.4, 1.8, 0.5, "#fff", points=4)
    )


def glyph_envelope(color):
    return (
        '<rect x="6" y="9.5" width="20" height="13.6" rx="1.6" '
        'fill="#fff"/>\n'
        f'<path d="M7 10.6 L16 17.6 L25 10.6" fill="none" stroke="{color}" '
        'stroke-width="1.6" stroke-linejoin="round"/>\n'
        f'<path d="M7.2 22 L13 16.4 M24.8 22 L19 16.4" fill="none" '
        f'stroke="{color}" stroke-width="1" stroke-opacity=".6"/>\n'
    )


def glyph_calendar(color):
    days = "".join(
        f'<rect x="{x}" y="{y}" width="2.8" height="2.6" rx=".4" '
        f'fill="{color}"/>\n'
        for y in (15.4, 19.6) for x in (9.6, 14.6, 19.6))
    return (
        '<rect x="7" y="8.2" width="18" height="16.8" rx="2" fill="#fff"/>\n'
        f'<rect x="7" y="11.8" width="18" height="1.3" fill="{color}"/>\n'
        f'<rect x="10.4" y="5.8" width="2.2" height="4.6" rx="1.1" '
        f'fill="#fff" stroke="{color}" stroke-width=".8"/>\n'
        f'<rect x="19.4" y="5.8" width="2.2" height="4.6" rx="1.1" '
        f'fill="#fff" stroke="{color}" stroke-width=".8"/>\n'
        + days
    )


def glyph_camera(color):
    return (
        '<rect x="11.4" y="8" width="7.2" height="4" rx="1" fill="#fff"/>\n'
        '<rect x="5.8" y="10.6" width="20.4" height="13" rx="2.4" '
        'fill="#fff"/>\n'
        f'<circle cx="16" cy="17.1" r="4.6" fill="{color}"/>\n'
        '<circle cx="16" cy="17.1" r="2.3" fill="#b3e5fc"/>\n'
        f'<rect x="21.2" y="12.4" width="2.8" height="1.8" rx=".4" '
        f'fill="{color}"/>\n'
    )


def glyph_bin(color):
    ribs = "".join(
        f'<path d="M{x} 15 V23.6" stroke="{color}" stroke-width="1.2" '
        'stroke-linecap="round"/>\n'
        for x in (13.3, 16, 18.7))
    return (
        '<path d="M13.6 9 V7.2 H18.4 V9" fill="none" stroke="#fff" '
        'stroke-width="1.5"/>\n'
        '<rect x="8.2" y="8.8" width="15.6" height="2.6" rx="1" '
        'fill="#fff"/>\n'
        '<path d="M9.6 12.4 H22.4 L21 26.4 H11 Z" fill="#fff"/>\n'
        + ribs
    )


def glyph_rock(color):
    """Mountain with layers of rock showing in its flank."""
    outline = "M3.5 26 L12.4 10.6 L16.6 16.4 L20.4 12 L28.5 26 Z"
    layers = "".join(
        f'<path d="M2 {y} C8 {y - 2.2} 12 {y + 1.8} 18 {y - 0.4} '
        f'S26 {y - 1.6} 30 {y}" fill="none" stroke="{color}" '
        'stroke-width="1.1" stroke-opacity=".75"/>\n'
        for y in (19.4, 23))
    return (
        f'<defs><clipPath id="peak"><path d="{outline}"/></clipPath></defs>\n'
        f'<path d="{outline}" fill="#fff"/>\n'
        f'<g clip-path="url(#peak)">\n{layers}</g>\n'
    )


def glyph_big_crowd(color):
    """Five people, for the events bigger than a mega event."""
    far, middle = "#c9a7e4", "#e6d3f3"
    edge = f'stroke="{color}" stroke-width="1.1"'
    people = ""
    for cx, cy, r, w, top, fill, line in (
            (6, 13.6, 2.2, 7, 16.6, far, ""),
            (26, 13.6, 2.2, 7, 16.6, far, ""),
            (10.6, 11.8, 2.7, 8.6, 15.2, middle, edge),
            (21.4, 11.8, 2.7, 8.6, 15.2, middle, edge),
            (16, 10.2, 3.4, 10.8, 14.6, "#fff", edge)):
        people += (
            f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}" {line}/>\n'
            f'<rect x="{cx - w / 2:.1f}" y="{top}" width="{w}" height="14" '
            f'rx="{w / 2 - 0.6:.1f}" fill="{fill}" {line}/>\n'
        )
    return people


def glyph_flask(color):
    flask = ("M14.4 7 V13 L8.4 23.8 Q7.4 26 9.8 26 H22.2 Q24.6 26 23.6 23.8 "
             "L17.6 13 V7 Z")
    return (
        f'<path d="{flask}" fill="#fff"/>\n'
        '<rect x="12.8" y="5.4" width="6.4" height="2.2" rx=".9" '
        'fill="#fff"/>\n'
        '<path d="M10.8 19.6 H21.2 L23.6 23.8 Q24.6 26 22.2 26 H9.8 '
        'Q7.4 26 8.4 23.8 Z" fill="#80deea"/>\n'
        f'<circle cx="14.6" cy="22.6" r="1.1" fill="{color}"/>\n'
        f'<circle cx="18" cy="21.4" r=".8" fill="{color}"/>\n'
        f'<circle cx="16.6" cy="16.4" r=".7" fill="{color}" '
        'fill-opacity=".6"/>\n'
    )


def glyph_balloons():
    return (
        '<path d="M12.6 17.6 Q10.6 21.6 14 27.5" fill="none" stroke="#fff" '
        'stroke-width="1"/>\n'
        '<path d="M20.2 19 Q22.4 23 18.6 27.5" fill="none" stroke="#fff" '
        'stroke-width="1"/>\n'
        '<ellipse cx="12.6" cy="11.6" rx="4.6" ry="5.6" fill="#fff"/>\n'
        '<path d="M12.6 16.8 L11.4 18.2 H13.8 Z" fill="#fff"/>\n'
        '<ellipse cx="20.2" cy="13.2" rx="4.2" ry="5.2" fill="#ffd54f"/>\n'
        '<path d="M20.2 18 L19.1 19.4 H21.3 Z" fill="#ffd54f"/>\n'
        '<ellipse cx="11.2" cy="9.6" rx="1.1" ry="1.8" fill="#ad1457" '
        'fill-opacity=".25"/>\n'
        + star(24.8, 6.8, 2, 0.8, "#fff")
        + star(6.6, 21.8, 1.6, 0.6, "#ffd54f")
    )


def glyph_pin(color):
    """One big map pin: a cache of a kind without a picture of its own."""
    return (
        '<path d="M16 27 L10 16.1 A7 7 0 1 1 22 16.1 Z" fill="#fff"/>\n'
        f'<circle cx="16" cy="13" r="2.9" fill="{color}"/>\n'
    )


# ------------------------------------------------------------ the markers

MARKERS = {
    "icon_megaevent": lambda: badge("#8e24aa", glyph_crowd()),
    "icon_whereigo": lambda: badge("#00838f", glyph_handheld("#00838f")),
    "icon_moved": lambda: badge("#3949ab", glyph_question(-1.2, -1.0),
                                check_badge()),
    "icon_multimoved": lambda: badge("#ef6c00", glyph_stages(),
                                     check_badge()),
    "icon_nightcache": lambda: badge("#1a1f4a", glyph_moon()),
    "icon_autobahn": lambda: badge("#1565c0", glyph_motorway()),
    "icon_church": lambda: badge("#6d4c41", glyph_church("#6d4c41")),
    "icon_tbhotel": lambda: badge("#558b2f", glyph_bed()),
    "icon_train": lambda: badge("#37474f", glyph_train("#37474f")),
    "icon_found": lambda: badge("#f9c01c", glyph_smiley()),
    "icon_mine": lambda: badge("#2e7d32", glyph_star()),
    "icon_unavailable": lambda: badge("#8d8d8d", glyph_crossed_box()),
    "icon_marker": lambda: badge("#d32f2f", glyph_flag()),
    # The cache types, so that a map needs no server for any of them. The
    # solved markers above are these with a badge; events share pinks and
    # purples that deepen with the size of the event.
    "icon_traditional": lambda: badge("#43a047", glyph_box("#43a047")),
    "icon_multi": lambda: badge("#ef6c00", glyph_stages()),
    "icon_virtual": lambda: badge("#7e57c2", glyph_dashed_box()),
    "icon_letterbox": lambda: badge("#00796b", glyph_envelope("#00796b")),
    "icon_event": lambda: badge("#e91e63", glyph_calendar("#e91e63")),
    "icon_unknown": lambda: badge("#3949ab", glyph_question()),
    "icon_webcam": lambda: badge("#0288d1", glyph_camera("#0288d1")),
    "icon_cito": lambda: badge("#7cb342", glyph_bin("#7cb342")),
    "icon_earthcache": lambda: badge("#a0522d", glyph_rock("#a0522d")),
    "icon_gigaevent": lambda: badge("#4a148c", glyph_big_crowd("#4a148c")),
    "icon_lab": lambda: badge("#0097a7", glyph_flask("#0097a7")),
    "icon_celebration": lambda: badge("#ad1457", glyph_balloons()),
    "icon_generic": lambda: badge("#607d8b", glyph_pin("#607d8b")),
}

# The file-function dialog shows the same marker a role gives in the KML.
FUNCTIONS = {
    "function-complete": lambda: badge("#0288d1", glyph_map()),
    "function-found": MARKERS["icon_found"],
    "function-mine": MARKERS["icon_mine"],
    "function-disabled": MARKERS["icon_unavailable"],
    "function-marked": MARKERS["icon_marker"],
}


def note():
    """Heart with a chain link: 'like it? place a link'."""
    body = (
        '<path d="M16 29.5 C9 24.5 2.2 19.2 2.2 11.6 C2.2 7 5.6 3.6 9.6 3.6 '
        'C12.4 3.6 14.7 5.2 16 7.6 C17.3 5.2 19.6 3.6 22.4 3.6 '
        'C26.4 3.6 29.8 7 29.8 11.6 C29.8 19.2 23 24.5 16 29.5 Z" '
        'fill="#e53950" stroke="#9b1b30" stroke-width="1.2" '
        'stroke-linejoin="round"/>\n'
        '<path d="M7.4 9.6 C8 7.6 9.6 6.6 11.2 6.8" fill="none" '
        'stroke="#ffc2cc" stroke-width="1.8" stroke-linecap="round"/>\n'
        '<g fill="none" stroke="#fff" stroke-width="2.2" '
        'transform="rotate(-40 16 16.5)">\n'
        '<rect x="8.6" y="13.6" width="9" height="5.8" rx="2.9"/>\n'
        '<rect x="14.4" y="13.6" width="9" height="5.8" rx="2.9"/>\n'
        '</g>\n'
    )
    return svg(32, 33, body)


# ------------------------------------------------------- the program icon


def app_icon(small):
    """Map tile with a river and a trail to a red pin holding a cache."""
    edge = 4 if small else 16
    tile = (f'x="{edge}" y="{edge}" width="{256 - 2 * edge}" '
            f'height="{256 - 2 * edge}" rx="{40 - edge // 2}"')
    parts = [
        '<defs><linearGradient id="land" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#9ccc65"/>'
        '<stop offset="1" stop-color="#558b2f"/></linearGradient>'
        '<linearGradient id="pin" x1="0" y1="0" x2="1" y2="1">'
        '<stop offset="0" stop-color="#ff7043"/>'
        '<stop offset="1" stop-color="#c62828"/></linearGradient>'
        f'<clipPath id="tile"><rect {tile}/></clipPath></defs>\n',
        f'<rect {tile} fill="url(#land)"/>\n',
        '<g clip-path="url(#tile)">\n',
    ]
    if not small:
        parts.append(
            '<g fill="none" stroke="#c5e1a5" stroke-opacity=".55" '
            'stroke-width="3">\n'
            '<path d="M16 70 C60 50 90 90 140 64 S220 40 240 56"/>\n'
            '<path d="M16 100 C70 80 96 120 150 96 S220 76 240 90"/>\n'
            '<path d="M40 240 C60 200 30 170 70 150"/>\n'
            '</g>\n'
        )
    river = 30 if small else 22
    parts.append(
        f'<path d="M-10 150 C40 140 60 200 110 214 S190 250 260 226" '
        f'fill="none" stroke="#4fc3f7" stroke-width="{river}"/>\n'
    )
    if not small:
        parts.append(
            '<path d="M-10 150 C40 140 60 200 110 214 S190 250 260 226" '
            'fill="none" stroke="#b3e5fc" stroke-width="4" '
            'stroke-opacity=".7"/>\n'
            '<path d="M42 58 C70 96 60 140 96 170 S150 190 150 206" '
            'fill="none" stroke="#fff8e1" stroke-width="7" '
            'stroke-dasharray="14 10" stroke-linecap="round"/>\n'
        )
    parts.append("</g>\n")
    parts.append(
        f'<rect {tile} fill="none" stroke="#33691e" '
        f'stroke-width="{12 if small else 6}"/>\n'
    )
    if small:
        cx, cy, r, tip = 146, 100, 76, 236
    else:
        cx, cy, r, tip = 150, 92, 60, 212
    half = r * 0.74
    shoulder = cy + r * 0.67
    parts.append(
        f'<path d="M{cx} {tip} L{cx - half:.1f} {shoulder:.1f} '
        f'A{r} {r} 0 1 1 {cx + half:.1f} {shoulder:.1f} Z" '
        'fill="url(#pin)" stroke="#7f1010" stroke-width="6" '
        'stroke-linejoin="round"/>\n'
        f'<circle cx="{cx}" cy="{cy}" r="{r * 0.62:.1f}" fill="#fff"/>\n'
    )
    parts.append(cache_box(cx, cy, r * 0.62, small))
    return svg(256, 256, "".join(parts))


def cache_box(cx, cy, r, small):
    """Olive ammo can, the classic cache container, inside the pin's head."""
    w, h = r * 1.24, r * 0.88
    x, y = cx - w / 2, cy - h / 2 + r * 0.08
    lid = h * 0.3
    box = (
        f'<rect x="{x:.1f}" y="{y:.1f}" width="{w:.1f}" height="{h:.1f}" '
        f'rx="{r * 0.1:.1f}" fill="#6b7a2a"/>\n'
        f'<rect x="{x - r * 0.06:.1f}" y="{y - r * 0.04:.1f}" '
        f'width="{w + r * 0.12:.1f}" height="{lid:.1f}" rx="{r * 0.06:.1f}" '
        'fill="#4f5a1e"/>\n'
    )
    if not small:
        box += (
            f'<rect x="{cx - r * 0.14:.1f}" y="{y + lid - r * 0.02:.1f}" '
            f'width="{r * 0.28:.1f}" height="{r * 0.3:.1f}" '
            f'rx="{r * 0.04:.1f}" fill="#d7ccc8"/>\n'
            f'<path d="M{x + w * 0.12:.1f} {y + h * 0.62:.1f} '
            f'H{x + w * 0.88:.1f}" stroke="#8a9a3a" '
            f'stroke-width="{r * 0.06:.1f}"/>\n'
        )
    return box


# ------------------------------------------------------------------ write


def write(path, text, root):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as out:
        out.write(text)


def main(root):
    for name, draw in MARKERS.items():
        write(f"src/geocaching/{name}.svg", draw(), root)
    for name, draw in FUNCTIONS.items():
        write(f"ui/{name}.svg", draw(), root)
    write("ui/note.svg", note(), root)
    write("app/korvelo.svg", app_icon(small=False), root)
    write("src/app/korvelo-small.svg", app_icon(small=True), root)


if __name__ == "__main__":
    # An optional folder takes the place of assets/icons, so that a check
    # can compare a fresh set with the committed one.
    main(sys.argv[1] if len(sys.argv) > 1 else ROOT)
