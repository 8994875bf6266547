// Starlane Studio: the content folder in the browser's storage, an editor over it, and the
// game's own tools (starlane-tools.wasm: the checker, the listing, the content builder) run on
// it after every change. This file holds the files and draws the page; every verdict, line
// and picture comes from the tools module, which reads the formats with the game's code.
import { EditorView, basicSetup } from 'codemirror';
import { EditorState } from '@codemirror/state';
import { setDiagnostics, lintGutter } from '@codemirror/lint';
import { zipSync } from 'fflate';
import { loadFolder, saveFile, deleteFile, clearFolder } from './store.js';
import { readZip, checkName, ZIP_LIMITS } from './zipin.js';
import { pixelCanvas, paletteChooser, hexBytes } from './pictures.js';

const $ = id => document.getElementById(id);
const CONTENT = '/content';       // the folder in the tools module's memory file system
const CHECK_DELAY_MS = 250;       // after the last key
const TEXT_FILE = /\.(txt|dpo|sheet|colors)$/i;

let tools = null;                 // the tools module
let printed = [];                 // what the tools module printed since it was last read
const files = new Map();          // path -> Uint8Array, the folder being edited
let openPath = null;
let editor = null;
let problems = [];                // {file, line, severity, text}
let report = null;                // the checker's last answer
let graphics = null;              // the listing of the graphics, as the game cut them
let checkTimer = 0;
let checked = null;               // a promise of the check under way
let chosenColour = 1;
let sourcesChanged = false;       // a picture source was written since the pictures were built
const SOURCE_FILE = /\.(sheet|colors)$/i;

function status(text) { $('status').textContent = text; }
function message(text) { $('message').textContent = text; }

// ---- The folder in the tools module's file system, kept the same as `files`

function mkdirs(FS, path) {
  const parts = path.split('/').slice(1, -1);
  let dir = '';
  for (const p of parts) {
    dir += '/' + p;
    try { FS.mkdir(dir); } catch (e) { /* there already */ }
  }
}

function putInTools(path, bytes) {
  mkdirs(tools.FS, CONTENT + '/' + path);
  tools.FS.writeFile(CONTENT + '/' + path, bytes);
}

function removeTree(FS, dir) {
  for (const name of FS.readdir(dir)) {
    if (name === '.' || name === '..') continue;
    const p = dir + '/' + name;
    if (FS.isDir(FS.lstat(p).mode)) { removeTree(FS, p); FS.rmdir(p); } else FS.unlink(p);
  }
}

// starlane-check --list on the folder: its lines, as the native tool prints them.
function listing() {
  printed = [];
  toolsCall('studioList', '.');
  return printed.slice();
}

// Only while it is shown: the listing loads the content once more.
function drawListing() {
  if ($('listing').parentElement.open) $('listing').textContent = listing().join('\n');
}

function toolsCall(name, ...args) {
  tools.FS.chdir(CONTENT);
  const types = args.map(a => typeof a === 'number' ? 'number' : 'string');
  if (name === 'studioList') return tools.ccall(name, 'number', types, args);
  return JSON.parse(tools.ccall(name, 'string', types, args));
}

// ---- Files

// What the folder is, as the message line tells it once the folder is edited.
let folderIs = 'Your folder';
let replacing = false;
function edited() {
  if (!replacing) message(`${folderIs}, edited.`);
}

async function writeFile(path, bytes) {
  checkName(path);
  edited();
  sourcesChanged = sourcesChanged || SOURCE_FILE.test(path);
  files.set(path, bytes);
  putInTools(path, bytes);
  await saveFile(path, bytes);
}

async function removeFile(path) {
  edited();
  files.delete(path);
  try { tools.FS.unlink(CONTENT + '/' + path); } catch (e) { /* not there */ }
  await deleteFile(path);
}

// A changed picture source makes its pictures again, through the content builder.
async function rebuildSources() {
  sourcesChanged = false;
  const built = toolsCall('studioBuild', '.');
  for (const written of built.wrote) {
    const path = written.replace(/^\.\//, '');
    const bytes = tools.FS.readFile(CONTENT + '/' + path);
    files.set(path, bytes);
    await saveFile(path, bytes);
  }
  return built;
}

async function replaceFolder(entries, why, what) {
  await clearFolder();
  files.clear();
  removeTree(tools.FS, CONTENT);
  replacing = true;
  try {
    for (const [path, bytes] of entries) await writeFile(path, bytes);
  } finally {
    replacing = false;
  }
  folderIs = what;
  openPath = null;
  drawTree();
  const first = files.has('Enemies/MasterEnemies.txt') ? 'Enemies/MasterEnemies.txt'
                                                       : [...files.keys()].sort()[0];
  if (first) openFile(first);
  message(why);
  await runCheck();
}

async function shippedContent() {
  const response = await fetch('studio-content.zip');
  if (!response.ok) throw new Error('studio-content.zip: ' + response.status);
  return readZip(new Uint8Array(await response.arrayBuffer()));
}

// ---- The tree

function drawTree() {
  const tree = $('tree');
  tree.textContent = '';
  const bad = new Map();
  for (const p of problems) {
    if (p.severity === 'error' || !bad.has(p.file)) bad.set(p.file, p.severity);
  }
  let folder = null;
  for (const path of [...files.keys()].sort()) {
    const slash = path.lastIndexOf('/');
    const dir = slash < 0 ? '' : path.slice(0, slash);
    if (dir !== folder) {
      folder = dir;
      if (dir) {
        const d = document.createElement('div');
        d.className = 'folder';
        d.textContent = dir + '/';
        tree.appendChild(d);
      }
    }
    const f = document.createElement('div');
    f.className = 'file' + (path === openPath ? ' open' : '') +
                  (bad.get(path) === 'error' ? ' bad' : bad.has(path) ? ' warned' : '');
    f.textContent = path.slice(slash + 1);
    f.title = path;
    f.dataset.path = path;
    f.addEventListener('click', () => openFile(path));
    tree.appendChild(f);
  }
}

// ---- The editor and the pictures

function diagnosticsFor(state, path) {
  const out = [];
  for (const p of problems) {
    if (p.file !== path || p.line < 1 || p.line > state.doc.lines) continue;
    const line = state.doc.line(p.line);
    out.push({ from: line.from, to: line.to, severity: p.severity, message: p.text });
  }
  return out;
}

function markEditor() {
  if (!editor || !openPath) return;
  editor.dispatch(setDiagnostics(editor.state, diagnosticsFor(editor.state, openPath)));
}

function scheduleCheck() {
  clearTimeout(checkTimer);
  checkTimer = setTimeout(() => { runCheck(); }, CHECK_DELAY_MS);
}

function makeEditor(path, text) {
  const state = EditorState.create({
    doc: text,
    extensions: [basicSetup, lintGutter(), EditorView.theme({}, { dark: true }),
      EditorView.updateListener.of(update => {
        if (!update.docChanged) return;
        const bytes = new TextEncoder().encode(update.state.doc.toString());
        sourcesChanged = sourcesChanged || SOURCE_FILE.test(path);
        files.set(path, bytes);
        putInTools(path, bytes);
        saveFile(path, bytes);
        scheduleCheck();
      })],
  });
  if (editor) editor.destroy();
  editor = new EditorView({ state, parent: $('editor') });
}

function openFile(path, line) {
  if (!files.has(path)) { message(path + ': no such file in the folder'); return; }
  openPath = path;
  $('path').textContent = path;
  const bytes = files.get(path);
  const text = TEXT_FILE.test(path);
  $('editor').hidden = !text;
  $('picture').hidden = text;
  if (text) {
    makeEditor(path, new TextDecoder().decode(bytes));
    markEditor();
    if (line && line <= editor.state.doc.lines) {
      const at = editor.state.doc.line(line);
      editor.dispatch({ selection: { anchor: at.from }, scrollIntoView: true });
    }
    editor.focus();
  } else {
    if (editor) { editor.destroy(); editor = null; }
    drawPicture(path);
  }
  drawTree();
  drawGraphics();
}

function chooseColour(entry) { chosenColour = entry; }

function paletteBytes() {
  return hexBytes(toolsCall('studioPalette', '.').palette, 768);
}


function drawPicture(path) {
  const box = $('picture');
  box.textContent = '';
  if (path === 'palette.pal') {
    box.textContent = 'The 256 colours the game draws with, as it reads them (entry 0 at the top left):';
    box.appendChild(paletteChooser(paletteBytes(), chosenColour, chooseColour));
    return;
  }
  if (!/\.bmp$/i.test(path)) {
    box.textContent = path + ': ' + files.get(path).length + ' bytes (not a text file or a picture)';
    return;
  }
  const bmp = toolsCall('studioBitmap', path);
  if (!bmp.ok) { box.textContent = path + ': ' + bmp.error; return; }
  const rgb = paletteBytes();
  const scale = Math.max(1, Math.min(6, Math.floor(600 / Math.max(bmp.width, bmp.height))));
  const canvas = pixelCanvas(bmp.pixels, bmp.width, bmp.height, rgb, scale, -1);
  canvas.id = 'sheet-picture';
  box.appendChild(canvas);
  const sheet = path.replace(/\.bmp$/i, '.sheet');
  const note = document.createElement('p');
  if (files.has(sheet)) {
    note.textContent = 'Click a pixel to paint it with the chosen colour; ' + sheet +
                       ' is rewritten and the picture built again from it.';
    canvas.style.cursor = 'crosshair';
    canvas.addEventListener('click', e => {
      const r = canvas.getBoundingClientRect();
      const x = Math.floor((e.clientX - r.left) / scale), y = Math.floor((e.clientY - r.top) / scale);
      paint(sheet, x, y, chosenColour);
    });
  } else {
    note.textContent = 'No ' + sheet + ' beside it: the picture cannot be painted here.';
  }
  box.appendChild(note);
  box.appendChild(paletteChooser(rgb, chosenColour, chooseColour));
}


async function paint(sheet, x, y, colour) {
  const result = toolsCall('studioPaint', '.', sheet, x, y, colour);
  if (!result.ok) { message(result.error); return; }
  await writeFile(sheet, tools.FS.readFile(CONTENT + '/' + sheet));
  if (openPath === sheet) openFile(sheet);
  await runCheck();
  if (openPath && /\.bmp$/i.test(openPath)) drawPicture(openPath);
}

// ---- Graphics as the game cuts them

let animationTimers = [];

function drawGraphics() {
  for (const t of animationTimers) clearInterval(t);
  animationTimers = [];
  const box = $('graphics');
  box.textContent = '';
  $('graphics-title').hidden = true;
  if (!graphics || !openPath) return;
  const rgb = hexBytes(graphics.palette, 768);
  const bmpOf = openPath.replace(/\.(bmp|sheet)$/i, '');
  for (const g of graphics.graphics) {
    const described = g.file === openPath || openPath === 'Graphics/MasterGraphics.txt';
    if (!described && g.file.replace(/\.txt$/i, '') !== bmpOf) continue;
    $('graphics-title').hidden = false;
    const div = document.createElement('div');
    div.className = 'graphic';
    const title = document.createElement('div');
    title.textContent = `graphic ${g.index}: ${g.file}` + (g.role ? ` (${g.role})` : '') +
                        (g.loaded ? '' : ' (refused)');
    div.appendChild(title);
    if (!g.loaded || g.tooLarge) {
      if (g.tooLarge) title.textContent += `: ${g.width} x ${g.height} frames, too large to show here`;
      box.appendChild(div);
      continue;
    }
    const scale = Math.max(1, Math.min(4, Math.floor(96 / Math.max(g.width, g.height))));
    // A frame cut from a sheet that has its source here can be painted, pixel by pixel.
    const sheet = g.bitmap.replace(/\.bmp$/i, '.sheet');
    const paintable = files.has(sheet) && sheet !== g.bitmap;
    const frames = document.createElement('div');
    frames.className = 'frames';
    const pictures = {};
    for (const f of g.frames) {
      const fig = document.createElement('figure');
      const c = pixelCanvas(f.pixels, g.width, g.height, rgb, scale, g.colorKey);
      // The bounding box, outlined over the frame.
      const o = document.createElement('canvas');
      o.width = g.width * scale; o.height = g.height * scale;
      const og = o.getContext('2d');
      og.drawImage(c, 0, 0, o.width, o.height);
      og.imageSmoothingEnabled = false;
      og.strokeStyle = '#0f0';
      og.strokeRect(g.box[0] * scale + 0.5, g.box[1] * scale + 0.5,
                    (g.box[2] - g.box[0]) * scale - 1, (g.box[3] - g.box[1]) * scale - 1);
      o.className = 'pixels';
      o.dataset.frame = f.index;
      if (paintable && f.at) {
        o.style.cursor = 'crosshair';
        o.title = `click a pixel to paint it with entry ${chosenColour}, in ${sheet}`;
        o.addEventListener('click', e => {
          const r = o.getBoundingClientRect();
          const x = Math.floor((e.clientX - r.left) / scale), y = Math.floor((e.clientY - r.top) / scale);
          paint(sheet, f.at[0] + x, f.at[1] + y, chosenColour);
        });
      }
      pictures[f.index] = c;
      const cap = document.createElement('figcaption');
      cap.textContent = 'frame ' + f.index;
      fig.append(o, cap);
      frames.appendChild(fig);
    }
    div.appendChild(frames);
    if (paintable && !box.querySelector('.palette'))
      box.insertBefore(paletteChooser(rgb, chosenColour, chooseColour), box.firstChild);
    for (const a of g.animations) {
      const fig = document.createElement('figure');
      const o = document.createElement('canvas');
      o.width = g.width * scale; o.height = g.height * scale;
      o.className = 'pixels';
      const cap = document.createElement('figcaption');
      cap.textContent = `animation ${a.index}: ${a.frames.join(' ')}, ` +
                        `${a.loops ? 'loops' : 'plays once'}, every ${a.delay + 1} frames`;
      fig.append(o, cap);
      div.appendChild(fig);
      // At the game's speed: each position held delay + 1 of its frames.
      let k = 0, held = 0;
      const og = o.getContext('2d');
      const show = () => {
        og.clearRect(0, 0, o.width, o.height);
        const p = pictures[a.frames[k]];
        if (p) og.drawImage(p, 0, 0, o.width, o.height);
      };
      show();
      o.title = 'click to play it again';
      o.addEventListener('click', () => { k = 0; held = 0; show(); });
      animationTimers.push(setInterval(() => {
        if (++held <= a.delay) return;
        held = 0;
        if (k + 1 < a.frames.length) k++;
        else if (a.loops) k = 0;
        else return;
        show();
      }, graphics.frameMs));
    }
    box.appendChild(div);
  }
}

// ---- The checker

const PLACE = /^(.*?):(\d+): (.*)$/;

function parseProblem(line) {
  const m = PLACE.exec(line);
  const severity = / warning: /.test(' ' + (m ? m[3] : line)) ? 'warning' : 'error';
  if (!m) {
    const colon = line.indexOf(': ');
    return { file: colon > 0 ? line.slice(0, colon) : '', line: 0, severity,
             text: colon > 0 ? line.slice(colon + 2) : line };
  }
  return { file: m[1], line: Number(m[2]), severity, text: m[3] };
}

function drawProblems() {
  const box = $('problems');
  box.textContent = '';
  if (problems.length === 0) {
    const d = document.createElement('div');
    d.className = 'clean';
    d.textContent = report ? `Clean: ${report.graphics} graphics, ${report.enemies} enemies, ` +
                             `${report.orders} orders.` : '';
    box.appendChild(d);
  }
  for (const p of problems) {
    const d = document.createElement('div');
    d.className = p.severity;
    d.textContent = p.line ? `${p.file}:${p.line}: ${p.text}` : `${p.file}: ${p.text}`;
    d.addEventListener('click', () => openFile(p.file, p.line));
    box.appendChild(d);
  }
}

async function runCheck() {
  clearTimeout(checkTimer);
  checked = (async () => {
    if (sourcesChanged || !files.has('palette.pal')) await rebuildSources();
    const t0 = performance.now();
    report = toolsCall('studioCheck', '.');
    problems = report.lines.map(parseProblem);
    graphics = toolsCall('studioGraphics', '.');
    const ms = performance.now() - t0;
    drawProblems();
    markEditor();
    drawTree();
    drawGraphics();
    drawListing();
    document.body.dataset.checks = String(Number(document.body.dataset.checks || 0) + 1);
    status(`${files.size} files; checked in ${ms.toFixed(0)} ms: ` +
           (problems.length ? `${problems.length} problem${problems.length === 1 ? '' : 's'}`
                            : 'clean'));
    return problems;
  })();
  return checked;
}

// ---- Open, reset, export

async function openZip(bytes, name) {
  try {
    const entries = readZip(bytes);
    await replaceFolder(entries, `Opened ${name}: ${entries.length} files.`, `Opened from ${name}`);
  } catch (e) {
    message(`${name} was not opened: ${e.message}`);
  }
}

async function openFolderFiles(list) {
  const entries = [];
  let total = 0;
  try {
    for (const f of list) {
      let path = f.webkitRelativePath || f.name;
      path = path.split('/').slice(1).join('/') || f.name;   // inside the chosen folder
      checkName(path);
      total += f.size;
      if (f.size > ZIP_LIMITS.fileBytes) throw new Error(`${path} is larger than any content file`);
      if (total > ZIP_LIMITS.totalBytes) throw new Error('the folder is larger than 256 MiB');
      entries.push([path, new Uint8Array(await f.arrayBuffer())]);
    }
    await replaceFolder(entries, `Opened a folder of ${entries.length} files.`,
                        'Opened from a folder');
  } catch (e) {
    message(`The folder was not opened: ${e.message}`);
  }
}

function contentZip() {
  const tree = {};
  for (const [path, bytes] of files) tree[path] = bytes;
  return new Blob([zipSync(tree, { level: 6 })], { type: 'application/zip' });
}

async function exportContent() {
  await rebuildSources();
  return contentZip();
}

function download(blob, name) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

// ---- Play: the game module, a fresh instance in a frame of its own each time

let playing = null;
let endPlay = null;               // settles the promise of the game under way

function play() {
  stop();
  const box = $('play');
  const frame = document.createElement('iframe');
  frame.src = 'play.html';
  frame.title = 'Starlane';
  box.textContent = '';
  box.appendChild(frame);
  box.hidden = false;
  document.body.dataset.state = 'playing';
  playing = new Promise(resolve => {
    endPlay = result => { endPlay = null; resolve(result); };
    window.studioPlayEnded = (code, log) => {
      const done = endPlay;
      endPlay = null;
      stop();
      if (code !== 0) showFailure(log);
      if (done) done({ code, log });
    };
  });
  frame.addEventListener('load', () => frame.contentWindow.focus());
  return playing;
}

// Ends the game where it is; a play() still waiting is told so with a code of null.
function stop() {
  if (endPlay) endPlay({ code: null, log: '' });
  const box = $('play');
  box.hidden = true;
  box.textContent = '';
  document.body.dataset.state = 'studio';
}

// What the game wrote at start-up, each line linked through the checker to its place.
function showFailure(log) {
  const box = $('failed-lines');
  box.textContent = '';
  const placed = problems.filter(p => / ?Error\.txt: /.test(' ' + p.text) || p.file === 'Error.txt');
  const lines = log.split('\n').filter(l => l);
  for (const l of lines) {
    const p = placed.find(q => q.text.endsWith(l));
    const d = document.createElement('div');
    d.textContent = p ? `${p.file}:${p.line}: ${l}` : l;
    if (p) d.addEventListener('click', () => { $('failed').hidden = true; openFile(p.file, p.line); });
    box.appendChild(d);
  }
  $('failed').hidden = false;
}

// The play frame asks for the folder to write into its game's file system.
window.studioFolder = () => files;

// ---- The page

async function start() {
  // The listing prints as starlane-check --list does; its lines are caught here.
  tools = await StarlaneTools({ print: l => printed.push(l), printErr: l => printed.push(l) });
  tools.FS.mkdir(CONTENT);
  const stored = await loadFolder();
  if (stored.size) {
    for (const [path, bytes] of stored) { files.set(path, bytes); putInTools(path, bytes); }
    drawTree();
    openFile(files.has('Enemies/MasterEnemies.txt') ? 'Enemies/MasterEnemies.txt'
                                                     : [...files.keys()].sort()[0]);
    await runCheck();
    message('Your folder, as you left it.');
  } else {
    await replaceFolder(await shippedContent(), 'The shipped content.', 'The shipped content');
  }
  document.body.dataset.ready = '1';
}

$('play-button').addEventListener('click', () => play());
$('listing').parentElement.addEventListener('toggle', drawListing);
$('failed-close').addEventListener('click', () => { $('failed').hidden = true; });
$('open-zip').addEventListener('change', async e => {
  const f = e.target.files[0];
  if (f) {
    if (f.size > ZIP_LIMITS.packedBytes) message(`${f.name} was not opened: larger than 64 MiB`);
    else await openZip(new Uint8Array(await f.arrayBuffer()), f.name);
  }
  e.target.value = '';
});
$('open-folder').addEventListener('change', async e => {
  await openFolderFiles([...e.target.files]);
  e.target.value = '';
});
$('reset').addEventListener('click', async () => {
  if (confirm('Start again from the shipped content? Every change in this folder is lost.'))
    await replaceFolder(await shippedContent(), 'The shipped content, as new.', 'The shipped content');
});
// Each download says in the message line that it is being made, then what it gave or why
// it gave nothing.
async function offer(what, name, make) {
  message(`Making ${name}...`);
  try {
    const blob = await make();
    download(blob, name);
    message(`Made ${name} (${blob.size} bytes).`);
  } catch (e) {
    message(`${what} was not made: ${e.message}`);
  }
}
$('export-content').addEventListener('click', () => offer('The content', 'starlane-content.zip', exportContent));
$('export-web').addEventListener('click', () => offer('The web build', 'starlane-web.zip', studio.exportWeb));
$('new-file').addEventListener('click', async () => {
  const name = prompt('New file (a path inside the folder, such as Enemies/Hornet.txt):');
  if (!name) return;
  try {
    await writeFile(name, new Uint8Array(0));
    openFile(name);
    scheduleCheck();
  } catch (e) { message(e.message); }
});
$('rename-file').addEventListener('click', async () => {
  if (!openPath) return;
  const name = prompt('Rename ' + openPath + ' to:', openPath);
  if (!name || name === openPath) return;
  try {
    const bytes = files.get(openPath);
    checkName(name);
    await removeFile(openPath);
    await writeFile(name, bytes);
    openFile(name);
    await runCheck();
  } catch (e) { message(e.message); }
});
$('delete-file').addEventListener('click', async () => {
  if (!openPath || !confirm('Delete ' + openPath + '?')) return;
  await removeFile(openPath);
  openPath = null;
  $('path').textContent = '';
  $('picture').hidden = true;
  if (editor) { editor.destroy(); editor = null; }
  await runCheck();
});

// Dropping a .zip or a folder on the page opens it.
let dragDepth = 0;
window.addEventListener('dragenter', e => { e.preventDefault(); dragDepth++; $('drop').hidden = false; });
window.addEventListener('dragleave', () => { if (--dragDepth <= 0) { dragDepth = 0; $('drop').hidden = true; } });
window.addEventListener('dragover', e => e.preventDefault());
window.addEventListener('drop', async e => {
  e.preventDefault();
  dragDepth = 0;
  $('drop').hidden = true;
  const item = e.dataTransfer.items && e.dataTransfer.items[0];
  const entry = item && item.webkitGetAsEntry && item.webkitGetAsEntry();
  if (entry && entry.isDirectory) {
    const list = [];
    const walk = (dir, prefix) => new Promise(resolve => {
      const reader = dir.createReader();
      const all = [];
      const more = () => reader.readEntries(async batch => {
        if (batch.length) { all.push(...batch); more(); return; }
        for (const en of all) {
          if (en.isDirectory) await walk(en, prefix + en.name + '/');
          else list.push(await new Promise(r => en.file(f => {
            Object.defineProperty(f, 'webkitRelativePath', { value: prefix + en.name });
            r(f);
          })));
        }
        resolve();
      });
      more();
    });
    await walk(entry, entry.name + '/');
    await openFolderFiles(list);
    return;
  }
  const f = e.dataTransfer.files[0];
  if (!f) return;
  if (f.size > ZIP_LIMITS.packedBytes) { message(`${f.name} was not opened: larger than 64 MiB`); return; }
  await openZip(new Uint8Array(await f.arrayBuffer()), f.name);
});

// ---- window.studio: the same, for scripts (see docs)

function toBytes(data) {
  return typeof data === 'string' ? new TextEncoder().encode(data) : new Uint8Array(data);
}

window.studio = {
  files: () => [...files.keys()].sort(),
  read: path => {
    const b = files.get(path);
    if (!b) return undefined;
    return TEXT_FILE.test(path) ? new TextDecoder().decode(b) : b.slice();
  },
  write: async (path, data) => {
    await writeFile(path, toBytes(data));
    if (path === openPath) openFile(path);
    else drawTree();
    await runCheck();
  },
  remove: async path => { await removeFile(path); await runCheck(); },
  problems: async () => { if (checked) await checked; return problems.map(p => ({ ...p })); },
  graphics: async () => { if (checked) await checked; return graphics; },
  list: async () => { if (checked) await checked; return listing(); },
  paint: (sheet, x, y, colour) => paint(sheet, x, y, colour),
  open: (path, line) => openFile(path, line),
  play,
  stop,
  exportContent,
  exportWeb: async () => {
    const { webBuild } = await import('./exportweb.js');
    await rebuildSources();
    return webBuild(files);
  },
  openZip: (bytes, name) => openZip(new Uint8Array(bytes), name || 'the zip'),
  reset: async () => replaceFolder(await shippedContent(), 'The shipped content, as new.', 'The shipped content'),
};

start().catch(e => { status('The studio could not start: ' + e.message); });
