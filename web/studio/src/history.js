// One history for the tab: every edit, paint stroke, new file, rename, delete and import is a
// step, and Undo / Redo walk it across files and projects for as long as the tab lives. A step
// holds each file's bytes before and after, so walking it puts back exactly what was there.
// Typing in one file within a moment joins the step before, as an editor's undo does.
const JOIN_MS = 1000;
const done = [], undone = [];
let applying = false;
let hooks = { apply: null, switchTo: null, changed: () => {} };

// `apply(project, changes)` puts files back; `switchTo(project)` opens a project;
// `changed()` is told whenever the history moved.
export function historyHooks(h) { hooks = { ...hooks, ...h }; }

// A step: {label, project, changes: [{path, before, after}], typing} or
// {label, switchFrom, switchTo} for opening another project.
export function record(step) {
  if (applying) return;
  const last = done[done.length - 1];
  const now = performance.now();
  if (step.typing && last && last.typing && last.project === step.project &&
      last.changes.length === 1 && step.changes.length === 1 &&
      last.changes[0].path === step.changes[0].path && now - last.at < JOIN_MS) {
    last.changes[0].after = step.changes[0].after;
    last.at = now;
  } else {
    done.push({ ...step, at: now });
  }
  undone.length = 0;
  hooks.changed();
}

// Steps about a project that another tab has since changed are of no use to walk; nor, once a
// project is deleted, the openings of it (`gone`).
export function forgetProject(name, gone = false) {
  const about = s => s.project === name || (gone && (s.switchFrom === name || s.switchTo === name));
  for (const list of [done, undone])
    for (let i = list.length - 1; i >= 0; i--) if (about(list[i])) list.splice(i, 1);
  hooks.changed();
}

export function renameInHistory(from, to) {
  for (const s of [...done, ...undone]) {
    if (s.project === from) s.project = to;
    if (s.switchFrom === from) s.switchFrom = to;
    if (s.switchTo === from) s.switchTo = to;
  }
}

export const canUndo = () => done.length > 0;
export const canRedo = () => undone.length > 0;
export const nextUndo = () => done.length ? done[done.length - 1].label : '';
export const nextRedo = () => undone.length ? undone[undone.length - 1].label : '';

async function walk(from, to, back) {
  const step = from.pop();
  if (!step) return null;
  applying = true;
  try {
    if (step.switchTo !== undefined) await hooks.switchTo(back ? step.switchFrom : step.switchTo);
    else await hooks.apply(step.project, step.changes.map(c => [c.path, back ? c.before : c.after]));
    step.typing = false;          // a walked step is whole: typing after it starts a new one
    to.push(step);
  } catch (e) {
    from.push(step);
    throw e;
  } finally {
    applying = false;
    hooks.changed();
  }
  return step;
}

export const undo = () => walk(done, undone, true);
export const redo = () => walk(undone, done, false);
