#include "frontend/scene.h"

#include <cmath>

#include "frontend/record.h"

namespace frontend {

namespace {

// A line's area is a chain of boxes along it, each this many pixels along its longer
// axis, not its bounding box: a long slanted line moved by a pixel repaints a thin
// band, not half the board.
constexpr double kBandStep = 128;

bool reaches(const std::vector<Rect>& area, const Rect& within) {
  for (const Rect& r : area)
    if (r.intersects(within)) return true;
  return false;
}

void add(std::vector<Rect>& to, const std::vector<Rect>& area) {
  to.insert(to.end(), area.begin(), area.end());
}

}  // namespace

BoardScene::BoardScene(app::Form1& form)
    : form_(form),
      width_(static_cast<int>(form.gamen.innerWidth())),
      height_(static_cast<int>(form.gamen.innerHeight())) {
  auto layer = [this](auto& list, const auto& array) {
    array.forEach([&](int, const auto& c) {
      list.push_back(ShownControl<std::decay_t<decltype(c)>>{&c, c});
      placeShown(list.back());
    });
  };
  layer(gridLines_, form.Line5);
  layer(gridLines_, form.Line6);
  layer(labels_, form.Label2);
  layer(labels_, form.Label3);
  layer(images_, form.Image1);
  layer(figureLines_, form.Line1);
  layer(figureLines_, form.Line2);
  layer(figureLines_, form.Line3);
  layer(upperLines_, form.Line4);
  shapes_.push_back(ShownControl<forms::Shape>{&form.Shape1, form.Shape1});
  placeShown(shapes_.back());
}

int BoardScene::lookOf(const TextItem& text) {
  for (std::size_t i = 0; i < looks_.size(); ++i) {
    const TextItem& l = looks_[i];
    if (l.caption == text.caption && l.font == text.font && l.fore == text.fore &&
        l.back == text.back && l.box.w == text.box.w && l.box.h == text.box.h)
      return static_cast<int>(i);
  }
  looks_.push_back(text);
  return static_cast<int>(looks_.size()) - 1;
}

template <class T>
void BoardScene::placeShown(ShownControl<T>& t) {
  t.area.clear();
  if constexpr (std::is_same_v<T, forms::Label>) {
    // A name moves on every step of a drag; its look is worked out again only when
    // its caption, font, colours or size changed.
    const forms::Label& l = t.shown;
    const Rect box = pixelBox(l);
    if (t.text.look >= 0 && l.Caption == t.text.caption && l.ForeColor == t.text.fore &&
        l.BackColor == t.text.back && box.w == t.text.box.w && box.h == t.text.box.h &&
        l.Font == t.font) {
      t.text.box = box;
    } else {
      t.text = textOf(l);
      t.text.look = lookOf(t.text);
      t.font = l.Font;
    }
  }
  if constexpr (std::is_same_v<T, forms::Image>) t.picture = {t.shown.Picture, pixelBox(t.shown)};
  if constexpr (std::is_same_v<T, forms::Shape>) t.marker = markerOutline(t.shown);
  if constexpr (std::is_same_v<T, forms::Line>) {
    t.drawn = placeLine(t.shown, width_, height_, t.placed);
    if (!t.drawn) return;
    const Segment& s = t.placed.whole;
    const int m = strokeMargin(t.placed.width);
    const double span = std::max(std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1));
    const int boxes = std::max(1, static_cast<int>(std::ceil(span / kBandStep)));
    for (int i = 0; i < boxes; ++i) {
      const double t0 = static_cast<double>(i) / boxes;
      const double t1 = static_cast<double>(i + 1) / boxes;
      const Rect band = alignedRect(s.x1 + (s.x2 - s.x1) * t0, s.y1 + (s.y2 - s.y1) * t0,
                                    s.x1 + (s.x2 - s.x1) * t1, s.y1 + (s.y2 - s.y1) * t1)
                            .adjusted(-m, -m, m + 1, m + 1)
                            .intersected(area());
      if (!band.empty()) t.area.push_back(band);
    }
  } else {
    if (!t.shown.Visible) return;
    Rect box = pixelBox(t.shown);
    // The marker's ring, set on whole device pixels, may reach part of a pixel beyond
    // its box.
    if constexpr (std::is_same_v<T, forms::Shape>) box = box.adjusted(-1, -1, 1, 1);
    box = box.intersected(area());
    if (!box.empty()) t.area.push_back(box);
  }
}

template <class T>
void BoardScene::track(std::vector<ShownControl<T>>& layer, std::vector<Rect>& damage) {
  for (ShownControl<T>& t : layer) {
    if (*t.control == t.shown) continue;
    add(damage, t.area);
    t.shown = *t.control;
    placeShown(t);
    add(damage, t.area);
  }
}

std::vector<Rect> BoardScene::takeFrame() {
  std::vector<Rect> damage;
  if (!inkDamage_.empty()) damage.push_back(inkDamage_);
  inkDamage_ = {};
  track(gridLines_, damage);
  track(labels_, damage);
  track(images_, damage);
  track(figureLines_, damage);
  track(upperLines_, damage);
  track(shapes_, damage);
  track(overlay_, damage);
  return damage;
}

bool BoardScene::inkStroke(const forms::InkCommand& c, InkStroke& out) {
  if (c.kind == forms::InkCommand::Kind::Clear) {
    out = {true, {{}, background(), 0, Cap::Flat, false, false}};
    inkDamage_ = area();
    return true;
  }
  // On the ink's own grid, so that writing drawn again from its log (a wipe taken
  // back, a page reloaded) lands on the very same pixels.
  Segment s{onInkGrid(c.x1), onInkGrid(c.y1), onInkGrid(c.x2), onInkGrid(c.y2)};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, width_ + kClipMargin, height_ + kClipMargin))
    return false;
  // Round ends, so consecutive segments of a stroke join without gaps or notches at
  // every width.
  constexpr double kPixelCentre = 0.5;
  out = {false,
         {{s.x1 + kPixelCentre, s.y1 + kPixelCentre, s.x2 + kPixelCentre, s.y2 + kPixelCentre},
          c.colour,
          c.width,
          Cap::Round,
          false,
          true}};
  const int m = strokeMargin(c.width);
  // One box for all the ink of a frame: a stroke's segments lie close together, and
  // one rectangle reaches the screen far cheaper than many small ones.
  inkDamage_ = inkDamage_.united(
      alignedRect(s.x1, s.y1, s.x2, s.y2).adjusted(-m, -m, m + 1, m + 1).intersected(area()));
  return true;
}

namespace {

// A stroke as the rasteriser takes it: on whole device pixels where it needs no
// antialiasing, its round ends as discs.
void draw(const SegmentItem& s, Rasteriser& to, const DeviceGrid& grid) {
  std::vector<Rect> pixels;
  if (!crispPixels(s, grid, pixels)) {
    to.segment(s);
    return;
  }
  for (const Rect& p : pixels) to.fill(p, s.colour);
  for (const SegmentItem& end : crispEnds(s)) to.segment(end);
}

}  // namespace

void BoardScene::paintLines(const std::vector<ShownControl<forms::Line>>& layer, const Rect& within,
                            Rasteriser& to, const DeviceGrid& grid) const {
  SegmentItem item;
  for (const auto& t : layer)
    if (t.drawn && reaches(t.area, within) && drawnSegment(t.placed, within, item))
      draw(item, to, grid);
}

void BoardScene::paint(const Rect& within, Rasteriser& to, const DeviceGrid& grid) const {
  paintLines(gridLines_, within, to, grid);
  for (const auto& t : labels_)
    if (reaches(t.area, within)) to.text(t.text);
  for (const auto& t : images_)
    if (reaches(t.area, within)) to.picture(t.picture);
  paintLines(figureLines_, within, to, grid);
  paintLines(upperLines_, within, to, grid);
  for (const auto& t : shapes_)
    if (reaches(t.area, within))
      for (const Rect& run : ringPixels(t.marker, grid)) to.fill(run, t.marker.colour);
  paintLines(overlay_, within, to, grid);
}

void BoardScene::paintBorder(Rasteriser& to, const DeviceGrid& grid) const {
  for (const SegmentItem& s : border()) draw(s, to, grid);
}

std::vector<Rect> BoardScene::tiles(const std::vector<Rect>& damage, int size) const {
  const int b = borderWidth();
  const Rect bounds = area().adjusted(-b, -b, b, b);
  const int columns = (bounds.w + size - 1) / size;
  const int rows = (bounds.h + size - 1) / size;
  std::vector<bool> touched(static_cast<std::size_t>(columns) * rows, false);
  for (const Rect& d : damage) {
    const Rect r = d.intersected(bounds);
    if (r.empty()) continue;
    for (int row = (r.y - bounds.y) / size; row <= (r.bottom() - 1 - bounds.y) / size; ++row)
      for (int column = (r.x - bounds.x) / size; column <= (r.right() - 1 - bounds.x) / size;
           ++column)
        touched[static_cast<std::size_t>(row) * columns + column] = true;
  }
  std::vector<Rect> out;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      if (touched[static_cast<std::size_t>(row) * columns + column])
        out.push_back(
            Rect{bounds.x + column * size, bounds.y + row * size, size, size}.intersected(bounds));
  return out;
}

int BoardScene::pictureAt(double x, double y) const {
  // The pixel under the pointer, against the pixels the picture is drawn on. A
  // pointer reported far outside the board (or not a number) is over no picture.
  if (!(std::abs(x) < 1e6 && std::abs(y) < 1e6)) return -1;
  const int px = static_cast<int>(std::floor(x));
  const int py = static_cast<int>(std::floor(y));
  // Pictures are Image1 elements 0 to 4 in order; a later one lies on top.
  for (int index = static_cast<int>(images_.size()) - 1; index >= 0; --index) {
    const forms::Image& i = images_[static_cast<std::size_t>(index)].shown;
    if (i.Visible && pixelBox(i).contains(px, py)) return index;
  }
  return -1;
}

std::vector<SegmentItem> BoardScene::border() const {
  // The platform's sunken frame of a picture box: a dark edge above and left, a light
  // one below and right, each two pixels deep.
  const int b = form_.gamen.BorderPixels;
  const int l = -b, t = -b, r = width_ + b - 1, bm = height_ + b - 1;
  auto band = [](int x1, int y1, int x2, int y2, forms::Rgb c) {
    return SegmentItem{{x1 + 0.5, y1 + 0.5, x2 + 0.5, y2 + 0.5}, c, 1, Cap::Square, false, false};
  };
  constexpr forms::Rgb kShadow{128, 128, 128}, kDark{0, 0, 0}, kLight{255, 255, 255},
      kFace{192, 192, 192};
  return {band(l, t, r, t, kShadow),
          band(l, t, l, bm, kShadow),
          band(l + 1, t + 1, r - 1, t + 1, kDark),
          band(l + 1, t + 1, l + 1, bm - 1, kDark),
          band(l, bm, r, bm, kLight),
          band(r, t, r, bm, kLight),
          band(l + 1, bm - 1, r - 1, bm - 1, kFace),
          band(r - 1, t + 1, r - 1, bm - 1, kFace)};
}

}  // namespace frontend
