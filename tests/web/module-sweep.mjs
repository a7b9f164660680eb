// The browser module under Node: seeded items whose six texts must equal
// those of the native kemcalc --tsv on the same inputs, byte for byte.
//
// Usage: node tests/web/module-sweep.mjs SITE_DIR KEMCALC
// Environment: KEM_WEB_SEED (default 20260611), KEM_WEB_SWEEP_ITEMS (default 100000).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';

import { makeRandom, pick } from './seeded-random.mjs';

const [siteDir, kemcalc] = process.argv.slice(2);
const seed = Number(process.env.KEM_WEB_SEED ?? 20260611);
const itemCount = Number(process.env.KEM_WEB_SWEEP_ITEMS ?? 100000);

// Items worth keeping whatever the seed: the worked examples and the rules
// at their edges.
const kFixedItems = [
  ['2', '1', '3', '2'],
  ['$10', '$8', '50', '5'],
  ['5', '6', '10', '10'],
  ['0', '5', '0', '10'],
  ['0', '5', '10', '0'],
  ['', '', '', ''],
  ['1e300', '1e300', '1e-300', '1e10'],
  ['100000000000000000000', '1', '1', '1'],
  [' $5', '$$5', '$5', '$5'],
  ['0.00499999999999999999', '1', '1', '1'],
  ['12abc', '1,000', '0x10', 'inf'],
  ['-0', '1e400', '-1e400', '1e-310'],
];

function digits(random, min, max) {
  const count = min + Math.floor(random() * (max - min + 1));
  let text = '';
  for (let i = 0; i < count; ++i) {
    text += String(Math.floor(random() * 10));
  }
  return text;
}

// Texts a user might type, and texts that try every rule of the reading.
const kShapes = [
  (r) => digits(r, 1, 4),
  (r) => `${digits(r, 1, 5)}.${digits(r, 2, 2)}`,
  (r) => `$${digits(r, 1, 5)}.${digits(r, 1, 2)}`,
  (r) => `$${digits(r, 1, 3)}`,
  (r) => '',
  (r) => `${pick(r, ['', '+', '-'])}${digits(r, 0, 3)}.${digits(r, 0, 3)}`,
  (r) => `${digits(r, 1, 3)}${pick(r, ['e', 'E', 'd', 'D'])}${pick(r, ['', '+', '-'])}${digits(r, 1, 3)}`,
  (r) =>
    `${pick(r, ['', '-'])}1${pick(r, ['e', 'd'])}${pick(r, ['', '-'])}${pick(r, ['308', '309', '324', '400', '5200', '5201', '99999'])}`,
  (r) => digits(r, 15, 30),
  (r) => `${digits(r, 1, 3)}.${digits(r, 14, 25)}`,
  (r) => `0.00${digits(r, 10, 22)}`,
  (r) => `${pick(r, [' ', '  ', '\v', '\f', ' \f '])}${pick(r, ['$', ''])}${digits(r, 1, 4)}`,
  (r) => `${pick(r, ['$$', '$ ', ' $', '$-', '$+', '-$', '$.', '$e'])}${digits(r, 1, 3)}`,
  (r) =>
    `${digits(r, 1, 3)}${pick(r, ['abc', ',000', 'x1', '$', ' 5', '..5', '.5.5', 'e', 'e+', 'E-', '+1', '-1'])}`,
  (r) => pick(r, ['inf', 'nan', '.', '-', '+', 'e5', '$', '-.', '+.e1', '0x1p3', '1_000']),
  // Characters beyond ASCII end or prevent a number wherever they stand.
  (r) =>
    `${pick(r, ['é', '€', '５', '１２', '\u00a0', '💲', '价', '\u0301', '\ud800', '\udfff'])}${digits(r, 1, 4)}`,
  (r) =>
    `${digits(r, 1, 4)}${pick(r, ['é', '€', '５', '\u00a0', '💲', '\u2212', '\u0000'])}${digits(r, 1, 4)}`,
  (r) => `$${pick(r, ['€', '\u00a0', '\u0000'])}${digits(r, 1, 3)}`,
  (r) => `${digits(r, 17, 18)}${pick(r, ['é', '💲'])}${digits(r, 1, 3)}`,
];

function makeItems(random, count) {
  const items = kFixedItems.slice(0, count);
  while (items.length < count) {
    items.push([0, 1, 2, 3].map(() => pick(random, kShapes)(random)));
  }
  return items;
}

// kemcalc's six texts for each item, one TSV line each.
function runKemcalc(items) {
  const input = items.map((fields) => `${fields.join('\t')}\n`).join('');
  const result = spawnSync(kemcalc, ['--tsv'], { input: Buffer.from(input, 'utf8'), maxBuffer: 1 << 28 });
  assert.equal(result.status, 0, `kemcalc --tsv failed: ${result.stderr}`);
  const lines = result.stdout.toString('utf8').split('\n');
  assert.equal(lines.pop(), '', 'kemcalc output ends with a newline');
  return lines.map((line) => line.split('\t'));
}

test(`${itemCount} seeded items (seed ${seed}) give kemcalc's texts byte for byte`, async () => {
  assert.ok(existsSync(kemcalc), `no kemcalc at ${kemcalc}: build the native preset first`);
  const { loadCalculator } = await import(pathToFileURL(join(siteDir, 'kem.mjs')));
  const calculator = await loadCalculator();
  const items = makeItems(makeRandom(seed), itemCount);
  const expected = runKemcalc(items);
  assert.equal(expected.length, items.length);
  let mismatches = 0;
  items.forEach((fields, index) => {
    const texts = calculator.resultTexts(...fields);
    if (JSON.stringify(texts) !== JSON.stringify(expected[index])) {
      if (mismatches++ < 5) {
        console.log(
          `item ${index} ${JSON.stringify(fields)}\n  module  ${JSON.stringify(texts)}\n  kemcalc ${JSON.stringify(expected[index])}`,
        );
      }
    }
  });
  assert.equal(mismatches, 0, `${mismatches} of ${items.length} items differ`);
});

test('the worked examples show the texts of the model', async () => {
  const { loadCalculator } = await import(pathToFileURL(join(siteDir, 'kem.mjs')));
  const calculator = await loadCalculator();
  const rows = [
    [
      ['2', '1', '3', '2'],
      ['$48.00  ', '$24.00  ', '50.00%', '1.50  ', '$1.50  ', '>1000.00%'],
    ],
    [
      ['$10', '$8', '50', '5'],
      ['$600.00  ', '$120.00  ', '20.00%', '10.00  ', '$200.00  ', '           60.00%'],
    ],
    [
      ['5', '6', '10', '10'],
      ['$600.00  ', '$-120.00  ', '-20.00%', '1.00  ', '$30.00  ', 'Negative'],
    ],
    [
      ['0', '5', '0', '10'],
      ['$0.00  ', '$-600.00  ', 'Infinite', '0.00  ', '$0.00  ', 'Infinite'],
    ],
    [
      ['0', '5', '10', '0'],
      ['$0.00  ', '$0.00  ', '0.00%', 'Infinite', '$25.00  ', '            0.00%'],
    ],
    [
      ['', '', '', ''],
      ['$0.00  ', '$0.00  ', '0.00%', '0.00  ', '$0.00  ', '0.00%'],
    ],
  ];
  for (const [fields, texts] of rows) {
    assert.deepEqual(calculator.resultTexts(...fields), texts, JSON.stringify(fields));
  }
  // A text of any length: only its first 19 characters count.
  assert.deepEqual(
    calculator.resultTexts('1' + '0'.repeat(20) + '9'.repeat(100000), '0', '0', '1'),
    calculator.resultTexts('1' + '0'.repeat(18), '0', '0', '1'),
  );
});
