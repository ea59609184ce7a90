// A folder served over http on this machine, by Python's own http.server (Debian's
// python3), for the checks that need the page at a real origin: a site, an embedding
// page beside it, a browser going offline. Its request log (one line a request, with
// the status answered) is kept for a failing check to print.
import { spawn } from 'node:child_process';

export async function serve(folder) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', folder],
                       { stdio: ['ignore', 'pipe', 'pipe'] });
  const log = [];
  server.stderr.on('data', d => log.push(...String(d).split('\n').filter(Boolean)));
  const port = await new Promise((resolve, reject) => {
    let out = '';
    server.stdout.on('data', d => {
      out += d;
      const m = out.match(/port (\d+)/);
      if (m) resolve(Number(m[1]));
    });
    server.on('exit', code => reject(new Error(`http.server ended with ${code}`)));
  });
  return {
    url: `http://127.0.0.1:${port}/`,
    port,
    log,
    // Ends the server, once; stopping it again does nothing.
    stop: () => new Promise(resolve => {
      if (server.exitCode !== null || server.signalCode !== null) return resolve();
      server.once('exit', resolve);
      server.kill();
    }),
  };
}
