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

import { Inflate } from './fflate.js';
import { words } from './page-words.js';

// The most the page holds of one game. Entries as the desktop player allows;
// bytes unpacked well below what a browser's WebAssembly memory can take,
// since each file is held twice while it is handed over.
export const limits = { entries: 1000000, bytes: 512 * 1024 * 1024 };

const utf8 = new TextEncoder();

function unplayable(name, why) {
  return new Error(words('cannotPlay', name, why));
}

function damaged(name, why) {
  return unplayable(name, words('damaged', why));
}

function tooLarge(name) {
  return unplayable(name, words('tooLarge', limits.bytes / (1024 * 1024)));
}

function tooManyEntries(name) {
  return unplayable(name, words('tooManyEntries', limits.entries));
}

// The table of a reflected CRC with the given polynomial, one entry a byte.
function crcTable(polynomial, Type) {
  const table = new Type(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? polynomial ^ (c >>> 1) : c >>> 1;
    table[n] = c;
  }
  return table;
}

const crc32Table = crcTable(0xEDB88320, Int32Array);

function crc32(bytes) {
  let c = -1;
  for (let i = 0; i < bytes.length; i++) c = crc32Table[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
  return (c ^ -1) >>> 0;
}

const crc16Table = crcTable(0xA001, Uint16Array);

function crc16(bytes) {
  let c = 0;
  for (let i = 0; i < bytes.length; i++) c = crc16Table[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
  return c;
}


class DamagedData extends Error {}

// The packed bytes are handed to an inflater this many at a time, so that
// no more than their inflated output (at most about a thousand times as
// much) is made before the output is weighed against the declared size.
const inflateSlice = 16 * 1024;

// The browser's own inflater of raw deflate, fed a slice at a time as it
// asks for more; none where the browser has none.
function browserInflater(packed) {
  if (typeof DecompressionStream !== 'function') return null;
  let inflater;
  try {
    inflater = new DecompressionStream('deflate-raw');
  } catch {
    return null; // no raw deflate in this browser's inflater
  }
  let at = 0;
  const source = new ReadableStream({
    pull(controller) {
      if (at >= packed.length) {
        controller.close();
        return;
      }
      controller.enqueue(packed.subarray(at, at + inflateSlice));
      at += inflateSlice;
    },
  }, { highWaterMark: 0 });
  return source.pipeThrough(inflater);
}

// Inflates a deflated zip member into the size the directory gives, which is
// all that is ever made room for: output past it stops the inflating at once.
// With the browser's own inflater where it has one (several times quicker
// than one in JavaScript in a page that has just started), else fflate's.
async function inflate(packed, size) {
  const out = new Uint8Array(size);
  let written = 0;
  const take = (chunk) => {
    if (chunk.length > size - written) throw new DamagedData('an entry inflates to more than its stated size');
    out.set(chunk, written);
    written += chunk.length;
  };
  const stream = browserInflater(packed);
  if (stream) {
    const reader = stream.getReader();
    try {
      for (let read = await reader.read(); !read.done; read = await reader.read()) take(read.value);
    } catch (error) {
      reader.cancel().catch(() => {});
      throw error;
    }
  } else {
    const inflater = new Inflate(take);
    let at = 0;
    do {
      inflater.push(packed.subarray(at, at + inflateSlice), at + inflateSlice >= packed.length);
      at += inflateSlice;
    } while (at < packed.length);
  }
  if (written !== size) throw new DamagedData('an entry inflates to less than its stated size');
  return out;
}

// The central directory names each entry with its flags, method, sizes and
// checksum. The sizes it states are weighed against the page's limit before
// anything is unpacked; each entry's data must lie apart from every other's;
// the entries are then unpacked one at a time, each into its stated size.
async function readZip(name, u8) {
  const view = new DataView(u8.buffer, u8.byteOffset, u8.byteLength);
  const u16 = (at) => view.getUint16(at, true);
  const u32 = (at) => view.getUint32(at, true);
  const u64 = (at) => u32(at) + u32(at + 4) * 0x100000000;
  const inside = (at, size) => at >= 0 && size >= 0 && at + size <= u8.length;

  let end = -1;
  for (let at = u8.length - 22; at >= Math.max(0, u8.length - 22 - 0xFFFF); at--) {
    if (u32(at) === 0x06054B50) { end = at; break; }
  }
  if (end < 0) throw damaged(name, 'its directory of entries is missing');
  let count = u16(end + 10);
  let at = u32(end + 16);
  if ((count === 0xFFFF || at === 0xFFFFFFFF) && end >= 20 && u32(end - 20) === 0x07064B50) {
    const end64 = u64(end - 20 + 8);
    if (!inside(end64, 56) || u32(end64) !== 0x06064B50) throw damaged(name, 'its directory of entries is missing');
    count = u64(end64 + 32);
    at = u64(end64 + 48);
  }
  if (count > limits.entries) throw tooManyEntries(name);

  const headers = [];
  let total = 0;
  for (let n = 0; n < count; n++) {
    if (!inside(at, 46) || u32(at) !== 0x02014B50) throw damaged(name, 'its directory of entries is cut short');
    const nameLength = u16(at + 28), extraLength = u16(at + 30), commentLength = u16(at + 32);
    if (!inside(at + 46, nameLength + extraLength + commentLength)) throw damaged(name, 'an entry\'s header is cut short');
    const header = {
      host: u8[at + 5], flags: u16(at + 8), method: u16(at + 10), crc: u32(at + 16),
      packed: u32(at + 20), size: u32(at + 24), attributes: u32(at + 38), offset: u32(at + 42),
      name: u8.slice(at + 46, at + 46 + nameLength),
    };
    // Sizes and offsets past 4 GB are in the zip64 extra field, in this order.
    const extraEnd = at + 46 + nameLength + extraLength;
    for (let e = at + 46 + nameLength; e + 4 <= extraEnd;) {
      const id = u16(e), length = u16(e + 2);
      if (id === 0x0001) {
        let f = e + 4;
        for (const key of ['size', 'packed', 'offset']) {
          if (header[key] === 0xFFFFFFFF && f + 8 <= Math.min(e + 4 + length, extraEnd)) { header[key] = u64(f); f += 8; }
        }
      }
      e += 4 + length;
    }
    if (header.flags & 1) throw unplayable(name, words('encrypted'));
    headers.push(header);
    total += header.size;
    if (total > limits.bytes) throw tooLarge(name);
    at += 46 + nameLength + extraLength + commentLength;
  }

  // Where each file's data lies: its local header, then its packed bytes.
  const entries = headers.map((header) => {
    const unixType = header.host === 3 ? (header.attributes >>> 16) & 0o170000 : 0;
    const last = header.name[header.name.length - 1];
    if (last === 0x2F || unixType === 0o040000 || (header.host !== 3 && header.attributes & 0x10)) {
      return { name: header.name, bytes: new Uint8Array(0), type: 'folder' };
    }
    const local = header.offset;
    if (!inside(local, 30) || u32(local) !== 0x04034B50) throw damaged(name, 'an entry is missing where the directory puts it');
    const start = local + 30 + u16(local + 26) + u16(local + 28);
    if (!inside(start, header.packed)) throw damaged(name, 'it ends early');
    if (header.method !== 0 && header.method !== 8) {
      throw unplayable(name, words('unknownMethod', `zip method ${header.method}`));
    }
    if (header.method === 0 && header.packed !== header.size) throw damaged(name, 'an entry\'s sizes do not agree');
    const entry = { name: header.name, header, local, end: start + header.packed };
    if (unixType !== 0 && unixType !== 0o100000) entry.type = 'other';
    return entry;
  });
  // One stretch of bytes named by several entries would unpack more than
  // the archive holds: no archive tool writes one.
  const files = entries.filter((entry) => entry.header).sort((a, b) => a.local - b.local);
  for (let n = 1; n < files.length; n++) {
    if (files[n].local < files[n - 1].end) throw damaged(name, 'entries overlap one another');
  }

  for (const entry of files) {
    const { header } = entry;
    const packed = u8.subarray(entry.end - header.packed, entry.end);
    let bytes;
    if (header.method === 0) {
      bytes = packed.slice();
    } else {
      try {
        bytes = await inflate(packed, header.size);
      } catch (error) {
        if (error instanceof DamagedData) throw damaged(name, error.message);
        throw damaged(name, `an entry cannot be inflated (${error.message})`);
      }
    }
    if (crc32(bytes) !== header.crc) throw damaged(name, 'an entry\'s checksum does not match');
    entry.bytes = bytes;
    delete entry.header;
    delete entry.local;
    delete entry.end;
  }
  return entries;
}


class BitReader {
  constructor(bytes) {
    this.bytes = bytes;
    this.at = 0;
    this.buffer = 0;
    this.count = 0;
  }

  // The next n bits, n at most 16, first bit highest, left to be read; past
  // the end come zeros.
  peek(n) {
    while (this.count < n) {
      this.buffer = ((this.buffer << 8) | (this.at < this.bytes.length ? this.bytes[this.at] : 0)) & 0xFFFFFF;
      this.at++;
      this.count += 8;
    }
    return (this.buffer >>> (this.count - n)) & ((1 << n) - 1);
  }

  bits(n) {
    const value = this.peek(n);
    this.count -= n;
    return value;
  }

  get overrun() { return this.at > this.bytes.length + 4; }
}

// A canonical Huffman code, from each symbol's code length (0 for unused):
// shorter codes first, and among codes of one length the lower symbol first.
// Decoded by a table of every value of the longest code's bits.
function huffman(lengths) {
  const count = new Uint16Array(17);
  for (const length of lengths) count[length]++;
  count[0] = 0;
  let room = 1, longest = 0;
  for (let length = 1; length <= 16; length++) {
    room = room * 2 - count[length];
    if (room < 0) throw new DamagedData('a code table is over-full');
    if (count[length]) longest = length;
  }
  if (room !== 0) throw new DamagedData('a code table is incomplete');
  const table = new Uint32Array(1 << longest);
  let code = 0;
  for (let length = 1; length <= longest; length++) {
    lengths.forEach((l, symbol) => {
      if (l !== length) return;
      const shift = longest - length;
      table.fill((symbol << 5) | length, code << shift, (code + 1) << shift);
      code++;
    });
    code <<= 1;
  }
  return { table, longest };
}

function decodeSymbol(reader, code) {
  if (code.single !== undefined) return code.single;
  const entry = code.table[reader.peek(code.longest)];
  reader.count -= entry & 31;
  return entry >>> 5;
}

const NC = 510; // literals, and match lengths 3 to 256
const NT = 19;  // the code of the literal code's lengths

// A table of code lengths: their count, then each length in 3 bits, 7 and
// above continued in unary; `skipAt` is where a 2-bit count of zeros follows.
function readLengthCode(reader, symbols, countBits, skipAt) {
  const n = reader.bits(countBits);
  if (n === 0) {
    const single = reader.bits(countBits);
    if (single >= symbols) throw new DamagedData('a code table names a symbol beyond its alphabet');
    return { single };
  }
  if (n > symbols) throw new DamagedData('a code table is longer than its alphabet');
  const lengths = new Uint8Array(symbols);
  for (let i = 0; i < n;) {
    let length = reader.bits(3);
    if (length === 7) while (reader.bits(1)) if (++length > 16) throw new DamagedData('a code is longer than 16 bits');
    lengths[i++] = length;
    if (i === skipAt) {
      for (let zeros = reader.bits(2); zeros > 0 && i < n; zeros--) lengths[i++] = 0;
    }
  }
  return huffman(lengths);
}

function readLiteralCode(reader, lengthCode) {
  const n = reader.bits(9);
  if (n === 0) {
    const single = reader.bits(9);
    if (single >= NC) throw new DamagedData('a code table names a symbol beyond its alphabet');
    return { single };
  }
  if (n > NC) throw new DamagedData('a code table is longer than its alphabet');
  const lengths = new Uint8Array(NC);
  for (let i = 0; i < n;) {
    const c = decodeSymbol(reader, lengthCode);
    if (c <= 2) {
      let zeros = c === 0 ? 1 : c === 1 ? reader.bits(4) + 3 : reader.bits(9) + 20;
      if (i + zeros > n) throw new DamagedData('a code table runs past its end');
      while (zeros-- > 0) lengths[i++] = 0;
    } else {
      lengths[i++] = c - 2;
    }
  }
  return huffman(lengths);
}

// -lh5-, -lh6- and -lh7-: LZSS over a window of 2^dictionaryBits bytes, in
// blocks of Huffman codes. The window starts out filled with spaces.
function unpackLh(packed, size, dictionaryBits) {
  const reader = new BitReader(packed);
  const positions = dictionaryBits + 1;
  const positionBits = dictionaryBits >= 15 ? 5 : 4;
  const out = new Uint8Array(size);
  let written = 0, blockLeft = 0;
  let literals, distances;
  while (written < size) {
    if (blockLeft === 0) {
      blockLeft = reader.bits(16);
      if (blockLeft === 0) throw new DamagedData('a block is empty');
      const lengthCode = readLengthCode(reader, NT, 5, 3);
      literals = readLiteralCode(reader, lengthCode);
      distances = readLengthCode(reader, positions, positionBits, -1);
    }
    blockLeft--;
    const c = decodeSymbol(reader, literals);
    if (c < 256) {
      out[written++] = c;
    } else {
      const p = decodeSymbol(reader, distances);
      const distance = p === 0 ? 0 : (1 << (p - 1)) + reader.bits(p - 1);
      let from = written - distance - 1;
      for (let length = c - 253; length > 0 && written < size; length--, from++) {
        out[written++] = from >= 0 ? out[from] : 0x20;
      }
    }
    if (reader.overrun) throw new DamagedData('it ends early');
  }
  return out;
}

const lhMethods = { '-lh5-': 13, '-lh6-': 15, '-lh7-': 16 };

function isLzh(u8) {
  return u8.length >= 22 && u8[2] === 0x2D && u8[3] === 0x6C && (u8[4] === 0x68 || u8[4] === 0x7A) &&
    u8[6] === 0x2D && u8[20] <= 3;
}

// Level 0, 1 and 2 headers. Names are stored with '\' between folders, or
// in a folder-name extension with 0xFF between them, read here as '/'.
function readLzh(name, u8) {
  const view = new DataView(u8.buffer, u8.byteOffset, u8.byteLength);
  const u16 = (at) => view.getUint16(at, true);
  const u32 = (at) => view.getUint32(at, true);
  const latin = (at, n) => String.fromCharCode(...u8.subarray(at, at + n));
  const entries = [];
  let total = 0;
  for (let at = 0; at < u8.length && u8[at] !== 0;) {
    if (at + 22 > u8.length) throw damaged(name, 'it ends early');
    const level = u8[at + 20];
    const method = latin(at + 2, 5);
    let packed, size, storedName, crc, data;
    const extensions = (from, nextSize, end) => {
      let dir = null, file = null, length = 0, crcAt = -1;
      for (let e = from; nextSize > 0; ) {
        if (nextSize < 3 || e + nextSize > end) throw damaged(name, 'an entry\'s header is cut short');
        const type = u8[e];
        if (type === 0x00 && nextSize === 5) crcAt = e + 1;
        if (type === 0x01) file = u8.slice(e + 1, e + nextSize - 2);
        if (type === 0x02) dir = u8.slice(e + 1, e + nextSize - 2).map((b) => (b === 0xFF ? 0x2F : b));
        length += nextSize;
        e += nextSize;
        nextSize = u16(e - 2);
      }
      return { dir, file, length, crcAt };
    };
    const joined = (dir, file) => {
      if (!dir || dir.length === 0) return file;
      const sep = dir[dir.length - 1] === 0x2F ? [] : [0x2F];
      return Uint8Array.from([...dir, ...sep, ...file]);
    };
    if (level === 0 || level === 1) {
      const headerSize = u8[at];
      if (at + 2 + headerSize > u8.length || headerSize < 22 + u8[at + 21]) throw damaged(name, 'an entry\'s header is cut short');
      let sum = 0;
      for (let i = at + 2; i < at + 2 + headerSize; i++) sum += u8[i];
      if ((sum & 0xFF) !== u8[at + 1]) throw damaged(name, 'an entry\'s header checksum does not match');
      const nameLength = u8[at + 21];
      storedName = u8.slice(at + 22, at + 22 + nameLength);
      crc = u16(at + 22 + nameLength);
      packed = u32(at + 7);
      size = u32(at + 11);
      data = at + 2 + headerSize;
      if (level === 1) {
        const ext = extensions(data, u16(at + 2 + headerSize - 2), u8.length);
        storedName = joined(ext.dir, ext.file || storedName);
        packed -= ext.length;
        data += ext.length;
        if (packed < 0) throw damaged(name, 'an entry\'s header is cut short');
      }
    } else if (level === 2) {
      const headerSize = u16(at);
      if (at + headerSize > u8.length || headerSize < 26) throw damaged(name, 'an entry\'s header is cut short');
      packed = u32(at + 7);
      size = u32(at + 11);
      crc = u16(at + 21);
      const ext = extensions(at + 26, u16(at + 24), at + headerSize);
      // The header's own CRC-16, taken with its field 0, as the desktop's reader checks it.
      const header = u8.slice(at, at + headerSize);
      const expected = ext.crcAt < 0 ? 0 : u16(ext.crcAt);
      if (ext.crcAt >= 0) header.fill(0, ext.crcAt - at, ext.crcAt - at + 2);
      if (crc16(header) !== expected) throw damaged(name, 'an entry\'s header checksum does not match');
      storedName = joined(ext.dir, ext.file || new Uint8Array(0));
      data = at + headerSize;
    } else {
      throw unplayable(name, words('lhaLevel', level));
    }
    if (data + packed > u8.length) throw damaged(name, 'it ends early');
    if (entries.length >= limits.entries) throw tooManyEntries(name);
    if (method === '-lhd-') {
      entries.push({ name: storedName, bytes: new Uint8Array(0), type: 'folder' });
    } else {
      total += size;
      if (total > limits.bytes) throw tooLarge(name);
      const body = u8.subarray(data, data + packed);
      let bytes;
      if (method === '-lh0-' || method === '-lz4-') {
        if (packed !== size) throw damaged(name, 'an entry\'s sizes do not agree');
        bytes = body.slice();
      } else if (method in lhMethods) {
        try {
          bytes = unpackLh(body, size, lhMethods[method]);
        } catch (error) {
          if (error instanceof DamagedData) throw damaged(name, error.message);
          throw error;
        }
      } else {
        throw unplayable(name, words('unknownMethod', method));
      }
      if (bytes.length !== size || crc16(bytes) !== crc) throw damaged(name, 'an entry\'s checksum does not match');
      entries.push({ name: storedName, bytes });
    }
    at = data + packed;
  }
  return entries;
}


export async function filesFromArchive(name, arrayBuffer) {
  const u8 = new Uint8Array(arrayBuffer);
  let entries;
  if (u8.length >= 4 && u8[0] === 0x50 && u8[1] === 0x4B && (u8[2] === 3 || u8[2] === 5)) {
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
