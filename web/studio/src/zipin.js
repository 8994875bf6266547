// Content from elsewhere is untrusted: a zip is read only within these bounds, and only names
// that stay inside the folder are taken. Every refusal is an Error whose message the page shows
// as text.
import { Inflate, strFromU8 } from 'fflate';

export const ZIP_LIMITS = {
  packedBytes: 64 * 1024 * 1024,    // the zip itself
  totalBytes: 256 * 1024 * 1024,    // everything in it, unpacked
  fileBytes: 128 * 1024 * 1024,     // one file: the content builder's bound on a source
  files: 4096,
};

const shownName = path => JSON.stringify(path.length > 80 ? path.slice(0, 80) + '...' : path);

// A path inside the folder: relative, no "..", no backslash, no markup or control characters.
export function checkName(path) {
  const shown = shownName(path);
  if (!path || path.startsWith('/') || /^[A-Za-z]:/.test(path) || path.includes('\\'))
    throw new Error(`the name ${shown} is not a path inside the folder`);
  if (path.split('/').some(part => part === '..' || part === '.' || part === ''))
    throw new Error(`the name ${shown} leaves the folder`);
  if (/[\u0000-\u001f<>"'&`\u007f]/.test(path))
    throw new Error(`the name ${shown} holds a character a content name may not have`);
  if (path.length > 255) throw new Error(`the name ${shown} is too long`);
}

// The zip's CRC-32, four bytes a step (tables t = 1..3 carry a byte through t more steps):
// twice as fast as a byte a step, 0.12 s for 100 MB.
const CRC = new Int32Array(4 * 256);
for (let n = 0; n < 256; n++) {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  CRC[n] = c;
}
for (let i = 256; i < 4 * 256; i++) CRC[i] = (CRC[i - 256] >>> 8) ^ CRC[CRC[i - 256] & 255];
function crc32(bytes) {
  let c = -1, i = 0;
  for (const end = bytes.length - 3; i < end; i += 4) {
    c ^= bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | bytes[i + 3] << 24;
    c = CRC[768 + (c & 255)] ^ CRC[512 + ((c >>> 8) & 255)] ^ CRC[256 + ((c >>> 16) & 255)] ^ CRC[c >>> 24];
  }
  for (; i < bytes.length; i++) c = CRC[(c ^ bytes[i]) & 255] ^ (c >>> 8);
  return ~c >>> 0;
}

// A deflated entry inflated into exactly the size the zip declares for it, fed a slice at a
// time, so that a stream which goes on past that size is stopped soon after: a slice inflates
// to at most about 1032 times its size, and is kept near what is still to come.
function inflateDeclared(packed, size, shown) {
  const out = new Uint8Array(size);
  let at = 0;
  const inflater = new Inflate(chunk => {
    if (at + chunk.length > size)
      throw new Error(`${shown} unpacks to more than the ${size} bytes the zip says it holds`);
    out.set(chunk, at);
    at += chunk.length;
  });
  for (let i = 0, slice = 0; i < packed.length || i === 0; i += slice) {
    slice = Math.min(Math.max(Math.ceil((size - at) / 1032), 4096), 1 << 20);
    inflater.push(packed.subarray(i, i + slice), i + slice >= packed.length);
  }
  if (at !== size) throw new Error(`${shown} is cut short: it unpacks to ${at} of its ${size} bytes`);
  return out;
}

// The zip's own table of its files (its central directory), each entry's name, method, CRC,
// sizes and where its data starts. Archives past 4 GiB (ZIP64) are far beyond the bounds.
function directory(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const u16 = at => view.getUint16(at, true), u32 = at => view.getUint32(at, true);
  const damaged = new Error('it is not a zip, or a damaged one');
  let end = bytes.length - 22;
  while (end >= 0 && !(u32(end) === 0x06054b50 && end + 22 + u16(end + 20) <= bytes.length)) {
    if (bytes.length - end > 22 + 65535) throw damaged;
    end--;
  }
  if (end < 0) throw damaged;
  const count = u16(end + 10);
  let at = u32(end + 16);
  if (count === 0xffff || at === 0xffffffff) throw new Error('it is a ZIP64 archive, larger than any content');
  if (count > ZIP_LIMITS.files) throw new Error(`more than ${ZIP_LIMITS.files} files`);
  const entries = [];
  for (let i = 0; i < count; i++) {
    if (at + 46 > bytes.length || u32(at) !== 0x02014b50) throw damaged;
    const flags = u16(at + 8), nameLength = u16(at + 28);
    if (at + 46 + nameLength > bytes.length) throw damaged;
    const name = strFromU8(bytes.subarray(at + 46, at + 46 + nameLength), !(flags & 0x800));
    const local = u32(at + 42);
    const entry = { name, flags, method: u16(at + 10), crc: u32(at + 16), packedSize: u32(at + 20),
                    size: u32(at + 24), start: -1 };
    if (local + 30 <= bytes.length && u32(local) === 0x04034b50)
      entry.start = local + 30 + u16(local + 26) + u16(local + 28);
    entries.push(entry);
    at += 46 + nameLength + u16(at + 30) + u16(at + 32);
  }
  return entries;
}

// [path, bytes] of every file in the zip, a common top folder taken off. Every name, and the
// sizes the zip declares, are checked before anything is inflated; each file is inflated to its
// declared size and no further, and must match its CRC-32.
export function readZip(bytes) {
  if (bytes.length > ZIP_LIMITS.packedBytes) throw new Error('the zip is larger than 64 MiB');
  const entries = directory(bytes).filter(e => !e.name.endsWith('/'));
  const seen = new Map();
  let total = 0;
  for (const e of entries) {
    checkName(e.name);
    const folded = e.name.toLowerCase(), twin = seen.get(folded);
    if (twin === e.name) throw new Error(`the name ${shownName(e.name)} is in the zip twice`);
    if (twin !== undefined)
      throw new Error(`the names ${shownName(twin)} and ${shownName(e.name)} differ only in letter ` +
                      'case, and name one file where letter case is not told apart (Windows, macOS)');
    seen.set(folded, e.name);
    if (e.size > ZIP_LIMITS.fileBytes) throw new Error(`${shownName(e.name)} unpacks to more than 128 MiB`);
    total += e.size;
    if (total > ZIP_LIMITS.totalBytes) throw new Error('it unpacks to more than 256 MiB');
  }
  const files = entries.map(e => {
    const shown = shownName(e.name);
    if (e.flags & 1) throw new Error(`${shown} is encrypted`);
    if (e.method !== 0 && e.method !== 8)
      throw new Error(`${shown} is packed in a way the studio does not read (method ${e.method})`);
    if (e.start < 0 || e.start + e.packedSize > bytes.length) throw new Error(`${shown} is cut short`);
    const packed = bytes.subarray(e.start, e.start + e.packedSize);
    let data;
    if (e.method === 0) {
      if (e.packedSize !== e.size) throw new Error(`${shown} is damaged: its two sizes differ`);
      data = packed.slice();
    } else {
      try {
        data = inflateDeclared(packed, e.size, shown);
      } catch (error) {
        throw error.code === undefined ? error : new Error(`${shown} is damaged: ${error.message}`);
      }
    }
    if (crc32(data) !== e.crc) throw new Error(`${shown} is damaged: its CRC-32 does not match`);
    return [e.name, data];
  });
  // A zip of one folder: its content is the folder.
  const names = files.map(f => f[0]);
  const top = names.length && names.every(n => n.includes('/')) ? names[0].split('/')[0] + '/' : '';
  const strip = top && names.every(n => n.startsWith(top)) ? top.length : 0;
  return files.map(([n, data]) => [n.slice(strip), data]);
}
