// Links in headless Chromium, as a modder and a player would pass them on, each opened in a
// fresh profile: a mod made in the studio (an enemy changed, one added with its own 32 x 32
// sheet) shared as a link plays on the game page with its files byte for byte, and opens in a
// studio that was working on another folder only when asked, that folder offered as a zip; a
// scripted game shared as a link plays back to the figures of the web replay tool, at 4x, with
// its keys shown; taken over, the new game's recording replays to the figures the page showed;
// every bad link of a table gets its message and plays nothing.
//
//   node tests/web/links.js SITE_DIR BUILD_DIR DATA_DIR
// Prints the link sizes as one JSON line.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { check, sleep, launch, finish } = require('./harness.js');
const { serve } = require('../../web/serve.js');
const { deflateSync } = require('../../web/studio/node_modules/fflate');

const [site, build, data] = process.argv.slice(2).map(p => path.resolve(p));
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'starlane-links-'));
const replayJs = path.join(site, 'cmake/starlane-replay.js');

// The web replay tool (the browser's C library draws the browser's random numbers) on a recording.
function replay(text, name, tool = ['node', replayJs]) {
  const file = path.join(tmp, name);
  fs.writeFileSync(file, text);
  fs.rmSync(path.join(tmp, 'content'), { recursive: true, force: true });
  fs.cpSync(data, path.join(tmp, 'content'), { recursive: true });
  const r = spawnSync(tool[0], [...tool.slice(1), '--recording', file, '--data', path.join(tmp, 'content')]);
  const line = r.stdout.toString().split('\n')[0];
  return { status: r.status, figures: line ? JSON.parse(line) : {}, said: r.stderr.toString().trim() };
}

// The members a recording keeps (the --stats line without its timings) compared one by one.
const sameFigures = (page, replayed) => Object.keys(page).length > 5 &&
  Object.entries(page).every(([k, v]) => replayed[k] === v);

// The Hornet: a new enemy over the Dart's description, with a sheet of one 32 x 32 cell.
function hornet() {
  const rows = [];
  for (let y = 0; y < 32; y++) {
    let r = '';
    for (let x = 0; x < 32; x++) {
      const d = Math.abs(x - 15.5) + Math.abs(y - 15.5) * 0.8;
      r += d > 15 ? '.' : d > 13 ? 'o' : d > 6 ? 'm' : d > 3 ? 'y' : 'Y';
    }
    rows.push(r);
  }
  const read = p => fs.readFileSync(path.join(data, p), 'utf8');
  return {
    'Graphics/Hornet.sheet': 'cell 32 32\nborder 0 0\ngrid 1 1\n\nlegend . 0 clear\nlegend o gold+4 outline\n' +
      'legend m gold+9 hull\nlegend y rose+9 eye\nlegend Y white glint\n\nat 0 0 the hornet\n' + rows.join('\n') + '\n',
    'Graphics/Hornet.txt': 'Graphics/Hornet.bmp  sprite sheet\n32 32 8 0  frame\n2 2 30 30  bounding box\n4  animated\n0  type\n' +
      'f 0 0 0 0\nf 1 0 0 0\nf 2 0 0 0\nf 3 0 0 0\na 0 0 2 1\n3\ne\n',
    'Enemies/Hornet.txt': read('Enemies/Dart.txt').replace(/^2 /, '11 ').replace(/\n1 /, '\n4 '),
    'Enemies/MasterEnemies.txt': read('Enemies/MasterEnemies.txt').replace(/^4 /, '5 ') + 'Enemies/Hornet.txt 4 Hornet\n',
    'Graphics/MasterGraphics.txt': read('Graphics/MasterGraphics.txt').replace(/^11 /, '12 ') + 'Graphics/Hornet.txt 11 Hornet\n',
    'DeploymentOrders/DeploymentOrder1.dpo': read('DeploymentOrders/DeploymentOrder1.dpo').replace(/^o 0 3 /, 'o 4 3 '),
    'Enemies/Dart.txt': read('Enemies/Dart.txt').replace('\n4 1 ', '\n5 1 '),   // a faster Dart
  };
}

// A link written by hand from the format in docs/modding.md, to make the bad ones.
function varint(n) {
  const out = [];
  do { out.push((n % 128) | (n >= 128 ? 128 : 0)); n = Math.floor(n / 128); } while (n > 0);
  return out;
}
function rawLink(about, records, claim) {
  const bytes = Buffer.concat(records.map(([tag, name, body]) => Buffer.concat([
    Buffer.from([tag.charCodeAt(0), ...varint(Buffer.byteLength(name))]), Buffer.from(name),
    Buffer.from(varint(body.length)), Buffer.from(body)])));
  const packed = deflateSync(bytes, { level: 9 });
  const size = claim === undefined ? bytes.length : claim;
  return `s1.${about.digest}.${about.version}.` + Buffer.concat([Buffer.from(varint(size)), packed]).toString('base64url');
}

async function main() {
  let server;
  const port = await new Promise(resolve => { server = serve(site, 0, (s, p) => resolve(p)); });
  const origin = `http://127.0.0.1:${port}/`;
  const browser = await launch(1100, 800);
  const about = JSON.parse(fs.readFileSync(path.join(site, 'links-content.json'), 'utf8'));
  const figures = {};
  const errors = [];
  // A page in a profile of its own.
  const fresh = async () => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    page.on('pageerror', e => errors.push(String(e)));
    page.on('dialog', d => { page.asked = (page.asked || []).concat(d.message()); d.accept(); });
    return page;
  };
  const studioReady = page => page.waitForFunction(() => document.body.dataset.ready === '1', { timeout: 30000 });
  const playing = (page, n) => page.waitForFunction(k => window.Module && Module.calledRun && Module._webPresentCount &&
    Module._webPresentCount() > k, { timeout: 30000 }, n);
  // A page's game started; a start that never shows its first frame (a browser hiccup seen on
  // loaded machines) is said and the page loaded once more.
  const start = async (page, url) => {
    await page.goto(url, { waitUntil: 'load' });
    await playing(page, 0).catch(async () => {
      console.log('note: no first frame in 30 s; loading the page again');
      await page.reload({ waitUntil: 'load' });
      await playing(page, 0);
    });
  };
  const ended = (page, timeout) => page.waitForFunction(() => document.body.dataset.state === 'ended', { timeout });
  const fsFile = (page, p) => page.evaluate(p => Array.from(Module.FS.readFile('/game/' + p)), p).then(Buffer.from);
  try {
    // ---- the mod: made in the studio, shared
    const modder = await fresh();
    await modder.goto(origin + 'studio.html', { waitUntil: 'load' });
    await studioReady(modder);
    const mod = hornet();
    for (const [p, text] of Object.entries(mod)) await modder.evaluate((p, t) => studio.write(p, t), p, text);
    const modLink = await modder.evaluate(() => studio.shareLink());
    const problems = await modder.evaluate(() => studio.problems());
    const bmp = Buffer.from(await modder.evaluate(() => Array.from(studio.read('Graphics/Hornet.bmp'))));
    figures.mod_link_chars = modLink.length;
    check(problems.length === 0 && modLink.startsWith(origin + 'index.html#s1.') && modLink.length < 4000 &&
          bmp.length > 1024, `the modded folder checks clean, and its link is ${modLink.length} characters ` +
          `(goal < 4000), its 32 x 32 Hornet.bmp built (${bmp.length} bytes)`);

    // ... played on the game page of another profile: the mod's files, byte for byte
    const player = await fresh();
    await start(player, modLink);
    await playing(player, 200);
    let same = bmp.equals(await fsFile(player, 'Graphics/Hornet.bmp'));
    for (const [p, text] of Object.entries(mod)) same = same && (await fsFile(player, p)).equals(Buffer.from(text));
    const line = await player.$eval('#link-line', e => ({ text: e.textContent, studio: e.querySelector('a').href }));
    await player.screenshot({ path: path.join(tmp, 'mod.png') });
    check(same && /^Playing a mod: 8 files added or changed\./.test(line.text) &&
          line.studio === modLink.replace('index.html#', 'studio.html#') &&
          await player.evaluate(() => document.body.dataset.state) === 'running',
          `the mod plays on the game page with its ${Object.keys(mod).length + 1} files byte for byte: "${line.text}"`);

    // ... and a game of the mod shares as a link with the mod in it: its playback has the mod's files
    await player.keyboard.press('Escape');
    await ended(player, 10000);
    const modGame = await player.evaluate(() => starlane.shareLink());
    const modWatcher = await fresh();
    await start(modWatcher, modGame);
    await ended(modWatcher, 30000);
    const modPlayed = await player.evaluate(() => starlane.figures());
    check(bmp.equals(await fsFile(modWatcher, 'Graphics/Hornet.bmp')) &&
          sameFigures(modPlayed, await modWatcher.evaluate(() => starlane.figures())) &&
          await modWatcher.$eval('#link-line a', a => a.href) === modGame.replace('index.html#', 'studio.html#'),
          `a game played on the mod shares as a link of ${modGame.length} characters, which plays back on the mod`);

    // ... and a mod too large for a link is refused, with the zip offered
    await modder.evaluate(() => {
      const noise = new Uint8Array(80000);
      let x = 2463534242;
      for (let i = 0; i < noise.length; i++) { x ^= x << 13; x ^= x >>> 17; x ^= x << 5; noise[i] = x & 255; }
      return studio.write('Graphics/Noise.bin', noise);
    });
    const tooLong = await modder.evaluate(() => studio.shareLink().then(() => '', e => e.message));
    check(/more than the 64000 a link may have: download the content \(\.zip\) instead/.test(tooLong),
          `a mod past 64,000 characters makes no link: "${tooLong}"`);

    // ... opened in a studio working on a project of its own: the mod is a project of its own,
    // and the work is kept, one choice away in the list of projects
    const other = await fresh();
    await other.goto(origin + 'studio.html', { waitUntil: 'load' });
    await studioReady(other);
    await other.evaluate(() => studio.write('Enemies/Mine.txt', 'my own work\n'));
    const mine = await other.evaluate(() => studio.projects().then(p => p[0]));
    await other.goto('about:blank');
    await other.goto(line.studio, { waitUntil: 'load' });
    await studioReady(other);
    const opened = await other.evaluate(() => studio.files().map(p => [p, studio.read(p)]));
    const openedMap = new Map(opened.map(([p, b]) => [p, typeof b === 'string' ? Buffer.from(b) : Buffer.from(Object.values(b))]));
    const projects = await other.evaluate(() => studio.projects());
    await other.evaluate(name => studio.openProject(name), mine);
    const kept = await other.evaluate(() => studio.read('Enemies/Mine.txt'));
    check(!(other.asked || []).length && Object.entries(mod).every(([p, t]) => openedMap.get(p).equals(Buffer.from(t))) &&
          !openedMap.has('Enemies/Mine.txt') && projects.length === 2 && projects[1] === mine &&
          kept === 'my own work\n' && await other.url() === origin + 'studio.html',
          `the link in a studio with work of its own opens as a project of its own (${projects.join(', ')}), ` +
          `and ${mine} is kept as it was`);

    // ---- a game: played by script, shared
    const gamer = await fresh();
    await start(gamer, origin + 'index.html');
    await playing(gamer, 5);
    await gamer.keyboard.down('Space');
    for (const key of ['KeyD', 'KeyA', 'KeyD', 'KeyW', 'KeyA', 'KeyS', 'KeyD', 'KeyA', 'KeyD', 'KeyA',
                       'KeyD', 'KeyA', 'KeyD', 'KeyA', 'KeyD', 'KeyA', 'KeyD', 'KeyA']) {
      await gamer.keyboard.down(key);
      await sleep(600);
      await gamer.keyboard.up(key);
    }
    await gamer.keyboard.up('Space');
    await gamer.keyboard.press('Escape');
    await ended(gamer, 10000);
    const played = await gamer.evaluate(() => starlane.figures());
    await gamer.click('#share-game');
    await gamer.waitForSelector('#share-box input', { timeout: 5000 });
    const gameLink = await gamer.$eval('#share-box input', e => e.value);
    const recording = Buffer.from(await fsFile(gamer, 'starlane.rec')).toString();
    const native = replay(recording, 'played.rec');
    figures.game_link_chars = gameLink.length;
    // For the record: Linux's replay tool draws glibc's random numbers, not the browser's.
    figures.linux_replay_of_browser_game = replay(recording, 'linux.rec', [path.join(build, 'starlane-replay')]).said;
    check(native.status === 0 && sameFigures(played, native.figures) && gameLink.startsWith(origin + 'index.html#s1.'),
          `a scripted game of ${played.frames} frames: "Share this game" gives a link of ${gameLink.length} characters, ` +
          `and the figures the page gives are the web replay tool's (${native.said})`);

    // ... watched in another profile at 4x: the same figures, its keys shown
    const watcher = await fresh();
    await start(watcher, gameLink);
    await watcher.evaluate(() => [...document.querySelectorAll('#link-line button')].find(b => b.textContent === '4\u00d7').click());
    let keysShown = false;
    const started = Date.now();
    while (!keysShown && Date.now() - started < 10000) {
      keysShown = await watcher.$$eval('#link-line kbd.held', k => k.length > 0);
      await sleep(50);
    }
    await ended(watcher, 60000);
    const watched = await watcher.evaluate(() => starlane.figures());
    const shown = await watcher.$eval('#figures', e => e.textContent).catch(() => '');
    check(keysShown && sameFigures(watched, native.figures) && shown.includes(`enemies destroyed: ${native.figures.enemies_destroyed}`),
          `the link plays back at 4x with its keys shown and ends on the recording's figures ` +
          `(${watched.frames} frames, ${watched.enemies_destroyed} destroyed)`);

    // ... taken over at a frame: the new game holds it all, and replays to what the page showed
    const taker = await fresh();
    await start(taker, gameLink);
    await taker.waitForFunction(() => Module._watchFrame && Module._watchFrame() > 60, { timeout: 30000 });
    const at = await taker.evaluate(() => {
      [...document.querySelectorAll('#link-line button')].find(b => b.textContent === 'Take over').click();
      return document.body.dataset.link === 'taken' && Module._watchFrame();
    });
    await taker.keyboard.down('Space');
    await taker.keyboard.down('KeyA');
    await sleep(700);
    await taker.keyboard.up('KeyA');
    await taker.keyboard.up('Space');
    await taker.keyboard.press('Escape');
    await ended(taker, 30000);
    const takenFigures = await taker.evaluate(() => starlane.figures());
    const taken = Buffer.from(await fsFile(taker, 'starlane.rec')).toString();
    const again = replay(taken, 'taken.rec');
    check(again.status === 0 && sameFigures(takenFigures, again.figures) && taken.split('\n')[0].split(',')[0] ===
          recording.split('\n')[0].split(',')[0],
          `taken over at frame ${at}: the new recording starts as the old (${taken.split('\n')[0]}) and replays ` +
          `to the figures the page showed (${again.said})`);

    // ---- a five-minute game, recorded by the native replay tool (the same recording text): the
    // length of its link
    // Keys that change every 3 to 20 frames, drawn at random: about 5 changes a second.
    const keys = [];
    const combos = ['space', 'a space', 'd space', 'a', 'd', 'w space', 's space', 'w a space', 's d space'];
    let seed = 7;
    const random = n => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
    for (let f = 0; f < 17990;) {
      const length = 3 + random(18);
      keys.push(`${f} ${Math.min(f + length - 1, 17989)} ${combos[random(combos.length)]}`);
      f += length + random(2);
    }
    fs.writeFileSync(path.join(tmp, 'keys.txt'), keys.join('\n') + '\n');
    fs.cpSync(data, path.join(tmp, 'long'), { recursive: true });
    spawnSync(path.join(build, 'starlane-replay'), ['--data', path.join(tmp, 'long'), '--frames', '18000',
              '--keys', path.join(tmp, 'keys.txt')], { env: { ...process.env, STARLANE_RECORD: path.join(tmp, 'long.rec') } });
    const long = fs.readFileSync(path.join(tmp, 'long.rec'), 'utf8');
    const longLink = await watcher.evaluate(async text => {
      Module.FS.writeFile('/game/starlane.rec', text);
      return starlane.shareLink();
    }, long);
    figures.five_minute_game_link_chars = longLink.length;
    figures.five_minute_recording_bytes = long.length;
    check(longLink.length < 16000, `a five-minute game (${long.split('\n').length - 3} ranges, ${long.length} bytes) ` +
          `makes a link of ${longLink.length} characters (goal < 16000)`);

    // ---- bad links: each its message, nothing played
    const valid = gameLink.slice(gameLink.indexOf('#') + 1);
    const bad = [
      ['truncated', valid.slice(0, valid.length >> 1), /cut short or damaged/],
      ['invalid base64', valid.slice(0, -8) + '*!', /characters a link does not have/],
      ['unknown version', valid.replace(/^s1\./, 's7.'), /link format 7, and this page reads format 1/],
      ['other content', valid.replace(about.digest, 'AAAAAAAAAAAA').replace(`.${about.version}.`, '.0.9.'),
       /made for the shipped content of Starlane 0\.9 .*open it on the page of Starlane 0\.9/],
      ['deflate bomb', rawLink(about, [['F', 'palette.pal', Buffer.alloc(64 << 20)]], 1000), /unpacks to more than it says/],
      ['bomb by its claim', rawLink(about, [['F', 'palette.pal', 'x']], 2 ** 40), /unpacks to more than 256 MiB/],
      ['../ name', rawLink(about, [['F', '../Error.txt', 'x']]), /the name "\.\.\/Error\.txt" leaves the folder/],
      ['a file over a folder', rawLink(about, [['F', 'Graphics', 'x']]), /its file "Graphics" does not fit the game's folder/],
      ['markup name', rawLink(about, [['F', 'Enemies/<img src=x onerror=alert(1)>.txt', 'x']]), /holds a character/],
      ['absurd recording header', rawLink(about, [['R', '', '# Starlane recording: start tick 99999999999, 5 frames\n']]),
       /recording is refused: recording watch\.rec:1: the start tick is from 0 to 4294967295/],
    ];
    const said = [];
    for (const [name, fragment, expected] of bad) {
      const page = await fresh();
      const t0 = Date.now();
      await page.goto(`${origin}index.html#${fragment}`, { waitUntil: 'load' });
      await page.waitForFunction(() => document.body.dataset.link === 'refused', { timeout: 20000 }).catch(() => {});
      const got = await page.evaluate(() => ({
        message: document.body.dataset.linkMessage || '', presents: window.Module._webPresentCount ? Module._webPresentCount() : 0,
        markup: document.querySelectorAll('#link-line img, #link-line script').length,
      }));
      const ok = expected.test(got.message) && got.presents === 0 && got.markup === 0;
      said.push(`${ok ? '' : 'FAILED '}${name} (${Date.now() - t0} ms): "${got.message}"`);
      if (!ok) check(false, `bad link "${name}": ${JSON.stringify(got)}`);
      await page.browserContext().close();
    }
    check(said.every(s => !s.startsWith('FAILED')), `${bad.length} bad links, each its line and no game:\n  ${said.join('\n  ')}`);
    check(errors.length === 0, 'no page errors' + (errors.length ? ': ' + errors.join('; ') : ''));
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(tmp, { recursive: true, force: true });
  }
  console.log(JSON.stringify(figures));
  finish();
}

main().catch(e => { console.error(e); process.exit(1); });
