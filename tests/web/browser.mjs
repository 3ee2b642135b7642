// browser.mjs — what the browser tests share: a static server for the page
// on 127.0.0.1, Debian's Chromium (over the DevTools protocol) and Firefox ESR
// (over WebDriver BiDi) in headless mode driven by puppeteer-core, waits that
// count the frames the page reports (Module.host.frames), so a busy machine
// only makes them slower, never wrong, and the frame-rate figures.
import {createReadStream, existsSync, readFileSync, statSync} from 'node:fs';
import {createServer as createHttpServer} from 'node:http';
import {createServer} from 'node:net';
import {extname, join, normalize} from 'node:path';
import puppeteer from 'puppeteer-core';

export const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
export const FIREFOX = process.env.FIREFOX || '/usr/bin/firefox-esr';

// A free port on the loopback interface.
export function freePort() {
  return new Promise((resolve, reject) => {
    const srv = createServer();
    srv.once('error', reject);
    srv.listen(0, '127.0.0.1', () => {
      const {port} = srv.address();
      srv.close(() => resolve(port));
    });
  });
}

const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.png': 'image/png', '.webmanifest': 'application/manifest+json', '.json': 'application/json',
               '.txt': 'text/plain'};

// Serves DIR until stop() is called, as a static host that serves a file's
// precompressed copy (NAME.gz) to a browser that takes gzip. With lax, as a
// host that sends an old Last-Modified and no Cache-Control, which lets the
// browser's HTTP cache keep its copy for a day without asking.
export async function serve(dir, lax = false) {
  const server = createHttpServer((req, res) => {
    const path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    let file = join(dir, path.endsWith('/') ? path + 'index.html' : path);
    if (!existsSync(file) || !statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    const headers = {'Content-Type': TYPES[extname(file)] || 'application/octet-stream'};
    if (lax) headers['Last-Modified'] = new Date(Date.now() - 10 * 86400000).toUTCString();
    else headers['Cache-Control'] = 'no-cache';
    if (/\bgzip\b/.test(req.headers['accept-encoding'] || '') && existsSync(file + '.gz')) {
      file += '.gz';
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = statSync(file).size;
    res.writeHead(200, headers);
    if (req.method === 'HEAD') res.end();
    else createReadStream(file).pipe(res);
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  const url = `http://127.0.0.1:${server.address().port}/`;
  return {url, stop: () => server.close()};
}

// The desktop's window size: the canvas then holds as many pixels as the
// desktop's picture, so the two compare pixel for pixel.
export const VIEWPORT = {width: 800, height: 600};

// Chromium with software WebGL; a fresh profile each time unless given one
// (a reload test keeps it to find its storage again). extraArgs: more flags.
export async function launch(profileDir, extraArgs = []) {
  const args = ['--headless=new', '--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
                `--window-size=${VIEWPORT.width},${VIEWPORT.height}`,
                '--disable-background-timer-throttling', '--disable-renderer-backgrounding', ...extraArgs];
  return puppeteer.launch({executablePath: CHROMIUM, headless: true, args, userDataDir: profileDir,
                           defaultViewport: VIEWPORT});
}

// Firefox ESR, headless, WebGL drawn by Mesa in software. Without a display
// it has no GL driver for WebGL at all: test.sh's Xvfb serves.
export async function launchFirefox() {
  if (!process.env.DISPLAY) throw new Error('Firefox needs an X display (Xvfb) for WebGL');
  return puppeteer.launch({browser: 'firefox', executablePath: FIREFOX, headless: true,
                           defaultViewport: VIEWPORT, extraPrefsFirefox: {'webgl.force-enabled': true}});
}

// Opens the page and collects what it logs; errors (console errors, failed
// requests, uncaught exceptions) also go to errors. before(page) runs first.
export async function open(browser, url, before) {
  const page = await browser.newPage();
  const log = [], errors = [];
  page.on('console', m => {
    log.push(m.text());
    if (m.type() === 'error') errors.push(m.text());
  });
  page.on('pageerror', e => {
    log.push('pageerror: ' + e.message);
    errors.push('pageerror: ' + e.message);
  });
  page.on('response', r => { if (r.status() >= 400) errors.push(`${r.status()} ${r.url()}`); });
  if (before) await before(page);
  await page.goto(url);
  return {page, log, errors};
}

export const frames = page => page.evaluate(() => (window.Module && Module.host ? Module.host.frames : 0));

// Waits until N more frames have been shown (or the limit of wall time, a
// safety net only: a hung page fails instead of hanging the run).
export async function waitFrames(page, n, timeoutMs = 120000) {
  const start = await frames(page);
  await page.waitForFunction(want => Module.host.frames >= want, {timeout: timeoutMs, polling: 50}, start + n);
}

// Waits for a line in one of the program's files (read from its file system),
// counting frames while it waits.
export async function waitForFileLine(page, path, text, timeoutMs = 180000) {
  await page.waitForFunction((p, t) => {
    try {
      return window.Module && Module.FS && Module.FS.readFile(p, {encoding: 'utf8'}).includes(t);
    } catch (e) {
      return false;
    }
  }, {timeout: timeoutMs, polling: 100}, path, text);
}

export const readFile = (page, path) => page.evaluate(p => {
  try {
    return Module.FS.readFile(p, {encoding: 'utf8'});
  } catch (e) {
    return null;
  }
}, path);

// Waits until N more frames have been shown, or the program has slept 4 N
// times without showing any (a loop that waits for a key to be released).
export async function waitTicks(page, n, timeoutMs = 120000) {
  const start = await page.evaluate(() => [Module.host.frames, Module.host.sleeps]);
  await page.waitForFunction((f, s) => Module.host.frames >= f || Module.host.sleeps >= s,
                             {timeout: timeoutMs, polling: 20}, start[0] + n, start[1] + 4 * n);
}

// Where the canvas is shown in the window: its box, and whether it fits
// whole with the program's aspect, as large as the window allows.
export async function canvasFit(page, view) {
  const box = await (await page.$('#canvas')).boundingBox();
  const size = await page.evaluate(() => Module.host.display);
  const scale = Math.min(view.width / size[0], view.height / size[1]);
  const fits = box.x >= -0.5 && box.y >= -0.5 && box.x + box.width <= view.width + 0.5 &&
               box.y + box.height <= view.height + 0.5 &&
               Math.abs(box.width - size[0] * scale) <= 1.5 && Math.abs(box.height - size[1] * scale) <= 1.5;
  return {fits, detail: `${box.width.toFixed(0)}x${box.height.toFixed(0)} at ${box.x.toFixed(0)},${box.y.toFixed(0)} ` +
                        `in ${view.width}x${view.height} for ${size[0]}x${size[1]}`};
}

// A phone held sideways: 844 x 390 CSS pixels, 3 device pixels each, touch.
export const PHONE = {width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true,
                      isLandscape: true};
export const PHONE_AGENT = 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) ' +
                           'Chrome/126.0.0.0 Mobile Safari/537.36';

// The centre of the on-screen control with this accessible name.
export async function controlAt(page, name) {
  return page.evaluate(n => {
    const b = document.querySelector(`#touch button[aria-label="${n}"]`);
    const r = b.getBoundingClientRect();
    return {x: r.x + r.width / 2, y: r.y + r.height / 2};
  }, name);
}

// Fingers on the on-screen controls named, held together until lift();
// slide(i, name) moves finger i onto another control without lifting.
export async function fingers(page, ...names) {
  const s = await page.createCDPSession();
  const points = [];
  for (const [i, n] of names.entries()) points.push({...await controlAt(page, n), id: i + 1});
  await s.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: points});
  return {
    slide: async (i, name) => {
      points[i] = {...await controlAt(page, name), id: i + 1};
      await s.send('Input.dispatchTouchEvent', {type: 'touchMove', touchPoints: points});
    },
    lift: async () => {
      await s.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
      await s.detach();
    },
  };
}

// Taps an on-screen control, held for a few frames as a thumb does.
export async function tap(page, name, holdFrames = 4) {
  const f = await fingers(page, name);
  await waitTicks(page, holdFrames);
  await f.lift();
  await waitTicks(page, 2);
}

// Stands in for `count` standard pads before the page loads (a browser shows
// a pad only once one of its buttons is pressed): window.__press(pad, button,
// value) presses a button, announcing the pad at its first press.
export function wrapPads(page, count) {
  return page.evaluateOnNewDocument(n => {
    window.__pads = Array.from({length: n}, () => ({on: false, buttons: new Array(17).fill(0), axes: [0, 0, 0, 0]}));
    const pad = i => ({id: `Test pad ${i} (STANDARD GAMEPAD)`, index: i, connected: true, mapping: 'standard',
                       timestamp: performance.now(), axes: __pads[i].axes.slice(),
                       buttons: __pads[i].buttons.map(v => ({pressed: !!v, touched: !!v, value: v}))});
    navigator.getGamepads = () => [0, 1, 2, 3].map(i => (__pads[i] && __pads[i].on ? pad(i) : null));
    window.__press = (i, b, v) => {
      __pads[i].buttons[b] = v;
      if (__pads[i].on) return;
      __pads[i].on = true;
      const e = new Event('gamepadconnected');
      e.gamepad = pad(i);
      window.dispatchEvent(e);
    };
  }, count);
}

// Presses a pad's button for a few frames.
export async function padPress(page, pad, button, holdFrames = 4) {
  await page.evaluate((p, b) => __press(p, b, 1), pad, button);
  await waitTicks(page, holdFrames);
  await page.evaluate((p, b) => __press(p, b, 0), pad, button);
  await waitTicks(page, 2);
}

// Holds a key for a few frames, as a player would.
export async function press(page, key, holdFrames = 4) {
  await page.keyboard.down(key);
  await waitTicks(page, holdFrames);
  await page.keyboard.up(key);
  await waitTicks(page, 2);
}

// Runs test(canvas, ...args) in the page on each new picture the game hands
// the browser, while the canvas still holds it, until test answers something
// other than undefined; answers that. The page keeps no picture of its own.
async function onPictures(page, timeoutMs, test, ...args) {
  const found = page.evaluate((src, args) => new Promise((resolve, reject) => {
    const test = new Function(`return (${src})`)();
    Module.host.onPicture = () => {
      try {
        const answer = test(document.getElementById('canvas'), ...args);
        if (answer === undefined) return;
        Module.host.onPicture = null;
        resolve(answer);
      } catch (e) {
        Module.host.onPicture = null;
        reject(e);
      }
    };
  }), test.toString(), args);
  let timer;
  const late = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`no picture passed within ${timeoutMs} ms`)), timeoutMs);
  });
  try {
    return await Promise.race([found, late]);
  } finally {
    clearTimeout(timer);
    await page.evaluate(() => { Module.host.onPicture = null; }).catch(() => {});
  }
}

// Waits until, on some shown frame, more than minCount pixels of the box
// (virtual units of the 1280 x 960 drawing area) have a colour within
// [lo, hi] per channel.
export function waitForColour(page, box, lo, hi, minCount, timeoutMs) {
  return onPictures(page, timeoutMs, (c, box, lo, hi, minCount) => {
    const probe = window.probe || (window.probe = document.createElement('canvas'));
    const x = (box[0] * c.width / 1280) | 0, y = (box[1] * c.height / 960) | 0;
    const w = (box[2] * c.width / 1280) | 0, h = (box[3] * c.height / 960) | 0;
    probe.width = w;
    probe.height = h;
    const g = probe.getContext('2d', {willReadFrequently: true});
    g.drawImage(c, x, y, w, h, 0, 0, w, h);
    const d = g.getImageData(0, 0, w, h).data;
    let n = 0;
    for (let i = 0; i < d.length; i += 4)
      if (d[i] >= lo[0] && d[i] <= hi[0] && d[i + 1] >= lo[1] && d[i + 1] <= hi[1] && d[i + 2] >= lo[2] &&
          d[i + 2] <= hi[2])
        ++n;
    return n > minCount ? true : undefined;
  }, box, lo, hi, minCount);
}

// The canvas's own pixels (its drawing size, whatever size the page shows
// it at) at the next picture shown, as a PNG.
export async function canvasShot(page, timeoutMs = 60000) {
  const url = await onPictures(page, timeoutMs, c => c.toDataURL('image/png'));
  return Buffer.from(url.slice(url.indexOf(',') + 1), 'base64');
}

// What this browser shows on a plain page, measured beside the game: its
// frame rate and the 32x32 quads it holds at 58 fps (calibrate.html), and as
// sideQuads those it holds at side pixels a side.
export async function calibrate(browser, side) {
  const page = await browser.newPage();
  try {
    await page.setContent(readFileSync(new URL('./calibrate.html', import.meta.url), 'utf8'));
    const plain = await page.evaluate(() => calibrate());
    return {...plain, sideQuads: (await page.evaluate(s => calibrate(s), side)).quads};
  } finally {
    await page.close();
  }
}

// The pictures shown over the next ms milliseconds, from the page's frame
// times: {fps, longShare}, longShare being the share of gaps between shown
// frames longer than 1.5 periods at the expected rate.
export async function frameStats(page, ms, expectedFps) {
  const from = await page.evaluate(() => performance.now());
  await new Promise(r => setTimeout(r, ms));
  const times = await page.evaluate(f => Module.host.shownAt.filter(t => t >= f), from);
  if (times.length < 2) return {fps: 0, longShare: 1};
  const fps = (times.length - 1) * 1000 / (times[times.length - 1] - times[0]);
  let long = 0;
  for (let i = 1; i < times.length; ++i) if (times[i] - times[i - 1] > 1.5 * 1000 / expectedFps) ++long;
  return {fps, longShare: long / (times.length - 1)};
}
