// host_browser.js — the JavaScript half of host_browser.cpp, linked with
// --js-library. The page's own side (storage at start, keys, messages) is in
// host_page.js; the two meet in Module.host.
mergeInto(LibraryManager.library, {
  // Sleeping gives the browser the thread back. A new picture is shown at the
  // browser's next frame, so we wait for that frame: the program is then paced
  // by the page's own refresh. Otherwise a timer does (browsers stretch short
  // ones to a few milliseconds).
  // SDL's audio calls the last two from its own JavaScript.
  host_sleep__deps: ['$Asyncify', '$autoResumeAudioContext', '$dynCall'],
  host_sleep: function(ms, waitForFrame) {
    Module.host.sleeps++;
    return Asyncify.handleSleep(function(wakeUp) {
      if (waitForFrame) {
        requestAnimationFrame(function() {
          Module.host.frames++;
          wakeUp();
        });
      } else {
        setTimeout(wakeUp, ms);
      }
    });
  },

  host_file_changed: function(path) {
    Module.host.keep(UTF8ToString(path));
  },

  // Offered under its own name, as the desktop writes it; the page keeps no
  // copy.
  host_picture_saved: function(path) {
    var file = UTF8ToString(path);
    try {
      var bytes = FS.readFile(file);
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([bytes], {type: 'image/png'}));
      link.download = file.substring(file.lastIndexOf('/') + 1);
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function() { URL.revokeObjectURL(link.href); }, 10000);
      FS.unlink(file);
    } catch (e) {
      err('screenshot not offered: ' + e);
    }
  },

  host_page_size: function(w, h) {
    var size = Module.host.pageSize();
    HEAP32[w >> 2] = size[0];
    HEAP32[h >> 2] = size[1];
  },

  host_ended: function() {
    Module.host.ended();
  },
});
