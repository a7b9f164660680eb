// The catalogue view's What-if panel: a change in percent for each of the
// four figures (a field and a slider each), for the whole catalogue or for
// one group, and a target return. The worker works the totals out again;
// this module only reads the controls and keeps each field and its slider
// together. The figures are the texts typed: the catalogue library reads
// them, as kemcalc reads its options.
import { kFigureNames } from './resource.mjs';
import { kNoGroup } from './catalogue-chart.mjs';

// `onChange()` is called on every change of a percentage or of the group
// they are for; `onTarget()` when a target return is entered.
export function createWhatIf(panel, onChange, onTarget) {
  const changesBox = panel.querySelector('fieldset.what-if');
  const fields = kFigureNames.map((name) => changesBox.querySelector(`input.change-text[name="${name}"]`));
  const sliders = kFigureNames.map((name) =>
    changesBox.querySelector(`input.change-slider[data-figure="${name}"]`),
  );
  const groupChoice = changesBox.querySelector('select[name="what-if-group"]');
  const targetField = panel.querySelector('input[name="target-return"]');
  const note = panel.querySelector('.what-if-note');

  fields.forEach((field, figure) => {
    field.addEventListener('input', () => {
      // The slider stops at its ends, and stands at 0 for a text that is
      // not a number.
      sliders[figure].value = field.value.trim() || '0';
      onChange();
    });
  });
  sliders.forEach((slider, figure) => {
    slider.addEventListener('input', () => {
      fields[figure].value = slider.value === '0' ? '' : slider.value;
      onChange();
    });
  });
  groupChoice.addEventListener('change', onChange);
  panel.querySelector('.clear-changes').addEventListener('click', () => {
    fields.forEach((field) => {
      field.value = '';
    });
    sliders.forEach((slider) => {
      slider.value = '0';
    });
    onChange();
  });
  targetField.addEventListener('change', onTarget);

  return {
    // The percentages as typed, per figure name; '' for none.
    changes() {
      return Object.fromEntries(kFigureNames.map((name, figure) => [name, fields[figure].value.trim()]));
    },

    hasChanges() {
      return fields.some((field) => field.value.trim() !== '');
    },

    // The group the changes are for (its index in the run's groups), or
    // null for the whole catalogue.
    group() {
      return groupChoice.value === '' ? null : Number(groupChoice.value);
    },

    targetReturn() {
      return targetField.value.trim();
    },

    // The groups of a run: the one chosen stays chosen while the run has it.
    fillGroups(names) {
      const chosen = groupChoice.selectedOptions[0]?.dataset.name;
      const options = names.map((name, index) => {
        const option = document.createElement('option');
        option.value = String(index);
        option.textContent = name === '' ? kNoGroup : name;
        option.dataset.name = name;
        return option;
      });
      groupChoice.replaceChildren(groupChoice.options[0], ...options);
      const kept = options.find((option) => option.dataset.name === chosen);
      groupChoice.value = kept ? kept.value : '';
      groupChoice.disabled = names.length === 0;
    },

    show() {
      panel.hidden = false;
    },

    // The changes can be made once a run is shown whole.
    enable(enabled) {
      changesBox.disabled = !enabled;
    },

    showNote(text) {
      note.textContent = text;
    },
  };
}
