// The page's start and end: the wasm, carried as a data block (web/page.html), handed
// to Emscripten's runtime; the window set up in the order that puts the figure on
// screen first; the site kept for use offline; and every way the lesson stops (終了,
// a failure, a browser without wasm) ending in one panel that says why.
/* global Built, Canvas, Core, Corner, InkLayer, Keep, Row, Stage */

const Boot = {
  started: false,

  bytesOf(base64) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(base64);
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes;
  },

  block(id) { return document.getElementById(id).textContent; },

  // Every call into the program goes through here: whatever fails inside it ends the
  // page with a message, never a frozen board. Hands back what `f` returns, or false.
  guard(f) {
    try {
      return f();
    } catch (e) {
      Boot.fail(e);
      return false;
    }
  },

  // The stage put away for the panel that says why, with a way to start again.
  showPanel(message, detail) {
    const byId = id => document.getElementById(id);
    byId('stage').hidden = true;
    byId('ended-message').textContent = message;
    byId('ended-detail').textContent = detail;
    byId('ended').hidden = false;
    if (document.hasFocus()) byId('again').focus();
  },

  // "終了": the window closes if the browser lets the page close it; otherwise the
  // page stops and says so.
  end() {
    window.close();
    Boot.showPanel('終了しました', '');
  },

  // The program could not start, or stopped (its memory ran out, a fault).
  fail(reason) {
    if (!document.getElementById('ended')?.hidden) return;
    console.error('parallel-lines:', reason);
    if (Boot.started)
      Boot.showPanel('問題が起きたため、止まりました', Keep.area
        ? 'もう一度始めると、最後に残った板書に戻ります。'
        : '書いたものは消えました。もう一度始めてください。');
    else
      Boot.showPanel('このブラウザでは動きませんでした',
                     '新しい Chrome、Edge、Safari か Firefox で開いてください。');
  },

  start() {
    document.getElementById('again')?.addEventListener('click', () => location.reload());
    document.getElementById('stage').hidden = false;
    const v = Stage.viewport = Stage.measure();
    const resumed = Core.start(v.w, v.h, v.ratio, Keep.open());
    Keep.opened();  // (a page opened in the background paints no frame yet)
    Boot.started = true;
    Corner.listen();
    Keep.start(resumed);
    Stage.paints++;  // the first frame is painted as the window is placed
    // When the figure reaches the screen: the frame after it was drawn. The tool row
    // follows it.
    requestAnimationFrame(() => {
      performance.mark('figure');
      Row.attach();
      if (document.hasFocus() && document.activeElement === document.body) Stage.focusFirst();
    });
    Stage.listen();
    // An embedding page (a learning platform) keeps its own focus.
    if (document.hasFocus()) Stage.focusFirst();
    // The ink raster is made and the letter pictures decoded once the figure is on
    // screen, and the board is painted again with the letters: the lines must not wait.
    requestAnimationFrame(() => setTimeout(() => {
      InkLayer.make();
      Canvas.decodePictures(JSON.parse(Boot.block('pictures'))).then(() => {
        Boot.guard(() => Core.repaint());
        Stage.requestFrame();
        Boot.keepForOffline();
      }, Boot.fail);
    }));
  },

  // The site (the page with a manifest; never the single file) keeps itself on the
  // device for use with no network, once the lesson is on screen, and asks that the
  // browser not clear it after days unused. A refusal changes nothing for the lesson.
  keepForOffline() {
    if (!document.querySelector('link[rel="manifest"]') || !navigator.serviceWorker) return;
    // The one address a script may give as a worker's, vouched for by the site's policy.
    const types = window.trustedTypes;
    const worker = types
        ? types.createPolicy(Built.workerPolicy, { createScriptURL: () => 'sw.js' }).createScriptURL('sw.js')
        : 'sw.js';
    navigator.serviceWorker.register(worker).catch(() => { /* a lesson with no offline copy */ });
    navigator.storage?.persisted?.().then(kept => kept || navigator.storage.persist()).catch(() => {});
  },
};

// The program's runtime reads this as it starts.
var Module = {
  wasmBinary: Boot.bytesOf(Boot.block('wasm')),
  // The module is small: compiled at once, on this thread, where the browser allows
  // it, so the figure waits for no compiler thread and is drawn before the page's
  // first frame. A browser that will not (an old limit on the module's size) compiles
  // it as usual, and one that refuses wasm altogether says so.
  instantiateWasm(imports, ready) {
    try {
      const instance = new WebAssembly.Instance(new WebAssembly.Module(Module.wasmBinary), imports);
      ready(instance);
      return instance.exports;
    } catch {
      WebAssembly.instantiate(Module.wasmBinary, imports).then(r => ready(r.instance, r.module), Boot.fail);
      return {};
    }
  },
  onRuntimeInitialized: () => Boot.guard(Boot.start),
  onAbort: what => Boot.fail(what),
  print: text => console.log(text),
  printErr: text => console.error(text),
};
