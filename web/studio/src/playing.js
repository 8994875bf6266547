// Play: the game module, a fresh instance in a frame of its own each time (play.html), on the
// folder as it is; a start-up that fails shows the game's log, each line linked to its place.
import { files } from './folder.js';
import { problems } from './problems.js';
import { openFile } from './editor.js';

const $ = id => document.getElementById(id);

// The play frame asks for the folder to write into its game's file system: the project's, or
// the one a single play was given ("Play from here").
let playFolder = files;
window.studioFolder = () => playFolder;

let playing = null;
let endPlay = null;               // settles the promise of the game under way

export function play(folder = files) {
  stop();
  playFolder = folder;
  const box = $('play');
  const frame = document.createElement('iframe');
  frame.src = 'play.html';
  frame.title = 'Starlane';
  box.textContent = '';
  box.appendChild(frame);
  box.hidden = false;
  document.body.dataset.state = 'playing';
  playing = new Promise(resolve => {
    endPlay = result => { endPlay = null; resolve(result); };
    window.studioPlayEnded = (code, log) => {
      const done = endPlay;
      endPlay = null;
      stop();
      if (code !== 0) showFailure(log);
      if (done) done({ code, log });
    };
  });
  frame.addEventListener('load', () => frame.contentWindow.focus());
  return playing;
}

// Ends the game where it is; a play() still waiting is told so with a code of null.
export function stop() {
  if (endPlay) endPlay({ code: null, log: '' });
  const box = $('play');
  box.hidden = true;
  box.textContent = '';
  document.body.dataset.state = 'studio';
}

// What the game wrote at start-up, each line linked through the checker to its place.
function showFailure(log) {
  const box = $('failed-lines');
  box.textContent = '';
  const placed = problems.filter(p => / ?Error\.txt: /.test(' ' + p.text) || p.file === 'Error.txt');
  const lines = log.split('\n').filter(l => l);
  for (const l of lines) {
    const p = placed.find(q => q.text.endsWith(l));
    const d = document.createElement('div');
    d.textContent = p ? `${p.file}:${p.line}: ${l}` : l;
    if (p) d.addEventListener('click', () => { $('failed').hidden = true; openFile(p.file, p.line); });
    box.appendChild(d);
  }
  $('failed').hidden = false;
}
