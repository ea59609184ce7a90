"""A private desktop for a real screen reader: Xvfb, a D-Bus session bus, the AT-SPI bus,
a speech-dispatcher of its own playing into libao's null driver (with no sound card its
usual outputs block, and Orca blocks with them), and Debian's Orca, unchanged, whose
every utterance goes to a log. Every process is started and ended here, by its pid."""
import os
import shutil
import signal
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ATSPI_LAUNCHERS = ('/usr/libexec/at-spi-bus-launcher', '/usr/lib/at-spi2-core/at-spi-bus-launcher')


class SetupError(Exception):
    """The desktop could not be built: no finding about the program."""


class Desktop:
    def __init__(self, work, debug=False):
        self.work = work
        self.debug = debug
        os.makedirs(work, exist_ok=True)
        self.procs = []
        self.display = next((n for n in range(71, 99)
                             if not os.path.exists('/tmp/.X11-unix/X%d' % n)
                             and not os.path.exists('/tmp/.X%d-lock' % n)), None)
        if self.display is None:
            raise SetupError('no free X display in :71..:98')
        drop = ('DBUS_SESSION_BUS_ADDRESS', 'AT_SPI_BUS_ADDRESS', 'NO_AT_BRIDGE', 'WAYLAND_DISPLAY',
                'QT_QPA_PLATFORM', 'SPEECHD_ADDRESS', 'XDG_RUNTIME_DIR')
        env = {k: v for k, v in os.environ.items() if k not in drop}
        env['DISPLAY'] = ':%d' % self.display
        env['XDG_RUNTIME_DIR'] = os.path.join(work, 'xdg')
        os.makedirs(env['XDG_RUNTIME_DIR'], mode=0o700, exist_ok=True)
        # Orca's own words in Japanese, as a pupil hears them.
        env['LANG'] = env['LC_ALL'] = 'ja_JP.UTF-8'
        env['LANGUAGE'] = 'ja'
        self.env = env
        self.speech_log = os.path.join(work, 'speech.log')

    def _start(self, name, args, env=None):
        log = open(os.path.join(self.work, name + '.out'), 'w')
        try:
            p = subprocess.Popen(args, env=env or self.env, stdout=log, stderr=log,
                                 stdin=subprocess.DEVNULL, cwd=self.work)
        except FileNotFoundError:
            raise SetupError('not installed: %s' % args[0])
        self.procs.append((name, p))
        return p

    @staticmethod
    def _wait(cond, timeout, what):
        end = time.time() + timeout
        while time.time() < end:
            try:
                if cond():
                    return
            except Exception:
                pass
            time.sleep(0.2)
        raise SetupError('timed out waiting for %s' % what)

    def _bus(self, *args):
        return subprocess.run(['gdbus', 'call', '--session', '--dest', 'org.a11y.Bus',
                               '--object-path', '/org/a11y/bus'] + list(args),
                              env=self.env, capture_output=True, timeout=5)

    def start(self):
        self._start('xvfb', ['Xvfb', ':%d' % self.display, '-screen', '0', '1366x768x24',
                             '-nolisten', 'tcp', '-noreset'])
        self._wait(lambda: os.path.exists('/tmp/.X11-unix/X%d' % self.display), 15, 'Xvfb')
        bus = subprocess.Popen(['dbus-daemon', '--session', '--nofork', '--print-address=1'],
                               env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               stdin=subprocess.DEVNULL)
        self.procs.append(('dbus', bus))
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise SetupError('dbus-daemon gave no address')
        self.env['DBUS_SESSION_BUS_ADDRESS'] = address
        launcher = next((p for p in ATSPI_LAUNCHERS if os.path.exists(p)), None)
        if launcher is None:
            raise SetupError('no at-spi-bus-launcher (package at-spi2-core)')
        self._start('atspi', [launcher, '--launch-immediately'])
        self._wait(lambda: self._bus('--method', 'org.a11y.Bus.GetAddress').returncode == 0, 15,
                   'the AT-SPI bus')
        self._bus('--method', 'org.freedesktop.DBus.Properties.Set', 'org.a11y.Status', 'IsEnabled',
                  '<true>')
        sock = os.path.join(self.work, 'speechd.sock')
        conf = os.path.join(self.work, 'speechd-conf')
        shutil.rmtree(conf, ignore_errors=True)
        shutil.copytree('/etc/speech-dispatcher', conf)
        with open(os.path.join(conf, 'speechd.conf'), 'a') as f:
            f.write('\nAudioOutputMethod "libao"\n')
        home = os.path.join(self.work, 'home')
        os.makedirs(home, exist_ok=True)
        with open(os.path.join(home, '.libao'), 'w') as f:
            f.write('default_driver=null\n')
        self._start('speechd', ['speech-dispatcher', '-s', '-t', '0', '-c', 'unix_socket', '-S', sock,
                                '-C', conf, '-L', self.work, '-P', os.path.join(self.work, 'speechd.pid')],
                    env=dict(self.env, HOME=home))
        self._wait(lambda: os.path.exists(sock), 15, 'speech-dispatcher')
        self.env['SPEECHD_ADDRESS'] = 'unix_socket:' + sock
        prefs = os.path.join(self.work, 'orca-prefs')
        os.makedirs(prefs, exist_ok=True)
        open(self.speech_log, 'w').close()
        args = ['/usr/bin/python3', os.path.join(HERE, 'orca_logged.py'), '-u', prefs]
        if self.debug:
            args.append('--debug-file=' + os.path.join(self.work, 'orca-debug.log'))
        self._start('orca', args, env=dict(self.env, ORCA_SPEECH_LOG=self.speech_log))
        self._wait(lambda: open(self.speech_log, encoding='utf-8').read().strip() != '', 30,
                   'Orca to say it is on')

    def launch(self, name, args, extra_env=None):
        return self._start(name, args, env=dict(self.env, **(extra_env or {})))

    def xdotool(self, *args):
        return subprocess.run(['xdotool'] + list(args), env=self.env, capture_output=True, timeout=30)

    @staticmethod
    def _children(pid):
        kids = []
        try:
            for task in os.listdir('/proc/%d/task' % pid):
                with open('/proc/%d/task/%s/children' % (pid, task)) as f:
                    kids += [int(k) for k in f.read().split()]
        except OSError:
            pass
        return kids

    def stop(self):
        for name, p in reversed(self.procs):
            if p.poll() is not None:
                continue
            # speech-dispatcher's modules (and a browser's children) first.
            for kid in self._children(p.pid):
                try:
                    os.kill(kid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            try:
                p.send_signal(signal.SIGTERM)
                p.wait(timeout=3)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(timeout=5)
            except ProcessLookupError:
                pass
        self.procs = []


class Speech:
    """What Orca handed to speech, read from its log."""

    def __init__(self, path):
        self.path = path
        self.pos = 0

    def _lines(self):
        out = []
        with open(self.path, encoding='utf-8') as f:
            for line in f:
                parts = line.rstrip('\n').split('\t', 2)
                if len(parts) == 3:
                    out.append((float(parts[0]), parts[1], parts[2]))
        return out

    def settle(self, quiet=1.0, least=0.8, most=8.0):
        """What was said since the last call, once nothing new has come for `quiet` s."""
        start = time.time()
        last_n, last_change = -1, start
        while True:
            time.sleep(0.1)
            n = len(self._lines())
            now = time.time()
            if n != last_n:
                last_n, last_change = n, now
            if (now - start >= least and now - last_change >= quiet) or now - start >= most:
                break
        lines = self._lines()
        out = lines[self.pos:]
        self.pos = len(lines)
        return [text for _, kind, text in out if kind != 'K']
