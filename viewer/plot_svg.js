// Draws the channels as inline SVG: a frame with grid, time and voltage axes with ticks and
// prefixed units, a legend, and one polyline per channel. The frame carries its data range as
// data-* attributes so the drawn points can be read back exactly.
(function (ns) {
  'use strict';

  var SVG = 'http://www.w3.org/2000/svg';
  var WIDTH = 1000, HEIGHT = 580;
  var FRAME = { left: 90, top: 60, width: 880, height: 440 };
  var COLOURS = ['#d08c00', '#1668c9', '#2a9d3a', '#c0392b'];

  function el(name, attrs, text) {
    var node = document.createElementNS(SVG, name);
    Object.keys(attrs || {}).forEach(function (k) { node.setAttribute(k, attrs[k]); });
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function dataRange(view, index) {
    var min = Infinity, max = -Infinity;
    view.channels.forEach(function (ch) {
      ch.points.forEach(function (p) { if (p[index] < min) min = p[index]; if (p[index] > max) max = p[index]; });
    });
    if (min === Infinity) return [0, 1];
    if (min === max) { var pad = Math.abs(min) * 0.1 || 1; return [min - pad, max + pad]; }
    return [min, max];
  }

  // Time runs over exactly the captured span; the vertical range is widened to whole ticks.
  function axis(range, unit, tickCount, widen, prefixed) {
    var step = ns.si.niceStep(range[1] - range[0], tickCount);
    if (unit === 'samples' || unit === 'counts') step = Math.max(step, 1); // whole numbers only
    var min = widen ? Math.floor(range[0] / step) * step : range[0];
    var max = widen ? Math.ceil(range[1] / step) * step : range[1];
    var exponent = prefixed ? ns.si.prefixExponent(Math.max(Math.abs(min), Math.abs(max))) : 0;
    var decimals = ns.si.tickDecimals(step, exponent);
    return {
      min: min, max: max, unit: unit, exponent: exponent,
      prefix: ns.si.prefixSymbol(exponent),
      ticks: ns.si.ticks(min, max, step).map(function (v) {
        return { value: v, label: ns.si.tickLabel(v, exponent, decimals) };
      })
    };
  }

  function makeAxes(view) {
    var timed = view.xUnit === 's', volts = view.yUnit !== 'counts';
    var x = axis(dataRange(view, 0), view.xUnit, 10, false, timed);
    var y = axis(dataRange(view, 1), view.yUnit, 8, true, volts);
    x.label = timed ? 'Time (' + x.prefix + 's)' : 'Sample number';
    y.label = volts ? (view.yUnit === 'V' ? 'Voltage' : 'Amplitude') + ' (' + y.prefix + view.yUnit + ')' : 'ADC counts';
    return { x: x, y: y, frame: FRAME };
  }

  function mapper(axes) {
    return {
      x: function (v) { return FRAME.left + (v - axes.x.min) / (axes.x.max - axes.x.min) * FRAME.width; },
      y: function (v) { return FRAME.top + (axes.y.max - v) / (axes.y.max - axes.y.min) * FRAME.height; }
    };
  }

  function drawGridAndTicks(svg, axes, map) {
    var grid = svg.appendChild(el('g', { 'class': 'grid' }));
    var xAxis = svg.appendChild(el('g', { 'class': 'x-axis' }));
    var yAxis = svg.appendChild(el('g', { 'class': 'y-axis' }));
    var bottom = FRAME.top + FRAME.height, right = FRAME.left + FRAME.width;
    axes.x.ticks.forEach(function (t) {
      var px = map.x(t.value).toFixed(2);
      grid.appendChild(el('line', { x1: px, x2: px, y1: FRAME.top, y2: bottom }));
      xAxis.appendChild(el('line', { x1: px, x2: px, y1: bottom, y2: bottom + 6 }));
      xAxis.appendChild(el('text', { 'class': 'tick-label', x: px, y: bottom + 22, 'text-anchor': 'middle', 'data-value': t.value }, t.label));
    });
    axes.y.ticks.forEach(function (t) {
      var py = map.y(t.value).toFixed(2);
      grid.appendChild(el('line', { x1: FRAME.left, x2: right, y1: py, y2: py }));
      yAxis.appendChild(el('line', { x1: FRAME.left - 6, x2: FRAME.left, y1: py, y2: py }));
      yAxis.appendChild(el('text', { 'class': 'tick-label', x: FRAME.left - 10, y: py, 'text-anchor': 'end', 'dominant-baseline': 'middle', 'data-value': t.value }, t.label));
    });
    xAxis.appendChild(el('text', { 'class': 'axis-label', x: FRAME.left + FRAME.width / 2, y: bottom + 52, 'text-anchor': 'middle' }, axes.x.label));
    var yx = 24, yy = FRAME.top + FRAME.height / 2;
    yAxis.appendChild(el('text', { 'class': 'axis-label', x: yx, y: yy, 'text-anchor': 'middle', transform: 'rotate(-90 ' + yx + ' ' + yy + ')' }, axes.y.label));
  }

  function frame(axes) {
    return el('rect', {
      'class': 'plot-frame', x: FRAME.left, y: FRAME.top, width: FRAME.width, height: FRAME.height,
      'data-x-min': axes.x.min, 'data-x-max': axes.x.max, 'data-y-min': axes.y.min, 'data-y-max': axes.y.max
    });
  }

  function legendText(ch, view) {
    if (view.yUnit === 'counts') return ch.label + '  (no vertical scale)';
    return ch.label + '  ' + ns.si.quantity(ch.scale, ch.units) + '/div';
  }

  function drawLegend(svg, view) {
    var legend = svg.appendChild(el('g', { 'class': 'legend' }));
    var x = FRAME.left;
    view.channels.forEach(function (ch, i) {
      var entry = legend.appendChild(el('g', { 'class': 'legend-entry', 'data-channel': ch.label }));
      var colour = COLOURS[i % COLOURS.length];
      entry.appendChild(el('line', { x1: x, x2: x + 28, y1: 30, y2: 30, stroke: colour, 'stroke-width': 3 }));
      var text = legendText(ch, view);
      entry.appendChild(el('text', { x: x + 36, y: 30, 'dominant-baseline': 'middle' }, text));
      x += 60 + text.length * 8;
    });
  }

  function drawTraces(svg, view, map) {
    var clip = svg.appendChild(el('clipPath', { id: 'plot-clip' }));
    clip.appendChild(el('rect', { x: FRAME.left, y: FRAME.top, width: FRAME.width, height: FRAME.height }));
    view.channels.forEach(function (ch, i) {
      var points = ch.points.map(function (p) { return map.x(p[0]).toFixed(2) + ',' + map.y(p[1]).toFixed(2); });
      svg.appendChild(el('polyline', {
        'class': 'trace', 'data-channel': ch.label, points: points.join(' '), fill: 'none',
        stroke: COLOURS[i % COLOURS.length], 'stroke-width': 1.4, 'clip-path': 'url(#plot-clip)'
      }));
    });
  }

  function render(container, view) {
    var svg = el('svg', { id: 'plot', viewBox: '0 0 ' + WIDTH + ' ' + HEIGHT, role: 'img' });
    var axes = makeAxes(view);
    var map = mapper(axes);
    svg.appendChild(el('rect', { 'class': 'background', x: 0, y: 0, width: WIDTH, height: HEIGHT }));
    svg.appendChild(frame(axes));
    drawGridAndTicks(svg, axes, map);
    drawTraces(svg, view, map);
    drawLegend(svg, view);
    container.replaceChildren(svg);
    return axes;
  }

  ns.plot = { render: render, colours: COLOURS };
})(window.BCV = window.BCV || {});
