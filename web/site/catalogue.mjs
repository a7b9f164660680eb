// The catalogue view: a CSV export opened or dropped, its options and
// columns chosen, then its rows, totals and chart shown and the same file
// kemcalc --csv writes offered for download. The worker does all the reading
// and every figure comes from the catalogue library; this script shows what
// the worker sends and asks it for pages of rows.
import { drawChart, kNoGroup } from './catalogue-chart.mjs';
import { kFigureNames, kResultCount } from './resource.mjs';
import { keepSiteOffline } from './updates.mjs';

// Rows of items, and of groups' totals, shown at a time.
const kPageRows = 50;

const body = document.body;
const fileInput = document.querySelector('.file-input');
const fileName = document.querySelector('.file-name');
const options = document.querySelector('.options');
const columnsBox = document.querySelector('.columns');
const pickers = kFigureNames.map((name) => columnsBox.querySelector(`select[name="${name}"]`));
const delimiterChoice = options.querySelector('select[name="delimiter"]');
const groupChoice = options.querySelector('select[name="group-by"]');
const totalsBox = options.querySelector('input[name="totals"]');
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
const downloadNote = document.querySelector('.download-note');

const worker = new Worker('catalogue-worker.mjs', { type: 'module' });
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

function makeOption(value, text) {
  const option = document.createElement('option');
  option.value = value;
  option.textContent = text;
  return option;
}

// "3: Price": a column by its number, as --columns takes it, and its name.
function columnOptions(names) {
  return names.map((name, index) => makeOption(String(index), `${index + 1}: ${name.trim()}`));
}

function fillColumnChoices(names, defaults) {
  pickers.forEach((picker, figure) => {
    picker.replaceChildren(makeOption('', '(choose)'), ...columnOptions(names));
    picker.value = defaults[figure] >= 0 ? String(defaults[figure]) : '';
  });
  groupChoice.replaceChildren(makeOption('', '(no groups)'), ...columnOptions(names));
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
  showMessage(errorText, '');
  showMessage(misreadText, '');
  progress.value = 0;
  progressText.textContent = '';
}

function openFile(chosen) {
  file = chosen;
  header = null;
  // Messages of a run still going for the file before are not this file's.
  runId += 1;
  clearResults();
  fileName.textContent = `${chosen.name} (${chosen.size} bytes)`;
  setState('reading');
  openId += 1;
  worker.postMessage({ type: 'open', openId, file, delimiter: delimiterChoice.value });
}

function onHeader(message) {
  if (message.openId !== openId) {
    return;
  }
  header = message;
  if (!message.headerRead) {
    columnsBox.hidden = true;
    // The library says why; a header longer than it reads fails there too.
    showMessage(errorText, message.errorText || `${file.name}: the header row could not be read`);
    setState('failed');
    return;
  }
  fillColumnChoices(message.names, message.defaults);
  updateTotalsBox();
  if (message.defaults.every((column) => column >= 0)) {
    startRun();
  } else {
    // The header lacks a name, or has it twice: kemcalc's message says
    // which, and the pickers are the --columns that settles it.
    showMessage(errorText, message.errorText);
    setState('choosing');
  }
}

function chosenColumns() {
  return pickers.map((picker) => (picker.value === '' ? -1 : Number(picker.value)));
}

function startRun() {
  const figureColumns = chosenColumns();
  if (!header?.headerRead || figureColumns.includes(-1)) {
    setState('choosing');
    return;
  }
  clearResults();
  runId += 1;
  sort = null;
  firstRow = 0;
  const byDefault = figureColumns.every((column, figure) => column === header.defaults[figure]);
  worker.postMessage({
    type: 'run',
    runId,
    options: {
      delimiter: header.delimiter,
      decimalComma: isChecked('decimal-comma'),
      numbers: isChecked('numbers'),
      // The columns by number, as --columns 3,4,7,8 would give them; left
      // out when they are the ones the names give anyway.
      columns: byDefault ? '' : figureColumns.map((column) => column + 1).join(','),
      groupBy: groupChoice.value === '' ? '' : String(Number(groupChoice.value) + 1),
      figureColumns,
    },
  });
  setState('running');
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

function isResultColumn(index, count) {
  return index >= count - kResultCount;
}

function makeRow(first, fields) {
  const row = document.createElement('tr');
  row.append(makeCell('td', first, 'line'));
  fields.forEach((field, index) =>
    row.append(makeCell('td', field, isResultColumn(index, fields.length) ? 'result' : '')),
  );
  return row;
}

function makeHeaderRow(firstName, names, sortable) {
  const row = document.createElement('tr');
  row.append(makeCell('th', firstName));
  names.forEach((name, index) => {
    if (!sortable || !isResultColumn(index, names.length)) {
      row.append(makeCell('th', name));
      return;
    }
    const column = index - (names.length - kResultCount);
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
    row.append(cell);
  });
  const head = document.createElement('thead');
  head.append(row);
  return head;
}

// Totals rows fill only the price column ("Total"), the group column and the
// results; the columns empty in every one of them are left out here. A page
// of the groups' rows is shown at a time, then the whole catalogue's row. A
// group whose column is empty is named "(none)", so that it does not pass
// for the whole catalogue's row.
function makeTotalsRow(fields, groupColumn) {
  const row = document.createElement('tr');
  for (const index of run.totals.shown) {
    const isNone = index === groupColumn && fields[index] === '';
    const cell = makeCell(
      'td',
      isNone ? kNoGroup : (fields[index] ?? ''),
      isResultColumn(index, run.header.length) ? 'result' : '',
    );
    cell.classList.toggle('no-group', isNone);
    row.append(cell);
  }
  return row;
}

function renderTotals(groupRows) {
  const { shown, groupCount, grand, groupColumn } = run.totals;
  const rows = document.createElement('tbody');
  rows.append(...groupRows.map((fields) => makeTotalsRow(fields, groupColumn)));
  if (grand) {
    const row = makeTotalsRow(grand, -1);
    row.classList.add('grand-total');
    rows.append(row);
  }
  const head = document.createElement('thead');
  const headRow = document.createElement('tr');
  headRow.append(...shown.map((index) => makeCell('th', run.header[index])));
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
    renderTotals(message.rows);
  }
}

function renderItems(rows) {
  const list = document.createElement('tbody');
  for (const row of rows) {
    list.append(makeRow(String(row.line), row.fields));
  }
  itemsTable.replaceChildren(makeHeaderRow('Line', run.header, true), list);
  const last = Math.min(run.rows, firstRow + kPageRows);
  pageText.textContent = run.rows === 0 ? 'No rows' : `Rows ${firstRow + 1} to ${last} of ${run.rows}`;
}

function requestPage() {
  requestId += 1;
  worker.postMessage({ type: 'rows', runId, requestId, sort, start: firstRow, count: kPageRows });
}

function onRows(message) {
  if (message.requestId === requestId && run?.runId === message.runId) {
    renderItems(message.rows);
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
  if (chartData.grouped) {
    const some = chartData.bars.length < chartData.total;
    return some
      ? `Return on inventory of the ${chartData.bars.length} groups holding the most average inventory, of ${chartData.total}`
      : 'Return on inventory per group';
  }
  return `Return on inventory of the ${chartData.bars.length} items holding the most average inventory`;
}

function onDone(message) {
  run = message;
  progress.value = 1;
  progressText.textContent = `${message.rows} rows in ${(message.ms / 1000).toFixed(2)} s`;
  progressText.dataset.rows = String(message.rows);
  progressText.dataset.ms = String(message.ms);
  showMessage(errorText, message.errorText);
  showMessage(misreadText, message.misreadText);
  totalsFirst = 0;
  renderTotals([]);
  requestTotals();
  const description = describeChart(message.chart);
  chartTitle.textContent = description;
  drawChart(chart, message.chart.bars, description);
  downloadNote.textContent =
    message.status === 'done' ? '' : 'The rows before the error, as kemcalc writes them.';
  results.hidden = false;
  setState(message.status === 'done' ? 'done' : 'stopped');
  requestPage();
}

function downloadName() {
  return `${file.name.replace(/\.[^.]*$/, '')}-kem.csv`;
}

function onDownload(message) {
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
  header: onHeader,
  progress: (message) => message.runId === runId && onProgress(message),
  done: (message) => message.runId === runId && onDone(message),
  rows: onRows,
  totals: onTotals,
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
options.addEventListener('change', (event) => {
  if (event.target === delimiterChoice || event.target === totalsBox) {
    return;
  }
  updateTotalsBox();
  startRun();
});
columnsBox.addEventListener('change', () => {
  showMessage(errorText, '');
  startRun();
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
document.querySelector('.download').addEventListener('click', () => {
  if (run) {
    worker.postMessage({ type: 'download', runId, totals: totalsBox.checked });
  }
});

setState('ready');

keepSiteOffline(document.querySelector('.update-note'));
