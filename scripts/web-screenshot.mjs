// The Node half of scripts/web-screenshot.sh.
// Usage: node scripts/web-screenshot.mjs SITE_DIR OUTPUT_PNG
import { openCalculator, startSite, typeItem, waitForResults } from '../tests/web/browser.mjs';

const [siteDir, output] = process.argv.slice(2);
const item = ['$10', '$8', '50', '5'];
const site = await startSite(siteDir);
try {
  const page = await openCalculator(site);
  await typeItem(page, item);
  await waitForResults(page, site.ids, site.calculator.resultTexts(...item));
  await page.locator('.main-window').screenshot({ path: output });
  console.log(`Wrote ${output}`);
} finally {
  await site.stop();
}
