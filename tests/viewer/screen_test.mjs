// The viewer as a scope screen, on captures the simulated bench makes of signals it is told:
// measurements, zoom and pan, cursors, exports, overlaid captures and a dropped file.
//   node screen_test.mjs BENCHCOM_SIM BENCHCOM_RUN OUT_DIR
// Captures go to OUT_DIR/dual and OUT_DIR/single, screenshots of each state and the exported
// files to OUT_DIR. Expected numbers come from the signals and from the capture files, read here
// apart from the viewer.
import { spawnSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { csvChannels, readCsv } from './capture_files.mjs';
import { PREFIX, check, checkTicks, close, readSvg, rel, runInBrowser, siValue, viewerPage, waitForLoad } from './harness.mjs';

const [sim, runner, out] = process.argv.slice(2).map((a) => resolve(a));
if (process.argv.length !== 5) {
  console.error('usage: node screen_test.mjs BENCHCOM_SIM BENCHCOM_RUN OUT_DIR');
  process.exit(2);
}

// The bench triggers on channel 1's rising crossing at the middle of a 25 µs record, so the sine's
// falling crossings lie at 2.5 µs and 22.5 µs: one whole period between like edges. Amplitudes
// are large beside the converter's step (2 V/div at 25 steps a division: 80 mV), which bounds how
// near the peak-to-peak can come: each end rounded to a step (half a step each) and the noise of
// one step either way make at most three steps of difference.
const DUAL = { routine: 'scopePollDual', ch1: ['sine', 50e3, 3], ch2: ['square', 100e3, 3, 25] };
const SINGLE = { routine: 'scopePollWaveforms', ch1: ['triangle', 60e3, 2.5], ch2: ['dc'] };
const SINE_RISE = 2 * Math.asin(0.8) / (2 * Math.PI * 50e3);   // 10 % to 90 % of a sine's swing
const TRIANGLE_RISE = 0.8 / (2 * 60e3);                          // 80 % of a half period
const SVG_SIZE = { width: 1000, height: 580 };                   // the plot's own units
const DASH = '\u2014';
const KEYS = ['frequency', 'period', 'pp', 'max', 'min', 'mean', 'rms', 'duty', 'rise', 'fall'];

function capture(dir, setup) {
  rmSync(dir, { recursive: true, force: true });
  mkdirSync(dir, { recursive: true });
  const r = spawnSync(sim, ['--ch1', setup.ch1.join(','), '--ch2', setup.ch2.join(','), '--', runner, setup.routine],
    { cwd: dir, stdio: ['ignore', 'ignore', 'inherit'] });
  check(`bench capture with ${setup.routine}`, r.status === 0, `status ${r.status}`);
}

function readCapture(path) {
  const { settings, rows } = readCsv(readFileSync(path, 'utf8'));
  return { path, dt: Number(settings['Sampling Period']), channels: csvChannels(settings, rows) };
}

// --- what the page shows -----------------------------------------------------------------------
async function screen(page) {
  return page.evaluate(() => {
    const s = window.benchcomViewer;
    const text = (sel) => document.querySelector(sel)?.textContent ?? null;
    return {
      range: s.range, frame: s.axes.frame, xExponent: s.axes.x.exponent, yExponent: s.axes.y.exponent,
      measured: s.measurements.map((m) => ({ label: m.label, values: m.values })),
      table: [...document.querySelectorAll('#measurements tr[data-channel]')].map((tr) => ({
        label: tr.getAttribute('data-channel'),
        cells: Object.fromEntries([...tr.querySelectorAll('td')].map((td) => [td.getAttribute('data-key'), td.textContent])),
      })),
      cursors: s.cursors,
      timeReadout: text('#cursor-readout .time-readout'), voltReadout: text('#cursor-readout .volt-readout'),
      cursorValues: [...document.querySelectorAll('#cursor-readout .cursor-values tr[data-channel]')].map((tr) => ({
        label: tr.getAttribute('data-channel'), cells: [...tr.querySelectorAll('td')].map((td) => td.textContent),
      })),
    };
  });
}

// Plot units to page pixels and back through the range in view.
async function mapping(page, s) {
  const box = await page.locator('#plot').boundingBox();
  const f = s.frame, [x0, x1] = s.range.x, [y0, y1] = s.range.y;
  return {
    px: (u) => box.x + u * box.width / SVG_SIZE.width,
    py: (u) => box.y + u * box.height / SVG_SIZE.height,
    // a fraction across / down the frame, in plot units, and the time / voltage there
    ux: (frac) => f.left + frac * f.width, uy: (frac) => f.top + frac * f.height,
    t: (u) => x0 + (u - f.left) / f.width * (x1 - x0),
    v: (u) => y1 - (u - f.top) / f.height * (y1 - y0),
    tu: (t) => f.left + (t - x0) / (x1 - x0) * f.width,
    vu: (v) => f.top + (y1 - v) / (y1 - y0) * f.height,
  };
}

async function changed(page, before) {
  await page.waitForFunction((b) => JSON.stringify(window.benchcomViewer.range) !== b, JSON.stringify(before), { timeout: 5000 });
  return screen(page);
}

async function drag(page, from, to, shift = false) {
  if (shift) await page.keyboard.down('Shift');
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(to.x, to.y, { steps: 6 });
  await page.mouse.up();
  if (shift) await page.keyboard.up('Shift');
}

// --- checks ------------------------------------------------------------------------------------
function windowStats(points, range) {
  const v = points.filter((p) => p[0] >= range[0] && p[0] <= range[1]).map((p) => p[1]);
  const mean = v.reduce((a, b) => a + b, 0) / v.length;
  return { max: Math.max(...v), min: Math.min(...v), mean, rms: Math.sqrt(v.reduce((a, b) => a + b * b, 0) / v.length), pp: Math.max(...v) - Math.min(...v) };
}

// A shown number read back from its text with four significant digits.
function checkShown(what, text, unit, want) {
  const got = siValue(text, unit);
  check(what, got !== null && close(got, want, Math.abs(want) * 6e-4 + 1e-15), `"${text}" for ${want}`);
}

// Every row's levels equal those of the file's samples in the time window, in the table too.
function checkLevels(what, s, traces) {
  check(`${what}: a measurement row per trace shown`, JSON.stringify(s.table.map((r) => r.label)) === JSON.stringify(traces.map((t) => t.label)),
    JSON.stringify(s.table.map((r) => r.label)));
  traces.forEach((trace, i) => {
    const want = windowStats(trace.points, s.range.x), got = s.measured[i]?.values ?? {};
    for (const key of ['max', 'min', 'mean', 'rms', 'pp']) {
      check(`${what} ${trace.label} ${key}: the samples in view`, rel(got[key], want[key], 1e-9) || close(got[key], want[key], 1e-12), `${got[key]} != ${want[key]}`);
      checkShown(`${what} ${trace.label} ${key} shown`, s.table[i]?.cells[key], 'V', want[key]);
    }
  });
}

// `scale`: the trace's volts per division, whose step (scale / 25) bounds the peak-to-peak.
function checkTimeMeasurements(what, row, values, signal, scale) {
  const [shape, hz, amplitude, duty] = signal;
  checkShown(`${what} ${shape} frequency shown`, row.cells.frequency, 'Hz', values.frequency);
  check(`${what} ${shape} frequency within 0.5 %`, rel(values.frequency, hz, 5e-3), `${values.frequency} for ${hz}`);
  check(`${what} ${shape} period within 0.5 %`, rel(siValue(row.cells.period, 's'), 1 / hz, 5e-3), row.cells.period);
  check(`${what} ${shape} peak-to-peak within three converter steps`,
    close(siValue(row.cells.pp, 'V'), 2 * amplitude, 3 * scale / 25 + 1e-9), `${row.cells.pp} at ${scale} V/div`);
  if (duty !== undefined) {
    const shown = /^([\d.]+) %$/.exec(row.cells.duty);
    check(`${what} ${shape} duty cycle within 2 %`, shown !== null && rel(Number(shown[1]), duty, 0.02) && rel(values.duty * 100, duty, 0.02), row.cells.duty);
  }
}

function checkDashes(what, row, keys) {
  const wrong = keys.filter((k) => row?.cells[k] !== DASH);
  check(`${what}: a dash for ${keys.join(', ')}`, wrong.length === 0, JSON.stringify(row?.cells));
}

// The frame carries the range, the ticks read their places in the axis's prefixed unit.
async function checkAxes(what, page, s) {
  const svg = await readSvg(page);
  const [left, top, width, height, xMin, xMax, yMin, yMax] = svg.frame;
  check(`${what}: frame shows the range in view`, JSON.stringify([xMin, xMax, yMin, yMax]) === JSON.stringify([...s.range.x, ...s.range.y]),
    `${[xMin, xMax, yMin, yMax]} vs ${JSON.stringify(s.range)}`);
  const exponent = Math.min(9, Math.max(-12, Math.floor(Math.log10(Math.max(Math.abs(xMin), Math.abs(xMax))) / 3) * 3));
  check(`${what}: time axis labelled in ${PREFIX[exponent]}s`, svg.xLabel === `Time (${PREFIX[exponent]}s)` && s.xExponent === exponent, svg.xLabel);
  check(`${what}: time ticks within the range`, svg.xTicks.every((t) => t.value >= xMin - 1e-15 && t.value <= xMax + 1e-15));
  checkTicks(`${what} time`, svg.xTicks, s.xExponent, (t) => left + (t.value - xMin) / (xMax - xMin) * width, 'x');
  checkTicks(`${what} voltage`, svg.yTicks, s.yExponent, (t) => top + (yMax - t.value) / (yMax - yMin) * height, 'y');
  return svg;
}

// --- the states ----------------------------------------------------------------------------------
async function wholeCapture(page, A) {
  const s = await screen(page);
  check('whole capture: time range is the record', s.range.x[0] === 0 && rel(s.range.x[1], 3999 * A.dt, 1e-12), JSON.stringify(s.range.x));
  await checkAxes('whole capture', page, s);
  checkLevels('whole capture', s, A.traces);
  checkTimeMeasurements('whole capture', s.table[0], s.measured[0].values, DUAL.ch1, A.traces[0].scale);
  checkTimeMeasurements('whole capture', s.table[1], s.measured[1].values, DUAL.ch2, A.traces[1].scale);
  check('whole capture: sine rise time 10-90 % within 2 %', rel(siValue(s.table[0].cells.rise, 's'), SINE_RISE, 0.02), s.table[0].cells.rise);
  check('whole capture: square edges faster than one sample', s.table[1].cells.rise === `< ${A.dt * 1e9} ns`
    && s.table[1].cells.fall === `< ${A.dt * 1e9} ns`, `${s.table[1].cells.rise} ${s.table[1].cells.fall}`);
  return s;
}

// Wheel over the plot zooms time about the pointer: the time under it stays there.
async function wheelZoom(page, A, before) {
  const m = await mapping(page, before);
  const ux = m.ux(0.4), anchor = m.t(ux);
  await page.mouse.move(m.px(ux), m.py(m.uy(0.5)));
  await page.mouse.wheel(0, -200);
  const s = await changed(page, before.range);
  const span = s.range.x[1] - s.range.x[0], old = before.range.x[1] - before.range.x[0];
  check('wheel zoom: time span narrower', span < old * 0.9, `${span} vs ${old}`);
  const under = s.range.x[0] + (ux - s.frame.left) / s.frame.width * span;
  check('wheel zoom: the time under the pointer stays', close(under, anchor, old * 1e-3), `${under} vs ${anchor}`);
  check('wheel zoom: voltage range kept', JSON.stringify(s.range.y) === JSON.stringify(before.range.y));
  await checkAxes('wheel zoom', page, s);
  checkLevels('wheel zoom', s, A.traces);
  if (span < 1 / DUAL.ch1[1]) checkDashes('wheel zoom, less than a sine period', s.table[0], ['frequency', 'period', 'duty']);
  if (span >= 2 / DUAL.ch2[1]) checkTimeMeasurements('wheel zoom', s.table[1], s.measured[1].values, DUAL.ch2, A.traces[1].scale);
  return s;
}

// A box drawn with Shift held, flat, zooms time to its ends only.
async function boxZoom(page, A, before) {
  const m = await mapping(page, before);
  const [a, b] = [m.ux(0.3), m.ux(0.55)], uy = m.uy(0.5);
  await drag(page, { x: m.px(a), y: m.py(uy) }, { x: m.px(b), y: m.py(uy) }, true);
  const s = await changed(page, before.range);
  const old = before.range.x[1] - before.range.x[0];
  check('box zoom: time range is the box', close(s.range.x[0], m.t(a), old * 2e-3) && close(s.range.x[1], m.t(b), old * 2e-3),
    `${s.range.x} vs ${[m.t(a), m.t(b)]}`);
  check('box zoom: voltage range kept', JSON.stringify(s.range.y) === JSON.stringify(before.range.y));
  await checkAxes('box zoom', page, s);
  checkLevels('box zoom', s, A.traces);
  checkDashes('box zoom: less than a period of either', s.table[0], ['frequency', 'period', 'duty']);
  checkDashes('box zoom: less than a period of either', s.table[1], ['frequency', 'period', 'duty']);
  if (s.range.x[1] - s.range.x[0] < 0.5 / DUAL.ch1[1]) checkDashes('box zoom: no whole sine edge', s.table[0], ['rise', 'fall']);
  return s;
}

// Dragging moves the view with the pointer: a fifth of the frame left, a tenth down.
async function pan(page, A, before) {
  const m = await mapping(page, before);
  await drag(page, { x: m.px(m.ux(0.5)), y: m.py(m.uy(0.5)) }, { x: m.px(m.ux(0.3)), y: m.py(m.uy(0.6)) });
  const s = await changed(page, before.range);
  const sx = before.range.x[1] - before.range.x[0], sy = before.range.y[1] - before.range.y[0];
  check('pan: time moves a fifth of the span', close(s.range.x[0], before.range.x[0] + 0.2 * sx, sx * 2e-3) && close(s.range.x[1] - s.range.x[0], sx, sx * 1e-9), JSON.stringify(s.range.x));
  check('pan: voltage moves a tenth of the span', close(s.range.y[0], before.range.y[0] + 0.1 * sy, sy * 2e-3) && close(s.range.y[1] - s.range.y[0], sy, sy * 1e-9), JSON.stringify(s.range.y));
  checkLevels('pan', s, A.traces);
  return s;
}

// + halves the time span about its middle; 0 and the reset button show the whole capture.
async function keysAndReset(page, whole) {
  await page.focus('#plot');
  let before = await screen(page);
  await page.keyboard.press('+');
  let s = await changed(page, before.range);
  const mid = (r) => (r[0] + r[1]) / 2, span = (r) => r[1] - r[0];
  check('key +: time span halved about its middle', rel(span(s.range.x), span(before.range.x) / 2, 1e-9) && close(mid(s.range.x), mid(before.range.x), span(before.range.x) * 1e-9));
  await page.keyboard.press('0');
  s = await changed(page, s.range);
  check('key 0: whole capture', JSON.stringify(s.range) === JSON.stringify(whole.range), JSON.stringify(s.range));
  await page.keyboard.press('+');
  s = await changed(page, s.range);
  await page.click('#reset-view');
  s = await changed(page, s.range);
  check('reset button: whole capture', JSON.stringify(s.range) === JSON.stringify(whole.range), JSON.stringify(s.range));
  check('reset: the measurements of the whole capture again', JSON.stringify(s.table) === JSON.stringify(whole.table));
}

// Grabs cursor `index` of `kind` where it is drawn and drops it at a fraction of the frame.
async function moveCursor(page, kind, index, frac) {
  const s = await screen(page), m = await mapping(page, s);
  const time = kind === 'time', value = (time ? s.cursors.time : s.cursors.volts)[index];
  const at = time ? { x: m.tu(value), y: m.uy(0.5) } : { x: m.ux(0.5), y: m.vu(value) };
  const to = time ? { x: m.ux(frac), y: at.y } : { x: at.x, y: m.uy(frac) };
  await drag(page, { x: m.px(at.x), y: m.py(at.y) }, { x: m.px(to.x), y: m.py(to.y) });
  return time ? m.t(to.x) : m.v(to.y);
}

function readoutParts(text) {
  return Object.fromEntries((text ?? '').split(/\s{2,}/).map((part) => {
    const i = part.indexOf(' ');
    return [part.slice(0, i), part.slice(i + 1)];
  }));
}

async function cursors(page, A) {
  let s = await screen(page);
  await page.click('#time-cursors');
  await page.click('#volt-cursors');
  s = await screen(page);
  const span = s.range.x[1] - s.range.x[0];
  check('cursors: placed at a third and two thirds of the view', s.cursors.time && close(s.cursors.time[0], s.range.x[0] + span / 3, span * 1e-9)
    && close(s.cursors.time[1], s.range.x[0] + span * 2 / 3, span * 1e-9), JSON.stringify(s.cursors.time));
  const dropped = [await moveCursor(page, 'time', 0, 0.37), await moveCursor(page, 'time', 1, 0.8),
    await moveCursor(page, 'volts', 0, 0.25), await moveCursor(page, 'volts', 1, 0.7)];
  s = await screen(page);
  const [t1, t2] = s.cursors.time, [v1, v2] = s.cursors.volts, vspan = s.range.y[1] - s.range.y[0];
  check('cursors: dropped where the pointer let go', close(t1, dropped[0], span * 2e-3) && close(t2, dropped[1], span * 2e-3)
    && close(v1, dropped[2], vspan * 2e-3) && close(v2, dropped[3], vspan * 2e-3), JSON.stringify([s.cursors.time, s.cursors.volts, dropped]));
  const time = readoutParts(s.timeReadout), volt = readoutParts(s.voltReadout);
  checkShown('cursor readout T1', time.T1, 's', t1);
  checkShown('cursor readout delta t', time['\u0394t'], 's', t2 - t1);
  checkShown('cursor readout 1/delta t', time['1/\u0394t'], 'Hz', 1 / Math.abs(t2 - t1));
  checkShown('cursor readout V2', volt.V2, 'V', v2);
  checkShown('cursor readout delta V', volt['\u0394V'], 'V', v2 - v1);
  A.traces.forEach((trace, i) => {
    const under = [t1, t2].map((t) => trace.points[Math.round(t / A.dt)]);
    const row = s.cursorValues[i], got = s.cursors.traces[i];
    check(`cursor values of ${trace.label}: the samples under T1 and T2`, got?.at.every((a, k) => a.t === under[k][0] && a.v === under[k][1]),
      `${JSON.stringify(got?.at)} vs ${JSON.stringify(under)}`);
    checkShown(`cursor value of ${trace.label} at T1 shown`, row?.cells[0], 'V', under[0][1]);
    checkShown(`cursor value of ${trace.label} at T2 shown`, row?.cells[1], 'V', under[1][1]);
  });
}

async function download(page, button) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
  const path = join(out, file.suggestedFilename());
  await file.saveAs(path);
  return { path, name: file.suggestedFilename(), bytes: readFileSync(path) };
}

// The samples in view, in seconds and volts, equal to the file's; a column per trace shown.
async function exportCsv(page, what, traces) {
  const s = await screen(page);
  const csv = await download(page, '#export-csv');
  const lines = csv.bytes.toString('utf8').split('\r\n');
  check(`${what}: CSV ends its last line`, lines.pop() === '');
  const header = lines.shift().split(',');
  check(`${what}: CSV header names the source files`, JSON.stringify(header) === JSON.stringify(['Time (s)', ...traces.map((t) => `${t.name} ${t.file} (V)`)]), header.join(','));
  const want = traces[0].points.filter((p) => p[0] >= s.range.x[0] && p[0] <= s.range.x[1]);
  check(`${what}: CSV holds the samples in view`, lines.length === want.length && want.length > 0, `${lines.length} rows for ${want.length}`);
  const bad = lines.findIndex((line, r) => {
    const cells = line.split(',').map(Number), t = want[r]?.[0];
    const n = Math.round(t / traces[0].dt);
    return cells.length !== traces.length + 1 || cells[0] !== t || traces.some((trace, c) => cells[c + 1] !== trace.points[n][1]);
  });
  check(`${what}: CSV numbers equal the samples in volts`, bad < 0, bad < 0 ? '' : `row ${bad}: ${lines[bad]}`);
}

async function exportPictures(page, context) {
  const svg = await download(page, '#export-svg');
  const text = svg.bytes.toString('utf8');
  check('SVG export: a standalone SVG document with its style', text.startsWith('<?xml') && /<svg[^>]*xmlns="http:\/\/www\.w3\.org\/2000\/svg"/.test(text)
    && text.includes('<style>') && (text.match(/<polyline/g) ?? []).length === 2, text.slice(0, 200));
  const viewer = await context.newPage();
  await viewer.goto(pathToFileURL(svg.path).href);
  await viewer.screenshot({ path: join(out, 'export-svg-shown.png') });
  check('SVG export: Chromium draws it at its size', JSON.stringify(await viewer.evaluate(() => {
    const r = document.documentElement.getBoundingClientRect();
    return [r.width, r.height];
  })) === JSON.stringify([SVG_SIZE.width, SVG_SIZE.height]));
  await viewer.close();
  const png = await download(page, '#export-png');
  const b = png.bytes;
  check('PNG export: a PNG twice the plot size', b.subarray(1, 4).toString() === 'PNG' && b.readUInt32BE(16) === 2 * SVG_SIZE.width
    && b.readUInt32BE(20) === 2 * SVG_SIZE.height, `${b.subarray(0, 8).toString('hex')} ${b.readUInt32BE(16)}x${b.readUInt32BE(20)}`);
}

// Single-channel files added beside the dual capture: four traces on one time axis; the flat
// line gets dashes where a time measurement would be noise.
async function overlay(page, A, B, shot) {
  await page.check('#overlay');
  const loads = (await waitForLoad(page, 0)).loads;
  await page.setInputFiles('#open-files', [B[0].path, B[1].path]);
  const state = await waitForLoad(page, loads + 1);
  const traces = [...A.traces, ...B.flatMap((c) => c.traces)].map((t) => ({ ...t, label: `${t.name} (${t.file})` }));
  traces.forEach((t, i) => check(`overlay: trace ${t.label}`, state.channels[i]?.label === t.label, state.channels[i]?.label));
  const s = await screen(page);
  check('overlay: one time axis over both captures', rel(s.range.x[1], 3999 * A.dt, 1e-12) && rel(B[0].dt, A.dt, 0));
  const svg = await checkAxes('overlay', page, s);
  check('overlay: a legend entry and a line per trace', svg.legend.length === 4 && svg.traces.length === 4, `${svg.legend.length} ${svg.traces.length}`);
  checkLevels('overlay', s, traces);
  checkTimeMeasurements('overlay', s.table[2], s.measured[2].values, SINGLE.ch1, B[0].traces[0].scale);
  check('overlay: triangle rise time 10-90 % within 2 %', rel(siValue(s.table[2].cells.rise, 's'), TRIANGLE_RISE, 0.02), s.table[2].cells.rise);
  checkDashes('overlay: flat line', s.table[3], ['frequency', 'period', 'duty', 'rise', 'fall']);

  await page.locator('.legend-entry[data-channel="CH2 (op_scope.csv)"]').click();
  const hidden = await screen(page), after = await readSvg(page);
  check('legend click hides the trace', after.traces.length === 3 && !after.traces.some((t) => t.channel === 'CH2 (op_scope.csv)'));
  const shown = traces.filter((t) => t.label !== 'CH2 (op_scope.csv)');
  checkLevels('hidden trace', hidden, shown);
  await shot('6-overlay-one-hidden');
  await exportCsv(page, 'overlay export', shown);
  await page.locator('.legend-entry[data-channel="CH2 (op_scope.csv)"]').click();
  check('legend click shows it again', (await readSvg(page)).traces.length === 4);
  await page.uncheck('#overlay');
}

// Files dropped on the page open: the page says so while they hover.
async function drop(page, A, shot) {
  const loads = (await waitForLoad(page, 0)).loads;
  const text = readFileSync(A.path, 'utf8');
  await page.evaluate((t) => {
    window.dropped = new DataTransfer();
    window.dropped.items.add(new File([t], 'op_scope.csv', { type: 'text/csv' }));
    document.querySelector('#chart').dispatchEvent(new DragEvent('dragenter', { dataTransfer: window.dropped, bubbles: true }));
  }, text);
  check('dragging files: the drop hint shows', await page.locator('#drop-hint').isVisible());
  await shot('7-dragging');
  await page.evaluate(() => document.querySelector('#chart').dispatchEvent(
    new DragEvent('drop', { dataTransfer: window.dropped, bubbles: true, cancelable: true })));
  const state = await waitForLoad(page, loads + 1);
  check('dropped file opens', state.status === 'ready' && JSON.stringify(state.source?.names) === '["op_scope.csv"]', JSON.stringify(state.source));
  check('dropped file: the samples in volts', state.channels.length === 2 && state.channels.every((c, i) => JSON.stringify(c.points) === JSON.stringify(A.traces[i].points)));
  check('drop hint gone after the drop', !(await page.locator('#drop-hint').isVisible()));
  await shot('8-dropped');
}

async function run(page, scratch, context) {
  mkdirSync(out, { recursive: true });
  capture(join(out, 'dual'), DUAL);
  capture(join(out, 'single'), SINGLE);
  const named = (c) => Object.assign(c, { traces: c.channels.map((ch) => ({ ...ch, label: ch.name, file: c.path.split('/').pop(), dt: c.dt })) });
  const A = named(readCapture(join(out, 'dual', 'op_scope.csv')));
  const B = ['op_scope1.csv', 'op_scope2.csv'].map((f) => named(readCapture(join(out, 'single', f))));
  const shot = (name) => page.screenshot({ path: join(out, `${name}.png`), fullPage: true });

  await page.goto(viewerPage);
  await page.setInputFiles('#open-files', A.path);
  await waitForLoad(page, 1);
  const whole = await wholeCapture(page, A);
  await shot('1-whole-capture');
  const zoomed = await wheelZoom(page, A, whole);
  await shot('2-wheel-zoom');
  const boxed = await boxZoom(page, A, zoomed);
  await shot('3-box-zoom');
  await pan(page, A, boxed);
  await shot('4-pan');
  await keysAndReset(page, whole);
  await cursors(page, A);
  await shot('5-cursors');
  await page.focus('#plot');
  await page.keyboard.press('+');
  await exportCsv(page, 'zoomed export', A.traces);
  await exportPictures(page, context);
  await page.keyboard.press('0');
  await overlay(page, A, B, shot);

  const loads = (await waitForLoad(page, 0)).loads;
  await page.setInputFiles('#open-files', [join(out, 'dual', 'gbookFtemp.js'), B[0].path]);
  const mixed = await waitForLoad(page, loads + 1);
  check('chart script and CSV opened together', mixed.source?.kind === 'chart script and CSV' && mixed.channels.length === 3
    && mixed.channels.every((c) => c.points.length === 4000), JSON.stringify(mixed.source));
  await drop(page, A, shot);
}

runInBrowser(`viewer screen test (screenshots in ${out})`, run, { width: 1200, height: 1300 });
