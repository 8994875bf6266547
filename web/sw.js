// The service worker: the first visit caches every file of the site, so that the next one
// plays without the network. The build writes the release's name (the version and a hash of
// the files) and the list of files in place of the two marks below; a new name means a new
// release, whose cache replaces the old one when it takes over.
'use strict';
const RELEASE = '@RELEASE@';
const FILES = ['@FILES@'];

// Each build's caches are named by its scope, the folder it is served from, so that two
// builds on one host (a game in /game/ and a mod in /mod/) keep an offline copy each.
const SCOPE = new URL(self.registration.scope).pathname;
const OURS = `starlane ${SCOPE} `;
const CACHE = OURS + RELEASE;

// Every file fetched anew from the host, past the browser's HTTP cache: a host that lets
// files be cached for a while would otherwise hand the new release the old release's files.
self.addEventListener('install', e => {
  e.waitUntil(caches.open(CACHE)
    .then(c => c.addAll(FILES.map(f => new Request(f, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

// This build's older caches go; so does one named before caches had a scope, if it holds
// this scope's page. Another build's caches stay.
self.addEventListener('activate', e => {
  e.waitUntil(caches.keys()
    .then(keys => Promise.all(keys.map(async k => {
      const older = k.startsWith(OURS) && k !== CACHE;
      const unscoped = k.startsWith('starlane-') &&
                       await (await caches.open(k)).match(self.registration.scope) !== undefined;
      if (older || unscoped) await caches.delete(k);
    })))
    .then(() => self.clients.claim()));
});

// The cache first, the network for anything it does not hold.
self.addEventListener('fetch', e => {
  if (e.request.method !== 'GET') return;
  e.respondWith(caches.open(CACHE)
    .then(c => c.match(e.request, { ignoreSearch: true }))
    .then(hit => hit || fetch(e.request)));
});
