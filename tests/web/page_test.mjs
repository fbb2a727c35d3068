// Plays paths through the demo in the browser page, in headless Chromium, and
// holds the page to the desktop player: after every event the page text, the
// captions and any box shown are those of `vorn --headless` on the same path.
// Also: the text can be selected, the keys turn pages, and the scene's
// pictures are saved for the comparison with the desktop window.
//
// Usage: node page_test.mjs URL PLAYER GAME_DIR SHOTS_DIR EVENTS_FILE...
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { launchChromium } from './chromium.mjs';
import assert from 'node:assert/strict';


const [url, player, gameDir, shots, ...eventFiles] = process.argv.slice(2);

// What the reader sees before each event of the transcript, and at its end.
function expectedScreens(events) {
  const transcript = execFileSync(player, ['--headless', gameDir], { input: events.join('\n') + '\n' })
    .toString().trim().split('\n').map((line) => JSON.parse(line));
  const screen = { text: '', captions: ['', '', '', ''], messages: [] };
  const screens = [];
  for (const record of transcript) {
    if ('event' in record) {
      screens.push(structuredClone(screen));
      screen.messages = [];
    } else if ('caption' in record) screen.captions[record.caption - 1] = record.text;
    // The page ends its lines with LF, as a copy of them should.
    else if ('text' in record && Object.keys(record).length === 1) screen.text = record.text.replace(/\r\n?/g, '\n');
    else if ('message' in record) screen.messages.push(record.message);
  }
  return screens; // the last is before the echoed close that ends the input
}

const browser = await launchChromium();

async function openDemo() {
  const page = await browser.newPage({ viewport: { width: 640, height: 440 } });
  page.on('pageerror', (error) => { throw error; });
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  assert.equal(await page.isVisible('#scene'), true, 'the demo did not open from the URL');
  assert.equal(await page.evaluate(() => window.vornPage.zoom), 1);
  return page;
}

const idle = (page) => page.evaluate(() => window.vornPage.whenIdle());

async function screenOf(page) {
  return page.evaluate(() => ({
    text: document.getElementById('Text1').textContent,
    captions: [1, 2, 3, 4].map((n) => document.getElementById(`Label${n}`).textContent),
  }));
}

// A point of the scene, in page pixels at zoom 1.
async function clickScene(page, x, y, options = {}) {
  const box = await page.locator('#scene').boundingBox();
  await page.mouse.click(box.x + x, box.y + y, options);
}

// The pop-up menu, opened on the background at the scene's top-left corner.
async function fromMenu(page, command) {
  await clickScene(page, 8, 8, { button: 'right' });
  await page.click(`#popup [data-command="${command}"]`);
}

async function closeMessages(page) {
  const shown = [];
  while (await page.evaluate(() => document.getElementById('message').open)) {
    shown.push(await page.textContent('#message-text'));
    await page.click('#message button');
  }
  return shown;
}

async function play(page, event) {
  const option = event.match(/^click option (\d)$/);
  if (event === 'click text') await page.click('#Text1');
  else if (option) {
    // On the middle of the option's first line of words.
    const label = await page.evaluate((id) => {
      const s = document.getElementById(id).style;
      return { x: parseFloat(s.left), y: parseFloat(s.top) };
    }, `Label${option[1]}`);
    await clickScene(page, label.x + 20, label.y + 8);
  } else if (event === 'menu new') await fromMenu(page, 'new');
  else if (event === 'menu about') await fromMenu(page, 'about');
  else throw new Error(`the page test cannot play "${event}"`);
  await idle(page);
}

for (const file of eventFiles) {
  const events = readFileSync(file, 'utf8').split('\n').map((l) => l.trim())
    .filter((l) => l && !l.startsWith('#') && l !== 'music done');
  const screens = expectedScreens(events);
  const page = await openDemo();
  await idle(page);
  const compare = async (k, what) => {
    const seen = await screenOf(page);
    assert.deepEqual(seen, { text: screens[k].text, captions: screens[k].captions }, `${file}: ${what}`);
  };
  await compare(0, 'the first page');
  for (let k = 0; k < events.length; k++) {
    await play(page, events[k]);
    assert.deepEqual(await closeMessages(page), screens[k + 1].messages, `${file}: the boxes after ${events[k]}`);
    await compare(k + 1, `after event ${k + 1}, ${events[k]}`);
  }
  await page.close();
  console.log(`page: ${file}: ${events.length} events played as the desktop plays them`);
}

// The reader's own ways through the page, on a fresh copy of the demo.
{
  const page = await openDemo();
  await idle(page);
  await page.screenshot({ path: `${shots}/page-first.png` });
  // The page text is real text: a reader can select and copy it, and a
  // selection does not turn the page.
  // The demo's music, asked for at start, sounds from the reader's first click.
  assert.equal((await page.evaluate(() => window.vornPage.music.level())).peak, 0, 'music before a click');
  await page.click('#pictures', { position: { x: 10, y: 10 } });
  await page.waitForFunction(async () => (await window.vornPage.music.level()).peak > 0.001, null,
    { timeout: 20000, polling: 250 });
  const first = (await screenOf(page)).text;
  assert.ok(first.includes('\n') && !first.includes('\r'), 'the first page\'s lines do not end in LF alone');
  await page.locator('#Text1').selectText();
  assert.equal(await page.evaluate(() => window.getSelection().toString()), first);
  assert.equal((await screenOf(page)).text, first, 'selecting the text turned the page');
  // Ctrl+C with nothing selected copies the whole page, its lines ended by LF.
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
  await page.evaluate(() => window.getSelection().removeAllRanges());
  await page.keyboard.press('Control+c');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), first);
  // Enter turns the page as a click does; the fifth turn shows the menu.
  await page.evaluate(() => window.getSelection().removeAllRanges());
  for (let i = 0; i < 5; i++) await page.keyboard.press('Enter');
  await idle(page);
  const atMenu = await screenOf(page);
  assert.notEqual(atMenu.captions[0], '', 'five turns of the page did not reach the menu');
  // The scene's pictures at the menu, for the comparison with the desktop window.
  const png = await page.evaluate(() => document.getElementById('pictures').toDataURL('image/png'));
  writeFileSync(`${shots}/page-menu-pictures.png`, Buffer.from(png.split(',')[1], 'base64'));
  await page.screenshot({ path: `${shots}/page-menu.png` });
  // An offered caption is a button that Tab reaches and Enter takes.
  assert.equal(await page.evaluate(() => document.getElementById('Label1').tabIndex), 0);
  await page.focus('#Label2');
  await page.keyboard.press('Enter');
  await idle(page);
  assert.equal((await screenOf(page)).captions[0], '', 'Enter on the second caption did not take its option');
  // B shows the backlog with the option chosen; Escape closes it.
  await page.keyboard.press('b');
  const backlog = await page.textContent('#backlog');
  assert.ok(backlog.includes(`\u25B6 ${atMenu.captions[1]}`), 'the backlog does not show the option chosen');
  await page.keyboard.press('Escape');
  assert.equal(await page.isVisible('#backlog'), false);
  // Quit shows the credits, which name no system, and then the page's start again.
  await fromMenu(page, 'quit');
  const credits = await closeMessages(page);
  assert.equal(credits.length, 1, 'Quit showed no credits');
  assert.match(credits[0], /^VORN interpeter /);
  assert.doesNotMatch(credits[0], /Linux|Windows|desktop/);
  await page.waitForSelector('#open-game', { state: 'visible' });
  await page.close();
  console.log('page: selection, keys, backlog and Quit work as on the desktop');
}

// On a touch screen a long press on the background opens the pop-up menu.
{
  const context = await browser.newContext({ hasTouch: true, viewport: { width: 640, height: 440 } });
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  const box = await page.locator('#scene').boundingBox();
  const touch = await context.newCDPSession(page);
  const at = [{ x: box.x + 10, y: box.y + 200 }];
  await touch.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: at });
  await page.waitForTimeout(800);
  await touch.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  assert.equal(await page.isVisible('#popup'), true, 'a long press opened no menu');
  await context.close();
}

// Holding Ctrl turns the pages by itself, up to the first menu, where it
// stops: with the setting to skip unread pages too, as this visit has read none.
{
  const page = await openDemo();
  await page.evaluate(() => { const s = window.vornPage.settings; s.change({ ...s.settings, skipUnread: true }); });
  await page.keyboard.down('Control');
  await page.waitForFunction(() => document.getElementById('Label1').textContent !== '', null, { timeout: 10000 });
  await page.waitForTimeout(300);
  await page.keyboard.up('Control');
  const atMenu = expectedScreens(Array(5).fill('click text'))[5];
  assert.deepEqual(await screenOf(page), { text: atMenu.text, captions: atMenu.captions }, 'fast-forward passed the menu');
  await page.close();
}

// Where two captions' boxes overlap, a press belongs to the lower caption, on
// whose words it is, as in the window: 58 pixels down is the second option,
// 72 the third.
for (const [y, option] of [[58, 2], [72, 3]]) {
  const events = ['click text', 'click text', 'click text', 'click text', 'click text', `click option ${option}`];
  const screens = expectedScreens(events);
  const page = await openDemo();
  for (let i = 0; i < 5; i++) await page.click('#Text1');
  await clickScene(page, 540, y);
  await idle(page);
  assert.equal((await screenOf(page)).text, screens[6].text, `a press ${y} pixels down did not take option ${option}`);
  await page.close();
}

// Pictures in every format a game may hold are decoded by the browser; the
// cursor icon is the game's.
{
  const page = await browser.newPage({ viewport: { width: 640, height: 440 } });
  await page.goto(url.replace('games/demo.zip', 'games/formats.zip'));
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  const pixel = () => page.evaluate(() => [...document.getElementById('pictures').getContext('2d')
    .getImageData(85, 35, 1, 1).data].slice(0, 3));
  const expected = { png: [255, 0, 0], gif: [0, 255, 0], jpg: [0, 0, 255], bmp: [255, 255, 255], ico: [255, 255, 0] };
  for (const [format, colour] of Object.entries(expected)) {
    await idle(page);
    assert.equal((await screenOf(page)).text, format);
    const seen = await pixel();
    assert.ok(seen.every((v, i) => Math.abs(v - colour[i]) <= 8), `the ${format} picture shows as ${seen}`);
    await page.click('#Text1');
  }
  await page.close();
  const demo = await openDemo();
  await idle(demo);
  // The cursor names a PNG file the page made of the game's icon.
  const cursor = await demo.evaluate(async () => {
    const style = document.getElementById('scene').style.cursor;
    const file = style.match(/^url\("?(blob:[^")]+)"?\)/)?.[1];
    if (!file) return { style };
    const png = new Uint8Array(await (await fetch(file)).arrayBuffer());
    return { style, png: String.fromCharCode(...png.slice(1, 4)) === 'PNG', width: (await createImageBitmap(new Blob([png]))).width };
  });
  assert.ok(cursor.png && cursor.width > 0, `the cursor is ${cursor.style}`);
  await demo.close();
  console.log('page: PNG, GIF, JPEG, BMP and ICO pictures and the cursor icon decode in the browser');
}

// A fatal error is reported in a box, in the desktop player's words, and the
// game ends: the page's start shows the report again.
{
  const page = await browser.newPage({ viewport: { width: 640, height: 440 } });
  await page.goto(url.replace('games/demo.zip', 'games/broken.zip'));
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  await page.click('#Text1');
  const shown = await closeMessages(page);
  assert.equal(shown.length, 1, 'no report of the missing picture');
  assert.match(shown[0], /missing\.bmp/);
  await page.waitForSelector('#open-game', { state: 'visible' });
  assert.equal(await page.textContent('#open-problem'), shown[0]);
  await page.close();
}

// A game named by a URL on another site is refused with words, not fetched.
{
  const page = await browser.newPage();
  await page.goto(`${url.split('?')[0]}?game=https://example.invalid/game.zip`);
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  const otherSite = await page.textContent('#open-problem');
  assert.equal(otherSite, '"https://example.invalid/game.zip" is not on this site; the page plays games from its own site only.');
  // What is no address at all is refused in the same words, not with a blank page.
  await page.goto(`${url.split('?')[0]}?game=${encodeURIComponent('http://[')}`);
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  assert.equal(await page.isVisible('#open-problem'), true, 'a malformed address left the page blank');
  assert.equal(await page.textContent('#open-problem'), otherSite.replace('https://example.invalid/game.zip', 'http://['));
  await page.close();
}
// A Japanese browser gets the page's own words in Japanese; the game's stay.
{
  const context = await browser.newContext({ locale: 'ja-JP' });
  const page = await context.newPage();
  await page.goto(url.split('?')[0]);
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  assert.equal(await page.textContent('[data-text="openFolder"]'), 'ゲームのフォルダを開く…');
  assert.equal(await page.textContent('#popup [data-command="save"]'), 'セーブ…');
  assert.equal(await page.textContent('#popup [data-command="new"]'), 'New');
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'ja');
  await context.close();
}
await browser.close();
