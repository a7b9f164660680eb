// Reads the window's resources as the resource compiler does, so the page is
// laid out from the same template, menu, ids and texts as kem.exe: the
// #defines of resource.h and kem.rc, the main window and About box templates,
// the menu, and the two page addresses of window.h; and the facts of the
// window's, the key filters', the model's and the catalogue library's code
// that the page's scripts use too.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

// The ids the templates take from windows.h.
const kWindowsIds = { IDOK: 1, IDCANCEL: 2 };

// The predefined control classes by the ordinals kem.rc names them with.
const kControlClasses = { 0x80: 'Button', 0x81: 'Edit', 0x82: 'Static' };

// Splits C or .rc source into strings, numbers, names and single punctuation
// characters; comments and preprocessor lines other than #define are dropped.
function tokenize(source) {
  const tokens = [];
  const pattern =
    /\/\/[^\n]*|\/\*[\s\S]*?\*\/|^[ \t]*#[^\n]*|"((?:[^"\\\n]|\\.|"")*)"|(0[xX][0-9a-fA-F]+|\d+)|([A-Za-z_]\w*)|(\S)/gm;
  for (const match of source.matchAll(pattern)) {
    const [whole, string, number, name, punct] = match;
    if (whole.trimStart().startsWith('#define')) {
      tokens.push({ define: whole.trim() });
    } else if (string !== undefined) {
      tokens.push({ string: string.replace(/""/g, '"').replace(/\\(.)/g, '$1') });
    } else if (number !== undefined) {
      tokens.push({ number: Number(number) });
    } else if (name !== undefined) {
      tokens.push({ name });
    } else if (punct !== undefined) {
      tokens.push({ punct });
    }
  }
  return tokens;
}

// Collects `#define NAME value` where value is a number or string literals
// and names of other defines, joined as the compiler joins them. Like the
// preprocessor, a define may name one that comes later in the file: each is
// evaluated once everything it names is known.
function readDefines(source, defines) {
  let pending = [];
  for (const token of tokenize(source)) {
    const match = token.define && /^#define\s+([A-Za-z_]\w*)\s+(.+)$/.exec(token.define);
    if (match) {
      pending.push({ name: match[1], tokens: tokenize(match[2]), where: token.define });
    }
  }
  while (pending.length > 0) {
    const waiting = pending.filter(({ tokens }) =>
      tokens.some((token) => token.name !== undefined && !(token.name in defines)),
    );
    if (waiting.length === pending.length) {
      // Nothing more can be resolved: report the first define that is stuck.
      const { tokens, where } = pending[0];
      evaluateTokens(tokens, defines, where);
    }
    for (const { name, tokens, where } of pending) {
      if (!waiting.some((entry) => entry.name === name)) {
        defines[name] = evaluateTokens(tokens, defines, where);
      }
    }
    pending = waiting;
  }
  return defines;
}

// A value: one number, or a run of strings and defined names.
function evaluateTokens(tokens, defines, where) {
  if (tokens.length === 1 && tokens[0].number !== undefined) {
    return tokens[0].number;
  }
  let text = '';
  for (const token of tokens) {
    if (token.string !== undefined) {
      text += token.string;
    } else if (token.name !== undefined && typeof defines[token.name] === 'string') {
      text += defines[token.name];
    } else if (tokens.length === 1 && token.name !== undefined && token.name in defines) {
      return defines[token.name];
    } else {
      throw new Error(`cannot evaluate ${JSON.stringify(where)}`);
    }
  }
  return text;
}

// A cursor over the tokens of kem.rc.
class TokenReader {
  constructor(tokens, defines) {
    this.tokens = tokens.filter((token) => !token.define);
    this.defines = defines;
    this.at = 0;
  }

  peek() {
    return this.tokens[this.at];
  }

  next() {
    const token = this.tokens[this.at++];
    if (!token) {
      throw new Error('kem.rc ends too early');
    }
    return token;
  }

  isName(name) {
    return this.peek()?.name === name;
  }

  expectName(name) {
    const token = this.next();
    if (token.name !== name) {
      throw new Error(`kem.rc: expected ${name}, found ${JSON.stringify(token)}`);
    }
  }

  skipComma() {
    if (this.peek()?.punct === ',') {
      this.at++;
    }
  }

  // One value up to the next comma or line item: a number, an id name, or
  // a run of strings and string defines.
  value() {
    const first = this.next();
    if (first.number !== undefined) {
      return first.number;
    }
    if (first.punct === '-' && this.peek()?.number !== undefined) {
      return -this.next().number;
    }
    if (first.name !== undefined && first.name in kWindowsIds) {
      return kWindowsIds[first.name];
    }
    if (first.name !== undefined && typeof this.defines[first.name] === 'number') {
      return this.defines[first.name];
    }
    let text = this.stringPart(first);
    while (this.peek() && (this.peek().string !== undefined || this.isStringDefine(this.peek()))) {
      text += this.stringPart(this.next());
    }
    return text;
  }

  isStringDefine(token) {
    return token.name !== undefined && typeof this.defines[token.name] === 'string';
  }

  stringPart(token) {
    if (token.string !== undefined) {
      return token.string;
    }
    if (this.isStringDefine(token)) {
      return this.defines[token.name];
    }
    throw new Error(`kem.rc: expected a text, found ${JSON.stringify(token)}`);
  }

  // Style flags joined with "|": kept by name, which is all the page needs.
  flags() {
    const names = [this.next().name];
    while (this.peek()?.punct === '|') {
      this.at++;
      names.push(this.next().name);
    }
    return names;
  }

  numbers(count) {
    const values = [];
    for (let i = 0; i < count; ++i) {
      this.skipComma();
      values.push(this.value());
    }
    return values;
  }

  // Skips a statement that the page does not use, with its BEGIN ... END.
  skipBlock() {
    let depth = 0;
    while (this.peek()) {
      const token = this.next();
      if (token.name === 'BEGIN') {
        depth++;
      } else if (token.name === 'END' && --depth === 0) {
        return;
      }
      if (depth === 0 && this.peek() && this.peek().name && this.isStatementStart()) {
        return;
      }
    }
  }

  // A statement starts with a resource name followed by its kind.
  isStatementStart() {
    const kind = this.tokens[this.at + 1];
    return (
      kind?.name !== undefined && /^(MENU|DIALOG|DIALOGEX|ICON|VERSIONINFO|RT_MANIFEST)$/.test(kind.name)
    );
  }
}

function readMenuItems(reader) {
  const items = [];
  reader.expectName('BEGIN');
  while (!reader.isName('END')) {
    const kind = reader.next().name;
    if (kind === 'MENUITEM' && reader.isName('SEPARATOR')) {
      reader.next();
      items.push({ separator: true });
    } else if (kind === 'MENUITEM') {
      const text = reader.value();
      reader.skipComma();
      items.push({ text, id: reader.value() });
    } else if (kind === 'POPUP') {
      const text = reader.value();
      items.push({ text, items: readMenuItems(reader) });
    } else {
      throw new Error(`kem.rc: unexpected ${kind} in a menu`);
    }
  }
  reader.expectName('END');
  return items;
}

function readControl(reader) {
  const [text, id, classOrdinal] = reader.numbers(3);
  reader.skipComma();
  const styles = reader.flags();
  const [x, y, width, height] = reader.numbers(4);
  let exStyles = [];
  if (reader.peek()?.punct === ',') {
    reader.skipComma();
    exStyles = reader.flags();
  }
  const kind = kControlClasses[classOrdinal];
  if (!kind) {
    throw new Error(`kem.rc: control ${JSON.stringify(text)} has an unknown class`);
  }
  return { text, id, kind, styles, exStyles, x, y, width, height };
}

function readDialog(reader) {
  const [x, y, width, height] = reader.numbers(4);
  const dialog = { x, y, width, height, styles: [], controls: [] };
  while (!reader.isName('BEGIN')) {
    const option = reader.next().name;
    if (option === 'STYLE') {
      dialog.styles = reader.flags();
    } else if (option === 'EXSTYLE') {
      reader.value();
    } else if (option === 'CAPTION') {
      dialog.caption = reader.value();
    } else if (option === 'CLASS') {
      dialog.className = reader.value();
    } else if (option === 'FONT') {
      const size = reader.value();
      reader.skipComma();
      dialog.font = { size, face: reader.value() };
      while (reader.peek()?.punct === ',') {
        reader.numbers(1);
      }
    } else {
      throw new Error(`kem.rc: unexpected dialog option ${option}`);
    }
  }
  reader.expectName('BEGIN');
  while (!reader.isName('END')) {
    reader.expectName('CONTROL');
    dialog.controls.push(readControl(reader));
  }
  reader.expectName('END');
  return dialog;
}

function readRc(source, defines) {
  const reader = new TokenReader(tokenize(source), defines);
  const resources = {};
  while (reader.peek()) {
    const name = reader.next();
    const kind = reader.peek()?.name;
    if (kind === 'MENU') {
      reader.next();
      resources[name.name] = { menu: readMenuItems(reader) };
    } else if (kind === 'DIALOG' || kind === 'DIALOGEX') {
      reader.next();
      resources[name.name] = readDialog(reader);
    } else {
      reader.skipBlock();
    }
  }
  return resources;
}

// The page addresses: `inline constexpr char Name[] = "..." DEFINE "...";`.
function readPageAddresses(source, defines) {
  const pages = {};
  const pattern = /constexpr\s+char\s+(\w+Page)\[\]\s*=\s*([^;]+);/g;
  for (const [, name, value] of source.matchAll(pattern)) {
    pages[name] = evaluateTokens(tokenize(value), defines, name);
  }
  return pages;
}

// The id lists of window.h, `inline constexpr int kNameIds[] = {ID, ...};`,
// each as an array of numbers.
function readIdLists(source, defines) {
  const lists = {};
  const pattern = /constexpr\s+int\s+(k\w+Ids)\[\]\s*=\s*\{([^}]*)\}/g;
  for (const [, name, body] of source.matchAll(pattern)) {
    lists[name] = idsOf(body, defines, name);
  }
  return lists;
}

function idsOf(text, defines, where) {
  return tokenize(text)
    .filter((token) => token.name !== undefined)
    .map((token) => {
      const value = defines[token.name];
      if (typeof value !== 'number') {
        throw new Error(`${where}: ${token.name} is no id`);
      }
      return value;
    });
}

// The stops of focus_ring.h's kFocusRing in the order Tab walks them: the
// first id of each `{id, next, previous}`.
function readFocusRing(source, defines) {
  const body = /kFocusRing\[\]\s*=\s*\{([\s\S]*?)\};/.exec(source);
  if (!body) {
    throw new Error('focus_ring.h has no kFocusRing');
  }
  return [...body[1].matchAll(/\{\s*(\w+)\s*,/g)].map(([, id]) => idsOf(id, defines, 'kFocusRing')[0]);
}

// A number constant of a header, `constexpr TYPE name = digits;`.
function readNumberConstant(source, name) {
  const match = new RegExp(`constexpr\\s+\\w+\\s+${name}\\s*=\\s*(\\d+(?:\\.\\d+)?)\\s*;`).exec(source);
  if (!match) {
    throw new Error(`no constant ${name}`);
  }
  return Number(match[1]);
}

// The facts of the window's and the key filters' code that the page's script
// uses too: the input and result ids, the focus ring and the flash time.
export function readWindowCodeFacts({ windowHeader, focusRingHeader, keyboardHeader }, defines) {
  return {
    ...readIdLists(readFileSync(windowHeader, 'utf8'), defines),
    kFocusRing: readFocusRing(readFileSync(focusRingHeader, 'utf8'), defines),
    kFlashMs: readNumberConstant(readFileSync(keyboardHeader, 'utf8'), 'kFlashMs'),
  };
}

// The facts of the model and the catalogue library that the catalogue view's
// scripts use: the result fields' order (ResultField, each member its index),
// the limit of a shown return on inventory and the figures' default column
// names.
export function readCatalogueFacts({ inventoryHeader, columnMapSource }) {
  const inventory = readFileSync(inventoryHeader, 'utf8');
  const fields = /enum\s+ResultField\s*\{([^}]*)\}/.exec(inventory);
  const names = /kFigureNames\[\w*\]\s*=\s*\{([^}]*)\}/.exec(readFileSync(columnMapSource, 'utf8'));
  if (!fields || !names) {
    throw new Error('no ResultField in inventory.h or no kFigureNames in column_map.cpp');
  }
  const facts = {};
  for (const [index, token] of tokenize(fields[1])
    .filter((t) => t.name)
    .entries()) {
    facts[token.name] = index;
  }
  facts.kReturnShownLimit = readNumberConstant(inventory, 'kReturnShownLimit');
  facts.kFigureNames = tokenize(names[1])
    .filter((token) => token.string !== undefined)
    .map((token) => token.string);
  return facts;
}

// Everything the page takes from the window's sources, by file path.
export function readWindowResources({ resourceHeader, rcFile, windowHeader }) {
  const defines = readDefines(readFileSync(resourceHeader, 'utf8'), { ...kWindowsIds });
  const rcSource = readFileSync(rcFile, 'utf8');
  readDefines(rcSource, defines);
  const rc = readRc(rcSource, defines);
  const required = ['KEMWCLASS', 'ABOUTBOX', 'KEMMENU'];
  for (const name of required) {
    if (!rc[name]) {
      throw new Error(`kem.rc has no ${name}`);
    }
  }
  return {
    defines,
    mainWindow: rc.KEMWCLASS,
    aboutBox: rc.ABOUTBOX,
    menu: rc.KEMMENU.menu,
    pages: readPageAddresses(readFileSync(windowHeader, 'utf8'), defines),
  };
}

// Everything the site takes from the source tree at `root`: the window's
// resources and the facts of its code, the model's and the library's.
export function readSiteResources(root) {
  const windowHeader = join(root, 'window', 'window.h');
  const resources = readWindowResources({
    resourceHeader: join(root, 'resources', 'resource.h'),
    rcFile: join(root, 'resources', 'kem.rc'),
    windowHeader,
  });
  resources.facts = {
    ...readWindowCodeFacts(
      {
        windowHeader,
        focusRingHeader: join(root, 'window', 'focus_ring.h'),
        keyboardHeader: join(root, 'keyboard', 'keyboard.h'),
      },
      resources.defines,
    ),
    ...readCatalogueFacts({
      inventoryHeader: join(root, 'model', 'inventory.h'),
      columnMapSource: join(root, 'catalogue', 'column_map.cpp'),
    }),
  };
  return resources;
}
