// The page in headless Chromium.
//   node page_test.js SITE OUT
// SITE is build-web/, served here from 127.0.0.1. Writes the screenshots of
// a stopped clock for each size, ratio and style into OUT (OUT/shots.txt
// lists them for the label comparison), then checks a new size and ratio,
// the mouse, what a reload keeps, the offline copy, bad options and a
// throwing localStorage.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const { Browser, waitFor } = require('./chromium.js');

const [site, out] = process.argv.slice(2);
const AT = '2026-12-09T10:08:30';
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.woff2': 'font/woff2', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };

let failures = 0;
let passes = 0;
function check(name, ok, detail = '') {
  if (ok) {
    passes++;
  } else {
    failures++;
    console.log(`FAIL: ${name}${detail ? ': ' + detail : ''}`);
  }
}

function serve(root) {
  const server = http.createServer((request, response) => {
    const file = path.join(path.resolve(root), decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!file.startsWith(path.resolve(root)) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The canvas's pixels as a data URL: two equal ones show the same face.
const canvasPicture = (page) => page.evaluate("document.getElementById('face').toDataURL()");

async function shots(browser, base) {
  const lines = [];
  for (const [width, height] of [[1280, 800], [1920, 1080]]) {
    for (const ratio of [1, 2]) {
      const page = await browser.page(width, height, ratio);
      for (const style of [0, 1, 2]) {
        await page.open(`${base}/orbidial.html?at=${AT}&style=${style}`);
        const size = await page.evaluate("[document.getElementById('face').width, document.getElementById('face').height]");
        check(`canvas at ${width}x${height} ratio ${ratio}`, size[0] === width * ratio && size[1] === height * ratio,
              `${size}`);
        const file = path.join(out, `page-${width}x${height}-r${ratio}-s${style}.png`);
        await page.screenshot(file);
        lines.push(`${file} ${width * ratio}x${height * ratio} ${style} ${ratio}`);
      }
      page.close();
    }
  }
  fs.writeFileSync(path.join(out, 'shots.txt'), lines.join('\n') + '\n');
}

async function mouseAndReload(browser, base) {
  const page = await browser.page(800, 600, 1);
  // No style in the address: the stored one counts after a reload.
  await page.open(`${base}/orbidial.html?at=${AT}`);
  check('the default style', await page.evaluate('orbidial.style()') === 1);
  check('the theme of the weekday', await page.evaluate('orbidial.theme()') === 3);
  const before = await canvasPicture(page);
  let frames = await page.evaluate('orbidial.frames()');
  await page.mouse('mousePressed', 400, 300, { button: 'right', clickCount: 1 });
  await page.mouse('mouseReleased', 400, 300, { button: 'right', clickCount: 1 });
  await waitFor('the frame after the right click', () => page.evaluate(`orbidial.frames() > ${frames}`));
  check('the right button steps the style', await page.evaluate('orbidial.style()') === 2);
  check('the new style shows', await canvasPicture(page) !== before);
  frames = await page.evaluate('orbidial.frames()');
  await page.mouse('mouseWheel', 400, 300, { deltaX: 0, deltaY: -100 });
  await waitFor('the frame after the wheel', () => page.evaluate(`orbidial.frames() > ${frames}`));
  check('the wheel forward steps the theme', await page.evaluate('orbidial.theme()') === 4);
  await page.mouse('mouseWheel', 400, 300, { deltaX: 0, deltaY: 300 });
  check('the wheel back steps it back', await page.evaluate('orbidial.theme()') === 3);
  await page.mouse('mouseWheel', 400, 300, { deltaX: 0, deltaY: 300 });
  check('and on', await page.evaluate('orbidial.theme()') === 2);
  await page.reload();
  check('a reload keeps the style', await page.evaluate('orbidial.style()') === 2);
  check('a reload keeps the theme', await page.evaluate('orbidial.theme()') === 2);
  // The address names the style: it wins over the stored one.
  await page.open(`${base}/orbidial.html?at=${AT}&style=0&theme=5`);
  check('the address wins', await page.evaluate('[orbidial.style(), orbidial.theme()].join()') === '0,5');
  page.close();
}

// A new window size or pixel ratio lays the face out again: the same
// picture as a page opened at that size.
async function resize(browser, base) {
  const page = await browser.page(800, 600, 1);
  const url = `${base}/orbidial.html?at=${AT}&style=1`;
  await page.open(url);
  const frames = await page.evaluate('orbidial.frames()');
  await page.send('Emulation.setDeviceMetricsOverride', { width: 1024, height: 700, deviceScaleFactor: 2, mobile: false });
  await waitFor('the frame at the new size', () => page.evaluate(
    `document.getElementById('face').width === 2048 && orbidial.frames() > ${frames}`));
  const resized = await canvasPicture(page);
  const fresh = await browser.page(1024, 700, 2);
  await fresh.open(url);
  check('a resized page shows the face of its new size', resized === await canvasPicture(fresh));
  fresh.close();
  page.close();
}

async function badOptions(browser, base) {
  const page = await browser.page(640, 400, 1);
  for (const query of ['style=7&color=2&theme=9&at=yesterday', 'style=-1&theme=x&at=2026-02-30T10:00:00',
                       'style=1.5&theme=07&at=2026-12-09T25:00:00']) {
    await page.open(`${base}/orbidial.html?${query}`);
    check(`${query}: the default style`, await page.evaluate('orbidial.style()') === 1);
    check(`${query}: the weekday's theme`,
          await page.evaluate('orbidial.theme() === new Date().getDay()'));
    // A live clock: the second ring turns.
    const first = await canvasPicture(page);
    const frames = await page.evaluate('orbidial.frames()');
    await waitFor(`${query}: the next second`, () => page.evaluate(`orbidial.frames() > ${frames}`), 5);
    check(`${query}: the clock runs`, await canvasPicture(page) !== first);
  }
  page.close();
}

async function throwingStorage(browser, base) {
  const page = await browser.page(640, 400, 1);
  await page.send('Page.addScriptToEvaluateOnNewDocument', { source:
    "Object.defineProperty(window, 'localStorage', { get() { throw new DOMException('denied', 'SecurityError'); } });" });
  await page.open(`${base}/orbidial.html`);
  await page.mouse('mousePressed', 10, 10, { button: 'right', clickCount: 1 });
  await page.mouse('mouseReleased', 10, 10, { button: 'right', clickCount: 1 });
  check('without localStorage the right button works', await page.evaluate('orbidial.style()') === 2);
  const frames = await page.evaluate('orbidial.frames()');
  await waitFor('a frame without localStorage', () => page.evaluate(`orbidial.frames() > ${frames}`), 5);
  page.close();
}

async function offline(browser, server, base) {
  const page = await browser.page(640, 400, 1);
  await page.open(`${base}/orbidial.html?style=0`);
  // Each look gives up after a moment: without a worker "ready" never comes.
  await waitFor('the service worker', () => page.evaluate(
    "Promise.race([navigator.serviceWorker.ready.then((r) => r.active !== null && navigator.serviceWorker.controller !== null), " +
    "new Promise((resolve) => setTimeout(() => resolve(false), 200))])").catch(() => false));
  await new Promise((resolve) => server.close(resolve));
  server.closeAllConnections?.();
  await page.reload();
  check('offline: the fonts', await page.evaluate(
    "document.fonts.check('16px OrbidialKai', '年') && document.fonts.check('16px OrbidialSans', '年')"));
  check('offline: the style of the address', await page.evaluate('orbidial.style()') === 0);
  // The server is gone indeed.
  check('offline: the server is gone', await page.evaluate(`fetch('${base}/none').then(() => false, () => true)`));
  page.close();
}

(async () => {
  fs.mkdirSync(out, { recursive: true });
  const server = await serve(site);
  const base = `http://127.0.0.1:${server.address().port}`;
  const browser = await Browser.launch();
  try {
    // PAGE_TEST_ONLY=name,... runs only those parts (by hand).
    const only = (process.env.PAGE_TEST_ONLY || '').split(',').filter(Boolean);
    const run = (name) => only.length === 0 || only.includes(name);
    if (run('shots')) await shots(browser, base);
    // Before anything is stored.
    if (run('resize')) await resize(browser, base);
    if (run('bad')) await badOptions(browser, base);
    if (run('storage')) await throwingStorage(browser, base);
    if (run('mouse')) await mouseAndReload(browser, base);
    if (run('offline')) await offline(browser, server, base);
  } catch (error) {
    failures++;
    console.log(`FAIL: ${error.stack || error}`);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`web-page: ${passes} passed, ${failures} failed`);
  process.exit(failures ? 1 : 0);
})();
