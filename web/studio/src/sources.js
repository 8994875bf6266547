// The pictures made from their sources (palette.colors -> palette.pal, Graphics/X.sheet ->
// Graphics/X.bmp) by the content builder in the tools module, each source on its own: one
// broken sheet leaves the others' pictures current. A picture is rebuilt only while it is known
// to be what its source made; one that differs (drawn by hand, or brought in a zip) is never
// rebuilt silently: the studio says so and offers to keep it or to rebuild it.
import { files, change, keepBuilt, message, project } from './folder.js';
import { toolsCall, readFile } from './tools.js';
import { notice, clearNotice, clearNotices } from './notices.js';
import { record } from './history.js';

const current = new Set();        // outputs known to be what their source makes
let pending = true;               // a source or an output changed since the last build
let afterDecision = async () => {};
export let lastBuild = { failed: [], differs: [] };

export const sourceOf = path => path === 'palette.pal' ? 'palette.colors'
  : /^Graphics\/[^/]+\.bmp$/i.test(path) ? path.replace(/\.bmp$/i, '.sheet') : '';
const isSource = path => path === 'palette.colors' || /^Graphics\/[^/]+\.sheet$/i.test(path);

// Told of every change to the project's files (folder.js).
export function sourceTouched(path) {
  if (isSource(path)) pending = true;
  else if (sourceOf(path)) { current.delete(path); pending = true; }
}

// A project opened: nothing is known of its pictures until they are compared.
export function sourcesOpened(decided) {
  current.clear();
  pending = true;
  clearNotices('differs:');
  afterDecision = decided;
}

export const sourcesNeedBuilding = () => pending || (files.has('palette.colors') && !files.has('palette.pal'));

export async function rebuildSources() {
  pending = false;
  const keep = [...files.keys()].filter(p => sourceOf(p) && files.has(sourceOf(p)) && !current.has(p));
  const built = await toolsCall('studioBuild', '.', keep.join('\n'));
  for (const path of built.same) current.add(path);
  for (const path of built.wrote) {
    current.add(path);
    await keepBuilt(path, await readFile(path)).catch(() => {});
  }
  clearNotices('differs:');
  for (const path of built.differs) offer(path);
  lastBuild = built;
  return built;
}

function offer(bmp) {
  const sheet = sourceOf(bmp);
  notice('differs:' + bmp, `${bmp} differs from what ${sheet} makes; it is not rebuilt until you choose.`, [
    ['Keep the BMP', async () => {
      try { await change([[sheet, null]], { label: `keep ${bmp}, drop ${sheet}` }); }
      catch (e) { message(e.message); return; }
      clearNotice('differs:' + bmp);
      message(`Kept ${bmp}; ${sheet} dropped (Undo brings it back).`);
      await afterDecision();
    }],
    ['Rebuild from the sheet', async () => {
      const before = files.get(bmp);
      current.add(bmp);
      pending = true;
      await rebuildSources();
      if (files.get(bmp) !== before)
        record({ label: `rebuild ${bmp}`, project: project.name,
                 changes: [{ path: bmp, before, after: files.get(bmp) }] });
      clearNotice('differs:' + bmp);
      message(`${bmp} rebuilt from ${sheet} (Undo brings the other back).`);
      await afterDecision();
    }],
  ]);
}

// Before the content leaves: every picture as its source makes it, or the reason it is not.
export async function readyToExport() {
  const built = await rebuildSources();
  if (built.failed.length)
    throw new Error(`${built.failed.join(', ')} does not build, so its picture would be older ` +
                    'than it: fix its problems first');
  if (built.differs.length)
    throw new Error(`${built.differs.join(', ')} differs from its source: choose "Keep the BMP" ` +
                    'or "Rebuild from the sheet" first');
}
