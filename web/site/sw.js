// The service worker: keeps every file of the site (kSiteFiles, above) in one
// cache, named for this build, and answers from it first, so the calculator
// starts and calculates without the network once it has been opened.

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(kCacheName)
      .then((cache) => cache.addAll(kSiteFiles))
      .then(() => self.skipWaiting()),
  );
});

// Drops the copies of earlier builds and takes over the open pages at once.
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
