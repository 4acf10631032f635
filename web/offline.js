// Keeps the page working without a network once it has been opened: every
// file of the page is stored at the first visit; later requests go to the
// network first (so a new build arrives) and fall back to the stored copy.
const kCache = 'munemoji';
const kFiles = [
  './', 'index.html', 'style.css', 'app.js', 'worker.js', 'munemoji-core.js', 'munemoji-core.wasm',
  'vendor/fflate.js', 'pictures/icon.svg',
  ...['fileopen', 'decode1', 'decode2'].flatMap((p) => [`pictures/${p}.svg`, `pictures/${p}-disabled.svg`]),
];

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
