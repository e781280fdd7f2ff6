// The page's costs in headless Chromium, served from 127.0.0.1:
//   node measure_web.js BUILD_WEB [MINUTES]
// - the first face after a navigation (ms from the navigation's start, the
//   median of five fresh tabs);
// - the CPU of Chromium's renderer and GPU processes over 60 s of the live
//   page at 1920x1080;
// - the JavaScript heap, after a collection, at the start and after MINUTES
//   (10 unless given) of the live page.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const { Browser, waitFor } = require('../tests/web/chromium.js');

const [site, minutesText] = process.argv.slice(2);
const minutes = Number(minutesText || 10);
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.woff2': 'font/woff2', '.png': 'image/png' };
const ticks = Number(require('child_process').execSync('getconf CLK_TCK'));

function cpuSeconds(pids) {
  let total = 0;
  for (const pid of pids) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      total += (Number(fields[11]) + Number(fields[12])) / ticks;  // utime, stime
    } catch (e) { /* gone */ }
  }
  return total;
}

async function heap(page) {
  await page.send('HeapProfiler.collectGarbage');
  const usage = await page.send('Runtime.getHeapUsage');
  return usage.usedSize;
}

(async () => {
  const root = path.resolve(site);
  const server = http.createServer((request, response) => {
    const file = path.join(root, new URL(request.url, 'http://x').pathname);
    if (!file.startsWith(root) || !fs.existsSync(file)) { response.writeHead(404); response.end(); return; }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const url = `http://127.0.0.1:${server.address().port}/orbidial.html`;

  const firsts = [];
  for (let i = 0; i < 5; ++i) {
    const browser = await Browser.launch();
    const page = await browser.page(1920, 1080, 1);
    await page.open(url);
    firsts.push(await page.evaluate('orbidial.firstFrame()'));
    page.close();
    await browser.close();
  }
  firsts.sort((a, b) => a - b);
  console.log(`first face after navigation: median ${firsts[2].toFixed(0)} ms (${firsts.map((t) => t.toFixed(0)).join(', ')})`);

  const browser = await Browser.launch();
  // The renderers there before the page are the browser's own.
  const before = browser.helperProcesses().renderer;
  const page = await browser.page(1920, 1080, 1);
  await page.send('HeapProfiler.enable');
  await page.open(url, 2);
  const heapStart = await heap(page);
  const processes = browser.helperProcesses();
  const own = processes.renderer.filter((pid) => !before.includes(pid));
  const groups = { 'the page\'s renderer': own, 'the GPU process': processes.gpu,
                   'every renderer and the GPU process': [...processes.renderer, ...processes.gpu] };
  const frames0 = await page.evaluate('orbidial.frames()');
  const cpu0 = Object.fromEntries(Object.entries(groups).map(([name, pids]) => [name, cpuSeconds(pids)]));
  const t0 = Date.now();
  await new Promise((resolve) => setTimeout(resolve, 60000));
  const seconds = (Date.now() - t0) / 1000;
  const frames = await page.evaluate('orbidial.frames()') - frames0;
  console.log(`CPU over ${seconds.toFixed(0)} s live at 1920x1080 (${frames} frames), % of a core:`);
  for (const [name, pids] of Object.entries(groups)) {
    console.log(`  ${name} (${pids.join(',')}): ${(100 * (cpuSeconds(pids) - cpu0[name]) / seconds).toFixed(2)}`);
  }
  // The heap once a minute: a leak grows it steadily.
  const series = [heapStart];
  for (let minute = 2; minute <= minutes; ++minute) {
    const rest = minute * 60000 - (Date.now() - t0);
    if (rest > 0) await new Promise((resolve) => setTimeout(resolve, rest));
    series.push(await heap(page));
  }
  console.log(`JavaScript heap each minute (KB): ${series.map((b) => (b / 1024).toFixed(0)).join(' ')}`);
  const heapEnd = series[series.length - 1];
  const allFrames = await page.evaluate('orbidial.frames()');
  console.log(`JavaScript heap after a collection: ${(heapStart / 1024).toFixed(0)} KB at the start, ` +
              `${(heapEnd / 1024).toFixed(0)} KB after ${minutes} min (${allFrames} frames)`);
  page.close();
  await browser.close();
  server.close();
  await waitFor('nothing', () => true);
})();
