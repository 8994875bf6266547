// The open project's files, kept the same in the tools module's file system and in the
// browser's storage. Every change goes through change() (write() and remove() are its short
// forms): it refuses a name the folder cannot take before anything moves, records the step in
// the history, and saves every file of the step in one transaction. A save the browser refuses
// is said at once; the change stays in the page and is saved again with the next one.
import { saveChanges } from './store.js';
import { checkName } from './zipin.js';
import { putFile, removeFile } from './tools.js';
import { record } from './history.js';
import { sourceTouched } from './sources.js';

export const files = new Map();   // path -> Uint8Array
export const TEXT_FILE = /\.(txt|dpo|sheet|colors)$/i;
export const project = { name: '', readOnly: false, kept: true };

const unsaved = new Map();        // path -> bytes or null, not yet in the storage
// Told of every change, after the files are changed: the page shows it (main.js).
export const changeHooks = [];
let saving = Promise.resolve();   // the saves under way, in order

export function message(text) { document.getElementById('message').textContent = text; }
export function status(text) { document.getElementById('status').textContent = text; }

// Why `path` cannot join the folder, or '' when it can: no folder on its way may be a file.
export function clashOf(path, has) {
  const parts = path.split('/');
  for (let i = 1; i < parts.length; i++) {
    const dir = parts.slice(0, i).join('/');
    if (has(dir)) return `${path} cannot be made: ${dir} is a file, not a folder`;
  }
  return '';
}

function checkChanges(changes) {
  const after = new Map(files);
  for (const [path, bytes] of changes) if (bytes) after.set(path, bytes); else after.delete(path);
  const dirs = new Set();
  for (const path of after.keys()) {
    const parts = path.split('/');
    for (let i = 1; i < parts.length; i++) dirs.add(parts.slice(0, i).join('/'));
  }
  for (const [path, bytes] of changes) {
    if (!bytes) continue;
    checkName(path);
    if (dirs.has(path)) throw new Error(`${path} cannot be made: there is a folder of that name`);
    const clash = clashOf(path, p => after.has(p));
    if (clash) throw new Error(clash);
  }
}

function edited() {
  message(`${project.name}, edited.`);
}

// Saves what is not saved yet; a refusal is told and the files stay waiting.
function save() {
  if (!project.kept || project.readOnly || unsaved.size === 0) return saving;
  const batch = [...unsaved];
  const name = project.name;
  unsaved.clear();
  saving = saving.catch(() => {}).then(() => saveChanges(name, batch)).then(() => {
    document.body.dataset.unsaved = '';
    window.dispatchEvent(new CustomEvent('studio-saved', { detail: { project: name } }));
  }, e => {
    if (name === project.name)
      for (const [path, bytes] of batch) if (!unsaved.has(path)) unsaved.set(path, bytes);
    document.body.dataset.unsaved = '1';
    message(`Not saved in the browser's storage (${e.message || e.name}): the change is kept ` +
            'in this page; download the content to keep it.');
    throw e;
  });
  return saving;
}

export const flush = () => save().catch(() => {});
export const unsavedCount = () => unsaved.size;

// The one way files of the project change: [path, bytes or null to delete] in one step.
// `how.label` names the step; `how.typing` lets typing in one file join the step before;
// `how.history === false` for the history's own undo and redo.
export async function change(changes, how = {}) {
  if (project.readOnly) throw new Error(`${project.name} is being edited in another tab: ` +
                                        'choose "Edit here instead" to edit it here');
  checkChanges(changes);
  const step = [];
  for (const [path, bytes] of changes) step.push({ path, before: files.get(path) || null, after: bytes });
  if (how.history !== false) record({ label: how.label || 'edit', project: project.name,
                                      changes: step, typing: how.typing });
  edited();
  // New names before old ones go, so that no moment holds neither.
  const ordered = [...changes].sort((a, b) => (b[1] ? 1 : 0) - (a[1] ? 1 : 0));
  for (const [path, bytes] of ordered) {
    if (bytes) { files.set(path, bytes); await putFile(path, bytes); }
    else { files.delete(path); await removeFile(path); }
    unsaved.set(path, bytes);
    sourceTouched(path);
  }
  for (const hook of changeHooks) hook(changes.map(c => c[0]), how);
  return save();
}

export const write = (path, bytes, how) => change([[path, bytes]], how);
export const remove = (path, how) => change([[path, null]], { label: 'delete ' + path, ...how });

// A file the content builder made from its source: kept and saved, not a step of its own.
export function keepBuilt(path, bytes) {
  files.set(path, bytes);
  if (!project.readOnly) unsaved.set(path, bytes);
  return save();
}

// The project now open (projects.js fills `files` and the tools module).
export function useProject(name, kept) {
  project.name = name;
  project.kept = kept;
  unsaved.clear();
}
