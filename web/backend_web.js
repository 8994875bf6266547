// The browser backend's JavaScript half (an Emscripten library linked into the game): the
// canvas the picture goes to (WebGL 2, or 2D as the fallback), and the keys the game reads:
// the page's keyboard, the touch controls (web/controls.js) and the gamepads, turned into
// DirectInput key codes and pressed through the one path.
mergeInto(LibraryManager.library, {
  // KeyboardEvent.code names the key by its place on the keyboard, whatever the layout prints
  // on it: A/D/W/S stay where a QWERTY player expects them on AZERTY or Dvorak too. The table
  // of codes, $starlaneKeyCodes, is made by the build from platform/keys.def (web_keys.js).
  $starlaneWeb__deps: ['$starlaneKeyCodes'],
  $starlaneWeb: {
    canvas: null,
    context: null,   // the 2D canvas's, when WebGL is missing or lost
    gl: null,        // the WebGL 2 state: context, textures, sizes
    listening: false,
    // Keys whose browser default (scrolling, leaving full screen aside) would take the
    // player away from the game.
    keptFromPage: {
      Space: 1, Escape: 1, ArrowUp: 1, ArrowDown: 1, ArrowLeft: 1, ArrowRight: 1,
      PageUp: 1, PageDown: 1, Home: 1, End: 1, Backspace: 1, Tab: 1,
    },

    // Who holds each key, one bit a source: the keyboard, touch, the pads. The game sees a key
    // held while any source holds it, so letting go of D on the keyboard leaves the pad's D
    // held, as the Linux build adds its pads to the keyboard.
    KEYBOARD: 1, TOUCH: 2, PAD: 4,
    holders: null,
    press: function(source, dik, down) {
      var w = starlaneWeb, before = w.holders[dik];
      var after = down ? before | source : before & ~source;
      w.holders[dik] = after;
      if ((before === 0) !== (after === 0)) Module['_webSetKey'](dik, after ? 1 : 0);
    },
    releaseAll: function() {
      var w = starlaneWeb;
      if (w.holders) w.holders.fill(0);
      w.padKeys = 0;
      Module['_webReleaseKeys']();
    },
    onKey: function(e) {
      var dik = starlaneKeyCodes[e.code];
      if (dik === undefined) return;
      if (starlaneWeb.keptFromPage[e.code]) e.preventDefault();
      starlaneWeb.press(starlaneWeb.KEYBOARD, dik, e.type === 'keydown');
    },
    // Keys held when the page loses focus never see their keyup: let go of all of them.
    onFocusLost: function() {
      starlaneWeb.releaseAll();
    },
    onVisibility: function() {
      if (document.hidden) starlaneWeb.releaseAll();
    },

    // Gamepads with the browser's standard mapping, pressing what a pad presses in the Linux
    // build: the d-pad or the left stick past a quarter of its travel W A S D, the south face
    // button or the right shoulder Space, Back (Select) Escape; Start nothing.
    PAD_KEYS: ['KeyW', 'KeyA', 'KeyS', 'KeyD', 'Space', 'Escape'],
    PAD_BUTTONS: [[12, 0], [14, 1], [13, 2], [15, 3], [0, 4], [5, 4], [8, 5]],  // button, key
    STICK_DEAD_ZONE: 0.25,
    padKeys: 0,      // the keys the pads held at the last read, one bit a PAD_KEYS entry
    padCount: 0,
    readPads: function() {
      var w = starlaneWeb;
      var pads = navigator.getGamepads ? navigator.getGamepads() : [];
      var held = 0, count = 0;
      for (var i = 0; i < pads.length; i++) {
        var pad = pads[i];
        if (!pad || !pad.connected || pad.mapping !== 'standard') continue;
        count++;
        for (var b = 0; b < w.PAD_BUTTONS.length; b++) {
          var button = pad.buttons[w.PAD_BUTTONS[b][0]];
          if (button && button.pressed) held |= 1 << w.PAD_BUTTONS[b][1];
        }
        var x = pad.axes[0] || 0, y = pad.axes[1] || 0;
        if (y < -w.STICK_DEAD_ZONE) held |= 1;
        if (x < -w.STICK_DEAD_ZONE) held |= 2;
        if (y > w.STICK_DEAD_ZONE) held |= 4;
        if (x > w.STICK_DEAD_ZONE) held |= 8;
      }
      // A pad unplugged is no longer in the list: what it held is let go here.
      var changed = held ^ w.padKeys;
      w.padKeys = held;
      for (var k = 0; changed; k++, changed >>= 1)
        if (changed & 1) w.press(w.PAD, starlaneKeyCodes[w.PAD_KEYS[k]], held & (1 << k));
      if (count !== w.padCount) {
        w.padCount = count;
        if (Module['padsChanged']) Module['padsChanged'](count);
      }
    },

    // WebGL 2: the 8-bit picture as a one-channel texture, the palette as a 256 x 1 texture,
    // the colour looked up in the shader, the picture scaled with nearest filtering onto a
    // canvas of the screen's own pixels (the page keeps it at 4:3).
    VERTEX: '#version 300 es\n' +
      'out vec2 at;\n' +
      'void main() {\n' +
      '  vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);\n' +
      '  at = vec2(p.x + 1.0, 1.0 - p.y) * 0.5;\n' +
      '  gl_Position = vec4(p, 0.0, 1.0);\n' +
      '}\n',
    FRAGMENT: '#version 300 es\n' +
      'precision highp float;\n' +
      'uniform highp usampler2D picture;\n' +
      'uniform ivec2 size;\n' +
      'uniform highp sampler2D palette;\n' +
      'in vec2 at;\n' +
      'out vec4 colour;\n' +
      'void main() {\n' +
      '  ivec2 p = min(ivec2(at * vec2(size)), size - 1);\n' +
      '  uint index = texelFetch(picture, p, 0).r;\n' +
      '  colour = vec4(texelFetch(palette, ivec2(int(index), 0), 0).rgb, 1.0);\n' +
      '}\n',
    glOpen: function(canvas) {
      if (typeof WebGL2RenderingContext === 'undefined') return null;
      var gl = canvas.getContext('webgl2', { alpha: false, antialias: false, depth: false,
                                              stencil: false, preserveDrawingBuffer: false });
      if (!gl) return null;
      var w = starlaneWeb;
      var program = gl.createProgram();
      [[gl.VERTEX_SHADER, w.VERTEX], [gl.FRAGMENT_SHADER, w.FRAGMENT]].forEach(function(s) {
        var shader = gl.createShader(s[0]);
        gl.shaderSource(shader, s[1]);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      });
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return null;
      gl.useProgram(program);
      gl.uniform1i(gl.getUniformLocation(program, 'picture'), 0);
      gl.uniform1i(gl.getUniformLocation(program, 'palette'), 1);
      gl.bindVertexArray(gl.createVertexArray());
      var texture = function(unit) {
        var t = gl.createTexture();
        gl.activeTexture(gl.TEXTURE0 + unit);
        gl.bindTexture(gl.TEXTURE_2D, t);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
      };
      texture(1);
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, 256, 1, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
      texture(0);   // left bound to unit 0: the picture's texture, sized at the first frame
      gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
      // The canvas as many pixels as the screen gives its box, so a high-density screen gets
      // its own sharp pixels rather than a picture the browser scales up.
      var state = { gl: gl, width: 0, height: 0, pitch: 0, viewWidth: 0, viewHeight: 0,
                    palette: new Uint8Array(1024), sizer: null,
                    size: gl.getUniformLocation(program, 'size') };
      if (typeof ResizeObserver !== 'undefined') {
        state.sizer = new ResizeObserver(function(entries) {
          var box = entries[0].contentRect, dpr = window.devicePixelRatio || 1;
          canvas.width = Math.max(1, Math.round(box.width * dpr));
          canvas.height = Math.max(1, Math.round(box.height * dpr));
        });
        state.sizer.observe(canvas);
      }
      canvas.addEventListener('webglcontextlost', w.onContextLost);
      return state;
    },
    // A lost context (the GPU reset, the tab's context taken for another) must not end the
    // game: the rest of it is drawn on a fresh 2D canvas in the same place.
    onContextLost: function() {
      var w = starlaneWeb, old = w.canvas;
      old.removeEventListener('webglcontextlost', w.onContextLost);
      if (w.gl.sizer) w.gl.sizer.disconnect();
      w.gl = null;
      var fresh = old.cloneNode(false);   // id, tab order and the page's size, no context
      fresh.width = w.width;
      fresh.height = w.height;
      var focused = document.activeElement === old;
      old.replaceWith(fresh);
      if (focused) fresh.focus();
      Module['canvas'] = fresh;
      w.canvas = fresh;
      w.open2d();
    },
    open2d: function() {
      var w = starlaneWeb;
      w.context = w.canvas.getContext('2d', { alpha: false });
      if (!w.context) return 0;
      if (w.canvas.width !== w.width) w.canvas.width = w.width;
      if (w.canvas.height !== w.height) w.canvas.height = w.height;
      w.context.imageSmoothingEnabled = false;
      w.canvas.dataset.present = '2d';
      return 1;
    },
    width: 0,
    height: 0,
  },

  webCanvasOpen__deps: ['$starlaneWeb'],
  webCanvasOpen: function(width, height) {
    var w = starlaneWeb;
    w.width = width;
    w.height = height;
    if (!w.canvas) {
      w.canvas = Module['canvas'] || document.getElementById('canvas');
      if (!w.canvas) return 0;
      w.gl = w.glOpen(w.canvas);
      if (w.gl) w.canvas.dataset.present = 'webgl';
      else if (!w.open2d()) return 0;
    } else if (w.context) {
      w.open2d();
    }
    if (!w.holders) w.holders = new Uint8Array(256);
    // The touch controls' way in: a key by its KeyboardEvent.code, pressed or let go.
    Module['pressKey'] = function(code, down) {
      var dik = starlaneKeyCodes[code];
      if (dik !== undefined) w.press(w.TOUCH, dik, down);
    };
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

  webGlPresent__deps: ['$starlaneWeb'],
  webGlPresent: function(pixels, pitch, width, height, palette) {
    var state = starlaneWeb.gl;
    if (!state) return 0;
    var gl = state.gl;
    if (gl.isContextLost()) return 1;   // the fallback takes over at the loss's event
    // The palette goes up when it has changed (a fade, a flash), not every frame.
    var last = state.palette, same = true;
    for (var i = 0; i < 1024; i++)
      if (HEAPU8[palette + i] !== last[i]) { same = false; break; }
    if (!same) {
      last.set(HEAPU8.subarray(palette, palette + 1024));
      gl.activeTexture(gl.TEXTURE1);
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 256, 1, gl.RGBA, gl.UNSIGNED_BYTE, HEAPU8, palette);
      gl.activeTexture(gl.TEXTURE0);
    }
    // The texture is as wide as the rows are long, so the rows go up as one block; the
    // shader reads the picture's own width of it.
    if (state.width !== width || state.height !== height || state.pitch !== pitch) {
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.R8UI, pitch, height, 0, gl.RED_INTEGER,
                    gl.UNSIGNED_BYTE, HEAPU8, pixels);
      gl.uniform2i(state.size, width, height);
      state.width = width;
      state.height = height;
      state.pitch = pitch;
    } else {
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, pitch, height, gl.RED_INTEGER, gl.UNSIGNED_BYTE,
                       HEAPU8, pixels);
    }
    if (state.viewWidth !== gl.drawingBufferWidth || state.viewHeight !== gl.drawingBufferHeight) {
      state.viewWidth = gl.drawingBufferWidth;
      state.viewHeight = gl.drawingBufferHeight;
      gl.viewport(0, 0, state.viewWidth, state.viewHeight);
    }
    gl.drawArrays(gl.TRIANGLES, 0, 3);
    return 1;
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

  webPadsRead__deps: ['$starlaneWeb'],
  webPadsRead: function() {
    if (starlaneWeb.holders) starlaneWeb.readPads();
  },

  webCursorShow__deps: ['$starlaneWeb'],
  webCursorShow: function(show) {
    if (starlaneWeb.canvas) starlaneWeb.canvas.style.cursor = show ? '' : 'none';
  },
});
