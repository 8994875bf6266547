// Projects: named folders in the browser's storage, one open at a time. Opening a zip, a
// folder, a drop or the shipped content makes a new project and keeps the one before; the list
// in the header switches between them, renames and deletes them (deleting asks). What comes in
// is read and checked whole first, then stored in one transaction, and only then shown, so a
// refusal or a reload half-way leaves every project as it was.
import * as store from './store.js';
import { files, project, useProject, flush, unsavedCount, message, clashOf } from './folder.js';
import { checkName } from './zipin.js';
import { clearFiles, putFile } from './tools.js';
import { record, forgetProject, renameInHistory } from './history.js';
import { sourcesOpened } from './sources.js';
import { holdProject, takeOver, tellSaved, tabHooks, projectHeld } from './tabs.js';
import { notice, clearNotice } from './notices.js';

let stored = true;                // false when the browser keeps nothing: projects in memory
const inMemory = new Map();       // name -> Map of files, when nothing is stored
let hooks = { shown: async () => {}, reloaded: async () => {} };

export function projectHooks(h) { hooks = { ...hooks, ...h }; }

// Every name of `entries` one the folder can take, none twice, none through a file.
export function checkEntries(entries) {
  const names = new Set();
  for (const [path] of entries) {
    checkName(path);
    if (names.has(path)) throw new Error(`${path} is in it twice`);
    names.add(path);
  }
  const dirs = new Set();
  for (const path of names) {
    const clash = clashOf(path, p => names.has(p));
    if (clash) throw new Error(clash);
    const parts = path.split('/');
    for (let i = 1; i < parts.length; i++) dirs.add(parts.slice(0, i).join('/'));
  }
  for (const path of names)
    if (dirs.has(path)) throw new Error(`${path} cannot be made: there is a folder of that name`);
}

export async function projectNames() {
  if (!stored) return [...inMemory.keys()];
  return (await store.listProjects()).names;
}

// The names, the open one first.
export async function projectsList() {
  const names = await projectNames();
  return [project.name, ...names.filter(n => n !== project.name).sort()].filter(n => n);
}

function freshName(base, names) {
  let name = base, k = 2;
  while (names.includes(name)) name = `${base} (${k++})`;
  return name;
}

// `name`'s files into the page and the tools module, and the tab's claim on it.
async function showProject(name, contents) {
  files.clear();
  await clearFiles();
  for (const [path, bytes] of contents) { files.set(path, bytes); await putFile(path, bytes); }
  useProject(name, stored);
  document.body.dataset.project = name;
  sourcesOpened(async () => hooks.reloaded());
  const mine = !stored || await holdProject(name);
  setReadOnly(!mine);
  if (stored) await store.setOpenProject(name).catch(() => {});
  await drawProjects();
}

function setReadOnly(readOnly) {
  project.readOnly = readOnly;
  document.body.dataset.readOnly = readOnly ? '1' : '';
  if (readOnly)
    notice('tabs', `${project.name} is open in another tab: read-only here, and kept up to date.`,
           [['Edit here instead', () => editHere()]]);
  else clearNotice('tabs');
}

async function load(name) {
  if (!stored) return { files: new Map(inMemory.get(name)), skipped: [] };
  return store.loadProject(name);
}

function tellSkipped(skipped, where) {
  if (skipped.length)
    notice('skipped:' + where, `Skipped ${skipped.length} record${skipped.length > 1 ? 's' : ''} of ` +
           `${where} the studio cannot read: ${skipped.slice(0, 5).join(', ')}` +
           (skipped.length > 5 ? ', ...' : ''), [['OK', () => clearNotice('skipped:' + where)]]);
}

// Before another project opens: everything of this one saved, or it stays open.
async function leave() {
  await flush();
  if (stored && project.name && !project.readOnly && unsavedCount())
    throw new Error(`${project.name} has changes the browser's storage refused; download the ` +
                    'content to keep them, or free some space, before opening another project');
  if (!stored && project.name) inMemory.set(project.name, new Map(files));
}

// Opens a stored project: `how.history === false` for the history's own walking.
export async function openProject(name, how = {}) {
  if (!(await projectNames()).includes(name)) throw new Error(`no project is called ${JSON.stringify(name)}`);
  const from = project.name;
  await leave();
  const { files: contents, skipped } = await load(name);
  tellSkipped(skipped, name);
  await showProject(name, contents);
  if (how.history !== false && from !== name)
    record({ label: `open ${name}`, switchFrom: from, switchTo: name });
  await hooks.shown(`${name}, as you left it.`);
}

// A new project of `entries`, named after `base`, opened; the one before is kept.
export async function newProject(base, entries, why) {
  checkEntries(entries);
  const from = project.name;
  await leave();
  const name = freshName(base, await projectNames());
  if (stored) await store.putProject(name, entries);
  else inMemory.set(name, new Map(entries));
  await showProject(name, new Map(entries));
  if (from) record({ label: why, switchFrom: from, switchTo: name });
  const back = from ? ` ${from} is kept: choose it in the list of projects to go back.` : '';
  await hooks.shown(why + '.' + back);
  return name;
}

export async function renameOpenProject(to) {
  to = to.trim();
  if (!to) throw new Error('a project needs a name');
  if ((await projectNames()).includes(to)) throw new Error(`a project is called ${JSON.stringify(to)} already`);
  const from = project.name;
  await flush();
  if (stored) await store.renameProject(from, to);
  else { inMemory.set(to, new Map(files)); inMemory.delete(from); }
  renameInHistory(from, to);
  useProject(to, stored);
  document.body.dataset.project = to;
  await holdProject(to);
  await drawProjects();
  message(`${from} is now called ${to}.`);
}

// Deletes a project that is not the open one (the list asks first).
export async function deleteProject(name) {
  if (name === project.name) throw new Error('open another project before deleting this one');
  if (await projectHeld(name)) throw new Error(`${name} is open in another tab: close it there first`);
  if (stored) await store.deleteProject(name);
  else inMemory.delete(name);
  forgetProject(name, true);
  await drawProjects();
  message(`${name} deleted.`);
}

// This tab takes the project from the tab editing it, once that tab has saved it all.
export async function editHere() {
  const name = project.name;
  notice('tabs', `Asking the other tab to hand ${name} over...`);
  await takeOver(name);
  const { files: contents } = await load(name);
  forgetProject(name);
  await showProject(name, contents);
  await hooks.reloaded(`${name}: edited here now.`);
}

tabHooks({
  // Another tab takes the open project: everything saved first, then read-only here.
  handOver: async name => {
    if (name !== project.name) return;
    await flush();
    setReadOnly(true);
    await hooks.reloaded(`${name} is being edited in another tab now: read-only here.`);
  },
  // The tab editing the project saved: this read-only one shows it as saved.
  saved: async name => {
    if (!project.readOnly || name !== project.name) return;
    const { files: contents } = await load(name);
    files.clear();
    await clearFiles();
    for (const [path, bytes] of contents) { files.set(path, bytes); await putFile(path, bytes); }
    sourcesOpened(async () => hooks.reloaded());
    await hooks.reloaded();
  },
});
window.addEventListener('studio-saved', e => tellSaved(e.detail.project));

// The list of projects in the header.
export async function drawProjects() {
  const select = document.getElementById('project');
  const names = await projectsList().catch(() => [project.name]);
  select.textContent = '';
  for (const n of names) {
    const o = document.createElement('option');
    o.value = o.textContent = n;
    select.appendChild(o);
  }
  select.value = project.name;
}

// At start: the project open last, or `first()`'s entries as the first project.
export async function startProjects(first) {
  try {
    const { skipped } = await store.listProjects();
    tellSkipped(skipped, 'the list of projects');
  } catch (e) {
    stored = false;
    notice('storage', `The browser keeps nothing for this page (${e.message}): projects last as ` +
           'long as the tab; download the content to keep it.');
  }
  const names = await projectNames();
  const last = stored ? await store.openProjectName().catch(() => null) : null;
  const name = names.includes(last) ? last : names.sort()[0];
  if (name) {
    const { files: contents, skipped } = await load(name);
    tellSkipped(skipped, name);
    await showProject(name, contents);
    await hooks.shown(`${name}, as you left it.`);
  } else {
    await newProject('The shipped content', await first(), 'The shipped content');
  }
}
