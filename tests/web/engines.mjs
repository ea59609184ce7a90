// The browsers the page is checked in, behind one small interface, so that each check
// is written once: Debian's Chromium and Firefox ESR through puppeteer-core (the
// DevTools protocol and WebDriver BiDi), and WebKitGTK through its WebDriver (see
// webkit.mjs). No browser is downloaded: each is the one Debian installs.
//
// An engine opens tabs at a viewport size and a device pixel ratio. A tab goes to a
// page, runs script in it, takes screenshots (decoded, in device pixels), and sends
// real input: a mouse, keys, and where the driver can, fingers (several at once), a
// pen, another pixel ratio, and the tab put away for a moment. What a driver cannot
// send is named in `cannot`, with the reason, so a check skips it aloud.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import puppeteer from 'puppeteer-core';
import { PNG } from 'pngjs';

export const ENGINE = process.env.PL_ENGINE || 'chromium';

// The same quiet, closed-network start the machine's Chromium needs.
const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
                       '--disable-component-update', '--disable-sync', '--no-first-run'];

const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

class PuppeteerTab {
  constructor(page, dpr) {
    this.page = page;
    this.dpr = dpr;
    this.logged = [];  // errors the page logged
    this.requests = [];
    page.on('request', r => this.requests.push(r.url()));
    page.on('pageerror', e => this.logged.push(e.message));
    page.on('console', m => { if (m.type() === 'error') this.logged.push(m.text()); });
    const mouse = page.mouse;
    this.mouse = {
      move: (x, y) => mouse.move(x, y),
      down: (button = 'left') => mouse.down({ button }),
      up: (button = 'left') => mouse.up({ button }),
    };
    const t = page.touchscreen;
    this.touch = { start: (x, y) => t.touchStart(x, y), move: (x, y) => t.touchMove(x, y), end: () => t.touchEnd() };
    // Fingers by number, each down, moved and lifted on its own, several at once.
    const down = new Map();
    this.fingers = {
      down: async (id, x, y) => down.set(id, await t.touchStart(x, y)),
      move: (id, x, y) => down.get(id).move(x, y),
      up: async id => { const f = down.get(id); down.delete(id); await f.end(); },
    };
    this.keyboard = {
      press: key => page.keyboard.press(key),
      down: key => page.keyboard.down(key),
      up: key => page.keyboard.up(key),
    };
  }
  // The viewport, and the pixel ratio too where given (a move to another screen, or
  // a zoom).
  setViewport(width, height, dpr = this.dpr) {
    if (this.size && (this.size[0] !== width || this.size[1] !== height || dpr !== this.dpr)) this.changed = true;
    this.size ??= [width, height];
    this.dpr = dpr;
    return this.page.setViewport({ width, height, deviceScaleFactor: dpr });
  }
  // The tab put away for a moment behind another, and brought back: the page is
  // hidden and loses the focus.
  async away() {
    const other = await this.page.browser().newPage();
    await other.bringToFront();
    await new Promise(r => setTimeout(r, 50));
    await other.close();
    await this.page.bringToFront();
  }
  goto(url) { return this.page.goto(url, { waitUntil: 'load' }); }
  // Every page process of this tab's browser killed, as the system kills them (in
  // Firefox: the content processes its fork server started for tabs).
  async killPages() {
    this.changed = true;
    const rows = execFileSync('ps', ['-e', '-o', 'pid=,ppid=,args=']).toString().trim().split('\n')
        .map(l => l.trim().match(/^(\d+)\s+(\d+)\s+(.*)$/)).filter(Boolean)
        .map(([, pid, ppid, args]) => ({ pid: Number(pid), ppid: Number(ppid), args }));
    const mine = new Set([this.page.browser().process().pid]);
    for (let grew = true; grew;) {
      grew = false;
      for (const r of rows) if (mine.has(r.ppid) && !mine.has(r.pid)) { mine.add(r.pid); grew = true; }
    }
    const pages = rows.filter(r => mine.has(r.pid) && / tab$/.test(r.args));
    if (!pages.length) throw new Error('no page process to kill');
    for (const r of pages) process.kill(r.pid, 'SIGKILL');
    await new Promise(r => setTimeout(r, 200));
  }
  // A script that runs in every page this tab opens, before the page's own.
  beforeScripts(f) {
    this.changed = true;
    return this.page.evaluateOnNewDocument(f);
  }
  evaluate(f, ...args) { return this.page.evaluate(f, ...args); }
  frames() { return this.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))); }
  waitFor(f, ...args) { return this.page.waitForFunction(f, { timeout: 15000 }, ...args); }
  // Waits in the page's `index`-th frame.
  waitInFrame(index, f) { return this.page.mainFrame().childFrames()[index].waitForFunction(f, { timeout: 15000 }); }
  async screenshot(clip) {
    return PNG.sync.read(await this.page.screenshot({ type: 'png', clip }));
  }
  async errors() { return [...this.logged]; }
  async clearErrors() { this.logged.length = 0; }
  get closed() { return this.page.isClosed(); }
  // A tab as it was opened goes back to its engine for the next check at its size; one
  // a check changed (emulation, scripts) is closed.
  async close() {
    if (this.page.isClosed()) return;
    if (this.changed) return this.page.close();
    await this.page.goto('about:blank');
    this.logged.length = 0;
    this.requests.length = 0;
    this.release(this);
  }
}

class ChromiumTab extends PuppeteerTab {
  constructor(page, dpr) {
    super(page, dpr);
    // Fingers through the DevTools' own touch events, which can also cancel them (a
    // gesture the system takes): every finger down is in each event.
    const down = new Map();
    const send = type => this.cdp('Input.dispatchTouchEvent',
                                  { type, touchPoints: [...down].map(([id, [x, y]]) => ({ id, x, y })) });
    this.fingers = {
      down: (id, x, y) => { down.set(id, [x, y]); return send('touchStart'); },
      move: (id, x, y) => { down.set(id, [x, y]); return send('touchMove'); },
      up: id => { down.delete(id); return send('touchEnd'); },
      cancel: () => { down.clear(); return send('touchCancel'); },
    };
  }
  async cdp(method, params) {
    this.session ??= await this.page.createCDPSession();
    return this.session.send(method, params);
  }
  // Moves sent without waiting for each, so that they arrive in a burst, as a fast pen
  // gives them, and the browser coalesces them into fewer events.
  async burstOfMoves(points) {
    const session = await this.page.createCDPSession();
    await Promise.all(points.map(([x, y]) => session.send('Input.dispatchMouseEvent',
        { type: 'mouseMoved', x, y, button: 'left', buttons: 1 })));
    await session.detach();
  }
  async pen(kind, x, y) {
    const session = await this.page.createCDPSession();
    const type = { down: 'mousePressed', move: 'mouseMoved', up: 'mouseReleased' }[kind];
    await session.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', buttons: kind === 'up' ? 0 : 1,
                                                     clickCount: 1, pointerType: 'pen' });
    await session.detach();
  }
  pdf() { return this.page.pdf({ printBackground: true }); }
  // The page frozen, as a Chromebook freezes a hidden tab under memory pressure before
  // discarding it: the page hears `freeze` and is hidden.
  freeze() {
    this.changed = true;
    return this.cdp('Page.setWebLifecycleState', { state: 'frozen' });
  }
  // Every page process of this tab's browser killed, as the system kills them: the
  // tab shows its crash, and the next page it opens runs in a new process.
  async killPages() {
    this.changed = true;
    const session = await this.page.browser().target().createCDPSession();
    const { processInfo } = await session.send('SystemInfo.getProcessInfo');
    await session.detach();
    const pages = processInfo.filter(p => p.type === 'renderer');
    if (!pages.length) throw new Error('no page process to kill');
    for (const p of pages) process.kill(p.id, 'SIGKILL');
    await new Promise(r => setTimeout(r, 200));
  }
  // The accessibility tree as a screen reader is handed it.
  accessibilityTree() { return this.page.accessibility.snapshot({ interestingOnly: true }); }
  // axe-core's violations of the WCAG 2.0 to 2.2 A and AA rules and its best practice.
  // (Its script is handed in through DevTools, past the page's policy, which lets no
  // other script run.)
  async axe() {
    await this.page.evaluate(readFileSync(AXE, 'utf8'));
    return this.page.evaluate(() => axe.run(document, {
      runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'] },
    }).then(r => r.violations.map(v => ({ id: v.id, nodes: v.nodes.map(n => n.target.join(' ')) }))));
  }
  async installabilityErrors() {
    const session = await this.page.createCDPSession();
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    await session.detach();
    return installabilityErrors;
  }
  async emulateForcedColors() {
    this.changed = true;
    // (puppeteer's own list of media features does not have this one yet.)
    const session = await this.page.createCDPSession();
    await session.send('Emulation.setEmulatedMedia', { features: [{ name: 'forced-colors', value: 'active' }] });
  }
  scriptsOff() {
    this.changed = true;
    return this.page.setJavaScriptEnabled(false);
  }
}

class PuppeteerEngine {
  constructor(name, launch, Tab, cannot) {
    this.name = name;
    this.launchFor = launch;
    this.Tab = Tab;
    this.cannot = cannot;
    this.browsers = new Map();  // by device pixel ratio
    this.idle = new Map();  // tabs to use again, by size
  }
  async browser(dpr) {
    if (!this.browsers.has(dpr)) this.browsers.set(dpr, this.launchFor(dpr));
    return this.browsers.get(dpr);
  }
  async open({ width, height, dpr = 1 }) {
    const key = `${width}x${height}@${dpr}`;
    const idle = this.idle.get(key);
    if (idle?.length) {
      const tab = idle.pop();
      await tab.page.bringToFront();  // a tab behind another gets no animation frames
      return tab;
    }
    const page = await (await this.browser(dpr)).newPage();
    const tab = new this.Tab(page, dpr);
    tab.release = t => this.idle.set(key, [...(this.idle.get(key) || []), t]);
    await tab.setViewport(width, height);
    return tab;
  }
  async close() {
    for (const b of this.browsers.values()) await (await b).close();
    this.browsers.clear();
    this.idle.clear();
  }

  // The process that the browser at `dpr` runs under, for measuring its CPU.
  async rootPid(dpr = 1) { return (await this.browser(dpr)).process().pid; }
}

function chromium(profile) {
  const engine = new PuppeteerEngine('chromium', dpr => puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [...CHROMIUM_ARGS, `--force-device-scale-factor=${dpr}`],
    userDataDir: profile,
  }), ChromiumTab, {});
  // The same browser with a profile of its own that outlives it: started, closed and
  // started again, it keeps what a site stored.
  engine.withProfile = dir => chromium(dir);
  return engine;
}

function firefox(profile) {
  const engine = new PuppeteerEngine('firefox', dpr => puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    headless: true,
    extraPrefsFirefox: { 'layout.css.devPixelsPerPx': String(dpr) },
    userDataDir: profile,
  }), PuppeteerTab, {
    pen: 'WebDriver BiDi has no pen input in Firefox',
    burstOfMoves: 'WebDriver BiDi waits for each input action, so moves never come in a burst',
    pdf: 'the check reads a Chromium print',
    forcedColors: 'Firefox cannot emulate forced colours through BiDi',
    accessibilityTree: "the accessibility tree is read in Chromium, through DevTools",
    axe: "axe-core's rules read the document alike in every engine: they run in Chromium",
    scriptsOff: 'Firefox cannot turn scripts off through BiDi',
    site: 'the site is checked in Chromium, whose DevTools tell installability',
    touchCancel: 'WebDriver BiDi has no way to cancel a touch',
    freeze: "freezing a page is Chromium's (its DevTools' lifecycle states)",
  });
  engine.withProfile = dir => firefox(dir);
  return engine;
}

export async function startEngine(name = ENGINE) {
  if (name === 'chromium') return chromium();
  if (name === 'firefox') return firefox();
  if (name === 'webkit') return (await import('./webkit.mjs')).webkit();
  throw new Error(`no engine called ${name}`);
}
