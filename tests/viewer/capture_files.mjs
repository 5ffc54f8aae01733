// The test's own reading of the capture files, written apart from the viewer's code so that the
// two can be checked against each other.
const lines = (text) => text.split(/\r?\n/);

// Chart script: nine head lines, then one gbF call per sample.
export function readChartScript(text) {
  const all = lines(text);
  const value = (name) => {
    const line = all.find((l) => l.startsWith(`var ${name}=`) || l.startsWith(`${name}=`));
    return line === undefined ? undefined : line.slice(line.indexOf('=') + 1);
  };
  const units = (name) => /^'([^']*)'$/.exec(value(name) ?? '')?.[1];
  const num = (name) => Number(value(name));
  const head = {
    units1: units('Vertical1Units'), scale1: num('Vertical1Scale'), position1: num('Vertical1Position'),
    units2: units('Vertical2Units'), scale2: num('Vertical2Scale'), position2: num('Vertical2Position'),
    timeInterval: num('timeInterval'),
    offsetLines: [value('displayOffset1'), value('displayOffset2')],
  };
  const call = /^gbF\( '([^',]*)','([^',]*)','([^',]*)','([^',]*)',(-?\d+),(-?\d+),0,0,'(\d+)'\);$/;
  const samples = all.filter((l) => l.startsWith('gbF(')).map((l) => {
    const m = call.exec(l);
    return m ? { s1: Number(m[5]), s2: Number(m[6]), n: Number(m[7]) } : null;
  });
  return { head, samples };
}

// CSV capture: optional learn-string lines, a head from "Memory Length" to "Waveform Data", rows.
export function readCsv(text) {
  const all = lines(text);
  const first = all.findIndex((l) => l.startsWith('Memory Length,'));
  const last = all.indexOf('Waveform Data,', first);
  const settings = {};
  for (const l of all.slice(first, last)) {
    const comma = l.indexOf(',');
    settings[l.slice(0, comma)] = l.slice(comma + 1).replace(/,$/, '').trim();
  }
  const end = all.findIndex((l, i) => i > last && /^=+$/.test(l));
  const rows = all.slice(last + 1, end < 0 ? undefined : end).map((l) => l.split(',').map((f) => f.trim()));
  return { first, last, end, settings, rows };
}

// The instrument's samples are converter counts, 25 to a vertical division from the screen's
// centre line; the channel's position is in them. Both channels alike.
export const COUNTS_PER_DIV = 25;
export const volts = (s, position, scale) => s * scale / COUNTS_PER_DIV - position;

// One channel of a CSV capture as [t, volts] points, sample n at n sampling periods.
export function csvChannel(name, settings, key, rows, column) {
  const scale = Number(settings[`${key} Scale`]);
  const position = Number(settings[`${key} Position`]);
  const t = Number(settings['Sampling Period']);
  return { name, scale, points: rows.map((r, n) => [n * t, volts(Number(r[column]), position, scale)]) };
}

// The channels of a CSV capture: both of "op_scope.csv", the one of "op_scope1.csv"/"op_scope2.csv".
export function csvChannels(settings, rows) {
  return 'Vertical2 Scale' in settings
    ? [csvChannel('CH1', settings, 'Vertical', rows, 0), csvChannel('CH2', settings, 'Vertical2', rows, 1)]
    : [csvChannel(settings.Source, settings, 'Vertical', rows, 0)];
}
