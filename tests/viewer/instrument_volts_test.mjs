// The viewer on a capture as a real instrument makes it: 25 counts to a vertical division, counted
// from the screen's centre line, with a vertical position on both channels, in the chart script and
// in all three CSV files. The files are written here line for line as benchcom writes them; the
// volts expected are worked out by hand from the instrument's rule
//   volts = counts x scale / 25 - position
//   node instrument_volts_test.mjs OUT_DIR
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { check, close, runInBrowser, viewerPage, waitForLoad } from './harness.mjs';

const out = resolve(process.argv[2] ?? '');
if (process.argv.length !== 3) {
  console.error('usage: node instrument_volts_test.mjs OUT_DIR');
  process.exit(2);
}

// Channel 1 at 0.5 V/div, position +0.2 V; channel 2 at 2 V/div, position -1.5 V. A square wave on
// each, 500 samples high then 500 low:
//   channel 1 high:  28 counts:  28 x 0.5 / 25 - 0.2 =  0.56 - 0.2 =  0.36 V
//   channel 1 low:  -22 counts: -22 x 0.5 / 25 - 0.2 = -0.44 - 0.2 = -0.64 V
//   channel 2 high: 100 counts: 100 x 2 / 25 + 1.5   =  8 + 1.5    =  9.5 V
//   channel 2 low:  -50 counts: -50 x 2 / 25 + 1.5   = -4 + 1.5    = -2.5 V
// 2000 samples at each level, so the means are (0.36 - 0.64) / 2 = -0.14 V and (9.5 - 2.5) / 2 =
// 3.5 V, the peak-to-peaks 1 V and 12 V. (Read as 50 counts a division with the chart script's
// display offsets, channel 1 high would be 0.08 V and channel 2 high 2.5 V.)
const COUNTS = { ch1: [28, -22], ch2: [100, -50] };
const VOLTS = { ch1: [0.36, -0.64], ch2: [9.5, -2.5] };
// The table's texts, four significant digits with trailing zeros dropped.
const SHOWN = {
  CH1: { max: '360 mV', min: '-640 mV', pp: '1 V', mean: '-140 mV' },
  CH2: { max: '9.5 V', min: '-2.5 V', pp: '12 V', mean: '3.5 V' },
};
const high = (n) => Math.floor(n / 500) % 2 === 0;
const level = (pair, n) => pair[high(n) ? 0 : 1];
const SAMPLES = Array.from({ length: 4000 }, (_, n) => n);
const END = '='.repeat(27);

// --- the files, as benchcom writes them ----------------------------------------------------------
const learnLines = [':CHANnel1:DISPlay 1', '    OFFSet 2.000e-01', '    PROBe 0', '    SCALe 5.000e-01',
  ':CHANnel2:DISPlay 1', '    OFFSet -1.500e+00', '    PROBe 0', '    SCALe 2.000e+00',
  ':TIMebase:SWEep 0', '    SCALe 5.000e-06', '    DELay 0.000e+00', ':RUN'];
const headStart = ['Memory Length,4000,', 'Trigger Level,0.000E+00,'];
const headEnd = ['Horizontal Units,s,', 'Horizontal Scale,5.000E-06,', 'Horizontal Position,0.000E+00,',
  'Horizontal Mode,Main,', 'Sampling Period,1.250E-08,', 'Firmware, V1.26,', 'Time, ,', 'Mode,Fast,', 'Waveform Data,'];
const pad3 = (v) => String(v).padStart(3);

const FILES = {
  'gbookFtemp.js': ["var Vertical1Units='V'", 'var Vertical1Scale=      0.5', 'var Vertical1Position=      0.2',
    "var Vertical2Units='V'", 'var Vertical2Scale=        2', 'var Vertical2Position=     -1.5',
    'var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0',
    'var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0',
    'timeInterval=1.250000e-08',
    ...SAMPLES.map((n) => `gbF( 'vornel','bench@benchcom','Sun Feb  22 10:30:47 UTC 2015 ','127.0.0.1',`
      + `${level(COUNTS.ch1, n)},${level(COUNTS.ch2, n)},0,0,'${n}');`)],
  'op_scope.csv': [...learnLines, ...headStart, 'Source,CH1,', 'Probe,1X,',
    'Vertical Units,V,', 'Vertical Scale,5.000E-01,', 'Vertical Position,2.000E-01,',
    'Vertical2 Units,V,', 'Vertical2 Scale,2.000E+00,', 'Vertical2 Position,-1.500E+00,', ...headEnd,
    ...SAMPLES.map((n) => `${pad3(level(COUNTS.ch1, n))},${pad3(level(COUNTS.ch2, n))}`), END],
  'op_scope1.csv': [...headStart, 'Source,CH1,', 'Probe,1X,', 'Vertical Units,V,', 'Vertical Scale,5.000E-01,',
    'Vertical Position,2.000E-01,', ...headEnd, ...SAMPLES.map((n) => `${pad3(level(COUNTS.ch1, n))},`), END],
  'op_scope2.csv': [...headStart, 'Source,CH2,', 'Probe,1X,', 'Vertical Units,V,', 'Vertical Scale,2.000E+00,',
    'Vertical Position,-1.500E+00,', ...headEnd, ...SAMPLES.map((n) => `${pad3(level(COUNTS.ch2, n))},`), END],
};

// --- checks --------------------------------------------------------------------------------------
function checkPoints(what, state) {
  check(`${what}: loaded in volts`, state.status === 'ready' && state.yUnit === 'V', `${state.status} ${state.error ?? ''} ${state.yUnit}`);
  ['CH1', 'CH2'].forEach((name, i) => {
    const points = state.channels[i]?.points ?? [];
    const want = VOLTS[name.toLowerCase()];
    const bad = SAMPLES.find((n) => !points[n] || !close(points[n][1], level(want, n), 1e-12));
    check(`${what} ${name}: every sample in true volts`, points.length === 4000 && bad === undefined,
      bad === undefined ? `${points.length} points` : `sample ${bad}: ${points[bad]} for ${level(want, bad)}`);
  });
}

async function table(page) {
  return page.evaluate(() => [...document.querySelectorAll('#measurements tr[data-channel]')].map((tr) =>
    Object.fromEntries([...tr.querySelectorAll('td')].map((td) => [td.getAttribute('data-key'), td.textContent]))));
}

async function checkMeasurements(what, page) {
  const rows = await table(page);
  ['CH1', 'CH2'].forEach((name, i) => {
    const wrong = Object.keys(SHOWN[name]).filter((k) => rows[i]?.[k] !== SHOWN[name][k]);
    check(`${what} ${name}: maximum, minimum, peak-to-peak and mean`, wrong.length === 0, JSON.stringify(rows[i]));
  });
}

// Time cursors come up at a third and two thirds of the capture: samples 1333 (third block, high)
// and 2666 (sixth block, low).
async function checkCursors(page) {
  await page.click('#time-cursors');
  const rows = await page.evaluate(() => [...document.querySelectorAll('#cursor-readout .cursor-values tr[data-channel]')]
    .map((tr) => [...tr.querySelectorAll('td')].map((td) => td.textContent)));
  check('cursors: channel 1 under T1 and T2', JSON.stringify(rows[0]) === JSON.stringify(['360 mV', '-640 mV', '-1 V']), JSON.stringify(rows[0]));
  check('cursors: channel 2 under T1 and T2', JSON.stringify(rows[1]) === JSON.stringify(['9.5 V', '-2.5 V', '-12 V']), JSON.stringify(rows[1]));
  await page.click('#time-cursors');
}

// The export's first rows: sample 0 (high) at 0 s; the last, sample 3999 (eighth block, low).
async function checkExport(page) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click('#export-csv')]);
  const path = join(out, 'export.csv');
  await file.saveAs(path);
  const rows = readFileSync(path, 'utf8').split('\r\n').slice(1, -1).map((l) => l.split(',').map(Number));
  const near = (row, want) => row?.length === 3 && want.every((v, i) => close(row[i], v, 1e-12));
  check('export: sample 0 in volts', near(rows[0], [0, 0.36, 9.5]), JSON.stringify(rows[0]));
  check('export: sample 3999 in volts', near(rows[3999], [3999 * 1.25e-8, -0.64, -2.5]), JSON.stringify(rows[3999]));
}

async function run(page) {
  mkdirSync(out, { recursive: true });
  for (const [name, lines] of Object.entries(FILES)) writeFileSync(join(out, name), lines.map((l) => l + '\n').join(''));
  await page.goto(viewerPage);
  let loads = 0;
  for (const files of [['gbookFtemp.js'], ['op_scope.csv'], ['op_scope1.csv', 'op_scope2.csv']]) {
    await page.setInputFiles('#open-files', files.map((f) => join(out, f)));
    const state = await waitForLoad(page, ++loads);
    const what = files.join(' and ');
    checkPoints(what, state);
    await checkMeasurements(what, page);
    if (files[0] === 'op_scope.csv') {
      await checkCursors(page);
      await checkExport(page);
    }
  }
}

runInBrowser('viewer on an instrument\'s capture: true volts', run);
