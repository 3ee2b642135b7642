// sw.js — keeps the page's files so the game starts with no network. The
// cache is named by the release (filled in by scripts/build-web.sh): a new
// release fetches its files into a cache of its own and drops the old ones.
// The player's files are in IndexedDB, which this never touches.
const CACHE = 'wenhod-@RELEASE@';
const FILES = ['./', 'index.html', 'index.js', 'index.wasm', 'index.data', 'favicon.png', 'manifest.webmanifest',
               'icon-192.png', 'icon-512.png'];

self.addEventListener('install', event => {
  event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(n => n.startsWith('wenhod-') && n !== CACHE).map(n => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The release's own copy first; anything else from the network.
self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then(cache => cache.match(event.request, {ignoreSearch: true}))
    .then(hit => hit || fetch(event.request)));
});
