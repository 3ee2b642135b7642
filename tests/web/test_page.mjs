// test_page.mjs PAGE_DIR [DESKTOP_TITLE.png] — the browser build end to end
// in Debian's headless Chromium: the title screen, a Hard round to "Game
// Over", name entry, the score table, the settings panel, storage across a
// reload, an F11 download, sound after the first key, the keys the browser
// would take (Tab, F12, arrows) kept for the game, and the closing
// sequence. Prints one line per check, the figures it measured, and
// "N passed, N failed"; exits non-zero on any failure.
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import * as B from './browser.mjs';

const [pageDir, desktopTitle] = process.argv.slice(2);
if (!pageDir) {
  console.error('usage: node test_page.mjs PAGE_DIR [DESKTOP_TITLE.png]');
  process.exit(2);
}

// Bounds: measured here at about 3 s to the first title frame on a loaded
// 2-core machine; the bound leaves room for a busy one.
const TITLE_BOUND_MS = 60000;
// The browser's title against the desktop's: at most 1% of the pixels may
// differ by more than 16 levels in a channel (filtered edges of the scaled
// title picture differ by a few pixels between Mesa and SwiftShader).
const DIFF_LEVEL = 16, DIFF_SHARE = 0.01;
// A round played with the jump held: about 30 s here; bounces on birds cost
// no jump, so an unlucky one lasts longer.
const ROUND_MS = 300000;

let passed = 0, failed = 0;
function check(what, ok, detail = '') {
  if (ok) ++passed; else ++failed;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  return ok;
}
const figures = [];
const figure = (name, value) => figures.push(`${name}: ${value}`);

// An image's pixels as {w, h, rgb} through ImageMagick.
function pixels(png) {
  const size = execFileSync('identify', ['-format', '%w %h', 'png:-'], {input: png}).toString().split(' ');
  const rgb = execFileSync('convert', ['png:-', '-depth', '8', 'rgb:-'], {input: png, maxBuffer: 1 << 28});
  return {w: +size[0], h: +size[1], rgb};
}
const at = (img, x, y) => {
  const i = (y * img.w + x) * 3;
  return [img.rgb[i], img.rgb[i + 1], img.rgb[i + 2]];
};
// Pixels inside a box of virtual units (1280 x 960 across the image) that meet test(r, g, b).
function countIn(img, vx, vy, vw, vh, test) {
  const x0 = Math.floor(vx * img.w / 1280), y0 = Math.floor(vy * img.h / 960);
  const x1 = Math.floor((vx + vw) * img.w / 1280), y1 = Math.floor((vy + vh) * img.h / 960);
  let n = 0;
  for (let y = y0; y < y1; ++y)
    for (let x = x0; x < x1; ++x) if (test(...at(img, x, y))) ++n;
  return n;
}
// The score panel's first list rows (white text), as the desktop test reads them.
const whiteInList = img => countIn(img, 954, 524, 320, 51, (r, g, b) => r > 200 && g > 200 && b > 200);
function distinctColours(img) {
  const seen = new Set();
  for (let i = 0; i < img.rgb.length; i += 3) seen.add(img.rgb.readUIntBE(i, 3));
  return seen.size;
}

const shot = async page => pixels(await B.canvasShot(page));
const LOG = '/Files/Debug.txt', SETUP = '/Files/Setup.ini', SCORES = '/Files/239/scores.dat';

// Clicks at virtual coordinates of the 1280 x 960 drawing area.
async function clickVirtual(page, vx, vy) {
  const box = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(box.x + vx * box.width / 1280, box.y + vy * box.height / 960, {delay: 80});
}

const server = await B.serve(pageDir);
const profile = mkdtempSync(join(tmpdir(), 'wenhod-chromium-'));
const downloads = mkdtempSync(join(tmpdir(), 'wenhod-downloads-'));
const browser = await B.launch(profile);
let page, log;
try {
  // The title screen.
  const started = Date.now();
  ({page, log} = await B.open(browser, server.url + 'index.html?readback'));
  await B.waitForFileLine(page, LOG, 'Finished Loading', TITLE_BOUND_MS);
  await B.waitFrames(page, 1);
  const toTitle = Date.now() - started;
  check(`the title screen's first frame within ${TITLE_BOUND_MS / 1000} s`, toTitle < TITLE_BOUND_MS, `${toTitle} ms`);
  figure('navigation to the first title frame', `${toTitle} ms`);
  await B.waitFrames(page, 40);  // the title slides in over 32 frames
  const title = await shot(page);
  const sky = at(title, title.w / 2, Math.floor(title.h * 0.05)), grass = at(title, title.w / 2, title.h - 20);
  check('the canvas shows the title picture: blue sky above, green below, many colours',
        sky[2] > 80 && sky[2] > sky[0] + 40 && grass[1] > 100 && grass[1] > grass[0] + 40 &&
          distinctColours(title) > 200,
        `sky ${sky}, grass ${grass}, ${distinctColours(title)} colours`);
  const listEasy = whiteInList(title);
  const engine = (await B.readFile(page, LOG)).match(/Main sprites : (\d+)/);
  figure('engine test, main sprites', engine ? engine[1] : '?');

  if (desktopTitle) {
    const desk = pixels(readFileSync(desktopTitle));
    let differ = 0;
    if (desk.w === title.w && desk.h === title.h) {
      for (let i = 0; i < desk.rgb.length; i += 3) {
        const d = Math.max(Math.abs(desk.rgb[i] - title.rgb[i]), Math.abs(desk.rgb[i + 1] - title.rgb[i + 1]),
                           Math.abs(desk.rgb[i + 2] - title.rgb[i + 2]));
        if (d > DIFF_LEVEL) ++differ;
      }
    }
    const share = differ / (title.w * title.h);
    check(`the title matches the desktop's within ${DIFF_SHARE * 100}% of pixels off by > ${DIFF_LEVEL}`,
          desk.w === title.w && desk.h === title.h && share <= DIFF_SHARE,
          `${desk.w}x${desk.h} vs ${title.w}x${title.h}, ${differ} pixels differ`);
  }

  // Sound waits for the first key; then it runs.
  const audioState = () => page.evaluate(() => Module.host.audioState());
  const audioBefore = await audioState();

  // Keys the browser would take for itself reach the game alone: seen after
  // the page's handlers, each has had its default action cancelled.
  await page.evaluate(() => {
    window.keysSeen = [];
    window.addEventListener('keydown', e => keysSeen.push(`${e.key}:${e.defaultPrevented}`));
  });
  for (const key of ['F12', 'F12', 'ArrowLeft', 'ArrowRight']) await B.press(page, key);
  const keysSeen = await page.evaluate(() => keysSeen);
  check('F12 and the arrows go to the game, not the browser',
        keysSeen.length === 4 && keysSeen.every(k => k.endsWith(':true')), keysSeen.join(' '));

  // A setting changed in the settings panel: the master volume.
  await B.press(page, 'Tab');
  await B.waitFrames(page, 15);
  await clickVirtual(page, 1080, 98);  // the bar starts at 998: 82
  await B.waitFrames(page, 3);
  await B.press(page, 'Tab');
  await B.waitFrames(page, 15);
  const tabKept = (await page.evaluate(() => keysSeen)).filter(k => k.startsWith('Tab:'));
  check('Tab goes to the game, not to the browser\'s focus', tabKept.length === 2 && tabKept.every(k => k.endsWith(':true')),
        tabKept.join(' '));
  check('the panel saves the master volume', /Master = 82\r\n/.test(await B.readFile(page, SETUP) || ''));
  const audioAfter = await audioState();
  // Chromium refuses to start sound before a key press or click; the page
  // resumes it on the first one.
  check('sound runs after the first key press', audioAfter === 'running', `${audioBefore} -> ${audioAfter}`);

  // A Hard round, played with the jump held until "Game Over".
  for (const key of ['ArrowDown', 'ArrowDown']) await B.press(page, key);  // Hard
  await page.keyboard.down('z');
  const roundStart = await B.frames(page), roundClock = Date.now();
  await B.waitFrames(page, 60);
  const jumps = countIn(await shot(page), 0, 40, 40, 130, (r, g, b) => r > 200 && g > 100 && b < 80);
  // "Game Over" is up for a second and a half: look for its yellow on every
  // shown frame, in the page.
  let over = true;
  await B.waitForColour(page, [320, 384, 640, 192], [221, 221, 0], [255, 255, 59], 150, ROUND_MS)
    .catch(() => { over = false; });
  const roundFrames = await B.frames(page) - roundStart;
  await page.keyboard.up('z');
  check('Down, Down, Z starts a round; holding the jump ends it with "Game Over"', over,
        `${roundFrames} frames`);
  figure('frame rate of a round (jump held)', `${(roundFrames * 1000 / (Date.now() - roundClock)).toFixed(1)} fps`);

  // Name entry follows the result ("Enter Your Name" in green); it offers
  // "Player": type a name instead.
  await B.waitForColour(page, [320, 300, 640, 100], [0, 200, 0], [80, 255, 80], 300, 60000);
  await B.waitFrames(page, 4);
  for (let i = 0; i < 8; ++i) await B.press(page, 'Backspace', 1);
  await page.keyboard.type('Webby', {delay: 80});
  await B.press(page, 'Enter');
  await B.waitForFileLine(page, SCORES, '|Webby|', 60000).catch(() => {});
  await B.waitFrames(page, 60);  // the title slides in again
  const scores = await B.readFile(page, SCORES) || '';
  const record = scores.split('\r\n')[0].split('|');
  check('the record is on disk at once: the typed name, Hard', record[1] === 'Webby' && record[5] === '2',
        `${scores.split('\r\n')[0]}; ${jumps} orange jump-icon pixels`);
  const listHard = whiteInList(await shot(page));
  check('the score table shows the new record', listHard > listEasy + 100,
        `white pixels in the list: ${listEasy} before, ${listHard} after`);

  // F11: the picture is offered as a download under the desktop's name.
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await B.press(page, 'F11');
  let saved = [];
  for (let i = 0; i < 60 && !saved.some(f => f.endsWith('.png')); ++i) {
    await B.waitFrames(page, 5);
    saved = readdirSync(downloads);
  }
  const png = saved.find(f => /^Wen Hod in a Varno Zavored \(Screenshot_\d\d [A-Z][a-z]{2} \d{4}_\d{6}\)\.png$/.test(f));
  check('F11 offers the screenshot as a PNG download with the desktop\'s name',
        png && pixels(readFileSync(join(downloads, png))).w === 800, saved.join(', ') || 'nothing');

  // The log is in storage while it is written, not only once closed.
  check('the running log is kept in browser storage',
        (await B.readFile(page, '/persist' + LOG) || '').includes('Finished Loading'));

  // After a reload: the record and the setting are still there.
  await page.reload();
  // Storage hands back the last run's log until the new run starts its own,
  // which it has done by its first shown frame.
  await page.waitForFunction(() => window.Module && Module.host && Module.host.frames > 0,
                             {timeout: TITLE_BOUND_MS, polling: 50});
  await B.waitForFileLine(page, LOG, 'Finished Loading', TITLE_BOUND_MS);
  await B.waitFrames(page, 40);
  check('after a reload the setting is still set', /Master = 82\r\n/.test(await B.readFile(page, SETUP) || ''));
  for (const key of ['ArrowDown', 'ArrowDown']) await B.press(page, key);  // Hard
  await B.waitFrames(page, 10);
  const listReload = whiteInList(await shot(page));
  check('after a reload the score table still shows the record',
        (await B.readFile(page, SCORES) || '').includes('|Webby|') && listReload > listEasy + 100,
        `white pixels in the Hard list: ${listReload}`);
  const engine2 = (await B.readFile(page, LOG)).match(/Aiming for (\d+),\d[\s\S]*?Main sprites : (\d+)/);
  figure('engine test after a reload (aim, main sprites)', engine2 ? `${engine2[1]}, ${engine2[2]}` : '?');

  // Escape on the title: the closing sequence, then the page says so.
  await page.keyboard.down('Escape');  // the program ends: no frames to count
  await page.waitForFunction(() => Module.host.hasEnded, {timeout: 60000});
  await page.keyboard.up('Escape');
  const ended = await page.evaluate(() => getComputedStyle(document.getElementById('ended')).display !== 'none');
  const farewell = (await B.readFile(page, LOG) || '').trimEnd().endsWith('Play again, soon!!');
  check('Escape ends the game: farewell logged, the page says to reload', ended && farewell);
} catch (e) {
  check('the browser run went through', false, e.stack || String(e));
  if (log) console.log(log.slice(-30).join('\n'));
} finally {
  await browser.close();
  server.stop();
  rmSync(profile, {recursive: true, force: true});
  rmSync(downloads, {recursive: true, force: true});
}

for (const f of figures) console.log(`figure: ${f}`);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
