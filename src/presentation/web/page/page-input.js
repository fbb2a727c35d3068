// The reader's input on the page: presses on the scene, the captions and the
// page text, the pop-up menu, and the keys, which the player's key table names
// (keys.js).

import { pageKey } from './keys.js';

export function pageInput({
  module, layout, view, sceneBox, text1, labels, backlogBox, popup, game, ended, saves,
  play, quit, resume, readOn, chooseOption, unlockMusic, updateMoreBelow, openBacklog, closeBacklog, goingBack,
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
    if (onBackground && event.button === 2) openPopup(event.clientX, event.clientY);
    if (onBackground && event.pointerType === 'touch') {
      longPress = setTimeout(() => { longPress = null; pressedLabel = 0; openPopup(event.clientX, event.clientY); }, 500);
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
  // Offered options are reached with Tab as well; the others are words only.
  // They change only when the player runs or the game ends.
  function updateOffered() {
    labels.forEach((label, i) => {
      const offered = game() && !ended() && game().offersOption(i + 1);
      label.tabIndex = offered ? 0 : -1;
      label.setAttribute('aria-disabled', String(!offered));
    });
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

  function openPopup(clientX, clientY) {
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
    sceneBox.focus();
  }
  popup.addEventListener('click', (event) => {
    const command = event.target.dataset.command;
    if (!command) return;
    closePopup();
    if (command === 'save') saves().openDialog(true);
    else if (command === 'load') saves().openDialog(false);
    else if (command === 'new') {
      goingBack.stopSkipping();
      play(() => game().newGame());
      goingBack.playedOn();
    }
    else if (command === 'about') play(() => game().showCredits());
    else if (command === 'quit') quit();
  });
  popup.addEventListener('keydown', (event) => {
    const items = [...popup.querySelectorAll('button')];
    const at = items.indexOf(document.activeElement);
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      items[(at + (event.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length].focus();
    } else if (event.key === 'Escape') {
      event.preventDefault();
      closePopup();
    }
    event.stopPropagation();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!popup.hidden && !popup.contains(event.target)) closePopup();
  }, true);

  document.addEventListener('keydown', (event) => {
    if (!game() || ended() || document.querySelector('dialog[open]') || !popup.hidden && popup.contains(document.activeElement)) {
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
    // Left and Page Up step back; Ctrl held alone and S skip the pages read.
    case 'StepBack': event.preventDefault(); goingBack.stepBack(); break;
    case 'SkipWhileHeld': goingBack.ctrlPressed(); break;
    case 'ToggleSkip': goingBack.toggleSkip(); break;
    default: break; // ZoomIn, ZoomOut, ToggleFullScreen, Quit, and the keys of controls still being built
    }
  }
  document.addEventListener('keyup', (event) => { if (event.key === 'Control') goingBack.ctrlReleased(); });
  window.addEventListener('blur', () => goingBack.stopSkipping());
  function lineStep() {
    return parseFloat(getComputedStyle(text1).lineHeight) || 18 * view.zoom;
  }

  return { updateMarked, updateOffered };
}
