// page.mjs PAGE_DIR [LABEL=PAGE_DIR...] — input-to-picture latency of the
// page in headless Chromium and Firefox ESR, against a bare WebGL 2 page
// (bare.html) timed the same way in the same browser, before and after the
// pages; and the page's frame rate on the title and in a Hard round.
//
// How a press is timed, in the page: each picture the page hands the
// browser (the game's Module.host.onPicture; the bare page's own call after
// drawing) has a region of the canvas read and hashed in that same task, as
// the browser is about to paint it. A press is a key sent through the
// browser's own input (puppeteer); a capturing keydown listener notes the
// event's timeStamp and how many pictures and browser frames there had been.
// The press's answer is the first picture whose region differs: the
// milliseconds from the event's timeStamp to that picture's hand-over, and
// how many pictures it was after the event (1: the next painted frame).
//
// Screens: the title menu (ArrowDown, ArrowUp) and the settings panel (Tab),
// in the 60 fps mode: where the engine test chose 30 fps, the settings
// panel's frame-skip row is switched off first, as a player may. The page's
// frame rate (pictures a second, from the browser's frame times) is taken
// over 5 s on the title and in a Hard round, with the engine test's verdict.
// Firefox needs an X display (WENHOD_NO_FIREFOX=1 leaves it out).
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import * as B from '../../tests/web/browser.mjs';

const PRESSES = +(process.env.LATENCY_PRESSES || 30);
const LOG = '/Files/Debug.txt', SETUP = '/Files/Setup.ini';
const MENU = [540, 680, 200, 100];   // Easy and Medium, in the game's 1280 x 960 units
const PANEL = [0, 0, 64, 320];       // the settings panel's top and its lower edge
const WHOLE = [0, 0, 1280, 960];     // the bare page answers everywhere
const ANSWER_MS = 3000, STILL_MS = 10000;

const args = process.argv.slice(2);
if (!args.length) {
  console.error('usage: node page.mjs PAGE_DIR [LABEL=PAGE_DIR...]');
  process.exit(2);
}
const pages = args.map((a, i) => {
  const eq = a.indexOf('=');
  return eq > 0 ? {label: a.slice(0, eq), dir: resolve(a.slice(eq + 1))} : {label: i ? a : 'this build', dir: resolve(a)};
});
const sleep = ms => new Promise(r => setTimeout(r, ms));

// Runs in every page before its own scripts: counts the browser's frames
// and the pictures handed over, hashes the watched region of each picture,
// and notes the keydown of an armed press.
function harness() {
  const lat = window.__lat = {frames: 0, pictures: 0, lastFrame: -1, region: null, hashes: [], armed: false,
                              event: null, answer: null};
  const raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = cb => raf(t => {
    if (t !== lat.lastFrame) {
      lat.lastFrame = t;
      ++lat.frames;
    }
    cb(t);
  });
  let probe = null;
  lat.picture = c => {
    ++lat.pictures;
    if (!lat.region) return;
    const [vx, vy, vw, vh] = lat.region;
    const x = Math.floor(vx * c.width / 1280), y = Math.floor(vy * c.height / 960);
    const w = Math.max(1, Math.floor(vw * c.width / 1280)), h = Math.max(1, Math.floor(vh * c.height / 960));
    probe = probe || document.createElement('canvas');
    if (probe.width !== w) probe.width = w;
    if (probe.height !== h) probe.height = h;
    const g = probe.getContext('2d', {willReadFrequently: true});
    g.drawImage(c, x, y, w, h, 0, 0, w, h);
    const d = g.getImageData(0, 0, w, h).data;
    let hash = 2166136261;
    for (let i = 0; i < d.length; i += 4) hash = Math.imul(hash ^ d[i] ^ (d[i + 1] << 8) ^ (d[i + 2] << 16), 16777619);
    lat.hashes.push(hash);
    if (lat.hashes.length > 4) lat.hashes.shift();
    const e = lat.event;
    if (e && !lat.answer && hash !== e.before)
      lat.answer = {ms: performance.now() - e.stamp, pictures: lat.pictures - e.pictures, frames: lat.frames - e.frames};
  };
  lat.still = n => lat.hashes.length >= n && lat.hashes.slice(-n).every(h => h === lat.hashes[lat.hashes.length - 1]);
  lat.watch = region => {
    lat.region = region;
    lat.hashes = [];
  };
  lat.arm = () => {
    lat.armed = true;
    lat.event = lat.answer = null;
  };
  window.addEventListener('keydown', e => {
    if (!lat.armed || e.repeat) return;
    lat.armed = false;
    lat.event = {stamp: e.timeStamp, pictures: lat.pictures, frames: lat.frames, before: lat.hashes[lat.hashes.length - 1]};
  }, true);
}

// One timed press: the region still over three pictures, the key down until
// the answer (or the limit), then up. Answers {ms, pictures, frames} or null.
async function timedPress(page, key, settleMs) {
  await page.waitForFunction(() => __lat.still(3), {polling: 20, timeout: STILL_MS});
  await page.evaluate(() => __lat.arm());
  await page.keyboard.down(key);
  let answer = null;
  try {
    answer = await (await page.waitForFunction(() => __lat.answer, {polling: 5, timeout: ANSWER_MS})).jsonValue();
  } catch (e) {
    answer = null;
  }
  await page.keyboard.up(key);
  await sleep(settleMs);
  return answer;
}

async function timeScreen(page, region, keys, settleMs) {
  await page.evaluate(r => __lat.watch(r), region);
  const answers = [];
  for (let i = 0; answers.length < PRESSES && i < 2 * PRESSES; ++i) {
    const a = await timedPress(page, keys[answers.length % keys.length], settleMs).catch(() => null);
    if (a) answers.push(a);
  }
  return answers;
}

// The bare page in this browser.
async function timeBare(browser, url) {
  const page = await browser.newPage();
  try {
    await page.evaluateOnNewDocument(harness);
    await page.evaluateOnNewDocument(() => { window.onPicture = c => window.__lat.picture(c); });
    await page.goto(url + 'bare.html');
    await page.focus('#canvas').catch(() => {});
    return await timeScreen(page, WHOLE, ['ArrowDown', 'ArrowUp'], 100);
  } finally {
    await page.close();
  }
}

// Clicks at a point of the game's 1280 x 960 units, the pointer resting first.
async function clickVirtual(page, vx, vy) {
  const box = await (await page.$('#canvas')).boundingBox();
  await page.mouse.move(box.x + vx * box.width / 1280, box.y + vy * box.height / 960);
  await B.waitTicks(page, 3);
  await page.mouse.down();
  await B.waitTicks(page, 3);
  await page.mouse.up();
  await B.waitTicks(page, 3);
}

async function timeGame(browser, label, dir) {
  const server = await B.serve(dir);
  const out = {label};
  try {
    const {page} = await B.open(browser, server.url + 'index.html', p => p.evaluateOnNewDocument(harness));
    await B.waitForFileLine(page, LOG, 'Finished Loading', 180000);
    await B.waitFrames(page, 60);  // the title slides in
    const log = await B.readFile(page, LOG) || '';
    out.main = +((log.match(/Main sprites : (\d+)/) || [])[1] || 0);
    out.chose30 = /Lower Limits at 30fps/.test(log);
    if (out.chose30) {  // the frame-skip row, as a player switches it off
      await B.press(page, 'Tab');
      await B.waitFrames(page, 14);
      await clickVirtual(page, 40, 182);
      await B.press(page, 'Tab');
      await B.waitFrames(page, 14);
      out.switched = !/^ESS=1/m.test(await B.readFile(page, SETUP) || '');
    }
    await page.evaluate(() => { Module.host.onPicture = () => __lat.picture(document.getElementById('canvas')); });
    out['title menu'] = await timeScreen(page, MENU, ['ArrowDown', 'ArrowUp'], 150);
    out['settings panel'] = await timeScreen(page, PANEL, ['Tab'], 700);
    out.titleRate = await B.frameStats(page, 5000, 60);
    for (const key of ['ArrowDown', 'ArrowDown']) await B.press(page, key);  // Hard
    await B.press(page, 'z');
    await B.waitFrames(page, 300);  // the opening walk
    out.roundRate = await B.frameStats(page, 5000, 60);
    await page.close();
  } finally {
    server.stop();
  }
  return out;
}

const stat = (xs, q) => {
  if (!xs.length) return NaN;
  const v = [...xs].sort((a, b) => a - b), i = q * (v.length - 1), lo = Math.floor(i);
  return v[lo] + (i - lo) * ((v[lo + 1] ?? v[lo]) - v[lo]);
};
function row(browser, what, screen, answers) {
  const ms = answers.map(a => a.ms), pics = answers.map(a => a.pictures);
  const next = pics.filter(p => p === 1).length;
  const f = x => (Number.isNaN(x) ? '-' : x.toFixed(1));
  return `| ${browser} | ${what} | ${screen} | ${answers.length} | ${next} of ${answers.length} | ` +
         `${Math.max(0, ...pics)} | ${f(stat(ms, 0.5))} | ${f(stat(ms, 0.9))} |`;
}

const lines = [], rates = [];
async function timeBrowser(name, launch) {
  const bareServer = await B.serve(new URL('.', import.meta.url).pathname);
  let browser;
  try {
    browser = await launch();
    const calib = await B.calibrate(browser, 20);
    const before = await timeBare(browser, bareServer.url);
    const games = [];
    for (const p of pages) games.push(await timeGame(browser, p.label, p.dir));
    const after = await timeBare(browser, bareServer.url);
    lines.push(row(name, 'bare WebGL 2 page', 'key', [...before, ...after]));
    for (const g of games)
      for (const screen of ['title menu', 'settings panel']) lines.push(row(name, g.label, screen, g[screen]));
    for (const g of games) {
      const mode = g.chose30 ? (g.switched ? '30 fps chosen, switched to 60' : '30 fps') : '60 fps chosen';
      const r = x => `${x.fps.toFixed(1)} fps, ${(x.longShare * 100).toFixed(1)}% gaps over 1.5 periods`;
      rates.push(`| ${name} | ${g.label} | ${g.main} main sprites, ${mode} | ${r(g.titleRate)} | ${r(g.roundRate)} | ` +
                 `${calib.raf.toFixed(1)} fps, ${calib.sideQuads} quads of 20 px |`);
    }
  } catch (e) {
    lines.push(`| ${name} | (failed: ${String(e.message || e).split('\n')[0]}) | | | | | | |`);
  } finally {
    if (browser) await browser.close();
    bareServer.stop();
  }
}

const profile = mkdtempSync(join(tmpdir(), 'wenhod-latency-chromium-'));
await timeBrowser('Chromium', () => B.launch(profile));
rmSync(profile, {recursive: true, force: true});
if (!process.env.WENHOD_NO_FIREFOX) await timeBrowser('Firefox', () => B.launchFirefox());

console.log('\nThe page: key event timeStamp to the picture handed to the browser with the change (ms), and');
console.log('how many pictures after the event it was (1: the next frame the browser paints)\n');
console.log('| browser | page | screen | n | in the next picture | most pictures | median ms | p90 ms |');
console.log('| --- | --- | --- | ---: | ---: | ---: | ---: | ---: |');
for (const l of lines) console.log(l);
console.log('\nThe page\'s pictures a second, 5 s each, in the 60 fps mode; beside them the browser\'s empty-page');
console.log('frame rate and what a plain WebGL 2 page holds at 58 fps\n');
console.log('| browser | page | engine test | title | Hard round | plain page |');
console.log('| --- | --- | --- | --- | --- | --- |');
for (const r of rates) console.log(r);
