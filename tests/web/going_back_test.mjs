// Going back and skipping in the browser page, in headless Chromium, as in
// the desktop window: Left, Page Up and the wheel up at the top of a page step
// back, the scene's pictures as they were; a mark says how far back; a click
// on an earlier page in the backlog goes back to it; Ctrl held skips only the
// pages read, stopping at the first unread one and at the menu; S skips until
// a stop; the pages read outlive a reload of the page (the browser's storage).
//
// Usage: node going_back_test.mjs URL SHOTS_DIR
import { launchChromium } from './chromium.mjs';
import assert from 'node:assert/strict';


const [url, shots] = process.argv.slice(2);

const browser = await launchChromium();
// One context: its storage lasts across the reload below, as a browser's does.
const context = await browser.newContext({ viewport: { width: 640, height: 440 } });
const page = await context.newPage();
page.on('pageerror', (error) => { throw error; });

const idle = () => page.evaluate(() => window.vornPage.whenIdle());
async function open() {
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  await idle();
  // A place kept by an earlier visit is offered: start anew.
  if (await page.evaluate(() => document.getElementById('continue').open)) {
    await page.click('#continue button[value="anew"]');
    await idle();
  }
}
const text = () => page.textContent('#Text1');
const caption = (n) => page.textContent(`#Label${n}`);
const mark = () => page.evaluate(() => {
  const m = document.getElementById('place-mark');
  return m.hidden ? '' : m.textContent;
});
const pictures = () => page.evaluate(() => document.getElementById('pictures').toDataURL());
async function clickText(times = 1) {
  for (let k = 0; k < times; k++) { await page.click('#Text1'); await idle(); }
}
async function press(key) {
  await page.keyboard.press(key);
  await idle();
}
async function holdCtrl(ms) {
  await page.keyboard.down('Control');
  await page.waitForTimeout(ms);
  await page.keyboard.up('Control');
  await idle();
}

await open();
const texts = [await text()];
const scenes = [await pictures()];
for (let k = 1; k < 3; k++) {
  await clickText();
  texts.push(await text());
  scenes.push(await pictures());
}
assert.notEqual(scenes[2], scenes[1], 'the third page shows another picture');

// The wheel up at the top of the page steps back, the pictures as they were.
const box = await page.locator('#Text1').boundingBox();
await page.mouse.move(box.x + 20, box.y + 10);
await page.mouse.wheel(0, -100);
await idle();
assert.equal(await text(), texts[1], 'the wheel up steps back a page');
assert.equal(await pictures(), scenes[1], 'the earlier picture is back');
assert.equal(await mark(), 'back 1');
await press('ArrowLeft');
assert.equal(await text(), texts[0]);
assert.equal(await mark(), 'back 2');
await press('PageUp');
assert.equal(await text(), texts[0], 'nothing before the first page');
assert.equal(await mark(), 'back 2');
await page.screenshot({ path: `${shots}/page-back.png` });
await clickText();
assert.equal(await text(), texts[1], 'reading on plays on');
assert.equal(await mark(), '', 'the mark goes');

// The backlog: a click on the first page goes back there; on the last, it only closes.
await clickText();
await press('b');
await page.click('#backlog [data-entry="0"]');
await idle();
assert.equal(await page.isVisible('#backlog'), false);
assert.equal(await text(), texts[0], 'a click on a page in the backlog goes back to it');
assert.equal(await pictures(), scenes[0]);
assert.equal(await mark(), 'back 2');

// Pages 1 and 2 were played on from; the third was only shown.
await holdCtrl(1500);
assert.equal(await text(), texts[2], 'Ctrl stops at the first page not read');
assert.equal(await mark(), '');

// On to the menu; back to the start; S skips to the menu and stops there.
await clickText(3);
const menu = await caption(1);
assert.notEqual(menu, '', 'the menu waits');
for (let k = 0; k < 5; k++) await press('ArrowLeft');
assert.equal(await text(), texts[0]);
assert.equal(await caption(1), '');
await press('s');
await page.waitForTimeout(1000);
await idle();
assert.equal(await caption(1), menu, 'S stops at the menu');
assert.equal(await mark(), '', 'and ends there');

// The pages read outlive a reload: Ctrl held from the first page reaches the menu.
await open();
assert.equal(await text(), texts[0]);
await holdCtrl(2000);
assert.equal(await caption(1), menu, 'the pages read before the reload are skipped');

await browser.close();
console.log('page going back and skipping: ok');
