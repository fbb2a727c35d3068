// Serves a folder as a static web site does, for the page benchmarks: every
// file read from disk when asked for, with its type and length, connections
// kept open between requests (HTTP/1.1), as any production web server or CDN
// serves a site. Python's own http.server, which the page's tests use, answers
// one request a connection with Python in the way: on a small machine the
// player's page, which asks for its scripts, its player and the game at once,
// waited some 50 ms for files the floor page, asking for one, did not.
//
// Usage: node static_site.mjs FOLDER PORT
import fs from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';

const [folder, port] = process.argv.slice(2);
const root = path.resolve(folder);
const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
  '.json': 'application/json', '.webmanifest': 'application/manifest+json', '.wasm': 'application/wasm',
  '.png': 'image/png', '.bmp': 'image/bmp', '.zip': 'application/zip', '.sf2': 'application/octet-stream',
};

http.createServer(async (request, response) => {
  const wanted = path.join(root, decodeURIComponent(new URL(request.url, 'http://site').pathname));
  let body;
  try {
    if (wanted !== root && !wanted.startsWith(root + path.sep)) throw new Error('outside the site');
    body = await fs.readFile(wanted.endsWith(path.sep) ? path.join(wanted, 'index.html') : wanted);
  } catch {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, {
    'Content-Type': types[path.extname(wanted)] ?? 'application/octet-stream',
    'Content-Length': body.length,
  });
  response.end(request.method === 'HEAD' ? undefined : body);
}).listen(Number(port), '127.0.0.1');
