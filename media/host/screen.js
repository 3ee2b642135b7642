// screen.js — the page's screen and the player without a keyboard
// (linked with --pre-js after page.js): the canvas sized to its box in
// the device's pixels, the layout (beside the picture held sideways, below it
// held upright), the on-screen controls, the text field that brings up a
// phone's keyboard, the full-screen button and sound on the first touch.
// The program reaches it through Module.host (browser.js).
(function(host) {
  var canvas = Module.canvas;
  var panel = document.getElementById('touch');
  var form = document.getElementById('name-form');
  var field = document.getElementById('name');
  var fullButton = document.getElementById('full-screen');

  // --- The picture's size --------------------------------------------------
  // The canvas holds as many pixels as the device shows in its box, up to
  // this many (no fewer than the 1280 x 960 drawing area): beyond it the
  // engine test's count of sprites would no longer hold.
  var MAX_PIXELS = 1600 * 1200;
  // Room beside the picture for the thumbs when held sideways, and below it
  // held upright (CSS pixels; the controls' own sizes are in page.html).
  var SIDE = 150, BELOW = 250;
  host.display = [800, 600];  // the display the program opened
  host.displayWasOpened = false;  // it has opened one (without WebGL 2 it cannot)
  var ratioSeen = 0;          // the device pixel ratio the canvas was sized for

  function fit() {
    // A notice under the picture (storage refused) takes its own line.
    var note = document.getElementById('no-storage');
    var d = host.display, vw = window.innerWidth, vh = window.innerHeight - (note ? note.offsetHeight : 0);
    if (!vw || vh <= 0) return;
    var upright = touch.shown && vh > vw;
    var side = touch.shown && !upright ? SIDE : 0, below = upright ? BELOW : 0;
    // Where the thumbs' room would leave too small a picture, the controls
    // lie over it instead.
    if (vw - 2 * side < vw / 2) side = 0;
    if (vh - below < vh / 3) below = 0;
    var scale = Math.min((vw - 2 * side) / d[0], (vh - below) / d[1]);
    var cssW = Math.max(1, Math.floor(d[0] * scale)), cssH = Math.max(1, Math.floor(d[1] * scale));
    document.body.classList.toggle('upright', upright);
    if (canvas.style.width !== cssW + 'px') canvas.style.width = cssW + 'px';
    if (canvas.style.height !== cssH + 'px') canvas.style.height = cssH + 'px';
    document.documentElement.style.setProperty('--picture-bottom', (upright ? cssH : vh) + 'px');
    var ratio = ratioSeen = window.devicePixelRatio || 1;
    var w = Math.round(cssW * ratio), h = Math.round(cssH * ratio);
    var over = Math.sqrt(w * h / MAX_PIXELS);
    if (over > 1) {
      w = Math.floor(w / over);
      h = Math.floor(h / over);
    }
    if (canvas.width !== w) canvas.width = w;
    if (canvas.height !== h) canvas.height = h;
    canvas.classList.add('sized');
  }
  window.addEventListener('resize', fit);
  host.fit = fit;
  // The program's display sets the canvas to its own size: taken back.
  new MutationObserver(fit).observe(canvas, {attributes: true, attributeFilter: ['width', 'height']});

  host.displayOpened = function(w, h) {
    host.display = [w, h];
    host.displayWasOpened = true;
    fit();
  };
  // Asked every frame: a new device pixel ratio (a zoom, another screen)
  // comes without a resize.
  host.frameSize = function() {
    if (ratioSeen !== (window.devicePixelRatio || 1)) fit();
    return [canvas.width, canvas.height];
  };

  // --- On-screen controls ----------------------------------------------------
  // Numbered as the program's TouchControl; data-control on each button.
  var CONTROLS = 7;
  var touch = host.touch = {
    shown: false,
    held: held,
    takeHits: function(c) {
      var n = hits[c] || 0;
      hits[c] = 0;
      return n;
    },
    offer: function(c, offered) {
      var b = panel.querySelector('[data-control="' + c + '"]');
      if (b) b.hidden = !offered;
    },
    // Tests read when the last press came and when the program first saw it,
    // in the program's frames.
    pressFrame: -1,
    readFrame: -1,
    readMask: 0,             // controls the program has read held, one bit each
  };
  var fingers = {};          // pointer id -> control under it, -1 for none
  var down = 0;              // controls under a finger now, one bit each
  var latched = 0;           // pressed since the program last slept: held at least once
  var seen = 0;              // latched ones the program has read
  var hits = [];

  function held(c) {
    var bit = 1 << c;
    if (!((down | latched) & bit)) return false;
    if (latched & bit) seen |= bit;
    touch.readMask |= bit;
    if (touch.readFrame < 0 && touch.pressFrame >= 0) touch.readFrame = host.logicFrames;
    return true;
  }

  // A tap between two frames is held for the next one: released only once
  // the program has read it and slept.
  host.onSleep = function() {
    latched &= ~seen;
    seen = 0;
  };

  function controlAt(x, y) {
    var el = document.elementFromPoint(x, y);
    var button = el && el.closest ? el.closest('[data-control]') : null;
    return button && !button.hidden ? +button.dataset.control : -1;
  }

  function press(c) {
    if (c < 0) return;
    latched |= 1 << c;
    hits[c] = (hits[c] || 0) + 1;
    touch.pressFrame = host.logicFrames;
    touch.readFrame = -1;
  }

  function update() {
    down = 0;
    for (var id in fingers) if (fingers[id] >= 0) down |= 1 << fingers[id];
    for (var c = 0; c < CONTROLS; ++c) {
      var b = panel.querySelector('[data-control="' + c + '"]');
      if (b) b.classList.toggle('held', !!(down & (1 << c)));
    }
  }

  panel.addEventListener('pointerdown', function(e) {
    if (e.pointerType === 'mouse' && e.button !== 0) return;
    var c = controlAt(e.clientX, e.clientY);
    if (c < 0) return;
    e.preventDefault();
    fingers[e.pointerId] = c;
    press(c);
    update();
  });
  // A finger that slides onto another control presses that one instead.
  panel.addEventListener('pointermove', function(e) {
    if (!(e.pointerId in fingers)) return;
    var c = controlAt(e.clientX, e.clientY);
    if (c === fingers[e.pointerId]) return;
    fingers[e.pointerId] = c;
    press(c);
    update();
  });
  function lift(e) {
    if (!(e.pointerId in fingers)) return;
    delete fingers[e.pointerId];
    update();
  }
  panel.addEventListener('pointerup', lift);
  panel.addEventListener('pointercancel', lift);
  // No zoom, scrolling or made-up mouse clicks from the controls (the
  // full-screen button keeps its click).
  panel.addEventListener('touchstart', function(e) {
    if (e.target.closest && e.target.closest('[data-control]')) e.preventDefault();
  }, {passive: false});

  function showTouch(on) {
    if (touch.shown === on) return;
    touch.shown = on;
    panel.hidden = !on;
    if (!on) {
      fingers = {};
      update();
    }
    fit();
  }
  // Shown once the page is touched, or from the start where the only
  // pointer is coarse; hidden again when a key or a pad is used.
  window.addEventListener('pointerdown', function(e) {
    if (e.pointerType === 'touch' || e.pointerType === 'pen') showTouch(true);
  }, true);
  window.addEventListener('keydown', function(e) {
    if (e.target !== field) showTouch(false);
  }, true);
  window.addEventListener('gamepadconnected', function() { showTouch(false); });
  var PAD_CHECK_MS = 250;
  setInterval(function() {
    if (!touch.shown || !navigator.getGamepads) return;
    var pads = navigator.getGamepads();
    for (var i = 0; i < pads.length; ++i) {
      var p = pads[i];
      if (p && p.buttons.some(function(b) { return b.pressed; })) return showTouch(false);
    }
  }, PAD_CHECK_MS);
  var onlyTouch = window.matchMedia && matchMedia('(pointer: coarse)').matches &&
                  !matchMedia('(any-pointer: fine)').matches;

  // --- Sound on the first key, click or touch --------------------------------
  // Until then the program makes no sound output at all: a browser would
  // keep it paused, and making one holds the page up for a moment.
  function allowSound() { host.soundAllowed = true; }
  ['keydown', 'mousedown', 'pointerup', 'touchend'].forEach(function(type) {
    window.addEventListener(type, allowSound, true);
  });
  // A browser that made the output paused anyway (Safari wants it made or
  // resumed in the touch itself) lets it start at the end of a touch, not
  // its start.
  function resumeSound() {
    try {
      if (typeof AL !== 'undefined' && AL.currentCtx && AL.currentCtx.audioCtx.state === 'suspended')
        AL.currentCtx.audioCtx.resume();
    } catch (e) {}
    if (Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state === 'suspended')
      Module.SDL2.audioContext.resume();
  }
  window.addEventListener('pointerup', resumeSound, true);
  window.addEventListener('touchend', resumeSound, true);

  // --- The text field --------------------------------------------------------
  // While the program edits text and the controls are shown, the field
  // brings up the phone's keyboard. Its changes go to the program as typed
  // characters, Backspace (8) and Enter (13), so the program's own rules
  // apply; the field then shows the program's text again.
  var typed = [];
  var fieldText = '';        // the field's text as last passed on
  var entry = false;
  host.nextTyped = function() { return typed.length ? typed.shift() : 0; };
  host.textEntry = function(on, text) {
    if (!on || !touch.shown) {
      if (entry) {
        entry = false;
        form.hidden = true;
        field.blur();
      }
      return;
    }
    if (!entry) {
      entry = true;
      form.hidden = false;
      field.value = fieldText = text;
      field.focus();
    } else if (!typed.length && field.value !== text && document.activeElement === field) {
      field.value = fieldText = text;
    }
  };
  field.addEventListener('input', function() {
    var was = Array.from(fieldText), now = Array.from(field.value), same = 0;
    while (same < was.length && same < now.length && was[same] === now[same]) ++same;
    for (var k = was.length; k > same; --k) typed.push(8);
    for (var j = same; j < now.length; ++j) typed.push(now[j].codePointAt(0));
    fieldText = field.value;
  });
  form.addEventListener('submit', function(e) {
    e.preventDefault();
    typed.push(13);
  });
  // Keys typed into the field are the field's; the game's own keys go on.
  var GAME_KEYS = {Escape: 1, Tab: 1, F11: 1, F12: 1};
  ['keydown', 'keypress', 'keyup'].forEach(function(type) {
    field.addEventListener(type, function(e) {
      if (!GAME_KEYS[e.key]) e.stopPropagation();
    });
  });

  // --- Full screen -------------------------------------------------------------
  var root = document.documentElement;
  if (!document.fullscreenEnabled || !root.requestFullscreen) {
    fullButton.hidden = true;
  } else {
    fullButton.addEventListener('click', function() {
      if (document.fullscreenElement) {
        document.exitFullscreen().catch(function() {});
        return;
      }
      root.requestFullscreen().then(function() {
        // Where the browser allows it, the picture stays sideways.
        if (screen.orientation && screen.orientation.lock) return screen.orientation.lock('landscape');
      }).catch(function() {});
    });
  }

  // The page is laid out in a task of its own, not in the one that loads the
  // program; the display the program opens is fitted again anyway.
  setTimeout(function() {
    if (onlyTouch) showTouch(true);
    else fit();
  }, 0);
})(Module.host);
