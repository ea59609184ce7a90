// The lesson by a link: the site `make web` writes, served from this machine, installs
// like an app, keeps working with the network gone (after a restart of the browser
// too), takes a new build on the next visits and asks nothing of any other site.
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, utimesSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { describe, test } from 'node:test';
import { PNG } from 'pngjs';
import { BOARD, Lesson, RED, WHITE } from '../lesson.mjs';
import { serve } from '../serve.mjs';
import { LAPTOP } from '../viewports.mjs';
import { expectColour, skipFor } from './common.mjs';

const SITE = path.resolve(process.env.PL_PAGE ? path.dirname(process.env.PL_PAGE) : path.join(
    path.dirname(fileURLToPath(import.meta.url)), '../../../build/web'), 'site');

// A copy of the site to serve (and to change, as a new build would), put on the server
// an hour ago. A browser asks for the worker's script again only if it was modified
// since the copy it has, and http.server (like most servers) dates a file to the whole
// second: a build written within the same second as the one before it would be taken
// for the same, which no real upload is.
function copyOfSite() {
  const dir = path.join(mkdtempSync(path.join(tmpdir(), 'pl-site-')), 'site');
  cpSync(SITE, dir, { recursive: true });
  const anHourAgo = new Date(Date.now() - 3600 * 1000);
  for (const f of readdirSync(dir)) utimesSync(path.join(dir, f), anHourAgo, anHourAgo);
  return dir;
}

// Until the site's worker controls the page: the lesson is kept for use offline.
const keptOffline = l => l.tab.waitFor(() => navigator.serviceWorker.controller !== null &&
                                               caches.keys().then(k => k.length === 1));

export default function siteChecks(engine) {
  const skip = skipFor(engine, 'site');
  describe('the lesson by a link', { skip }, () => {
    test('the site installs from a folder of its own: no installability error, and icons of the sizes they claim', async () => {
      // As a school puts it beside its own pages: the host's root is not the site's.
      const site = await serve(path.dirname(copyOfSite()));
      const base = site.url + 'site/';
      const l = await Lesson.open(engine, LAPTOP, base);
      try {
        assert.deepEqual(await l.tab.installabilityErrors(), []);
        // (The page's policy lets it fetch nothing: the checks ask the server.)
        const got = await fetch(base + 'manifest.webmanifest');
        assert.equal(got.headers.get('content-type'), 'application/manifest+json');
        const manifest = await got.json();
        for (const icon of manifest.icons) {
          const png = PNG.sync.read(Buffer.from(await (await fetch(base + icon.src)).arrayBuffer()));
          assert.equal(`${png.width}x${png.height}`, icon.sizes, icon.src);
        }
        assert.deepEqual([manifest.id, manifest.start_url, manifest.scope, manifest.lang], ['./', './', './', 'ja']);
        assert.equal(manifest.name, '平行線と線分の比');
        const window = await l.state(() => getComputedStyle(document.getElementById('window')).backgroundColor);
        // Its colours are the window's own.
        const hex = window.match(/\d+/g).map(v => Number(v).toString(16).padStart(2, '0')).join('');
        assert.deepEqual([manifest.background_color, manifest.theme_color], [`#${hex}`, `#${hex}`]);
        // The single file and the site are one page: only what installing needs differs.
        const single = readFileSync(path.join(SITE, '../parallel-lines.html'), 'utf8');
        const index = readFileSync(path.join(SITE, 'index.html'), 'utf8');
        const policyless = t => t.replace(/content="default-src[^"]*"/, '')
            .split('\n').filter(line => !/rel="(manifest|apple-touch-icon)"|name="(theme-color|mobile-web-app-capable|apple-mobile-web-app-[a-z-]+)"/.test(line)).join('\n');
        assert.equal(policyless(index), policyless(single));
        assert.deepEqual(await l.errors(), []);  // a policy violation would be here
      } finally {
        await l.close();
        await site.stop();
      }
    });

    test('after one visit it opens and works with the network gone, after a restart too', async () => {
      const profile = mkdtempSync(path.join(tmpdir(), 'pl-profile-'));
      const folder = copyOfSite();
      let site = await serve(folder);
      const url = site.url;
      let browser = engine.withProfile(profile);
      try {
        let l = await Lesson.open(browser, LAPTOP, url);
        await keptOffline(l);
        await site.stop();  // the network is gone
        await l.reopen();
        await expectColour(l, [200, 275], WHITE, 'p, offline');
        await l.drag([30, 275], [30, 215]);
        await expectColour(l, [200, 215], WHITE, 'p, dragged offline');
        await l.clickControl('メモ');
        await l.clickControl('赤 太字');
        await l.drag([100, 60], [300, 60]);
        await expectColour(l, [200, 60], RED, 'a pen stroke, offline');
        assert.deepEqual(await l.errors(), []);
        await browser.close();
        // A new day: the browser starts again, still with no network.
        browser = engine.withProfile(profile);
        l = await Lesson.open(browser, LAPTOP, url);
        await expectColour(l, [200, 275], WHITE, 'p, offline after a restart');
        await expectColour(l, [200, 215], BOARD, 'nothing left of yesterday');
      } finally {
        await browser.close();
        await site.stop();
        rmSync(profile, { recursive: true, force: true });
      }
    });

    test('a new build on the server reaches the next visits, and the old copy is dropped', async () => {
      const folder = copyOfSite();
      const site = await serve(folder);
      const l = await Lesson.open(engine, LAPTOP, site.url);
      try {
        await keptOffline(l);
        const [old] = await l.state(() => caches.keys());
        const build = old.split(' ')[0], next = old.replace(build, `${build}-next`);
        // The next build: a changed page, and its worker with a cache of its own.
        const edit = (file, from, to) => {
          const f = path.join(folder, file);
          writeFileSync(f, readFileSync(f, 'utf8').replace(from, to));
        };
        edit('index.html', '<!-- ', '<!-- (the next build) ');
        edit('sw.js', build, `${build}-next`);
        // The first visit with a network finds the new build and keeps it in place of
        // the old; it may still show the old.
        await l.reopen();
        await l.tab.waitFor(next => caches.keys().then(k => k.length === 1 && k[0] === next), next)
            .catch(async e => {
              const kept = await l.state(() => caches.keys()).catch(() => '?');
              throw new Error(`${e.message}\ncaches: ${kept}\nserver:\n${site.log.join('\n')}`);
            });
        // One reload later at the latest, the new build is the one shown.
        await l.reopen();
        assert.ok(await l.state(() => document.documentElement.outerHTML.includes('(the next build)')));
      } finally {
        await l.close();
        await site.stop();
      }
    });

    test('two copies of the lesson on one host keep their own offline copies', async () => {
      const first = copyOfSite();
      cpSync(first, path.join(path.dirname(first), 'other'), { recursive: true });
      const site = await serve(path.dirname(first));
      const a = await Lesson.open(engine, LAPTOP, site.url + 'site/');
      let b;
      try {
        await keptOffline(a);
        b = await Lesson.open(engine, LAPTOP, site.url + 'other/');
        await b.tab.waitFor(() => navigator.serviceWorker.controller !== null &&
                                  caches.keys().then(k => k.length === 2));
        const kept = await a.state(() => caches.keys());
        assert.deepEqual(kept.map(k => k.split(' ')[1]).sort(), [`${site.url}other/`, `${site.url}site/`]);
      } finally {
        await b?.close();
        await a.close();
        await site.stop();
      }
    });

    test('the single file keeps no worker and asks nothing: one request, itself', async () => {
      const l = await Lesson.open(engine, LAPTOP);
      try {
        await l.settle();
        assert.deepEqual(await l.state(async () => [
          !!document.querySelector('link[rel="manifest"]'),
          // (A file's origin can have no worker at all, and a browser may say so.)
          await navigator.serviceWorker?.getRegistrations().then(r => r.length, () => 0) ?? 0,
        ]), [false, 0]);
        assert.equal(l.tab.requests.filter(u => !u.startsWith('data:')).length, 1);
        assert.deepEqual(await l.errors(), []);
      } finally {
        await l.close();
      }
    });

    test('with scripts off, the site says what it is and where to open it', { skip: skipFor(engine, 'scriptsOff') }, async () => {
      const site = await serve(copyOfSite());
      const tab = await engine.open(LAPTOP);
      try {
        await tab.scriptsOff();
        await tab.goto(site.url);
        const shown = await tab.screenshot({ x: 0, y: 0, width: LAPTOP.width, height: LAPTOP.height });
        let light = 0;
        for (let i = 0; i < shown.data.length; i += 4) if (shown.data[i] > 200 && shown.data[i + 1] > 200) light++;
        assert.ok(light > 2000, `${light} light pixels`);
      } finally {
        await tab.close();
        await site.stop();
      }
    });
  });
}
