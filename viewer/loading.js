// Turning files and addresses into captures. Chart scripts ("gbookFtemp.js") and CSV captures
// ("op_scope.csv", "op_scope1.csv", "op_scope2.csv") may come together in any mix; each file
// gives a capture or a problem, in the order given.
(function (ns) {
  'use strict';

  // By name first; a file without a telling name is a chart script only if it makes gbF calls.
  function isChartScript(name, text) {
    if (/\.js$/i.test(name)) return true;
    if (/\.csv$/i.test(name)) return false;
    return text.indexOf('Memory Length,') < 0 && /^gbF\(/m.test(text);
  }

  function fromScriptResult(name, resolve) {
    return function (error, result) {
      resolve(error ? { error: error } : ns.scriptCapture.fromChartScript(result, name));
    };
  }

  function readFile(file) {
    return file.text().then(function (text) {
      if (!isChartScript(file.name, text)) return ns.csvCapture.parse(text, file.name);
      return new Promise(function (resolve) { ns.chartScript.loadText(text, fromScriptResult(file.name, resolve)); });
    }, function () {
      return { error: 'Could not read "' + file.name + '".' };
    });
  }

  function baseName(path) {
    return String(path).replace(/[?#].*$/, '').split(/[\\/]/).pop() || String(path);
  }

  function readUrl(src) {
    return new Promise(function (resolve) { ns.chartScript.loadUrl(src, fromScriptResult(baseName(src), resolve)); });
  }

  // One after another: a chart script runs in the page and sets its globals, so two must not
  // overlap.
  function inTurn(items, read) {
    var results = [];
    return items.reduce(function (done, item) {
      return done.then(function () { return read(item); }).then(function (r) { results.push(r); });
    }, Promise.resolve()).then(function () {
      return {
        captures: results.filter(function (r) { return !r.error; }),
        problems: results.filter(function (r) { return r.error; }).map(function (r) { return r.error; })
      };
    });
  }

  ns.loading = {
    files: function (files) { return inTurn(files, readFile); },
    urls: function (srcs) { return inTurn(srcs, readUrl); }
  };
})(window.BCV = window.BCV || {});
