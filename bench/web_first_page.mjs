// Times, in headless Chromium, how long a page takes from navigation start to
// being on screen: the player's page with a game named in its URL (its first
// page set, every picture decoded and drawn, and the next frame painted)
// against a page that shows only an empty canvas of the scene's size. The two
// are loaded in turns, each in a fresh browser context (its own empty cache,
// as a first visit has), so that a busy moment of the machine hits both.
//
// Prints one line per sample and, at the end, a JSON line with every sample
// and the share of the page's time each resource took, for the shell script.
//
// Usage: node web_first_page.mjs GAME_URL BASELINE_URL RUNS
import { createRequire } from 'node:module';

const require = createRequire(new URL('../src/presentation/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const [gameUrl, baselineUrl, runsArg] = process.argv.slice(2);
const runs = Number(runsArg) || 15;

// playwright starts Chromium with a fresh user data folder of its own, in a
// temporary folder it removes at the end.
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

// Runs in the page before its own scripts: once the page says it is ready,
// waits for its pictures and for the next frame to be painted (a task queued
// from an animation frame runs after that frame's paint), and notes the time
// since navigation start.
function watchFirstPage() {
  window.__shownAt = new Promise((resolve) => {
    const check = () => {
      if (!document.body || document.body.dataset.ready !== 'true') return false;
      observer.disconnect();
      window.vornPage.whenIdle().then(() => requestAnimationFrame(() => setTimeout(() => resolve(performance.now()))));
      return true;
    };
    const observer = new MutationObserver(check);
    observer.observe(document, { subtree: true, attributes: true, attributeFilter: ['data-ready'] });
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
    const shown = await page.evaluate(() => ({
      canvas: [document.querySelector('canvas')?.width, document.querySelector('canvas')?.height],
      text: document.getElementById('Text1')?.textContent ?? null,
    }));
    return { ms, shown, timeline: await page.evaluate(timeline) };
  } finally {
    await context.close();
  }
}

// The samples; a page that never shows ends the benchmark with the reason.
const baseline = [];
const game = [];
try {
  // A first pair, not counted: the browser's own first start of a renderer and
  // of its compilers is no part of either page.
  const first = await sample(baselineUrl);
  const firstGame = await sample(gameUrl);
  if (first.shown.canvas.join('x') !== '632x425') throw new Error(`the baseline canvas is ${first.shown.canvas.join('x')}`);
  if (firstGame.shown.canvas.join('x') !== '632x425' || !firstGame.shown.text) {
    throw new Error(`the game's first page is not on screen at zoom 1 (canvas ${firstGame.shown.canvas.join('x')})`);
  }

  for (let i = 0; i < runs; i++) {
    const b = await sample(baselineUrl);
    const g = await sample(gameUrl);
    baseline.push(b.ms);
    game.push(g);
    console.log(`sample ${i + 1}: empty canvas ${b.ms.toFixed(1)} ms, first page ${g.ms.toFixed(1)} ms`);
  }
} catch (error) {
  await browser.close();
  console.error(`web_first_page: ${error.message}`);
  process.exit(1);
}
await browser.close();

// The game page's timeline of its median sample, to see where the time goes.
const sorted = [...game].sort((a, b) => a.ms - b.ms);
const median = sorted[Math.floor((sorted.length - 1) / 2)];
console.log(JSON.stringify({ baseline, game: game.map((g) => g.ms), median: { ms: median.ms, ...median.timeline } }));
