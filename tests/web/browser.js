// The web build played in the system's Chromium, headless, as one scenario: the page opens and
// the game starts by itself; fire with the ship swept right, then left; every pixel shown is
// one of the palette's colours at the page's (not whole-number) scale, drawn by WebGL; the
// stars move; the ship moves and stops when the page loses focus; the page keeps Space, Escape
// and the arrows; WebGL's context lost, the game plays on on the 2D canvas; the log is empty,
// the console clean; Escape ends the game and the page says so, offering the game's recording,
// which the web replay tool plays again exactly. Then as on a phone (phones()): by touch, held
// sideways and upright, and by a scripted gamepad, each game replayed by the native replay
// tool. Then the web app offline, updated on a caching host, and two builds on one origin
// (offline.js).
//
//   node tests/web/browser.js SITE_DIR PALETTE_PAL OUT_DIR [NATIVE_BUILD_DIR (default build/)]
// Prints the measured figures as one JSON line; screenshots go to OUT_DIR.
'use strict';
const fs = require('fs');
const path = require('path');
const { check, sleep, launch, finish } = require('./harness.js');
const { serve } = require('../../web/serve.js');
const { offlineScenario, twoBuildsScenario } = require('./offline.js');

const [site, palettePath, outDir, nativeBuild] = process.argv.slice(2);
const nativeReplay = path.join(nativeBuild || path.join(__dirname, '../../build'), 'starlane-replay');

// The picture as the page shows it (a screenshot of the canvas, decoded by the browser),, whichever way it was drawn: how many pixels are not palette colours, the stars
// (entries 172 and 255), and the ship, whatever is neither black nor a star in the bottom
// quarter (the first wave has not come yet), its x in the game's 800 pixels. Decoded in the
// game's own page: a page opened for it would take the focus, and the game let go of its keys.
async function readPicture(page, png, palette) {
  return page.evaluate(async (b64, palette) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + b64;
    await img.decode();
    const c = document.createElement('canvas');
    c.width = img.width; c.height = img.height;
    const g = c.getContext('2d');
    g.drawImage(img, 0, 0);
    const d = g.getImageData(0, 0, c.width, c.height).data;
    const rgb = i => (palette[i * 4] << 16) | (palette[i * 4 + 1] << 8) | palette[i * 4 + 2];
    const colours = new Set(palette.slice(0, 256).map((_, i) => rgb(i)));
    const far = rgb(172), near = rgb(255), stars = [];
    let off = 0, shipX = 0, shipPixels = 0;
    for (let i = 0; i < d.length; i += 4) {
      const v = (d[i] << 16) | (d[i + 1] << 8) | d[i + 2], x = (i / 4) % c.width, y = Math.floor(i / 4 / c.width);
      if (!colours.has(v)) off++;
      else if (v === far || v === near) stars.push(i / 4);
      else if (v !== 0 && y >= c.height * 0.75) { shipX += x; shipPixels++; }
    }
    return { off, total: d.length / 4, width: c.width, height: c.height, stars: stars.join(','),
             shipX: shipPixels ? shipX / shipPixels * 800 / c.width : -1, shipPixels };
  }, png.toString('base64'), palette);
}
const shot = async page => (await page.$('#canvas')).screenshot();
// The page's own present counter: [presents, mean ms], and the mean between two readings (the
// first frames, shaders compiled and textures made, left out).
const counter = page => page.evaluate(() => [Module._webPresentCount(), Module._webPresentMsMean()]);
const msPerPresent = (a, b) => (b[1] * b[0] - a[1] * a[0]) / Math.max(1, b[0] - a[0]);

// Now and then (about one start in ten here) headless Chromium never runs the page's first
// frame; that start is said and the page loaded once more, so the rest is still tested.
async function open(page, url) {
  const firstFrame = timeout => page.waitForFunction(
    () => window.Module && Module.calledRun && Module._webPresentCount() > 0, { timeout });
  await page.goto(url, { waitUntil: 'load' });
  await firstFrame(30000).catch(async () => {
    console.log('note: no first frame in 30 s (the page says: ' +
                JSON.stringify(await page.evaluate(() => document.body.innerText.slice(0, 200))) +
                '); loading the page again');
    await page.reload({ waitUntil: 'load' });
    await firstFrame(60000);
  });
}

// A recording made in the page, played by the native replay tool: exit 0 when the figures
// it gets are the ones the page recorded.
function replaysNatively(recording, what) {
  const dir = fs.mkdtempSync('/tmp/starlane-web-rec-');
  fs.writeFileSync(path.join(dir, 'game.rec'), recording);
  fs.cpSync(path.dirname(palettePath), path.join(dir, 'content'), { recursive: true });
  fs.rmSync(path.join(dir, 'content', 'Error.txt'), { force: true });
  const replayed = require('child_process').spawnSync(nativeReplay,
    ['--data', path.join(dir, 'content'), '--recording', path.join(dir, 'game.rec')], { encoding: 'utf8' });
  fs.rmSync(dir, { recursive: true, force: true });
  check(replayed.status === 0, `${what}: the native starlane-replay --recording plays it to the page's ` +
        `figures (exit ${replayed.status}) ${(replayed.stderr || '').trim()}`);
}

// The game played as on a phone, by touch, held sideways (the 2D canvas, WebGL turned off) and
// upright (WebGL), then by a scripted gamepad: the ship goes right and fires, nothing scrolls
// or zooms, Quit (or Back) ends the game, and its recording replays natively.
async function phones(browser, port, palette, figures) {
  const ways = [
    { name: 'touch, 844x390', width: 844, height: 390, touch: true, webgl: false },
    { name: 'touch, 390x844', width: 390, height: 844, touch: true, webgl: true, dpr: 2 },
    { name: 'gamepad, 844x390', width: 844, height: 390, pad: true, webgl: true },
  ];
  for (const way of ways) {
    const page = await browser.newPage();
    // (puppeteer's setViewport is Emulation.setDeviceMetricsOverride and setTouchEmulationEnabled)
    await page.setViewport({ width: way.width, height: way.height, isMobile: !!way.touch, hasTouch: !!way.touch,
                             deviceScaleFactor: way.dpr || 1 });
    const cdp = await page.target().createCDPSession();
    if (!way.webgl) await page.evaluateOnNewDocument(() => {
      const get = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function(type, o) { return type === 'webgl2' ? null : get.call(this, type, o); };
    });
    // One pad of the standard mapping, plugged in and pressed by the test (window.pad).
    if (way.pad) await page.evaluateOnNewDocument(() => {
      window.pad = { id: 'scripted', index: 0, connected: true, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
                     buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })), plugged: false };
      navigator.getGamepads = () => [window.pad.plugged ? window.pad : null];
    });
    const touch = (type, points) => cdp.send('Input.dispatchTouchEvent',
      { type, touchPoints: points.map(([x, y], id) => ({ x, y, id, radiusX: 4, radiusY: 4, force: 1 })) });
    const tap = async selector => {
      const b = await (await page.$(selector)).boundingBox();
      await touch('touchStart', [[b.x + b.width / 2, b.y + b.height / 2]]);
      await touch('touchEnd', []);
    };
    const button = (i, down) => page.evaluate((i, down) => { window.pad.buttons[i].pressed = down; }, i, down);
    await open(page, `http://127.0.0.1:${port}/`);
    await sleep(500);
    const start = await readPicture(page, await shot(page), palette);
    const counted = await counter(page);
    const W = way.width, H = way.height;
    if (way.touch) {
      // Thumbs where the controls rest: the bars beside the picture, or the room below it.
      const y = H > W ? H * 0.75 : H * 0.62;
      await touch('touchStart', [[W * 0.12, y], [W * 0.88, y]]);
      for (let dx = 10; dx <= 60; dx += 10) await touch('touchMove', [[W * 0.12 + dx, y], [W * 0.88, y]]);
    } else {
      await page.evaluate(() => { window.pad.plugged = true; });
      await button(15, true);
      await button(0, true);
    }
    await sleep(2000);
    const moved = await readPicture(page, await shot(page), palette);
    fs.writeFileSync(path.join(outDir, `${way.name.replace(/[^a-z0-9]+/g, '-')}.png`), await page.screenshot());
    const seen = await page.evaluate(() => {
      const c = canvas().getBoundingClientRect(), f = document.querySelector('.touch-controls .fire').getBoundingClientRect();
      return { scrollY: window.scrollY, scale: visualViewport.scale, drawn: canvas().dataset.present,
               // WebGL draws the screen's own pixels: as many as the canvas's box holds
               sharp: canvas().dataset.present === '2d' || canvas().width === Math.round(c.width * devicePixelRatio),
               beside: f.right <= c.left || f.left >= c.right || f.top >= c.bottom,
               legend: [...document.querySelectorAll('#bar > span')].filter(e => !e.hidden).map(e => e.id) };
    });
    check(moved.shipX > start.shipX + 40 && moved.off === 0 && seen.drawn === (way.webgl ? 'webgl' : '2d'),
          `${way.name}: the ship went right (x ${start.shipX.toFixed(0)} -> ${moved.shipX.toFixed(0)}); ` +
          `every pixel of the ${seen.drawn} picture is a palette colour (${moved.off} are not)`);
    check(seen.scrollY === 0 && seen.scale === 1 && (!way.touch || seen.beside) && seen.sharp &&
          seen.legend.includes(way.touch ? 'keys-touch' : 'keys-pad'),
          `${way.name}: no scroll, no zoom, the controls beside the picture, the legend says how: ` + JSON.stringify(seen));
    figures[`present_ms_${seen.drawn}_${W}x${H}`] = msPerPresent(counted, await counter(page));
    if (way.touch) {
      await touch('touchEnd', []);
      await tap('.touch-controls .quit');
      const asked = await page.evaluate(() => !document.querySelector('.touch-controls .ask').hidden &&
                                              document.body.dataset.state);
      await tap('.touch-controls .yes');
      check(asked === 'running', `${way.name}: Quit asks first, the game playing on`);
    } else {
      // Held by the keyboard and the pad at once, A stays held when the pad lets go of it.
      await button(15, false);
      await page.keyboard.down('KeyA');
      await button(14, true);
      await sleep(100);
      await button(14, false);
      const a = await readPicture(page, await shot(page), palette);
      await sleep(400);
      const b = await readPicture(page, await shot(page), palette);
      await page.keyboard.up('KeyA');
      await button(14, true);
      await page.evaluate(() => { window.pad.plugged = false; });   // unplugged with d-pad left held
      await sleep(200);
      const c = await readPicture(page, await shot(page), palette);
      await sleep(400);
      const d = await readPicture(page, await shot(page), palette);
      check(b.shipX < a.shipX - 10 && Math.abs(d.shipX - c.shipX) < 2, `${way.name}: the keyboard's A outlasts ` +
            `the pad's (x ${a.shipX.toFixed(0)} -> ${b.shipX.toFixed(0)}); unplugged, the pad lets go ` +
            `(x ${c.shipX.toFixed(0)} -> ${d.shipX.toFixed(0)})`);
      await page.evaluate(() => { window.pad.plugged = true; window.pad.buttons.forEach(b => { b.pressed = false; }); });
      await sleep(100);
      await button(8, true);   // Back
    }
    await page.waitForFunction(() => document.body.dataset.state === 'ended', { timeout: 10000 }).catch(() => {});
    const end = await page.evaluate(() => [document.body.dataset.exitCode,
      new TextDecoder().decode(Module.FS.readFile('/game/starlane.rec'))]).catch(e => [String(e), '']);
    check(end[0] === '0' && /^\d+ \d+ .*\bd\b/m.test(end[1]) && /^\d+ \d+ .*\bspace\b/m.test(end[1]),
          `${way.name}: the game ends (exit ${end[0]}); its recording holds the D and Space ranges`);
    if (end[1]) replaysNatively(end[1], way.name);
    await page.close();
  }
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const palette = Array.from(fs.readFileSync(palettePath));
  let server;
  const port = await new Promise(resolve => { server = serve(site, 0, (s, p) => resolve(p)); });
  // Headless Chromium has no GPU: WebGL is Chromium's own software one, asked for by name.
  const browser = await launch(1280, 900, ['--enable-unsafe-swiftshader']);
  const figures = {};
  try {
    const page = await browser.newPage();
    const consoleErrors = [];
    page.on('console', m => { if (m.type() === 'error') consoleErrors.push(m.text()); });
    page.on('pageerror', e => consoleErrors.push(String(e)));
    page.on('requestfailed', r => consoleErrors.push('request failed: ' + r.url()));
    const hosts = new Set();
    // (blob: and data: URLs are made in the page, like the recording's download link)
    page.on('request', r => { if (!/^(blob|data):/.test(r.url())) hosts.add(new URL(r.url()).host); });

    const t0 = Date.now();
    await open(page, `http://127.0.0.1:${port}/`);
    figures.first_frame_ms = Date.now() - t0;
    check(true, 'the game shows its first frame without a click');

    // Which keys the page lets through: a listener added after the game's runs after it.
    await page.evaluate(() => {
      window.keptKeys = {};
      window.addEventListener('keydown', e => { window.keptKeys[e.code] = e.defaultPrevented; });
    });

    const start = await readPicture(page, await shot(page), palette);
    const counted = await counter(page);
    await page.keyboard.down('Space');
    await page.keyboard.down('KeyD');
    await sleep(1000);
    const right = await readPicture(page, await shot(page), palette);
    fs.writeFileSync(path.join(outDir, 'right.png'), await page.screenshot());
    await page.keyboard.up('KeyD');
    await page.keyboard.down('KeyA');
    await sleep(1000);
    const picture = await shot(page);
    const left = await readPicture(page, picture, palette);
    fs.writeFileSync(path.join(outDir, 'left.png'), picture);
    await page.keyboard.up('KeyA');

    check(start.shipPixels > 0 && right.shipX > start.shipX + 40,
          `Space+D: the ship went right (x ${start.shipX.toFixed(0)} -> ${right.shipX.toFixed(0)})`);
    check(left.shipX < right.shipX - 40,
          `Space+A: the ship went left (x ${right.shipX.toFixed(0)} -> ${left.shipX.toFixed(0)})`);
    check(start.stars !== right.stars && right.stars !== left.stars, 'the starfield moves');

    const drawn = await page.evaluate(() => canvas().dataset.present);
    check(left.off === 0 && left.width > 800 && drawn === 'webgl',
          `every pixel of the ${left.width}x${left.height} picture (${drawn}) is a palette colour (${left.off} are not)`);

    // Focus lost with D held: the key is let go, the ship stays where it is.
    await page.keyboard.down('KeyD');
    await sleep(300);
    await page.evaluate(() => window.dispatchEvent(new Event('blur')));
    await sleep(100);
    const blurred = await readPicture(page, await shot(page), palette);
    await sleep(500);
    const later = await readPicture(page, await shot(page), palette);
    await page.keyboard.up('KeyD');
    check(Math.abs(later.shipX - blurred.shipX) < 2, 'keys held when the page loses focus are released');

    for (const key of ['ArrowDown', 'ArrowUp', 'PageDown']) await page.keyboard.press(key);
    const kept = await page.evaluate(() => ({ keys: window.keptKeys, scrollY: window.scrollY }));
    check(['Space', 'ArrowDown', 'ArrowUp', 'PageDown'].every(k => kept.keys[k] === true) && kept.scrollY === 0,
          'Space and the arrow keys stay with the game: ' + JSON.stringify(kept.keys));
    check(kept.keys.KeyD === false, 'other keys keep their page defaults');

    figures.present_ms_webgl_1280x900 = msPerPresent(counted, await counter(page));
    figures.present_ms_max = await page.evaluate(() => Module._webPresentMsMax());

    // WebGL's context lost mid-game: the game plays on, on a 2D canvas in its place.
    const before = await page.evaluate(() => {
      canvas().getContext('webgl2').getExtension('WEBGL_lose_context').loseContext();
      return Module._webPresentCount();
    });
    await page.keyboard.down('KeyD');
    await sleep(500);
    await page.keyboard.up('KeyD');
    const lost = await readPicture(page, await shot(page), palette);
    const after = await page.evaluate(() => [canvas().dataset.present, Module._webPresentCount()]);
    check(after[0] === '2d' && after[1] > before + 10 && lost.off === 0 && lost.shipPixels > 0 &&
          lost.shipX > later.shipX + 20, `a lost WebGL context leaves the game playing on the 2D canvas ` +
          `(${after[1] - before} frames since, ship x ${later.shipX.toFixed(0)} -> ${lost.shipX.toFixed(0)}, ` +
          `${lost.off} pixels off the palette)`);

    const log = await page.evaluate(() => readLog());
    check(log === '', 'Error.txt is empty' + (log ? ': ' + log : ''));

    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.body.dataset.state === 'ended', { timeout: 10000 })
      .catch(() => {});
    const end = await page.evaluate(() => ({
      state: document.body.dataset.state, code: document.body.dataset.exitCode,
      text: document.getElementById('end-text').textContent,
      again: !document.getElementById('again').hidden && !document.getElementById('end').hidden,
      kept: window.keptKeys.Escape,
    }));
    fs.writeFileSync(path.join(outDir, 'ended.png'), await page.screenshot());
    check(end.state === 'ended' && end.code === '0' && /ended/.test(end.text) && end.again,
          `Escape ends the game and the page offers another: "${end.text}" (exit ${end.code})`);
    check(end.kept === true, 'Escape stays with the game');

    // The recording offered for download replays exactly with the web replay tool.
    const recording = await page.evaluate(async () => {
      const link = document.getElementById('recording');
      return link.hidden ? '' : (await fetch(link.href)).text();
    });
    const header = /^# Starlane recording: start tick \d+, (\d+) frames\n/.exec(recording);
    check(header && /^\d+ \d+ .*\bescape\b/m.test(recording) && /^# figures: /m.test(recording),
          'the page offers the recording of the game: ' + (header ? header[0].trim() : recording.slice(0, 60)));
    if (header) {
      const rec = path.join(outDir, 'game.rec');
      const content = fs.mkdtempSync('/tmp/starlane-web-rec-');
      fs.writeFileSync(rec, recording);
      fs.cpSync(path.dirname(palettePath), content, { recursive: true });
      fs.rmSync(path.join(content, 'Error.txt'), { force: true });
      const replayed = require('child_process').spawnSync('node',
        [path.join(site, 'cmake', 'starlane-replay.js'), '--data', content, '--recording', rec],
        { encoding: 'utf8' });
      fs.rmSync(content, { recursive: true, force: true });
      check(replayed.status === 0, 'the recording replays exactly with the web replay tool: ' +
            (replayed.stderr || '').trim());
    }
    check(consoleErrors.length === 0, 'no errors on the console' +
          (consoleErrors.length ? ': ' + consoleErrors.join(' | ') : ''));
    check([...hosts].every(h => h === `127.0.0.1:${port}`), 'everything comes from the one host: ' + [...hosts]);

    await phones(browser, port, palette, figures);
    await offlineScenario(browser, site, readPicture, palette);
    await twoBuildsScenario(browser, site);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(JSON.stringify(figures));
  finish();
}

main().catch(e => { console.error(e); process.exit(1); });
