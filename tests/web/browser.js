// The web build played in the system's Chromium, headless, as one scenario: the page opens and
// the game starts by itself; fire with the ship swept right, then left; every pixel shown is
// one of the palette's colours at the page's (not whole-number) scale; the stars move; the ship
// moves and stops when the page loses focus; the page keeps Space, Escape and the arrows; the
// log is empty, the console clean; Escape ends the game and the page says so, offering the
// game's recording, which the web replay tool plays again exactly. Then the web app offline,
// updated on a caching host, and two builds on one origin (offline.js).
//
//   node tests/web/browser.js SITE_DIR PALETTE_PAL OUT_DIR
// Prints the measured figures as one JSON line; screenshots go to OUT_DIR.
'use strict';
const fs = require('fs');
const path = require('path');
const { check, sleep, launch, finish } = require('./harness.js');
const { serve } = require('../../web/serve.js');
const { offlineScenario, twoBuildsScenario } = require('./offline.js');

const [site, palettePath, outDir] = process.argv.slice(2);

// What the canvas holds, read in the page: the ship is whatever is neither black nor a star
// in the bottom rows (the first wave has not come yet), the stars are entries 172 and 255.
function readCanvas(palette) {
  const c = document.getElementById('canvas');
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  const rgb = i => (d[i] << 16) | (d[i + 1] << 8) | d[i + 2];
  const far = (palette[172 * 4] << 16) | (palette[172 * 4 + 1] << 8) | palette[172 * 4 + 2];
  const near = (palette[255 * 4] << 16) | (palette[255 * 4 + 1] << 8) | palette[255 * 4 + 2];
  const stars = [];
  let shipX = 0, shipPixels = 0;
  for (let y = 0; y < c.height; y++)
    for (let x = 0; x < c.width; x++) {
      const v = rgb((y * c.width + x) * 4);
      if (v === far || v === near) stars.push(y * c.width + x);
      else if (v !== 0 && y >= c.height - 150) { shipX += x; shipPixels++; }
    }
  return { stars: stars.join(','), shipX: shipPixels ? shipX / shipPixels : -1, shipPixels };
}

// Every pixel of a PNG (a screenshot of the picture on the page) checked against the palette,
// decoded by the browser itself in a blank page.
async function offPalettePixels(browser, png, palette) {
  const page = await browser.newPage();
  const result = await page.evaluate(async (b64, palette) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + b64;
    await img.decode();
    const c = document.createElement('canvas');
    c.width = img.width; c.height = img.height;
    const g = c.getContext('2d');
    g.drawImage(img, 0, 0);
    const d = g.getImageData(0, 0, c.width, c.height).data;
    const colours = new Set();
    for (let i = 0; i < 256; i++)
      colours.add((palette[i * 4] << 16) | (palette[i * 4 + 1] << 8) | palette[i * 4 + 2]);
    let off = 0;
    for (let i = 0; i < d.length; i += 4)
      if (!colours.has((d[i] << 16) | (d[i + 1] << 8) | d[i + 2])) off++;
    return { off, total: d.length / 4, width: c.width, height: c.height };
  }, png.toString('base64'), palette);
  await page.close();
  return result;
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const palette = Array.from(fs.readFileSync(palettePath));
  let server;
  const port = await new Promise(resolve => { server = serve(site, 0, (s, p) => resolve(p)); });
  const browser = await launch(1280, 900);
  const figures = {};
  try {
    const page = await browser.newPage();
    const consoleErrors = [];
    page.on('console', m => { if (m.type() === 'error') consoleErrors.push(m.text()); });
    page.on('pageerror', e => consoleErrors.push(String(e)));
    page.on('requestfailed', r => consoleErrors.push('request failed: ' + r.url()));
    const hosts = new Set();
    // (blob: URLs are made in the page, like the recording's download link)
    page.on('request', r => { if (!r.url().startsWith('blob:')) hosts.add(new URL(r.url()).host); });

    const t0 = Date.now();
    // Now and then (about one start in ten here) headless Chromium never runs the page's first
    // frame; that start is said and the page loaded once more, so the rest is still tested.
    const firstFrame = timeout => page.waitForFunction(
      () => window.Module && Module.calledRun && Module._webPresentCount() > 0, { timeout });
    await page.goto(`http://127.0.0.1:${port}/`, { waitUntil: 'load' });
    await firstFrame(30000).catch(async () => {
      console.log('note: no first frame in 30 s (the page says: ' +
                  JSON.stringify(await page.evaluate(() => document.body.innerText.slice(0, 200))) +
                  '); loading the page again');
      await page.reload({ waitUntil: 'load' });
      await firstFrame(60000);
    });
    figures.first_frame_ms = Date.now() - t0;
    check(true, 'the game shows its first frame without a click');

    // Which keys the page lets through: a listener added after the game's runs after it.
    await page.evaluate(() => {
      window.keptKeys = {};
      window.addEventListener('keydown', e => { window.keptKeys[e.code] = e.defaultPrevented; });
    });

    const start = await page.evaluate(readCanvas, palette);
    await page.keyboard.down('Space');
    await page.keyboard.down('KeyD');
    await sleep(1000);
    const right = await page.evaluate(readCanvas, palette);
    fs.writeFileSync(path.join(outDir, 'right.png'), await page.screenshot());
    await page.keyboard.up('KeyD');
    await page.keyboard.down('KeyA');
    await sleep(1000);
    const left = await page.evaluate(readCanvas, palette);
    const shot = await (await page.$('#canvas')).screenshot();
    fs.writeFileSync(path.join(outDir, 'left.png'), shot);
    await page.keyboard.up('KeyA');

    check(start.shipPixels > 0 && right.shipX > start.shipX + 40,
          `Space+D: the ship went right (x ${start.shipX.toFixed(0)} -> ${right.shipX.toFixed(0)})`);
    check(left.shipX < right.shipX - 40,
          `Space+A: the ship went left (x ${right.shipX.toFixed(0)} -> ${left.shipX.toFixed(0)})`);
    check(start.stars !== right.stars && right.stars !== left.stars, 'the starfield moves');

    const pixels = await offPalettePixels(browser, shot, palette);
    check(pixels.off === 0 && pixels.width > 800,
          `every pixel of the ${pixels.width}x${pixels.height} picture is a palette colour (${pixels.off} are not)`);

    // Focus lost with D held: the key is let go, the ship stays where it is.
    await page.keyboard.down('KeyD');
    await sleep(300);
    await page.evaluate(() => window.dispatchEvent(new Event('blur')));
    await sleep(100);
    const blurred = await page.evaluate(readCanvas, palette);
    await sleep(500);
    const later = await page.evaluate(readCanvas, palette);
    await page.keyboard.up('KeyD');
    check(Math.abs(later.shipX - blurred.shipX) < 2, 'keys held when the page loses focus are released');

    for (const key of ['ArrowDown', 'ArrowUp', 'PageDown']) await page.keyboard.press(key);
    const kept = await page.evaluate(() => ({ keys: window.keptKeys, scrollY: window.scrollY }));
    check(['Space', 'ArrowDown', 'ArrowUp', 'PageDown'].every(k => kept.keys[k] === true) && kept.scrollY === 0,
          'Space and the arrow keys stay with the game: ' + JSON.stringify(kept.keys));
    check(kept.keys.KeyD === false, 'other keys keep their page defaults');

    const log = await page.evaluate(() => readLog());
    check(log === '', 'Error.txt is empty' + (log ? ': ' + log : ''));

    figures.present_ms_mean = await page.evaluate(() => Module._webPresentMsMean());
    figures.present_ms_max = await page.evaluate(() => Module._webPresentMsMax());
    figures.presents = await page.evaluate(() => Module._webPresentCount());

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

    await offlineScenario(browser, site, offPalettePixels, palette);
    await twoBuildsScenario(browser, site);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(JSON.stringify(figures));
  finish();
}

main().catch(e => { console.error(e); process.exit(1); });
