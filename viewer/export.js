// Taking the data elsewhere: the plot as SVG (it carries its own style) or PNG, and the samples
// in view as CSV in seconds and volts, so that a spreadsheet needs nothing of the instrument's
// counts per division.
(function (ns) {
  'use strict';

  var PNG_SCALE = 2; // pixels per plot unit: a sharp picture for reports

  function csvField(text) {
    return /[",\r\n]/.test(text) ? '"' + text.replace(/"/g, '""') + '"' : text;
  }

  // One time column and one column per trace, named with its source file. Traces sampled at
  // other instants leave their cells empty on the rows they lack. Lines end in CR LF.
  function samplesCsv(channels, range, xUnit, yUnit) {
    var rows = new Map();
    channels.forEach(function (ch, c) {
      ns.measure.inWindow(ch.points, range[0], range[1]).forEach(function (p) {
        if (!rows.has(p[0])) rows.set(p[0], new Array(channels.length).fill(''));
        rows.get(p[0])[c] = String(p[1]);
      });
    });
    var header = [xUnit === 's' ? 'Time (s)' : 'Sample number'].concat(channels.map(function (ch) {
      return ch.name + ' ' + ch.file + ' (' + yUnit + ')';
    }));
    var times = Array.from(rows.keys()).sort(function (a, b) { return a - b; });
    var lines = [header.map(csvField).join(',')].concat(times.map(function (t) {
      return [String(t)].concat(rows.get(t)).join(',');
    }));
    return lines.join('\r\n') + '\r\n';
  }

  // The plot as a standalone SVG document, without what only the page needs.
  function svgText(svg) {
    var copy = svg.cloneNode(true);
    copy.removeAttribute('tabindex');
    copy.querySelectorAll('.zoom-box').forEach(function (n) { n.remove(); });
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(copy) + '\n';
  }

  // Draws the SVG on a canvas: a picture made from a data URL leaves the canvas readable.
  function pngBlob(text, size) {
    return new Promise(function (resolve, reject) {
      var image = new Image();
      image.onload = function () {
        var canvas = document.createElement('canvas');
        canvas.width = size.width * PNG_SCALE;
        canvas.height = size.height * PNG_SCALE;
        canvas.getContext('2d').drawImage(image, 0, 0, canvas.width, canvas.height);
        canvas.toBlob(function (blob) { return blob ? resolve(blob) : reject(new Error('the picture could not be made')); }, 'image/png');
      };
      image.onerror = function () { reject(new Error('the plot could not be drawn as a picture')); };
      image.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(text);
    });
  }

  function download(name, blob) {
    var url = URL.createObjectURL(blob);
    var link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 60000);
  }

  ns.exporter = { samplesCsv: samplesCsv, svgText: svgText, pngBlob: pngBlob, download: download };
})(window.BCV = window.BCV || {});
