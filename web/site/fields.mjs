// The four input fields as the window's edit controls have them: a field
// takes typed text only while the text fits its visible width (the window's
// fields do not scroll sideways), and text typed while the window is busy
// is put in as if typed afterwards.

const measure = document.createElement('canvas').getContext('2d');

// The width the field shows text in.
function innerWidth(field) {
  const style = getComputedStyle(field);
  return field.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
}

function textWidth(field, text) {
  measure.font = getComputedStyle(field).font;
  return measure.measureText(text).width;
}

// The field's text with `text` put in place of its selection.
function withInserted(field, text) {
  return field.value.slice(0, field.selectionStart) + text + field.value.slice(field.selectionEnd);
}

function fits(field, text) {
  return textWidth(field, withInserted(field, text)) <= innerWidth(field);
}

// The longest start of `text` that still fits, whole characters only.
function fittingPart(field, text) {
  const characters = [...text];
  let count = characters.length;
  while (count > 0 && !fits(field, characters.slice(0, count).join(''))) {
    --count;
  }
  return characters.slice(0, count).join('');
}

// Puts `text` in place of the focused field's selection, as typing does
// (the browser's undo sees it too).
function insertText(text) {
  document.execCommand('insertText', false, text);
}

const kInsertions = new Set(['insertText', 'insertFromPaste', 'insertFromDrop', 'insertReplacementText']);

// Stops each of `fields` from taking text that would not fit: typed text is
// refused, pasted or dropped text is cut to what fits. Text the page sets
// itself (from a link) is not typed and not cut.
export function stopFieldsAtWidth(fields) {
  for (const field of fields) {
    field.addEventListener('beforeinput', (event) => {
      if (!kInsertions.has(event.inputType)) {
        return;
      }
      const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
      if (fits(field, text)) {
        return;
      }
      event.preventDefault();
      if (event.inputType !== 'insertText') {
        const part = fittingPart(field, text);
        if (part !== '') {
          queueMicrotask(() => insertText(part));
        }
      }
    });
  }
}

// What a held key does to the focused field once the window is free again:
// a character is typed, Backspace and Delete delete, the arrows, Home and
// End move the caret. Keys with Ctrl or Alt do nothing here.
export function replayFieldKey(field, event) {
  if (event.ctrlKey || event.altKey || event.metaKey) {
    return;
  }
  if ([...event.key].length === 1) {
    if (fits(field, event.key)) {
      insertText(event.key);
    }
    return;
  }
  const at = field.selectionDirection === 'backward' ? field.selectionStart : field.selectionEnd;
  const moves = {
    ArrowLeft: Math.max(0, at - 1),
    ArrowRight: Math.min(field.value.length, at + 1),
    Home: 0,
    End: field.value.length,
  };
  if (event.key === 'Backspace') {
    document.execCommand('delete');
  } else if (event.key === 'Delete') {
    document.execCommand('forwardDelete');
  } else if (event.key in moves) {
    field.setSelectionRange(moves[event.key], moves[event.key]);
  }
}
