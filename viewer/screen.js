// The scope screen: the plot with the range in view, the cursors, the measurements on what is in
// view, the toolbar (reset, cursors, exports). `show(view)` puts traces on it; every change of
// range, cursor or shown trace redraws and reports to `onChange` what a reader of the page needs.
(function (ns) {
  'use strict';

  var MIN_SPAN = 1e-3;  // zoom in to a thousandth of the whole capture at most
  var MAX_SPAN = 100;   // and out to a hundred times it

  function limited(r, whole) {
    var span = r[1] - r[0], full = whole[1] - whole[0], mid = (r[0] + r[1]) / 2;
    var want = Math.min(full * MAX_SPAN, Math.max(full * MIN_SPAN, span));
    return want === span ? [r[0], r[1]] : [mid - want / 2, mid + want / 2];
  }

  function baseName(file) {
    return String(file || 'waveform').replace(/\.[^.]*$/, '') || 'waveform';
  }

  // el: {chart, readout, measurements, reset, timeCursors, voltCursors, png, svg, csv}
  function create(el, onChange) {
    var svg = null, view = null, full = null, range = null, axes = null;
    var cursors = { time: null, volts: null };

    function shown() { return view.channels.filter(function (ch) { return !ch.hidden; }); }
    function units() { return { x: view.xUnit, y: view.yUnit }; }

    // One converter step of the trace, the unit its flatness is judged in.
    function step(ch) {
      return view.yUnit === 'counts' ? 1 : ch.scale / ns.waveform.COUNTS_PER_DIV;
    }

    function measurements() {
      return shown().map(function (ch) {
        var values = ns.measure.measure(ch.points, range.x[0], range.x[1], step(ch), view.xUnit === 's');
        return {
          label: ch.label, name: ch.name, file: ch.file, values: values, text: ns.readouts.texts(values, units()),
          colour: ns.plot.colour(view.channels.indexOf(ch))
        };
      });
    }

    function redraw() {
      axes = ns.plot.render(svg, view, range, cursors);
      var rows = measurements();
      ns.readouts.showMeasurements(el.measurements, rows);
      var colours = {};
      view.channels.forEach(function (ch, i) { colours[ch.label] = ns.plot.colour(i); });
      var readout = ns.cursors.readout(cursors, shown());
      ns.readouts.showCursors(el.readout, readout, units(), colours);
      el.timeCursors.setAttribute('aria-pressed', String(!!cursors.time));
      el.voltCursors.setAttribute('aria-pressed', String(!!cursors.volts));
      onChange({ axes: axes, range: { x: range.x.slice(), y: range.y.slice() }, measurements: rows, cursors: readout });
    }

    var ctl = {
      axes: function () { return axes; },
      range: function () { return { x: range.x.slice(), y: range.y.slice() }; },
      setRange: function (r) {
        range = { x: limited(r.x, full.x), y: limited(r.y, full.y) };
        redraw();
      },
      reset: function () { ctl.setRange(full); },
      cursors: function () { return cursors; },
      moveCursor: function (kind, index, value) {
        cursors[kind][index] = value;
        redraw();
      },
      toggle: function (index) {
        var ch = view.channels[index];
        ch.hidden = ch.origin.hidden = !ch.hidden;
        redraw();
      }
    };

    function toggleCursors(kind, axis) {
      if (!view) return;
      cursors[kind] = cursors[kind] ? null : ns.cursors.place(range[axis]);
      redraw();
    }

    function exportAs(kind) {
      if (!view) return;
      var name = baseName(view.channels[0] && view.channels[0].file);
      if (kind === 'csv') {
        var text = ns.exporter.samplesCsv(shown(), range.x, view.xUnit, view.yUnit);
        return ns.exporter.download(name + '-samples.csv', new Blob([text], { type: 'text/csv' }));
      }
      var picture = ns.exporter.svgText(svg);
      if (kind === 'svg') return ns.exporter.download(name + '-plot.svg', new Blob([picture], { type: 'image/svg+xml' }));
      ns.exporter.pngBlob(picture, ns.plot.size).then(function (blob) {
        ns.exporter.download(name + '-plot.png', blob);
      }, function (error) { onChange({ error: error.message }); });
    }

    el.reset.addEventListener('click', function () { if (view) ctl.reset(); });
    el.timeCursors.addEventListener('click', function () { toggleCursors('time', 'x'); });
    el.voltCursors.addEventListener('click', function () { toggleCursors('volts', 'y'); });
    ['png', 'svg', 'csv'].forEach(function (kind) { el[kind].addEventListener('click', function () { exportAs(kind); }); });

    function setEnabled(on) {
      ['reset', 'timeCursors', 'voltCursors', 'png', 'svg', 'csv'].forEach(function (k) { el[k].disabled = !on; });
    }
    setEnabled(false);

    // A new set of traces is shown whole; cursors that were on are placed anew.
    function show(newView) {
      view = newView;
      setEnabled(!!view);
      if (!view) {
        svg = null;
        el.chart.replaceChildren();
        el.measurements.replaceChildren();
        el.readout.replaceChildren();
        return;
      }
      if (!svg) {
        svg = ns.plot.create(el.chart);
        ns.interaction.attach(svg, ctl);
      }
      full = ns.plot.fullRange(view);
      range = { x: full.x.slice(), y: full.y.slice() };
      if (cursors.time) cursors.time = ns.cursors.place(range.x);
      if (cursors.volts) cursors.volts = ns.cursors.place(range.y);
      redraw();
    }

    return { show: show };
  }

  ns.screen = { create: create };
})(window.BCV = window.BCV || {});
