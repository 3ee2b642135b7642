// test_replays.mjs PAGE-DIR REPLAY-DIR — replays in the page, in headless
// Chromium: the page opened with ?replay-check= plays every golden replay at
// full speed and each reaches its end hash (one line for this build, as the
// other builds print it); and a replay file dropped on the page is watched,
// ends as it was played, and leaves no copy behind.
import {mkdtempSync, readdirSync, readFileSync, symlinkSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import * as B from './browser.mjs';

const [pageDir, replayDir] = process.argv.slice(2).map(p => resolve(p));
let failed = 0;
function check(what, ok, detail = '') {
  console.log(`${ok ? 'ok' : 'FAIL'}: ${what}${detail ? ` (${detail})` : ''}`);
  if (!ok) ++failed;
}

// The page and the replays served side by side.
const served = mkdtempSync(join(tmpdir(), 'wenhod-replays-'));
for (const f of readdirSync(pageDir)) symlinkSync(join(pageDir, f), join(served, f));
symlinkSync(replayDir, join(served, 'replays'));
// Sorted by name, as the unit tests take them, so the digests compare.
const names = readdirSync(replayDir).filter(f => f.endsWith('.replay')).sort();

const server = await B.serve(served);
const browser = await B.launch(mkdtempSync(join(tmpdir(), 'wenhod-chromium-')));
try {
  const list = names.map(n => 'replays/' + n).join(',');
  const {page, log} = await B.open(browser, `${server.url}index.html?replay-check=${list}`);
  const lines = () => log.filter(l => /^\/tmp\/check-\d+\.replay /.test(l));
  await page.waitForFunction(() => true);
  const deadline = Date.now() + 300000;
  while (lines().length < names.length && Date.now() < deadline) await new Promise(r => setTimeout(r, 200));
  let digest = 14695981039346656037n, matched = 0;
  const mask = (1n << 64n) - 1n;
  names.forEach((name, i) => {
    const line = lines().find(l => l.startsWith(`/tmp/check-${i}.replay `)) || '';
    const [, hash, verdict] = line.split(' ');
    if (line.endsWith(' matches')) ++matched;
    else console.log(`${name}: ${line || 'no line'}`);
    digest = ((digest ^ BigInt('0x' + (hash || '0'))) * 1099511628211n) & mask;
    void verdict;
  });
  console.log(`golden replays, page build: ${matched} of ${names.length} match, end hashes ${digest.toString(16).padStart(16, '0')}`);
  check('every golden replay reaches its end in the page', matched === names.length);
  await page.close();

  // A replay dropped on the page is watched.
  const opened = await B.open(browser, server.url + 'index.html');
  await B.waitForFileLine(opened.page, '/Files/Debug.txt', 'Finished Loading', 120000);
  await B.waitFrames(opened.page, 10);
  const bytes = [...readFileSync(join(replayDir, 'hard-quit.replay'))];
  await opened.page.evaluate(b => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(b)], 'hard-quit.replay'));
    document.querySelector('canvas').dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true}));
  }, bytes);
  let ended = true;
  try {
    await B.waitForFileLine(opened.page, '/Files/Debug.txt', '\tThe replay ended as it was played', 120000);
  } catch {
    ended = false;
  }
  check('a replay dropped on the page is watched to its end', ended);
  // Its copy in the page's files goes once it has been watched.
  const left = await opened.page.waitForFunction(() => !Module.FS.readdir('/tmp').some(f => f.startsWith('dropped-')),
                                                 {timeout: 30000, polling: 100}).then(() => [], async () =>
    opened.page.evaluate(() => Module.FS.readdir('/tmp').filter(f => f.startsWith('dropped-'))));
  check('the dropped file is removed from the page\'s /tmp once watched', ended && left.length === 0, left.join(', '));
} finally {
  await browser.close();
  server.stop();
}
process.exit(failed ? 1 : 0);
