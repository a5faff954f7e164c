// The site's service worker: it keeps every file of one build in a cache of
// its own, named after the build, and answers from it, so the site starts
// without a network once it has been opened. A new build is a new worker: it
// takes over once all its files are kept, and removes the caches of the
// builds before it (only this site's: others on the same origin are theirs).
// A picture shared to the installed site (its manifest's share_target) is
// taken here, offline too, and kept for the page it opens, which takes it.
"use strict";
const SITE = "kadrimo " + self.registration.scope + " ";
const CACHE = SITE + "@BUILD@";
const FILES = ["@FILES@"];
const SHARED = "@SHARED@" + self.registration.scope;
const SHARE = new URL("share", self.registration.scope).href;

self.addEventListener("install", (event) => {
  // Past the browser's HTTP cache, so the files are this build's, all of them.
  const requests = FILES.map((file) => new Request(file, { cache: "reload" }));
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(requests))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith(SITE) && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

async function take_shared(request) {
  const picture = (await request.formData()).get("picture");
  if (picture instanceof File) {
    await (await caches.open(SHARED)).put("picture", new Response(picture, {
      headers: { "Content-Type": picture.type, "X-Name": encodeURIComponent(picture.name) },
    }));
  }
  return Response.redirect(new URL("./?shared", self.registration.scope).href, 303);
}

self.addEventListener("fetch", (event) => {
  if (event.request.method === "POST" && event.request.url === SHARE) {
    event.respondWith(take_shared(event.request));
    return;
  }
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
