/* Orbo upload page: there is no Flash here. The uploader works with plain HTML5, and this
   stand-in only answers the one question older page code might ask. */
window.swfobject = window.swfobject || {
  hasFlashPlayerVersion: function () { return false; },
  getFlashPlayerVersion: function () { return { major: 0, minor: 0, release: 0 }; }
};
