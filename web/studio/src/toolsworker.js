// The worker the studio's tools module runs in (built as studio-tools-worker.js), so that no
// check, build or listing ever holds the page. It answers the page's messages one at a time:
//   {id, op: 'start', memoryBytes}     the module, in a memory that cannot grow past the budget
//   {id, op: 'put', path, bytes} / 'remove' / 'clear' / 'read'    its copy of the folder
//   {id, op: 'call', name, args, known}   one of programs/studio_tools.cpp's calls; `known` the
//                                      keys of the graphics whose pictures the page holds
//   {id, op: 'list'}                   starlane-check --list, its lines
// with {id, value, memoryBytes} or {id, error, file}: `file` is the folder's file the module
// opened last, the one it was working on when it failed. While a call runs, each file it opens
// is told to the page as {opened: path}, so that a call the page stops is placed too.
/* global StarlaneTools, importScripts */
const CONTENT = '/content';
const PAGE = 65536;

let tools = null, memory = null;
let printed = [];
let lastOpened = '';
let watching = false;             // a call of the tools is under way: tell the page its files

function inFolder(path) {
  const p = String(path);
  if (p.startsWith(CONTENT + '/')) return p.slice(CONTENT.length + 1);
  if (p.startsWith('/')) return '';
  return p.replace(/^(\.\/)+/, '');
}

async function start(memoryBytes) {
  importScripts('starlane-tools.js');
  memory = new WebAssembly.Memory({ initial: (32 << 20) / PAGE, maximum: Math.floor(memoryBytes / PAGE) });
  tools = await StarlaneTools({
    wasmMemory: memory,
    print: l => printed.push(l), printErr: l => printed.push(l),
  });
  tools.FS.mkdir(CONTENT);
  // Every file the module opens, as the calls open them: the last one names a failure's place.
  const open = tools.FS.open;
  tools.FS.open = function (path, ...rest) {
    const stream = open.call(this, path, ...rest);
    const name = typeof path === 'string' ? inFolder(path) : '';
    if (watching && name && name !== lastOpened && !tools.FS.isDir(stream.node.mode)) {
      lastOpened = name;
      self.postMessage({ opened: name });
    }
    return stream;
  };
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

// The tools give pictures as hex, two digits a byte: made bytes here, and handed over without
// a copy, so the page neither parses nor copies megabytes of text.
function hexToBytes(hex) {
  const out = new Uint8Array(hex.length >> 1);
  for (let i = 0; i < out.length; i++) {
    const a = hex.charCodeAt(2 * i), b = hex.charCodeAt(2 * i + 1);
    out[i] = ((a > 57 ? a - 87 : a - 48) << 4) | (b > 57 ? b - 87 : b - 48);
  }
  return out;
}

// FNV-1a of a text: what tells the page a picture is the one it drew before.
function digest(text) {
  let h = 0x811c9dc5;
  for (let i = 0; i < text.length; i++) h = Math.imul(h ^ text.charCodeAt(i), 16777619) >>> 0;
  return h.toString(16);
}

// A graphic whose key the page holds (`known`) goes without its frames, marked `same`.
function pictures(answer, moved, known) {
  if (typeof answer.pixels === 'string') {
    answer.pixels = hexToBytes(answer.pixels);
    moved.push(answer.pixels.buffer);
  }
  for (const g of Array.isArray(answer.graphics) ? answer.graphics : []) {
    g.key = digest(JSON.stringify({ ...g, frames: (g.frames || []).map(f => ({ ...f, pixels: digest(f.pixels) })) }) +
                   answer.palette);
    if (known.has(g.key)) {
      g.same = true;
      g.frames = [];
      continue;
    }
    for (const f of g.frames || []) {
      f.pixels = hexToBytes(f.pixels);
      moved.push(f.pixels.buffer);
    }
  }
}

function run(m, moved) {
  const FS = tools && tools.FS;
  switch (m.op) {
    case 'start': return start(m.memoryBytes);
    case 'put': mkdirs(FS, CONTENT + '/' + m.path); FS.writeFile(CONTENT + '/' + m.path, m.bytes); return null;
    case 'remove': try { FS.unlink(CONTENT + '/' + m.path); } catch (e) { /* not there */ } return null;
    case 'clear': removeTree(FS, CONTENT); return null;
    case 'read': {
      const bytes = FS.readFile(CONTENT + '/' + m.path);
      moved.push(bytes.buffer);
      return bytes;
    }
    case 'call': {
      FS.chdir(CONTENT);
      watching = true;
      const types = m.args.map(a => typeof a === 'number' ? 'number' : 'string');
      const answer = JSON.parse(tools.ccall(m.name, 'string', types, m.args));
      pictures(answer, moved, new Set(m.known || []));
      return answer;
    }
    case 'list':
      watching = true;
      printed = [];
      FS.chdir(CONTENT);
      tools.ccall('studioList', 'number', ['string'], ['.']);
      return printed.slice();
    default: throw new Error('no such call: ' + m.op);
  }
}

let queue = Promise.resolve();
self.onmessage = e => {
  const m = e.data;
  queue = queue.then(async () => {
    lastOpened = '';
    const moved = [];
    try {
      const value = await run(m, moved);
      watching = false;
      const memoryBytes = memory ? memory.buffer.byteLength : 0;
      self.postMessage({ id: m.id, value, memoryBytes }, moved);
    } catch (err) {
      watching = false;
      // An abort (out of memory, a trap) leaves the module dead: the page starts another.
      self.postMessage({ id: m.id, error: String(err && err.message || err), file: lastOpened });
    }
  });
};
