// "Duplicate graphic" and "Duplicate enemy": a working graphic or enemy copied under a new
// name in one step of the history, with fresh numbers: the sheet, its picture and the
// description copied, the description pointed at its own sheet, an entry added to the master
// list (its count one more), and for an enemy its file too, pointed at the new graphic, with an
// enemy identifier of its own. The places of the values come from the reader (fields.js).
import { files, change } from './folder.js';
import { fieldsOf, recordsOf } from './fields.js';

const GRAPHICS_LIST = 'Graphics/MasterGraphics.txt', ENEMIES_LIST = 'Enemies/MasterEnemies.txt';
const enc = s => new TextEncoder().encode(s), dec = b => new TextDecoder().decode(b);

function offsetOf(bytes, line, column) {
  let l = 1, i = 0;
  while (l < line && i < bytes.length) { if (bytes[i++] === 10) l++; }
  return i + column - 1;
}

function splice(bytes, at, remove, insert) {
  const put = enc(insert);
  const out = new Uint8Array(bytes.length - remove + put.length);
  out.set(bytes.subarray(0, at));
  out.set(put, at);
  out.set(bytes.subarray(at + remove), at + put.length);
  return out;
}

// The list with one more entry, `name`, after its last one, and its count one more.
async function listWithEntry(list, name) {
  let bytes = files.get(list);
  const fields = await fieldsOf(list);
  const count = fields.find(f => f.field === 'count');
  const entries = recordsOf(fields, 'entry');
  if (!count) throw new Error(`${list} has no count the studio can add to`);
  const eol = dec(bytes).includes('\r\n') ? '\r\n' : '\n';
  // After the last entry's line (or the count's), a line of the new entry.
  const after = entries.length ? entries[entries.length - 1][0].line : count.line;
  let end = offsetOf(bytes, after + 1, 1);
  let line = name + eol;
  if (end > bytes.length || (end === bytes.length && bytes.length && bytes[bytes.length - 1] !== 10)) {
    end = bytes.length;
    line = eol + name;
  }
  bytes = splice(bytes, end, 0, line);
  bytes = splice(bytes, offsetOf(bytes, count.line, count.column), count.text.length, String(Number(count.text) + 1));
  return { bytes, index: entries.length };
}

function freshBase(folder, base) {
  const stem = base.replace(/\d+$/, '');
  for (let k = 2; ; k++) {
    const name = stem + k;
    if (![`${folder}/${name}.txt`, `${folder}/${name}.sheet`, `${folder}/${name}.bmp`].some(p => files.has(p))) return name;
  }
}

const baseOf = path => path.replace(/^.*\//, '').replace(/\.[^.]*$/, '');

// The changes that copy the graphic described by `desc` as Graphics/NAME.*, and its number.
async function graphicCopy(desc, name) {
  const fields = await fieldsOf(desc);
  const sheetName = fields.find(f => f.field === 'sheet');
  if (!sheetName) throw new Error(`${desc}: the loader read no sheet from it, so there is nothing to copy`);
  const bmp = sheetName.text, sheet = bmp.replace(/\.bmp$/i, '.sheet');
  const newBmp = bmp.replace(/[^/]+$/, name + '.bmp'), newDesc = desc.replace(/[^/]+$/, name + '.txt');
  const changes = [];
  const d = files.get(desc);
  changes.push([newDesc, splice(d, offsetOf(d, sheetName.line, sheetName.column), sheetName.text.length, newBmp)]);
  if (files.has(sheet)) changes.push([newBmp.replace(/\.bmp$/i, '.sheet'), files.get(sheet).slice()]);
  if (files.has(bmp)) changes.push([newBmp, files.get(bmp).slice()]);
  const list = await listWithEntry(GRAPHICS_LIST, newDesc);
  changes.push([GRAPHICS_LIST, list.bytes]);
  return { changes, index: list.index, path: newDesc };
}

// A duplicate never takes the place of a file that is there.
function refuseTaken(changes) {
  for (const [path] of changes)
    if (path !== GRAPHICS_LIST && path !== ENEMIES_LIST && files.has(path))
      throw new Error(`${path} exists already: a duplicate needs a name of its own`);
}

export async function duplicateGraphic(desc, name) {
  name = name || freshBase('Graphics', baseOf(desc));
  const copy = await graphicCopy(desc, name);
  refuseTaken(copy.changes);
  await change(copy.changes, { label: `duplicate ${desc} as ${copy.path}` });
  return copy.path;
}

export async function duplicateEnemy(enemy, name) {
  name = name || freshBase('Enemies', baseOf(enemy));
  const fields = await fieldsOf(enemy);
  const graphic = fields.find(f => f.field === 'graphic'), id = fields.find(f => f.field === 'enemyID');
  if (!graphic || !id) throw new Error(`${enemy}: the loader did not read its graphic and identifier`);
  // Its graphic, copied under the enemy's new name when that is free in Graphics/.
  const descs = recordsOf(await fieldsOf(GRAPHICS_LIST), 'entry').map(r => r[0].text);
  const desc = descs[Number(graphic.text)];
  if (!desc) throw new Error(`${enemy}: its graphic ${graphic.text} is not in ${GRAPHICS_LIST}`);
  const gName = files.has(`Graphics/${name}.txt`) ? freshBase('Graphics', name) : name;
  const copy = await graphicCopy(desc, gName);
  // A fresh identifier: one above every other enemy's.
  let top = 0;
  for (const r of recordsOf(await fieldsOf(ENEMIES_LIST), 'entry')) {
    const other = (await fieldsOf(r[0].text)).find(f => f.field === 'enemyID');
    if (other) top = Math.max(top, Number(other.text));
  }
  let e = files.get(enemy);
  const edits = [[id, String(top + 1)], [graphic, String(copy.index)]]
    .sort((a, b) => b[0].line - a[0].line || b[0].column - a[0].column);
  for (const [f, text] of edits) e = splice(e, offsetOf(e, f.line, f.column), f.text.length, text);
  const newEnemy = enemy.replace(/[^/]+$/, name + '.txt');
  const list = await listWithEntry(ENEMIES_LIST, newEnemy);
  refuseTaken([...copy.changes, [newEnemy]]);
  await change([...copy.changes, [newEnemy, e], [ENEMIES_LIST, list.bytes]],
               { label: `duplicate ${enemy} as ${newEnemy}` });
  return newEnemy;
}
