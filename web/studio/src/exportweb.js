// "Download web build": the game's page, script and wasm and the studio as this site serves
// them, with the content made anew from the folder, as `make web DATA=folder` makes it: the
// game's files one after the other in starlane.data and their places in the script's package
// list, and the whole folder as the studio's studio-content.zip.
import { zipSync } from 'fflate';

// The game's page, and the studio beside it, which opens with this content.
const PAGE_FILES = ['index.html', 'page.js', 'starlane.wasm', 'studio.html', 'studio.js',
                    'starlane-tools.js', 'starlane-tools.wasm', 'play.html', 'play.js'];
const NOT_SOURCE = /(^|\/)(Error\.txt|starlane\.rec|\.gitattributes)$|\.png$/i;
// What the game does not read, as the build leaves it out of the package.
const NOT_PACKED = /(^|\/)(Error\.txt|starlane\.rec)$|\.(png|sheet|colors|gitattributes)$/i;

async function fetchBytes(name) {
  const r = await fetch(name);
  if (!r.ok) throw new Error(name + ': ' + r.status);
  return new Uint8Array(await r.arrayBuffer());
}

export async function webBuild(files) {
  const out = {};
  for (const name of PAGE_FILES) out[name] = await fetchBytes(name);
  let script = new TextDecoder().decode(await fetchBytes('starlane.js'));
  const paths = [...files.keys()].filter(p => !NOT_PACKED.test(p)).sort();
  let size = 0;
  const list = [];
  for (const p of paths) {
    list.push({ filename: '/game/' + p, start: size, end: size + files.get(p).length });
    size += files.get(p).length;
  }
  const data = new Uint8Array(size);
  for (const [i, p] of paths.entries()) data.set(files.get(p), list[i].start);
  const at = script.indexOf('loadPackage({"files":');
  const end = at < 0 ? -1 : script.indexOf('})', at);
  if (end < 0) throw new Error('starlane.js has no content package list');
  const old = JSON.parse(script.slice(at + 'loadPackage('.length, end + 1));
  const metadata = { ...old, files: list, remote_package_size: size };
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
  return new Blob([zipSync({ 'starlane-web': out }, { level: 6 })], { type: 'application/zip' });
}
