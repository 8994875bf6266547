// An enemy as a form: every value of its file labelled with the field's name, unit and range,
// checked as it is typed, its graphics chosen from the pictures; the form writes the text,
// which stays the source. And the editor's hover: a number's field, unit and range.
import { hoverTooltip } from '@codemirror/view';
import { files, message } from './folder.js';
import { graphics } from './problems.js';
import { hexBytes, pixelCanvas } from './pictures.js';
import { fieldsOf, knownFields, setValues, outOfRange } from './fields.js';

const el = (tag, props = {}, ...kids) => {
  const e = Object.assign(document.createElement(tag), props);
  for (const k of kids) e.append(k);
  return e;
};

// The editor's hover on a value: what the reader and the table say it is.
export function fieldHover(path) {
  return hoverTooltip((view, pos) => {
    const line = view.state.doc.lineAt(pos);
    const column = pos - line.from + 1;
    const f = knownFields(path).find(v => v.line === line.number && v.column > 0 &&
      column >= v.column && column <= v.column + v.text.length && v.name);
    if (!f) return null;
    return {
      pos: line.from + f.column - 1, end: line.from + f.column - 1 + f.text.length, above: true,
      create: () => ({ dom: el('div', { className: 'field-tip',
        textContent: `${f.name}: ${f.unit}, ${rangeOf(f)} (${f.field}${f.record ? ' ' + f.record : ''})` }) }),
    };
  });
}

// A master graphic's first frame, small, for choosing it.
function thumbnail(index) {
  const g = graphics && graphics.graphics.find(x => x.index === index);
  const f = g && g.loaded && !g.tooLarge && g.frames[0];
  if (!f) return el('span', { textContent: String(index) });
  const scale = Math.max(1, Math.floor(32 / Math.max(g.width, g.height)));
  const c = pixelCanvas(f.pixels, g.width, g.height, hexBytes(graphics.palette, 768), scale, g.colorKey);
  c.style.width = Math.min(48, g.width * scale) + 'px';
  c.style.height = 'auto';
  return c;
}

function graphicChooser(f, choose) {
  const box = el('div', { className: 'form-graphics' });
  const count = graphics ? graphics.graphics.length : 0;
  for (let i = 0; i < count; i++) {
    const b = el('button', { type: 'button', title: `graphic ${i}: ${graphics.graphics[i].file}` }, thumbnail(i));
    b.dataset.value = i;
    if (String(i) === f.text) b.className = 'chosen';
    b.onclick = () => choose(i);
    box.append(b);
  }
  return box;
}

let drawn = '';                   // the file and bytes the form shows
const rangeOf = f => f.min <= -2147483648 && f.max >= 2147483647 ? 'any whole number' : `${f.min}..${f.max}`;

// The form of the enemy file `path` into `box`.
export async function drawEnemyForm(box, path) {
  const bytes = files.get(path);
  if (drawn === path && box._bytes === bytes && box.firstChild) return;
  const fields = (await fieldsOf(path)).filter(f => f.name);
  box.textContent = '';
  box._bytes = bytes;
  drawn = path;
  if (!fields.length) { box.append(el('p', { textContent: `${path}: the loader did not read it, so there is no form.` })); return; }
  const form = el('form', { className: 'enemy-form', onsubmit: e => e.preventDefault() });
  form.append(el('h3', { textContent: 'As a form: ' + path }));
  for (const f of fields) {
    const id = `field-${f.field}-${f.record}-${f.nth}`;
    const label = `${f.name}${/^(discharge|timer)$/.test(f.field) ? ' ' + (f.record + 1) : ''}`;
    const note = el('span', { className: 'form-note', textContent: `${f.unit}, ${rangeOf(f)}` });
    const input = el('input', { id, type: 'number', value: f.text, min: f.min, max: f.max, step: 1 });
    input.dataset.field = f.field;
    input.dataset.nth = f.nth;
    input.dataset.record = f.record;
    const put = async text => {
      const wrong = outOfRange(f, text);
      input.classList.toggle('wrong', !!wrong);
      note.textContent = wrong ? `must be ${wrong}` : `${f.unit}, ${rangeOf(f)}`;
      if (wrong || String(Number(text)) === f.text) return;
      try { await setValues(path, [[f, String(Number(text))]], `${label} of ${path}`); }
      catch (e) { message(e.message); }
    };
    input.addEventListener('input', () => {
      const wrong = outOfRange(f, input.value);
      input.classList.toggle('wrong', !!wrong);
      note.textContent = wrong ? `must be ${wrong}` : `${f.unit}, ${rangeOf(f)}`;
    });
    input.addEventListener('change', () => put(input.value));
    const row = el('div', { className: 'form-row' }, el('label', { htmlFor: id, textContent: label }), input, note);
    if (f.unit === 'master graphic') row.append(graphicChooser(f, i => { input.value = i; put(String(i)); }));
    form.append(row);
  }
  box.append(form);
}

export function clearForm(box) { box.textContent = ''; drawn = ''; }
