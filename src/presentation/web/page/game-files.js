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

import { limits, tooLarge, unplayable } from './archive-checks.js';
import { isLzh, readLzh } from './lzh-reader.js';
import { isZip, readZip } from './zip-reader.js';
import { words } from './page-words.js';

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

// `fetching`: the fetch of `url` if it has already begun.
export async function filesFromUrl(url, fetching = fetch(url)) {
  const response = await fetching;
  const name = decodeURIComponent(new URL(url, globalThis.location?.href ?? 'file:///').pathname.split('/').pop());
  if (!response.ok) throw new Error(words('cannotLoad', url, `${response.status} ${response.statusText}`.trim()));
  const length = Number(response.headers.get('Content-Length'));
  if (length > limits.bytes) throw tooLarge(name);
  return filesFromArchive(name, await response.arrayBuffer());
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
    return filesFromArchive(files[0].name, await files[0].arrayBuffer());
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
    return filesFromArchive(file.name, await file.arrayBuffer());
  }
  const found = [];
  for (const entry of entries) await walkDropped(entry, found);
  return folderFiles(topFolder(found.map((f) => f.path)), found);
}

// Gives the files to a WebGame, which finds the game among them as the
// desktop player does. Returns "" or why there is nothing to play.
export function handToGame(files, game) {
  for (const entry of files.entries) {
    if (files.kind === 'folder') game.addFile(entry.name, entry.bytes);
    else game.addEntry(entry.name, entry.bytes, entry.type ?? 'file');
  }
  return game.openFiles(files.name, files.kind === 'archive');
}
