// The menu bar. A command on the bar runs when chosen; a pop-up entry opens
// its menu below it, where the arrow keys move, Enter or Space chooses, an
// item's access letter chooses it, and Escape or a click elsewhere closes it.
// Closing gives the focus back to the control that had it.

// Sets up the menu bar; runCommand(id) carries out a chosen command.
export function setUpMenu(menuBar, runCommand) {
  let openPopup = null;
  let focusBeforeMenu = null;

  function itemsOf(popup) {
    return [...popup.querySelectorAll('[role="menuitem"]')];
  }

  function openerOf(popup) {
    return menuBar.querySelector(`[aria-controls="${popup.id}"]`);
  }

  function open(opener) {
    if (openPopup) {
      close();
    }
    const popup = menuBar.querySelector(`#${opener.getAttribute('aria-controls')}`);
    focusBeforeMenu = document.activeElement;
    popup.hidden = false;
    opener.setAttribute('aria-expanded', 'true');
    openPopup = popup;
    itemsOf(popup)[0].focus();
  }

  function close() {
    if (!openPopup) {
      return;
    }
    openPopup.hidden = true;
    openerOf(openPopup).setAttribute('aria-expanded', 'false');
    openPopup = null;
    focusBeforeMenu?.focus();
    focusBeforeMenu = null;
  }

  function choose(item) {
    close();
    runCommand(Number(item.dataset.commandId));
  }

  function moveBy(step) {
    const items = itemsOf(openPopup);
    const at = items.indexOf(document.activeElement);
    items[(at + step + items.length) % items.length].focus();
  }

  // Every key goes to the open menu; returns true when one was open.
  function handleKey(event) {
    if (!openPopup) {
      return false;
    }
    if (event.key === 'ArrowDown') {
      moveBy(1);
    } else if (event.key === 'ArrowUp') {
      moveBy(-1);
    } else if (event.key === 'Enter' || event.key === ' ') {
      const item = document.activeElement;
      if (itemsOf(openPopup).includes(item)) {
        choose(item);
      }
    } else if (event.key === 'Escape') {
      close();
    } else if (/^Key[A-Z]$/.test(event.code)) {
      const letter = event.code.slice(3);
      const item = itemsOf(openPopup).find(
        (candidate) => candidate.getAttribute('aria-keyshortcuts') === letter,
      );
      if (item) {
        choose(item);
      }
    }
    return true;
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
      if (openPopup && itemsOf(openPopup).includes(button)) {
        choose(button);
      } else {
        close();
        runCommand(Number(button.dataset.commandId));
      }
    }
  });

  // A press anywhere outside the open menu closes it.
  document.addEventListener(
    'pointerdown',
    (event) => {
      if (openPopup && !openPopup.parentElement.contains(event.target)) {
        close();
      }
    },
    true,
  );

  return {
    open,
    close,
    handleKey,
    isOpen: () => openPopup !== null,
  };
}
