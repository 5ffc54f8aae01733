// Files dropped anywhere on the page are opened like files picked with the button. While files
// are dragged over it the page says so (the body gets the class "dragging").
(function (ns) {
  'use strict';

  function carriesFiles(event) {
    return !!event.dataTransfer && Array.prototype.indexOf.call(event.dataTransfer.types || [], 'Files') >= 0;
  }

  function attach(onFiles) {
    var depth = 0; // dragenter and dragleave come in pairs for each element crossed
    var body = document.body;
    document.addEventListener('dragenter', function (e) {
      if (!carriesFiles(e)) return;
      depth++;
      body.classList.add('dragging');
    });
    document.addEventListener('dragleave', function (e) {
      if (!carriesFiles(e)) return;
      depth = Math.max(0, depth - 1);
      if (depth === 0) body.classList.remove('dragging');
    });
    document.addEventListener('dragover', function (e) {
      if (!carriesFiles(e)) return;
      e.preventDefault();
      e.dataTransfer.dropEffect = 'copy';
    });
    document.addEventListener('drop', function (e) {
      if (!carriesFiles(e)) return;
      e.preventDefault();
      depth = 0;
      body.classList.remove('dragging');
      var files = Array.prototype.slice.call(e.dataTransfer.files);
      if (files.length) onFiles(files);
    });
  }

  ns.fileDrop = { attach: attach };
})(window.BCV = window.BCV || {});
