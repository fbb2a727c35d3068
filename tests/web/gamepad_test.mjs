// A pad on the page: a test double of navigator.getGamepads in the standard
// mapping plays the demo to its first menu, walks the options with the d-pad,
// chooses with south, and opens and closes the pop-up menu with north and east.
//
// Usage: node gamepad_test.mjs URL
import { createRequire } from 'node:module';
import assert from 'node:assert/strict';

const require = createRequire(new URL('../../src/presentation/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const [url] = process.argv.slice(2);
const SOUTH = 0, EAST = 1, NORTH = 3, DOWN = 13;

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
});
try {
  const context = await browser.newContext({ viewport: { width: 640, height: 440 } });
  await context.addInitScript(() => {
    const pad = {
      index: 0, id: 'test pad', connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
      buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })),
    };
    window.testPad = pad;
    navigator.getGamepads = () => [pad];
  });
  const page = await context.newPage();
  page.on('pageerror', (error) => { throw error; });
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });

  // A button pressed for a few frames, then let go.
  async function click(button) {
    await page.evaluate((b) => { window.testPad.buttons[b].pressed = true; }, button);
    await page.waitForTimeout(80);
    await page.evaluate((b) => { window.testPad.buttons[b].pressed = false; }, button);
    await page.waitForTimeout(80);
    await page.evaluate(() => window.vornPage.whenIdle());
  }
  const text = () => page.textContent('#Text1');
  const offered = () => page.evaluate(() => document.getElementById('Label1').tabIndex === 0);

  await page.waitForTimeout(100); // the page's first look at the pads
  const first = await text();
  await click(SOUTH);
  assert.notEqual(await text(), first, 'south turns the page');
  for (let turns = 0; !(await offered()); ++turns) {
    assert.ok(turns < 40, 'the first menu was not reached');
    await click(SOUTH);
  }
  // North opens the menu; east closes it, and the story behind stays.
  const atMenu = await page.evaluate(() => [1, 2, 3].map((n) => document.getElementById(`Label${n}`).textContent));
  await click(NORTH);
  assert.equal(await page.isVisible('#popup'), true, 'north opens the pop-up menu');
  await click(DOWN);
  await click(EAST);
  assert.equal(await page.isVisible('#popup'), false, 'east closes the pop-up menu');
  assert.equal(await offered(), true, 'closing the menu left the options offered');

  await click(DOWN);
  await click(DOWN);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'Label2', 'the d-pad walks the options');
  await click(SOUTH);
  assert.equal(await offered(), false, 'south chose the focused option');
  assert.match(await text(), /coin/, `the second option, "${atMenu[1]}", was taken`);
  console.log('gamepad: the demo played to its first menu and its second option by a pad');
} finally {
  await browser.close();
}
