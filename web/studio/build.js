// Builds the studio into the web site folder: the page, its script bundled by esbuild from
// src/ and the npm packages of package-lock.json, the tools module's worker, the game's frame,
// and the shipped content as studio-content.zip (what the studio opens with); and the game
// page's links (links.js, from web/links/) with links-content.json, the digest of that same
// content and its version.
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

// The page's script, the worker the tools module runs in (src/toolsworker.js), and the game
// page's links; web/links/ finds its packages here too.
const bundle = (entry, out) => esbuild.buildSync({
  entryPoints: [entry], bundle: true, minify: true, format: 'iife', target: 'es2020',
  outfile: path.join(site, out), logLevel: 'warning', nodePaths: [path.join(here, 'node_modules')],
});
bundle(path.join(here, 'src/main.js'), 'studio.js');
bundle(path.join(here, 'src/toolsworker.js'), 'studio-tools-worker.js');
bundle(path.join(here, '../links/game.js'), 'links.js');
for (const f of ['studio.html', 'play.html', 'play.js']) fs.copyFileSync(path.join(here, f), path.join(site, f));
const content = collect(data, '', {});
fs.writeFileSync(path.join(site, 'studio-content.zip'), zipSync(content, { level: 9, mtime: '2000-01-01' }));
// The digest through the links' own code, bundled for node.
const codec = esbuild.buildSync({
  entryPoints: [path.join(here, '../links/codec.js')], bundle: true, format: 'cjs', platform: 'node',
  write: false, nodePaths: [path.join(here, 'node_modules')],
}).outputFiles[0].text;
const codecModule = { exports: {} };
new Function('module', 'exports', 'require', codec)(codecModule, codecModule.exports, require);
const version = /STARLANE_VERSION_TEXT "([^"]*)"/.exec(
  fs.readFileSync(path.join(here, '../../shell/resource.h'), 'utf8'))[1];
fs.writeFileSync(path.join(site, 'links-content.json'), JSON.stringify({
  digest: codecModule.exports.contentDigest(Object.entries(content)), version }) + '\n');
