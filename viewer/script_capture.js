// Turns the values read from a chart script (its head and its gbF lines) into a capture: the same
// shape the CSV reader makes, so both are plotted by one path.
(function (ns) {
  'use strict';

  // The display-offset lines are the script's own fixed text: the volts come from each channel's
  // scale and position (see waveform.js), not from them.
  function channel(name, units, scale, position, calls, column) {
    return {
      name: name,
      units: units !== '' ? units : 'V',
      scale: scale,
      position: position,
      samples: calls.map(function (call) { return [call[2], call[column]]; })
    };
  }

  // -> a capture, or { error } when the text is not a chart script.
  function fromText(text, name) {
    var read = ns.chartScript.read(text, name);
    if (read.error) return read;
    var s = read.settings;
    var warnings = read.warnings.slice();
    if (read.calls.length === 0) warnings.push('The chart script has no gbF lines: no samples to plot.');
    return {
      kind: 'chart script',
      name: name,
      timeInterval: s.timeInterval,
      settings: s,
      warnings: warnings,
      channels: [
        channel('CH1', s.Vertical1Units, s.Vertical1Scale, s.Vertical1Position, read.calls, 0),
        channel('CH2', s.Vertical2Units, s.Vertical2Scale, s.Vertical2Position, read.calls, 1)
      ]
    };
  }

  ns.scriptCapture = { fromText: fromText };
})(window.BCV = window.BCV || {});
