// Saved games in the browser page, in headless Chromium: F5, playing on and F9
// come back to the same page and captions; a save outlives a reload of the
// page (the browser's storage); leaving the page in the middle keeps the place,
// offered when the game opens again; the "Save…" and "Load…" dialog lists the
// slots with their picture, date and first line, saves over one and deletes.
//
// Usage: node saves_test.mjs URL SHOTS_DIR
import { launchChromium } from './chromium.mjs';
import assert from 'node:assert/strict';


const [url, shots] = process.argv.slice(2);

const browser = await launchChromium();
// One context: its storage lasts across the reloads below, as a browser's does.
const context = await browser.newContext({ viewport: { width: 640, height: 440 } });
const page = await context.newPage();
page.on('pageerror', (error) => { throw error; });
const confirmations = [];
page.on('dialog', (dialog) => { confirmations.push(dialog.message()); dialog.accept(); });

const idle = () => page.evaluate(() => window.vornPage.whenIdle());
async function ready() {
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  await idle();
}
async function screen() {
  return page.evaluate(() => ({
    text: document.getElementById('Text1').textContent,
    captions: [1, 2, 3, 4].map((n) => document.getElementById(`Label${n}`).textContent),
  }));
}
async function clickText(times = 1) {
  for (let k = 0; k < times; k++) { await page.click('#Text1'); await idle(); }
}
async function chooseWithKey(option) {
  await page.keyboard.press(String(option));
  await idle();
}
const noticeText = () => page.evaluate(() => {
  const n = document.getElementById('notice');
  return n.hidden ? '' : n.textContent;
});
// The notice shows `words` (the dialog acts once it has closed, a moment later).
async function expectNotice(words) {
  await page.waitForFunction((expected) => {
    const n = document.getElementById('notice');
    return !n.hidden && n.textContent === expected;
  }, words, { timeout: 5000 }).catch(() => {});
  assert.equal(await noticeText(), words);
}
const isOpen = (id) => page.evaluate((dialog) => document.getElementById(dialog).open, id);

await page.goto(url);
await ready();
assert.equal(await isOpen('continue'), false, 'a game never played has no place to go on from');

// F5, play on, F9: the same page and captions as at the save.
await clickText(5);
const atMenu = await screen();
assert.match(atMenu.captions[0], /Ring bell/);
await page.keyboard.press('F5');
await expectNotice('Saved: Quick save');
await chooseWithKey(2);
await clickText(2);
assert.notDeepEqual(await screen(), atMenu);
const leftAt = await screen();
await page.keyboard.press('F9');
await idle();
await expectNotice('Loaded: Quick save');
assert.deepEqual(await screen(), atMenu, 'F9 comes back to the page and captions of F5');
assert.equal(await page.evaluate(() => location.href), url, 'F5 did not reload the page');

// Play on to where the reader leaves, then leave: a reload.
await chooseWithKey(2);
await clickText(2);
assert.deepEqual(await screen(), leftAt);
await page.reload();
await ready();

// The place is offered again, with the first line of its page.
assert.equal(await isOpen('continue'), true, 'the place kept when the page was left is offered');
assert.match(await page.textContent('#continue-text'), /Go on from where you left this game\?/);
assert.ok((await page.textContent('#continue-text')).includes(leftAt.text.split(/\r?\n/)[0].trim()));
await page.screenshot({ path: `${shots}/saves-continue.png` });
await page.click('#continue button[value="go"]');
// The dialog's close event, which starts the load, comes a task after the
// click: wait for the page to change, then compare it whole.
await page.waitForFunction((text) => document.getElementById('Text1').textContent === text, leftAt.text,
  { timeout: 10000 }).catch(() => {});
await idle();
assert.deepEqual(await screen(), leftAt, '"Go on" comes back to where the page was left');

// The quick save outlived the reload.
await page.keyboard.press('F9');
await idle();
assert.deepEqual(await screen(), atMenu, 'the quick save is still kept after a reload');

// "Save…" from the pop-up menu: a new slot; then "Load…" lists both.
const box = await page.locator('#scene').boundingBox();
await page.mouse.click(box.x + 8, box.y + 8, { button: 'right' });
await page.click('#popup [data-command="save"]');
assert.equal(await isOpen('slots'), true);
assert.equal(await page.textContent('#slots-title'), 'Save\u2026');
assert.equal(await page.textContent('#slot-list li:first-child strong'), 'New save');
await page.click('#slot-take');
await idle();
await expectNotice('Saved: slot-1');

await page.keyboard.press('Control+l');
assert.equal(await isOpen('slots'), true, 'Ctrl+L opens "Load…"');
const rows = await page.evaluate(async () => {
  await Promise.all([...document.querySelectorAll('#slot-list img')].map((img) => img.decode().catch(() => {})));
  return [...document.querySelectorAll('#slot-list li')].map((li) => ({
  slot: li.dataset.slot,
  text: li.textContent,
  picture: li.querySelector('img').naturalWidth,
  }));
});
const names = rows.map((r) => r.slot).sort();
assert.deepEqual(names, ['continue', 'quick', 'slot-1']);
for (const row of rows) assert.equal(row.picture, 316, `slot ${row.slot} has its picture of the scene`);
assert.ok(rows.find((r) => r.slot === 'quick').text.includes(atMenu.text.split(/\r?\n/)[0].trim()));
await page.screenshot({ path: `${shots}/saves-load-dialog.png` });

// Delete slot-1 from the dialog: asked first, then gone, also after a reload.
await page.click('#slot-list li[data-slot="slot-1"]');
await page.click('#slot-delete');
assert.match(confirmations.at(-1), /Delete \u201cslot-1\u201d\? It cannot be brought back\./);
assert.equal(await page.locator('#slot-list li[data-slot="slot-1"]').count(), 0);
await page.click('#slots button[value="cancel"]');

// Saving over the quick slot asks first.
await page.keyboard.press('Control+s');
await page.click('#slot-list li[data-slot="quick"]');
const asked = confirmations.length;
await page.click('#slot-take');
for (let wait = 0; confirmations.length === asked && wait < 50; wait++) await page.waitForTimeout(100);
assert.match(confirmations.at(-1), /Save over \u201cQuick save\u201d\?/);

// Quit in the middle keeps the place; "Start anew" at the next opening starts
// from the first page, and the kept place stays for next time.
await page.mouse.click(box.x + 8, box.y + 8, { button: 'right' });
await page.click('#popup [data-command="quit"]');
while (await isOpen('message')) await page.click('#message button');
await page.reload();
await ready();
assert.equal(await isOpen('continue'), true);
await page.click('#continue button[value="anew"]');
await idle();
assert.match((await screen()).text, /THE LANTERN ROAD/);
const kept = await page.evaluate(async () => new Promise((resolve) => {
  const request = indexedDB.open('vorn');
  request.onsuccess = () => {
    const all = request.result.transaction('slots').objectStore('slots').getAll();
    all.onsuccess = () => resolve(all.result.map((r) => r.slot).sort());
  };
}));
assert.deepEqual(kept, ['continue', 'quick']);

// A story played to its end keeps no place: leaving then deletes the kept one.
const toTheEnd = ['text', 'text', 'text', 'text', 'text', 3, 'text', 'text', 'text', 'text', 'text', 'text', 2,
  'text', 'text', 'text', 'text', 'text', 'text', 3, 1, 'text', 'text', 'text', 'text', 'text', 'text', 'text', 'text'];
for (const step of toTheEnd) {
  if (step === 'text') await clickText();
  else await chooseWithKey(step);
}
await page.reload();
await ready();
assert.equal(await isOpen('continue'), false, 'no place is kept after the natural end');

// Another game whose folder has the same name (or an earlier version of this
// one) saved into "quick": F5 keeps that save and saves into this game's own
// quick slot, and F9 loads this game's.
const records = () => page.evaluate(async () => new Promise((resolve) => {
  const request = indexedDB.open('vorn');
  request.onsuccess = () => {
    const all = request.result.transaction('slots').objectStore('slots').getAll();
    all.onsuccess = () => resolve(all.result.map((r) => ({ game: r.game, slot: r.slot, document: r.document })));
  };
}));
const foreign = (await records()).find((r) => r.slot === 'quick');
foreign.document = foreign.document.replace(/"script":"[0-9a-f]{64}"/, `"script":"${'f'.repeat(64)}"`);
await page.evaluate(async (record) => new Promise((resolve) => {
  const request = indexedDB.open('vorn');
  request.onsuccess = () => {
    const transaction = request.result.transaction('slots', 'readwrite');
    const store = transaction.objectStore('slots');
    const get = store.get([record.game, record.slot]);
    get.onsuccess = () => { store.put({ ...get.result, document: record.document }); };
    transaction.oncomplete = () => resolve();
  };
}), foreign);
await page.reload();
await ready();
await clickText(2);
await page.keyboard.press('F5');
await expectNotice('Saved: Quick save');
const afterF5 = await records();
assert.equal(afterF5.find((r) => r.slot === 'quick').document, foreign.document, 'the other game\'s quick save is kept');
const own = afterF5.find((r) => /^quick-[0-9a-f]{8}$/.test(r.slot));
assert.ok(own, `this game's quick save has a slot of its own: ${afterF5.map((r) => r.slot)}`);
const savedAt = await screen();
await clickText();
await page.keyboard.press('F9');
await idle();
await expectNotice('Loaded: Quick save');
assert.deepEqual(await screen(), savedAt, 'F9 loads this game\'s own quick save');

await browser.close();
console.log('saves in the page: quick save and load, a reload, going on, the slot dialog, the end, '
  + 'another game\'s quick save kept');
