// The web app's service worker: on installation it keeps every file of the
// app, and from then on answers from them first, so that the app opens with
// no network. A new build has a new cache name (the digest of its files and
// of this worker), so the browser installs it anew and the old cache is
// dropped.
var CACHE = 'mervalin-@DIGEST@';
var FILES = @FILES@;

self.addEventListener('install', function(event) {
  event.waitUntil(caches.open(CACHE).then(function(cache) {
    // From the server, never from the browser's HTTP cache: a server that
    // sends no Cache-Control lets the browser keep the last build's files
    // a while without asking.
    return cache.addAll(FILES.map(function(file) {
      return new Request(file, {cache: 'reload'});
    }));
  }).then(function() {
    return self.skipWaiting();
  }));
});

self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(name) {
      return name.startsWith('mervalin-') && name !== CACHE;
    }).map(function(name) {
      return caches.delete(name);
    }));
  }).then(function() {
    return self.clients.claim();
  }));
});

self.addEventListener('fetch', function(event) {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE).then(function(cache) {
    return cache.match(event.request, {ignoreSearch: true}).then(function(kept) {
      return kept || fetch(event.request);
    });
  }));
});
