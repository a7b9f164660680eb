// The site in real Chromium: where the controls stand, how the window fits
// a phone, the offline start, the size, and the page around the window: a
// link to the figures, copying, cut results, forced colours and print.
//
// Usage: node tests/web/page-site-test.mjs SITE_DIR
import assert from 'node:assert/strict';
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';

import { readSiteResources } from '../../web/tools/resources.mjs';
import {
  control,
  openCalculator,
  readFields,
  readResults,
  resultIds,
  startSite,
  typeItem,
  visitThenGoOffline,
  waitForResults,
} from './browser.mjs';

const [siteDir] = process.argv.slice(2);
const root = fileURLToPath(new URL('../../', import.meta.url));
// Before compression: what a first visit downloads at most.
const kSiteBudgetBytes = 100 * 1024;
// The least a control measures each way on a phone, and the text size of a
// field there, below which phones zoom in when it takes the focus.
const kTouchPixels = 24;
const kPhoneTextPixels = 16;
let site;
let ids;

before(async () => {
  site = await startSite(siteDir);
  ids = site.ids;
});

after(async () => {
  await site?.stop();
});

function readTemplates() {
  return readSiteResources(root);
}

// Each control's box inside the client area of its window, in CSS pixels.
async function readControlBoxes(page, windowSelector) {
  return page.$$eval(`${windowSelector} [data-control-id]`, (controls) =>
    controls.map((element) => {
      const client = element.closest('.client').getBoundingClientRect();
      const box = element.getBoundingClientRect();
      return {
        id: Number(element.dataset.controlId),
        x: box.left - client.left,
        y: box.top - client.top,
        width: box.width,
        height: box.height,
      };
    }),
  );
}

// Compares the boxes with the template, in dialog units of pixelsX x
// pixelsY CSS pixels each.
function checkBoxes(boxes, dialog, pixelsX, pixelsY) {
  for (const box of boxes) {
    const template = dialog.controls.find((c) => c.id === box.id);
    const expected = {
      x: template.x * pixelsX,
      y: template.y * pixelsY,
      width: template.width * pixelsX,
      height: template.height * pixelsY,
    };
    for (const key of Object.keys(expected)) {
      assert.ok(
        Math.abs(box[key] - expected[key]) < 0.6,
        `control ${box.id}: ${key} ${box[key]}, template ${expected[key]}`,
      );
    }
  }
}

test('the controls stand where the templates put them: dialog units of the template fonts', async () => {
  const templates = readTemplates();
  const page = await openCalculator(site, { viewport: { width: 800, height: 600 } });
  // The System font's base units are 8 x 16 px: a dialog unit is 2 x 2 px.
  const boxes = await readControlBoxes(page, '.main-window');
  assert.equal(boxes.length, 13);
  // Every control of the template is there with its text, access letters
  // taken out of it.
  const shownTexts = await page.$$eval('.main-window .client .control', (controls) =>
    controls.map((element) =>
      element.classList.contains('groupbox')
        ? (element.querySelector('.groupbox-caption')?.textContent ?? '')
        : element.matches('input, output')
          ? ''
          : element.textContent,
    ),
  );
  const templateTexts = templates.mainWindow.controls.map((c) => c.text.replace(/&(.)/g, '$1'));
  assert.deepEqual(shownTexts.sort(), templateTexts.sort());
  checkBoxes(boxes, templates.mainWindow, 2, 2);
  // 12-point Times New Roman: 9 x 18 px, a dialog unit 2.25 x 2.25 px.
  await page.keyboard.press('Alt+KeyH');
  await page.keyboard.press('KeyA');
  await page.locator('[role="dialog"]').waitFor({ state: 'visible' });
  checkBoxes(await readControlBoxes(page, '[role="dialog"]'), templates.aboutBox, 2.25, 2.25);
  await page.context().close();
});

// On a phone: fields that show a keypad of figures and text a phone does not
// zoom into (16 px), and every control large enough to touch.
async function checkPhoneFit(page, width) {
  const fields = await page.$$eval('.main-window input', (inputs) =>
    inputs.map((input) => ({
      inputmode: input.inputMode,
      enterkeyhint: input.enterKeyHint,
      textSize: parseFloat(getComputedStyle(input).fontSize),
    })),
  );
  for (const field of fields) {
    assert.deepEqual(
      field,
      { inputmode: 'decimal', enterkeyhint: 'go', textSize: kPhoneTextPixels },
      `${width} px`,
    );
  }
  const targets = await page.$$eval(
    '.main-window :is(input, .client button, .menu-bar > button, .menu-entry > button, .title-box.close)',
    (elements) =>
      elements.map((element) => {
        const box = element.getBoundingClientRect();
        return { name: element.textContent || element.className, width: box.width, height: box.height };
      }),
  );
  for (const target of targets) {
    assert.ok(
      target.width >= kTouchPixels && target.height >= kTouchPixels,
      `${width} px: ${target.name} is ${target.width} x ${target.height}`,
    );
  }
}

test('on a phone-width screen the window scales down to fit and nothing scrolls sideways', async () => {
  const templates = readTemplates();
  const quit = templates.mainWindow.controls.find((c) => c.id === ids.IDOK);
  for (const width of [412, 360, 320, 280, 240]) {
    const page = await openCalculator(site, { viewport: { width, height: 640 } });
    const layout = await page.evaluate(() => ({
      scrollWidth: document.documentElement.scrollWidth,
      clientWidth: document.documentElement.clientWidth,
      windowWidth: document.querySelector('.main-window').getBoundingClientRect().width,
    }));
    assert.ok(
      layout.scrollWidth <= layout.clientWidth,
      `${width} px: scrolls sideways (${JSON.stringify(layout)})`,
    );
    // 326 window pixels at full size: 159 dialog units of 2 px and the frame.
    const scale = Math.min(1, width / 326);
    assert.ok(
      Math.abs(layout.windowWidth - 326 * scale) < 0.6,
      `${width} px: window ${layout.windowWidth} wide`,
    );
    // Where it stands follows the template; a control too small to touch
    // grows to the touch size downwards.
    const [box] = (await readControlBoxes(page, '.main-window')).filter((b) => b.id === ids.IDOK);
    const height = Math.max(kTouchPixels, quit.height * 2 * scale);
    assert.ok(Math.abs(box.height - height) < 0.6, `${width} px: Quit ${box.height} high`);
    checkBoxes([{ ...box, height: quit.height * 2 * scale }], { controls: [quit] }, 2 * scale, 2 * scale);
    await checkPhoneFit(page, width);
    // Still a calculator at that size.
    await page.keyboard.type('$10');
    await page.keyboard.press('Enter');
    await waitForResults(page, ids, site.calculator.resultTexts('$10', '', '', ''));
    await page.context().close();
  }
});

test('a second visit loads and calculates with the network off', async () => {
  const { context, page } = await visitThenGoOffline(site, siteDir);

  const response = await page.reload();
  assert.ok(response.fromServiceWorker(), 'the page did not come from the service worker');
  await page.waitForSelector('body[data-state="open"]');
  assert.equal(await page.evaluate(() => navigator.onLine), false);
  await typeItem(page, ['$10', '$8', '50', '5']);
  await waitForResults(page, ids, site.calculator.resultTexts('$10', '$8', '50', '5'));
  await context.close();
});

test('the manifest names the icons, which are there at their sizes', async () => {
  const page = await openCalculator(site);
  const manifest = await page.evaluate(async () => {
    const link = document.querySelector('link[rel="manifest"]');
    return (await fetch(link.href)).json();
  });
  assert.equal(manifest.start_url, './');
  assert.equal(manifest.display, 'standalone');
  for (const icon of manifest.icons) {
    const size = await page.evaluate(async (src) => {
      const image = new Image();
      image.src = src;
      await image.decode();
      return `${image.naturalWidth}x${image.naturalHeight}`;
    }, icon.src);
    assert.equal(size, icon.sizes, icon.src);
  }
  await page.context().close();
});

// The catalogue view's own files, which the calculator page never loads:
// its page and scripts, and the catalogue library's module.
function isCatalogueFile(name) {
  return /^(catalogue|kemcat)/.test(name);
}

test(`the calculator's files stay under ${kSiteBudgetBytes / 1024} KB before compression`, () => {
  const totals = { calculator: 0, catalogue: 0 };
  const sizes = { calculator: [], catalogue: [] };
  for (const name of readdirSync(siteDir)) {
    const size = statSync(join(siteDir, name)).size;
    const part = isCatalogueFile(name) ? 'catalogue' : 'calculator';
    sizes[part].push(`${name} ${size}`);
    totals[part] += size;
  }
  for (const part of ['calculator', 'catalogue']) {
    console.log(`${part}: ${totals[part]} bytes in ${sizes[part].length} files (${sizes[part].join(', ')})`);
  }
  assert.ok(totals.calculator < kSiteBudgetBytes, `${totals.calculator} bytes`);
});

test("the calculator page asks for none of the catalogue view's files", async () => {
  const context = await site.browser.newContext();
  const requested = [];
  const page = await context.newPage();
  page.on('request', (request) => requested.push(new URL(request.url()).pathname.split('/').pop()));
  await page.goto(site.address);
  await page.waitForSelector('body[data-state="open"]');
  await page.keyboard.type('$10');
  await page.keyboard.press('Enter');
  await waitForResults(page, ids, site.calculator.resultTexts('$10', '', '', ''));
  assert.ok(requested.includes('kem.wasm'), requested.join(', '));
  assert.deepEqual(requested.filter(isCatalogueFile), []);
  await context.close();
});

// The six lines of README's worked example, as far as the results go: each
// line of it starts with the line the page copies, then blanks.
function readReadmeExample() {
  const readme = readFileSync(join(root, 'README.md'), 'utf8');
  const block = /## A worked example[\s\S]*?```\n([\s\S]*?)```/.exec(readme)[1];
  return block.trimEnd().split('\n');
}

test('a link with the figures after # fills the fields and shows the results; the page copies such a link and the results', async () => {
  const context = await site.browser.newContext();
  const origin = new URL(site.address).origin;
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
  const page = await openCalculator(site, { context });
  await page.goto(`${site.address}#price=10&cost=8&bought=50&sold=5`);
  await page.waitForSelector('body[data-state="open"]');
  const item = ['10', '8', '50', '5'];
  assert.deepEqual(await readFields(page, ids), item);
  await waitForResults(page, ids, site.calculator.resultTexts(...item));
  // A link changed in place is followed too.
  await page.evaluate(() => (location.hash = 'price=%2412.5&cost=%247&bought=40&sold=9'));
  await waitForResults(page, ids, site.calculator.resultTexts('$12.5', '$7', '40', '9'));

  await page.click('.copy-link');
  await page.waitForFunction(() => document.querySelector('.copy-status').textContent !== '');
  const link = await page.evaluate(() => navigator.clipboard.readText());
  const other = await openCalculator(site, { context });
  await other.goto(link);
  await waitForResults(other, ids, site.calculator.resultTexts('$12.5', '$7', '40', '9'));
  assert.deepEqual(await readFields(other, ids), ['$12.5', '$7', '40', '9']);

  await page.goto(`${site.address}#price=%2410&cost=%248&bought=50&sold=5`);
  await waitForResults(page, ids, site.calculator.resultTexts('$10', '$8', '50', '5'));
  await page.click('.copy-results');
  await page.waitForFunction(() => navigator.clipboard.readText().then((text) => text.includes('Annual')));
  const copied = (await page.evaluate(() => navigator.clipboard.readText())).split('\n');
  const example = readReadmeExample();
  assert.equal(copied.length, example.length);
  copied.forEach((line, index) => {
    assert.ok(example[index].startsWith(line), `${JSON.stringify(line)} / ${JSON.stringify(example[index])}`);
    assert.match(example[index].slice(line.length), /^(\s|$)/);
  });
  assert.deepEqual(page.errors, []);
  await context.close();
});

test('a result too wide for its field is marked cut and shown whole on hover and focus', async () => {
  const page = await openCalculator(site);
  await page.goto(`${site.address}#price=1e15&cost=1&bought=1&sold=1`);
  await waitForResults(page, ids, site.calculator.resultTexts('1e15', '1', '1', '1'));
  const texts = await readResults(page, ids);
  const look = (id, pseudo) =>
    page.$eval(
      `.main-window [data-control-id="${id}"]`,
      (output, which) => getComputedStyle(output, which).content,
      pseudo,
    );
  const cut = resultIds(ids).filter((_, field) => texts[field].trim().length > 12);
  assert.ok(cut.includes(ids.IDC_ANNUAL_SALES), texts.join('|'));
  for (const [field, id] of resultIds(ids).entries()) {
    const isCut = cut.includes(id);
    assert.equal(
      await page.$eval(`.main-window [data-control-id="${id}"]`, (o) => o.hasAttribute('data-cut')),
      isCut,
      `${id}`,
    );
    assert.equal(await look(id, '::before'), isCut ? '"…"' : 'none', `${id}`);
    if (isCut) {
      for (const show of [() => control(page, id).hover(), () => control(page, id).focus()]) {
        await page.mouse.move(0, 0);
        await control(page, ids.IDC_PRICE).focus();
        await show();
        assert.equal(await look(id, '::after'), JSON.stringify(texts[field]));
      }
    }
  }
  await page.context().close();
});

test('the About box stays on the window when the window moves', async () => {
  const page = await openCalculator(site, { viewport: { width: 900, height: 600 } });
  await page.keyboard.press('Alt+KeyH');
  await page.keyboard.press('KeyA');
  await page.locator('[role="dialog"]').waitFor({ state: 'visible' });
  const offset = () =>
    page.evaluate(() => {
      const client = document.querySelector('.main-window .client').getBoundingClientRect();
      const box = document.querySelector('[role="dialog"]').getBoundingClientRect();
      return { x: box.left - client.left, y: box.top - client.top, clientX: client.left };
    });
  const before = await offset();
  // The window is centred: a narrower screen moves it.
  await page.setViewportSize({ width: 500, height: 600 });
  const after = await offset();
  assert.notEqual(after.clientX, before.clientX);
  assert.ok(
    Math.abs(after.x - before.x) < 0.6 && Math.abs(after.y - before.y) < 0.6,
    JSON.stringify([before, after]),
  );
  await page.context().close();
});

test('in forced colours every button, field and box of the window keeps a visible edge', async () => {
  const page = await openCalculator(site);
  await page.emulateMedia({ forcedColors: 'active' });
  const edges = await page.$$eval(
    '.main-window :is(.button, input, output, .title-box.close, .menu-bar > button, .menu-entry > button)',
    (elements) =>
      elements.map((element) => {
        const style = getComputedStyle(element);
        const close = element.matches('.close')
          ? getComputedStyle(element, '::before').backgroundColor
          : null;
        return {
          name: element.textContent || element.className,
          edge: parseFloat(style.borderTopWidth) > 0 && style.borderTopStyle !== 'none',
          glyph: close === null || close !== style.backgroundColor,
        };
      }),
  );
  for (const edge of edges) {
    assert.deepEqual(
      { ...edge, edge: edge.edge, glyph: edge.glyph },
      { name: edge.name, edge: true, glyph: true },
    );
  }
  await page.context().close();
});

test('printed, the calculator page shows the window and its figures alone', async () => {
  const page = await openCalculator(site);
  await page.emulateMedia({ media: 'print' });
  const shown = await page.evaluate(() =>
    ['.main-window', '.page-line'].map((selector) => document.querySelector(selector).checkVisibility()),
  );
  assert.deepEqual(shown, [true, false]);
  await page.context().close();
});
