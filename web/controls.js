// The game's picture fitted to its page, and the controls of a touch screen, for the game's
// page (index.html) and the studio's Play (play.html). The controls press the game's own keys
// through the backend (Module.pressKey, web/backend_web.js), the path the keyboard's keys take,
// so a game played by touch records and replays like any other:
//   a stick: a touch that starts in the left half puts its centre there; sliding past the dead
//     zone presses W A S D, eight ways, and sliding round changes keys as a d-pad does;
//   fire: a touch that starts in the right half holds Space while it is down;
//   Quit, in a corner, which asks once and then presses Escape.
// They show on a touch screen only, beside the 4:3 picture where there is room (the bars of a
// phone held sideways, the space below it held upright), else over it, translucent.
'use strict';

function starlaneControls(options) {
  var screenBox = options.screen;          // the box the picture is fitted into
  var legend = options.legend || {};       // { keyboard, touch, pad }: the page's lines, if any
  var canvas = function() { return document.getElementById('canvas'); };
  // The game's picture, as the page's canvas declares it (WebGL sizes the canvas to the screen).
  var picture = { width: canvas().width, height: canvas().height };
  var touch = false, running = false;

  var style = document.createElement('style');
  style.textContent =
    // No scrolling, zoom, selection, long-press menu or pull-to-refresh over the game.
    'html, body { touch-action: none; overscroll-behavior: none; user-select: none;' +
    ' -webkit-user-select: none; -webkit-touch-callout: none; -webkit-tap-highlight-color: transparent; }' +
    '.touch-controls { position: absolute; inset: 0; pointer-events: none; font: bold 16px sans-serif; }' +
    '.touch-controls .stick, .touch-controls .fire { position: absolute; box-sizing: border-box;' +
    ' border-radius: 50%; border: 2px solid rgba(150, 190, 255, 0.6); background: rgba(60, 90, 160, 0.2); }' +
    '.touch-controls .knob { position: absolute; left: 25%; top: 25%; width: 50%; height: 50%;' +
    ' border-radius: 50%; background: rgba(150, 190, 255, 0.55); }' +
    '.touch-controls .fire { display: flex; align-items: center; justify-content: center; color: #cde; }' +
    '.touch-controls .held { background: rgba(150, 190, 255, 0.35); }' +
    '.touch-controls.over .stick, .touch-controls.over .fire { opacity: 0.4; }' +
    '.touch-controls button { pointer-events: auto; touch-action: manipulation; font: inherit;' +
    ' color: #cde; background: rgba(0, 0, 24, 0.7); border: 1px solid #567; border-radius: 6px; }' +
    '.touch-controls .quit { position: absolute; padding: 6px 12px; }' +
    '.touch-controls .ask { position: absolute; left: 50%; top: 50%; transform: translate(-50%, -50%);' +
    ' pointer-events: auto; padding: 12px 16px; background: rgba(0, 0, 16, 0.92);' +
    ' border: 1px solid #567; color: #fff; white-space: nowrap; }' +
    '.touch-controls .ask button { padding: 8px 20px; margin-left: 12px; }';
  document.head.appendChild(style);

  var box = document.createElement('div');
  box.className = 'touch-controls';
  box.hidden = true;
  box.innerHTML = '<div class="stick"><div class="knob"></div></div><div class="fire">Fire</div>' +
    '<button class="quit" aria-label="Quit">Quit</button>' +
    '<div class="ask" role="dialog" hidden>Quit? <button class="yes">Yes</button>' +
    ' / <button class="no">No</button></div>';
  screenBox.appendChild(box);
  var stickEl = box.querySelector('.stick'), knob = box.querySelector('.knob');
  var fireEl = box.querySelector('.fire'), quit = box.querySelector('.quit');
  var ask = box.querySelector('.ask');

  // Where the controls rest, and their size, set by fit().
  var rest = { stickX: 0, stickY: 0, fireX: 0, fireY: 0, radius: 48 };

  function place(el, x, y, r) {
    el.style.left = (x - r) + 'px';
    el.style.top = (y - r) + 'px';
    el.style.width = el.style.height = 2 * r + 'px';
  }

  // The largest 4:3 picture that fits; on a touch screen held upright it goes to the top, so
  // that the thumbs have the room below it.
  function fit() {
    var c = canvas(), W = screenBox.clientWidth, H = screenBox.clientHeight;
    var scale = Math.min(W / picture.width, H / picture.height);
    var w = Math.floor(picture.width * scale), h = Math.floor(picture.height * scale);
    c.style.width = w + 'px';
    c.style.height = h + 'px';
    var below = touch && H - h > W - w;
    c.style.alignSelf = below ? 'flex-start' : '';
    var roomW = below ? W / 2 : (W - w) / 2, roomH = below ? H - h : H;
    var r = Math.min(72, Math.min(roomW, roomH) / 2 - 8);
    var over = r < 32;
    if (over) {
      r = Math.min(64, Math.min(W, H) * 0.16);
      rest = { stickX: W * 0.15, stickY: H * 0.7, fireX: W * 0.85, fireY: H * 0.7, radius: r };
    } else if (below) {
      rest = { stickX: W / 4, stickY: h + roomH * 0.6, fireX: W * 3 / 4, fireY: h + roomH * 0.6, radius: r };
    } else {
      rest = { stickX: roomW / 2, stickY: H * 0.62, fireX: W - roomW / 2, fireY: H * 0.62, radius: r };
    }
    box.classList.toggle('over', over);
    quit.style.right = '8px';
    quit.style.top = (below && !over ? h + 8 : 8) + 'px';
    place(fireEl, rest.fireX, rest.fireY, r);
    if (!stick) drawStick();
  }

  function press(code, down) {
    if (window.Module && Module.pressKey) Module.pressKey(code, down);
  }

  // The stick: the touch that owns it, its centre, and the keys it holds (bits of STICK_KEYS).
  var STICK_KEYS = ['KeyW', 'KeyA', 'KeyS', 'KeyD'];
  var SIN_22_5 = 0.3827;   // eight equal ways: a key for every 45 degrees either side of its axis
  var stick = null, stickKeys = 0, fireTouches = [];

  function holdStick(keys) {
    for (var k = 0; k < 4; k++)
      if ((keys ^ stickKeys) & (1 << k)) press(STICK_KEYS[k], (keys >> k) & 1);
    stickKeys = keys;
  }

  function drawStick() {
    var at = screenBox.getBoundingClientRect(), r = rest.radius;
    place(stickEl, stick ? stick.x - at.left : rest.stickX, stick ? stick.y - at.top : rest.stickY, r);
    knob.style.transform = stick ? 'translate(' + stick.dx + 'px,' + stick.dy + 'px)' : '';
    stickEl.classList.toggle('held', stickKeys !== 0);
  }

  function steer(t) {
    var r = rest.radius, dx = t.clientX - stick.x, dy = t.clientY - stick.y;
    var d = Math.sqrt(dx * dx + dy * dy);
    if (d > r) {   // the centre follows a thumb that slid past the rim, so turning back is quick
      stick.x = t.clientX - dx / d * r;
      stick.y = t.clientY - dy / d * r;
      dx = dx / d * r;
      dy = dy / d * r;
      d = r;
    }
    var keys = 0;
    if (d >= Math.max(8, r / 4)) {
      if (dy / d < -SIN_22_5) keys |= 1;
      if (dx / d < -SIN_22_5) keys |= 2;
      if (dy / d > SIN_22_5) keys |= 4;
      if (dx / d > SIN_22_5) keys |= 8;
    }
    stick.dx = dx * 0.5;
    stick.dy = dy * 0.5;
    holdStick(keys);
    drawStick();
  }

  function holdFire(id, down) {
    var at = fireTouches.indexOf(id);
    if (down === at >= 0) return;
    if (down) fireTouches.push(id);
    else fireTouches.splice(at, 1);
    if (fireTouches.length === (down ? 1 : 0)) press('Space', down);
    fireEl.classList.toggle('held', fireTouches.length > 0);
  }

  // Everything the controls hold let go: a cancelled touch, the page hidden or out of focus.
  function letGo() {
    holdStick(0);
    stick = null;
    fireTouches.slice().forEach(function(id) { holdFire(id, false); });
    drawStick();
  }

  function showTouch() {
    if (touch) return;
    touch = true;
    if (legend.keyboard) legend.keyboard.hidden = true;
    if (legend.touch) legend.touch.hidden = false;
    box.hidden = !running;
    fit();
  }

  // Buttons, links and the page's panels keep their own taps.
  var theirs = function(target) {
    return target.closest && target.closest('button, a, input, .panel');
  };

  window.addEventListener('touchstart', function(e) {
    showTouch();
    if (!running || theirs(e.target)) return;
    e.preventDefault();
    for (var i = 0; i < e.changedTouches.length; i++) {
      var t = e.changedTouches[i];
      if (t.clientX >= window.innerWidth / 2) holdFire(t.identifier, true);
      else if (!stick) {
        stick = { id: t.identifier, x: t.clientX, y: t.clientY, dx: 0, dy: 0 };
        drawStick();
      }
    }
  }, { passive: false });
  window.addEventListener('touchmove', function(e) {
    if (!running || theirs(e.target)) return;
    e.preventDefault();
    for (var i = 0; i < e.changedTouches.length; i++)
      if (stick && e.changedTouches[i].identifier === stick.id) steer(e.changedTouches[i]);
  }, { passive: false });
  window.addEventListener('touchend', function(e) {
    for (var i = 0; i < e.changedTouches.length; i++) {
      var id = e.changedTouches[i].identifier;
      if (stick && id === stick.id) {
        holdStick(0);
        stick = null;
        drawStick();
      }
      holdFire(id, false);
    }
  });
  window.addEventListener('touchcancel', letGo);
  window.addEventListener('pointerdown', function(e) {
    if (e.pointerType === 'touch') showTouch();
  });
  window.addEventListener('contextmenu', function(e) {
    if (running && touch) e.preventDefault();
  });
  window.addEventListener('blur', letGo);
  // The box changes with the window, full screen, and the page's legend growing a line.
  if (typeof ResizeObserver !== 'undefined') new ResizeObserver(function() { fit(); }).observe(screenBox);
  else window.addEventListener('resize', fit);

  quit.addEventListener('click', function() { ask.hidden = false; });
  ask.querySelector('.no').addEventListener('click', function() { ask.hidden = true; });
  ask.querySelector('.yes').addEventListener('click', function() {
    ask.hidden = true;
    press('Escape', true);   // the backend holds a tap until the game has seen it
    press('Escape', false);
  });

  // The screen kept awake while the game runs; the browser lets go of the lock when the page
  // is hidden, so it is asked for again when the page shows.
  var wakeLock = null;
  function keepAwake() {
    if (!running || document.hidden || wakeLock || !navigator.wakeLock) return;
    wakeLock = navigator.wakeLock.request('screen').then(function(lock) {
      wakeLock = lock;
      lock.addEventListener('release', function() { if (wakeLock === lock) wakeLock = null; });
      if (!running) lock.release();
    }, function() { wakeLock = null; });
  }
  function letSleep() {
    if (wakeLock && wakeLock.release) wakeLock.release();
    wakeLock = null;
  }
  document.addEventListener('visibilitychange', function() {
    if (document.hidden) {
      letGo();
      letSleep();
    } else {
      keepAwake();
    }
  });

  if (window.matchMedia && matchMedia('(pointer: coarse)').matches) showTouch();
  fit();

  return {
    fit: fit,
    started: function() {
      running = true;
      box.hidden = !touch;
      keepAwake();
    },
    ended: function() {
      letGo();
      running = false;
      box.hidden = true;
      letSleep();
    },
    // The backend counts the gamepads it reads (Module.padsChanged).
    padsChanged: function(count) {
      if (legend.pad) legend.pad.hidden = count === 0;
    },
  };
}
