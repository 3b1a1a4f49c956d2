// The README's picture of the page: the Maya host with a tuned paint,
// refined to the last step. Usage: node screenshot.mjs PATH/TO/flakecoat OUT.png
import { launchBrowser, skip, nextImage, startViewer } from './viewerSession.mjs';

const [tool, out = 'docs/viewer.png'] = process.argv.slice(2);
const { browser, close, reason } = await launchBrowser();
if (!browser) skip(`Chromium cannot start here (${reason})`);
const viewer = await startViewer(tool, ['--size', '512x512']);
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1010, height: 860 });
  await page.goto(viewer.url);
  let shown = await nextImage(page, 0);
  for (const setting of ['color=0.05,0.12,0.6', 'normalDeviation=2.2', 'reflectivity=0.2']) {
    await page.evaluate((body) => fetch('/set', { method: 'POST', body }), setting);
  }
  await page.reload();
  shown = await nextImage(page, 0, 64, 240000);
  await page.screenshot({ path: out });
  console.log(`${out}: the page at ${shown.spp} samples per pixel`);
} finally {
  await close();
  await viewer.stop();
}
