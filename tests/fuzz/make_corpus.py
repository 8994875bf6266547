#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets from the content in data/ and the BMP test
fixtures. Run from anywhere; it rewrites tests/fuzz/corpus/. Every seed loads, except those
whose names start with "bad_", which the loader must refuse (tests/test_fuzz_regressions.cpp
checks both)."""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
CORPUS = os.path.join(HERE, "corpus")


def read(*parts):
    with open(os.path.join(ROOT, *parts), "rb") as f:
        return f.read()


def bmp(width, height, bits, rows, reserved=(0, 0)):
    """A BMP file; rows (top row first) are packed pixel bytes, padded here."""
    palette = bytes(range(256)) * 4 if bits == 8 else b""
    row_length = width * (bits // 8)
    padding = (4 - row_length % 4) % 4
    ordered = rows if height < 0 else list(reversed(rows))
    pixels = b"".join(r + b"\0" * padding for r in ordered)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), reserved[0], reserved[1], offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    return header + info + palette + pixels


def put(target, name, data):
    os.makedirs(os.path.join(CORPUS, target), exist_ok=True)
    with open(os.path.join(CORPUS, target, name), "wb") as f:
        f.write(data)


shutil.rmtree(CORPUS, ignore_errors=True)
fixtures = ("tests", "fixtures", "bmp")
grid = read(*fixtures, "grid8_bottomup.bmp")   # 9 x 7, cells of 3 x 2 with 1-pixel borders

# Sheets: the fixtures (8 and 24 bits, both row orders, padded rows), a 16-bit sheet, a small
# real sheet, and one whose reserved words pick cell (1, 1) of 3 x 2 cells with border 1.
for name in ("grid8_bottomup.bmp", "sheet8_topdown.bmp", "sheet8_bottomup_w7.bmp",
             "sheet24_bottomup.bmp", "sheet24_topdown.bmp"):
    put("bitmap", name, read(*fixtures, name))
put("bitmap", "sheet16_bottomup.bmp", bmp(3, 2, 16, [bytes(range(6)), bytes(range(6, 12))]))
put("bitmap", "needle.bmp", read("data", "Graphics", "Needle.bmp"))
put("bitmap", "reserved_cell.bmp", grid[:6] + struct.pack("<HH", 2 | (1 << 8), 1 | (1 << 4) | (1 << 8)) + grid[10:])

put("palette", "palette.pal", read("data", "palette.pal"))
put("palette", "bad_short.pal", read("data", "palette.pal")[:1023])
put("palette", "long.pal", read("data", "palette.pal") * 2)

# Graphic descriptions: real ones naming the real sheets, and ones carrying their own sheet.
for name in ("Needle.txt", "PlayerShot.txt", "PowerUp.txt", "Overlay.txt"):
    put("graphic", name, read("data", "Graphics", name))
grid_description = (b"Fuzzed.bmp\n3 2 8 0\n0 0 3 2\n4\n0\n# cells\nf 0 0 0 1\nf 1 1 0 1\n"
                    b"f 2 0 1 1\nf 3\n1 1 1\na 0 1 2 4\n0 1\n2 3\na 1 2 0 0\n\na 2 0 1 2\n3 2\ne\n")
put("graphic", "own_sheet.txt", grid_description + b"\0" + grid)
put("graphic", "own_sheet24.txt", b"Fuzzed.bmp\n2 2 24 0\n0 0 2 2\n0\n1\nf 0 0 0 0\nf 1 1 1 0\ne\n"
    + b"\0" + read(*fixtures, "sheet24_bottomup.bmp"))

put("master_graphics", "MasterGraphics.txt", read("data", "Graphics", "MasterGraphics.txt"))
put("master_graphics", "two.txt", b"2\nGraphics/Needle.txt\nGraphics/Spore.txt\n")
put("master_graphics", "own.txt", b"2 graphics\nGraphics/Needle.txt\nFuzzed.txt\n\0"
    + grid_description + b"\0" + grid)

for name in ("Dart.txt", "Wasp.txt", "Manta.txt", "Warden.txt"):
    put("enemy", name, read("data", "Enemies", name))

put("master_enemies", "MasterEnemies.txt", read("data", "Enemies", "MasterEnemies.txt"))
put("master_enemies", "own.txt", b"2\nEnemies/Dart.txt\nFuzzedEnemy.txt\n\0"
    + read("data", "Enemies", "Wasp.txt"))

put("deployment", "DeploymentOrder1.dpo", read("data", "DeploymentOrders", "DeploymentOrder1.dpo"))
put("deployment", "short.dpo", b"o 0 2 100 0\no 1\n3\n500 0 comment\no 3 0 -40 -40\ne\n")
put("deployment", "empty.dpo", b"e")
