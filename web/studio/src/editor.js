// The file open in the page: a text file in the editor, marked with the checker's problems,
// or a picture. The editor's changes are written through the folder's one write(), byte for
// byte as typed (text.js); each file keeps its editor state (cursor, its own undo) while
// another is open; Ctrl+Z and Ctrl+Shift+Z walk the project's one history.
import { EditorView, basicSetup } from 'codemirror';
import { EditorState, Compartment, Annotation, Facet, Prec } from '@codemirror/state';
import { keymap } from '@codemirror/view';
import { setDiagnostics, lintGutter } from '@codemirror/lint';
import { files, write, message, project, TEXT_FILE } from './folder.js';
import { problems, scheduleCheck } from './problems.js';
import { drawTree } from './tree.js';
import { drawPicture, drawGraphics } from './graphics.js';
import { decodeText, encodeText, lineBreakOf, diffText } from './text.js';

const $ = id => document.getElementById(id);

export let openPath = null;
let editor = null;
let shownBytes = null;            // the picture shown, as it was when it was drawn
const states = new Map();         // path -> the editor state it was left in
const readOnly = new Compartment();
const outside = Annotation.define();   // a change that comes from the folder, not from typing
const bytewiseFile = Facet.define({ combine: v => !!v[0] });   // kept one byte a character
let hooks = { undo: () => {}, redo: () => {}, extensions: () => [], opened: () => {} };

export function editorHooks(h) { hooks = { ...hooks, ...h }; }

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

const lockedBy = () => EditorState.readOnly.of(project.readOnly);

function makeState(path, bytes) {
  const { text, bytewise } = decodeText(bytes);
  return EditorState.create({
    doc: text,
    extensions: [
      Prec.highest(keymap.of([
        { key: 'Mod-z', run: () => { hooks.undo(); return true; } },
        { key: 'Mod-Shift-z', run: () => { hooks.redo(); return true; } },
        { key: 'Mod-y', run: () => { hooks.redo(); return true; } },
      ])),
      basicSetup, lintGutter(), EditorView.theme({}, { dark: true }),
      EditorState.lineSeparator.of(lineBreakOf(text)), bytewiseFile.of(bytewise),
      readOnly.of(lockedBy()),
      hooks.extensions(path),
      // A file kept one byte a character takes only such characters.
      EditorState.changeFilter.of(tr => {
        if (!bytewise || !tr.docChanged) return true;
        let fits = true;
        tr.changes.iterChanges((a, b, c, d, inserted) => { if (/[^\u0000-\u00ff]/.test(inserted.toString())) fits = false; });
        if (!fits) message(`${path} is not UTF-8, so it is kept byte for byte: only characters of one byte can be typed in it.`);
        return fits;
      }),
      EditorView.updateListener.of(update => {
        if (!update.docChanged || update.transactions.some(t => t.annotation(outside))) return;
        const bytes = encodeText(update.state.sliceDoc(), bytewise);
        write(path, bytes, { label: 'edit ' + path, typing: true })
          .catch(e => message(`${path} was not saved: ${e.message}`));
        scheduleCheck();
      })],
  });
}

// The change that brings `state` to `bytes`, or null when the file now needs a state of its
// own (its line ends or its encoding changed). Positions count a line break as one.
function changeTo(state, bytes) {
  const { text, bytewise } = decodeText(bytes);
  const sep = lineBreakOf(text);
  if (sep !== state.lineBreak || bytewise !== state.facet(bytewiseFile)) return null;
  const d = diffText(state.doc.toString(), sep === '\n' ? text : text.split(sep).join('\n'));
  return { from: d.from, to: d.to, insert: d.insert.split('\n').join(sep) };
}

// The state `path` was left in, brought to the file's bytes as they are now.
function stateFor(path) {
  const bytes = files.get(path);
  const kept = states.get(path);
  const changes = kept && changeTo(kept, bytes);
  if (!changes) return makeState(path, bytes);
  return kept.update({ changes, annotations: outside, effects: readOnly.reconfigure(lockedBy()) }).state;
}

function keepState() {
  if (editor && openPath && TEXT_FILE.test(openPath)) states.set(openPath, editor.state);
}

export function openFile(path, line) {
  if (!files.has(path)) { message(path + ': no such file in the folder'); return; }
  keepState();
  openPath = path;
  $('path').textContent = path + (project.readOnly ? ' (read-only: open in another tab)' : '');
  const text = TEXT_FILE.test(path);
  $('editor').hidden = !text;
  $('picture').hidden = text;
  if (text) {
    const state = stateFor(path);
    if (editor) editor.setState(state);
    else editor = new EditorView({ state, parent: $('editor') });
    markEditor();
    if (line && line <= editor.state.doc.lines) {
      const at = editor.state.doc.line(line);
      editor.dispatch({ selection: { anchor: at.from }, scrollIntoView: true });
    }
    editor.focus();
  } else {
    shownBytes = files.get(path);
    drawPicture(path).catch(e => message(`${path}: ${e.message}`));
  }
  drawTree();
  drawGraphics();
  hooks.opened(path);
}

// The files changed from outside the editor (undo, redo, another tab, a rebuild): the open
// one follows, its cursor kept; the others are brought up to date when next opened.
export function refreshOpen() {
  if (!openPath) return;
  if (!files.has(openPath)) { closeFile(); return; }
  if (!TEXT_FILE.test(openPath)) {
    // A picture is drawn again when it changed; a sheet's pixel editor follows its sheet.
    if (files.get(openPath) !== shownBytes) openFile(openPath);
    return;
  }
  const changes = changeTo(editor.state, files.get(openPath));
  if (!changes) editor.setState(makeState(openPath, files.get(openPath)));
  else editor.dispatch({ changes, annotations: outside, effects: readOnly.reconfigure(lockedBy()),
                         scrollIntoView: changes.from !== changes.to || changes.insert !== '' });
  markEditor();
  $('path').textContent = openPath + (project.readOnly ? ' (read-only: open in another tab)' : '');
}

// A project opened: no file's state is kept from the one before.
export function forgetStates() { states.clear(); }

// Nothing open: after the open file was deleted, or the folder replaced.
export function closeFile() {
  keepState();
  openPath = null;
  hooks.opened(null);
  $('path').textContent = '';
  $('picture').hidden = true;
  $('editor').hidden = true;
}
