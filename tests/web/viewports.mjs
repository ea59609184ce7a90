// The screens classrooms have: the window's own size, a small laptop, a 4K board, and
// a 4K board at twice the density.
export const VIEWPORTS = [
  { name: '822 x 687', width: 822, height: 687, dpr: 1 },
  { name: '1366 x 768', width: 1366, height: 768, dpr: 1 },
  { name: '3840 x 2160', width: 3840, height: 2160, dpr: 1 },
  { name: '3840 x 2160 at 2x', width: 3840, height: 2160, dpr: 2 },
];

// Where a check's outcome does not depend on the screen, it runs on the laptop.
export const LAPTOP = VIEWPORTS[1];

// Where the page must be sharp, in every engine: each size at once and twice the density.
export const SHARP = [822, 1366, 3840].flatMap(width => [1, 2].map(dpr => ({
  name: `${width} x ${{ 822: 687, 1366: 768, 3840: 2160 }[width]}${dpr > 1 ? ' at 2x' : ''}`,
  width, height: { 822: 687, 1366: 768, 3840: 2160 }[width], dpr,
})));

// The sizes the board's scenes run at: all of them in Chromium; in the slower engines
// the window's own scale and a fractional one, which between them meet every rule of
// placing on pixels (the sharpness above still covers every size there).
export function viewportsFor(engine) {
  return engine.name === 'chromium' ? VIEWPORTS : VIEWPORTS.slice(0, 2);
}
