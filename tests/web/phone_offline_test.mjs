// The page on an upright phone, installed and offline, in headless Chromium
// with playwright's device emulation (390 x 844, device scale 3, touch):
// the start page lists the test site's games and offers no folders; a tap on
// the shelf opens the demo, whose whole scene, page text and options lie in
// the viewport; a tap turns the page and chooses an option, a long press
// opens the pop-up menu. Then the page is kept: a new version of the player
// waits while a game plays and is taken at the next visit; with the site
// gone, the page opens, lists the kept game, plays it and loads the save made
// online.
//
// Usage: node phone_offline_test.mjs SITE_URL SITE_DIR SERVER_PID SHOTS_DIR
import { createRequire } from 'node:module';
import { readFileSync, writeFileSync, rmSync, symlinkSync } from 'node:fs';
import assert from 'node:assert/strict';

const require = createRequire(new URL('../../src/presentation/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const [site, siteDir, serverPid, shots] = process.argv.slice(2);
const wait = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
const phone = {
  viewport: { width: 390, height: 844 }, screen: { width: 390, height: 844 }, deviceScaleFactor: 3,
  isMobile: true, hasTouch: true,
  userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) '
    + 'Chrome/120.0 Mobile Safari/537.36',
};
const context = await browser.newContext(phone);
let page = await context.newPage();
const errors = [];
const watch = (p) => p.on('pageerror', (error) => errors.push(error));
watch(page);

const ready = async () => {
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  await page.evaluate(() => window.vornPage.whenIdle());
};
const idle = () => page.evaluate(() => window.vornPage.whenIdle());
const screen = () => page.evaluate(() => ({
  text: document.getElementById('Text1').textContent,
  captions: [1, 2, 3, 4].map((n) => document.getElementById(`Label${n}`).textContent),
}));
async function tapAt(x, y) { await page.touchscreen.tap(x, y); await idle(); }
async function tapBox(selector, then = idle) {
  const box = await page.locator(selector).boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await then();
}
const tapLink = (selector) => tapBox(selector, () => page.waitForURL(/game=games\/demo\.zip/));
function inViewport(box, what) {
  assert.ok(box, `${what} is shown`);
  assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= 390.5 && box.y + box.height <= 844.5,
    `${what} lies within the phone's 390 x 844 viewport: ${JSON.stringify(box)}`);
}
async function goOnIfAsked(choice) {
  await page.waitForTimeout(300);
  if (await page.evaluate(() => document.getElementById('continue').open)) {
    await page.click(`#continue button[value="${choice}"]`);
    await idle();
  }
}

// ---- the start page on a phone ------------------------------------------------------------

await page.goto(`${site}/index.html`);
await page.waitForFunction(() => document.querySelectorAll('#shelf-list li').length === 2, null, { timeout: 10000 });
const shelf = () => page.$$eval('#shelf-list li', (items) => items.map((li) => ({
  title: li.querySelector('strong').textContent, href: li.querySelector('a').getAttribute('href'),
  about: li.querySelector('.about').textContent, picture: li.querySelector('img')?.naturalWidth ?? 0,
})));
await page.waitForFunction(() => [...document.querySelectorAll('#shelf-list img')].every((i) => i.complete));
const listed = await shelf();
assert.deepEqual(listed.map((g) => g.title), ['VORN demo', 'Formats'], 'the shelf lists the site\'s games in order');
assert.ok(listed[0].picture > 0 && listed[1].picture === 0, 'a game\'s picture where the shelf names one');
assert.equal(await page.locator('#shelf-problem').isHidden(), true, 'a sound list of games raises no problem');
assert.equal(listed[0].href, '/index.html?game=games/demo.zip');
assert.ok(!(await page.isVisible('#open-folder')) && !(await page.locator('label:has(#open-folder)').isVisible()),
  'a phone is not offered folders');
assert.ok(!(await page.getByText('Drop a game folder').isVisible()), 'a phone is not offered dropping');
assert.ok(await page.locator('label:has(#open-archive)').isVisible(), 'a phone is offered an archive from its files');
await page.screenshot({ path: `${shots}/phone-start.png` });

// ---- playing by touch -------------------------------------------------------------------

await tapLink('#shelf-list li:first-child a');
await ready();
assert.ok((await page.evaluate(() => window.vornPage.zoom)) < 1, 'the scene is scaled below zoom 1');
inViewport(await page.locator('#scene').boundingBox(), 'the scene');
inViewport(await page.locator('#Text1').boundingBox(), 'the page text');
const sceneBox = await page.locator('#scene').boundingBox();
assert.ok(Math.abs(sceneBox.width / sceneBox.height - 632 / 425) < 0.01, 'the scene keeps its proportions');
assert.ok(sceneBox.width > 385, 'the scene takes the phone\'s width');

const first = await screen();
await tapBox('#Text1');
assert.notEqual((await screen()).text, first.text, 'a tap on the page text turns the page');
for (let k = 0; k < 4; k++) await tapBox('#Text1');
const atMenu = await screen();
assert.match(atMenu.captions[0], /Ring bell/, 'the demo\'s first menu');
for (let n = 1; n <= 4; n++) {
  if (atMenu.captions[n - 1]) inViewport(await page.locator(`#Label${n}`).boundingBox(), `option ${n}`);
}
await page.screenshot({ path: `${shots}/phone-menu.png` });
// Quick save here, for the offline visit below.
await page.keyboard.press('F5');
await page.waitForFunction(() => !document.getElementById('notice').hidden);

// A long press on the scene's background opens the pop-up menu; a tap does not.
const cdp = await context.newCDPSession(page);
const background = { x: sceneBox.x + 20, y: sceneBox.y + sceneBox.height / 2 };
await tapAt(background.x, background.y);
assert.ok(await page.locator('#popup').isHidden(), 'a short tap on the background opens no menu');
await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [background] });
await wait(800);
await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
await page.locator('#popup').waitFor({ state: 'visible', timeout: 3000 });
inViewport(await page.locator('#popup').boundingBox(), 'the pop-up menu');
await page.screenshot({ path: `${shots}/phone-menu-popup.png` });
// A tap beside it closes it, choosing nothing.
await tapAt(sceneBox.x + sceneBox.width - 8, sceneBox.y + sceneBox.height / 2);
assert.ok(await page.locator('#popup').isHidden(), 'a tap beside the menu closes it');
assert.deepEqual(await screen(), atMenu, 'the long press chose nothing and turned no page');

// The menu's "Load…", by touch: the slot dialog fits the phone, and closes.
await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [background] });
await wait(800);
await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
await page.locator('#popup').waitFor({ state: 'visible', timeout: 3000 });
await tapBox('#popup button[data-command="load"]');
await page.locator('#slots').waitFor({ state: 'visible', timeout: 3000 });
inViewport(await page.locator('#slots').boundingBox(), 'the slot dialog');
inViewport(await page.locator('#slots button[value="cancel"]').boundingBox(), 'the slot dialog\'s Cancel');
await page.screenshot({ path: `${shots}/phone-slots.png` });
await tapBox('#slots button[value="cancel"]');
assert.equal(await page.evaluate(() => document.getElementById('slots').open), false);
assert.deepEqual(await screen(), atMenu);

// A tap on an option chooses it.
const option = await page.locator('#Label2').boundingBox();
await tapAt(option.x + 4, option.y + option.height / 2);
assert.notDeepEqual(await screen(), atMenu, 'a tap on the second option chose it');

// ---- kept: the service worker, and an update that waits for the next visit -----------------

const kept = () => page.evaluate(async () => (await caches.keys()).sort());
const controller = () => page.evaluate(() => navigator.serviceWorker.controller?.scriptURL ?? null);
await page.evaluate(() => navigator.serviceWorker.ready);
await page.waitForFunction(async () => !!(await caches.match(new URL('games/demo.zip', location.href).href)),
  null, { timeout: 10000, polling: 200 });
const versionA = (await kept()).find((name) => name.startsWith('vorn-page-'));
assert.ok(versionA, 'the page\'s files are kept');

// The second visit is served by the worker.
await page.reload();
await ready();
await goOnIfAsked('go');
assert.match(await controller(), /service-worker\.js$/, 'the second visit runs under the service worker');
const playing = await screen();
// The browser finds the page installable: its manifest, icons and worker.
const manifest = await (await context.newCDPSession(page)).send('Page.getAppManifest');
assert.deepEqual(manifest.errors, [], 'the web app manifest reads without errors');
const installable = await (await context.newCDPSession(page)).send('Page.getInstallabilityErrors');
// (Playwright's contexts are incognito windows, where nothing is installed.)
assert.deepEqual(installable.installabilityErrors.filter((e) => e.errorId !== 'in-incognito'), [],
  'the browser can install the page');

// A new version of the player appears on the site while a game plays.
const worker = `${siteDir}/service-worker.js`;
const source = readFileSync(worker, 'utf8');
rmSync(worker);
writeFileSync(worker, source.replace(/const VERSION = '[^']*'/, "const VERSION = 'next-version'"));
await page.evaluate(async () => {
  const registration = await navigator.serviceWorker.getRegistration();
  await registration.update();
});
await page.waitForFunction(async () => !!(await navigator.serviceWorker.getRegistration()).waiting, null,
  { timeout: 15000, polling: 200 });
assert.ok((await kept()).includes(versionA), 'mid-game the page still runs on the version it started with');
await tapBox('#Text1');
assert.notDeepEqual(await screen(), playing, 'the game plays on while the update waits');
// The next visit: the page closed, opened again.
await page.close();
page = await context.newPage();
watch(page);
await page.goto(`${site}/index.html?game=games/demo.zip`);
await ready();
await goOnIfAsked('go');
await page.waitForFunction(async () => (await caches.keys()).includes('vorn-page-next-version'), null,
  { timeout: 10000, polling: 200 });
await page.waitForFunction((old) => caches.keys().then((names) => !names.includes(old)), versionA,
  { timeout: 10000, polling: 200 });

// The soundfont the music fetched is kept with the new version too.
await page.waitForFunction(async () => !!(await caches.match(new URL('soundfont.sf2', location.href).href)),
  null, { timeout: 20000, polling: 250 });

// ---- offline: the site is gone ----------------------------------------------------------

process.kill(Number(serverPid));
await wait(300);
await context.setOffline(true);
await page.goto(`${site}/index.html`);
await page.waitForFunction(() => document.querySelectorAll('#shelf-list li').length > 0, null, { timeout: 10000 });
const offlineShelf = await shelf();
assert.deepEqual(offlineShelf.map((g) => g.title), ['VORN demo'], 'offline the shelf lists the kept game only');
assert.ok(await page.locator('#shelf-problem').isHidden(), 'offline is no problem of the site\'s list');
assert.match(offlineShelf[0].about, /last played/);
assert.ok(offlineShelf[0].picture > 0, 'the kept game\'s picture shows offline');
await page.screenshot({ path: `${shots}/phone-offline-start.png` });
await tapLink('#shelf-list li:first-child a');
await ready();
await goOnIfAsked('anew');
assert.ok((await screen()).text.length > 0, 'offline the demo opens and shows its page');
await page.keyboard.press('F9');
await idle();
await page.waitForFunction(() => !document.getElementById('notice').hidden);
assert.deepEqual(await screen(), atMenu, 'offline the quick save made online loads');
await tapBox('#Text1');
await page.screenshot({ path: `${shots}/phone-offline-played.png` });

assert.deepEqual(errors, [], 'no errors on the page');
await browser.close();
console.log('phone and offline: the scene fits an upright phone, taps and a long press play it, '
  + 'an update waits for the next visit, and offline the kept game plays on with its save');
