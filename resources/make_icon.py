#!/usr/bin/env python3
"""Draws the application icon: the picture of the about box as an SVG, and the PNG sizes
the icon theme wants, rendered with rsvg-convert (librsvg2-bin).

The SVG and the PNGs are committed so that a build needs no renderer; run this only to
change them:  python3 resources/make_icon.py
"""

import math
import pathlib
import shutil
import subprocess
import sys

NAME = "com.zarvekdata.Vocanta"
SIZE = 64
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ICONS = pathlib.Path(__file__).resolve().parent.parent / "data" / "icons"


def wave_points():
    """The about box's wave: one point per pixel column from x = 6 to 58."""
    points = []
    for x in range(6, SIZE - 6 + 1):
        t = (x - 6) / (SIZE - 12) * 3 * 2 * math.pi
        y = math.sin(t) + 0.5 * math.sin(2 * t + 0.7) + 0.25 * math.sin(3 * t + 1.1)
        points.append((x, SIZE / 2 - y * 13))
    return points


def svg_text():
    path = " ".join(
        f"{'M' if i == 0 else 'L'}{x:g},{y:.3f}" for i, (x, y) in enumerate(wave_points())
    )
    # The rounded square is inset by one pixel, as the about box draws it.
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}"'
        f' viewBox="0 0 {SIZE} {SIZE}">\n'
        f'  <rect x="1" y="1" width="{SIZE - 2}" height="{SIZE - 2}" rx="10" ry="10"'
        ' fill="rgb(40,70,120)"/>\n'
        f'  <path d="{path}" fill="none" stroke="rgb(250,210,90)" stroke-width="2.2"'
        ' stroke-linecap="square" stroke-linejoin="round"/>\n'
        "</svg>\n"
    )


def main():
    renderer = shutil.which("rsvg-convert")
    if not renderer:
        sys.exit("make_icon.py needs rsvg-convert: apt-get install librsvg2-bin")
    svg = ICONS / f"{NAME}.svg"
    svg.parent.mkdir(parents=True, exist_ok=True)
    svg.write_text(svg_text(), encoding="utf-8")
    for size in SIZES:
        png = ICONS / f"{size}x{size}" / f"{NAME}.png"
        png.parent.mkdir(exist_ok=True)
        subprocess.run(
            [renderer, "-w", str(size), "-h", str(size), "-o", str(png), str(svg)], check=True
        )


if __name__ == "__main__":
    main()
