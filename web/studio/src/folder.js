// The folder being edited: the files, kept the same in the tools module's file system and in
// the browser's storage. Every change goes through write() or remove(), so the message line
// always knows when the folder has been edited.
import { saveFile, deleteFile, clearFolder } from './store.js';
import { checkName } from './zipin.js';
import { toolsCall, putFile, removeFile, clearFiles, readFile } from './tools.js';

export const files = new Map();   // path -> Uint8Array
export const TEXT_FILE = /\.(txt|dpo|sheet|colors)$/i;
const SOURCE_FILE = /\.(sheet|colors)$/i;

let sourcesChanged = false;       // a picture source was written since the pictures were built
// What the folder is, as the message line tells it once the folder is edited.
let folderIs = 'Your folder';
let replacing = false;

export function message(text) { document.getElementById('message').textContent = text; }
export function status(text) { document.getElementById('status').textContent = text; }

function edited() {
  if (!replacing) message(`${folderIs}, edited.`);
}

// The one way a file of the folder changes.
export async function write(path, bytes) {
  checkName(path);
  edited();
  sourcesChanged = sourcesChanged || SOURCE_FILE.test(path);
  files.set(path, bytes);
  await putFile(path, bytes);
  await saveFile(path, bytes);
}

export async function remove(path) {
  edited();
  files.delete(path);
  await removeFile(path);
  await deleteFile(path);
}

// The folder as the storage kept it, into the tools module's file system.
export async function restore(stored) {
  for (const [path, bytes] of stored) { files.set(path, bytes); await putFile(path, bytes); }
}

// Every file of the folder replaced by `entries`; `what` is what the folder then is.
export async function replaceAll(entries, what) {
  await clearFolder();
  files.clear();
  await clearFiles();
  replacing = true;
  try {
    for (const [path, bytes] of entries) await write(path, bytes);
  } finally {
    replacing = false;
  }
  folderIs = what;
}

export const sourcesNeedBuilding = () => sourcesChanged || !files.has('palette.pal');

// A changed picture source makes its pictures again, through the content builder.
export async function rebuildSources() {
  sourcesChanged = false;
  const built = await toolsCall('studioBuild', '.');
  for (const written of built.wrote) {
    const path = written.replace(/^\.\//, '');
    const bytes = await readFile(path);
    files.set(path, bytes);
    await saveFile(path, bytes);
  }
  return built;
}

