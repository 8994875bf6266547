// The deployment orders as a timeline: each order at the second it runs (its delay and those
// before it added up) and at its X on the game's 800-pixel-wide screen, with its enemy's
// picture. Dragging an order changes its delay and its X in the text; "Play from here" starts
// the game with the orders before it left out, for that play only.
import { files, message, change } from './folder.js';
import { graphics } from './problems.js';
import { hexBytes, pixelCanvas } from './pictures.js';
import { fieldsOf, recordsOf, setValues, outOfRange } from './fields.js';
import { play } from './playing.js';

const SCREEN = 800;               // the game's screen, in pixels across
const ORDERS = 'DeploymentOrders/DeploymentOrder1.dpo';
const el = (tag, props = {}, ...kids) => {
  const e = Object.assign(document.createElement(tag), props);
  for (const k of kids) e.append(k);
  return e;
};

export let chosenOrder = 0;

// [{record, line, enemy, delay, x, y, at}] with `at` the running time in seconds.
export async function ordersOf() {
  const fields = await fieldsOf(ORDERS);
  let t = 0;
  return recordsOf(fields, 'order').filter(r => r[4]).map((r, k) => {
    t += Math.max(0, Number(r[2].text));
    return { record: k, line: r[0].line, fields: r, enemy: Number(r[1].text), delay: Number(r[2].text),
             x: Number(r[3].text), y: Number(r[4].text), at: t };
  });
}

// Each master enemy's graphic, as its file says.
async function enemyGraphics() {
  const list = recordsOf(await fieldsOf('Enemies/MasterEnemies.txt'), 'entry').map(r => r[0].text);
  const out = [];
  for (const name of list) {
    const g = (await fieldsOf(name)).find(f => f.field === 'graphic');
    out.push({ name, graphic: g ? Number(g.text) : -1 });
  }
  return out;
}

function picture(index, height) {
  const g = graphics && graphics.graphics.find(x => x.index === index);
  const f = g && g.loaded && !g.tooLarge && g.frames[0];
  if (!f) return el('span', { className: 'tl-none', textContent: '?' });
  const c = pixelCanvas(f.pixels, g.width, g.height, hexBytes(graphics.palette, 768), 1, g.colorKey);
  c.style.height = height + 'px';
  c.style.width = 'auto';
  return c;
}

// The orders of the deployment file into `box`.
export async function drawTimeline(box) {
  const orders = await ordersOf();
  const enemies = await enemyGraphics();
  box.textContent = '';
  const width = Math.max(300, Math.min(SCREEN, box.clientWidth - 70 || SCREEN));
  const across = width / SCREEN, perSecond = 6;
  const end = orders.length ? orders[orders.length - 1].at + 5 : 10;
  const chosen = orders[Math.min(chosenOrder, orders.length - 1)];
  const head = el('div', { className: 'tl-head' },
    el('strong', { textContent: 'Timeline' }),
    ` ${orders.length} orders over ${end - 5} s; drag an order to change its time (its delay) and its X. `,
    el('button', { textContent: 'Play from here', title: 'Play with the orders before the chosen one left out, this time only',
                   onclick: () => playFrom(chosenOrder) }),
    enemyChooser(enemies),
    el('button', { textContent: 'Add order', title: 'An order of the chosen enemy, a second after the chosen order',
                   onclick: () => addOrder(chosen, Number(box.querySelector('.tl-enemy').value)) }),
    el('button', { textContent: 'Remove order', title: 'The chosen order goes (Undo brings it back)',
                   onclick: () => chosen && removeOrder(chosen) }),
    el('span', { className: 'tl-chosen', textContent: chosen ? ` order ${chosen.record + 1}: ${enemies[chosen.enemy] ? enemies[chosen.enemy].name : 'enemy ' + chosen.enemy} at ${chosen.at} s, x ${chosen.x}` : '' }));
  const stage = el('div', { className: 'tl-stage' });
  stage.style.width = width + 'px';
  stage.style.height = end * perSecond + 'px';
  for (let s = 0; s <= end; s += 10)
    stage.append(el('div', { className: 'tl-second', textContent: s + ' s', style: `top: ${s * perSecond}px` }));
  for (const o of orders) {
    const e = enemies[o.enemy];
    const mark = el('div', { className: 'tl-order' + (o.record === chosenOrder ? ' chosen' : ''), tabIndex: 0,
                             title: `order ${o.record + 1} (line ${o.line}): ${e ? e.name : 'enemy ' + o.enemy}, delay ${o.delay} s, at ${o.at} s, x ${o.x}` },
                    picture(e ? e.graphic : -1, 18));
    mark.dataset.order = o.record;
    mark.style.left = o.x * across + 'px';
    mark.style.top = o.at * perSecond + 'px';
    let from = null;
    mark.addEventListener('pointerdown', ev => {
      from = { x: ev.clientX, y: ev.clientY };
      mark.setPointerCapture(ev.pointerId);
      chosenOrder = o.record;
      for (const m of stage.querySelectorAll('.tl-order')) m.classList.toggle('chosen', m === mark);
    });
    mark.addEventListener('pointermove', ev => {
      if (!from) return;
      mark.style.left = o.x * across + (ev.clientX - from.x) + 'px';
      mark.style.top = o.at * perSecond + (ev.clientY - from.y) + 'px';
    });
    mark.addEventListener('pointerup', async ev => {
      if (!from) return;
      const dx = Math.round((ev.clientX - from.x) / across), dt = Math.round((ev.clientY - from.y) / perSecond);
      from = null;
      await moveOrder(o, o.delay + Math.max(-o.delay, dt), o.x + dx);
    });
    mark.addEventListener('keydown', ev => {
      const step = { ArrowLeft: [0, -10], ArrowRight: [0, 10], ArrowUp: [-1, 0], ArrowDown: [1, 0] }[ev.key];
      if (ev.key === 'Enter') { chosenOrder = o.record; drawTimeline(box); }
      if (!step) return;
      ev.preventDefault();
      moveOrder(o, Math.max(0, o.delay + step[0]), o.x + step[1]);
    });
    stage.append(mark);
  }
  box.append(head, stage);
}

function enemyChooser(enemies) {
  const select = el('select', { className: 'tl-enemy', title: 'The enemy an added order sends' });
  enemies.forEach((e, k) => select.append(el('option', { value: k, textContent: `${k}: ${e.name.replace(/^.*\//, '').replace(/\.txt$/i, '')}` })));
  select.value = String(Math.max(0, enemies.length - 1));
  return select;
}

// The file's bytes with `lines` (line numbers from 1) dropped and `text` put before line `at`.
function withLines(bytes, drop, at, text) {
  const out = [];
  let line = 1, start = 0;
  const put = new TextEncoder().encode(text);
  for (let i = 0; i <= bytes.length; i++) {
    if (i === bytes.length || bytes[i] === 10) {
      if (line === at && put.length) out.push(put);
      if (!drop.has(line) && i > start - 1) out.push(bytes.subarray(start, Math.min(i + 1, bytes.length)));
      line++;
      start = i + 1;
    }
  }
  if (at >= line && put.length) out.push(put);
  const joined = new Uint8Array(out.reduce((n, b) => n + b.length, 0));
  let k = 0;
  for (const b of out) { joined.set(b, k); k += b.length; }
  return joined;
}

// An order of `enemy` a second after order `after` (or first), at the middle of the screen.
export async function addOrder(after, enemy) {
  const bytes = files.get(ORDERS);
  const eol = new TextDecoder().decode(bytes).includes('\r\n') ? '\r\n' : '\n';
  const y = after ? after.y : -40;
  const line = after ? after.line + 1 : 1;
  try {
    await change([[ORDERS, withLines(bytes, new Set(), line, `o ${enemy} 1 ${SCREEN / 2} ${y}${eol}`)]],
                 { label: `add an order of enemy ${enemy}` });
    chosenOrder = after ? after.record + 1 : 0;
  } catch (e) { message(e.message); }
}

export async function removeOrder(o) {
  try { await change([[ORDERS, withLines(files.get(ORDERS), new Set([o.line]), 0, '')]], { label: `remove order ${o.record + 1}` }); }
  catch (e) { message(e.message); }
}

// An order's delay and X written into its line, as one step.
export async function moveOrder(o, delay, x) {
  const changes = [];
  if (delay !== o.delay) changes.push([o.fields[2], String(delay)]);
  if (x !== o.x) changes.push([o.fields[3], String(x)]);
  if (!changes.length) return;
  const wrong = outOfRange(o.fields[2], delay) || outOfRange(o.fields[3], x);
  if (wrong) { message(`Order ${o.record + 1} was not moved: the value must be ${wrong}.`); return; }
  try { await setValues(ORDERS, changes, `move order ${o.record + 1}`); }
  catch (e) { message(e.message); }
}

// The game on the folder with the orders before order `k` left out, this play only.
export async function playFrom(k) {
  const orders = await ordersOf();
  const lines = new Set(orders.slice(0, k).map(o => o.line));
  const bytes = files.get(ORDERS);
  const out = [];
  let line = 1, start = 0;
  for (let i = 0; i <= bytes.length; i++) {
    if (i === bytes.length || bytes[i] === 10) {
      if (!lines.has(line)) out.push(bytes.subarray(start, Math.min(i + 1, bytes.length)));
      line++;
      start = i + 1;
    }
  }
  const joined = new Uint8Array(out.reduce((n, b) => n + b.length, 0));
  let at = 0;
  for (const b of out) { joined.set(b, at); at += b.length; }
  const folder = new Map(files);
  folder.set(ORDERS, joined);
  message(`Playing from order ${k + 1}: the ${k} orders before it are left out of this play only.`);
  return play(folder);
}
