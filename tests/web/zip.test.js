// The studio's zip reader on zips that lie, each row a zip and what the page says of it: sizes
// that hide a 1 GiB stream, a flipped byte, a cut entry, a name twice, names that differ only
// in letter case; and a good zip opened whole.  (node --test, make web-test)
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const zlib = require('zlib');
const { zipSync } = require('../../web/studio/node_modules/fflate');


// A zip written by hand, so that it can say what it likes: each entry's name, method, packed
// bytes, and the CRC and unpacked size it declares; `at` reuses an earlier entry's data.
const u32 = n => { const b = Buffer.alloc(4); b.writeUInt32LE(n); return b; };
const u16 = n => u32(n).subarray(0, 2);
function zipOf(entries) {
  const parts = [], central = [], offsets = [];
  let offset = 0;
  for (const [i, e] of entries.entries()) {
    const name = Buffer.from(e.name), packed = entries[e.at ?? i].packed;
    offsets.push(e.at === undefined ? offset : offsets[e.at]);
    if (e.at === undefined) {
      parts.push(u32(0x04034b50), Buffer.alloc(4), u16(e.method), Buffer.alloc(16), u16(name.length), u16(0), name, packed);
      offset += 30 + name.length + packed.length;
    }
    central.push(u32(0x02014b50), Buffer.alloc(6), u16(e.method), Buffer.alloc(4), u32(e.crc), u32(packed.length),
                 u32(e.size), u16(name.length), Buffer.alloc(12), u32(offsets[i]), name);
  }
  const dir = Buffer.concat(central);
  return new Uint8Array(Buffer.concat([...parts, dir, u32(0x06054b50), Buffer.alloc(4), u16(entries.length),
                                       u16(entries.length), u32(dir.length), u32(offset), u16(0)]));
}

// 1 GiB of zeros as one deflate stream of about 1 MB (run-length packing: half a second).
const gib = zlib.deflateRawSync(Buffer.alloc(1 << 30), { strategy: zlib.constants.Z_RLE, level: 1 });
const text = Buffer.from('Name = Dart\nGraphic = 2\n'.repeat(40));
const deflated = zlib.deflateRawSync(text);
const honest = { method: 8, packed: deflated, crc: zlib.crc32(text), size: text.length };

const stored = zipSync({ 'palette.pal': new Uint8Array(1024).fill(7) }, { level: 0 });
const flipped = stored.slice();
flipped[30 + 'palette.pal'.length + 100] ^= 1;

const rows = [
  ['sizes hiding a 1 GiB stream', zipOf(['a', 'b', 'c', 'd', 'e', 'f'].map((name, i) =>
    ({ name: `Enemies/${name}.txt`, method: 8, packed: gib, crc: 0, size: 10, at: i ? 0 : undefined }))),
   /^"Enemies\/a\.txt" unpacks to more than the 10 bytes the zip says it holds$/],
  ['a flipped byte', flipped, /^"palette\.pal" is damaged: its CRC-32 does not match$/],
  ['a cut entry', zipOf([{ ...honest, name: 'Enemies/Dart.txt', packed: deflated.subarray(0, 20) }]),
   /^"Enemies\/Dart\.txt" is damaged: unexpected EOF$/],
  ['a name twice', zipOf([{ ...honest, name: 'palette.pal' }, { ...honest, name: 'palette.pal' }]),
   /^the name "palette\.pal" is in the zip twice$/],
  ['case twins', zipSync({ 'Enemies/MasterEnemies.txt': text, 'ENEMIES/MasterEnemies.txt': text }),
   /^the names "Enemies\/MasterEnemies\.txt" and "ENEMIES\/MasterEnemies\.txt" differ only in letter case/],
  ['a good zip', zipSync({ 'mod/palette.pal': new Uint8Array(1024), 'mod/Enemies/Dart.txt': text }), null],
];

test('zips are read honestly', async t => {
  const { readZip } = await import('../../web/studio/src/zipin.js');
  for (const [what, zip, refusal] of rows) {
    const started = process.hrtime.bigint();
    let said = null, files = null;
    try { files = readZip(zip); } catch (e) { said = e.message; }
    t.diagnostic(`${what} (${zip.length} bytes): ${said ?? 'opened'} in ` +
                 `${Number(process.hrtime.bigint() - started) / 1e6} ms`);
    if (refusal) assert.match(String(said), refusal, what);
    else assert.deepStrictEqual(files.map(([n, b]) => [n, b.length]),
                                [['palette.pal', 1024], ['Enemies/Dart.txt', text.length]], what);
  }
});
