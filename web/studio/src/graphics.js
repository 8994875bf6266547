// The pictures: a BMP as the game reads it, painted through its sheet; the palette; and every
// graphic of the open file as the game cuts it, with its bounding box and its animations.
import { files, write, message, project } from './folder.js';
import { toolsCall, readFile } from './tools.js';
import { pixelCanvas, paletteChooser, hexBytes } from './pictures.js';
import { graphics, runCheck } from './problems.js';
import { openPath, openFile } from './editor.js';
import { openPixelEditor, refreshPixelEditor } from './pixeleditor.js';

const $ = id => document.getElementById(id);
let chosenColour = 1;
let wanted = null;                // the graphic and frame to draw when its BMP opens

// A frame of a graphic, in the pixel editor: its sheet's BMP opened on it.
export function editFrame(bmp, graphic, frame) {
  wanted = { bmp, graphic, frame };
  openFile(bmp);
}

function chooseColour(entry) { chosenColour = entry; }

async function paletteBytes() {
  return hexBytes((await toolsCall('studioPalette', '.')).palette, 768);
}

export async function drawPicture(path) {
  const box = $('picture');
  box.textContent = '';
  if (path === 'palette.pal') {
    box.textContent = 'The 256 colours the game draws with, as it reads them (entry 0 at the top left):';
    box.appendChild(paletteChooser(await paletteBytes(), chosenColour, chooseColour));
    return;
  }
  if (!/\.bmp$/i.test(path)) {
    box.textContent = path + ': ' + files.get(path).length + ' bytes (not a text file or a picture)';
    return;
  }
  const sheetOf = path.replace(/\.bmp$/i, '.sheet');
  const want = wanted && wanted.bmp === path ? wanted : {};
  wanted = null;
  if (files.has(sheetOf) && openPixelEditor(box, path, want.graphic, want.frame)) return;
  const bmp = await toolsCall('studioBitmap', path);
  if (!bmp.ok) { box.textContent = path + ': ' + bmp.error; return; }
  const rgb = await paletteBytes();
  const scale = Math.max(1, Math.min(6, Math.floor(600 / Math.max(bmp.width, bmp.height))));
  const canvas = pixelCanvas(bmp.pixels, bmp.width, bmp.height, rgb, scale, -1);
  canvas.id = 'sheet-picture';
  box.appendChild(canvas);
  const sheet = path.replace(/\.bmp$/i, '.sheet');
  const note = document.createElement('p');
  if (files.has(sheet)) {
    note.textContent = 'Click a pixel to paint it with the chosen colour; ' + sheet +
                       ' is rewritten and the picture built again from it.';
    canvas.style.cursor = 'crosshair';
    canvas.addEventListener('click', e => {
      const r = canvas.getBoundingClientRect();
      const x = Math.floor((e.clientX - r.left) / scale), y = Math.floor((e.clientY - r.top) / scale);
      paint(sheet, x, y, chosenColour);
    });
  } else {
    note.textContent = 'No ' + sheet + ' beside it: the picture cannot be painted here.';
  }
  box.appendChild(note);
  box.appendChild(paletteChooser(rgb, chosenColour, chooseColour));
}

export async function paint(sheet, x, y, colour) {
  if (project.readOnly) { message(`${project.name} is open in another tab: read-only here.`); return; }
  let result;
  try {
    result = await toolsCall('studioPaint', '.', sheet, x, y, colour);
    if (result.ok) await write(sheet, await readFile(sheet), { label: 'paint ' + sheet });
  } catch (e) {
    message(e.message);
    return;
  }
  if (!result.ok) { message(result.error); return; }
  if (openPath === sheet) openFile(sheet);
  await runCheck();
  if (openPath && /\.bmp$/i.test(openPath)) await drawPicture(openPath);
}

// ---- Graphics as the game cuts them
//
// Each graphic's pictures are made once and kept while the tools give the same graphic (its
// key); they are drawn only once the graphic comes on screen, a few at a time between the
// page's other work, and an animation plays only while it is shown. A large frame is shown
// as a thumbnail.

const THUMBNAIL = 96;             // pixels: the side a frame is shown at, at most
const SLICE_MS = 8;               // drawing per turn of the page's loop

let drawn = new Map();            // key -> the graphic's element, as last shown
let shownPalette = null;          // the palette chooser, and the colours it shows
let shownColours = '';

// Pictures waiting to be drawn: each a function; a few run per turn, then the page goes on.
const waiting = [];
let drawing = 0;
function drawLater(work) {
  waiting.push(work);
  if (!drawing) drawing = setTimeout(drawSome, 0);
}
function drawSome() {
  const until = performance.now() + SLICE_MS;
  while (waiting.length && performance.now() < until) waiting.shift()();
  drawing = waiting.length ? setTimeout(drawSome, 0) : 0;
}

const onScreen = new IntersectionObserver(entries => {
  for (const e of entries) if (e.target.shown) e.target.shown(e.isIntersecting);
});

// One graphic: its title, its frames and its animations, drawn once it is on screen.
function graphicElement(g, rgb, paintable, sheet) {
  const div = document.createElement('div');
  div.className = 'graphic';
  const title = document.createElement('div');
  title.textContent = `graphic ${g.index}: ${g.file}` + (g.role ? ` (${g.role})` : '') +
                      (g.loaded ? '' : ' (refused)');
  div.appendChild(title);
  div.stop = () => {};
  if (!g.loaded || g.tooLarge) {
    if (g.tooLarge) title.textContent += `: ${g.width} x ${g.height} frames, too large to show here`;
    return div;
  }
  // Whole pixels up to 4 times; a frame larger than the thumbnail shrunk to fit it.
  const fit = Math.min(4, THUMBNAIL / Math.max(g.width, g.height));
  const scale = fit >= 1 ? Math.floor(fit) : fit;
  const w = Math.max(1, Math.round(g.width * scale)), h = Math.max(1, Math.round(g.height * scale));
  // Each frame's pixels through the palette, made the first time something shows it.
  const pictures = {};
  const picture = index => {
    if (!(index in pictures)) {
      const f = g.frames.find(x => x.index === index);
      pictures[index] = f ? pixelCanvas(f.pixels, g.width, g.height, rgb, 1, g.colorKey) : null;
    }
    return pictures[index];
  };
  const sized = () => {
    const o = document.createElement('canvas');
    o.width = w; o.height = h;
    o.className = 'pixels';
    return o;
  };
  const toDraw = [], animations = [];
  const frames = document.createElement('div');
  frames.className = 'frames';
  for (const f of g.frames) {
    const fig = document.createElement('figure');
    const o = sized();
    o.dataset.frame = f.index;
    // The frame with its bounding box outlined over it.
    toDraw.push(() => {
      if (o.dataset.drawn) return;
      o.dataset.drawn = '1';
      const og = o.getContext('2d');
      og.imageSmoothingEnabled = false;
      og.drawImage(picture(f.index), 0, 0, w, h);
      og.strokeStyle = '#0f0';
      og.strokeRect(g.box[0] * scale + 0.5, g.box[1] * scale + 0.5,
                    (g.box[2] - g.box[0]) * scale - 1, (g.box[3] - g.box[1]) * scale - 1);
    });
    // A frame cut from a sheet that has its source here is drawn in the pixel editor.
    if (paintable && f.at) {
      o.style.cursor = 'pointer';
      o.tabIndex = 0;
      o.title = `draw frame ${f.index} in the pixel editor`;
      const edit = () => editFrame(g.bitmap, g.index, f.index);
      o.addEventListener('click', edit);
      o.addEventListener('keydown', e => { if (e.key === 'Enter') edit(); });
    }
    const cap = document.createElement('figcaption');
    cap.textContent = 'frame ' + f.index;
    fig.append(o, cap);
    frames.appendChild(fig);
  }
  div.appendChild(frames);
  for (const a of g.animations) {
    const fig = document.createElement('figure');
    const o = sized();
    o.className = 'pixels playing';   // a layer of its own: a change repaints it alone
    const cap = document.createElement('figcaption');
    cap.textContent = `animation ${a.index}: ${a.frames.join(' ')}, ` +
                      `${a.loops ? 'loops' : 'plays once'}, every ${a.delay + 1} frames`;
    fig.append(o, cap);
    div.appendChild(fig);
    // At the game's speed: each position held delay + 1 of its frames, while it is on screen;
    // the timer wakes only when the picture changes.
    let k = 0, timer = 0;
    const show = () => {
      const og = o.getContext('2d');
      og.imageSmoothingEnabled = false;
      og.clearRect(0, 0, w, h);
      const p = picture(a.frames[k]);
      if (p) og.drawImage(p, 0, 0, w, h);
    };
    o.title = 'click to play it again';
    let playing = () => {};
    o.addEventListener('click', () => { k = 0; show(); playing(); });
    animations.push(visible => {
      clearInterval(timer);
      timer = 0;
      playing = () => {};
      if (!visible) return;
      drawLater(show);
      playing = () => {
        clearInterval(timer);
        timer = setInterval(() => {
          if (k + 1 < a.frames.length) k++;
          else if (a.loops) k = 0;
          else { clearInterval(timer); timer = 0; return; }
          show();
        }, graphics.frameMs * (a.delay + 1));
      };
      playing();
    });
  }
  div.shown = visible => {
    if (visible) for (const d of toDraw) drawLater(d);
    for (const a of animations) a(visible);
  };
  div.stop = () => { onScreen.unobserve(div); div.shown(false); };
  onScreen.observe(div);
  return div;
}

export function drawGraphics() {
  refreshPixelEditor();
  const box = $('graphics');
  const shown = [];
  const kept = new Map();
  let paintable = false;
  if (graphics && openPath) {
    const rgb = hexBytes(graphics.palette, 768);
    const bmpOf = openPath.replace(/\.(bmp|sheet)$/i, '');
    for (const g of graphics.graphics) {
      const described = g.file === openPath || openPath === 'Graphics/MasterGraphics.txt';
      if (!described && g.file.replace(/\.txt$/i, '') !== bmpOf) continue;
      const sheet = (g.bitmap || '').replace(/\.bmp$/i, '.sheet');
      const canPaint = g.loaded && !g.tooLarge && files.has(sheet) && sheet !== g.bitmap;
      paintable = paintable || canPaint;
      const key = g.key + (canPaint ? ' paintable' : '');
      const div = drawn.get(key) || kept.get(key) || graphicElement(g, rgb, canPaint, sheet);
      kept.set(key, div);
      shown.push(div);
    }
    if (paintable) {
      if (!shownPalette || shownColours !== graphics.palette) {
        shownPalette = paletteChooser(rgb, chosenColour, chooseColour);
        shownColours = graphics.palette;
      }
      shown.unshift(shownPalette);
    }
  }
  for (const [key, div] of drawn) if (!kept.has(key)) div.stop();
  drawn = kept;
  // The same pictures in the same order are left where they are, not laid out again.
  const now = [...box.children];
  if (now.length !== shown.length || now.some((c, i) => c !== shown[i])) box.replaceChildren(...shown);
  $('graphics-title').hidden = shown.length === 0;
}
