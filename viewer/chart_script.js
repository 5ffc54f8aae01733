// Loading a chart script ("gbookFtemp.js"). The script is JavaScript that sets a few globals
// (scales, positions, display offsets, the sampling period) and then calls gbF once per sample;
// gbF is not in the file, so the page supplies it and collects the calls.
(function (ns) {
  'use strict';

  var SCRIPT_GLOBALS = [
    'Vertical1Units', 'Vertical1Scale', 'Vertical1Position',
    'Vertical2Units', 'Vertical2Scale', 'Vertical2Position',
    'displayOffset1', 'displayOffset2', 'timeInterval'
  ];

  // The load in progress: its <script> element and what it has produced so far.
  var pending = null;
  var lastElement = null;

  // gbF(source, user@host, date, host, ch1 sample, ch2 sample, 0, 0, 'n'). Only calls made while
  // the pending script itself runs are taken, so a slow earlier load cannot mix into a later one.
  function gbF(source, who, date, host, s1, s2, zero1, zero2, n) {
    if (!pending || document.currentScript !== pending.element) return;
    pending.calls.push([s1, s2, n]);
  }

  function onError(event) {
    if (pending) pending.errors.push(String(event.message || 'script error'));
  }
  window.addEventListener('error', onError);

  // The C library prints a float that is not a number as nan or NAN and an infinite one as inf or
  // INF. A block header that came garbled gives such a sampling period, and the script then names
  // an undefined variable and stops before its first gbF call; these let it run on to the samples.
  var NON_FINITE = { nan: NaN, NAN: NaN, inf: Infinity, INF: Infinity };

  // Clears what an earlier script left behind: its element, its globals, a gbF it may have replaced.
  function begin() {
    if (lastElement && lastElement.parentNode) lastElement.parentNode.removeChild(lastElement);
    SCRIPT_GLOBALS.forEach(function (name) { window[name] = undefined; });
    Object.keys(NON_FINITE).forEach(function (name) { window[name] = NON_FINITE[name]; });
    window.gbF = gbF;
    var element = document.createElement('script');
    pending = { element: element, calls: [], errors: [] };
    lastElement = element;
    return element;
  }

  function finish(element, done) {
    if (!pending || pending.element !== element) return; // superseded by a later load
    var result = { globals: {}, calls: pending.calls, errors: pending.errors };
    SCRIPT_GLOBALS.forEach(function (name) { result.globals[name] = window[name]; });
    pending = null;
    done(null, result);
  }

  function fail(element, done, message) {
    if (!pending || pending.element !== element) return;
    pending = null;
    done(message, null);
  }

  // `src` relative to the page or an absolute file:// URL; a <script> element loads from file://
  // where fetch would be refused.
  function loadUrl(src, done) {
    var element = begin();
    element.onload = function () { finish(element, done); };
    element.onerror = function () { fail(element, done, 'Could not load chart script "' + src + '"'); };
    element.src = src;
    document.head.appendChild(element);
  }

  // Text read from a picked file runs as an inline script: synchronously, on appendChild.
  function loadText(text, done) {
    var element = begin();
    element.text = text;
    document.head.appendChild(element);
    finish(element, done);
  }

  ns.chartScript = { loadUrl: loadUrl, loadText: loadText, globals: SCRIPT_GLOBALS };
})(window.BCV = window.BCV || {});
