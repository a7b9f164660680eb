// The catalogue view: a CSV export opened or dropped, the reports joined to
// it, its options and columns chosen, then its rows, totals and chart shown,
// with what-if totals beside them, and the same file kemcalc --csv writes
// offered for download. The worker does all the reading and every figure
// comes from the catalogue library; this script shows what the worker sends
// and asks it for pages of rows.
import { drawChart, kNoGroup } from './catalogue-chart.mjs';
import { columnOptions, createReports, makeOption } from './catalogue-reports.mjs';
import { kChangeColumn } from './catalogue-rows.mjs';
import { createWhatIf } from './catalogue-what-if.mjs';
import { kFigureNames, kResultCount, kReturnOnInventory } from './resource.mjs';
import { keepSiteOffline } from './updates.mjs';

// Rows of items, and of groups' totals, shown at a time.
const kPageRows = 50;
// The words after the name of a column shown again after the change.
const kAfterWords = ' after the change';

const body = document.body;
const fileInput = document.querySelector('.file-input');
const fileName = document.querySelector('.file-name');
const options = document.querySelector('.options');
const columnsBox = document.querySelector('.columns');
const pickers = kFigureNames.map((name) => columnsBox.querySelector(`select[name="${name}"]`));
const monthsFields = {
  boughtMonths: columnsBox.querySelector('input[name="bought-months"]'),
  soldMonths: columnsBox.querySelector('input[name="sold-months"]'),
};
const delimiterChoice = options.querySelector('select[name="delimiter"]');
const groupChoice = options.querySelector('select[name="group-by"]');
const totalsBox = options.querySelector('input[name="totals"]');
const decimalCommaBox = options.querySelector('input[name="decimal-comma"]');
const thousandsBox = options.querySelector('input[name="thousands"]');
const currencyField = options.querySelector('input[name="currency"]');
const progress = document.querySelector('.progress');
const progressText = document.querySelector('.progress-text');
const errorText = document.querySelector('.error');
const misreadText = document.querySelector('.misreads');
const results = document.querySelector('.results');
const totalsTable = document.querySelector('.totals-table');
const itemsTable = document.querySelector('.items-table');
const chart = document.querySelector('.chart');
const chartTitle = document.querySelector('.chart-title');
const pageText = document.querySelector('.page-text');
const totalsPager = document.querySelector('.totals-pager');
const totalsPageText = document.querySelector('.totals-page-text');
const downloadButton = document.querySelector('.download');
const downloadNote = document.querySelector('.download-note');

// The page's words for the options whose texts cannot be read, by the names
// the worker gives them: each names its control.
const kBadOptionTexts = {
  boughtMonths: (text) => `Bought over: "${text}" is not a number of months above 0`,
  soldMonths: (text) => `Sold over: "${text}" is not a number of months above 0`,
  targetReturn: (text) => `Target return: "${text}" is not a percentage above 0`,
  currency: (text) =>
    `Currency: "${text}" cannot name a currency: write it in at most 16 bytes, without digits, signs, points, commas, blanks or quotes, such as € or EUR`,
  ...Object.fromEntries(
    kFigureNames.map((name) => [
      name,
      (text) =>
        `${name[0].toUpperCase()}${name.slice(1)} change: "${text}" is not a percentage such as 5 or -20`,
    ]),
  ),
};

const worker = new Worker('catalogue-worker.mjs', { type: 'module' });
const reports = createReports(document.querySelector('.reports'), () => file && openFile(file, true));
const whatIf = createWhatIf(document.querySelector('.what-if-panel'), askWhatIf, () => runAgain());
let file = null;
let header = null;
let openId = 0;
let runId = 0;
let run = null;
let sort = null;
let firstRow = 0;
let requestId = 0;
let totalsFirst = 0;
let totalsRequestId = 0;
// The what-if asked last, whether one is on its way, and since when a
// change waits for its answer.
let whatIfRequestId = 0;
let whatIfAsked = false;
let whatIfWaiting = false;
let changeSince = null;
// The totals page and items page as shown, with their figures after the
// change when one is shown.
let totalsView = { rows: [], grandAfter: null, changed: false };
let itemsView = { rows: [], changed: false };

function setState(state) {
  body.dataset.state = state;
}

function showMessage(element, text) {
  element.textContent = text;
  element.hidden = text === '';
}

function isChecked(name) {
  return options.querySelector(`input[name="${name}"]`).checked;
}

// A column the user chose stays chosen while it is still there under its
// name (a report added puts its columns after the file's); else the
// default.
function keepChoice(picker, oldNames, names, fallback) {
  const chosen = picker.dataset.chosen === undefined ? -1 : Number(picker.value);
  const kept = chosen >= 0 && oldNames?.[chosen] !== undefined && oldNames[chosen] === names[chosen];
  if (!kept) {
    delete picker.dataset.chosen;
  }
  return kept ? chosen : fallback;
}

function fillColumnChoices(names, defaults, oldNames) {
  pickers.forEach((picker, figure) => {
    const chosen = keepChoice(picker, oldNames, names, defaults[figure]);
    picker.replaceChildren(makeOption('', '(choose)'), ...columnOptions(names));
    picker.value = chosen >= 0 ? String(chosen) : '';
  });
  const group = keepChoice(groupChoice, oldNames, names, -1);
  groupChoice.replaceChildren(makeOption('', '(no groups)'), ...columnOptions(names));
  groupChoice.value = group >= 0 ? String(group) : '';
  columnsBox.hidden = false;
}

// With a group column the totals rows come with it, as with kemcalc.
function updateTotalsBox() {
  totalsBox.disabled = groupChoice.value !== '';
  if (totalsBox.disabled) {
    totalsBox.checked = true;
  }
}

function clearResults() {
  run = null;
  results.hidden = true;
  whatIf.enable(false);
  // An answer on its way is for the run before; it is let go.
  whatIfAsked = false;
  whatIfWaiting = false;
  showMessage(errorText, '');
  showMessage(misreadText, '');
  progress.value = 0;
  progressText.textContent = '';
}

// Opens `chosen` with the reports chosen; `again` when it is the file
// already open (a report added or a key chosen), whose columns chosen stay.
function openFile(chosen, again = false) {
  if (!again) {
    reports.forgetKeys();
  }
  const oldNames = again && file === chosen ? header?.names : null;
  file = chosen;
  header = { oldNames };
  // Messages of a run still going for the file before are not this file's.
  runId += 1;
  clearResults();
  fileName.textContent = `${chosen.name} (${chosen.size} bytes)`;
  setState('reading');
  openId += 1;
  worker.postMessage({
    type: 'open',
    openId,
    file,
    delimiter: delimiterChoice.value,
    reports: reports.describe(),
  });
}

function onReading(message) {
  if (message.openId === openId) {
    progress.value = message.bytes / message.total;
    progressText.textContent = `Reading ${message.name}: ${message.bytes} of ${message.total} bytes`;
  }
}

function onHeader(message) {
  if (message.openId !== openId) {
    return;
  }
  const { oldNames } = header;
  header = message;
  progressText.dataset.reportsMs = String(message.reports.reduce((sum, report) => sum + report.ms, 0));
  if (!message.headerRead) {
    columnsBox.hidden = true;
    reports.show(false);
    // The library says why; a header longer than it reads fails there too.
    showMessage(errorText, message.errorText || `${file.name}: the header row could not be read`);
    setState('failed');
    return;
  }
  reports.show(true);
  reports.showHeaders(message.mainNames, message.reports);
  whatIf.show();
  if (!message.reportsRead) {
    // A report that cannot be joined: its message, and its key pickers to
    // choose again or the report to remove.
    columnsBox.hidden = true;
    showMessage(errorText, message.reports.find((report) => report.errorText).errorText);
    setState('choosing');
    return;
  }
  fillColumnChoices(message.names, message.defaults, oldNames);
  updateTotalsBox();
  if (chosenColumns().every((column) => column >= 0)) {
    startRun();
  } else {
    // The header lacks a name, or has it twice: the library's message says
    // which, and the pickers settle it.
    showMessage(errorText, message.errorText);
    setState('choosing');
  }
}

function chosenColumns() {
  return pickers.map((picker) => (picker.value === '' ? -1 : Number(picker.value)));
}

// The options the page shows, as kemcat.mjs takes them.
function readOptions(figureColumns) {
  const byDefault = figureColumns.every((column, figure) => column === header.defaults[figure]);
  return {
    delimiter: header.delimiter,
    decimalComma: isChecked('decimal-comma'),
    thousandsComma: isChecked('thousands'),
    currency: currencyField.value.trim(),
    numbers: isChecked('numbers'),
    // The columns by number, as --columns 3,4,7,8 would give them; left
    // out when they are the ones the names give anyway.
    columns: byDefault ? '' : figureColumns.map((column) => column + 1).join(','),
    groupBy: groupChoice.value === '' ? '' : String(Number(groupChoice.value) + 1),
    boughtMonths: monthsFields.boughtMonths.value,
    soldMonths: monthsFields.soldMonths.value,
    targetReturn: whatIf.targetReturn(),
    // Each report's keys by number, as --on 1=3 gives them.
    joins: header.reports.map((report) => ({
      mainKey: String(report.mainKey + 1),
      joinedKey: String(report.joinedKey + 1),
    })),
    figureColumns,
  };
}

// An option changed: the file is run again with it, unless its header is
// still being read, which starts the run with the options as they are then.
function runAgain() {
  if (body.dataset.state !== 'reading') {
    startRun();
  }
}

function startRun() {
  const figureColumns = chosenColumns();
  if (!header?.headerRead || !header.reportsRead || figureColumns.includes(-1)) {
    setState('choosing');
    return;
  }
  clearResults();
  runId += 1;
  sort = null;
  firstRow = 0;
  worker.postMessage({ type: 'run', runId, options: readOptions(figureColumns) });
  setState('running');
}

// Options whose texts cannot be read: each named, in the page's words.
function onInvalid(message) {
  const texts = {
    ...Object.fromEntries(Object.entries(monthsFields).map(([name, field]) => [name, field.value])),
    targetReturn: whatIf.targetReturn(),
    currency: currencyField.value.trim(),
    ...whatIf.changes(),
  };
  showMessage(errorText, message.bad.map((name) => kBadOptionTexts[name](texts[name].trim())).join('\n'));
  setState('choosing');
}

function onProgress(message) {
  progress.value = message.bytes / message.total;
  progressText.textContent = `${message.rows} rows, ${message.bytes} of ${message.total} bytes read`;
}

// --- Tables ----------------------------------------------------------------

function makeCell(tag, text, className) {
  const cell = document.createElement(tag);
  cell.textContent = text;
  cell.title = text;
  if (className) {
    cell.className = className;
  }
  return cell;
}

// The six results stand from column resultStart; a target return's two
// columns follow them.
function isResultColumn(index) {
  return index >= run.resultStart && index < run.resultStart + kResultCount;
}

function makeRow(first, fields, after) {
  const row = document.createElement('tr');
  row.append(makeCell('td', first, 'line'));
  // A target's cells are texts of the results' kind.
  fields.forEach((field, index) =>
    row.append(makeCell('td', field, index >= run.resultStart ? 'result' : '')),
  );
  for (const text of after ?? []) {
    row.append(makeCell('td', text, 'result after'));
  }
  return row;
}

function makeSortButton(name, column) {
  const cell = document.createElement('th');
  cell.className = 'result';
  const button = document.createElement('button');
  button.type = 'button';
  button.dataset.column = String(column);
  button.textContent = name;
  cell.append(button);
  if (sort?.column === column) {
    cell.setAttribute('aria-sort', sort.descending ? 'descending' : 'ascending');
  }
  return cell;
}

function makeHeaderRow(firstName, names, changed) {
  const row = document.createElement('tr');
  row.append(makeCell('th', firstName));
  names.forEach((name, index) => {
    row.append(isResultColumn(index) ? makeSortButton(name, index - run.resultStart) : makeCell('th', name));
  });
  if (changed) {
    // The return after the change, sorted by how far the change moves it;
    // then a target's cells after the change.
    const returnName = names[run.resultStart + kReturnOnInventory];
    const cell = makeSortButton(`${returnName}${kAfterWords}`, kChangeColumn);
    cell.classList.add('after');
    cell.title = `Sorts by how far the change moves the ${returnName.toLowerCase()}`;
    row.append(cell);
    for (const name of names.slice(run.resultStart + kResultCount)) {
      row.append(makeCell('th', `${name}${kAfterWords}`, 'after'));
    }
  }
  const head = document.createElement('thead');
  head.append(row);
  return head;
}

// A totals row's cells, each result followed by the same result after the
// change when one is shown. Totals rows fill only the price column
// ("Total"), the group column and the results; the columns empty in every
// one of them are left out here. A group whose column is empty is named
// "(none)", so that it does not pass for the whole catalogue's row.
function makeTotalsRow(fields, after, groupColumn) {
  const row = document.createElement('tr');
  for (const index of run.totals.shown) {
    const isNone = index === groupColumn && fields[index] === '';
    const cell = makeCell(
      'td',
      isNone ? kNoGroup : (fields[index] ?? ''),
      isResultColumn(index) ? 'result' : '',
    );
    cell.classList.toggle('no-group', isNone);
    row.append(cell);
    if (after && isResultColumn(index)) {
      const text = after[index - run.resultStart];
      const afterCell = makeCell('td', text, 'result after');
      afterCell.classList.toggle('moved', text !== fields[index]);
      row.append(afterCell);
    }
  }
  return row;
}

function renderTotals() {
  const { shown, groupCount, grand, groupColumn } = run.totals;
  const { changed } = totalsView;
  const rows = document.createElement('tbody');
  rows.append(
    ...totalsView.rows.map((row) => makeTotalsRow(row.fields, changed ? row.after : null, groupColumn)),
  );
  if (grand) {
    const row = makeTotalsRow(grand, changed ? totalsView.grandAfter : null, -1);
    row.classList.add('grand-total');
    rows.append(row);
  }
  const head = document.createElement('thead');
  const headRow = document.createElement('tr');
  for (const index of shown) {
    headRow.append(makeCell('th', run.header[index]));
    if (changed && isResultColumn(index)) {
      headRow.append(makeCell('th', `${run.header[index]}${kAfterWords}`, 'after'));
    }
  }
  head.append(headRow);
  totalsTable.replaceChildren(head, rows);
  totalsPager.hidden = groupCount <= kPageRows;
  const last = Math.min(groupCount, totalsFirst + kPageRows);
  totalsPageText.textContent = `Groups ${totalsFirst + 1} to ${last} of ${groupCount}`;
}

function requestTotals() {
  totalsRequestId += 1;
  worker.postMessage({
    type: 'totals',
    runId,
    requestId: totalsRequestId,
    start: totalsFirst,
    count: kPageRows,
  });
}

function onTotals(message) {
  if (message.requestId === totalsRequestId && run?.runId === message.runId) {
    totalsView = message;
    renderTotals();
  }
}

function renderItems() {
  const { rows, changed } = itemsView;
  const list = document.createElement('tbody');
  for (const row of rows) {
    list.append(makeRow(String(row.line), row.fields, changed ? row.after : null));
  }
  itemsTable.replaceChildren(makeHeaderRow('Line', run.header, changed), list);
  const last = Math.min(run.rows, firstRow + kPageRows);
  pageText.textContent = run.rows === 0 ? 'No rows' : `Rows ${firstRow + 1} to ${last} of ${run.rows}`;
}

function requestPage() {
  requestId += 1;
  worker.postMessage({ type: 'rows', runId, requestId, sort, start: firstRow, count: kPageRows });
}

function onRows(message) {
  if (message.requestId === requestId && run?.runId === message.runId) {
    itemsView = message;
    renderItems();
  }
}

// Smallest first, then largest first, then the file's order again.
function sortBy(column) {
  if (sort?.column !== column) {
    sort = { column, descending: false };
  } else {
    sort = sort.descending ? null : { column, descending: true };
  }
  firstRow = 0;
  requestPage();
}

// The first row of the page `where` (first, previous, next, last) from the
// page starting at `first`, of `count` rows.
function pageStart(where, first, count) {
  const lastPage = Math.max(0, Math.ceil(count / kPageRows) - 1) * kPageRows;
  const targets = {
    first: 0,
    previous: Math.max(0, first - kPageRows),
    next: Math.min(lastPage, first + kPageRows),
    last: lastPage,
  };
  return targets[where];
}

function turnPage(where) {
  firstRow = pageStart(where, firstRow, run.rows);
  requestPage();
}

function turnTotalsPage(where) {
  totalsFirst = pageStart(where, totalsFirst, run.totals.groupCount);
  requestTotals();
}

// --- Results -----------------------------------------------------------------

function describeChart(chartData) {
  const after = chartData.changed ? ', now and after the change' : '';
  if (chartData.grouped) {
    const some = chartData.bars.length < chartData.total;
    return some
      ? `Return on inventory of the ${chartData.bars.length} groups holding the most average inventory, of ${chartData.total}${after}`
      : `Return on inventory per group${after}`;
  }
  return `Return on inventory of the ${chartData.bars.length} items holding the most average inventory${after}`;
}

function showChart(chartData) {
  const description = describeChart(chartData);
  chartTitle.textContent = description;
  drawChart(chart, chartData.bars, description);
}

function onDone(message) {
  run = message;
  progress.value = 1;
  progressText.textContent = `${message.rows} rows in ${(message.ms / 1000).toFixed(2)} s`;
  progressText.dataset.rows = String(message.rows);
  progressText.dataset.ms = String(message.ms);
  showMessage(errorText, message.errorText);
  showMessage(misreadText, message.notesText);
  reports.showMatches(message.reports, message.status === 'done');
  totalsFirst = 0;
  totalsView = { rows: [], grandAfter: null, changed: false };
  itemsView = { rows: [], changed: false };
  renderTotals();
  showChart(message.chart);
  downloadNote.textContent =
    message.status === 'done' ? '' : 'The rows before the error, as kemcalc writes them.';
  downloadButton.disabled = false;
  results.hidden = false;
  whatIf.fillGroups(message.groupNames);
  // What-if totals are of a whole file.
  whatIf.enable(message.status === 'done');
  whatIf.showNote('');
  setState(message.status === 'done' ? 'done' : 'stopped');
  if (message.status === 'done' && whatIf.hasChanges()) {
    askWhatIf();
  } else {
    requestTotals();
    requestPage();
  }
}

// --- What if -------------------------------------------------------------------

// Asks the worker for the totals with the changes shown; a change made while
// one is on its way is asked for once it is answered.
function askWhatIf() {
  if (!run || run.status !== 'done') {
    return;
  }
  changeSince ??= performance.now();
  if (whatIfAsked) {
    whatIfWaiting = true;
    return;
  }
  whatIfAsked = true;
  whatIfWaiting = false;
  whatIfRequestId += 1;
  worker.postMessage({
    type: 'whatIf',
    runId,
    requestId: whatIfRequestId,
    changes: whatIf.changes(),
    group: whatIf.group(),
    since: changeSince,
    start: totalsFirst,
    count: kPageRows,
  });
  changeSince = null;
}

function onWhatIf(message) {
  if (run?.runId !== message.runId) {
    return;
  }
  whatIfAsked = false;
  if (message.bad.length > 0) {
    const changes = whatIf.changes();
    whatIf.showNote(message.bad.map((name) => kBadOptionTexts[name](changes[name])).join('\n'));
  } else {
    whatIf.showNote('');
    totalsView = message;
    renderTotals();
    showChart(message.chart);
    // Sorted by the change, the rows' order is the change's.
    if (sort?.column === kChangeColumn && !message.changed) {
      sort = null;
    }
    requestPage();
    chart.dataset.whatIfId = String(message.requestId);
    chart.dataset.whatIfMs = String(performance.now() - message.since);
  }
  if (whatIfWaiting) {
    askWhatIf();
  }
}

// --- Download --------------------------------------------------------------------

function downloadName() {
  return `${file.name.replace(/\.[^.]*$/, '')}-kem.csv`;
}

function requestDownload() {
  if (!run) {
    return;
  }
  if (totalsView.changed) {
    // The file is written again with the changes: they stay as they are
    // until it is.
    whatIf.enable(false);
    downloadButton.disabled = true;
    downloadNote.textContent = 'Writing the file with the changes';
  }
  worker.postMessage({ type: 'download', runId, totals: totalsBox.checked });
}

function onDownloading(message) {
  if (message.runId === runId) {
    downloadNote.textContent = `Writing the file with the changes: ${message.bytes} of ${message.total} bytes read`;
  }
}

function onDownload(message) {
  if (message.runId !== runId) {
    return;
  }
  if (downloadButton.disabled) {
    downloadButton.disabled = false;
    downloadNote.textContent = '';
    whatIf.enable(run?.status === 'done');
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(message.blob);
  link.download = downloadName();
  link.click();
  // The browser has taken the address once the click is handled.
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

function onFailed(message) {
  // A failure of a run or an opening that a newer one has replaced is no
  // longer the user's concern.
  if ((message.runId ?? runId) !== runId || (message.openId ?? openId) !== openId) {
    return;
  }
  showMessage(errorText, `${file?.name ?? 'The file'}: ${message.message}`);
  setState('failed');
}

const kHandlers = {
  reading: onReading,
  header: onHeader,
  invalid: (message) => message.runId === runId && onInvalid(message),
  progress: (message) => message.runId === runId && onProgress(message),
  done: (message) => message.runId === runId && onDone(message),
  rows: onRows,
  totals: onTotals,
  whatIf: onWhatIf,
  downloading: onDownloading,
  download: onDownload,
  failed: onFailed,
};

worker.addEventListener('message', (event) => kHandlers[event.data.type]?.(event.data));
worker.addEventListener('error', (event) => {
  showMessage(errorText, `The catalogue view could not start: ${event.message ?? 'its worker failed'}`);
  setState('failed');
});

// --- Controls ----------------------------------------------------------------

fileInput.addEventListener('change', () => {
  if (fileInput.files.length > 0) {
    openFile(fileInput.files[0]);
  }
});

// The whole page takes a dropped file.
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  body.classList.add('dragging');
});
document.addEventListener('dragleave', () => body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  body.classList.remove('dragging');
  const dropped = event.dataTransfer?.files?.[0];
  if (dropped) {
    openFile(dropped);
  }
});

delimiterChoice.addEventListener('change', () => file && openFile(file));
// A decimal comma and thousands commas exclude each other: with a decimal
// comma, points and blanks group the thousands.
decimalCommaBox.addEventListener('change', () => {
  thousandsBox.checked = thousandsBox.checked && !decimalCommaBox.checked;
});
thousandsBox.addEventListener('change', () => {
  decimalCommaBox.checked = decimalCommaBox.checked && !thousandsBox.checked;
});
options.addEventListener('change', (event) => {
  if (event.target === delimiterChoice || event.target === totalsBox) {
    return;
  }
  if (event.target === groupChoice) {
    groupChoice.dataset.chosen = '';
  }
  updateTotalsBox();
  runAgain();
});
columnsBox.addEventListener('change', (event) => {
  if (event.target.tagName === 'SELECT') {
    event.target.dataset.chosen = '';
  }
  showMessage(errorText, '');
  runAgain();
});

itemsTable.addEventListener('click', (event) => {
  const button = event.target.closest('button[data-column]');
  if (button && run) {
    sortBy(Number(button.dataset.column));
  }
});
document.querySelector('.items-pager').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-page]');
  if (button && run) {
    turnPage(button.dataset.page);
  }
});
totalsPager.addEventListener('click', (event) => {
  const button = event.target.closest('button[data-totals-page]');
  if (button && run) {
    turnTotalsPage(button.dataset.totalsPage);
  }
});
downloadButton.addEventListener('click', requestDownload);

setState('ready');

keepSiteOffline(document.querySelector('.update-note'));
