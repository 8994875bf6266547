// The browser backend's JavaScript half (an Emscripten library linked into the game): the
// canvas the picture goes to, and the page's keys turned into DirectInput key codes.
mergeInto(LibraryManager.library, {
  // KeyboardEvent.code names the key by its place on the keyboard, whatever the layout prints
  // on it: A/D/W/S stay where a QWERTY player expects them on AZERTY or Dvorak too. The table
  // of codes, $starlaneKeyCodes, is made by the build from platform/keys.def (web_keys.js).
  $starlaneWeb__deps: ['$starlaneKeyCodes'],
  $starlaneWeb: {
    canvas: null,
    context: null,
    listening: false,
    // Keys whose browser default (scrolling, leaving full screen aside) would take the
    // player away from the game.
    keptFromPage: {
      Space: 1, Escape: 1, ArrowUp: 1, ArrowDown: 1, ArrowLeft: 1, ArrowRight: 1,
      PageUp: 1, PageDown: 1, Home: 1, End: 1, Backspace: 1, Tab: 1,
    },
    onKey: function(e) {
      var dik = starlaneKeyCodes[e.code];
      if (dik === undefined) return;
      if (starlaneWeb.keptFromPage[e.code]) e.preventDefault();
      Module['_webSetKey'](dik, e.type === 'keydown' ? 1 : 0);
    },
    // Keys held when the page loses focus never see their keyup: let go of all of them.
    onFocusLost: function() {
      Module['_webReleaseKeys']();
    },
    onVisibility: function() {
      if (document.hidden) Module['_webReleaseKeys']();
    },
  },

  webCanvasOpen__deps: ['$starlaneWeb'],
  webCanvasOpen: function(width, height) {
    var w = starlaneWeb;
    if (!w.canvas) {
      w.canvas = Module['canvas'] || document.getElementById('canvas');
      if (!w.canvas) return 0;
      w.context = w.canvas.getContext('2d', { alpha: false });
      if (!w.context) return 0;
    }
    if (w.canvas.width !== width) w.canvas.width = width;
    if (w.canvas.height !== height) w.canvas.height = height;
    w.context.imageSmoothingEnabled = false;
    if (!w.listening) {
      window.addEventListener('keydown', w.onKey);
      window.addEventListener('keyup', w.onKey);
      window.addEventListener('blur', w.onFocusLost);
      document.addEventListener('visibilitychange', w.onVisibility);
      w.listening = true;
    }
    return 1;
  },

  webCanvasClose__deps: ['$starlaneWeb'],
  webCanvasClose: function() {
    var w = starlaneWeb;
    if (!w.listening) return;
    window.removeEventListener('keydown', w.onKey);
    window.removeEventListener('keyup', w.onKey);
    window.removeEventListener('blur', w.onFocusLost);
    document.removeEventListener('visibilitychange', w.onVisibility);
    w.listening = false;
  },

  webCanvasPut__deps: ['$starlaneWeb'],
  webCanvasPut: function(rgba, width, height) {
    var w = starlaneWeb;
    if (!w.context) return;
    // A picture over the wasm memory, made again only when the memory has grown (its
    // buffer changes) or the picture moved, so that a frame makes no garbage.
    var image = w.image;
    if (!image || w.imageBuffer !== HEAPU8.buffer || w.imageAt !== rgba ||
        image.width !== width || image.height !== height) {
      var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
      image = w.image = new ImageData(pixels, width, height);
      w.imageBuffer = HEAPU8.buffer;
      w.imageAt = rgba;
    }
    w.context.putImageData(image, 0, 0);
  },

  webCursorShow__deps: ['$starlaneWeb'],
  webCursorShow: function(show) {
    if (starlaneWeb.canvas) starlaneWeb.canvas.style.cursor = show ? '' : 'none';
  },
});
