// The reader's settings in the browser page, in headless Chromium: kept in
// the browser's storage as the desktop's settings document, a damaged one
// read as the defaults with a note; the volume keys and their mark; the
// "Settings…" dialog with a label on every control; auto mode turning the
// pages with no input up to the menu, waiting there, and going on after the
// choice.
//
// Usage: node reader_settings_test.mjs URL SHOTS_DIR
import { launchChromium } from './chromium.mjs';
import assert from 'node:assert/strict';


const [url, shots] = process.argv.slice(2);

const browser = await launchChromium();
const context = await browser.newContext({ viewport: { width: 640, height: 440 } });
const page = await context.newPage();
page.on('pageerror', (error) => { throw error; });
const warnings = [];
page.on('console', (message) => { if (message.type() === 'warning') warnings.push(message.text()); });

const idle = () => page.evaluate(() => window.vornPage.whenIdle());
async function ready() {
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 30000 });
  await idle();
}
const kept = () => page.evaluate(() => JSON.parse(localStorage.getItem('vorn-settings')));
const markText = (id) => page.evaluate((mark) => {
  const m = document.getElementById(mark);
  return m.hidden ? '' : m.textContent;
}, id);
const screen = () => page.evaluate(() => ({
  text: document.getElementById('Text1').textContent,
  caption: document.getElementById('Label1').textContent,
}));

try {
  // A damaged document: the game plays with the defaults, and the note says so.
  await page.goto(url);
  await page.evaluate(() => localStorage.setItem('vorn-settings', '{"musicVolume": 40,'));
  await page.reload();
  await ready();
  assert.ok(warnings.some((w) => /not a settings document/.test(w)), `a note of the damaged settings: ${warnings}`);

  // The volume keys: kept at once, and shown for a moment.
  await page.keyboard.press('9');
  assert.equal((await kept()).musicVolume, 90);
  assert.equal(await markText('volume-mark'), 'Volume 90 %');
  await page.keyboard.press('m');
  assert.equal((await kept()).musicMuted, true);
  assert.equal(await markText('volume-mark'), 'Music muted');
  await page.keyboard.press('0');
  assert.deepEqual([(await kept()).musicVolume, (await kept()).musicMuted], [100, false], 'louder unmutes');

  // The dialog, from Ctrl+comma: each control labelled; OK keeps what it shows.
  await page.keyboard.press('Control+Comma');
  assert.equal(await page.evaluate(() => document.getElementById('settings').open), true, 'Ctrl+comma opens Settings');
  const unlabelled = await page.evaluate(() => [...document.querySelectorAll('#settings input, #settings select')]
    .filter((control) => control.labels.length === 0).map((control) => control.id));
  assert.deepEqual(unlabelled, [], 'every control has a label');
  await page.screenshot({ path: `${shots}/page-settings-dialog.png` });
  await page.evaluate(() => {
    const volume = document.getElementById('setting-volume');
    volume.value = 40;
    volume.dispatchEvent(new Event('input'));
  });
  await page.fill('#setting-auto-delay', '10');
  await page.check('#setting-skip-unread');
  // The speech rows show the defaults; this browser has no voices to offer.
  assert.deepEqual(await page.evaluate(() => [document.getElementById('setting-self-voicing').checked,
    document.getElementById('setting-speech-rate').value,
    [...document.getElementById('setting-voice').options].map((o) => o.value)]), [false, '0', ['']]);
  await page.fill('#setting-speech-rate', '-3');
  const beforeOk = await page.evaluate(() => localStorage.getItem('vorn-settings'));
  await page.click('#settings button[value="ok"]');
  // Taken in the dialog's close event, a task of its own after the click.
  await page.waitForFunction((b) => localStorage.getItem('vorn-settings') !== b, beforeOk);
  const afterDialog = await kept();
  assert.deepEqual([afterDialog.musicVolume, afterDialog.autoDelay, afterDialog.skipUnread, afterDialog.selfVoicing,
    afterDialog.speechRate, afterDialog.voice], [40, 10, true, false, -3, '']);

  // A rate beyond the field's limits is refused where it is typed: OK keeps the dialog open.
  await page.keyboard.press('Control+Comma');
  await page.fill('#setting-speech-rate', '11');
  await page.click('#settings button[value="ok"]');
  assert.equal(await page.evaluate(() => document.getElementById('settings').open), true, 'OK took a rate of 11');
  await page.click('#settings button[value="cancel"]');
  assert.equal((await kept()).speechRate, -3);

  // A reload reads them back, as the desktop's next start does.
  await page.reload();
  await ready();
  await page.click('#Text1'); // the reader's first click, as the scene's focus
  await idle();
  assert.deepEqual(await page.evaluate(() => [window.vornPage.settings.settings.musicVolume,
    window.vornPage.settings.settings.speechRate]), [40, -3]);

  // Auto mode: the pages turn with no input, up to the menu, which waits.
  await page.keyboard.press('a');
  assert.equal(await markText('auto-mark'), 'Auto');
  await page.waitForFunction(() => /Ring bell/.test(document.getElementById('Label1').textContent), null,
    { timeout: 30000 });
  const atMenu = await screen();
  await page.waitForTimeout(3000);
  assert.deepEqual(await screen(), atMenu, 'auto mode waits at the menu');
  await page.screenshot({ path: `${shots}/page-auto-menu.png` });
  await page.keyboard.press('1');
  await idle();
  const chosen = await screen();
  await page.waitForFunction((before) => document.getElementById('Text1').textContent !== before, chosen.text,
    { timeout: 20000 });
  await page.keyboard.press('a');
  assert.equal(await markText('auto-mark'), '', 'A turns auto mode off');
  console.log('reader settings in the page: ok');
} finally {
  await browser.close();
}
