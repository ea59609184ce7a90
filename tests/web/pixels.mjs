// The board's canvas read back and compared: what the page checks and the page fuzzer
// judge a board by. boardPixels runs in the page (hand it to Lesson.state); difference
// runs here, on two of its results.

// Runs in the page: the board's pixels, as base64.
export function boardPixels() {
  const b = Stage.board;
  const data = b.getContext('2d').getImageData(0, 0, b.width, b.height).data;
  let text = '';
  for (let i = 0; i < data.length; i += 8192) text += String.fromCharCode(...data.subarray(i, i + 8192));
  return { width: b.width, height: b.height, pixels: btoa(text) };
}

// How two boards differ by more than the last shades of antialiasing, or null;
// pixels inside `leaveOut` ([left, top, right, bottom] boxes) are not compared.
export function difference(a, b, leaveOut = []) {
  if (a.width !== b.width || a.height !== b.height) return `a board of ${a.width} x ${a.height}, not ${b.width} x ${b.height}`;
  const p = Buffer.from(a.pixels, 'base64'), q = Buffer.from(b.pixels, 'base64');
  const left = (x, y) => leaveOut.some(([l, t, r, bm]) => x >= l && x < r && y >= t && y < bm);
  let count = 0, first = null;
  for (let i = 0; i < p.length; i += 4) {
    if (Math.abs(p[i] - q[i]) <= 8 && Math.abs(p[i + 1] - q[i + 1]) <= 8 && Math.abs(p[i + 2] - q[i + 2]) <= 8 &&
        Math.abs(p[i + 3] - q[i + 3]) <= 8) continue;
    if (leaveOut.length && left((i / 4) % a.width, Math.floor(i / 4 / a.width))) continue;
    count++;
    first ??= { x: (i / 4) % a.width, y: Math.floor(i / 4 / a.width), got: [...p.subarray(i, i + 4)],
                want: [...q.subarray(i, i + 4)] };
  }
  return count ? `${count} device pixels differ, first ${JSON.stringify(first)}` : null;
}
