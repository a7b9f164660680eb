// The catalogue view's worker: reads the dropped file in chunks through the
// catalogue library (kemcat.mjs, the same run as kemcalc --csv), with the
// reports joined to it read whole first; keeps the output as blobs and what
// the table, the sorting and the chart need of each row; works out what-if
// totals from the figures the module keeps; and answers the page's
// questions about them. The page's thread never waits on any of it.
//
// From the page:
//   {type: 'open', openId, file, delimiter, reports} -> {type: 'reading', ...}...,
//                                                       {type: 'header', openId, ...}
//   {type: 'run', runId, options}     -> {type: 'progress', ...}..., {type: 'done', ...}
//                                        or {type: 'invalid', runId, bad}
//   {type: 'rows', runId, requestId, sort, start, count} -> {type: 'rows', ...}
//   {type: 'totals', runId, requestId, start, count} -> {type: 'totals', ...}
//   {type: 'whatIf', runId, requestId, changes, group, start, count} -> {type: 'whatIf', ...}
//   {type: 'download', runId, totals} -> ({type: 'downloading', ...}... with
//                                         changes shown), {type: 'download', runId, blob}
// Any failure the library does not word (a file that cannot be read) comes
// back as {type: 'failed', message}.
import { kReturnBands, loadCatalogue } from './kemcat.mjs';
import { splitRecords } from './catalogue-fields.mjs';
// The result column the chart is about, and the one it picks items by.
import { kAverageInventory, kGrossProfit, kResultCount, kReturnOnInventory } from './resource.mjs';
import {
  addRows,
  createRowStore,
  finishRowStore,
  kChangeColumn,
  largestRows,
  rowRange,
  setSortKeys,
  sortedOrder,
} from './catalogue-rows.mjs';

// Read and fed a chunk at a time; the next chunks are read while one is fed.
const kChunkBytes = 1 << 20;
const kReadAhead = 3;
const kBlobBytes = 16 << 20;
// Progress is told at most this often.
const kProgressMs = 50;
// The chart: a bar per group up to this many groups, else the groups holding
// the most average inventory; without groups, this many items.
const kChartGroups = 30;
const kChartItems = 10;
// The groups a what-if can be for, offered by name: the first ones. A group
// column with more values than this holds is a code per item, not a range.
const kScopeGroups = 1000;
// The cells a target return adds after the results.
const kTargetCells = 2;

const catalogueLoading = loadCatalogue();
const decoder = new TextDecoder();
let file = null;
// Each use of the module (an opening, a run, a download's run) takes a
// token; one that a newer use has replaced stops at its next chunk.
let moduleToken = 0;
let result = null;
// The reports read into the module, by place: what each was read from.
const reportSlots = [];

function post(message) {
  self.postMessage(message);
}

async function readSlice(source, start, end) {
  return new Uint8Array(await source.slice(start, end).arrayBuffer());
}

// Feeds `source` chunk by chunk to feed(bytes), which returns whether to go
// on, telling progress(offset) now and then; false when a newer use of the
// module took over. The chunks after the one fed are read meanwhile.
async function feedChunks(token, source, feed, progress) {
  let told = 0;
  let asked = 0;
  const reads = [];
  const askNext = () => {
    if (asked < source.size) {
      reads.push(readSlice(source, asked, asked + kChunkBytes));
      asked += kChunkBytes;
    }
  };
  for (let i = 0; i < kReadAhead; ++i) {
    askNext();
  }
  for (let offset = 0; offset < source.size;) {
    const bytes = await reads.shift();
    if (token !== moduleToken) {
      return false;
    }
    offset += bytes.length;
    askNext();
    if (!feed(bytes)) {
      break;
    }
    if (performance.now() - told >= kProgressMs) {
      told = performance.now();
      progress(offset);
    }
  }
  return true;
}

// --- Opening: the file's header, and the reports ---------------------------------

// Whether two header names stand for one column, as the library compares
// names: blanks around them dropped, ASCII letters without case.
function sameName(a, b) {
  const fold = (name) => name.trim().replace(/[A-Z]/g, (c) => c.toLowerCase());
  return fold(a) === fold(b);
}

// The keys a report is joined by when the page has not chosen them: the
// first of its columns that the main file has too, else the first columns.
function defaultKeys(mainNames, reportNames) {
  for (const [joined, name] of reportNames.entries()) {
    const main = mainNames.findIndex((mainName) => sameName(mainName, name));
    if (main >= 0) {
      return { mainKey: main, joinedKey: joined };
    }
  }
  return { mainKey: 0, joinedKey: 0 };
}

async function readHeaderOf(catalogue, source, delimiter, joined) {
  const size = Math.min(source.size, catalogue.headerBytes);
  const bytes = await readSlice(source, 0, size);
  const read = catalogue.readHeader(bytes, size === source.size, delimiter, source.name, joined);
  return {
    read,
    ...catalogue.columns(),
    errorText: catalogue.status() === 'bad-data' ? catalogue.errorText() : '',
  };
}

// Each message brings a copy of a File, never the same object: a file is
// known again by its name, size and time.
function isSameFile(a, b) {
  return a.name === b.name && a.size === b.size && a.lastModified === b.lastModified;
}

function isSameReport(slot, wanted) {
  return (
    slot !== null &&
    slot !== undefined &&
    isSameFile(slot.file, wanted.file) &&
    slot.joinedKey === wanted.joinedKey &&
    slot.delimiter === wanted.delimiter
  );
}

// Reads report `join` whole into the module, unless it holds it already.
// Resolves to {ok, rows, errorText, ms}, or null when a newer use took over.
async function readReport(catalogue, token, openId, join, wanted) {
  if (isSameReport(reportSlots[join], wanted) && reportSlots[join].ok) {
    return { ...reportSlots[join], ms: 0 };
  }
  reportSlots[join] = null;
  const startedAt = performance.now();
  const source = wanted.file;
  catalogue.joinStart(join, {
    name: source.name,
    mainKey: String(wanted.mainKey + 1),
    joinedKey: String(wanted.joinedKey + 1),
    delimiter: wanted.delimiter,
  });
  let ok = true;
  const going = await feedChunks(
    token,
    source,
    (bytes) => (ok = catalogue.joinFeed(join, bytes)),
    (offset) => post({ type: 'reading', openId, name: source.name, bytes: offset, total: source.size }),
  );
  if (!going) {
    return null;
  }
  ok = ok && catalogue.joinFinish(join);
  const slot = {
    ...wanted,
    ok,
    rows: catalogue.joinRows(join),
    errorText: ok ? '' : catalogue.joinErrorText(join),
  };
  reportSlots[join] = slot;
  return { ...slot, ms: performance.now() - startedAt };
}

// Reads each report the page chose: its header, for its key pickers, then
// the whole of it. Resolves to what the page shows of each, or null.
async function readReports(catalogue, token, openId, delimiter, mainNames, reports) {
  const answers = [];
  for (const [join, report] of reports.entries()) {
    const header = await readHeaderOf(catalogue, report.file, delimiter, false);
    if (token !== moduleToken) {
      return null;
    }
    const answer = {
      name: report.file.name,
      names: header.names,
      rows: 0,
      ms: 0,
      errorText: header.errorText,
    };
    answers.push(answer);
    if (!header.read) {
      continue;
    }
    const keys = defaultKeys(mainNames, header.names);
    answer.mainKey = report.mainKey ?? keys.mainKey;
    answer.joinedKey = report.joinedKey ?? keys.joinedKey;
    const read = await readReport(catalogue, token, openId, join, {
      file: report.file,
      mainKey: answer.mainKey,
      joinedKey: answer.joinedKey,
      delimiter,
    });
    if (!read) {
      return null;
    }
    Object.assign(answer, { rows: read.rows, ms: read.ms, errorText: read.errorText });
  }
  return answers;
}

async function openFile(message) {
  const token = ++moduleToken;
  const opened = message.file;
  file = opened;
  result = null;
  const catalogue = await catalogueLoading;
  const size = Math.min(opened.size, catalogue.headerBytes);
  const bytes = await readSlice(opened, 0, size);
  if (token !== moduleToken) {
    return;
  }
  const delimiter =
    message.delimiter === 'detect'
      ? catalogue.detectDelimiter(bytes, size === opened.size)
      : message.delimiter;
  let header = await readHeaderOf(catalogue, opened, delimiter, false);
  const mainNames = header.names;
  const reports = header.read
    ? await readReports(catalogue, token, message.openId, delimiter, mainNames, message.reports)
    : [];
  if (reports === null || token !== moduleToken) {
    return;
  }
  const reportsRead = reports.every((report) => report.errorText === '');
  catalogue.joinCount(reportsRead ? reports.length : 0);
  if (header.read && reportsRead && reports.length > 0) {
    header = await readHeaderOf(catalogue, opened, delimiter, true);
    if (token !== moduleToken) {
      return;
    }
  }
  post({
    type: 'header',
    openId: message.openId,
    delimiter,
    headerRead: header.read,
    mainNames,
    names: header.names,
    defaults: header.defaults,
    // The header's own problem (a missing column, a quote left open), or
    // what stopped the file before its header ended.
    errorText: header.errorText,
    reports,
    reportsRead,
  });
}

// --- Running -------------------------------------------------------------------

// The output as blobs: the bytes of the chunks fed are copied out of the
// module's memory and made a blob once they come to kBlobBytes, so that the
// browser may keep them outside the worker's memory; fewer, larger blobs,
// as each is handed to the browser on its own.
function createOutput() {
  return { blobs: [], pending: [], pendingSize: 0, size: 0 };
}

function keepPending(output) {
  if (output.pending.length > 0) {
    output.blobs.push(new Blob(output.pending));
    output.pending = [];
    output.pendingSize = 0;
  }
}

function addOutput(output, bytes) {
  if (bytes.length > 0) {
    output.pending.push(bytes.slice());
    output.pendingSize += bytes.length;
    output.size += bytes.length;
    if (output.pendingSize >= kBlobBytes) {
      keepPending(output);
    }
  }
}

function finishOutput(output) {
  keepPending(output);
  return new Blob(output.blobs, { type: 'text/csv' });
}

async function readText(blob, start, end) {
  return decoder.decode(await blob.slice(start, end).arrayBuffer());
}

// Feeds the file through the run started; returns the run's status, or null
// when a newer use of the module took over. `take` takes what each call
// wrote; `progress(offset)` is told now and then.
async function feedRun(catalogue, token, source, take, progress) {
  let status = 'going';
  const going = await feedChunks(
    token,
    source,
    (bytes) => {
      status = catalogue.feed(bytes);
      take();
      return status === 'going';
    },
    progress,
  );
  if (!going) {
    return null;
  }
  if (status === 'going') {
    status = catalogue.finish();
  } else {
    // A feed that ended the run left the sink's last bytes unwritten.
    catalogue.finish();
  }
  take();
  return status;
}

function fieldsOf(text, delimiter) {
  return splitRecords(text, delimiter)[0] ?? [];
}

// Rows, labels and charts are read from the run they were asked of, passed
// in: `result` may change to a newer run while a read waits.
async function readRow(run, index) {
  const [start, end] = rowRange(run.store, index, run.headerEnd);
  return {
    line: run.store.lines[index],
    fields: fieldsOf(await readText(run.blob, start, end), run.delimiter),
  };
}

// A bar's label for an item: the first of its columns that is not a figure,
// as a buyer knows the item by it, else its line.
function itemLabel(run, row) {
  const column = row.fields.findIndex(
    (_, index) => index < run.resultStart && !run.figureColumns.includes(index),
  );
  return column >= 0 && row.fields[column] !== '' ? row.fields[column] : `line ${row.line}`;
}

async function makeItemBars(run) {
  const bars = [];
  for (const index of largestRows(run.store, kAverageInventory, kChartItems)) {
    const row = await readRow(run, index);
    bars.push({
      row: index,
      label: itemLabel(run, row),
      band: kReturnBands[run.store.bands[index]],
      value: run.store.keys[kReturnOnInventory][index],
      loss: run.store.keys[kGrossProfit][index] < 0,
      text: row.fields[run.resultStart + kReturnOnInventory] ?? '',
    });
  }
  return bars;
}

// A group's bar: its figures from the library, its text from its totals row.
function makeGroupBars(groups, totals, resultStart) {
  let shown = groups.map((group, index) => ({ ...group, index }));
  if (shown.length > kChartGroups) {
    shown = shown
      .sort((a, b) => b.averageInventory - a.averageInventory || a.index - b.index)
      .slice(0, kChartGroups)
      .sort((a, b) => a.index - b.index);
  }
  return shown.map((group) => ({
    group: group.index,
    label: group.name,
    band: group.band,
    value: group.returnOnInventory,
    loss: group.grossProfit < 0,
    text: totals[group.index]?.[resultStart + kReturnOnInventory] ?? '',
  }));
}

// A bar after the change, from six results worked out again.
function afterBar(results) {
  return {
    band: results.kinds[kReturnOnInventory],
    value: results.values[kReturnOnInventory],
    loss: results.values[kGrossProfit] < 0,
    text: results.texts[kReturnOnInventory],
  };
}

// The chart of `run`, each bar with its figure after the change when a
// change is shown.
function makeChart(run, catalogue) {
  const changed = run.whatIf?.changed ?? false;
  const bars = run.bars.map((bar) => {
    if (!changed) {
      return bar;
    }
    const results =
      bar.group !== undefined ? catalogue.whatIfTotals(bar.group) : catalogue.whatIfRow(bar.row);
    return { ...bar, after: afterBar(results) };
  });
  return { grouped: run.grouped, bars, total: run.grouped ? run.groupCount : run.store.count, changed };
}

// What the page needs to show the totals: the columns filled in any totals
// row (the others are left out), how many group rows there are, the
// whole catalogue's row, the last; and the group column (-1: none).
function describeTotals(header, totals, groupBy) {
  const shown = header
    .map((_, index) => index)
    .filter((index) => totals.some((fields) => fields[index] !== ''));
  return {
    shown,
    groupCount: Math.max(0, totals.length - 1),
    grand: totals.at(-1) ?? null,
    groupColumn: groupBy === '' ? -1 : Number(groupBy) - 1,
  };
}

// kemcat.mjs's options for `options` from the page, and `extra`.
function runOptions(options, source, extra) {
  return { ...options, inputName: source.name, ...extra };
}

async function runFile(message) {
  const { runId, options } = message;
  const token = ++moduleToken;
  result = null;
  const catalogue = await catalogueLoading;
  if (token !== moduleToken) {
    return;
  }
  const startedAt = performance.now();
  const output = createOutput();
  const store = createRowStore();
  const source = file;
  const bad = catalogue.start(
    runOptions(options, source, { keepRows: true, adjust: null, adjustGroup: null }),
  );
  if (bad.length > 0) {
    post({ type: 'invalid', runId, bad });
    return;
  }
  const status = await feedRun(
    catalogue,
    token,
    source,
    () => {
      catalogue.takeOutput((bytes) => addOutput(output, bytes));
      addRows(store, catalogue.takeRows());
    },
    (offset) => post({ type: 'progress', runId, bytes: offset, total: source.size, rows: store.count }),
  );
  if (status === null) {
    return;
  }
  finishRowStore(store);
  const blob = finishOutput(output);
  const ms = performance.now() - startedAt;
  const headerEnd = catalogue.headerEnd();
  const itemsEnd = catalogue.itemsEnd();
  const reports = options.joins.map((_, join) => catalogue.joinMatches(join));
  const errorText = catalogue.errorText();
  const notesText = catalogue.notesText();
  const groups = options.groupBy === '' ? [] : catalogue.groups();
  const header = fieldsOf(await readText(blob, 0, headerEnd), options.delimiter);
  // With an error the run writes no totals: the tail is empty.
  const totals = splitRecords(await readText(blob, itemsEnd, output.size), options.delimiter);
  if (token !== moduleToken) {
    return;
  }
  const targetCells = options.targetReturn.trim() === '' ? 0 : kTargetCells;
  const resultStart = Math.max(0, header.length - kResultCount - targetCells);
  const run = {
    runId,
    options,
    source,
    blob,
    store,
    headerEnd,
    itemsEnd,
    delimiter: options.delimiter,
    figureColumns: options.figureColumns,
    resultStart,
    targetCells,
    // The groups' totals rows, kept here: the page asks for a page of them
    // at a time, as for the items, since a group column whose every value
    // differs gives a group per row.
    groupTotals: totals.slice(0, -1),
    grouped: groups.length > 0,
    groupCount: groups.length,
    whatIf: null,
  };
  run.bars = run.grouped ? makeGroupBars(groups, totals, resultStart) : await makeItemBars(run);
  if (token !== moduleToken) {
    return;
  }
  result = run;
  post({
    type: 'done',
    runId,
    status,
    ms,
    bytes: source.size,
    rows: store.count,
    outputBytes: output.size,
    header,
    resultStart,
    totals: describeTotals(header, totals, options.groupBy),
    chart: makeChart(run, catalogue),
    // The groups a what-if can be for.
    groupNames: groups.slice(0, kScopeGroups).map((group) => group.name),
    reports,
    errorText,
    notesText,
  });
}

// --- Questions about a run ------------------------------------------------------

async function sendRows(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const run = result;
  const { store } = run;
  const catalogue = await catalogueLoading;
  const end = Math.min(store.count, message.start + message.count);
  const order = message.sort ? sortedOrder(store, message.sort.column, message.sort.descending) : null;
  const indexes = [];
  for (let at = message.start; at < end; ++at) {
    indexes.push(order ? order[at] : at);
  }
  // The return after the change, and the target's cells, worked out now,
  // before any await: a newer what-if may come in while the rows are read.
  const changed = run.whatIf?.changed ?? false;
  const after = indexes.map((index) => {
    if (!changed) {
      return null;
    }
    const results = catalogue.whatIfRow(index, run.targetCells);
    return [results.texts[kReturnOnInventory], ...results.targetTexts];
  });
  const rows = await Promise.all(indexes.map((index) => readRow(run, index)));
  rows.forEach((row, at) => {
    row.after = after[at];
  });
  post({ type: 'rows', runId: message.runId, requestId: message.requestId, rows, changed });
}

// A page of the groups' totals rows, each with its results after the change
// when one is shown; and the whole catalogue's after the change.
function totalsPage(run, catalogue, start, count) {
  const changed = run.whatIf?.changed ?? false;
  const rows = run.groupTotals.slice(start, start + count).map((fields, at) => ({
    fields,
    after: changed ? catalogue.whatIfTotals(start + at).texts : null,
  }));
  return { rows, grandAfter: changed ? catalogue.whatIfTotals(-1).texts : null, changed };
}

async function sendTotals(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const catalogue = await catalogueLoading;
  const page = totalsPage(result, catalogue, message.start, message.count);
  post({ type: 'totals', runId: message.runId, requestId: message.requestId, ...page });
}

// Works out the totals again with the page's changes, from the figures the
// module kept of the run's rows.
async function sendWhatIf(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const run = result;
  const catalogue = await catalogueLoading;
  const startedAt = performance.now();
  const answer = catalogue.whatIf(message.changes, message.group);
  if (answer.bad.length === 0) {
    run.whatIf = { changed: answer.changed, changes: message.changes, group: message.group };
    setSortKeys(run.store, kChangeColumn, answer.changes);
  }
  post({
    type: 'whatIf',
    runId: message.runId,
    requestId: message.requestId,
    bad: answer.bad,
    ...(answer.bad.length === 0
      ? { ...totalsPage(run, catalogue, message.start, message.count), chart: makeChart(run, catalogue) }
      : {}),
    // When the page asked, by its clock, and how long the worker took.
    since: message.since,
    ms: performance.now() - startedAt,
  });
}

// The file kemcalc writes with the options shown: the run's output, or with
// changes shown the file run again with them.
async function sendDownload(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const run = result;
  const cut = (blob, end) => (message.totals ? blob : blob.slice(0, end, 'text/csv'));
  if (!run.whatIf?.changed) {
    post({ type: 'download', runId: run.runId, blob: cut(run.blob, run.itemsEnd) });
    return;
  }
  const token = ++moduleToken;
  const catalogue = await catalogueLoading;
  const output = createOutput();
  catalogue.start(
    runOptions(run.options, run.source, {
      keepRows: false,
      adjust: run.whatIf.changes,
      adjustGroup: run.whatIf.group,
    }),
  );
  const status = await feedRun(
    catalogue,
    token,
    run.source,
    () => {
      catalogue.takeOutput((bytes) => addOutput(output, bytes));
      catalogue.takeRows();
    },
    (offset) => post({ type: 'downloading', runId: run.runId, bytes: offset, total: run.source.size }),
  );
  if (status !== null) {
    post({ type: 'download', runId: run.runId, blob: cut(finishOutput(output), catalogue.itemsEnd()) });
  }
}

const kHandlers = {
  open: openFile,
  run: runFile,
  rows: sendRows,
  totals: sendTotals,
  whatIf: sendWhatIf,
  download: sendDownload,
};

self.addEventListener('message', (event) => {
  Promise.resolve(kHandlers[event.data.type]?.(event.data)).catch((error) => {
    const { runId, openId } = event.data;
    post({ type: 'failed', runId, openId, message: error?.message ?? String(error) });
  });
});
