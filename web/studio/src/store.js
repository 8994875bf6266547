// The folder being edited, kept in the browser's IndexedDB: one record per file, its path the
// key, so that a reload, a crashed game or a closed tab loses nothing.
const DB = 'starlane-studio', STORE = 'files';

let opened = null;
function db() {
  if (!opened)
    opened = new Promise((resolve, reject) => {
      const request = indexedDB.open(DB, 1);
      request.onupgradeneeded = () => request.result.createObjectStore(STORE);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    });
  return opened;
}

async function run(mode, work) {
  const d = await db();
  return new Promise((resolve, reject) => {
    const t = d.transaction(STORE, mode);
    const result = work(t.objectStore(STORE));
    t.oncomplete = () => resolve(result && result.result);
    t.onerror = () => reject(t.error);
  });
}

export async function loadFolder() {
  const d = await db();
  return new Promise((resolve, reject) => {
    const out = new Map();
    const cursor = d.transaction(STORE).objectStore(STORE).openCursor();
    cursor.onsuccess = () => {
      const c = cursor.result;
      if (!c) { resolve(out); return; }
      out.set(c.key, new Uint8Array(c.value));
      c.continue();
    };
    cursor.onerror = () => reject(cursor.error);
  });
}

export const saveFile = (path, bytes) => run('readwrite', s => s.put(bytes, path));
export const deleteFile = path => run('readwrite', s => s.delete(path));
export const clearFolder = () => run('readwrite', s => s.clear());
