// Turning files and addresses into captures. Chart scripts ("gbookFtemp.js") and CSV captures
// ("op_scope.csv", "op_scope1.csv", "op_scope2.csv") may come together in any mix; each file
// gives a capture or a problem, in the order given. Every file is read as text, never run.
(function (ns) {
  'use strict';

  // By name first; a file without a telling name is a chart script if it starts as one.
  function isChartScript(name, text) {
    if (/\.js$/i.test(name)) return true;
    if (/\.csv$/i.test(name)) return false;
    return ns.chartScript.looksLikeOne(text);
  }

  function captureOf(name, text) {
    return isChartScript(name, text) ? ns.scriptCapture.fromText(text, name) : ns.csvCapture.parse(text, name);
  }

  function readFile(file) {
    return file.text().then(function (text) { return captureOf(file.name, text); }, function () {
      return { error: 'Could not read "' + file.name + '".' };
    });
  }

  function baseName(path) {
    return String(path).replace(/[?#].*$/, '').split(/[\\/]/).pop() || String(path);
  }

  // A page opened from the file system may read other files only where the browser allows it
  // (Chromium with --allow-file-access-from-files); the message says what to do instead.
  function notRead(src, why) {
    var fromFiles = window.location.protocol === 'file:';
    return {
      error: 'Could not read "' + src + '": ' + (fromFiles
        ? 'it is not there, or this browser does not let a page opened from the file system read files by their ' +
          'address (Chromium does with --allow-file-access-from-files). Open it with the button or drop it on the page.'
        : why + '.')
    };
  }

  function readUrl(src) {
    var checked = ns.addresses.check(src, window.location.href);
    if (checked.error) return Promise.resolve(checked);
    return fetch(checked.url, { credentials: 'omit', redirect: 'error', cache: 'no-store' }).then(function (response) {
      if (!response.ok) return notRead(src, 'the server answered ' + response.status);
      return response.text().then(function (text) { return captureOf(baseName(src), text); });
    }, function () {
      return notRead(src, 'the request failed');
    });
  }

  function inOrder(items, read) {
    return Promise.all(items.map(read)).then(function (results) {
      return {
        captures: results.filter(function (r) { return !r.error; }),
        problems: results.filter(function (r) { return r.error; }).map(function (r) { return r.error; })
      };
    });
  }

  ns.loading = {
    files: function (files) { return inOrder(files, readFile); },
    urls: function (srcs) { return inOrder(srcs, readUrl); }
  };
})(window.BCV = window.BCV || {});
