// page.js — the page's side of the browser host (linked with --pre-js):
// sleeps and frames paced by the browser's frames, the files the program
// writes kept in IndexedDB across reloads, the keys the game needs kept from
// the browser, and what the page says when it ends. browser.js calls in
// through Module.host.
Module.host = (function() {
  // The host's own record: the counts and times tests read, and its calls.
  var host = {
    frames: 0,        // pictures the browser has shown; tests count these
    logicFrames: 0,   // frames the program has paced, shown or not
    sleeps: 0,        // times the program slept, shown a picture or not
    shownAt: [],      // the browser's frame times of the last pictures shown
    hasEnded: false,  // the closing sequence ran
    soundAllowed: false,  // the page had a key, click or touch: sound may start
    storageRefused: '',  // why the browser's storage cannot be used; '' while it can
    // Called when the program hands the browser a new picture, in the same
    // task, while the canvas still holds it: tests read pictures here without
    // asking the page to keep every one (which costs a copy a frame).
    onPicture: null,
  };

  // The program hands the browser the thread back: a picture to show, and
  // what was held for the frame it ended (screen.js) let go.
  function programSleeps(newPicture) {
    host.sleeps++;
    if (newPicture && host.onPicture) host.onPicture();
    if (host.onSleep) host.onSleep();
  }

  // --- Sleeps and frames, paced by the browser's frames ----------------------
  var FRAME_MS = 1000 / 60;  // a sleep up to this long lasts until the next frame
  var KEPT_TIMES = 600;      // shown frames whose times are kept
  // A browser frame at least this share of the game's frame is a display near
  // 60 Hz (or slower), whose every frame is taken; shorter ones are skipped.
  var NEAR_PERIOD = 0.9;
  var lastFrameAt = 0;       // the browser's last frame time seen
  var due = 0;               // when the program's next frame is due

  // Calls then(time, gap since the last browser frame) at the browser's next
  // frame; a picture drawn before it counts as shown then.
  function nextFrame(newPicture, then) {
    requestAnimationFrame(function(t) {
      var gap = lastFrameAt ? t - lastFrameAt : Infinity;
      lastFrameAt = t;
      if (newPicture) {
        host.frames++;
        host.shownAt.push(t);
        if (host.shownAt.length > KEPT_TIMES) host.shownAt.shift();
      }
      then(t, gap);
    });
  }

  // Short sleeps (the program's busy waits) last until the browser's next
  // frame instead of a timer the browser would stretch; longer ones, and the
  // rest of one past a new picture, are timed.
  host.sleep = function(ms, newPicture, wakeUp) {
    programSleeps(newPicture);
    if (!newPicture && ms > FRAME_MS) {
      setTimeout(wakeUp, ms);
      return;
    }
    var start = performance.now();
    nextFrame(newPicture, function() {
      var left = ms - (performance.now() - start);
      if (left > FRAME_MS) setTimeout(wakeUp, left);
      else wakeUp();
    });
  };

  // A message to ourselves comes back as soon as the browser has run the
  // tasks ahead of it, without the few milliseconds a timer may add.
  var yieldChannel = new MessageChannel(), yielded = null;
  yieldChannel.port1.onmessage = function() {
    var wakeUp = yielded;
    yielded = null;
    wakeUp();
  };
  host.yieldThread = function(wakeUp) {
    yielded = wakeUp;
    yieldChannel.port2.postMessage(0);
  };

  // The program's frame waits for the browser's next frame and nothing else.
  // On a display faster than the game's pace the frame nearest each due time
  // is taken and the others skipped, so the game keeps its 60 frames a second
  // at 120 or 144 Hz.
  host.waitFrame = function(periodMs, newPicture, wakeUp) {
    programSleeps(newPicture);
    nextFrame(newPicture, function tick(t, gap) {
      var every = gap >= periodMs * NEAR_PERIOD;
      if (!every && t < due - gap / 2) {
        nextFrame(false, tick);
        return;
      }
      due = every || t - due > periodMs ? t + periodMs : due + periodMs;
      host.logicFrames++;
      wakeUp();
    });
  };

  // --- Files kept in browser storage -----------------------------------------
  var STORE = '/persist';   // IndexedDB copy of the files the program wrote
  var written = {};         // every path the program changed in this run
  var syncing = false, again = false;
  var whenIdle = [];        // called once no sync is running or due

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
    if (host.storageRefused) return;
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
      syncDone();
    });
  }

  function syncDone() {
    syncing = false;
    if (again) { again = false; sync(); return; }
    var waiting = whenIdle;
    whenIdle = [];
    waiting.forEach(function(then) { then(); });
  }

  function afterSyncs(then) {
    if (syncing) whenIdle.push(then);
    else then();
  }

  function keep(path) {
    if (path.charAt(0) !== '/') path = FS.cwd().replace(/\/$/, '') + '/' + path;
    written[path] = true;
    sync();
  }

  // Storage the browser refuses (some private modes, strict privacy
  // settings): the game plays on, keeping nothing, and the page says so once.
  function storageRefused(e) {
    err('browser storage cannot be used: ' + e);
    if (host.storageRefused) return;
    host.storageRefused = String((e && e.name) || e);
    if (Module.onStorageRefused) Module.onStorageRefused(host.storageRefused);
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(function() {
    FS.mkdir(STORE);
    FS.mount(IDBFS, {}, STORE);
    addRunDependency('host-storage');
    FS.syncfs(true, function(e) {
      if (e) storageRefused(e);
      try { restore(STORE); } catch (x) { err('restoring files failed: ' + x); }
      removeRunDependency('host-storage');
    });
  });

  // --- Files several tabs share ----------------------------------------------
  // Each tab holds its own copy of the files in memory. A shared file (the
  // scores) is read, merged and replaced under the browser's lock on its
  // name: the stored copy is fetched first, and stored again before the lock
  // is let go; then the other tabs are told, and reload it when they can.
  var channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel('wenhod-files') : null;
  var changes = {};   // path -> times other tabs said they replaced it
  var releases = {};  // path -> lets the browser's lock on it go
  if (channel) {
    channel.onmessage = function(e) {
      var path = e.data && e.data.changed;
      if (path) changes[path] = (changes[path] || 0) + 1;
    };
  }

  // The stored copy over the tab's own, when there is one. Runs between two
  // syncs, so nothing of this tab's is being stored meanwhile.
  function fetchStored(path, then) {
    afterSyncs(function() {
      if (host.storageRefused) { then(); return; }
      syncing = true;
      FS.syncfs(true, function(e) {
        if (e) err('reading browser storage failed: ' + e);
        else if (exists(mirrorPath(path))) copyFile(mirrorPath(path), path);
        syncDone();
        then();
      });
    });
  }

  host.lockShared = function(path, granted) {
    var done = false;  // the program waits for one answer
    var then = function() { if (!done) { done = true; granted(); } };
    if (!navigator.locks) { fetchStored(path, then); return; }
    navigator.locks.request('wenhod:' + path, function() {
      return new Promise(function(release) {
        releases[path] = release;
        fetchStored(path, then);
      });
    }).catch(function(e) {
      err('no lock on ' + path + ': ' + e);
      fetchStored(path, then);
    });
  };

  host.unlockShared = function(path, changed) {
    afterSyncs(function() {
      var release = releases[path];
      delete releases[path];
      if (release) release();
      if (changed && channel) channel.postMessage({changed: path});
    });
  };

  host.sharedChanges = function(path) { return changes[path] || 0; };

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

  Object.assign(host, {
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
  });
  return host;
})();
