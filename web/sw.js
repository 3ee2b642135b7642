// sw.js — keeps the page's files so the game starts with no network. The
// cache is named by the release, and scripts/build-web.sh writes in here the
// SHA-256 of each of the release's files. A new release fetches its files
// past the browser's HTTP cache (a host that sends no Cache-Control lets an
// old index.js pass for fresh) and keeps them only when every one is the
// release's own, so the cache never pairs files of two releases (an old file
// still cached on the way, a host half way through an upload); otherwise the
// old release's cache stays in use and the next visit tries again.
// The player's files are in IndexedDB, which this never touches.
const CACHE = 'wenhod-@RELEASE@';
const FILES = @FILES@;  // name -> SHA-256 of its bytes

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), b => b.toString(16).padStart(2, '0')).join('');
}

// Each file as the network has it now, checked against its digest.
async function fetchChecked(name) {
  const response = await fetch(new Request(name, {cache: 'reload'}));
  if (!response.ok) throw new Error(`${name}: ${response.status}`);
  const digest = hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
  if (digest !== FILES[name]) throw new Error(`${name} is not this release's`);
  return response;
}

self.addEventListener('install', event => {
  event.waitUntil((async () => {
    const names = Object.keys(FILES);
    const responses = await Promise.all(names.map(fetchChecked));
    const cache = await caches.open(CACHE);
    await Promise.all(names.map((name, i) => cache.put(name, responses[i])));
    await self.skipWaiting();
  })());
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
