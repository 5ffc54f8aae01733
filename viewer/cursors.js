// Two time cursors and two voltage cursors, and what they read: delta t, 1/delta t, delta V, and
// each shown trace's sample under each time cursor (the sample nearest in time, as a scope's
// cursor reads the point it sits on).
(function (ns) {
  'use strict';

  // Cursors start at a third and two thirds of the range in view.
  function place(range) {
    var span = range[1] - range[0];
    return [range[0] + span / 3, range[0] + span * 2 / 3];
  }

  // The sample of `points` (time ordered, evenly spaced) nearest to time t; null when t lies
  // more than half a sampling interval outside the trace.
  function sampleAt(points, t) {
    if (points.length === 0) return null;
    var lo = 0, hi = points.length - 1;
    while (hi - lo > 1) {
      var mid = (lo + hi) >> 1;
      if (points[mid][0] <= t) lo = mid; else hi = mid;
    }
    var best = Math.abs(points[hi][0] - t) < Math.abs(points[lo][0] - t) ? hi : lo;
    var half = points.length > 1 ? (points[points.length - 1][0] - points[0][0]) / (points.length - 1) / 2 : 0;
    if (t < points[0][0] - half || t > points[points.length - 1][0] + half) return null;
    return { index: best, t: points[best][0], v: points[best][1] };
  }

  function difference(pair) {
    return pair ? pair[1] - pair[0] : null;
  }

  // cursors: {time: [t1, t2] or null, volts: [v1, v2] or null}; channels: the traces shown.
  function readout(cursors, channels) {
    var dt = difference(cursors.time);
    return {
      time: cursors.time, volts: cursors.volts,
      dt: dt, inverseDt: dt ? 1 / Math.abs(dt) : null, dv: difference(cursors.volts),
      traces: cursors.time ? channels.map(function (ch) {
        return { label: ch.label, at: cursors.time.map(function (t) { return sampleAt(ch.points, t); }) };
      }) : []
    };
  }

  ns.cursors = { place: place, sampleAt: sampleAt, readout: readout };
})(window.BCV = window.BCV || {});
