// The pictures: a BMP as the game reads it, painted through its sheet; the palette; and every
// graphic of the open file as the game cuts it, with its bounding box and its animations.
import { files, write, message, project } from './folder.js';
import { toolsCall, readFile } from './tools.js';
import { pixelCanvas, paletteChooser, hexBytes } from './pictures.js';
import { graphics, runCheck } from './problems.js';
import { openPath, openFile } from './editor.js';
import { openPixelEditor, refreshPixelEditor } from './pixeleditor.js';
import { whileVisible } from './visible.js';

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
  const result = await toolsCall('studioPaint', '.', sheet, x, y, colour);
  if (!result.ok) { message(result.error); return; }
  await write(sheet, await readFile(sheet), { label: 'paint ' + sheet });
  if (openPath === sheet) openFile(sheet);
  await runCheck();
  if (openPath && /\.bmp$/i.test(openPath)) await drawPicture(openPath);
}

// ---- Graphics as the game cuts them

let animationTimers = [];

export function drawGraphics() {
  refreshPixelEditor();
  for (const t of animationTimers) t.stop();
  animationTimers = [];
  const box = $('graphics');
  box.textContent = '';
  $('graphics-title').hidden = true;
  if (!graphics || !openPath) return;
  const rgb = hexBytes(graphics.palette, 768);
  const bmpOf = openPath.replace(/\.(bmp|sheet)$/i, '');
  for (const g of graphics.graphics) {
    const described = g.file === openPath || openPath === 'Graphics/MasterGraphics.txt';
    if (!described && g.file.replace(/\.txt$/i, '') !== bmpOf) continue;
    $('graphics-title').hidden = false;
    const div = document.createElement('div');
    div.className = 'graphic';
    const title = document.createElement('div');
    title.textContent = `graphic ${g.index}: ${g.file}` + (g.role ? ` (${g.role})` : '') +
                        (g.loaded ? '' : ' (refused)');
    div.appendChild(title);
    if (!g.loaded || g.tooLarge) {
      if (g.tooLarge) title.textContent += `: ${g.width} x ${g.height} frames, too large to show here`;
      box.appendChild(div);
      continue;
    }
    const scale = Math.max(1, Math.min(4, Math.floor(96 / Math.max(g.width, g.height))));
    // A frame cut from a sheet that has its source here can be painted, pixel by pixel.
    const sheet = g.bitmap.replace(/\.bmp$/i, '.sheet');
    const paintable = files.has(sheet) && sheet !== g.bitmap;
    const frames = document.createElement('div');
    frames.className = 'frames';
    const pictures = {};
    for (const f of g.frames) {
      const fig = document.createElement('figure');
      const c = pixelCanvas(f.pixels, g.width, g.height, rgb, scale, g.colorKey);
      // The bounding box, outlined over the frame.
      const o = document.createElement('canvas');
      o.width = g.width * scale; o.height = g.height * scale;
      const og = o.getContext('2d');
      og.drawImage(c, 0, 0, o.width, o.height);
      og.imageSmoothingEnabled = false;
      og.strokeStyle = '#0f0';
      og.strokeRect(g.box[0] * scale + 0.5, g.box[1] * scale + 0.5,
                    (g.box[2] - g.box[0]) * scale - 1, (g.box[3] - g.box[1]) * scale - 1);
      o.className = 'pixels';
      o.dataset.frame = f.index;
      if (paintable && f.at) {
        o.style.cursor = 'pointer';
        o.tabIndex = 0;
        o.title = `draw frame ${f.index} in the pixel editor`;
        const edit = () => editFrame(g.bitmap, g.index, f.index);
        o.addEventListener('click', edit);
        o.addEventListener('keydown', e => { if (e.key === 'Enter') edit(); });
      }
      pictures[f.index] = c;
      const cap = document.createElement('figcaption');
      cap.textContent = 'frame ' + f.index;
      fig.append(o, cap);
      frames.appendChild(fig);
    }
    div.appendChild(frames);
    for (const a of g.animations) {
      const fig = document.createElement('figure');
      const o = document.createElement('canvas');
      o.width = g.width * scale; o.height = g.height * scale;
      o.className = 'pixels playing';   // a layer of its own: a change repaints it alone
      const cap = document.createElement('figcaption');
      cap.textContent = `animation ${a.index}: ${a.frames.join(' ')}, ` +
                        `${a.loops ? 'loops' : 'plays once'}, every ${a.delay + 1} frames`;
      fig.append(o, cap);
      div.appendChild(fig);
      // At the game's speed: each position held delay + 1 of its frames.
      let k = 0;
      const og = o.getContext('2d');
      const show = () => {
        og.clearRect(0, 0, o.width, o.height);
        const p = pictures[a.frames[k]];
        if (p) og.drawImage(p, 0, 0, o.width, o.height);
      };
      show();
      o.title = 'click to play it again';
      const timer = whileVisible(o, graphics.frameMs * (a.delay + 1), () => {
        if (k + 1 < a.frames.length) k++;
        else if (a.loops) k = 0;
        else return false;
        show();
        return true;
      });
      o.addEventListener('click', () => { k = 0; show(); timer.again(); });
      animationTimers.push(timer);
    }
    box.appendChild(div);
  }
}
