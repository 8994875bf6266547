// The web app offline, on a copy of the site at an origin of its own: after the first load the
// service worker controls the page; with the network cut (offline mode, the server stopped) a
// reload still plays in the palette's colours; another version's worker replaces the cache.
'use strict';
const fs = require('fs');
const path = require('path');
const { serve, LIST } = require('../../web/serve.js');
const { check } = require('./harness.js');

const listen = (dir, port) => new Promise(resolve => { const s = serve(dir, port, (_, p) => resolve([s, p])); });
const stop = server => { server.closeAllConnections(); return new Promise(r => server.close(r)); };
const plays = page => page.waitForFunction(() => window.Module && Module._webPresentCount &&
  Module._webPresentCount() > 5, { timeout: 20000 }).then(() => true, () => false);

async function offlineScenario(browser, site, offPalettePixels, palette) {
  const dir = fs.mkdtempSync('/tmp/starlane-offline-');
  const files = fs.readFileSync(path.join(site, LIST), 'utf8').split('\n').filter(Boolean);
  for (const f of [LIST, ...files])
    fs.cpSync(path.join(site, f), path.join(dir, f));
  let [server, port] = await listen(dir, 0);
  const page = await browser.newPage();
  // On the 2D canvas: with the game drawing through headless Chromium's software WebGL, the
  // worker's update was seen never to finish (register() unanswered for minutes).
  await page.evaluateOnNewDocument(() => {
    const get = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function(type, o) { return type === 'webgl2' ? null : get.call(this, type, o); };
  });
  try {
    await page.goto(`http://127.0.0.1:${port}/`);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 20000 });
    const cache = await page.evaluate(async () => Promise.all((await caches.keys()).map(
      async k => [k, (await (await caches.open(k)).keys()).length])));
    check(cache.length === 1 && cache[0][1] === files.length, 'after the first load the service ' +
          `worker controls the page; its cache holds the site (./ and the files but sw.js): ${cache}`);

    await stop(server);
    await page.setOfflineMode(true);
    await page.reload().catch(() => {});
    const played = await plays(page);
    const pixels = played && await offPalettePixels(page, await (await page.$('#canvas')).screenshot(), palette);
    check(played && pixels.off === 0, 'offline, a reload still plays' + (played ? `: every pixel of the ` +
          `${pixels.width}x${pixels.height} frame is a palette colour (${pixels.off} are not)` : ': no frame'));

    const old = cache[0][0], worker = path.join(dir, 'sw.js');
    fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(old, old + '-next'));
    [server] = await listen(dir, port);
    await page.setOfflineMode(false);
    await page.reload();
    const keys = await page.waitForFunction(async o => { const k = await caches.keys(); return k[0] !== o && k; },
      { timeout: 20000, polling: 200 }, old).then(h => h.jsonValue(), () => []);
    check(keys.length === 1 && keys[0] === old + '-next', `another version replaces the old cache: ${keys}`);
  } finally {
    await page.close();
    await stop(server);
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

module.exports = { offlineScenario };
