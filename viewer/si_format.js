// Number formatting for the chart: SI prefixes, "nice" tick steps and tick labels.
// Plain script (no modules), so the page also works when opened from the file system.
(function (ns) {
  'use strict';

  var PREFIXES = { '-12': 'p', '-9': 'n', '-6': '\u00b5', '-3': 'm', '0': '', '3': 'k', '6': 'M', '9': 'G' };

  // The engineering exponent (multiple of 3) whose prefix shows `magnitude` as 1 to 999.
  function prefixExponent(magnitude) {
    var m = Math.abs(magnitude);
    if (!isFinite(m) || m === 0) return 0;
    var e = Math.floor(Math.log10(m) / 3) * 3;
    return Math.min(9, Math.max(-12, e));
  }

  function prefixSymbol(exponent) {
    return PREFIXES[String(exponent)];
  }

  // A step of 1, 2 or 5 times a power of ten giving about `count` intervals over `span`.
  function niceStep(span, count) {
    if (!(span > 0) || !isFinite(span)) return 1;
    var raw = span / count;
    var power = Math.pow(10, Math.floor(Math.log10(raw)));
    var f = raw / power;
    var m = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
    return m * power;
  }

  // Multiples of `step` lying within [min, max] (a hair of rounding tolerated).
  function ticks(min, max, step) {
    var out = [];
    var eps = step * 1e-9;
    var first = Math.ceil((min - eps) / step);
    var last = Math.floor((max + eps) / step);
    for (var k = first; k <= last && out.length < 1000; k++) out.push(k * step);
    return out;
  }

  // Enough decimals to tell ticks `step` apart once shown in units of 10^exponent.
  function tickDecimals(step, exponent) {
    var scaled = step / Math.pow(10, exponent);
    return Math.max(0, Math.ceil(-Math.log10(scaled) - 1e-9));
  }

  function tickLabel(value, exponent, decimals) {
    var text = (value / Math.pow(10, exponent)).toFixed(decimals);
    return /^-0(\.0*)?$/.test(text) ? text.slice(1) : text;
  }

  // "2 V", "500 mV", "2.5 µs": three significant digits (or `digits`), trailing zeros dropped.
  function quantity(value, unit, digits) {
    var d = digits || 3;
    if (!isFinite(value)) return String(value) + ' ' + unit;
    var rounded = Number(value.toPrecision(d));
    var e = prefixExponent(rounded);
    var shown = Number((rounded / Math.pow(10, e)).toPrecision(d));
    return String(shown) + ' ' + prefixSymbol(e) + unit;
  }

  ns.si = {
    prefixExponent: prefixExponent,
    prefixSymbol: prefixSymbol,
    niceStep: niceStep,
    ticks: ticks,
    tickDecimals: tickDecimals,
    tickLabel: tickLabel,
    quantity: quantity
  };
})(window.BCV = window.BCV || {});
