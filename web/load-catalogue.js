// Appended by em++ to the module it writes (kemcat.mjs), outside the loader's
// own scope: the catalogue library's interface, for the catalogue view's
// worker and for Node 20 alike.
// The figures in the order of --columns, and the six results in the order of
// the model's texts (each row's sort keys follow it), from the site's
// generated resource.mjs.
import { kFigureNames, kResultCount } from './resource.mjs';

// RunStatus, in the library's order.
export const kRunStatuses = ['going', 'done', 'bad-data', 'write-failed'];
// What return on inventory shows, one name per ResultKind in the model's
// order: 'shown' is a number, the others the fixed texts ('none' never comes
// for return on inventory).
export const kReturnBands = ['shown', 'zero', 'infinite', 'negative', 'above-limit', 'none'];

const kRowEnd = 0;
const kRowLine = 1;
const kRowKeys = 2;

// The option texts of catalogue_entry.cpp, by number: the numbers are given
// as typed and read there as kemcalc reads them.
const kOptionTexts = {
  inputName: 0,
  columns: 1,
  groupBy: 2,
  currency: 3,
  boughtMonths: 4,
  soldMonths: 5,
  targetReturn: 6,
};
const kAdjustTexts = 7;
const kJoinTexts = 7 + kFigureNames.length;
// The bits of kemcat_read_options' answer, by option name: the numbers in
// their order, then the currency.
const kReadOptions = ['boughtMonths', 'soldMonths', 'targetReturn', ...kFigureNames, 'currency'];
// The flags of kemcat_start.
const kFlags = { decimalComma: 1, numbers: 2, thousandsComma: 4, keepRows: 8 };

function isNode() {
  return typeof process === 'object' && typeof process.versions?.node === 'string';
}

async function readWasmBinaryUnderNode() {
  const { readFile } = await import('node:fs/promises');
  return readFile(new URL('kemcat.wasm', import.meta.url));
}

// Resolves to one catalogue run at a time, the same run as kemcalc --csv:
//   readHeader(bytes, ended, delimiter) / detectDelimiter(bytes, ended) on
//     the file's first bytes (all of them when `ended`);
//   joinStart, joinFeed, joinFinish for each report, read whole first;
//   start(options), feed(bytes), finish(), each returning the run's status;
//   takeOutput(consume) and takeRows() after each of them;
//   the header's columns, the messages and the groups after a run;
//   whatIf(changes) and what it worked out, after a run that kept its rows.
export async function loadCatalogue() {
  const options = isNode() ? { wasmBinary: await readWasmBinaryUnderNode() } : {};
  const core = await createKemCatalogue(options);
  const encoder = new TextEncoder();
  // Names may hold bytes that are not UTF-8; they are shown with U+FFFD.
  const decoder = new TextDecoder();

  function copyIn(bytes) {
    const at = core._kemcat_input_buffer(bytes.length);
    core.HEAPU8.set(bytes, at);
    return bytes.length;
  }

  function setOptionText(which, text) {
    const bytes = encoder.encode(String(text ?? ''));
    const at = core._kemcat_option_text(which, bytes.length);
    core.HEAPU8.set(bytes, at);
  }

  // The changes of a what-if: a percentage per figure name, as typed, each
  // left out (or '') for none.
  function setChanges(adjust) {
    kFigureNames.forEach((figure, index) => setOptionText(kAdjustTexts + index, adjust?.[figure]));
  }

  // The names of the options whose texts cannot be read, in kReadOptions.
  function readOptions() {
    const bad = core._kemcat_read_options();
    return kReadOptions.filter((_, bit) => (bad & (1 << bit)) !== 0);
  }

  // A text the module keeps until the next one is asked for.
  function readText(at) {
    return decoder.decode(core.HEAPU8.subarray(at, at + core._kemcat_text_size()));
  }

  function status(code) {
    return kRunStatuses[code];
  }

  // Six results read through `value(field)`, `kind(field)` and `text(field)`.
  function readResults(value, kind, text) {
    return {
      values: Array.from({ length: kResultCount }, (_, field) => value(field)),
      kinds: Array.from({ length: kResultCount }, (_, field) => kReturnBands[kind(field)]),
      texts: Array.from({ length: kResultCount }, (_, field) => readText(text(field))),
    };
  }

  return {
    // How many of the file's first bytes readHeader and detectDelimiter need:
    // enough for the longest header the library reads.
    headerBytes: core._kemcat_header_bytes(),

    // ',', ';' or a tab: the delimiter that splits the header into the most columns.
    detectDelimiter(bytes, ended) {
      return String.fromCharCode(core._kemcat_detect_delimiter(copyIn(bytes), ended ? 1 : 0));
    },

    // Reads the header with the default column names, and with `joined` the
    // reports read joined to it (their columns after the file's, as a run
    // has them); true when it was read, whether or not it names the four
    // columns.
    readHeader(bytes, ended, delimiter, inputName, joined = false) {
      setOptionText(kOptionTexts.inputName, inputName);
      const read = core._kemcat_read_header(
        copyIn(bytes),
        ended ? 1 : 0,
        delimiter.charCodeAt(0),
        joined ? 1 : 0,
      );
      return read === 1;
    },

    // The reports joined to the next header and runs: reports 0 to count - 1.
    joinCount(count) {
      core._kemcat_join_count(count);
    },

    // Reads report `join` whole, from chunks the caller gives:
    // joinStart(join, {name, mainKey, joinedKey, delimiter}), then
    // joinFeed(join, bytes) for each chunk and joinFinish(join); each
    // returns false once the report cannot be read, and joinErrorText(join)
    // says why. The keys are names or 1-based numbers, as --on takes them.
    // The report is kept for every run after, until it is started again.
    joinStart(join, report) {
      setOptionText(kJoinTexts + 3 * join, report.name);
      setOptionText(kJoinTexts + 3 * join + 1, report.mainKey);
      setOptionText(kJoinTexts + 3 * join + 2, report.joinedKey);
      core._kemcat_join_start(join, report.delimiter.charCodeAt(0));
    },

    joinFeed(join, bytes) {
      return core._kemcat_join_feed(join, copyIn(bytes)) === 1;
    },

    joinFinish(join) {
      return core._kemcat_join_finish(join) === 1;
    },

    joinErrorText(join) {
      return readText(core._kemcat_join_error_text(join));
    },

    // The rows report `join` holds.
    joinRows(join) {
      return core._kemcat_join_rows(join);
    },

    // For report `join` of the last run: the items with no row in it, and
    // its rows that matched no item (counted once the run is done).
    joinMatches(join) {
      return {
        itemsWithoutRow: core._kemcat_join_matches(join, 0),
        unmatchedRows: core._kemcat_join_matches(join, 1),
      };
    },

    // options: inputName, delimiter (',', ';' or a tab), decimalComma,
    // thousandsComma, numbers, currency ('' for none), columns ('P,C,B,S'
    // as for --columns, or '' for the default names), groupBy ('' for
    // none); as typed, '' for none: boughtMonths, soldMonths, targetReturn
    // and adjust (a percentage per figure name); adjustGroup (the index of
    // a group of the last run that kept its rows, or null for every row);
    // joins ([{mainKey, joinedKey}] of the reports read, in order); keepRows
    // (keep each row's figures for whatIf). Returns the names of the options
    // that cannot be read (see kReadOptions); the run starts only when there
    // are none.
    start(runOptions) {
      for (const [name, which] of Object.entries(kOptionTexts)) {
        setOptionText(which, runOptions[name]);
      }
      setChanges(runOptions.adjust);
      (runOptions.joins ?? []).forEach((keys, join) => {
        setOptionText(kJoinTexts + 3 * join + 1, keys.mainKey);
        setOptionText(kJoinTexts + 3 * join + 2, keys.joinedKey);
      });
      const bad = readOptions();
      if (bad.length > 0) {
        return bad;
      }
      let flags = 0;
      for (const [name, flag] of Object.entries(kFlags)) {
        flags |= runOptions[name] ? flag : 0;
      }
      core._kemcat_start(runOptions.delimiter.charCodeAt(0), flags, runOptions.adjustGroup ?? -1);
      return [];
    },

    feed(bytes) {
      return status(core._kemcat_feed(copyIn(bytes)));
    },

    finish() {
      return status(core._kemcat_finish());
    },

    status() {
      return status(core._kemcat_status());
    },

    // Hands the output bytes written since the last call to consume(bytes),
    // a view into the module's memory that is valid only during the call:
    // the caller copies what it keeps (a Blob copies at once).
    takeOutput(consume) {
      const at = core._kemcat_output_data();
      consume(core.HEAPU8.subarray(at, at + core._kemcat_output_size()));
      core._kemcat_output_taken();
    },

    // The item rows written since the last call: for row i, ends[i] (where
    // it ends in the output), lines[i], keys[c][i] for result column c and
    // bands[i], the index in kReturnBands of what its return on inventory
    // shows. (A run that keeps its rows keeps their figures in the module.)
    takeRows() {
      const count = core._kemcat_rows_count();
      const values = (which) => {
        const at = core._kemcat_rows_data(which) / Float64Array.BYTES_PER_ELEMENT;
        return core.HEAPF64.slice(at, at + count);
      };
      const rows = {
        count,
        ends: values(kRowEnd),
        lines: values(kRowLine),
        keys: Array.from({ length: kResultCount }, (_, column) => values(kRowKeys + column)),
        bands: core.HEAPU8.slice(core._kemcat_row_bands(), core._kemcat_row_bands() + count),
      };
      core._kemcat_rows_taken();
      return rows;
    },

    headerEnd() {
      return core._kemcat_header_end();
    },

    itemsEnd() {
      return core._kemcat_items_end();
    },

    // "NAME: line N: message" in the page's words, or ''.
    errorText() {
      return readText(core._kemcat_error_text());
    },

    // The lines about figures not read whole or empty, the reports'
    // matches and lines that are not UTF-8, or ''.
    notesText() {
      return readText(core._kemcat_notes_text());
    },

    // The header's column names, and for each figure the column taken by
    // default (-1: none, or more than one, has its name).
    columns() {
      const count = core._kemcat_column_count();
      return {
        names: Array.from({ length: count }, (_, column) => readText(core._kemcat_column_name(column))),
        defaults: kFigureNames.map((_, figure) => core._kemcat_default_column(figure)),
      };
    },

    // The groups of the last run, in order of first appearance.
    groups() {
      return Array.from({ length: core._kemcat_group_count() }, (_, group) => ({
        name: readText(core._kemcat_group_name(group)),
        band: kReturnBands[core._kemcat_group_band(group)],
        returnOnInventory: core._kemcat_group_figure(group, 0),
        averageInventory: core._kemcat_group_figure(group, 1),
        grossProfit: core._kemcat_group_figure(group, 2),
      }));
    },

    // The rows and groups the last run that kept its rows kept.
    keptRows() {
      return core._kemcat_kept_rows();
    },

    keptGroups() {
      return core._kemcat_kept_groups();
    },

    // Works out the kept rows' totals again with `changes` (a percentage
    // per figure name, as typed), for the rows of group `group` alone (its
    // index) or for every row (null), exactly as a run with those changes
    // totals them. Returns {bad, changed, changes}: the figures whose
    // change cannot be read (nothing is worked out then), whether any
    // figure changes at all, and per row how far its return on inventory
    // moved, as a sort key. whatIfTotals and whatIfRow read the rest.
    whatIf(changes, group) {
      setChanges(changes);
      const bad = readOptions().filter((name) => kFigureNames.includes(name));
      if (bad.length > 0) {
        return { bad, changed: false, changes: null };
      }
      core._kemcat_what_if(group ?? -1);
      const count = core._kemcat_kept_rows();
      const at = core._kemcat_what_if_changes() / Float64Array.BYTES_PER_ELEMENT;
      return {
        bad,
        changed: core._kemcat_changes_figures() === 1,
        changes: core.HEAPF64.slice(at, at + count),
      };
    },

    // The totals after the last what-if, of group `group` or of the whole
    // catalogue (-1): {values, kinds, texts}, a result per field, the texts
    // as a totals row shows them.
    whatIfTotals(group) {
      return readResults(
        (field) => core._kemcat_what_if_total(group, field),
        (field) => core._kemcat_what_if_kind(group, field),
        (field) => core._kemcat_what_if_text(group, field),
      );
    },

    // Kept row `row` after the last what-if, likewise; with a target return
    // set, `targetTexts` holds its order and months supply after the change.
    whatIfRow(row, targetCells = 0) {
      core._kemcat_what_if_row(row);
      return {
        ...readResults(
          (field) => core._kemcat_what_if_row_value(field),
          (field) => core._kemcat_what_if_row_kind(field),
          (field) => core._kemcat_what_if_row_text(field),
        ),
        targetTexts: Array.from({ length: targetCells }, (_, cell) =>
          readText(core._kemcat_what_if_row_text(kResultCount + cell)),
        ),
      };
    },
  };
}
