// Reading a chart script ("gbookFtemp.js") as the text it is, never as code. A capture writes it in
// one fixed layout:
//   var Vertical1Units='V'
//   var Vertical1Scale=        2          (printf %9G: volts per division)
//   var Vertical1Position=      1.5       (%9G: volts)
//   var Vertical2Units='V'  /  var Vertical2Scale=...  /  var Vertical2Position=...
//   var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0     (fixed text)
//   var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0     (fixed text)
//   timeInterval=1.250000e-08             (%e: the sampling period in seconds)
//   gbF( 'vornel','USER@HOST','Sun Feb  22 10:30:47 UTC 2015 ','HOST',S1,S2,0,0,'N');   one a sample
// with LF line ends, or CR LF from the Windows build. The file is JavaScript only in looks: running
// it would give whatever it holds the page's rights, so the viewer takes the values out of those
// lines and refuses a file with any other line in it.
(function (ns) {
  'use strict';

  var MAX_SAMPLES = 4000; // the instrument's memory length
  // A number as %G and %e write it (right-aligned), or the C library's texts for a value that is
  // not a number or is infinite, as a garbled block header gives.
  var NUMBER = /^ *[+-]?(?:(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?|nan|NAN|inf|INF)$/;
  var UNITS = /^'([A-Za-z]{0,8})'$/;
  // The identification texts are fixed texts without quotes or commas; the samples are 16-bit.
  var CALL = /^gbF\( 'vornel','[^',\\\x00-\x1f]{0,64}','Sun Feb {2}22 10:30:47 UTC 2015 ','[^',\\\x00-\x1f]{0,64}',(-?\d{1,5}),(-?\d{1,5}),0,0,'(\d{1,5})'\);$/;
  var CALL_START = 'gbF( ';

  function head(key, value) { return { key: key, prefix: (key === 'timeInterval' ? '' : 'var ') + key + '=', value: value }; }
  var HEAD = [
    head('Vertical1Units', UNITS), head('Vertical1Scale', NUMBER), head('Vertical1Position', NUMBER),
    head('Vertical2Units', UNITS), head('Vertical2Scale', NUMBER), head('Vertical2Position', NUMBER),
    head('displayOffset1', '-Vertical1Position*1.0/Vertical1Scale*50.0'),
    head('displayOffset2', '+Vertical2Position*1.0/Vertical2Scale*50.0'),
    head('timeInterval', NUMBER)
  ];
  var KEYS = HEAD.map(function (h) { return h.key; });

  function number(text) {
    var t = text.trim().toLowerCase().replace(/^\+/, '');
    if (/nan$/.test(t)) return NaN;
    if (t === 'inf') return Infinity;
    if (t === '-inf') return -Infinity;
    return Number(t);
  }

  // The value of head line h, or undefined when the line is not that line.
  function headValue(h, line) {
    if (line.indexOf(h.prefix) !== 0) return undefined;
    var rest = line.slice(h.prefix.length);
    if (typeof h.value === 'string') return rest === h.value ? rest : undefined;
    var m = h.value.exec(rest);
    if (!m) return undefined;
    return h.value === UNITS ? m[1] : number(rest);
  }

  function quoted(line) {
    return JSON.stringify(line.length > 60 ? line.slice(0, 60) + '\u2026' : line);
  }

  function refusal(name, what) {
    return { error: '"' + name + '" is not a chart script as benchcom writes it, so it was not opened: ' + what };
  }

  function sample(text) {
    var v = parseInt(text, 10);
    return v >= -32768 && v <= 32767 ? v : null;
  }

  // -> { settings, calls: [[s1, s2, n], ...], warnings } or { error }.
  function read(text, name) {
    var lines = String(text).split('\n');
    var ended = lines[lines.length - 1] === '';
    if (ended) lines.pop();
    lines = lines.map(function (l) { return l.replace(/\r$/, ''); });
    if (lines.length === 0) return refusal(name, 'it is empty.');
    var settings = {};
    for (var i = 0; i < HEAD.length; i++) {
      if (i >= lines.length) return refusal(name, 'it ends after line ' + lines.length + ', inside its head.');
      var value = headValue(HEAD[i], lines[i]);
      if (value === undefined) {
        return refusal(name, 'line ' + (i + 1) + ' should be the ' + HEAD[i].prefix + '... line, it reads ' + quoted(lines[i]) + '.');
      }
      settings[HEAD[i].key] = value;
    }
    var calls = [], warnings = [];
    for (var k = HEAD.length; k < lines.length; k++) {
      var m = CALL.exec(lines[k]);
      var s1 = m && sample(m[1]), s2 = m && sample(m[2]);
      if (m && s1 !== null && s2 !== null) {
        if (calls.length === MAX_SAMPLES) return refusal(name, 'it holds more than ' + MAX_SAMPLES + ' sample lines.');
        calls.push([s1, s2, parseInt(m[3], 10)]);
        continue;
      }
      // A capture cut short (a full disk) ends inside its last call line, without a line end.
      var last = k === lines.length - 1 && !ended;
      if (last && (lines[k].indexOf(CALL_START) === 0 || CALL_START.indexOf(lines[k]) === 0)) {
        warnings.push('The chart script ends inside a sample line, which is left out: the capture may be cut short.');
        break;
      }
      return refusal(name, 'line ' + (k + 1) + ' should be a gbF( ... ) sample line, it reads ' + quoted(lines[k]) + '.');
    }
    return { settings: settings, calls: calls, warnings: warnings };
  }

  // A file without a telling name is taken for a chart script when it starts as one.
  function looksLikeOne(text) {
    return String(text).indexOf(HEAD[0].prefix) === 0;
  }

  ns.chartScript = { read: read, looksLikeOne: looksLikeOne, keys: KEYS };
})(window.BCV = window.BCV || {});
