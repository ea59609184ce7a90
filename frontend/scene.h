// The board as a front end shows it: what is on screen now, against the model; the
// rectangles a frame must repaint; the display list, bottom to top; the pictures that
// take presses; and the ink to add to the front end's raster.
#pragma once

#include <array>
#include <vector>

#include "app/form1.h"
#include "frontend/pixels.h"

namespace frontend {

// What to add to the persistent ink raster: a stroke of chalk or eraser (round ends,
// antialiased, on pixel centres), or, for a clearing, the board's colour all over.
struct InkStroke {
  bool clear = false;
  SegmentItem stroke;
  friend bool operator==(const InkStroke&, const InkStroke&) = default;
};

class BoardScene {
 public:
  explicit BoardScene(app::Form1& form);
  BoardScene(const BoardScene&) = delete;
  BoardScene& operator=(const BoardScene&) = delete;

  // The drawing area, in pixels.
  int width() const { return width_; }
  int height() const { return height_; }
  Rect area() const { return {0, 0, width_, height_}; }
  forms::Rgb background() const { return form_.gamen.BackColor; }

  // The ink raster at `scale` device pixels per board pixel, on a surface with the
  // board's border (which rasters a front end keeps: InkRasters).
  InkRaster inkRasterAt(double scale) const { return inkRaster(area(), {scale, borderWidth()}); }

  // Whether the model drew since the ink was last drained: ink for the next frame.
  bool hasInk() const { return !form_.gamen.pending().empty(); }

  // One frame: first each ink command the model drew since the last frame, handed to
  // `ink` as strokes for the raster, in order; then, with the ink's own box among
  // them, the rectangles where the screen must be repainted to bring what is shown in
  // line with the model: bands along the old and new places of every moved line, the
  // old and new boxes of moved names, pictures and the marker. Rectangles may overlap.
  // At most kInkPerFrame strokes: writing that comes back whole (a wipe taken back, a
  // page loaded again) may be an hour's, and is drawn over the frames it takes, the
  // figure on screen at once; the front end asks for the next frame while hasInk().
  template <class F>
  std::vector<Rect> frame(F&& ink) {
    form_.gamen.drain(
        [&](const forms::InkCommand& c) {
          InkStroke stroke;
          if (inkStroke(c, stroke)) ink(stroke);
        },
        kInkPerFrame);
    return takeFrame();
  }
  // Writing as it is made is a few strokes a frame; an hour's is some 300,000, and this
  // many take a browser's canvas or Qt about 30 ms.
  static constexpr std::size_t kInkPerFrame = 10000;

  // Lines of the front-end core's own, drawn above everything: the keyboard's box
  // and cross. They must outlive the scene.
  template <std::size_t N>
  void addOverlay(const std::array<forms::Line, N>& lines) {
    for (const forms::Line& line : lines) {
      overlay_.push_back(ShownControl<forms::Line>{&line, line});
      placeShown(overlay_.back());
    }
  }

  // The display list as it is shown, bottom to top, as far as it reaches into
  // `within`, on a surface laid out as `grid`: the ink lies below all of it, then the
  // grid, the point names, the line-name pictures, the figure's lines, the straight
  // lines, the eraser's marker, the overlay.
  void paint(const Rect& within, Rasteriser& to, const DeviceGrid& grid) const;

  // Repaints the damaged rectangles of a frame (board pixels; the border's too) on a
  // surface laid out as `grid`, whose ink raster is `ink`: for each, `underlay` is
  // handed the Underlay to clip to and lay under it, and the display list is painted
  // over it. The border is painted when a rectangle reaches it.
  template <class F>
  void paintDamage(const std::vector<Rect>& damage, Rasteriser& to, const DeviceGrid& grid,
                   const InkRaster& ink, F&& underlay) const {
    for (const Rect& r : damage) {
      if (r.intersected(area()) == r) continue;
      paintBorder(to, grid);
      break;
    }
    for (const Rect& r : damage) {
      const Rect within = r.intersected(area());
      if (within.empty()) continue;
      underlay(underlayOf(within, area(), grid, ink));
      paint(within, to, grid);
    }
  }

  // The damaged rectangles (board pixels, the border's too) as the tiles of a fixed
  // grid that they touch, each once: `size` board pixels square, from the border's
  // top-left corner. A rasteriser whose antialiasing depends on where a stroke is
  // cut by the clip (a browser's canvas does) paints every pixel with the same clip
  // in every frame this way, so a frame painted where damaged equals a full repaint.
  std::vector<Rect> tiles(const std::vector<Rect>& damage, int size) const;
  static constexpr int kTileSize = 64;

  // The topmost shown picture (Image1 element) on the pixel under a pointer at board
  // position (x, y), or -1.
  int pictureAt(double x, double y) const;

  // The sunken border the board is framed by, in the board's own pixels (the border
  // lies outside the drawing area, from -border to width + border - 1).
  std::vector<SegmentItem> border() const;
  int borderWidth() const { return form_.gamen.BorderPixels; }
  // Where the board and its border stand on the window.
  Rect boxOnWindow() const { return pixelBox(form_.gamen); }

 private:
  // A control of the model beside a copy of it as the screen shows it now: a frame
  // compares the two to find what moved.
  template <class T>
  struct ShownControl {
    ShownControl(const T* c, const T& s) : control(c), shown(s) {}
    const T* control;
    T shown;                                // the control as the screen shows it
    std::vector<Rect> area;                 // where it is painted; empty when it shows nothing
    PlacedLine placed{};                    // lines: how it is drawn
    bool drawn = false;                     // lines: whether it shows at all
    TextItem text{{}, {}, {}, {}, {}, -1};  // labels, pictures and the marker: the item,
    PictureItem picture;                    // made once for each place they take
    RingItem marker;
    forms::FontSpec font;  // labels: the font their look was made with
  };
  // Where the shown copy is painted and how (its area, line, look or picture).
  template <class T>
  void placeShown(ShownControl<T>& t);
  int lookOf(const TextItem& text);
  template <class T>
  void track(std::vector<ShownControl<T>>& layer, std::vector<Rect>& damage);
  std::vector<Rect> takeFrame();
  bool inkStroke(const forms::InkCommand& c, InkStroke& out);
  void paintBorder(Rasteriser& to, const DeviceGrid& grid) const;
  void paintLines(const std::vector<ShownControl<forms::Line>>& layer, const Rect& within,
                  Rasteriser& to, const DeviceGrid& grid) const;

  app::Form1& form_;
  int width_;
  int height_;
  Rect inkDamage_;
  std::vector<ShownControl<forms::Line>> gridLines_;
  std::vector<ShownControl<forms::Label>> labels_;
  std::vector<ShownControl<forms::Image>> images_;
  std::vector<ShownControl<forms::Line>> figureLines_;
  std::vector<ShownControl<forms::Line>> upperLines_;
  std::vector<ShownControl<forms::Shape>> shapes_;
  std::vector<ShownControl<forms::Line>> overlay_;
  std::vector<TextItem> looks_;  // one of each look, wherever it stood
};

}  // namespace frontend
