// The file open in the page: a text file in the editor, marked with the checker's problems,
// or a picture. The editor's changes are written through the folder's one write().
import { EditorView, basicSetup } from 'codemirror';
import { EditorState } from '@codemirror/state';
import { setDiagnostics, lintGutter } from '@codemirror/lint';
import { files, write, message, TEXT_FILE } from './folder.js';
import { problems, scheduleCheck } from './problems.js';
import { drawTree } from './tree.js';
import { drawPicture, drawGraphics } from './graphics.js';

const $ = id => document.getElementById(id);

export let openPath = null;
let editor = null;

function diagnosticsFor(state, path) {
  const out = [];
  for (const p of problems) {
    if (p.file !== path || p.line < 1 || p.line > state.doc.lines) continue;
    const line = state.doc.line(p.line);
    out.push({ from: line.from, to: line.to, severity: p.severity, message: p.text });
  }
  return out;
}

export function markEditor() {
  if (!editor || !openPath) return;
  editor.dispatch(setDiagnostics(editor.state, diagnosticsFor(editor.state, openPath)));
}

function makeEditor(path, text) {
  const state = EditorState.create({
    doc: text,
    extensions: [basicSetup, lintGutter(), EditorView.theme({}, { dark: true }),
      EditorView.updateListener.of(update => {
        if (!update.docChanged) return;
        write(path, new TextEncoder().encode(update.state.doc.toString()))
          .catch(e => message(`${path} was not saved: ${e.message}`));
        scheduleCheck();
      })],
  });
  closeEditor();
  editor = new EditorView({ state, parent: $('editor') });
}

function closeEditor() {
  if (editor) { editor.destroy(); editor = null; }
}

export function openFile(path, line) {
  if (!files.has(path)) { message(path + ': no such file in the folder'); return; }
  openPath = path;
  $('path').textContent = path;
  const bytes = files.get(path);
  const text = TEXT_FILE.test(path);
  $('editor').hidden = !text;
  $('picture').hidden = text;
  if (text) {
    makeEditor(path, new TextDecoder().decode(bytes));
    markEditor();
    if (line && line <= editor.state.doc.lines) {
      const at = editor.state.doc.line(line);
      editor.dispatch({ selection: { anchor: at.from }, scrollIntoView: true });
    }
    editor.focus();
  } else {
    closeEditor();
    drawPicture(path).catch(e => message(`${path}: ${e.message}`));
  }
  drawTree();
  drawGraphics();
}

// Nothing open: after the open file was deleted, or the folder replaced.
export function closeFile() {
  openPath = null;
  $('path').textContent = '';
  $('picture').hidden = true;
  closeEditor();
}
