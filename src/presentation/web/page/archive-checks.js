// What every reader of a game's files holds to: the page's limits, the
// refusals worded for the page's reader, and the checksums of the archives.
// The zip and lzh readers and the page's input share them.

import { words } from './page-words.js';

// The most the page holds of one game. Entries as the desktop player allows;
// bytes unpacked well below what a browser's WebAssembly memory can take,
// since each file is held twice while it is handed over.
export const limits = { entries: 1000000, bytes: 512 * 1024 * 1024 };

export function unplayable(name, why) {
  return new Error(words('cannotPlay', name, why));
}

export function damaged(name, why) {
  return unplayable(name, words('damaged', why));
}

export function tooLarge(name) {
  return unplayable(name, words('tooLarge', limits.bytes / (1024 * 1024)));
}

export function tooManyEntries(name) {
  return unplayable(name, words('tooManyEntries', limits.entries));
}

// The table of a reflected CRC with the given polynomial, one entry a byte:
// a function that makes it when it is first asked for (not while the page
// loads, where the loop runs before any of it is compiled).
export function crcTable(polynomial, Type) {
  let table = null;
  return () => {
    if (table) return table;
    table = new Type(256);
    for (let n = 0; n < 256; n++) {
      let c = n;
      for (let k = 0; k < 8; k++) c = c & 1 ? polynomial ^ (c >>> 1) : c >>> 1;
      table[n] = c;
    }
    return table;
  };
}

// What a reader refuses as damaged data, said in its own words, which the
// archive's reader then gives as the reason the archive is damaged.
export class DamagedData extends Error {}
