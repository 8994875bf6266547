// The studio's tools module under node against the native checker, byte for byte (the check and
// the listing): every broken
// folder of the agreement table (kept by test_agreement with STARLANE_AGREEMENT_KEEP) and the
// shipped content, each copied into the module's memory file system and checked there.
//
//   node tests/web/tools_node.js STARLANE_TOOLS_JS STARLANE_CHECK FOLDER...
'use strict';
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');

const [toolsJs, checkArg, ...folders] = process.argv.slice(2);
const nativeCheck = path.resolve(checkArg);

// The folder into /work/NAME of the module's file system, links kept as links.
function copyIn(FS, from, to) {
  FS.mkdir(to);
  for (const name of fs.readdirSync(from)) {
    const source = path.join(from, name), target = to + '/' + name;
    const stat = fs.lstatSync(source);
    if (stat.isSymbolicLink()) FS.symlink(fs.readlinkSync(source), target);
    else if (stat.isDirectory()) copyIn(FS, source, target);
    else FS.writeFile(target, fs.readFileSync(source));
  }
}

function removeTree(FS, dir) {
  for (const name of FS.readdir(dir)) {
    if (name === '.' || name === '..') continue;
    const p = dir + '/' + name;
    const node = FS.lstat(p);
    if (FS.isDir(node.mode)) { removeTree(FS, p); FS.rmdir(p); } else FS.unlink(p);
  }
}

async function main() {
  // Node's fetch takes no file paths: the wasm is handed over as bytes.
  let printed = [];
  const tools = await require(path.resolve(toolsJs))({
    wasmBinary: fs.readFileSync(toolsJs.replace(/\.js$/, '.wasm')),
    print: line => printed.push(line), printErr: () => {},
  });
  tools.FS.mkdir('/work');
  tools.FS.chdir('/work');
  let passed = 0, failed = 0;
  for (const folder of folders) {
    const name = path.basename(folder);
    const native = spawnSync(nativeCheck, [name], { cwd: path.dirname(path.resolve(folder)) });
    copyIn(tools.FS, folder, '/work/' + name);
    const wasm = JSON.parse(tools.ccall('studioCheck', 'string', ['string'], [name]));
    // The listing too: the same lines on standard output and the same verdict.
    const nativeList = spawnSync(nativeCheck, ['--list', name], { cwd: path.dirname(path.resolve(folder)) });
    printed = [];
    const listed = tools.ccall('studioList', 'number', ['string'], [name]);
    const listSame = printed.map(l => l + '\n').join('') === nativeList.stdout.toString() &&
                     (listed === 1) === (nativeList.status === 0);
    removeTree(tools.FS, '/work/' + name);
    tools.FS.rmdir('/work/' + name);
    const expected = native.stdout.toString();
    const got = wasm.lines.map(l => l + '\n').join('');
    if (got === expected && (native.status === 0) === (wasm.lines.length === 0) && listSame) {
      passed++;
      console.log(`ok   ${folder}: ${wasm.lines.length} line(s) and the listing as native`);
    } else {
      failed++;
      console.log(`FAIL ${folder}\n  native:\n${expected}\n  wasm:\n${got}\n  listing the same: ${listSame}`);
    }
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}
main().catch(e => { console.error(e); process.exit(1); });
