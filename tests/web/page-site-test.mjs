// The site in real Chromium: where the controls stand, how the window fits
// a phone, the offline start, and the size.
//
// Usage: node tests/web/page-site-test.mjs SITE_DIR
import assert from 'node:assert/strict';
import { readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';

import { readSiteResources } from '../../web/tools/resources.mjs';
import { openCalculator, startSite, typeItem, visitThenGoOffline, waitForResults } from './browser.mjs';

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
