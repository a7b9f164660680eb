// What each key does, as the window's key filters do it: keys become commands
// for the page, carried out in one place; only the Alt moves to a field act
// at once. The calculator stops the browser's own default for every key it
// takes, and leaves every other key alone.
import { CMD_NEXT_FIELD, CMD_PREV_FIELD, IDC_RECALCULATE, IDCANCEL } from './resource.mjs';

// Tab, Enter and Escape, wherever the focus is in the main window. Enter
// recalculates on a button as well; it never presses the button.
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

function isPlain(event) {
  return !event.altKey && !event.ctrlKey && !event.metaKey;
}

// AltGr reports Ctrl and Alt together; it types characters and is left alone.
function isAltLetter(event) {
  return event.altKey && !event.ctrlKey && !event.metaKey;
}

// Routes the keys of the page to `page`, which carries them out:
//   isClosed(), isAboutOpen(), menu (from setUpMenu), runCommand(id),
//   focusField(id), flashAndPress(id), aboutKey(key).
export function routeKeys(mainWindow, page) {
  const altTargets = readAltTargets(mainWindow);

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

  function handleKey(event) {
    if (page.isClosed() || event.isComposing) {
      return;
    }
    if (page.menu.handleKey(event)) {
      event.preventDefault();
      return;
    }
    if (isAltLetter(event) && altTargets.has(event.code)) {
      event.preventDefault();
      actOnAltTarget(altTargets.get(event.code));
      return;
    }
    if (isPlain(event) && event.key in kNavCommands) {
      event.preventDefault();
      if (page.isAboutOpen()) {
        page.aboutKey(event.key);
      } else {
        page.runCommand(kNavCommands[event.key](event));
      }
    }
  }

  window.addEventListener('keydown', handleKey, true);
}
