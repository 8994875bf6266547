// Links: a mod or a game carried in a URL's fragment, which the browser never sends to a
// server. One module for the studio (which makes mod links) and the game page (which plays
// them, and makes game links). The format is in docs/modding.md:
//
//   s1.DIGEST.VERSION.DATA   DIGEST: the shipped content the link was made against
//                            (contentDigest); VERSION: the Starlane it shipped with
//                            DATA: base64url of [unpacked size, a varint][raw deflate of the
//                            records, with linkDictionary(shipped content) as its dictionary]
//   a record:                [tag byte][varint n][n bytes of name, UTF-8][varint m][m bytes of data]
//
// A link is untrusted input: every size is bounded before it is used (the studio's zip
// bounds), inflating stops at the size the link claims, and each name passes checkName.
// Every refusal is an Error whose message the page shows as text.
import { Inflate, deflateSync } from 'fflate';
import { ZIP_LIMITS, checkName } from '../studio/src/zipin.js';

export const LINK_VERSION = 1;
// The longest link the page and the studio make: past it they offer the zip or the recording.
export const LINK_MOST = 64000;
// The recording reader's own bound (record/recording.h RECORDING_BYTES); the game enforces it
// again when it reads the recording.
export const RECORDING_BYTES = 32 << 20;
// What a folder holds that is not content: left out of a mod's difference.
export const NOT_CONTENT = /(^|\/)(Error\.txt|starlane\.rec|\.gitattributes)$|\.png$/;

const TAG = { file: 0x46, removed: 0x58, recording: 0x52, keys: 0x4b }; // F X R K

// ---- the shipped content's digest: SHA-256 over its files in name order, each as its name,
// a NUL, its size in decimal, a NUL and its bytes; the first 9 bytes in base64url (12 characters).

const K = new Uint32Array([
  0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
  0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
  0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
  0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
  0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
  0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
  0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
  0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2]);

export function sha256(bytes) {
  const h = new Uint32Array([0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19]);
  const padded = new Uint8Array(((bytes.length + 9 + 63) >> 6) << 6);
  padded.set(bytes);
  padded[bytes.length] = 0x80;
  const view = new DataView(padded.buffer);
  view.setUint32(padded.length - 8, Math.floor(bytes.length / 0x20000000));
  view.setUint32(padded.length - 4, (bytes.length << 3) >>> 0);
  const w = new Uint32Array(64);
  const rotr = (x, n) => (x >>> n) | (x << (32 - n));
  for (let at = 0; at < padded.length; at += 64) {
    for (let i = 0; i < 16; i++) w[i] = view.getUint32(at + 4 * i);
    for (let i = 16; i < 64; i++) {
      const s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >>> 3);
      const s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >>> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    let [a, b, c, d, e, f, g, k] = h;
    for (let i = 0; i < 64; i++) {
      const t1 = k + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[i] + w[i];
      const t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      k = g; g = f; f = e; e = (d + t1) >>> 0; d = c; c = b; b = a; a = (t1 + t2) >>> 0;
    }
    [a, b, c, d, e, f, g, k].forEach((v, i) => { h[i] = (h[i] + v) >>> 0; });
  }
  const out = new Uint8Array(32);
  for (let i = 0; i < 8; i++) new DataView(out.buffer).setUint32(4 * i, h[i]);
  return out;
}

const utf8 = s => new TextEncoder().encode(s);

// entries: [path, bytes] of the shipped content (what studio-content.zip holds).
export function contentDigest(entries) {
  const sorted = entries.filter(([p]) => !NOT_CONTENT.test(p))
    .sort((x, y) => (x[0] < y[0] ? -1 : x[0] > y[0] ? 1 : 0));
  const parts = [];
  for (const [path, bytes] of sorted) parts.push(utf8(`${path}\0${bytes.length}\0`), bytes);
  return toBase64url(sha256(concat(parts)).subarray(0, 9));
}

// The deflate dictionary both sides hold: the shipped content's smallest .bmp (its header and
// palette are every sheet's), then its .txt and .dpo files in name order, the last 32 KiB. A mod
// sends its changed files whole, and they cost little more than their changes.
export function linkDictionary(entries) {
  const sorted = entries.filter(([p]) => !NOT_CONTENT.test(p))
    .sort((x, y) => (x[0] < y[0] ? -1 : x[0] > y[0] ? 1 : 0));
  const bmps = sorted.filter(([p]) => /\.bmp$/i.test(p));
  const smallest = bmps.reduce((a, b) => (b[1].length < a[1].length ? b : a), bmps[0]);
  const parts = (smallest ? [smallest[1]] : []).concat(
    sorted.filter(([p]) => /\.(txt|dpo)$/i.test(p)).map(([, b]) => b));
  return concat(parts).slice(-32768);
}

// What a link is made against and read with: { digest, version, dictionary } of the shipped
// content (entries as studio-content.zip holds them).
export function shippedFor(entries, version) {
  return { digest: contentDigest(entries), version: version || '', dictionary: linkDictionary(entries) };
}

// ---- bytes

function concat(parts) {
  let n = 0;
  for (const p of parts) n += p.length;
  const out = new Uint8Array(n);
  n = 0;
  for (const p of parts) { out.set(p, n); n += p.length; }
  return out;
}

function varint(n) {
  const out = [];
  do { out.push((n % 128) | (n >= 128 ? 128 : 0)); n = Math.floor(n / 128); } while (n > 0);
  return Uint8Array.from(out);
}

// Reads a varint at r.at; refuses one past 2^42 (no size in a link is near it).
function readVarint(bytes, r) {
  let n = 0, scale = 1;
  for (;;) {
    if (r.at >= bytes.length) throw new Error('it is cut short');
    const b = bytes[r.at++];
    n += (b & 127) * scale;
    if (!(b & 128)) return n;
    scale *= 128;
    if (scale > 2 ** 42) throw new Error('it is damaged (a size past any bound)');
  }
}

export function toBase64url(bytes) {
  let s = '';
  for (let i = 0; i < bytes.length; i += 0x8000)
    s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
  return btoa(s).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text)) throw new Error('it holds characters a link does not have');
  if (text.length % 4 === 1) throw new Error('it is cut short or damaged');
  const s = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  const out = new Uint8Array(s.length);
  for (let i = 0; i < s.length; i++) out[i] = s.charCodeAt(i);
  return out;
}

// Raw inflate that never goes past `size` bytes of output: the input goes in 1 KiB at a time,
// so a deflate bomb is stopped within a MiB of its claim.
function inflateBounded(data, size, dictionary) {
  const chunks = [];
  let got = 0;
  const inflater = new Inflate({ dictionary }, chunk => {
    got += chunk.length;
    if (got > size) throw new Error('it unpacks to more than it says');
    chunks.push(chunk);
  });
  try {
    if (data.length === 0) throw new Error('no data');
    for (let i = 0; i < data.length; i += 1024)
      inflater.push(data.subarray(i, i + 1024), i + 1024 >= data.length);
  } catch (e) {
    if (e.message === 'it unpacks to more than it says') throw e;
    throw new Error('it is cut short or damaged (its data does not unpack)');
  }
  if (got !== size) throw new Error('it is cut short or damaged (it unpacks to less than it says)');
  return concat(chunks);
}

// ---- the recording's keys, packed: a recording whose lines are those the game writes is
// kept as its header and figures text and its ranges as varints, and unpacked to the very
// same text; anything else goes as text (tag R). Ranges: [gap from the last range's end + 1]
// [length - 1][the keys: a bitmask of a d w s space escape, bit 6 set when other key codes
// follow as a count and the codes].
const NAMED = ['a', 'd', 'w', 's', 'space', 'escape'];
const COMMENT_LINES = 64;   // before and after the ranges: a recording has four at most

function packKeys(text) {
  const lines = text.split('\n');
  if (lines.pop() !== '') return null;
  const head = [], ranges = [], tail = [];
  for (const line of lines) {
    const m = /^(\d+) (\d+)((?: [a-z0-9]+)+)$/.exec(line);
    if (!m) { (ranges.length ? tail : head).push(line); continue; }
    if (tail.length) return null;
    ranges.push([+m[1], +m[2], m[3].slice(1).split(' ')]);
  }
  if (head.length > COMMENT_LINES || tail.length > COMMENT_LINES) return null;
  const out = [varint(head.length)];
  for (const l of head) { const b = utf8(l); out.push(varint(b.length), b); }
  out.push(varint(tail.length));
  for (const l of tail) { const b = utf8(l); out.push(varint(b.length), b); }
  out.push(varint(ranges.length));
  let end = -1;
  for (const [first, last, keys] of ranges) {
    if (first <= end || last < first) return null;
    let mask = 0;
    const others = [];
    for (const k of keys) {
      const i = NAMED.indexOf(k);
      if (i >= 0) mask |= 1 << i;
      else others.push(+k);
    }
    if (others.length) mask |= 64;
    out.push(varint(first - end - 1), varint(last - first), varint(mask));
    if (others.length) out.push(varint(others.length), Uint8Array.from(others));
    end = last;
  }
  const packed = concat(out);
  return unpackKeys(packed) === text ? packed : null;   // only what comes back the same
}

function unpackKeys(bytes) {
  const r = { at: 0 };
  const dec = new TextDecoder();
  const lines = n => {
    if (n > COMMENT_LINES) throw new Error('it is damaged (a recording of other lines)');
    const out = [];
    for (let i = 0; i < n; i++) {
      const len = readVarint(bytes, r);
      if (r.at + len > bytes.length) throw new Error('it is cut short');
      out.push(dec.decode(bytes.subarray(r.at, r.at + len)));
      r.at += len;
    }
    return out;
  };
  const head = lines(readVarint(bytes, r)), tail = lines(readVarint(bytes, r));
  const count = readVarint(bytes, r);
  const body = [];
  let end = -1, length = 0;
  for (let i = 0; i < count; i++) {
    const first = end + 1 + readVarint(bytes, r);
    const last = first + readVarint(bytes, r);
    const mask = readVarint(bytes, r);
    // The keys in code order, as the game writes them: escape 1, a 30, s 31, d 32, w 17, space 57.
    const codes = [];
    const named = { 0: 30, 1: 32, 2: 17, 3: 31, 4: 57, 5: 1 };
    for (let b = 0; b < 6; b++) if (mask & (1 << b)) codes.push([named[b], NAMED[b]]);
    if (mask & 64) {
      const n = readVarint(bytes, r);
      if (r.at + n > bytes.length) throw new Error('it is cut short');
      for (let k = 0; k < n; k++) codes.push([bytes[r.at + k], String(bytes[r.at + k])]);
      r.at += n;
    }
    codes.sort((x, y) => x[0] - y[0]);
    const line = `${first} ${last} ` + codes.map(c => c[1]).join(' ');
    body.push(line);
    end = last;
    length += line.length + 1;
    if (length > RECORDING_BYTES) throw new Error('its recording is longer than any recording');
  }
  return [...head, ...body, ...tail].map(l => l + '\n').join('');
}

// ---- links

// A link's fragment (without '#') for `what`: { files: [[path, bytes]], removed: [path],
// recording: text or undefined }, made against `shipped` (shippedFor).
export function makeLink(what, shipped) {
  const records = [];
  const add = (tag, name, data) => {
    const n = utf8(name);
    records.push(Uint8Array.of(tag), varint(n.length), n, varint(data.length), data);
  };
  for (const [path, bytes] of what.files || []) { checkName(path); add(TAG.file, path, bytes); }
  for (const path of what.removed || []) { checkName(path); add(TAG.removed, path, new Uint8Array(0)); }
  if (what.recording !== undefined) {
    const packed = packKeys(what.recording);
    if (packed) add(TAG.keys, '', packed);
    else add(TAG.recording, '', utf8(what.recording));
  }
  const payload = concat(records);
  const packed = deflateSync(payload, { level: 9, dictionary: shipped.dictionary });
  const data = concat([varint(payload.length), packed]);
  return `s${LINK_VERSION}.${shipped.digest}.${shipped.version}.${toBase64url(data)}`;
}

// What a fragment carries: { digest, version, files, removed, recording (text or null) },
// refused with its reason unless it was made against `shipped` (shippedFor).
export function readLink(fragment, shipped) {
  const text = fragment.replace(/^#/, '');
  const m = /^s(\d+)\.([A-Za-z0-9_-]*)\.([0-9A-Za-z.+-]{0,40})\.([A-Za-z0-9_-]*)$/s.exec(text);
  if (!m) {
    if (/^s\d+(\.|$)/.test(text) && !/[^A-Za-z0-9_.+-]/.test(text)) throw new Error('it is cut short');
    if (/^s\d+\./.test(text)) throw new Error('it holds characters a link does not have');
    throw new Error('it is not a Starlane link');
  }
  const [, format, digest, version, data] = m;
  if (+format !== LINK_VERSION)
    throw new Error(`it is in link format ${format}, and this page reads format ${LINK_VERSION}: ` +
                    'open it on the Starlane it was made with');
  if (digest !== shipped.digest)
    throw new Error(`it was made for the shipped content of Starlane ${version || '(a version not named)'} ` +
                    `(digest ${digest || 'none'}), and this page has other content ` +
                    `(Starlane ${shipped.version}, digest ${shipped.digest}): open it on the page of ` +
                    `Starlane ${version || 'it was made with'}`);
  if (data.length > (ZIP_LIMITS.packedBytes / 3) * 4) throw new Error('it is larger than 64 MiB');
  const bytes = fromBase64url(data);
  const r = { at: 0 };
  const size = readVarint(bytes, r);
  if (size > ZIP_LIMITS.totalBytes + RECORDING_BYTES)
    throw new Error('it unpacks to more than 256 MiB');
  const payload = inflateBounded(bytes.subarray(r.at), size, shipped.dictionary);
  const out = { digest, version, files: [], removed: [], recording: null };
  const dec = new TextDecoder('utf-8', { fatal: true });
  const p = { at: 0 };
  let total = 0;
  while (p.at < payload.length) {
    const tag = payload[p.at++];
    const nameLength = readVarint(payload, p);
    if (nameLength > 1024 || p.at + nameLength > payload.length) throw new Error('it is damaged (a name past its end)');
    let name;
    try { name = dec.decode(payload.subarray(p.at, p.at + nameLength)); } catch (e) {
      throw new Error('it is damaged (a name that is not text)');
    }
    p.at += nameLength;
    const length = readVarint(payload, p);
    if (p.at + length > payload.length) throw new Error('it is damaged (a file past its end)');
    const data = payload.subarray(p.at, p.at + length);
    p.at += length;
    if (tag === TAG.file || tag === TAG.removed) {
      checkName(name);
      if (out.files.length + out.removed.length >= ZIP_LIMITS.files)
        throw new Error(`it holds more than ${ZIP_LIMITS.files} files`);
      if (length > ZIP_LIMITS.fileBytes) throw new Error(`${JSON.stringify(name)} unpacks to more than 128 MiB`);
      total += length;
      if (total > ZIP_LIMITS.totalBytes) throw new Error('it unpacks to more than 256 MiB');
      if (tag === TAG.file) out.files.push([name, data.slice()]);
      else out.removed.push(name);
    } else if (tag === TAG.recording || tag === TAG.keys) {
      if (length > RECORDING_BYTES) throw new Error('its recording is longer than any recording');
      if (tag === TAG.keys) out.recording = unpackKeys(data);
      else {
        try { out.recording = dec.decode(data); } catch (e) {
          throw new Error('it is damaged (a recording that is not text)');
        }
      }
    } else throw new Error(`it holds a part this page does not know (${tag}): made by a newer Starlane?`);
  }
  return out;
}

// The folder's difference from the shipped content: the files added or changed, whole, and
// the shipped names it no longer has. Both: [path, bytes] lists or Maps.
export function difference(shippedEntries, folderEntries) {
  const shipped = new Map(shippedEntries), folder = new Map(folderEntries);
  const same = (a, b) => a.length === b.length && a.every((v, i) => v === b[i]);
  const files = [], removed = [];
  for (const path of [...folder.keys()].sort()) {
    const bytes = folder.get(path);
    if (NOT_CONTENT.test(path)) continue;
    const old = shipped.get(path);
    if (!old || !same(old, bytes)) files.push([path, bytes]);
  }
  for (const path of [...shipped.keys()].sort())
    if (!NOT_CONTENT.test(path) && !folder.has(path)) removed.push(path);
  return { files, removed };
}
