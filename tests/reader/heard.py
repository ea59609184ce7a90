#!/usr/bin/python3
"""What a blind pupil hears: Debian's Orca reading the desktop window or the page in
Chromium, keys sent one by one by xdotool as a keyboard sends them, and what Orca hands
to speech after each key judged, with what AT-SPI exposes. The same lesson on both front
ends, in the same tab order.

  heard.py desktop BINARY | page FILE.html   [--work DIR] [--debug]

Prints what was heard after each key; exits 1 when something that must be heard was not."""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)
from desktop import Desktop, SetupError, Speech  # noqa: E402

# A step: the keys, then what must be heard among what Orca said (every text, in any of
# the utterances), and what must not. Tab order from the board: the five parts, 図の説明,
# 初期画面, 終了, メモ, 方眼, 直線, the boxes 直線 1 to 5.
LESSON = [
    (['Tab'], ['直線 p', '上から 11.0 マス', '上下の矢印キーで 0.2 マス'], ['5 ピクセル', 'つかみました']),
    # At once, and the name with it once the keys pause.
    (['Up'], ['上から 10.8 マス', '直線 p、上から 10.8 マス'], []),
    (['Tab', 'Tab'], ['直線 ℓ の上の端', '左から 16.0 マス', 'Enter で上への延長'], []),
    (['Return'], ['延長を表示しました'], []),
    (['Return'], ['延長を消しました'], []),
    (['Return'], ['延長を表示しました'], []),
    (['Escape'], ['黒板'], []),
    # The keys were said on the first visit: not again.
    (['Tab'], ['直線 p', '上から 10.8 マス'], ['矢印キー']),
    (['Tab', 'Tab', 'Tab', 'Tab', 'Tab'], ['図の説明'], []),
    (['space'], ['A ダッシュ は 20.9 マス', 'A ダッシュ B ダッシュ が'], ['アポストロフィ']),
    (['space'], ['A ダッシュ は 20.9 マス'], []),  # again, and heard again
    (['Tab', 'Tab', 'Tab', 'Tab'], ['方眼'], []),
    (['space'], ['方眼を表示しました'], []),
    (['space'], ['方眼を消しました'], []),
    (['Tab'], ['直線'], []),
    (['space'], ['直線モードにしました'], []),
    # In straight-line mode a part cannot move, says why, and Escape still goes back.
    (['shift+Tab'] * 6, ['ℓ を平行移動した直線', '動かせません'], []),
    # Back on the board, where the keys draw: where the cross stands, and again on request.
    (['Escape'], ['十字は左から'], []),
    (['w'], ['十字は左から'], []),
    (['Return'], ['直線 1 を引き始めました'], []),
    (['Right', 'Right', 'Right', 'Right', 'Right'], ['直線 1 の端は左から'], []),
    (['Return'], ['直線 1 を引きました', 'チェックボックス 直線 1 に印が付きました'], []),
    # On through the parts and the row to the box 直線 1, which says the line is drawn.
    (['Tab'] * 12, ['直線 1 が引かれています'], []),
]


def spoken(utterances):
    return ' '.join(utterances).replace('\u200b', '')


def probe(d, app, names):
    r = subprocess.run(['/usr/bin/python3', os.path.join(HERE, 'atspi_probe.py'), app] + names,
                       env=d.env, capture_output=True, timeout=60)
    try:
        return json.loads(r.stdout.decode() or '{}')
    except ValueError:
        return {}


def open_front(d, front, target, work):
    if front == 'desktop':
        app = d.launch('app', [os.path.abspath(target)],
                       {'QT_LINUX_ACCESSIBILITY_ALWAYS_ON': '1', 'QT_QPA_PLATFORM': 'xcb'})
        r = d.xdotool('search', '--sync', '--onlyvisible', '--pid', str(app.pid))
        wins = r.stdout.decode().split()
        if not wins:
            raise SetupError('the window never showed')
        d.xdotool('windowfocus', '--sync', wins[-1])  # as a window manager does
        return 'parallel-lines'
    chromium = shutil.which('chromium')
    if chromium is None:
        raise SetupError('no chromium')
    profile = os.path.join(work, 'chromium-profile')
    os.makedirs(os.path.join(profile, 'Default'), exist_ok=True)
    with open(os.path.join(profile, 'Default', 'Preferences'), 'w') as f:
        json.dump({'translate': {'enabled': False}, 'intl': {'accept_languages': 'ja,en'}}, f)
    d.launch('chromium', [
        chromium, '--no-sandbox', '--test-type', '--force-renderer-accessibility',
        '--user-data-dir=' + profile, '--no-first-run', '--no-default-browser-check', '--disable-gpu',
        '--password-store=basic', '--disable-features=Translate,TranslateUI', '--window-position=0,0',
        '--window-size=1366,768', 'file://' + os.path.abspath(target)], {'ACCESSIBILITY_ENABLED': '1'})
    return 'Chromium'


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('front', choices=['desktop', 'page'])
    ap.add_argument('target')
    ap.add_argument('--work', default=None)
    ap.add_argument('--debug', action='store_true', help="Orca's own debug log, in the work folder")
    a = ap.parse_args()
    if not os.path.exists(a.target):
        # The page not built (a build of the window alone): skipped aloud; ctest counts 77
        # as skipped.
        print('skipped: no %s at %s' % (a.front, a.target))
        sys.exit(77)
    work = a.work or os.path.join('/tmp', 'heard-%s-%d' % (a.front, os.getpid()))
    shutil.rmtree(work, ignore_errors=True)
    d = Desktop(work, a.debug)
    failures = []
    try:
        d.start()
        speech = Speech(d.speech_log)
        speech.settle(quiet=0.5, least=0.5, most=3)
        app = open_front(d, a.front, a.target, work)
        opening = speech.settle(quiet=2.0, least=4, most=40)
        print('== opens\n   ' + spoken(opening))
        # A key ends Orca's reading of the page as it loads: a Tab that comes while it
        # reads leaves the first slider in browse mode, whose arrows are Orca's.
        d.xdotool('key', 'shift')
        speech.settle(quiet=0.5, least=0.5, most=3)
        if '黒板' not in spoken(opening):
            failures.append('opening: the board is not named')
        values = []
        for step, (keys, must, never) in enumerate(LESSON):
            for key in keys:
                d.xdotool('key', '--delay', '120', key)
            heard = spoken(speech.settle())
            print('== %s\n   %s' % (' '.join(keys), heard or '(nothing)'))
            for words in must:
                if words not in heard:
                    failures.append('%s: not heard: %s' % (' '.join(keys), words))
            for words in never:
                if words in heard:
                    failures.append('%s: heard: %s' % (' '.join(keys), words))
            # What AT-SPI exposes: p's value rises as Up raises it; 直線 is pressed.
            if step in (0, 1):  # before and after Up
                values.append(probe(d, app, ['直線 p']).get('直線 p', {}).get('value'))
            if step == 15:
                mode = probe(d, app, ['直線']).get('直線', {})
                print('   AT-SPI 直線: %s' % mode)
                if not ({'checked', 'pressed'} & set(mode.get('states', []))):
                    failures.append('直線 is not exposed as pressed: %s' % mode)
        print('   AT-SPI values of 直線 p before and after Up: %s' % values)
        if len(values) != 2 or None in values or not values[1] > values[0]:
            failures.append('直線 p: the value does not rise with Up: %s' % values)
    except SetupError as e:
        print('heard: %s' % e)
        return 2
    finally:
        d.stop()
    for f in failures:
        print('FAIL ' + f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
