#!/usr/bin/env python3
"""Puts the page together, from one template, twice:

- as one file: the page, its style, its scripts with the wasm, the letter pictures and
  the icon inside it, and a Content-Security-Policy that lets the page run its own
  script and wasm and nothing else (no connection, no outside resource). It opens from
  a disk with no server.
- as a site, a folder for any https host: the same page as index.html, with what
  installing it needs (a manifest, its icons, a service worker that keeps the lesson
  for use offline), and a policy grown by what those need and nothing else.

  assemble.py --template page.html --style page.css --explain explain.txt \\
              --scripts boot.js row.js keys.js keep.js corner.js stage.js canvas.js --worker sw.js --runtime parallel-lines.js \\
              --wasm parallel-lines.wasm --values values.json --assets DIR \\
              --out parallel-lines.html --site DIR
"""
import argparse
import base64
import hashlib
import html
import json
import pathlib
import shutil
import subprocess
import tempfile

# The program's colours and name come from the build (web/values.cpp, --values): the
# window's colour for the installed lesson's title bar and the screen it opens on (a
# browser check holds it to the page's own), the board's for the icons' frame.
SHORT_NAME = '線分の比'  # fits under an icon on a home screen


def b64(data):
    return base64.b64encode(data).decode('ascii')


def sha256(text):
    return b64(hashlib.sha256(text.encode('utf-8')).digest())


def read(path):
    return pathlib.Path(path).read_text(encoding='utf-8')


# What the page's own scripts are told by the build: the name of the one Trusted Types
# policy the site's worker address is vouched for by.
WORKER_POLICY = 'parallel-lines-worker'


def policy(first, scripts, style, site):
    # Wasm needs 'wasm-unsafe-eval', which allows compiling wasm only, not JavaScript
    # from strings. Pictures are inline data. Trusted Types: no script can ever be made
    # from a string; the site's one policy vouches for its worker's address alone.
    rules = [
        "default-src 'none'",
        "script-src " + ' '.join(f"'sha256-{sha256(s)}'" for s in (first, *scripts)) + " 'wasm-unsafe-eval'",
        f"style-src 'sha256-{sha256(style)}'",
        "img-src data: 'self'" if site else 'img-src data:',
        "base-uri 'none'",
        "form-action 'none'",
        "require-trusted-types-for 'script'",
        f'trusted-types {WORKER_POLICY}' if site else "trusted-types 'none'",
    ]
    if site:
        # The page itself connects nowhere; its own origin is open to it so that a tool
        # reading the site's robots.txt from inside the page (Lighthouse does) can: no
        # other site is.
        rules += ["manifest-src 'self'", "worker-src 'self'", "connect-src 'self'"]
    return '; '.join(rules)


# The head's lines that make the site installable, on Chromium's shelf and an iPad's
# Home Screen alike.
def install(values):
    return f'''<link rel="manifest" href="manifest.webmanifest">
<link rel="apple-touch-icon" href="apple-touch-icon.png">
<meta name="theme-color" content="{values['windowColour']}">
<meta name="mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-title" content="{SHORT_NAME}">
<meta name="apple-mobile-web-app-status-bar-style" content="black">
'''


def icons(source, folder, values):
    """The site's icons, from the program's own: as drawn, for a shelf; and on a square
    of the board's green with room round it, for launchers that mask icons to their
    own shape and for iPadOS, which fills transparency with black."""
    made = {'icon-192.png': ['-resize', '192x192'], 'icon-512.png': []}
    for name, args in made.items():
        subprocess.run(['convert', str(source), *args, '-strip', str(folder / name)], check=True)
    framed = [f"xc:{values['boardColour']}", '(', str(source), '-resize', '80%', ')', '-gravity', 'center',
              '-composite', '-strip']
    subprocess.run(['convert', '-size', '512x512', *framed, str(folder / 'icon-maskable-512.png')], check=True)
    subprocess.run(['convert', '-size', '512x512', *framed, '-resize', '180x180',
                    str(folder / 'apple-touch-icon.png')], check=True)


def manifest(values):
    return json.dumps({
        'id': './',
        'start_url': './',
        'scope': './',
        'name': values['name'],
        'short_name': SHORT_NAME,
        'lang': 'ja',
        'dir': 'ltr',
        # The whole screen on a projector or a touch board; a window of its own where
        # a system gives apps no whole screen.
        'display': 'fullscreen',
        'background_color': values['windowColour'],
        'theme_color': values['windowColour'],
        'icons': [
            {'src': 'icon-192.png', 'sizes': '192x192', 'type': 'image/png', 'purpose': 'any'},
            {'src': 'icon-512.png', 'sizes': '512x512', 'type': 'image/png', 'purpose': 'any'},
            {'src': 'icon-maskable-512.png', 'sizes': '512x512', 'type': 'image/png',
             'purpose': 'maskable'},
        ],
    }, ensure_ascii=False, indent=1) + '\n'


# What a search engine or a link's preview says of the page.
DESCRIPTION = ('中学校数学「平行線と線分の比」の授業のための教材です。黒板の画面で平行線と2本の直線を'
               '動かすと、交わる点と線分の長さが動きます。チョーク、消しゴム、直線、方眼も使えます。'
               'インストールなしでブラウザで動き、一度開けばネットワークなしでも使えます。')
# Every address may be read by a search engine: the site holds nothing private.
ROBOTS = 'User-agent: *\nAllow: /\n'


def main():
    a = argparse.ArgumentParser()
    for name in ('template', 'style', 'explain', 'worker', 'runtime', 'wasm', 'values', 'assets', 'out',
                 'site'):
        a.add_argument('--' + name, required=True)
    a.add_argument('--scripts', nargs='+', required=True)
    args = a.parse_args()
    assets = pathlib.Path(args.assets)
    values = json.loads(read(args.values))

    pictures = {}
    for one in sorted(assets.glob('letter-?.png')):
        key = one.stem.split('-', 1)[1]
        pictures[key] = [b64(one.read_bytes()), b64(one.with_name(f'letter-{key}@2x.png').read_bytes())]
    # The page's scripts are strict, said once here for all of them; Emscripten's
    # runtime, in a script of its own, is as Emscripten writes it. The scripts meet
    # through one object each, and through Built, what the build tells them.
    built = json.dumps({'workerPolicy': WORKER_POLICY})
    script = f"'use strict';\nconst Built = Object.freeze({built});\n" + ''.join(read(s) for s in args.scripts)
    runtime = read(args.runtime)
    # Marks the page as scripted before anything is laid out, so the words for where
    # scripts do not run are never shown where they do.
    first = "document.documentElement.className = 'scripted';"
    style = read(args.style)
    # Inside a <script> or <style> element, these would end it early or change how the
    # rest is read.
    for what, text, bad in (('script', script + runtime, ('</script', '<!--')), ('style', style, ('</style',))):
        for b in bad:
            if b in text.lower():
                raise SystemExit(f'the {what} holds "{b}", which would break the page')

    explain = read(args.explain).strip()
    if '--' in explain:
        raise SystemExit('the explanation holds "--", which would end its comment')
    icon = b64((assets / 'icons/hicolor/64x64/apps/parallel-lines.png').read_bytes())

    def page(site):
        # The wasm and the pictures are data blocks, not script: no script engine reads
        # them until the page asks, and the policy does not apply to them. The scripts
        # go in last: they are the largest, and hold no placeholder.
        return (read(args.template)
                .replace('%CSP%', policy(first, (script, runtime), style, site))
                .replace('%INSTALL%\n', install(values) if site else '')
                .replace('%DESCRIPTION%', html.escape(DESCRIPTION, quote=True))
                .replace('%NAME%', html.escape(values['name']))
                .replace('%FIRST%', first).replace('%ICON%', icon).replace('%STYLE%', style)
                .replace('%COMMENT%', explain).replace('%EXPLAIN%', html.escape(explain))
                .replace('%WASM%', b64(pathlib.Path(args.wasm).read_bytes()))
                .replace('%PICTURES%', json.dumps(pictures)).replace('%SCRIPT%', script)
                .replace('%RUNTIME%', runtime))

    pathlib.Path(args.out).write_text(page(site=False), encoding='utf-8')

    # The site is made aside and put in place whole, so a host copying it never finds
    # half of one build and half of another.
    site = pathlib.Path(args.site)
    with tempfile.TemporaryDirectory(dir=site.parent) as scratch:
        made = pathlib.Path(scratch) / 'site'
        made.mkdir()
        (made / 'index.html').write_text(page(site=True), encoding='utf-8')
        (made / 'manifest.webmanifest').write_text(manifest(values), encoding='utf-8')
        icons(assets / 'icons/hicolor/512x512/apps/parallel-lines.png', made, values)
        kept = ['index.html', 'manifest.webmanifest', 'icon-192.png', 'icon-512.png',
                'icon-maskable-512.png', 'apple-touch-icon.png']
        # The worker's cache is named after what it keeps: a new build, a new cache.
        build = hashlib.sha256(b''.join((made / f).read_bytes() for f in kept)).hexdigest()[:16]
        worker = read(args.worker)
        if "[/* the build's files */]" not in worker or '%BUILD%' not in worker:
            raise SystemExit("the worker has lost the places for its cache's name and files")
        worker = worker.replace('%BUILD%', build).replace('[/* the build\'s files */]', json.dumps(['./'] + kept))
        (made / 'sw.js').write_text(worker, encoding='utf-8')
        (made / 'robots.txt').write_text(ROBOTS, encoding='utf-8')
        if site.exists():
            shutil.rmtree(site)
        made.rename(site)


if __name__ == '__main__':
    main()
