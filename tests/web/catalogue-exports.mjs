// Exports the catalogue tests and the web benchmark open: made from a seed,
// so every run reads the same bytes.
import { createWriteStream } from 'node:fs';

import { makeRandom, pick } from './seeded-random.mjs';

// Writes `text` in pieces of about a megabyte, waiting when the stream asks.
async function writeLines(path, rows, makeLine, header) {
  const out = createWriteStream(path);
  let chunk = header;
  for (let i = 0; i < rows; ++i) {
    chunk += makeLine(i);
    if (chunk.length > 1 << 20) {
      if (!out.write(chunk)) {
        await new Promise((done) => out.once('drain', done));
      }
      chunk = '';
    }
  }
  await new Promise((done) => out.end(chunk, done));
}

// An export as a shop platform writes it: ten columns, the four figures
// among them, names with commas and quotes, CR LF.
export async function writeShopExport(path, rows) {
  const random = makeRandom(20260613);
  const categories = ['tools', 'toys', 'food', 'garden', '"Home, kitchen"'];
  await writeLines(
    path,
    rows,
    (i) => {
      const cost = 1 + Math.floor(random() * 50000) / 100;
      const price = (cost * (0.7 + random())).toFixed(2);
      return (
        `SK${i},"Item ""${i}""",${pick(random, categories)},Supplier ${i % 97},$${price},$${cost.toFixed(2)},` +
        `${Math.floor(random() * 200)},${Math.floor(random() * 150)},${4000000000000 + i},\r\n`
      );
    },
    'SKU,Name,Category,Supplier,Price,Cost,Bought,Sold,Barcode,Notes\r\n',
  );
}

// An export whose first column, the SKU, differs on every row: grouped by
// it, every row is a group of its own.
export async function writeDistinctExport(path, rows) {
  const random = makeRandom(77);
  await writeLines(
    path,
    rows,
    (i) => `U${i},${1 + Math.floor(random() * 900)},${1 + Math.floor(random() * 500)},${i % 50},${i % 40}\n`,
    'sku,price,cost,bought,sold\n',
  );
}
