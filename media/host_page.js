// host_page.js — the page's side of the browser host (linked with --pre-js):
// the files the program writes kept in IndexedDB across reloads, the keys the
// game needs kept from the browser, and what the page says when it ends.
// host_browser.js calls in through Module.host.
Module.host = (function() {
  var STORE = '/persist';   // IndexedDB copy of the files the program wrote
  var written = {};         // every path the program changed in this run
  var syncing = false, again = false;

  function mirrorPath(path) { return STORE + path; }

  function copyFile(from, to) {
    var slash = to.lastIndexOf('/');
    if (slash > 0) FS.mkdirTree(to.substring(0, slash));
    FS.writeFile(to, FS.readFile(from));
  }

  function exists(path) {
    try { return FS.isFile(FS.stat(path).mode); } catch (e) { return false; }
  }

  // The stored files come back under their own names before the program
  // starts; the data shipped with the page is never stored.
  function restore(dir) {
    FS.readdir(dir).forEach(function(name) {
      if (name === '.' || name === '..') return;
      var path = dir + '/' + name;
      if (FS.isDir(FS.stat(path).mode)) restore(path);
      else copyFile(path, path.substring(STORE.length));
    });
  }

  // The copy in STORE changes only between two syncs, never during one:
  // IndexedDB is written while the program goes on and may change its files
  // again (a save writes a new file, then renames it over the old one).
  // Every file changed so far is copied again: the log is written line by
  // line and goes along with each save.
  function sync() {
    if (syncing) { again = true; return; }
    syncing = true;
    Object.keys(written).forEach(function(p) {
      try {
        if (exists(p)) copyFile(p, mirrorPath(p));
        else if (exists(mirrorPath(p))) FS.unlink(mirrorPath(p));
      } catch (e) {
        err('cannot keep ' + p + ': ' + e);
      }
    });
    FS.syncfs(false, function(e) {
      if (e) err('saving to browser storage failed: ' + e);
      syncing = false;
      if (again) { again = false; sync(); }
    });
  }

  function keep(path) {
    if (path.charAt(0) !== '/') path = FS.cwd().replace(/\/$/, '') + '/' + path;
    written[path] = true;
    sync();
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(function() {
    FS.mkdir(STORE);
    FS.mount(IDBFS, {}, STORE);
    addRunDependency('host-storage');
    FS.syncfs(true, function(e) {
      if (e) err('reading browser storage failed: ' + e);
      try { restore(STORE); } catch (x) { err('restoring files failed: ' + x); }
      removeRunDependency('host-storage');
    });
  });

  // Keys the game uses that the browser would take for itself (focus, full
  // screen, developer tools, scrolling). Space stays: it types a space.
  var KEPT = {Tab: 1, F11: 1, F12: 1, Escape: 1, ArrowUp: 1, ArrowDown: 1, ArrowLeft: 1, ArrowRight: 1};
  window.addEventListener('keydown', function(e) {
    if (KEPT[e.key] || KEPT[e.code]) e.preventDefault();
  }, true);
  // The program ends by exit(), which unwinds through the browser as an
  // exception: the end of the program, not an error.
  window.addEventListener('error', function(e) {
    if (e.error instanceof ExitStatus) e.preventDefault();
  });
  window.addEventListener('contextmenu', function(e) { e.preventDefault(); }, true);
  window.addEventListener('pagehide', function() { if (Object.keys(written).length) sync(); });

  return {
    frames: 0,        // pictures the browser has shown; tests count these
    sleeps: 0,        // times the program slept, shown a picture or not
    hasEnded: false,  // the closing sequence ran
    keep: keep,
    // The state of whichever audio context the program made: 'suspended'
    // until the first key or click, 'running' after it.
    audioState: function() {
      try {
        if (typeof AL !== 'undefined' && AL.currentCtx) return AL.currentCtx.audioCtx.state;
      } catch (e) {}
      if (Module.SDL2 && Module.SDL2.audioContext) return Module.SDL2.audioContext.state;
      return 'none';
    },
    pageSize: function() {
      return [window.innerWidth || 0, window.innerHeight || 0];
    },
    ended: function() {
      Module.host.hasEnded = true;
      sync();
      if (Module.onGameEnded) Module.onGameEnded();
    },
  };
})();
