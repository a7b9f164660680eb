// The calculator page: start-up, the commands behind the menu, the buttons
// and the keys, the About box and quitting. Every figure and text comes from
// the model (kem.mjs); this script moves texts and the focus, nothing else.
import { loadCalculator } from './kem.mjs';
import { routeKeys } from './keys.mjs';
import { setUpMenu } from './menu.mjs';
import {
  CMD_ABOUT,
  CMD_CLEAR_FIELDS,
  CMD_NEXT_FIELD,
  CMD_ONLINE_HELP,
  CMD_PREV_FIELD,
  CMD_WEBSITE_KEY,
  HelpPage,
  IDC_PRICE,
  IDC_RECALCULATE,
  IDC_WEBSITE,
  IDCANCEL,
  IDOK,
  kFlashMs,
  kFocusRing,
  kInputIds,
  kResultIds,
  WebsitePage,
} from './resource.mjs';

const body = document.body;
const mainWindow = document.querySelector('.main-window');
const aboutBox = document.querySelector('[role="dialog"]');
const reopenButton = document.querySelector('.reopen');
const calculatorLoading = loadCalculator();
let calculator = null;
let loadFailed = false;
// Where the focus goes when the About box closes.
let focusAfterAbout = null;
// Flashes run one after the other, as they would on a window that waits.
let flashes = Promise.resolve();

function findControl(id) {
  return mainWindow.querySelector(`[data-control-id="${id}"]`);
}

function isClosed() {
  return body.dataset.state === 'closed';
}

function isAboutOpen() {
  return aboutBox.open;
}

// Focuses a control and selects all of its text. While the About box is
// open the main window takes no focus: the control gets it when the box
// closes.
function focusField(id) {
  const control = findControl(id);
  if (isAboutOpen()) {
    focusAfterAbout = control;
    return;
  }
  control.focus();
  control.select?.();
}

function showResults(texts) {
  kResultIds.forEach((id, field) => {
    findControl(id).textContent = texts[field];
  });
}

function readInputTexts() {
  return kInputIds.map((id) => findControl(id).value);
}

// Reads the four fields and shows the six texts, then puts the focus in the
// price field. Before the model has loaded, the fields are read once it has.
function recalculate() {
  if (!calculator) {
    calculatorLoading.then(recalculate);
    return;
  }
  showResults(calculator.resultTexts(...readInputTexts()));
  focusField(IDC_PRICE);
}

function clearFields() {
  for (const id of kInputIds) {
    findControl(id).value = '';
  }
  recalculate();
}

function moveAlongRing(step) {
  const at = kFocusRing.findIndex((id) => findControl(id) === document.activeElement);
  // With no control of the ring focused, Tab starts at the price field.
  const from = at < 0 ? (step > 0 ? kFocusRing.length - 1 : 0) : at;
  focusField(kFocusRing[(from + step + kFocusRing.length) % kFocusRing.length]);
}

// A new tab without a way back to this page; a blocked pop-up is ignored.
function openPage(address) {
  try {
    window.open(address, '_blank', 'noopener');
  } catch {
    // Nothing to tell: the window never reports errors.
  }
}

function openAboutBox() {
  const client = mainWindow.querySelector('.client').getBoundingClientRect();
  aboutBox.style.setProperty('--anchor-left', `${client.left}px`);
  aboutBox.style.setProperty('--anchor-top', `${client.top}px`);
  focusAfterAbout = document.activeElement;
  aboutBox.showModal();
  aboutBox.querySelector(`[data-control-id="${IDOK}"]`).focus();
}

function closeAboutBox() {
  aboutBox.close();
  const control = focusAfterAbout;
  focusAfterAbout = null;
  if (control && mainWindow.contains(control)) {
    control.focus();
    control.select?.();
  }
}

// Tab stays on the box's one button; Enter and Escape close the box.
function aboutKey(key) {
  if (key === 'Enter' || key === 'Escape') {
    closeAboutBox();
  }
}

function isInstalledApp() {
  return ['standalone', 'minimal-ui', 'window-controls-overlay'].some(
    (mode) => matchMedia(`(display-mode: ${mode})`).matches,
  );
}

function quit() {
  menu.close();
  if (isAboutOpen()) {
    aboutBox.close();
    focusAfterAbout = null;
  }
  if (isInstalledApp()) {
    window.close();
  }
  body.dataset.state = 'closed';
  reopenButton.focus();
}

// A fresh window: empty fields, the zero-state texts, the focus in the price
// field.
function reopen() {
  for (const id of kInputIds) {
    findControl(id).value = '';
  }
  // A module that failed to load stays failed; one still loading opens the
  // window when it arrives.
  body.dataset.state = calculator ? 'open' : loadFailed ? 'failed' : 'loading';
  if (calculator) {
    showResults(calculator.resultTexts('', '', '', ''));
  }
  findControl(IDC_PRICE).focus();
}

function runCommand(id) {
  if (isClosed()) {
    return;
  }
  switch (id) {
    case IDOK:
    case IDCANCEL:
      quit();
      break;
    case CMD_ABOUT:
      openAboutBox();
      break;
    case CMD_CLEAR_FIELDS:
      clearFields();
      break;
    case CMD_ONLINE_HELP:
      openPage(HelpPage);
      break;
    case CMD_WEBSITE_KEY:
    case IDC_WEBSITE:
      openPage(WebsitePage);
      break;
    case CMD_NEXT_FIELD:
      moveAlongRing(1);
      break;
    case CMD_PREV_FIELD:
      moveAlongRing(-1);
      break;
    case IDC_RECALCULATE:
      recalculate();
      break;
  }
}

// Shows the button pushed in for a moment, then presses it; the next flash
// waits for this one's command.
function flashAndPress(id) {
  const button = findControl(id);
  flashes = flashes.then(
    () =>
      new Promise((resolve) => {
        button.setAttribute('data-pressed', '');
        setTimeout(() => {
          button.removeAttribute('data-pressed');
          runCommand(id);
          resolve();
        }, kFlashMs);
      }),
  );
}

const menu = setUpMenu(mainWindow.querySelector('[role="menubar"]'), runCommand);

routeKeys(mainWindow, {
  menu,
  isClosed,
  isAboutOpen,
  runCommand,
  focusField,
  flashAndPress,
  aboutKey,
});

// Clicks on the buttons of the window and of the About box.
mainWindow.querySelector('.client').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-control-id]');
  if (button) {
    runCommand(Number(button.dataset.controlId));
  }
});
mainWindow.querySelector('.title-box.close').addEventListener('click', () => runCommand(IDCANCEL));
aboutBox.addEventListener('click', (event) => {
  if (event.target.closest(`[data-control-id="${IDOK}"]`)) {
    closeAboutBox();
  }
});
// Escape is the page's to route; the browser would close the box by itself.
aboutBox.addEventListener('cancel', (event) => event.preventDefault());
reopenButton.addEventListener('click', reopen);

// As in the window, a press on anything but a field or a button leaves the
// focus where it is.
for (const area of [mainWindow, aboutBox]) {
  area.addEventListener('mousedown', (event) => {
    if (!event.target.closest('input, .client button')) {
      event.preventDefault();
    }
  });
}

findControl(IDC_PRICE).focus();
calculatorLoading.then(
  (loaded) => {
    calculator = loaded;
    showResults(calculator.resultTexts('', '', '', ''));
    if (!isClosed()) {
      body.dataset.state = 'open';
    }
  },
  (error) => {
    loadFailed = true;
    body.dataset.state = 'failed';
    console.error('The calculator could not be loaded:', error);
  },
);

if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').catch(() => {
    // Without a worker the page still works; it only needs the network.
  });
}
