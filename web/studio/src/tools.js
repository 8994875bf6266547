// The studio's tools module (starlane-tools.wasm: the checker, the listing, the content
// builder's sheet reader), working on a copy of the folder in its memory file system, in a
// worker of its own (toolsworker.js) so that no check ever holds the page. Every call has a
// budget of time and memory; a module that aborts, throws or runs over is ended, a fresh one
// started with the folder put back, and the call refused with what stopped, on which file.
const WORKER = 'studio-tools-worker.js';

// A check of content at every bound takes about a second and a few hundred MiB. A budget set
// through setBudget lasts as long as the tab, reloads included (sessionStorage).
const BUDGET_KEY = 'starlane-tools-budget';
export const budget = { ms: 30000, memoryBytes: 1024 * 1024 * 1024 };
try { Object.assign(budget, JSON.parse(sessionStorage.getItem(BUDGET_KEY) || '{}')); } catch (e) { /* none */ }

let worker = null;
let chain = Promise.resolve();    // one call at a time, each timed from its own start
let current = null;               // the call under way: {id, resolve, reject, timer}
let lastOpened = '';              // the folder's file the module opened last
let nextId = 1;
const copy = new Map();           // what the module's folder holds: path -> bytes
let stopped = () => {};           // told the text when the tools stopped and started afresh

export function whenToolsStop(tell) { stopped = tell; }

const LABELS = {
  studioCheck: 'The check', studioBuild: 'The content builder', studioGraphics: 'The graphics',
  studioBitmap: 'The bitmap reader', studioPalette: 'The palette reader', studioPaint: 'Painting',
  studioList: 'The listing', put: 'Copying a file into the tools', remove: 'Removing a file',
  clear: 'Emptying the tools\' folder', read: 'Reading a built file',
};

function startWorker() {
  worker = new Worker(WORKER);
  worker.onmessage = e => {
    const m = e.data;
    if (m.opened !== undefined) { lastOpened = m.opened; return; }
    if (!current || m.id !== current.id) return;
    if (m.error !== undefined) current.fail(m.error, m.file);
    else current.done(m.value);
  };
  worker.onerror = e => {
    e.preventDefault();
    if (current) current.fail(e.message || 'the worker failed', lastOpened);
  };
}

// Starting a module and putting the folder back into it are not the calls the budget is for.
const STARTING_MS = 60000;

// One message to the worker and its answer, within `ms`.
function post(message, ms = budget.ms) {
  return new Promise((resolve, reject) => {
    const id = nextId++;
    lastOpened = '';
    const settle = () => { clearTimeout(call.timer); current = null; };
    const call = {
      id,
      done: value => { settle(); resolve(value); },
      fail: (why, file) => { settle(); reject(Object.assign(new Error(why), { file: file || '' })); },
    };
    call.timer = setTimeout(() => call.fail(`still working after ${ms / 1000} s`, lastOpened), ms);
    current = call;
    worker.postMessage({ ...message, id });
  });
}

function why(text) {
  if (/abort|out of memory|cannot enlarge|oom|allocation/i.test(text))
    return `out of memory (the tools' budget is ${Math.round(budget.memoryBytes / 1048576)} MiB)`;
  return text;
}

// A fresh module with the folder put back; the old one, if any, ended where it stood.
async function restart() {
  if (worker) worker.terminate();
  startWorker();
  try {
    await post({ op: 'start', memoryBytes: budget.memoryBytes }, STARTING_MS);
    for (const [path, bytes] of copy) await post({ op: 'put', path, bytes }, STARTING_MS);
  } catch (e) {
    worker.terminate();
    worker = null;                // the next call tries again
    throw e;
  }
}

// Each call after the one before it. A call that fails ends the module; the next starts afresh.
function send(message, name) {
  const run = chain.then(async () => {
    try {
      if (!worker) await restart();
      return await post(message);
    } catch (e) {
      if (worker) worker.terminate();
      worker = null;
      const label = LABELS[name] || name;
      let again = 'The tools were started afresh; the folder is as it was.';
      try {
        await restart();
      } catch (failed) {
        again = `The tools could not be started again (${why(failed.message)}); the next change ` +
                'tries once more, and the folder is as it was.';
      }
      const text = `${label} (${name}) stopped` + (e.file ? ` on ${e.file}` : '') + `: ${why(e.message)}. ` +
                   again;
      stopped(text);
      throw Object.assign(new Error(text), { file: e.file, toolsStopped: true });
    }
  });
  chain = run.catch(() => {});
  return run;
}

export async function startTools() {
  chain = chain.then(restart);
  const started = chain;
  chain = chain.catch(() => {});
  await started;
}

// The budget changed (for tests and slow machines): the module started again under it.
export async function setBudget(b) {
  Object.assign(budget, b);
  try { sessionStorage.setItem(BUDGET_KEY, JSON.stringify(budget)); } catch (e) { /* kept until reload */ }
  chain = chain.then(restart);
  const started = chain;
  chain = chain.catch(() => {});
  await started;
}

// The module's copy of the folder, kept the same as the folder (folder.js). These never fail
// the change they copy: a module that stops on one is started afresh from `copy`, which holds
// the change already, and what stopped it has been said.
const told = () => {};

export async function putFile(path, bytes) {
  copy.set(path, bytes);
  await send({ op: 'put', path, bytes }, 'put').catch(told);
}

export async function removeFile(path) {
  copy.delete(path);
  await send({ op: 'remove', path }, 'remove').catch(told);
}

export async function clearFiles() {
  copy.clear();
  await send({ op: 'clear' }, 'clear').catch(told);
}

// A file the module wrote (a built picture, a painted sheet).
export async function readFile(path) {
  const bytes = await send({ op: 'read', path }, 'read');
  copy.set(path, bytes);
  return bytes;
}

// One of programs/studio_tools.cpp's calls, in the folder: its JSON answer, parsed (pictures'
// pixels as bytes, each graphic with a key that is the same while its pictures are).
// The graphics' frames as last given, by the graphic's key: the worker sends no pixels for a
// graphic the page already holds.
let framesOf = new Map();

export async function toolsCall(name, ...args) {
  const answer = await send({ op: 'call', name, args, known: [...framesOf.keys()] }, name);
  if (Array.isArray(answer.graphics)) {
    const next = new Map();
    for (const g of answer.graphics) {
      if (g.same) { g.frames = framesOf.get(g.key); delete g.same; }
      next.set(g.key, g.frames);
    }
    framesOf = next;
  }
  return answer;
}

// starlane-check --list on the folder: its lines, as the native tool prints them.
export function listing() {
  return send({ op: 'list' }, 'studioList');
}
