// The board kept for its tab, in the browser's storage: what the program's record says
// is written after each change (the program coalesces them and never cuts a stroke in
// two), and at once when the page is hidden, put away or frozen, so that a reload, a
// tab the browser discarded or a page process the system killed brings the board back.
// A record is a head, rewritten at each save, and the blocks of writing it names, each
// stored once under its name: a save after an hour of writing stores a head and now and
// then a block. Blocks no head names any more are removed.
// Web Storage, because its writes finish before the call returns: a page may be killed
// the moment after. Never in unload: it costs the page the back-forward cache, and a
// killed page runs nothing.
/* global Boot, Core */

const Keep = {
  area: null,  // localStorage, or null where this device keeps nothing
  key: '',     // this tab's record in it
  timer: 0,
  failed: false,  // the last write was refused
  stored: new Set(),  // the blocks in storage, by name
  names: [],  // those this tab's last record named
  // Every key of ours begins so: the lesson's own folder, so that two copies of it on
  // one host keep their boards apart.
  prefix: 'parallel-lines:' + location.pathname + ':',
  // How long after a change the record is written: changes in quick succession (a
  // drag, then a click) are written once.
  coalesceMs: 300,

  // This tab's storage, and its record if it kept one; null where storage is refused
  // (a private window, Safari on a file:, storage switched off) or empty.
  open() {
    try {
      const session = window.sessionStorage, local = window.localStorage;
      let id = session.getItem(Keep.prefix + 'tab');
      if (!id) {
        id = Keep.newId();
        session.setItem(Keep.prefix + 'tab', id);
      }
      // A store that reads but refuses every write (Safari's private windows once did).
      local.setItem(Keep.prefix + 'probe', '1');
      local.removeItem(Keep.prefix + 'probe');
      Keep.area = local;
      Keep.key = Keep.prefix + 'board:' + id;
      for (let i = 0; i < local.length; i++) {
        const key = local.key(i);
        if (key?.startsWith(Keep.prefix + 'ink:')) Keep.stored.add(key.slice(Keep.prefix.length + 4));
      }
      // A record the last start could not get through (it stopped while putting the
      // board back) is not tried again, or the tab would never open.
      if (session.getItem(Keep.prefix + 'opening') === Keep.key) return null;
      session.setItem(Keep.prefix + 'opening', Keep.key);
      const whole = Keep.whole(local.getItem(Keep.key));
      Keep.names = whole ? Core.blockNames(whole) : [];
      return whole;
    } catch {
      Keep.area = null;
      return null;
    }
  },

  // The board is put back and painted: the record, if any, was read without a fault.
  opened() {
    try { window.sessionStorage.removeItem(Keep.prefix + 'opening'); } catch { /* no storage */ }
  },

  // A stored record whole, as the program reads it: its head, then each block it names,
  // a line each (an empty line for one that is gone: the program then refuses it).
  whole(head) {
    if (typeof head !== 'string') return null;
    return [head, ...Core.blockNames(head).map(n => Keep.area.getItem(Keep.prefix + 'ink:' + n) ?? '')].join('\n');
  },

  // Every block no record names any more goes.
  collect() {
    const named = new Set();
    for (const key of [Keep.key, ...Keep.others()])
      for (const n of Core.blockNames(Keep.area.getItem(key) ?? '')) named.add(n);
    for (const n of [...Keep.stored]) {
      if (named.has(n)) continue;
      Keep.area.removeItem(Keep.prefix + 'ink:' + n);
      Keep.stored.delete(n);
    }
  },

  newId() {
    const bytes = crypto.getRandomValues(new Uint8Array(9));
    return Array.from(bytes, b => b.toString(16).padStart(2, '0')).join('');
  },

  // Every record of ours but this tab's, by key.
  others() {
    const out = [];
    for (let i = 0; i < Keep.area.length; i++) {
      const key = Keep.area.key(i);
      if (key !== Keep.key && key?.startsWith(Keep.prefix + 'board:')) out.push(key);
    }
    return out;
  },

  // A tab of its own (not a reload): the program offers the newest recent board another
  // tab left; the unreadable, and boards older than the program keeps any, are removed.
  considerOthers() {
    const now = Date.now();
    for (const key of Keep.others()) {
      const what = Boot.guard(() => Core.consider(Keep.whole(Keep.area.getItem(key)), now));
      if (what === 'unreadable' || what === 'stale') Keep.area.removeItem(key);
    }
    Boot.guard(() => Keep.collect());
  },

  // Wires the page's moments for writing at once, and the start's outcome.
  start(resumed) {
    if (!Keep.area) {
      Boot.guard(() => Core.storage(false));
      return;
    }
    if (!resumed) Keep.considerOthers();
    const now = () => { Boot.guard(() => Core.pointersLost()); Keep.now(); };
    document.addEventListener('visibilitychange', () => { if (document.hidden) now(); });
    addEventListener('pagehide', now);
    document.addEventListener('freeze', now);
    // Another tab wrote this tab's record: it is a copy of this one (a duplicated tab
    // shares the tab's storage). This one takes a key of its own.
    addEventListener('storage', e => {
      if (e.key !== Keep.key || e.storageArea !== Keep.area) return;
      try {
        const id = Keep.newId();
        window.sessionStorage.setItem(Keep.prefix + 'tab', id);
        Keep.key = Keep.prefix + 'board:' + id;
        Keep.save(true);
      } catch { /* the same storage refused: this tab goes on unkept */ }
    });
  },

  // The program says a record is due: soon, or now.
  due(when) {
    if (!Keep.area) return;
    if (when === 'now') Keep.now();
    else if (!Keep.timer) Keep.timer = setTimeout(() => Keep.save(), Keep.coalesceMs);
  },

  now() {
    clearTimeout(Keep.timer);
    Keep.save();
  },

  save(force = false) {
    Keep.timer = 0;
    if (!Keep.area) return;
    const record = Boot.guard(() => Core.record(Date.now(), force));
    if (!record) return;
    // The blocks first, then the head that names them: a page killed in between leaves
    // the last head whole, and blocks that the next start removes.
    let ok = true;
    for (const n of record.names) {
      if (Keep.stored.has(n)) continue;
      ok = Keep.put(Keep.prefix + 'ink:' + n, Boot.guard(() => Core.block(n)));
      if (!ok) break;
      Keep.stored.add(n);
    }
    ok = ok && Keep.put(Keep.key, record.head);
    if (ok && record.names.join() !== Keep.names.join()) {
      Keep.names = record.names;
      Boot.guard(() => Keep.collect());
    }
    if (ok === !Keep.failed) return;
    Keep.failed = !ok;
    Boot.guard(() => Core.storage(ok));
  },

  // A refusal (the quota full) first makes room by removing other tabs' boards; if it
  // is still refused, the notice says this device keeps no board, until a write works.
  put(key, text) {
    if (Keep.tryWrite(key, text)) return true;
    for (const other of Keep.others()) Keep.area.removeItem(other);
    Boot.guard(() => Keep.collect());
    return Keep.tryWrite(key, text);
  },

  tryWrite(key, text) {
    try {
      Keep.area.setItem(key, text);
      return true;
    } catch {
      return false;
    }
  },
};
