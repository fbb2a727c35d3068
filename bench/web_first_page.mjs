// Times, in headless Chromium, how long pages take from navigation start to
// being on screen: the player's page with a game named in its URL (its first
// page set, every picture decoded and drawn, and the next frame painted)
// against the floor (a page that does only the work no first page can skip:
// fetch the zip, inflate and decode the first page's files, draw them), an
// empty canvas of the scene's size, and that canvas once the compiled player
// has started. The pages are loaded in turns, the order rotated from one
// turn to the next, each in a fresh browser context (its own empty cache, as
// a first visit has), so that a busy moment of the machine hits them all.
//
// Before the samples, the floor and the player are held to one another: the
// same pixels on the canvas and the same page text, so that the floor draws
// the first page the player draws.
//
// Prints one line per turn and, at the end, a JSON line with every sample and
// the player's timeline in its median sample, for the shell script.
//
// Usage: node web_first_page.mjs PLAYER_URL FLOOR_URL EMPTY_URL RUNS [PLAYER_CANVAS_URL]
import { createRequire } from 'node:module';

const require = createRequire(new URL('../src/presentation/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const [playerUrl, floorUrl, emptyUrl, runsArg, playerCanvasUrl] = process.argv.slice(2);
const runs = Number(runsArg) || 15;
const pages = { empty: emptyUrl, floor: floorUrl, player: playerUrl };
if (playerCanvasUrl) pages.playerCanvas = playerCanvasUrl;

// playwright starts Chromium with a fresh user data folder of its own, in a
// temporary folder it removes at the end.
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

// Runs in the page before its own scripts: once the page has set its first
// page (the player marks "vorn: first page set" on the performance timeline,
// then goes on to read its saved games while the page shows) or says it is
// ready (the floor and the empty canvases), waits for its pictures to be
// drawn (not for the cursor icon, which no frame shows) and for the next
// frame to be painted (a task queued from an animation frame runs after that
// frame's paint), and notes the time since navigation start.
function watchFirstPage() {
  window.__shownAt = new Promise((resolve) => {
    let seen = false;
    const shown = () => {
      if (seen) return;
      seen = true;
      observer.disconnect();
      marks.disconnect();
      const drawn = window.vornPage.whenDrawn ?? window.vornPage.whenIdle;
      drawn().then(() => requestAnimationFrame(() => setTimeout(() => resolve(performance.now()))));
    };
    const observer = new MutationObserver(() => {
      if (document.body && document.body.dataset.ready === 'true') shown();
    });
    observer.observe(document, { subtree: true, attributes: true, attributeFilter: ['data-ready'] });
    const marks = new PerformanceObserver((list) => {
      if (list.getEntries().some((mark) => mark.name === 'vorn: first page set')) shown();
    });
    marks.observe({ type: 'mark' });
  });
}

// Where the page's time went: each resource's fetch, by name, and the marks
// the page set for itself.
function timeline() {
  const resources = performance.getEntriesByType('resource').map((r) => ({
    name: new URL(r.name).pathname.split('/').pop() || r.name,
    start: r.startTime, firstByte: r.responseStart, end: r.responseEnd, bytes: r.transferSize,
  }));
  const marks = performance.getEntriesByType('mark').map((m) => ({ name: m.name, at: m.startTime }));
  const nav = performance.getEntriesByType('navigation')[0];
  return { resources, marks, domContentLoaded: nav.domContentLoadedEventEnd, load: nav.loadEventEnd };
}

// What the page shows: its canvas (size and a digest of its pixels) and its text.
function shown() {
  const canvas = document.querySelector('canvas');
  const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  let digest = 0;
  for (let i = 0; i < pixels.length; i++) digest = (Math.imul(digest, 31) + pixels[i]) | 0;
  return {
    canvas: [canvas.width, canvas.height], digest,
    text: document.getElementById('Text1')?.textContent ?? null,
  };
}

async function sample(url) {
  const context = await browser.newContext({ viewport: { width: 800, height: 600 } });
  try {
    await context.addInitScript(watchFirstPage);
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    // Files that are missing say why a page never shows, but do not stop one
    // that does (a page without its music plays on).
    const missing = [];
    page.on('response', (response) => {
      if (response.status() >= 400) missing.push(`${response.url()}: ${response.status()}`);
    });
    await page.goto(url, { waitUntil: 'commit' });
    let timer;
    const ms = await Promise.race([
      page.evaluate(() => window.__shownAt),
      new Promise((_, reject) => {
        timer = setTimeout(() => reject(new Error(`${url} was not on screen within 30 s: ${[...errors, ...missing].join('; ')}`)), 30000);
      }),
    ]).finally(() => clearTimeout(timer));
    if (errors.length) throw new Error(`${url}: ${errors.join('; ')}`);
    return { ms, shown: await page.evaluate(shown), timeline: await page.evaluate(timeline) };
  } finally {
    await context.close();
  }
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// The samples; a page that never shows ends the benchmark with the reason.
const names = Object.keys(pages);
const samples = Object.fromEntries(names.map((name) => [name, []]));
try {
  // A first turn, not counted: the browser's own first start of a renderer
  // and of its compilers is no part of any page. It checks what they show.
  const first = {};
  for (const name of names) first[name] = (await sample(pages[name])).shown;
  for (const name of names) {
    if (first[name].canvas.join('x') !== '632x425') throw new Error(`${name}: the canvas is ${first[name].canvas.join('x')}, not the scene at zoom 1`);
  }
  if (!first.player.text) throw new Error('the player shows no first page');
  if (first.floor.text !== first.player.text) {
    throw new Error(`the floor's page text differs from the player's: ${JSON.stringify(first.floor.text)} against ${JSON.stringify(first.player.text)}`);
  }
  if (first.floor.digest !== first.player.digest) throw new Error('the floor draws other pixels than the player');
  console.log('the floor draws the pixels and sets the text the player does');

  for (let i = 0; i < runs; i++) {
    const order = names.map((_, k) => names[(i + k) % names.length]);
    const line = [];
    for (const name of order) {
      const s = await sample(pages[name]);
      samples[name].push(name === 'player' ? s : s.ms);
      line.push(`${name} ${s.ms.toFixed(1)} ms`);
    }
    console.log(`turn ${i + 1}: ${line.join(', ')}`);
  }
} catch (error) {
  await browser.close();
  console.error(`web_first_page: ${error.message}`);
  process.exit(1);
}
await browser.close();

// The player's timeline of its median sample, to see where the time goes.
const players = samples.player;
const playerMs = players.map((s) => s.ms);
const sorted = [...players].sort((a, b) => a.ms - b.ms);
const middle = sorted[(sorted.length - 1) >> 1];
const medians = Object.fromEntries(names.map((name) => [name, median(name === 'player' ? playerMs : samples[name])]));
console.log(JSON.stringify({
  medians, samples: { ...samples, player: playerMs }, timeline: { ms: middle.ms, ...middle.timeline },
}));
