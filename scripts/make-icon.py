#!/usr/bin/env python3
"""Draws Klevane's icon, a colour-light railway signal, and writes it as a Windows .ico.

The icon holds the two sizes that Windows asks for, 32x32 (window and task switcher) and 16x16
(caption and task bar), each drawn from the same shapes with 8x8 supersampling and stored as a
32-bit image with alpha and its 1-bit mask. Run it after changing the drawing:

    scripts/make-icon.py src/resources/klevane.ico
"""
import struct
import sys

SAMPLES = 8  # supersampling per axis

# The drawing, in a 32x32 design space: (shape, parameters, RGBA colour), later shapes on top.
HOUSING = (40, 40, 44, 255)
POST = (150, 150, 156, 255)
SHAPES = [
    ("rect", (14.0, 20.0, 18.0, 30.0), POST),             # the post
    ("rect", (10.0, 29.0, 22.0, 32.0), (96, 96, 102, 255)),  # its foot
    ("round", (8.5, 0.5, 23.5, 24.5, 4.0), HOUSING),      # the signal head
    ("circle", (16.0, 5.5, 3.6), (128, 30, 26, 255)),     # red, dark
    ("circle", (16.0, 12.5, 3.6), (120, 92, 20, 255)),    # amber, dark
    ("circle", (16.0, 19.5, 3.6), (40, 220, 70, 255)),    # green, lit
    ("circle", (15.0, 18.5, 1.1), (200, 255, 210, 255)),  # the green lamp's gleam
]


def inside(shape, params, x, y):
    if shape == "rect":
        left, top, right, bottom = params
        return left <= x < right and top <= y < bottom
    if shape == "circle":
        cx, cy, r = params
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    left, top, right, bottom, r = params  # rounded rectangle
    if not (left <= x < right and top <= y < bottom):
        return False
    nx = min(max(x, left + r), right - r)
    ny = min(max(y, top + r), bottom - r)
    return (x - nx) ** 2 + (y - ny) ** 2 <= r * r


def render(size):
    """Rows of (r, g, b, a), top row first, with premultiplied averaging of the samples."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    colour = None
                    for shape, params, rgba in SHAPES:
                        if inside(shape, params, x, y):
                            colour = rgba
                    if colour:
                        alpha = colour[3] / 255.0
                        for i in range(3):
                            acc[i] += colour[i] * alpha
                        acc[3] += alpha
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a > 0:
                pixel = tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(a * 255)),)
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


def icon_image(size):
    """The BITMAPINFOHEADER, the BGRA pixels and the AND mask, rows bottom-up."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-icon.py OUTPUT.ico")
    images = [(32, icon_image(32)), (16, icon_image(16))]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for _, image in images:
        data += image
    with open(sys.argv[1], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
