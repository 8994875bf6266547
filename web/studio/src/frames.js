// Adding, duplicating and removing a graphic's frames: the sheet gains a cell (an at block,
// the grid one row taller when no cell is free) and the description an f record, or loses the
// record; the sheet and the description change in one step. The places come from the tools
// module (the reader's fields, the sheet's layout); the lines between are kept byte for byte.
import { files, change } from './folder.js';
import { toolsCall } from './tools.js';
import { fieldsOf, recordsOf } from './fields.js';

const MAX_FRAMES = 20;            // graphics/graphics.h
const enc = s => new TextEncoder().encode(s);

// The file's lines, each with its line end.
function linesOf(bytes) {
  const out = [];
  let start = 0;
  for (let i = 0; i < bytes.length; i++) if (bytes[i] === 10) { out.push(bytes.subarray(start, i + 1)); start = i + 1; }
  if (start < bytes.length) out.push(bytes.subarray(start));
  return out;
}

function joined(lines) {
  const out = new Uint8Array(lines.reduce((n, l) => n + l.length, 0));
  let at = 0;
  for (const l of lines) { out.set(l, at); at += l.length; }
  return out;
}

const eolOf = bytes => new TextDecoder().decode(bytes).includes('\r\n') ? '\r\n' : '\n';
const ended = (line, eol) => line.length && line[line.length - 1] === 10 ? line : joined([line, enc(eol)]);

async function framesOf(desc) {
  return recordsOf(await fieldsOf(desc), 'frame').filter(r => r[4])
    .map(r => ({ index: Number(r[1].text), column: Number(r[2].text), row: Number(r[3].text),
                 border: Number(r[4].text), line: r[0].line }));
}

// A copy of frame `index` of the graphic described by `desc` (or, with `blank`, an empty
// frame in the colour key) as a new frame; the new frame's index.
export async function addFrame(desc, sheet, index, blank, colourKey) {
  const frames = await framesOf(desc);
  const from = frames.filter(f => f.index === index).pop() || frames[frames.length - 1];
  if (!from) throw new Error(`${desc} loads no frame to start from`);
  const layout = await toolsCall('studioSheetLayout', '.', sheet);
  const [columns, rows] = layout.grid, [width, height] = layout.cell;
  const used = new Set([...layout.blocks.map(([c, r]) => c + ',' + r), ...frames.map(f => f.column + ',' + f.row)]);
  let cell = null;
  for (let r = 0; r < rows && !cell; r++) for (let c = 0; c < columns && !cell; c++) if (!used.has(c + ',' + r)) cell = [c, r];
  let sheetLines = linesOf(files.get(sheet));
  const eol = eolOf(files.get(sheet));
  if (!cell) {
    if (rows >= 64 || !layout.gridLine) throw new Error(`${sheet} has no free cell and its grid cannot grow`);
    cell = [0, rows];
    sheetLines[layout.gridLine - 1] = enc(`grid ${columns} ${rows + 1}${eol}`);
  }
  const taken = new Set(frames.map(f => f.index));
  let fresh = 0;
  while (fresh < MAX_FRAMES && taken.has(fresh)) fresh++;
  if (fresh === MAX_FRAMES) throw new Error(`${desc} loads ${MAX_FRAMES} frames already, as many as a graphic has`);
  // The new cell's block: the frame's own lines copied, or a block of the colour key.
  const block = layout.blocks.filter(([c, r]) => c === from.column && r === from.row).pop();
  let body = [];
  if (!blank && block) body = sheetLines.slice(block[2], block[2] + height).map(l => ended(l, eol));
  else {
    const { legend } = await toolsCall('studioLegend', '.', sheet);
    const key = legend.find(l => l.entry === colourKey);
    if (!key) throw new Error(`${sheet}: no legend character means the colour key ${colourKey}`);
    const row = new Uint8Array(width).fill(key.code);
    body = Array.from({ length: height }, () => joined([row, enc(eol)]));
  }
  const last = sheetLines.length ? sheetLines.length - 1 : 0;
  if (sheetLines.length) sheetLines[last] = ended(sheetLines[last], eol);
  sheetLines = [...sheetLines, enc(`at ${cell[0]} ${cell[1]}   frame ${fresh}, ${blank ? 'new' : 'a copy of frame ' + from.index}${eol}`), ...body];
  // The description's record, after its last frame record.
  const descLines = linesOf(files.get(desc));
  const afterLine = Math.max(...frames.map(f => f.line));
  descLines.splice(afterLine, 0, enc(`f ${fresh} ${cell[0]} ${cell[1]} ${from.border}${eolOf(files.get(desc))}`));
  await change([[sheet, joined(sheetLines)], [desc, joined(descLines)]],
               { label: `${blank ? 'add' : 'duplicate'} frame ${blank ? fresh : from.index} of ${desc}` });
  return fresh;
}

// Frame `index` no longer loaded: its f record goes; its cell stays in the sheet.
export async function removeFrame(desc, index) {
  const frames = await framesOf(desc);
  const gone = new Set(frames.filter(f => f.index === index).map(f => f.line));
  if (!gone.size) throw new Error(`${desc} loads no frame ${index}`);
  const lines = linesOf(files.get(desc)).filter((l, k) => !gone.has(k + 1));
  await change([[desc, joined(lines)]], { label: `remove frame ${index} of ${desc}` });
}
