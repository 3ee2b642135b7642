// replays.js — the page's side of replays, linked with --pre-js: a file
// dropped on the page is written into the page's file system and handed to
// the program as a dropped file (it watches it as a replay), and removed
// once the program is done with it; and a page
// opened as index.html?replay-check=a.replay,b.replay fetches those replays
// first and starts the program as `--replay-check` with them, which prints
// one line each on the console.
(function() {
  var LIMIT = 4 << 20;  // the program refuses larger replays unread
  var dropped = 0;      // files dropped so far, for fresh names
  var copies = {};      // copies of dropped files the program has not finished with

  Module.host.droppedFileDone = function(path) {
    if (!copies[path]) return;
    delete copies[path];
    try { FS.unlink(path); } catch (e) {}
  };

  function handOver(path) {
    Module.ccall('host_drop_file', null, ['string'], [path]);
  }

  document.addEventListener('dragover', function(e) {
    e.preventDefault();
    if (e.dataTransfer) e.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('drop', function(e) {
    e.preventDefault();
    var files = (e.dataTransfer && e.dataTransfer.files) || [];
    Array.prototype.forEach.call(files, function(file) {
      // One byte past the limit is enough for the program to say it is too large.
      file.slice(0, LIMIT + 1).arrayBuffer().then(function(bytes) {
        var path = '/tmp/dropped-' + (++dropped) + '-' + file.name.replace(/[^A-Za-z0-9._-]/g, '_');
        FS.writeFile(path, new Uint8Array(bytes));
        copies[path] = true;
        handOver(path);
      });
    });
  });

  var check = new URLSearchParams(location.search).get('replay-check');
  if (!check) return;
  var names = check.split(',').filter(function(n) { return n; });
  Module.arguments = ['--replay-check'].concat(names.map(function(n, i) { return '/tmp/check-' + i + '.replay'; }));
  Module.preRun = Module.preRun || [];
  Module.preRun.push(function() {
    addRunDependency('host-replays');
    Promise.all(names.map(function(name, i) {
      return fetch(name).then(function(r) {
        if (!r.ok) throw new Error(name + ': ' + r.status);
        return r.arrayBuffer();
      }).then(function(bytes) { FS.writeFile('/tmp/check-' + i + '.replay', new Uint8Array(bytes)); });
    })).catch(function(e) { err('replay-check: ' + e); })
      .finally(function() { removeRunDependency('host-replays'); });
  });
})();
