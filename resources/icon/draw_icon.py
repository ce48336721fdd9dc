#!/usr/bin/env python3
"""Draw the 32x32 application icon for 笑料工坊 and save it as an indexed PNG.

The picture: a laughing yellow face with tears of joy, and a speech bubble
saying "HA" in the top-right corner.  Everything is drawn pixel by pixel;
the result is a palette image (PNG colour type 3) with a tRNS chunk so the
background stays transparent.

Only the Python standard library is used.

    python3 draw_icon.py [output.png]
"""

import os
import struct
import sys
import zlib

SIZE = 32

# Palette: (red, green, blue, alpha).  Index 0 is the transparent background.
PALETTE = [
    (0, 0, 0, 0),          # 0  transparent
    (92, 52, 20, 255),     # 1  dark brown outline
    (255, 214, 64, 255),   # 2  face yellow
    (255, 236, 140, 255),  # 3  face highlight
    (240, 168, 40, 255),   # 4  face shade
    (150, 30, 40, 255),    # 5  mouth inside
    (255, 255, 255, 255),  # 6  white (teeth, bubble)
    (240, 100, 120, 255),  # 7  tongue
    (255, 140, 130, 255),  # 8  blush
    (80, 170, 255, 255),   # 9  tear
    (200, 235, 255, 255),  # 10 tear shine
    (40, 60, 110, 255),    # 11 bubble outline
    (230, 60, 60, 255),    # 12 bubble lettering
]

TRANSPARENT, OUTLINE, FACE, FACE_LIGHT, FACE_SHADE, MOUTH, WHITE, TONGUE, \
    BLUSH, TEAR, TEAR_SHINE, BUBBLE_LINE, LETTERING = range(len(PALETTE))


def new_canvas():
    return [[TRANSPARENT] * SIZE for _ in range(SIZE)]


def mask_from(test):
    """Pixel-centre sampling of a shape given as test(x, y) -> bool."""
    return [[bool(test(x + 0.5, y + 0.5)) for x in range(SIZE)]
            for y in range(SIZE)]


def fill(canvas, mask, colour):
    for y in range(SIZE):
        for x in range(SIZE):
            if mask[y][x]:
                canvas[y][x] = colour


def edge(mask):
    """Pixels of the mask that touch a pixel outside it (4-neighbourhood)."""
    out = [[False] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if not mask[y][x]:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < SIZE and 0 <= ny < SIZE) or not mask[ny][nx]:
                    out[y][x] = True
                    break
    return out


def put(canvas, points, colour):
    for x, y in points:
        if 0 <= x < SIZE and 0 <= y < SIZE:
            canvas[y][x] = colour


def draw(canvas):
    # ---- face -----------------------------------------------------------
    cx, cy, r = 13.0, 18.5, 12.6
    face = mask_from(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)
    fill(canvas, face, FACE)
    # shade on the lower right
    fill(canvas, mask_from(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r
                           and (x - cx + 4) ** 2 + (y - cy + 4) ** 2 > (r + 1.5) ** 2),
         FACE_SHADE)
    # a short glossy arc near the top-left rim
    put(canvas, [(5, 12), (5, 11), (6, 10), (7, 9), (8, 8), (9, 8)], FACE_LIGHT)
    put(canvas, [(6, 11), (7, 10), (8, 9)], FACE_LIGHT)
    fill(canvas, edge(face), OUTLINE)

    # ---- squeezed-shut laughing eyes: ^ ^ -------------------------------
    left_eye = [(5, 16), (6, 15), (7, 14), (8, 14), (9, 15), (10, 16)]
    right_eye = [(15, 16), (16, 15), (17, 14), (18, 14), (19, 15), (20, 16)]
    put(canvas, left_eye, OUTLINE)
    put(canvas, right_eye, OUTLINE)

    # ---- tears of joy at the outer eye corners -------------------------
    put(canvas, [(3, 17), (3, 18), (2, 18), (3, 19), (2, 19), (3, 20)], TEAR)
    put(canvas, [(3, 18)], TEAR_SHINE)
    put(canvas, [(22, 17), (22, 18), (23, 18), (22, 19), (23, 19), (22, 20)], TEAR)
    put(canvas, [(22, 18)], TEAR_SHINE)

    # ---- blush ----------------------------------------------------------
    put(canvas, [(3, 22), (4, 22), (5, 22), (4, 23)], BLUSH)
    put(canvas, [(20, 22), (21, 22), (22, 22), (21, 23)], BLUSH)

    # ---- wide open laughing mouth (a "D" lying on its back) -------------
    mx, my = 12.5, 20.0
    mouth = mask_from(lambda x, y: y >= my and
                      (x - mx) ** 2 / 6.4 ** 2 + (y - my) ** 2 / 7.0 ** 2 <= 1)
    fill(canvas, mouth, MOUTH)
    # a row of teeth along the top
    fill(canvas, mask_from(lambda x, y: mouth[int(y)][int(x)] and my <= y < my + 2),
         WHITE)
    # tongue at the bottom
    fill(canvas, mask_from(lambda x, y: mouth[int(y)][int(x)] and
                           (x - mx) ** 2 / 3.6 ** 2 + (y - 26.5) ** 2 / 2.4 ** 2 <= 1),
         TONGUE)
    fill(canvas, edge(mouth), OUTLINE)

    # ---- speech bubble in the top-right corner --------------------------
    bx0, by0, bx1, by1, br = 19.0, 0.0, 32.0, 11.0, 3.5

    def in_rounded_rect(x, y):
        if not (bx0 <= x <= bx1 and by0 <= y <= by1):
            return False
        qx = min(max(x, bx0 + br), bx1 - br)
        qy = min(max(y, by0 + br), by1 - br)
        return (x - qx) ** 2 + (y - qy) ** 2 <= br * br

    def in_tail(x, y):
        # small triangle pointing down-left toward the face
        return 10.0 <= y <= 14.5 and 20.0 <= x <= 25.5 - (y - 10.0) * 1.1 \
            and x >= 20.0 + (y - 10.0) * 0.1

    bubble = mask_from(lambda x, y: in_rounded_rect(x, y) or in_tail(x, y))
    # keep a one-pixel transparent gap where the bubble overlaps the face,
    # so the two shapes read as separate at small sizes
    gap = [[False] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if bubble[y][x] or not face[y][x]:
                continue
            if any(0 <= x + dx < SIZE and 0 <= y + dy < SIZE
                   and bubble[y + dy][x + dx]
                   for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                gap[y][x] = True
    fill(canvas, gap, TRANSPARENT)
    # close the face outline along the gap
    for y in range(SIZE):
        for x in range(SIZE):
            if face[y][x] and not gap[y][x] and not bubble[y][x] and any(
                    0 <= x + dx < SIZE and 0 <= y + dy < SIZE and gap[y + dy][x + dx]
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                canvas[y][x] = OUTLINE
    fill(canvas, bubble, WHITE)
    fill(canvas, edge(bubble), BUBBLE_LINE)

    # "HA" in the bubble
    glyph_h = ["X.X", "X.X", "XXX", "X.X", "X.X"]
    glyph_a = [".X.", "X.X", "XXX", "X.X", "X.X"]
    for gx, glyph in ((22, glyph_h), (26, glyph_a)):
        for row, line in enumerate(glyph):
            for col, ch in enumerate(line):
                if ch == "X":
                    put(canvas, [(gx + col, 3 + row)], LETTERING)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + \
        struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(canvas, palette):
    if len(palette) > 256:
        raise ValueError("an indexed PNG holds at most 256 colours")
    height, width = len(canvas), len(canvas[0])
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
    plte = b"".join(struct.pack("BBB", r, g, b) for r, g, b, _ in palette)
    # tRNS may stop after the last non-opaque entry
    alphas = [a for _, _, _, a in palette]
    last = max((i for i, a in enumerate(alphas) if a != 255), default=-1)
    raw = b"".join(b"\x00" + bytes(row) for row in canvas)
    out = b"\x89PNG\r\n\x1a\n"
    out += png_chunk(b"IHDR", ihdr)
    out += png_chunk(b"PLTE", plte)
    if last >= 0:
        out += png_chunk(b"tRNS", bytes(alphas[:last + 1]))
    out += png_chunk(b"IDAT", zlib.compress(raw, 9))
    out += png_chunk(b"IEND", b"")
    return out


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    target = argv[1] if len(argv) > 1 else os.path.join(here, "xiaoliao.png")
    canvas = new_canvas()
    draw(canvas)
    with open(target, "wb") as f:
        f.write(encode_png(canvas, PALETTE))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
