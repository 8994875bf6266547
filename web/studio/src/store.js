// The folder being edited, kept in the browser's IndexedDB: one record per file, its path the
// key, so that a reload, a crashed game or a closed tab loses nothing. Each build on a host
// has a database of its own, named by the folder it is served from (a game in /game/ and a
// mod in /mod/ keep their own folders); a build at the host's root keeps the name every
// build had before, so its folder is where it was.
const STORE = 'files', SHARED = 'starlane-studio';
const SCOPE = location.pathname.replace(/[^/]*$/, '');
const DB = SCOPE === '/' ? SHARED : `${SHARED} ${SCOPE}`;

// The database `name`, made when missing with the records of `fill` in the same step (so it
// is never there half filled); without `fill` a missing one is left missing (null).
function open(name, fill) {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(name, 1);
    request.onupgradeneeded = () => {
      if (!fill) { request.transaction.abort(); return; }
      const store = request.result.createObjectStore(STORE);
      for (const [key, value] of fill) store.put(value, key);
    };
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => (fill ? reject(request.error) : resolve(null));
  });
}

function readAll(d) {
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

// A build in a folder of its own opens, the first time, with a copy of the folder all builds
// shared before (which stays as it was).
let opened = null;
function db() {
  if (!opened)
    opened = (async () => {
      if (DB === SHARED) return open(DB, new Map());
      const own = await open(DB, null);
      if (own) return own;
      const shared = await open(SHARED, null);
      const copy = shared ? await readAll(shared) : new Map();
      if (shared) shared.close();
      return open(DB, copy);
    })();
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
  return readAll(await db());
}

export const saveFile = (path, bytes) => run('readwrite', s => s.put(bytes, path));
export const deleteFile = path => run('readwrite', s => s.delete(path));
export const clearFolder = () => run('readwrite', s => s.clear());
