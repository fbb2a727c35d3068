// The page's own words in the reader's language (the browser's), English or
// Japanese. What a game shows is its own and never translated, nor are the
// pop-up menu's "New", "Quit" and "About", which the original player named so.

const japanese = {
  title: 'VORN プレイヤー',
  intro: 'VORN のゲームをこのブラウザーで遊べます。ゲームはこのコンピューターの中だけで読まれ、どこにも送られません。',
  drop: 'ゲームのフォルダ、または .zip か .lzh のアーカイブをここにドロップするか、',
  openFolder: 'ゲームのフォルダを開く…',
  openArchive: 'アーカイブを開く…',
  loading: 'ゲームを読み込んでいます…',
  options: '選択肢',
  page: '本文',
  backlog: 'バックログ',
  // The start page's shelf of games.
  shelf: 'ゲーム',
  lastPlayed: (when) => `最後にプレイ: ${when}`,
  canContinue: ' · 続きから遊べます',
  shelfUnreadable: (why) => `このサイトのゲームの一覧（games/index.json）を読めません: ${why}`,
  shelfLeftOut: (count) => `このサイトのゲームの一覧（games/index.json）の ${count} 件は、タイトルかアーカイブがないため表示していません`,
  notOnSite: (name) => `「${name}」はこのサイトのものではありません。このページは、このサイトにあるゲームだけを遊びます。`,
  // Saved games, in the desktop player's words.
  saveMenu: 'セーブ…',
  loadMenu: 'ロード…',
  save: 'セーブ',
  load: 'ロード',
  delete: '削除',
  cancel: 'キャンセル',
  quickSave: 'クイックセーブ',
  whereLeft: '前回の続き',
  newSave: '新しいセーブ',
  noQuickSave: 'クイックセーブはまだありません。F5 でクイックセーブできます。',
  saved: (name) => `セーブしました: ${name}`,
  loaded: (name) => `ロードしました: ${name}`,
  goOnQuestion: '前回の続きから遊びますか？',
  goOn: 'つづきから',
  startAnew: 'はじめから',
  saveOver: (name) => `「${name}」に上書きしますか？`,
  saveOverBroken: (name) => `「${name}」はこのままではロードできません。上書きしますか？`,
  deleteQuestion: (name) => `「${name}」を削除しますか？ 元には戻せません。`,
  // The reader's settings, auto mode and the music's volume.
  settingsMenu: '設定…',
  gamepadMapping: 'ゲームパッド：ボタンは位置で決まります（ブラウザーの標準の対応表）。下：次へ／選ぶ、右：戻る、左：バックログ、上とスタート：メニュー、セレクト：クイックセーブ、左肩：押している間スキップ、右肩：オートモード。',
  settingsTitle: '設定',
  musicVolume: '音楽の音量',
  muteMusic: '音楽を消す',
  autoWaits: 'オートモードの待ち時間',
  perCharacter: 'ミリ秒（1 文字あたり）',
  skipUnread: 'スキップで未読のページも進める',
  languageNext: '言語（次の起動から）',
  desktopLanguage: 'ブラウザーの言語',
  readAloud: '各ページを読み上げる（セルフボイシング）',
  speechRate: '読み上げの速さ',
  speechRateRange: '-10（最も遅い）から 10（最も速い）まで。0 は声そのものの速さ',
  voice: '声',
  languageVoice: 'ページの言語に合う声',
  ok: 'OK',
  percent: (value) => `${value} %`,
  autoMark: 'オート',
  musicMuted: '音楽オフ',
  volumeMark: (value) => `音量 ${value} %`,
  // Going back and skipping, as the desktop window marks them.
  backMark: (count) => `${count} つ前`,
  skipMark: 'スキップ',
  nothingBack: 'これより前には戻れません',
  tooFarBack: 'そのページは遠すぎて戻れません',
  // Games the page cannot play, and why.
  cannotPlay: (name, why) => `「${name}」は遊べません: ${why}。`,
  cannotLoad: (url, answer) => `「${url}」を読み込めません: サーバーの応答は ${answer} です`,
  damaged: (why) => `アーカイブが壊れているか、途中で切れています（${why}）。ダウンロードし直すか、ゲームのフォルダを開いてください`,
  tooLarge: (megabytes) => `展開すると ${megabytes} MB を超え、ブラウザーのページには収まりません`,
  tooManyEntries: (count) => `アーカイブの項目が ${count} 個を超えています`,
  tooManyFiles: (count) => `フォルダのファイルが ${count} 個を超えています`,
  encrypted: 'アーカイブが暗号化されています。パスワードを使って展開し、そのフォルダを開いてください',
  unknownMethod: (method) => `このページでは展開できない方式で圧縮されています（${method}）。展開してから、そのフォルダを開いてください`,
  lhaLevel: (level) => `このページでは読めない LHA レベル ${level} のヘッダーです。展開してから、そのフォルダを開いてください`,
  notAnArchive: 'ゲームのフォルダでも、このページで読めるアーカイブ（.zip か .lzh）でもありません',
  // Self-voicing, in the desktop player's words.
  voicingOn: '読み上げ オン',
  voicingOff: '読み上げ オフ',
  speechUnavailable: '音声合成が使えません。読み上げなしで続けます。',
  noJapaneseVoice: '日本語の音声がありません。日本語の文は別の音声で読み上げます。',
  noLatinVoice: 'この文の言語の音声がありません。別の音声で読み上げます。',
};

const english = {
  lastPlayed: (when) => `last played ${when}`,
  canContinue: ' \u00b7 can be continued',
  shelfUnreadable: (why) => `The site's list of games (games/index.json) cannot be read: ${why}`,
  shelfLeftOut: (count) => `${count} entries of the site's list of games (games/index.json) are left out: `
    + 'each needs a "title" and an "archive" on this site',
  notOnSite: (name) => `"${name}" is not on this site; the page plays games from its own site only.`,
  saveMenu: 'Save\u2026',
  loadMenu: 'Load\u2026',
  save: 'Save',
  load: 'Load',
  quickSave: 'Quick save',
  whereLeft: 'Where the game was left',
  newSave: 'New save',
  noQuickSave: 'There is no quick save yet: F5 makes one.',
  saved: (name) => `Saved: ${name}`,
  loaded: (name) => `Loaded: ${name}`,
  goOnQuestion: 'Go on from where you left this game?',
  saveOver: (name) => `Save over \u201c${name}\u201d?`,
  saveOverBroken: (name) => `\u201c${name}\u201d cannot be loaded as it is. Save over it?`,
  deleteQuestion: (name) => `Delete \u201c${name}\u201d? It cannot be brought back.`,
  settingsMenu: 'Settings\u2026',
  gamepadMapping: 'Gamepad: buttons by their place, in the browser\'s standard mapping: south reads on or chooses, east steps back, west the backlog, north and Start the menu, Select a quick save, the left shoulder skips while held, the right one auto mode.',
  percent: (value) => `${value} %`,
  musicMuted: 'Music muted',
  volumeMark: (value) => `Volume ${value} %`,
  backMark: (count) => `back ${count}`,
  skipMark: 'Skip',
  nothingBack: 'Nothing to go back to',
  tooFarBack: 'That page is too far back to go to',
  cannotPlay: (name, why) => `cannot play "${name}": ${why}.`,
  cannotLoad: (url, answer) => `cannot load "${url}": the server answers ${answer}`,
  damaged: (why) => `the archive is damaged or truncated: ${why}; download it again, or open the game's folder instead`,
  tooLarge: (megabytes) => `it unpacks to more than ${megabytes} MB, more than a page in the browser can hold`,
  tooManyEntries: (count) => `the archive holds more than ${count} entries`,
  tooManyFiles: (count) => `the folder holds more than ${count} files`,
  encrypted: 'the archive is encrypted; unpack it with its password, then play the folder',
  unknownMethod: (method) => `the archive is packed by a method the page cannot unpack (${method}); unpack it and open its folder`,
  lhaLevel: (level) => `the archive has headers of LHA level ${level}, which the page cannot read; unpack it and open its folder`,
  notAnArchive: 'it is neither a game folder nor an archive the page can read (a .zip or an .lzh)',
  voicingOn: 'Self-voicing on',
  voicingOff: 'Self-voicing off',
  speechUnavailable: 'Speech is not available: the browser has no voice. The game plays on silent.',
  noJapaneseVoice: 'No Japanese voice is installed: another voice reads the Japanese text.',
  noLatinVoice: 'No voice for this text\u2019s language is installed: another voice reads it.',
};

// (Read where there is a navigator: the archive readers run under Node.js too.)
const browser = globalThis.navigator ?? {};

// The reader's settings as kept in the browser's storage (a JSON document),
// or null: as the page read them before its scripts came (window.vornStart),
// else from the storage. Read once, at the page's load.
export const SETTINGS_KEY = 'vorn-settings';
export function keptSettings() {
  const early = globalThis.vornStart;
  if (early && 'settings' in early) return early.settings;
  return globalThis.localStorage?.getItem(SETTINGS_KEY) ?? null;
}

// The reader's choice in the settings comes first; the page reads only this
// member, at its load, as the desktop reads it at its start.
function chosenLanguage() {
  try {
    const chosen = JSON.parse(keptSettings() ?? '{}')?.language;
    return chosen === 'en' || chosen === 'ja' ? chosen : '';
  } catch {
    return '';
  }
}
export const language = chosenLanguage()
  || ((browser.languages?.[0] ?? browser.language ?? 'en').toLowerCase().startsWith('ja') ? 'ja' : 'en');

const table = language === 'ja' ? japanese : english;

// The words named `key`; the page's English where no translation is given.
export function words(key, ...args) {
  const found = table[key] ?? english[key];
  return typeof found === 'function' ? found(...args) : found;
}

// Puts the translated words into the elements that name them by data-text,
// and the labels read aloud into those named by data-label.
export function translatePage(root = document) {
  if (document.documentElement.lang !== language) document.documentElement.lang = language;
  if (language === 'en') return;
  for (const element of root.querySelectorAll('[data-text]')) {
    const translated = japanese[element.dataset.text];
    if (typeof translated === 'string') element.textContent = translated;
  }
  for (const element of root.querySelectorAll('[data-label]')) {
    const translated = japanese[element.dataset.label];
    if (typeof translated === 'string') element.setAttribute('aria-label', translated);
  }
}
