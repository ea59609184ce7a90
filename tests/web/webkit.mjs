// WebKitGTK, the engine of Safari, through Debian's WebKitWebDriver (W3C WebDriver over
// HTTP), which starts MiniBrowser. It needs an X display (run.sh gives it Xvfb) and
// takes its device pixel ratio from GDK_SCALE, so each ratio has its own driver.
//
// What its driver cannot do, found by trying: touch arrives as a mouse; a right or
// middle button sent through it stays held for the rest of the session, so a right
// press is a real X press through xdotool instead; coordinates are whole CSS pixels;
// there is no console log, no print, no forced colours and no network log.
import { execFileSync, spawn } from 'node:child_process';
import { PNG } from 'pngjs';

const BROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
let nextPort = 4470 + (process.pid % 200) * 2;

const sleep = ms => new Promise(r => setTimeout(r, ms));

// One driver and its browser session (a single window).
class Session {
  static async start(dpr) {
    if (!process.env.DISPLAY) throw new Error('WebKit needs an X display: run it under Xvfb (see run.sh)');
    const port = nextPort++;
    // In a process group of its own, so that ending it ends the browser and its page
    // processes too, even when the driver has lost them.
    const driver = spawn('WebKitWebDriver', [`--port=${port}`],
                         { env: { ...process.env, GDK_SCALE: String(dpr) }, stdio: ['ignore', 'ignore', 'pipe'],
                           detached: true });
    const session = new Session(port, driver, dpr);
    // What the driver and its browser last printed, for a failure to say why.
    driver.stderr.setEncoding('utf8');
    driver.stderr.on('data', text => { session.said = (session.said + text).slice(-4000); });
    driver.stderr.unref();
    driver.unref();
    for (let i = 0; ; i++) {
      try {
        await session.send('GET', '/status');
        break;
      } catch (e) {
        if (i > 100) throw e;
        await sleep(50);
      }
    }
    const created = await session.send('POST', '/session', { capabilities: { alwaysMatch: {
      browserName: 'MiniBrowser',
      // Errors on file:// pages keep their messages.
      'webkitgtk:browserOptions': { binary: BROWSER, args: ['--automation', '--allow-file-access-from-file-urls=true'] },
    } } });
    session.id = created.sessionId;
    return session;
  }

  constructor(port, driver, dpr) {
    this.base = `http://127.0.0.1:${port}`;
    this.driver = driver;
    this.dpr = dpr;
    this.said = '';
  }

  async send(method, path, body, wait = 60000) {
    const url = this.base + (this.id && path !== '/status' ? `/session/${this.id}${path}` : path);
    // A driver that stops answering is a failure to report, not a wait without end.
    const response = await fetch(url, {
      method, headers: { 'content-type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
      signal: AbortSignal.timeout(wait),
    }).catch(e => { throw new Error(`WebKit: no answer to ${method} ${path}: ${e.message}`); });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebKit: ${value.error}: ${value.message}`);
    return value;
  }

  // Whether the browser still answers. When the browser or its last page process dies,
  // the driver ends the session and refuses every command after.
  async alive() {
    try {
      await this.send('GET', '/window', undefined, 10000);
      return true;
    } catch {
      return false;
    }
  }

  async close() {
    try {
      await this.send('DELETE', '', undefined, 10000);
    } catch {
      // A browser that has gone cannot be asked to close.
    } finally {
      try { process.kill(-this.driver.pid, 'SIGKILL'); } catch { /* already gone */ }
    }
  }
}

const KEYS = { Tab: '\uE004', Shift: '\uE008', Control: '\uE009', Meta: '\uE03D', Enter: '\uE007', Escape: '\uE00C', ' ': '\uE00D',
               PageUp: '\uE00E', PageDown: '\uE00F', ArrowLeft: '\uE012', ArrowUp: '\uE013',
               ArrowRight: '\uE014', ArrowDown: '\uE015' };

class WebKitTab {
  constructor(engine, session) {
    this.engine = engine;
    this.session = session;
    this.dpr = session.dpr;
    this.at = [0, 0];
    this.generation = 0;  // anything sent since the last screenshot makes it stale
    this.shot = null;
    const act = (type, id, actions) => this.act([{ type, id, parameters: type === 'pointer' ? { pointerType: id } : undefined, actions }]);
    this.mouse = {
      move: (x, y) => { this.at = [x, y]; return act('pointer', 'mouse', [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' }]); },
      down: (button = 'left') => button === 'left' ? act('pointer', 'mouse', [{ type: 'pointerDown', button: 0 }]) : this.xButton(button, 'mousedown'),
      up: (button = 'left') => button === 'left' ? act('pointer', 'mouse', [{ type: 'pointerUp', button: 0 }]) : this.xButton(button, 'mouseup'),
    };
    const key = (type, k) => act('key', 'keyboard', [{ type, value: KEYS[k] || k }]);
    this.keyboard = {
      press: async k => { await key('keyDown', k); await key('keyUp', k); },
      down: k => key('keyDown', k),
      up: k => key('keyUp', k),
    };
  }

  act(actions) {
    this.generation++;
    return this.session.send('POST', '/actions', { actions });
  }

  pen(kind, x, y) {
    const step = { down: { type: 'pointerDown', button: 0 }, up: { type: 'pointerUp', button: 0 },
                   move: { type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' } }[kind];
    return this.act([{ type: 'pointer', id: 'pen', parameters: { pointerType: 'pen' }, actions: [step] }]);
  }

  // A real X press and release of the right or middle button where the mouse is.
  async xButton(button, what) {
    const [x, y] = this.at;
    const { winX, winY, toolbar } = await this.window();
    const X = Math.round(winX + x * this.dpr), Y = Math.round(winY + toolbar + y * this.dpr);
    execFileSync('xdotool', ['mousemove', String(X), String(Y), what, button === 'right' ? '3' : '2']);
    this.generation++;
    await sleep(100);  // X input reaches the page a moment later
  }

  // Where the browser's window stands on the X screen, and how tall its toolbar is, in
  // device pixels.
  // (Only a window on screen is the browser's: a window being torn down may still
  // answer a search, and an X call on it would hang.)
  async windowId() {
    return execFileSync('xdotool', ['search', '--onlyvisible', '--all', '--pid', String(await this.browserPid()),
                                    '--name', '.'], { timeout: 5000 })
        .toString().trim().split('\n').pop();
  }

  async window() {
    const id = await this.windowId();
    execFileSync('xdotool', ['windowraise', id]);
    const geometry = execFileSync('xdotool', ['getwindowgeometry', '--shell', id]).toString();
    const field = name => Number(geometry.match(new RegExp(`${name}=(\\d+)`))[1]);
    const inner = await this.evaluate(() => innerHeight);
    return { winX: field('X'), winY: field('Y'), toolbar: field('HEIGHT') - inner * this.dpr };
  }

  async browserPid() {
    if (!this.pid) this.pid = execFileSync('pgrep', ['-P', String(this.session.driver.pid), '-f', 'MiniBrowser']).toString().trim().split('\n')[0];
    return this.pid;
  }

  // The browser's window takes the X input focus, as a window a user opened has it.
  async focusWindow() {
    execFileSync('xdotool', ['windowfocus', '--sync', await this.windowId()], { timeout: 5000 });
  }

  // The window sized so that its viewport is width x height, whatever its toolbar
  // takes. The page sees a resize a moment after the driver answers: each try waits
  // for it, then measures again.
  async setViewport(width, height, dpr = this.dpr) {
    if (dpr !== this.dpr) throw new Error('WebKit: the pixel ratio is fixed for a session');
    this.size = [width, height];
    const inner = () => this.evaluate(() => [innerWidth, innerHeight]);
    let [w, h] = await inner();
    for (let i = 0; i < 4 && (w !== width || h !== height); i++) {
      const rect = await this.session.send('GET', '/window/rect');
      await this.session.send('POST', '/window/rect',
                              { x: 0, y: 0, width: rect.width + width - w, height: rect.height + height - h });
      await this.waitFor((w0, h0) => innerWidth !== w0 || innerHeight !== h0, w, h).catch(() => {});
      await this.frames();
      [w, h] = await inner();
    }
    if (w !== width || h !== height) throw new Error(`WebKit: a viewport of ${w} x ${h}, not ${width} x ${height}`);
    await this.frames();
    await this.focusWindow();
  }

  async goto(url) {
    this.generation++;
    const first = !this.navigated;
    this.navigated = true;
    try {
      await this.session.send('POST', '/url', { url });
    } catch (e) {
      // Now and then, on a loaded machine, MiniBrowser dies as a page is loaded in the
      // window a closed check left, and the driver's session with it. A tab's first
      // page has nothing to keep, so it is opened in a new browser; later loads, which
      // may count on what the page stored, still fail.
      if (!first || await this.session.alive()) throw e;
      const said = this.session.said.trim();
      console.error(`WebKit: the browser died as the page was opened (${e.message}); opening it ` +
                    `in a new one.${said ? `\nThe driver last said:\n${said}` : ''}`);
      this.session = await this.engine.restart(this.session);
      this.pid = undefined;
      await this.setViewport(...this.size);
      await this.session.send('POST', '/url', { url });
    }
    // No console to read: the page's own errors are kept where a check can ask.
    await this.evaluate(() => {
      window.__errors = [];
      addEventListener('error', e => window.__errors.push(e.message));
      addEventListener('unhandledrejection', e => window.__errors.push(String(e.reason)));
      addEventListener('securitypolicyviolation', e => window.__errors.push(`policy: ${e.violatedDirective}`));
    });
  }

  async evaluate(f, ...args) {
    this.generation++;
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve((${f}).apply(null, Array.from(arguments).slice(0, -1)))
        .then(v => done({ value: v === undefined ? null : v }), e => done({ error: String(e && e.stack || e) }));`;
    const result = await this.session.send('POST', '/execute/async', { script, args });
    if (result.error) throw new Error(result.error);
    return result.value;
  }

  // Two animation frames, leaving the last screenshot good.
  async frames() {
    const generation = this.generation;
    await this.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r))));
    this.generation = generation;
  }

  async waitFor(f, ...args) {
    for (const start = Date.now(); Date.now() - start < 15000; await sleep(50))
      if (await this.evaluate(f, ...args)) return;
    throw new Error(`timed out waiting for ${f}`);
  }

  async waitInFrame(index, f) {
    await this.session.send('POST', '/frame', { id: index });
    try { await this.waitFor(f); } finally { await this.session.send('POST', '/frame/parent', {}); }
  }

  // Its driver gives the whole viewport only: one screenshot serves every clip until
  // something is sent.
  async screenshot({ x, y, width, height }) {
    if (!this.shot || this.shot.generation !== this.generation) {
      const png = PNG.sync.read(Buffer.from(await this.session.send('GET', '/screenshot'), 'base64'));
      this.shot = { png, generation: this.generation };
    }
    const { png } = this.shot;
    const k = this.dpr;
    const x0 = Math.max(0, Math.round(x * k)), y0 = Math.max(0, Math.round(y * k));
    const w = Math.max(1, Math.min(png.width - x0, Math.round(width * k)));
    const h = Math.max(1, Math.min(png.height - y0, Math.round(height * k)));
    const out = new PNG({ width: w, height: h });
    PNG.bitblt(png, out, x0, y0, w, h, 0, 0);
    return out;
  }

  async errors() { return this.evaluate(() => window.__errors || []); }
  async clearErrors() { await this.evaluate(() => { window.__errors = []; }); }

  get closed() { return false; }  // a page cannot close this window
  async close() { this.session.busy = false; }
}

class WebKitEngine {
  name = 'webkit';
  cannot = {
    touch: "WebKit's driver turns touch into mouse input",
    pen: "WebKit's driver loses a pen's moves and its release",
    burstOfMoves: 'WebDriver sends each move and waits for it',
    pdf: "WebKit's driver cannot print",
    forcedColors: 'WebKitGTK cannot emulate forced colours',
    accessibilityTree: "the accessibility tree is read in Chromium, through DevTools",
    axe: "axe-core's rules read the document alike in every engine: they run in Chromium",
    scriptsOff: "scripts go off only for a whole browser session in WebKit's driver",
    site: 'the site is checked in Chromium, whose DevTools tell installability',
    pixelRatio: "WebKit's pixel ratio is fixed for a driver's session (GDK_SCALE)",
    away: "a tab opened and closed beside the page now and then crashes MiniBrowser's page under its driver",
    touchCancel: "WebKit's driver turns touch into mouse input",
    beforeScripts: "WebKit's driver cannot run a script before the page's own",
    killPages: "WebKit's driver cannot list the browser's processes",
    freeze: "freezing a page is Chromium's (its DevTools' lifecycle states)",
    secondTab: "WebKit's driver drives one window, with one tab",
  };
  sessions = new Map();  // by device pixel ratio

  async open({ width, height, dpr = 1 }) {
    if (!this.sessions.has(dpr)) this.sessions.set(dpr, Session.start(dpr));
    let session = await this.sessions.get(dpr);
    if (session.busy) throw new Error('WebKit has one window per pixel ratio: close the last tab first');
    // A browser that died under an earlier check is replaced, not failed on again.
    if (!await session.alive()) session = await this.restart(session);
    session.busy = true;
    const tab = new WebKitTab(this, session);
    try {
      await tab.setViewport(width, height);
    } catch (e) {
      session.busy = false;
      throw e;
    }
    return tab;
  }

  // A new browser at the pixel ratio of one that has gone.
  async restart(session) {
    await session.close();
    const fresh = Session.start(session.dpr);
    this.sessions.set(session.dpr, fresh);
    (await fresh).busy = session.busy;
    return fresh;
  }

  async close() {
    for (const s of this.sessions.values()) await (await s).close();
    this.sessions.clear();
  }

  // The driver, whose children are the browser and its processes.
  async rootPid(dpr = 1) { return (await this.sessions.get(dpr)).driver.pid; }
}

export function webkit() { return new WebKitEngine(); }
