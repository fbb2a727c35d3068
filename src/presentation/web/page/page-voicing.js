// Self-voicing on the page: the browser's speechSynthesis says what the
// compiled player decides to say (the page and its offered options, in the
// rules every front end shares). The page picks the voice by the text's
// language, "ja" or "en", among the browser's voices. On or off, the rate
// and the voice are the reader's settings (page-settings.js), kept with the others.

import { language as playerLanguage, words } from './page-words.js';

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

export function pageVoicing({ showNotice, settings: current, change }) {
  const synth = globalThis.speechSynthesis;
  // Browsers fill the list of voices some time after the page asks, and the
  // first asking may start the system's speech service: asked at once where
  // self-voicing is on, else once the first page is on screen (askVoices()),
  // in time for the reader to turn it on.
  const voices = () => synth?.getVoices() ?? [];
  if (current().selfVoicing) voices();

  // The speaker the compiled player speaks through.
  const speaker = {
    available: () => Boolean(synth) && voices().length > 0,
    hasVoice: (lang) => voiceFor(lang, voices()) !== null,
    say(text, lang) {
      synth.cancel();
      const utterance = new SpeechSynthesisUtterance(text);
      const voice = voiceFor(lang, voices(), current().voice);
      utterance.lang = voice?.lang || (lang === 'ja' ? 'ja-JP' : 'en');
      if (voice) utterance.voice = voice;
      utterance.rate = 2 ** (current().speechRate / 10); // half to twice the voice's own pace
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
      game.setVoicing(current().selfVoicing);
    },
    // V: the setting turned over, which the game then follows (follow).
    toggle() {
      const on = !current().selfVoicing;
      showNotice(words(on ? 'voicingOn' : 'voicingOff'), 1500);
      change({ ...current(), selfVoicing: on }); // a notice that it cannot speak replaces the one above
    },
    // The game speaks or falls silent as the settings now say, however they
    // changed (V, the settings dialog): turned on, it says the page at once.
    follow(game) { game.setVoicing(current().selfVoicing); },
    // The browser's voices, as the settings dialog offers them.
    voices,
    askVoices() { voices(); },
    repeat(game) { game.repeatSpeech(); },
    stop() { speaker.stop(); },
    get on() { return current().selfVoicing; },
  };
}
