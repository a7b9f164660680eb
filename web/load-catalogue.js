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
const kRowFigures = kRowKeys + kResultCount;

// The option texts and numbers of catalogue_entry.cpp, by number.
const kOptionTexts = { inputName: 0, columns: 1, groupBy: 2, currency: 3, adjustGroup: 4 };
const kJoinTexts = 5;
const kOptionNumbers = { boughtMonths: 0, soldMonths: 1, targetReturn: 2 };
const kAdjustNumbers = 3;
// The flags of kemcat_start.
const kFlags = { decimalComma: 1, numbers: 2, thousandsComma: 4, adjustOneGroup: 8 };

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
//   start(options), feed(bytes), finish(), each returning the run's status;
//   takeOutput(consume) and takeRows() after each of them;
//   the header's columns, the messages and the groups after a run.
export async function loadCatalogue() {
  const options = isNode() ? { wasmBinary: await readWasmBinaryUnderNode() } : {};
  const core = await createKemCatalogue(options);
  const rowValues = core._kemcat_row_values();
  const encoder = new TextEncoder();
  // Names may hold bytes that are not UTF-8; they are shown with U+FFFD.
  const decoder = new TextDecoder();

  function copyIn(bytes) {
    const at = core._kemcat_input_buffer(bytes.length);
    core.HEAPU8.set(bytes, at);
    return bytes.length;
  }

  function setOptionText(which, text) {
    const bytes = encoder.encode(text ?? '');
    const at = core._kemcat_option_text(which, bytes.length);
    core.HEAPU8.set(bytes, at);
  }

  function setOptionNumbers(runOptions) {
    for (const [name, which] of Object.entries(kOptionNumbers)) {
      core._kemcat_option_number(which, runOptions[name] ?? 0);
    }
    kFigureNames.forEach((figure, index) => {
      const percent = runOptions.adjust?.[figure];
      core._kemcat_option_number(kAdjustNumbers + index, percent ?? Number.NaN);
    });
  }

  // A text the module keeps until the next one is asked for.
  function readText(at) {
    return decoder.decode(core.HEAPU8.subarray(at, at + core._kemcat_text_size()));
  }

  function status(code) {
    return kRunStatuses[code];
  }

  return {
    // How many of the file's first bytes readHeader and detectDelimiter need:
    // enough for the longest header the library reads.
    headerBytes: core._kemcat_header_bytes(),

    // ',', ';' or a tab: the delimiter that splits the header into the most columns.
    detectDelimiter(bytes, ended) {
      return String.fromCharCode(core._kemcat_detect_delimiter(copyIn(bytes), ended ? 1 : 0));
    },

    // Reads the header with the default column names; true when it was
    // read, whether or not it names the four columns.
    readHeader(bytes, ended, delimiter, inputName) {
      setOptionText(0, inputName);
      return core._kemcat_read_header(copyIn(bytes), ended ? 1 : 0, delimiter.charCodeAt(0)) === 1;
    },

    // Reads report `join` (a File-like source given as chunks by the
    // caller): joinStart(join, {name, mainKey, joinedKey, delimiter}), then
    // joinFeed(join, bytes) for each chunk and joinFinish(join); each returns
    // false once the report cannot be read, and joinErrorText(join) says why.
    joinCount(count) {
      core._kemcat_join_count(count);
    },

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

    // For report `join` of the last run: the items with no row in it, and
    // its rows that matched no item.
    joinMatches(join) {
      return {
        itemsWithoutRow: core._kemcat_join_matches(join, 0),
        unmatchedRows: core._kemcat_join_matches(join, 1),
      };
    },

    // options: inputName, delimiter (',', ';' or a tab), decimalComma,
    // thousandsComma, numbers, currency, columns ('P,C,B,S' as for
    // --columns, or '' for the default names), groupBy ('' for none),
    // boughtMonths and soldMonths (0: per month), adjust (percent per figure
    // name, each left out for none), adjustGroup (a group's name, or null for
    // every row), targetReturn (0: none). The reports read are joined.
    start(runOptions) {
      setOptionNumbers(runOptions);
      for (const [name, which] of Object.entries(kOptionTexts)) {
        setOptionText(which, runOptions[name] ?? '');
      }
      let flags = 0;
      for (const [name, flag] of Object.entries(kFlags)) {
        flags |= runOptions[name] ? flag : 0;
      }
      if (runOptions.adjustGroup !== null && runOptions.adjustGroup !== undefined) {
        flags |= kFlags.adjustOneGroup;
      }
      core._kemcat_start(runOptions.delimiter.charCodeAt(0), flags);
      return 'going';
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
    // it ends in the output), lines[i], keys[c][i] for result column c,
    // bands[i], the index in kReturnBands of what its return on inventory
    // shows, figures[4 * i + f] its figure f per month (price, cost, bought,
    // sold) and groups[i] its group's index.
    takeRows() {
      const count = core._kemcat_rows_count();
      const start = core._kemcat_rows_data() / Float64Array.BYTES_PER_ELEMENT;
      const values = core.HEAPF64.subarray(start, start + count * rowValues);
      const rows = {
        count,
        ends: new Float64Array(count),
        lines: new Float64Array(count),
        keys: Array.from({ length: kResultCount }, () => new Float64Array(count)),
        bands: core.HEAPU8.slice(core._kemcat_row_bands(), core._kemcat_row_bands() + count),
        figures: new Float64Array(4 * count),
        groups: core.HEAPU32.slice(
          core._kemcat_row_groups() / Uint32Array.BYTES_PER_ELEMENT,
          core._kemcat_row_groups() / Uint32Array.BYTES_PER_ELEMENT + count,
        ),
      };
      for (let row = 0, at = 0; row < count; ++row, at += rowValues) {
        rows.ends[row] = values[at + kRowEnd];
        rows.lines[row] = values[at + kRowLine];
        for (let column = 0; column < kResultCount; ++column) {
          rows.keys[column][row] = values[at + kRowKeys + column];
        }
        for (let figure = 0; figure < 4; ++figure) {
          rows.figures[4 * row + figure] = values[at + kRowFigures + figure];
        }
      }
      core._kemcat_rows_taken();
      return rows;
    },

    headerEnd() {
      return core._kemcat_header_end();
    },

    itemsEnd() {
      return core._kemcat_items_end();
    },

    // "NAME: line N: message" as kemcalc gives it after "kemcalc: ", or ''.
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

    // Totals again with the changes of `runOptions` (adjust, adjustGroup as
    // the index of a group or null), from the rows' figures per month and
    // groups (as takeRows gives them, joined): {groups: [{texts, kinds,
    // values}], all: {...}, returns, bands}, a result per field.
    whatIf(figures, groups, groupCount, runOptions, groupIndex) {
      const count = groups.length;
      const at = core._kemcat_what_if_figures(count) / Float64Array.BYTES_PER_ELEMENT;
      core.HEAPF64.set(figures, at);
      core.HEAPU32.set(groups, core._kemcat_what_if_groups() / Uint32Array.BYTES_PER_ELEMENT);
      setOptionNumbers(runOptions);
      core._kemcat_what_if(groupIndex ?? -1, groupCount);
      const totalsOf = (group) => ({
        texts: Array.from({ length: kResultCount }, (_, field) =>
          readText(core._kemcat_what_if_text(group, field)),
        ),
        kinds: Array.from(
          { length: kResultCount },
          (_, field) => kReturnBands[core._kemcat_what_if_kind(group, field)],
        ),
        values: Array.from({ length: kResultCount }, (_, field) => core._kemcat_what_if_total(group, field)),
      });
      const returnsAt = core._kemcat_what_if_returns() / Float64Array.BYTES_PER_ELEMENT;
      return {
        groups: Array.from({ length: groupCount }, (_, group) => totalsOf(group)),
        all: totalsOf(-1),
        returns: core.HEAPF64.slice(returnsAt, returnsAt + count),
        bands: core.HEAPU8.slice(core._kemcat_what_if_bands(), core._kemcat_what_if_bands() + count),
      };
    },

    // The groups of the last run, in order of first appearance.
    groups() {
      return Array.from({ length: core._kemcat_group_count() }, (_, group) => ({
        name: readText(core._kemcat_group_name(group)),
        band: kReturnBands[core._kemcat_group_band(group)],
        returnOnInventory: core._kemcat_group_figure(group, 0),
        averageInventory: core._kemcat_group_figure(group, 1),
      }));
    },
  };
}
