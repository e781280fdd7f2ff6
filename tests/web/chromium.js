// Headless Chromium driven over its DevTools protocol: start it with a fresh
// profile, open pages, send commands, wait for conditions. Debian's node-ws
// provides the WebSocket (NODE_PATH=/usr/share/nodejs); node's own is taken
// where there is one.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const WebSocketClass = globalThis.WebSocket || require('ws');

const FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-extensions',
  '--hide-scrollbars', '--remote-debugging-port=0', 'about:blank'];

// Waits until `check` returns something other than undefined/false, polling
// every 20 ms, for at most `seconds`.
async function waitFor(what, check, seconds = 15) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const value = await check();
    if (value !== undefined && value !== false && value !== null) return value;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

class Page {
  constructor(socket) {
    this.socket = socket;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    socket.onmessage = (event) => {
      const message = JSON.parse(typeof event.data === 'string' ? event.data : event.data.toString());
      if (message.id && this.pending.has(message.id)) {
        const { resolve, reject } = this.pending.get(message.id);
        this.pending.delete(message.id);
        if (message.error) reject(new Error(`${message.error.message} (${message.error.code})`));
        else resolve(message.result);
      } else if (message.method) {
        for (const listener of this.listeners) listener(message);
      }
    };
  }

  send(method, params = {}) {
    const id = this.nextId++;
    this.socket.send(JSON.stringify({ id, method, params }));
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }

  // The value of a JavaScript expression in the page (promises awaited).
  async evaluate(expression) {
    const result = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (result.exceptionDetails) throw new Error(`${expression}: ${result.exceptionDetails.text}`);
    return result.result.value;
  }

  // Goes to `url` and waits until the page has drawn `frames` frames.
  async open(url, frames = 1) {
    await this.send('Page.navigate', { url });
    await waitFor(`frame ${frames} of ${url}`, () => this.evaluate(
      `document.readyState === 'complete' && window.orbidial !== undefined && orbidial.frames() >= ${frames}`)
      .catch(() => false));
  }

  async reload(frames = 1) {
    // The old document carries a mark the new one never has: its going is
    // seen however quickly the new page sets up its clock.
    await this.evaluate('window.orbidialReloadMark = true');
    await this.send('Page.reload', {});
    await waitFor('the reload', () => this.evaluate('window.orbidialReloadMark === undefined').catch(() => false));
    await waitFor(`frame ${frames} after the reload`, () => this.evaluate(
      `window.orbidial !== undefined && orbidial.frames() >= ${frames}`).catch(() => false));
  }

  async screenshot(file) {
    const shot = await this.send('Page.captureScreenshot', { format: 'png' });
    fs.writeFileSync(file, Buffer.from(shot.data, 'base64'));
  }

  async mouse(type, x, y, extra = {}) {
    await this.send('Input.dispatchMouseEvent', { type, x, y, ...extra });
  }

  close() { this.socket.close(); }
}

class Browser {
  static async launch(extraFlags = []) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orbidial-chromium-'));
    // A process group of its own: Debian's chromium is a script that runs
    // the browser as its child, and the whole group is ended at the close.
    const child = spawn('chromium', [`--user-data-dir=${profile}`, ...extraFlags, ...FLAGS],
                        { stdio: ['ignore', 'ignore', 'pipe'], detached: true });
    let log = '';
    const endpoint = await new Promise((resolve, reject) => {
      child.stderr.on('data', (chunk) => {
        log += chunk;
        const found = /DevTools listening on (ws:\/\/\S+)/.exec(log);
        if (found) resolve(found[1]);
      });
      child.on('exit', (code) => reject(new Error(`chromium ended (${code}): ${log}`)));
    });
    const browser = new Browser(child, profile, new URL(endpoint).port);
    return browser;
  }

  constructor(child, profile, port) {
    this.child = child;
    this.profile = profile;
    this.port = port;
  }

  // A new tab, `width` x `height` CSS pixels at `ratio` device pixels each.
  async page(width, height, ratio) {
    const target = await (await fetch(`http://127.0.0.1:${this.port}/json/new?about:blank`, { method: 'PUT' })).json();
    const socket = new WebSocketClass(target.webSocketDebuggerUrl);
    await new Promise((resolve, reject) => { socket.onopen = resolve; socket.onerror = reject; });
    const page = new Page(socket);
    page.targetId = target.id;
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    await page.send('Emulation.setDeviceMetricsOverride',
                    { width, height, deviceScaleFactor: ratio, mobile: false });
    return page;
  }

  // Process ids of the browser's renderer and GPU processes.
  helperProcesses() {
    const found = { renderer: [], gpu: [] };
    for (const entry of fs.readdirSync('/proc')) {
      if (!/^[0-9]+$/.test(entry)) continue;
      let status, command;
      try {
        status = fs.readFileSync(`/proc/${entry}/status`, 'utf8');
        // Chromium rewrites its helpers' command lines as one string.
        command = fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8').split(/[\0 ]/);
      } catch (e) { continue; }
      const parent = Number(/PPid:\s+([0-9]+)/.exec(status)[1]);
      if (!command.some((a) => a === `--user-data-dir=${this.profile}`) && !this.descends(parent)) continue;
      if (command.includes('--type=renderer')) found.renderer.push(Number(entry));
      if (command.includes('--type=gpu-process')) found.gpu.push(Number(entry));
    }
    return found;
  }

  descends(pid) {
    for (let p = pid, n = 0; p > 1 && n < 8; ++n) {
      if (p === this.child.pid) return true;
      try {
        p = Number(/PPid:\s+([0-9]+)/.exec(fs.readFileSync(`/proc/${p}/status`, 'utf8'))[1]);
      } catch (e) { return false; }
    }
    return false;
  }

  // Whether any process still runs with this browser's profile.
  running() {
    for (const entry of fs.readdirSync('/proc')) {
      if (!/^[0-9]+$/.test(entry)) continue;
      try {
        if (fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8').includes(this.profile)) return true;
      } catch (e) { /* gone */ }
    }
    return false;
  }

  async close() {
    try {
      process.kill(-this.child.pid, 'SIGTERM');
    } catch (e) { /* ended already */ }
    await waitFor('the browser to end', () => !this.running());
    fs.rmSync(this.profile, { recursive: true, force: true });
  }
}

module.exports = { Browser, waitFor };
