#!/usr/bin/env python3
"""Puts the page together as one file: the page, its style, its scripts with the wasm,
the letter pictures and the icon inside it, and a Content-Security-Policy that lets
the page run its own script and wasm and nothing else (no connection, no outside
resource). The file opens from a disk with no server.

  assemble.py --template page.html --style page.css --explain explain.txt \
              --scripts canvas.js page.js --runtime parallel-lines.js \
              --wasm parallel-lines.wasm --assets DIR --out parallel-lines.html
"""
import argparse
import base64
import hashlib
import html
import json
import pathlib


def b64(path):
    return base64.b64encode(pathlib.Path(path).read_bytes()).decode('ascii')


def sha256(text):
    return base64.b64encode(hashlib.sha256(text.encode('utf-8')).digest()).decode('ascii')


def read(path):
    return pathlib.Path(path).read_text(encoding='utf-8')


def main():
    a = argparse.ArgumentParser()
    for name in ('template', 'style', 'explain', 'runtime', 'wasm', 'assets', 'out'):
        a.add_argument('--' + name, required=True)
    a.add_argument('--scripts', nargs='+', required=True)
    args = a.parse_args()
    assets = pathlib.Path(args.assets)

    pictures = {}
    for one in sorted(assets.glob('letter-?.png')):
        key = one.stem.split('-', 1)[1]
        pictures[key] = [b64(one), b64(one.with_name(f'letter-{key}@2x.png'))]
    script = ''.join(read(s) for s in args.scripts) + read(args.runtime)
    # Marks the page as scripted before anything is laid out, so the words for where
    # scripts do not run are never shown where they do.
    first = "document.documentElement.className = 'scripted';"
    style = read(args.style)
    # Inside a <script> or <style> element, these would end it early or change how the
    # rest is read.
    for what, text, bad in (('script', script, ('</script', '<!--')), ('style', style, ('</style',))):
        for b in bad:
            if b in text.lower():
                raise SystemExit(f'the {what} holds "{b}", which would break the page')

    # Wasm needs 'wasm-unsafe-eval', which allows compiling wasm only, not JavaScript
    # from strings. Pictures are inline data. Trusted Types with no policy: no script
    # can ever be made from a string.
    csp = '; '.join([
        "default-src 'none'",
        f"script-src 'sha256-{sha256(first)}' 'sha256-{sha256(script)}' 'wasm-unsafe-eval'",
        f"style-src 'sha256-{sha256(style)}'",
        'img-src data:',
        "base-uri 'none'",
        "form-action 'none'",
        "require-trusted-types-for 'script'",
        "trusted-types 'none'",
    ])
    explain = html.escape(read(args.explain).strip())
    page = read(args.template)
    icon = b64(assets / 'icons/hicolor/64x64/apps/parallel-lines.png')
    # The script goes in last: it is the largest, and holds no placeholder.
    # The wasm and the pictures are data blocks, not script: no script engine reads
    # them until the page asks, and the policy does not apply to them.
    page = (page.replace('%CSP%', csp).replace('%FIRST%', first).replace('%ICON%', icon)
            .replace('%STYLE%', style).replace('%EXPLAIN%', explain)
            .replace('%WASM%', b64(args.wasm)).replace('%PICTURES%', json.dumps(pictures))
            .replace('%SCRIPT%', script))
    pathlib.Path(args.out).write_text(page, encoding='utf-8')


if __name__ == '__main__':
    main()
