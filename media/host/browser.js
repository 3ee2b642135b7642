// browser.js — the JavaScript half of browser.cpp, linked with
// --js-library. The page's own side (storage at start, keys, messages) is in
// page.js; the two meet in Module.host.
mergeInto(LibraryManager.library, {
  // Sleeping gives the browser the thread back. A sleep shorter than a frame,
  // or one after a new picture (shown at the browser's next frame), lasts
  // until the browser's next frame; the rest of a longer one is timed.
  // SDL's audio calls the last two from its own JavaScript.
  host_sleep__deps: ['$Asyncify', '$autoResumeAudioContext', '$dynCall'],
  host_sleep: function(ms, newPicture) {
    return Asyncify.handleSleep(function(wakeUp) {
      Module.host.sleep(ms, newPicture, wakeUp);
    });
  },

  // Lets the browser run what is waiting (input, its own work) and comes
  // straight back: no frame, no timer.
  host_yield__deps: ['$Asyncify'],
  host_yield: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      Module.host.yieldThread(wakeUp);
    });
  },

  host_sound_allowed: function() {
    return Module.host.soundAllowed ? 1 : 0;
  },

  // A frame paced by the browser's frames: see Module.host.waitFrame.
  host_wait_frame__deps: ['$Asyncify'],
  host_wait_frame: function(periodMs, newPicture) {
    return Asyncify.handleSleep(function(wakeUp) {
      Module.host.waitFrame(periodMs, newPicture, wakeUp);
    });
  },

  // Returns once this tab alone holds the shared file, fetched from storage.
  host_lock_shared__deps: ['$Asyncify'],
  host_lock_shared: function(path) {
    var file = UTF8ToString(path);
    return Asyncify.handleSleep(function(wakeUp) {
      Module.host.lockShared(file, function() { wakeUp(1); });
    });
  },

  host_unlock_shared: function(path, changed) {
    Module.host.unlockShared(UTF8ToString(path), changed !== 0);
  },

  host_shared_changes: function(path) {
    return Module.host.sharedChanges(UTF8ToString(path));
  },

  host_file_changed: function(path) {
    Module.host.keep(UTF8ToString(path));
  },

  // Offered under its own name, as the desktop writes it; the page keeps no
  // copy, in memory or in storage.
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
      Module.host.keep(file);
    } catch (e) {
      err('screenshot not offered: ' + e);
    }
  },

  // host_replays.js removes the copy it made of a file dropped on the page.
  host_dropped_file_done: function(path) {
    Module.host.droppedFileDone(UTF8ToString(path));
  },

  host_page_size: function(w, h) {
    var size = Module.host.pageSize();
    HEAP32[w >> 2] = size[0];
    HEAP32[h >> 2] = size[1];
  },

  host_ended: function() {
    Module.host.ended();
  },

  host_display_opened: function(w, h) {
    Module.host.displayOpened(w, h);
  },

  host_frame_size: function(w, h) {
    var size = Module.host.frameSize();
    HEAP32[w >> 2] = size[0];
    HEAP32[h >> 2] = size[1];
  },

  // The on-screen controls (page.js) by the program's TouchControl numbers.
  host_touch_shown: function() {
    return Module.host.touch.shown ? 1 : 0;
  },
  host_touch_held: function(control) {
    return Module.host.touch.held(control) ? 1 : 0;
  },
  host_touch_hits: function(control) {
    return Module.host.touch.takeHits(control);
  },
  host_offer_touch: function(control, offered) {
    Module.host.touch.offer(control, !!offered);
  },

  host_text_entry: function(on, text) {
    Module.host.textEntry(!!on, UTF8ToString(text));
  },
  host_next_typed: function() {
    return Module.host.nextTyped();
  },
});
