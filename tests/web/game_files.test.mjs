// The page's reading of game folders, zip and lzh archives (game-files.js),
// and the whole way from the files to the first page of the compiled player.
// Run by tests/web/game_files.sh, which says where the built page's modules are.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const source = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const modules = process.env.VORN_WEB_MODULES;
const build = process.env.VORN_WEB_BUILD;
const files = await import(pathToFileURL(path.join(modules, 'game-files.js')));
const { deflateSync } = await import(pathToFileURL(path.join(modules, 'fflate.js')));
const fixtures = path.join(source, 'tests/game_files/fixtures');

const latin = (s) => Uint8Array.from(s, (c) => c.charCodeAt(0));
const text = (bytes) => Buffer.from(bytes).toString('latin1');
// Code page 932 bytes of the few names used here.
const cp932 = { 'ゲーム': '\x83\x51\x81\x5B\x83\x80', 'ソ': '\x83\x5C', '表': '\x95\x5C' };
const stored = (name) => latin(name.replace(/ゲーム|ソ|表/g, (k) => cp932[k]));
const buffer = (u8) => u8.buffer.slice(u8.byteOffset, u8.byteOffset + u8.byteLength);
const byName = (result) => new Map(result.entries.map((e) => [text(e.name), e]));
async function refusal(promise) {
  try { await promise; } catch (error) { return error.message; }
  assert.fail('it was accepted');
}

// A zip written as old Windows tools wrote them: names in code page 932 with
// no UTF-8 flag. Each member: [name bytes, content, options].
function zip(members) {
  const local = [], central = [];
  let offset = 0;
  for (const [name, content, { method = 8, flags = 0, folder = false, crc } = {}] of members) {
    const packed = method === 8 ? deflateSync(content) : content;
    const sum = crc ?? crc32(content);
    const head = (signature, size) => {
      const b = Buffer.alloc(size);
      b.writeUInt32LE(signature, 0);
      return b;
    };
    const l = head(0x04034B50, 30);
    l.writeUInt16LE(20, 4); l.writeUInt16LE(flags, 6); l.writeUInt16LE(method, 8);
    l.writeUInt32LE(sum, 14); l.writeUInt32LE(packed.length, 18); l.writeUInt32LE(content.length, 22);
    l.writeUInt16LE(name.length, 26);
    const c = head(0x02014B50, 46);
    c.writeUInt16LE(20, 4); c.writeUInt16LE(20, 6); c.writeUInt16LE(flags, 8); c.writeUInt16LE(method, 10);
    c.writeUInt32LE(sum, 16); c.writeUInt32LE(packed.length, 20); c.writeUInt32LE(content.length, 24);
    c.writeUInt16LE(name.length, 28); c.writeUInt32LE(folder ? 0x10 : 0x20, 38); c.writeUInt32LE(offset, 42);
    local.push(l, name, packed);
    central.push(c, name);
    offset += 30 + name.length + packed.length;
  }
  const directory = Buffer.concat(central);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054B50, 0); end.writeUInt16LE(members.length, 8); end.writeUInt16LE(members.length, 10);
  end.writeUInt32LE(directory.length, 12); end.writeUInt32LE(offset, 16);
  return new Uint8Array(Buffer.concat([...local, directory, end]));
}

function crc32(bytes) {
  let c = -1;
  for (const b of bytes) {
    c ^= b;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
  }
  return (c ^ -1) >>> 0;
}

const gameLzh = fs.readFileSync(path.join(fixtures, 'game.lzh'));

// The members of game.lzh (made by make_lzh.py) as [name bytes, content].
async function lzhMembers() {
  const result = await files.filesFromArchive('game.lzh', buffer(gameLzh));
  return result.entries.map((e) => [e.name, e.bytes]);
}

// Packs files with pack_lzh.py; `members` are [name, content] with names in UTF-8.
function packLzh(method, level, members, block = 200) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorn-lzh-'));
  try {
    const args = members.map(([name, content], n) => {
      fs.writeFileSync(path.join(dir, String(n)), content);
      return `${name}=${path.join(dir, String(n))}`;
    });
    const out = path.join(dir, 'out.lzh');
    execFileSync('python3', [path.join(fixtures, 'pack_lzh.py'), out, method, String(level), '--block', String(block), ...args]);
    return new Uint8Array(fs.readFileSync(out));
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

function story() {
  let s = '';
  for (let i = 0; s.length < 120000; i++) s += `line ${i % 41} of a tale told again and again, ${'.'.repeat(i % 7)}\r\n`;
  return Buffer.from(s);
}

function noise(size) {
  const out = Buffer.alloc(size);
  for (let i = 0, n = 7; i < size; i++) { n = (n * 1103515245 + 12345) >>> 0; out[i] = n >>> 16; }
  return out;
}

test('an lzh of level 0 stored members keeps its code page 932 names byte for byte', async () => {
  const result = await files.filesFromArchive('game.lzh', buffer(gameLzh));
  assert.equal(result.kind, 'archive');
  const entries = byName(result);
  // '\' stays the folder separator, and the 0x5C ending ソ and 表 stays in the name.
  assert.equal(text(entries.get(text(stored('ゲーム\\ソ.bmp'))).bytes).slice(0, 2), 'BM');
  assert.equal(text(entries.get(text(stored('ゲーム\\表\\Moon.bmp'))).bytes), 'moon');
  assert.equal(text(entries.get('readme.txt').bytes), 'not the game');
});

test('-lh5-, -lh6- and -lh7- members under level 0, 1 and 2 headers unpack to what was packed', async () => {
  const members = [
    ['ゲーム\\code.vrn', Buffer.from('"   spaces before the first byte come from the window"')],
    ['ゲーム\\表\\ソ.txt', story()],
    ['noise.bin', noise(20000)],
    ['one.txt', Buffer.from('x')],
    ['empty.txt', Buffer.alloc(0)],
  ];
  for (const method of ['lh5', 'lh6', 'lh7']) {
    for (const level of [0, 1, 2]) {
      const result = await files.filesFromArchive('packed.lzh', buffer(packLzh(method, level, members)));
      const entries = byName(result);
      assert.equal(entries.size, members.length, `${method} level ${level}`);
      for (const [name, content] of members) {
        // Folder names of level 1 and 2 headers come with '/' between folders.
        const key = text(level === 0 ? stored(name) : stored(name.replace(/\\/g, '/')));
        assert.ok(entries.has(key), `${method} level ${level}: ${name}`);
        assert.ok(Buffer.from(entries.get(key).bytes).equals(content), `${method} level ${level}: ${name}`);
      }
    }
  }
});

test('damaged, truncated and unreadable archives are refused in the desktop player\'s words', async () => {
  const packed = packLzh('lh5', 1, [['code.vrn', story()]]);
  const flipped = packed.slice();
  flipped[packed.length - 200] ^= 0x55;
  const zipped = zip([[latin('code.vrn'), Buffer.from('"x"')]]);
  const badHeader = packLzh('lh5', 2, [['code.vrn', Buffer.from('"x"')]]);
  badHeader[28] ^= 1; // the header's own CRC
  const badCrc = zip([[latin('code.vrn'), Buffer.from('"x"'), { crc: 1 }]]);
  const cases = [
    ['flipped.lzh', flipped, 'cannot play "flipped.lzh": the archive is damaged or truncated: '],
    ['short.lzh', packed.slice(0, packed.length - 300), 'cannot play "short.lzh": the archive is damaged or truncated: it ends early'],
    ['short.zip', zipped.slice(0, 40), 'cannot play "short.zip": the archive is damaged or truncated: '],
    ['header.lzh', badHeader, 'the archive is damaged or truncated: an entry\'s header checksum does not match'],
    ['crc.zip', badCrc, 'the archive is damaged or truncated: an entry\'s checksum does not match'],
    ['locked.zip', zip([[latin('code.vrn'), Buffer.from('"x"'), { flags: 1 }]]),
      'cannot play "locked.zip": the archive is encrypted; unpack it with its password, then play the folder.'],
    ['bzip2.zip', zip([[latin('code.vrn'), Buffer.from('"x"'), { method: 12 }]]), '(zip method 12)'],
    ['notes.txt', Buffer.from('not an archive at all, just words'), 'neither a game folder nor an archive the page can read'],
  ];
  for (const [name, bytes, says] of cases) {
    const why = await refusal(files.filesFromArchive(name, buffer(new Uint8Array(bytes))));
    assert.ok(why.includes(says), `${name}: ${why}`);
    // What a reader of the page can do, not what the desktop player could.
    assert.doesNotMatch(why, /desktop|command line/, name);
  }
  assert.equal(await refusal(files.filesFromArchive('short.lzh', buffer(packed.slice(0, packed.length - 300)))),
    'cannot play "short.lzh": the archive is damaged or truncated: it ends early; ' +
    'download it again, or open the game\'s folder instead.');
});

test('a browser set to Japanese is told why in Japanese, with the archive\'s name as it is', async () => {
  const refusals = `
    const why = [];
    for (const [name, bytes] of [['壊れた.zip', input.slice(0, 40)], ['メモ.txt', new Uint8Array(30)]]) {
      try { await files.filesFromArchive(name, bytes.slice().buffer); } catch (error) { why.push(error.message); }
    }
    files.limits.bytes = 10;
    try { await files.filesFromArchive('大きい.zip', input.slice().buffer); } catch (error) { why.push(error.message); }
    return { why };`;
  const { why } = inChild(refusals, zip([[latin('code.vrn'), Buffer.from('"a page of words"')]]), { language: 'ja-JP' });
  assert.equal(why.length, 3);
  assert.match(why[0], /^「壊れた.zip」は遊べません: アーカイブが壊れているか、途中で切れています（.+）。ダウンロードし直すか/);
  assert.equal(why[1], '「メモ.txt」は遊べません: ゲームのフォルダでも、このページで読めるアーカイブ（.zip か .lzh）でもありません。');
  assert.match(why[2], /^「大きい.zip」は遊べません: 展開すると .+ MB を超え、ブラウザーのページには収まりません。$/);
});

test('a zip keeps its stored names byte for byte, flagged UTF-8 or not', async () => {
  const bitmap = Buffer.from('BM' + 'x'.repeat(500));
  const result = await files.filesFromArchive('game.zip', buffer(zip([
    [stored('ゲーム/'), Buffer.alloc(0), { method: 0, folder: true }],
    [stored('ゲーム\\ソ.bmp'), bitmap],
    [stored('ゲーム\\表\\Moon.bmp'), Buffer.from('moon'), { method: 0 }],
    [new Uint8Array(Buffer.from('café.txt')), Buffer.from('utf-8'), { flags: 0x800 }],
  ])));
  const entries = byName(result);
  assert.equal(entries.get(text(stored('ゲーム/'))).type, 'folder');
  assert.ok(Buffer.from(entries.get(text(stored('ゲーム\\ソ.bmp'))).bytes).equals(bitmap));
  assert.equal(text(entries.get(text(stored('ゲーム\\表\\Moon.bmp'))).bytes), 'moon');
  assert.equal(text(entries.get('caf\xC3\xA9.txt').bytes), 'utf-8');
});

test('the page holds no more than its limits', async () => {
  const saved = { ...files.limits };
  try {
    files.limits.bytes = 1000;
    const big = zip([[latin('code.vrn'), Buffer.alloc(1001)]]);
    assert.match(await refusal(files.filesFromArchive('big.zip', buffer(big))), /^cannot play "big.zip": it unpacks to more than/);
    const folder = [{ name: 'a.bmp', webkitRelativePath: 'g/a.bmp', size: 1001, arrayBuffer: async () => new ArrayBuffer(1001) }];
    assert.match(await refusal(files.filesFromInput(folder)), /^cannot play "g": it unpacks to more than/);
    files.limits.entries = 2;
    const many = zip([1, 2, 3].map((n) => [latin(`${n}.txt`), Buffer.from('x')]));
    assert.equal(await refusal(files.filesFromArchive('many.zip', buffer(many))),
      'cannot play "many.zip": the archive holds more than 2 entries.');
  } finally {
    Object.assign(files.limits, saved);
  }
});

test('an archive named by a URL is fetched and read; a failed fetch says why', async () => {
  const http = await import('node:http');
  const server = http.createServer((request, response) => {
    if (request.url === '/games/game.lzh') response.end(gameLzh);
    else { response.statusCode = 404; response.statusMessage = 'Not Found'; response.end(); }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const base = `http://127.0.0.1:${server.address().port}`;
  try {
    const result = await files.filesFromUrl(`${base}/games/game.lzh`);
    assert.equal(result.name, 'game.lzh');
    assert.equal(result.entries.length, 7);
    assert.equal(await refusal(files.filesFromUrl(`${base}/games/gone.zip`)),
      `cannot load "${base}/games/gone.zip": the server answers 404 Not Found`);
  } finally {
    server.close();
  }
});

// A file as the browser hands it, from a path on disk.
function fileOf(diskPath, relative) {
  const bytes = fs.readFileSync(diskPath);
  return { name: path.basename(diskPath), webkitRelativePath: relative, size: bytes.length,
    arrayBuffer: async () => buffer(new Uint8Array(bytes)) };
}

function demoFiles() {
  const demo = path.join(source, 'examples/demo');
  const list = [];
  const walk = (dir, rel) => {
    for (const name of fs.readdirSync(dir)) {
      const full = path.join(dir, name);
      if (fs.statSync(full).isDirectory()) walk(full, `${rel}/${name}`);
      else list.push(fileOf(full, `${rel}/${name}`));
    }
  };
  walk(demo, 'demo');
  return list;
}

test('a dropped folder is read whole, its folders in batches as Chromium gives them', async () => {
  const entryOf = (fullPath, children) => children
    ? { isFile: false, isDirectory: true, name: path.basename(fullPath), fullPath,
        createReader() {
          let at = 0;
          return { readEntries(done) { setTimeout(() => done(children.slice(at, at += 2))); } };
        } }
    : { isFile: true, isDirectory: false, name: path.basename(fullPath), fullPath,
        file(done) { done(fileOf(path.join(source, 'examples/demo', fullPath.replace('/demo/', '')), '')); } };
  const demo = entryOf('/demo', [
    entryOf('/demo/code.vrn'), entryOf('/demo/back.bmp'), entryOf('/demo/mouse.ico'),
    entryOf('/demo/pictures', []), entryOf('/demo/text.bmp'),
  ]);
  const dropped = await files.filesFromDrop({ items: [{ kind: 'file', webkitGetAsEntry: () => demo }], files: [] });
  assert.equal(dropped.kind, 'folder');
  assert.equal(dropped.name, 'demo');
  assert.deepEqual(dropped.entries.map((e) => text(e.name)).sort(),
    ['demo/back.bmp', 'demo/code.vrn', 'demo/mouse.ico', 'demo/text.bmp']);

  const archive = { isFile: true, isDirectory: false, name: 'game.lzh', fullPath: '/game.lzh',
    file(done) { done({ name: 'game.lzh', arrayBuffer: async () => buffer(new Uint8Array(gameLzh)) }); } };
  const droppedArchive = await files.filesFromDrop({ items: [{ kind: 'file', webkitGetAsEntry: () => archive }] });
  assert.equal(droppedArchive.kind, 'archive');
  assert.equal(droppedArchive.entries.length, 7);
});

// ---- the whole way, into the compiled player ----

const createVornModule = createRequire(import.meta.url)(path.join(build, 'vorn-web.js'));
// Handed its code, since Node.js's own fetch() cannot load a file path.
const vorn = await createVornModule({ wasmBinary: fs.readFileSync(path.join(build, 'vorn-web.wasm')) });

// The page's object, which keeps every call the player makes of it.
function playPage(result) {
  const calls = [];
  const page = new Proxy({}, { get: (_, method) => (...args) => { calls.push([method, ...args]); } });
  const game = new vorn.WebGame(page);
  const opened = files.handToGame(result, game);
  const started = opened === '' ? game.start() : opened;
  const texts = calls.filter((c) => c[0] === 'setText').map((c) => c[1]);
  const pictures = calls.filter((c) => c[0] === 'setPicture').map((c) => `${c[1]}=${c[2]}`);
  return { opened, started, texts, pictures, game };
}

test('a folder, a zip and an lzh each start their game and show its first page', async () => {
  const folder = playPage(await files.filesFromInput(demoFiles()));
  assert.equal(folder.started, '');
  assert.match(folder.texts[0], /^THE LANTERN ROAD/);

  const members = await lzhMembers();
  const zipped = zip(members);
  const contents = new Map(members.map(([name, bytes]) => [text(name), bytes]));
  const names = ['ゲーム\\code.vrn', 'ゲーム\\back.bmp', 'ゲーム\\mouse.ico', 'ゲーム\\text.bmp', 'ゲーム\\ソ.bmp',
    'ゲーム\\表\\Moon.bmp', 'readme.txt'];
  const lh5 = packLzh('lh5', 2, names.map((name) => [name, contents.get(text(stored(name)))]));
  for (const [name, bytes] of [['game.zip', zipped], ['game.lzh', gameLzh], ['lh5.lzh', lh5]]) {
    const played = playPage(await files.filesFromArchive(name, buffer(new Uint8Array(bytes))));
    assert.equal(played.started, '', name);
    assert.deepEqual(played.texts.filter(Boolean), ['lzh'], name);
    assert.ok(played.pictures.includes('Image1=ソ.bmp'), `${name}: ${played.pictures}`);
    // The game is the folder ゲーム, the top-most that holds a code.vrn.
    assert.equal(played.game.notice(), '', name);
  }
});

test('an -lh5- archive of a game plays as its folder does', async () => {
  const demo = path.join(source, 'examples/demo');
  const names = ['code.vrn', 'back.bmp', 'mouse.ico', 'text.bmp', 'forest.bmp', 'theme.mid'];
  const lzh = packLzh('lh5', 1, names.map((n) => [`demo\\${n}`, fs.readFileSync(path.join(demo, n))]), 65535);
  const played = playPage(await files.filesFromArchive('demo.lzh', buffer(lzh)));
  assert.equal(played.started, '');
  assert.match(played.texts[0], /^THE LANTERN ROAD/);
  assert.ok(played.pictures.includes('Image1=forest.bmp'), String(played.pictures));
});

test('names too long or too deep are refused in the desktop player\'s words', async () => {
  const game = [latin('code.vrn'), Buffer.from('"x"')];
  const start = 'x/'.repeat(40) + '\u2026';
  const cases = [
    ['deep.zip', `${'x/'.repeat(32767)}f`,
      `cannot play "deep.zip": the archive holds an entry whose name is 65535 bytes long ("${start}"); the player refuses names longer than 4096 bytes.`],
    ['folders.zip', `${'x/'.repeat(257)}f`,
      `cannot play "folders.zip": the archive holds an entry 257 folders deep ("${start}"); the player refuses entries more than 256 folders deep.`],
  ];
  for (const [name, entry, says] of cases) {
    const played = playPage(await files.filesFromArchive(name, buffer(zip([game, [latin(entry), Buffer.from('x')]]))));
    assert.equal(played.opened, says, name);
  }
});

test('archives the desktop player refuses are refused in its words, and several games are told of', async () => {
  const game = [latin('code.vrn'), Buffer.from('"x"')];
  const cases = [
    ['nogame.zip', [[latin('readme.txt'), Buffer.from('hi')], [latin('code.vrn/'), Buffer.alloc(0), { folder: true }]],
      'cannot play "nogame.zip": the archive holds no game: there is no code.vrn in it.'],
    ['escape.zip', [game, [latin('../outside.bmp'), Buffer.from('x')]],
      'cannot play "escape.zip": the archive holds an entry that points out of it ("../outside.bmp"); the player refuses such archives.'],
    ['absolute.zip', [game, [latin('/etc/outside.bmp'), Buffer.from('x')]],
      'cannot play "absolute.zip": the archive holds an entry with an absolute path ("/etc/outside.bmp"); the player refuses such archives.'],
  ];
  for (const [name, members, says] of cases) {
    const played = playPage(await files.filesFromArchive(name, buffer(zip(members))));
    assert.equal(played.opened, says);
  }
  const pictures = (await lzhMembers()).filter(([name]) => /\\(back.bmp|mouse.ico)$/.test(text(name)))
    .map(([name, bytes]) => [latin(`b/${text(name).split('\\').pop()}`), bytes]);
  const several = playPage(await files.filesFromArchive('several.zip', buffer(zip([
    [latin('a/x/code.vrn'), Buffer.from('"deep"')], [latin('c/CODE.VRN'), Buffer.from('"c"')],
    [latin('b/code.vrn'), Buffer.from('"b"')], ...pictures,
  ]))));
  assert.equal(several.started, '');
  assert.deepEqual(several.texts.filter(Boolean), ['b']);
  assert.equal(several.game.notice(), '"several.zip" holds 3 games (b, c, a/x); playing the top-most, "b"');

  const noFolderGame = playPage(await files.filesFromInput([fileOf(path.join(fixtures, 'make_lzh.py'), 'tools/make_lzh.py')]));
  assert.equal(noFolderGame.opened, 'the folder "tools" holds no code.vrn, so it is no VORN game');
});

// ---- a zip read as the game reads it, as the page reads one ----

// The demo zipped as games are passed around, in a folder of its own.
function demoZip() {
  const demo = path.join(source, 'examples/demo');
  const members = [];
  const walk = (dir, rel) => {
    for (const name of fs.readdirSync(dir).sort()) {
      const full = path.join(dir, name);
      if (fs.statSync(full).isDirectory()) {
        members.push([latin(`${rel}/${name}/`), Buffer.alloc(0), { method: 0, folder: true }]);
        walk(full, `${rel}/${name}`);
      } else {
        members.push([latin(`${rel}/${name}`), fs.readFileSync(full)]);
      }
    }
  };
  walk(demo, 'demo');
  return zip(members);
}

// The files of archiveAsRead(), noting which entries the game reads.
async function readAsPlayed(name, bytes) {
  const lazy = await files.archiveAsRead(name, buffer(bytes));
  const read = [];
  const readEntry = lazy.read;
  lazy.read = (n, now) => {
    const got = readEntry(n, now);
    if (got) read.push(text(lazy.entries[n].name));
    return got;
  };
  return { lazy, read };
}

test('a zip read as the game reads it plays as one read whole, and only what the first page needs is unpacked', async () => {
  const bytes = demoZip();
  const whole = playPage(await files.filesFromArchive('demo.zip', buffer(bytes)));
  const { lazy, read } = await readAsPlayed('demo.zip', bytes);
  // The directory is read and checked; nothing is unpacked yet.
  assert.ok(lazy.entries.every((entry) => entry.bytes === undefined));
  const asRead = playPage(lazy);
  assert.equal(asRead.started, '');
  assert.deepEqual(asRead.texts, whole.texts);
  assert.deepEqual(asRead.pictures, whole.pictures);
  assert.deepEqual(read.sort(), ['demo/back.bmp', 'demo/code.vrn', 'demo/forest.bmp', 'demo/mouse.ico']);
  // Each is unpacked once: the game keeps what it has read.
  assert.equal(asRead.game.clickText(), '');
  assert.equal(read.filter((name) => name === 'demo/code.vrn').length, 1);

  // The game names the files its first page reads, by entry number, a
  // round at a time (the script names more once it is unpacked); the page
  // unpacks them ahead with the browser's inflater, then the rest as it idles.
  const ahead = await readAsPlayed('demo.zip', bytes);
  const game = new vorn.WebGame(new Proxy({}, { get: () => () => {} }));
  assert.equal(files.handToGame(ahead.lazy, game), '');
  const rounds = [];
  const namedAll = [];
  for (let wanted = game.entriesToUnpack(); wanted.length; wanted = game.entriesToUnpack()) {
    rounds.push(wanted.map((n) => text(ahead.lazy.entries[n].name)));
    namedAll.push(game.namedAllToUnpack());
    await ahead.lazy.unpack(wanted);
    assert.ok(rounds.length < 4, JSON.stringify(rounds));
  }
  // Once the script is there, one round names all the rest.
  assert.deepEqual(namedAll, [false, true]);
  // The music as well, which the page's synthesizer reads when it is opened.
  assert.deepEqual(rounds, [['demo/code.vrn', 'demo/back.bmp', 'demo/mouse.ico'], ['demo/theme.mid', 'demo/forest.bmp']]);
  const back = ahead.lazy.entries.findIndex((entry) => text(entry.name) === 'demo/back.bmp');
  // Taken by the game as it named the rest: start() finds them all there.
  assert.equal(ahead.lazy.ahead(back), null);
  assert.deepEqual(ahead.read, ['demo/code.vrn', 'demo/back.bmp', 'demo/mouse.ico', 'demo/theme.mid', 'demo/forest.bmp']);
  assert.equal(game.start(), '');
  assert.ok(game.musicFile('theme.mid'));
  assert.equal(ahead.read.length, 5);
  await ahead.lazy.unpackRest();
  const shrine = ahead.lazy.entries.findIndex((entry) => text(entry.name) === 'demo/shrine.bmp');
  assert.ok(Buffer.from(ahead.lazy.ahead(shrine)).equals(fs.readFileSync(path.join(source, 'examples/demo/shrine.bmp'))));
  ahead.lazy.stop();
  assert.equal(ahead.lazy.ahead(shrine), null);
  game.delete();
});

test('the files every start reads are unpacked before the player asks, from the game\'s own folder', async () => {
  const bitmap = fs.readFileSync(path.join(source, 'examples/demo/text.bmp'));
  const script = Buffer.from('"page"');
  // Two games and a stray back.bmp: the top-most folder with a script is the
  // game's, its names in any ASCII case, in the order of the player's list.
  const archive = zip([[latin('back.bmp'), bitmap], [latin('a/b/code.vrn'), script], [latin('a/b/back.bmp'), bitmap],
    [latin('top/MOUSE.ICO'), fs.readFileSync(path.join(source, 'examples/demo/mouse.ico'))],
    [latin('top/Back.BMP'), bitmap], [latin('top/Code.Vrn'), script], [latin('top/forest.bmp'), bitmap]]);
  const lazy = await files.archiveAsRead('two.zip', buffer(archive));
  const numbers = await lazy.unpackStartUp();
  assert.deepEqual(numbers.map((n) => text(lazy.entries[n].name)), ['top/Code.Vrn', 'top/Back.BMP', 'top/MOUSE.ICO']);
  for (const n of numbers) assert.ok(lazy.ahead(n), 'unpacked ahead');
  assert.equal(await lazy.unpackStartUp(), numbers, 'unpacked once');
  // No script: nothing is guessed.
  const none = await files.archiveAsRead('none.zip', buffer(zip([[latin('g/back.bmp'), bitmap]])));
  assert.deepEqual(await none.unpackStartUp(), []);
});

test('a damaged entry of a zip read as the game reads it is told when the game reads it', async () => {
  const script = Buffer.from('"first"<bad.bmp>"second"');
  const bitmap = fs.readFileSync(path.join(source, 'examples/demo/text.bmp'));
  const members = [[latin('g/code.vrn'), script], [latin('g/back.bmp'), bitmap], [latin('g/mouse.ico'),
    fs.readFileSync(path.join(source, 'examples/demo/mouse.ico'))], [latin('g/bad.bmp'), bitmap, { crc: 1 }],
  [latin('g/unread.bmp'), bitmap, { crc: 2 }]];
  // The first page plays; the damaged picture ends the game when it is shown,
  // naming the archive and the damage; the entry never read is never told.
  const { lazy, read } = await readAsPlayed('damaged.zip', zip(members));
  const played = playPage(lazy);
  assert.equal(played.started, '');
  assert.deepEqual(played.texts, ['first']);
  const fatal = played.game.clickText();
  assert.match(fatal, /damaged\.zip/);
  assert.match(fatal, /the archive is damaged or truncated: an entry's checksum does not match/);
  assert.ok(!read.includes('g/unread.bmp'));
  // The same damage in the script stops the game at its start.
  const badScript = playPage((await readAsPlayed('script.zip', zip([[latin('g/code.vrn'), script, { crc: 3 }], ...members.slice(1, 3)]))).lazy);
  assert.match(badScript.started, /script\.zip[\s\S]*an entry's checksum does not match/);
  // An entry unpacked ahead is held to its checksum as well.
  const ahead = await files.archiveAsRead('ahead.zip', buffer(zip(members)));
  await ahead.unpack([3]);
  assert.equal(ahead.ahead(3), null);
  assert.match(ahead.read(3), /checksum does not match/);
});

test('a zip read as the game reads it is held to the same limits before anything is unpacked', async () => {
  const saved = { ...files.limits };
  try {
    files.limits.bytes = 1000;
    const big = zip([[latin('code.vrn'), Buffer.alloc(600)], [latin('back.bmp'), Buffer.alloc(401)]]);
    assert.match(await refusal(files.archiveAsRead('big.zip', buffer(big))), /^cannot play "big.zip": it unpacks to more than/);
    files.limits.entries = 2;
    const many = zip([1, 2, 3].map((n) => [latin(`${n}.txt`), Buffer.from('x')]));
    assert.equal(await refusal(files.archiveAsRead('many.zip', buffer(many))),
      'cannot play "many.zip": the archive holds more than 2 entries.');
  } finally {
    Object.assign(files.limits, saved);
  }
  // An lzh archive is read whole, as before.
  const lzh = await files.archiveAsRead('game.lzh', buffer(new Uint8Array(gameLzh)));
  assert.equal(lzh.read, undefined);
  assert.ok(lzh.entries.every((entry) => entry.bytes));
});

// ---- hostile and damaged archives, each read in a process of its own ----

// Runs `body` (an async function's body, given `files`, the page's module,
// and `input`, the bytes of the file named) in a fresh Node.js process, with
// or without the browser's own inflater, for a browser set to `language`;
// returns what the body returns, with
// `peakMB`, the process's peak resident memory, and `idleMB`, its resident
// memory before the body ran.
function inChild(body, input, { browserInflater = true, language = 'en-GB' } = {}) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorn-child-'));
  try {
    const inputPath = path.join(dir, 'input');
    fs.writeFileSync(inputPath, input);
    const script = `
      ${browserInflater ? '' : 'delete globalThis.DecompressionStream;'}
      globalThis.navigator = { languages: [${JSON.stringify(language)}] };
      const fs = await import('node:fs');
      const files = await import(${JSON.stringify(pathToFileURL(path.join(modules, 'game-files.js')).href)});
      const input = new Uint8Array(fs.readFileSync(${JSON.stringify(inputPath)}));
      const idleMB = process.memoryUsage().rss / 1048576;
      const result = await (async () => { ${body} })();
      console.log(JSON.stringify({ ...result, idleMB, peakMB: process.resourceUsage().maxRSS / 1024 }));`;
    const out = execFileSync(process.execPath, ['--max-old-space-size=96', '--input-type=module', '-e', script],
      { maxBuffer: 64 * 1024 * 1024, timeout: 120000 });
    return JSON.parse(out.toString());
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

const readOnce = `
  try {
    await files.filesFromArchive('hostile.zip', input.buffer);
    return { accepted: true };
  } catch (error) {
    return { refusal: error.message };
  }`;

// Raw deflate of `megabytes` MB of zeros, made a megabyte at a time: the
// blocks of each are closed by a full flush, so that they follow one another.
async function deflatedZeros(megabytes) {
  const zlib = await import('node:zlib');
  const zeros = Buffer.alloc(1024 * 1024);
  const block = zlib.deflateRawSync(zeros, { level: 9, finishFlush: zlib.constants.Z_FULL_FLUSH });
  return Buffer.concat([...Array(megabytes).fill(block), zlib.deflateRawSync(Buffer.alloc(0))]);
}

// A zip of one entry that says it holds 10 bytes and inflates to 200 MB,
// with `records` directory records, all naming the same data.
async function zipBomb(records) {
  const packed = await deflatedZeros(200);
  const name = latin('code.vrn');
  const local = Buffer.alloc(30);
  local.writeUInt32LE(0x04034B50, 0); local.writeUInt16LE(20, 4); local.writeUInt16LE(8, 8);
  local.writeUInt32LE(crc32(Buffer.alloc(10)), 14); local.writeUInt32LE(packed.length, 18);
  local.writeUInt32LE(10, 22); local.writeUInt16LE(name.length, 26);
  const central = [];
  for (let n = 0; n < records; n++) {
    const c = Buffer.alloc(46);
    c.writeUInt32LE(0x02014B50, 0); c.writeUInt16LE(20, 4); c.writeUInt16LE(20, 6); c.writeUInt16LE(8, 10);
    c.writeUInt32LE(crc32(Buffer.alloc(10)), 16); c.writeUInt32LE(packed.length, 20); c.writeUInt32LE(10, 24);
    c.writeUInt16LE(name.length, 28);
    central.push(c, name);
  }
  const offset = local.length + name.length + packed.length;
  const directory = Buffer.concat(central);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054B50, 0); end.writeUInt16LE(records, 8); end.writeUInt16LE(records, 10);
  end.writeUInt32LE(directory.length, 12); end.writeUInt32LE(offset, 16);
  return Buffer.concat([local, name, packed, directory, end]);
}

test('a zip whose entry inflates far past its stated size is refused before it fills memory', async () => {
  const bomb = await zipBomb(1);
  assert.ok(bomb.length < 220 * 1024, `the bomb is ${bomb.length} bytes`);
  for (const browserInflater of [true, false]) {
    const seen = inChild(readOnce, bomb, { browserInflater });
    const how = `${browserInflater ? 'the browser\'s inflater' : 'fflate'}: ${JSON.stringify(seen)}`;
    assert.equal(seen.refusal, 'cannot play "hostile.zip": the archive is damaged or truncated: ' +
      'an entry inflates to more than its stated size; download it again, or open the game\'s folder instead.', how);
    // Inflating 200 MB would take that much and more.
    assert.ok(seen.peakMB - seen.idleMB < 60, how);
  }
});

test('a zip bomb read as the game reads it is refused when read, in bounded memory, by either inflater', async () => {
  const bomb = await zipBomb(1);
  const readLazily = `
    const lazy = await files.archiveAsRead('hostile.zip', input.buffer);
    const n = lazy.entries.findIndex((entry) => entry.size !== undefined);
    await lazy.unpack([n]);
    const ahead = lazy.read(n);
    const again = lazy.read(n);
    return { ahead, again };`;
  const seen = inChild(readLazily, bomb);
  assert.match(seen.ahead, /^cannot play "hostile.zip": the archive is damaged or truncated: an entry inflates to more than its stated size;/);
  assert.equal(seen.again, seen.ahead);
  assert.ok(seen.peakMB - seen.idleMB < 60, JSON.stringify(seen));
  // Read before the browser's inflater had it: fflate, at once.
  const now = inChild(`
    const lazy = await files.archiveAsRead('hostile.zip', input.buffer);
    return { now: lazy.read(lazy.entries.findIndex((entry) => entry.size !== undefined)) };`, bomb);
  assert.match(now.now, /an entry inflates to more than its stated size/);
  assert.ok(now.peakMB - now.idleMB < 60, JSON.stringify(now));
  // Entries that overlap are refused before anything is inflated.
  const overlapping = inChild(`
    try { await files.archiveAsRead('hostile.zip', input.buffer); return { accepted: true }; }
    catch (error) { return { refusal: error.message }; }`, await zipBomb(4));
  assert.match(overlapping.refusal, /entries overlap one another/);
});

test('a zip whose directory names the same data several times is refused without inflating it', async () => {
  const seen = inChild(readOnce, await zipBomb(4));
  assert.match(seen.refusal, /^cannot play "hostile.zip": the archive is damaged or truncated: entries overlap one another;/);
  assert.ok(seen.peakMB - seen.idleMB < 20, JSON.stringify(seen));
  // Two entries that share only some of their bytes are refused as well.
  const two = zip([[latin('a.txt'), story()], [latin('b.txt'), story()]]);
  const view = Buffer.from(two.buffer, two.byteOffset, two.byteLength);
  const second = view.lastIndexOf(Buffer.from([0x50, 0x4B, 0x01, 0x02]));
  const firstLocalEnd = view.indexOf(Buffer.from([0x50, 0x4B, 0x03, 0x04]), 4);
  view.writeUInt32LE(firstLocalEnd - 100, second + 42);
  assert.match(await refusal(files.filesFromArchive('two.zip', buffer(two))), /(entries overlap one another|missing where)/);
});

test('an entry that inflates to less than it says, or a stored entry of two sizes, is refused', async () => {
  const content = Buffer.from('"a page"');
  const short = zip([[latin('code.vrn'), content]]);
  const view = Buffer.from(short.buffer);
  const central = view.lastIndexOf(Buffer.from([0x50, 0x4B, 0x01, 0x02]));
  view.writeUInt32LE(content.length + 1, central + 24);
  assert.match(await refusal(files.filesFromArchive('short.zip', buffer(short))),
    /^cannot play "short.zip": the archive is damaged or truncated: an entry inflates to less than its stated size;/);
  const stored = zip([[latin('code.vrn'), content, { method: 0 }]]);
  const storedView = Buffer.from(stored.buffer);
  storedView.writeUInt32LE(1000, storedView.lastIndexOf(Buffer.from([0x50, 0x4B, 0x01, 0x02])) + 24);
  assert.match(await refusal(files.filesFromArchive('stored.zip', buffer(stored))), /an entry's sizes do not agree/);
});

test('an lzh entry is unpacked into its stated size and no further', async () => {
  const content = story();
  const packed = packLzh('lh5', 0, [['code.vrn', content]]);
  // The same archive with another original size in its level 0 header.
  const stating = (size) => {
    const b = Buffer.from(packed);
    b.writeUInt32LE(size, 11);
    let sum = 0;
    for (let i = 2; i < 2 + b[0]; i++) sum += b[i];
    b[1] = sum & 0xFF;
    return buffer(new Uint8Array(b));
  };
  assert.equal((await files.filesFromArchive('same.lzh', stating(content.length))).entries[0].bytes.length, content.length);
  assert.match(await refusal(files.filesFromArchive('less.lzh', stating(10))), /damaged or truncated: an entry's checksum does not match/);
  assert.match(await refusal(files.filesFromArchive('more.lzh', stating(content.length * 50))), /damaged or truncated: (it ends early|a block is empty)/);
  const saved = { ...files.limits };
  try {
    files.limits.bytes = content.length * 49;
    assert.match(await refusal(files.filesFromArchive('more.lzh', stating(content.length * 50))), /it unpacks to more than/);
  } finally {
    Object.assign(files.limits, saved);
  }
});

// Random damage of real archives: the demo as Python's zipfile zips it, and
// an -lh5- archive of some of its files under each header level. Every
// damaged copy is read or refused in the readers' own words, in bounded
// memory and time.
test('randomly damaged archives are read or refused, never more', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorn-demo-'));
  let demoZip;
  try {
    execFileSync('python3', ['-m', 'zipfile', '-c', path.join(dir, 'demo.zip'), 'demo'], { cwd: path.join(source, 'examples') });
    demoZip = fs.readFileSync(path.join(dir, 'demo.zip'));
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
  const demo = path.join(source, 'examples/demo');
  const small = ['code.vrn', 'mouse.ico', 'theme.mid', 'text.bmp'];
  const lzhs = [0, 1, 2].map((level) => packLzh('lh5', level, small.map((n) => [`demo\\${n}`, fs.readFileSync(path.join(demo, n))])));
  const damage = `
    let seed = Number(process.env.VORN_DAMAGE_SEED ?? 1);
    const random = (n) => { seed = (seed * 1103515245 + 12345) % 2147483648; return Math.floor(seed / 2147483648 * n); };
    const archives = [];
    for (let at = 0; at < input.length;) {
      const length = new DataView(input.buffer, input.byteOffset + at).getUint32(0, true);
      archives.push(input.slice(at + 4, at + 4 + length));
      at += 4 + length;
    }
    const odd = [];
    let slowest = 0, read = 0;
    for (const [k, archive] of archives.entries()) {
      const name = k === 0 ? 'demo.zip' : 'demo.lzh';
      for (let round = 0; round < 120; round++) {
        // A few bytes changed, anywhere or in the last kilobytes (a zip's
        // directory), or the archive cut short.
        const kind = random(4);
        const copy = kind === 3 ? archive.slice(0, random(archive.length)) : archive.slice();
        for (let n = kind === 3 ? 0 : 1 + random(4); n > 0; n--) {
          const at = kind === 0 ? random(copy.length) : copy.length - 1 - random(Math.min(copy.length, 4096));
          copy[at] = kind === 2 ? copy[at] ^ (1 << random(8)) : random(256);
        }
        const started = process.hrtime.bigint();
        try {
          await files.filesFromArchive(name, copy.buffer);
          read++;
        } catch (error) {
          if (!(error instanceof Error) || !error.message.startsWith('cannot play "' + name + '": ')) {
            odd.push(name + ' round ' + round + ': ' + (error && error.stack || error));
          }
        }
        slowest = Math.max(slowest, Number(process.hrtime.bigint() - started) / 1e9);
      }
    }
    return { odd, slowest, read };`;
  const framed = Buffer.concat([demoZip, ...lzhs].flatMap((a) => {
    const length = Buffer.alloc(4);
    length.writeUInt32LE(a.length);
    return [length, Buffer.from(a)];
  }));
  for (const browserInflater of [true, false]) {
    const seen = inChild(damage, framed, { browserInflater });
    assert.deepEqual(seen.odd, [], JSON.stringify(seen.odd));
    assert.ok(seen.peakMB < 300, `peak ${seen.peakMB} MB`);
    assert.ok(seen.slowest < 5, `the slowest archive took ${seen.slowest} s`);
  }
});
