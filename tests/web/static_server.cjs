// A static server for a folder on 127.0.0.1, as a web host serves a packed magazine: a folder's
// address serves its index.html; what is not there is a 404, /favicon.ico too (the page has its
// own icon and must not ask for one). Files under shared, if given ("/shared/"), may be read by
// pages of other sites.
'use strict';
const fs = require('fs'), http = require('http'), path = require('path');

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

function serve(folder, shared) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, path.normalize(name), name.endsWith('/') ? 'index.html' : '');
    fs.readFile(file, (error, body) => {
      if (error) return response.writeHead(404).end();
      const type = types[path.extname(file)] || 'application/octet-stream';
      const headers = {'Content-Type': type};
      if (shared && name.startsWith(shared)) headers['Access-Control-Allow-Origin'] = '*';
      response.writeHead(200, headers).end(body);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

module.exports = {serve};
