"use strict";
// The site's service worker: it keeps the site's own files, cached as it
// installs, and serves them with or without a network, the page whatever
// its query (?steps-per-second=120 too). Each build has a cache of its own;
// a new build's worker waits until no page of the old one is open, then
// drops the old cache. Requests outside the site's scope and origin go by.
const CACHE = "springlattice-@BUILD@";
const FILES = [@FILES@];
const scope = new URL(self.registration.scope);
const page = new URL("index.html", scope).href;

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((keys) => Promise.all(
    keys.filter((key) => key.startsWith("springlattice-") && key !== CACHE).map((key) => caches.delete(key)))));
});

self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== "GET" || url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  const isPage = url.pathname === scope.pathname || url.href.split(/[?#]/)[0] === page;
  event.respondWith(caches.open(CACHE).then(async (cache) =>
    (await cache.match(isPage ? page : event.request, { ignoreSearch: isPage })) ?? fetch(event.request)));
});
