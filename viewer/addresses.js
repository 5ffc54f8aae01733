// Which addresses named in ?src= the viewer reads: a path relative to this page, or a file: address
// on this machine. Anything else (http:, https:, data:, javascript:, another host) is refused before
// any request is made, so that an address someone hands out cannot make the page fetch from
// elsewhere.
(function (ns) {
  'use strict';

  var SCHEME = /^[a-zA-Z][a-zA-Z0-9+.-]*:/;

  function shown(src) {
    return JSON.stringify(src.length > 80 ? src.slice(0, 80) + '\u2026' : src);
  }

  function refused(src, why) {
    return { error: 'The address ' + shown(src) + ' is refused: ' + why + ' The viewer reads captures named by a path ' +
      'relative to this page or by a file: address.' };
  }

  // -> { url } to read, or { error }. `page` is the page's own URL.
  function check(src, page) {
    // As the URL parser itself does: tabs and line breaks dropped, spaces and controls trimmed.
    var text = String(src).replace(/[\t\n\r]/g, '').replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, '');
    var base = new URL(page);
    var url;
    try { url = new URL(text, base); } catch (e) { return refused(src, 'it is not an address.'); }
    var absolute = SCHEME.test(text);
    if (url.protocol === 'file:') {
      if (base.protocol !== 'file:') return refused(src, 'a page not opened from the file system cannot read files by their address.');
      if (url.host !== '' && url.host !== 'localhost') return refused(src, 'it names another machine.');
      return { url: url.href };
    }
    if (absolute) return refused(src, 'the viewer does not read ' + url.protocol + ' addresses.');
    if (url.protocol !== base.protocol || url.host !== base.host) return refused(src, 'it leads to another site.');
    return { url: url.href };
  }

  ns.addresses = { check: check };
})(window.BCV = window.BCV || {});
