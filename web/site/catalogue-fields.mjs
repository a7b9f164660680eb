// Reads back the CSV the catalogue run wrote, to show its rows: RFC 4180
// records, a field in double quotes when it holds the delimiter, a quote, a
// line end or an outer blank, inner quotes doubled, every record ended by
// CR LF. Only the run's own output comes here, never the user's file.

// Splits `text`, one or more whole records, into arrays of fields.
export function splitRecords(text, delimiter) {
  const records = [];
  let at = 0;
  while (at < text.length) {
    const fields = [];
    for (;;) {
      const [field, end] = text[at] === '"' ? readQuoted(text, at) : readPlain(text, at, delimiter);
      fields.push(field);
      at = end;
      if (text[at] !== delimiter) {
        break;
      }
      ++at;
    }
    at = skipLineEnd(text, at);
    records.push(fields);
  }
  return records;
}

// A field in quotes from `at`; returns it unquoted and where it ends.
function readQuoted(text, at) {
  let field = '';
  let from = at + 1;
  for (;;) {
    const quote = text.indexOf('"', from);
    if (quote < 0) {
      return [field + text.slice(from), text.length];
    }
    if (text[quote + 1] !== '"') {
      return [field + text.slice(from, quote), quote + 1];
    }
    field += text.slice(from, quote + 1);
    from = quote + 2;
  }
}

function readPlain(text, at, delimiter) {
  let end = at;
  while (end < text.length && text[end] !== delimiter && text[end] !== '\r' && text[end] !== '\n') {
    ++end;
  }
  return [text.slice(at, end), end];
}

function skipLineEnd(text, at) {
  if (text[at] === '\r') {
    ++at;
  }
  return text[at] === '\n' ? at + 1 : at;
}
