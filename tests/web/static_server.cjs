// A static server for a folder on 127.0.0.1, as a web host serves a packed magazine; the favicon
// gets no content rather than a 404.
'use strict';
const fs = require('fs'), http = require('http'), path = require('path');

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

function serve(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name === '/favicon.ico') return response.writeHead(204).end();
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
