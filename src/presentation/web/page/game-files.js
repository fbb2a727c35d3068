// The game's files as the reader gives them to the page: a folder chosen or
// dropped, a .zip or .lzh archive chosen, dropped or named by a URL. Every
// file is read and unpacked here, in the page; nothing is uploaded.
//
// Each function returns { name, kind: 'folder'|'archive', entries }, where an
// entry is { name: Uint8Array, bytes: Uint8Array } and, for what is not a
// plain file, type: 'folder' or 'other'. A folder's names are its files'
// paths below the folder the reader chose, in UTF-8 with '/' between folders;
// an archive's are its entries' names as stored, byte for byte (code page 932
// or UTF-8), since the player reads them by its own rules, as the desktop
// player does. handToGame() gives such files to the compiled player.
//
// The page reads a zip archive as the game reads it (archiveAsRead()): its
// directory is checked at once, and each file is unpacked only when the game
// first asks for it, or beforehand with unpack() and unpackRest(). Its
// entries are { name, size } for a file and { name, type } for the rest.

import { limits, tooLarge, unplayable } from './archive-checks.js';
import { isLzh, readLzh } from './lzh-reader.js';
import { indexZip, isZip, readZip, unpackEntry, unpackEntryNow } from './zip-reader.js';
import { words } from './page-words.js';
import { START_UP_FILES } from './start-up-files.js';

export { limits };

const utf8 = new TextEncoder();

export async function filesFromArchive(name, arrayBuffer) {
  const u8 = new Uint8Array(arrayBuffer);
  let entries;
  if (isZip(u8)) {
    entries = await readZip(name, u8);
  } else if (isLzh(u8)) {
    entries = readLzh(name, u8);
  } else {
    throw unplayable(name, words('notAnArchive'));
  }
  return { name, kind: 'archive', entries };
}

// The same, for the page: a zip archive is unpacked as the game reads it.
export async function archiveAsRead(name, arrayBuffer) {
  const u8 = new Uint8Array(arrayBuffer);
  if (!isZip(u8)) return filesFromArchive(name, arrayBuffer);
  return zipAsRead(name, u8);
}

function zipAsRead(name, u8) {
  const entries = indexZip(name, u8);
  // Unpacked files not yet taken by the game, and the damaged ones' refusals,
  // by entry number; the game keeps what it has taken.
  const unpacked = new Map();
  const unpacking = new Map(); // entry number => promise
  const taken = new Set();
  const isFile = (n) => entries[n] !== undefined && !entries[n].type;
  const unpack = (n) => {
    if (!isFile(n) || unpacked.has(n) || taken.has(n)) return Promise.resolve();
    if (!unpacking.has(n)) {
      unpacking.set(n, unpackEntry(name, u8, entries[n]).then(
        (bytes) => { if (unpacking.has(n)) unpacked.set(n, bytes); },
        (error) => { if (unpacking.has(n)) unpacked.set(n, error.message); },
      ).finally(() => unpacking.delete(n)));
    }
    return unpacking.get(n);
  };
  let rest = null;
  let stopped = false;
  let startUp = null;
  return {
    name,
    kind: 'archive',
    entries: entries.map((entry) => (entry.type === 'folder' ? { name: entry.name, type: 'folder' }
      : { name: entry.name, size: entry.size, ...(entry.type ? { type: entry.type } : {}) })),
    // Entry `n`'s bytes, unpacked now if they are not yet, or why they
    // cannot be read; with `now` false, null if they are not unpacked yet.
    // Taken once: the game keeps them from then on.
    read(n, now = true) {
      if (!isFile(n)) return words('damaged', 'no such entry');
      let got = unpacked.get(n);
      if (got === undefined) {
        if (!now) return null;
        unpacking.delete(n); // what is being unpacked already is not waited for
        try {
          got = unpackEntryNow(name, u8, entries[n]);
        } catch (error) {
          got = error.message;
        }
      }
      if (typeof got === 'string') {
        unpacked.set(n, got);
      } else {
        unpacked.delete(n);
        taken.add(n);
      }
      return got;
    },
    // Unpacks the files every game's start reads, in the archive's top-most
    // folder that holds a script, before the game is there to name them (the
    // compiled player may still be starting). Returns their entry numbers.
    // Only a guess at what to unpack first: the game names what it reads.
    unpackStartUp() {
      startUp ??= (() => {
        const numbers = startUpEntries(entries);
        return Promise.all(numbers.map(unpack)).then(() => numbers);
      })();
      return startUp;
    },
    // Unpacks these entries, all at once, for the game to read.
    unpack(numbers) {
      return Promise.all(numbers.map(unpack));
    },
    // Unpacks the files the game has not read yet, one after another, each
    // when the page is otherwise idle.
    unpackRest() {
      rest ??= (async () => {
        for (let n = 0; n < entries.length && !stopped; n++) {
          if (!isFile(n) || taken.has(n)) continue;
          await new Promise((resolve) => (globalThis.requestIdleCallback ?? setTimeout)(resolve));
          if (!stopped) await unpack(n);
        }
      })();
      return rest;
    },
    // Once the game is over: nothing more is unpacked, nor kept.
    stop() {
      stopped = true;
      unpacked.clear();
      unpacking.clear();
    },
    // The bytes unpacked ahead and not yet read, by entry number.
    ahead(n) {
      const got = unpacked.get(n);
      return got instanceof Uint8Array ? got : null;
    },
  };
}

// The entries of START_UP_FILES, by number, in the folder nearest the
// archive's top that holds the first of them (the script); names compared
// without regard to ASCII case, as the player finds its files.
function startUpEntries(entries) {
  const split = (n) => {
    const name = entries[n].name;
    let cut = -1, depth = 0;
    for (let i = 0; i < name.length; i++) if (name[i] === 0x2F || name[i] === 0x5C) { cut = i; depth++; }
    return { folder: name.subarray(0, cut + 1), depth, base: String.fromCharCode(...name.subarray(cut + 1)).toLowerCase() };
  };
  const files = [];
  for (let n = 0; n < entries.length; n++) {
    if (entries[n].type === undefined && entries[n].name.length < 256) files.push({ n, ...split(n) });
  }
  const scripts = files.filter((file) => file.base === START_UP_FILES[0]);
  if (scripts.length === 0) return [];
  const top = scripts.reduce((a, b) => (b.depth < a.depth ? b : a)).folder;
  const inTop = (folder) => folder.length === top.length && folder.every((byte, i) => byte === top[i]);
  return START_UP_FILES.map((wanted) => files.find((file) => file.base === wanted && inTop(file.folder)))
    .filter(Boolean).map((file) => file.n);
}

// `fetching`: the fetch of `url` if it has already begun. A zip archive is
// read as the game reads it (see archiveAsRead()).
export async function filesFromUrl(url, fetching = fetch(url)) {
  const response = await fetching;
  const name = decodeURIComponent(new URL(url, globalThis.location?.href ?? 'file:///').pathname.split('/').pop());
  if (!response.ok) throw new Error(words('cannotLoad', url, `${response.status} ${response.statusText}`.trim()));
  const length = Number(response.headers.get('Content-Length'));
  if (length > limits.bytes) throw tooLarge(name);
  return archiveAsRead(name, await response.arrayBuffer());
}

const archiveName = /\.(zip|lzh|lha)$/i;

// Files with the path of each below the folder chosen (`path`), read
// whole, within the page's limits.
async function folderFiles(name, files) {
  if (files.length > limits.entries) throw unplayable(name, words('tooManyFiles', limits.entries));
  let total = 0;
  for (const { file } of files) {
    total += file.size;
    if (total > limits.bytes) throw tooLarge(name);
  }
  const entries = [];
  for (const { path, file } of files) {
    entries.push({ name: utf8.encode(path), bytes: new Uint8Array(await file.arrayBuffer()) });
  }
  return { name, kind: 'folder', entries };
}

function topFolder(paths) {
  const tops = new Set(paths.map((p) => (p.includes('/') ? p.slice(0, p.indexOf('/')) : '')));
  return tops.size === 1 ? [...tops][0] : '';
}

// From <input type=file webkitdirectory> (a folder), or <input type=file
// multiple>: one archive, or the files of a game's folder.
export async function filesFromInput(fileList) {
  const files = Array.from(fileList);
  if (files.length === 1 && !files[0].webkitRelativePath && archiveName.test(files[0].name)) {
    return archiveAsRead(files[0].name, await files[0].arrayBuffer());
  }
  const chosen = files.map((file) => ({ path: file.webkitRelativePath || file.name, file }));
  return folderFiles(topFolder(chosen.map((c) => c.path)), chosen);
}

// Every file below a dropped folder, with its path from the drop.
async function walkDropped(entry, found) {
  if (entry.isFile) {
    const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
    found.push({ path: entry.fullPath.replace(/^\/+/, ''), file });
  } else if (entry.isDirectory) {
    const reader = entry.createReader();
    // A folder is read in batches (of 100 in Chromium) until one comes back empty.
    for (;;) {
      const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (batch.length === 0) break;
      for (const child of batch) {
        await walkDropped(child, found);
        if (found.length > limits.entries) return;
      }
    }
  }
}

// A dropped folder, archive or set of files.
export async function filesFromDrop(dataTransfer) {
  // The entries must all be taken before the first wait: the drop's items
  // are gone once its handler has returned.
  const entries = Array.from(dataTransfer.items ?? [])
    .filter((item) => item.kind === 'file')
    .map((item) => item.webkitGetAsEntry?.())
    .filter(Boolean);
  const files = Array.from(dataTransfer.files ?? []);
  if (entries.length === 0) return filesFromInput(files);
  if (entries.length === 1 && entries[0].isFile && archiveName.test(entries[0].name)) {
    const file = await new Promise((resolve, reject) => entries[0].file(resolve, reject));
    return archiveAsRead(file.name, await file.arrayBuffer());
  }
  const found = [];
  for (const entry of entries) await walkDropped(entry, found);
  return folderFiles(topFolder(found.map((f) => f.path)), found);
}

// Gives the files to a WebGame, which finds the game among them as the
// desktop player does. Returns "" or why there is nothing to play.
export function handToGame(files, game) {
  if (files.read) {
    game.setEntrySource((n, now) => files.read(n, now));
    // One call an entry, in order: the game numbers them as they come.
    for (const entry of files.entries) {
      if (entry.type) game.addEntry(entry.name, new Uint8Array(0), entry.type);
      else game.addPackedEntry(entry.name, entry.size);
    }
    return game.openFiles(files.name, true);
  }
  for (const entry of files.entries) {
    if (files.kind === 'folder') game.addFile(entry.name, entry.bytes);
    else game.addEntry(entry.name, entry.bytes, entry.type ?? 'file');
  }
  return game.openFiles(files.name, files.kind === 'archive');
}
