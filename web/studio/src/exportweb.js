// "Download web build": the game's page, script and wasm and the studio as this site serves
// them, with the content made anew from the folder, as `make web DATA=folder` makes it: the
// game's files one after the other in starlane.data and their places in the script's package
// list, and the whole folder as the studio's studio-content.zip.
import { zipSync } from 'fflate';
import { contentDigest } from '../../links/codec.js';

// Made anew from the folder; every other file of the site (its list, site-files.txt, is
// written by the build) is copied as this site serves it.
const MADE = new Set(['starlane.js', 'starlane.data', 'studio-content.zip', 'links-content.json', 'sw.js']);
const NOT_SOURCE = /(^|\/)(Error\.txt|starlane\.rec|\.gitattributes)$|\.png$/i;
// What the game does not read, as the build leaves it out of the package.
const NOT_PACKED = /(^|\/)(Error\.txt|starlane\.rec)$|\.(png|sheet|colors|gitattributes)$/i;

async function fetchBytes(name) {
  const r = await fetch(name);
  if (!r.ok) throw new Error(name + ': ' + r.status);
  return new Uint8Array(await r.arrayBuffer());
}

// The service worker under a cache name of its own: the build's version and a hash of this
// build's files, so that a host that served another build replaces its cache.
async function worker(out) {
  const text = new TextDecoder().decode(await fetchBytes('sw.js'));
  // FNV-1a over every file, in name order: enough to tell two builds apart.
  let h = 0x811c9dc5;
  for (const n of Object.keys(out).sort())
    for (const bytes of [new TextEncoder().encode(n), out[n]])
      for (let i = 0; i < bytes.length; i++) h = Math.imul(h ^ bytes[i], 16777619) >>> 0;
  const digest = h.toString(16).padStart(8, '0');
  const renamed = text.replace(/const CACHE = '(starlane-[^']*?)-[0-9a-f]+';/, `const CACHE = '$1-${digest}';`);
  if (renamed === text) throw new Error('sw.js has no cache name');
  return new TextEncoder().encode(renamed);
}

export async function webBuild(files) {
  const out = {};
  const list = new TextDecoder().decode(await fetchBytes('site-files.txt'));
  const siteFiles = list.split('\n').filter(Boolean);
  for (const name of siteFiles) if (!MADE.has(name)) out[name] = await fetchBytes(name);
  let script = new TextDecoder().decode(await fetchBytes('starlane.js'));
  const paths = [...files.keys()].filter(p => !NOT_PACKED.test(p)).sort();
  let size = 0;
  const packed = [];
  for (const p of paths) {
    packed.push({ filename: '/game/' + p, start: size, end: size + files.get(p).length });
    size += files.get(p).length;
  }
  const data = new Uint8Array(size);
  for (const [i, p] of paths.entries()) data.set(files.get(p), packed[i].start);
  const at = script.indexOf('loadPackage({"files":');
  const end = at < 0 ? -1 : script.indexOf('})', at);
  if (end < 0) throw new Error('starlane.js has no content package list');
  const old = JSON.parse(script.slice(at + 'loadPackage('.length, end + 1));
  const metadata = { ...old, files: packed, remote_package_size: size };
  script = script.slice(0, at) + 'loadPackage(' + JSON.stringify(metadata) + script.slice(end + 1);
  // Folders the shipped package did not have are made before the files go in.
  const dirs = new Set();
  for (const p of paths) {
    const parts = p.split('/').slice(0, -1);
    for (let k = 1; k <= parts.length; k++) dirs.add(parts.slice(0, k).join('/'));
  }
  const made = [...dirs].sort().map(d => {
    const slash = d.lastIndexOf('/');
    const parent = '/game' + (slash < 0 ? '' : '/' + d.slice(0, slash));
    return `try{Module["FS_createPath"](${JSON.stringify(parent)},${JSON.stringify(d.slice(slash + 1))},true,true)}catch(e){}`;
  }).join(';');
  const first = script.indexOf('Module["FS_createPath"](');
  if (first >= 0) script = script.slice(0, first) + made + ';' + script.slice(first);
  out['starlane.js'] = new TextEncoder().encode(script);
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
