// The page around the game: the picture fitted under the bar with the touch controls
// (controls.js), full screen, the game's log, and what the page says when the game has ended.
// The game starts as soon as its script, wasm and content have loaded.
'use strict';

var byId = function(id) { return document.getElementById(id); };
// The canvas by its id: the backend puts a fresh one in its place if WebGL's context is lost.
var canvas = function() { return byId('canvas'); };
var controls = starlaneControls({
  screen: byId('screen'),
  legend: { keyboard: byId('keys-keyboard'), touch: byId('keys-touch'), pad: byId('keys-pad') },
});

function readLog() {
  try {
    return new TextDecoder().decode(Module.FS.readFile('/game/Error.txt'));
  } catch (e) {
    return '';   // no log yet: the game has had nothing to say
  }
}

// Full screen, held sideways where the browser lets a page lock the screen's orientation.
byId('fullscreen').addEventListener('click', function() {
  var game = byId('game');
  if (document.fullscreenElement) document.exitFullscreen();
  else if (game.requestFullscreen) {
    game.requestFullscreen().then(function() {
      if (screen.orientation && screen.orientation.lock)
        return screen.orientation.lock('landscape');
    }).catch(function() { /* full screen, or its orientation, refused: play as it is */ });
  }
  canvas().focus();
});

document.getElementById('show-log').addEventListener('click', function(e) {
  e.preventDefault();
  var text = readLog();
  document.getElementById('log-text').textContent = text || '(empty: the game has logged nothing)';
  document.getElementById('log').hidden = false;
});
document.getElementById('log-close').addEventListener('click', function() {
  document.getElementById('log').hidden = true;
  canvas().focus();
});
document.getElementById('again').addEventListener('click', function() {
  location.reload();
});

// The game records itself (STARLANE_RECORD); when it has ended the recording is offered
// for download, to be replayed with the web replay tool or sent with a problem report.
function offerRecording() {
  var data;
  try {
    data = Module.FS.readFile('/game/starlane.rec');
  } catch (e) {
    return;   // the game did not get as far as writing it
  }
  var link = document.getElementById('recording');
  link.href = URL.createObjectURL(new Blob([data], { type: 'text/plain' }));
  link.hidden = false;
}

function ended(text) {
  controls.ended();
  offerRecording();
  var log = readLog();
  document.getElementById('end-text').textContent = text;
  var pre = document.getElementById('end-log');
  pre.textContent = log;
  pre.hidden = log === '';
  document.getElementById('end').hidden = false;
  document.body.dataset.state = 'ended';
}

// The content, read into the game's file system under /game before the game starts:
// starlane.data holds the files one after the other, starlane-files.json (data, written by the
// build or the studio) the place of each.
function loadContent() {
  var FS = Module.FS;
  Module.addRunDependency('content');
  var get = function(name, how) {
    return fetch(name).then(function(r) {
      if (!r.ok) throw new Error(name + ': ' + r.status + ' ' + r.statusText);
      return r[how]();
    });
  };
  Promise.all([get('starlane-files.json', 'json'), get('starlane.data', 'arrayBuffer')])
    .then(function(got) {
      var data = new Uint8Array(got[1]);
      got[0].files.forEach(function(f) {
        var name = String(f.filename);
        if (name.indexOf('/game/') !== 0 || name.split('/').indexOf('..') >= 0 ||
            !(f.start >= 0 && f.start <= f.end && f.end <= data.length))
          throw new Error('starlane-files.json: ' + JSON.stringify(name) + ' is not a place in the content');
        FS.mkdirTree(name.slice(0, name.lastIndexOf('/')));
        FS.writeFile(name, data.subarray(f.start, f.end));
      });
      FS.mkdirTree('/game');
      FS.chdir('/game');   // the game's working directory, where its log goes too
      Module.ENV.STARLANE_RECORD = 'starlane.rec';
      Module.removeRunDependency('content');
    })
    .catch(function(e) { ended('The game could not load its content: ' + e.message); });
}

var Module = {
  canvas: canvas(),
  arguments: [],
  preRun: [loadContent],
  onRuntimeInitialized: function() {
    document.body.dataset.state = 'running';
    controls.started();
    canvas().focus();
  },
  padsChanged: controls.padsChanged,
  onExit: function(code) {
    document.body.dataset.exitCode = code;
    ended(code === 0 ? 'The game has ended.'
                     : 'The game could not start (exit code ' + code + '). Its log says why:');
  },
  onAbort: function(what) {
    ended('The game stopped: ' + what);
  },
};

// Installable, and played without the network from the second visit on: the service worker
// (sw.js) caches the site, the folder this page is in being its scope. Browsers run one only
// over HTTPS or on localhost; elsewhere the page plays as before. A new sw.js is looked for
// on the host itself, never in the browser's HTTP cache.
if ('serviceWorker' in navigator && window.isSecureContext) {
  navigator.serviceWorker.register('sw.js', { scope: './', updateViaCache: 'none' }).catch(function(e) {
    console.warn('Starlane: no offline play: ' + e);
  });
}
