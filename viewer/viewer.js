// The page: file pickers and ?src=, status and details, and the state published on
// window.benchcomViewer for whoever drives the page (people read the chart, tests read this).
(function (ns) {
  'use strict';

  var state = window.benchcomViewer = { status: 'empty', loads: 0, channels: [], warnings: [], error: null };
  var chart = document.getElementById('chart');
  var statusLine = document.getElementById('status');
  var warningList = document.getElementById('warnings');
  var details = document.getElementById('details');
  var current = 0; // number of the newest load: results of older ones are dropped

  function baseName(path) {
    return String(path).replace(/[?#].*$/, '').split(/[\\/]/).pop() || String(path);
  }

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
    Object.assign(state, { status: 'loading', loads: current, channels: [], warnings: [], error: null, source: null, axes: null });
    chart.replaceChildren();
    details.replaceChildren();
    listWarnings([]);
    setStatus('Loading ' + description + ' ...');
    return current;
  }

  function fail(id, message) {
    if (id !== current) return;
    Object.assign(state, { status: 'error', error: message });
    setStatus(message, true);
  }

  function row(cells) {
    var tr = document.createElement('tr');
    cells.forEach(function (c) { var td = document.createElement('td'); td.textContent = c; tr.appendChild(td); });
    return tr;
  }

  function shown(value, unit) {
    return isFinite(value) ? String(value) + unit : '\u2014';
  }

  function showDetails(captures, view) {
    var rows = [row(['file', 'kind', 'channel', 'scale', 'position', 'display offset', 'sampling period', 'samples'])];
    view.channels.forEach(function (ch) {
      var capture = captures.filter(function (c) { return c.name === ch.file; })[0];
      rows.push(row([ch.file, capture.kind, ch.label, shown(ch.scale, ' ' + ch.units + '/div'), shown(ch.position, ' ' + ch.units),
        shown(ch.displayOffset, ''), shown(ch.timeInterval, ' s'), String(ch.points.length)]));
    });
    details.replaceChildren.apply(details, rows);
  }

  function show(id, captures, problems) {
    if (id !== current) return;
    var view = ns.waveform.build(captures);
    var warnings = problems.concat.apply(problems, captures.map(function (c) { return c.warnings; })).concat(view.warnings);
    var plotted = view.channels.some(function (ch) { return ch.points.length > 0; });
    var axes = plotted ? ns.plot.render(chart, view) : null;
    Object.assign(state, {
      status: 'ready',
      source: { kind: captures[0].kind, names: captures.map(function (c) { return c.name; }) },
      timeInterval: captures[0].timeInterval,
      settings: captures[0].settings,
      channels: view.channels, xUnit: view.xUnit, yUnit: view.yUnit, axes: axes, warnings: warnings
    });
    listWarnings(warnings);
    showDetails(captures, view);
    setStatus(captures[0].kind + ' ' + state.source.names.join(', ') + ': ' + view.channels.map(function (ch) {
      return ch.label + ' ' + ch.points.length + ' points';
    }).join(', ') + (plotted ? '' : ' (nothing to plot)'));
  }

  function onChartScript(id, name) {
    return function (error, result) {
      if (error) return fail(id, error);
      show(id, [ns.scriptCapture.fromChartScript(result, name)], []);
    };
  }

  function openScriptUrl(src) {
    var id = begin('chart script ' + src);
    ns.chartScript.loadUrl(src, onChartScript(id, baseName(src)));
  }

  function openScriptFile(file) {
    var id = begin('chart script ' + file.name);
    file.text().then(function (text) {
      if (id === current) ns.chartScript.loadText(text, onChartScript(id, file.name));
    }, function () { fail(id, 'Could not read "' + file.name + '"'); });
  }

  // Several CSV files may be opened together, e.g. op_scope1.csv and op_scope2.csv side by side.
  function openCsvFiles(files) {
    var id = begin('CSV ' + files.map(function (f) { return f.name; }).join(', '));
    Promise.all(files.map(function (f) { return f.text(); })).then(function (texts) {
      var parsed = texts.map(function (t, i) { return ns.csvCapture.parse(t, files[i].name); });
      var problems = parsed.filter(function (p) { return p.error; }).map(function (p) { return p.error; });
      var captures = parsed.filter(function (p) { return !p.error; });
      if (captures.length === 0) return fail(id, problems.join(' '));
      show(id, captures, problems);
    }, function () { fail(id, 'Could not read the chosen file(s).'); });
  }

  document.getElementById('script-file').addEventListener('change', function (event) {
    var file = event.target.files[0];
    if (file) openScriptFile(file);
    event.target.value = '';
  });
  document.getElementById('csv-file').addEventListener('change', function (event) {
    var files = Array.prototype.slice.call(event.target.files);
    if (files.length) openCsvFiles(files);
    event.target.value = '';
  });

  var src = new URLSearchParams(window.location.search).get('src');
  if (src) openScriptUrl(src);
})(window.BCV = window.BCV || {});
