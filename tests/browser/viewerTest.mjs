// The viewer in a real browser: the page loads without console errors,
// dragging the normalDeviation slider and picking a colour change the
// image, a bad value shows the server's message, switching host re-reads
// the controls. Usage: node viewerTest.mjs PATH/TO/flakecoat
import assert from 'node:assert/strict';
import { launchBrowser, skip, nextImage, settledImage, shownDigest, startViewer } from './viewerSession.mjs';

const tool = process.argv[2];
if (!tool) throw new Error('usage: node viewerTest.mjs PATH/TO/flakecoat');

const { browser, close, reason } = await launchBrowser();
if (!browser) skip(`Chromium cannot start here (${reason})`);
const viewer = await startViewer(tool, ['--size', '96x96']);
const problems = [];
let failed = false;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 900 });
  // The refused value's 400 is the answer we ask for; Chromium logs every
  // 4xx response as an error, so that one is let through.
  page.on('console', (message) => {
    const refusedSetting = /status of 400/.test(message.text()) && /\/set$/.test(message.location().url || '');
    if (message.type() === 'error' && !refusedSetting) problems.push(`${message.text()} ${message.location().url || ''}`);
  });
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('requestfailed', (request) => {
    if (!request.url().includes('/image.png')) problems.push(`request failed: ${request.url()}`);
  });

  await page.goto(viewer.url);
  let shown = await settledImage(page);
  let digest = await shownDigest(page);
  console.log('page loaded, first image shown');

  // Drag the normalDeviation slider to near its top.
  const slider = await page.$('input[type=range][name=normalDeviation]');
  assert.ok(slider, 'a normalDeviation slider');
  await slider.scrollIntoView();
  const box = await slider.boundingBox();
  await page.mouse.move(box.x + box.width * 0.1, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width * 0.9, box.y + box.height / 2, { steps: 8 });
  await page.mouse.up();
  shown = await settledImage(page);
  const value = Number(await page.$eval('input[type=number][name=normalDeviation]', (f) => f.value));
  assert.ok(value > 2.5, `the slider moved the value (${value})`);
  assert.notEqual(await shownDigest(page), digest, 'the slider changed the image');
  digest = await shownDigest(page);
  console.log(`slider: normalDeviation ${value}, image changed`);

  // Pick a colour (the picker's dialog is the browser's own; set its value
  // as the dialog would).
  await page.$eval('input[type=color][name=color]', (picker) => {
    picker.value = '#c01818';
    picker.dispatchEvent(new Event('input', { bubbles: true }));
  });
  await nextImage(page, shown.generation);
  shown = await settledImage(page);
  assert.notEqual(await shownDigest(page), digest, 'the colour changed the image');
  const state = await (await page.evaluate(() => fetch('/state').then((r) => r.text())));
  assert.match(state, /"color":\[0\.752941/, 'the picked colour reached the server');
  console.log('colour pick: image changed');

  // A value below the hard minimum, typed into a field.
  const field = await page.$('input[type=number][name=refractiveIndex][data-index="0"]');
  await field.click({ clickCount: 3 });
  await field.type('0.5');
  await field.press('Tab');
  await page.waitForFunction(() => document.getElementById('message').textContent.includes('below the minimum 1'));
  const note = await page.$eval('[data-input=refractiveIndex] .error', (e) => e.textContent);
  assert.match(note, /refractiveIndex: 0\.5 is below the minimum 1/);
  console.log(`bad value: "${note}"`);

  // Switch host: the controls become the mental ray parameters.
  await page.select('#host', 'mentalray');
  await page.waitForSelector('[data-input=useIrradiance] input[type=checkbox]');
  assert.equal(await page.$('[data-input=transparency]'), null, 'no Maya-only control after switching');
  assert.ok(await page.$('input[type=number][name=frequencyX]'), 'mental ray names after switching');
  shown = await nextImage(page, shown.generation);
  const command = await page.$eval('#command', (c) => c.value);
  assert.match(command, /render --host mentalray /);
  console.log('host switch: controls re-read');

  assert.deepEqual(problems, [], 'no console errors');
  console.log('PASSED: viewer in headless Chromium');
} catch (error) {
  failed = true;
  console.error('FAILED:', error.message);
  if (problems.length) console.error('console errors:', problems);
} finally {
  await close();
  await viewer.stop();
}
process.exit(failed ? 1 : 0);
