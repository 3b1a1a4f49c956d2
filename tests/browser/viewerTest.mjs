// The viewer in a real browser: the page loads without console errors,
// every numeric input of both hosts has a slider and a labelled, described
// control, dragging the normalDeviation slider and picking a colour change
// the image (the swatch in sRGB, the value linear), a bad value shows the
// server's message, dragging and scrolling on the image and the close-up
// toggle move the camera, switching host keeps the inputs both hosts have, pixels
// that are not finite are marked and named, and a saved look loads back.
// Usage: node viewerTest.mjs PATH/TO/flakecoat
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchBrowser, skip, nextImage, settledImage, shownDigest, startViewer } from './viewerSession.mjs';

// Every component of every numeric input the page's host declares has a
// slider and a field; every control a label and a description.
async function expectEverySlider(page) {
  const inputs = (await page.evaluate(() => fetch('/inputs').then((r) => r.json()))).inputs;
  for (const input of inputs) {
    assert.ok(input.label && input.description, `${input.name}: label and description`);
    const title = await page.$eval(`[data-input=${input.name}] .label`, (l) => l.title);
    assert.ok(title.includes(input.description), `${input.name}: the description is its tooltip`);
    if (input.kind === 'boolean') continue;
    for (let i = 0; i < input.arity; ++i) {
      assert.ok(await page.$(`input[type=range][name=${input.name}][data-index="${i}"]`), `${input.name} ${i}: a slider`);
      assert.ok(await page.$(`input[type=number][name=${input.name}][data-index="${i}"]`), `${input.name} ${i}: a field`);
    }
  }
  return inputs.length;
}

// A drag of input events every 20 ms: images keep coming while it lasts
// (a loop that restarted on every change would show none until it ends),
// and the last value's image follows. It ends on `endValue`.
async function imagesWhileDragging(page, endValue) {
  return page.evaluate((endValue) => new Promise((resolve) => {
    const slider = document.querySelector('input[type=range][name=normalDeviation]');
    const shown = [];
    let last = 0;
    const onImage = (event) => shown.push({ t: performance.now(), generation: event.detail.generation });
    document.addEventListener('flakecoat:image', onImage);
    const start = performance.now();
    const step = async () => {
      const elapsed = performance.now() - start;
      slider.value = String(elapsed < 1000 ? 0.5 + elapsed / 500 : endValue);
      last = performance.now();
      slider.dispatchEvent(new Event('input', { bubbles: true }));
      if (elapsed < 1000) return setTimeout(step, 20);
      await new Promise((r) => setTimeout(r, 300));
      const final = (await (await fetch('/state')).json()).generation;
      while (!shown.some((i) => i.generation >= final)) await new Promise((r) => setTimeout(r, 20));
      document.removeEventListener('flakecoat:image', onImage);
      resolve({ during: shown.filter((i) => i.t <= last).length, final });
    };
    step();
  }), endValue);
}

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
  console.log(`page loaded, first image shown; ${await expectEverySlider(page)} Maya controls, each with its sliders`);

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
  const dragged = await imagesWhileDragging(page, value);
  assert.ok(dragged.during >= 2, `images shown while the slider moves (${dragged.during})`);
  shown = await settledImage(page);
  digest = await shownDigest(page);
  console.log(`drag: ${dragged.during} images shown while the slider moved, then the last value's`);

  // Pick a colour (the picker's dialog is the browser's own; set its value
  // as the dialog would). The swatch is sRGB, the value linear: 0xc0 is
  // 0.527 linear, 0x18 0.00913.
  await page.$eval('input[type=color][name=color]', (picker) => {
    picker.value = '#c01818';
    picker.dispatchEvent(new Event('input', { bubbles: true }));
  });
  await nextImage(page, shown.generation);
  shown = await settledImage(page);
  assert.notEqual(await shownDigest(page), digest, 'the colour changed the image');
  const state = await (await page.evaluate(() => fetch('/state').then((r) => r.json())));
  assert.deepEqual(state.values.color.map((v) => Number(v.toFixed(4))), [0.5271, 0.0091, 0.0091], 'linear values');
  await page.reload();
  await settledImage(page);
  assert.equal(await page.$eval('input[type=color][name=color]', (p) => p.value), '#c01818', 'the swatch shows sRGB');
  console.log('colour pick: image changed, linear values sent, sRGB shown');

  // Drag on the image to orbit (0.4 degrees a pixel: right turns the object
  // right, down looks from higher), scroll to zoom, tick the close-up; each
  // changes the image and the camera of the command and the saved look.
  const area = await (await page.$('#image')).boundingBox();
  const centre = [area.x + area.width / 2, area.y + area.height / 2];
  const readState = () => page.evaluate(() => fetch('/state').then((r) => r.json()));
  for (const [what, act, expected] of [
    ['drag', async () => {
      await page.mouse.move(...centre);
      await page.mouse.down();
      await page.mouse.move(centre[0] + 60, centre[1] + 40, { steps: 6 });
      await page.mouse.up();
    }, (c) => c.orbit === -24 && c.elevation === 26],
    ['wheel', () => page.mouse.wheel({ deltaY: -200 }), (c) => Math.abs(c.zoom - Math.exp(0.3)) < 1e-4],
    ['close-up', () => page.click('#closeup'), (c) => c.shot === 'closeup'],
  ]) {
    digest = await shownDigest(page);
    await act();
    let camera;  // a drag's changes go one after another: wait for the last
    for (let tries = 0; !expected(camera = (await readState()).camera) && tries < 100; ++tries) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    assert.ok(expected(camera), `${what}: the camera is ${JSON.stringify(camera)}`);
    shown = await settledImage(page);
    assert.notEqual(await shownDigest(page), digest, `${what}: the image changed`);
  }
  const moved = (await readState()).command;
  assert.match(moved, / --orbit -24 --elevation 26 --zoom 1\.3498\d* --shot closeup /);
  const lookStage = JSON.parse(await page.evaluate(() => fetch('/look').then((r) => r.text()))).stage;
  assert.deepEqual([lookStage.orbit, lookStage.elevation, lookStage.shot], [-24, 26, 'closeup']);
  console.log(`camera: drag, wheel and close-up each changed the image; ${moved}`);

  // A value below the hard minimum, typed into a field.
  const field = await page.$('input[type=number][name=refractiveIndex][data-index="0"]');
  await field.click({ clickCount: 3 });
  await field.type('0.5');
  await field.press('Tab');
  await page.waitForFunction(() => document.getElementById('message').textContent.includes('below the minimum 1'));
  const note = await page.$eval('[data-input=refractiveIndex] .error', (e) => e.textContent);
  assert.match(note, /refractiveIndex: 0\.5 is below the minimum 1/);
  console.log(`bad value: "${note}"`);

  // Switch host: the controls become the mental ray parameters, and the
  // look goes along where mental ray has the same inputs.
  await page.select('#host', 'mentalray');
  await page.waitForSelector('[data-input=useIrradiance] input[type=checkbox]');
  assert.equal(await page.$('[data-input=transparency]'), null, 'no Maya-only control after switching');
  assert.ok(await page.$('input[type=number][name=frequencyX]'), 'mental ray names after switching');
  shown = await nextImage(page, shown.generation);
  const command = await page.$eval('#command', (c) => c.value);
  assert.match(command, /render --host mentalray /);
  const carried = Number(await page.$eval('input[type=number][name=normalDeviation]', (f) => f.value));
  assert.equal(carried, value, 'normalDeviation kept across the switch');
  assert.equal(await page.$eval('input[type=color][name=color]', (p) => p.value), '#c01818', 'the colour kept');
  console.log(`host switch: controls re-read, the look kept; ${await expectEverySlider(page)} mental ray controls`);

  // Save the look (the link's download is GET /look), spoil it, load it back.
  assert.equal(await page.$eval('#saveLook', (a) => a.getAttribute('href')), '/look');
  const saved = await page.evaluate(() => fetch('/look').then((r) => r.text()));
  const folder = mkdtempSync(join(tmpdir(), 'flakecoat-look-'));
  writeFileSync(join(folder, 'saved.json'), saved);

  // Not-finite samples: a refractive index of 0 breaks the mental ray shader.
  for (let i = 0; i < 3; ++i) {
    const index = await page.$(`input[type=number][name=refractiveIndex][data-index="${i}"]`);
    await index.click({ clickCount: 3 });
    await index.type('0');
    await index.press('Tab');
  }
  // The first zero already breaks the shader: wait for the note on all three.
  await page.waitForFunction(() => /not finite.*refractiveIndex=0,0,0/.test(document.getElementById('problem').textContent),
    { timeout: 120000 });
  const problem = await page.$eval('#problem', (p) => p.textContent);
  assert.match(problem, /shown in magenta: mentalray with .*refractiveIndex=0,0,0/);
  const magenta = await page.evaluate(async () => {
    const image = document.getElementById('image');
    const canvas = document.createElement('canvas');
    canvas.width = image.naturalWidth;
    canvas.height = image.naturalHeight;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
    let count = 0;
    for (let i = 0; i < pixels.length; i += 4) if (pixels[i] === 255 && pixels[i + 1] === 0 && pixels[i + 2] === 255) ++count;
    return count;
  });
  assert.ok(magenta > 0, 'pixels that are not finite show in magenta');
  console.log(`not finite: ${magenta} magenta pixels, "${problem.slice(0, 60)}..."`);

  const upload = await page.$('#lookFile');
  const before = (await page.evaluate(() => fetch('/state').then((r) => r.json()))).generation;
  await upload.uploadFile(join(folder, 'saved.json'));
  await page.waitForFunction((g) => fetch('/state').then((r) => r.json()).then((s) => s.generation > g), {}, before);
  shown = await settledImage(page);
  rmSync(folder, { recursive: true, force: true });
  assert.equal(await page.$eval('#problem', (p) => p.textContent), '', 'the loaded look renders cleanly');
  assert.equal(await page.evaluate(() => fetch('/look').then((r) => r.text())), saved, 'the look loaded back whole');
  console.log('look saved and loaded back');

  // A built-in environment and the shadow catcher, in the command and the look.
  await page.select('#environment', 'sun');
  await page.waitForFunction(() => / --env sun( |$)/.test(document.getElementById('command').value));
  await page.select('#floor', 'shadow');
  await page.waitForFunction(() => / --floor shadow( |$)/.test(document.getElementById('command').value));
  const lit = JSON.parse(await page.evaluate(() => fetch('/look').then((r) => r.text())));
  assert.equal(lit.stage.env, 'sun', 'the built-in saved by name');
  assert.equal(lit.stage.floor, 'shadow');
  console.log('environment and floor: in the command and the saved look');

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
