// A zip archive's entries, read as the page reads them: the sizes the
// central directory states are weighed against the page's limit first, then
// each entry is inflated into its stated size, and no further.

import { Inflate } from './fflate.js';
import {
  DamagedData, crcTable, damaged, limits, tooLarge, tooManyEntries, unplayable,
} from './archive-checks.js';
import { words } from './page-words.js';

const crc32Table = crcTable(0xEDB88320, Int32Array);

function crc32(bytes) {
  const table = crc32Table();
  let c = -1;
  for (let i = 0; i < bytes.length; i++) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
  return (c ^ -1) >>> 0;
}

// The packed bytes are handed to an inflater this many at a time, so that
// no more than their inflated output (at most about a thousand times as
// much) is made before the output is weighed against the declared size.
const inflateSlice = 16 * 1024;

// The browser's own inflater, fed a slice at a time as it asks for more;
// none where the browser has none. The packed bytes are given as a gzip
// member (a 10-byte header, the raw deflate data, then the checksum and size
// the zip directory states), so that the browser checks the checksum as it
// inflates, in its own code rather than in a loop of the page's.
const gzipHeader = new Uint8Array([0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0xFF]);
function browserInflater(packed, crc, size) {
  if (typeof DecompressionStream !== 'function') return null;
  let inflater;
  try {
    inflater = new DecompressionStream('gzip');
  } catch {
    return null; // no inflater in this browser
  }
  const trailer = new Uint8Array(8);
  const stated = new DataView(trailer.buffer);
  stated.setUint32(0, crc, true);
  stated.setUint32(4, size % 0x100000000, true);
  const slices = [gzipHeader];
  for (let at = 0; at < packed.length; at += inflateSlice) slices.push(packed.subarray(at, at + inflateSlice));
  slices.push(trailer);
  let next = 0;
  const source = new ReadableStream({
    pull(controller) {
      if (next >= slices.length) controller.close();
      else controller.enqueue(slices[next++]);
    },
  }, { highWaterMark: 0 });
  return source.pipeThrough(inflater);
}

// Takes an inflater's output into `out`, which holds exactly the size the
// directory gives: output past it stops the inflating at once.
function sizedOutput(size) {
  const out = new Uint8Array(size);
  let written = 0;
  return {
    take(chunk) {
      if (chunk.length > size - written) throw new DamagedData('an entry inflates to more than its stated size');
      out.set(chunk, written);
      written += chunk.length;
    },
    whole() {
      if (written !== size) throw new DamagedData('an entry inflates to less than its stated size');
      return out;
    },
  };
}

// Inflates a deflated zip member with fflate, at once: for a file the game
// reads before the browser's own inflater could have unpacked it.
function inflateNow(packed, size) {
  const output = sizedOutput(size);
  const inflater = new Inflate((chunk) => output.take(chunk));
  let at = 0;
  do {
    inflater.push(packed.subarray(at, at + inflateSlice), at + inflateSlice >= packed.length);
    at += inflateSlice;
  } while (at < packed.length);
  return output.whole();
}

// Inflates a deflated zip member into the size the directory gives, which is
// all that is ever made room for, checked against its stated checksum. With
// the browser's own inflater where it has one (several times quicker than
// one in JavaScript in a page that has just started), else fflate's. Returns
// null where the browser's inflater refused the member: it says only that,
// not whether the data or the checksum is wrong, which the caller finds out.
async function inflate(packed, crc, size) {
  const stream = browserInflater(packed, crc, size);
  if (!stream) return null;
  const output = sizedOutput(size);
  const reader = stream.getReader();
  try {
    for (let read = await reader.read(); !read.done; read = await reader.read()) output.take(read.value);
  } catch (error) {
    reader.cancel().catch(() => {});
    if (error instanceof DamagedData) throw error;
    return null;
  }
  return output.whole();
}

// The central directory names each entry with its flags, method, sizes and
// checksum. The sizes it states are weighed against the page's limit before
// anything is unpacked, each entry's data must lie apart from every other's,
// and every file's method must be one the page unpacks. Returns the entries,
// { name, type } for a folder or what is not a plain file, and for a file
// { name, size } and where its packed bytes lie, for unpackEntry().
export function indexZip(name, u8) {
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
    const entry = { name: header.name, size: header.size, header, local, end: start + header.packed };
    if (unixType !== 0 && unixType !== 0o100000) entry.type = 'other';
    return entry;
  });
  // One stretch of bytes named by several entries would unpack more than
  // the archive holds: no archive tool writes one.
  const files = entries.filter((entry) => entry.header).sort((a, b) => a.local - b.local);
  for (let n = 1; n < files.length; n++) {
    if (files[n].local < files[n - 1].end) throw damaged(name, 'entries overlap one another');
  }

  return entries;
}

// The bytes of a file of indexZip(), checked against its checksum; a damaged
// one is refused in the page's words. `now`: at once, by fflate, rather than
// by the browser's inflater.
function unpackEntryBy(name, u8, entry, now) {
  const { header } = entry;
  const packed = u8.subarray(entry.end - header.packed, entry.end);
  const checked = (bytes) => {
    if (crc32(bytes) !== header.crc) throw damaged(name, 'an entry\'s checksum does not match');
    return bytes;
  };
  const refused = (error) => {
    if (error instanceof DamagedData) throw damaged(name, error.message);
    throw damaged(name, `an entry cannot be inflated (${error.message})`);
  };
  if (header.method === 0) return checked(packed.slice());
  if (now) {
    let bytes;
    try {
      bytes = inflateNow(packed, header.size);
    } catch (error) {
      refused(error);
    }
    return checked(bytes);
  }
  // The browser's inflater checks the checksum itself; where it refuses the
  // member, fflate inflates it again to say what is wrong.
  return inflate(packed, header.crc, header.size).then(
    (bytes) => bytes ?? unpackEntryBy(name, u8, entry, true),
    refused,
  );
}

export async function unpackEntry(name, u8, entry) {
  return unpackEntryBy(name, u8, entry, false);
}

export function unpackEntryNow(name, u8, entry) {
  return unpackEntryBy(name, u8, entry, true);
}

// Every entry of the archive, each file unpacked into its stated size, one at
// a time.
export async function readZip(name, u8) {
  const entries = indexZip(name, u8);
  for (const entry of entries) {
    if (entry.type === 'folder') continue;
    entry.bytes = await unpackEntry(name, u8, entry);
    delete entry.header;
    delete entry.local;
    delete entry.end;
    delete entry.size;
  }
  return entries;
}

// Whether the bytes begin as a zip archive does.
export function isZip(u8) {
  return u8.length >= 4 && u8[0] === 0x50 && u8[1] === 0x4B && (u8[2] === 3 || u8[2] === 5);
}
