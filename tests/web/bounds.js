// Content at the documented bounds, for the studio's tests: the shipped content with the master
// list filled to 20 graphics, each added one 20 frames of 512 x 512 pixels (the largest the
// studio shows) on a sheet of its own, with 10 looping animations of 20 frames: every picture
// the studio can be asked to show at once.
//
//   boundsContent(dataDir) -> {path: bytes}
'use strict';
const fs = require('fs');
const path = require('path');

const SIDE = 512, COLS = 5, ROWS = 4;

// An 8-bit bottom-up BMP with the palette as its colour table; `at(x, y, row)` fills a row.
function bmp8(width, height, palette, fillRow) {
  const offset = 14 + 40 + 1024, size = offset + width * height;
  const out = Buffer.alloc(size);
  out.write('BM', 0);
  out.writeUInt32LE(size, 2);
  out.writeUInt32LE(offset, 10);
  out.writeUInt32LE(40, 14);
  out.writeInt32LE(width, 18);
  out.writeInt32LE(height, 22);
  out.writeUInt16LE(1, 26);
  out.writeUInt16LE(8, 28);
  out.writeUInt32LE(width * height, 34);
  out.writeUInt32LE(256, 46);
  for (let i = 0; i < 256; i++) {
    out[54 + 4 * i] = palette[4 * i + 2];
    out[55 + 4 * i] = palette[4 * i + 1];
    out[56 + 4 * i] = palette[4 * i];
  }
  for (let y = 0; y < height; y++) fillRow(out.subarray(offset + (height - 1 - y) * width, offset + (height - y) * width), y);
  return out;
}

function boundsContent(data) {
  const files = {};
  const walk = (dir, prefix) => {
    for (const name of fs.readdirSync(dir).sort()) {
      const full = path.join(dir, name);
      if (fs.statSync(full).isDirectory()) walk(full, prefix + name + '/');
      else if (!/(^|\/)(Error\.txt|\.gitattributes)$|\.png$/.test(prefix + name)) files[prefix + name] = fs.readFileSync(full);
    }
  };
  walk(data, '');
  const palette = files['palette.pal'];
  const list = files['Graphics/MasterGraphics.txt'].toString().split('\n');
  const count = Number(list[0].trim().split(/\s+/)[0]);
  const names = [];
  for (let n = count; n < 20; n++) {
    const name = `Graphics/Bound${n}`;
    names.push(name + '.txt');
    files[name + '.bmp'] = bmp8(COLS * SIDE, ROWS * SIDE, palette, (row, y) => {
      for (let x = 0; x < row.length; x++) row[x] = 1 + (((x >> 3) + (y >> 3) + n) & 63);
    });
    let text = `${name}.bmp\n${SIDE} ${SIDE} 8 0\n0 0 ${SIDE} ${SIDE}\n4\n0\n`;
    for (let f = 0; f < COLS * ROWS; f++) text += `f ${f} ${f % COLS} ${Math.floor(f / COLS)} 0\n`;
    for (let a = 0; a < 10; a++) {
      text += `a ${a} 1 ${a} 20\n`;
      text += [...Array(20).keys()].map(k => (k + a) % 20).join(' ') + '\n';
    }
    files[name + '.txt'] = Buffer.from(text + 'e\n');
  }
  list[0] = list[0].replace(/^\s*\d+/, '20');
  const last = list.length - (list[list.length - 1] === '' ? 1 : 0);
  list.splice(last, 0, ...names);
  files['Graphics/MasterGraphics.txt'] = Buffer.from(list.join('\n'));
  return files;
}

module.exports = { boundsContent };
