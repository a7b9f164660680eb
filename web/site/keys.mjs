// What each key does, as the window's key filters do it: keys become commands
// for the page, carried out in one place; only the Alt moves to a field act
// at once. The window's keys act only while the focus is in the window (or
// its About box); on the rest of the page every key does what it does on
// any page. F6 moves the focus between the two, as between the panes of a
// desktop program. The calculator stops the browser's own default for every
// key it takes, and leaves every other key alone.
import { CMD_NEXT_FIELD, CMD_PREV_FIELD, IDC_RECALCULATE, IDCANCEL } from './resource.mjs';

// Tab, Enter and Escape, wherever the focus is in the main window. Enter
// recalculates on a button as well; it never presses the button. The
// window's filter does not look at Ctrl: Ctrl+Enter is Enter, Ctrl+Escape
// Escape (Ctrl+Tab is the browser's, which switches tabs).
const kNavCommands = {
  Tab: (event) => (event.shiftKey ? CMD_PREV_FIELD : CMD_NEXT_FIELD),
  Enter: () => IDC_RECALCULATE,
  Escape: () => IDCANCEL,
};

// The Alt letters are the access letters the template underlines, each
// written on the control it acts on (aria-keyshortcuts="Alt+P"). They are
// read by physical key, so they work on every keyboard layout and with the
// Option key of a Mac.
function readAltTargets(mainWindow) {
  const targets = new Map();
  for (const element of mainWindow.querySelectorAll('[aria-keyshortcuts^="Alt+"]')) {
    const letter = element.getAttribute('aria-keyshortcuts').slice('Alt+'.length);
    targets.set(`Key${letter}`, element);
  }
  return targets;
}

function isNavKey(event) {
  if (event.altKey || event.metaKey || !(event.key in kNavCommands)) {
    return false;
  }
  return event.key !== 'Tab' || !event.ctrlKey;
}

// AltGr reports Ctrl and Alt together; it types characters and is left alone.
function isAltLetter(event) {
  return event.altKey && !event.ctrlKey && !event.metaKey;
}

function isBare(event) {
  return !event.altKey && !event.ctrlKey && !event.metaKey && !event.shiftKey;
}

// Routes the keys of the page to `page`, which carries them out:
//   isClosed(), isAboutOpen(), isInWindow(), menu (from setUpMenu),
//   runCommand(id), focusField(id), flashAndPress(id), aboutKey(key),
//   switchPane(), and, while a button is flashed, isHolding() and
//   hold(event), which keeps the key for afterwards.
// Returns takeKey(event), which routes a key held before as if it came now
// and says whether the window took it.
export function routeKeys(mainWindow, page) {
  const altTargets = readAltTargets(mainWindow);
  // Alt pressed with no other key before it is let go enters the menu bar.
  let altAlone = false;

  function actOnAltTarget(target) {
    if (target.matches('input')) {
      page.focusField(Number(target.dataset.controlId));
    } else if (target.closest('[role="menubar"]')) {
      // The menu bar belongs to the main window, which takes nothing of its
      // own while the About box is open.
      if (!page.isAboutOpen()) {
        target.click();
      }
    } else {
      page.flashAndPress(Number(target.dataset.controlId));
    }
  }

  function takeKey(event) {
    if (page.menu.handleKey(event)) {
      return true;
    }
    if (event.key === 'F6' && !event.altKey && !event.ctrlKey && !event.metaKey) {
      if (!page.isAboutOpen()) {
        page.switchPane();
      }
      return true;
    }
    if (!page.isAboutOpen() && !page.isInWindow()) {
      return false;
    }
    if (isAltLetter(event) && altTargets.has(event.code)) {
      actOnAltTarget(altTargets.get(event.code));
      return true;
    }
    if (event.key === 'F10' && isBare(event)) {
      if (!page.isAboutOpen()) {
        page.menu.enterBar();
      }
      return true;
    }
    if (isNavKey(event)) {
      if (page.isAboutOpen()) {
        page.aboutKey(event.key);
      } else {
        page.runCommand(kNavCommands[event.key](event));
      }
      return true;
    }
    return false;
  }

  function handleKeyDown(event) {
    altAlone = event.key === 'Alt' && !event.ctrlKey && !event.metaKey && !event.shiftKey;
    if (page.isClosed() || event.isComposing) {
      return;
    }
    if (page.isHolding()) {
      event.preventDefault();
      page.hold(event);
      return;
    }
    if (takeKey(event)) {
      event.preventDefault();
    }
  }

  function handleKeyUp(event) {
    const lone = altAlone && event.key === 'Alt';
    altAlone = false;
    if (!lone || page.isClosed() || page.isAboutOpen() || page.isHolding()) {
      return;
    }
    if (page.menu.isOpen()) {
      page.menu.close();
      event.preventDefault();
    } else if (page.isInWindow()) {
      page.menu.enterBar();
      event.preventDefault();
    }
  }

  window.addEventListener('keydown', handleKeyDown, true);
  window.addEventListener('keyup', handleKeyUp, true);
  window.addEventListener('pointerdown', () => (altAlone = false), true);
  return takeKey;
}
