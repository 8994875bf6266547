// Builds the studio into the web site folder: the page, its script bundled by esbuild from
// src/ and the npm packages of package-lock.json, the tools module's worker, the game's frame, and the shipped content
// as studio-content.zip (what the studio opens with).
//
//   node web/studio/build.js SITE_DIR DATA_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const esbuild = require('esbuild');
const { zipSync } = require('fflate');

const [site, data] = process.argv.slice(2);
const here = __dirname;
// What a played folder holds but is not content.
const LEFT_OUT = /(^|\/)(Error\.txt|starlane\.rec|\.gitattributes)$|\.png$/;

function collect(dir, prefix, out) {
  for (const name of fs.readdirSync(dir).sort()) {
    const full = path.join(dir, name), rel = prefix + name;
    if (fs.statSync(full).isDirectory()) collect(full, rel + '/', out);
    else if (!LEFT_OUT.test(rel)) out[rel] = new Uint8Array(fs.readFileSync(full));
  }
  return out;
}

// The page's script, and the worker the tools module runs in (src/toolsworker.js).
for (const [entry, out] of [['main.js', 'studio.js'], ['toolsworker.js', 'studio-tools-worker.js']])
  esbuild.buildSync({
    entryPoints: [path.join(here, 'src', entry)], bundle: true, minify: true, format: 'iife',
    target: 'es2020', outfile: path.join(site, out), logLevel: 'warning',
  });
for (const f of ['studio.html', 'play.html', 'play.js']) fs.copyFileSync(path.join(here, f), path.join(site, f));
fs.writeFileSync(path.join(site, 'studio-content.zip'), zipSync(collect(data, '', {}), { level: 9, mtime: '2000-01-01' }));
