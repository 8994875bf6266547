// The studio's projects, kept in the browser's IndexedDB so that a reload, a crashed game or a
// closed tab loses nothing: one record per file, keyed [project, path]; one record per project;
// and which project was open. Everything that changes more than one record does it in one
// transaction, so a failure or a reload half-way leaves the storage as it was. Every call
// settles: a refused write (quota, private mode, a full disk) rejects with the browser's reason.
//
// Each build on a host has a database of its own, named by the folder it is served from (a
// game in /game/ and a mod in /mod/ keep their own projects); a build at the host's root keeps
// the name every build had before, so its projects are where they were. The name is made here
// alone.
const SHARED = 'starlane-studio';
const SCOPE = location.pathname.replace(/[^/]*$/, '');
export const DB_NAME = SCOPE === '/' ? SHARED : `${SHARED} ${SCOPE}`;
const FILES = 'project-files', PROJECTS = 'projects', META = 'meta';
const OLD_FILES = 'files';                  // version 1: one folder, keyed by path
export const FIRST_PROJECT = 'My folder';   // what version 1's folder becomes

// Every record of the database `name` as [store, key, value], or null when there is none (it is
// not made by looking).
function readDatabase(name) {
  return new Promise(resolve => {
    const request = indexedDB.open(name);
    request.onupgradeneeded = () => request.transaction.abort();
    request.onerror = () => resolve(null);
    request.onsuccess = () => {
      const d = request.result, out = [];
      const stores = [...d.objectStoreNames];
      if (!stores.length) { d.close(); resolve(out); return; }
      const t = d.transaction(stores);
      for (const store of stores) {
        const cursor = t.objectStore(store).openCursor();
        cursor.onsuccess = () => {
          const c = cursor.result;
          if (c) { out.push([store, c.key, c.value]); c.continue(); }
        };
      }
      t.oncomplete = () => { d.close(); resolve(out); };
      t.onabort = () => { d.close(); resolve(null); };
    };
  });
}

// A build in a folder of its own opens, the first time, with a copy of the projects (or the one
// folder) all builds shared before, which stay as they were.
async function inheritance() {
  if (DB_NAME === SHARED || !indexedDB.databases) return [];
  const known = await indexedDB.databases().catch(() => []);
  if (known.some(d => d.name === DB_NAME)) return [];
  return (await readDatabase(SHARED)) || [];
}

let opened = null;
function db() {
  if (!opened)
    opened = new Promise((resolve, reject) => {
      if (typeof indexedDB === 'undefined') { reject(new Error('this browser keeps no storage here')); return; }
      resolve(inheritance());
    }).then(inherited => new Promise((resolve, reject) => {
      const request = indexedDB.open(DB_NAME, 2);
      request.onupgradeneeded = e => {
        const d = request.result, t = request.transaction;
        if (!d.objectStoreNames.contains(FILES)) d.createObjectStore(FILES);
        if (!d.objectStoreNames.contains(PROJECTS)) d.createObjectStore(PROJECTS);
        if (!d.objectStoreNames.contains(META)) d.createObjectStore(META);
        if (e.oldVersion === 0 && inherited.length) {
          // The shared database's records, in the same step that makes this one.
          let folder = false;
          for (const [store, key, value] of inherited) {
            if (store === OLD_FILES) { t.objectStore(FILES).put(value, [FIRST_PROJECT, key]); folder = true; }
            else if (store === FILES || store === PROJECTS || store === META) t.objectStore(store).put(value, key);
          }
          if (folder) {
            t.objectStore(PROJECTS).put({ name: FIRST_PROJECT, made: Date.now() }, FIRST_PROJECT);
            t.objectStore(META).put(FIRST_PROJECT, 'open');
          }
        }
        if (e.oldVersion === 1 && d.objectStoreNames.contains(OLD_FILES)) {
          // The one folder of before becomes a project, in the same upgrade.
          const files = t.objectStore(FILES);
          let any = false;
          const cursor = t.objectStore(OLD_FILES).openCursor();
          cursor.onsuccess = () => {
            const c = cursor.result;
            if (c) {
              files.put(c.value, [FIRST_PROJECT, c.key]);   // what it cannot read is named at load
              any = true;
              c.continue();
              return;
            }
            if (any) {
              t.objectStore(PROJECTS).put({ name: FIRST_PROJECT, made: Date.now() }, FIRST_PROJECT);
              t.objectStore(META).put(FIRST_PROJECT, 'open');
            }
            d.deleteObjectStore(OLD_FILES);
          };
        }
      };
      request.onsuccess = () => {
        const d = request.result;
        d.onversionchange = () => d.close();
        resolve(d);
      };
      request.onerror = () => reject(request.error || new Error('the storage could not be opened'));
      request.onblocked = () => {};   // another tab of an older studio: success follows when it closes
    }));
  return opened.catch(e => { opened = null; throw e; });
}

// One transaction over `stores`; `work` queues its requests. Resolves when it is committed.
async function run(stores, work) {
  const d = await db();
  return new Promise((resolve, reject) => {
    let t, result;
    try {
      t = d.transaction(stores, 'readwrite');
      result = work(t);
    } catch (e) { reject(e); return; }
    t.oncomplete = () => resolve(result);
    t.onabort = () => reject(t.error || new Error('the browser refused the write'));
  });
}

async function read(store, range) {
  const d = await db();
  return new Promise((resolve, reject) => {
    const out = [];
    let cursor;
    try { cursor = d.transaction(store).objectStore(store).openCursor(range); } catch (e) { reject(e); return; }
    cursor.onsuccess = () => {
      const c = cursor.result;
      if (!c) { resolve(out); return; }
      out.push([c.key, c.value]);
      c.continue();
    };
    cursor.onerror = () => reject(cursor.error);
  });
}

const range = project => IDBKeyRange.bound([project], [project, []]);   // [project, any path]
const asBytes = v => v instanceof Uint8Array ? v : v instanceof ArrayBuffer ? new Uint8Array(v) : null;
const keyName = k => { try { return JSON.stringify(k); } catch (e) { return String(k); } };

// The projects' names, and the records that are no project the studio can read (named).
export async function listProjects() {
  const names = [], skipped = [];
  for (const [key, value] of await read(PROJECTS)) {
    if (typeof key === 'string' && value && value.name === key) names.push(key);
    else skipped.push(keyName(key));
  }
  return { names, skipped };
}

export async function openProjectName() {
  const [entry] = (await read(META)).filter(([k]) => k === 'open');
  return entry && typeof entry[1] === 'string' ? entry[1] : null;
}

// A project's files; a record that is not a file's bytes is named in `skipped`, not taken.
export async function loadProject(project) {
  const files = new Map(), skipped = [];
  for (const [key, value] of await read(FILES, range(project))) {
    const bytes = asBytes(value);
    if (Array.isArray(key) && typeof key[1] === 'string' && bytes) files.set(key[1], bytes);
    else skipped.push(keyName(key));
  }
  return { files, skipped };
}

// Changes to one project's files, [path, bytes or null to delete], all or none.
export const saveChanges = (project, changes) => run([FILES], t => {
  const s = t.objectStore(FILES);
  for (const [path, bytes] of changes)
    if (bytes) s.put(bytes, [project, path]); else s.delete([project, path]);
});

// A new project made whole from `entries` and opened, or nothing at all.
export const putProject = (project, entries) => run([FILES, PROJECTS, META], t => {
  const s = t.objectStore(FILES);
  s.delete(range(project));
  for (const [path, bytes] of entries) s.put(bytes, [project, path]);
  t.objectStore(PROJECTS).put({ name: project, made: Date.now() }, project);
  t.objectStore(META).put(project, 'open');
});

export const setOpenProject = project => run([META], t => { t.objectStore(META).put(project, 'open'); });

export async function renameProject(from, to) {
  const { files } = await loadProject(from);
  return run([FILES, PROJECTS, META], t => {
    const s = t.objectStore(FILES);
    for (const [path, bytes] of files) s.put(bytes, [to, path]);
    s.delete(range(from));
    t.objectStore(PROJECTS).delete(from);
    t.objectStore(PROJECTS).put({ name: to, made: Date.now() }, to);
    t.objectStore(META).put(to, 'open');
  });
}

export const deleteProject = project => run([FILES, PROJECTS], t => {
  t.objectStore(FILES).delete(range(project));
  t.objectStore(PROJECTS).delete(project);
});
