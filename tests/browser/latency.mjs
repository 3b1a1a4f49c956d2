// From a parameter change to the first new image on screen, as the page
// sees it: the normalDeviation slider is moved 50 times, each time while the
// previous change is still refining, and the time from the input event to
// the new image decoded in the page is taken.
// Usage: node latency.mjs PATH/TO/flakecoat [--size 512x512] [--changes 50]
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchBrowser, skip, nextImage, startViewer } from './viewerSession.mjs';

const [tool, ...rest] = process.argv.slice(2);
const option = (name, fallback) => { const i = rest.indexOf(name); return i >= 0 ? rest[i + 1] : fallback; };
const size = option('--size', '512x512');
const changes = Number(option('--changes', '50'));
const pause = Number(option('--pause', '250'));  // ms between an image and the next change

// The bare render of the first step, for scale: the machine may be shared.
function renderMilliseconds() {
  const directory = mkdtempSync(join(tmpdir(), 'flakecoat-latency-'));
  const times = [];
  for (let i = 0; i < 7; ++i) {
    const run = spawnSync(tool, ['render', '--host', 'maya', '--spp', '1', '--size', size,
                                 '--out', join(directory, 'ball.png')], { encoding: 'utf8' });
    const match = run.stderr.match(/maya: \d+ samples in ([0-9.e-]+) s/);
    if (match) times.push(Number(match[1]) * 1000);
  }
  rmSync(directory, { recursive: true, force: true });
  times.sort((a, b) => a - b);
  return times[Math.floor(times.length / 2)];
}

const { browser, close, reason } = await launchBrowser();
if (!browser) skip(`Chromium cannot start here (${reason})`);
const viewer = await startViewer(tool, ['--size', size]);
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 900 });
  await page.goto(viewer.url);
  await nextImage(page, 0, 64, 120000);  // settled

  const times = [];
  const firstSpp = [];
  for (let i = 0; i < changes; ++i) {
    const value = (0.2 + ((i * 37) % 100) * 0.037).toFixed(3);
    const { elapsed, spp } = await page.evaluate((v) => new Promise((resolve) => {
      const before = window.flakecoatShown.generation;
      const slider = document.querySelector('input[type=range][name=normalDeviation]');
      const start = performance.now();
      document.addEventListener('flakecoat:image', function shown(event) {
        if (event.detail.generation <= before) return;
        document.removeEventListener('flakecoat:image', shown);
        resolve({ elapsed: performance.now() - start, spp: event.detail.spp });
      });
      slider.value = v;
      slider.dispatchEvent(new Event('input', { bubbles: true }));
    }), value);
    times.push(elapsed);
    firstSpp.push(spp);
    await new Promise((resolve) => setTimeout(resolve, pause));
  }
  const render = renderMilliseconds();
  times.sort((a, b) => a - b);
  const quantile = (q) => times[Math.min(times.length - 1, Math.ceil(q * times.length) - 1)];
  console.log(`${changes} changes at ${size}: change to first new image median ${quantile(0.5).toFixed(1)} ms, ` +
              `90th percentile ${quantile(0.9).toFixed(1)} ms, min ${times[0].toFixed(1)} ms, ` +
              `max ${times[times.length - 1].toFixed(1)} ms; first image at 1 spp in ` +
              `${firstSpp.filter((s) => s === 1).length} of ${changes}`);
  console.log(`the bare 1-spp render alone (flakecoat render, median of 7): ${render.toFixed(1)} ms; ` +
              `median latency / render = ${(quantile(0.5) / render).toFixed(2)}`);
} finally {
  await close();
  await viewer.stop();
}
