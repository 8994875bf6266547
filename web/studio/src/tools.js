// The studio's tools module (starlane-tools.wasm: the checker, the listing, the content
// builder's sheet reader), working on a copy of the folder in its memory file system. Every
// call answers with a promise, so that the module can work away from the page.
const CONTENT = '/content';

let tools = null;
let printed = [];                 // what the tools module printed since it was last read

export async function startTools() {
  // The listing prints as starlane-check --list does; its lines are caught here.
  tools = await StarlaneTools({ print: l => printed.push(l), printErr: l => printed.push(l) });
  tools.FS.mkdir(CONTENT);
}

function mkdirs(FS, path) {
  const parts = path.split('/').slice(1, -1);
  let dir = '';
  for (const p of parts) {
    dir += '/' + p;
    try { FS.mkdir(dir); } catch (e) { /* there already */ }
  }
}

function removeTree(FS, dir) {
  for (const name of FS.readdir(dir)) {
    if (name === '.' || name === '..') continue;
    const p = dir + '/' + name;
    if (FS.isDir(FS.lstat(p).mode)) { removeTree(FS, p); FS.rmdir(p); } else FS.unlink(p);
  }
}

// The module's copy of the folder, kept the same as the folder (folder.js).
export async function putFile(path, bytes) {
  mkdirs(tools.FS, CONTENT + '/' + path);
  tools.FS.writeFile(CONTENT + '/' + path, bytes);
}

export async function removeFile(path) {
  try { tools.FS.unlink(CONTENT + '/' + path); } catch (e) { /* not there */ }
}

export async function clearFiles() {
  removeTree(tools.FS, CONTENT);
}

// A file the module wrote (a built picture, a painted sheet).
export async function readFile(path) {
  return tools.FS.readFile(CONTENT + '/' + path);
}

// One of programs/studio_tools.cpp's calls, in the folder: its JSON answer, parsed.
export async function toolsCall(name, ...args) {
  tools.FS.chdir(CONTENT);
  const types = args.map(a => typeof a === 'number' ? 'number' : 'string');
  return JSON.parse(tools.ccall(name, 'string', types, args));
}

// starlane-check --list on the folder: its lines, as the native tool prints them.
export async function listing() {
  printed = [];
  tools.FS.chdir(CONTENT);
  tools.ccall('studioList', 'number', ['string'], ['.']);
  return printed.slice();
}
