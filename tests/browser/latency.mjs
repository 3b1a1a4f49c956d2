// Latency while a slider is dragged, as the page shows it: the
// normalDeviation slider gets an input event every 16-27 ms for 2 s (as a
// drag sends them), and every image the page shows is timed when its
// pixels reach the screen (decoded, then the next animation frame). For
// the ball and for a model of about a million triangles it reports, over
// several drags (median, and the worst drag):
//   gap     the largest time without a new image during the drag (from its
//           first input event, between images, and to its last event)
//   settle  from the last input event to the image of that last value
// and the largest interval between the input events themselves (a busy
// machine delays the page's timers too).
// Usage: node latency.mjs PATH/TO/flakecoat [--size 512x512] [--drags 5]
//          [--duration 2000] [--models ball,mesh] [--threads N]
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchBrowser, skip, nextImage, startViewer } from './viewerSession.mjs';
import { writeSphereObj } from './sphereObj.mjs';

const [tool, ...rest] = process.argv.slice(2);
const option = (name, fallback) => { const i = rest.indexOf(name); return i >= 0 ? rest[i + 1] : fallback; };
const size = option('--size', '512x512');
const drags = Number(option('--drags', '5'));
const duration = Number(option('--duration', '2000'));
const models = option('--models', 'ball,mesh').split(',');
const threads = option('--threads', '');

// One drag inside the page; resolves with the times (ms, page clock) of
// its input events and of every image shown, with their generations.
function drag(page, from, to) {
  return page.evaluate((duration, from, to) => new Promise((resolve) => {
    const slider = document.querySelector('input[type=range][name=normalDeviation]');
    const inputs = [];
    const images = [];
    const onImage = (event) => {
      const { generation, divisor, spp } = event.detail;
      requestAnimationFrame(() => images.push({ t: performance.now(), generation, divisor, spp }));
    };
    document.addEventListener('flakecoat:image', onImage);
    const start = performance.now();
    const step = () => {
      const now = performance.now();
      if (now - start >= duration) return finish();
      slider.value = String(from + (to - from) * (now - start) / duration);
      inputs.push(now);
      slider.dispatchEvent(new Event('input', { bubbles: true }));
      setTimeout(step, 16 + Math.random() * 11);
    };
    // Once every change has been answered the server's generation is the
    // last value's; its image is awaited (up to 10 s).
    const finish = async () => {
      await new Promise((r) => setTimeout(r, 300));
      const last = (await (await fetch('/state', { cache: 'no-store' })).json()).generation;
      const deadline = performance.now() + 10000;
      while (!images.some((i) => i.generation >= last) && performance.now() < deadline) {
        await new Promise((r) => setTimeout(r, 10));
      }
      document.removeEventListener('flakecoat:image', onImage);
      resolve({ inputs, images, last });
    };
    step();
  }), duration, from, to);
}

function measure({ inputs, images, last }) {
  const first = inputs[0], end = inputs[inputs.length - 1];
  const during = images.filter((i) => i.t > first && i.t <= end).map((i) => i.t);
  const marks = [first, ...during, end];
  let gap = 0;
  for (let i = 1; i < marks.length; ++i) gap = Math.max(gap, marks[i] - marks[i - 1]);
  const settled = images.find((i) => i.generation >= last);
  const divisors = [...new Set(images.filter((i) => i.t <= end).map((i) => i.divisor))].sort((a, b) => b - a);
  // The page's own timers show how busy the machine is: a loaded machine
  // delays the input events themselves.
  let inputGap = 0;
  for (let i = 1; i < inputs.length; ++i) inputGap = Math.max(inputGap, inputs[i] - inputs[i - 1]);
  return { gap, settle: settled ? settled.t - end : Infinity, changes: inputs.length, shown: during.length, divisors,
           inputGap };
}

const median = (values) => { const s = [...values].sort((a, b) => a - b); return s[Math.floor((s.length - 1) / 2)]; };

async function measureModel(browser, name, viewerArgs) {
  const viewer = await startViewer(tool, ['--size', size, ...(threads ? ['--threads', threads] : []), ...viewerArgs]);
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 900 });
    await page.goto(viewer.url);
    await nextImage(page, 0, 1, 120000);
    const results = [];
    for (let i = 0; i < drags; ++i) {
      await new Promise((resolve) => setTimeout(resolve, 1000));  // refining when the drag starts
      const result = measure(await drag(page, i % 2 ? 3.5 : 0.3, i % 2 ? 0.3 : 3.5));
      results.push(result);
      console.log(`  ${name} drag ${i + 1}: ${result.changes} changes (largest interval ${result.inputGap.toFixed(1)} ms), ` +
                  `${result.shown} images during the drag ` +
                  `(sizes 1/${result.divisors.join(', 1/')}), largest gap ${result.gap.toFixed(1)} ms, ` +
                  `last change to its image ${result.settle.toFixed(1)} ms`);
    }
    const gaps = results.map((r) => r.gap), settles = results.map((r) => r.settle);
    console.log(`${name} at ${size}, ${drags} drags of ${duration} ms: largest gap median ${median(gaps).toFixed(1)} ms ` +
                `(worst ${Math.max(...gaps).toFixed(1)}), last change to its image median ${median(settles).toFixed(1)} ms ` +
                `(worst ${Math.max(...settles).toFixed(1)})`);
    await page.close();
  } finally {
    await viewer.stop();
  }
}

const { browser, close, reason } = await launchBrowser();
if (!browser) skip(`Chromium cannot start here (${reason})`);
const folder = mkdtempSync(join(tmpdir(), 'flakecoat-latency-'));
try {
  if (models.includes('ball')) await measureModel(browser, 'ball', []);
  if (models.includes('mesh')) {
    const model = join(folder, 'sphere.obj');
    const triangles = await writeSphereObj(model);
    await measureModel(browser, `model (${triangles} triangles)`, ['--mesh', model]);
  }
} finally {
  await close();
  rmSync(folder, { recursive: true, force: true });
}
