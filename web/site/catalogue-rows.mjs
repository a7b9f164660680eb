// What the catalogue view keeps of each item row, without keeping the row:
// where it ends in the output, its line in the file, six sort keys (one per
// result column, from the model: see catalogue_entry.cpp), the band of its
// return on inventory, and with a what-if shown how far the change moved
// that return. A million rows take about 73 MB here, in typed arrays; the
// rows themselves stay in the output, read back a page at a time.

import { kResultCount } from './resource.mjs';

// The sort column after the six results: the change in return on inventory.
export const kChangeColumn = kResultCount;

export function createRowStore() {
  return { count: 0, batches: [], ends: null, lines: null, keys: null, bands: null, orders: new Map() };
}

// Adds the rows of one takeRows() call.
export function addRows(store, rows) {
  if (rows.count > 0) {
    store.batches.push(rows);
    store.count += rows.count;
  }
}

// Joins the batches into one array per field, a field at a time, so that at
// most one field is ever held twice.
export function finishRowStore(store) {
  const join = (read, Type) => {
    const joined = new Type(store.count);
    let at = 0;
    for (const batch of store.batches) {
      joined.set(read(batch), at);
      at += batch.count;
    }
    return joined;
  };
  store.ends = join((batch) => batch.ends, Float64Array);
  store.lines = join((batch) => batch.lines, Float64Array);
  store.bands = join((batch) => batch.bands, Uint8Array);
  store.keys = [];
  for (let column = 0; column < kResultCount; ++column) {
    store.keys.push(join((batch) => batch.keys[column], Float64Array));
    for (const batch of store.batches) {
      batch.keys[column] = null;
    }
  }
  store.batches = [];
}

// Sets the keys of sort column `column` (kChangeColumn), one per row; the
// orders made from the keys before are forgotten.
export function setSortKeys(store, column, keys) {
  store.keys[column] = keys;
  for (const descending of [false, true]) {
    store.orders.delete(orderName(column, descending));
  }
}

function orderName(column, descending) {
  return `${column}${descending ? 'd' : 'a'}`;
}

// The byte range of row `index` in the output; the first row starts where
// the header ends.
export function rowRange(store, index, headerEnd) {
  return [index === 0 ? headerEnd : store.ends[index - 1], store.ends[index]];
}

// The rows in order of a result column's keys, smallest first or largest
// first; rows with equal keys stay in file order either way. Kept, since
// the table asks for it a page at a time.
export function sortedOrder(store, column, descending) {
  const name = orderName(column, descending);
  let order = store.orders.get(name);
  if (!order) {
    const keys = store.keys[column];
    order = new Uint32Array(store.count);
    for (let i = 0; i < order.length; ++i) {
      order[i] = i;
    }
    // The keys hold no NaN; two equal infinities subtract to NaN, which
    // counts as false here and falls through to the file order.
    order.sort(descending ? (a, b) => keys[b] - keys[a] || a - b : (a, b) => keys[a] - keys[b] || a - b);
    store.orders.set(name, order);
  }
  return order;
}

// The `count` rows with the largest keys in `column`, largest first, the
// earlier row first among equals; one pass, whatever the number of rows.
export function largestRows(store, column, count) {
  const keys = store.keys[column];
  const top = [];
  for (let row = 0; row < store.count; ++row) {
    if (top.length === count && keys[row] <= keys[top[top.length - 1]]) {
      continue;
    }
    let at = top.length;
    while (at > 0 && keys[top[at - 1]] < keys[row]) {
      --at;
    }
    top.splice(at, 0, row);
    if (top.length > count) {
      top.pop();
    }
  }
  return top;
}
