// Turns the window's templates and menu into the page's HTML: each control
// where the template puts it, in dialog units that the style sheet scales.
// The markup is in reading order (top to bottom, then left to right), with
// the controls that a group box encloses inside it.
//
// Positions go into a style sheet of their own (a layout, one class per
// placed element), not into style attributes: the page's content policy
// allows no inline style.

// Dialog base units at 96 dpi (average character width and height in pixels)
// and the CSS text size of each template font. One dialog unit is a quarter
// of the width and an eighth of the height. The System font's base units are
// 8 x 16; 12-point Times New Roman is 16 px text, 9 px wide on average over
// the 52 letters and 18 px high.
const kTemplateFonts = {
  System: { baseX: 8, baseY: 16, textSize: 12 },
  'Times New Roman': { baseX: 9, baseY: 18, textSize: 16 },
};

// The window styles the style sheet draws; each becomes a class of the same
// name in lower case with hyphens (SS_SUNKEN: ss-sunken).
const kDrawnStyles = new Set([
  'BS_DEFPUSHBUTTON',
  'BS_RIGHT',
  'ES_RIGHT',
  'SS_CENTER',
  'SS_RIGHT',
  'SS_SUNKEN',
  'WS_BORDER',
  'WS_DISABLED',
  'WS_EX_CLIENTEDGE',
  'WS_EX_DLGMODALFRAME',
]);

const kNoId = -1;

export function escapeHtml(text) {
  return text.replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);
}

// The letter after a single "&" is the access letter; "&&" is an ampersand.
export function accessLetter(text) {
  const match = /&([^&])/.exec(text.replace(/&&/g, ''));
  return match ? match[1].toUpperCase() : '';
}

// The text as HTML: the character after a single "&" underlined, "&&" an
// ampersand.
function labelHtml(text, noPrefix) {
  if (noPrefix) {
    return escapeHtml(text);
  }
  let html = '';
  for (let i = 0; i < text.length; ++i) {
    if (text[i] === '&' && text[i + 1] === '&') {
      html += '&amp;';
      ++i;
    } else if (text[i] === '&' && i + 1 < text.length) {
      html += `<u>${escapeHtml(text[++i])}</u>`;
    } else {
      html += escapeHtml(text[i]);
    }
  }
  return html;
}

function isGroupBox(control) {
  return control.kind === 'Button' && control.styles.includes('BS_GROUPBOX');
}

function encloses(outer, inner) {
  return (
    inner !== outer &&
    inner.x >= outer.x &&
    inner.y >= outer.y &&
    inner.x + inner.width <= outer.x + outer.width &&
    inner.y + inner.height <= outer.y + outer.height
  );
}

function styleClasses(control) {
  return [...control.styles, ...control.exStyles]
    .filter((style) => kDrawnStyles.has(style))
    .map((style) => style.toLowerCase().replace(/_/g, '-'));
}

// Collects the layout's rules as the markup is written.
export function createLayout() {
  return { rules: [] };
}

// A class for an element placed by `declarations`, its rule added to the
// layout.
function placeClass(layout, declarations) {
  const name = `at-${layout.rules.length}`;
  layout.rules.push(`.${name} { ${declarations} }`);
  return name;
}

export function renderLayoutCss(layout) {
  return `/* Written by web/tools/build-site.mjs from the window's templates. */\n${layout.rules.join('\n')}\n`;
}

// Position and size in dialog units, relative to the enclosing element.
function placement(control, context) {
  const x = control.x - context.origin.x;
  const y = control.y - context.origin.y;
  return placeClass(context.layout, `--x: ${x}; --y: ${y}; --w: ${control.width}; --h: ${control.height};`);
}

function attributes(pairs) {
  return pairs
    .filter(([, value]) => value !== undefined && value !== '')
    .map(([name, value]) => (value === true ? ` ${name}` : ` ${name}="${escapeHtml(String(value))}"`))
    .join('');
}

function byReadingOrder(a, b) {
  return a.y - b.y || a.x - b.x;
}

// A static with no id labels the control with an id on its row: the fields'
// questions and the result names.
function findLabelled(label, controls) {
  if (label.kind !== 'Static' || label.id !== kNoId) {
    return undefined;
  }
  return controls.find((other) => other.id !== kNoId && other.kind !== 'Button' && other.y === label.y);
}

function findLabel(control, controls) {
  return controls.find((other) => findLabelled(other, controls) === control);
}

function fieldName(control) {
  return `control-${control.id}`;
}

function shortcut(letter) {
  return letter ? `Alt+${letter}` : undefined;
}

function renderEdit(control, context) {
  const label = findLabel(control, context.controls);
  const attrs = attributes([
    ['class', ['control', 'edit', ...styleClasses(control), placement(control, context)].join(' ')],
    ['type', 'text'],
    ['id', fieldName(control)],
    ['data-control-id', control.id],
    ['autocomplete', 'off'],
    ['autocapitalize', 'off'],
    ['spellcheck', 'false'],
    // A phone shows its keypad of figures, and Enter recalculates.
    ['inputmode', 'decimal'],
    ['enterkeyhint', 'go'],
    ['aria-keyshortcuts', label && shortcut(accessLetter(label.text))],
  ]);
  return `<input${attrs}>`;
}

function renderButton(control, context) {
  const attrs = attributes([
    ['type', 'button'],
    ['class', ['control', 'button', ...styleClasses(control), placement(control, context)].join(' ')],
    ['data-control-id', control.id],
    ['aria-keyshortcuts', shortcut(accessLetter(control.text))],
  ]);
  return `<button${attrs}>${labelHtml(control.text, false)}</button>`;
}

function renderStatic(control, context) {
  const noPrefix = control.styles.includes('SS_NOPREFIX');
  const classes = ['control', 'static', ...styleClasses(control), placement(control, context)].join(' ');
  const labelled = findLabelled(control, context.controls);
  if (labelled?.kind === 'Edit') {
    const attrs = attributes([
      ['class', classes],
      ['for', fieldName(labelled)],
    ]);
    return `<label${attrs}>${labelHtml(control.text, noPrefix)}</label>`;
  }
  if (labelled) {
    const attrs = attributes([
      ['class', classes],
      ['id', `label-${labelled.id}`],
    ]);
    return `<span${attrs}>${labelHtml(control.text, noPrefix)}</span>`;
  }
  if (control.id !== kNoId) {
    // A field the code writes into: the result texts.
    const label = findLabel(control, context.controls);
    const attrs = attributes([
      ['class', classes],
      ['data-control-id', control.id],
      ['aria-labelledby', label && `label-${control.id}`],
      // Out of the focus ring, but a click gives it the focus: its text can
      // be selected, and a text cut at the field's edge shows whole.
      ['tabindex', '-1'],
    ]);
    return `<output${attrs}>${escapeHtml(context.texts.get(control.id) ?? '')}</output>`;
  }
  return `<div${attributes([['class', classes]])}>${labelHtml(control.text, noPrefix)}</div>`;
}

function renderGroupBox(control, context) {
  const caption = control.text.trim();
  const attrs = attributes([
    ['class', ['control', 'groupbox', ...styleClasses(control), placement(control, context)].join(' ')],
    ['role', caption ? 'group' : undefined],
    ['aria-label', caption],
  ]);
  const captionHtml = caption ? `<span class="groupbox-caption">${escapeHtml(control.text)}</span>` : '';
  const inner = { ...context, origin: control };
  const children = context.children.get(control).map((child) => renderControl(child, inner));
  return `<div${attrs}>${captionHtml}${children.join('')}</div>`;
}

function renderControl(control, context) {
  if (isGroupBox(control)) {
    return renderGroupBox(control, context);
  }
  switch (control.kind) {
    case 'Edit':
      return renderEdit(control, context);
    case 'Button':
      return renderButton(control, context);
    default:
      return renderStatic(control, context);
  }
}

// The controls of a template nested in their smallest enclosing group box.
function renderClient(dialog, layout, texts = new Map()) {
  const controls = [...dialog.controls].sort(byReadingOrder);
  const groups = controls.filter(isGroupBox);
  const children = new Map(groups.map((group) => [group, []]));
  const topLevel = [];
  for (const control of controls) {
    const parents = groups.filter((group) => encloses(group, control));
    parents.sort((a, b) => a.width * a.height - b.width * b.height);
    (parents.length ? children.get(parents[0]) : topLevel).push(control);
  }
  const context = { controls, children, layout, texts, origin: { x: 0, y: 0 } };
  return topLevel.map((control) => renderControl(control, context)).join('\n');
}

// The class that gives a window its font's base units and its template's
// position and size.
function windowMetrics(dialog, layout) {
  const font = kTemplateFonts[dialog.font?.face];
  if (!font) {
    throw new Error(`no base units for the template font ${JSON.stringify(dialog.font)}`);
  }
  const metrics = {
    '--base-x': font.baseX,
    '--base-y': font.baseY,
    '--text-size': font.textSize,
    '--x': dialog.x,
    '--y': dialog.y,
    '--w': dialog.width,
    '--h': dialog.height,
  };
  return placeClass(
    layout,
    Object.entries(metrics)
      .map(([name, value]) => `${name}: ${value};`)
      .join(' '),
  );
}

function renderMenuItem(item) {
  if (item.separator) {
    return '<hr role="separator">';
  }
  const attrs = attributes([
    ['type', 'button'],
    ['role', 'menuitem'],
    ['tabindex', '-1'],
    ['data-command-id', item.id],
    ['aria-keyshortcuts', accessLetter(item.text)],
  ]);
  return `<button${attrs}>${labelHtml(item.text, false)}</button>`;
}

// Commands sit on the bar itself; a pop-up opens a menu below its entry.
function renderMenuBar(menu) {
  const entries = menu.map((entry, index) => {
    if (!entry.items) {
      const attrs = attributes([
        ['type', 'button'],
        ['role', 'menuitem'],
        ['tabindex', '-1'],
        ['data-command-id', entry.id],
        ['aria-keyshortcuts', shortcut(accessLetter(entry.text))],
      ]);
      return `<button${attrs}>${labelHtml(entry.text, false)}</button>`;
    }
    const popupId = `menu-${index}`;
    const opener = attributes([
      ['type', 'button'],
      ['role', 'menuitem'],
      ['tabindex', '-1'],
      ['aria-haspopup', 'menu'],
      ['aria-expanded', 'false'],
      ['aria-controls', popupId],
      ['aria-keyshortcuts', shortcut(accessLetter(entry.text))],
    ]);
    const items = entry.items.map(renderMenuItem).join('');
    return (
      `<div class="menu-entry"><button${opener}>${labelHtml(entry.text, false)}</button>` +
      `<div class="menu-popup" role="menu" id="${popupId}" hidden>${items}</div></div>`
    );
  });
  return `<div class="menu-bar" role="menubar">${entries.join('')}</div>`;
}

// The main window: title bar with its boxes, menu bar, then the client area.
// `texts` maps a result field's id to the text it shows at first.
export function renderMainWindow(resources, layout = createLayout(), texts = new Map()) {
  const dialog = resources.mainWindow;
  return [
    `<main class="window main-window ${windowMetrics(dialog, layout)}" aria-labelledby="main-caption">`,
    '<div class="title-bar">',
    '<img class="title-icon" src="icon-16.png" alt="" width="16" height="16">',
    `<h1 class="title-text" id="main-caption">${escapeHtml(dialog.caption)}</h1>`,
    '<span class="title-box minimize" aria-hidden="true"></span>',
    '<span class="title-box maximize" aria-hidden="true"></span>',
    '<button type="button" class="title-box close" tabindex="-1" aria-label="Close"></button>',
    '</div>',
    renderMenuBar(resources.menu),
    `<div class="client">\n${renderClient(dialog, layout, texts)}\n</div>`,
    '</main>',
  ].join('\n');
}

// The About box: a modal dialog with a title bar and its own template.
export function renderAboutBox(resources, layout = createLayout()) {
  const dialog = resources.aboutBox;
  return [
    `<dialog class="window about-box ${windowMetrics(dialog, layout)}" role="dialog" aria-modal="true"`,
    '  aria-labelledby="about-caption">',
    `<div class="title-bar"><h2 class="title-text" id="about-caption">${escapeHtml(dialog.caption)}</h2></div>`,
    `<div class="client">\n${renderClient(dialog, layout)}\n</div>`,
    '</dialog>',
  ].join('\n');
}
