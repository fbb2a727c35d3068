// The player's page: the scene, the page text and the captions of one game,
// drawn and read as the desktop window does. The rules of play are all in the
// compiled player (vorn-web.js); this page shows what it says and hands it the
// reader's presses and keys.

import { archiveAsRead, filesFromDrop, filesFromInput, filesFromUrl, handToGame } from './game-files.js';
import { translatePage, words } from './page-words.js';
import { PageSaves } from './saves.js';
import { ELEMENTS, decode, looksLikePicture, sceneDrawing } from './page-drawing.js';
import { pageBacklog } from './page-backlog.js';
import { pageInput } from './page-input.js';
import { pageGamepad } from './page-gamepad.js';
import { keepPageOffline, keepWhenFetched } from './offline.js';
import { rememberKeptPlace, rememberPlayed, showShelf } from './shelf.js';
import { pageVoicing } from './page-voicing.js';
import { pageSettings } from './page-settings.js';
import { pageGoingBack } from './page-going-back.js';

const $ = (id) => document.getElementById(id);
const sceneBox = $('scene');
const canvas = $('pictures');
const text1 = $('Text1');
const moreBelow = $('more-below');
const backlogBox = $('backlog');
const popup = $('popup');
const labels = [1, 2, 3, 4].map((n) => $(`Label${n}`));

translatePage();
// What the first page needs is fetched while the compiled player starts, not
// after it: the game named in the address and the music's code. Each is
// awaited where it is used, and a failure shows there. The built-in scene
// picture is fetched only once a game shows it, or when the page is idle.
const wanted = new URLSearchParams(location.search).get('game');
// Only archives on this site: the game is named by a path, not a web address.
// What is no address at all (http://[) is refused in the same words.
function parsedUrl(address) {
  try {
    return new URL(address, location.href);
  } catch {
    return null;
  }
}
const wantedUrl = wanted ? parsedUrl(wanted) : null;
const started = window.vornStart ?? {};
const wantedFiles = wantedUrl && wantedUrl.origin === location.origin
  ? started.gameFiles ?? filesFromUrl(wantedUrl.href) : null;
wantedFiles?.catch(() => {});
// The pictures among the files every game's start reads, decoded as soon as
// they are unpacked, while the compiled player starts: [{ bytes, image }].
const decodedEarly = wantedFiles?.then(async (files) => {
  const numbers = (await files.unpackStartUp?.()) ?? [];
  return numbers.map((n) => files.ahead(n)).filter((bytes) => bytes && looksLikePicture(bytes)).map((bytes) => {
    const image = decode(bytes);
    image.catch(() => {}); // not every file is a picture
    return { bytes, image };
  });
}).catch(() => []);
let builtInScene = null; // the built-in scene picture's fetch and decoding, once begun
const musicCode = import('./music.js');
musicCode.catch(() => {});

// The player compiled while the page loaded, when the browser could.
const compiled = started.player ? await started.player.catch(() => null) : null;
const module = await createVornModule(compiled ? {
  instantiateWasm(imports, done) {
    WebAssembly.instantiate(compiled, imports).then((instance) => done(instance, compiled));
    return {};
  },
} : {});
// The marks named "vorn: ..." put the steps to a game's first page on the
// browser's performance timeline, where bench/web_first_page.sh reads them.
performance.mark('vorn: player started');
const layout = module.sceneLayout();

// What the page shows, kept for redrawing at another zoom.
const view = {
  zoom: 1,
  pixels: 1, // canvas pixels per picture pixel
  builtInScene: null,
  // Per picture element: the decoded picture (none while empty) and the size
  // that presses on it use; an emptied element keeps its last picture's size.
  pictures: {},
  pending: 0, // pictures being decoded
  cursorPending: 0, // cursor icons being decoded
  marked: 0,
  cursor: null, // the game's cursor icon, decoded
};

let game = null;
let gameFiles = null; // the files the game reads, while it plays
let music = null;
let ended = true;

function startSize(element) {
  const rect = layout[element === 'Form1' ? 'Background' : element];
  return { width: rect.width, height: rect.height };
}

// An element as it is at start: Image1 shows the built-in scene, the others nothing.
function startPicture(element) {
  const builtIn = element === 'Image1';
  return { image: builtIn ? view.builtInScene : null, builtIn, ...startSize(element) };
}

function resetPictures() {
  view.pictures = Object.fromEntries(ELEMENTS.map((element) => [element, startPicture(element)]));
}

const { draw, applyCursor, scenePicture, viewportSize, applyZoom: zoomScene } = sceneDrawing({
  layout, view, canvas, sceneBox, text1, moreBelow, labels,
});
// The scene at the zoom that fits the browser window (of the size given, if
// it was read before the page changed), and whether the page text still
// hides some of its rest at that zoom.
let zoomedFor = null;
function applyZoom(viewport = viewportSize()) {
  zoomedFor = viewport;
  zoomScene(viewport);
  lookAfterLayout();
}
// What depends on the page's layout is looked at just before the next frame,
// where the browser lays the page out anyway: looked at at once, after each
// change, it would have the page laid out once more each time. There the
// scene is zoomed again if the window it was zoomed for is no longer the
// window's size (a scroll bar of the page before it has gone), and the mark
// for a page text longer than its box is shown or hidden.
let layoutLook = 0;
function lookAfterLayout() {
  if (layoutLook) return;
  layoutLook = requestAnimationFrame(() => {
    layoutLook = 0;
    if (sceneBox.hidden) return;
    if (textReplaced) { // scrolled by the reader since it was set, before its scroll was told
      textReplaced = false;
      if (text1.scrollTop !== 0) text1.scrollTop = 0;
    }
    const now = viewportSize();
    if (zoomedFor && (now.width !== zoomedFor.width || now.height !== zoomedFor.height)) {
      zoomedFor = now;
      zoomScene(now);
    }
    updateMoreBelow();
  });
}

// ---- what the player shows: the page object the compiled player calls ----

// Whether the page text may be scrolled from its top: a new page starts at
// its top. Setting the scroll lays the page out at once, so it is set only
// where the text may have been scrolled.
let text1Scrolled = false;
let textReplaced = false;
text1.addEventListener('scroll', () => { text1Scrolled = text1.scrollTop > 0; }); // laid out by then

const page = {
  setText(text) {
    // Line ends as the reader's system has them, so that a copy of the page
    // gives LF: a script's CR LF, or a CR alone, ends a line as in the window.
    text1.textContent = text.replace(/\r\n?/g, '\n');
    if (text1Scrolled) {
      text1.scrollTop = 0;
      text1Scrolled = false;
    }
    textReplaced = true;
    lookAfterLayout();
  },
  setCaption(label, text) {
    labels[label - 1].textContent = text;
    updateMarked();
  },
  setPicture(element, name, bytes) {
    const picture = view.pictures[element];
    if (element === 'Image1') picture.builtIn = false;
    if (!bytes) { // an emptied element keeps its size
      picture.image = null;
      picture.generation = (picture.generation || 0) + 1;
      draw();
      return;
    }
    const generation = (picture.generation = (picture.generation || 0) + 1);
    view.pending++;
    decoded(bytes).then((image) => {
      if (picture.generation !== generation) return;
      picture.image = image;
      picture.width = image.width;
      picture.height = image.height;
      draw();
    }, () => {}).finally(() => { view.pending--; settle(); });
  },
  resetPicture(element) {
    const picture = view.pictures[element];
    picture.generation = (picture.generation || 0) + 1;
    Object.assign(picture, startPicture(element));
    if (picture.builtIn) showBuiltInScene();
    draw();
  },
  setCursor(name, bytes) {
    view.cursorPending++;
    decoded(bytes).then((image) => {
      view.cursor = image;
      return applyCursor();
    }, () => {}).finally(() => { view.cursorPending--; settle(); });
  },
  showMessage(text, title) {
    messages.push({ text, title });
  },
  music(name, value) {
    if (music) music.property(name, value);
  },
  // Saved games: each save and deletion is kept in the browser's storage at once.
  keepSlot(slot, documentText, png, picture) { saves.keep(slot, documentText, png, picture); noteKeptPlace(slot, true); },
  forgetSlot(slot) { saves.forget(slot); noteKeptPlace(slot, false); },
};

// Boxes the player asks for while it runs are shown once it has paused: the
// compiled player cannot wait for the reader in the middle of a run.
const messages = [];
const messageBox = $('message');
function showMessages() {
  if (messageBox.open || messages.length === 0) return Promise.resolve();
  const { text, title } = messages.shift();
  $('message-title').textContent = title;
  $('message-text').textContent = text;
  messageBox.showModal();
  return new Promise((resolve) => {
    messageBox.addEventListener('close', () => resolve(showMessages()), { once: true });
  });
}

// Pictures decoded ahead, while the game starts: a picture the game shows
// with the same bytes takes that decoding rather than starting another.
let aheadOfGame = [];
// `more` of the files unpacked ahead are decoded; none is kept but these.
function decodeAhead(files, more = files) {
  aheadOfGame = aheadOfGame.filter((ahead) => files.includes(ahead.bytes));
  for (const bytes of more.filter(looksLikePicture)) {
    const image = decode(bytes);
    image.catch(() => {}); // not every file is a picture
    aheadOfGame.push({ bytes, image });
  }
}
function sameBytes(a, b) {
  if (a.length !== b.length) return false;
  // Four bytes at a time where both lie on four-byte boundaries, as arrays
  // of their own do.
  const whole = a.byteOffset % 4 === 0 && b.byteOffset % 4 === 0 ? a.length >> 2 : 0;
  const a4 = new Int32Array(a.buffer, a.byteOffset, whole);
  const b4 = new Int32Array(b.buffer, b.byteOffset, whole);
  for (let i = 0; i < whole; i++) if (a4[i] !== b4[i]) return false;
  for (let i = whole * 4; i < a.length; i++) if (a[i] !== b[i]) return false;
  return true;
}
// The decoding of the picture in `bytes`, a view into the player's memory,
// which lasts only for the call that hands it: a picture decoded ahead is
// taken as it is, another is copied out first.
function decoded(bytes) {
  const at = aheadOfGame.findIndex((ahead) => sameBytes(ahead.bytes, bytes));
  return at < 0 ? decode(bytes.slice()) : aheadOfGame.splice(at, 1)[0].image;
}

// Waiting for the pictures asked for to be drawn (and for the cursor icon too,
// for whenIdle), for those who measure or test the page.
const drawnWaiters = [];
const idleWaiters = [];
function settle() {
  if (view.pending > 0) return;
  while (drawnWaiters.length) drawnWaiters.shift()();
  if (view.cursorPending > 0) return;
  while (idleWaiters.length) idleWaiters.shift()();
}
function whenDrawn() {
  return view.pending === 0 ? Promise.resolve() : new Promise((resolve) => drawnWaiters.push(resolve));
}
function whenIdle() {
  return view.pending + view.cursorPending === 0 ? Promise.resolve() : new Promise((resolve) => idleWaiters.push(resolve));
}
// Once every picture asked for is drawn and that frame is on the screen (a
// task queued from an animation frame runs after its paint): what the first
// page does not need waits for this, so that it does not hold the paint up.
// (The cursor icon is not drawn in the frame: the frame does not wait for
// it.) It starts a task later still, so that what else was waiting for the
// paint, such as a press made meanwhile, comes first. A page in a hidden tab
// paints no frames: there it waits half a second.
function whenShown() {
  return whenDrawn().then(() => new Promise((resolve) => {
    requestAnimationFrame(() => setTimeout(() => setTimeout(resolve)));
    setTimeout(resolve, 500);
  }));
}

// ---- playing --------------------------------------------------------------

// Every call into the player goes through here: after a fatal error the game
// shows its report and ends.
function play(action) {
  if (!game || ended) return;
  const fatal = action();
  updateOffered();
  readerSettings.scheduleAuto(); // the page the run left, if a click would turn it
  if (fatal) {
    // The report, then the page's start, where the report stays in view.
    messages.push({ text: fatal, title: 'VORN' });
    endGame();
    showMessages().then(() => {
      showOpenScreen();
      showProblem(fatal);
    });
    return;
  }
  showMessages();
}

// The reader's turn comes first: auto mode starts its wait again on the next
// page. A click that plays on (or an option taken) leaves the place gone back
// to, and may have read a page.
function playedOn() {
  goingBack.playedOn();
  goingBack.readPages.changed();
}
const resume = () => {
  readerSettings.stopAuto();
  const playsOn = game && game.textClickPlaysOn();
  play(() => game.clickText());
  if (playsOn) playedOn();
};
const chooseOption = (option) => {
  const playsOn = game && game.offersOption(option);
  play(() => game.chooseOption(option));
  if (playsOn) playedOn();
};

function restOfPageHidden() {
  const lineHeight = parseFloat(getComputedStyle(text1).lineHeight) || 15 * view.zoom * 1.2;
  return text1.scrollHeight - (text1.scrollTop + text1.clientHeight) >= lineHeight / 2;
}
function updateMoreBelow() {
  moreBelow.hidden = !restOfPageHidden();
}
// As a pager does: the keys show the hidden rest of a long page first.
function readOn() {
  if (!restOfPageHidden()) { resume(); return; }
  text1.scrollTop += Math.max(1, text1.clientHeight - 4 * view.zoom);
  text1Scrolled = true;
  updateMoreBelow();
  readerSettings.stopAuto();
  readerSettings.scheduleAuto(); // the next box waits as long as its own text asks
}

function endGame() {
  ended = true;
  updateOffered();
  voicing.stop();
  readerSettings.stopAuto();
  goingBack.stopSkipping();
  goingBack.readPages.keep();
  if (music) music.stop();
}

// ---- presses, keys, the pop-up menu and the backlog -------------------------

const { openBacklog, closeBacklog } = pageBacklog({
  backlogBox,
  game: () => game,
  updateMarked: () => updateMarked(),
  stepBackTo: (index) => goingBack.stepBackTo(index),
});
const goingBack = pageGoingBack({
  module,
  game: () => game,
  play,
  placeMark: $('place-mark'),
  closeBacklog,
  showNotice: (text) => showNotice(text, 1500),
  settings: () => readerSettings.settings,
});
const { updateMarked, updateOffered } = pageInput({
  module, layout, view, sceneBox, text1, labels, backlogBox, popup,
  game: () => game,
  ended: () => ended,
  saves: () => saves,
  settings: () => readerSettings,
  play, quit, resume, readOn, chooseOption, unlockMusic, updateMoreBelow, openBacklog, closeBacklog, goingBack,
  toggleVoicing: () => { if (game && !ended) voicing.toggle(); },
  repeatSpeech: () => { if (game && !ended) voicing.repeat(game); },
});
const gamepad = pageGamepad({ module, sceneBox, labels, backlogBox, popup });

const readerSettings = pageSettings({
  module, text1, readOn,
  music: () => music,
  game: () => (game && !ended ? game : null),
  busy: () => !backlogBox.hidden || !popup.hidden || document.querySelector('dialog[open]') !== null,
  voices: () => voicing.voices(),
  changed: (now, before) => {
    if (now.selfVoicing !== before.selfVoicing && game && !ended) voicing.follow(game);
  },
});

function quit() {
  saves.keepPlace();
  play(() => game.quit());
  endGame();
  gameFiles?.stop?.(); // the rest of its archive is no longer unpacked while the page idles
  showMessages().then(showOpenScreen);
}

window.addEventListener('resize', () => { if (!sceneBox.hidden) applyZoom(); });

// ---- the music --------------------------------------------------------------

// Browsers let a page sound only after the reader's first click or key.
function unlockMusic() {
  if (music) music.unlock().catch(() => {});
}

async function makeMusic() {
  try {
    const { PageMusic } = await musicCode;
    const made = new PageMusic({ baseUrl: new URL('.', import.meta.url).href });
    made.onEnded = () => play(() => game.musicEnded());
    made.setLevel(module.musicLevel(readerSettings.settings.musicVolume, readerSettings.settings.musicMuted));
    return made;
  } catch (error) {
    console.warn('the page plays without music:', error);
    return null;
  }
}

// ---- opening a game ---------------------------------------------------------

// A short word over the scene that goes by itself, such as which of several
// games in an archive is played.
const notice = $('notice');
let noticeTimer = null;
function showNotice(words, milliseconds = 4000) {
  if (!words) return;
  notice.textContent = words;
  notice.hidden = false;
  clearTimeout(noticeTimer);
  noticeTimer = setTimeout(() => { notice.hidden = true; }, milliseconds);
}
const voicing = pageVoicing({
  showNotice, settings: () => readerSettings.settings, change: (next) => readerSettings.change(next),
});

const openScreen = $('open-game');
const problem = $('open-problem');
function showOpenScreen() {
  sceneBox.hidden = true;
  openScreen.hidden = false;
  $('loading').hidden = true;
  document.title = 'VORN Interpeter';
  showShelf();
}
function showProblem(words) {
  problem.textContent = words;
  problem.hidden = false;
  $('loading').hidden = true;
}

function fetchBuiltInScene() {
  const picture = fetch(new URL('scene.bmp', import.meta.url))
    .then((response) => response.arrayBuffer()).then((buffer) => decode(new Uint8Array(buffer)));
  picture.catch(() => {});
  return picture;
}
// Most games put their own picture in Image1 at once, so the built-in scene
// is fetched only when Image1 still shows it once the game has started (or
// is reset to it later). Until it is decoded, Image1 waits as any picture
// being decoded does, and it is drawn only where Image1 still shows it.
function showBuiltInScene() {
  if (view.builtInScene) return;
  view.pending++;
  builtInScene ??= fetchBuiltInScene();
  builtInScene.then((image) => {
    view.builtInScene = image;
    const picture = view.pictures.Image1;
    if (picture.builtIn && !picture.image) {
      picture.image = image;
      draw();
    }
  }, () => {
    builtInScene = null; // the next game tries again
  }).finally(() => { view.pending--; settle(); });
}

// The site's archive the game being played came from (its full address), or
// null for a game from the reader's own files.
let playedFrom = null;

// The shelf remembers, for each game from the site, whether the player keeps
// a place to go on from.
function noteKeptPlace(slot, kept) {
  const from = playedFrom;
  const current = game;
  if (!from || !current) return;
  queueMicrotask(() => {
    try {
      if (current.automaticSlot(slot) === 'continue') rememberKeptPlace(from, kept);
    } catch {
      // the game has gone meanwhile; its next opening says again
    }
  });
}

async function openGame(readFiles, from = null) {
  problem.hidden = true;
  $('loading').hidden = false;
  let files;
  let viewport;
  try {
    files = await readFiles();
    performance.mark('vorn: game read');
    // Read before the page changes for the game, while its layout is still
    // up to date (and the scene hidden): read after, it would lay the page out.
    viewport = viewportSize();
  } catch (error) {
    showProblem(error.message || String(error));
    return;
  }
  if (game) { endGame(); game.delete(); game = null; }
  playedFrom = from;
  gameFiles?.stop?.();
  gameFiles = files;
  goingBack.reset();
  resetPictures();
  view.cursor = null;
  sceneBox.style.cursor = '';
  labels.forEach((label) => { label.textContent = ''; });
  text1.textContent = '';
  closeBacklog();
  if (!music) music = await makeMusic();
  if (music) music.fileSource = (name) => game && game.musicFile(name);
  game = new module.WebGame(page);
  voicing.attach(game);
  const problemWords = handToGame(files, game);
  if (problemWords) { showProblem(problemWords); game.delete(); game = null; return; }
  // An archive unpacked as the game reads it: the files its first page
  // reads are unpacked first, by the browser's inflater, and their pictures
  // decoded while the game starts. The game names them, and names more once
  // a file it names is unpacked (a script names its pictures), so it is
  // asked again as each file comes, while the others are still inflated.
  // What it names after a few rounds is unpacked as it is read.
  if (files.unpack) {
    const ahead = [];
    if (decodedEarly && files === await wantedFiles.catch(() => null)) {
      for (const early of await decodedEarly) {
        ahead.push(early.bytes);
        aheadOfGame.push(early);
      }
    }
    const named = new Set(); // named and not yet decoding
    // Decodes the files unpacked since, before the game takes them.
    const decodeUnpacked = () => {
      const unpacked = [...named].map((n) => files.ahead(n)).filter(Boolean);
      for (const n of named) if (files.ahead(n)) named.delete(n);
      ahead.push(...unpacked);
      decodeAhead(ahead, unpacked);
    };
    for (let round = 0; round < 8; round++) {
      decodeUnpacked();
      const wanted = game.entriesToUnpack();
      if (wanted.length === 0) break;
      for (const n of wanted) named.add(n);
      if (game.namedAllToUnpack()) {
        // Every file of the first page named: each decoded as it comes.
        await Promise.all(wanted.map((n) => files.unpack([n]).then(decodeUnpacked)));
        break;
      }
      await Promise.race(wanted.map((n) => files.unpack([n])));
    }
    decodeUnpacked();
    performance.mark('vorn: first page\'s files unpacked');
  }
  openScreen.hidden = true;
  sceneBox.hidden = false;
  applyZoom(viewport);
  ended = false;
  play(() => game.start());
  performance.mark('vorn: first page set');
  decodeAhead([]);
  if (view.pictures.Image1.builtIn) showBuiltInScene();
  const listedFrom = playedFrom;
  const listedAs = listedFrom ? game.savesName() || listedFrom.split('/').pop() : '';
  whenDrawn().then(() => performance.mark('vorn: pictures drawn'));
  whenShown().then(() => {
    // The rest of the archive, and the built-in scene a new game or a reset
    // may show, once the first page is on screen; the browser's voices too.
    files.unpackRest?.();
    voicing.askVoices();
    setTimeout(() => { builtInScene ??= fetchBuiltInScene(); });
    // The games list and the copies kept for offline play wait for it too.
    if (listedFrom) {
      rememberPlayed(listedFrom, listedAs);
      keepWhenFetched(listedFrom);
    }
    if (music) keepWhenFetched(new URL('soundfont.sf2', import.meta.url).href);
  });
  sceneBox.focus();
  showNotice(game.notice());
  // The kept slots are read once the first page is on screen, not before it.
  const opened = game;
  await whenShown();
  if (game !== opened) return; // another game opened meanwhile
  await saves.open(game);
  if (game) goingBack.readPages.open(game, saves.hashed); // the script's hash is known now, if it can be
  saves.offerContinue(); // asks over the first page; the page is ready meanwhile
}

sceneBox.tabIndex = -1;
$('open-folder').addEventListener('change', (event) => {
  const list = event.target.files;
  if (list.length) openGame(() => filesFromInput(list));
});
$('open-archive').addEventListener('change', (event) => {
  const file = event.target.files[0];
  if (file) openGame(async () => archiveAsRead(file.name, await file.arrayBuffer()));
});
const dropZone = document.body;
dropZone.addEventListener('dragover', (event) => {
  event.preventDefault();
  $('drop-zone').classList.add('over');
});
dropZone.addEventListener('dragleave', () => $('drop-zone').classList.remove('over'));
dropZone.addEventListener('drop', (event) => {
  event.preventDefault();
  $('drop-zone').classList.remove('over');
  const transfer = event.dataTransfer;
  openGame(() => filesFromDrop(transfer));
});

// ---- saved games -------------------------------------------------------------

const saves = new PageSaves({
  game: () => (game && !ended ? game : null),
  play,
  scenePicture,
  message: (text) => { messages.push({ text, title: 'VORN' }); showMessages(); },
  notice: (text) => showNotice(text, 1500),
  loaded: () => goingBack.playedOn(), // the reader is at the place loaded, no longer back
});

// Leaving the page in the middle of a game keeps the place, as closing the window does.
window.addEventListener('pagehide', () => {
  if (game && !ended) saves.keepPlace();
  if (game) goingBack.readPages.keep();
});

// For tests and benchmarks: the page's state, and promises for the moment
// every picture asked for so far is on the canvas (and the cursor icon set).
window.vornPage = {
  whenIdle,
  whenDrawn,
  get zoom() { return view.zoom; },
  get ended() { return ended; },
  get music() { return music; },
  get settings() { return readerSettings; },
};

if (wanted) {
  if (!wantedFiles) {
    showOpenScreen();
    showProblem(words('notOnSite', wanted));
  } else {
    openScreen.hidden = true;
    await openGame(() => wantedFiles, wantedUrl.href);
    if (!game) showOpenScreen();
  }
} else {
  showOpenScreen();
}
document.body.dataset.ready = 'true';
// The service worker, which fetches the page's files to keep them, once the
// first page is drawn: its fetches would compete with the first page's.
whenShown().then(() => {
  gamepad.listen();
  keepPageOffline();
});
