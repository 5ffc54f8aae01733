// Draws the traces as inline SVG: a frame with grid, time and voltage axes with ticks and
// prefixed units for the range in view, a legend (one entry per trace, click to show or hide),
// the traces and the cursors. The SVG carries its own style so that it also stands alone when
// exported. The frame carries the range in view as data-* attributes so that the drawn points
// can be read back exactly.
(function (ns) {
  'use strict';

  var SVG = 'http://www.w3.org/2000/svg';
  var WIDTH = 1000, HEIGHT = 580;
  var COLOURS = ['#d08c00', '#1668c9', '#2a9d3a', '#c0392b', '#7d3cc8', '#008b8b', '#b8459a', '#5a5a5a'];
  var CURSOR_COLOURS = { time: '#b0106a', volts: '#0a7d6f' };
  var LEGEND_ROW = 24;

  var STYLE = [
    'text { font-family: system-ui, "DejaVu Sans", sans-serif; }',
    '.background { fill: #fff; }',
    '.plot-frame { fill: #fcfcfc; }',
    '.frame-edge { fill: none; stroke: #444; stroke-width: 1; }',
    '.grid line { stroke: #ddd; stroke-width: 1; }',
    '.x-axis line, .y-axis line { stroke: #444; stroke-width: 1; }',
    '.tick-label { fill: #333; font-size: 13px; }',
    '.axis-label { fill: #222; font-size: 15px; font-weight: 600; }',
    '.legend-entry { cursor: pointer; }',
    '.legend-entry text { fill: #222; font-size: 15px; }',
    '.legend-entry.hidden text { fill: #999; text-decoration: line-through; }',
    '.legend-entry.hidden line { stroke-opacity: .3; }',
    '.cursor line { stroke-width: 1.2; stroke-dasharray: 6 4; }',
    '.cursor text { font-size: 13px; font-weight: 600; }',
    '.zoom-box { fill: rgba(22, 104, 201, .12); stroke: #1668c9; stroke-dasharray: 4 3; }'
  ].join('\n');

  function el(name, attrs, text) {
    var node = document.createElementNS(SVG, name);
    Object.keys(attrs || {}).forEach(function (k) { node.setAttribute(k, attrs[k]); });
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function colour(i) { return COLOURS[i % COLOURS.length]; }

  function dataRange(channels, index) {
    var min = Infinity, max = -Infinity;
    channels.forEach(function (ch) {
      ch.points.forEach(function (p) { if (p[index] < min) min = p[index]; if (p[index] > max) max = p[index]; });
    });
    if (min === Infinity) return [0, 1];
    if (min === max) { var pad = Math.abs(min) * 0.1 || 1; return [min - pad, max + pad]; }
    return [min, max];
  }

  function wholeSteps(unit, step) {
    return unit === 'samples' || unit === 'counts' ? Math.max(step, 1) : step;
  }

  // The whole capture: time over exactly the captured span, voltage widened to whole ticks.
  function fullRange(view) {
    var y = dataRange(view.channels, 1);
    var step = wholeSteps(view.yUnit, ns.si.niceStep(y[1] - y[0], 8));
    return { x: dataRange(view.channels, 0), y: [Math.floor(y[0] / step) * step, Math.ceil(y[1] / step) * step] };
  }

  function axis(range, unit, tickCount, prefixed) {
    var min = range[0], max = range[1];
    var step = wholeSteps(unit, ns.si.niceStep(max - min, tickCount));
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

  function makeAxes(view, range, frame) {
    var timed = view.xUnit === 's', volts = view.yUnit !== 'counts';
    var x = axis(range.x, view.xUnit, 10, timed);
    var y = axis(range.y, view.yUnit, 8, volts);
    x.label = timed ? 'Time (' + x.prefix + 's)' : 'Sample number';
    y.label = volts ? (view.yUnit === 'V' ? 'Voltage' : 'Amplitude') + ' (' + y.prefix + view.yUnit + ')' : 'ADC counts';
    return { x: x, y: y, frame: frame };
  }

  // Data to SVG coordinates and back.
  function mapper(axes) {
    var f = axes.frame, x = axes.x, y = axes.y;
    return {
      x: function (v) { return f.left + (v - x.min) / (x.max - x.min) * f.width; },
      y: function (v) { return f.top + (y.max - v) / (y.max - y.min) * f.height; },
      t: function (px) { return x.min + (px - f.left) / f.width * (x.max - x.min); },
      v: function (py) { return y.max - (py - f.top) / f.height * (y.max - y.min); }
    };
  }

  function drawGridAndTicks(svg, axes, map) {
    var f = axes.frame;
    var grid = svg.appendChild(el('g', { 'class': 'grid' }));
    var xAxis = svg.appendChild(el('g', { 'class': 'x-axis' }));
    var yAxis = svg.appendChild(el('g', { 'class': 'y-axis' }));
    var bottom = f.top + f.height, right = f.left + f.width;
    axes.x.ticks.forEach(function (t) {
      var px = map.x(t.value).toFixed(2);
      grid.appendChild(el('line', { x1: px, x2: px, y1: f.top, y2: bottom }));
      xAxis.appendChild(el('line', { x1: px, x2: px, y1: bottom, y2: bottom + 6 }));
      xAxis.appendChild(el('text', { 'class': 'tick-label', x: px, y: bottom + 22, 'text-anchor': 'middle', 'data-value': t.value }, t.label));
    });
    axes.y.ticks.forEach(function (t) {
      var py = map.y(t.value).toFixed(2);
      grid.appendChild(el('line', { x1: f.left, x2: right, y1: py, y2: py }));
      yAxis.appendChild(el('line', { x1: f.left - 6, x2: f.left, y1: py, y2: py }));
      yAxis.appendChild(el('text', { 'class': 'tick-label', x: f.left - 10, y: py, 'text-anchor': 'end', 'dominant-baseline': 'middle', 'data-value': t.value }, t.label));
    });
    xAxis.appendChild(el('text', { 'class': 'axis-label', x: f.left + f.width / 2, y: bottom + 52, 'text-anchor': 'middle' }, axes.x.label));
    var yx = 24, yy = f.top + f.height / 2;
    yAxis.appendChild(el('text', { 'class': 'axis-label', x: yx, y: yy, 'text-anchor': 'middle', transform: 'rotate(-90 ' + yx + ' ' + yy + ')' }, axes.y.label));
  }

  function frameRect(axes) {
    var f = axes.frame;
    return el('rect', {
      'class': 'plot-frame', x: f.left, y: f.top, width: f.width, height: f.height,
      'data-x-min': axes.x.min, 'data-x-max': axes.x.max, 'data-y-min': axes.y.min, 'data-y-max': axes.y.max
    });
  }

  function legendText(ch, view) {
    if (view.yUnit === 'counts') return ch.label + '  (no vertical scale)';
    return ch.label + '  ' + ns.si.quantity(ch.scale, ch.units) + '/div';
  }

  // Entries left to right, wrapping onto further rows; the plot frame starts below the last row.
  function layoutLegend(view) {
    var x = 90, row = 0;
    var entries = view.channels.map(function (ch) {
      var text = legendText(ch, view), width = 50 + text.length * 8;
      if (x > 90 && x + width > WIDTH - 20) { x = 90; row++; }
      var entry = { text: text, x: x, y: 30 + row * LEGEND_ROW };
      x += width;
      return entry;
    });
    return { entries: entries, rows: row + 1 };
  }

  function drawLegend(svg, view, layout) {
    var legend = svg.appendChild(el('g', { 'class': 'legend' }));
    view.channels.forEach(function (ch, i) {
      var at = layout.entries[i];
      var entry = legend.appendChild(el('g', {
        'class': 'legend-entry' + (ch.hidden ? ' hidden' : ''), 'data-channel': ch.label, 'data-index': i, role: 'button'
      }));
      entry.appendChild(el('rect', { x: at.x - 4, y: at.y - 11, width: at.text.length * 8 + 44, height: 22, fill: 'transparent' }));
      entry.appendChild(el('line', { x1: at.x, x2: at.x + 28, y1: at.y, y2: at.y, stroke: colour(i), 'stroke-width': 3 }));
      entry.appendChild(el('text', { x: at.x + 36, y: at.y, 'dominant-baseline': 'middle' }, at.text));
    });
  }

  // Only the samples in view and one either side are drawn; the clip trims the ends.
  function visiblePoints(points, axes) {
    var first = 0, last = points.length - 1;
    while (first < last && points[first + 1][0] < axes.x.min) first++;
    while (last > first && points[last - 1][0] > axes.x.max) last--;
    return points.slice(first, last + 1);
  }

  function drawTraces(svg, view, axes, map) {
    var f = axes.frame;
    var clip = svg.appendChild(el('clipPath', { id: 'plot-clip' }));
    clip.appendChild(el('rect', { x: f.left, y: f.top, width: f.width, height: f.height }));
    view.channels.forEach(function (ch, i) {
      if (ch.hidden) return;
      var points = visiblePoints(ch.points, axes).map(function (p) { return map.x(p[0]).toFixed(2) + ',' + map.y(p[1]).toFixed(2); });
      svg.appendChild(el('polyline', {
        'class': 'trace', 'data-channel': ch.label, points: points.join(' '), fill: 'none',
        stroke: colour(i), 'stroke-width': 1.4, 'clip-path': 'url(#plot-clip)'
      }));
    });
  }

  function drawCursors(svg, cursors, axes, map) {
    var f = axes.frame, group = svg.appendChild(el('g', { 'class': 'cursors' }));
    (cursors.time || []).forEach(function (t, i) {
      var px = map.x(t);
      if (px < f.left || px > f.left + f.width) return;
      var g = group.appendChild(el('g', { 'class': 'cursor time-cursor', 'data-index': i }));
      g.appendChild(el('line', { x1: px, x2: px, y1: f.top, y2: f.top + f.height, stroke: CURSOR_COLOURS.time }));
      g.appendChild(el('text', { x: px + 4, y: f.top + 14, fill: CURSOR_COLOURS.time }, 'T' + (i + 1)));
    });
    (cursors.volts || []).forEach(function (v, i) {
      var py = map.y(v);
      if (py < f.top || py > f.top + f.height) return;
      var g = group.appendChild(el('g', { 'class': 'cursor volt-cursor', 'data-index': i }));
      g.appendChild(el('line', { x1: f.left, x2: f.left + f.width, y1: py, y2: py, stroke: CURSOR_COLOURS.volts }));
      g.appendChild(el('text', { x: f.left + f.width - 4, y: py - 5, 'text-anchor': 'end', fill: CURSOR_COLOURS.volts }, 'V' + (i + 1)));
    });
  }

  function create(container) {
    var svg = el('svg', { id: 'plot', xmlns: SVG, viewBox: '0 0 ' + WIDTH + ' ' + HEIGHT, width: WIDTH, height: HEIGHT, role: 'img', tabindex: 0 });
    container.replaceChildren(svg);
    return svg;
  }

  // view: {channels (each with points, label, hidden), xUnit, yUnit}; range: {x, y} in view;
  // cursors: {time: [t1, t2] or null, volts: [v1, v2] or null}. Returns the axes drawn.
  function render(svg, view, range, cursors) {
    var layout = layoutLegend(view);
    var top = 36 + layout.rows * LEGEND_ROW;
    var frame = { left: 90, top: top, width: 880, height: HEIGHT - 80 - top };
    var axes = makeAxes(view, range, frame);
    var map = mapper(axes);
    svg.replaceChildren(el('style', {}, STYLE));
    svg.appendChild(el('rect', { 'class': 'background', x: 0, y: 0, width: WIDTH, height: HEIGHT }));
    svg.appendChild(frameRect(axes));
    drawGridAndTicks(svg, axes, map);
    drawTraces(svg, view, axes, map);
    var f = axes.frame; // the frame's edge over the grid lines that fall on it
    svg.appendChild(el('rect', { 'class': 'frame-edge', x: f.left, y: f.top, width: f.width, height: f.height }));
    drawCursors(svg, cursors || {}, axes, map);
    drawLegend(svg, view, layout);
    return axes;
  }

  ns.plot = {
    create: create, render: render, fullRange: fullRange, mapper: mapper,
    colour: colour, cursorColours: CURSOR_COLOURS, el: el, size: { width: WIDTH, height: HEIGHT }
  };
})(window.BCV = window.BCV || {});
