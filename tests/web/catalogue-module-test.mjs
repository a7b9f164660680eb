// The catalogue module and the worker's row store under Node: for each file
// and set of options, reports joined to it included, the bytes, messages and
// totals kemcalc --csv gives, fed in chunks of any size; each item row found
// where it lies in the output; the sort keys in the documented order;
// what-if totals and rows equal to kemcalc's with the same changes.
//
// Usage: node tests/web/catalogue-module-test.mjs SITE_DIR KEMCALC
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, before, test } from 'node:test';

import { kProductsExport, kPurchasesReport, kSalesReport } from './catalogue-exports.mjs';
import { runKemcalcCsv } from './kemcalc.mjs';

const [siteDir, kemcalcPath] = process.argv.slice(2);
const kemcalc = resolve(kemcalcPath);
const siteModule = (name) => import(pathToFileURL(join(siteDir, name)));
const { kReturnBands, loadCatalogue } = await siteModule('kemcat.mjs');
const { splitRecords } = await siteModule('catalogue-fields.mjs');
const rows = await siteModule('catalogue-rows.mjs');
const { kAverageInventory, kResultCount, kReturnOnInventory } = await siteModule('resource.mjs');

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

// kemcalc's options for the module's `options`; `reports` are the files
// joined, each {name, text, mainKey, joinedKey}.
function kemcalcArgs(options, reports = []) {
  const args = [];
  const flags = { decimalComma: '--decimal-comma', numbers: '--numbers' };
  const values = {
    columns: '--columns',
    groupBy: '--group-by',
    currency: '--currency',
    boughtMonths: '--bought-months',
    soldMonths: '--sold-months',
    targetReturn: '--target-return',
  };
  if (options.delimiter !== ',') {
    args.push('--delimiter', options.delimiter);
  }
  if (options.thousandsComma) {
    args.push('--thousands', ',');
  }
  for (const [name, option] of Object.entries(flags)) {
    if (options[name]) {
      args.push(option);
    }
  }
  for (const [name, option] of Object.entries(values)) {
    if (options[name]) {
      args.push(option, options[name]);
    }
  }
  for (const report of reports) {
    args.push('--join', report.name, '--on', `${report.mainKey}=${report.joinedKey}`);
  }
  for (const [figure, percent] of Object.entries(options.adjust ?? {})) {
    args.push('--adjust', `${figure}=${percent.replace(/%$/, '')}%`);
  }
  return args;
}

// Reads `reports` into the module, each in chunks of `chunk` bytes, as
// kemcalc reads them: in order, until one cannot be read, whose message is
// returned ('' when all were read).
function readReports(reports, delimiter, chunk) {
  catalogue.joinCount(reports.length);
  for (const [join, report] of reports.entries()) {
    const bytes = Buffer.from(report.text);
    catalogue.joinStart(join, { ...report, delimiter });
    let going = true;
    for (let at = 0; at < bytes.length && going; at += chunk) {
      going = catalogue.joinFeed(join, bytes.subarray(at, at + chunk));
    }
    if (!(going && catalogue.joinFinish(join))) {
      return catalogue.joinErrorText(join);
    }
  }
  return '';
}

// The module's run over `bytes` fed `chunk` bytes at a time.
function runModule(bytes, options, chunk) {
  if (!options.joins) {
    catalogue.joinCount(0);
  }
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
    keepRows: true,
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

// The module's run gives kemcalc's bytes, status and facts; its messages
// name the page's controls, never an option.
function expectKemcalcRun(actual, expected, where) {
  assert.equal(actual.output.toString('latin1'), expected.output.toString('latin1'), where);
  assert.deepEqual(actual.messages.map(withoutAdvice), expected.messages.map(withoutAdvice), where);
  for (const message of actual.messages) {
    assert.doesNotMatch(message, /--[a-z]/, where);
  }
  assert.equal(actual.status === 'done', expected.status === 0, where);
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
      expectKemcalcRun(actual, expected, where);
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

// --- Reports joined, and what if ----------------------------------------------

const kSalesJoin = { ...kSalesReport, mainKey: 'SKU', joinedKey: 'sku' };
const kReceivedJoin = { ...kPurchasesReport, mainKey: '1', joinedKey: '1' };
const kProducts = kProductsExport.text;
const kSales = kSalesReport.text;
// The columns of the joined header: the products', then units_sold, then
// units_received.
const kJoinedColumns = '4,5,8,7';

// [name, main file, reports, options]
const kJoinCases = [
  [
    'products, 90 days of sales and 6 months of purchases',
    kProducts,
    [kSalesJoin, kReceivedJoin],
    {
      columns: kJoinedColumns,
      soldMonths: kSalesReport.months,
      boughtMonths: kPurchasesReport.months,
      groupBy: '3',
    },
  ],
  [
    'the same with changes for one group and a target return',
    kProducts,
    [kSalesJoin, kReceivedJoin],
    {
      columns: kJoinedColumns,
      soldMonths: kSalesReport.months,
      boughtMonths: kPurchasesReport.months,
      groupBy: 'Category',
      adjust: { price: '+5', bought: '-20' },
      adjustGroup: 0,
      targetReturn: '300',
    },
  ],
  [
    'a sales report alone, tabs, thousands commas and a currency',
    'SKU\tPrice\tCost\tPlan\nA\t€ 1,299.50\t€ 899.00\t2\nB\t12,50 €\t€10\t3\n',
    [{ name: 'sales.tsv', text: 'SKU\tsold\nA\t36\nB\t1,200\n', mainKey: 'SKU', joinedKey: 'SKU' }],
    { delimiter: '\t', thousandsComma: true, currency: '€', columns: '2,3,4,5', soldMonths: '12' },
  ],
  ['a report with a key on two rows', kProducts, [{ ...kSalesJoin, text: `${kSales}SKU-003,1\n` }], {}],
  ['a report without its key column', kProducts, [{ ...kSalesJoin, joinedKey: 'Item' }], {}],
  ['a report row without a key', kProducts, [{ ...kSalesJoin, text: `${kSales} ,3\n` }], {}],
  ['a key the main file does not have', kProducts, [{ ...kSalesJoin, mainKey: 'Code' }], {}],
  [
    'a name in both files',
    kProducts,
    [{ ...kSalesJoin, text: 'sku,units_sold,Price\nSKU-001,1,2\n' }],
    { columns: 'Price,Cost,units_sold,units_sold' },
  ],
];

// kemcalc on the main file with `reports` saved beside it.
function runKemcalcJoined(text, reports, args) {
  for (const report of reports) {
    writeFileSync(join(workDir, report.name), report.text);
  }
  return runKemcalc(Buffer.from(text), args);
}

// The module's run with `reports` read first; a report that cannot be read
// stops it before the main file, as it stops kemcalc.
function runJoined(text, reports, options, chunk) {
  const reportMessage = readReports(reports, options.delimiter, chunk);
  if (reportMessage !== '') {
    return { status: 'bad-data', output: Buffer.alloc(0), messages: [reportMessage] };
  }
  const joins = reports.map(({ mainKey, joinedKey }) => ({ mainKey, joinedKey }));
  return runModule(Buffer.from(text), { ...options, joins }, chunk);
}

// kemcalc's --adjust-group takes the group's name; the module, its index in
// the run before.
function adjustGroupArgs(options, groupNames) {
  return options.adjustGroup === undefined ? [] : ['--adjust-group', groupNames[options.adjustGroup]];
}

test('reports joined, over their periods, give the bytes and messages of kemcalc --join, in chunks of any size', () => {
  for (const [name, text, reports, given] of kJoinCases) {
    const options = { delimiter: ',', ...given };
    // The changes are for a group of the run before, as on the page.
    const before = runJoined(text, reports, { ...options, adjust: undefined, adjustGroup: undefined }, 4096);
    const args = [
      '--totals',
      ...kemcalcArgs(options, reports),
      ...adjustGroupArgs(
        options,
        (before.groups ?? []).map((group) => group.name),
      ),
    ];
    const expected = runKemcalcJoined(text, reports, args);
    for (const chunk of [1, 5, 4096]) {
      const actual = runJoined(text, reports, options, chunk);
      const where = `${name}, chunks of ${chunk}`;
      expectKemcalcRun(actual, expected, where);
    }
  }
});

// The cells of a record from its `first` cell on.
function cellsOf(record, first) {
  return record.slice(first);
}

test('what-if totals and rows are those of kemcalc --adjust, for every row and for one group', () => {
  const reports = [kSalesJoin, kReceivedJoin];
  const options = {
    delimiter: ',',
    columns: kJoinedColumns,
    soldMonths: kSalesReport.months,
    boughtMonths: kPurchasesReport.months,
    groupBy: '3',
  };
  const changeCases = [
    [{ price: '+5', bought: '-20' }, null],
    [{ price: '+5', bought: '-20' }, 1],
    [{ cost: '12.5', sold: '-100' }, 0],
    [{ cost: '+60%' }, null],
    [{}, null],
  ];
  for (const targetReturn of ['', '300']) {
    const run = runJoined(kProducts, reports, { ...options, targetReturn }, 4096);
    const groupNames = run.groups.map((group) => group.name);
    assert.equal(catalogue.keptRows(), run.store.count);
    assert.equal(catalogue.keptGroups(), groupNames.length);
    for (const [changes, group] of changeCases) {
      const where = `${JSON.stringify(changes)} for group ${group}, target ${targetReturn}`;
      const answer = catalogue.whatIf(changes, group);
      assert.deepEqual(answer.bad, [], where);
      assert.equal(answer.changed, Object.keys(changes).length > 0, where);
      const adjusted = { ...options, targetReturn, adjust: changes, adjustGroup: group ?? undefined };
      const args = ['--totals', ...kemcalcArgs(adjusted, reports), ...adjustGroupArgs(adjusted, groupNames)];
      const records = splitRecords(runKemcalcJoined(kProducts, reports, args).output.toString(), ',');
      const resultStart = records[0].indexOf('Annual Sales');
      const totals = records.slice(-(groupNames.length + 1));
      const actualTotals = [...groupNames.map((_, index) => index), -1].map(
        (index) => catalogue.whatIfTotals(index).texts,
      );
      assert.deepEqual(
        actualTotals,
        totals.map((record) => cellsOf(record, resultStart).slice(0, kResultCount)),
        where,
      );
      const items = records.slice(1, -(groupNames.length + 1));
      const targetCells = targetReturn === '' ? 0 : 2;
      items.forEach((record, row) => {
        const after = catalogue.whatIfRow(row, targetCells);
        assert.deepEqual(
          [...after.texts, ...after.targetTexts],
          cellsOf(record, resultStart),
          `${where}, row ${row}`,
        );
      });
    }
  }
  // A change that is not a percentage is named, and nothing is worked out.
  assert.deepEqual(catalogue.whatIf({ price: '5', cost: 'ten' }, null).bad, ['cost']);
});

test('what-if change keys: how far each row moved, a row outside the group not at all', () => {
  const text = 'group,price,cost,bought,sold\na,10,8,50,5\nb,10,8,50,5\na,2,1,3,2\nb,0,5,0,10\n';
  runModule(Buffer.from(text), { delimiter: ',', groupBy: 'group' }, 4096);
  const { changes } = catalogue.whatIf({ price: '10' }, 0);
  // Rows of group a move up, b's do not: 60% -> 90% for the first, 1600% ->
  // 1920% for the third (above what is shown, still sorted by its figure).
  assert.deepEqual(
    [...changes].map((change) => Math.round(change)),
    [30, 0, 320, 0],
  );
});

test('option texts are read as kemcalc reads them: the page is told which cannot be', () => {
  const text = 'price,cost,bought,sold\n$10,$8,50,5\n';
  const cases = [
    [{ soldMonths: '3' }, []],
    [{ soldMonths: ' 0.23 ' }, []],
    [{ soldMonths: '0' }, ['soldMonths']],
    [{ boughtMonths: '-6' }, ['boughtMonths']],
    [{ boughtMonths: 'six' }, ['boughtMonths']],
    [{ boughtMonths: '1e400' }, ['boughtMonths']],
    [{ targetReturn: '300%' }, []],
    [{ targetReturn: '0' }, ['targetReturn']],
    [{ currency: 'EUR' }, []],
    [{ currency: '1€' }, ['currency']],
    [{ adjust: { price: '+5' } }, []],
    [{ adjust: { cost: '5 percent' } }, ['cost']],
    [{ soldMonths: 'x', currency: 'E U R' }, ['soldMonths', 'currency']],
  ];
  for (const [options, bad] of cases) {
    const where = JSON.stringify(options);
    assert.deepEqual(catalogue.start({ delimiter: ',', inputName: kFileName, ...options }), bad, where);
    const status = runKemcalc(Buffer.from(text), kemcalcArgs({ delimiter: ',', ...options })).status;
    assert.equal(status === 2, bad.length > 0, `${where}: kemcalc's status ${status}`);
  }
});

test('a workbook and a file in Windows-1252 are named as such, in the page words', () => {
  const cases = [
    [
      Buffer.concat([Buffer.from('PK\u0003\u0004'), Buffer.alloc(60)]),
      /spreadsheet workbook.*open that file here/,
    ],
    [Buffer.from('price,cost,bought,sold,name\n1,2,3,4,Caf\xe9\n', 'latin1'), /not UTF-8 text.*Windows-1252/],
  ];
  for (const [bytes, wording] of cases) {
    const actual = runModule(bytes, { delimiter: ',' }, 4096);
    const expected = runKemcalc(bytes, ['--totals']);
    const [message] = actual.messages;
    assert.match(message, wording);
    assert.doesNotMatch(message, /--[a-z]|kemcalc/);
    // The facts are kemcalc's: the file, what it is, where.
    assert.ok(expected.messages[0].startsWith(message.split(': ').slice(0, 2).join(': ')), message);
  }
});
