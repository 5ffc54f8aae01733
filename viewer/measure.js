// Automatic measurements of one trace over the samples in the visible time window, as a scope's
// measure menu gives them. A measurement that does not apply is null (the table shows a dash):
// time measurements need a real time axis and a signal that swings well clear of the converter's
// noise, and frequency, period and duty cycle need at least one whole period in the window.
(function (ns) {
  'use strict';

  // Below this many converter steps from top to bottom a trace counts as a flat line: its
  // crossings would be noise.
  var FLAT_STEPS = 5;
  // Crossings of the middle level count only once the signal has left a band around it, so
  // that noise riding on a slow edge is not taken for many edges.
  var BAND_OF_SWING = 0.1;
  var BAND_MIN_STEPS = 1.5;

  // The samples with lo <= t <= hi (points are in time order).
  function inWindow(points, lo, hi) {
    var out = [];
    for (var i = 0; i < points.length; i++) if (points[i][0] >= lo && points[i][0] <= hi) out.push(points[i]);
    return out;
  }

  function levels(points) {
    var max = -Infinity, min = Infinity, sum = 0, squares = 0;
    points.forEach(function (p) {
      var v = p[1];
      if (v > max) max = v;
      if (v < min) min = v;
      sum += v;
      squares += v * v;
    });
    var n = points.length;
    return { max: max, min: min, pp: max - min, mean: sum / n, rms: Math.sqrt(squares / n) };
  }

  // Time at which the straight line through samples a and b reaches `level`.
  function interpolate(a, b, level) {
    if (b[1] === a[1]) return (a[0] + b[0]) / 2;
    return a[0] + (level - a[1]) / (b[1] - a[1]) * (b[0] - a[0]);
  }

  // Where samples first..last (one transition through the band) cross `mid`: a least-squares
  // line through them when there are enough, so noise averages out on slow edges; else the
  // two samples either side of the level.
  function crossingTime(points, first, last, mid) {
    var n = last - first + 1;
    if (n >= 4) {
      var st = 0, sv = 0, stt = 0, stv = 0, t0 = points[first][0];
      for (var i = first; i <= last; i++) {
        var t = points[i][0] - t0, v = points[i][1];
        st += t; sv += v; stt += t * t; stv += t * v;
      }
      var slope = (n * stv - st * sv) / (n * stt - st * st);
      if (slope !== 0 && isFinite(slope)) return t0 + (mid - (sv - slope * st) / n) / slope;
    }
    var rising = points[last][1] > points[first][1];
    for (var k = first; k < last; k++) {
      if (rising ? points[k + 1][1] >= mid : points[k + 1][1] <= mid) return interpolate(points[k], points[k + 1], mid);
    }
    return interpolate(points[first], points[last], mid);
  }

  // Each passage through the band around `mid`, in time order: {rising, t, from, to} where
  // from..to are the samples of the passage (last outside on one side, first out on the other).
  function crossings(points, mid, band) {
    var out = [], side = 0, lastLow = -1, lastHigh = -1;
    for (var i = 0; i < points.length; i++) {
      var v = points[i][1];
      if (v < mid - band) {
        if (side === 1) out.push({ rising: false, from: lastHigh, to: i });
        side = -1;
        lastLow = i;
      } else if (v > mid + band) {
        if (side === -1) out.push({ rising: true, from: lastLow, to: i });
        side = 1;
        lastHigh = i;
      }
    }
    out.forEach(function (c) { c.t = crossingTime(points, c.from, c.to, mid); });
    return out;
  }

  function mean(values) {
    return values.reduce(function (a, b) { return a + b; }, 0) / values.length;
  }

  // Frequency from like edges (two rising, or failing that two falling, make a whole period).
  function period(edges) {
    var pick = function (rising) { return edges.filter(function (c) { return c.rising === rising; }); };
    var like = pick(true).length >= 2 ? pick(true) : pick(false);
    if (like.length < 2) return null;
    return (like[like.length - 1].t - like[0].t) / (like.length - 1);
  }

  // Time high over the whole period, from the mean high and mean low widths seen.
  function dutyCycle(edges) {
    var high = [], low = [];
    for (var i = 1; i < edges.length; i++) (edges[i - 1].rising ? high : low).push(edges[i].t - edges[i - 1].t);
    if (high.length === 0 || low.length === 0) return null;
    return mean(high) / (mean(high) + mean(low));
  }

  // 10 % to 90 % (or 90 % to 10 %) of the swing for each whole edge in the window: one with a
  // crossing the other way before and after it, so that the window holds the base it leaves and
  // the top it reaches (a piece of an edge, cut by the window, would give a wrong time). An edge
  // over within one sampling interval is faster than the capture can tell: it is reported as
  // "below" that interval.
  function transition(points, edges, rising, lo, hi, dt) {
    var times = [], below = false;
    edges.forEach(function (c, n) {
      if (c.rising !== rising || n === 0 || n === edges.length - 1) return;
      var start = edges[n - 1].to, end = edges[n + 1].from;
      var enter = rising ? lo : hi, leave = rising ? hi : lo;
      var before = function (v) { return rising ? v <= enter : v >= enter; };
      var after = function (v) { return rising ? v >= leave : v <= leave; };
      var a = c.from, b = c.to;
      while (a > start && !before(points[a][1])) a--;
      while (b < end && !after(points[b][1])) b++;
      if (!before(points[a][1]) || !after(points[b][1])) return;
      if (b - a <= 1) { below = true; return; }
      times.push(interpolate(points[b - 1], points[b], leave) - interpolate(points[a], points[a + 1], enter));
    });
    if (times.length) return { value: mean(times), below: false };
    return below ? { value: dt, below: true } : null;
  }

  // points: the trace's [t, v] samples; lo, hi: the visible time window; step: one converter
  // step in the trace's units; timed: whether t is in seconds (not sample numbers).
  function measure(points, lo, hi, step, timed) {
    var shown = inWindow(points, lo, hi);
    var none = { frequency: null, period: null, duty: null, rise: null, fall: null };
    if (shown.length === 0) return Object.assign({ max: null, min: null, pp: null, mean: null, rms: null, samples: 0 }, none);
    var out = Object.assign(levels(shown), none, { samples: shown.length });
    if (!timed || shown.length < 3 || !(out.pp >= FLAT_STEPS * step)) return out;
    var mid = (out.max + out.min) / 2;
    var edges = crossings(shown, mid, Math.max(out.pp * BAND_OF_SWING, BAND_MIN_STEPS * step));
    var p = period(edges);
    if (p !== null && p > 0) {
      out.period = p;
      out.frequency = 1 / p;
      out.duty = dutyCycle(edges);
    }
    var dt = (shown[shown.length - 1][0] - shown[0][0]) / (shown.length - 1);
    out.rise = transition(shown, edges, true, out.min + 0.1 * out.pp, out.min + 0.9 * out.pp, dt);
    out.fall = transition(shown, edges, false, out.min + 0.1 * out.pp, out.min + 0.9 * out.pp, dt);
    return out;
  }

  ns.measure = { measure: measure, inWindow: inWindow };
})(window.BCV = window.BCV || {});
