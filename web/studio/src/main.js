// Starlane Studio: the content folder in the browser's storage, an editor over it, and the
// game's own tools (starlane-tools.wasm: the checker, the listing, the content builder) run on
// it after every change. Every verdict, line and picture comes from the tools module, which
// reads the formats with the game's code. This file wires the rooms together:
//   folder.js    the files, the one write(), the module's file system, the storage, "edited"
//   tools.js     the tools module and its calls, in a worker (toolsworker.js) with budgets
//   tree.js      the tree of files
//   editor.js    the open file: the editor or the picture
//   graphics.js  the pictures, painting, the graphics as the game cuts them
//   problems.js  the checker's problems and the check after every change
//   playing.js   Play, in a frame of its own
// and holds opening, exporting and window.studio.
import { zipSync } from 'fflate';
import { loadFolder } from './store.js';
import { readZip, checkName, ZIP_LIMITS } from './zipin.js';
import { files, write, remove, restore, replaceAll, rebuildSources, message, status, TEXT_FILE } from './folder.js';
import { startTools, listing, whenToolsStop, setBudget } from './tools.js';
import { drawTree } from './tree.js';
import { openPath, openFile, closeFile } from './editor.js';
import { paint } from './graphics.js';
import { problems, graphics, checked, runCheck, scheduleCheck, drawListing } from './problems.js';
import { play, stop } from './playing.js';
import { shareLink, shareButton, openLinkFromAddress } from './linked.js';

const $ = id => document.getElementById(id);

// The folder replaced by `entries`, then shown from its first file and checked.
async function replaceFolder(entries, why, what) {
  await replaceAll(entries, what);
  closeFile();
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

// The pictures built first where the tools can; the files are zipped whatever the tools do.
async function buildBeforeExport() {
  try {
    await rebuildSources();
  } catch (e) {
    message(`${e.message} The download holds the files as they are.`);
  }
}

async function exportContent() {
  await buildBeforeExport();
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

async function start() {
  whenToolsStop(text => message(text));
  await startTools();
  const stored = await loadFolder();
  if (stored.size) {
    await restore(stored);
    drawTree();
    openFile(files.has('Enemies/MasterEnemies.txt') ? 'Enemies/MasterEnemies.txt'
                                                     : [...files.keys()].sort()[0]);
    await runCheck();
    message('Your folder, as you left it.');
  } else {
    await replaceFolder(await shippedContent(), 'The shipped content.', 'The shipped content');
  }
  await openLinkFromAddress({ replaceFolder, download });
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
$('share-link').addEventListener('click', shareButton);
$('new-file').addEventListener('click', async () => {
  const name = prompt('New file (a path inside the folder, such as Enemies/Hornet.txt):');
  if (!name) return;
  try {
    await write(name, new Uint8Array(0));
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
    await remove(openPath);
    await write(name, bytes);
    openFile(name);
    await runCheck();
  } catch (e) { message(e.message); }
});
$('delete-file').addEventListener('click', async () => {
  if (!openPath || !confirm('Delete ' + openPath + '?')) return;
  await remove(openPath);
  closeFile();
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
    await write(path, toBytes(data));
    if (path === openPath) openFile(path);
    else drawTree();
    await runCheck();
  },
  remove: async path => { await remove(path); await runCheck(); },
  problems: async () => { if (checked) await checked; return problems.map(p => ({ ...p })); },
  // The pixels as the tools give them, hex, two digits a byte.
  graphics: async () => {
    if (checked) await checked;
    if (!graphics) return graphics;
    const hex = bytes => Array.from(bytes, b => b.toString(16).padStart(2, '0')).join('');
    return { ...graphics, graphics: graphics.graphics.map(g => ({
      ...g, frames: g.frames.map(f => ({ ...f, pixels: hex(f.pixels) })) })) };
  },
  list: async () => { if (checked) await checked; return await listing(); },
  paint: (sheet, x, y, colour) => paint(sheet, x, y, colour),
  open: (path, line) => openFile(path, line),
  play,
  stop,
  exportContent,
  exportWeb: async () => {
    const { webBuild } = await import('./exportweb.js');
    await buildBeforeExport();
    return webBuild(files);
  },
  openZip: (bytes, name) => openZip(new Uint8Array(bytes), name || 'the zip'),
  shareLink,
  reset: async () => replaceFolder(await shippedContent(), 'The shipped content, as new.', 'The shipped content'),
  // The tools' budget, {ms, memoryBytes}: the module started again under it, the folder put back.
  toolsBudget: b => setBudget(b),
};

start().catch(e => { status('The studio could not start: ' + e.message); });
