// Pictures as the tools give them: palette indices drawn through the palette on a canvas,
// and the palette to choose a colour from. The pixels come from the game's readers (the tools
// module); nothing here reads a file format.

// The tools give bytes as hex, two digits a byte (the palette), or as bytes already (the
// pictures, from the tools' worker): a copy of `count` bytes either way.
export function hexBytes(hex, count) {
  if (hex instanceof Uint8Array) return hex.slice(0, count);
  const out = new Uint8Array(count);
  for (let i = 0; i < count && 2 * i < hex.length; i++) out[i] = parseInt(hex.substr(2 * i, 2), 16);
  return out;
}

// Palette indices (bytes, one a pixel, as the tools' worker hands them over) drawn at `scale`;
// `key` shows as transparent.
export function pixelCanvas(pixels, width, height, rgb, scale, key) {
  const c = document.createElement('canvas');
  c.width = width; c.height = height;
  c.className = 'pixels';
  c.style.width = width * scale + 'px';
  c.style.height = height * scale + 'px';
  const g = c.getContext('2d');
  const img = g.createImageData(width, height);
  for (let i = 0; i < width * height; i++) {
    const v = pixels[i];
    img.data[4 * i] = rgb[3 * v];
    img.data[4 * i + 1] = rgb[3 * v + 1];
    img.data[4 * i + 2] = rgb[3 * v + 2];
    img.data[4 * i + 3] = v === key ? 0 : 255;
  }
  g.putImageData(img, 0, 0);
  return c;
}

// The 256 entries to paint with, the chosen one outlined; a click chooses one in every
// palette on the page.
export function paletteChooser(rgb, chosen, choose) {
  const pal = document.createElement('div');
  pal.className = 'palette';
  for (let i = 0; i < 256; i++) {
    const d = document.createElement('div');
    d.style.background = `rgb(${rgb[3 * i]},${rgb[3 * i + 1]},${rgb[3 * i + 2]})`;
    d.title = 'entry ' + i;
    if (i === chosen) d.className = 'chosen';
    d.addEventListener('click', () => {
      choose(i);
      for (const each of document.querySelectorAll('.palette'))
        for (const [k, other] of [...each.children].entries()) other.className = k === i ? 'chosen' : '';
    });
    pal.appendChild(d);
  }
  return pal;
}
