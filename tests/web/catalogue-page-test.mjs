// The catalogue view in real Chromium: a generated export of a million rows
// with extra columns opened on the page, the progress bar moving, keys
// answered during the run, the download equal to kemcalc's output and the
// speed beside kemcalc's; a dropped file with a missing column and the
// pickers; a quote left open; sorting; group totals and the chart; the way
// there and back; offline.
//
// Usage: node tests/web/catalogue-page-test.mjs SITE_DIR KEMCALC
// Environment: KEM_CATALOGUE_ROWS (default 1000000), KEM_GROUP_ROWS (default
// 200000, the rows of the export grouped by a column of all-different values).
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';

import {
  dropFile,
  kWaitMs,
  openCalculator,
  openCatalogue,
  startSite,
  visitThenGoOffline,
} from './browser.mjs';
import {
  kProductsExport,
  kPurchasesReport,
  kSalesReport,
  writeDistinctExport,
  writeShopExport,
} from './catalogue-exports.mjs';
import { runKemcalcCsv } from './kemcalc.mjs';
import { recordCatalogueKeys } from './page-timing.mjs';
import { makeRandom, pick } from './seeded-random.mjs';

const [siteDir, kemcalcPath] = process.argv.slice(2);
const kemcalc = resolve(kemcalcPath);
const kBigRows = Number(process.env.KEM_CATALOGUE_ROWS ?? 1000000);
// A group column whose every value differs: a group per row.
const kGroupRows = Number(process.env.KEM_GROUP_ROWS ?? 200000);
// Keys pressed while the big run goes on; how fast they are answered, and
// how fast the rows are read, is bench/web_bench.mjs's business.
const kKeyPresses = 8;
// A big run is given this long.
const kRunWaitMs = 120000;
let site;
let workDir;

before(async () => {
  site = await startSite(siteDir);
  workDir = mkdtempSync(join(tmpdir(), 'kem-catalogue-page-'));
});

after(async () => {
  await site?.stop();
  rmSync(workDir, { recursive: true, force: true });
});

function writeFile(name, text) {
  const path = join(workDir, name);
  writeFileSync(path, text);
  return path;
}

// kemcalc --csv ARGS on the file: output, messages without the program's
// name, and the time it took.
function runKemcalc(path, args) {
  return runKemcalcCsv(kemcalc, workDir, path.split('/').pop(), args);
}

// A plain RFC 4180 reader for kemcalc's output, kept apart from the page's.
function parseCsv(text, delimiter = ',') {
  const records = [];
  let fields = [];
  let field = '';
  let quoted = false;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (quoted) {
      if (c === '"' && text[i + 1] === '"') {
        field += '"';
        ++i;
      } else if (c === '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c === '"') {
      quoted = true;
    } else if (c === delimiter) {
      fields.push(field);
      field = '';
    } else if (c === '\n') {
      fields.push(field.replace(/\r$/, ''));
      records.push(fields);
      fields = [];
      field = '';
    } else {
      field += c;
    }
  }
  return records;
}

// Every text the page's messages show, kept as it appears (run in the page
// before its scripts): each test checks them all at its end.
// Counts too the runs that came to an end, for runAfter.
function recordMessages() {
  window.kemMessages = [];
  window.kemEnds = 0;
  const ends = ['done', 'stopped', 'failed', 'choosing'];
  let state = '';
  new MutationObserver(() => {
    for (const element of document.querySelectorAll('[data-message]')) {
      const text = element.textContent;
      if (text !== '' && !window.kemMessages.includes(text)) {
        window.kemMessages.push(text);
      }
    }
    const now = document.body?.dataset.state;
    if (now !== state && ends.includes(now)) {
      window.kemEnds += 1;
    }
    state = now;
  }).observe(document, {
    subtree: true,
    childList: true,
    characterData: true,
    attributes: true,
  });
}

// Does `action` and waits until a run it started comes to an end, or stops
// to have columns chosen; resolves to the page's state then.
async function runAfter(page, action) {
  const before = await page.evaluate(() => window.kemEnds);
  await action();
  await page.waitForFunction((count) => window.kemEnds > count, before);
  return page.evaluate(() => document.body.dataset.state);
}

// The catalogue view with its messages recorded.
async function openView(site, { viewport = { width: 1100, height: 900 } } = {}) {
  const context = await site.browser.newContext({ viewport, acceptDownloads: true });
  await context.addInitScript(recordMessages);
  return openCatalogue(site, { context });
}

// The page's messages are in its own words: the page has controls, and no
// message names a command-line option. Then the page is closed.
async function closeView(page) {
  const messages = await page.evaluate(() => window.kemMessages);
  for (const message of messages) {
    assert.doesNotMatch(message, /--[a-z]/);
  }
  assert.deepEqual(page.errors, []);
  await page.context().close();
}

async function waitForRunEnd(page, timeout = kWaitMs) {
  await page.waitForFunction(
    () => ['done', 'stopped', 'failed'].includes(document.body.dataset.state),
    null,
    {
      timeout,
    },
  );
  return page.evaluate(() => document.body.dataset.state);
}

async function download(page) {
  const [saved] = await Promise.all([page.waitForEvent('download'), page.click('.download')]);
  return readFileSync(await saved.path());
}

// The items table: each row's line and cells, and the pager's text.
async function readItems(page) {
  return page.$$eval('.items-table tbody tr', (rows) =>
    rows.map((row) => [...row.cells].map((cell) => cell.textContent)),
  );
}

// The totals table: its column names and its rows.
async function readTotals(page) {
  return page.$eval('.totals-table', (table) => ({
    names: [...table.tHead.rows[0].cells].map((cell) => cell.textContent),
    rows: [...table.tBodies[0].rows].map((row) => [...row.cells].map((cell) => cell.textContent)),
  }));
}

test(`a ${kBigRows}-row export: progress, keys answered during the run, and the download kemcalc writes`, async () => {
  const path = join(workDir, 'export.csv');
  await writeShopExport(path, kBigRows);
  const expected = runKemcalc(path, ['--totals']);
  const page = await openView(site);
  await page.evaluate(recordCatalogueKeys);
  await page.setInputFiles('.file-input', path);
  await page.waitForFunction(() => document.body.dataset.state === 'running');
  await page.waitForFunction(() => document.querySelector('.progress').value > 0, null, {
    timeout: kRunWaitMs,
  });
  for (let i = 0; i < kKeyPresses; ++i) {
    await page.keyboard.press('Tab');
  }
  assert.equal(await waitForRunEnd(page, kRunWaitMs), 'done');
  const log = await page.evaluate(() => window.kemLog);
  const rows = await page.$eval('.progress-text', (element) => Number(element.dataset.rows));
  assert.equal(rows, kBigRows);
  const moving = new Set(log.progress.filter((value) => value > 0 && value < 1));
  assert.ok(moving.size >= 3, `the progress bar showed ${[...moving]}`);
  const keysDuringRun = log.keys.filter((key) => key.state === 'running');
  assert.ok(keysDuringRun.length >= kKeyPresses / 2, `${keysDuringRun.length} keys answered during the run`);

  const downloaded = await download(page);
  assert.equal(downloaded.length, expected.output.length);
  assert.ok(downloaded.equals(expected.output), 'the download differs from kemcalc --csv --totals');
  assert.equal(await page.$eval('.misreads', (element) => element.hidden), true);
  assert.deepEqual(page.errors, []);
  await closeView(page);
});

test('a dropped file without a bought column: the message and the pickers, then the run', async () => {
  const text = 'SKU,Name,Price,Cost,Units,Sold\nA1,Widget,2,1,3,2\nB2,"Box, big",$10,$8,50,5\n';
  const path = writeFile('missing.csv', text);
  const page = await openView(site);
  await dropFile(page, 'missing.csv', text);
  await page.waitForFunction(() => document.body.dataset.state === 'choosing');
  // kemcalc's facts, with the page's own control as the way out.
  const [kemcalcMessage] = runKemcalc(path, []).messages;
  assert.equal(
    await page.textContent('.error'),
    kemcalcMessage.replace(
      'name the four with --columns PRICE,COST,BOUGHT,SOLD',
      'choose the four under Columns',
    ),
  );
  // Each picker lists the header's columns; the names found are chosen.
  const pickers = await page.$$eval('.columns select', (selects) =>
    selects.map((select) => ({
      name: select.name,
      value: select.value,
      options: [...select.options].map((option) => option.textContent),
    })),
  );
  const columns = ['(choose)', '1: SKU', '2: Name', '3: Price', '4: Cost', '5: Units', '6: Sold'];
  assert.deepEqual(pickers, [
    { name: 'price', value: '2', options: columns },
    { name: 'cost', value: '3', options: columns },
    { name: 'bought', value: '', options: columns },
    { name: 'sold', value: '5', options: columns },
  ]);
  await page.selectOption('select[name="bought"]', '4');
  assert.equal(await waitForRunEnd(page), 'done');
  assert.equal(await page.$eval('.error', (element) => element.hidden), true);
  const expected = runKemcalc(path, ['--totals', '--columns', '3,4,5,6']);
  assert.ok((await download(page)).equals(expected.output));
  assert.deepEqual(page.errors, []);
  await closeView(page);
});

test('a quote left open: the line kemcalc names, and the rows before it', async () => {
  const text = 'sku,price,cost,bought,sold\nA,2,1,3,2\nB,$10,$8,50,5\n"C,5,6,10,10\nD,1,1,1,1\n';
  const path = writeFile('open-quote.csv', text);
  const page = await openView(site);
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page), 'stopped');
  const expected = runKemcalc(path, ['--totals']);
  assert.deepEqual(expected.messages, [
    'open-quote.csv: line 4: field 1: a quoted field is not closed before the end of the input',
  ]);
  assert.equal(await page.textContent('.error'), expected.messages[0]);
  const items = await readItems(page);
  assert.deepEqual(
    items.map((cells) => cells.slice(0, 2)),
    [
      ['2', 'A'],
      ['3', 'B'],
    ],
  );
  assert.ok((await download(page)).equals(expected.output));
  await closeView(page);
});

// Each row's place in the order of return on inventory, from kemcalc's own
// output: its plain number, or for the texts without one, "Infinite" above
// every number and "Negative" below (its number, or a NaN, lowest).
function returnRanks(path) {
  const texts = parseCsv(runKemcalc(path, []).output.toString()).slice(1);
  const numbers = parseCsv(runKemcalc(path, ['--numbers']).output.toString()).slice(1);
  return texts.map((row, index) => {
    const text = row.at(-1);
    const number = numbers[index].at(-1);
    if (text === 'Infinite') {
      return Infinity;
    }
    if (number === '') {
      return text === 'Negative' ? -Infinity : Infinity;
    }
    return Number(number);
  });
}

test('sorting by return on inventory, smallest first and largest first, across pages', async () => {
  const random = makeRandom(99);
  const lines = ['sku,price,cost,bought,sold'];
  const shapes = [
    () => [
      1 + Math.floor(random() * 900) / 10,
      1 + Math.floor(random() * 900) / 10,
      1 + Math.floor(random() * 90),
      1 + Math.floor(random() * 90),
    ],
    () => [0, 5, 0, 1 + Math.floor(random() * 9)],
    () => [0, 0, 0, 0],
    () => ['1e400', 2, 1, 0],
    () => [2, 1, 3, 2],
  ];
  for (let i = 0; i < 130; ++i) {
    lines.push([`S${i}`, ...pick(random, shapes)()].join(','));
  }
  const text = `${lines.join('\n')}\n`;
  const path = writeFile('sort.csv', text);
  const ranks = returnRanks(path);
  const page = await openView(site);
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page), 'done');

  const readAllPages = async () => {
    const seen = [];
    await page.click('.pager [data-page="first"]');
    for (;;) {
      await page.waitForFunction((first) => {
        const cell = document.querySelector('.items-table tbody tr td');
        return cell && document.querySelector('.page-text').textContent.startsWith(`Rows ${first} `);
      }, seen.length + 1);
      const items = await readItems(page);
      seen.push(...items.map((cells) => ({ line: Number(cells[0]), text: cells.at(-1) })));
      if (seen.length >= ranks.length) {
        return seen;
      }
      await page.click('.pager [data-page="next"]');
    }
  };
  const sortButton = page.locator('.items-table th.result button').last();
  assert.equal(await sortButton.textContent(), 'Return on Inventory');
  for (const descending of [false, true]) {
    await sortButton.click();
    await page.waitForSelector(`.items-table th[aria-sort="${descending ? 'descending' : 'ascending'}"]`);
    const seen = await readAllPages();
    assert.deepEqual(
      seen.map((row) => row.line).sort((a, b) => a - b),
      ranks.map((_, index) => index + 2),
    );
    const order = seen.map((row) => ranks[row.line - 2]);
    for (let i = 1; i < order.length; ++i) {
      const inOrder = descending ? order[i - 1] >= order[i] : order[i - 1] <= order[i];
      assert.ok(inOrder, `rows ${i} and ${i + 1}: ${order[i - 1]} then ${order[i]}`);
    }
  }
  await closeView(page);
});

test('group totals equal kemcalc --totals --group-by, and the chart has one bar per group', async () => {
  const random = makeRandom(5);
  const lines = ['sku,category,price,cost,bought,sold'];
  // tools make a loss, toys earn above 1000%, the others in between.
  const groups = {
    tools: () => [5, 6, 10, 10],
    toys: () => [2, 1, 3, 2],
    'food, fresh': () => [`$${10 + Math.floor(random() * 10)}`, '$8', 50, 5],
    garden: () => [12, 9, 1 + Math.floor(random() * 40), 1 + Math.floor(random() * 30)],
  };
  const names = Object.keys(groups);
  for (let i = 0; i < 60; ++i) {
    const group = names[(i * 7) % names.length];
    lines.push([`S${i}`, `"${group}"`, ...groups[group]()].join(','));
  }
  const text = `${lines.join('\r\n')}\r\n`;
  const path = writeFile('groups.csv', text);
  const page = await openView(site);
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page), 'done');
  await page.selectOption('select[name="group-by"]', { label: '2: category' });
  await page.waitForFunction(() => document.querySelector('.chart-title').textContent.includes('per group'));
  assert.equal(await waitForRunEnd(page), 'done');

  const expected = runKemcalc(path, ['--totals', '--group-by', '2']);
  const records = parseCsv(expected.output.toString());
  const expectedTotals = records.slice(-(names.length + 1));
  // The table leaves out the columns empty in every totals row.
  const totals = await readTotals(page);
  const shown = records[0]
    .map((_, index) => index)
    .filter((index) => expectedTotals.some((row) => row[index] !== ''));
  assert.deepEqual(
    totals.names,
    shown.map((index) => records[0][index]),
  );
  assert.deepEqual(
    totals.rows,
    expectedTotals.map((row) => shown.map((index) => row[index])),
  );
  const bars = await page.$$eval('.chart g.bar', (elements) =>
    elements.map((bar) => ({ label: bar.querySelector('.bar-label').textContent, band: bar.dataset.band })),
  );
  // In order of first appearance, as the totals rows.
  assert.deepEqual(bars, [
    { label: 'tools', band: 'negative' },
    { label: 'garden', band: 'shown' },
    { label: 'food, fresh', band: 'shown' },
    { label: 'toys', band: 'above-limit' },
  ]);
  assert.equal(await page.$$eval('.chart .negative-band, .chart .above-band', (bands) => bands.length), 2);
  assert.ok((await download(page)).equals(expected.output));
  assert.deepEqual(page.errors, []);
  await closeView(page);
});

test('semicolons found in the header, figures with a decimal comma, plain numbers', async () => {
  const text =
    'Artikel;Preis;Kosten;bought;sold;price;cost\n1;x;y;4;3;1.299,50;899,00\n2;x;y;1 200;1.100;12,5;10\n';
  const path = writeFile('semicolons.csv', text);
  const page = await openView(site);
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page), 'done');
  // Without a decimal comma the figures are not read whole, and it says so.
  const plain = runKemcalc(path, ['--delimiter', ';', '--totals']);
  assert.equal(
    await page.textContent('.misreads'),
    plain.messages.at(-1).replace('give --decimal-comma', 'tick "Figures written with a decimal comma"'),
  );
  await page.check('input[name="decimal-comma"]');
  await page.check('input[name="numbers"]');
  await page.waitForFunction(() => document.querySelector('.items-table td.result'));
  assert.equal(await waitForRunEnd(page), 'done');
  assert.equal(await page.$eval('.misreads', (element) => element.hidden), true);
  const expected = runKemcalc(path, ['--delimiter', ';', '--decimal-comma', '--numbers', '--totals']);
  assert.ok((await download(page)).equals(expected.output));
  // Without the totals rows: kemcalc without --totals.
  await page.uncheck('input[name="totals"]');
  const withoutTotals = runKemcalc(path, ['--delimiter', ';', '--decimal-comma', '--numbers']);
  assert.ok((await download(page)).equals(withoutTotals.output));
  await closeView(page);
});

test('from the calculator to the catalogue view and back', async () => {
  const calculator = await openCalculator(site);
  await calculator.click('a[href="catalogue.html"]');
  await calculator.waitForFunction(() => document.body.dataset.state === 'ready');
  await calculator.click('.view-link');
  await calculator.waitForSelector('body[data-state="open"]');
  assert.deepEqual(calculator.errors, []);
  await calculator.context().close();
});

test("offline after a first visit, and no request but the site's own files", async () => {
  const requests = [];
  const { context, page, address } = await visitThenGoOffline(site, siteDir, {
    contextOptions: { acceptDownloads: true },
    watch: (context) => context.on('request', (request) => requests.push(new URL(request.url()))),
  });
  await page.goto(new URL('catalogue.html', address).href);
  await page.waitForFunction(() => document.body.dataset.state === 'ready');
  const path = writeFile('offline.csv', 'price,cost,bought,sold\n$10,$8,50,5\n');
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page), 'done');
  assert.ok((await download(page)).equals(runKemcalc(path, ['--totals']).output));
  const origin = new URL(address).origin;
  const elsewhere = requests.filter(
    (url) => url.origin !== origin && !['blob:', 'data:'].includes(url.protocol),
  );
  assert.deepEqual(elsewhere, []);
  await context.close();
});

test(`grouped by a column whose ${kGroupRows} values all differ: the totals come a page at a time`, async () => {
  const path = join(workDir, 'distinct.csv');
  await writeDistinctExport(path, kGroupRows);
  const expected = parseCsv(runKemcalc(path, ['--totals', '--group-by', '1']).output.toString());
  const groupRows = expected.slice(-(kGroupRows + 1), -1);
  const page = await openView(site);
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page, kRunWaitMs), 'done');
  await page.selectOption('select[name="group-by"]', { label: '1: sku' });
  await page.waitForFunction(() => document.body.dataset.state === 'running');
  assert.equal(await waitForRunEnd(page, kRunWaitMs), 'done');
  await page.evaluate(recordCatalogueKeys);
  const pageText = page.locator('.totals-page-text');
  for (const [where, first] of [
    ['first', 0],
    ['last', kGroupRows - (kGroupRows % 50 || 50)],
    ['previous', kGroupRows - (kGroupRows % 50 || 50) - 50],
  ]) {
    await page.click(`[data-totals-page="${where}"]`);
    const last = Math.min(kGroupRows, first + 50);
    await page.waitForFunction(
      ([text]) => document.querySelector('.totals-page-text').textContent === text,
      [`Groups ${first + 1} to ${last} of ${kGroupRows}`],
    );
    const totals = await readTotals(page);
    // A page of groups, then the whole catalogue's row.
    assert.equal(totals.rows.length, last - first + 1, await pageText.textContent());
    assert.deepEqual(totals.rows.at(0)[0], groupRows[first][0]);
    assert.deepEqual(totals.rows.at(-2).at(-1), groupRows[last - 1].at(-1));
    assert.deepEqual(totals.rows.at(-1).at(-1), expected.at(-1).at(-1));
  }
  // The page still answers keys.
  for (let i = 0; i < 4; ++i) {
    await page.keyboard.press('Tab');
  }
  await page.waitForFunction(() => window.kemLog.keys.length >= 4);
  assert.deepEqual(page.errors, []);
  await closeView(page);
});

test('a loss is never the longest bar, and a group with an empty column is named (none)', async () => {
  // An item with no stock that sells below its cost: return "Infinite", a
  // loss. Alone in the empty group and in group y; x and z earn.
  const text = 'sku,group,price,cost,bought,sold\nA,,5,6,0,10\nB,x,2,1,3,2\nC,y,5,6,0,10\nD,z,12,9,10,5\n';
  const path = writeFile('losses.csv', text);
  const page = await openView(site);
  await page.setInputFiles('.file-input', path);
  assert.equal(await waitForRunEnd(page), 'done');
  const readBars = () =>
    page.$$eval('.chart g.bar', (bars) => {
      const zero = Number(document.querySelector('.chart .axis').getAttribute('x1'));
      return bars.map((bar) => {
        const rect = bar.querySelector('.bar-rect');
        return {
          label: bar.querySelector('.bar-label').textContent,
          loss: bar.hasAttribute('data-loss'),
          leftOfZero: Number(rect.getAttribute('x')) < zero,
          width: Number(rect.getAttribute('width')),
        };
      });
    });
  for (const grouped of [false, true]) {
    if (grouped) {
      await page.selectOption('select[name="group-by"]', { label: '2: group' });
      await page.waitForFunction(() =>
        document.querySelector('.chart-title').textContent.includes('per group'),
      );
      assert.equal(await waitForRunEnd(page), 'done');
    }
    const bars = await readBars();
    const losses = bars.filter((bar) => bar.loss);
    assert.deepEqual(
      losses.map((bar) => bar.label),
      grouped ? ['(none)', 'y'] : ['A', 'C'],
    );
    const longest = Math.max(...bars.map((bar) => bar.width));
    for (const bar of losses) {
      assert.ok(bar.leftOfZero && bar.width < longest, JSON.stringify(bar));
    }
  }
  const totals = await readTotals(page);
  assert.deepEqual(
    totals.rows.map((row) => row[totals.names.indexOf('group')]),
    ['(none)', 'x', 'y', 'z', ''],
  );
  await closeView(page);
});

test('printed on A4, the tables keep every column on the sheet', async () => {
  const names = Array.from({ length: 14 }, (_, i) => `Column with a long name ${i}`);
  const row = names.map((_, i) => `a fairly long value ${i}`);
  const text = `${[...names, 'price', 'cost', 'bought', 'sold'].join(',')}\n${[...row, 2, 1, 3, 2].join(',')}\n`;
  // The printable width of A4 with margins of 12 mm, in CSS pixels.
  const page = await openView(site, { viewport: { width: 703, height: 1000 } });
  await dropFile(page, 'wide.csv', text);
  await page.waitForFunction(() => document.body.dataset.state === 'done');
  await page.waitForSelector('.items-table tbody tr');
  await page.emulateMedia({ media: 'print' });
  const overflow = await page.$$eval('.table-wrap', (wraps) =>
    wraps.map((wrap) => wrap.scrollWidth - wrap.clientWidth),
  );
  assert.deepEqual(overflow, [0, 0]);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth));
  assert.equal(await page.locator('.file-panel').isVisible(), false);
  await closeView(page);
});

// The count in the first of kemcalc's `messages` that `pattern` (its number
// in a group) matches, or 0.
function countIn(messages, pattern) {
  for (const message of messages) {
    const found = pattern.exec(message);
    if (found) {
      return Number(found[1]);
    }
  }
  return 0;
}

async function typeAndEnter(page, selector, text) {
  await page.fill(selector, text);
  await page.press(selector, 'Enter');
}

test('products with a 90-day sales report and a 6-month purchases report, added on the page: the joined columns, the rows unmatched, and the bytes of kemcalc --join', async () => {
  const [products, sales, received] = [kProductsExport, kSalesReport, kPurchasesReport].map((file) =>
    writeFile(file.name, file.text),
  );
  const page = await openView(site);
  assert.equal(await runAfter(page, () => page.setInputFiles('.file-input', products)), 'choosing');
  for (const [index, report] of [sales, received].entries()) {
    await page.click('.add-report');
    const state = await runAfter(page, () =>
      page.setInputFiles(`.report >> nth=${index} >> input[type="file"]`, report),
    );
    assert.equal(state, 'choosing');
  }
  // The keys: a name both files have, else the first columns.
  const keys = await page.$$eval('.report select', (selects) =>
    selects.map((select) => select.selectedOptions[0].textContent),
  );
  assert.deepEqual(keys, ['1: SKU', '1: sku', '1: SKU', '1: Item']);
  // The pickers list the joined header, numbered as kemcalc numbers it.
  const columns = await page.$eval('select[name="bought"]', (select) =>
    [...select.options].map((option) => option.textContent),
  );
  const header = ['SKU', 'Title', 'Category', 'Price', 'Cost', 'Stock', 'units_sold', 'units_received'];
  assert.deepEqual(columns, ['(choose)', ...header.map((name, index) => `${index + 1}: ${name}`)]);
  await page.selectOption('select[name="bought"]', { label: '8: units_received' });
  assert.equal(
    await runAfter(page, () => page.selectOption('select[name="sold"]', { label: '7: units_sold' })),
    'done',
  );
  await runAfter(page, () => typeAndEnter(page, 'input[name="sold-months"]', kSalesReport.months));
  await runAfter(page, () => typeAndEnter(page, 'input[name="bought-months"]', kPurchasesReport.months));
  assert.equal(
    await runAfter(page, () => page.selectOption('select[name="group-by"]', { label: '3: Category' })),
    'done',
  );

  const joins = [
    '--totals',
    '--join',
    kSalesReport.name,
    '--on',
    'SKU=sku',
    '--join',
    kPurchasesReport.name,
    '--on',
    'SKU=Item',
    '--columns',
    'Price,Cost,units_received,units_sold',
    '--sold-months',
    kSalesReport.months,
    '--bought-months',
    kPurchasesReport.months,
  ];
  // The download, and the rows unmatched in the words kemcalc has for them
  // and in each report's box.
  const checkRun = async (path, args) => {
    const expected = runKemcalc(path, args);
    assert.equal(expected.status, 0);
    assert.ok((await download(page)).equals(expected.output), args.join(' '));
    assert.equal(await page.textContent('.misreads'), expected.messages.join('\n'));
    const counts = await page.$$eval('.report', (boxes) =>
      boxes.map((box) => [Number(box.dataset.itemsWithoutRow), Number(box.dataset.unmatchedRows)]),
    );
    assert.deepEqual(
      counts,
      [kSalesReport, kPurchasesReport].map(({ name }) => [
        countIn(expected.messages, new RegExp(`^(\\d+) items? had no row in ${name}`)),
        countIn(expected.messages, new RegExp(`^(\\d+) rows? of ${name} matched no item`)),
      ]),
    );
  };
  await checkRun(products, [...joins, '--group-by', 'Category']);
  // Run again with a target return, then with another products export: the
  // reports are kept, and the rows found are each run's own.
  await runAfter(page, () => typeAndEnter(page, 'input[name="target-return"]', '300'));
  await checkRun(products, [...joins, '--group-by', 'Category', '--target-return', '300']);
  const lines = kProductsExport.text.split('\r\n');
  const tools = writeFile('tools.csv', lines.filter((line) => !/Garden|Lighting/.test(line)).join('\r\n'));
  await runAfter(page, () => page.setInputFiles('.file-input', tools));
  await page.selectOption('select[name="bought"]', { label: '8: units_received' });
  assert.equal(
    await runAfter(page, () => page.selectOption('select[name="sold"]', { label: '7: units_sold' })),
    'done',
  );
  await checkRun(tools, [...joins, '--target-return', '300']);
  await closeView(page);
});

// A small shop in three groups, each return on inventory between 0% and
// 1000%, so that every figure shows as a number.
const kShop = [
  'sku,category,price,cost,bought,sold',
  'T1,Tools,24.90,11.20,300,35',
  'T2,Tools,18.50,9.75,250,12',
  'G1,Garden,3.99,1.10,1200,150',
  'G2,Garden,39.00,27.50,60,9',
  'K1,Kitchen,6.50,2.10,800,95',
  'T3,Tools,32.00,21.40,240,28',
  '',
].join('\n');

// The totals table as {group: {column name: text}}, the whole catalogue's
// row under ''.
async function readTotalsByGroup(page) {
  const { names, rows } = await readTotals(page);
  return Object.fromEntries(
    rows.map((row) => [
      row[names.indexOf('category')],
      Object.fromEntries(names.map((name, i) => [name, row[i]])),
    ]),
  );
}

// kemcalc's totals rows likewise.
function kemcalcTotals(path, args) {
  const [header, ...records] = parseCsv(
    runKemcalc(path, ['--totals', '--group-by', 'category', ...args]).output.toString(),
  );
  const totals = records.filter((record) => record[header.indexOf('price')] === 'Total');
  return Object.fromEntries(
    totals.map((record) => [record[1], Object.fromEntries(header.map((name, i) => [name, record[i]]))]),
  );
}

// Does `action` and waits for the what-if answer it asks for.
async function whatIfAfter(page, action) {
  const before = await page.$eval('.chart', (chart) => Number(chart.dataset.whatIfId ?? 0));
  await action();
  await page.waitForFunction(
    (id) => Number(document.querySelector('.chart').dataset.whatIfId ?? 0) > id,
    before,
  );
}

test('what if prices rise 5 % and orders fall 20 % in one group: its totals and bars move, the others stay, and the download is kemcalc --adjust', async () => {
  const path = writeFile('shop.csv', kShop);
  const page = await openView(site);
  await runAfter(page, () => page.setInputFiles('.file-input', path));
  assert.equal(
    await runAfter(page, () => page.selectOption('select[name="group-by"]', { label: '2: category' })),
    'done',
  );
  await whatIfAfter(page, () => page.fill('input.change-text[name="price"]', '5'));
  await whatIfAfter(page, () => page.fill('input.change-text[name="bought"]', '-20'));
  await whatIfAfter(page, () => page.selectOption('select[name="what-if-group"]', { label: 'Tools' }));
  // The slider follows its field.
  assert.equal(await page.$eval('.change-slider[data-figure="bought"]', (slider) => slider.value), '-20');

  const changes = ['--adjust', 'price=+5%', '--adjust', 'bought=-20%', '--adjust-group', 'Tools'];
  const now = kemcalcTotals(path, []);
  const after = kemcalcTotals(path, changes);
  const shown = await readTotalsByGroup(page);
  const results = [
    'Annual Sales',
    'Gross Profit',
    'Gross Profit Percentage',
    'Average Inventory',
    'Return on Inventory',
  ];
  for (const group of ['Tools', 'Garden', 'Kitchen', '']) {
    for (const name of results) {
      assert.equal(shown[group][name], now[group][name], `${group} ${name}`);
      assert.equal(shown[group][`${name} after the change`], after[group][name], `${group} ${name} after`);
    }
  }
  // Only the group changed moves.
  assert.notEqual(after.Tools['Return on Inventory'], now.Tools['Return on Inventory']);
  assert.deepEqual(after.Garden, now.Garden);
  // Each bar now, and after the change under it.
  const bars = await page.$$eval('.chart g.bar', (elements) =>
    elements.map((bar) => [
      bar.querySelector('.bar-label').textContent,
      bar.querySelector(':scope > .bar-text').textContent,
      bar.querySelector('.after .bar-text').textContent,
    ]),
  );
  assert.deepEqual(
    bars,
    ['Tools', 'Garden', 'Kitchen'].map((group) => [
      group,
      now[group]['Return on Inventory'].trim(),
      after[group]['Return on Inventory'].trim(),
    ]),
  );

  // The items by how far the change moved their return: the rows of the
  // other groups did not move; the tools did, each by its own figure.
  const numbers = (args) =>
    parseCsv(runKemcalc(path, ['--numbers', '--totals', '--group-by', 'category', ...args]).output.toString())
      .filter((record) => record[2] !== 'Total')
      .slice(1)
      .map((record) => Number(record.at(-1)));
  const before = numbers([]);
  const moved = numbers(changes).map((value, index) => value - before[index]);
  await page.click('.items-table th.after button');
  await page.waitForSelector('.items-table th.after[aria-sort="ascending"]');
  const lines = (await readItems(page)).map((cells) => Number(cells[0]));
  const order = lines.map((line) => moved[line - 2]);
  assert.deepEqual(
    order,
    [...moved].sort((a, b) => a - b),
  );
  // The download: kemcalc with the same changes.
  const expected = runKemcalc(path, ['--totals', '--group-by', 'category', ...changes]);
  assert.ok((await download(page)).equals(expected.output));

  // A slider moves its field, and "No changes" takes every change back.
  await whatIfAfter(page, () => page.fill('.change-slider[data-figure="sold"]', '10'));
  assert.equal(await page.inputValue('input.change-text[name="sold"]'), '10');
  await whatIfAfter(page, () => page.click('.clear-changes'));
  assert.equal((await readTotals(page)).names.filter((name) => name.endsWith('after the change')).length, 0);
  assert.equal(await page.$$eval('.chart g.after', (elements) => elements.length), 0);
  assert.ok((await download(page)).equals(runKemcalc(path, ['--totals', '--group-by', 'category']).output));
  await closeView(page);
});

test('a tab-separated export with thousands commas and a currency: the hints, then the bytes of kemcalc', async () => {
  const text = 'sku\tprice\tcost\tbought\tsold\nA\t€ 1,299.50\t€ 899.00\t10\t4\nB\t12.50 €\t€ 8\t50\t5\n';
  const path = writeFile('tabs.tsv', text);
  const page = await openView(site);
  await runAfter(page, () => page.setInputFiles('.file-input', path));
  assert.equal(
    await runAfter(page, () => page.selectOption('select[name="delimiter"]', { label: 'Tab' })),
    'done',
  );
  const tab = ['--delimiter', '\t', '--totals'];
  // The facts kemcalc gives, with the page's controls as the way out.
  const [facts] = runKemcalc(path, tab).messages.at(-1).split('; ');
  const misreads = await page.textContent('.misreads');
  assert.ok(misreads.startsWith(`${facts}; `), misreads);
  assert.match(
    misreads,
    /tick "Figures written with thousands commas"; for prices written with € enter € under Currency$/,
  );
  await runAfter(page, () => page.check('input[name="thousands"]'));
  assert.equal(await runAfter(page, () => typeAndEnter(page, 'input[name="currency"]', '€')), 'done');
  assert.equal(await page.$eval('.misreads', (element) => element.hidden), true);
  const expected = runKemcalc(path, [...tab, '--thousands', ',', '--currency', '€']);
  assert.ok((await download(page)).equals(expected.output));
  await closeView(page);
});

test("what the page cannot answer, each in the page's words: a workbook, Windows-1252, months, a report's key, a change", async () => {
  const page = await openView(site);
  const workbook = writeFile('shop.xlsx', Buffer.concat([Buffer.from('PK\u0003\u0004'), Buffer.alloc(200)]));
  assert.equal(await runAfter(page, () => page.setInputFiles('.file-input', workbook)), 'failed');
  assert.match(await page.textContent('.error'), /^shop\.xlsx: the file is a spreadsheet workbook/);

  const ansi = writeFile('ansi.csv', Buffer.from('sku,price,cost,bought,sold\nCaf\xe9,2,1,3,2\n', 'latin1'));
  assert.equal(await runAfter(page, () => page.setInputFiles('.file-input', ansi)), 'done');
  assert.match(
    await page.textContent('.misreads'),
    /^1 line of ansi\.csv is not UTF-8 text: line 2: .*Windows-1252/,
  );

  assert.equal(
    await runAfter(page, () => typeAndEnter(page, 'input[name="sold-months"]', 'three')),
    'choosing',
  );
  assert.equal(await page.textContent('.error'), 'Sold over: "three" is not a number of months above 0');
  assert.equal(await runAfter(page, () => typeAndEnter(page, 'input[name="sold-months"]', '')), 'done');

  const sales = writeFile('twice.csv', 'sku,sold\nCafé,1\nX,2\nX,3\n');
  await page.click('.add-report');
  assert.equal(
    await runAfter(page, () => page.setInputFiles('.report input[type="file"]', sales)),
    'choosing',
  );
  assert.equal(
    await page.textContent('.error'),
    'twice.csv: line 4: the key "X" is on line 3 too; each key may be on one row only',
  );
  assert.equal(await page.$eval('.report', (box) => box.dataset.state), 'failed');
  await runAfter(page, () => page.click('.remove-report'));

  await page.fill('input.change-text[name="cost"]', 'ten');
  await page.waitForFunction(() => document.querySelector('.what-if-note').textContent !== '');
  assert.match(await page.textContent('.what-if-note'), /^Cost change: "ten" is not a percentage/);
  // The controls are named in the page's words too.
  const names = await page.$$eval('label, legend, option, button', (elements) =>
    elements.map((element) => element.textContent),
  );
  assert.deepEqual(
    names.filter((name) => /--[a-z]/.test(name)),
    [],
  );
  await closeView(page);
});
