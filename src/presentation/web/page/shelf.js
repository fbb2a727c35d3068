// The page's start: the shelf of games, as the desktop's start screen lists
// the games played before. It holds the games this browser has played from
// the site, newest first, each with the place kept where the reader left it,
// and then the site's other games, which a site lists in games/index.json:
//
//   { "games": [ { "title": "...", "archive": "kiri.zip", "picture": "kiri.zip.png" }, ... ] }
//
// (archive and picture are addresses on the site, relative to index.json;
// `vorn-shelf` makes the file from a folder of archives). A game is opened by
// its address, index.html?game=..., so that it is fetched as soon as the page
// starts. Offline, only the games kept for offline play are listed.

import { words } from './page-words.js';
import { isKept, keepNow } from './offline.js';

const PLAYED = 'vorn-played'; // localStorage: the games played from the site
const INDEX = 'games/index.json';

// ---- the games played in this browser -------------------------------------------

// [{ address, title, when, kept }], newest first; address is the archive's
// full URL, when an ISO date, kept whether a place is kept to go on from.
export function playedGames() {
  try {
    const list = JSON.parse(localStorage.getItem(PLAYED) ?? '[]');
    return Array.isArray(list) ? list.filter((game) => game && typeof game.address === 'string') : [];
  } catch {
    return []; // unreadable or no storage: none remembered
  }
}

function savePlayed(list) {
  try {
    localStorage.setItem(PLAYED, JSON.stringify(list));
  } catch (error) {
    console.warn('the page cannot remember the games played:', error);
  }
}

// A game from the site has opened: it goes to the top of the list, under
// its title on the site's shelf where it has one (else `title`), with the
// shelf's picture, which is kept for offline play with the game.
export function rememberPlayed(address, title) {
  const list = playedGames();
  const before = list.find((game) => game.address === address);
  const rest = list.filter((game) => game.address !== address);
  const played = { ...before, address, title: before?.title ?? title, when: new Date().toISOString(),
    kept: before?.kept ?? false };
  savePlayed([played, ...rest]);
  siteGames().then(({ games }) => {
    const listed = games.find((game) => game.address === address);
    if (!listed) return;
    const now = playedGames();
    const record = now.find((game) => game.address === address);
    if (!record) return;
    record.title = listed.title;
    record.picture = listed.picture;
    savePlayed(now);
    if (listed.picture) keepNow(listed.picture);
  }).catch(() => {}); // no shelf on this site, or none to be had now
}

// Whether the game at `address` has a place kept (the player keeps or drops
// its slot for the place where the reader left).
export function rememberKeptPlace(address, kept) {
  const list = playedGames();
  const game = list.find((g) => g.address === address);
  if (!game || game.kept === kept) return;
  game.kept = kept;
  savePlayed(list);
}

// ---- the site's games ------------------------------------------------------------

// The entries of the site's index.json, with full addresses; a site without
// one has none. Entries that are not as described are left out and counted.
// Without a network and none kept, there is none to be had, which is no fault.
export async function siteGames(indexUrl = new URL(INDEX, location.href).href) {
  let response;
  try {
    response = await fetch(indexUrl);
  } catch (error) {
    console.warn('the site\'s list of games cannot be fetched now:', error);
    return { games: [], leftOut: 0 };
  }
  if (response.status === 404) return { games: [], leftOut: 0 };
  if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
  const index = await response.json();
  if (!index || !Array.isArray(index.games)) throw new Error('it holds no list "games"');
  keepNow(indexUrl); // the shelf offline, as the site last listed it
  const games = [];
  let leftOut = 0;
  for (const entry of index.games) {
    const address = entry && typeof entry.archive === 'string' && onSite(entry.archive, indexUrl);
    if (!address || typeof entry.title !== 'string' || !entry.title.trim()) { leftOut++; continue; }
    const picture = typeof entry.picture === 'string' ? onSite(entry.picture, indexUrl) : null;
    games.push({ address, title: entry.title.trim(), picture });
  }
  return { games, leftOut };
}

function onSite(path, base) {
  try {
    const url = new URL(path, base);
    return url.origin === location.origin ? url.href : null;
  } catch {
    return null;
  }
}

// The address that opens a game: the page's own with the archive's path,
// relative to the page where it lies below it.
export function playAddress(address) {
  const page = new URL('.', location.href).href;
  const path = address.startsWith(page) ? address.slice(page.length) : new URL(address).pathname;
  return `${location.pathname}?game=${encodeURIComponent(path).replace(/%2F/g, '/')}`;
}

// ---- the shelf on the start page ---------------------------------------------------

let shown = null;

// Fills the shelf (section#shelf) with the played games and the site's.
export function showShelf() {
  shown ??= fillShelf().finally(() => { shown = null; });
  return shown;
}

async function fillShelf() {
  const section = document.getElementById('shelf');
  const list = document.getElementById('shelf-list');
  const problem = document.getElementById('shelf-problem');
  let site = { games: [], leftOut: 0 };
  problem.hidden = true;
  try {
    site = await siteGames();
  } catch (error) {
    problem.textContent = words('shelfUnreadable', error.message || String(error));
    problem.hidden = false;
  }
  if (site.leftOut > 0) {
    problem.textContent = words('shelfLeftOut', site.leftOut);
    problem.hidden = false;
  }
  const onShelf = new Map(site.games.map((game) => [game.address, game]));
  const played = playedGames();
  const entries = [
    ...played.map((game) => ({ ...game, ...(onShelf.get(game.address) ?? {}), played: true, when: game.when })),
    ...site.games.filter((game) => !played.some((p) => p.address === game.address)),
  ];
  const offline = !navigator.onLine;
  const kept = await Promise.all(entries.map((game) => isKept(game.address)));
  const items = [];
  entries.forEach((game, k) => {
    if (offline && !kept[k]) return; // not to be had without a network
    items.push(shelfItem(game));
  });
  list.replaceChildren(...items);
  section.hidden = items.length === 0 && problem.hidden;
}

function shelfItem(game) {
  const item = document.createElement('li');
  const link = document.createElement('a');
  link.href = playAddress(game.address);
  // The game's picture, or an empty frame of the same size.
  const picture = document.createElement(game.picture ? 'img' : 'span');
  picture.className = 'picture';
  if (game.picture) {
    picture.alt = '';
    picture.src = game.picture;
  }
  const about = document.createElement('span');
  about.className = 'about';
  const title = document.createElement('strong');
  title.textContent = game.title;
  about.append(title);
  if (game.played) {
    const line = document.createElement('span');
    line.textContent = words('lastPlayed', new Date(game.when).toLocaleString()) + (game.kept ? words('canContinue') : '');
    about.append(line);
  }
  link.append(picture, about);
  item.append(link);
  return item;
}
