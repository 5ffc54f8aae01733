// What the viewer's browser tests share: counting checks, starting headless Chromium on the page,
// waiting for a load, and reading the drawn plot back.
import { chromium } from 'playwright-core';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const CHROMIUM_ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
export const PREFIX = { '-12': 'p', '-9': 'n', '-6': '\u00b5', '-3': 'm', '0': '', '3': 'k', '6': 'M', '9': 'G' };
export const viewerPage = pathToFileURL(resolve(dirname(fileURLToPath(import.meta.url)), '../../viewer/index.html')).href;

let passed = 0;
const failures = [];
export function check(name, ok, detail = '') {
  if (ok) passed++;
  else failures.push(`${name}${detail ? ': ' + String(detail).slice(0, 300) : ''}`);
  return ok;
}
export const close = (a, b, tol) => Math.abs(a - b) <= tol;
export const rel = (a, b, r) => Math.abs(a - b) <= r * Math.max(Math.abs(a), Math.abs(b), 1e-300);

// "49.98 kHz" -> 49980; "-3.04 V" -> -3.04; null for anything else (a dash).
export function siValue(text, unit) {
  const m = new RegExp(`^(-?[\\d.]+) ([pnµmkMG]?)${unit}$`).exec(text ?? '');
  if (!m) return null;
  return Number(m[1]) * 10 ** Number(Object.keys(PREFIX).find((k) => PREFIX[k] === m[2]));
}

export async function waitForLoad(page, loads) {
  await page.waitForFunction((n) => window.benchcomViewer && window.benchcomViewer.loads >= n
    && window.benchcomViewer.status !== 'loading', loads, { timeout: 30000 });
  return page.evaluate(() => {
    const s = window.benchcomViewer;
    return {
      status: s.status, error: s.error, loads: s.loads, source: s.source, timeInterval: s.timeInterval,
      xUnit: s.xUnit, yUnit: s.yUnit, warnings: s.warnings, axes: s.axes,
      channels: s.channels.map((c) => ({ name: c.name, label: c.label, scale: c.scale, points: c.points })),
    };
  });
}

export function readSvg(page) {
  return page.evaluate(() => {
    const svg = document.querySelector('#chart svg');
    if (!svg) return null;
    const frame = svg.querySelector('.plot-frame');
    const num = (e, a) => Number(e.getAttribute(a));
    const ticks = (sel) => [...svg.querySelectorAll(sel)].map((t) => ({ label: t.textContent, value: num(t, 'data-value'), x: num(t, 'x'), y: num(t, 'y') }));
    return {
      frame: ['x', 'y', 'width', 'height', 'data-x-min', 'data-x-max', 'data-y-min', 'data-y-max'].map((a) => num(frame, a)),
      traces: [...svg.querySelectorAll('polyline.trace')].map((p) => ({
        channel: p.getAttribute('data-channel'), stroke: p.getAttribute('stroke'),
        points: p.getAttribute('points').trim().split(/\s+/).map((xy) => xy.split(',').map(Number)),
      })),
      xTicks: ticks('.x-axis .tick-label'), yTicks: ticks('.y-axis .tick-label'),
      xLabel: svg.querySelector('.x-axis .axis-label')?.textContent,
      yLabel: svg.querySelector('.y-axis .axis-label')?.textContent,
      legend: [...svg.querySelectorAll('.legend-entry')].map((e) => e.textContent),
    };
  });
}

// Tick labels read, in the axis's prefixed unit, the values at their places; ticks evenly spaced.
export function checkTicks(what, ticks, exponent, position, coord) {
  check(`${what} axis: at least four ticks`, ticks.length >= 4, `${ticks.length}`);
  const step = ticks.length > 1 ? ticks[1].value - ticks[0].value : 1;
  const wrong = ticks.filter((t) => !close(Number(t.label) * 10 ** exponent, t.value, Math.abs(step) * 1e-6)
    || !close(t[coord], position(t), 0.01));
  check(`${what} axis: tick labels match their places`, wrong.length === 0, JSON.stringify(wrong[0]));
  check(`${what} axis: ticks increase evenly`, ticks.every((t, i) => i === 0 || rel(t.value - ticks[i - 1].value, step, 1e-6)));
}

// Lets a page opened from the file system read other files by their address, as ?src= needs.
export const FILE_ACCESS = ['--allow-file-access-from-files'];

// Runs `body(page, scratch, context)` in a fresh headless Chromium (with `extraArgs` on its
// command line), then prints the failures and the count and exits with the result.
export async function runInBrowser(title, body, viewport = { width: 1200, height: 1000 }, extraArgs = []) {
  const scratch = mkdtempSync(join(tmpdir(), 'benchcom-viewer-'));
  const context = await chromium.launchPersistentContext(join(scratch, 'profile'), {
    executablePath: '/usr/bin/chromium', headless: true, args: [...CHROMIUM_ARGS, ...extraArgs], viewport, acceptDownloads: true,
  });
  const pageErrors = [];
  try {
    const page = context.pages()[0] ?? await context.newPage();
    page.on('pageerror', (e) => pageErrors.push(e.message));
    await body(page, scratch, context);
  } catch (e) {
    check('test ran to its end', false, e.stack ?? String(e));
  } finally {
    await context.close();
    rmSync(scratch, { recursive: true, force: true });
  }
  check('no uncaught errors in the page', pageErrors.length === 0, pageErrors.join(' | '));
  failures.forEach((f) => console.log(`FAILED ${f}`));
  console.log(`${failures.length ? 'FAIL' : 'PASS'} ${title}`);
  console.log(`viewer: ${passed} passed, ${failures.length} failed`);
  process.exit(failures.length ? 1 : 0);
}
