#!/usr/bin/env python3
"""Writes grid_sketch.wmf: a small metafile to try the background buttons with.

A pale grid every 50 pixels, a hatched band, a rising contour with a filled area under
it, an ellipse, a pie, a rounded box and a label, 400 x 200 pixels at 96 dots per inch.
Run it from anywhere; the file lands beside this script.
"""
import math
import os
import struct

UNITS_PER_INCH = 960  # ten units a pixel
WIDTH, HEIGHT = 4000, 2000


def words(*values):
    return b"".join(struct.pack("<H", v & 0xFFFF) for v in values)


def rgb(r, g, b):
    value = r | g << 8 | b << 16
    return (value & 0xFFFF, value >> 16)


class Metafile:
    def __init__(self):
        self.body = b""
        self.objects = 0
        self.largest = 3

    def record(self, function, *params):
        size = 3 + len(params)
        self.largest = max(self.largest, size)
        self.body += struct.pack("<IH", size, function) + words(*params)

    def create(self, function, *params):
        self.record(function, *params)
        self.objects += 1
        return self.objects - 1

    def pen(self, style, width, colour):
        return self.create(0x02FA, style, width, 0, *rgb(*colour))

    def brush(self, style, colour, hatch=0):
        return self.create(0x02FC, style, *rgb(*colour), hatch)

    def select(self, index):
        self.record(0x012D, index)

    def points(self, function, pts):
        flat = [c for p in pts for c in p]
        self.record(function, len(pts), *flat)

    def file(self):
        key = [0xCDD7, 0x9AC6, 0, 0, 0, WIDTH, HEIGHT, UNITS_PER_INCH, 0, 0]
        checksum = 0
        for w in key:
            checksum ^= w
        body = self.body + struct.pack("<IH", 3, 0)
        total = 9 + len(body) // 2
        header = words(1, 9, 0x0300) + struct.pack("<I", total)
        header += words(self.objects) + struct.pack("<I", self.largest) + words(0)
        return words(*key, checksum) + header + body


def sketch():
    m = Metafile()
    m.record(0x0103, 8)  # anisotropic mapping
    m.record(0x020B, 0, 0)  # window origin (y, x)
    m.record(0x020C, HEIGHT, WIDTH)  # window extent (y, x)
    m.record(0x0102, 1)  # transparent background mode
    grid = m.pen(0, 0, (180, 200, 230))
    m.select(grid)
    for x in range(0, WIDTH + 1, 500):
        m.record(0x0214, 0, x)
        m.record(0x0213, HEIGHT, x)
    for y in range(0, HEIGHT + 1, 500):
        m.record(0x0214, y, 0)
        m.record(0x0213, y, WIDTH)
    m.record(0x001E)  # save the state around the hatched band
    nopen = m.pen(5, 0, (0, 0, 0))
    m.select(nopen)
    m.select(m.brush(2, (200, 160, 80), hatch=3))
    m.record(0x041B, 1900, 4000, 1700, 0)  # rectangle (bottom, right, top, left)
    m.record(0x0127, 0xFFFF)  # restore
    contour = [(x, int(1500 - 900 * math.sin(math.pi * x / WIDTH) ** 2)) for x in range(0, 4001, 200)]
    m.select(nopen)
    area = m.brush(0, (220, 235, 255))
    m.select(area)
    m.points(0x0324, [(0, 1500)] + contour + [(4000, 1500)])  # polygon
    m.select(m.pen(0, 30, (40, 90, 160)))
    m.points(0x0325, contour)  # polyline
    m.select(m.brush(0, (255, 240, 150)))
    m.select(m.pen(0, 20, (160, 120, 0)))
    m.record(0x0418, 700, 1100, 300, 500)  # ellipse
    m.select(m.brush(0, (250, 190, 190)))
    m.record(0x081A, 300, 3700, 300, 3300, 900, 3700, 300, 3100)  # pie
    m.select(m.brush(1, (0, 0, 0)))
    m.record(0x061C, 200, 200, 1600, 2900, 1200, 2300)  # rounded box
    face = b"Sans\0\0"
    m.select(m.create(0x02FB, (-160) & 0xFFFF, 0, 0, 0, 700, 0, 0, 0, 0,
                      *struct.unpack("<3H", face)))
    m.record(0x0209, *rgb(60, 60, 60))  # text colour
    label = b"grid sketch"
    padded = label + b"\0" * (len(label) % 2)
    m.record(0x0A32, 80, 120, len(label), 0, *struct.unpack("<%dH" % (len(padded) // 2), padded))
    m.record(0x01F0, area)  # delete object
    return m.file()


if __name__ == "__main__":
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "grid_sketch.wmf")
    with open(target, "wb") as out:
        out.write(sketch())
