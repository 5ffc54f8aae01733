// The numbers beside the plot: the measurements table (one row per trace shown) and the cursor
// readouts. Four significant digits with SI prefixes; a dash where a number does not apply.
(function (ns) {
  'use strict';

  var DASH = '\u2014';
  var COLUMNS = [
    ['frequency', 'Frequency'], ['period', 'Period'], ['pp', 'Peak-to-peak'], ['max', 'Maximum'],
    ['min', 'Minimum'], ['mean', 'Mean'], ['rms', 'RMS'], ['duty', 'Duty cycle'],
    ['rise', 'Rise time (10\u201390 %)'], ['fall', 'Fall time (90\u201310 %)']
  ];

  function amount(value, unit) {
    return value === null || value === undefined || !isFinite(value) ? DASH : ns.si.quantity(value, unit, 4);
  }

  function edgeTime(edge, unit) {
    if (!edge) return DASH;
    return edge.below ? '< ' + ns.si.quantity(edge.value, unit, 3) : amount(edge.value, unit);
  }

  // The table's text for one trace's measurements, keyed as COLUMNS.
  function texts(m, units) {
    var y = units.y, t = units.x;
    return {
      frequency: amount(m.frequency, 'Hz'), period: amount(m.period, t), pp: amount(m.pp, y),
      max: amount(m.max, y), min: amount(m.min, y), mean: amount(m.mean, y), rms: amount(m.rms, y),
      duty: m.duty === null ? DASH : (m.duty * 100).toFixed(1) + ' %',
      rise: edgeTime(m.rise, t), fall: edgeTime(m.fall, t)
    };
  }

  function cell(tag, text, attrs) {
    var node = document.createElement(tag);
    node.textContent = text;
    Object.keys(attrs || {}).forEach(function (k) { node.setAttribute(k, attrs[k]); });
    return node;
  }

  function swatch(colour, label) {
    var th = cell('th', '', { scope: 'row' });
    var mark = th.appendChild(cell('span', '', { 'class': 'swatch' }));
    mark.style.background = colour;
    th.appendChild(document.createTextNode(label));
    return th;
  }

  // rows: [{label, colour, text}], text keyed as COLUMNS.
  function showMeasurements(table, rows) {
    var head = document.createElement('tr');
    head.appendChild(cell('th', 'Trace'));
    COLUMNS.forEach(function (c) { head.appendChild(cell('th', c[1], { 'data-key': c[0] })); });
    var body = rows.map(function (r) {
      var tr = cell('tr', '', { 'data-channel': r.label });
      tr.appendChild(swatch(r.colour, r.label));
      COLUMNS.forEach(function (c) { tr.appendChild(cell('td', r.text[c[0]], { 'data-key': c[0] })); });
      return tr;
    });
    table.replaceChildren.apply(table, [head].concat(body));
  }

  function pairLine(names, values, delta, unit, extra) {
    var parts = [names[0] + ' ' + amount(values[0], unit), names[1] + ' ' + amount(values[1], unit), names[2] + ' ' + amount(delta, unit)];
    return parts.concat(extra || []).join('    ');
  }

  // readout: from ns.cursors.readout; colours: the traces' colours by label.
  function showCursors(box, readout, units, colours) {
    var parts = [];
    if (readout.time) {
      parts.push(cell('p', pairLine(['T1', 'T2', '\u0394t'], readout.time, readout.dt, units.x,
        ['1/\u0394t ' + amount(readout.inverseDt, 'Hz')]), { 'class': 'time-readout' }));
    }
    if (readout.volts) parts.push(cell('p', pairLine(['V1', 'V2', '\u0394V'], readout.volts, readout.dv, units.y), { 'class': 'volt-readout' }));
    if (readout.traces.length) {
      var table = cell('table', '', { 'class': 'cursor-values' });
      var head = table.appendChild(document.createElement('tr'));
      ['Trace', 'at T1', 'at T2', 'T2 \u2212 T1'].forEach(function (h) { head.appendChild(cell('th', h)); });
      readout.traces.forEach(function (r) {
        var tr = table.appendChild(cell('tr', '', { 'data-channel': r.label }));
        tr.appendChild(swatch(colours[r.label], r.label));
        var v = r.at.map(function (s) { return s ? s.v : null; });
        v.forEach(function (x) { tr.appendChild(cell('td', amount(x, units.y))); });
        tr.appendChild(cell('td', amount(v[0] !== null && v[1] !== null ? v[1] - v[0] : null, units.y)));
      });
      parts.push(table);
    }
    box.replaceChildren.apply(box, parts);
  }

  ns.readouts = { showMeasurements: showMeasurements, showCursors: showCursors, texts: texts, DASH: DASH };
})(window.BCV = window.BCV || {});
