// The game module started by the studio, a fresh instance in this frame each time: the
// studio's folder is written into the game's file system and becomes its working directory.
// When the game ends (Escape, or a failed start-up) the studio is told, with the log. The
// picture's fit and the touch controls are the game page's (controls.js).
'use strict';
var controls = starlaneControls({ screen: document.getElementById('screen') });

function tellStudio(code) {
  controls.ended();
  var log = '';
  try { log = new TextDecoder().decode(Module.FS.readFile('/studio/Error.txt')); } catch (e) { /* none */ }
  if (parent !== window && parent.studioPlayEnded) parent.studioPlayEnded(code, log);
}

var Module = {
  canvas: document.getElementById('canvas'),
  arguments: [],
  preRun: [function() {
    var FS = Module.FS;
    FS.mkdir('/studio');
    var files = parent.studioFolder();
    files.forEach(function(bytes, path) {
      var dir = '/studio';
      var parts = path.split('/');
      for (var i = 0; i + 1 < parts.length; i++) {
        dir += '/' + parts[i];
        try { FS.mkdir(dir); } catch (e) { /* made already */ }
      }
      FS.writeFile('/studio/' + path, bytes);
    });
    FS.chdir('/studio');
  }],
  onRuntimeInitialized: function() {
    controls.started();
    Module.canvas.focus();
  },
  onExit: function(code) { tellStudio(code); },
  onAbort: function() { tellStudio(-1); },
};
