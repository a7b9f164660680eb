// The Node half of scripts/catalogue-screenshot.sh.
// Usage: node scripts/catalogue-screenshot.mjs SITE_DIR OUTPUT_PNG
import { dropFile, openCatalogue, startSite } from '../tests/web/browser.mjs';

const [siteDir, output] = process.argv.slice(2);

// A small shop: sku, name, category, supplier, then the four figures.
const kItems = [
  ['T-100', 'Claw hammer', 'Tools', 'Acme', '$24.90', '$11.20', '300', '35'],
  ['T-220', 'Spirit level, 60 cm', 'Tools', 'Acme', '$18.50', '$9.75', '250', '12'],
  ['T-310', 'Screwdriver set', 'Tools', 'Bolt & Co', '$32.00', '$21.40', '240', '28'],
  ['G-015', 'Seed tray', 'Garden', 'GreenLine', '$3.99', '$1.10', '900', '150'],
  ['G-120', 'Hose, 25 m', 'Garden', 'GreenLine', '$39.00', '$27.50', '60', '9'],
  ['G-300', 'Pruning shears', 'Garden', 'Bolt & Co', '$21.00', '$8.40', '100', '22'],
  ['K-001', 'Tea towel', 'Kitchen', 'Linen Ltd', '$6.50', '$2.10', '80', '95'],
  ['K-050', 'Chef knife', 'Kitchen', 'Bolt & Co', '$59.00', '$31.00', '12', '7'],
  ['K-210', 'Mixing bowl', 'Kitchen', 'Linen Ltd', '$14.00', '$7.90', '30', '18'],
  ['L-010', 'Lantern', 'Lighting', 'Acme', '$45.00', '$30.00', '400', '10'],
  ['L-020', 'Bulb pack', 'Lighting', 'Linen Ltd', '$8.00', '$5.00', '1200', '40'],
  ['P-404', 'Clearance lamp', 'Clearance', 'Acme', '$9.00', '$14.00', '40', '10'],
  ['P-405', 'Clearance rug', 'Clearance', 'Linen Ltd', '$25.00', '$31.00', '20', '6'],
];

function toCsv(rows) {
  const quote = (field) => (/[",]/.test(field) ? `"${field.replace(/"/g, '""')}"` : field);
  return rows.map((row) => row.map(quote).join(',')).join('\r\n') + '\r\n';
}

const site = await startSite(siteDir);
try {
  const page = await openCatalogue(site, { viewport: { width: 1400, height: 800 } });
  const text = toCsv([['SKU', 'Name', 'Category', 'Supplier', 'Price', 'Cost', 'Bought', 'Sold'], ...kItems]);
  await dropFile(page, 'shop-export.csv', text);
  await page.waitForFunction(() => document.body.dataset.state === 'done');
  await page.selectOption('select[name="group-by"]', { label: '3: Category' });
  await page.waitForFunction(() => document.querySelector('.chart-title').textContent.includes('per group'));
  await page.waitForFunction(() => document.body.dataset.state === 'done');
  await page.waitForSelector('.items-table tbody tr');
  // What if the tools' prices rise 5 % and they sell 10 % more: now and after.
  await page.fill('input.change-text[name="price"]', '5');
  await page.fill('input.change-text[name="sold"]', '10');
  await page.selectOption('select[name="what-if-group"]', { label: 'Tools' });
  await page.waitForFunction(() => document.querySelector('.items-table th.after'));
  await page.screenshot({ path: output, fullPage: true });
  console.log(`Wrote ${output}`);
} finally {
  await site.stop();
}
