// The catalogue module and the worker's row store under Node: for each file
// and set of options, the bytes, messages and totals kemcalc --csv gives,
// fed in chunks of any size; each item row found where it lies in the
// output; the sort keys in the documented order.
//
// Usage: node tests/web/catalogue-module-test.mjs SITE_DIR KEMCALC
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, before, test } from 'node:test';

import { runKemcalcCsv } from './kemcalc.mjs';

const [siteDir, kemcalcPath] = process.argv.slice(2);
const kemcalc = resolve(kemcalcPath);
const siteModule = (name) => import(pathToFileURL(join(siteDir, name)));
const { kReturnBands, loadCatalogue } = await siteModule('kemcat.mjs');
const { splitRecords } = await siteModule('catalogue-fields.mjs');
const rows = await siteModule('catalogue-rows.mjs');
const { kAverageInventory, kReturnOnInventory } = await siteModule('resource.mjs');

const kFileName = 'shop.csv';
let workDir;
let catalogue;

before(async () => {
  workDir = mkdtempSync(join(tmpdir(), 'kem-catalogue-'));
  catalogue = await loadCatalogue();
});

after(() => rmSync(workDir, { recursive: true, force: true }));

// kemcalc on `bytes` saved as shop.csv: its output, and its messages
// without the program's name.
function runKemcalc(bytes, args) {
  writeFileSync(join(workDir, kFileName), bytes);
  return runKemcalcCsv(kemcalc, workDir, kFileName, args);
}

function kemcalcArgs(options) {
  const args = [];
  if (options.delimiter !== ',') {
    args.push('--delimiter', options.delimiter);
  }
  if (options.decimalComma) {
    args.push('--decimal-comma');
  }
  if (options.numbers) {
    args.push('--numbers');
  }
  if (options.columns) {
    args.push('--columns', options.columns);
  }
  if (options.groupBy) {
    args.push('--group-by', options.groupBy);
  }
  return args;
}

// The module's run over `bytes` fed `chunk` bytes at a time.
function runModule(bytes, options, chunk) {
  const output = [];
  const store = rows.createRowStore();
  const take = () => {
    catalogue.takeOutput((view) => output.push(Buffer.from(view)));
    rows.addRows(store, catalogue.takeRows());
  };
  catalogue.start({
    decimalComma: false,
    numbers: false,
    columns: '',
    groupBy: '',
    ...options,
    inputName: kFileName,
  });
  let status = 'going';
  for (let at = 0; at < bytes.length && status === 'going'; at += chunk) {
    status = catalogue.feed(bytes.subarray(at, at + chunk));
    take();
  }
  const finished = catalogue.finish();
  status = status === 'going' ? finished : status;
  take();
  rows.finishRowStore(store);
  return {
    status,
    output: Buffer.concat(output),
    store,
    headerEnd: catalogue.headerEnd(),
    itemsEnd: catalogue.itemsEnd(),
    messages: [catalogue.errorText(), ...catalogue.notesText().split('\n')].filter((text) => text !== ''),
    groups: catalogue.groups(),
  };
}

const kExport = [
  '\ufeffSKU, Name ,Category,Supplier, PRICE ,Cost,bought,Sold,Notes',
  'A1,"Widget, large",tools,Acme,2,1,3,2,',
  'B2,"Say ""hi""",toys,Acme,$10,$8,50,5,"two',
  'lines"',
  'C3,Spanner,tools,Bolt,5,6,10,10,x',
  'D4,Nothing,food,Bolt,0,5,0,10,',
  'E5,Crate,food,Bolt,0,5,10,0,',
  'F6,Typo,toys,Acme,12abc,1,1,1,',
  '',
].join('\r\n');

const kSemicolons = [
  'Artikel;Preis;Kosten;Einkauf;Verkauf;Gruppe',
  '1;1.299,50;899,00;4;3;A',
  '2;12,5;10;1 200;1.100;B',
  '3;7,25;6,10;30;0;A',
  '',
].join('\n');

// [name, file text, options]
const kCases = [
  ['an export with extra columns, quotes, a BOM and CR LF', kExport, { delimiter: ',' }],
  ['the same with groups', kExport, { delimiter: ',', groupBy: 'category' }],
  ['the same with plain numbers, groups by number', kExport, { delimiter: ',', numbers: true, groupBy: '3' }],
  ['columns chosen by number', kExport, { delimiter: ',', columns: '5,6,7,8', groupBy: '4' }],
  [
    'semicolons and decimal commas',
    kSemicolons,
    { delimiter: ';', decimalComma: true, columns: 'preis,kosten,einkauf,verkauf', groupBy: 'Gruppe' },
  ],
  ['semicolons read without a decimal comma', kSemicolons, { delimiter: ';', columns: '2,3,4,5' }],
  ['a quote left open', 'price,cost,bought,sold\n2,1,3,2\n"4,1,3,2\n5,1,3,2\n', { delimiter: ',' }],
  ['a row with a field too many', 'price,cost,bought,sold\n2,1,3,2\n2,1,3,2,9\n', { delimiter: ',' }],
  ['a missing column', 'sku,price,cost,units\n1,2,3,4\n', { delimiter: ',' }],
  ['a missing column by number', 'price,cost,bought,sold\n1,2,3,4\n', { delimiter: ',', columns: '1,2,3,9' }],
  ['a name twice', 'price,cost,bought,sold,Price\n1,2,3,4,5\n', { delimiter: ',' }],
  ['UTF-16', '\ufffeprice', { delimiter: ',' }],
  ['nothing at all', '', { delimiter: ',' }],
];

// A message without what its front end adds: the option or control a
// chosen column came from ("--columns: ", "Columns: "), and its advice (an
// option of kemcalc's such as "--delimiter ';'", or a control of the page's,
// "under Columns"), wherever it stands. What is left is the library's facts,
// the same for both.
function withoutAdvice(message) {
  return message
    .replace(/(line \d+: )(--[a-z-]+|Columns|Totals per group of|Key): /, '$1')
    .replace(/[;:] [^;:]*(--[a-z]|under |tick ")[^;]*/g, '');
}

function fileBytes(text) {
  // '\ufffe' stands for the bytes FF FE of a UTF-16 byte order mark.
  return text.startsWith('\ufffe')
    ? Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text.slice(1))])
    : Buffer.from(text);
}

test('every case gives the bytes and messages of kemcalc --csv --totals, in chunks of any size', () => {
  for (const [name, text, options] of kCases) {
    const bytes = fileBytes(text);
    const expected = runKemcalc(bytes, ['--totals', ...kemcalcArgs(options)]);
    for (const chunk of [1, 7, 4096, bytes.length || 1]) {
      const actual = runModule(bytes, options, chunk);
      const where = `${name}, chunks of ${chunk}`;
      assert.equal(actual.output.toString('latin1'), expected.output.toString('latin1'), where);
      assert.deepEqual(actual.messages.map(withoutAdvice), expected.messages.map(withoutAdvice), where);
      // The page has controls, not options.
      for (const message of actual.messages) {
        assert.doesNotMatch(message, /--[a-z]/, where);
      }
      assert.equal(actual.status === 'done', expected.status === 0, where);
    }
  }
});

test('without totals the download is the output up to the last item row', () => {
  for (const [name, text, options] of kCases.filter(([, , o]) => !o.groupBy)) {
    const bytes = fileBytes(text);
    const actual = runModule(bytes, options, 4096);
    const expected = runKemcalc(bytes, kemcalcArgs(options));
    assert.equal(
      actual.output.subarray(0, actual.itemsEnd).toString('latin1'),
      expected.output.toString('latin1'),
      name,
    );
  }
});

test('each item row is found where it lies in the output, with its line', () => {
  const actual = runModule(Buffer.from(kExport), { delimiter: ',' }, 7);
  const text = (start, end) => actual.output.subarray(start, end).toString();
  const [header, ...items] = splitRecords(text(0, actual.itemsEnd), ',');
  assert.equal(text(0, actual.headerEnd), `${header.map(quoteBlank).join(',')}\r\n`);
  assert.equal(actual.store.count, items.length);
  for (let index = 0; index < items.length; ++index) {
    const [start, end] = rows.rowRange(actual.store, index, actual.headerEnd);
    assert.deepEqual(splitRecords(text(start, end), ','), [items[index]], `row ${index}`);
  }
  // The record that holds a line break takes two lines.
  assert.deepEqual([...actual.store.lines], [2, 3, 5, 6, 7, 8]);
});

function quoteBlank(field) {
  return /^ | $/.test(field) ? `"${field}"` : field;
}

test('rows sort by the figure behind each text, bands in their documented order', () => {
  // Return on inventory: "Negative" from a NaN, "Negative", "0.00%", a
  // number, ">1000.00%", "Infinite"; lines 2 to 8.
  const text = [
    'price,cost,bought,sold',
    '1e400,2,1,0',
    '5,6,10,10',
    '0,0,0,0',
    '$10,$8,50,5',
    '2,1,3,2',
    '0,5,0,10',
    '$10,$8,50,5',
    '',
  ].join('\n');
  const { store } = runModule(Buffer.from(text), { delimiter: ',' }, 4096);
  const linesBy = (column, descending) =>
    [...rows.sortedOrder(store, column, descending)].map((index) => store.lines[index]);
  assert.deepEqual(linesBy(kReturnOnInventory, false), [2, 3, 4, 5, 8, 6, 7]);
  // Largest first; equal figures stay in file order.
  assert.deepEqual(linesBy(kReturnOnInventory, true), [7, 6, 5, 8, 4, 3, 2]);
  // Annual sales: the NaN of 0 x infinity first, then by amount.
  assert.deepEqual(linesBy(0, false), [2, 4, 7, 6, 3, 5, 8]);
  const bands = [...store.bands].map((band) => kReturnBands[band]);
  assert.deepEqual(bands, ['negative', 'negative', 'zero', 'shown', 'above-limit', 'infinite', 'shown']);
  // Average inventory $200 twice, then $30.
  assert.deepEqual(rows.largestRows(store, kAverageInventory, 3), [3, 6, 1]);
});

test('group figures for the chart, in order of first appearance', () => {
  const actual = runModule(Buffer.from(kExport), { delimiter: ',', groupBy: 'category' }, 4096);
  assert.deepEqual(
    actual.groups.map((group) => [group.name, group.band]),
    [
      ['tools', 'negative'],
      ['toys', 'shown'],
      ['food', 'negative'],
    ],
  );
  // A loss of $600 on $25 of inventory.
  assert.equal(actual.groups[2].averageInventory, 25);
  assert.equal(actual.groups[2].returnOnInventory, -2400);
});

test('the header alone: its columns, the ones the default names give, and the delimiter', () => {
  const cases = [
    [
      'sku,price,cost,bought,sold\n1,2,3,4,5\n',
      ',',
      ['sku', 'price', 'cost', 'bought', 'sold'],
      [1, 2, 3, 4],
    ],
    ['Preis;cost;BOUGHT ;sold;price\n', ';', ['Preis', 'cost', 'BOUGHT ', 'sold', 'price'], [4, 1, 2, 3]],
    ['price,cost,units,sold,cost\n', ',', ['price', 'cost', 'units', 'sold', 'cost'], [0, -1, -1, 3]],
    ['"a;b",c\n', ',', ['a;b', 'c'], [-1, -1, -1, -1]],
    ['price\n', ',', ['price'], [0, -1, -1, -1]],
  ];
  for (const [text, delimiter, names, defaults] of cases) {
    const bytes = Buffer.from(text);
    assert.equal(catalogue.detectDelimiter(bytes, true), delimiter, text);
    assert.equal(catalogue.readHeader(bytes, true, delimiter, kFileName), true, text);
    assert.deepEqual(catalogue.columns(), { names, defaults }, text);
  }
  // A header that never ends is not read, and says why.
  assert.equal(catalogue.readHeader(Buffer.from('"price,cost\n'), true, ',', kFileName), false);
  assert.match(catalogue.errorText(), /^shop\.csv: line 1: /);
});

test('output records split back into their fields', () => {
  const cases = [
    ['a,b\r\n', [['a', 'b']]],
    ['"a,b","say ""hi""",\r\n', [['a,b', 'say "hi"', '']]],
    [
      '"two\r\nlines",x\r\n,\r\n',
      [
        ['two\r\nlines', 'x'],
        ['', ''],
      ],
    ],
    ['"$48.00  ";x;"1,5"\r\n', [['$48.00  ', 'x', '1,5']]],
    ['', []],
  ];
  for (const [text, records] of cases) {
    assert.deepEqual(splitRecords(text, text.includes(';') ? ';' : ','), records, JSON.stringify(text));
  }
});
