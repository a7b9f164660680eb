// Shared by the page tests and the screenshot script: the site served from
// 127.0.0.1, the system's Chromium driven by playwright-core, and a few
// readings of the page.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

import { chromium } from 'playwright-core';

import { startServer } from '../../web/tools/serve.mjs';

// Debian's chromium; playwright-core downloads no browser of its own.
const kChromium = process.env.KEM_CHROMIUM ?? '/usr/bin/chromium';
// As root Chromium starts only without its sandbox; the rest keeps it from
// talking to anything but the test's own server.
const kChromiumArgs = [
  '--no-sandbox',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-default-apps',
  '--disable-sync',
  '--no-first-run',
  '--no-default-browser-check',
];

// Every wait on the page is bounded by this.
export const kWaitMs = 5000;

export async function startSite(siteDir) {
  const { server, address } = await startServer(siteDir);
  const browser = await chromium.launch({ executablePath: kChromium, args: kChromiumArgs });
  const ids = await import(pathToFileURL(join(siteDir, 'resource.mjs')));
  const { loadCalculator } = await import(pathToFileURL(join(siteDir, 'kem.mjs')));
  return {
    address,
    browser,
    ids,
    calculator: await loadCalculator(),
    async stop() {
      await browser.close();
      server.close();
    },
  };
}

// Every breach of the page's content policy, in window.kemViolations, and
// told as an error. Run as an init script.
function recordViolations() {
  window.kemViolations = [];
  document.addEventListener('securitypolicyviolation', (event) => {
    const violation = `${event.effectiveDirective} ${event.blockedURI} ${event.sourceFile}:${event.lineNumber}`;
    window.kemViolations.push(violation);
    console.error(`content policy: ${violation}`);
  });
}

// A new page of `context` whose errors, and breaches of the content
// policy, are collected in page.errors.
export async function newWatchedPage(context) {
  const page = await context.newPage();
  page.setDefaultTimeout(kWaitMs);
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') {
      page.errors.push(message.text());
    }
  });
  await page.addInitScript(recordViolations);
  return page;
}

// A page in a context of its own, open and ready for keys. Errors the page
// throws are collected in page.errors.
export async function openCalculator(site, { viewport = { width: 480, height: 520 }, context } = {}) {
  const ownContext = context ?? (await site.browser.newContext({ viewport }));
  const page = await newWatchedPage(ownContext);
  await page.goto(site.address);
  await page.waitForSelector('body[data-state="open"]');
  return page;
}

// Until the page's service worker has taken it over.
export async function waitForServiceWorker(page) {
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller) {
      await new Promise((resolve) =>
        navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true }),
      );
    }
  });
}

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// What axe-core finds wrong with the page as it stands: "rule: the elements".
// It is run as the tools run it, from outside the page, which the page's
// content policy does not stop.
export async function findAccessibilityFaults(page) {
  await page.evaluate(axeSource);
  const violations = await page.evaluate(async () => (await window.axe.run(document)).violations);
  return violations.map(
    (violation) => `${violation.id}: ${violation.nodes.map((node) => node.target.join(' ')).join(', ')}`,
  );
}

// A first visit to the site in `siteDir`, from a server of its own, until its
// service worker controls the page; then that server stops and the context
// goes offline. `watch(context)` runs before the page opens. Resolves to
// { context, page, address }.
export async function visitThenGoOffline(site, siteDir, { contextOptions = {}, watch } = {}) {
  const { server, address } = await startServer(siteDir);
  const context = await site.browser.newContext(contextOptions);
  watch?.(context);
  const page = await context.newPage();
  page.setDefaultTimeout(kWaitMs);
  await page.goto(address);
  await page.waitForSelector('body[data-state="open"]');
  await waitForServiceWorker(page);
  server.closeAllConnections();
  await new Promise((resolve) => server.close(resolve));
  await context.setOffline(true);
  return { context, page, address };
}

// Types an item's fields as a user does from the price field: each text,
// Tab to the next field, Enter after the last.
export async function typeItem(page, fields) {
  for (const [index, text] of fields.entries()) {
    await page.keyboard.type(text);
    await page.keyboard.press(index < fields.length - 1 ? 'Tab' : 'Enter');
  }
}

// Drops a file of `text` named `name` on the catalogue view, as a user drops
// one from the desktop.
export async function dropFile(page, name, text) {
  await page.evaluate(
    ([fileName, fileText]) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([fileText], fileName, { type: 'text/csv' }));
      document
        .querySelector('main')
        .dispatchEvent(new DragEvent('drop', { bubbles: true, dataTransfer: transfer }));
    },
    [name, text],
  );
}

export function control(page, id) {
  return page.locator(`.main-window [data-control-id="${id}"]`);
}

// The four fields, and the six results in the order of the model's texts.
export function inputIds(ids) {
  return [ids.IDC_PRICE, ids.IDC_COST, ids.IDC_BUY, ids.IDC_SELL];
}

export function resultIds(ids) {
  return [
    ids.IDC_ANNUAL_SALES,
    ids.IDC_GROSS_PROFIT,
    ids.IDC_GP_PERCENT,
    ids.IDC_MONTHS_SUPPLY,
    ids.IDC_AVG_INVENTORY,
    ids.IDC_RETURN_ON_INVENTORY,
  ];
}

export async function readResults(page, ids) {
  return page.evaluate(
    (list) => list.map((id) => document.querySelector(`.main-window [data-control-id="${id}"]`).textContent),
    resultIds(ids),
  );
}

export async function readFields(page, ids) {
  return page.evaluate(
    (list) => list.map((id) => document.querySelector(`.main-window [data-control-id="${id}"]`).value),
    inputIds(ids),
  );
}

// The focused control: its id (null for none), whether it is inside the
// About box, and whether all of its text is selected.
export async function readFocus(page) {
  return page.evaluate(() => {
    const element = document.activeElement;
    const id = element?.dataset?.controlId;
    const isField = element instanceof HTMLInputElement;
    return {
      id: id === undefined ? null : Number(id),
      inAboutBox: Boolean(element?.closest('[role="dialog"]')),
      allSelected: isField && element.selectionStart === 0 && element.selectionEnd === element.value.length,
    };
  });
}

// Waits until the six result texts are the given ones.
export async function waitForResults(page, ids, texts) {
  await page.waitForFunction(
    ([list, wanted]) =>
      list.every(
        (id, i) => document.querySelector(`.main-window [data-control-id="${id}"]`).textContent === wanted[i],
      ),
    [resultIds(ids), texts],
  );
}

// Records, with performance.now() times, each button going down or up
// (data-pressed) with its drawn edge at that moment, and each change of a
// result text. Read back with readPageLog.
export async function watchPage(page) {
  await page.evaluate(() => {
    window.kemTestLog = [];
    const observer = new MutationObserver((records) => {
      const at = performance.now();
      for (const record of records) {
        const target = record.target;
        if (record.type === 'attributes') {
          window.kemTestLog.push({
            event: target.hasAttribute('data-pressed') ? 'down' : 'up',
            id: Number(target.dataset.controlId),
            edge: getComputedStyle(target).boxShadow,
            at,
          });
        } else if (target instanceof HTMLOutputElement) {
          window.kemTestLog.push({ event: 'texts', id: Number(target.dataset.controlId), at });
        }
      }
    });
    observer.observe(document.body, {
      subtree: true,
      childList: true,
      attributes: true,
      attributeFilter: ['data-pressed'],
    });
  });
}

export async function readPageLog(page) {
  return page.evaluate(() => window.kemTestLog);
}

// Counts the pages the page asks to open, before the browser opens them.
export async function countOpenedPages(context) {
  await context.addInitScript(() => {
    window.kemOpened = [];
    const open = window.open.bind(window);
    window.open = (...args) => {
      window.kemOpened.push(args);
      return open(...args);
    };
  });
}

// The catalogue view in a context of its own (downloads allowed), errors
// collected in page.errors as for the calculator; every request the page or
// its worker makes is recorded in page.requests.
export async function openCatalogue(site, { viewport = { width: 1100, height: 900 }, context } = {}) {
  const ownContext = context ?? (await site.browser.newContext({ viewport, acceptDownloads: true }));
  const page = await newWatchedPage(ownContext);
  page.requests = [];
  ownContext.on('request', (request) => page.requests.push(request.url()));
  await page.goto(new URL('catalogue.html', site.address).href);
  await page.waitForFunction(() => document.body.dataset.state === 'ready');
  return page;
}
