// A small static server for the site, on 127.0.0.1 only: a service worker
// needs http, and module scripts and WebAssembly need their own content types.
// Each file carries its validators (ETag, Last-Modified), so a browser that
// asks again about a file it holds gets 304 and not the bytes once more.
//
// Usage: node web/tools/serve.mjs SITE_DIR [PORT]   (PORT 0 or none: any free port)
import { readFile, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const kContentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

// The file a request path names inside the site, or null for a path that
// leads out of it.
function resolvePath(siteDir, urlPath) {
  let path;
  try {
    path = decodeURIComponent(urlPath.split('?')[0]);
  } catch {
    return null;
  }
  if (path.endsWith('/')) {
    path += 'index.html';
  }
  // Absolute and without a trailing separator, whatever form the folder was
  // given in ("build/web/" as well as "build/web").
  const root = resolve(siteDir);
  const file = join(root, path);
  return file.startsWith(root + sep) ? file : null;
}

// Whether the request's validators match the file's: it has the file as
// it is now.
function isUnchanged(request, etag, modified) {
  const tags = request.headers['if-none-match'];
  if (tags !== undefined) {
    return tags.split(',').some((tag) => tag.trim() === etag);
  }
  const since = Date.parse(request.headers['if-modified-since'] ?? '');
  return !Number.isNaN(since) && Math.floor(modified / 1000) * 1000 <= since;
}

// Starts serving; resolves to { server, address } once it listens.
// Options: port (0: any free one); cacheControl, the Cache-Control header of
// every file (null: none; 'no-cache' unless given), as a static host may be
// set up; onResponse(path, status), told of every answer.
export function startServer(siteDir, { port = 0, cacheControl = 'no-cache', onResponse } = {}) {
  const server = createServer(async (request, response) => {
    const path = request.url.split('?')[0];
    const answer = (status, headers, body) => {
      onResponse?.(path, status);
      response.writeHead(status, headers).end(request.method === 'HEAD' ? undefined : body);
    };
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      answer(405, {});
      return;
    }
    const file = resolvePath(siteDir, request.url);
    try {
      if (!file) {
        throw new Error('outside the site');
      }
      const { size, mtimeMs } = await stat(file);
      const etag = `"${size.toString(16)}-${Math.floor(mtimeMs).toString(16)}"`;
      const headers = { ETag: etag, 'Last-Modified': new Date(mtimeMs).toUTCString() };
      if (cacheControl !== null) {
        headers['Cache-Control'] = cacheControl;
      }
      if (isUnchanged(request, etag, mtimeMs)) {
        answer(304, headers);
        return;
      }
      const bytes = await readFile(file);
      answer(
        200,
        { ...headers, 'Content-Type': kContentTypes[extname(file)] ?? 'application/octet-stream' },
        bytes,
      );
    } catch {
      answer(404, { 'Content-Type': 'text/plain' }, 'Not found\n');
    }
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      resolve({ server, address: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [siteDir, port] = process.argv.slice(2);
  if (!siteDir) {
    console.error('usage: node web/tools/serve.mjs SITE_DIR [PORT]');
    process.exit(2);
  }
  try {
    const { address } = await startServer(siteDir, { port: Number(port ?? 0) });
    console.log(`KEM Calculator: ${address}  (Ctrl+C stops the server)`);
  } catch (error) {
    console.error(`serve.mjs: cannot listen on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  }
}
