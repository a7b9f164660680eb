// Appended by em++ to the module it writes (kem.mjs), outside the loader's
// own scope: the calculator's interface, for the page and for Node 20 alike.

const kFieldCount = 4;

function isNode() {
  return typeof process === 'object' && typeof process.versions?.node === 'string';
}

// The loader is built for browsers and workers; under Node it cannot fetch a
// file path, so it is handed the bytes of the .wasm that lies beside it.
async function readWasmBinaryUnderNode() {
  const { readFile } = await import('node:fs/promises');
  return readFile(new URL('kem.wasm', import.meta.url));
}

// Resolves to the calculator: resultTexts(price, cost, bought, sold) takes the
// four field texts as typed and returns the six result texts, in the order
// Annual Sales, Gross Profit, Gross Profit Percentage, Months Supply, Average
// Inventory, Return on Inventory.
export async function loadCalculator() {
  const options = isNode() ? { wasmBinary: await readWasmBinaryUnderNode() } : {};
  const core = await createKemCore(options);
  const room = core._kem_field_room();
  const resultCount = core._kem_result_count();
  const buffers = Array.from({ length: kFieldCount }, (_, field) => core._kem_field_buffer(field));
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  // encodeInto writes whole characters only, as many as the room takes; the
  // room holds more than the model ever reads, so the model does the cutting.
  // The heap is looked up on every call: a growing memory replaces it.
  function copyField(field, text) {
    const target = core.HEAPU8.subarray(buffers[field], buffers[field] + room);
    return encoder.encodeInto(String(text ?? ''), target).written;
  }

  function readResultText(field) {
    const heap = core.HEAPU8;
    const start = core._kem_result_text(field);
    return decoder.decode(heap.subarray(start, heap.indexOf(0, start)));
  }

  return {
    resultTexts(price, cost, bought, sold) {
      const lengths = [price, cost, bought, sold].map((text, field) => copyField(field, text));
      core._kem_compute_results(...lengths);
      return Array.from({ length: resultCount }, (_, field) => readResultText(field));
    },
  };
}
