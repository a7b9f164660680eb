// The site as a static host serves it, in real Chromium: a new release
// reaches a returning user under each way hosts set caching, the first visit
// fetches each file once, both pages under their content policy without a
// breach, a module that does not arrive said in words with a retry, and no
// accessibility fault axe-core finds.
//
// Usage: node tests/web/page-deploy-test.mjs SITE_DIR
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, utimesSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { startServer } from '../../web/tools/serve.mjs';
import {
  control,
  dropFile,
  findAccessibilityFaults,
  newWatchedPage,
  openCalculator,
  openCatalogue,
  readResults,
  startSite,
  typeItem,
  waitForResults,
  waitForServiceWorker,
} from './browser.mjs';

const [siteDir] = process.argv.slice(2);
// A release that has lain on the host a year: its files' Last-Modified.
const kYearMs = 365 * 24 * 3600 * 1000;
const kReleaseMark = '<meta name="release" content="B">';
const kStyleMark = '/* release B */';
let site;
let ids;
let workDir;

before(async () => {
  site = await startSite(siteDir);
  ids = site.ids;
  workDir = mkdtempSync(join(tmpdir(), 'kem-deploy-'));
});

after(async () => {
  await site?.stop();
  rmSync(workDir, { recursive: true, force: true });
});

// A copy of the site as an earlier release, its files a year old.
function copyRelease(name) {
  const dir = join(workDir, name);
  cpSync(siteDir, dir, { recursive: true });
  const then = new Date(Date.now() - kYearMs);
  for (const file of readdirSync(dir)) {
    utimesSync(join(dir, file), then, then);
  }
  return dir;
}

// The next release over it: a changed page and style sheet, and the worker
// of a new build, whose cache name changes with any file.
function publishNextRelease(dir) {
  const edit = (file, change) =>
    writeFileSync(join(dir, file), change(readFileSync(join(dir, file), 'utf8')));
  edit('index.html', (html) => html.replace('</head>', `${kReleaseMark}\n</head>`));
  edit('calculator.css', (css) => `${css}\n${kStyleMark}\n`);
  edit('sw.js', (worker) => worker.replace(/kem-([0-9a-f]+)/, 'kem-$1b'));
}

const kHostSettings = [
  ['Cache-Control: public, max-age=600', 'public, max-age=600'],
  ['no Cache-Control and an old Last-Modified', null],
  ['Cache-Control: no-cache', 'no-cache'],
];

// A first visit: the page open and its service worker in charge of it.
async function visitFirst(context, address) {
  const page = await newWatchedPage(context);
  await page.goto(address);
  await page.waitForSelector('body[data-state="open"]');
  await waitForServiceWorker(page);
  return page;
}

for (const [index, [name, cacheControl]] of kHostSettings.entries()) {
  test(`a new release reaches a returning user by the second visit, served with ${name}`, async () => {
    const dir = copyRelease(`release-${index}`);
    const { server, address } = await startServer(dir, { cacheControl });
    const context = await site.browser.newContext();
    try {
      const page = await visitFirst(context, address);

      publishNextRelease(dir);
      // The first visit after it: the old page, which says a new one is ready.
      await page.reload();
      await page.waitForSelector('body[data-state="open"]');
      assert.equal(await page.locator(`meta[name="release"]`).count(), 0);
      await page.locator('.update-note').waitFor({ state: 'visible' });
      // The second: the new release, every file of it.
      await page.reload();
      await page.waitForSelector('body[data-state="open"]');
      assert.equal(await page.locator(`meta[name="release"]`).count(), 1, 'the page is the old one');
      const style = await page.evaluate(async () => (await fetch('calculator.css')).text());
      assert.ok(style.includes(kStyleMark), 'the style sheet is the old one');
      assert.equal(await page.locator('.update-note').isVisible(), false);
      await typeItem(page, ['$10', '$8', '50', '5']);
      await waitForResults(page, ids, site.calculator.resultTexts('$10', '$8', '50', '5'));
      assert.deepEqual(page.errors, []);
    } finally {
      await context.close();
      server.close();
    }
  });
}

test('a first visit fetches each file once: the service worker keeps what the page fetched', async () => {
  const sent = new Map();
  const { server, address } = await startServer(siteDir, {
    // By file: the folder's address is index.html too.
    onResponse: (path, status) => {
      const file = path.endsWith('/') ? `${path}index.html` : path;
      if (status === 200) {
        sent.set(file, (sent.get(file) ?? 0) + 1);
      }
    },
  });
  const context = await site.browser.newContext();
  try {
    await visitFirst(context, address);
    const twice = [...sent].filter(([, count]) => count > 1);
    assert.deepEqual(twice, [], 'files sent more than once');
    // The worker has the whole site, the catalogue view's files included.
    assert.ok(sent.has('/kemcat.wasm') && sent.has('/kem.wasm'), [...sent.keys()].join(' '));
  } finally {
    await context.close();
    server.close();
  }
});

test("a captive portal's redirect is not kept: the release is not installed until every file is the site's", async () => {
  const context = await site.browser.newContext();
  try {
    // A network that sends one of the files elsewhere, to a page that says 200.
    await context.route(/\/kemcat\.wasm$/, (route) =>
      route.fulfill({ status: 302, headers: { Location: '/portal.html' } }),
    );
    await context.route(/\/portal\.html$/, (route) =>
      route.fulfill({ status: 200, contentType: 'text/html', body: '<title>Sign in</title>' }),
    );
    const page = await newWatchedPage(context);
    await page.goto(site.address);
    await page.waitForSelector('body[data-state="open"]');
    const worker = await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      const installed = registration.installing ?? registration.waiting ?? registration.active;
      await new Promise((resolve) => {
        const settle = () => ['redundant', 'activated'].includes(installed.state) && resolve();
        installed.addEventListener('statechange', settle);
        settle();
      });
      return { state: installed.state, caches: await caches.keys() };
    });
    assert.deepEqual(worker, { state: 'redundant', caches: [] });
    assert.deepEqual(page.errors, []);
  } finally {
    await context.close();
  }
});

test('both pages under a strict content policy, with no breach while they are used', async () => {
  const context = await site.browser.newContext({ viewport: { width: 1000, height: 800 } });
  try {
    const calculator = await openCalculator(site, { context });
    const catalogue = await openCatalogue(site, { context });
    for (const page of [calculator, catalogue]) {
      const policy = await page.getAttribute('meta[http-equiv="Content-Security-Policy"]', 'content');
      assert.match(policy, /(^|; )default-src 'self'(;|$)/);
      assert.match(policy, /(^|; )script-src 'self' 'wasm-unsafe-eval'(;|$)/);
      assert.doesNotMatch(policy, /'unsafe-inline'|'unsafe-eval'|\*/);
    }
    await typeItem(calculator, ['$10', '$8', '50', '5']);
    await calculator.keyboard.press('Alt+KeyH');
    await calculator.keyboard.press('KeyA');
    await calculator.locator('[role="dialog"]').waitFor({ state: 'visible' });
    await calculator.keyboard.press('Enter');
    await calculator.keyboard.press('Alt+KeyR');
    await waitForResults(calculator, ids, site.calculator.resultTexts('$10', '$8', '50', '5'));
    await dropFile(catalogue, 'shop.csv', 'sku,group,price,cost,bought,sold\nA,x,2,1,3,2\nB,y,$10,$8,50,5\n');
    await catalogue.waitForFunction(() => document.body.dataset.state === 'done');
    await catalogue.selectOption('select[name="group-by"]', { label: '2: group' });
    await catalogue.waitForSelector('.chart g.bar');
    for (const page of [calculator, catalogue]) {
      assert.deepEqual(await page.evaluate(() => window.kemViolations), []);
      assert.deepEqual(page.errors, []);
    }
  } finally {
    await context.close();
  }
});

test('a model that does not arrive is said in words, with a retry that brings the window', async () => {
  for (const missing of ['kem.wasm', 'kem.mjs']) {
    const context = await site.browser.newContext();
    try {
      const pattern = new RegExp(`/${missing.replace('.', '\\.')}$`);
      await context.route(pattern, (route) => route.fulfill({ status: 404, body: 'Not found' }));
      const page = await newWatchedPage(context);
      await page.goto(site.address);
      await page.waitForSelector('body[data-state="failed"]');
      const failure = page.getByRole('alert');
      assert.match(await failure.innerText(), /could not start/, missing);
      assert.equal(await page.locator('.main-window').isVisible(), false, missing);
      assert.ok(page.errors.length > 0, `${missing}: the browser saw no failed load`);

      await context.unroute(pattern);
      await failure.getByRole('button', { name: 'Try again' }).click();
      await page.waitForSelector('body[data-state="open"]');
      await expectPriceFocused(page);
      await typeItem(page, ['2', '1', '3', '2']);
      await waitForResults(page, ids, site.calculator.resultTexts('2', '1', '3', '2'));
    } finally {
      await context.close();
    }
  }
});

async function expectPriceFocused(page) {
  const focused = await page.evaluate(() => document.activeElement?.dataset?.controlId);
  assert.equal(Number(focused), ids.IDC_PRICE);
}

test('the window shows the zero-state texts while its model loads', async () => {
  const context = await site.browser.newContext();
  try {
    let release;
    const held = new Promise((resolve) => (release = resolve));
    await context.route(/\/kem\.wasm$/, async (route) => {
      await held;
      await route.continue();
    });
    const page = await newWatchedPage(context);
    await page.goto(site.address, { waitUntil: 'domcontentloaded' });
    assert.equal(await page.getAttribute('body', 'data-state'), 'loading');
    assert.deepEqual(await readResults(page, ids), site.calculator.resultTexts('', '', '', ''));
    release();
    await page.waitForSelector('body[data-state="open"]');
  } finally {
    await context.close();
  }
});

test('axe-core finds no accessibility fault on either page', async () => {
  const context = await site.browser.newContext({ viewport: { width: 1000, height: 800 } });
  try {
    const calculator = await openCalculator(site, { context });
    assert.deepEqual(await findAccessibilityFaults(calculator), [], 'the calculator');
    await control(calculator, ids.IDC_PRICE).focus();
    await calculator.keyboard.press('Alt+KeyH');
    await calculator.keyboard.press('KeyA');
    await calculator.locator('[role="dialog"]').waitFor({ state: 'visible' });
    assert.deepEqual(await findAccessibilityFaults(calculator), [], 'the About box');
    const catalogue = await openCatalogue(site, { context });
    await dropFile(catalogue, 'shop.csv', 'sku,group,price,cost,bought,sold\nA,x,2,1,3,2\nB,,5,6,0,10\n');
    await catalogue.waitForFunction(() => document.body.dataset.state === 'done');
    await catalogue.selectOption('select[name="group-by"]', { label: '2: group' });
    await catalogue.waitForSelector('.chart g.bar');
    assert.deepEqual(await findAccessibilityFaults(catalogue), [], 'the catalogue view');
  } finally {
    await context.close();
  }
});
