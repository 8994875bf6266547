#!/usr/bin/env python3
"""Holds the Windows build's screenshots (Wine) against the palette and the stand-in's picture.

compare.py PALETTE.pal FIRST.png SECOND.png STANDIN.png
  FIRST   Wine, before any key was held     SECOND  Wine, after moving and firing
  STANDIN the replay tool's picture of an early frame
"""
import sys
from PIL import Image

SHIP = (350, 500, 60, 48)      # the player's ship at its start position
OVERLAY = (650, 0, 128, 24)    # the corner emblem
GAME = (800, 600)


def palette_colours(path):
    data = open(path, 'rb').read()[:1024]
    return {tuple(data[i:i + 3]) for i in range(0, 1024, 4)}


def load(path):
    return Image.open(path).convert('RGB')


def region(img, box):
    x, y, w, h = box
    return [img.getpixel((x + i, y + j)) for j in range(h) for i in range(w)]


def agreement(wine, standin, box):
    """Share of the stand-in's sprite pixels (not black) that Wine shows identically."""
    a, b = region(wine, box), region(standin, box)
    sprite = [(p, q) for p, q in zip(a, b) if q != (0, 0, 0)]
    if not sprite:
        return 0.0
    return sum(1 for p, q in sprite if p == q) / len(sprite)


def main():
    colours = palette_colours(sys.argv[1])
    first, second, standin = (load(p) for p in sys.argv[2:5])
    ok = True
    for name, img in (('first', first), ('second', second)):
        outside = {img.getpixel((x, y)) for y in range(GAME[1]) for x in range(GAME[0])} - colours
        if outside:
            print(f'{name}: {len(outside)} colours not in the palette, e.g. {sorted(outside)[:3]}')
            ok = False
    ship = agreement(first, standin, SHIP)
    overlay = agreement(first, standin, OVERLAY)
    moved = agreement(second, standin, SHIP)
    print(f'ship at start: {ship:.0%} of its pixels as on the stand-in; overlay: {overlay:.0%}; '
          f'start position after moving: {moved:.0%}')
    if ship < 0.9:
        print('the ship is not drawn at its start position as on the stand-in')
        ok = False
    if overlay < 0.5:
        print('the overlay is not drawn as on the stand-in')
        ok = False
    if moved > 0.5:
        print('the ship did not move')
        ok = False
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
