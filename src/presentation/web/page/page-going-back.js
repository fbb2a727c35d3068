// Going back into play and skipping what was read, on the page, as the
// desktop window does: the places kept, what going back shows and which page
// may be skipped are the compiled player's rules; the page asks, and marks
// where the reader is ("back 3", "Skip"). The pages read are kept in the
// browser's storage for the next visit.

import { words } from './page-words.js';

// The read pages of every game, as the compiled player writes them.
const READ_PAGES_KEY = 'vorn-read-pages';
// Ctrl held alone this long starts skipping, so that Ctrl+C and the browser's
// shortcuts never turn a page; then a page every 50 ms.
const HOLD_DELAY = 300;
const SKIP_INTERVAL = 50;

export function pageGoingBack({ module, game, play, placeMark, closeBacklog, showNotice, settings }) {
  let stepsBack = 0; // places gone back since the reader last played on
  let skipTimer = null;
  let holdTimer = null;
  let whileHeld = false; // skipping ends when Ctrl is let go, not at a stop

  function updateMark() {
    const text = skipTimer ? words('skipMark') : stepsBack > 0 ? words('backMark', stepsBack) : '';
    placeMark.textContent = text;
    placeMark.hidden = !text;
  }

  // A run has played on from where the reader was: no longer back.
  function playedOn() {
    if (stepsBack === 0) return;
    stepsBack = 0;
    updateMark();
  }

  function stepBack() {
    if (!game()) return;
    stopSkipping();
    closeBacklog();
    let why = '';
    play(() => {
      why = game().stepBack();
      return game().fatalError();
    });
    if (!game()) return;
    if (why) {
      showNotice(words('nothingBack'));
      return;
    }
    stepsBack++;
    updateMark();
  }

  // To where the backlog's entry `index` (0 = the oldest) was on screen.
  function stepBackTo(index) {
    if (!game()) return;
    stopSkipping();
    closeBacklog();
    const before = game().placesBehind();
    let why = '';
    play(() => {
      why = game().stepBackTo(index);
      return game().fatalError();
    });
    if (!game()) return;
    if (why) {
      showNotice(words('tooFarBack'));
      return;
    }
    stepsBack += Math.max(0, before - game().placesBehind());
    updateMark();
  }

  function skipOnce() {
    if (!game()) { stopSkipping(); return; }
    let turned = false;
    play(() => {
      turned = game().skipStep(Boolean(settings().skipUnread));
      return game().fatalError();
    });
    if (turned) {
      playedOn();
      readPages.changed();
    } else if (!whileHeld) {
      stopSkipping();
    }
  }

  // Held: Ctrl turns pages for as long as it is held (a stop at a menu or an
  // unread page waits for the reader). Toggled: S turns pages until the first stop.
  function startSkipping(held) {
    clearTimeout(holdTimer);
    holdTimer = null;
    whileHeld = held;
    clearInterval(skipTimer);
    skipTimer = setInterval(skipOnce, SKIP_INTERVAL);
    updateMark();
    skipOnce();
  }
  function stopSkipping() {
    clearTimeout(holdTimer);
    holdTimer = null;
    const was = Boolean(skipTimer);
    clearInterval(skipTimer);
    skipTimer = null;
    whileHeld = false;
    if (was) updateMark();
  }
  // The Ctrl key pressed alone.
  function ctrlPressed() {
    if (!skipTimer && !holdTimer) holdTimer = setTimeout(() => startSkipping(true), HOLD_DELAY);
  }
  function ctrlReleased() {
    if (whileHeld || holdTimer) stopSkipping();
  }
  function toggleSkip() {
    if (skipTimer && !whileHeld) stopSkipping();
    else startSkipping(false);
  }

  // The read pages: handed to the game before it is read, and kept a moment
  // after the last page read (a skip turns twenty pages a second), and when
  // the reader leaves.
  const readPages = {
    kept: 0,
    timer: null,
    // Without its script's hash a game cannot be told from another: its pages
    // read count for this visit only, and none are taken from or kept in storage.
    enabled: false,
    open(opened, hashed) {
      this.enabled = hashed;
      this.kept = opened.readPagesChanges();
      if (!hashed) return;
      let document = null;
      try {
        document = localStorage.getItem(READ_PAGES_KEY);
      } catch {
        // no storage for this page: every page is unread, and none is kept
      }
      if (document) {
        const why = opened.adoptReadPages(document);
        if (why) console.warn('the pages read before are set aside:', why);
      }
      this.kept = opened.readPagesChanges();
    },
    changed() {
      if (this.enabled && !this.timer && game() && game().readPagesChanges() !== this.kept) {
        this.timer = setTimeout(() => this.keep(), module.readPagesKeepDelay);
      }
    },
    keep() {
      clearTimeout(this.timer);
      this.timer = null;
      if (!this.enabled || !game() || game().readPagesChanges() === this.kept) return;
      this.kept = game().readPagesChanges();
      try {
        localStorage.setItem(READ_PAGES_KEY, game().readPagesDocument());
      } catch (error) {
        console.warn('the pages read cannot be kept:', error);
      }
    },
  };

  // A new game: nothing to mark yet.
  function reset() {
    stopSkipping();
    stepsBack = 0;
    updateMark();
    clearTimeout(readPages.timer);
    readPages.timer = null;
    readPages.enabled = false;
  }

  return {
    stepBack, stepBackTo, toggleSkip, ctrlPressed, ctrlReleased, stopSkipping, playedOn, reset, readPages,
    skipping: () => Boolean(skipTimer),
  };
}
