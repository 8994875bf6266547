// Starlane Studio: the content folder in the browser's storage, an editor over it, and the
// game's own tools (starlane-tools.wasm: the checker, the listing, the content builder) run on
// it after every change. Every verdict, line and picture comes from the tools module, which
// reads the formats with the game's code. This file wires the rooms together:
//   folder.js    the files, the one change() every edit goes through, saving, "edited"
//   projects.js  the projects kept in the storage (store.js), one open; tabs.js, two tabs
//   history.js   the one history, Undo and Redo
//   sources.js   the pictures built from their sources, and the ones that differ
//   tools.js     the tools module and its calls, in a worker (toolsworker.js) with budgets
//   linked.js    links: Share as link, and a link opened as a project of its own
//   tree.js      the tree of files
//   editor.js    the open file: the editor or the picture
//   graphics.js  the pictures, painting, the graphics as the game cuts them
//   problems.js  the checker's problems and the check after every change
//   playing.js   Play, in a frame of its own
// and holds opening, exporting and window.studio.
import { zipSync } from 'fflate';
import { readZip, checkName, ZIP_LIMITS } from './zipin.js';
import { files, write, remove, change, changeHooks, message, status, project, TEXT_FILE } from './folder.js';
import { startTools, listing, whenToolsStop, setBudget } from './tools.js';
import { drawTree } from './tree.js';
import { openPath, openFile, closeFile, refreshOpen, forgetStates, editorHooks } from './editor.js';
import { paint } from './graphics.js';
import { pixelEditorState, paintStroke } from './pixeleditor.js';
import { problems, graphics, checked, runCheck, scheduleCheck, drawListing, afterCheck } from './problems.js';
import { play, stop } from './playing.js';
import { shareLink, shareButton, openLinkFromAddress } from './linked.js';
import { readyToExport } from './sources.js';
import { fieldsOf, forgetFields } from './fields.js';
import { fieldHover, drawEnemyForm, clearForm } from './forms.js';
import { drawTimeline, playFrom, ordersOf, moveOrder } from './timeline.js';
import { duplicateGraphic, duplicateEnemy } from './duplicate.js';
import * as history from './history.js';
import { newProject, openProject, startProjects, projectsList, projectHooks, renameOpenProject,
         deleteProject } from './projects.js';

const $ = id => document.getElementById(id);

function firstFile() {
  return files.has('Enemies/MasterEnemies.txt') ? 'Enemies/MasterEnemies.txt' : [...files.keys()].sort()[0];
}

// A project just opened: shown from its first file, and checked.
projectHooks({
  shown: async why => {
    forgetStates();
    forgetFields();
    closeFile();
    drawTree();
    const first = firstFile();
    if (first) openFile(first);
    message(why);
    await runCheck();
  },
  // The open project's files changed under the page (another tab, a decision on a picture).
  reloaded: async why => {
    refreshOpen();
    drawTree();
    if (why) message(why);
    drawUndo();
    await runCheck();
  },
});

// A change made anywhere but by typing in the editor (a form, the timeline, a duplicate): the
// open file follows it, so the editor never writes back what it showed before.
changeHooks.push((paths, how) => {
  if (!how.typing) { refreshOpen(); drawTree(); }
  scheduleCheck();
});

// ---- The one history: Undo and Redo, the buttons and the keys

function drawUndo() {
  $('undo').disabled = !history.canUndo() || project.readOnly;
  $('redo').disabled = !history.canRedo() || project.readOnly;
  $('undo').title = history.canUndo() ? 'Undo ' + history.nextUndo() + ' (Ctrl+Z)' : 'Nothing to undo';
  $('redo').title = history.canRedo() ? 'Redo ' + history.nextRedo() + ' (Ctrl+Shift+Z)' : 'Nothing to redo';
}

history.historyHooks({
  changed: drawUndo,
  switchTo: name => openProject(name, { history: false }),
  apply: async (name, changes) => {
    if (name !== project.name) await openProject(name, { history: false });
    await change(changes, { history: false });
    const text = changes.filter(([p, b]) => b && TEXT_FILE.test(p));
    // The file the step changed is shown, unless its picture is: the pixel editor follows it.
    const drawn = openPath && openPath.replace(/\.bmp$/i, '.sheet');
    if (text.length === 1 && text[0][0] !== openPath && text[0][0] !== drawn) openFile(text[0][0]);
    else refreshOpen();
    if (openPath && !files.has(openPath)) closeFile();
    drawTree();
    scheduleCheck();
  },
});

async function walkHistory(back) {
  try {
    const step = await (back ? history.undo() : history.redo());
    if (step) message(`${back ? 'Undone' : 'Redone'}: ${step.label}.`);
    await runCheck();
    return step ? step.label : null;
  } catch (e) {
    message(`${back ? 'Undo' : 'Redo'} failed: ${e.message}`);
    throw e;
  }
}
const undo = () => walkHistory(true);
const redo = () => walkHistory(false);
editorHooks({
  undo: () => undo().catch(() => {}),
  redo: () => redo().catch(() => {}),
  extensions: path => fieldHover(path),
  opened: () => { drawPanes(); },
});

// ---- The forms and the timeline beside the text, from the fields the reader gives

const ENEMY_FILE = /^Enemies\/(?!MasterEnemies\.txt$)[^/]+\.txt$/i;
const ORDERS_FILE = 'DeploymentOrders/DeploymentOrder1.dpo';

async function drawPanes() {
  const path = openPath;
  try {
    if (path && /\.(txt|dpo)$/i.test(path)) await fieldsOf(path);   // for the hover
    if (path && ENEMY_FILE.test(path)) await drawEnemyForm($('form'), path);
    else clearForm($('form'));
    $('tools-pane').hidden = path !== ORDERS_FILE;
    if (path === ORDERS_FILE) await drawTimeline($('tools-pane'));
    else $('tools-pane').textContent = '';
  } catch (e) { message(e.message); }
}
afterCheck.push(drawPanes);

$('undo').addEventListener('click', () => undo().catch(() => {}));
$('redo').addEventListener('click', () => redo().catch(() => {}));
window.addEventListener('keydown', e => {
  if (!(e.ctrlKey || e.metaKey) || e.defaultPrevented) return;
  if (e.target.closest && e.target.closest('.cm-editor, input, textarea, select')) return;
  const key = e.key.toLowerCase();
  if (key === 'z' && !e.shiftKey) { e.preventDefault(); undo().catch(() => {}); }
  else if ((key === 'z' && e.shiftKey) || key === 'y') { e.preventDefault(); redo().catch(() => {}); }
});

// ---- Opening: each a new project, the one before kept

async function shippedContent() {
  const response = await fetch('studio-content.zip');
  if (!response.ok) throw new Error('studio-content.zip: ' + response.status);
  return readZip(new Uint8Array(await response.arrayBuffer()));
}

async function openZip(bytes, name) {
  try {
    const entries = readZip(bytes);
    await newProject(name.replace(/\.zip$/i, ''), entries, `Opened ${name}: ${entries.length} files`);
  } catch (e) {
    message(`${name} was not opened: ${e.message}`);
  }
}

async function openFolderFiles(list) {
  const entries = [];
  let total = 0, top = '';
  try {
    for (const f of list) {
      let path = f.webkitRelativePath || f.name;
      top = top || (path.includes('/') ? path.split('/')[0] : '');
      path = path.split('/').slice(1).join('/') || f.name;   // inside the chosen folder
      checkName(path);
      total += f.size;
      if (f.size > ZIP_LIMITS.fileBytes) throw new Error(`${path} is larger than any content file`);
      if (total > ZIP_LIMITS.totalBytes) throw new Error('the folder is larger than 256 MiB');
      entries.push([path, new Uint8Array(await f.arrayBuffer())]);
    }
    await newProject(top || 'A folder', entries, `Opened a folder of ${entries.length} files`);
  } catch (e) {
    message(`The folder was not opened: ${e.message}`);
  }
}

const startAgain = async () => newProject('The shipped content', await shippedContent(), 'The shipped content, as new');

function contentZip() {
  const tree = {};
  for (const [path, bytes] of files) tree[path] = bytes;
  return new Blob([zipSync(tree, { level: 6 })], { type: 'application/zip' });
}

// Every picture as its source makes it before the content leaves, or the reason it is not; when
// the tools themselves stopped, the files are zipped as they are, so the work can still leave.
async function readyForExport() {
  try {
    await readyToExport();
  } catch (e) {
    if (!e.toolsStopped) throw e;
    message(`${e.message} The download holds the files as they are.`);
  }
}

async function exportContent() {
  await readyForExport();
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
  await startProjects(shippedContent);
  drawUndo();
  await openLinkFromAddress({ newProject });
  document.body.dataset.ready = '1';
}

$('play-button').addEventListener('click', () => play());
// The file buttons are labels: Enter and Space open their choosers, as a button's would.
for (const label of document.querySelectorAll('label.button'))
  label.addEventListener('keydown', e => {
    if (e.key === 'Enter' || e.key === ' ') { e.preventDefault(); label.querySelector('input').click(); }
  });
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
$('reset').addEventListener('click', () => startAgain().catch(e => message(e.message)));
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

// A new file or a new name never takes the place of a file that is there.
function freeName(path) {
  checkName(path);
  if (files.has(path)) throw new Error(`${path} exists already: a new file needs a name of its own`);
}

async function create(path) {
  freeName(path);
  await write(path, new Uint8Array(0), { label: 'new file ' + path });
  openFile(path);
  await runCheck();
}

async function rename(from, to) {
  const bytes = files.get(from);
  if (!bytes) throw new Error(`${from}: no such file in the folder`);
  freeName(to);
  await change([[to, bytes], [from, null]], { label: `rename ${from} to ${to}` });
  openFile(to);
  await runCheck();
}

$('new-file').addEventListener('click', async () => {
  const name = prompt('New file (a path inside the folder, such as Enemies/Hornet.txt):');
  if (name) await create(name).catch(e => message(e.message));
});
$('rename-file').addEventListener('click', async () => {
  if (!openPath) return;
  const name = prompt('Rename ' + openPath + ' to:', openPath);
  if (name && name !== openPath) await rename(openPath, name).catch(e => message(e.message));
});
$('delete-file').addEventListener('click', async () => {
  if (!openPath) return;
  const path = openPath;
  try { await remove(path); } catch (e) { message(e.message); return; }
  closeFile();
  drawTree();
  message(`${path} deleted (Undo brings it back).`);
  await runCheck();
});

// "Duplicate graphic" for a graphic's description, sheet or picture; "Duplicate enemy" for an
// enemy's file: a copy with fresh numbers, in one step.
async function duplicate(path, name) {
  if (ENEMY_FILE.test(path)) return duplicateEnemy(path, name);
  const desc = path.replace(/\.(sheet|bmp)$/i, '.txt');
  if (/^Graphics\/(?!MasterGraphics\.txt$)[^/]+\.txt$/i.test(desc) && files.has(desc)) return duplicateGraphic(desc, name);
  throw new Error(`${path}: only a graphic or an enemy can be duplicated`);
}

$('duplicate').addEventListener('click', async () => {
  if (!openPath) return;
  try {
    const made = await duplicate(openPath);
    openFile(made);
    message(`Duplicated ${openPath === made ? '' : 'as '}${made} (Undo takes it back).`);
    await runCheck();
  } catch (e) { message(e.message); }
});
$('duplicate').addEventListener('mouseenter', () => {
  $('duplicate').textContent = openPath && ENEMY_FILE.test(openPath) ? 'Duplicate enemy' : 'Duplicate graphic';
});

// The list of projects: choosing one opens it; renaming and deleting the ones kept.
$('project').addEventListener('change', async e => {
  await openProject(e.target.value).catch(err => message(err.message));
});
$('rename-project').addEventListener('click', async () => {
  const name = prompt('Rename the project ' + project.name + ' to:', project.name);
  if (name && name !== project.name) await renameOpenProject(name).catch(e => message(e.message));
});
$('delete-project').addEventListener('click', async () => {
  const others = (await projectsList()).slice(1);
  if (!others.length) { message('This is the only project: there is nothing else to delete.'); return; }
  const name = prompt('Delete which project? (this cannot be undone)\n' + others.join('\n'), others[0]);
  if (!name || !others.includes(name)) { if (name) message(`No other project is called ${name}.`); return; }
  if (confirm(`Delete the project ${name} and every file in it?`))
    await deleteProject(name).catch(e => message(e.message));
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
  read: (path, as) => {
    const b = files.get(path);
    if (!b) return undefined;
    return TEXT_FILE.test(path) && as !== 'bytes' ? new TextDecoder().decode(b) : b.slice();
  },
  write: async (path, data) => {
    await write(path, toBytes(data), { label: 'write ' + path });
    if (path === openPath) refreshOpen();
    else drawTree();
    await runCheck();
  },
  remove: async path => {
    await remove(path);
    if (path === openPath) closeFile();
    drawTree();
    await runCheck();
  },
  create,
  rename,
  undo,
  redo,
  projects: () => projectsList(),
  fields: async path => { if (checked) await checked; return (await fieldsOf(path)).map(f => ({ ...f })); },
  orders: () => ordersOf().then(os => os.map(({ fields, ...o }) => o)),
  moveOrder: async (k, delay, x) => { const o = (await ordersOf())[k]; await moveOrder(o, delay, x); await runCheck(); },
  playFrom: k => playFrom(k),
  duplicate: async (path, name) => { const made = await duplicate(path, name); await runCheck(); return made; },
  openProject: name => openProject(name),
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
  paintPixels: async (sheet, pixels) => paintStroke(sheet, pixels),
  pixelEditor: () => pixelEditorState(),
  play,
  stop,
  exportContent,
  exportWeb: async () => {
    const { webBuild } = await import('./exportweb.js');
    await readyForExport();
    return webBuild(files);
  },
  openZip: (bytes, name) => openZip(new Uint8Array(bytes), name || 'the zip'),
  shareLink,
  reset: startAgain,
  // The tools' budget, {ms, memoryBytes}: the module started again under it, the folder put back.
  toolsBudget: b => setBudget(b),
};

start().catch(e => { status('The studio could not start: ' + e.message); });
