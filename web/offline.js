// Keeps the served page working without a network once it has been opened:
// the page is one file, stored at the first visit; later requests go to the
// network first (so a new build arrives) and fall back to the stored copy.
const kCache = 'munemoji';
const kFiles = ['./', 'index.html', 'munemoji.html'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(fetch(event.request).then((response) => {
    const copy = response.clone();
    if (response.ok) caches.open(kCache).then((cache) => cache.put(event.request, copy));
    return response;
  }).catch(() => caches.match(event.request, { ignoreSearch: true })));
});
