// The service worker: keeps every file of the site (kSiteFiles, above) in one
// cache, named for this build, and answers from it first, so the calculator
// starts and calculates without the network once it has been opened.

// The page a folder's address shows, kept under its own name too.
const kIndexAliases = [['./', 'index.html']];

// A file for the cache, asked of the server past the browser's HTTP cache:
// 'no-cache' makes the browser ask the server every time, so a copy a
// static host allowed it to keep (max-age, or an old Last-Modified) never
// passes for the new release, while a file the browser already holds as it
// is (this visit's page, a file the release left alone) comes back as 304
// without its bytes. Only the site's own answer is kept: same origin, OK,
// not redirected (a captive portal's page is none of these).
async function fetchForCache(name) {
  const response = await fetch(name, { cache: 'no-cache' });
  if (!response.ok || response.redirected || response.type !== 'basic') {
    throw new Error(`${name}: ${response.status}${response.redirected ? ', redirected' : ''}`);
  }
  return response;
}

async function fillCache() {
  const cache = await caches.open(kCacheName);
  try {
    await Promise.all(
      kSiteFiles.map(async (name) => {
        const response = await fetchForCache(name);
        const alias = kIndexAliases.find(([from]) => from === name);
        if (alias) {
          await cache.put(alias[1], response.clone());
        }
        await cache.put(name, response);
      }),
    );
  } catch (error) {
    // Half a release is no release: the pages keep the one they have.
    await caches.delete(kCacheName);
    throw error;
  }
}

self.addEventListener('install', (event) => {
  event.waitUntil(fillCache().then(() => self.skipWaiting()));
});

// Drops the copies of earlier builds and takes over the open pages at once;
// they tell the user that a new version is ready.
self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names
            .filter((name) => name.startsWith('kem-') && name !== kCacheName)
            .map((name) => caches.delete(name)),
        ),
      )
      .then(() => self.clients.claim()),
  );
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) {
    return;
  }
  event.respondWith(
    caches
      .open(kCacheName)
      .then((cache) =>
        cache.match(request, { ignoreSearch: true }).then((cached) => cached ?? fetch(request)),
      ),
  );
});
