// An lzh archive's entries, read as the page reads them: level 0, 1 and 2
// headers, stored members and -lh5-, -lh6- and -lh7- packed ones, each
// unpacked into its stated size and no further.

import { DamagedData, crcTable, damaged, limits, tooLarge, tooManyEntries, unplayable } from './archive-checks.js';
import { words } from './page-words.js';

const crc16Table = crcTable(0xA001, Uint16Array);

function crc16(bytes) {
  const table = crc16Table();
  let c = 0;
  for (let i = 0; i < bytes.length; i++) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
  return c;
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

// Whether the bytes begin as an lzh archive's first header does.
export function isLzh(u8) {
  return u8.length >= 22 && u8[2] === 0x2D && u8[3] === 0x6C && (u8[4] === 0x68 || u8[4] === 0x7A) &&
    u8[6] === 0x2D && u8[20] <= 3;
}

// Level 0, 1 and 2 headers. Names are stored with '\' between folders, or
// in a folder-name extension with 0xFF between them, read here as '/'.
export function readLzh(name, u8) {
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
