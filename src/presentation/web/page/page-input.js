// The reader's input on the page: presses on the scene, the captions and the
// page text, the pop-up menu, and the keys, which the player's key table names
// (keys.js).

import { pageKey } from './keys.js';

export function pageInput({
  module, layout, view, sceneBox, text1, labels, backlogBox, popup, game, ended, saves, settings,
  play, quit, resume, readOn, chooseOption, unlockMusic, updateMoreBelow, openBacklog, closeBacklog, goingBack,
  toggleVoicing, repeatSpeech,
}) {
  function scenePoint(event) {
    const box = sceneBox.getBoundingClientRect();
    return { x: Math.floor((event.clientX - box.left) / view.zoom), y: Math.floor((event.clientY - box.top) / view.zoom) };
  }

  function elementAt(point) {
    if (!game()) return 'Background';
    const size = (e) => view.pictures[e];
    return game().elementAt(point.x, point.y, size('Image1').width, size('Image1').height,
      size('Image2').width, size('Image2').height);
  }

  // The caption an element is, 1 to 4, or 0.
  function labelOf(element) {
    return element.startsWith('Label') ? Number(element.slice(5)) : 0;
  }
  const labelAt = (point) => labelOf(elementAt(point));

  let pressedLabel = 0;
  let longPress = null;
  // Whether the press going on opened or closed the pop-up menu: the rest of
  // it (the button's release, the click, the browser's own menu and its move
  // of the focus) is the menu's, and reaches neither the story nor the focus.
  let menuPress = false;
  document.addEventListener('pointerdown', (event) => {
    menuPress = false;
    if (popup.hidden || popup.contains(event.target)) return;
    menuPress = true;
    event.stopPropagation();
    closePopup();
  }, true);
  for (const type of ['mousedown', 'pointerup', 'mouseup', 'click', 'auxclick', 'dblclick', 'contextmenu']) {
    document.addEventListener(type, (event) => {
      if (!menuPress || (type === 'click' && event.detail === 0)) return; // a key's click is no press
      event.preventDefault();
      event.stopPropagation();
      // The release's click comes in the same task as the release: the press ends after it.
      if (type === 'pointerup') setTimeout(() => { menuPress = false; });
    }, true);
  }
  let pressStoppedSkipping = false;
  sceneBox.addEventListener('pointerdown', (event) => {
    unlockMusic();
    if (!backlogBox.hidden || !popup.hidden) return;
    // A press while skipping stops it, and turns no page of its own.
    pressStoppedSkipping = goingBack.skipping();
    goingBack.stopSkipping();
    if (event.target === text1 || text1.contains(event.target)) return;
    const element = elementAt(scenePoint(event));
    pressedLabel = event.button === 0 ? labelOf(element) : 0;
    const onBackground = element === 'Background';
    if (onBackground && event.button === 2) {
      menuPress = true;
      openPopup(event.clientX, event.clientY);
    }
    if (onBackground && event.pointerType === 'touch') {
      longPress = setTimeout(() => {
        longPress = null;
        menuPress = true;
        openPopup(event.clientX, event.clientY);
      }, 500);
    }
  });
  sceneBox.addEventListener('pointerup', (event) => {
    clearTimeout(longPress);
    const label = pressedLabel;
    pressedLabel = 0;
    if (event.button !== 0 || label === 0) return;
    if (labelAt(scenePoint(event)) === label) chooseOption(label); // a press and a release on the same caption
  });
  sceneBox.addEventListener('pointercancel', () => { clearTimeout(longPress); pressedLabel = 0; });
  sceneBox.addEventListener('contextmenu', (event) => event.preventDefault());

  // The caption under the pointer is underlined when a click there would take its option.
  let pointer = null;
  sceneBox.addEventListener('pointermove', (event) => { pointer = scenePoint(event); updateMarked(); });
  sceneBox.addEventListener('pointerleave', () => { pointer = null; updateMarked(); });
  function updateMarked() {
    let marked = 0;
    if (pointer && game() && !ended() && backlogBox.hidden) {
      const label = labelAt(pointer);
      if (game().offersOption(label)) marked = label;
    }
    labels.forEach((label, i) => label.classList.toggle('marked', marked === i + 1));
  }
  // Offered options are reached with Tab as well; the others are words only,
  // left out of what a screen reader reads, as is the group of options on a
  // page that offers none. They change only when the player runs or the game
  // ends.
  function updateOffered() {
    const offered = labels.map((label, i) => Boolean(game() && !ended() && game().offersOption(i + 1)));
    labels.forEach((label, i) => {
      label.tabIndex = offered[i] ? 0 : -1;
      label.setAttribute('aria-disabled', String(!offered[i]));
      if (offered[i]) label.removeAttribute('aria-hidden');
      else label.setAttribute('aria-hidden', 'true');
    });
    // A caption chosen from the keyboard leaves the tree, and an emptied one
    // loses the focus to the page's body: the scene takes it back, where the
    // keys go on working and the screen reader stays.
    const focused = labels.indexOf(document.activeElement);
    if ((focused >= 0 && !offered[focused]) || document.activeElement === document.body) sceneBox.focus();
    const captions = labels[0].parentElement;
    if (offered.some(Boolean)) captions.removeAttribute('aria-hidden');
    else captions.setAttribute('aria-hidden', 'true');
    updateMarked();
  }
  // A caption taken from the keyboard (Tab, then Enter or Space) is its own option.
  labels.forEach((label, i) => label.addEventListener('click', (event) => {
    if (event.detail === 0) chooseOption(i + 1);
  }));

  // A click on the page text turns the page, unless it selected some of it.
  text1.addEventListener('click', (event) => {
    unlockMusic();
    if (event.button !== 0 || pressStoppedSkipping) return;
    const selection = window.getSelection();
    if (selection && !selection.isCollapsed && text1.contains(selection.anchorNode)) return;
    resume();
  });
  text1.addEventListener('scroll', updateMoreBelow);
  // Turning the wheel up at the top of the page steps back a place, a notch
  // at a time (a touchpad's small turns add up to one); below the top it
  // scrolls the page.
  let wheelBack = 0;
  sceneBox.addEventListener('wheel', (event) => {
    if (!backlogBox.hidden || !popup.hidden || !game() || ended()) return;
    if (event.deltaY >= 0 || text1.scrollTop > 0) { wheelBack = 0; return; }
    event.preventDefault();
    wheelBack += event.deltaMode === 0 ? -event.deltaY : -event.deltaY * 40; // pixels, or lines and pages
    while (wheelBack >= 100) {
      wheelBack -= 100;
      goingBack.stepBack();
    }
  }, { passive: false });

  // The pop-up menu takes the focus, wherever it was opened from, and gives
  // it back where it was when it closes.
  let focusBeforePopup = null;
  function openPopup(clientX, clientY) {
    clearTimeout(longPress);
    pressedLabel = 0;
    focusBeforePopup = document.activeElement;
    const box = sceneBox.getBoundingClientRect();
    popup.hidden = false;
    const x = Math.min(clientX - box.left, box.width - popup.offsetWidth);
    const y = Math.min(clientY - box.top, box.height - popup.offsetHeight);
    popup.style.left = `${Math.max(0, x)}px`;
    popup.style.top = `${Math.max(0, y)}px`;
    popup.querySelector('button').focus();
  }
  function closePopup() {
    popup.hidden = true;
    const back = focusBeforePopup;
    focusBeforePopup = null;
    // A caption no longer offered has left the tree; the scene takes the focus then.
    if (back && back !== document.body && back.isConnected && back.tabIndex >= 0 && !back.closest('[hidden]')) back.focus();
    else sceneBox.focus();
  }
  popup.addEventListener('click', (event) => {
    const command = event.target.dataset.command;
    if (!command) return;
    closePopup();
    if (command === 'save') saves().openDialog(true);
    else if (command === 'load') saves().openDialog(false);
    else if (command === 'settings') settings().openDialog();
    else if (command === 'new') {
      goingBack.stopSkipping();
      play(() => game().newGame());
      goingBack.playedOn();
    }
    else if (command === 'about') play(() => game().showCredits());
    else if (command === 'quit') quit();
  });
  // Inside the menu its own keys, as a desktop menu has them: the arrows and
  // Tab move, Home and End go to the first and the last item, Enter and
  // Space choose (the items are buttons), Escape closes it. No key pressed
  // in the menu reaches the story behind it.
  popup.addEventListener('keydown', (event) => {
    const items = [...popup.querySelectorAll('button')];
    const at = items.indexOf(document.activeElement);
    const step = { ArrowDown: 1, ArrowUp: -1, Tab: event.shiftKey ? -1 : 1 }[event.key];
    if (step && !event.ctrlKey && !event.altKey && !event.metaKey) {
      event.preventDefault();
      items[(at + step + items.length) % items.length].focus();
    } else if (event.key === 'Home' || event.key === 'End') {
      event.preventDefault();
      items[event.key === 'Home' ? 0 : items.length - 1].focus();
    } else if (event.key === 'Escape') {
      event.preventDefault();
      closePopup();
    }
    event.stopPropagation();
  });

  document.addEventListener('keydown', (event) => {
    if (!game() || ended() || document.querySelector('dialog[open]')) return;
    // The open menu has the keys, also where the focus has left it: Escape closes it.
    if (!popup.hidden) {
      if (event.key === 'Escape') { event.preventDefault(); closePopup(); }
      return;
    }
    unlockMusic();
    if (event.repeat && event.key === 'Control') return;
    const found = pageKey(module, event);
    // Any other key ends skipping: a key held with Ctrl is a shortcut, and S
    // toggles it itself.
    if (found?.action !== 'ToggleSkip') goingBack.stopSkipping();
    if (!found) return;
    if (!backlogBox.hidden) {
      switch (found.whileBacklog) {
      case 'Ignored': return; // the backlog only shows pages; the story waits behind it
      case 'ClosesIt': event.preventDefault(); closeBacklog(); return;
      case 'ScrollsIt': return; // the backlog has the focus: the browser scrolls it
      case 'ClosesFirst': closeBacklog(); break;
      default: break; // 'ActsAsEver'
      }
    }
    perform(found.action, event);
  });
  // What each action of the player's key table does on the page. Zooming, full
  // screen and quitting the program are the browser's own: their keys are left
  // to it.
  function perform(action, event) {
    switch (action) {
    case 'ReadOn':
      if (labels.includes(document.activeElement) && event.key !== 'PageDown') return; // the caption's own click
      event.preventDefault();
      readOn();
      break;
    case 'ClickOption1': case 'ClickOption2': case 'ClickOption3': case 'ClickOption4':
      chooseOption(Number(action.slice(-1)));
      break;
    case 'ScrollUp': event.preventDefault(); text1.scrollTop -= lineStep(); break;
    case 'ScrollDown': event.preventDefault(); text1.scrollTop += lineStep(); break;
    case 'ToggleBacklog': openBacklog(); break;
    case 'CloseBacklog': break; // no backlog is open
    case 'CopyPage': {
      // A selection is copied by the browser; without one, the whole page text.
      const selection = window.getSelection();
      if (selection && selection.isCollapsed) navigator.clipboard?.writeText(text1.textContent).catch(() => {});
      break;
    }
    case 'PopupMenu': {
      event.preventDefault();
      const box = sceneBox.getBoundingClientRect();
      const at = pointer ? { x: box.left + pointer.x * view.zoom, y: box.top + pointer.y * view.zoom }
        : { x: box.left + (layout.Image1.x + layout.Image1.width / 2) * view.zoom,
            y: box.top + (layout.Image1.y + layout.Image1.height / 2) * view.zoom };
      openPopup(at.x, at.y);
      break;
    }
    // F5 quick save, F9 quick load, Ctrl+S "Save…", Ctrl+L "Load…": the
    // browser's own meaning of each (reload, save the page, the address bar)
    // gives way while a game plays.
    case 'QuickSave': event.preventDefault(); saves().quickSave(); break;
    case 'QuickLoad': event.preventDefault(); saves().quickLoad(); break;
    case 'SaveDialog': event.preventDefault(); saves().openDialog(true); break;
    case 'LoadDialog': event.preventDefault(); saves().openDialog(false); break;
    case 'ToggleVoicing': toggleVoicing(); break;
    case 'RepeatSpeech': repeatSpeech(); break;
    case 'OpenSettings': event.preventDefault(); settings().perform(action); break;
    case 'ToggleAuto': case 'ToggleMute': case 'VolumeDown': case 'VolumeUp': settings().perform(action); break;
    // Left and Page Up step back; Ctrl held alone and S skip the pages read.
    case 'StepBack': event.preventDefault(); goingBack.stepBack(); break;
    case 'SkipWhileHeld': goingBack.ctrlPressed(); break;
    case 'ToggleSkip': goingBack.toggleSkip(); break;
    default: break; // ZoomIn, ZoomOut, ToggleFullScreen, Quit
    }
  }
  document.addEventListener('keyup', (event) => { if (event.key === 'Control') goingBack.ctrlReleased(); });
  window.addEventListener('blur', () => goingBack.stopSkipping());
  function lineStep() {
    return parseFloat(getComputedStyle(text1).lineHeight) || 18 * view.zoom;
  }

  return { updateMarked, updateOffered };
}
