// The lesson's service worker, for the site only: after one visit the lesson opens and
// works with no network, from this cache, named after the build whose files it keeps
// and the folder it serves (two copies of the lesson on one host keep their own). A
// new build on the server brings a new worker with a new cache; it takes over at once,
// drops the old cache of its folder, and the next load shows the new lesson.
'use strict';
const SCOPE = self.registration.scope;
const CACHE = `parallel-lines-%BUILD% ${SCOPE}`;
const FILES = [/* the build's files */];

self.addEventListener('install', event => {
  event.waitUntil(caches.open(CACHE)
    .then(cache => cache.addAll(FILES.map(f => new Request(f, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(keys => Promise.all(keys.filter(k => k !== CACHE && k.startsWith('parallel-lines-') &&
                                               // this folder's, or one named before folders were
                                               (k.endsWith(` ${SCOPE}`) || !k.includes(' ')))
                                  .map(k => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// The site's own files from the cache, at once; anything else it has not kept, from
// the network as usual. Nothing is ever asked of another site.
self.addEventListener('fetch', event => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE)
    .then(cache => cache.match(event.request, { ignoreSearch: true }))
    .then(hit => hit || fetch(event.request)));
});
