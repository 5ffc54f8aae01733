// Writes a sample capture in the files' exact formats, for testing the viewer without a bench:
//   node make_sample.mjs OUT_DIR [--windows]
// OUT_DIR receives gbookFtemp.js, op_scope.csv, op_scope1.csv and op_scope2.csv: a sine on
// channel 1 and a square wave on channel 2. --windows writes what the Windows runtime writes:
// CR LF line ends and three-digit exponents.
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [outDir, flag] = process.argv.slice(2);
if (!outDir || (flag && flag !== '--windows')) {
  console.error('usage: node make_sample.mjs OUT_DIR [--windows]');
  process.exit(2);
}
const windows = flag === '--windows';
const expDigits = windows ? 3 : 2;
const eol = windows ? '\r\n' : '\n';

// The instrument's settings are single-precision numbers.
const f32 = Math.fround;
const settings = {
  trigLevel: f32(0.4), probe1: f32(0), scale1: f32(2), offset1: f32(1.5),
  probe2: f32(0), scale2: f32(0.5), offset2: f32(-0.25),
  timeScale: f32(5e-6), timeDelay: f32(0), sweep: f32(0),
  samplingPeriod: f32(1.25e-8),
};
const SAMPLES = 4000;
const sine = (n) => Math.round(100 * Math.sin((2 * Math.PI * n) / 800));
const square = (n) => (Math.floor(n / 500) % 2 === 0 ? 80 : -80);

// --- printf conversions as the C library does them ---------------------------------------------
function exponentForm(v, precision, digits = expDigits) {
  const [mantissa, exp] = Math.abs(v).toExponential(precision).split('e');
  const e = Number(exp);
  const sign = v < 0 ? '-' : '';
  return sign + mantissa + 'e' + (e < 0 ? '-' : '+') + String(Math.abs(e)).padStart(digits, '0');
}
const pctE = (v) => exponentForm(v, 6);                                  // %e
const pct93E = (v) => exponentForm(v, 3).toUpperCase().padStart(9);      // %9.3E
const pct3d = (v) => String(v).padStart(3);                              // %3d
function pct9G(v) {                                                      // %9G
  if (v === 0) return '0'.padStart(9);
  const P = 6;
  const X = Number(Math.abs(v).toExponential(P - 1).split('e')[1]);
  let text;
  if (X < P && X >= -4) {
    text = v.toFixed(P - 1 - X);
    if (text.includes('.')) text = text.replace(/0+$/, '').replace(/\.$/, '');
  } else {
    text = exponentForm(v, P - 1).toUpperCase().replace(/\.?0+E/, 'E');
  }
  return text.padStart(9);
}

// --- the learn string, one setting per line as the capture writes it ----------------------------
// The instrument writes its own numbers with two exponent digits, whatever the PC's runtime does.
const lrn = (v) => exponentForm(v, 3, 2);
const learnString = [
  ':DISPlay:WAVeform 1', 'GRATicule 0',
  ':CHANnel1:DISPlay 1', 'COUPling 0', `OFFSet ${lrn(settings.offset1)}`,
  'PROBe 0', `SCALe ${lrn(settings.scale1)}`,
  ':CHANnel2:DISPlay 1', 'COUPling 0', `OFFSet ${lrn(settings.offset2)}`,
  'PROBe 0', `SCALe ${lrn(settings.scale2)}`,
  ':TIMebase:SWEep 0', `SCALe ${lrn(settings.timeScale)}`, 'DELay 0.000e+00',
  ':TRIGger:MODe 1', `LEVel ${lrn(settings.trigLevel).toUpperCase()}`,
  ':RUN',
];
const learnLines = learnString.map((s) => (s.startsWith(':') ? s : '    ' + s));

const tail = ['Firmware, V1.26,', 'Time, ,', 'Mode,Fast,', 'Waveform Data,'];
const END = '='.repeat(27);
const ns = Array.from({ length: SAMPLES }, (_, n) => n);

function dualCsv() {
  return [
    ...learnLines,
    'Memory Length,4000,',
    `Trigger Level,${pct93E(settings.trigLevel)},`,
    'Source,CH1,',
    'Probe,1X,',
    'Vertical Units,V,',
    `Vertical Scale,${pct93E(settings.scale1)},`,
    `Vertical Position,${pct93E(settings.offset1)},`,
    'Vertical2 Units,V,',
    `Vertical2 Scale,${pct93E(settings.scale2)},`,
    `Vertical2 Position,${pct93E(settings.offset2)},`,
    'Horizontal Units,s,',
    `Horizontal Scale,${pct93E(settings.timeScale)},`,
    `Horizontal Position,${pct93E(settings.timeDelay)},`,
    'Horizontal Mode,Main,',
    `Sampling Period,${pct93E(settings.samplingPeriod)},`,
    ...tail,
    ...ns.map((n) => `${pct3d(sine(n))},${pct3d(square(n))}`),
    END,
  ];
}

function singleCsv(channel, wave, scale, offset) {
  return [
    'Memory Length,4000,',
    `Trigger Level,${pct93E(settings.trigLevel)},`,
    `Source,CH${channel},`,
    'Probe,1X,',
    'Vertical Units,V,',
    `Vertical Scale,${pct93E(scale)},`,
    `Vertical Position,${pct93E(offset)},`,
    'Horizontal Units,s,',
    `Horizontal Scale,${pct93E(settings.timeScale)},`,
    `Horizontal Position,${pct93E(settings.timeDelay)},`,
    'Horizontal Mode,Main,',
    `Sampling Period,${pct93E(settings.samplingPeriod)},`,
    ...tail,
    ...ns.map((n) => `${pct3d(wave(n))},`),
    END,
  ];
}

function chartScript() {
  return [
    "var Vertical1Units='V'",
    `var Vertical1Scale=${pct9G(settings.scale1)}`,
    `var Vertical1Position=${pct9G(settings.offset1)}`,
    "var Vertical2Units='V'",
    `var Vertical2Scale=${pct9G(settings.scale2)}`,
    `var Vertical2Position=${pct9G(settings.offset2)}`,
    'var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0',
    'var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0',
    `timeInterval=${pctE(settings.samplingPeriod)}`,
    ...ns.map((n) => `gbF( 'vornel','bench@benchcom','Sun Feb  22 10:30:47 UTC 2015 ','127.0.0.1',${sine(n)},${square(n)},0,0,'${n}');`),
  ];
}

mkdirSync(outDir, { recursive: true });
const write = (name, lines) => writeFileSync(join(outDir, name), lines.map((l) => l + eol).join(''));
write('gbookFtemp.js', chartScript());
write('op_scope.csv', dualCsv());
write('op_scope1.csv', singleCsv(1, sine, settings.scale1, settings.offset1));
write('op_scope2.csv', singleCsv(2, square, settings.scale2, settings.offset2));
