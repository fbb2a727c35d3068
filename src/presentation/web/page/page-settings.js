// The reader's settings on the page: kept in the browser's storage as the same
// JSON document the desktop keeps in its settings file, read and written by
// the compiled player's readSettings and writeSettings, so the rules (names,
// limits, defaults) are the player's. Also the "Settings…" dialog, the music's
// volume keys, auto mode, and their marks over the scene.

import { SETTINGS_KEY, keptSettings, words } from './page-words.js';

// `page` gives: module, the compiled player; music(), the page's music or null;
// game(), the WebGame while one plays; text1, the page text; readOn(), as the
// keys turn the page; restOfPageHidden(); busy(), true while something covers
// the story (the backlog, the pop-up menu, a dialog); voices(), the browser's
// voices ({ name, lang }) to offer in the dialog; changed(settings, before),
// told after each change, so that what a setting drives (self-voicing)
// follows it at once.
export function pageSettings(page) {
  const { module, text1 } = page;
  const $ = (id) => document.getElementById(id);

  function stored() {
    try {
      return keptSettings();
    } catch {
      return null; // storage the browser refuses: the defaults
    }
  }
  let settings = read();
  function read() {
    const text = stored();
    const found = module.readSettings(text ?? '{}');
    if (found.note) console.warn(`vorn: ${found.note}`);
    delete found.note;
    return found;
  }
  function change(next) {
    const before = settings;
    const document = module.writeSettings(JSON.stringify(next));
    settings = module.readSettings(document);
    delete settings.note;
    try {
      globalThis.localStorage?.setItem(SETTINGS_KEY, document);
    } catch (error) {
      console.warn(`vorn: the settings are not kept for the next visit: ${error.message || error}`);
    }
    applyLevel(settings);
    page.changed?.(settings, before);
  }
  function applyLevel(shown) {
    page.music()?.setLevel(module.musicLevel(shown.musicVolume, shown.musicMuted));
  }

  // ---- the marks -------------------------------------------------------------
  const autoMark = $('auto-mark');
  const volumeMark = $('volume-mark');
  let volumeTimer = null;
  function showVolume() {
    volumeMark.textContent = settings.musicMuted ? words('musicMuted') : words('volumeMark', settings.musicVolume);
    volumeMark.hidden = false;
    clearTimeout(volumeTimer);
    volumeTimer = setTimeout(() => { volumeMark.hidden = true; }, 1500);
  }

  // ---- auto mode -------------------------------------------------------------
  // While on, a page that a click would turn turns by itself after a wait
  // that grows with its length; a long page shows a box at a time first. At a
  // menu it waits for the reader's choice and goes on from the page the
  // choice brings, staying on.
  let autoOn = false;
  let autoTimer = null;
  function stopAuto() {
    clearTimeout(autoTimer);
    autoTimer = null;
  }
  function scheduleAuto() {
    if (!autoOn || autoTimer) return;
    const game = page.game();
    if (!game || !game.textClickPlaysOn()) return;
    const shown = text1.scrollHeight > 0 ? Math.min(1, text1.clientHeight / text1.scrollHeight) : 1;
    autoTimer = setTimeout(autoTurn, module.autoTurnDelay(text1.textContent, settings.autoDelay, shown));
  }
  function autoTurn() {
    autoTimer = null;
    if (!autoOn) return;
    if (page.busy()) { autoTimer = setTimeout(autoTurn, 500); return; }
    const game = page.game();
    if (!game || !game.textClickPlaysOn()) return;
    page.readOn(); // turns the page or shows the next box, and each schedules the next wait
  }
  function setAuto(on) {
    autoOn = on;
    autoMark.hidden = !on;
    stopAuto();
    scheduleAuto();
  }

  // ---- the dialog ------------------------------------------------------------
  const dialog = $('settings');
  const volume = $('setting-volume');
  const volumeValue = $('setting-volume-value');
  const muted = $('setting-muted');
  const autoDelay = $('setting-auto-delay');
  const skipUnread = $('setting-skip-unread');
  const language = $('setting-language');
  const selfVoicing = $('setting-self-voicing');
  const speechRate = $('setting-speech-rate');
  const voice = $('setting-voice');
  function shownInDialog() {
    return {
      ...settings,
      musicVolume: Number(volume.value),
      musicMuted: muted.checked,
      autoDelay: Number(autoDelay.value),
      skipUnread: skipUnread.checked,
      language: language.value,
      selfVoicing: selfVoicing.checked,
      // An emptied field is the voice's own rate; the field's limits hold the rest.
      speechRate: speechRate.value === '' ? 0 : Number(speechRate.value),
      voice: voice.value,
    };
  }
  function preview() {
    volumeValue.textContent = words('percent', volume.value);
    applyLevel(shownInDialog());
  }
  volume.addEventListener('input', preview);
  muted.addEventListener('change', preview);
  dialog.addEventListener('close', () => {
    if (dialog.returnValue === 'ok') change(shownInDialog());
    else applyLevel(settings); // as it was before the slider moved
    scheduleAuto();
  });
  // The browser's voices by name, after the first choice (none: one for the
  // page's language); a kept name the browser does not offer (the voices of
  // another browser or computer) stays offered, so OK does not drop it.
  function offerVoices(chosen) {
    while (voice.options.length > 1) voice.remove(1);
    const names = new Set();
    for (const { name, lang } of page.voices?.() ?? []) {
      if (!name || names.has(name)) continue;
      names.add(name);
      voice.add(new Option(lang ? `${name} (${lang})` : name, name));
    }
    if (chosen && !names.has(chosen)) voice.add(new Option(chosen, chosen));
    voice.value = chosen;
  }
  function openDialog() {
    volume.value = settings.musicVolume;
    muted.checked = settings.musicMuted;
    autoDelay.value = settings.autoDelay;
    skipUnread.checked = settings.skipUnread;
    language.value = settings.language;
    selfVoicing.checked = settings.selfVoicing;
    speechRate.value = settings.speechRate;
    offerVoices(settings.voice);
    volumeValue.textContent = words('percent', volume.value);
    dialog.returnValue = '';
    dialog.showModal();
  }

  // The actions of the key table that are this file's; false for the others.
  function perform(action) {
    switch (action) {
    case 'ToggleAuto': setAuto(!autoOn); return true;
    case 'ToggleMute': change({ ...settings, musicMuted: !settings.musicMuted }); showVolume(); return true;
    // A key that changes the volume also unmutes: the reader wants to hear the change.
    case 'VolumeDown':
      change({ ...settings, musicVolume: module.quieter(settings.musicVolume), musicMuted: false });
      showVolume();
      return true;
    case 'VolumeUp':
      change({ ...settings, musicVolume: module.louder(settings.musicVolume), musicMuted: false });
      showVolume();
      return true;
    case 'OpenSettings': openDialog(); return true;
    default: return false;
    }
  }

  return {
    get settings() { return settings; },
    get autoOn() { return autoOn; },
    get autoPending() { return autoTimer !== null; },
    applyLevel: () => applyLevel(settings),
    change,
    perform, openDialog, setAuto, scheduleAuto, stopAuto,
  };
}
