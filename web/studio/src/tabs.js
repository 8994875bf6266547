// Two tabs on one project: the first holds the project's lock (Web Locks) and edits it; a
// second opens it read-only and learns of every save through a BroadcastChannel. "Edit here
// instead" asks the first to hand it over: that tab saves what it has, turns read-only and lets
// the lock go; this one then reads the project as saved and edits it. No write is lost.
import { DB_NAME } from './store.js';

const channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel(DB_NAME + ' tabs') : null;
const locks = typeof navigator !== 'undefined' && navigator.locks;
const lockName = project => `${DB_NAME} project ${project}`;
let held = null;                  // {name, release}
let hooks = { handOver: async () => {}, saved: () => {} };

export function tabHooks(h) { hooks = { ...hooks, ...h }; }

export function letGo() {
  if (held) { held.release(); held = null; }
}

function take(name, how) {
  return new Promise((resolve, reject) => {
    locks.request(lockName(name), how, lock => {
      if (!lock) { resolve(false); return undefined; }
      return new Promise(release => { held = { name, release }; resolve(true); });
    }).catch(reject);
  });
}

// 1 when this tab may edit `name`; 0 when another tab holds it.
export async function holdProject(name) {
  if (held && held.name === name) return true;
  letGo();
  if (!locks) return true;
  return take(name, { ifAvailable: true });
}

// Asks the tab holding `name` to hand it over; settles once this tab holds it.
export async function takeOver(name) {
  letGo();
  if (!locks) return true;
  const got = take(name, {});
  if (channel) channel.postMessage({ take: name });
  return got;
}

// 1 when some tab (this one or another) holds `name`.
export async function projectHeld(name) {
  if (!locks || !locks.query) return false;
  const { held } = await locks.query();
  return held.some(l => l.name === lockName(name));
}

export function tellSaved(name) {
  if (channel) channel.postMessage({ saved: name });
}

if (channel)
  channel.onmessage = async e => {
    const m = e.data || {};
    if (m.take && held && held.name === m.take) {
      const mine = held;
      try { await hooks.handOver(m.take); } finally {
        if (held === mine) letGo();
      }
    } else if (m.saved) hooks.saved(m.saved);
  };
