// The page in real Chromium, driven by real key presses and clicks: start-up,
// the worked examples, every key of the window's tables, the focus ring, the
// menu, the About box's modal rules, quitting and coming back, the two pages.
//
// Usage: node tests/web/page-keys-test.mjs SITE_DIR
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import {
  control,
  countOpenedPages,
  inputIds,
  openCalculator,
  readFields,
  readFocus,
  readPageLog,
  readResults,
  resultIds,
  startSite,
  typeItem,
  waitForResults,
  watchPage,
} from './browser.mjs';

const [siteDir] = process.argv.slice(2);
let site;
let ids;

before(async () => {
  site = await startSite(siteDir);
  ids = site.ids;
});

after(async () => {
  await site?.stop();
});

// A page of its own for each test, checked for script errors at the end.
async function withCalculator(body, options) {
  const context = await site.browser.newContext({ viewport: { width: 480, height: 520 } });
  await countOpenedPages(context);
  await answerOtherSites(context);
  try {
    const page = await openCalculator(site, { context, ...options });
    await body(page, context);
    assert.deepEqual(page.errors, [], 'the page reported errors');
  } finally {
    await context.close();
  }
}

// Pages the calculator opens are answered here: nothing leaves the machine.
async function answerOtherSites(context) {
  const origin = new URL(site.address).origin;
  await context.route(
    (url) => url.origin !== origin,
    (route) => route.fulfill({ contentType: 'text/html', body: '<title>elsewhere</title>' }),
  );
}

function zeroTexts() {
  return site.calculator.resultTexts('', '', '', '');
}

// Types the four figures with Tab between them, then presses Enter.
async function expectFocus(page, id, { selected = false } = {}) {
  const focus = await readFocus(page);
  assert.equal(focus.id, id, `focus on ${focus.id}, expected ${id}`);
  assert.equal(focus.inAboutBox, false);
  if (selected) {
    assert.ok(focus.allSelected, `the text of ${id} is not all selected`);
  }
}

async function fillFields(page, texts) {
  for (const [index, id] of inputIds(ids).entries()) {
    await control(page, id).fill(texts[index]);
  }
}

async function openedPages(page) {
  return page.evaluate(() => window.kemOpened.map((args) => args.slice(0, 3)));
}

function ring() {
  return [
    ids.IDC_PRICE,
    ids.IDC_COST,
    ids.IDC_BUY,
    ids.IDC_SELL,
    ids.IDC_RECALCULATE,
    ids.IDC_WEBSITE,
    ids.IDOK,
  ];
}

test('starts with empty fields, the zero-state texts and the focus in the price field', async () => {
  await withCalculator(async (page) => {
    assert.deepEqual(await readFields(page, ids), ['', '', '', '']);
    assert.deepEqual(await readResults(page, ids), zeroTexts());
    await expectFocus(page, ids.IDC_PRICE);
    const controlIds = await page.$$eval('.main-window [data-control-id]', (all) =>
      all.map((element) => Number(element.dataset.controlId)).sort((a, b) => a - b),
    );
    assert.deepEqual(
      controlIds,
      [...ring(), ...resultIds(ids)].sort((a, b) => a - b),
    );
    const commandIds = await page.$$eval('[data-command-id]', (all) =>
      all.map((e) => Number(e.dataset.commandId)),
    );
    assert.deepEqual(commandIds, [ids.CMD_CLEAR_FIELDS, ids.CMD_ONLINE_HELP, ids.CMD_ABOUT]);
    assert.equal(await page.locator('[role="dialog"]').count(), 1);
    assert.equal(await page.locator('[role="dialog"]').isVisible(), false);
    assert.equal(await page.locator(`[role="dialog"] [data-control-id="${ids.IDOK}"]`).count(), 1);
  });
});

test('the worked examples typed with real keys show the model texts, focus back in price', async () => {
  const items = [
    ['2', '1', '3', '2'],
    ['$10', '$8', '50', '5'],
    ['5', '6', '10', '10'],
    ['0', '5', '0', '10'],
    ['0', '5', '10', '0'],
    ['€12', '5', 'ü3', '３'],
    ['12345678901234567890123', '1e3', '-7', ' $5'],
  ];
  await withCalculator(async (page) => {
    for (const item of items) {
      await typeItem(page, item);
      // A field takes what fits its width, as the window's do: the long
      // price stops early, the model reads what the field holds.
      const fields = await readFields(page, ids);
      fields.forEach((text, index) => assert.ok(item[index].startsWith(text), `${text} of ${item[index]}`));
      assert.deepEqual(fields.slice(1), item.slice(1));
      await waitForResults(page, ids, site.calculator.resultTexts(...fields));
      await expectFocus(page, ids.IDC_PRICE, { selected: true });
      // Each field reached by Tab is selected: Delete empties it.
      for (const key of ['Delete', 'Tab', 'Delete', 'Tab', 'Delete', 'Tab', 'Delete', 'Alt+KeyP']) {
        await page.keyboard.press(key);
      }
    }
  });
});

test('typing alone changes no result', async () => {
  await withCalculator(async (page) => {
    await page.keyboard.type('25');
    await page.keyboard.press('Tab');
    await page.keyboard.type('$3');
    assert.deepEqual(await readResults(page, ids), zeroTexts());
  });
});

test('Tab walks the focus ring forwards and Shift+Tab backwards, selecting each field', async () => {
  await withCalculator(async (page) => {
    await fillFields(page, ['1.5', '2', '30', '4']);
    const forwards = [...ring().slice(1), ring()[0]];
    const backwards = [...ring()].reverse();
    for (const [key, expected] of [
      ['Tab', forwards],
      ['Shift+Tab', backwards],
    ]) {
      await control(page, ids.IDC_PRICE).focus();
      const visited = [];
      for (let i = 0; i < expected.length; ++i) {
        await page.keyboard.press(key);
        const focus = await readFocus(page);
        visited.push(focus.id);
        if (inputIds(ids).includes(focus.id)) {
          assert.ok(focus.allSelected, `${key} to ${focus.id} left its text unselected`);
        }
      }
      assert.deepEqual(visited, expected, key);
    }
  });
});

test('Enter recalculates on every field and button and presses none of them', async () => {
  await withCalculator(async (page) => {
    for (const [index, id] of ring().entries()) {
      const item = [String(index + 2), '1', String(index * 7), '3'];
      await fillFields(page, item);
      await control(page, id).focus();
      await page.keyboard.press('Enter');
      await waitForResults(page, ids, site.calculator.resultTexts(...item));
      await expectFocus(page, ids.IDC_PRICE, { selected: true });
    }
    assert.equal(await page.getAttribute('body', 'data-state'), 'open');
    assert.deepEqual(await openedPages(page), []);
  });
});

test('Space presses the focused button', async () => {
  await withCalculator(async (page, context) => {
    const item = ['4', '3', '20', '6'];
    await fillFields(page, item);
    await control(page, ids.IDC_RECALCULATE).focus();
    await page.keyboard.press('Space');
    await waitForResults(page, ids, site.calculator.resultTexts(...item));

    await control(page, ids.IDC_WEBSITE).focus();
    const popup = context.waitForEvent('page');
    await page.keyboard.press('Space');
    await popup;
    assert.deepEqual(await openedPages(page), [[ids.WebsitePage, '_blank', 'noopener']]);

    await control(page, ids.IDOK).focus();
    await page.keyboard.press('Space');
    await page.waitForSelector('body[data-state="closed"]');
  });
});

test('Alt+P, Alt+C, Alt+B and Alt+S move to their fields with the text selected', async () => {
  await withCalculator(async (page) => {
    await fillFields(page, ['10', '20', '30', '40']);
    const moves = [
      ['Alt+KeyS', ids.IDC_SELL],
      ['Alt+KeyC', ids.IDC_COST],
      ['Alt+KeyB', ids.IDC_BUY],
      ['Alt+KeyP', ids.IDC_PRICE],
    ];
    for (const [keys, id] of moves) {
      await control(page, ids.IDC_WEBSITE).focus();
      await page.keyboard.press(keys);
      await expectFocus(page, id, { selected: true });
    }
    assert.deepEqual(await readFields(page, ids), ['10', '20', '30', '40']);
    assert.deepEqual(await readResults(page, ids), zeroTexts());
  });
});

// The button shows pushed in from 'down' to 'up', drawn differently while
// down; the command runs only after it is up again. How long it stays down
// is a matter of time, which a busy machine stretches: not checked here.
function checkFlash(log, id) {
  const down = log.find((entry) => entry.event === 'down' && entry.id === id);
  const up = log.find((entry) => entry.event === 'up' && entry.id === id);
  assert.ok(down && up && up.at >= down.at, `button ${id} was not flashed: ${JSON.stringify(log)}`);
  assert.notEqual(down.edge, up.edge, 'the pressed button looks the same as the released one');
  return up;
}

test('Alt+R flashes Recalculate, then recalculates', async () => {
  await withCalculator(async (page) => {
    const item = ['7', '2', '9', '3'];
    await fillFields(page, item);
    await control(page, ids.IDC_SELL).focus();
    await watchPage(page);
    await page.keyboard.press('Alt+KeyR');
    await waitForResults(page, ids, site.calculator.resultTexts(...item));
    const log = await readPageLog(page);
    const up = checkFlash(log, ids.IDC_RECALCULATE);
    const texts = log.find((entry) => entry.event === 'texts');
    assert.ok(texts.at >= up.at, 'the texts changed before the flash ended');
    await expectFocus(page, ids.IDC_PRICE, { selected: true });
  });
});

test('Alt+W flashes Website, then opens the website in a new tab', async () => {
  await withCalculator(async (page, context) => {
    await watchPage(page);
    const popup = context.waitForEvent('page');
    await page.keyboard.press('Alt+KeyW');
    await popup;
    checkFlash(await readPageLog(page), ids.IDC_WEBSITE);
    assert.deepEqual(await openedPages(page), [[ids.WebsitePage, '_blank', 'noopener']]);
  });
});

test('Alt+Q flashes Quit, then quits', async () => {
  await withCalculator(async (page) => {
    await watchPage(page);
    await page.keyboard.press('Alt+KeyQ');
    await page.waitForSelector('body[data-state="closed"]');
    checkFlash(await readPageLog(page), ids.IDOK);
  });
});

test('Alt+F clears the fields and recalculates; Clear Fields on the menu bar does the same', async () => {
  await withCalculator(async (page) => {
    for (const choose of [
      () => page.keyboard.press('Alt+KeyF'),
      () => page.click('[data-command-id="102"]'),
    ]) {
      await typeItem(page, ['2', '1', '3', '2']);
      await waitForResults(page, ids, site.calculator.resultTexts('2', '1', '3', '2'));
      await control(page, ids.IDC_BUY).focus();
      await choose();
      await waitForResults(page, ids, zeroTexts());
      assert.deepEqual(await readFields(page, ids), ['', '', '', '']);
      await expectFocus(page, ids.IDC_PRICE);
    }
  });
});

test('Alt+H opens the Help menu: arrows, Enter, access letters and Escape work in it', async () => {
  await withCalculator(async (page, context) => {
    const menu = page.locator('[role="menu"]');
    await control(page, ids.IDC_COST).focus();
    await page.keyboard.press('Alt+KeyH');
    await menu.waitFor({ state: 'visible' });
    assert.equal(
      await page.evaluate(() => document.activeElement.dataset.commandId),
      String(ids.CMD_ONLINE_HELP),
    );
    // Escape closes the menu, not the calculator, and the focus goes back.
    await page.keyboard.press('Escape');
    await menu.waitFor({ state: 'hidden' });
    assert.equal(await page.getAttribute('body', 'data-state'), 'open');
    await expectFocus(page, ids.IDC_COST);

    await page.keyboard.press('Alt+KeyH');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    await page.locator('[role="dialog"]').waitFor({ state: 'visible' });
    await page.keyboard.press('Escape');
    await page.locator('[role="dialog"]').waitFor({ state: 'hidden' });

    await page.keyboard.press('Alt+KeyH');
    const popup = context.waitForEvent('page');
    await page.keyboard.press('KeyH');
    await popup;
    assert.deepEqual(await openedPages(page), [[ids.HelpPage, '_blank', 'noopener']]);
    assert.equal(await menu.isVisible(), false);
  });
});

test('Escape quits; the window comes back fresh with one button', async () => {
  await withCalculator(async (page) => {
    await typeItem(page, ['$10', '$8', '50', '5']);
    await control(page, ids.IDC_COST).focus();
    await page.keyboard.press('Escape');
    await page.waitForSelector('body[data-state="closed"]');
    assert.equal(await page.locator('.main-window').isVisible(), false);
    const reopen = page.getByRole('button', { name: 'Open KEM Calculator again' });
    assert.equal(await page.getByRole('button').count(), 1);
    await reopen.click();
    await page.waitForSelector('body[data-state="open"]');
    assert.deepEqual(await readFields(page, ids), ['', '', '', '']);
    assert.deepEqual(await readResults(page, ids), zeroTexts());
    await expectFocus(page, ids.IDC_PRICE);
  });
});

test('the close box and the Quit button quit', async () => {
  await withCalculator(async (page) => {
    for (const selector of ['.title-box.close', `.main-window [data-control-id="${ids.IDOK}"]`]) {
      await page.click(selector);
      await page.waitForSelector('body[data-state="closed"]');
      await page.getByRole('button', { name: 'Open KEM Calculator again' }).click();
      await page.waitForSelector('body[data-state="open"]');
    }
  });
});

test('the About box is modal: Tab, Enter and Escape are its own, the Alt letters act on the main window', async () => {
  await withCalculator(async (page) => {
    const dialog = page.locator('[role="dialog"]');
    const ok = dialog.locator(`[data-control-id="${ids.IDOK}"]`);
    async function openAbout() {
      await page.click('[aria-haspopup="menu"]');
      await page.click(`[data-command-id="${ids.CMD_ABOUT}"]`);
      await dialog.waitFor({ state: 'visible' });
      assert.deepEqual(await readFocus(page), { id: ids.IDOK, inAboutBox: true, allSelected: false });
    }

    await fillFields(page, ['6', '4', '12', '3']);
    await control(page, ids.IDC_BUY).focus();
    await openAbout();
    assert.match(await dialog.innerText(), /KEM Calculator[\s\S]*Varnok/);
    for (const key of ['Tab', 'Shift+Tab', 'x', '5']) {
      await page.keyboard.press(key);
      assert.deepEqual(await readFocus(page), { id: ids.IDOK, inAboutBox: true, allSelected: false }, key);
    }
    // The main window takes no clicks.
    await control(page, ids.IDC_PRICE)
      .click({ force: true, timeout: 1000 })
      .catch(() => {});
    assert.equal((await readFocus(page)).inAboutBox, true);
    assert.deepEqual(await readFields(page, ids), ['6', '4', '12', '3']);
    await page.keyboard.press('Enter');
    await dialog.waitFor({ state: 'hidden' });
    await expectFocus(page, ids.IDC_BUY);
    assert.equal(await page.getAttribute('body', 'data-state'), 'open');

    for (const close of [
      () => page.keyboard.press('Escape'),
      () => page.keyboard.press('Space'),
      () => ok.click(),
    ]) {
      await openAbout();
      await close();
      await dialog.waitFor({ state: 'hidden' });
      assert.equal(await page.getAttribute('body', 'data-state'), 'open');
    }

    // Alt+R recalculates the main window behind the box; Alt+P picks where
    // the focus goes when it closes.
    await openAbout();
    await page.keyboard.press('Alt+KeyR');
    await waitForResults(page, ids, site.calculator.resultTexts('6', '4', '12', '3'));
    await page.keyboard.press('Alt+KeyS');
    assert.equal(await dialog.isVisible(), true);
    await page.keyboard.press('Alt+KeyF');
    await page.keyboard.press('Alt+KeyH');
    assert.equal(await page.locator('[role="menu"]').isVisible(), false);
    assert.deepEqual(await readFields(page, ids), ['6', '4', '12', '3']);
    await page.keyboard.press('Enter');
    await dialog.waitFor({ state: 'hidden' });
    await expectFocus(page, ids.IDC_SELL, { selected: true });

    await openAbout();
    await page.keyboard.press('Alt+KeyQ');
    await page.waitForSelector('body[data-state="closed"]');
    assert.equal(await dialog.isVisible(), false);
  });
});

test('Website and Online Help open their addresses in new tabs with no way back', async () => {
  await withCalculator(async (page, context) => {
    const asked = [];
    await context.route(/^http:\/\/[^/]+\/kem(help)?\.htm$/, (route) => {
      asked.push(route.request().url());
      route.fulfill({ contentType: 'text/html', body: '<title>publisher</title>' });
    });
    assert.match(ids.WebsitePage, /^http:\/\/[^/]+\/kem\.htm$/);
    assert.match(ids.HelpPage, /^http:\/\/[^/]+\/kemhelp\.htm$/);
    const choices = [
      [() => page.click(`[data-control-id="${ids.IDC_WEBSITE}"]`), ids.WebsitePage],
      [
        async () => {
          await page.click('[aria-haspopup="menu"]');
          await page.click(`[data-command-id="${ids.CMD_ONLINE_HELP}"]`);
        },
        ids.HelpPage,
      ],
    ];
    for (const [choose, address] of choices) {
      const popupEvent = context.waitForEvent('page');
      await choose();
      const popup = await popupEvent;
      await popup.waitForLoadState();
      assert.equal(popup.url(), address);
      assert.equal(await popup.evaluate(() => window.opener), null);
      await popup.close();
    }
    assert.deepEqual(asked, [ids.WebsitePage, ids.HelpPage]);
  });
});

test('a blocked pop-up is ignored without a word', async () => {
  const context = await site.browser.newContext();
  try {
    // One browser throws when it blocks a pop-up, another returns null.
    await context.addInitScript(() => {
      window.kemOpenCalls = 0;
      window.open = () => {
        if (++window.kemOpenCalls % 2) {
          throw new Error('blocked');
        }
        return null;
      };
    });
    const page = await openCalculator(site, { context });
    await page.click(`.main-window [data-control-id="${ids.IDC_WEBSITE}"]`);
    await page.keyboard.press('Alt+KeyW');
    await page.waitForFunction(() => window.kemOpenCalls === 2);
    assert.equal(await page.getAttribute('body', 'data-state'), 'open');
    assert.deepEqual(page.errors, []);
  } finally {
    await context.close();
  }
});

test("F6 moves between the window and the page line, where Tab and Enter are the page's own", async () => {
  await withCalculator(async (page) => {
    await typeItem(page, ['2', '1', '3', '2']);
    await control(page, ids.IDC_COST).focus();
    await page.keyboard.press('F6');
    const focusedOnPage = () =>
      page.evaluate(() => ({
        inLine: Boolean(document.activeElement.closest('.page-line')),
        text: document.activeElement.textContent,
      }));
    assert.deepEqual(await focusedOnPage(), { inLine: true, text: 'Copy results' });
    assert.match(await page.textContent('.pane-hint'), /F6/);
    // The window's keys are not the page's: Escape does not quit, Tab goes
    // to the page's next control.
    await page.keyboard.press('Escape');
    await page.keyboard.press('Tab');
    assert.equal(await page.getAttribute('body', 'data-state'), 'open');
    assert.deepEqual(await focusedOnPage(), { inLine: true, text: 'Copy link to these figures' });
    await page.keyboard.press('F6');
    await expectFocus(page, ids.IDC_COST);
    // Back out, and by Tab to the link, which Enter follows.
    await page.keyboard.press('F6');
    for (let i = 0; i < 8; ++i) {
      if (await page.evaluate(() => document.activeElement.matches('a[href="catalogue.html"]'))) {
        break;
      }
      await page.keyboard.press('Tab');
    }
    await page.keyboard.press('Enter');
    await page.waitForURL(/catalogue\.html$/);
    await page.waitForFunction(() => document.body.dataset.state === 'ready');
  });
});

// Holds the window's flash timer until the test lets it go: what comes
// during the flash then comes during it on any machine, however busy.
async function holdFlashes(page) {
  await page.evaluate((flashMs) => {
    const setTimer = window.setTimeout.bind(window);
    window.kemHeldFlashes = [];
    window.setTimeout = (callback, ms, ...rest) => {
      if (ms !== flashMs) {
        return setTimer(callback, ms, ...rest);
      }
      window.kemHeldFlashes.push(() => callback(...rest));
      return 0;
    };
  }, ids.kFlashMs);
}

async function endFlashes(page) {
  await page.waitForFunction(() => window.kemHeldFlashes.length > 0);
  await page.evaluate(() => window.kemHeldFlashes.splice(0).forEach((end) => end()));
}

test('keys and clicks during a flash wait for its command and come after it, in order', async () => {
  await withCalculator(async (page) => {
    const item = ['2', '1', '3', '2'];
    await fillFields(page, item);
    await control(page, ids.IDC_PRICE).evaluate((field) => field.setSelectionRange(1, 1));
    await holdFlashes(page);
    await page.keyboard.press('Alt+KeyR');
    await page.waitForSelector(`[data-control-id="${ids.IDC_RECALCULATE}"][data-pressed]`);
    // Within the flash: a 7, then a click on the cost field.
    await page.keyboard.type('7');
    await control(page, ids.IDC_COST).click();
    assert.deepEqual(await readFields(page, ids), item);
    assert.deepEqual(await readResults(page, ids), zeroTexts());
    await endFlashes(page);
    // The window recalculated the 2, selected the price, and the 7 took its
    // place; then the click moved to the cost field.
    await waitForResults(page, ids, site.calculator.resultTexts(...item));
    assert.deepEqual(await readFields(page, ids), ['7', '1', '3', '2']);
    await expectFocus(page, ids.IDC_COST);
  });
});

test('Ctrl+Enter is Enter: it recalculates, and closes the About box', async () => {
  await withCalculator(async (page) => {
    const item = ['9', '4', '20', '5'];
    await fillFields(page, item);
    await control(page, ids.IDC_SELL).focus();
    await page.keyboard.press('Control+Enter');
    await waitForResults(page, ids, site.calculator.resultTexts(...item));
    await expectFocus(page, ids.IDC_PRICE, { selected: true });
    await page.keyboard.press('Alt+KeyH');
    await page.keyboard.press('KeyA');
    await page.locator('[role="dialog"]').waitFor({ state: 'visible' });
    await page.keyboard.press('Control+Enter');
    await page.locator('[role="dialog"]').waitFor({ state: 'hidden' });
  });
});

test("a click on a field's label leaves the focus where it is", async () => {
  await withCalculator(async (page) => {
    for (const id of inputIds(ids)) {
      await control(page, ids.IDC_COST).focus();
      await page.click(`label[for="control-${id}"]`);
      await expectFocus(page, ids.IDC_COST);
    }
  });
});

test('F10 or a lone Alt enters the menu bar: its letters choose, Escape leaves it', async () => {
  await withCalculator(async (page) => {
    const menu = page.locator('[role="menu"]');
    for (const enter of ['F10', 'Alt']) {
      await fillFields(page, ['5', '4', '3', '2']);
      await control(page, ids.IDC_BUY).focus();
      await page.keyboard.press(enter);
      assert.equal(
        await page.evaluate(() => document.activeElement.dataset.commandId),
        String(ids.CMD_CLEAR_FIELDS),
        enter,
      );
      // H opens Help rather than typing into the field; Escape closes it
      // back to the bar, and again leaves the bar.
      await page.keyboard.press('KeyH');
      await menu.waitFor({ state: 'visible' });
      await page.keyboard.press('Escape');
      await menu.waitFor({ state: 'hidden' });
      await page.keyboard.press('Escape');
      await expectFocus(page, ids.IDC_BUY);
      assert.deepEqual(await readFields(page, ids), ['5', '4', '3', '2']);
      // Along the bar with the arrows, and F on it clears the fields.
      await page.keyboard.press(enter);
      await page.keyboard.press('ArrowRight');
      await page.keyboard.press('ArrowLeft');
      await page.keyboard.press('KeyF');
      await waitForResults(page, ids, zeroTexts());
      assert.deepEqual(await readFields(page, ids), ['', '', '', '']);
    }
  });
});

test('the About box closing gives the field back its selection as it was', async () => {
  await withCalculator(async (page) => {
    await fillFields(page, ['6', '4', '1234', '3']);
    await control(page, ids.IDC_BUY).evaluate((field) => {
      field.focus();
      field.setSelectionRange(1, 3);
    });
    await page.keyboard.press('Alt+KeyH');
    await page.keyboard.press('KeyA');
    await page.locator('[role="dialog"]').waitFor({ state: 'visible' });
    await page.keyboard.press('Escape');
    await page.locator('[role="dialog"]').waitFor({ state: 'hidden' });
    await expectFocus(page, ids.IDC_BUY);
    assert.deepEqual(
      await control(page, ids.IDC_BUY).evaluate((field) => [field.selectionStart, field.selectionEnd]),
      [1, 3],
    );
  });
});

test("a field stops taking typed text at its width, as the window's do", async () => {
  await withCalculator(async (page) => {
    const typed = '123456789012345';
    await control(page, ids.IDC_SELL).focus();
    await page.keyboard.type(typed);
    const field = await control(page, ids.IDC_SELL).evaluate((input) => ({
      value: input.value,
      scrolls: input.scrollWidth > input.clientWidth || input.scrollLeft > 0,
    }));
    assert.ok(typed.startsWith(field.value) && field.value.length < typed.length, field.value);
    assert.ok(field.value.length >= 5, `only ${field.value} fits`);
    assert.equal(field.scrolls, false);
  });
});
