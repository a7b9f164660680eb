// Makes the site's scripts and style sheets small for the wire: terser for
// the scripts (the sources in web/site keep their comments for the reader,
// the site does not need them), and for the style sheets the comments and
// the blanks between tokens dropped, strings kept as written.
import { minify } from 'terser';

// `name` says how the script is loaded: .mjs as a module, .js as a classic
// script (the service worker), whose top-level names are left alone.
export async function minifyScript(name, text) {
  const result = await minify(text, {
    module: name.endsWith('.mjs'),
    ecma: 2020,
    compress: { passes: 2 },
    mangle: true,
    format: { comments: false },
  });
  return result.code;
}

// A blank after these, or before those, says nothing in CSS. Not around
// every punctuation mark: ".a :is(b)" and ".a:is(b)" are different
// selectors, as are "a) b" and "a)b".
const kTightAfter = new Set(['{', '}', ';', ',', '>', ':', '(']);
const kTightBefore = new Set(['{', '}', ';', ',', '>', ')']);

function needsBlank(out, next) {
  return out !== '' && !kTightAfter.has(out.at(-1)) && !kTightBefore.has(next);
}

export function minifyStyles(text) {
  let out = '';
  let blank = false;
  for (let at = 0; at < text.length;) {
    const c = text[at];
    if (c === '/' && text[at + 1] === '*') {
      const end = text.indexOf('*/', at + 2);
      at = end < 0 ? text.length : end + 2;
      blank = true;
    } else if (c === '"' || c === "'") {
      let end = at + 1;
      while (end < text.length && text[end] !== c) {
        end += text[end] === '\\' ? 2 : 1;
      }
      out += (blank && needsBlank(out, c) ? ' ' : '') + text.slice(at, end + 1);
      blank = false;
      at = end + 1;
    } else if (/\s/.test(c)) {
      blank = true;
      ++at;
    } else {
      if (blank && needsBlank(out, c)) {
        out += ' ';
      }
      out += c;
      blank = false;
      ++at;
    }
  }
  return out.replace(/;}/g, '}');
}
