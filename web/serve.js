// Serves the web build's site on 127.0.0.1 with the types a browser wants (application/wasm
// lets it compile the wasm while it downloads). Only the files of the page are served, the
// ones the build lists in site-files.txt (the release's web zip holds the same): never the
// CMake tree beside them, nothing outside the folder, nothing but GET and HEAD.
//
//   node web/serve.js [DIR] [PORT]      (defaults build-web and 8080; PORT 0 takes a free one)
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.txt': 'text/plain; charset=utf-8',
  '.css': 'text/css', '.png': 'image/png', '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
};

const LIST = 'site-files.txt'; // written by the build: one site file a line, relative to DIR

// The site's files, read again for each request so that a rebuild shows at once.
function siteFiles(root) {
  try {
    return new Set(fs.readFileSync(path.join(root, LIST), 'utf8').split('\n').filter(Boolean));
  } catch (e) {
    return new Set();
  }
}

// The site file a request path names, or an HTTP status: 400 for a path that cannot be
// decoded or holds a NUL, 404 for one that is not a file of the page.
function fileFor(urlPath, files) {
  let name;
  try {
    name = decodeURIComponent(urlPath.split(/[?#]/)[0]);
  } catch (e) {
    return 400;
  }
  if (!name.startsWith('/') || name.includes('\0'))
    return 400;
  if (name.endsWith('/'))
    name += 'index.html';
  name = path.posix.normalize(name).slice(1);
  return files.has(name) ? name : 404;
}

// `cacheControl` is the Cache-Control of every answer: no-cache unless a test plays a host
// that lets files be cached.
function serve(dir, port, onListening, cacheControl = 'no-cache') {
  const root = fs.realpathSync(dir);
  const server = http.createServer((req, res) => {
    const fail = (status) => res.writeHead(status, { 'Content-Type': 'text/plain' })
                                .end(req.method === 'HEAD' ? undefined : http.STATUS_CODES[status] + '\n');
    if (req.method !== 'GET' && req.method !== 'HEAD') {
      res.setHeader('Allow', 'GET, HEAD');
      fail(405);
      return;
    }
    const name = fileFor(req.url, siteFiles(root));
    if (typeof name === 'number') {
      fail(name);
      return;
    }
    // A listed name may still be a link that leads out of the folder.
    fs.realpath(path.join(root, name), (error, file) => {
      if (error || !file.startsWith(root + path.sep)) {
        fail(error ? 404 : 403);
        return;
      }
      fs.readFile(file, (readError, body) => {
        if (readError) {
          fail(404);
          return;
        }
        res.writeHead(200, { 'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream',
                             'Content-Length': body.length, 'Cache-Control': cacheControl });
        res.end(req.method === 'HEAD' ? undefined : body);
      });
    });
  });
  server.listen(port, '127.0.0.1', () => onListening(server, server.address().port));
  return server;
}

module.exports = { serve, LIST };

if (require.main === module) {
  const dir = process.argv[2] || 'build-web';
  const text = process.argv[3] || '8080';
  const port = Number(text);
  const another = 'pick another with make web-serve WEB_PORT=... (or node web/serve.js DIR PORT)';
  if (!fs.existsSync(path.join(dir, LIST))) {
    console.error(`serve.js: no ${dir}/${LIST} (make web first)`);
    process.exit(2);
  }
  if (!/^\d+$/.test(text) || port > 65535) {
    console.error(`serve.js: ${text} is not a port (0 to 65535); ${another}`);
    process.exit(2);
  }
  const server = serve(dir, port, (s, p) => console.log(`Starlane: open http://127.0.0.1:${p}/ (Ctrl+C stops)`));
  server.on('error', (e) => {
    const why = e.code === 'EADDRINUSE' ? 'is in use' : e.code === 'EACCES' ? 'is not open to this user'
                                                                          : `cannot be used (${e.code})`;
    console.error(`serve.js: port ${port} ${why}; ${another}`);
    process.exit(1);
  });
}
