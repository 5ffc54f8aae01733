// Reading the CSV captures: "op_scope.csv" (both channels: learn-string lines, a settings head,
// then "s1,s2" rows) and "op_scope1.csv"/"op_scope2.csv" (one channel: head, then "s," rows).
// Lines may end in CR LF (files written in text mode on Windows) or LF.
(function (ns) {
  'use strict';

  var HEAD_FIRST = 'Memory Length,';
  var HEAD_LAST = 'Waveform Data,';
  var HEAD_MAX_LINES = 25;
  var DUAL_ROW = /^\s*(-?\d+)\s*,\s*(-?\d+)\s*$/;
  var SINGLE_ROW = /^\s*(-?\d+)\s*,\s*$/;
  var END_LINE = /^=+$/;

  // An empty field is no number (Number('') would say 0).
  function number(text) {
    var t = text === undefined ? '' : String(text).trim();
    return t === '' ? NaN : Number(t);
  }

  // The head starts at "Memory Length," and runs to "Waveform Data,"; the learn string above it
  // is the instrument's own text, so both ends are required before a line counts as the head.
  function findHead(lines) {
    for (var i = 0; i < lines.length; i++) {
      if (lines[i].indexOf(HEAD_FIRST) !== 0) continue;
      for (var j = i + 1; j < lines.length && j <= i + HEAD_MAX_LINES; j++) {
        if (lines[j] === HEAD_LAST) return { first: i, last: j };
      }
    }
    return null;
  }

  // "Vertical Scale, 2.000E+00," -> key "Vertical Scale", value "2.000E+00".
  function readSettings(lines, head) {
    var settings = {};
    for (var i = head.first; i < head.last; i++) {
      var comma = lines[i].indexOf(',');
      if (comma < 0) continue;
      var value = lines[i].slice(comma + 1).replace(/,$/, '').trim();
      settings[lines[i].slice(0, comma)] = value;
    }
    return settings;
  }

  function readRows(lines, start, pattern, columns, warnings) {
    var rows = [];
    var ended = false;
    var bad = 0;
    for (var i = start; i < lines.length; i++) {
      if (END_LINE.test(lines[i])) { ended = true; break; }
      var m = pattern.exec(lines[i]);
      if (!m) bad++;
      var row = [];
      for (var c = 0; c < columns; c++) row.push(m ? parseInt(m[c + 1], 10) : null);
      rows.push(row);
    }
    if (bad > 0) warnings.push(bad + ' sample row(s) could not be read and are left out of the plot.');
    if (!ended) warnings.push('The file ends without its closing line of "=": the capture may be cut short.');
    return rows;
  }

  // Each channel's scale and position as its head lines give them ("Vertical Scale" and
  // "Vertical Position", "Vertical2 ..." for channel 2 of op_scope.csv).
  function channel(name, units, scaleText, positionText, rows, column) {
    return {
      name: name,
      units: units || 'V',
      scale: number(scaleText),
      position: number(positionText),
      samples: rows.map(function (row, n) { return [n, row[column]]; })
    };
  }

  function dualChannels(s, rows) {
    return [
      channel('CH1', s['Vertical Units'], s['Vertical Scale'], s['Vertical Position'], rows, 0),
      channel('CH2', s['Vertical2 Units'], s['Vertical2 Scale'], s['Vertical2 Position'], rows, 1)
    ];
  }

  function singleChannel(s, rows) {
    var source = (s.Source || '').slice(0, 16);
    return [channel(source || 'CH?', s['Vertical Units'], s['Vertical Scale'], s['Vertical Position'], rows, 0)];
  }

  function parse(text, name) {
    var lines = text.split(/\r\n|\n|\r/);
    while (lines.length && lines[lines.length - 1] === '') lines.pop();
    var head = findHead(lines);
    if (!head) return { error: '"' + name + '" is not a capture file: no head from "Memory Length" to "Waveform Data".' };
    var settings = readSettings(lines, head);
    var dual = 'Vertical2 Scale' in settings;
    var warnings = [];
    var rows = readRows(lines, head.last + 1, dual ? DUAL_ROW : SINGLE_ROW, dual ? 2 : 1, warnings);
    var length = number(settings['Memory Length']);
    if (length !== rows.length) warnings.push('"Memory Length" says ' + settings['Memory Length'] + ' but the file holds ' + rows.length + ' sample rows.');
    return {
      kind: 'CSV',
      name: name,
      timeInterval: number(settings['Sampling Period']),
      settings: settings,
      learnLines: head.first,
      warnings: warnings,
      channels: dual ? dualChannels(settings, rows) : singleChannel(settings, rows)
    };
  }

  ns.csvCapture = { parse: parse };
})(window.BCV = window.BCV || {});
