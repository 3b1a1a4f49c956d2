// Starts `flakecoat view` and headless Chromium for the browser scripts.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

export const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';

// Runs the tool on a free port; resolves with its URL and a stop function.
export function startViewer(tool, args = []) {
  return new Promise((resolve, reject) => {
    const child = spawn(tool, ['view', '--port', '0', ...args], { stdio: ['ignore', 'pipe', 'inherit'] });
    let output = '';
    child.on('error', reject);
    child.on('exit', (code) => reject(new Error(`flakecoat view exited with ${code} before serving`)));
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const match = output.match(/^(http:\/\/127\.0\.0\.1:\d+\/)$/m);
      if (match) {
        child.removeAllListeners('exit');
        resolve({
          url: match[1],
          stop: () => new Promise((done) => { child.on('exit', done); child.kill('SIGTERM'); }),
        });
      }
    });
  });
}

// The exit status CTest reads as "skipped" (the test's SKIP_RETURN_CODE).
export const SKIPPED = 77;

// Where the browser cannot run the test is skipped, and says why; in CI
// (CI=true) a skip is a failure, so a broken setup cannot pass unseen.
export function skip(reason) {
  if (process.env.CI === 'true') {
    console.error(`FAILED: ${reason} (a skip is a failure in CI)`);
    process.exit(1);
  }
  console.log(`SKIPPED: ${reason}`);
  process.exit(SKIPPED);
}

// Headless Chromium with a fresh profile and nothing that reaches out.
// Resolves with null (and the reason) where it cannot start.
export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'flakecoat-chromium-'));
  try {
    const browser = await puppeteer.launch({
      executablePath: chromiumPath,
      headless: true,
      protocolTimeout: 600000,  // a shared machine may take minutes to refine
      userDataDir: profile,
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    const close = async () => { await browser.close(); rmSync(profile, { recursive: true, force: true }); };
    return { browser, close };
  } catch (error) {
    rmSync(profile, { recursive: true, force: true });
    return { browser: null, reason: error.message.split('\n')[0] };
  }
}

// Resolves with the detail of the first image the page shows whose
// generation is above `generation` (and whose samples reach `spp`).
export function nextImage(page, generation, spp = 1, timeout = 60000) {
  return page.waitForFunction(
    (g, s) => window.flakecoatShown && window.flakecoatShown.generation > g && window.flakecoatShown.spp >= s
      ? window.flakecoatShown : null,
    { timeout, polling: 'raf' }, generation, spp).then((handle) => handle.jsonValue());
}

// Waits until the page shows the server's latest settings fully refined (a
// drag sends several changes; images are compared once the last is done).
export async function settledImage(page) {
  const generation = await page.evaluate(() => fetch('/state').then((r) => r.json()).then((s) => s.generation));
  const steps = await page.evaluate(() => fetch('/state').then((r) => r.json()).then((s) => s.steps));
  return nextImage(page, generation - 1, steps[steps.length - 1]);
}

// A digest of the image on screen, to tell images apart.
export function shownDigest(page) {
  return page.evaluate(async () => {
    const bytes = await (await fetch(document.getElementById('image').src)).arrayBuffer();
    const digest = await crypto.subtle.digest('SHA-256', bytes);
    return Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join('');
  });
}
