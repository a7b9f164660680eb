// The menu bar. A command on the bar runs when chosen; a pop-up entry opens
// its menu below it, where the arrow keys move, Enter or Space chooses, an
// item's access letter chooses it, and Escape or a click elsewhere closes it.
// F10 or a lone Alt puts the bar itself in the keyboard's hands, as in the
// window: Left and Right move along it, an entry's letter, Enter, Space or
// Down choose it, Escape, F10 or Alt leave it. Closing gives the focus back
// to the control that had it.

// Sets up the menu bar; runCommand(id) carries out a chosen command.
export function setUpMenu(menuBar, runCommand) {
  let openPopup = null;
  // Where the focus goes back to when the menu closes.
  let focusBeforeMenu = null;
  // The bar was entered with F10 or Alt: closing a pop-up goes back to it.
  let onBar = false;

  function entries() {
    return [...menuBar.querySelectorAll(':scope > button, :scope > .menu-entry > button')];
  }

  function itemsOf(popup) {
    return [...popup.querySelectorAll('[role="menuitem"]')];
  }

  function openerOf(popup) {
    return menuBar.querySelector(`[aria-controls="${popup.id}"]`);
  }

  function rememberFocus() {
    if (!openPopup && !onBar) {
      focusBeforeMenu = document.activeElement;
    }
  }

  function closePopup() {
    openPopup.hidden = true;
    openerOf(openPopup).setAttribute('aria-expanded', 'false');
    openPopup = null;
  }

  function open(opener) {
    rememberFocus();
    if (openPopup) {
      closePopup();
    }
    const popup = menuBar.querySelector(`#${opener.getAttribute('aria-controls')}`);
    popup.hidden = false;
    opener.setAttribute('aria-expanded', 'true');
    openPopup = popup;
    itemsOf(popup)[0].focus();
  }

  // Closes the menu and leaves the bar; the focus goes back.
  function close() {
    if (!openPopup && !onBar) {
      return;
    }
    if (openPopup) {
      closePopup();
    }
    onBar = false;
    focusBeforeMenu?.focus();
    focusBeforeMenu = null;
  }

  function enterBar() {
    rememberFocus();
    onBar = true;
    entries()[0].focus();
  }

  function choose(item) {
    close();
    runCommand(Number(item.dataset.commandId));
  }

  // A bar entry chosen: a command runs, a pop-up opens.
  function chooseEntry(entry) {
    if (entry.hasAttribute('aria-haspopup')) {
      open(entry);
    } else {
      choose(entry);
    }
  }

  function moveBy(list, step) {
    const at = list.indexOf(document.activeElement);
    list[(at + step + list.length) % list.length].focus();
  }

  function letterOf(event) {
    return /^Key[A-Z]$/.test(event.code) ? event.code.slice(3) : null;
  }

  function handlePopupKey(event) {
    const items = itemsOf(openPopup);
    const letter = letterOf(event);
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      moveBy(items, event.key === 'ArrowDown' ? 1 : -1);
    } else if (event.key === 'Enter' || event.key === ' ') {
      if (items.includes(document.activeElement)) {
        choose(document.activeElement);
      }
    } else if (event.key === 'Escape' && onBar) {
      const opener = openerOf(openPopup);
      closePopup();
      opener.focus();
    } else if (event.key === 'Escape' || event.key === 'F10') {
      close();
    } else if (letter) {
      const item = items.find((candidate) => candidate.getAttribute('aria-keyshortcuts') === letter);
      if (item) {
        choose(item);
      }
    }
  }

  function handleBarKey(event) {
    const letter = letterOf(event);
    if (event.key === 'ArrowRight' || event.key === 'ArrowLeft') {
      moveBy(entries(), event.key === 'ArrowRight' ? 1 : -1);
    } else if (['Enter', ' ', 'ArrowDown'].includes(event.key)) {
      if (entries().includes(document.activeElement)) {
        chooseEntry(document.activeElement);
      }
    } else if (['Escape', 'F10', 'Alt'].includes(event.key)) {
      close();
    } else if (letter) {
      const entry = entries().find(
        (candidate) => candidate.getAttribute('aria-keyshortcuts') === `Alt+${letter}`,
      );
      if (entry) {
        chooseEntry(entry);
      }
    }
  }

  // Every key goes to the open menu or the bar; returns true when either
  // had it.
  function handleKey(event) {
    if (openPopup) {
      handlePopupKey(event);
      return true;
    }
    if (onBar) {
      handleBarKey(event);
      return true;
    }
    return false;
  }

  menuBar.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) {
      return;
    }
    if (button.hasAttribute('aria-haspopup')) {
      if (openPopup && openerOf(openPopup) === button) {
        close();
      } else {
        open(button);
      }
    } else if (button.dataset.commandId) {
      choose(button);
    }
  });

  // A press anywhere outside the open menu or the bar closes it.
  document.addEventListener(
    'pointerdown',
    (event) => {
      const inside = openPopup ? openPopup.parentElement : onBar ? menuBar : null;
      if (inside && !inside.contains(event.target)) {
        close();
      }
    },
    true,
  );

  return {
    open,
    close,
    enterBar,
    handleKey,
    isOpen: () => openPopup !== null || onBar,
  };
}
