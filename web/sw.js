// The service worker: the first visit caches every file of the site, so that the next one
// plays without the network. The build writes the cache's name (the version and a hash of
// the files) and the list of files in place of the two marks below; a new name means a new
// release, whose cache replaces the old one when it takes over.
'use strict';
const CACHE = '@CACHE@';
const FILES = ['@FILES@'];

self.addEventListener('install', e => {
  e.waitUntil(caches.open(CACHE).then(c => c.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', e => {
  e.waitUntil(caches.keys()
    .then(keys => Promise.all(keys.filter(k => k.startsWith('starlane-') && k !== CACHE)
                                  .map(k => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// The cache first, the network for anything it does not hold.
self.addEventListener('fetch', e => {
  if (e.request.method !== 'GET') return;
  e.respondWith(caches.open(CACHE)
    .then(c => c.match(e.request, { ignoreSearch: true }))
    .then(hit => hit || fetch(e.request)));
});
