// The tree of the folder's files, marked where the checker found problems.
import { files } from './folder.js';
import { problems } from './problems.js';
import { openPath, openFile } from './editor.js';

export function drawTree() {
  const tree = document.getElementById('tree');
  tree.textContent = '';
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
    f.addEventListener('click', () => openFile(path));
    tree.appendChild(f);
  }
}
