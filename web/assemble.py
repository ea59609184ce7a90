#!/usr/bin/env python3
"""Puts the page together as one file: the page, its style, its script with the wasm,
the letter pictures and the icon inside it, and a Content-Security-Policy that lets
the page run its own script and wasm and nothing else (no connection, no outside
resource). The file opens from a disk with no server.

  assemble.py --template page.html --style page.css --glue glue.js \
              --runtime parallel-lines.js --wasm parallel-lines.wasm \
              --assets DIR --out parallel-lines.html
"""
import argparse
import base64
import hashlib
import json
import pathlib


def b64(path):
    return base64.b64encode(pathlib.Path(path).read_bytes()).decode('ascii')


def sha256(text):
    return base64.b64encode(hashlib.sha256(text.encode('utf-8')).digest()).decode('ascii')


def main():
    a = argparse.ArgumentParser()
    for name in ('template', 'style', 'glue', 'runtime', 'wasm', 'assets', 'out'):
        a.add_argument('--' + name, required=True)
    args = a.parse_args()
    assets = pathlib.Path(args.assets)

    pictures = {}
    for one in sorted(assets.glob('letter-?.png')):
        key = one.stem.split('-', 1)[1]
        pictures[key] = [b64(one), b64(one.with_name(f'letter-{key}@2x.png'))]
    script = (f'const WASM = "{b64(args.wasm)}";\n'
              f'const PICTURES = {json.dumps(pictures)};\n'
              + pathlib.Path(args.glue).read_text(encoding='utf-8')
              + pathlib.Path(args.runtime).read_text(encoding='utf-8'))
    if '</script' in script.lower():
        raise SystemExit('the script would end the page\'s script element early')
    style = pathlib.Path(args.style).read_text(encoding='utf-8')

    # Wasm needs 'wasm-unsafe-eval', which allows compiling wasm only, not JavaScript
    # from strings. Pictures are inline data.
    csp = '; '.join([
        "default-src 'none'",
        f"script-src 'sha256-{sha256(script)}' 'wasm-unsafe-eval'",
        f"style-src 'sha256-{sha256(style)}'",
        'img-src data:',
        "base-uri 'none'",
        "form-action 'none'",
    ])
    page = pathlib.Path(args.template).read_text(encoding='utf-8')
    icon = b64(assets / 'icons/hicolor/64x64/apps/parallel-lines.png')
    # The script goes in last: it is the largest, and holds no placeholder.
    page = (page.replace('%CSP%', csp).replace('%ICON%', icon).replace('%STYLE%', style)
            .replace('%SCRIPT%', script))
    pathlib.Path(args.out).write_text(page, encoding='utf-8')


if __name__ == '__main__':
    main()
