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
import { writeDistinctExport, writeShopExport } from './catalogue-exports.mjs';
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
  const page = await openCatalogue(site);
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
  await page.context().close();
});

test('a dropped file without a bought column: the message and the pickers, then the run', async () => {
  const text = 'SKU,Name,Price,Cost,Units,Sold\nA1,Widget,2,1,3,2\nB2,"Box, big",$10,$8,50,5\n';
  const path = writeFile('missing.csv', text);
  const page = await openCatalogue(site);
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
  await page.context().close();
});

test('a quote left open: the line kemcalc names, and the rows before it', async () => {
  const text = 'sku,price,cost,bought,sold\nA,2,1,3,2\nB,$10,$8,50,5\n"C,5,6,10,10\nD,1,1,1,1\n';
  const path = writeFile('open-quote.csv', text);
  const page = await openCatalogue(site);
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
  await page.context().close();
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
  const page = await openCatalogue(site);
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
  await page.context().close();
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
  const page = await openCatalogue(site);
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
  await page.context().close();
});

test('semicolons found in the header, figures with a decimal comma, plain numbers', async () => {
  const text =
    'Artikel;Preis;Kosten;bought;sold;price;cost\n1;x;y;4;3;1.299,50;899,00\n2;x;y;1 200;1.100;12,5;10\n';
  const path = writeFile('semicolons.csv', text);
  const page = await openCatalogue(site);
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
  await page.context().close();
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
  const page = await openCatalogue(site);
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
  await page.context().close();
});

test('a loss is never the longest bar, and a group with an empty column is named (none)', async () => {
  // An item with no stock that sells below its cost: return "Infinite", a
  // loss. Alone in the empty group and in group y; x and z earn.
  const text = 'sku,group,price,cost,bought,sold\nA,,5,6,0,10\nB,x,2,1,3,2\nC,y,5,6,0,10\nD,z,12,9,10,5\n';
  const path = writeFile('losses.csv', text);
  const page = await openCatalogue(site);
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
  await page.context().close();
});

test('printed on A4, the tables keep every column on the sheet', async () => {
  const names = Array.from({ length: 14 }, (_, i) => `Column with a long name ${i}`);
  const row = names.map((_, i) => `a fairly long value ${i}`);
  const text = `${[...names, 'price', 'cost', 'bought', 'sold'].join(',')}\n${[...row, 2, 1, 3, 2].join(',')}\n`;
  // The printable width of A4 with margins of 12 mm, in CSS pixels.
  const page = await openCatalogue(site, { viewport: { width: 703, height: 1000 } });
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
  await page.context().close();
});
