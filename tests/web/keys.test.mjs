// The page's keys are the player's key table: every row of the table, read
// from the compiled player, pressed as a browser reports the key, gives the
// row's action through the page's own lookup (keys.js), as the window's does.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const modules = process.env.VORN_WEB_MODULES;
const build = process.env.VORN_WEB_BUILD;
const { pageKey, CTRL, SHIFT, ALT, META } = await import(pathToFileURL(path.join(modules, 'keys.js')));
const createVornModule = createRequire(import.meta.url)(path.join(build, 'vorn-web.js'));
const vorn = await createVornModule({ wasmBinary: fs.readFileSync(path.join(build, 'vorn-web.wasm')) });

// A keydown event as a browser makes it.
const press = (key, modifiers) => ({
  key,
  ctrlKey: (modifiers & CTRL) !== 0,
  shiftKey: (modifiers & SHIFT) !== 0,
  altKey: (modifiers & ALT) !== 0,
  metaKey: (modifiers & META) !== 0,
});

// What the page does for each action; the rest are left to the browser.
const performed = new Set(['ReadOn', 'ClickOption1', 'ClickOption2', 'ClickOption3', 'ClickOption4', 'ScrollUp',
  'ScrollDown', 'ToggleBacklog', 'CloseBacklog', 'CopyPage', 'PopupMenu', 'QuickSave', 'QuickLoad', 'SaveDialog',
  'LoadDialog', 'ToggleAuto', 'ToggleMute', 'VolumeDown', 'VolumeUp', 'OpenSettings', 'StepBack', 'SkipWhileHeld',
  'ToggleSkip', 'ToggleVoicing', 'RepeatSpeech']);
const leftToBrowser = new Set(['ZoomIn', 'ZoomOut', 'ToggleFullScreen', 'Quit']);

test('every key of the table does on the page what the table says', () => {
  const rows = [...vorn.keyTable()];
  assert.ok(rows.length >= 20, `only ${rows.length} keys`);
  const page = fs.readFileSync(path.join(modules, 'page-input.js'), 'utf8');
  for (const row of rows) {
    const found = pageKey(vorn, press(row.key, row.modifiers));
    assert.equal(found?.action, row.action, `${row.key} with ${row.modifiers}`);
    assert.equal(pageKey(vorn, press(row.key, row.modifiers | META)), null, `${row.key} with Meta held`);
    if (/^[a-z]$/.test(row.key)) {
      assert.equal(pageKey(vorn, press(row.key.toUpperCase(), row.modifiers))?.action, row.action, 'Caps Lock');
    }
    assert.ok(performed.has(row.action) || leftToBrowser.has(row.action), `the page knows no ${row.action}`);
    if (performed.has(row.action)) assert.ok(page.includes(`'${row.action}'`), `page-input.js performs no ${row.action}`);
  }
});

test('under the backlog the page follows the table', () => {
  assert.equal(pageKey(vorn, press('b', 0)).whileBacklog, 'ClosesIt');
  assert.equal(pageKey(vorn, press('F5', 0)).whileBacklog, 'ClosesFirst');
  assert.equal(pageKey(vorn, press('Enter', 0)).whileBacklog, 'Ignored');
  assert.equal(pageKey(vorn, press('ArrowUp', 0)).whileBacklog, 'ScrollsIt');
  assert.equal(pageKey(vorn, press('c', CTRL)).whileBacklog, 'ActsAsEver');
  // Ctrl pressed alone (skipping while held) comes first in Ctrl+C: it leaves the backlog open.
  assert.equal(pageKey(vorn, press('Control', CTRL)).whileBacklog, 'Ignored');
  assert.equal(pageKey(vorn, press('ArrowLeft', 0)).whileBacklog, 'ClosesFirst');
});

test('keys the table does not hold do nothing', () => {
  for (const [key, modifiers] of [['q', 0], ['5', 0], ['1', CTRL], ['F5', CTRL], ['B', SHIFT], ['Enter', CTRL],
    ['Shift', SHIFT], ['Unidentified', 0]]) {
    assert.equal(pageKey(vorn, press(key, modifiers)), null, `${key} with ${modifiers}`);
  }
});
