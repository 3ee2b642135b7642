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
  // Each file the program changes is stored on its own, straight into
  // IndexedDB, never as a copy of the whole storage: a tab cannot take away
  // or write back over a file it did not change itself. The files several
  // tabs share (those beside a file the program locks: the scores and the
  // replays) are stored only while the program holds that lock, which fetched
  // them first; the others (settings, the log) whenever a file changes, the
  // last writer winning.
  var STORE = '/persist';   // IndexedDB's copy of the program's files, mounted here
  var changed = {};         // shared files changed since they were last stored
  var along = {};           // the other files the program wrote: stored with every store (the log grows unseen)
  var known = {};           // shared files this tab has seen in storage
  var sharedFolders = {};   // folders of the files the program locks
  var locksHeld = 0;        // shared locks this tab holds now
  var busy = false, again = false;  // a store or fetch is running; another store is due after it
  var whenIdle = [];        // called once no store or fetch is running or due

  function mirrorPath(path) { return STORE + path; }
  function folderOf(path) { return path.substring(0, path.lastIndexOf('/')); }
  function isShared(path) { return !!sharedFolders[folderOf(path)]; }

  function exists(path) {
    try { return FS.isFile(FS.stat(path).mode); } catch (e) { return false; }
  }

  // A copy that keeps the file's time: the program tells new files from old
  // by their times.
  function copyFile(from, to) {
    var slash = to.lastIndexOf('/');
    if (slash > 0) FS.mkdirTree(to.substring(0, slash));
    FS.writeFile(to, FS.readFile(from));
    var time = FS.stat(from).mtime.getTime();
    FS.utime(to, time, time);
  }

  // The stored files come back under their own names before the program
  // starts; the data shipped with the page is never stored.
  function restore(dir) {
    FS.readdir(dir).forEach(function(name) {
      if (name === '.' || name === '..') return;
      var path = dir + '/' + name;
      if (FS.isDir(FS.stat(path).mode)) {
        restore(path);
        return;
      }
      var own = path.substring(STORE.length);
      copyFile(path, own);
      known[own] = true;
    });
  }

  // One file into the transaction's store, its folders first (a fetch makes
  // them before the files in them), or out of it when it is gone.
  function storeOne(files, path) {
    var copy = mirrorPath(path);
    var put = function(p) {
      IDBFS.loadLocalEntry(p, function(e, entry) { if (!e) files.put(entry, p); });
    };
    if (exists(path)) {
      copyFile(path, copy);
      var at = copy.indexOf('/', STORE.length + 1);
      for (; at > 0; at = copy.indexOf('/', at + 1)) put(copy.substring(0, at));
      put(copy);
      if (isShared(path)) known[path] = true;
    } else {
      if (exists(copy)) FS.unlink(copy);
      files.delete(copy);
      delete known[path];
      delete along[path];
    }
  }

  // Stores the files due: every file that goes along, and the shared files
  // changed while a lock is held. Then calls then(), once nothing is due.
  function store(then) {
    if (then) whenIdle.push(then);
    if (busy) { again = true; return; }
    var paths = Object.keys(along);
    if (locksHeld) paths = paths.concat(Object.keys(changed));
    if (host.storageRefused || !paths.length) { finished(); return; }
    if (locksHeld) changed = {};
    busy = true;
    var failed = function(e) {
      err('saving to browser storage failed: ' + e);
      paths.forEach(function(p) { if (isShared(p)) changed[p] = true; });
      finished();
    };
    IDBFS.getDB(STORE, function(e, db) {
      if (e) return failed(e);
      try {
        var tx = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
        var files = tx.objectStore(IDBFS.DB_STORE_NAME);
        paths.forEach(function(p) { storeOne(files, p); });
        tx.oncomplete = function() { finished(); };
        tx.onabort = function() { failed(tx.error); };
      } catch (x) {
        failed(x);
      }
    });
  }

  // A store or fetch has ended: the next one, or those waiting for quiet.
  function finished() {
    busy = false;
    if (again) { again = false; store(); return; }
    var waiting = whenIdle;
    whenIdle = [];
    waiting.forEach(function(then) { then(); });
  }

  function afterStores(then) {
    if (busy) whenIdle.push(then);
    else then();
  }

  function keep(path) {
    if (path.charAt(0) !== '/') path = FS.cwd().replace(/\/$/, '') + '/' + path;
    if (isShared(path)) changed[path] = true;
    else along[path] = true;
    store();
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
  // name, and so is every file beside it (the replays): the stored copies of
  // the folder are fetched first, and what the program changed is stored
  // before the lock is let go; then the other tabs are told, and reload the
  // file when they can.
  var channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel('wenhod-files') : null;
  var changes = {};   // path -> times other tabs said they replaced it
  var releases = {};  // path -> lets the browser's lock on it go
  if (channel) {
    channel.onmessage = function(e) {
      var path = e.data && e.data.changed;
      if (path) changes[path] = (changes[path] || 0) + 1;
    };
  }

  // The folder's files as storage holds them now, over the tab's own; those
  // another tab removed go here too.
  function takeFolder(dir) {
    var there = {};
    var copyDir = mirrorPath(dir);
    var names = [];
    try { names = FS.readdir(copyDir); } catch (e) {}
    names.forEach(function(name) {
      var copy = copyDir + '/' + name, path = dir + '/' + name;
      if (!exists(copy)) return;
      there[path] = known[path] = true;
      if (changed[path]) return;
      if (!exists(path) || FS.stat(path).mtime.getTime() !== FS.stat(copy).mtime.getTime()) copyFile(copy, path);
    });
    Object.keys(known).forEach(function(path) {
      if (folderOf(path) !== dir || there[path] || changed[path]) return;
      delete known[path];
      if (exists(path)) FS.unlink(path);
    });
  }

  function fetchShared(path, then) {
    afterStores(function() {
      if (host.storageRefused) { then(); return; }
      busy = true;
      FS.syncfs(true, function(e) {
        if (e) err('reading browser storage failed: ' + e);
        else {
          try { takeFolder(folderOf(path)); } catch (x) { err('reading browser storage failed: ' + x); }
        }
        finished();
        then();
      });
    });
  }

  host.lockShared = function(path, granted) {
    sharedFolders[folderOf(path)] = true;
    var done = false;  // the program waits for one answer
    var then = function() {
      if (done) return;
      done = true;
      locksHeld++;
      granted();
    };
    if (!navigator.locks) { fetchShared(path, then); return; }
    navigator.locks.request('wenhod:' + path, function() {
      return new Promise(function(release) {
        releases[path] = release;
        fetchShared(path, then);
      });
    }).catch(function(e) {
      err('no lock on ' + path + ': ' + e);
      fetchShared(path, then);
    });
  };

  host.unlockShared = function(path, replaced) {
    store(function() {
      locksHeld--;
      var release = releases[path];
      delete releases[path];
      if (release) release();
      if (replaced && channel) channel.postMessage({changed: path});
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
  // Only what is due goes: a closing tab never stores a shared file outside its lock.
  window.addEventListener('pagehide', function() { store(); });

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
      store();
      if (Module.onGameEnded) Module.onGameEnded();
    },
  });
  return host;
})();
