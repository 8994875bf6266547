// What the browser tests share: the tally of checks, a pause, and the headless Chromium they
// drive (CHROMIUM names another one).
'use strict';
const puppeteer = require('puppeteer-core');

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const failures = [];
let passed = 0;

function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (ok) passed++;
  else failures.push(what);
}

const sleep = ms => new Promise(r => setTimeout(r, ms));

// Chromium's own calls home: on a machine with no network they fail, many at a time, and
// have been seen to hold up a page's start.
const QUIET = ['--disable-background-networking', '--disable-component-update', '--disable-sync',
               '--no-first-run', '--disable-quic'];

// A headless Chromium with a window and page of width x height, and `args` besides.
function launch(width, height, args = []) {
  return puppeteer.launch({
    executablePath: CHROMIUM, headless: true,
    args: ['--no-sandbox', ...QUIET, ...args, `--window-size=${width},${height}`],
    defaultViewport: { width, height },
  });
}

// The tally, and the exit code it makes.
function finish() {
  console.log(`${passed} passed, ${failures.length} failed`);
  process.exit(failures.length ? 1 : 0);
}

module.exports = { check, sleep, launch, finish };
