// The studio's checker (the tools module, WebAssembly under node) on a content folder in its
// memory file system: the median time of RUNS checks after as many to warm up, in ms.
//
//   node bench/tools_check.js STARLANE_TOOLS_JS DATA_DIR [RUNS]
'use strict';
const fs = require('fs');
const path = require('path');

const [toolsJs, data, runs = '21'] = process.argv.slice(2);

function copyIn(FS, from, to) {
  FS.mkdir(to);
  for (const name of fs.readdirSync(from)) {
    const source = path.join(from, name);
    if (fs.statSync(source).isDirectory()) copyIn(FS, source, to + '/' + name);
    else FS.writeFile(to + '/' + name, fs.readFileSync(source));
  }
}

(async () => {
  const tools = await require(path.resolve(toolsJs))(
    { wasmBinary: fs.readFileSync(toolsJs.replace(/\.js$/, '.wasm')) });
  copyIn(tools.FS, data, '/content');
  tools.FS.chdir('/content');
  const times = [];
  for (let i = 0; i < 2 * Number(runs); i++) {
    const t0 = performance.now();
    const report = JSON.parse(tools.ccall('studioCheck', 'string', ['string'], ['.']));
    if (i >= Number(runs)) times.push(performance.now() - t0);
    if (!report.entered) throw new Error('the folder was not checked');
  }
  times.sort((a, b) => a - b);
  console.log(times[times.length >> 1].toFixed(1));
})();
