// The page kept for offline play: the service worker (service-worker.js,
// written by the build) is registered once the first page shows, and each
// game the reader plays from the site is kept with the archive as fetched.

const KEPT_CACHE = 'vorn-kept'; // the service worker's name for it

// Browsers give service workers only to pages served over https or from this
// computer; elsewhere the page plays as before, online only.
const usable = () => 'serviceWorker' in (globalThis.navigator ?? {}) && globalThis.isSecureContext === true
  && 'caches' in globalThis;

export function keepPageOffline() {
  if (!usable()) return;
  navigator.serviceWorker.register('service-worker.js').catch((error) => {
    console.warn('the page cannot be kept for offline play:', error);
  });
}

// Keeps what the page fetched from `url`, as the browser fetched it (from its
// HTTP cache, not downloaded again where it can). The service worker keeps
// what it fetches itself; this is for the first visit, before it runs.
async function keep(url) {
  try {
    const cache = await caches.open(KEPT_CACHE);
    if (!(await cache.match(url))) await cache.add(new Request(url, { cache: 'force-cache' }));
  } catch (error) {
    console.warn(`"${url}" is not kept for offline play:`, error);
  }
}

// Keeps `url` now: fetched once more if the browser no longer holds it.
export function keepNow(url) {
  if (usable()) keep(new URL(url, location.href).href);
}

// Keeps `url` once the page has fetched it (at once if it has): a game's
// archive, or the soundfont, which the music fetches when it first plays.
export function keepWhenFetched(url) {
  if (!usable()) return;
  const href = new URL(url, location.href).href;
  if (performance.getEntriesByName(href, 'resource').length > 0) {
    keep(href);
    return;
  }
  const observer = new PerformanceObserver((list) => {
    if (!list.getEntries().some((entry) => entry.name === href)) return;
    observer.disconnect();
    keep(href);
  });
  observer.observe({ type: 'resource' });
}

// Whether the archive at `url` is kept for play without a network.
export async function isKept(url) {
  if (!usable()) return false;
  try {
    return !!(await caches.match(new URL(url, location.href).href, { cacheName: KEPT_CACHE }));
  } catch {
    return false;
  }
}
