// Turns what a chart script produced (its globals and its gbF calls) into a capture: the same
// shape the CSV reader makes, so both are plotted by one path.
(function (ns) {
  'use strict';

  function toNumber(value) {
    return typeof value === 'number' || typeof value === 'string' ? Number(value) : NaN;
  }

  // A sample is a whole ADC count; anything else in the file is taken as no sample.
  function toSample(value) {
    var v = toNumber(value);
    return Number.isInteger(v) ? v : null;
  }

  // The quoted sample number; where it is not a plain count the call's position stands in.
  function toIndex(value, position) {
    var text = String(value);
    return /^\s*\d+\s*$/.test(text) ? parseInt(text, 10) : position;
  }

  // The display-offset lines are the script's own fixed text: the volts come from each channel's
  // scale and position (see waveform.js), not from them.
  function channel(name, units, scale, position, calls, column) {
    return {
      name: name,
      units: typeof units === 'string' && units !== '' ? units : 'V',
      scale: toNumber(scale),
      position: toNumber(position),
      samples: calls.map(function (call, i) { return [toIndex(call[2], i), toSample(call[column])]; })
    };
  }

  function fromChartScript(result, name) {
    var g = result.globals;
    var warnings = result.errors.map(function (e) { return 'The chart script reported an error: ' + e; });
    if (result.calls.length === 0) warnings.push('The chart script made no gbF calls: no samples to plot.');
    var settings = {};
    ns.chartScript.globals.forEach(function (key) { settings[key] = g[key]; });
    return {
      kind: 'chart script',
      name: name,
      timeInterval: toNumber(g.timeInterval),
      settings: settings,
      warnings: warnings,
      channels: [
        channel('CH1', g.Vertical1Units, g.Vertical1Scale, g.Vertical1Position, result.calls, 0),
        channel('CH2', g.Vertical2Units, g.Vertical2Scale, g.Vertical2Position, result.calls, 1)
      ]
    };
  }

  ns.scriptCapture = { fromChartScript: fromChartScript };
})(window.BCV = window.BCV || {});
