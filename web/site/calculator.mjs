// The calculator page: start-up, the commands behind the menu, the buttons
// and the keys, the About box and quitting, and the page around the window
// (a link to the figures, copying the results, a failed start). Every figure
// and text comes from the model (kem.mjs); this script moves texts and the
// focus, nothing else.
import { replayFieldKey, stopFieldsAtWidth } from './fields.mjs';
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
import { formatResultLines, makeLink, readLinkedFields } from './share.mjs';
import { keepSiteOffline } from './updates.mjs';

const body = document.body;
const mainWindow = document.querySelector('.main-window');
const aboutBox = document.querySelector('[role="dialog"]');
const reopenButton = document.querySelector('.reopen');
const pageLine = document.querySelector('.page-line');
const failure = document.querySelector('.load-failed');
let calculatorLoading = null;
let calculator = null;
let loadAttempts = 0;
// Where the focus goes when the About box closes, and the field's selection
// then: as it was when the box opened, or all of it after an Alt move.
let focusAfterAbout = null;
// The control of the window that last had the focus, for F6.
let lastInWindow = null;
// Flashes run one after the other, as they would on a window that waits.
let flashes = Promise.resolve();
let flashesPending = 0;
// Keys and clicks that came while a button was flashed: the window's thread
// was asleep, so they wait and are handled after its command, in order.
const heldInput = [];
// A press held during a flash: its click, whenever it comes, is not the
// page's to handle again.
let heldPress = false;

function findControl(id) {
  return mainWindow.querySelector(`[data-control-id="${id}"]`);
}

function inputFields() {
  return kInputIds.map(findControl);
}

function isClosed() {
  return body.dataset.state === 'closed';
}

function isAboutOpen() {
  return aboutBox.open;
}

function isInWindow() {
  return mainWindow.contains(document.activeElement);
}

function readSelection(control) {
  return control instanceof HTMLInputElement
    ? [control.selectionStart, control.selectionEnd, control.selectionDirection]
    : null;
}

// Focuses a control and selects all of its text. While the About box is
// open the main window takes no focus: the control gets it when the box
// closes.
function focusField(id) {
  const control = findControl(id);
  if (isAboutOpen()) {
    focusAfterAbout = { control, selection: 'all' };
    return;
  }
  control.focus();
  control.select?.();
}

// A result wider than its field loses its start, as in the window; the page
// marks it cut and shows the whole text on hover or focus.
function markCutResults() {
  for (const id of kResultIds) {
    const output = findControl(id);
    const text = document.createRange();
    text.selectNodeContents(output);
    const cut = text.getBoundingClientRect().width > output.clientWidth + 0.5;
    output.toggleAttribute('data-cut', cut);
    output.dataset.wholeText = output.textContent;
  }
}

function showResults(texts) {
  kResultIds.forEach((id, field) => {
    findControl(id).textContent = texts[field];
  });
  markCutResults();
}

function readInputTexts() {
  return kInputIds.map((id) => findControl(id).value);
}

// Reads the four fields and shows the six texts, then puts the focus in the
// price field. Before the model has loaded, the fields are read once it has.
function recalculate() {
  if (!calculator) {
    calculatorLoading?.then(() => calculator && recalculate());
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
  const control = document.activeElement;
  focusAfterAbout = { control, selection: readSelection(control) };
  aboutBox.showModal();
  aboutBox.querySelector(`[data-control-id="${IDOK}"]`).focus();
}

// The focus goes back where it was, the field's selection as it was; after
// an Alt move the field chosen gets it with all its text selected.
function closeAboutBox() {
  aboutBox.close();
  const { control, selection } = focusAfterAbout ?? {};
  focusAfterAbout = null;
  if (!control || !mainWindow.contains(control)) {
    return;
  }
  control.focus();
  if (selection === 'all') {
    control.select?.();
  } else if (selection) {
    control.setSelectionRange(...selection);
  }
}

// Tab stays on the box's one button; Enter and Escape close the box.
function aboutKey(key) {
  if (key === 'Enter' || key === 'Escape') {
    closeAboutBox();
  }
}

// F6: from the window to the page around it, and back to the control that
// had the focus.
function switchPane() {
  if (isInWindow()) {
    lastInWindow = document.activeElement;
    [...pageLine.querySelectorAll('a, button')].find((control) => control.checkVisibility()).focus();
  } else if (!isClosed()) {
    const control = lastInWindow && mainWindow.contains(lastInWindow) ? lastInWindow : findControl(IDC_PRICE);
    control.focus();
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
  heldInput.length = 0;
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
  body.dataset.state = calculator ? 'open' : failure.hidden ? 'loading' : 'failed';
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

function isHolding() {
  return flashesPending > 0;
}

function hold(event) {
  heldInput.push(event);
}

// Handles what came during the flashes, in order, until a held key starts
// another flash: what follows it waits for that one too.
function replayHeldInput() {
  while (heldInput.length > 0 && !isHolding() && !isClosed()) {
    const event = heldInput.shift();
    if (event.type === 'click') {
      replayClick(event.target);
    } else if (!takeKey(event) && document.activeElement instanceof HTMLInputElement) {
      replayFieldKey(document.activeElement, event);
    }
  }
}

// Shows the button pushed in for a moment, then presses it; the next flash
// waits for this one's command. Counted from the call, so that a key right
// behind the Alt letter is held.
function flashAndPress(id) {
  const button = findControl(id);
  flashesPending += 1;
  flashes = flashes.then(
    () =>
      new Promise((resolve) => {
        button.setAttribute('data-pressed', '');
        setTimeout(() => {
          button.removeAttribute('data-pressed');
          runCommand(id);
          flashesPending -= 1;
          resolve();
          replayHeldInput();
        }, kFlashMs);
      }),
  );
}

const menu = setUpMenu(mainWindow.querySelector('[role="menubar"]'), runCommand);

const takeKey = routeKeys(mainWindow, {
  menu,
  isClosed,
  isAboutOpen,
  isInWindow,
  runCommand,
  focusField,
  flashAndPress,
  aboutKey,
  switchPane,
  isHolding,
  hold,
});

// Clicks on the buttons of the window and of the About box. A label does
// nothing, as the window's static labels do: it does not move the focus.
function clickInClient(target) {
  const button = target.closest('button[data-control-id]');
  if (button) {
    runCommand(Number(button.dataset.controlId));
  }
}

// A click held during a flash: on a field it puts the focus there, on a
// button it presses it.
function replayClick(target) {
  if (target.matches('input')) {
    target.focus();
  } else if (mainWindow.contains(target) || aboutBox.contains(target)) {
    target.closest('button')?.click();
  }
}

mainWindow.querySelector('.client').addEventListener('click', (event) => {
  if (event.target.closest('label')) {
    event.preventDefault();
  }
  clickInClient(event.target);
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

// During a flash a press on the window waits, as the key does; it is
// handled as a click afterwards.
window.addEventListener(
  'mousedown',
  (event) => {
    if (isHolding() && (mainWindow.contains(event.target) || aboutBox.contains(event.target))) {
      event.preventDefault();
      event.stopPropagation();
      heldPress = true;
      heldInput.push({ type: 'click', target: event.target });
    }
  },
  true,
);
window.addEventListener(
  'click',
  (event) => {
    if (heldPress) {
      heldPress = false;
      event.preventDefault();
      event.stopPropagation();
    }
  },
  true,
);

// As in the window, a press on anything but a field or a button leaves the
// focus where it is; a result takes it, so that its text can be selected.
for (const area of [mainWindow, aboutBox]) {
  area.addEventListener('mousedown', (event) => {
    if (!event.target.closest('input, output, .client button')) {
      event.preventDefault();
    }
  });
}
mainWindow.addEventListener('focusin', (event) => (lastInWindow = event.target));
stopFieldsAtWidth(inputFields());
window.addEventListener('resize', markCutResults);

// --- The page around the window ---------------------------------------------

// #price=10&cost=8&bought=50&sold=5: the fields filled and recalculated.
function fillFromLink() {
  const texts = readLinkedFields(location.hash);
  if (!texts || isClosed()) {
    return;
  }
  inputFields().forEach((field, index) => {
    field.value = texts[index];
  });
  recalculate();
}

function resultNames() {
  return kResultIds.map((id) => document.getElementById(`label-${id}`).textContent);
}

async function copyText(text, button) {
  const status = pageLine.querySelector('.copy-status');
  try {
    await navigator.clipboard.writeText(text);
    status.textContent = button.dataset.done;
  } catch {
    status.textContent = 'The browser did not allow copying.';
  }
}

pageLine.querySelector('.copy-results').addEventListener('click', (event) => {
  const texts = kResultIds.map((id) => findControl(id).textContent);
  copyText(formatResultLines(resultNames(), texts), event.currentTarget);
});
pageLine.querySelector('.copy-link').addEventListener('click', (event) => {
  copyText(makeLink(readInputTexts()), event.currentTarget);
});
window.addEventListener('hashchange', fillFromLink);

// --- Start-up ----------------------------------------------------------------

// The model's module, imported here rather than statically, so that a page
// whose module did not arrive can say so; each try asks anew.
async function loadModel() {
  loadAttempts += 1;
  const address = loadAttempts === 1 ? './kem.mjs' : `./kem.mjs?try=${loadAttempts}`;
  const { loadCalculator } = await import(address);
  return loadCalculator();
}

function startModel() {
  failure.hidden = true;
  if (!isClosed()) {
    body.dataset.state = 'loading';
  }
  calculatorLoading = loadModel().then(
    (loaded) => {
      calculator = loaded;
      if (!isClosed()) {
        body.dataset.state = 'open';
        // After a failed start the focus was on the page's retry button.
        if (loadAttempts > 1) {
          findControl(IDC_PRICE).focus();
        }
      }
      fillFromLink();
    },
    (error) => {
      failure.querySelector('.load-failed-detail').textContent = String(error?.message ?? error);
      failure.hidden = false;
      if (!isClosed()) {
        body.dataset.state = 'failed';
      }
      failure.querySelector('.retry').focus();
    },
  );
}

failure.querySelector('.retry').addEventListener('click', startModel);
findControl(IDC_PRICE).focus();
markCutResults();
startModel();
keepSiteOffline(document.querySelector('.update-note'));
