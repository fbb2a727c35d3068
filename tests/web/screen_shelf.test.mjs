// The page's fitting of the scene to a screen, and its reading of a site's
// games/index.json, under Node.js's own test runner: page-drawing.js and
// shelf.js as built (VORN_WEB_MODULES names their folder).
import test from 'node:test';
import assert from 'node:assert/strict';

const modules = process.env.VORN_WEB_MODULES;
globalThis.location = new URL('https://site.test/play/index.html');
const answers = new Map();
globalThis.fetch = async (url) => {
  const answer = answers.get(String(url));
  if (answer === 'offline') throw new TypeError('Failed to fetch');
  if (!answer) return new Response('', { status: 404, statusText: 'Not Found' });
  return new Response(answer.body, { status: answer.status ?? 200 });
};
const { fittingZoom, canvasZoom } = await import(`${modules}/page-drawing.js`);
const { siteGames, playAddress } = await import(`${modules}/shelf.js`);

test('the scene fits the screen: below zoom 1 by a fraction, above it in whole steps up to 4', () => {
  assert.equal(fittingZoom(640, 440), 1);
  assert.equal(fittingZoom(1920, 1080), 2); // 1080 / 425 = 2.54
  assert.equal(fittingZoom(3840, 2160), 4); // 5.08, at most 4
  assert.equal(fittingZoom(632, 425), 1); // exactly the scene
  assert.equal(fittingZoom(390, 844), 390 / 632); // a phone held upright: its width
  assert.equal(fittingZoom(844, 390), 390 / 425); // on its side: its height
  assert.equal(fittingZoom(0, 0), 1); // a window of no size yet
  // The canvas keeps whole pixels: at a whole zoom the zoom, below 1 enough for the screen's own.
  assert.equal(canvasZoom(2, 1), 2);
  assert.equal(canvasZoom(390 / 632, 1), 1);
  assert.equal(canvasZoom(390 / 632, 3), 2); // 1.85 screen pixels a picture pixel
  assert.equal(canvasZoom(0.9, 8), 4); // never more than at zoom 4
});

test('a site\'s list of games: entries on the site with a title and an archive', async () => {
  const index = 'https://site.test/play/games/index.json';
  answers.set(index, { body: JSON.stringify({ games: [
    { title: ' Kiri ', archive: 'kiri.zip', picture: 'kiri.zip.png' },
    { title: 'Elsewhere', archive: 'https://other.test/game.zip' }, // another site's: left out
    { title: 'No archive' },
    { archive: 'untitled.zip' },
    { title: 'Up', archive: '../up.lzh', picture: 'https://other.test/p.png' },
    null,
  ] }) });
  const { games, leftOut } = await siteGames(index);
  assert.deepEqual(games, [
    { address: 'https://site.test/play/games/kiri.zip', title: 'Kiri', picture: 'https://site.test/play/games/kiri.zip.png' },
    { address: 'https://site.test/play/up.lzh', title: 'Up', picture: null },
  ]);
  assert.equal(leftOut, 4);
  assert.equal(playAddress(games[0].address), '/play/index.html?game=games/kiri.zip');
  // An escaped name stays escaped once the page reads its address.
  assert.equal(playAddress('https://site.test/other/x%231.zip'), '/play/index.html?game=/other/x%25231.zip');
});

test('a site without a list has no games; a list that is not one is refused in words', async () => {
  assert.deepEqual(await siteGames('https://site.test/play/none/index.json'), { games: [], leftOut: 0 });
  // Offline with no list kept: none, and no fault of the site's.
  answers.set('https://site.test/play/away/index.json', 'offline');
  const warn = console.warn;
  console.warn = () => {};
  assert.deepEqual(await siteGames('https://site.test/play/away/index.json'), { games: [], leftOut: 0 });
  console.warn = warn;
  answers.set('https://site.test/play/bad/index.json', { body: '{"games": ' });
  await assert.rejects(siteGames('https://site.test/play/bad/index.json'), SyntaxError);
  answers.set('https://site.test/play/odd/index.json', { body: '[1, 2]' });
  await assert.rejects(siteGames('https://site.test/play/odd/index.json'), /no list "games"/);
  answers.set('https://site.test/play/down/index.json', { body: '', status: 503 });
  await assert.rejects(siteGames('https://site.test/play/down/index.json'), /503/);
});
