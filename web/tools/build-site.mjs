// Writes the static site: the page laid out from the window's resources, its
// scripts and style sheet, the module em++ built, the icons drawn from the
// program icon, the manifest and the service worker that keeps it all offline.
//
// Usage: node web/tools/build-site.mjs MODULE_DIR SITE_DIR
//   MODULE_DIR  where em++ wrote kem.mjs and kem.wasm
//   SITE_DIR    the folder to write (created when missing)
import { createHash } from 'node:crypto';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { encodePng, readIconImage } from './icon-png.mjs';
import { minifyScript, minifyStyles } from './minify.mjs';
import { readSiteResources } from './resources.mjs';
import {
  createLayout,
  escapeHtml,
  renderAboutBox,
  renderLayoutCss,
  renderMainWindow,
} from './window-markup.mjs';

const root = fileURLToPath(new URL('../../', import.meta.url));
const siteSources = join(root, 'web', 'site');

// The page's own script, which imports the other modules.
const kPageScript = 'calculator.mjs';
// Files copied as they are from web/site: the calculator's, then the
// catalogue view's, which the calculator page never loads.
const kStaticFiles = [
  'calculator.css',
  kPageScript,
  'keys.mjs',
  'menu.mjs',
  'fields.mjs',
  'share.mjs',
  'updates.mjs',
  'manifest.webmanifest',
];
// The positions of the windows' controls, written from the templates.
const kLayoutSheet = 'window.css';
// Both pages' content policy: their own files only, and WebAssembly
// compiled from them.
const kContentPolicy =
  "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; base-uri 'none'; form-action 'none'";
const kCatalogueFiles = [
  'catalogue.html',
  'catalogue.css',
  'catalogue.mjs',
  'catalogue-worker.mjs',
  'catalogue-rows.mjs',
  'catalogue-fields.mjs',
  'catalogue-chart.mjs',
  'catalogue-reports.mjs',
  'catalogue-what-if.mjs',
];
// The modules em++ built: the calculator's, and the catalogue library's for
// the catalogue view's worker.
const kCalculatorModule = ['kem.mjs', 'kem.wasm'];
const kCatalogueModule = ['kemcat.mjs', 'kemcat.wasm'];

// The icons: [file, edge in pixels of the icon image, its bits per pixel,
// enlargement]. The title bar and tab use the small images as drawn; the
// install icons are the 256-colour image enlarged 6 and 16 times.
const kIcons = [
  ['icon-16.png', 16, 4, 1],
  ['icon-32.png', 32, 8, 1],
  ['icon-192.png', 32, 8, 6],
  ['icon-512.png', 32, 8, 16],
];

// Everything the page's script loads, asked for at once with the page
// instead of one level of imports after the other.
function renderPreloads(names) {
  const modules = names.filter((name) => name.endsWith('.mjs') && name !== kPageScript);
  return [
    ...modules.map((name) => `<link rel="modulepreload" href="${name}">`),
    '<link rel="preload" href="kem.wasm" as="fetch" type="application/wasm" crossorigin>',
  ].join('\n');
}

// Fills the {{slots}} of a page of web/site.
function fillSlots(name, parts) {
  const template = readFileSync(join(siteSources, name), 'utf8');
  return template.replace(/\{\{[a-z-]+\}\}/g, (slot) => {
    if (!(slot in parts)) {
      throw new Error(`${name}: unknown slot ${slot}`);
    }
    return parts[slot];
  });
}

// The calculator page, its window showing the zero-state texts from the
// start, as the window has them before it is first shown; and its layout.
function renderIndex(resources, names, zeroTexts) {
  const layout = createLayout();
  const html = fillSlots('index.html', {
    '{{content-policy}}': kContentPolicy,
    '{{caption}}': escapeHtml(resources.mainWindow.caption),
    '{{preloads}}': renderPreloads(names),
    '{{main-window}}': renderMainWindow(resources, layout, zeroTexts),
    '{{about-box}}': renderAboutBox(resources, layout),
  });
  return { html, css: renderLayoutCss(layout) };
}

// The six texts of empty fields, as the model gives them, by result id.
async function readZeroTexts(moduleDir, resources) {
  const { loadCalculator } = await import(pathToFileURL(join(moduleDir, 'kem.mjs')));
  const texts = (await loadCalculator()).resultTexts('', '', '', '');
  return new Map(resources.facts.kResultIds.map((id, field) => [id, texts[field]]));
}

// The ids of resource.h, the page addresses and id lists of window.h, the
// focus ring and the flash time, and the model's and the catalogue
// library's facts, for the scripts.
function renderResourceModule(resources) {
  const lines = [
    '// Written by web/tools/build-site.mjs from resources/resource.h, window/window.h,',
    '// window/focus_ring.h, keyboard/keyboard.h, model/inventory.h and',
    '// catalogue/column_map.cpp.',
  ];
  for (const [name, value] of Object.entries(resources.defines)) {
    if (typeof value === 'number') {
      lines.push(`export const ${name} = ${value};`);
    }
  }
  for (const [name, value] of [...Object.entries(resources.pages), ...Object.entries(resources.facts)]) {
    lines.push(`export const ${name} = ${JSON.stringify(value)};`);
  }
  return `${lines.join('\n')}\n`;
}

// Scripts and style sheets as the site serves them: without the comments
// and blanks the sources keep for their readers.
async function minifyFiles(files) {
  for (const [name, bytes] of files) {
    if (/\.m?js$/.test(name)) {
      files.set(name, Buffer.from(await minifyScript(name, bytes.toString('utf8'))));
    } else if (name.endsWith('.css')) {
      files.set(name, Buffer.from(minifyStyles(bytes.toString('utf8'))));
    }
  }
}

// The worker's list of files to keep and a cache name that changes whenever
// any of them does, so a new build replaces the old copies.
function renderServiceWorker(files) {
  const hash = createHash('sha256');
  for (const [name, bytes] of files) {
    hash.update(name).update(bytes);
  }
  // The calculator page is kept as the folder's address, which the worker
  // also stores as index.html: fetched once, not twice.
  const names = ['./', ...[...files.keys()].filter((name) => name !== 'index.html')];
  const header = [
    '// Written by web/tools/build-site.mjs.',
    `const kCacheName = 'kem-${hash.digest('hex').slice(0, 16)}';`,
    `const kSiteFiles = ${JSON.stringify(names)};`,
  ].join('\n');
  return `${header}\n${readFileSync(join(siteSources, 'sw.js'), 'utf8')}`;
}

async function buildSite(moduleDir, siteDir) {
  const resources = readSiteResources(root);
  const files = new Map();
  files.set('resource.mjs', Buffer.from(renderResourceModule(resources)));
  for (const name of kStaticFiles) {
    files.set(name, readFileSync(join(siteSources, name)));
  }
  for (const name of kCalculatorModule) {
    files.set(name, readFileSync(join(moduleDir, name)));
  }
  const ico = readFileSync(join(root, 'resources', 'kem.ico'));
  for (const [name, size, bits, scale] of kIcons) {
    files.set(name, encodePng(readIconImage(ico, size, bits), scale));
  }
  const index = renderIndex(
    resources,
    [...files.keys(), kLayoutSheet],
    await readZeroTexts(moduleDir, resources),
  );
  files.set(kLayoutSheet, Buffer.from(index.css));
  files.set('index.html', Buffer.from(index.html));
  for (const name of kCatalogueFiles) {
    const page = name.endsWith('.html') ? fillSlots(name, { '{{content-policy}}': kContentPolicy }) : null;
    files.set(name, page === null ? readFileSync(join(siteSources, name)) : Buffer.from(page));
  }
  for (const name of kCatalogueModule) {
    files.set(name, readFileSync(join(moduleDir, name)));
  }
  await minifyFiles(files);
  mkdirSync(siteDir, { recursive: true });
  for (const [name, bytes] of files) {
    writeFileSync(join(siteDir, name), bytes);
  }
  writeFileSync(join(siteDir, 'sw.js'), await minifyScript('sw.js', renderServiceWorker(files)));
}

const [moduleDir, siteDir] = process.argv.slice(2);
if (!moduleDir || !siteDir) {
  console.error('usage: node web/tools/build-site.mjs MODULE_DIR SITE_DIR');
  process.exit(2);
}
await buildSite(moduleDir, siteDir);
