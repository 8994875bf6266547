// The local web server under hostile requests, each row a request and its status, the page
// still served after them; and a busy or bad port refused in one line.  (node --test, make web-test)
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const http = require('http');
const path = require('path');
const { spawnSync } = require('child_process');
const { serve, LIST } = require('../../web/serve.js');

// A site as the build leaves it: the page, the CMake tree beside it, a listed link out of it.
const site = fs.mkdtempSync('/tmp/starlane-serve-');
fs.mkdirSync(path.join(site, 'cmake'));
for (const [f, text] of [['index.html', 'starlane'], ['cmake/CMakeCache.txt', ''], [LIST, 'index.html\nleak.txt\n']])
  fs.writeFileSync(path.join(site, f), text);
fs.symlinkSync('/etc/passwd', path.join(site, 'leak.txt'));
test.after(() => fs.rmSync(site, { recursive: true, force: true }));

const request = (port, method, p) => new Promise((resolve, reject) => http.request(
  { host: '127.0.0.1', port, method, path: p }, res => res.setEncoding('utf8').on('data', () => {})
    .on('end', () => resolve(res.statusCode))).on('error', reject).end());

test('bad requests get their status and the server keeps serving', async () => {
  let server;
  const port = await new Promise(resolve => { server = serve(site, 0, (s, p) => resolve(p)); });
  server.unref(); // a failed row must not keep the run alive
  const rows = [['GET', '/%', 400], ['GET', '/%zz', 400], ['GET', '/%00', 400], ['GET', '/index.html%00', 400],
                ['GET', '/cmake/CMakeCache.txt', 404], ['GET', '/../../etc/passwd', 404], ['GET', '/leak.txt', 403],
                ['POST', '/', 405], ['DELETE', '/index.html', 405], ['GET', '/', 200], ['HEAD', '/?v=2', 200]];
  for (const [method, p, status] of rows)
    assert.strictEqual(await request(port, method, p), status, `${method} ${p}`);
  server.close();
});

test('a busy or bad port is refused in one line that says how to pick another', async () => {
  const busy = http.createServer().unref();
  const port = await new Promise(resolve => busy.listen(0, '127.0.0.1', () => resolve(busy.address().port)));
  for (const [arg, code, line] of [[port, 1, `port ${port} is in use`], ['http', 2, 'http is not a port (0 to 65535)']]) {
    const run = spawnSync('node', [path.join(__dirname, '../../web/serve.js'), site, String(arg)], { encoding: 'utf8' });
    assert.deepStrictEqual([run.status, /^serve.js: (.*); pick another with make web-serve WEB_PORT=.*\n$/
      .exec(run.stderr)?.[1]], [code, line], String(arg));
  }
  busy.close();
});
