// The pixel editor on a sheet's frames, as the game cuts them: zoom from 1x to 32x with a
// pixel grid, pencil along the drag, line, rectangle, fill, colour picker, select and move,
// flip, the animation's previous and next frames faintly under the one drawn, the animation
// played with stepping and speed, and the palette with the sheet legend's names. Each stroke
// is one rewrite of the .sheet through the content builder's painter (only the characters it
// paints change), one step of the history, and one rebuild of the pictures.
import { files, write, message, project } from './folder.js';
import { toolsCall, readFile } from './tools.js';
import { hexBytes, paletteChooser } from './pictures.js';
import { graphics, scheduleCheck, runCheck } from './problems.js';
import { addFrame, removeFrame } from './frames.js';
import { editFrame } from './graphics.js';
import { rebuildSources } from './sources.js';

const TOOLS = [['pencil', 'Pencil', 'b'], ['line', 'Line', 'l'], ['rect', 'Rectangle', 'r'],
               ['fill', 'Fill', 'f'], ['pick', 'Colour picker', 'i'], ['select', 'Select and move', 's']];
const ZOOMS = [1, 2, 3, 4, 6, 8, 12, 16, 24, 32];

const ed = {
  sheet: '', graphic: null, frame: 0, pixels: null, zoom: 8, tool: 'pencil', colour: 1,
  onion: true, grid: true, selection: null, root: null, canvas: null, busy: false,
  fps: 1, playing: false, animation: 0, timer: 0, shown: true,
};
export let lastStrokeMs = 0;

const el = (tag, props = {}, ...kids) => {
  const e = Object.assign(document.createElement(tag), props);
  for (const k of kids) e.append(k);
  return e;
};
const button = (label, act, title = '') => el('button', { textContent: label, title, onclick: act });

function framesOf(g) { return g.frames.filter(f => f.at); }
function frameRecord(g, index) { return g.frames.find(f => f.index === index); }
function rgb() { return hexBytes(graphics.palette, 768); }

// The graphics cut from `bmp`, as the last check listed them.
function cutFrom(bmp) {
  return graphics ? graphics.graphics.filter(g => g.loaded && !g.tooLarge && g.bitmap === bmp && framesOf(g).length) : [];
}

// The frames shown faintly: before and after this one in the animation that shows it.
function onionFrames() {
  const g = ed.graphic;
  const a = g.animations.find(x => x.frames.includes(ed.frame));
  if (!a) return [];
  const k = a.frames.indexOf(ed.frame), out = [];
  if (k > 0 || a.loops) out.push(a.frames[(k - 1 + a.frames.length) % a.frames.length]);
  if (k + 1 < a.frames.length || a.loops) out.push(a.frames[(k + 1) % a.frames.length]);
  return out.filter(f => f !== ed.frame && frameRecord(g, f));
}

function frameImage(pixels, w, h, key, alpha) {
  const c = el('canvas', { width: w, height: h });
  const img = c.getContext('2d').createImageData(w, h);
  const pal = rgb();
  for (let i = 0; i < w * h; i++) {
    const v = pixels[i];
    img.data.set([pal[3 * v], pal[3 * v + 1], pal[3 * v + 2], v === key ? 0 : alpha], 4 * i);
  }
  c.getContext('2d').putImageData(img, 0, 0);
  return c;
}

// ---- Drawing the canvas

let preview = null;               // Map index -> entry, the stroke under way
let floating = null;              // {x, y, w, h, data, dx, dy} a selection being moved

function shownPixels() {
  const g = ed.graphic, out = ed.pixels.slice();
  if (floating) {
    for (let y = floating.y; y < floating.y + floating.h; y++)
      for (let x = floating.x; x < floating.x + floating.w; x++) out[y * g.width + x] = g.colorKey;
    for (let y = 0; y < floating.h; y++)
      for (let x = 0; x < floating.w; x++) {
        const tx = floating.x + floating.dx + x, ty = floating.y + floating.dy + y;
        if (tx >= 0 && ty >= 0 && tx < g.width && ty < g.height) out[ty * g.width + tx] = floating.data[y * floating.w + x];
      }
  }
  if (preview) for (const [i, c] of preview) out[i] = c;
  return out;
}

function draw() {
  const g = ed.graphic, z = ed.zoom, c = ed.canvas;
  if (!g || !c) return;
  c.width = g.width * z;
  c.height = g.height * z;
  const gc = c.getContext('2d');
  gc.imageSmoothingEnabled = false;
  if (ed.onion)
    for (const f of onionFrames())
      gc.drawImage(frameImage(hexBytes(frameRecord(g, f).pixels, g.width * g.height), g.width, g.height, g.colorKey, 70), 0, 0, c.width, c.height);
  gc.drawImage(frameImage(shownPixels(), g.width, g.height, g.colorKey, 255), 0, 0, c.width, c.height);
  if (ed.grid && z >= 4) {
    gc.strokeStyle = 'rgba(255,255,255,0.12)';
    gc.beginPath();
    for (let x = 0; x <= g.width; x++) { gc.moveTo(x * z + 0.5, 0); gc.lineTo(x * z + 0.5, c.height); }
    for (let y = 0; y <= g.height; y++) { gc.moveTo(0, y * z + 0.5); gc.lineTo(c.width, y * z + 0.5); }
    gc.stroke();
  }
  const s = floating ? { x: floating.x + floating.dx, y: floating.y + floating.dy, w: floating.w, h: floating.h } : ed.selection;
  if (s) {
    gc.setLineDash([4, 3]);
    gc.strokeStyle = '#fff';
    gc.strokeRect(s.x * z + 0.5, s.y * z + 0.5, s.w * z - 1, s.h * z - 1);
    gc.setLineDash([]);
  }
  ed.root.querySelector('.px-zoom').textContent = z + 'x';
}

// ---- The tools

function linePixels(x0, y0, x1, y1) {
  const out = [];
  const dx = Math.abs(x1 - x0), dy = -Math.abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  let err = dx + dy;
  for (;;) {
    out.push([x0, y0]);
    if (x0 === x1 && y0 === y1) return out;
    const e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

function rectPixels(x0, y0, x1, y1) {
  const out = [];
  const [a, b] = [Math.min(x0, x1), Math.max(x0, x1)], [c, d] = [Math.min(y0, y1), Math.max(y0, y1)];
  for (let x = a; x <= b; x++) { out.push([x, c]); if (d !== c) out.push([x, d]); }
  for (let y = c + 1; y < d; y++) { out.push([a, y]); if (b !== a) out.push([b, y]); }
  return out;
}

function fillPixels(x, y) {
  const g = ed.graphic, w = g.width, h = g.height, from = ed.pixels[y * w + x], out = [];
  if (from === ed.colour) return out;
  const seen = new Uint8Array(w * h), stack = [[x, y]];
  while (stack.length) {
    const [px, py] = stack.pop();
    if (px < 0 || py < 0 || px >= w || py >= h) continue;
    const i = py * w + px;
    if (seen[i] || ed.pixels[i] !== from) continue;
    seen[i] = 1;
    out.push([px, py]);
    stack.push([px + 1, py], [px - 1, py], [px, py + 1], [px, py - 1]);
  }
  return out;
}

const inside = (x, y) => x >= 0 && y >= 0 && x < ed.graphic.width && y < ed.graphic.height;

function setPreview(points, colour = ed.colour) {
  preview = new Map();
  for (const [x, y] of points) if (inside(x, y)) preview.set(y * ed.graphic.width + x, colour);
}

function at(e) {
  const r = ed.canvas.getBoundingClientRect();
  return [Math.floor((e.clientX - r.left) / ed.zoom), Math.floor((e.clientY - r.top) / ed.zoom)];
}

let drag = null;                  // {x, y, points}

function down(e) {
  if (e.button !== 0 || ed.busy) return;
  const [x, y] = at(e);
  if (!inside(x, y)) return;
  ed.canvas.setPointerCapture(e.pointerId);
  drag = { x, y, last: [x, y] };
  if (ed.tool === 'pick') { chooseColour(ed.pixels[y * ed.graphic.width + x]); drag = null; return; }
  if (ed.tool === 'fill') { setPreview(fillPixels(x, y)); drag = null; commit('fill'); return; }
  if (ed.tool === 'select') {
    const s = ed.selection;
    if (s && x >= s.x && y >= s.y && x < s.x + s.w && y < s.y + s.h) {
      const data = [];
      for (let yy = 0; yy < s.h; yy++) for (let xx = 0; xx < s.w; xx++) data.push(ed.pixels[(s.y + yy) * ed.graphic.width + s.x + xx]);
      floating = { ...s, data, dx: 0, dy: 0 };
      drag.moving = true;
    } else { ed.selection = { x, y, w: 1, h: 1 }; }
    draw();
    return;
  }
  if (ed.tool === 'pencil') setPreview([[x, y]]);
  else setPreview([[x, y]]);
  draw();
}

function move(e) {
  if (!drag) return;
  const [x, y] = at(e);
  if (ed.tool === 'pencil') {
    for (const [px, py] of linePixels(drag.last[0], drag.last[1], x, y))
      if (inside(px, py)) preview.set(py * ed.graphic.width + px, ed.colour);
    drag.last = [x, y];
  } else if (ed.tool === 'line') setPreview(linePixels(drag.x, drag.y, x, y));
  else if (ed.tool === 'rect') setPreview(rectPixels(drag.x, drag.y, x, y));
  else if (ed.tool === 'select') {
    if (drag.moving) { floating.dx = x - drag.x; floating.dy = y - drag.y; }
    else {
      const cx = Math.max(0, Math.min(ed.graphic.width - 1, x)), cy = Math.max(0, Math.min(ed.graphic.height - 1, y));
      ed.selection = { x: Math.min(drag.x, cx), y: Math.min(drag.y, cy), w: Math.abs(cx - drag.x) + 1, h: Math.abs(cy - drag.y) + 1 };
    }
  }
  draw();
}

function up() {
  if (!drag) return;
  const d = drag;
  drag = null;
  if (ed.tool === 'select') {
    if (!d.moving) return;
    const moved = shownPixels();
    ed.selection = { x: floating.x + floating.dx, y: floating.y + floating.dy, w: floating.w, h: floating.h };
    floating = null;
    preview = new Map();
    moved.forEach((c, i) => { if (c !== ed.pixels[i]) preview.set(i, c); });
    commit('move a selection');
    return;
  }
  commit({ pencil: 'pencil', line: 'line', rect: 'rectangle' }[ed.tool] || ed.tool);
}

function flip(horizontal) {
  const g = ed.graphic, s = ed.selection || { x: 0, y: 0, w: g.width, h: g.height };
  preview = new Map();
  for (let y = 0; y < s.h; y++)
    for (let x = 0; x < s.w; x++) {
      const fx = horizontal ? s.w - 1 - x : x, fy = horizontal ? y : s.h - 1 - y;
      const c = ed.pixels[(s.y + fy) * g.width + s.x + fx];
      const i = (s.y + y) * g.width + s.x + x;
      if (c !== ed.pixels[i]) preview.set(i, c);
    }
  commit(horizontal ? 'flip across' : 'flip up and down');
}

// Pixels [x, y, entry] of `sheet`'s picture painted: one rewrite of the sheet by the content
// builder's painter, one write (one step of the history), one rebuild. Its time in ms, drawn
// to rebuilt.
export async function paintStroke(sheet, pixels, label = 'paint ' + sheet) {
  if (project.readOnly) throw new Error(`${project.name} is open in another tab: read-only here`);
  const t0 = performance.now();
  const r = await toolsCall('studioPaintPixels', '.', sheet, pixels.map(p => p.join(' ')).join(';'));
  if (!r.ok) throw new Error(r.error);
  // The picture is rebuilt while the browser's storage saves the sheet: the page has it already.
  const saved = write(sheet, await readFile(sheet), { label });
  await rebuildSources();
  const ms = performance.now() - t0;
  scheduleCheck();
  await saved.catch(() => {});   // a refused save is told by folder.js; the stroke stays
  return ms;
}

// The stroke under way into the sheet.
async function commit(what) {
  const changes = preview ? [...preview].filter(([i, c]) => ed.pixels[i] !== c) : [];
  if (!changes.length) { preview = null; draw(); return; }
  ed.busy = true;
  try {
    const g = ed.graphic, f = frameRecord(g, ed.frame);
    lastStrokeMs = await paintStroke(ed.sheet, changes.map(([i, c]) =>
      [f.at[0] + (i % g.width), f.at[1] + Math.floor(i / g.width), c]), `${what} on ${ed.sheet}`);
    for (const [i, c] of changes) ed.pixels[i] = c;
    document.body.dataset.strokeMs = lastStrokeMs.toFixed(1);
    document.body.dataset.strokePixels = String(changes.length);
    document.body.dataset.strokes = String(Number(document.body.dataset.strokes || 0) + 1);
    message(`${what}: ${changes.length} pixel${changes.length > 1 ? 's' : ''} of ${ed.sheet} painted, ` +
            `picture rebuilt in ${lastStrokeMs.toFixed(0)} ms.`);
  } catch (e) {
    message(`${ed.sheet} was not painted: ${e.message}`);
  } finally {
    ed.busy = false;
    preview = null;
    draw();
    drawPreview();
  }
}

// ---- Colour, frames, animation

function chooseColour(entry) {
  ed.colour = entry;
  for (const each of document.querySelectorAll('.palette'))
    for (const [k, other] of [...each.children].entries()) other.className = k === entry ? 'chosen' : '';
  for (const chip of ed.root.querySelectorAll('.px-legend button'))
    chip.classList.toggle('chosen', Number(chip.dataset.entry) === entry);
  const cur = ed.root.querySelector('.px-colour');
  const pal = rgb();
  cur.style.background = `rgb(${pal[3 * entry]},${pal[3 * entry + 1]},${pal[3 * entry + 2]})`;
  cur.title = 'painting with entry ' + entry;
}

async function drawLegend() {
  const box = ed.root.querySelector('.px-legend');
  const { legend } = await toolsCall('studioLegend', '.', ed.sheet);
  const pal = rgb();
  box.textContent = '';
  for (const l of legend) {
    if (l.entry < 0) continue;
    const b = el('button', { className: 'px-chip', title: `legend ${String.fromCharCode(l.code)} ${l.colour} ${l.note}`.trim() });
    b.dataset.entry = l.entry;
    b.append(el('span', { className: 'px-swatch', style: `background: rgb(${pal[3 * l.entry]},${pal[3 * l.entry + 1]},${pal[3 * l.entry + 2]})` }),
             `${String.fromCharCode(l.code)} ${l.colour}${l.note ? ' (' + l.note + ')' : ''}`);
    b.onclick = () => chooseColour(l.entry);
    box.append(b);
  }
}

function showFrame(index) {
  ed.frame = index;
  ed.pixels = hexBytes(frameRecord(ed.graphic, index).pixels, ed.graphic.width * ed.graphic.height);
  ed.selection = null;
  floating = null;
  const select = ed.root.querySelector('.px-frame');
  select.value = String(index);
  draw();
}

function stepFrame(by) {
  const list = framesOf(ed.graphic).map(f => f.index);
  showFrame(list[(list.indexOf(ed.frame) + by + list.length) % list.length]);
}

// The animation at the game's speed times `fps`, drawn only while it is on screen.
let previewAt = 0, held = 0;
function drawPreview() {
  const g = ed.graphic, box = ed.root && ed.root.querySelector('.px-preview');
  if (!g || !box) return;
  const a = g.animations[ed.animation];
  const c = box.querySelector('canvas');
  const scale = Math.max(1, Math.min(4, Math.floor(128 / Math.max(g.width, g.height))));
  c.width = g.width * scale; c.height = g.height * scale;
  const f = a ? a.frames[previewAt % a.frames.length] : ed.frame;
  const rec = frameRecord(g, f);
  const gc = c.getContext('2d');
  gc.imageSmoothingEnabled = false;
  if (rec) gc.drawImage(frameImage(hexBytes(rec.pixels, g.width * g.height), g.width, g.height, g.colorKey, 255), 0, 0, c.width, c.height);
  box.querySelector('.px-at').textContent = a ? `frame ${f} (${previewAt % a.frames.length + 1} of ${a.frames.length})` : 'no animation';
}

function tick() {
  clearTimeout(ed.timer);
  ed.timer = 0;
  if (!ed.playing || !ed.shown || document.hidden || !ed.root || !ed.root.isConnected) return;
  const a = ed.graphic.animations[ed.animation];
  if (a && ++held > a.delay) {
    held = 0;
    if (previewAt + 1 < a.frames.length) previewAt++;
    else if (a.loops) previewAt = 0;
    else { ed.playing = false; ed.root.querySelector('.px-play').textContent = 'Play'; }
    drawPreview();
  }
  ed.timer = setTimeout(tick, graphics.frameMs / ed.fps);
}

function previewControls() {
  const g = ed.graphic;
  const anim = el('select', { title: 'The animation shown' });
  g.animations.forEach((a, k) => anim.append(el('option', { value: k, textContent: `animation ${a.index}: ${a.frames.join(' ')}` })));
  anim.onchange = () => { ed.animation = Number(anim.value); previewAt = 0; drawPreview(); };
  const speed = el('select', { title: 'Speed, against the game\'s' });
  for (const s of [0.25, 0.5, 1, 2]) speed.append(el('option', { value: s, textContent: s + 'x', selected: s === 1 }));
  speed.onchange = () => { ed.fps = Number(speed.value); };
  const play = button('Play', () => { ed.playing = !ed.playing; play.textContent = ed.playing ? 'Pause' : 'Play'; tick(); });
  play.className = 'px-play';
  const step = by => () => { const a = g.animations[ed.animation]; if (!a) return;
    previewAt = (previewAt + by + a.frames.length) % a.frames.length; drawPreview(); };
  return el('div', { className: 'px-preview' }, el('canvas', { className: 'pixels' }),
            el('div', {}, anim, ' ', button('<', step(-1), 'Step back'), play, button('>', step(1), 'Step on'), ' ', speed),
            el('div', { className: 'px-at' }));
}

// ---- The editor itself

// Opens the editor on `bmp`'s sheet into `box`, on graphic `gIndex` and frame `fIndex` if given.
export function openPixelEditor(box, bmp, gIndex, fIndex) {
  const cut = cutFrom(bmp);
  if (!cut.length) return false;
  clearTimeout(ed.timer);
  ed.sheet = bmp.replace(/\.bmp$/i, '.sheet');
  ed.graphic = cut.find(g => g.index === gIndex) || cut[0];
  ed.animation = 0; previewAt = 0; ed.playing = false;
  const g = ed.graphic;
  const toolBar = el('div', { className: 'px-tools', role: 'toolbar' });
  for (const [id, label, key] of TOOLS) {
    const b = button(label, () => { ed.tool = id; for (const o of toolBar.querySelectorAll('[data-tool]')) o.classList.toggle('on', o.dataset.tool === id); },
                     `${label} (${key.toUpperCase()})`);
    b.dataset.tool = id;
    if (id === ed.tool) b.classList.add('on');
    toolBar.append(b);
  }
  const zoomBy = by => () => { ed.zoom = ZOOMS[Math.max(0, Math.min(ZOOMS.length - 1, ZOOMS.indexOf(ed.zoom) + by))]; draw(); };
  const check = (label, key) => {
    const c = el('input', { type: 'checkbox', checked: ed[key] });
    c.onchange = () => { ed[key] = c.checked; draw(); };
    return el('label', {}, c, ' ' + label);
  };
  const graphicsList = el('select', { title: 'The graphic drawn' });
  for (const each of cut) graphicsList.append(el('option', { value: each.index, textContent: `graphic ${each.index}: ${each.file}`, selected: each === g }));
  graphicsList.onchange = () => openPixelEditor(box, bmp, Number(graphicsList.value));
  const frameList = el('select', { className: 'px-frame', title: 'The frame drawn' });
  for (const f of framesOf(g)) frameList.append(el('option', { value: f.index, textContent: 'frame ' + f.index }));
  frameList.onchange = () => showFrame(Number(frameList.value));
  toolBar.append(' ', button('Flip \u2194', () => flip(true), 'Flip the selection (or the frame) across'),
                 button('Flip \u2195', () => flip(false), 'Flip the selection (or the frame) up and down'),
                 ' ', button('\u2212', zoomBy(-1), 'Zoom out'), el('span', { className: 'px-zoom' }),
                 button('+', zoomBy(1), 'Zoom in'), ' ', check('grid', 'grid'), check('onion skin', 'onion'));
  // A frame added, duplicated or removed: the sheet and the description in one step.
  const frameOp = (what, work) => async () => {
    try {
      const shown = await work();
      await runCheck();
      editFrame(bmp, g.index, shown);
      message(`${what} (Undo takes it back).`);
    } catch (e) { message(e.message); }
  };
  const frames = el('div', { className: 'px-frames' }, graphicsList, ' ', button('<', () => stepFrame(-1), 'Previous frame'),
                    frameList, button('>', () => stepFrame(1), 'Next frame'), ' ',
                    button('Add frame', frameOp('A frame added', () => addFrame(g.file, ed.sheet, ed.frame, true, g.colorKey)),
                           'A new frame in the colour key, in a free cell of the sheet'),
                    button('Duplicate frame', frameOp('The frame duplicated', () => addFrame(g.file, ed.sheet, ed.frame, false, g.colorKey)),
                           'A copy of this frame, in a free cell of the sheet'),
                    button('Remove frame', frameOp('The frame removed', async () => {
                      const left = framesOf(g).map(f => f.index).filter(i => i !== ed.frame);
                      await removeFrame(g.file, ed.frame);
                      return left[0];
                    }), 'The description no longer loads this frame; its cell stays in the sheet'),
                    el('span', { className: 'px-colour' }), el('span', { textContent: ` ${g.width} x ${g.height}, cut from ${ed.sheet}` }));
  ed.canvas = el('canvas', { className: 'pixels px-canvas', tabIndex: 0, title: 'Draw here; the wheel zooms' });
  ed.canvas.addEventListener('pointerdown', down);
  ed.canvas.addEventListener('pointermove', move);
  ed.canvas.addEventListener('pointerup', up);
  ed.canvas.addEventListener('pointercancel', () => { drag = null; preview = null; floating = null; draw(); });
  ed.canvas.addEventListener('wheel', e => { e.preventDefault(); zoomBy(e.deltaY < 0 ? 1 : -1)(); }, { passive: false });
  ed.canvas.addEventListener('keydown', e => {
    const tool = TOOLS.find(t => t[2] === e.key.toLowerCase());
    if (tool && !e.ctrlKey && !e.metaKey) toolBar.querySelector(`[data-tool="${tool[0]}"]`).click();
    else if (e.key === '+' || e.key === '=') zoomBy(1)();
    else if (e.key === '-') zoomBy(-1)();
    else if (e.key === 'Escape') { ed.selection = null; draw(); }
  });
  const pal = paletteChooser(rgb(), ed.colour, chooseColour);
  ed.root = el('div', { className: 'pixel-editor' }, toolBar, frames,
               el('div', { className: 'px-work' }, el('div', { className: 'px-stage' }, ed.canvas), previewControls()),
               el('div', { className: 'px-legend', title: 'The colours the sheet\'s legend names' }), pal);
  box.append(ed.root);
  new IntersectionObserver(entries => { ed.shown = entries[entries.length - 1].isIntersecting; tick(); }).observe(ed.root);
  const first = framesOf(g).find(f => f.index === fIndex) || framesOf(g)[0];
  ed.zoom = Math.max(1, Math.min(32, Math.floor(480 / Math.max(g.width, g.height))));
  ed.zoom = ZOOMS.filter(z => z <= ed.zoom).pop() || 1;
  showFrame(first.index);
  chooseColour(ed.colour);
  drawPreview();
  drawLegend().then(() => chooseColour(ed.colour)).catch(() => {});
  return true;
}

// After a check: the frames as the game now cuts them, unless a stroke is under way.
export function refreshPixelEditor() {
  if (!ed.root || !ed.root.isConnected || drag || ed.busy) return;
  const g = graphics && graphics.graphics.find(x => x.index === ed.graphic.index && x.bitmap === ed.graphic.bitmap);
  if (!g || !frameRecord(g, ed.frame)) return;
  ed.graphic = g;
  ed.pixels = hexBytes(frameRecord(g, ed.frame).pixels, g.width * g.height);
  draw();
  drawPreview();
}

export const pixelEditorState = () => ed.root && ed.root.isConnected
  ? { sheet: ed.sheet, graphic: ed.graphic.index, frame: ed.frame, zoom: ed.zoom, tool: ed.tool, colour: ed.colour } : null;
