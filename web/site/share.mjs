// The figures of the calculator as a link (#price=10&cost=8&bought=50&sold=5,
// the figures' names of kemcalc's columns: the part after # never leaves the
// browser) and the six results as lines of text to copy.
import { kFigureNames } from './resource.mjs';

// The four field texts a link holds, or null when it holds none of them.
export function readLinkedFields(hash) {
  const values = new URLSearchParams(hash.replace(/^#/, ''));
  if (!kFigureNames.some((name) => values.has(name))) {
    return null;
  }
  return kFigureNames.map((name) => values.get(name) ?? '');
}

// The address of this page with `texts`, the four fields, after its #.
export function makeLink(texts) {
  const values = new URLSearchParams(kFigureNames.map((name, field) => [name, texts[field]]));
  const address = new URL(location.href);
  address.hash = values.toString();
  return address.href;
}

// "Annual Sales:            $600.00": each result's name and a colon, in a
// column as wide as the longest name and two, then its text without the
// blanks it ends with.
export function formatResultLines(names, texts) {
  const width = Math.max(...names.map((name) => name.length)) + 2;
  return names.map((name, field) => `${`${name}:`.padEnd(width)}${texts[field].trimEnd()}`).join('\n');
}
