// "Download web build": the game's page, script and wasm and the studio as this site serves
// them, with the content made anew from the folder, as `make web DATA=folder` makes it: the
// game's files one after the other in starlane.data and their places in starlane-files.json
// (data the page reads, never code), and the whole folder as the studio's studio-content.zip.
import { zipSync } from 'fflate';
import { contentDigest } from '../../links/codec.js';

// Made anew from the folder; every other file of the site (its list, site-files.txt, is
// written by the build) is copied as this site serves it.
const MADE = new Set(['starlane-files.json', 'starlane.data', 'studio-content.zip', 'links-content.json', 'sw.js']);
const NOT_SOURCE = /(^|\/)(Error\.txt|starlane\.rec|\.gitattributes)$|\.png$/i;
// What the game does not read, as the build leaves it out of the package.
const NOT_PACKED = /(^|\/)(Error\.txt|starlane\.rec)$|\.(png|sheet|colors|gitattributes)$/i;

// A file of this site, or an Error saying which one could not be had and why.
async function fetchBytes(name) {
  let r;
  try {
    r = await fetch(name, { cache: 'no-cache' });
  } catch (e) {
    throw new Error(`${name} could not be fetched from this site (${e.message})`);
  }
  if (!r.ok) throw new Error(`${name} could not be fetched from this site (${r.status} ${r.statusText})`);
  return new Uint8Array(await r.arrayBuffer());
}

// The service worker under a release name of its own: the build's version and a hash of this
// build's files, so that a host that served another build replaces its cache.
async function worker(out) {
  const text = new TextDecoder().decode(await fetchBytes('sw.js'));
  // FNV-1a over every file, in name order: enough to tell two builds apart.
  let h = 0x811c9dc5;
  for (const n of Object.keys(out).sort())
    for (const bytes of [new TextEncoder().encode(n), out[n]])
      for (let i = 0; i < bytes.length; i++) h = Math.imul(h ^ bytes[i], 16777619) >>> 0;
  const digest = h.toString(16).padStart(8, '0');
  const renamed = text.replace(/const RELEASE = '(starlane-[^']*?)-[0-9a-f]+';/, `const RELEASE = '$1-${digest}';`);
  if (renamed === text) throw new Error('sw.js of this site has no release name');
  return new TextEncoder().encode(renamed);
}

export async function webBuild(files) {
  const out = {};
  const list = new TextDecoder().decode(await fetchBytes('site-files.txt'));
  const siteFiles = list.split('\n').filter(Boolean);
  for (const name of siteFiles) if (!MADE.has(name)) out[name] = await fetchBytes(name);
  const paths = [...files.keys()].filter(p => !NOT_PACKED.test(p)).sort();
  let size = 0;
  const packed = [];
  for (const p of paths) {
    packed.push({ filename: '/game/' + p, start: size, end: size + files.get(p).length });
    size += files.get(p).length;
  }
  const data = new Uint8Array(size);
  for (const [i, p] of paths.entries()) data.set(files.get(p), packed[i].start);
  out['starlane-files.json'] = new TextEncoder().encode(JSON.stringify({ files: packed }));
  out['starlane.data'] = data;
  const sources = {};
  for (const [p, bytes] of files) if (!NOT_SOURCE.test(p)) sources[p] = bytes;
  out['studio-content.zip'] = zipSync(sources, { level: 9 });
  // Links are made against this content now: its digest, under the version this site serves.
  const about = JSON.parse(new TextDecoder().decode(await fetchBytes('links-content.json')));
  out['links-content.json'] = new TextEncoder().encode(JSON.stringify(
    { digest: contentDigest(Object.entries(sources)), version: about.version }) + '\n');
  out['sw.js'] = await worker(out);
  return new Blob([zipSync({ 'starlane-web': out }, { level: 6 })], { type: 'application/zip' });
}
