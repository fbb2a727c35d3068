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
};

const english = {
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
};

export const language = (navigator.languages?.[0] ?? navigator.language ?? 'en').toLowerCase().startsWith('ja')
  ? 'ja' : 'en';

const table = language === 'ja' ? japanese : english;

// The words named `key`; the page's English where no translation is given.
export function words(key, ...args) {
  const found = table[key] ?? english[key];
  return typeof found === 'function' ? found(...args) : found;
}

// Puts the translated words into the elements that name them by data-text,
// and the labels read aloud into those named by data-label.
export function translatePage(root = document) {
  document.documentElement.lang = language;
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
