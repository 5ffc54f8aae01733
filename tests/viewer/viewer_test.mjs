// Opens viewer/index.html in headless Chromium and checks what it plots against the capture files,
// read here independently of the viewer:
//   node viewer_test.mjs CHART_JS CSV OUT_PNG [SINGLE_CHANNEL_CSV...]
// Prints one line per failed check, then PASS or FAIL and a count; exits 1 on any failure.
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, relative, resolve, sep } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { readChartScript, readCsv, csvChannels, volts } from './capture_files.mjs';
import { FILE_ACCESS, PREFIX, check, checkTicks, close, readSvg, rel, runInBrowser, viewerPage, waitForLoad } from './harness.mjs';

const SAMPLES = 4000;

const [chartPath, csvPath, outPng, ...singlePaths] = process.argv.slice(2);
if (!chartPath || !csvPath || !outPng) {
  console.error('usage: node viewer_test.mjs CHART_JS CSV OUT_PNG [SINGLE_CHANNEL_CSV...]');
  process.exit(2);
}

// --- expectations from the files -------------------------------------------------------------
function expectFromChartScript(path) {
  const { head, samples } = readChartScript(readFileSync(path, 'utf8'));
  check('chart script: every gbF line has nine arguments', samples.every(Boolean));
  check('chart script: 4000 gbF lines', samples.length === SAMPLES, `found ${samples.length}`);
  check('chart script: display offset lines', head.offsetLines[0] === '-Vertical1Position*1.0/Vertical1Scale*50.0'
    && head.offsetLines[1] === '+Vertical2Position*1.0/Vertical2Scale*50.0', JSON.stringify(head.offsetLines));
  const ok = samples.filter(Boolean);
  return {
    timeInterval: head.timeInterval, units: head.units1, raw: ok,
    channels: [
      { name: 'CH1', scale: head.scale1, points: ok.map((c) => [c.n * head.timeInterval, volts(c.s1, head.position1, head.scale1)]) },
      { name: 'CH2', scale: head.scale2, points: ok.map((c) => [c.n * head.timeInterval, volts(c.s2, head.position2, head.scale2)]) },
    ],
  };
}

function expectFromCsv(path) {
  const { settings, rows, end } = readCsv(readFileSync(path, 'utf8'));
  check(`${path}: closing line present`, end > 0);
  check(`${path}: 4000 sample rows`, rows.length === SAMPLES, `found ${rows.length}`);
  const channels = csvChannels(settings, rows);
  return { timeInterval: Number(settings['Sampling Period']), raw: rows, channels };
}

// --- checks ----------------------------------------------------------------------------------
function checkPoints(what, got, want, tolerance) {
  if (!check(`${what}: point count`, got.length === want.length, `${got.length} != ${want.length}`)) return;
  const bad = got.findIndex((p, i) => !close(p[0], want[i][0], tolerance[0]) || !close(p[1], want[i][1], tolerance[1]));
  check(`${what}: every point (t, volts)`, bad < 0, bad < 0 ? '' : `point ${bad}: ${got[bad]} != ${want[bad]}`);
}

function checkState(what, state, expected, kind, tolerance) {
  check(`${what}: loaded`, state.status === 'ready', `${state.status} ${state.error ?? ''}`);
  check(`${what}: source kind`, state.source?.kind === kind, JSON.stringify(state.source));
  check(`${what}: channel names`, JSON.stringify(state.channels.map((c) => c.name)) === JSON.stringify(expected.channels.map((c) => c.name)),
    state.channels.map((c) => c.name).join(','));
  check(`${what}: sampling period`, rel(state.timeInterval, expected.timeInterval, 1e-12), `${state.timeInterval}`);
  check(`${what}: axes in seconds and volts`, state.xUnit === 's' && state.yUnit === 'V', `${state.xUnit} ${state.yUnit}`);
  expected.channels.forEach((ch, i) => {
    const got = state.channels[i]?.points ?? [];
    checkPoints(`${what} ${ch.name}`, got, ch.points, tolerance);
    const [first, last] = [ch.points[0], ch.points[ch.points.length - 1]];
    check(`${what} ${ch.name}: first point`, got.length > 0 && close(got[0][0], 0, 0) && close(got[0][1], first[1], tolerance[1]), `${got[0]}`);
    check(`${what} ${ch.name}: last point at 3999 sampling periods`, got.length === SAMPLES
      && rel(got[SAMPLES - 1][0], 3999 * expected.timeInterval, 1e-12) && close(got[SAMPLES - 1][1], last[1], tolerance[1]), `${got[got.length - 1]}`);
  });
}

// Reads each drawn polyline back through the frame's data range and compares it with the data.
function checkDrawing(what, svg, expected, state) {
  if (!check(`${what}: chart drawn`, svg !== null)) return;
  const [left, top, width, height, xMin, xMax, yMin, yMax] = svg.frame;
  const spanX = 3999 * expected.timeInterval;
  check(`${what}: time axis spans the capture`, xMin === 0 && rel(xMax, spanX, 1e-12), `${xMin}..${xMax}`);
  const exponent = Math.min(9, Math.max(-12, Math.floor(Math.log10(spanX) / 3) * 3));
  check(`${what}: time axis label with prefixed unit`, svg.xLabel === `Time (${PREFIX[exponent]}s)`, svg.xLabel);
  check(`${what}: voltage axis label`, /^Voltage \([pnµmkMG]?V\)$/.test(svg.yLabel ?? ''), svg.yLabel);
  check(`${what}: one polyline per channel`, svg.traces.length === expected.channels.length, `${svg.traces.length}`);
  check(`${what}: distinct colours`, new Set(svg.traces.map((t) => t.stroke)).size === svg.traces.length);
  const all = expected.channels.flatMap((c) => c.points.map((p) => p[1]));
  check(`${what}: voltage axis covers the data`, yMin <= Math.min(...all) && yMax >= Math.max(...all), `${yMin}..${yMax}`);
  expected.channels.forEach((ch, i) => {
    const drawn = (svg.traces[i]?.points ?? []).map(([px, py]) => [
      xMin + (px - left) / width * (xMax - xMin), yMax - (py - top) / height * (yMax - yMin)]);
    checkPoints(`${what} ${ch.name} polyline`, drawn, ch.points, [(xMax - xMin) * 1e-4, (yMax - yMin) * 1e-4]);
  });
  checkTicks(`${what} time`, svg.xTicks, state.axes.x.exponent, (t) => left + (t.value - xMin) / (xMax - xMin) * width, 'x');
  checkTicks(`${what} voltage`, svg.yTicks, state.axes.y.exponent, (t) => top + (yMax - t.value) / (yMax - yMin) * height, 'y');
  checkLegend(what, svg.legend, expected.channels);
}

function checkLegend(what, legend, channels) {
  check(`${what}: legend entry per channel`, legend.length === channels.length, JSON.stringify(legend));
  channels.forEach((ch, i) => {
    const m = /^(\S+)\s+(-?[\d.]+) ([pnµmkMG]?)V\/div$/.exec(legend[i] ?? '');
    const shown = m ? Number(m[2]) * 10 ** Number(Object.keys(PREFIX).find((k) => PREFIX[k] === m[3])) : NaN;
    check(`${what}: legend names ${ch.name} with its V/div`, m !== null && m[1] === ch.name && rel(shown, ch.scale, 5e-3), legend[i]);
  });
}

// A capture taken while the instrument gave no settings: all scales and the period read as zero.
function checkDegenerate(what, state, svg) {
  check(`${what}: loaded`, state.status === 'ready', state.error ?? '');
  check(`${what}: falls back to counts and sample numbers`, state.xUnit === 'samples' && state.yUnit === 'counts');
  check(`${what}: says why`, state.warnings.length >= 2, JSON.stringify(state.warnings));
  check(`${what}: raw samples plotted`, JSON.stringify(state.channels.map((c) => c.points))
    === JSON.stringify([[[0, 12], [1, -7], [2, 0]], [[0, 3], [1, 4], [2, -128]]]), JSON.stringify(state.channels.map((c) => c.points)));
  check(`${what}: no NaN drawn`, svg !== null && svg.traces.every((t) => t.points.flat().every(Number.isFinite)));
}

const degenerateScript = (scale1, scale2, timeInterval) => ["var Vertical1Units='V'", `var Vertical1Scale=${scale1}`,
  'var Vertical1Position=        0', "var Vertical2Units='V'", `var Vertical2Scale=${scale2}`, 'var Vertical2Position=        0',
  'var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0', 'var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0',
  `timeInterval=${timeInterval}`,
  ...[[12, 3], [-7, 4], [0, -128]].map(([a, b], n) => `gbF( 'vornel','x@y','Sun Feb  22 10:30:47 UTC 2015 ','h',${a},${b},0,0,'${n}');`)].join('\n') + '\n';
// All settings zero, as when the instrument does not answer; and the texts the C library prints
// for a float that is not a number or infinite, as a garbled block header gives.
const DEGENERATE_SCRIPTS = {
  'no settings': degenerateScript('        0', '        0', '0.000000e+00'),
  'non-finite settings': degenerateScript('      NAN', '      INF', '-nan'),
};

// --- the run ---------------------------------------------------------------------------------
async function run(page, scratch) {
  const script = expectFromChartScript(chartPath);
  const dual = expectFromCsv(csvPath);
  check('chart script and CSV hold the same samples', script.raw.length === dual.raw.length
    && script.raw.every((c, i) => c.s1 === Number(dual.raw[i][0]) && c.s2 === Number(dual.raw[i][1])));
  const exact = [1e-18, 1e-9];

  await page.goto(`${viewerPage}?src=${encodeURIComponent(pathToFileURL(resolve(chartPath)).href)}`);
  let state = await waitForLoad(page, 1);
  checkState('chart script (?src=)', state, script, 'chart script', exact);
  checkDrawing('chart script (?src=)', await readSvg(page), script, state);

  const relativeSrc = relative(dirname(fileURLToPath(viewerPage)), resolve(chartPath)).split(sep).join('/');
  await page.goto(`${viewerPage}?src=${encodeURIComponent(relativeSrc)}`);
  state = await waitForLoad(page, 1);
  check('chart script (?src= relative to the page)', state.status === 'ready'
    && state.channels.every((c) => c.points.length === SAMPLES), `${relativeSrc}: ${state.status} ${state.error ?? ''}`);

  await page.setInputFiles('#open-files', csvPath);
  state = await waitForLoad(page, state.loads + 1);
  checkState('CSV', state, dual, 'CSV', exact);
  checkDrawing('CSV', await readSvg(page), dual, state);
  // The CSV head holds four significant digits, the chart script six: the two agree to that.
  dual.channels.forEach((ch, i) => check(`CSV ${ch.name} agrees with the chart script`, ch.points.every((p, n) =>
    close(p[1], script.channels[i].points[n][1], ch.scale * 2e-3) && rel(p[0], script.channels[i].points[n][0], 1e-3) || n === 0)));

  if (singlePaths.length) {
    const singles = singlePaths.map(expectFromCsv);
    const merged = { timeInterval: singles[0].timeInterval, channels: singles.flatMap((s) => s.channels) };
    await page.setInputFiles('#open-files', singlePaths);
    state = await waitForLoad(page, state.loads + 1);
    checkState('single-channel CSV', state, merged, 'CSV', exact);
  }

  for (const [what, text] of Object.entries(DEGENERATE_SCRIPTS)) {
    const file = join(scratch, `${what.replace(/\W/g, '_')}.js`);
    writeFileSync(file, text);
    await page.setInputFiles('#open-files', file);
    state = await waitForLoad(page, state.loads + 1);
    checkDegenerate(what, state, await readSvg(page));
  }

  await page.goto(`${viewerPage}?src=${encodeURIComponent(pathToFileURL(join(scratch, 'missing.js')).href)}`);
  state = await waitForLoad(page, 1);
  check('missing chart script: reported as an error', state.status === 'error' && /missing\.js/.test(state.error ?? ''), JSON.stringify(state.error));

  // Reloading through the picker replaces what was collected: still 4000 points, not 8000.
  await page.setInputFiles('#open-files', chartPath);
  state = await waitForLoad(page, state.loads + 1);
  checkState('chart script (file picker)', state, script, 'chart script', exact);
  await page.setInputFiles('#open-files', chartPath);
  state = await waitForLoad(page, state.loads + 1);
  checkState('chart script reloaded', state, script, 'chart script', exact);
  checkDrawing('chart script reloaded', await readSvg(page), script, state);
  await page.screenshot({ path: outPng, fullPage: true });
}

// ?src= names files by their address: the browser must let the page read them.
runInBrowser(`viewer test (screenshot: ${outPng})`, run, undefined, FILE_ACCESS);
