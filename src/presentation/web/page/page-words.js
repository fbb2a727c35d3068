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
};

const english = {
  notOnSite: (name) => `"${name}" is not on this site; the page plays games from its own site only.`,
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
