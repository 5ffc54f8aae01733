// From captures (chart script or CSV) to plotted points. The instrument's samples are converter
// counts: 25 to a vertical division, counted from the screen's centre line, on both channels alike.
// The channel's vertical position moves the trace on the screen and so is in the counts; with the
// scale and position the capture's head gives for channel N, a sample s reads
//   volts = s * VerticalNScale / 25 - VerticalNPosition
// (the instrument manuals' example: 28 counts at 0.5 V/div and position 0 is 0.56 V), and sample
// number n lies at n * timeInterval seconds.
(function (ns) {
  'use strict';

  var COUNTS_PER_DIV = 25;

  function usableInterval(t) { return isFinite(t) && t > 0; }
  function usableScale(ch) { return isFinite(ch.scale) && ch.scale > 0 && isFinite(ch.position); }

  // Each trace keeps its capture's channel as `origin`, where whether it is hidden is kept
  // across captures added later.
  function collectChannels(captures) {
    var channels = [];
    captures.forEach(function (capture) {
      capture.channels.forEach(function (ch) {
        channels.push(Object.assign({}, ch, { timeInterval: capture.timeInterval, file: capture.name, kind: capture.kind, origin: ch }));
      });
    });
    // Two files of the same channel side by side: tell them apart by file name.
    channels.forEach(function (ch) {
      var same = channels.filter(function (o) { return o.name === ch.name; });
      if (same.length > 1) ch.label = ch.name + ' (' + ch.file + ')';
    });
    channels.forEach(function (ch) { ch.label = ch.label || ch.name; });
    // Two files of the same name (today's op_scope.csv beside yesterday's): number the later.
    var seen = {};
    channels.forEach(function (ch) {
      seen[ch.label] = (seen[ch.label] || 0) + 1;
      if (seen[ch.label] > 1) ch.label += ' #' + seen[ch.label];
    });
    return channels;
  }

  // Without a usable scale or sampling period (a capture taken while the instrument gave no
  // settings reads them as 0) volts and seconds cannot be worked out: rather than plot NaN or
  // collapse every point onto zero, the axes fall back to raw counts and sample numbers.
  function fallbackWarnings(channels, volts, time) {
    var warnings = [];
    if (!volts) {
      var bad = channels.filter(function (ch) { return !usableScale(ch); });
      warnings.push('No usable vertical scale for ' + bad.map(function (ch) {
        return ch.label + ' (scale ' + ch.scale + ', position ' + ch.position + ')';
      }).join(', ') + ': the samples are plotted as ADC counts.');
    }
    if (!time) {
      var t = channels.map(function (ch) { return ch.timeInterval; }).filter(function (v) { return !usableInterval(v); });
      warnings.push('No usable sampling period (' + t.join(', ') + '): the time axis shows sample numbers.');
    }
    return warnings;
  }

  function build(captures) {
    var channels = collectChannels(captures);
    var volts = channels.length > 0 && channels.every(usableScale);
    var time = channels.length > 0 && channels.every(function (ch) { return usableInterval(ch.timeInterval); });
    channels.forEach(function (ch) {
      ch.points = [];
      ch.samples.forEach(function (sample) {
        var n = sample[0], s = sample[1];
        if (s === null) return;
        var x = time ? n * ch.timeInterval : n;
        var y = volts ? s * ch.scale / COUNTS_PER_DIV - ch.position : s;
        ch.points.push([x, y]);
      });
    });
    return {
      channels: channels,
      xUnit: time ? 's' : 'samples',
      yUnit: volts ? channels[0].units : 'counts',
      warnings: fallbackWarnings(channels, volts, time)
    };
  }

  ns.waveform = { build: build, COUNTS_PER_DIV: COUNTS_PER_DIV };
})(window.BCV = window.BCV || {});
