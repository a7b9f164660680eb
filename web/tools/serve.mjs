// A small static server for the site, on 127.0.0.1 only: a service worker
// needs http, and module scripts and WebAssembly need their own content types.
//
// Usage: node web/tools/serve.mjs SITE_DIR [PORT]   (PORT 0 or none: any free port)
import { readFile } from 'node:fs/promises';
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

// Starts serving; resolves to { server, address } once it listens.
export function startServer(siteDir, port = 0) {
  const server = createServer(async (request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405).end();
      return;
    }
    const file = resolvePath(siteDir, request.url);
    try {
      if (!file) {
        throw new Error('outside the site');
      }
      const bytes = await readFile(file);
      response.writeHead(200, {
        'Content-Type': kContentTypes[extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(request.method === 'HEAD' ? undefined : bytes);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
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
    const { address } = await startServer(siteDir, Number(port ?? 0));
    console.log(`KEM Calculator: ${address}  (Ctrl+C stops the server)`);
  } catch (error) {
    console.error(`serve.mjs: cannot listen on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  }
}
