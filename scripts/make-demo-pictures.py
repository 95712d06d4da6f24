#!/usr/bin/env python3
"""Draws the small pictures of the demo installation: the simulator's default signal bitmaps,
the semaphore signal system's bitmaps, and the trains' pictures and panels. 24-bit BMP files,
written once and committed; run again only to change them."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")


def write_bmp(path, width, height, pixel):
    """pixel(x, y) gives (r, g, b); y counts from the top."""
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def light_signal(colours):
    """A colour-light signal head: a dark mast with round lamps, one per colour, top to bottom."""
    def pixel(x, y):
        for i, colour in enumerate(colours):
            cy = 8 + i * 12
            if (x - 8) ** 2 + (y - cy) ** 2 <= 16:
                return colour
        return (40, 40, 40) if 3 <= x <= 12 else (200, 220, 240)
    return pixel


def semaphore(arm_up):
    """A semaphore: a mast with an arm, horizontal (danger) or raised (clear)."""
    def pixel(x, y):
        if 7 <= x <= 8:
            return (60, 60, 60)
        arm_y = 10 - (x - 8) // 2 if arm_up else 10
        if x > 8 and abs(y - arm_y) <= 1:
            return (200, 30, 30) if (x // 3) % 2 else (240, 240, 240)
        return (200, 220, 240)
    return pixel


def train(body):
    """A side view of a railcar in the given colour, with windows and wheels."""
    def pixel(x, y):
        if 40 <= y <= 44 and (x % 24) in range(4, 12):
            return (20, 20, 20)
        if 12 <= y <= 38 and 4 <= x <= 155:
            if 16 <= y <= 24 and (x % 20) in range(6, 16):
                return (180, 220, 255)
            return body
        return (150, 200, 120) if y > 44 else (200, 225, 250)
    return pixel


def panel(dial):
    """A driver's panel: a dark board with two round dials."""
    def pixel(x, y):
        for cx in (30, 80):
            if (x - cx) ** 2 + (y - 40) ** 2 <= 400:
                return dial if (x - cx) ** 2 + (y - 40) ** 2 > 300 else (250, 250, 240)
        return (50, 55, 60)
    return pixel


sim = os.path.join(ROOT, "demo", "zelvik")
write_bmp(os.path.join(sim, "signal1.bmp"), 16, 40, light_signal([(220, 30, 30), (40, 200, 60)]))
write_bmp(os.path.join(sim, "signal2.bmp"), 16, 40, light_signal([(230, 180, 20), (40, 200, 60), (220, 30, 30)]))
write_bmp(os.path.join(sim, "relay.bmp"), 16, 16, light_signal([(240, 240, 240)]))
system = os.path.join(ROOT, "program", "semaphore")
write_bmp(os.path.join(system, "signal1.bmp"), 16, 40, semaphore(False))
write_bmp(os.path.join(system, "signal2.bmp"), 16, 40, semaphore(True))
write_bmp(os.path.join(system, "relay.bmp"), 16, 16, semaphore(False))
trains = os.path.join(ROOT, "demo", "trains")
write_bmp(os.path.join(trains, "Local", "train.bmp"), 160, 52, train((40, 120, 200)))
write_bmp(os.path.join(trains, "Local", "panel.bmp"), 110, 80, panel((40, 120, 200)))
write_bmp(os.path.join(trains, "Regional", "train.bmp"), 160, 52, train((200, 60, 40)))
write_bmp(os.path.join(trains, "Regional", "panel2.bmp"), 110, 80, panel((200, 60, 40)))
