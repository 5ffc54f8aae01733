// Mouse and keyboard on the plot, as on a scope's screen:
//   wheel over the plot or the time axis zooms time about the pointer; over the voltage axis (or
//   with Shift) zooms voltage; drag pans; Shift+drag draws a box to zoom into (a flat box zooms
//   time only); double-click resets; a cursor line is dragged by grabbing it; a legend entry
//   shows or hides its trace. Keys: arrows pan, + and - zoom time, Shift+Up/Down zoom voltage,
//   0 or Home resets.
// `ctl` is the page's side: axes() (those last drawn), range(), setRange(range), reset(),
// cursors(), moveCursor(kind, index, value), toggle(index).
(function (ns) {
  'use strict';

  var GRAB = 6;          // how near (in plot units) a cursor line must be to be grabbed
  var KEY_ZOOM = 2;      // one key press doubles or halves the span
  var KEY_PAN = 0.1;     // one arrow press moves a tenth of the span
  var MIN_BOX = 5;       // a box thinner than this is a click, or zooms the other axis only

  function svgPoint(svg, event) {
    var p = new DOMPoint(event.clientX, event.clientY).matrixTransform(svg.getScreenCTM().inverse());
    return { x: p.x, y: p.y };
  }

  function region(frame, p) {
    var inX = p.x >= frame.left && p.x <= frame.left + frame.width;
    var inY = p.y >= frame.top && p.y <= frame.top + frame.height;
    if (inX && inY) return 'plot';
    if (inY && p.x < frame.left) return 'y-axis';
    if (inX && p.y > frame.top + frame.height) return 'x-axis';
    return null;
  }

  function zoomed(range, factor, anchor) {
    return [anchor + (range[0] - anchor) * factor, anchor + (range[1] - anchor) * factor];
  }

  function centre(range) { return (range[0] + range[1]) / 2; }
  function shifted(range, by) { return [range[0] + by, range[1] + by]; }

  function nearestCursor(ctl, map, p) {
    var cursors = ctl.cursors(), best = null;
    [['time', 'x', 'x'], ['volts', 'y', 'y']].forEach(function (k) {
      (cursors[k[0]] || []).forEach(function (value, index) {
        var d = Math.abs(map[k[1]](value) - p[k[2]]);
        if (d <= GRAB && (!best || d < best.d)) best = { kind: k[0], index: index, d: d };
      });
    });
    return best;
  }

  function onWheel(svg, ctl, event) {
    var axes = ctl.axes(), p = svgPoint(svg, event), where = axes && region(axes.frame, p);
    if (!where) return;
    event.preventDefault();
    var map = ns.plot.mapper(axes), range = ctl.range();
    var factor = Math.exp(Math.max(-300, Math.min(300, event.deltaY)) * 0.002);
    if (where === 'y-axis' || (where === 'plot' && event.shiftKey)) {
      ctl.setRange({ x: range.x, y: zoomed(range.y, factor, map.v(p.y)) });
    } else {
      ctl.setRange({ x: zoomed(range.x, factor, map.t(p.x)), y: range.y });
    }
  }

  function boxRect(a, b) {
    return { x: Math.min(a.x, b.x), y: Math.min(a.y, b.y), width: Math.abs(a.x - b.x), height: Math.abs(a.y - b.y) };
  }

  // What a drag does, decided when it starts.
  function startDrag(svg, ctl, event) {
    var axes = ctl.axes(), p = svgPoint(svg, event);
    if (!axes || region(axes.frame, p) !== 'plot' || event.button !== 0) return null;
    var map = ns.plot.mapper(axes), grabbed = nearestCursor(ctl, map, p);
    var drag = { start: p, map: map, range: ctl.range(), frame: axes.frame };
    if (grabbed) drag.cursor = grabbed;
    else if (event.shiftKey) {
      drag.box = ns.plot.el('rect', { 'class': 'zoom-box', x: p.x, y: p.y, width: 0, height: 0 });
      svg.appendChild(drag.box);
    }
    return drag;
  }

  function moveDrag(svg, ctl, drag, event) {
    var p = svgPoint(svg, event), f = drag.frame;
    p.x = Math.max(f.left, Math.min(f.left + f.width, p.x));
    p.y = Math.max(f.top, Math.min(f.top + f.height, p.y));
    if (drag.cursor) return ctl.moveCursor(drag.cursor.kind, drag.cursor.index, drag.cursor.kind === 'time' ? drag.map.t(p.x) : drag.map.v(p.y));
    if (drag.box) {
      var r = boxRect(drag.start, p);
      Object.keys(r).forEach(function (k) { drag.box.setAttribute(k, r[k]); });
      drag.end = p;
      return;
    }
    ctl.setRange({
      x: shifted(drag.range.x, drag.map.t(drag.start.x) - drag.map.t(p.x)),
      y: shifted(drag.range.y, drag.map.v(drag.start.y) - drag.map.v(p.y))
    });
  }

  function endDrag(ctl, drag) {
    if (!drag.box) return;
    drag.box.remove();
    if (!drag.end) return;
    var r = boxRect(drag.start, drag.end), m = drag.map;
    var x = r.width >= MIN_BOX ? [m.t(r.x), m.t(r.x + r.width)] : drag.range.x;
    var y = r.height >= MIN_BOX ? [m.v(r.y + r.height), m.v(r.y)] : drag.range.y;
    if (r.width >= MIN_BOX || r.height >= MIN_BOX) ctl.setRange({ x: x, y: y });
  }

  function onKey(ctl, event) {
    var r = ctl.range(), x = r.x, y = r.y, sx = x[1] - x[0], sy = y[1] - y[0];
    var key = event.key, next = null;
    if (key === 'ArrowLeft') next = { x: shifted(x, -sx * KEY_PAN), y: y };
    else if (key === 'ArrowRight') next = { x: shifted(x, sx * KEY_PAN), y: y };
    else if (key === 'ArrowUp') next = event.shiftKey ? { x: x, y: zoomed(y, 1 / KEY_ZOOM, centre(y)) } : { x: x, y: shifted(y, sy * KEY_PAN) };
    else if (key === 'ArrowDown') next = event.shiftKey ? { x: x, y: zoomed(y, KEY_ZOOM, centre(y)) } : { x: x, y: shifted(y, -sy * KEY_PAN) };
    else if (key === '+' || key === '=') next = { x: zoomed(x, 1 / KEY_ZOOM, centre(x)), y: y };
    else if (key === '-' || key === '_') next = { x: zoomed(x, KEY_ZOOM, centre(x)), y: y };
    else if (key === '0' || key === 'Home') { event.preventDefault(); return ctl.reset(); }
    if (!next) return;
    event.preventDefault();
    ctl.setRange(next);
  }

  function attach(svg, ctl) {
    var drag = null;
    svg.addEventListener('wheel', function (e) { onWheel(svg, ctl, e); }, { passive: false });
    svg.addEventListener('pointerdown', function (e) {
      drag = startDrag(svg, ctl, e);
      if (!drag) return;
      e.preventDefault();
      svg.focus();
      svg.setPointerCapture(e.pointerId);
    });
    svg.addEventListener('pointermove', function (e) { if (drag) moveDrag(svg, ctl, drag, e); });
    var finish = function () { if (drag) endDrag(ctl, drag); drag = null; };
    svg.addEventListener('pointerup', finish);
    svg.addEventListener('pointercancel', finish);
    svg.addEventListener('dblclick', function (e) {
      var axes = ctl.axes();
      if (axes && region(axes.frame, svgPoint(svg, e)) === 'plot') ctl.reset();
    });
    svg.addEventListener('click', function (e) {
      var entry = e.target.closest && e.target.closest('.legend-entry');
      if (entry) ctl.toggle(Number(entry.getAttribute('data-index')));
    });
    svg.addEventListener('keydown', function (e) { onKey(ctl, e); });
  }

  ns.interaction = { attach: attach };
})(window.BCV = window.BCV || {});
