// Self-voicing on the page: V turns it on and the page is said, then each new
// page and the menu's options with their numbers; R repeats; a page turn cuts
// the speech off; the voice follows the page's language; the choice is kept
// for the next visit; without voices, or without a Japanese one, the reader
// is told once; the settings dialog's speech rows do as V does. The browser's
// speechSynthesis is a recording stand-in.
//
// Usage: node voicing_test.mjs URL
import { launchChromium } from './chromium.mjs';
import assert from 'node:assert/strict';


const [url] = process.argv.slice(2);
const browser = await launchChromium();

// Runs in the page before its own scripts: speechSynthesis offers `voices`
// and records what it is asked, 'cancel' or { text, lang, voice, rate }.
function standIn(voices) {
  window.heard = [];
  class Utterance {
    constructor(text) { this.text = text; this.lang = ''; this.voice = null; this.rate = 1; }
  }
  Object.defineProperty(window, 'SpeechSynthesisUtterance', { value: Utterance, configurable: true });
  Object.defineProperty(window, 'speechSynthesis', {
    configurable: true,
    value: {
      getVoices: () => voices,
      speak: (u) => window.heard.push({ text: u.text, lang: u.lang, voice: u.voice?.name ?? null, rate: u.rate }),
      cancel: () => window.heard.push('cancel'),
    },
  });
}

const both = [{ name: 'Kyoko', lang: 'ja-JP' }, { name: 'Alex', lang: 'en-US' }];

async function openDemo(context, voices) {
  const page = await context.newPage({ viewport: { width: 640, height: 440 } });
  page.on('pageerror', (error) => { throw error; });
  await page.addInitScript(standIn, voices);
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  await page.evaluate(() => window.vornPage.whenIdle());
  // A kept place is offered at the start: played from the start instead.
  if (await page.evaluate(() => document.querySelector('dialog[open]') !== null)) await page.keyboard.press('Escape');
  return page;
}

// What was heard since the last look.
async function heard(page) {
  return page.evaluate(() => window.heard.splice(0));
}
const text1 = (page) => page.textContent('#Text1');
async function key(page, name) {
  await page.keyboard.press(name);
  await page.evaluate(() => window.vornPage.whenIdle());
}

{
  const context = await browser.newContext();
  const page = await openDemo(context, both);
  assert.deepEqual(await heard(page), [], 'nothing said before V');

  await key(page, 'v');
  const first = await text1(page);
  assert.ok(first.startsWith('THE LANTERN ROAD'));
  assert.deepEqual(await heard(page), ['cancel', { text: first, lang: 'ja-JP', voice: 'Kyoko', rate: 1 }],
    'the first page, in the Japanese voice: it holds Japanese');
  assert.equal(await page.textContent('#notice'), 'Self-voicing on');

  await key(page, 'Enter');
  const second = await text1(page);
  assert.notEqual(second, first);
  assert.deepEqual(await heard(page), ['cancel', 'cancel', { text: second, lang: 'ja-JP', voice: 'Kyoko', rate: 1 }],
    'the page turn cuts the speech off, then the new page');
  await key(page, 'r');
  assert.deepEqual((await heard(page)).filter((u) => u !== 'cancel'), [{ text: second, lang: 'ja-JP', voice: 'Kyoko', rate: 1 }]);

  // On to the first menu: its options, numbered, in order.
  for (let turn = 0; turn < 4 && (await page.textContent('#Text1')) !== ''; turn++) await key(page, 'Enter');
  const captions = await page.evaluate(() => [1, 2, 3, 4].map((n) => document.getElementById(`Label${n}`))
    .filter((label) => label.getAttribute('aria-disabled') === 'false').map((label) => label.textContent));
  assert.ok(captions.length >= 2, 'the demo\'s first menu');
  const said = (await heard(page)).filter((u) => u !== 'cancel').pop();
  assert.equal(said.text, captions.map((caption, i) => `${i + 1}: ${caption}`).join('\n'));

  await key(page, 'v');
  assert.deepEqual(await heard(page), ['cancel'], 'off: silent at once');
  await key(page, '1');
  assert.deepEqual((await heard(page)).filter((u) => u !== 'cancel'), [], 'off: nothing said');
  await key(page, 'v');
  await heard(page);

  // Kept on: the next visit says its first page at once.
  await page.close();
  const again = await openDemo(context, both);
  const kept = (await heard(again)).filter((u) => u !== 'cancel');
  assert.ok(kept.length >= 1 && kept[0].text.startsWith('THE LANTERN ROAD'), 'kept on for the next visit');
  await context.close();
}

{
  // No voices at all: told once, and the game plays on.
  const context = await browser.newContext();
  const page = await openDemo(context, []);
  await key(page, 'v');
  assert.match(await page.textContent('#notice'), /Speech is not available/);
  assert.deepEqual((await heard(page)).filter((u) => u !== 'cancel'), []);
  await page.evaluate(() => { document.getElementById('notice').hidden = true; });
  await key(page, 'Enter');
  await key(page, 'r');
  assert.equal(await page.isHidden('#notice'), true, 'told once');
  assert.ok((await text1(page)).length > 0);
  await context.close();
}

{
  // An English voice only: the Japanese page is said by it, and the reader told once.
  const context = await browser.newContext();
  const page = await openDemo(context, [{ name: 'Alex', lang: 'en-US' }]);
  await key(page, 'v');
  assert.match(await page.textContent('#notice'), /No Japanese voice/);
  const said = (await heard(page)).filter((u) => u !== 'cancel');
  assert.equal(said.length, 1);
  assert.equal(said[0].voice, null, 'no voice is forced on a Japanese text');
  assert.equal(said[0].lang, 'ja-JP');
  await page.evaluate(() => { document.getElementById('notice').hidden = true; });
  await key(page, 'Enter');
  assert.equal(await page.isHidden('#notice'), true, 'told once');
  await context.close();
}

{
  // The settings dialog's speech rows: they show the kept document (a kept
  // voice this browser lacks stays offered), turning self-voicing on there
  // speaks at once as V does and off falls silent at once, Cancel changes
  // nothing, and OK keeps the rate and the voice, which the next words use.
  const voices = [{ name: 'Kyoko', lang: 'ja-JP' }, { name: 'Otoya', lang: 'ja-JP' }, { name: 'Alex', lang: 'en-US' }];
  const context = await browser.newContext();
  let page = await openDemo(context, voices);
  await page.evaluate(() => localStorage.setItem('vorn-settings', '{"speechRate": -5, "voice": "Fiona"}'));
  await page.close();
  page = await openDemo(context, voices);
  const kept = () => page.evaluate(() => JSON.parse(localStorage.getItem('vorn-settings')));
  const dialog = async (change, button = 'ok') => {
    await page.keyboard.press('Control+Comma');
    await page.waitForSelector('#settings[open]');
    const shown = await page.evaluate(() => ({
      on: document.getElementById('setting-self-voicing').checked,
      rate: document.getElementById('setting-speech-rate').value,
      voice: document.getElementById('setting-voice').value,
      offered: [...document.getElementById('setting-voice').options].map((o) => [o.value, o.textContent]),
    }));
    await change();
    const before = await page.evaluate(() => localStorage.getItem('vorn-settings'));
    await page.click(`#settings button[value="${button}"]`);
    // The dialog's answer is taken in its close event, a task of its own after
    // the click: each OK here changes the kept document, which says it was taken.
    await page.waitForFunction(() => !document.getElementById('settings').open);
    if (button === 'ok') {
      await page.waitForFunction((b) => localStorage.getItem('vorn-settings') !== b, before);
    }
    await page.evaluate(() => window.vornPage.whenIdle());
    return shown;
  };
  const first = await text1(page);
  await heard(page);

  let shown = await dialog(() => page.check('#setting-self-voicing'), 'cancel');
  assert.deepEqual(shown, { on: false, rate: '-5', voice: 'Fiona', offered: [
    ['', "One for the page's language"], ['Kyoko', 'Kyoko (ja-JP)'],
    ['Otoya', 'Otoya (ja-JP)'], ['Alex', 'Alex (en-US)'], ['Fiona', 'Fiona']] }, 'the speech rows show the kept document');
  assert.deepEqual(await heard(page), [], 'Cancel turns nothing on');
  assert.deepEqual(await kept(), { speechRate: -5, voice: 'Fiona' }, 'Cancel keeps nothing');

  shown = await dialog(() => page.check('#setting-self-voicing'));
  assert.deepEqual((await heard(page)).filter((u) => u !== 'cancel').map((u) => ({ ...u, rate: u.rate.toFixed(4) })),
    [{ text: first, lang: 'ja-JP', voice: 'Kyoko', rate: '0.7071' }],
    'turned on in the dialog, the page is said at once, at the kept rate, by a Japanese voice: Fiona is not there');
  assert.deepEqual([(await kept()).selfVoicing, (await kept()).voice], [true, 'Fiona'], 'OK keeps the voice it was not offered');

  shown = await dialog(async () => {
    await page.fill('#setting-speech-rate', '10');
    await page.selectOption('#setting-voice', 'Otoya');
  });
  assert.equal(shown.on, true);
  assert.deepEqual(await heard(page), [], 'the rate and the voice change nothing said');
  assert.deepEqual([(await kept()).speechRate, (await kept()).voice], [10, 'Otoya']);
  await key(page, 'r');
  assert.deepEqual((await heard(page)).filter((u) => u !== 'cancel'),
    [{ text: first, lang: 'ja-JP', voice: 'Otoya', rate: 2 }], 'the chosen voice at the chosen rate');

  shown = await dialog(() => page.uncheck('#setting-self-voicing'));
  assert.deepEqual(shown.voice, 'Otoya');
  assert.deepEqual(await heard(page), ['cancel'], 'turned off in the dialog: silent at once');
  assert.equal((await kept()).selfVoicing, false);
  await key(page, 'Enter');
  assert.deepEqual((await heard(page)).filter((u) => u !== 'cancel'), [], 'off: the next page is not said');
  await context.close();
}

await browser.close();
console.log('voicing: the page speaks its pages and options, by the page\'s language, as the player says');
