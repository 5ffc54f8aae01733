// The page: opening captures (file picker, dropped files, ?src=), status, warnings and details,
// the scope screen, and the state published on window.benchcomViewer for whoever drives the page
// (people read the screen, tests read this).
(function (ns) {
  'use strict';

  var state = window.benchcomViewer = { status: 'empty', loads: 0, channels: [], warnings: [], error: null };
  var byId = function (id) { return document.getElementById(id); };
  var statusLine = byId('status');
  var warningList = byId('warnings');
  var details = byId('details');
  var overlay = byId('overlay');
  var captures = []; // what is on the screen, in the order loaded
  var current = 0;   // number of the newest load: results of older ones are dropped

  var screen = ns.screen.create({
    chart: byId('chart'), readout: byId('cursor-readout'), measurements: byId('measurements'),
    reset: byId('reset-view'), timeCursors: byId('time-cursors'), voltCursors: byId('volt-cursors'),
    png: byId('export-png'), svg: byId('export-svg'), csv: byId('export-csv')
  }, function (info) {
    if (info.error) return setStatus(info.error, true);
    Object.assign(state, info);
  });

  function setStatus(text, isError) {
    statusLine.textContent = text;
    statusLine.className = isError ? 'error' : '';
  }

  function listWarnings(warnings) {
    warningList.replaceChildren.apply(warningList, warnings.map(function (w) {
      var item = document.createElement('li');
      item.textContent = w;
      return item;
    }));
  }

  function begin(description) {
    current += 1;
    Object.assign(state, { status: 'loading', loads: current, error: null });
    setStatus('Loading ' + description + ' ...');
    return current;
  }

  function row(cells, tag) {
    var tr = document.createElement('tr');
    cells.forEach(function (c) { var td = document.createElement(tag || 'td'); td.textContent = c; tr.appendChild(td); });
    return tr;
  }

  function shown(value, unit) {
    return isFinite(value) ? String(value) + unit : '\u2014';
  }

  function showDetails(view) {
    var rows = [row(['file', 'kind', 'channel', 'scale', 'position', 'sampling period', 'samples'], 'th')];
    view.channels.forEach(function (ch) {
      rows.push(row([ch.file, ch.kind, ch.label, shown(ch.scale, ' ' + ch.units + '/div'), shown(ch.position, ' ' + ch.units),
        shown(ch.timeInterval, ' s'), String(ch.points.length)]));
    });
    details.replaceChildren.apply(details, rows);
  }

  function unique(list) {
    return list.filter(function (x, i) { return list.indexOf(x) === i; });
  }

  function showCaptures(problems) {
    var view = ns.waveform.build(captures);
    var warnings = problems.concat.apply(problems, captures.map(function (c) { return c.warnings; })).concat(view.warnings);
    var plotted = view.channels.some(function (ch) { return ch.points.length > 0; });
    Object.assign(state, {
      status: 'ready',
      source: { kind: unique(captures.map(function (c) { return c.kind; })).join(' and '), names: captures.map(function (c) { return c.name; }) },
      timeInterval: captures[0].timeInterval,
      settings: captures[0].settings,
      channels: view.channels, xUnit: view.xUnit, yUnit: view.yUnit, axes: null, warnings: warnings
    });
    screen.show(plotted ? view : null);
    listWarnings(warnings);
    showDetails(view);
    setStatus(state.source.names.join(', ') + ': ' + view.channels.map(function (ch) {
      return ch.label + ' ' + ch.points.length + ' points';
    }).join(', ') + (plotted ? '' : ' (nothing to plot)'));
  }

  // A load replaces what is shown, or with "overlay" ticked adds to it. When nothing in it could
  // be read it says why, and a replacing load leaves the screen empty.
  function finish(id, add) {
    return function (result) {
      if (id !== current) return;
      var next = (add ? captures : []).concat(result.captures);
      if (result.captures.length === 0) {
        if (!add) { captures = []; screen.show(null); details.replaceChildren(); listWarnings([]); }
        Object.assign(state, { status: 'error', error: result.problems.join(' ') });
        return setStatus(state.error, true);
      }
      captures = next;
      showCaptures(result.problems);
    };
  }

  function openFiles(files) {
    var add = overlay.checked && captures.length > 0;
    var id = begin(files.map(function (f) { return f.name; }).join(', '));
    ns.loading.files(files).then(finish(id, add));
  }

  function openUrls(srcs) {
    var id = begin(srcs.join(', '));
    ns.loading.urls(srcs).then(finish(id, false));
  }

  byId('open-files').addEventListener('change', function (event) {
    var files = Array.prototype.slice.call(event.target.files);
    if (files.length) openFiles(files);
    event.target.value = '';
  });
  ns.fileDrop.attach(openFiles);

  var srcs = new URLSearchParams(window.location.search).getAll('src');
  if (srcs.length) openUrls(srcs);
})(window.BCV = window.BCV || {});
