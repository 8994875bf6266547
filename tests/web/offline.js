// The web app offline, each site a copy of the build's on a host that lets every file be
// cached for an hour: after the first load the service worker controls the page; with the
// network cut (offline mode, the server stopped) a reload still plays in the palette's colours;
// release 2 takes over with its own files, not release 1's from the browser's HTTP cache. Then
// a game in /game/ and a mod in /mod/ of one origin: each keeps its offline copy and its studio
// folder, and the folder studios shared before reaches the game's studio.
'use strict';
const fs = require('fs');
const path = require('path');
const { serve, LIST } = require('../../web/serve.js');
const { check } = require('./harness.js');

const HOUR = 'max-age=3600';
const listen = (dir, port) => new Promise(resolve => { const s = serve(dir, port, (_, p) => resolve([s, p]), HOUR); });
const stop = server => { server.closeAllConnections(); return new Promise(r => server.close(r)); };
const plays = page => page.waitForFunction(() => window.Module && Module.calledRun &&
  Module._webPresentCount() > 5, { timeout: 20000 }).then(() => true, () => false);
const controlled = page => page.waitForFunction(() => navigator.serviceWorker.controller !== null,
                                                { timeout: 20000 });
const cachesOf = page => page.evaluate(async () => Promise.all((await caches.keys()).map(
  async k => [k, (await (await caches.open(k)).keys()).length])));

// The site's listed files copied into dir; their names.
function copySite(site, dir) {
  const files = fs.readFileSync(path.join(site, LIST), 'utf8').split('\n').filter(Boolean);
  for (const f of [LIST, ...files]) fs.cpSync(path.join(site, f), path.join(dir, f));
  return files;
}

async function offlineScenario(browser, site, offPalettePixels, palette) {
  const dir = fs.mkdtempSync('/tmp/starlane-offline-');
  const files = copySite(site, dir);
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
    await controlled(page);
    const cache = await cachesOf(page);
    check(cache.length === 1 && cache[0][1] === files.length, 'after the first load the service ' +
          `worker controls the page; its cache holds the site (./ and the files but sw.js): ${cache}`);

    await stop(server);
    await page.setOfflineMode(true);
    await page.reload().catch(() => {});
    const played = await plays(page);
    const pixels = played && await offPalettePixels(page, await (await page.$('#canvas')).screenshot(), palette);
    check(played && pixels.off === 0, 'offline, a reload still plays' + (played ? `: every pixel of the ` +
          `${pixels.width}x${pixels.height} frame is a palette colour (${pixels.off} are not)` : ': no frame'));

    // Release 2: another page.js, and the worker under another release name.
    const old = cache[0][0], worker = path.join(dir, 'sw.js');
    fs.appendFileSync(path.join(dir, 'page.js'), '\n// release 2\n');
    fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(/const RELEASE = '([^']*)'/, "const RELEASE = '$1-2'"));
    [server] = await listen(dir, port);
    await page.setOfflineMode(false);
    await page.reload();
    const keys = await page.waitForFunction(async o => { const k = await caches.keys(); return k[0] !== o && k; },
      { timeout: 60000, polling: 200 }, old).then(h => h.jsonValue(), () => []);
    await page.reload();
    await controlled(page);
    const served = await page.evaluate(async () => (await fetch('page.js')).text());
    check(keys.length === 1 && keys[0] === old + '-2' && served.endsWith('// release 2\n'),
          `on a host that sends Cache-Control: ${HOUR}, release 2's cache replaces release 1's and ` +
          `serves release 2's page.js: ${keys}`);
  } finally {
    await page.close();
    await stop(server);
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// The folder all studios shared before, with one file of the player's, made on the origin.
const sharedFolder = () => new Promise((resolve, reject) => {
  const r = indexedDB.open('starlane-studio', 1);
  r.onupgradeneeded = () => r.result.createObjectStore('files');
  r.onerror = () => reject(r.error);
  r.onsuccess = () => {
    const t = r.result.transaction('files', 'readwrite');
    t.objectStore('files').put(new TextEncoder().encode('my notes'), 'notes.txt');
    t.oncomplete = () => { r.result.close(); resolve(); };
  };
});

async function twoBuildsScenario(browser, site) {
  const root = fs.mkdtempSync('/tmp/starlane-scopes-');
  const listed = [];
  for (const build of ['game', 'mod'])
    listed.push(...copySite(site, path.join(root, build)).map(f => `${build}/${f}`));
  fs.writeFileSync(path.join(root, LIST), listed.join('\n') + '\n');
  const [server, port] = await listen(root, 0);
  const page = await browser.newPage();
  const studio = async build => {
    await page.goto(`http://127.0.0.1:${port}/${build}/studio.html`);
    await page.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 });
  };
  try {
    for (const build of ['game', 'mod']) {
      await page.goto(`http://127.0.0.1:${port}/${build}/`);
      if (build === 'game') await page.evaluate(sharedFolder);
      await controlled(page);
    }
    const cache = (await cachesOf(page)).sort();
    check(cache.length === 2 && /^starlane \/game\/ /.test(cache[0][0]) && /^starlane \/mod\/ /.test(cache[1][0]) &&
          cache.every(c => c[1] === listed.length / 2),
          `two builds on one origin keep an offline copy each: ${cache}`);

    await studio('mod');
    await page.evaluate(() => studio.write('mod.txt', 'the mod'));
    await studio('game');
    const game = await page.evaluate(() => [studio.files(), studio.read('notes.txt')]);
    check(!game[0].includes('mod.txt') && game[1] === 'my notes',
          `each studio keeps its own folder, and the folder studios shared before is the game's: ${game[0]}`);
  } finally {
    await page.close();
    await stop(server);
    fs.rmSync(root, { recursive: true, force: true });
  }
}

module.exports = { offlineScenario, twoBuildsScenario };
