// The catalogue view's worker: reads the dropped file in chunks through the
// catalogue library (kemcat.mjs, the same run as kemcalc --csv), keeps the
// output as blobs and what the table, the sorting and the chart need of each
// row, and answers the page's questions about them. The page's thread never
// waits on any of it.
//
// From the page:
//   {type: 'open', openId, file, delimiter} -> {type: 'header', openId, ...}
//   {type: 'run', runId, options}     -> {type: 'progress', ...}..., {type: 'done', ...}
//   {type: 'rows', runId, requestId, sort, start, count} -> {type: 'rows', ...}
//   {type: 'totals', runId, requestId, start, count} -> {type: 'totals', ...}
//   {type: 'download', runId, totals} -> {type: 'download', blob}
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
  largestRows,
  rowRange,
  sortedOrder,
} from './catalogue-rows.mjs';

// Read and fed a chunk at a time; the next chunk is read while one is fed.
const kChunkBytes = 1 << 20;
// Progress is told at most this often.
const kProgressMs = 50;
// The chart: a bar per group up to this many groups, else the groups holding
// the most average inventory; without groups, this many items.
const kChartGroups = 30;
const kChartItems = 10;

const catalogueLoading = loadCatalogue();
const decoder = new TextDecoder();
let file = null;
let latestRunId = 0;
let result = null;

function post(message) {
  self.postMessage(message);
}

async function readSlice(source, start, end) {
  return new Uint8Array(await source.slice(start, end).arrayBuffer());
}

async function openFile(message) {
  // Reading a header uses the one run the module has: a run still going
  // stops at its next chunk.
  latestRunId = null;
  const opened = message.file;
  file = opened;
  result = null;
  const catalogue = await catalogueLoading;
  const size = Math.min(opened.size, catalogue.headerBytes);
  const bytes = await readSlice(opened, 0, size);
  if (file !== opened) {
    return;
  }
  const ended = size === opened.size;
  const delimiter =
    message.delimiter === 'detect' ? catalogue.detectDelimiter(bytes, ended) : message.delimiter;
  const headerRead = catalogue.readHeader(bytes, ended, delimiter, opened.name);
  const { names, defaults } = catalogue.columns();
  post({
    type: 'header',
    openId: message.openId,
    delimiter,
    headerRead,
    names,
    defaults,
    // The header's own problem (a missing column, a quote left open), or
    // what stopped the file before its header ended.
    errorText: catalogue.status() === 'bad-data' ? catalogue.errorText() : '',
  });
}

// The output as blobs, one per chunk fed: a blob copies the bytes at once,
// out of the module's memory, and the browser may keep them outside the
// worker's memory.
function createOutput() {
  return { blobs: [], size: 0 };
}

function addOutput(output, bytes) {
  if (bytes.length > 0) {
    output.blobs.push(new Blob([bytes]));
    output.size += bytes.length;
  }
}

function finishOutput(output) {
  return new Blob(output.blobs, { type: 'text/csv' });
}

async function readText(blob, start, end) {
  return decoder.decode(await blob.slice(start, end).arrayBuffer());
}

function takeFromRun(catalogue, output, store) {
  catalogue.takeOutput((bytes) => addOutput(output, bytes));
  addRows(store, catalogue.takeRows());
}

// Feeds the file chunk by chunk; returns the run's status, or null when a
// newer run took over.
async function feedFile(catalogue, runId, source, output, store) {
  let status = 'going';
  let told = 0;
  let next = readSlice(source, 0, kChunkBytes);
  for (let offset = 0; offset < source.size && status === 'going';) {
    const bytes = await next;
    if (runId !== latestRunId) {
      return null;
    }
    offset += bytes.length;
    if (offset < source.size) {
      next = readSlice(source, offset, offset + kChunkBytes);
    }
    status = catalogue.feed(bytes);
    takeFromRun(catalogue, output, store);
    if (performance.now() - told >= kProgressMs) {
      told = performance.now();
      post({ type: 'progress', runId, bytes: offset, total: source.size, rows: store.count });
    }
  }
  if (status === 'going') {
    status = catalogue.finish();
  } else {
    // A feed that ended the run left the sink's last bytes unwritten.
    catalogue.finish();
  }
  takeFromRun(catalogue, output, store);
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
    (_, index) => index < run.columnCount && !run.figureColumns.includes(index),
  );
  return column >= 0 && row.fields[column] !== '' ? row.fields[column] : `line ${row.line}`;
}

async function makeItemChart(run) {
  const indexes = largestRows(run.store, kAverageInventory, kChartItems);
  const bars = [];
  for (const index of indexes) {
    const row = await readRow(run, index);
    bars.push({
      label: itemLabel(run, row),
      band: kReturnBands[run.store.bands[index]],
      value: run.store.keys[kReturnOnInventory][index],
      loss: run.store.keys[kGrossProfit][index] < 0,
      text: row.fields[row.fields.length - kResultCount + kReturnOnInventory] ?? '',
    });
  }
  return { grouped: false, bars, total: run.store.count };
}

// A group's gross profit is a loss: its text, "$-120.00  " (or with plain
// numbers "-120"), has a minus sign. The library gives a group's return
// and inventory as figures, not its gross profit.
function isLossText(text) {
  return /^\s*\$?-/.test(text);
}

function makeGroupChart(groups, totals) {
  let shown = groups.map((group, index) => ({ ...group, index }));
  if (shown.length > kChartGroups) {
    shown = shown
      .sort((a, b) => b.averageInventory - a.averageInventory || a.index - b.index)
      .slice(0, kChartGroups)
      .sort((a, b) => a.index - b.index);
  }
  const bars = shown.map((group) => {
    const record = totals[group.index] ?? [];
    const result = (field) => record[record.length - kResultCount + field] ?? '';
    return {
      label: group.name,
      band: group.band,
      value: group.returnOnInventory,
      loss: isLossText(result(kGrossProfit)),
      text: result(kReturnOnInventory),
    };
  });
  return { grouped: true, bars, total: groups.length };
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

async function runFile(message) {
  const { runId, options } = message;
  latestRunId = runId;
  result = null;
  const catalogue = await catalogueLoading;
  if (runId !== latestRunId) {
    return;
  }
  const startedAt = performance.now();
  const output = createOutput();
  const store = createRowStore();
  const source = file;
  catalogue.start({ ...options, inputName: source.name });
  const status = await feedFile(catalogue, runId, source, output, store);
  if (status === null) {
    return;
  }
  finishRowStore(store);
  const blob = finishOutput(output);
  const ms = performance.now() - startedAt;
  const headerEnd = catalogue.headerEnd();
  const itemsEnd = catalogue.itemsEnd();
  const header = fieldsOf(await readText(blob, 0, headerEnd), options.delimiter);
  if (runId !== latestRunId) {
    return;
  }
  // With an error the run writes no totals: the tail is empty.
  const totals = splitRecords(await readText(blob, itemsEnd, output.size), options.delimiter);
  const run = {
    runId,
    blob,
    store,
    headerEnd,
    itemsEnd,
    delimiter: options.delimiter,
    figureColumns: options.figureColumns,
    columnCount: header.length - kResultCount,
    // The groups' totals rows, kept here: the page asks for a page of them
    // at a time, as for the items, since a group column whose every value
    // differs gives a group per row.
    groupTotals: totals.slice(0, -1),
  };
  result = run;
  const groups = options.groupBy === '' ? [] : catalogue.groups();
  const chart = groups.length > 0 ? makeGroupChart(groups, totals) : await makeItemChart(run);
  post({
    type: 'done',
    runId,
    status,
    ms,
    bytes: source.size,
    rows: store.count,
    outputBytes: output.size,
    header,
    totals: describeTotals(header, totals, options.groupBy),
    chart,
    errorText: catalogue.errorText(),
    misreadText: catalogue.notesText(),
  });
}

async function sendRows(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const run = result;
  const { store } = run;
  const end = Math.min(store.count, message.start + message.count);
  const order = message.sort ? sortedOrder(store, message.sort.column, message.sort.descending) : null;
  const indexes = [];
  for (let at = message.start; at < end; ++at) {
    indexes.push(order ? order[at] : at);
  }
  const rows = await Promise.all(indexes.map((index) => readRow(run, index)));
  post({ type: 'rows', runId: message.runId, requestId: message.requestId, rows });
}

function sendTotals(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const rows = result.groupTotals.slice(message.start, message.start + message.count);
  post({ type: 'totals', runId: message.runId, requestId: message.requestId, rows });
}

function sendDownload(message) {
  if (!result || result.runId !== message.runId) {
    return;
  }
  const blob = message.totals ? result.blob : result.blob.slice(0, result.itemsEnd, 'text/csv');
  post({ type: 'download', runId: message.runId, blob });
}

const kHandlers = {
  open: openFile,
  run: runFile,
  rows: sendRows,
  totals: sendTotals,
  download: sendDownload,
};

self.addEventListener('message', (event) => {
  Promise.resolve(kHandlers[event.data.type]?.(event.data)).catch((error) => {
    const { runId, openId } = event.data;
    post({ type: 'failed', runId, openId, message: error?.message ?? String(error) });
  });
});
