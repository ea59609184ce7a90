// The screens classrooms have: the window's own size, a small laptop, a 4K board, and
// a 4K board at twice the density.
export const VIEWPORTS = [
  { name: '822 x 687', width: 822, height: 687, dpr: 1 },
  { name: '1366 x 768', width: 1366, height: 768, dpr: 1 },
  { name: '3840 x 2160', width: 3840, height: 2160, dpr: 1 },
  { name: '3840 x 2160 at 2x', width: 3840, height: 2160, dpr: 2 },
];
