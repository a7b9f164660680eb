// The catalogue view's reports: "Add a report" takes a sales or purchases
// report (up to two, as a shop has one of each), with a key picker for the
// main file's column and one for the report's. The worker reads them; this
// module keeps the boxes, says what they hold, and shows what the worker
// answers about each.

// A second and a third file: a sales report and a purchases report.
const kMaxReports = 2;

export function makeOption(value, text) {
  const option = document.createElement('option');
  option.value = value;
  option.textContent = text;
  return option;
}

// "3: Price": a column by its number, as kemcalc numbers the columns, and
// its name: the pickers of the figures, the groups and the keys.
export function columnOptions(names) {
  return names.map((name, index) => makeOption(String(index), `${index + 1}: ${name.trim()}`));
}

// The reports panel: `onChange()` is called whenever a report is added with
// its file, removed, or its keys chosen anew.
export function createReports(panel, onChange) {
  const list = panel.querySelector('.report-list');
  const addButton = panel.querySelector('.add-report');
  const template = document.querySelector('.report-template');
  // Each: {box, file, mainKey, joinedKey}; keys are 0-based columns, null
  // until the worker has chosen them from the names.
  const reports = [];

  function updateBoxes() {
    reports.forEach((report, index) => {
      report.box.querySelector('legend').textContent =
        `Report ${index + 1}${report.file ? `: ${report.file.name}` : ''}`;
    });
    addButton.disabled = reports.length >= kMaxReports;
  }

  function addReport() {
    const box = template.content.firstElementChild.cloneNode(true);
    const report = { box, file: null, mainKey: null, joinedKey: null };
    reports.push(report);
    list.append(box);
    const fileInput = box.querySelector('input[type="file"]');
    const [mainPicker, reportPicker] = box.querySelectorAll('select');
    for (const picker of [mainPicker, reportPicker]) {
      picker.disabled = true;
    }
    fileInput.addEventListener('change', () => {
      if (fileInput.files.length === 0) {
        return;
      }
      report.file = fileInput.files[0];
      report.mainKey = null;
      report.joinedKey = null;
      box.querySelector('.report-counts').textContent = '';
      updateBoxes();
      onChange();
    });
    box.addEventListener('change', (event) => {
      if (event.target === mainPicker || event.target === reportPicker) {
        report.mainKey = Number(mainPicker.value);
        report.joinedKey = Number(reportPicker.value);
        onChange();
      }
    });
    box.querySelector('.remove-report').addEventListener('click', () => {
      reports.splice(reports.indexOf(report), 1);
      box.remove();
      updateBoxes();
      addButton.focus();
      if (report.file) {
        onChange();
      }
    });
    updateBoxes();
    fileInput.focus();
  }

  addButton.addEventListener('click', addReport);

  const withFiles = () => reports.filter((report) => report.file);

  return {
    // The reports with a file, in order, as the worker takes them.
    describe() {
      return withFiles().map(({ file, mainKey, joinedKey }) => ({ file, mainKey, joinedKey }));
    },

    // The worker's answer about each report described: the main file's
    // names and the report's, the keys it chose, and its rows.
    showHeaders(mainNames, answers) {
      withFiles().forEach((report, index) => {
        const answer = answers[index];
        const [mainPicker, reportPicker] = report.box.querySelectorAll('select');
        mainPicker.replaceChildren(...columnOptions(mainNames));
        reportPicker.replaceChildren(...columnOptions(answer?.names ?? []));
        const read = answer?.mainKey !== undefined;
        if (read) {
          report.mainKey = answer.mainKey;
          report.joinedKey = answer.joinedKey;
          mainPicker.value = String(answer.mainKey);
          reportPicker.value = String(answer.joinedKey);
        }
        mainPicker.disabled = !read;
        reportPicker.disabled = !read;
        report.box.dataset.state = answer?.errorText ? 'failed' : 'read';
        report.box.dataset.rows = String(answer?.rows ?? 0);
        report.box.querySelector('.report-counts').textContent =
          answer && !answer.errorText ? `${answer.rows} rows read.` : '';
      });
    },

    // After a run: for each report, the items that had no row in it and its
    // rows that matched no item.
    showMatches(matches, done) {
      withFiles().forEach((report, index) => {
        const counts = matches[index];
        if (!counts) {
          return;
        }
        const counted = report.box.querySelector('.report-counts');
        report.box.dataset.itemsWithoutRow = String(counts.itemsWithoutRow);
        report.box.dataset.unmatchedRows = String(counts.unmatchedRows);
        const rows = `${report.box.dataset.rows} rows read. `;
        const missing = `Items with no row here: ${counts.itemsWithoutRow}`;
        counted.textContent = done
          ? `${rows}${missing}. Rows here that matched no item: ${counts.unmatchedRows}.`
          : `${rows}${missing} before the run stopped.`;
      });
    },

    // Shows the panel once a main file's header is read.
    show(shown) {
      panel.hidden = !shown;
    },

    // A new main file keeps the reports, but their keys are chosen again
    // from its columns.
    forgetKeys() {
      for (const report of reports) {
        report.mainKey = null;
        report.joinedKey = null;
      }
    },
  };
}
