// Serves a folder on 127.0.0.1 with the types a browser wants for the web build
// (application/wasm lets it compile the wasm while it downloads).
//
//   node web/serve.js [DIR] [PORT]      (defaults build-web and 8080; PORT 0 takes a free one)
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.txt': 'text/plain; charset=utf-8',
};

function serve(dir, port, onListening) {
  const root = path.resolve(dir);
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
    const file = path.join(root, url.endsWith('/') ? url + 'index.html' : url);
    if (!file.startsWith(root + path.sep)) {
      res.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, body) => {
      if (error) {
        res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
        return;
      }
      res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                           'Cache-Control': 'no-cache' });
      res.end(body);
    });
  });
  server.listen(port, '127.0.0.1', () => onListening(server, server.address().port));
  return server;
}

module.exports = { serve };

if (require.main === module) {
  const dir = process.argv[2] || 'build-web';
  const port = Number(process.argv[3] || 8080);
  if (!fs.existsSync(path.join(dir, 'index.html'))) {
    console.error(`serve.js: no ${dir}/index.html (make web first)`);
    process.exit(2);
  }
  serve(dir, port, (server, p) => console.log(`Starlane: open http://127.0.0.1:${p}/ (Ctrl+C stops)`));
}
