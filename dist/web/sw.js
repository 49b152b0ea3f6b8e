// Keeps the page, the program and its picture for a visit with no network:
// the network first, so a new build reaches the viewer at once; what was
// kept when the network fails.
'use strict';
const kCache = 'zelk-tunnel-1';
const kFiles = ['./', 'index.html', 'tunnel.js', 'tunnel.wasm', 'Demo.jpg', 'zelk-tunnel.png',
                'zelk-tunnel-256.png', 'manifest.webmanifest'];

self.addEventListener('install', (event) => {
  // One file missing (a site without its picture) keeps the others.
  event.waitUntil(caches.open(kCache).then((cache) => Promise.all(kFiles.map(
      (file) => fetch(file).then((response) => response.ok && cache.put(file, response))
                           .catch(() => {})))));
  self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
      .then((names) => Promise.all(names.filter((name) => name !== kCache)
                                        .map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    try {
      const response = await fetch(request);
      if (response.ok) await cache.put(request.url.split('?')[0], response.clone());
      return response;
    } catch (error) {
      const kept = await cache.match(request, {ignoreSearch: true});
      if (kept) return kept;
      throw error;
    }
  })());
});
