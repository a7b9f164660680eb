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

// A products export as shops write it, without units, and its two reports:
// sales over 90 days and purchases received over 6 months, each keyed its
// own way. One item is in neither report, one sales row is keyed in another
// case, another has blanks around its key, and the products repeat a SKU.
export const kProductsExport = {
  name: 'products.csv',
  text: [
    'SKU,Title,Category,Price,Cost,Stock',
    'SKU-001,Hammer,Tools,12.50,8.00,40',
    'SKU-002,"Screwdriver, flat",Tools,9.99,4.10,35',
    'SKU-003,Seed tray,Garden,3.99,1.10,200',
    'SKU-004,Hose,Garden,39.00,27.50,12',
    'SKU-005,Lamp,Lighting,45.00,30.00,8',
    'SKU-001,Hammer (again),Tools,12.50,8.00,0',
    '',
  ].join('\r\n'),
};
export const kSalesReport = {
  name: 'sales-90-days.csv',
  text: 'sku,units_sold\nSKU-001,120\n SKU-002 ,105\nSKU-003,450\nsku-005,30\nSKU-009,4\n',
  months: '3',
};
export const kPurchasesReport = {
  name: 'received-6-months.csv',
  text: 'Item,units_received\nSKU-001,300\nSKU-002,180\nSKU-003,900\nSKU-004,60\n',
  months: '6',
};

// A products export without units sold, keyed by SKU, with what the shop
// plans to order each month as its Bought column; and a sales report of
// every SKU in another order (a stride through them that visits each once),
// counted over 3 months: the two halves of a join.
export async function writeProductsAndSales(productsPath, salesPath, rows) {
  const random = makeRandom(20260614);
  const categories = ['tools', 'toys', 'food', 'garden', '"Home, kitchen"'];
  await writeLines(
    productsPath,
    rows,
    (i) => {
      const cost = 1 + Math.floor(random() * 50000) / 100;
      const price = (cost * (0.7 + random())).toFixed(2);
      return `SK${i},"Item ""${i}""",${pick(random, categories)},$${price},$${cost.toFixed(2)},${Math.floor(random() * 200)},${4000000000000 + i}\r\n`;
    },
    'SKU,Name,Category,Price,Cost,Bought,Barcode\r\n',
  );
  // i * 7919 modulo the count visits every row once while the prime 7919
  // does not divide the count.
  await writeLines(
    salesPath,
    rows,
    (i) => `SK${(i * 7919) % rows},${Math.floor(random() * 450)}\n`,
    'sku,sold\n',
  );
}
