#!/usr/bin/env python3
"""Holds the Windows build's screenshots (Wine) against the palette and the stand-in's picture.

compare.py PALETTE.pal FIRST.png SECOND.png STANDIN.png [BACK.png CORNER.png LATER.png]
  FIRST   Wine, before any key was held     SECOND  Wine, after moving and firing
  STANDIN the replay tool's picture of an early frame
  After another program had the front and the game was brought back:
  BACK    Wine, just after the return       CORNER  after holding D and S: the ship clamped
  LATER   a second later with no key held   at the bottom right corner, in both
"""
import sys
from PIL import Image

SHIP = (350, 500, 60, 48)      # the player's ship at its start position
OVERLAY = (650, 0, 128, 24)    # the corner emblem
GAME = (800, 600)
# The ship clamped at the bottom right: box (4, 4, 56, 42) keeps it at (743, 557); seen are
# its columns ..56 and rows ..42, compared with the same part of the ship at its start.
CORNER_SHIP = (743, 557, 57, 43)
START_SHIP_PART = (350, 500, 57, 43)


def palette_colours(path):
    data = open(path, 'rb').read()[:1024]
    return {tuple(data[i:i + 3]) for i in range(0, 1024, 4)}


def load(path):
    return Image.open(path).convert('RGB')


def region(img, box):
    x, y, w, h = box
    return [img.getpixel((x + i, y + j)) for j in range(h) for i in range(w)]


def agreement(wine, standin, box, standin_box=None):
    """Share of the stand-in's sprite pixels (not black) that Wine shows identically."""
    a, b = region(wine, box), region(standin, standin_box or box)
    sprite = [(p, q) for p, q in zip(a, b) if q != (0, 0, 0)]
    if not sprite:
        return 0.0
    return sum(1 for p, q in sprite if p == q) / len(sprite)


def main():
    colours = palette_colours(sys.argv[1])
    first, second, standin = (load(p) for p in sys.argv[2:5])
    after = [load(p) for p in sys.argv[5:8]]
    ok = True
    pictures = [('first', first), ('second', second)]
    pictures += list(zip(('back', 'corner', 'later'), after))
    for name, img in pictures:
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
    if after:
        back, corner, later = after
        overlay_back = agreement(back, standin, OVERLAY)
        at_corner = agreement(corner, standin, CORNER_SHIP, START_SHIP_PART)
        still = agreement(later, standin, CORNER_SHIP, START_SHIP_PART)
        print(f'after the return: overlay {overlay_back:.0%}; ship at the corner {at_corner:.0%}, '
              f'a second later {still:.0%}')
        if overlay_back < 0.5:
            print('the overlay is not drawn after the return')
            ok = False
        if at_corner < 0.9:
            print('after the return the ship did not answer the keys (not at the corner)')
            ok = False
        if still < 0.9:
            print('with no key held the ship left the corner: a key stayed down')
            ok = False
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
