// Self-voicing on the page: the browser's speechSynthesis says what the
// compiled player decides to say (the page and its offered options, in the
// rules every front end shares). The page picks the voice by the text's
// language, "ja" or "en", among the browser's voices, and keeps the reader's
// choice of on or off.

import { language as playerLanguage, words } from './page-words.js';

// Where the page keeps self-voicing on or off, and the rate (-10..10) and
// voice name the desktop's settings hold too. The page's settings, when they
// come, keep these in their own document; until then this key holds them.
const STORAGE_KEY = 'vorn.selfVoicing';

function readKept() {
  try {
    const kept = JSON.parse(globalThis.localStorage?.getItem(STORAGE_KEY) ?? '{}');
    return {
      selfVoicing: kept.selfVoicing === true,
      speechRate: Number.isInteger(kept.speechRate) ? Math.max(-10, Math.min(10, kept.speechRate)) : 0,
      voice: typeof kept.voice === 'string' ? kept.voice : '',
    };
  } catch {
    return { selfVoicing: false, speechRate: 0, voice: '' }; // a damaged entry: the defaults
  }
}

function keep(settings) {
  try {
    globalThis.localStorage?.setItem(STORAGE_KEY, JSON.stringify(settings));
  } catch { /* storage full or refused: it stays on for this visit only */ }
}

// The voice for a text in `lang` ("ja" or "en") among `voices`: the reader's
// own where it speaks that language; for Japanese a Japanese one; for Latin
// letters one of the player's language where it writes with them, else
// English, else any but Japanese, Chinese or Korean.
export function voiceFor(lang, voices, wanted = '') {
  const tag = (voice) => (voice.lang || '').toLowerCase();
  const speaks = (voice) => (lang === 'ja' ? tag(voice).startsWith('ja')
    : !/^(ja|zh|ko|yue|cmn)\b/.test(tag(voice)));
  const own = voices.find((voice) => voice.name === wanted && speaks(voice));
  if (own) return own;
  if (lang === 'ja') return voices.find(speaks) ?? null;
  for (const first of [playerLanguage === 'ja' ? 'en' : playerLanguage, 'en']) {
    const found = voices.find((voice) => tag(voice).startsWith(first) && speaks(voice));
    if (found) return found;
  }
  return voices.find(speaks) ?? null;
}

export function pageVoicing({ showNotice }) {
  const synth = globalThis.speechSynthesis;
  // Browsers fill the list of voices some time after the page asks: asked
  // now, it is there by the time the reader turns self-voicing on.
  const voices = () => synth?.getVoices() ?? [];
  voices();
  const settings = readKept();

  // The speaker the compiled player speaks through.
  const speaker = {
    available: () => Boolean(synth) && voices().length > 0,
    hasVoice: (lang) => voiceFor(lang, voices()) !== null,
    say(text, lang) {
      synth.cancel();
      const utterance = new SpeechSynthesisUtterance(text);
      const voice = voiceFor(lang, voices(), settings.voice);
      utterance.lang = voice?.lang || (lang === 'ja' ? 'ja-JP' : 'en');
      if (voice) utterance.voice = voice;
      utterance.rate = 2 ** (settings.speechRate / 10); // half to twice the voice's own pace
      synth.speak(utterance);
    },
    stop() { synth?.cancel(); },
    notice(name) {
      const key = { SpeechUnavailable: 'speechUnavailable', NoJapaneseVoice: 'noJapaneseVoice',
        NoLatinVoice: 'noLatinVoice' }[name];
      if (key) showNotice(words(key), 6000);
    },
  };

  return {
    // A new game's player: it speaks through the page, on as the reader left it.
    attach(game) {
      game.setSpeaker(speaker);
      game.setVoicing(settings.selfVoicing);
    },
    toggle(game) {
      settings.selfVoicing = !settings.selfVoicing;
      keep(settings);
      showNotice(words(settings.selfVoicing ? 'voicingOn' : 'voicingOff'), 1500);
      game.setVoicing(settings.selfVoicing); // a notice that it cannot speak replaces the one above
    },
    repeat(game) { game.repeatSpeech(); },
    stop() { speaker.stop(); },
    get on() { return settings.selfVoicing; },
  };
}
