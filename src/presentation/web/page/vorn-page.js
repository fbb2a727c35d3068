// The player's page: the scene, the page text and the captions of one game,
// drawn and read as the desktop window does. The rules of play are all in the
// compiled player (vorn-web.js); this page shows what it says and hands it the
// reader's presses and keys.

import { filesFromArchive, filesFromDrop, filesFromInput, filesFromUrl, handToGame } from './game-files.js';
import { translatePage, words } from './page-words.js';
import { PageSaves } from './saves.js';
import { pageKey } from './keys.js';

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
// after it: the game named in the address, the built-in scene picture and the
// music's code. Each is awaited where it is used, and a failure shows there.
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
let builtInScene = fetchBuiltInScene();
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
const ELEMENTS = ['Form1', 'Image1', 'Image2']; // back to front

// What the page shows, kept for redrawing at another zoom.
const view = {
  zoom: 1,
  builtInScene: null,
  // Per picture element: the decoded picture (none while empty) and the size
  // that presses on it use; an emptied element keeps its last picture's size.
  pictures: {},
  pending: 0, // pictures being decoded
  marked: 0,
  cursor: null, // the game's cursor icon, decoded
};

let game = null;
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

// ---- drawing -------------------------------------------------------------

function place(element, rect) {
  const z = view.zoom;
  Object.assign(element.style, {
    left: `${rect.x * z}px`, top: `${rect.y * z}px`, width: `${rect.width * z}px`, height: `${rect.height * z}px`,
  });
}

// The largest whole zoom, 1 to 4, at which the scene fits the browser window.
function fittingZoom() {
  const z = Math.floor(Math.min(window.innerWidth / 632, window.innerHeight / 425));
  return Math.max(1, Math.min(4, z));
}

function applyZoom() {
  view.zoom = fittingZoom();
  document.documentElement.style.setProperty('--zoom', view.zoom);
  canvas.width = 632 * view.zoom;
  canvas.height = 425 * view.zoom;
  labels.forEach((label, i) => place(label, layout[`Label${i + 1}`]));
  place(text1, layout.Text1);
  const mark = { width: 12, height: 9 };
  const inset = 2;
  const t = layout.Text1;
  place(moreBelow, { x: t.x + t.width - mark.width - inset, y: t.y + t.height - mark.height - inset, ...mark });
  draw();
  applyCursor();
  updateMoreBelow();
}

function draw() {
  const z = view.zoom;
  const g = canvas.getContext('2d');
  g.imageSmoothingEnabled = false; // whole zooms repeat pixels exactly
  g.fillStyle = '#efefef';
  g.fillRect(0, 0, canvas.width, canvas.height);
  for (const element of ELEMENTS) {
    const picture = view.pictures[element];
    if (!picture || !picture.image) continue;
    const at = layout[element === 'Form1' ? 'Background' : element];
    g.drawImage(picture.image, at.x * z, at.y * z, picture.image.width * z, picture.image.height * z);
  }
}

// The game's cursor grows with the scene; an icon's hot spot is its centre.
function applyCursor() {
  const image = view.cursor;
  if (!image) return;
  const c = document.createElement('canvas');
  c.width = image.width * view.zoom;
  c.height = image.height * view.zoom;
  const g = c.getContext('2d');
  g.imageSmoothingEnabled = false;
  g.drawImage(image, 0, 0, c.width, c.height);
  sceneBox.style.cursor = `url(${c.toDataURL()}) ${c.width >> 1} ${c.height >> 1}, auto`;
}

async function decode(bytes) {
  return createImageBitmap(new Blob([bytes]));
}

// ---- what the player shows: the page object the compiled player calls ----

const page = {
  setText(text) {
    // Line ends as the reader's system has them, so that a copy of the page
    // gives LF: a script's CR LF, or a CR alone, ends a line as in the window.
    text1.textContent = text.replace(/\r\n?/g, '\n');
    text1.scrollTop = 0;
    updateMoreBelow();
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
    const copy = bytes.slice(); // the view into the player's memory lasts only for this call
    const generation = (picture.generation = (picture.generation || 0) + 1);
    view.pending++;
    decode(copy).then((image) => {
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
    draw();
  },
  setCursor(name, bytes) {
    const copy = bytes.slice();
    view.pending++;
    decode(copy).then((image) => {
      view.cursor = image;
      applyCursor();
    }, () => {}).finally(() => { view.pending--; settle(); });
  },
  showMessage(text, title) {
    messages.push({ text, title });
  },
  music(name, value) {
    if (music) music.property(name, value);
  },
  // Saved games: each save and deletion is kept in the browser's storage at once.
  keepSlot(slot, documentText, png, picture) { saves.keep(slot, documentText, png, picture); },
  forgetSlot(slot) { saves.forget(slot); },
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

// Waiting for every picture to be decoded, for those who measure the page.
const idleWaiters = [];
function settle() {
  if (view.pending > 0) return;
  while (idleWaiters.length) idleWaiters.shift()();
}
function whenIdle() {
  return view.pending === 0 ? Promise.resolve() : new Promise((resolve) => idleWaiters.push(resolve));
}

// ---- playing --------------------------------------------------------------

// Every call into the player goes through here: after a fatal error the game
// shows its report and ends.
function play(action) {
  if (!game || ended) return;
  const fatal = action();
  updateOffered();
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

const resume = () => play(() => game.clickText());
const chooseOption = (option) => play(() => game.chooseOption(option));

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
  updateMoreBelow();
}

function endGame() {
  ended = true;
  updateOffered();
  stopFastForward();
  if (music) music.stop();
}

// ---- presses -------------------------------------------------------------

function scenePoint(event) {
  const box = sceneBox.getBoundingClientRect();
  return { x: Math.floor((event.clientX - box.left) / view.zoom), y: Math.floor((event.clientY - box.top) / view.zoom) };
}

function elementAt(point) {
  if (!game) return 'Background';
  const size = (e) => view.pictures[e];
  return game.elementAt(point.x, point.y, size('Image1').width, size('Image1').height,
    size('Image2').width, size('Image2').height);
}

// The caption an element is, 1 to 4, or 0.
function labelOf(element) {
  return element.startsWith('Label') ? Number(element.slice(5)) : 0;
}
const labelAt = (point) => labelOf(elementAt(point));

let pressedLabel = 0;
let longPress = null;
sceneBox.addEventListener('pointerdown', (event) => {
  unlockMusic();
  if (!backlogBox.hidden || !popup.hidden) return;
  if (event.target === text1 || text1.contains(event.target)) return;
  const element = elementAt(scenePoint(event));
  pressedLabel = event.button === 0 ? labelOf(element) : 0;
  const onBackground = element === 'Background';
  if (onBackground && event.button === 2) openPopup(event.clientX, event.clientY);
  if (onBackground && event.pointerType === 'touch') {
    longPress = setTimeout(() => { longPress = null; pressedLabel = 0; openPopup(event.clientX, event.clientY); }, 500);
  }
});
sceneBox.addEventListener('pointerup', (event) => {
  clearTimeout(longPress);
  const label = pressedLabel;
  pressedLabel = 0;
  if (event.button !== 0 || label === 0) return;
  if (labelAt(scenePoint(event)) === label) chooseOption(label); // a press and a release on the same caption
});
sceneBox.addEventListener('pointercancel', () => { clearTimeout(longPress); pressedLabel = 0; });
sceneBox.addEventListener('contextmenu', (event) => event.preventDefault());

// The caption under the pointer is underlined when a click there would take its option.
let pointer = null;
sceneBox.addEventListener('pointermove', (event) => { pointer = scenePoint(event); updateMarked(); });
sceneBox.addEventListener('pointerleave', () => { pointer = null; updateMarked(); });
function updateMarked() {
  let marked = 0;
  if (pointer && game && !ended && backlogBox.hidden) {
    const label = labelAt(pointer);
    if (game.offersOption(label)) marked = label;
  }
  labels.forEach((label, i) => label.classList.toggle('marked', marked === i + 1));
}
// Offered options are reached with Tab as well; the others are words only.
// They change only when the player runs or the game ends.
function updateOffered() {
  labels.forEach((label, i) => {
    const offered = game && !ended && game.offersOption(i + 1);
    label.tabIndex = offered ? 0 : -1;
    label.setAttribute('aria-disabled', String(!offered));
  });
  updateMarked();
}
// A caption taken from the keyboard (Tab, then Enter or Space) is its own option.
labels.forEach((label, i) => label.addEventListener('click', (event) => {
  if (event.detail === 0) chooseOption(i + 1);
}));

// A click on the page text turns the page, unless it selected some of it.
text1.addEventListener('click', (event) => {
  unlockMusic();
  if (event.button !== 0) return;
  const selection = window.getSelection();
  if (selection && !selection.isCollapsed && text1.contains(selection.anchorNode)) return;
  resume();
});
text1.addEventListener('scroll', updateMoreBelow);
// Turning the wheel up at the top of the page opens the backlog.
text1.addEventListener('wheel', (event) => {
  if (event.deltaY < 0 && text1.scrollTop === 0) { event.preventDefault(); openBacklog(); }
}, { passive: false });

// ---- the backlog ----------------------------------------------------------

function openBacklog() {
  if (!game) return;
  const entries = game.backlog();
  if (entries.length === 0) return;
  backlogBox.textContent = entries.map((e) => (e.choice ? `\u25B6 ${e.text}` : e.text.replaceAll('\r\n', '\n')))
    .join('\n\n');
  backlogBox.hidden = false;
  backlogBox.scrollTop = backlogBox.scrollHeight;
  backlogBox.focus();
  updateMarked();
}
function closeBacklog() {
  backlogBox.hidden = true;
  updateMarked();
}
backlogBox.addEventListener('click', () => {
  const selection = window.getSelection();
  if (selection && !selection.isCollapsed) return;
  closeBacklog();
});
backlogBox.addEventListener('wheel', (event) => {
  if (event.deltaY > 0 && backlogBox.scrollTop + backlogBox.clientHeight >= backlogBox.scrollHeight - 1) closeBacklog();
});

// ---- the pop-up menu --------------------------------------------------------

function openPopup(clientX, clientY) {
  const box = sceneBox.getBoundingClientRect();
  popup.hidden = false;
  const x = Math.min(clientX - box.left, box.width - popup.offsetWidth);
  const y = Math.min(clientY - box.top, box.height - popup.offsetHeight);
  popup.style.left = `${Math.max(0, x)}px`;
  popup.style.top = `${Math.max(0, y)}px`;
  popup.querySelector('button').focus();
}
function closePopup() {
  popup.hidden = true;
  sceneBox.focus();
}
popup.addEventListener('click', (event) => {
  const command = event.target.dataset.command;
  if (!command) return;
  closePopup();
  if (command === 'save') saves.openDialog(true);
  else if (command === 'load') saves.openDialog(false);
  else if (command === 'new') play(() => game.newGame());
  else if (command === 'about') play(() => game.showCredits());
  else if (command === 'quit') quit();
});
popup.addEventListener('keydown', (event) => {
  const items = [...popup.querySelectorAll('button')];
  const at = items.indexOf(document.activeElement);
  if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
    event.preventDefault();
    items[(at + (event.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length].focus();
  } else if (event.key === 'Escape') {
    event.preventDefault();
    closePopup();
  }
  event.stopPropagation();
});
document.addEventListener('pointerdown', (event) => {
  if (!popup.hidden && !popup.contains(event.target)) closePopup();
}, true);

function quit() {
  saves.keepPlace();
  play(() => game.quit());
  endGame();
  showMessages().then(showOpenScreen);
}

// ---- keys -----------------------------------------------------------------

let fastForwardDelay = null;
let fastForward = null;
function stopFastForward() {
  clearTimeout(fastForwardDelay);
  clearInterval(fastForward);
  fastForwardDelay = fastForward = null;
}

document.addEventListener('keydown', (event) => {
  if (!game || ended || document.querySelector('dialog[open]') || !popup.hidden && popup.contains(document.activeElement)) {
    return;
  }
  unlockMusic();
  // Holding Ctrl alone turns the pages every 50 ms, after a moment, so that
  // Ctrl+C and the browser's own shortcuts never turn one.
  if (event.key === 'Control') {
    if (!event.repeat && backlogBox.hidden && !fastForwardDelay && !fastForward) {
      fastForwardDelay = setTimeout(() => { fastForwardDelay = null; fastForward = setInterval(resume, 50); }, 300);
    }
    return;
  }
  stopFastForward();
  const found = pageKey(module, event);
  if (!found) return;
  if (!backlogBox.hidden) {
    switch (found.whileBacklog) {
    case 'Ignored': return; // the backlog only shows pages; the story waits behind it
    case 'ClosesIt': event.preventDefault(); closeBacklog(); return;
    case 'ScrollsIt': return; // the backlog has the focus: the browser scrolls it
    case 'ClosesFirst': closeBacklog(); break;
    default: break; // 'ActsAsEver'
    }
  }
  perform(found.action, event);
});
// What each action of the player's key table does on the page. Zooming, full
// screen and quitting the program are the browser's own: their keys are left
// to it.
function perform(action, event) {
  switch (action) {
  case 'ReadOn':
    if (labels.includes(document.activeElement) && event.key !== 'PageDown') return; // the caption's own click
    event.preventDefault();
    readOn();
    break;
  case 'ClickOption1': case 'ClickOption2': case 'ClickOption3': case 'ClickOption4':
    chooseOption(Number(action.slice(-1)));
    break;
  case 'ScrollUp': event.preventDefault(); text1.scrollTop -= lineStep(); break;
  case 'ScrollDown': event.preventDefault(); text1.scrollTop += lineStep(); break;
  case 'ToggleBacklog': openBacklog(); break;
  case 'CloseBacklog': break; // no backlog is open
  case 'CopyPage': {
    // A selection is copied by the browser; without one, the whole page text.
    const selection = window.getSelection();
    if (selection && selection.isCollapsed) navigator.clipboard?.writeText(text1.textContent).catch(() => {});
    break;
  }
  case 'PopupMenu': {
    event.preventDefault();
    const box = sceneBox.getBoundingClientRect();
    const at = pointer ? { x: box.left + pointer.x * view.zoom, y: box.top + pointer.y * view.zoom }
      : { x: box.left + (layout.Image1.x + layout.Image1.width / 2) * view.zoom,
          y: box.top + (layout.Image1.y + layout.Image1.height / 2) * view.zoom };
    openPopup(at.x, at.y);
    break;
  }
  // F5 quick save, F9 quick load, Ctrl+S "Save…", Ctrl+L "Load…": the
  // browser's own meaning of each (reload, save the page, the address bar)
  // gives way while a game plays.
  case 'QuickSave': event.preventDefault(); saves.quickSave(); break;
  case 'QuickLoad': event.preventDefault(); saves.quickLoad(); break;
  case 'SaveDialog': event.preventDefault(); saves.openDialog(true); break;
  case 'LoadDialog': event.preventDefault(); saves.openDialog(false); break;
  default: break; // ZoomIn, ZoomOut, ToggleFullScreen, Quit
  }
}
document.addEventListener('keyup', (event) => { if (event.key === 'Control') stopFastForward(); });
window.addEventListener('blur', stopFastForward);
function lineStep() {
  return parseFloat(getComputedStyle(text1).lineHeight) || 18 * view.zoom;
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

const openScreen = $('open-game');
const problem = $('open-problem');
function showOpenScreen() {
  sceneBox.hidden = true;
  openScreen.hidden = false;
  $('loading').hidden = true;
  document.title = 'VORN Interpeter';
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
// The game starts without waiting for the built-in scene: most games put
// their own picture in Image1 at once. Until it is decoded, Image1 waits as
// any picture being decoded does, and it is drawn only where Image1 still
// shows it.
function showBuiltInScene() {
  if (view.builtInScene) return;
  view.pending++;
  builtInScene.then((image) => {
    view.builtInScene = image;
    const picture = view.pictures.Image1;
    if (picture.builtIn && !picture.image) {
      picture.image = image;
      draw();
    }
  }, () => {
    builtInScene = fetchBuiltInScene(); // the next game tries again
  }).finally(() => { view.pending--; settle(); });
}

async function openGame(readFiles) {
  problem.hidden = true;
  $('loading').hidden = false;
  let files;
  try {
    files = await readFiles();
    performance.mark('vorn: game read');
  } catch (error) {
    showProblem(error.message || String(error));
    return;
  }
  if (game) { endGame(); game.delete(); game = null; }
  resetPictures();
  view.cursor = null;
  sceneBox.style.cursor = '';
  showBuiltInScene();
  labels.forEach((label) => { label.textContent = ''; });
  text1.textContent = '';
  closeBacklog();
  if (!music) music = await makeMusic();
  if (music) music.fileSource = (name) => game && game.musicFile(name);
  game = new module.WebGame(page);
  const problemWords = handToGame(files, game);
  if (problemWords) { showProblem(problemWords); game.delete(); game = null; return; }
  openScreen.hidden = true;
  sceneBox.hidden = false;
  applyZoom();
  ended = false;
  play(() => game.start());
  performance.mark('vorn: first page set');
  whenIdle().then(() => performance.mark('vorn: pictures drawn'));
  sceneBox.focus();
  showNotice(game.notice());
  // The kept slots are read while the first page shows, not before it.
  await saves.open(game);
  saves.offerContinue(); // asks over the first page; the page is ready meanwhile
}

sceneBox.tabIndex = -1;
$('open-folder').addEventListener('change', (event) => {
  const list = event.target.files;
  if (list.length) openGame(() => filesFromInput(list));
});
$('open-archive').addEventListener('change', (event) => {
  const file = event.target.files[0];
  if (file) openGame(async () => filesFromArchive(file.name, await file.arrayBuffer()));
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

// A small picture of the scene as the reader sees it, 316 x 212 as the
// desktop's: the pictures, the page text and the captions, without the notice.
function scenePicture() {
  const small = document.createElement('canvas');
  small.width = 316;
  small.height = 212;
  const g = small.getContext('2d');
  g.drawImage(canvas, 0, 0, small.width, small.height);
  g.scale(small.width / 632, small.height / 425);
  const write = (element, rect) => {
    const style = getComputedStyle(element);
    g.fillStyle = style.color;
    g.font = `${parseFloat(style.fontSize) / view.zoom}px ${style.fontFamily}`;
    g.textBaseline = 'top';
    const lineHeight = (parseFloat(style.lineHeight) || parseFloat(style.fontSize) * 1.2) / view.zoom;
    element.textContent.split(/\r?\n/).slice(0, Math.max(1, Math.floor(rect.height / lineHeight)))
      .forEach((line, k) => g.fillText(line, rect.x + 2, rect.y + 2 + k * lineHeight, rect.width - 4));
  };
  write(text1, layout.Text1);
  labels.forEach((label, i) => write(label, layout[`Label${i + 1}`]));
  const data = atob(small.toDataURL('image/png').split(',')[1]);
  return Uint8Array.from(data, (c) => c.charCodeAt(0));
}

const saves = new PageSaves({
  game: () => (game && !ended ? game : null),
  play,
  scenePicture,
  message: (text) => { messages.push({ text, title: 'VORN' }); showMessages(); },
  notice: (text) => showNotice(text, 1500),
});

// Leaving the page in the middle of a game keeps the place, as closing the window does.
window.addEventListener('pagehide', () => { if (game && !ended) saves.keepPlace(); });

// For tests and benchmarks: the page's state, and a promise for the moment
// every picture asked for so far is on the canvas.
window.vornPage = {
  whenIdle,
  get zoom() { return view.zoom; },
  get ended() { return ended; },
  get music() { return music; },
};

if (wanted) {
  if (!wantedFiles) {
    showOpenScreen();
    showProblem(words('notOnSite', wanted));
  } else {
    openScreen.hidden = true;
    await openGame(() => wantedFiles);
    if (!game) showOpenScreen();
  }
} else {
  showOpenScreen();
}
document.body.dataset.ready = 'true';
