// Gamepads on the page, through the browser's Gamepad API in its standard
// mapping. Each button presses the key its row in the player's pad table
// names (the compiled player's padTable, which the desktop reads too): the
// key goes to what has the focus as a key press would, so a pad does exactly
// what the keyboard does. What the browser does itself for a real key (Tab
// moves the focus, Enter presses a focused button, Escape closes a dialog) is
// done here, since it does nothing for a key of the page's own making.

import { CTRL, SHIFT, ALT } from './keys.js';

// The standard mapping's button numbers, by the pad table's button names.
const STANDARD = {
  south: 0, east: 1, west: 2, north: 3, 'left-shoulder': 4, 'right-shoulder': 5,
  select: 8, start: 9, 'dpad-up': 12, 'dpad-down': 13, 'dpad-left': 14, 'dpad-right': 15,
};

export function pageGamepad({ module, sceneBox, labels, backlogBox, popup }) {
  let rows = []; // the pad table, read once the page listens for pads

  function openDialog() { return document.querySelector('dialog[open]'); }
  // The story has the keyboard: no dialog, menu or backlog over it.
  function inPlay() {
    return !sceneBox.hidden && !openDialog() && popup.hidden && backlogBox.hidden;
  }

  function send(type, key) {
    const target = document.activeElement && document.activeElement !== document.body
      ? document.activeElement : (inPlay() ? sceneBox : document.body);
    const event = new KeyboardEvent(type, {
      key: key.key, bubbles: true, cancelable: true,
      ctrlKey: Boolean(key.modifiers & CTRL), shiftKey: Boolean(key.modifiers & SHIFT), altKey: Boolean(key.modifiers & ALT),
    });
    const wanted = target.dispatchEvent(event);
    if (type === 'keydown' && wanted) doAsTheBrowserWould(key, target);
  }

  function doAsTheBrowserWould(key, target) {
    if (key.key === 'Tab') moveFocus(key.modifiers & SHIFT ? -1 : 1);
    else if ((key.key === 'Enter' || key.key === ' ') && target !== document.body && target.matches('button, [role="button"], [role="option"], [tabindex="0"]')) target.click();
    else if (key.key === 'Escape') openDialog()?.close();
  }

  // Tab among what can take the focus where the reader is: the open dialog,
  // the menu, the offered options in play, or the page.
  function moveFocus(step) {
    const scope = openDialog() ?? (popup.hidden ? null : popup);
    const candidates = scope
      ? [...scope.querySelectorAll('button, input, select, textarea, [href], [tabindex]')]
      : inPlay() ? labels : [...document.querySelectorAll('button, input, select, textarea, [href], [tabindex]')];
    const usable = candidates.filter((e) => e.tabIndex >= 0 && !e.disabled && e.getClientRects().length > 0);
    if (usable.length === 0) return;
    const at = usable.indexOf(document.activeElement);
    const next = at < 0 ? (step > 0 ? 0 : usable.length - 1) : (at + step + usable.length) % usable.length;
    usable[next].focus();
  }

  const down = new Map(); // button name → the key it pressed while held
  function press(row) {
    const key = inPlay() ? row.inPlay : row.inDialog;
    if (!key) return;
    send('keydown', key);
    if (row.held) down.set(row.name, key);
    else send('keyup', key);
  }
  function release(row) {
    const key = down.get(row.name);
    if (!key) return;
    down.delete(row.name);
    send('keyup', { key: key.key, modifiers: 0 });
  }

  const was = new Map(); // per pad: the buttons down at the last look
  const stickWas = new Map();
  function look() {
    const pads = [...(navigator.getGamepads?.() ?? [])].filter((p) => p && p.connected && p.mapping === 'standard');
    for (const pad of pads) {
      const before = was.get(pad.index) ?? new Set();
      const now = new Set();
      for (const row of rows) {
        const button = pad.buttons[STANDARD[row.name]];
        if (button?.pressed) now.add(row.name);
      }
      for (const row of rows) {
        if (now.has(row.name) && !before.has(row.name)) press(row);
        else if (!now.has(row.name) && before.has(row.name)) release(row);
      }
      was.set(pad.index, now);
      lookAtStick(pad);
    }
    // A pad gone with a button held lets go of it.
    for (const index of [...was.keys()]) {
      if (!pads.some((p) => p.index === index)) {
        for (const name of was.get(index)) release(rows.find((r) => r.name === name));
        was.delete(index);
        stickWas.delete(index);
      }
    }
    return pads.length > 0;
  }
  // The stick presses the d-pad by the pad table's rule, on SDL's scale of its axes.
  function lookAtStick(pad) {
    const [x = 0, y = 0] = pad.axes;
    const before = stickWas.get(pad.index) ?? '';
    const now = module.padStick(Math.round(x * 32767), Math.round(y * 32767), before);
    if (now !== before && now) press(rows.find((r) => r.name === now));
    stickWas.set(pad.index, now);
  }

  // Looked at every frame while a pad is there, and twice a second for one
  // plugged in (the browser tells of a pad only once a button is pressed).
  let frame = null;
  function everyFrame() {
    frame = look() ? requestAnimationFrame(everyFrame) : null;
  }
  function start() { if (frame === null) frame = requestAnimationFrame(everyFrame); }
  // Called once the first page is drawn: the first look at the pads, or a
  // listener for them, wakes the browser's gamepad service, which the first
  // page does not wait for.
  return {
    listen() {
      rows = [...module.padTable()];
      window.addEventListener('gamepadconnected', start);
      setInterval(() => { if (frame === null && look()) start(); }, 500);
      if (look()) start();
    },
  };
}
