// The checker's verdict on the folder after every change: the problems, each at its place and
// a click away from it, the tree and the editor marked, and the graphics as the game cut them.
import { files, status } from './folder.js';
import { rebuildSources, sourcesNeedBuilding } from './sources.js';
import { toolsCall, listing } from './tools.js';
import { markEditor, openFile } from './editor.js';
import { drawTree } from './tree.js';
import { drawGraphics } from './graphics.js';

const $ = id => document.getElementById(id);
const CHECK_DELAY_MS = 250;       // after the last key

export let problems = [];         // {file, line, severity, text}
export let report = null;         // the checker's last answer
export let graphics = null;       // the listing of the graphics, as the game cut them
let checkTimer = 0;
export let checked = null;        // a promise of the check under way
export const afterCheck = [];     // what follows each check (the forms, the timeline)

export function scheduleCheck() {
  clearTimeout(checkTimer);
  checkTimer = setTimeout(() => { runCheck(); }, CHECK_DELAY_MS);
}

// Only while it is shown: the listing loads the content once more.
export async function drawListing() {
  if (!$('listing').parentElement.open) return;
  try {
    $('listing').textContent = (await listing()).join('\n');
  } catch (e) {
    $('listing').textContent = e.message;
  }
}

const PLACE = /^(.*?):(\d+): (.*)$/;

// The native lines name the native tools; in the page the same fix is a button.
const browserActions = text => text.replace(/ \(run mkcontent build\)$/,
  ': choose "Keep the BMP" or "Rebuild from the sheet" in the bar above');

function parseProblem(nativeLine) {
  const line = browserActions(nativeLine);
  const m = PLACE.exec(line);
  const severity = / warning: /.test(' ' + (m ? m[3] : line)) ? 'warning' : 'error';
  if (!m) {
    const colon = line.indexOf(': ');
    return { file: colon > 0 ? line.slice(0, colon) : '', line: 0, severity,
             text: colon > 0 ? line.slice(colon + 2) : line };
  }
  return { file: m[1], line: Number(m[2]), severity, text: m[3] };
}

function drawProblems() {
  const box = $('problems');
  box.textContent = '';
  if (problems.length === 0) {
    const d = document.createElement('div');
    d.className = 'clean';
    d.textContent = report ? `Clean: ${report.graphics} graphics, ${report.enemies} enemies, ` +
                             `${report.orders} orders.` : '';
    box.appendChild(d);
  }
  for (const p of problems) {
    const d = document.createElement('div');
    d.className = p.severity;
    d.textContent = p.line ? `${p.file}:${p.line}: ${p.text}` : p.file ? `${p.file}: ${p.text}` : p.text;
    d.tabIndex = 0;
    d.addEventListener('click', () => openFile(p.file, p.line));
    d.addEventListener('keydown', e => { if (e.key === 'Enter') openFile(p.file, p.line); });
    box.appendChild(d);
  }
}

// One check at a time: changes made while one runs are checked once, after it.
let running = null, queued = null;
export function runCheck() {
  clearTimeout(checkTimer);
  if (running) {
    if (!queued) queued = running.then(() => { queued = null; return runCheck(); });
    checked = queued;
    return queued;
  }
  running = checkOnce().finally(() => { running = null; });
  checked = running;
  return running;
}

function checkOnce() {
  return (async () => {
    const t0 = performance.now();
    let failed = null;
    try {
      if (sourcesNeedBuilding()) await rebuildSources();
      report = await toolsCall('studioCheck', '.');
      problems = report.lines.map(parseProblem);
      graphics = await toolsCall('studioGraphics', '.');
    } catch (e) {
      // The tools stopped (and started afresh): what stopped them is the one problem shown.
      failed = e;
      report = null;
      graphics = null;
      problems = [{ file: e.file || '', line: 0, severity: 'error', text: e.message }];
    }
    const ms = performance.now() - t0;
    drawProblems();
    markEditor();
    drawTree();
    drawGraphics();
    if (!failed) await drawListing().catch(() => {});
    for (const f of afterCheck) await f();
    document.body.dataset.checks = String(Number(document.body.dataset.checks || 0) + 1);
    // What stopped, here; the message line says the rest.
    if (failed) status(`${files.size} files; not checked: ${failed.message.split('. ')[0]}.`);
    else status(`${files.size} files; checked in ${ms.toFixed(0)} ms: ` +
                (problems.length ? `${problems.length} problem${problems.length === 1 ? '' : 's'}`
                                 : 'clean'));
    return problems;
  })();
}
