// The tree of the folder's files, marked where the checker found problems.
import { files } from './folder.js';
import { problems } from './problems.js';
import { openPath, openFile } from './editor.js';

// The tree by the keys: one file in the Tab order at a time, the arrows move among them, Enter
// opens the one focused.
function treeKeys(e) {
  const items = [...document.querySelectorAll('#tree .file')];
  const k = items.indexOf(document.activeElement);
  const to = { ArrowDown: k + 1, ArrowUp: k - 1, Home: 0, End: items.length - 1 }[e.key];
  if (e.key === 'Enter' && k >= 0) { e.preventDefault(); openFile(items[k].dataset.path); return; }
  if (to === undefined || !items.length) return;
  e.preventDefault();
  const item = items[Math.max(0, Math.min(items.length - 1, to))];
  for (const i of items) i.tabIndex = i === item ? 0 : -1;
  item.focus();
}

export function drawTree() {
  const tree = document.getElementById('tree');
  const focused = document.activeElement && document.activeElement.closest && document.activeElement.closest('#tree')
    ? document.activeElement.dataset.path : null;
  tree.textContent = '';
  tree.setAttribute('role', 'tree');
  tree.onkeydown = treeKeys;
  const bad = new Map();
  for (const p of problems) {
    if (p.severity === 'error' || !bad.has(p.file)) bad.set(p.file, p.severity);
  }
  let folder = null;
  for (const path of [...files.keys()].sort()) {
    const slash = path.lastIndexOf('/');
    const dir = slash < 0 ? '' : path.slice(0, slash);
    if (dir !== folder) {
      folder = dir;
      if (dir) {
        const d = document.createElement('div');
        d.className = 'folder';
        d.textContent = dir + '/';
        tree.appendChild(d);
      }
    }
    const f = document.createElement('div');
    f.className = 'file' + (path === openPath ? ' open' : '') +
                  (bad.get(path) === 'error' ? ' bad' : bad.has(path) ? ' warned' : '');
    f.textContent = path.slice(slash + 1);
    f.title = path;
    f.dataset.path = path;
    f.setAttribute('role', 'treeitem');
    f.tabIndex = -1;
    f.addEventListener('click', () => openFile(path));
    tree.appendChild(f);
  }
  const items = [...tree.querySelectorAll('.file')];
  const current = items.find(i => i.dataset.path === (focused || openPath)) || items[0];
  if (current) current.tabIndex = 0;
  if (focused && current) current.focus();
}
