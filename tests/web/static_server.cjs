// A static server for a folder on 127.0.0.1, as a web host serves a packed magazine: what is not
// there is a 404, /favicon.ico too (the page has its own icon and must not ask for one).
'use strict';
const fs = require('fs'), http = require('http'), path = require('path');

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

function serve(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, name === '/' ? 'index.html' : path.normalize(name));
    fs.readFile(file, (error, body) => {
      if (error) return response.writeHead(404).end();
      const type = types[path.extname(file)] || 'application/octet-stream';
      response.writeHead(200, {'Content-Type': type}).end(body);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

module.exports = {serve};
