// Saved games in the page: the slots kept in the browser's storage
// (IndexedDB), in the desktop player's JSON documents with a small PNG of the
// scene; F5 and F9, the "Save…" and "Load…" dialog, and the place kept when
// the reader quits or leaves the page, offered when the same game opens again.
// The compiled player saves and loads; this file keeps and shows its slots.

import { words } from './page-words.js';

const QUICK = 'quick';
const CONTINUE = 'continue';

// ---- the browser's storage ---------------------------------------------------

let database = null;
function openDatabase() {
  if (database) return database;
  database = new Promise((resolve, reject) => {
    const request = indexedDB.open('vorn', 1);
    request.onupgradeneeded = () => request.result.createObjectStore('slots', { keyPath: ['game', 'slot'] });
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  return database;
}

function done(request) {
  return new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

async function storeOf(mode) {
  const db = await openDatabase();
  return db.transaction('slots', mode).objectStore('slots');
}

export async function readSlots(game) {
  const store = await storeOf('readonly');
  return done(store.getAll(IDBKeyRange.bound([game, ''], [game, '\uffff'])));
}

// Writes and deletions start in the same task as the save, on the connection
// opened with the game, and are committed at once: a save made as the page is
// left (pagehide) is then kept though the page goes away.
function change(db, act) {
  const transaction = db.transaction('slots', 'readwrite');
  act(transaction.objectStore('slots'));
  transaction.commit?.();
  return new Promise((resolve, reject) => {
    transaction.oncomplete = () => resolve();
    transaction.onerror = () => reject(transaction.error);
    transaction.onabort = () => reject(transaction.error);
  });
}

// ---- the script's SHA-256 -------------------------------------------------------

async function sha256(bytes) {
  const digest = await crypto.subtle.digest('SHA-256', bytes);
  return [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, '0')).join('');
}

// The moment `dialog` is closed. The close event of an earlier showing of the
// same dialog may still be on its way when it is shown again; that one is not it.
function closing(dialog) {
  return new Promise((resolve) => {
    const closed = () => {
      if (dialog.open) return;
      dialog.removeEventListener('close', closed);
      resolve();
    };
    dialog.addEventListener('close', closed);
  });
}

// ---- the saves of the game being played -------------------------------------------

// A slot's name for the reader; the player says which slots are its own
// quick and continue slots (their names may carry a mark of the script).
export function displayName(slot, game) {
  const automatic = game ? game.automaticSlot(slot) : slot;
  if (automatic === QUICK) return words('quickSave');
  if (automatic === CONTINUE) return words('whereLeft');
  return slot;
}

// `page` gives: game() the WebGame, play(action) to call it as every press
// does, scenePicture() a PNG of the scene, message(text) a box, notice(words),
// loaded() after a load.
export class PageSaves {
  constructor(page) {
    this.page = page;
    this.name = '';
    this.ready = false; // whether saves can be made: the hash is known and the storage read
    this.dialog = document.getElementById('slots');
    this.list = document.getElementById('slot-list');
    this.take = document.getElementById('slot-take');
    this.remove = document.getElementById('slot-delete');
    this.remove.addEventListener('click', () => this.deleteChosen());
    this.list.addEventListener('dblclick', () => { this.dialog.close('take'); });
    this.list.addEventListener('keydown', (event) => this.keyInList(event));
  }

  // Before the game starts: the script's hash and the slots kept for the game.
  async open(game) {
    this.ready = false;
    this.hashed = false; // whether the game knows its script's SHA-256, which names its saves and read pages
    this.name = game.savesName() || 'game';
    try {
      game.setScriptHash(await sha256(game.scriptBytes().slice()));
      this.hashed = true;
      this.db = await openDatabase();
      for (const record of await readSlots(this.name)) {
        game.keepSlot(record.slot, record.document, record.png ?? null, record.picture ?? '');
      }
      this.ready = true;
    } catch (error) {
      // No crypto.subtle (a page not served over https or from this computer)
      // or no storage (a private window may refuse it): the game plays unsaved.
      console.warn('the page cannot keep saved games:', error);
      this.why = 'the browser keeps no saved games for this page (it needs a page served over https, '
        + `and storage the browser allows): ${error.message || error}`;
    }
  }

  // The compiled player's calls, at each save and deletion: kept at once.
  keep(slot, documentText, png, picture) {
    const record = { game: this.name, slot, document: documentText, png: png.length ? png.slice() : null, picture };
    change(this.db, (store) => store.put(record)).catch((error) => this.page.message(
      `The save in slot "${slot}" could not be kept in the browser's storage: ${error.message || error}`));
  }
  forget(slot) {
    change(this.db, (store) => store.delete([this.name, slot])).catch(() => {});
  }

  saveTo(slot) {
    const game = this.page.game();
    if (!game || !this.usable()) return;
    const why = game.save(slot, this.page.scenePicture());
    if (why) this.page.message(why);
    else this.page.notice(words('saved', displayName(slot, game)));
  }

  loadFrom(slot) {
    const game = this.page.game();
    if (!game || !this.usable()) return;
    let why = '';
    this.page.play(() => { why = game.load(slot); return game.fatalError(); });
    if (game.fatalError()) return;
    if (why) {
      this.page.message(why);
      return;
    }
    this.page.loaded?.();
    this.page.notice(words('loaded', displayName(slot, game)));
  }

  // F5: into the game's own quick slot, never over a save of another game or version.
  quickSave() {
    const game = this.page.game();
    if (!game || !this.usable()) return;
    this.saveTo(game.ownSlot(QUICK, true));
  }

  quickLoad() {
    const game = this.page.game();
    if (!game || !this.usable()) return;
    // The game's own quick slot: a save of another game or version under the same name is kept.
    const slot = game.ownSlot(QUICK, false);
    if (!game.findSlot(slot)) { this.page.message(words('noQuickSave')); return; }
    this.loadFrom(slot);
  }

  usable() {
    if (!this.ready) this.page.message(this.why || 'the game cannot be saved yet');
    return this.ready;
  }

  // When the reader quits or leaves the page.
  keepPlace() {
    const game = this.page.game();
    if (!game || !this.ready) return;
    const why = game.keepPlace(this.page.scenePicture());
    if (why) console.warn(why);
  }

  // When the game has opened: the place kept from last time, offered.
  async offerContinue() {
    const game = this.page.game();
    if (!game || !this.ready) return;
    const slot = game.ownSlot(CONTINUE, false);
    const kept = game.findSlot(slot);
    if (!kept) return;
    const fromTheStart = 'The game starts from the beginning.';
    if (kept.problem) {
      this.page.message(`The place kept when this game was last closed cannot be gone on from: ${kept.problem}\n\n`
        + fromTheStart);
      return;
    }
    const box = document.getElementById('continue');
    let question = words('goOnQuestion');
    if (kept.firstLine) question += `\n\n\u201c${kept.firstLine.replace(/\s+/g, ' ').trim()}\u201d`;
    document.getElementById('continue-text').textContent = question;
    box.returnValue = '';
    box.showModal();
    await closing(box);
    if (box.returnValue !== 'go') return;
    let why = '';
    this.page.play(() => { why = game.load(slot); return game.fatalError(); });
    if (why) this.page.message(`${why}\n\n${fromTheStart}`);
    else game.markStartPlace();
  }

  // ---- the "Save…" and "Load…" dialog ----------------------------------------------

  async openDialog(saving) {
    const game = this.page.game();
    if (!game || !this.usable() || this.dialog.open) return;
    this.saving = saving;
    document.getElementById('slots-title').textContent = words(saving ? 'saveMenu' : 'loadMenu');
    this.take.textContent = words(saving ? 'save' : 'load');
    this.fill();
    this.dialog.returnValue = '';
    this.dialog.showModal();
    this.list.focus();
    await closing(this.dialog);
    if (this.dialog.returnValue !== 'take') return;
    const chosen = this.chosen();
    if (!chosen) return;
    if (saving) {
      const existing = this.slots.find((s) => s.slot === chosen);
      if (existing) {
        const question = existing.problem
          ? words('saveOverBroken', displayName(chosen, game))
          : words('saveOver', displayName(chosen, game));
        if (!window.confirm(question)) return;
      }
      this.saveTo(chosen);
    } else {
      this.loadFrom(chosen);
    }
  }

  fill() {
    const game = this.page.game();
    // Newest first; slots that cannot be read have no date and come last, by name.
    this.slots = [...game.slots()].sort((a, b) => (b.savedAt > a.savedAt) - (b.savedAt < a.savedAt)
      || a.slot.localeCompare(b.slot));
    this.list.textContent = '';
    const rows = [];
    if (this.saving) rows.push({ slot: game.newSlotName(), fresh: true });
    rows.push(...this.slots);
    for (const [index, row] of rows.entries()) {
      const item = document.createElement('li');
      item.role = 'option';
      item.id = `slot-${index}`;
      item.dataset.slot = row.slot;
      const picture = document.createElement('img');
      picture.alt = '';
      if (row.picture) picture.src = URL.createObjectURL(new Blob([row.picture], { type: 'image/png' }));
      const about = document.createElement('div');
      const name = document.createElement('strong');
      name.textContent = row.fresh ? words('newSave') : displayName(row.slot, game);
      about.append(name);
      for (const line of row.fresh ? [] : [row.savedAt ? new Date(row.savedAt).toLocaleString() : '',
        row.problem || row.firstLine]) {
        const p = document.createElement('span');
        p.textContent = line;
        if (line === row.problem && row.problem) p.className = 'problem';
        about.append(p);
      }
      item.append(picture, about);
      item.addEventListener('click', () => this.choose(item));
      this.list.append(item);
    }
    this.choose(this.list.firstElementChild);
  }

  choose(item) {
    for (const row of this.list.children) row.setAttribute('aria-selected', String(row === item));
    // The list keeps the focus; a screen reader follows the row chosen in it.
    if (item) this.list.setAttribute('aria-activedescendant', item.id);
    else this.list.removeAttribute('aria-activedescendant');
    const row = item && this.slots.find((s) => s.slot === item.dataset.slot);
    this.take.disabled = !item || (!this.saving && (!row || !!row.problem));
    this.remove.disabled = !row;
    item?.scrollIntoView({ block: 'nearest' });
  }

  chosen() {
    return this.list.querySelector('[aria-selected="true"]')?.dataset.slot ?? '';
  }

  keyInList(event) {
    const items = [...this.list.children];
    const at = items.findIndex((i) => i.getAttribute('aria-selected') === 'true');
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      const next = items[Math.max(0, Math.min(items.length - 1, at + (event.key === 'ArrowDown' ? 1 : -1)))];
      this.choose(next);
    } else if (event.key === 'Enter') {
      event.preventDefault();
      if (!this.take.disabled) this.dialog.close('take');
    } else if (event.key === 'Delete') {
      event.preventDefault();
      this.deleteChosen();
    }
  }

  deleteChosen() {
    const slot = this.chosen();
    if (!slot || !this.slots.some((s) => s.slot === slot)) return;
    if (!window.confirm(words('deleteQuestion', displayName(slot, this.page.game())))) return;
    const why = this.page.game().removeSlot(slot);
    if (why) this.page.message(why);
    this.fill();
  }
}
