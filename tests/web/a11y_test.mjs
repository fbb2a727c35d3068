// The page as a screen reader and a keyboard-only reader meet it, in headless
// Chromium: axe-core finds no violation in any state the reader can bring the
// page to (its start, a page, a menu, the pop-up menu, every dialog);
// Chromium's own accessibility tree names the page text and each option; the
// pop-up menu keeps its keys and presses to itself; and the demo plays to an
// ending by keys alone.
//
// Usage: node a11y_test.mjs URL_OF_THE_DEMO SHOTS_DIR
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { launchChromium } from './chromium.mjs';
import assert from 'node:assert/strict';

const require = createRequire(new URL('../../src/presentation/web/package.json', import.meta.url));
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

const [url, shots] = process.argv.slice(2);
const startUrl = url.split('?')[0];

const browser = await launchChromium();

async function openPage(address = url, options = {}) {
  const context = await browser.newContext({ viewport: { width: 640, height: 440 }, ...options });
  const page = await context.newPage();
  page.on('pageerror', (error) => { throw error; });
  await page.goto(address);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  return page;
}

const idle = (page) => page.evaluate(() => window.vornPage.whenIdle());

// ---- axe-core ------------------------------------------------------------------

// The states checked, by name; every dialog of the page must be among them.
const checked = new Set();

// axe-core's findings at `state`: no violation, and nothing left for review
// (axe-core leaves an attribute it doubts, such as a label on an element
// without a role, for review) but the contrast of the captions' words, drawn
// over the pictures of the canvas, whose colours it cannot see.
async function noViolations(page, state) {
  if (!(await page.evaluate(() => Boolean(window.axe)))) await page.addScriptTag({ content: axeSource });
  const found = await page.evaluate(async () => {
    const results = await window.axe.run(document, { resultTypes: ['violations', 'incomplete'] });
    const brief = (v) => ({ id: v.id, impact: v.impact, help: v.help,
      nodes: v.nodes.map((n) => ({ target: n.target.join(' '), summary: n.failureSummary })) });
    return { violations: results.violations.map(brief), incomplete: results.incomplete.map(brief) };
  });
  const overPictures = (node) => /^#Label[1-4]$/.test(node.target);
  const review = found.incomplete
    .map((v) => ({ ...v, nodes: v.nodes.filter((n) => !(v.id === 'color-contrast' && overPictures(n))) }))
    .filter((v) => v.nodes.length);
  if (found.violations.length || review.length) await page.screenshot({ path: `${shots}/a11y-${state}.png` });
  assert.deepEqual(found.violations, [], `axe-core's violations at ${state}:\n${JSON.stringify(found.violations, null, 2)}`);
  assert.deepEqual(review, [], `axe-core leaves for review at ${state}:\n${JSON.stringify(review, null, 2)}`);
  checked.add(state);
  console.log(`a11y: axe-core finds no violation at ${state}`);
}

// ---- Chromium's accessibility tree --------------------------------------------------

// The nodes a screen reader is given, each { role, name, focused, keys,
// children } with its unignored descendants, from the tree's root.
async function accessibilityTree(page) {
  const cdp = await page.context().newCDPSession(page);
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  const byId = new Map(nodes.map((n) => [n.nodeId, n]));
  const property = (n, name) => n.properties?.find((p) => p.name === name)?.value.value;
  // An ignored node's children belong to its nearest unignored ancestor.
  const shown = (n) => (n.childIds ?? []).flatMap((id) => {
    const child = byId.get(id);
    if (!child) return [];
    return child.ignored ? shown(child) : [convert(child)];
  });
  const convert = (n) => ({
    role: n.role?.value, name: n.name?.value ?? '', focused: property(n, 'focused') === true,
    keys: property(n, 'keyshortcuts') ?? '', children: shown(n),
  });
  return convert(nodes[0]);
}

function* every(node) {
  yield node;
  for (const child of node.children) yield* every(child);
}
const find = (tree, test) => [...every(tree)].filter(test);
// The text a node holds, as the reader's screen reader reads it out.
const textOf = (node) => find(node, (n) => n.role === 'StaticText').map((n) => n.name).join('');
const squeezed = (text) => text.replace(/\s+/g, '');

// The page text as the tree reads it: a region named "Page" (empty where a
// menu clears the page), under the one heading.
async function pageTextIsRead(page, what) {
  const tree = await accessibilityTree(page);
  const regions = find(tree, (n) => n.role === 'region' && n.name === 'Page');
  assert.equal(regions.length, 1, `${what}: no region named "Page" in ${JSON.stringify(tree.children.map((c) => c.role))}`);
  const shown = await page.textContent('#Text1');
  assert.equal(squeezed(textOf(regions[0])), squeezed(shown), `${what}: the tree reads the page text otherwise`);
  const headings = find(tree, (n) => n.role === 'heading');
  assert.deepEqual(headings.map((h) => h.name), ['VORN Interpeter'], `${what}: the page's headings`);
  return tree;
}

// The options a screen reader finds: [name, key, focused] from the top.
function optionsIn(tree) {
  const groups = find(tree, (n) => n.role === 'group' && n.name === 'Options');
  assert.ok(groups.length <= 1);
  if (!groups.length) return [];
  return find(groups[0], (n) => n.role === 'button').map((b) => [b.name, b.keys, b.focused]);
}

// The demo's first menu, as the desktop window's screen-reader test finds it too.
const firstMenu = ['鈴 Ring bell', '賽銭 Offer coin', '休む Just rest'];

// The settings dialog's controls as the tree names them, in order: `names`.
async function settingsAreNamed(page, state, names) {
  const dialog = find(await accessibilityTree(page), (n) => n.role === 'dialog')[0];
  assert.ok(dialog, `${state}: no dialog in the tree`);
  const controls = find(dialog, (n) => ['slider', 'checkbox', 'spinbutton', 'combobox'].includes(n.role));
  assert.deepEqual(controls.map((c) => c.name), names, `${state}: its controls' names in the tree`);
}

async function scenePoint(page, x, y, options = {}) {
  const box = await page.locator('#scene').boundingBox();
  await page.mouse.click(box.x + x, box.y + y, options);
}
const textNow = (page) => page.textContent('#Text1');
const captionsNow = (page) => page.evaluate(() => [1, 2, 3, 4].map((n) => document.getElementById(`Label${n}`).textContent));
const popupOpen = (page) => page.isVisible('#popup');
const focusedItem = (page) => page.evaluate(() => document.activeElement.dataset.command ?? document.activeElement.id);

async function turnPages(page, count) {
  for (let i = 0; i < count; i++) await page.keyboard.press('Enter');
  await idle(page);
}

// ---- the page's start, a page, a menu, the pop-up menu and the dialogs ------------

{
  const page = await openPage(startUrl);
  await noViolations(page, 'the page\'s start');
  await page.context().close();
}

{
  const page = await openPage();
  await idle(page);
  await noViolations(page, 'the first page');
  const tree = await pageTextIsRead(page, 'the first page');
  assert.ok(textOf(tree).includes('THE LANTERN ROAD'), 'the first page is not read');
  assert.deepEqual(optionsIn(tree), [], 'a page without a menu offers options to a screen reader');
  assert.equal(find(tree, (n) => n.name === 'Options').length, 0, 'an empty group of options is announced');

  await turnPages(page, 5);
  await noViolations(page, 'the first menu');
  const atMenu = await pageTextIsRead(page, 'the first menu');
  assert.deepEqual(optionsIn(atMenu), firstMenu.map((name, i) => [name, String(i + 1), false]),
    'the options a screen reader finds at the first menu');
  await page.keyboard.press('Tab');
  assert.deepEqual(optionsIn(await accessibilityTree(page)).map(([, , focused]) => focused), [true, false, false],
    'Tab does not focus the first option in the tree');

  // The pop-up menu, opened by the right button.
  await scenePoint(page, 8, 8, { button: 'right' });
  assert.equal(await popupOpen(page), true);
  await noViolations(page, 'the pop-up menu');
  const items = find(await accessibilityTree(page), (n) => n.role === 'menuitem');
  assert.deepEqual(items.map((i) => [i.name, i.focused]),
    [['New', true], ['Quit', false], ['About', false], ['Save…', false], ['Load…', false], ['Settings…', false]],
    'the pop-up menu in the tree');
  await page.keyboard.press('Escape');
  assert.equal(await focusedItem(page), 'Label1', 'Escape did not give the focus back to the option it came from');

  // The slot dialog, for saving and for loading.
  for (const [keys, state] of [['Control+s', 'the "Save…" dialog'], ['Control+l', 'the "Load…" dialog']]) {
    if (state.includes('Load')) { // a slot to load
      await page.keyboard.press('F5');
      await page.waitForSelector('#notice', { state: 'visible' });
    }
    await page.keyboard.press(keys);
    await page.waitForSelector('#slots[open]');
    await noViolations(page, state);
    const list = find(await accessibilityTree(page), (n) => n.role === 'listbox')[0];
    assert.ok(list && list.name, `${state}: its list has no name`);
    assert.ok(find(list, (n) => n.role === 'option').length > 0, `${state}: its list has no row`);
    await page.keyboard.press('Escape');
    await page.waitForSelector('#slots', { state: 'hidden' });
  }
  // The credits box, from the pop-up menu's "About".
  await page.keyboard.press('Shift+F10');
  await page.click('#popup [data-command="about"]');
  await page.waitForSelector('#message[open]');
  await noViolations(page, 'a message box');
  await page.keyboard.press('Enter');

  // The settings dialog, from the pop-up menu's "Settings…": each control
  // named in the tree as its label reads.
  await page.keyboard.press('Shift+F10');
  await page.click('#popup [data-command="settings"]');
  await page.waitForSelector('#settings[open]');
  await noViolations(page, 'the "Settings…" dialog');
  await settingsAreNamed(page, 'the "Settings…" dialog', ['Music volume', 'Mute the music', 'Auto mode waits',
    'Skipping turns unread pages too', 'Language (from the next start)', 'Read each page aloud (self-voicing)',
    'Speech rate', 'Voice']);
  await page.keyboard.press('Escape');
  await page.waitForSelector('#settings', { state: 'hidden' });

  // The box that asks whether to go on from where the page was left.
  await page.reload();
  await page.waitForSelector('#continue[open]');
  await noViolations(page, 'the question whether to go on');
  await page.context().close();
}

// Every dialog of the page must have been checked above.
{
  const page = await openPage(startUrl);
  const dialogs = await page.evaluate(() => [...document.querySelectorAll('dialog')].map((d) => d.id));
  const checkedDialogs = { slots: 'the "Save…" dialog', message: 'a message box', continue: 'the question whether to go on',
    settings: 'the "Settings…" dialog' };
  for (const dialog of dialogs) {
    assert.ok(checked.has(checkedDialogs[dialog]), `the dialog #${dialog} is not checked with axe-core: add it above`);
  }
  await page.context().close();
}

// In Japanese the page's own labels are Japanese, and still clean.
{
  const page = await openPage(url, { locale: 'ja-JP' });
  await idle(page);
  await turnPages(page, 5);
  await noViolations(page, 'the first menu in Japanese');
  await page.keyboard.press('Control+Comma');
  await page.waitForSelector('#settings[open]');
  await noViolations(page, 'the "Settings…" dialog in Japanese');
  await settingsAreNamed(page, 'the "Settings…" dialog in Japanese', ['音楽の音量', '音楽を消す', 'オートモードの待ち時間',
    'スキップで未読のページも進める', '言語（次の起動から）', '各ページを読み上げる（セルフボイシング）', '読み上げの速さ', '声']);
  await page.context().close();
}

// ---- the pop-up menu: its keys and presses are its own ---------------------------------

{
  const page = await openPage();
  await turnPages(page, 1);
  const second = await textNow(page);

  // Opened by the right button, it has the focus: the arrows move, round the ends too.
  await scenePoint(page, 8, 8, { button: 'right' });
  assert.equal(await focusedItem(page), 'new', 'the right button\'s menu does not take the focus');
  await page.keyboard.press('ArrowDown');
  assert.equal(await focusedItem(page), 'quit');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  assert.equal(await focusedItem(page), 'settings', 'ArrowUp from the first item does not go to the last');
  await page.keyboard.press('Home');
  assert.equal(await focusedItem(page), 'new');
  // No key pressed in it reaches the story: not Enter's turn of the page, nor a number, nor B.
  for (const key of ['1', 'b', 'PageDown']) await page.keyboard.press(key);
  assert.equal(await page.isVisible('#backlog'), false, 'B in the menu opened the backlog');
  // Escape closes it, and only it.
  await page.keyboard.press('Escape');
  assert.equal(await popupOpen(page), false, 'Escape does not close the right button\'s menu');
  assert.equal(await textNow(page), second, 'a key in the menu turned the page');
  assert.equal(await focusedItem(page), 'scene');

  // Enter chooses the item: "About" shows the credits; the page stays.
  await scenePoint(page, 8, 8, { button: 'right' });
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#message[open]');
  assert.match(await page.textContent('#message-text'), /^VORN interpeter /);
  assert.equal(await popupOpen(page), false);
  await page.keyboard.press('Enter');
  await page.waitForSelector('#message', { state: 'hidden' });
  assert.equal(await textNow(page), second, 'Enter in the menu turned the page behind it');

  // A click on the page text closes it, and turns no page; the next click does.
  await scenePoint(page, 8, 8, { button: 'right' });
  await page.click('#Text1');
  assert.equal(await popupOpen(page), false, 'a click on the page text leaves the menu open');
  await idle(page);
  assert.equal(await textNow(page), second, 'the click that closed the menu turned the page');
  await page.click('#Text1');
  await idle(page);
  assert.notEqual(await textNow(page), second, 'a click after the menu closed does not turn the page');

  // A right press elsewhere closes it, and opens no other.
  await scenePoint(page, 8, 8, { button: 'right' });
  await scenePoint(page, 20, 200, { button: 'right' });
  assert.equal(await popupOpen(page), false, 'a right press outside the menu leaves a menu open');

  // At a menu: a click on an option that closes the menu chooses nothing.
  await turnPages(page, 3);
  const options = await captionsNow(page);
  assert.notEqual(options[0], '', 'no menu after five turns of the page');
  const label = await page.evaluate(() => {
    const s = document.getElementById('Label1').style;
    return { x: parseFloat(s.left), y: parseFloat(s.top) };
  });
  await scenePoint(page, 8, 8, { button: 'right' });
  await scenePoint(page, label.x + 20, label.y + 8);
  await idle(page);
  assert.equal(await popupOpen(page), false);
  assert.deepEqual(await captionsNow(page), options, 'the click that closed the menu chose an option');

  // Shift+F10's menu over a focused option gives the focus back to it.
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Shift+F10');
  assert.equal(await focusedItem(page), 'new');
  await page.keyboard.press('Escape');
  assert.equal(await focusedItem(page), 'Label2');
  await page.context().close();
  console.log('a11y: the pop-up menu keeps its keys and the presses that close it');
}

// ---- the demo to an ending by keys alone ------------------------------------------------

{
  const page = await openPage();
  await idle(page);
  // Enter until a menu, as a reader who hears no options yet does.
  async function readToMenu() {
    for (let i = 0; i < 15 && optionsIn(await accessibilityTree(page)).length === 0; i++) await turnPages(page, 1);
    return optionsIn(await accessibilityTree(page));
  }
  assert.deepEqual((await readToMenu()).map(([name]) => name), firstMenu);
  await page.keyboard.press('Tab');
  await page.keyboard.press('Enter');
  await idle(page);
  assert.match(await textNow(page), /^You pull the rope\./, 'Enter on the focused first option did not ring the bell');
  assert.equal(await focusedItem(page), 'scene', 'the focus stayed on an option that left the tree');
  assert.deepEqual(optionsIn(await accessibilityTree(page)), [], 'the options stay in the tree once chosen');
  const second = await readToMenu();
  assert.deepEqual(second.map(([name]) => name), ['再び Walk again', '休む Rest here']);
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  assert.deepEqual(optionsIn(await accessibilityTree(page)).map(([, , focused]) => focused), [false, true]);
  await page.keyboard.press(' ');
  await idle(page);
  assert.match(await textNow(page), /^You spread your cloak/, 'Space on the focused second option did not choose it');
  for (let i = 0; i < 10 && !(await textNow(page)).startsWith('THE END'); i++) await turnPages(page, 1);
  await pageTextIsRead(page, 'the ending');
  assert.match(await textNow(page), /^THE END/, 'the keys did not reach the ending');
  await page.screenshot({ path: `${shots}/a11y-ending.png` });
  await page.context().close();
  console.log('a11y: the demo plays to its ending by keys alone, its pages and options read from the tree');
}

await browser.close();
