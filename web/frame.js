// A frame's list (frontend::DrawList), as web/bridge.js hands it over: the ink, then
// each damaged rectangle with what lies on it, read in one pass into the canvas's calls.

/* global Canvas, Core, InkLayer */

const Frame = {
  replay(list) {
    const D = Core.DRAW, n = list.length;
    let i = 0;
    while (i < n) {
      const op = list[i];
      const a = list[i + 1], b = list[i + 2], c = list[i + 3], d = list[i + 4];
      switch (op) {
        case D.underlay:
          Canvas.beginRect(a, b, c, d, list[i + 5], list[i + 6], list[i + 7], list[i + 8], !!list[i + 9]);
          i += 10;
          break;
        case D.segment:
          Canvas.segment(a, b, c, d, Canvas.css(list[i + 5]), list[i + 6], list[i + 7], list[i + 8],
                         list[i + 9]);
          i += 10;
          break;
        case D.fill:
          Canvas.fillDevice(a, b, c, d, Canvas.css(list[i + 5]));
          i += 6;
          break;
        case D.text:
          Canvas.text(a, b, c, d, list[i + 5]);
          i += 6;
          break;
        case D.picture:
          Canvas.picture(Canvas.pictureKeys[a], b, c, d, list[i + 5], list[i + 6]);
          i += 7;
          break;
        case D.inkClear:
          InkLayer.clear(Canvas.css(a));
          i += 2;
          break;
        case D.inkSegment:
          InkLayer.segment(a, b, c, d, list[i + 5], list[i + 6]);
          i += 7;
          break;
        default:
          throw new Error('unknown drawing command ' + op);
      }
    }
    Canvas.endPaint();
  }
};
