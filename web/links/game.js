// The game page's links (bundled into links.js, loaded after page.js and before the game): a
// mod link's files written into the game's file system before it starts, a game link's
// recording played by the game itself (STARLANE_PLAYBACK) with its keys shown, its pace and
// "Take over", and when a game has ended "Share this game". window.starlane: shareLink() and
// figures(). Nothing from a link is ever inserted as markup: text goes in as text.
import { readLink, makeLink, shippedFor, LINK_MOST } from './codec.js';
import { readZip } from '../studio/src/zipin.js';

const Module = window.Module;   // page.js's
const FS = () => Module.FS;
const WATCHED = 'watch.rec';    // the recording to play, in the game's folder
const KEYS = ['A', 'D', 'W', 'S', 'Space', 'Esc'];

// The shipped content as the studio opens it: links are made against it, and read with it.
const fetched = name => fetch(name).then(r => {
  if (!r.ok) throw new Error(`${name}: ${r.status}`);
  return r;
});
let shippedContent = null;
const shipped = () => shippedContent || (shippedContent = Promise.all([
  fetched('links-content.json').then(r => r.json()),
  fetched('studio-content.zip').then(r => r.arrayBuffer()),
]).then(([about, zip]) => shippedFor(readZip(new Uint8Array(zip)), about.version)));
let linked = null;              // what this page's link carries, once read
let ended = false;
const errors = [];              // the game's stderr
let figuresNow = null;
const figuresWaiting = [];

// ---- the line above the game

const style = document.createElement('style');
style.textContent = `
  #link-line { padding: 4px 8px; white-space: nowrap; color: #fc9; }
  #link-line a, #link-line button { color: #9cf; background: none; border: 1px solid #456;
    font: inherit; padding: 1px 8px; margin-left: 8px; cursor: pointer; }
  #link-line button.on { background: #246; color: #fff; }
  #link-line kbd { display: inline-block; min-width: 1.4em; text-align: center; margin: 0 2px;
    border: 1px solid #456; color: #567; padding: 0 4px; }
  #link-line kbd.held { color: #000; background: #fc9; border-color: #fc9; }
  #share-box input { width: 100%; font: 12px monospace; }`;
document.head.appendChild(style);

const line = document.createElement('div');
line.id = 'link-line';
line.hidden = true;
const game = document.getElementById('game');
game.insertBefore(line, game.firstChild);

function el(tag, text, props) {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  Object.assign(e, props || {});
  return e;
}

function say(text, ...extra) {
  line.textContent = '';
  line.append(el('span', text), ...extra);
  const shown = line.hidden;
  line.hidden = false;
  if (shown) window.dispatchEvent(new Event('resize'));   // the page fits the picture under it
}

function refuse(reason) {
  say(`This link cannot be played: ${reason}.`, el('a', 'Play the shipped game', { href: location.pathname }));
  document.body.dataset.link = 'refused';
  document.body.dataset.linkMessage = line.textContent;
}

const studioLink = () => el('a', 'Open in the studio', { href: 'studio.html' + location.hash });
const hasMod = what => what && (what.files.length > 0 || what.removed.length > 0);

function modWords(what) {
  return `${what.files.length} file${what.files.length === 1 ? '' : 's'} added or changed` +
         (what.removed.length ? `, ${what.removed.length} removed` : '');
}

// ---- before the game starts: the link read while the game waits for it (a run dependency of
// its own), its files written once the shipped content is in place (when only that dependency
// is left), and the game let go. A link refused holds it back: nothing plays.

// Another link pasted over this one changes the fragment alone: the page starts again on it.
window.addEventListener('hashchange', () => location.reload());

let holding = false, waiting = -1;
const pageMonitor = Module.monitorRunDependencies;
Module.monitorRunDependencies = left => {
  waiting = left;
  if (holding) Promise.resolve().then(letGo);
  if (pageMonitor) pageMonitor(left);
};

Module.preRun.push(() => {
  if (location.hash.length <= 1) return;
  holding = true;
  Module.addRunDependency('link');
  shipped().then(content => {
    linked = readLink(location.hash, content);
    // The game's C library takes its environment as the runtime starts, after this.
    if (linked.recording !== null) Module.ENV.STARLANE_PLAYBACK = WATCHED;
    letGo();
  }).catch(e => { holding = false; refuse(e.message); });
});

function letGo() {
  if (!holding || !linked || waiting !== 1) return;
  holding = false;
  try {
    writeMod(linked);
    if (linked.recording !== null) FS().writeFile('/game/' + WATCHED, linked.recording);
  } catch (e) {
    refuse(e.message);
    return;
  }
  Module.removeRunDependency('link');
}

function writeMod(what) {
  const fs = FS();
  for (const path of what.removed)
    if (fs.analyzePath('/game/' + path).exists) fs.unlink('/game/' + path);
  for (const [path, bytes] of what.files) {
    try {
      let dir = '/game';
      for (const part of path.split('/').slice(0, -1)) {
        dir += '/' + part;
        if (!fs.analyzePath(dir).exists) fs.mkdir(dir);
      }
      fs.writeFile('/game/' + path, bytes);
    } catch (e) {
      throw new Error(`its file ${JSON.stringify(path)} does not fit the game's folder, where a folder or file stands in its way`);
    }
  }
}

const pageStarted = Module.onRuntimeInitialized;
Module.onRuntimeInitialized = function() {
  if (linked) {
    if (linked.recording !== null) watch();
    else say(`Playing a mod: ${modWords(linked)}.`, studioLink());
    document.body.dataset.link = linked.recording !== null ? 'game' : 'mod';
  }
  if (pageStarted) pageStarted.apply(this, arguments);
};

// ---- watching a recording: the keys it presses, its pace, taking over

let watching = false;

function watch() {
  watching = true;
  const frame = el('span', '');
  const caps = KEYS.map(k => el('kbd', k));
  let speed = 1, paused = false;
  const pace = [1, 2, 4].map(n => el('button', `${n}\u00d7`));
  const pause = el('button', 'Pause');
  const takeOver = el('button', 'Take over');
  const show = () => {
    pace.forEach((b, i) => b.classList.toggle('on', [1, 2, 4][i] === speed && !paused));
    pause.classList.toggle('on', paused);
    Module._webSetPace(speed, paused ? 1 : 0);
  };
  pace.forEach((b, i) => b.addEventListener('click', () => { speed = [1, 2, 4][i]; paused = false; show(); }));
  pause.addEventListener('click', () => { paused = !paused; show(); });
  takeOver.addEventListener('click', () => window.starlane.takeOver());
  const mod = hasMod(linked) ? [el('span', ` With a mod: ${modWords(linked)}.`), studioLink()] : [];
  say('Watching a game: ', frame, ...caps, ...pace, pause, takeOver, ...mod);
  show();
  const tick = () => {
    if (!watching) return;
    if (Module._watchFrames) {
      const frames = Module._watchFrames();
      frame.textContent = `frame ${Module._watchFrame()} of ${frames} `;
      const held = Module._watchKeys();
      caps.forEach((c, i) => c.classList.toggle('held', (held & (1 << i)) !== 0));
    }
    requestAnimationFrame(tick);
  };
  requestAnimationFrame(tick);
}

function takeOver() {
  if (!watching || ended) return Promise.reject(new Error('no recording is playing'));
  watching = false;
  const at = Module._watchFrame();
  Module._webReleaseKeys();
  Module._watchTakeOver();
  say(`You took over at frame ${at}: the game is yours from here, and its recording holds it all from frame 0.`,
      ...(hasMod(linked) ? [studioLink()] : []));
  document.body.dataset.link = 'taken';
  document.getElementById('canvas').focus();
  return Promise.resolve(at);
}

// ---- when the game has ended: its figures, and "Share this game"

const recorded = () => {
  try { return new TextDecoder().decode(FS().readFile('/game/starlane.rec')); } catch (e) { return null; }
};

// The recording's figures: those of the whole game, or when it was cut those of the frames kept.
function figuresOf(text) {
  const cut = /^# figures at the cut: (\{.*\})$/m.exec(text);
  const whole = /^# figures: (\{.*\})$/m.exec(text);
  const found = cut || whole;
  return found ? JSON.parse(found[1]) : null;
}

function showFigures(figures) {
  const panel = document.getElementById('end');
  const pre = el('pre', Object.entries(figures).map(([k, v]) => `${k.replace(/_/g, ' ')}: ${v}`).join('\n'),
                 { id: 'figures' });
  panel.insertBefore(pre, document.getElementById('again'));
}

function shareBox() {
  const box = el('div', undefined, { id: 'share-box' });
  const button = el('button', 'Share this game', { id: 'share-game' });
  const said = el('p', '');
  button.addEventListener('click', () => {
    window.starlane.shareLink().then(url => {
      said.textContent = `The link to this game (${url.length} characters):`;
      const field = el('input', undefined, { readOnly: true, value: url });
      said.appendChild(field);
      field.select();
      if (navigator.clipboard) navigator.clipboard.writeText(url).catch(() => {});
    }, e => { said.textContent = e.message; });
  });
  box.append(button, said);
  return box;
}

const pageEnded = Module.onExit;
Module.onExit = function(code) {
  ended = true;
  watching = false;
  if (pageEnded) pageEnded.apply(this, arguments);
  const refused = errors.find(l => / cannot play the recording: /.test(l));
  if (linked && linked.recording !== null && code === 2 && refused) {
    document.getElementById('end').hidden = true;
    refuse(refused.replace(/^.* cannot play the recording: /, 'its recording is refused: '));
    return;
  }
  const text = recorded();
  figuresNow = text && figuresOf(text);
  if (figuresNow) {
    if (linked && linked.recording !== null && document.body.dataset.link === 'game') {
      say(`The recording has played to its end, frame ${figuresNow.frames}: its figures are below.`,
          ...(hasMod(linked) ? [studioLink()] : []));
      showFigures(figuresNow);
    }
    const panel = document.getElementById('end');
    panel.insertBefore(shareBox(), document.getElementById('again'));
    for (const resolve of figuresWaiting.splice(0)) resolve(figuresNow);
  }
};

const pagePrintErr = Module.printErr;
Module.printErr = function(text) {
  errors.push(String(text));
  if (pagePrintErr) pagePrintErr.apply(this, arguments);
  else console.warn(text);
};

// ---- for scripts

window.starlane = {
  // The link to the game that has ended: its recording, and the mod it was played with.
  shareLink: async () => {
    const text = ended ? recorded() : null;
    if (!text) throw new Error('No game has ended yet: there is nothing to share.');
    const what = { files: linked ? linked.files : [], removed: linked ? linked.removed : [], recording: text };
    const url = location.origin + location.pathname + '#' + makeLink(what, await shipped());
    if (url.length > LINK_MOST)
      throw new Error(`The link would be ${url.length} characters, more than the ${LINK_MOST} a link may have: ` +
                      'download the recording of this game instead.');
    return url;
  },
  // The figures of the game that last ended, played or watched, as the replay tool's --stats
  // prints them (without its timings and allocation count).
  figures: () => (figuresNow ? Promise.resolve(figuresNow) : new Promise(r => figuresWaiting.push(r))),
  takeOver,
};
