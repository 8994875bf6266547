// The bar under the header: what the studio needs a person to decide or to know now, each
// notice with its buttons, until it is settled.
const shown = new Map();          // id -> element

export function notice(id, text, buttons = []) {
  const box = document.getElementById('notices');
  let d = shown.get(id);
  if (!d) {
    d = document.createElement('div');
    d.className = 'notice';
    d.dataset.notice = id;
    shown.set(id, d);
    box.appendChild(d);
  }
  d.textContent = '';
  const span = document.createElement('span');
  span.textContent = text;
  d.appendChild(span);
  for (const [label, act] of buttons) {
    const b = document.createElement('button');
    b.textContent = label;
    b.addEventListener('click', act);
    d.appendChild(b);
  }
  box.hidden = false;
}

export function clearNotice(id) {
  const d = shown.get(id);
  if (d) { d.remove(); shown.delete(id); }
  if (shown.size === 0) document.getElementById('notices').hidden = true;
}

export function clearNotices(prefix) {
  for (const id of [...shown.keys()]) if (id.startsWith(prefix)) clearNotice(id);
}
