// The studio in the system's Chromium, headless, as one scenario a modder would go through: it
// opens on the shipped content, which checks clean; an enemy's graphic typed as 99 shows its
// problem at the native checker's FILE:LINE within a second, and the fix makes it clean; a
// pixel painted on a sheet changes the frame shown and rebuilds the BMP as native mkcontent
// does; Play shows the game in the palette's colours and Escape comes back; a reload keeps the
// edits; the exported content is clean for the native checker and plays as the same edit made
// on a copy of data/; the exported web build plays, and its own studio makes a web build again
// (a file named with "})" among its content) or says why not; a zip leaving its folder, a zip
// bomb and a name with markup are refused with a message; nothing is lost: a zip over work
// keeps the project before, a name that exists is refused, a delete is undone byte for byte,
// bytes that are not UTF-8 stay, and a second tab is read-only until it takes the project
// over. Then the tools' worker: content at every bound checked while keys are typed leaves the
// page answering each key within 100 ms, its pictures drawn once and only those on screen; and
// a module that runs out of its memory is said with the file it was on, started afresh, and
// the folder kept, through a reload and a download.
//
//   node tests/web/studio.js SITE_DIR BUILD_DIR DATA_DIR
// Prints the measured figures as one JSON line.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { check, launch, finish } = require('./harness.js');
const { serve } = require('../../web/serve.js');
const { zipSync, unzipSync } = require('../../web/studio/node_modules/fflate');
const { boundsContent } = require('./bounds.js');

const [site, build, data] = process.argv.slice(2).map(p => path.resolve(p));
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'starlane-studio-'));

// The native checker run inside a folder, as the studio shows its lines.
function nativeLines(folder) {
  const r = spawnSync(path.join(build, 'starlane-check'), ['.'], { cwd: folder });
  return r.stdout.toString().split('\n').filter(l => l);
}

function writeTree(files, to) {
  for (const [name, bytes] of Object.entries(files)) {
    if (name.endsWith("/")) continue;   // a folder entry
    fs.mkdirSync(path.dirname(path.join(to, name)), { recursive: true });
    fs.writeFileSync(path.join(to, name), bytes);
  }
}

const shownLines = () => studio.problems().then(ps => ps.map(p =>
  p.line ? `${p.file}:${p.line}: ${p.text}` : `${p.file}: ${p.text}`));

// Keys typed into MasterGraphics.txt's first line (its comment) every 50 ms while the content
// is checked after each tenth: how long the page took to answer each, from the key's event.
async function keysDuringChecks(page, milliseconds) {
  await page.evaluate(() => {
    window.keyLags = [];
    window.keyListener = e => window.keyLags.push(performance.now() - e.timeStamp);
    document.addEventListener('keydown', window.keyListener, true);
  });
  const checks = await page.evaluate(() => Number(document.body.dataset.checks));
  const t0 = Date.now();
  for (let n = 1; Date.now() - t0 < milliseconds; n++) {
    await page.keyboard.press(n % 10 === 0 ? 'x' : n % 2 ? 'ArrowLeft' : 'ArrowRight');
    await new Promise(r => setTimeout(r, 50));
  }
  await page.evaluate(() => studio.problems());
  return page.evaluate(checks => {
    document.removeEventListener('keydown', window.keyListener, true);
    return { keys: window.keyLags.length, worst: Math.max(...window.keyLags),
             checks: Number(document.body.dataset.checks) - checks };
  }, checks);
}

async function workerGroup(page, figures) {
  // Content at the bounds, with every graphic shown: MasterGraphics.txt open.
  const bounds = zipSync(Object.fromEntries(Object.entries(boundsContent(data))
    .map(([n, b]) => [n, new Uint8Array(b)])), { level: 6 });
  await page.evaluate(async b64 => {
    await studio.openZip(Uint8Array.from(atob(b64), c => c.charCodeAt(0)), 'bounds.zip');
    studio.open('Graphics/MasterGraphics.txt', 1);
    await studio.problems();
    document.getElementById('graphics-title').scrollIntoView();
  }, Buffer.from(bounds).toString('base64'));
  await page.keyboard.press('End');
  await new Promise(r => setTimeout(r, 1000));
  const marked = await page.evaluate(() => {
    const drawn = [...document.querySelectorAll('#graphics canvas[data-drawn]')];
    drawn.forEach(c => { c.dataset.before = '1'; });
    return { drawn: drawn.length, all: document.querySelectorAll('#graphics canvas').length };
  });
  // A machine shared with other work can hold any page a moment: the worst of three rounds
  // that passes counts, and each round's worst is told.
  const rounds = [];
  for (let round = 0; round < 3; round++) {
    rounds.push(await keysDuringChecks(page, 4000));
    if (rounds[round].worst <= 100 && rounds[round].checks > 0) break;
  }
  const best = rounds.reduce((a, b) => (b.worst < a.worst ? b : a));
  figures.key_during_check_worst_ms = Math.round(best.worst);
  const kept = await page.evaluate(() =>
    document.querySelectorAll('#graphics canvas[data-before]').length);
  check(best.worst <= 100 && best.checks > 0 && marked.drawn > 0 && marked.drawn < marked.all &&
        kept === marked.drawn,
        `content at the bounds (${marked.all} pictures, ${bounds.length} bytes zipped): ${best.checks} ` +
        `checks while ${best.keys} keys were typed, each answered within ${Math.round(best.worst)} ms ` +
        `(rounds: ${rounds.map(r => Math.round(r.worst)).join(', ')} ms); ${marked.drawn} pictures on ` +
        `screen drawn, and still the same after the checks`);

  // A module that runs out of memory: a budget of 96 MiB, and a sheet of 64 MiB to build.
  await page.evaluate(() => studio.reset());
  const big = 'cell 1024 1024\nborder 0 0\ngrid 8 8\n';
  const said = await page.evaluate(async big => {
    await studio.toolsBudget({ memoryBytes: 96 << 20 });
    await studio.write('Graphics/Big.sheet', big);
    return document.getElementById('message').textContent;
  }, big);
  const edited = await page.evaluate(async () => {
    await studio.write('Enemies/Note.txt', 'a note\n');
    return { status: document.getElementById('status').textContent, files: studio.files() };
  });
  check(/The (content builder \(studioBuild\)|check \(studioCheck\)) stopped on Graphics\/Big\.sheet: out of memory \(the tools' budget is 96 MiB\)\. The tools were started afresh; the folder is as it was\./.test(said) &&
        /stopped on Graphics\/Big\.sheet/.test(edited.status) &&
        edited.files.includes('Graphics/Big.sheet') && edited.files.includes('Enemies/Note.txt'),
        `a module out of memory is said with its file ("${said}"), and the next edit is kept and ` +
        'checked by a fresh module');
  // After a reload the folder that stops the module still opens, and downloads.
  await page.reload({ waitUntil: 'load' });
  const ready = await page.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 })
    .then(() => true, () => false);
  const after = await page.evaluate(async () => {
    const zip = new Uint8Array(await (await studio.exportContent()).arrayBuffer());
    return { status: document.getElementById('status').textContent, files: studio.files(),
             zip: Array.from(zip) };
  });
  const zipped = Object.keys(unzipSync(Buffer.from(after.zip)));
  // Without the sheet, the same module checks the folder as before.
  const clean = await page.evaluate(async () => {
    await studio.remove('Graphics/Big.sheet');
    await studio.remove('Enemies/Note.txt');
    await studio.toolsBudget({ memoryBytes: 1024 << 20 });
    await studio.write('Enemies/Dart.txt', studio.read('Enemies/Dart.txt'));
    return document.getElementById('problems').textContent;
  });
  check(ready && /stopped on Graphics\/Big\.sheet/.test(after.status) &&
        after.files.includes('Graphics/Big.sheet') && zipped.includes('Graphics/Big.sheet') &&
        zipped.length === after.files.length && clean.startsWith('Clean'),
        `after a reload the studio starts and says "${after.status.slice(0, 80)}...", ` +
        `"Download content" holds all ${zipped.length} files, and without the sheet it checks clean`);
}

async function main() {
  let server;
  const port = await new Promise(resolve => { server = serve(site, 0, (s, p) => resolve(p)); });
  const browser = await launch(1280, 800, [
    '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', `--user-data-dir=${path.join(tmp, 'profile')}`]);
  const figures = {};
  try {
    const page = await browser.newPage();
    const consoleErrors = [];
    page.on('pageerror', e => consoleErrors.push(String(e)));
    const hosts = new Set();
    page.on('request', r => { if (!/^(blob|data):/.test(r.url())) hosts.add(new URL(r.url()).host); });
    const url = `http://127.0.0.1:${port}/studio.html`;
    await page.goto(url, { waitUntil: 'load' });
    await page.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 });
    check((await page.evaluate(shownLines)).length === 0 &&
          (await page.$eval('#problems', e => e.textContent)).startsWith('Clean'),
          'the studio opens on the shipped content, and it checks clean');

    // A mistake typed into the editor: the Dart's graphic, on line 1, becomes 99.
    const dart = fs.readFileSync(path.join(data, 'Enemies/Dart.txt'), 'utf8');
    await page.evaluate(() => studio.open('Enemies/Dart.txt', 1));
    await page.keyboard.press('Home');
    await page.keyboard.press('Delete');
    await page.keyboard.type('99');
    const typed = Date.now();
    await page.waitForSelector('.cm-lint-marker-error', { timeout: 1000 })
      .catch(() => {});
    figures.key_to_marker_ms = Date.now() - typed;
    fs.cpSync(data, path.join(tmp, 'mistake'), { recursive: true });
    fs.writeFileSync(path.join(tmp, 'mistake/Enemies/Dart.txt'), dart.replace(/^2 /, '99 '));
    const expected = nativeLines(path.join(tmp, 'mistake'));
    const shown = await page.evaluate(shownLines);
    const listed = await page.$$eval('#problems div', ds => ds.map(d => d.textContent));
    check(figures.key_to_marker_ms <= 1000 && expected.length > 0 &&
          JSON.stringify(shown) === JSON.stringify(expected) &&
          JSON.stringify(listed) === JSON.stringify(expected) &&
          expected[0].startsWith('Enemies/Dart.txt:1: '),
          `graphic 99: the editor marks line 1 after ${figures.key_to_marker_ms} ms, and the ` +
          `problems are the native checker's ${expected.length} lines (${expected[0]})`);
    // A click on the problem opens its file at its line.
    await page.evaluate(() => studio.open('Enemies/MasterEnemies.txt'));
    await page.click('#problems div');
    check(await page.evaluate(() => document.getElementById('path').textContent === 'Enemies/Dart.txt'),
          'a click on the problem opens its file');

    await page.keyboard.press('Home');
    await page.keyboard.press('Delete');
    await page.keyboard.press('Delete');
    await page.keyboard.type('2');
    await page.waitForFunction(() => document.getElementById('problems').textContent.startsWith('Clean'),
                               { timeout: 1000 }).catch(() => {});
    check((await page.evaluate(shownLines)).length === 0 &&
          await page.evaluate(() => studio.read('Enemies/Dart.txt')) === dart,
          'the fix typed in: clean again');

    // A pixel of the Dart's first frame painted on its sheet.
    const before = await page.evaluate(() => studio.graphics().then(g => g.graphics[2].frames[0].pixels));
    const painted = await page.evaluate(async () => {
      await studio.paint('Graphics/Dart.sheet', 10, 10, 1);
      return studio.graphics().then(g => g.graphics[2].frames[0].pixels);
    });
    const sheet = await page.evaluate(() => studio.read('Graphics/Dart.sheet'));
    const told = await page.$eval('#message', e => e.textContent);
    const bmp = Buffer.from(await page.evaluate(() => Array.from(studio.read('Graphics/Dart.bmp'))));
    fs.cpSync(data, path.join(tmp, 'painted'), { recursive: true });
    fs.writeFileSync(path.join(tmp, 'painted/Graphics/Dart.sheet'), sheet);
    spawnSync(path.join(build, 'mkcontent'), ['build', path.join(tmp, 'painted')]);
    const native = fs.readFileSync(path.join(tmp, 'painted/Graphics/Dart.bmp'));
    const changed = [...Array(before.length / 2).keys()].filter(i =>
      before.substr(2 * i, 2) !== painted.substr(2 * i, 2));
    check(changed.length === 1 && painted.substr(2 * changed[0], 2) === '01' &&
          sheet !== fs.readFileSync(path.join(data, 'Graphics/Dart.sheet'), 'utf8') &&
          bmp.equals(native) && !native.equals(fs.readFileSync(path.join(data, 'Graphics/Dart.bmp'))) &&
          told === 'The shipped content, edited.',
          `a painted pixel: one pixel of frame 0 changes, the rebuilt Dart.bmp is native ` +
          `mkcontent's (${bmp.length} bytes), and the studio says "${told}"`);

    // Play: the game's canvas in the palette's colours, and Escape back to the studio.
    const palette = fs.readFileSync(path.join(data, 'palette.pal'));
    await page.evaluate(() => { studio.play(); });
    const frame = await (await page.waitForSelector('#play iframe')).contentFrame();
    await frame.waitForFunction(() => window.Module && Module.calledRun &&
                                      Module._webPresentCount() > 10, { timeout: 60000 });
    // What the frame shows (WebGL, or the 2D canvas), from a screenshot the frame decodes.
    const png = (await (await frame.$('#canvas')).screenshot()).toString('base64');
    const colours = await frame.evaluate(async (pal, png) => {
      const img = new Image();
      img.src = 'data:image/png;base64,' + png;
      await img.decode();
      const c = document.createElement('canvas');
      c.width = img.width; c.height = img.height;
      c.getContext('2d').drawImage(img, 0, 0);
      const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      const known = new Set();
      for (let i = 0; i < 256; i++) known.add((pal[4 * i] << 16) | (pal[4 * i + 1] << 8) | pal[4 * i + 2]);
      let off = 0, lit = 0;
      for (let i = 0; i < d.length; i += 4) {
        const v = (d[i] << 16) | (d[i + 1] << 8) | d[i + 2];
        if (!known.has(v)) off++;
        if (v !== 0) lit++;
      }
      return { off, lit };
    }, Array.from(palette), png);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.body.dataset.state === 'studio', { timeout: 5000 }).catch(() => {});
    check(colours.off === 0 && colours.lit > 100 &&
          await page.evaluate(() => document.body.dataset.state) === 'studio',
          `Play: ${colours.lit} lit pixels, all of the palette's colours; Escape returns to the studio`);

    // A reload keeps the folder.
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 });
    check(await page.evaluate(() => studio.read('Graphics/Dart.sheet')) === sheet,
          'after a reload the painted sheet is still there');

    // The content taken away: unpacked, the native checker finds it clean.
    const zipped = Buffer.from(await page.evaluate(async () =>
      Array.from(new Uint8Array(await (await studio.exportContent()).arrayBuffer()))));
    writeTree(unzipSync(zipped), path.join(tmp, 'exported'));
    const exported = spawnSync(path.join(build, 'starlane-check'), [path.join(tmp, 'exported')]);
    // ... and plays as the same edit made by a script on a copy of data/ (the painted sheet
    // built by native mkcontent).
    const stats = folder => spawnSync(path.join(build, 'starlane-replay'),
      ['--data', folder, '--frames', '600', '--stats']).stdout.toString()
      .replace(/"work_us_[a-z0-9]+": [0-9.]+, /g, '');
    const played = stats(path.join(tmp, 'exported'));
    check(exported.status === 0 && exported.stdout.length === 0 && played.includes('"exit_code": 0') &&
          played === stats(path.join(tmp, 'painted')),
          `the exported content (${zipped.length} bytes) is clean for the native checker, and the ` +
          'native replay of it is that of the same edit made on a copy of data/');

    // The web build taken away, served from a folder of its own: the game starts on the
    // folder's content, the painted sheet's picture in its file system.
    await page.evaluate(() => studio.write('Enemies/odd})(.txt', 'x'));
    const web = unzipSync(Buffer.from(await page.evaluate(async () =>
      Array.from(new Uint8Array(await (await studio.exportWeb()).arrayBuffer())))));
    writeTree(web, path.join(tmp, 'web'));
    let webServer;
    const webPort = await new Promise(r => { webServer = serve(path.join(tmp, 'web/starlane-web'), 0, (s, p) => r(p)); });
    const game = await browser.newPage();
    game.on('pageerror', e => consoleErrors.push('exported web build: ' + e));
    game.on('console', m => { if (m.type() === 'error') consoleErrors.push('exported web build: ' + m.text()); });
    await game.goto(`http://127.0.0.1:${webPort}/`, { waitUntil: 'load' });
    const started = await game.waitForFunction(() => window.Module && Module.calledRun &&
                                               Module._webPresentCount() > 0, { timeout: 20000 })
      .then(() => true, () => false);
    const packedBmp = started && Buffer.from(await game.evaluate(() =>
      Array.from(Module.FS.readFile('/game/Graphics/Dart.bmp'))));
    await game.close();
    check(started && packedBmp.equals(bmp),
          `the exported web build (${Object.keys(web).filter(n => !n.endsWith("/")).length} files) plays, with the painted Dart.bmp packed` +
          (started ? "" : " (it did not start)"));

    // That build's own studio, in a browser context of its own (no worker of the game page
    // answers for the host): its content's file named with "})" goes into its web build's list
    // as data, and a file the host no longer has is said in the message line.
    const context = await browser.createBrowserContext();
    const again = await context.newPage();
    await (await again.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'deny' });
    await again.goto(`http://127.0.0.1:${webPort}/studio.html`, { waitUntil: 'load' });
    await again.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 });
    const download = async () => {
      await again.click('#export-web');
      await again.waitForFunction(() => !/^Making /.test(document.getElementById('message').textContent));
      return again.$eval('#message', e => e.textContent);
    };
    const packedNames = JSON.parse(Buffer.from(unzipSync(Buffer.from(await again.evaluate(async () =>
      Array.from(new Uint8Array(await (await studio.exportWeb()).arrayBuffer())))))[
      'starlane-web/starlane-files.json']).toString()).files.map(f => f.filename);
    const made = await download();
    fs.rmSync(path.join(tmp, 'web/starlane-web/starlane.wasm'));
    const failed = await download();
    await context.close();
    webServer.close();
    await page.evaluate(() => studio.remove('Enemies/odd})(.txt'));   // the folder as it was
    check(packedNames.includes('/game/Enemies/odd})(.txt') && /^Made starlane-web\.zip \(\d+ bytes\)\.$/.test(made) &&
          failed === 'The web build was not made: starlane.wasm could not be fetched from this site (404 Not Found)',
          `"Download web build" from a studio-made web build with a file named with "})": "${made}"; ` +
          `with a file missing on the host: "${failed}"`);

    // A friend's zips: one leaving its folder, and a bomb.
    const files = await page.evaluate(() => studio.files().length);
    const escape = zipSync({ 'mod/palette.pal': new Uint8Array(1024), '../x': new Uint8Array([1]) });
    const bomb = zipSync({ a: new Uint8Array(100 << 20), b: new Uint8Array(100 << 20),
                           c: new Uint8Array(100 << 20) }, { level: 9 });
    const said = [];
    const markup = zipSync({ 'Enemies/<img src=x onerror=alert(1)>.txt': new Uint8Array([50]) });
    for (const zip of [escape, bomb, markup]) {
      said.push(await page.evaluate(async bytes => {
        await studio.openZip(new Uint8Array(bytes), 'friend.zip');
        return document.getElementById('message').textContent;
      }, Array.from(zip)));
    }
    check(/not opened: the name "..\/x" leaves the folder/.test(said[0]) &&
          /not opened: .*more than 256 MiB/.test(said[1]) &&
          /not opened: the name ".*<img.*" holds a character/.test(said[2]) &&
          await page.$$eval('#message img, #tree img, #problems img', e => e.length) === 0 &&
          await page.evaluate(() => studio.files().length) === files,
          `friend's zips refused: "${said[0]}"; "${said[1]}" (${bomb.length} bytes packed); "${said[2]}"`);

    // Nothing lost: a zip over work keeps the project before, which comes back; a name that
    // exists is refused; a delete is undone byte for byte; bytes that are not UTF-8, a
    // byte-order mark and CR LF stay as they were around a typed key; a zip with a file
    // where a folder is changes nothing; a second tab is read-only until it takes over.
    const work = await page.evaluate(() => studio.projects().then(p => p[0]));
    const dartNow = await page.evaluate(() => studio.read('Enemies/Dart.txt'));
    await page.evaluate(bytes => studio.openZip(new Uint8Array(bytes), 'friend.zip'),
                        Array.from(zipSync({ 'mod/palette.pal': fs.readFileSync(path.join(data, 'palette.pal')) })));
    const afterZip = await page.evaluate(() => studio.projects());
    await page.evaluate(name => studio.openProject(name), work);
    const back = await page.evaluate(() => [studio.read('Enemies/Dart.txt'), studio.read('Graphics/Dart.sheet')]);
    const refused = await page.evaluate(() => studio.create('Enemies/Dart.txt').then(() => '', e => e.message));
    const dartBytes = await page.evaluate(() => Array.from(new TextEncoder().encode(studio.read('Enemies/Dart.txt'))));
    await page.evaluate(() => studio.remove('Enemies/Dart.txt'));
    const gone = await page.evaluate(() => studio.read('Enemies/Dart.txt') === undefined);
    await page.evaluate(() => studio.undo());
    const undone = await page.evaluate(() => Array.from(new TextEncoder().encode(studio.read('Enemies/Dart.txt'))));
    const odd = [0xef, 0xbb, 0xbf, ...Buffer.from('# pixel \xb7 here\r\nline two\r\n', 'latin1')];
    await page.evaluate(bytes => studio.write('Notes.txt', new Uint8Array(bytes)), odd);
    await page.evaluate(() => studio.open('Notes.txt', 2));
    await page.keyboard.press('End');
    await page.keyboard.type('!');
    await page.waitForFunction(() => studio.read('Notes.txt').length > 0 && document.body.dataset.unsaved !== '1');
    const typedOdd = Buffer.from(await page.evaluate(() => Array.from(studio.read('Notes.txt', 'bytes'))));
    // A write the storage refuses (a full disk): said at once, kept in the page, saved with the next.
    const refusedSave = await page.evaluate(async () => {
      const put = IDBObjectStore.prototype.put;
      IDBObjectStore.prototype.put = () => { throw new DOMException('the disk is full', 'QuotaExceededError'); };
      const said = await studio.write('Full.txt', 'kept').then(() => '', e => e.message);
      IDBObjectStore.prototype.put = put;
      await studio.write('After.txt', 'next');
      return [said, studio.read('Full.txt'), document.body.dataset.unsaved];
    });
    const clashZip = zipSync({ 'Graphics': new Uint8Array([1]), 'Graphics/Extra.txt': new Uint8Array([2]) });
    const clashSaid = await page.evaluate(async bytes => {
      await studio.openZip(new Uint8Array(bytes), 'clash.zip');
      return document.getElementById('message').textContent;
    }, Array.from(clashZip));
    check(afterZip.length === 2 && afterZip[0] === 'friend' && afterZip[1] === work &&
          back[0] === dartNow && back[1] === sheet && refused.includes('exists already') &&
          await page.evaluate(() => studio.read('Enemies/Dart.txt')) === dartNow &&
          gone && JSON.stringify(undone) === JSON.stringify(dartBytes) &&
          typedOdd.equals(Buffer.from([...odd.slice(0, -2), ...Buffer.from('!\r\n')])) &&
          /clash.zip was not opened: Graphics\/Extra.txt cannot be made: Graphics is a file/.test(clashSaid) &&
          refusedSave[0] === 'the disk is full' && refusedSave[1] === 'kept' && refusedSave[2] === '' &&
          (await page.evaluate(() => studio.projects())).length === 2,
          `nothing lost: the zip made a project of its own (${afterZip.join(', ')}) and ${work} came ` +
          `back as it was; "${refused}"; a delete undone byte for byte; a key typed into a file ` +
          `of CR LF, BOM and byte 0xB7 changed only that key; "${clashSaid}"; a refused save said ` +
          `("${refusedSave[0]}"), kept and saved with the next write`);

    // Native's verdicts: a frame the overlay's animation shows but no record loads is the
    // game's own Error.txt line from its first frame, as starlane-check says; a sheet's
    // problem is named inside the folder and a click opens the sheet at its line.
    const overlay = await page.evaluate(() => studio.read('Graphics/Overlay.txt'));
    await page.evaluate(t => studio.write('Graphics/Overlay.txt', t), overlay.replace(/^f 0 .*\n/m, ''));
    fs.cpSync(data, path.join(tmp, 'runs'), { recursive: true });
    fs.rmSync(path.join(tmp, 'runs/Error.txt'), { force: true });
    fs.writeFileSync(path.join(tmp, 'runs/Graphics/Overlay.txt'), overlay.replace(/^f 0 .*\n/m, ''));
    const runsNative = nativeLines(path.join(tmp, 'runs'));
    const runsShown = await page.evaluate(shownLines);
    await page.evaluate(() => studio.undo());
    const darts = await page.evaluate(() => studio.read('Graphics/Dart.sheet'));
    await page.evaluate(t => studio.write('Graphics/Dart.sheet', t), darts.replace(/^grid 5 2$/m, 'grid 5 2 7'));
    const sheetRow = await page.$$eval('#problems div', ds => ds.map(d => d.textContent).find(t => /Dart\.sheet/.test(t)) || '');
    await page.evaluate(() => studio.open('Enemies/MasterEnemies.txt'));
    await page.$$eval('#problems div', ds => ds.find(d => /Dart\.sheet/.test(d.textContent)).click());
    const landed = await page.evaluate(() => [document.getElementById('path').textContent,
      document.querySelector('.cm-activeLineGutter') && document.querySelector('.cm-activeLineGutter').textContent]);
    await page.evaluate(() => studio.undo());
    check(runsNative.some(l => l.includes('Error.txt:1: drawGraphic:  frame to be displayed was NULL!')) &&
          JSON.stringify(runsShown) === JSON.stringify(runsNative) &&
          /^Graphics\/Dart\.sheet:(\d+): grid needs/.test(sheetRow) &&
          landed[0] === 'Graphics/Dart.sheet' && landed[1] === sheetRow.split(':')[1] &&
          await page.evaluate(() => studio.read('Graphics/Dart.sheet')) === darts,
          `native's verdicts: the game's first frame logs "${runsShown[0]}" in the studio as ` +
          `natively; "${sheetRow}" opens its sheet at line ${landed[1]}` +
          (JSON.stringify(runsShown) === JSON.stringify(runsNative) ? '' :
            `; but the studio shows ${JSON.stringify(runsShown)} where native says ${JSON.stringify(runsNative)}`));

    // The pixel editor on the Dart's frame 0: a line drawn and a fill, then two Undos, leave
    // the .sheet as it was; a pencil stroke of 100 pixels is drawn and its picture rebuilt
    // (the figure); the studio left alone with animations on screen (the figure).
    const sheetBefore = await page.evaluate(() => studio.read('Graphics/Dart.sheet'));
    await page.evaluate(() => studio.open('Graphics/Dart.bmp'));
    await page.waitForSelector('.px-canvas');
    const zoom = await page.evaluate(() => studio.pixelEditor().zoom);
    const at = async (x, y) => { const b = await (await page.$('.px-canvas')).boundingBox(); return [b.x + (x + 0.5) * zoom, b.y + (y + 0.5) * zoom]; };
    const strokes = () => page.evaluate(() => Number(document.body.dataset.strokes || 0));
    const drawWith = async (tool, points) => {
      const n = await strokes();
      await page.click(`.px-tools [data-tool="${tool}"]`);
      await page.mouse.move(...await at(...points[0]));
      await page.mouse.down();
      for (const p of points.slice(1)) await page.mouse.move(...await at(...p), { steps: 4 });
      await page.mouse.up();
      await page.waitForFunction(k => Number(document.body.dataset.strokes || 0) > k, { timeout: 5000 }, n).catch(() => {});
    };
    await page.click('.px-legend button:nth-child(3)');
    await drawWith('line', [[2, 2], [25, 20]]);
    const lined = await page.evaluate(() => studio.read('Graphics/Dart.sheet'));
    const linePixels = await page.evaluate(() => Number(document.body.dataset.strokePixels));
    await drawWith('fill', [[0, 27]]);
    const filled = await page.evaluate(() => studio.read('Graphics/Dart.sheet'));
    const changedChars = (a, b) => [...a].filter((c, i) => c !== b[i]).length;
    await page.evaluate(() => studio.undo());
    await page.evaluate(() => studio.undo());
    const undoneSheet = await page.evaluate(() => studio.read('Graphics/Dart.sheet'));
    check(lined !== sheetBefore && filled !== lined && lined.length === sheetBefore.length &&
          linePixels > 0 && changedChars(sheetBefore, lined) === linePixels && undoneSheet === sheetBefore,
          `the pixel editor: a line changes ${changedChars(sheetBefore, lined)} characters of the ` +
          `sheet and nothing else, a fill ${changedChars(lined, filled)}; two Undos leave the sheet as it was`);
    await page.click('.px-legend button:nth-child(4)');
    const path100 = [];
    for (let x = 0; x < 32; x++) path100.push([x, 1]);
    path100.push([31, 2]);
    for (let x = 31; x >= 0; x--) path100.push([x, 3]);
    path100.push([0, 4]);
    for (let x = 0; x < 34; x++) path100.push([Math.min(x, 31), 5 + (x > 31 ? x - 31 : 0)]);
    await drawWith('pencil', path100);
    figures.stroke_pixels = await page.evaluate(() => Number(document.body.dataset.strokePixels));
    figures.stroke_to_rebuilt_ms = await page.evaluate(() => Number(document.body.dataset.strokeMs));
    await page.evaluate(() => studio.undo());
    await page.evaluate(() => studio.open('Graphics/Dart.txt'));
    await new Promise(r => setTimeout(r, 1000));
    const m0 = await page.metrics();
    await new Promise(r => setTimeout(r, 10000));
    const m1 = await page.metrics();
    figures.idle_cpu_percent = Number((100 * (m1.TaskDuration - m0.TaskDuration) / (m1.Timestamp - m0.Timestamp)).toFixed(2));
    check(figures.stroke_pixels >= 100 && figures.stroke_to_rebuilt_ms > 0 && figures.idle_cpu_percent < 100,
          `a pencil stroke of ${figures.stroke_pixels} pixels drawn and rebuilt in ` +
          `${figures.stroke_to_rebuilt_ms} ms; idle for 10 s with a graphic's animations on screen: ` +
          `${figures.idle_cpu_percent}% of a core`);

    // "Duplicate enemy": the Dart copied with its sheet, description and list entries in one
    // step, with fresh numbers; the only word of the checker is that no order names it yet.
    const duplicated = await page.evaluate(async () => {
      const made = await studio.duplicate('Enemies/Dart.txt');
      const fields = await studio.fields(made);
      const out = { made, graphic: fields.find(f => f.field === 'graphic').text,
                    id: fields.find(f => f.field === 'enemyID').text,
                    lines: (await studio.problems()).map(p => p.text), files: studio.files().length };
      await studio.undo();
      out.after = studio.files().length;
      return out;
    });
    check(duplicated.made === 'Enemies/Dart2.txt' && duplicated.graphic === '11' && duplicated.id === '5' &&
          duplicated.lines.length === 1 && /named by no deployment order/.test(duplicated.lines[0]) &&
          duplicated.files === duplicated.after + 4,
          `"Duplicate enemy" makes ${duplicated.made} on graphic ${duplicated.graphic}, identifier ` +
          `${duplicated.id}, in one step: ${JSON.stringify(duplicated.lines)}; Undo takes the 4 files back ` +
          `(${duplicated.files} files, ${duplicated.after} after)`);

    // Forms and the timeline from the reader: the fields of the Dart's file; the enemy form
    // changes its speed across, and the text is what a person would have typed; a drag on the
    // timeline changes the order's delay and X; "Play from here" starts with that order.
    const dartFields = await page.evaluate(() => studio.fields('Enemies/Dart.txt'));
    const speed = dartFields.find(f => f.field === 'speed' && f.nth === 0);
    const dartText = await page.evaluate(() => studio.read('Enemies/Dart.txt'));
    await page.evaluate(() => studio.open('Enemies/Dart.txt'));
    const speedInput = await page.waitForSelector('#form input[data-field="speed"][data-nth="0"]');
    await speedInput.click({ clickCount: 3 });
    await page.keyboard.type('7');
    await page.keyboard.press('Tab');
    await page.waitForFunction(t => studio.read('Enemies/Dart.txt') !== t, { timeout: 3000 }, dartText).catch(() => {});
    const formed = await page.evaluate(() => studio.read('Enemies/Dart.txt'));
    const lines = dartText.split('\n');
    lines[speed.line - 1] = lines[speed.line - 1].slice(0, speed.column - 1) + '7' +
                            lines[speed.line - 1].slice(speed.column - 1 + speed.text.length);
    await page.evaluate(() => studio.undo());
    // The editor's hover on the speed across: its field, unit and range.
    const speedAt = await page.evaluate(line => {
      const l = [...document.querySelectorAll('.cm-line')][line - 1], r = document.createRange();
      r.setStart(l.firstChild, 0); r.setEnd(l.firstChild, 1);
      const b = r.getBoundingClientRect();
      return [b.x + b.width / 2, b.y + b.height / 2];
    }, speed.line);
    await page.mouse.move(...speedAt);
    const tip = await page.waitForSelector('.field-tip', { timeout: 3000 }).then(t => t.evaluate(e => e.textContent), () => '');
    await page.evaluate(() => studio.open('DeploymentOrders/DeploymentOrder1.dpo'));
    await page.waitForSelector('.tl-order[data-order="2"]');
    const ordersBefore = await page.evaluate(() => studio.orders());
    const mark = await (await page.$('.tl-order[data-order="2"]')).boundingBox();
    const across = await page.evaluate(() => document.querySelector('.tl-stage').clientWidth / 800);
    await page.mouse.move(mark.x + mark.width / 2, mark.y + mark.height / 2);
    await page.mouse.down();
    await page.mouse.move(mark.x + mark.width / 2 + 50 * across, mark.y + mark.height / 2 + 12, { steps: 5 });
    await page.mouse.up();
    await page.waitForFunction(d => studio.orders().then(o => o[2].delay !== d), { timeout: 3000 }, ordersBefore[2].delay).catch(() => {});
    const ordersAfter = await page.evaluate(() => studio.orders());
    await page.click('.tl-order[data-order="5"]');
    await page.evaluate(() => { document.querySelector('.tl-head button').click(); });
    const from = await (await page.waitForSelector('#play iframe')).contentFrame();
    await from.waitForFunction(() => window.Module && Module.calledRun && Module._webPresentCount() > 2, { timeout: 60000 });
    const playedOrders = await from.evaluate(() => new TextDecoder().decode(Module.FS.readFile('/studio/DeploymentOrders/DeploymentOrder1.dpo')));
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.body.dataset.state === 'studio', { timeout: 5000 }).catch(() => {});
    const dpo = await page.evaluate(() => studio.read('DeploymentOrders/DeploymentOrder1.dpo'));
    await page.evaluate(() => studio.undo());
    check(speed && speed.name === 'speed across' && speed.unit === 'pixels per frame' && speed.max === 100000 &&
          formed === lines.join('\n') && tip.startsWith('speed across: pixels per frame, 0..100000') &&
          ordersAfter[2].delay === ordersBefore[2].delay + 2 && ordersAfter[2].x === ordersBefore[2].x + 50 &&
          ordersAfter[3].delay === ordersBefore[3].delay &&
          playedOrders.split('\n')[0] === dpo.split('\n')[5] && dpo.split('\n').length === playedOrders.split('\n').length + 5,
          `forms from the reader: ${speed && speed.name} (${speed && speed.unit}, ${speed && speed.min}..${speed && speed.max}) ` +
          `set to 7 in the form writes "${lines[speed.line - 1].slice(0, 12).trim()}"; the hover says "${tip}"; a drag moves order 3 from ` +
          `${ordersBefore[2].at} s, x ${ordersBefore[2].x} to ${ordersAfter[2].at} s, x ${ordersAfter[2].x}; ` +
          `"Play from here" on order 6 plays "${playedOrders.split('\n')[0].slice(0, 16).trim()}" first`);

    // A second tab on the project: read-only, kept up to date, and "Edit here instead".
    const second = await browser.newPage();
    second.on('pageerror', e => consoleErrors.push('second tab: ' + e));
    await second.goto(url, { waitUntil: 'load' });
    await second.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 });
    const secondReadOnly = await second.evaluate(() => document.body.dataset.readOnly === '1');
    const secondRefused = await second.evaluate(() => studio.write('Notes.txt', 'x').then(() => '', e => e.message));
    await page.evaluate(() => studio.write('Notes.txt', 'from the first tab\n'));
    await second.waitForFunction(() => studio.read('Notes.txt') === 'from the first tab\n', { timeout: 5000 }).catch(() => {});
    const secondSees = await second.evaluate(() => studio.read('Notes.txt'));
    await page.evaluate(() => { window.lastMinute = studio.write('Notes.txt', 'last word of the first tab\n'); });
    await second.click('.notice[data-notice="tabs"] button');
    await second.waitForFunction(() => document.body.dataset.readOnly !== '1', { timeout: 5000 }).catch(() => {});
    const taken = await second.evaluate(() => [document.body.dataset.readOnly !== '1', studio.read('Notes.txt')]);
    await second.evaluate(() => studio.write('Notes.txt', 'from the second tab\n'));
    await page.waitForFunction(() => studio.read('Notes.txt') === 'from the second tab\n', { timeout: 5000 }).catch(() => {});
    const firstNow = await page.evaluate(async () => [document.body.dataset.readOnly === '1', studio.read('Notes.txt'),
      await studio.write('Notes.txt', 'y').then(() => '', e => e.message)]);
    await second.close();
    check(secondReadOnly && secondRefused.includes('another tab') && secondSees === 'from the first tab\n' &&
          taken[0] && taken[1] === 'last word of the first tab\n' &&
          firstNow[0] && firstNow[1] === 'from the second tab\n' && firstNow[2].includes('another tab'),
          'a second tab is read-only and follows the first; "Edit here instead" takes the project ' +
          'with the first tab\'s last write, and the first follows it read-only');

    await workerGroup(page, figures);

    check(consoleErrors.length === 0, 'no page errors' + (consoleErrors.length ? ': ' + consoleErrors.join('; ') : ''));
    check([...hosts].every(h => h === `127.0.0.1:${port}`), 'everything from the one folder served: ' + [...hosts].join(', '));
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(tmp, { recursive: true, force: true });
  }
  console.log(JSON.stringify(figures));
  finish();
}

main().catch(e => { console.error(e); process.exit(1); });
