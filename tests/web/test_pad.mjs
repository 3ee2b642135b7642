// test_pad.mjs PAGE_DIR — the page played by a standard pad alone, as on a
// couch or a handheld: no key, click or touch reaches it. A pad (wrapped
// before the page loads) chooses Medium, plays to "Game Over", types a
// three-letter name on the on-screen keyboard and confirms it, watches that
// record's replay from the score card, and lowers the music volume in the
// settings panel; the score file must hold the name and the settings file
// the volume. The picture must fit a handheld's 1280x800 and 1280x720 whole.
// Prints one line per check and "N passed, N failed"; exits non-zero on any
// failure.
import * as B from './browser.mjs';

const [pageDir] = process.argv.slice(2);
if (!pageDir) {
  console.error('usage: node test_pad.mjs PAGE_DIR');
  process.exit(2);
}

const LOG = '/Files/Debug.txt', SETUP = '/Files/Setup.ini', SCORES = '/Files/239/scores.dat';
const TITLE_MS = 60000, ROUND_MS = 300000, SCREEN_MS = 60000;
// The standard layout's buttons.
const A = 0, BUTTON_B = 1, X = 2, Y = 3, RB = 5, BACK = 8, START = 9, UP = 12, DOWN = 13, LEFT = 14, RIGHT = 15;
// Boxes of the 1280 x 960 drawing area: "Game Over" in yellow, "Enter Your
// Name" in green, and the on-screen keyboard's A key, lit.
const GAME_OVER = [320, 384, 640, 192], NAME_PROMPT = [320, 300, 640, 100], KEY_A = [290, 660, 50, 40];
const YELLOW = [[221, 221, 0], [255, 255, 59]], GREEN = [[0, 200, 0], [80, 255, 80]];

let passed = 0, failed = 0;
function check(what, ok, detail = '') {
  if (ok) ++passed; else ++failed;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  return ok;
}

const press = (page, ...buttons) => buttons.reduce((p, b) => p.then(() => B.padPress(page, 0, b)), Promise.resolve());
const times = (n, button) => new Array(n).fill(button);
const shown = (page, box, colour, count) => B.waitForColour(page, box, colour[0], colour[1], count, SCREEN_MS)
  .then(() => true, () => false);

const server = await B.serve(pageDir);
const browser = await B.launch();
try {
  const {page, errors} = await B.open(browser, server.url + 'index.html', p => B.wrapPads(p, 1));
  let keysOrClicks = 0;
  await page.exposeFunction('__heard', () => ++keysOrClicks);
  await page.evaluate(() => ['keydown', 'mousedown', 'touchstart'].forEach(t => window.addEventListener(t, __heard, true)));
  await B.waitForFileLine(page, LOG, 'Finished Loading', TITLE_MS);
  await B.waitFrames(page, 40);

  for (const view of [{width: 1280, height: 800}, {width: 1280, height: 720}]) {
    await page.setViewport(view);
    await B.waitFrames(page, 3);
    const fit = await B.canvasFit(page, view);
    check(`at ${view.width}x${view.height} the whole picture shows, aspect kept`, fit.fits, fit.detail);
  }
  await page.setViewport(B.VIEWPORT);
  await B.waitFrames(page, 3);

  await press(page, Y, DOWN);  // a button with no use shows the pad; then Medium
  await page.evaluate(b => __press(0, b, 1), A);  // start, and keep jumping
  const over = await shown(page, GAME_OVER, YELLOW, 150);
  await page.evaluate(b => __press(0, b, 0), A);
  check('the pad chose Medium and played it to "Game Over"', over);

  const named = await shown(page, NAME_PROMPT, GREEN, 300) && await shown(page, KEY_A, YELLOW, 500);
  check('name entry shows the on-screen keyboard, its A lit', named);
  await press(page, ...times(6, BUTTON_B));  // "Player" deleted
  await press(page, DOWN, ...times(5, RIGHT), A, UP, ...times(5, LEFT), A, ...times(3, RIGHT), A, START);  // P A D
  await B.waitForFileLine(page, SCORES, '|PAD|', SCREEN_MS).catch(() => {});
  const record = ((await B.readFile(page, SCORES)) || '').split('\r\n')[0].split('|');
  check('scores.dat holds the name typed on the on-screen keyboard, Medium', record[1] === 'PAD' && record[5] === '1',
        record.join('|'));

  await B.waitFrames(page, 40);
  await press(page, RB, X);  // the newest round on the card, and its replay
  const watched = await B.waitForFileLine(page, LOG, `Watching replay /Files/239/round-${record[3]}-${record[0]}-`,
                                          SCREEN_MS).then(() => true, () => false);
  await B.waitFrames(page, 60);
  await press(page, A);  // a start control ends it
  const stopped = await B.waitForFileLine(page, LOG, 'The replay was stopped', SCREEN_MS).then(() => true, () => false);
  check('X on the card watched that record\'s replay, and A stopped it', watched && stopped);

  await B.waitFrames(page, 40);
  await press(page, BACK);
  await B.waitFrames(page, 15);
  await press(page, ...times(8, RIGHT), DOWN, DOWN, LEFT, LEFT, LEFT, BACK);  // to Music: 50 to 35
  const saved = await B.waitForFileLine(page, SETUP, 'Music = 35\r\n', SCREEN_MS).then(() => true, () => false);
  check('Setup.ini holds the music volume the pad lowered', saved, ((await B.readFile(page, SETUP)) || '')
    .split('\r\n').filter(l => /Music/.test(l)).join(' '));
  check('nothing but the pad played: no key, click or touch', keysOrClicks === 0, `${keysOrClicks} heard`);
  check('a clean console', errors.length === 0, errors.slice(0, 5).join(' | '));
} catch (e) {
  check('the pad run went through', false, e.stack || String(e));
} finally {
  await browser.close();
  server.stop();
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
