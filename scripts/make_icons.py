#!/usr/bin/python3
"""Draws the program's icons (32x32 and 16x16, 32-bit) and drag cursors and writes them as .ico and .cur files."""
import struct, sys, os

def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, pixels in images:
        rows = b''.join(b''.join(struct.pack('<BBBB', b, g, r, a) for (r, g, b, a) in pixels[y])
                        for y in reversed(range(size)))
        mask = b'\0' * (((size + 31) // 32) * 4 * size)
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
        blob = header + rows + mask
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b''.join(blobs)

def cur(size, pixels, hotspot):
    # One 32-bit image; the mask is set where the image is transparent.
    rows = b''.join(b''.join(struct.pack('<BBBB', b, g, r, a) for (r, g, b, a) in pixels[y])
                    for y in reversed(range(size)))
    stride = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        bits = bytearray(stride)
        for x in range(size):
            if pixels[y][x][3] == 0: bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    blob = header + rows + mask
    return (struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, hotspot[0], hotspot[1], len(blob), 22)
            + blob)

def arrow(x, y):
    # the pointer's outline in the top left corner, tip at (0, 0)
    if y < 16 and x <= y // 1 and x <= 10 - max(0, y - 10):
        edge = x == 0 or x == y or y == 15 or x == 10 - max(0, y - 10)
        return (0, 0, 0, 255) if edge else (255, 255, 255, 255)
    return None

def page(x, y, left, top):
    if left <= x <= left + 10 and top <= y <= top + 13:
        if x in (left, left + 10) or y in (top, top + 13): return (0, 0, 0, 255)
        if (y - top) % 3 == 0 and left + 2 <= x <= left + 8: return (40, 120, 200, 255)
        return (255, 255, 255, 255)
    return None

def drag_single(x, y):
    return arrow(x, y) or page(x, y, 14, 14) or (0, 0, 0, 0)

def drag_multiple(x, y):
    return arrow(x, y) or page(x, y, 12, 12) or page(x, y, 17, 17) or (0, 0, 0, 0)

def drag_notallowed(x, y):
    a = arrow(x, y)
    if a: return a
    dx, dy = x - 22, y - 22
    r = (dx * dx + dy * dy) ** 0.5
    if 6 <= r <= 9 or (r < 9 and abs(dx - dy) <= 1.5): return (200, 30, 30, 255)
    return (0, 0, 0, 0)

def canvas(size, fn):
    return [[fn(x * 32 // size, y * 32 // size) for x in range(size)] for y in range(size)]

def main_icon(x, y):
    # two panels side by side on a dark frame
    if x < 1 or x > 30 or y < 3 or y > 28: return (0, 0, 0, 0)
    if y < 7: return (30, 60, 160, 255)
    if x in (15, 16): return (192, 192, 192, 255)
    if x < 2 or x > 29 or y > 27: return (192, 192, 192, 255)
    if y % 4 == 1 and 4 < (x % 15) < 12: return (64, 255, 0, 255) if x < 15 else (255, 255, 255, 255)
    return (0, 0, 0, 255)

def stop_icon(x, y):
    # a red round button with a white power sign
    dx, dy = x - 15.5, y - 15.5
    r = (dx * dx + dy * dy) ** 0.5
    if r > 14: return (0, 0, 0, 0)
    if abs(dx) < 1.5 and 5 <= y <= 15: return (255, 255, 255, 255)
    if abs(r - 8) < 1.3 and not (dy < 0 and abs(dx) < 4): return (255, 255, 255, 255)
    return (200, 30, 30, 255)

def desktop_icon(x, y):
    # a monitor on its stand
    if 3 <= x <= 28 and 4 <= y <= 21:
        if x in (3, 28) or y in (4, 21): return (60, 60, 60, 255)
        return (40, 120, 200, 255)
    if 13 <= x <= 18 and 22 <= y <= 25: return (90, 90, 90, 255)
    if 8 <= x <= 23 and 26 <= y <= 27: return (90, 90, 90, 255)
    return (0, 0, 0, 0)

def controlpanel_icon(x, y):
    # three sliders on a grey panel
    if not (3 <= x <= 28 and 3 <= y <= 28): return (0, 0, 0, 0)
    if x in (3, 28) or y in (3, 28): return (80, 80, 80, 255)
    for i, knob in enumerate((10, 20, 14)):
        cx = 9 + i * 7
        if abs(x - cx) <= 2 and abs(y - knob) <= 2: return (230, 160, 20, 255)
        if x == cx and 6 <= y <= 25: return (40, 40, 40, 255)
    return (200, 200, 200, 255)

target = sys.argv[1] if len(sys.argv) > 1 else 'resources/icons'
os.makedirs(target, exist_ok=True)
for name, fn in (('main', main_icon), ('stop', stop_icon), ('desktop', desktop_icon), ('controlpanel', controlpanel_icon)):
    with open(os.path.join(target, name + '.ico'), 'wb') as f:
        f.write(ico([(32, canvas(32, fn)), (16, canvas(16, fn))]))
for name, fn in (('drpfil_single', drag_single), ('drpfil_multiple', drag_multiple), ('drpfil_notallowed', drag_notallowed)):
    with open(os.path.join(target, name + '.cur'), 'wb') as f:
        f.write(cur(32, [[fn(x, y) for x in range(32)] for y in range(32)], (0, 0)))
