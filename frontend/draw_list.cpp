#include "frontend/draw_list.h"

#include <algorithm>

namespace frontend {

namespace {
double rgb(forms::Rgb c) { return (c.r << 16) | (c.g << 8) | c.b; }
}  // namespace

void DrawList::op(DrawOp code, std::initializer_list<double> values) {
  numbers_.push_back(static_cast<double>(code));
  for (double v : values) numbers_.push_back(v);
}

void DrawList::ink(const InkStroke& stroke) {
  const SegmentItem& s = stroke.stroke;
  if (stroke.clear)
    op(DrawOp::InkClear, {rgb(s.colour)});
  else
    op(DrawOp::InkSegment,
       {s.at.x1, s.at.y1, s.at.x2, s.at.y2, rgb(s.colour), static_cast<double>(s.width)});
}

void DrawList::underlay(const Underlay& u) {
  op(DrawOp::Underlay, {static_cast<double>(u.device.x), static_cast<double>(u.device.y),
                        static_cast<double>(u.device.w), static_cast<double>(u.device.h), u.sourceX,
                        u.sourceY, u.sourceWidth, u.sourceHeight, u.smooth ? 1.0 : 0.0});
}

void DrawList::segment(const SegmentItem& s) {
  op(DrawOp::Segment,
     {s.at.x1, s.at.y1, s.at.x2, s.at.y2, rgb(s.colour), static_cast<double>(s.width),
      static_cast<double>(s.cap), s.ownStart ? 1.0 : 0.0, s.ownEnd ? 1.0 : 0.0});
}

void DrawList::fill(const Rect& d, forms::Rgb colour) {
  op(DrawOp::Fill, {static_cast<double>(d.x), static_cast<double>(d.y), static_cast<double>(d.w),
                    static_cast<double>(d.h), rgb(colour)});
}

void DrawList::text(const TextItem& t) {
  const auto look = static_cast<std::size_t>(t.look);
  if (lookKnown_.size() <= look) lookKnown_.resize(look + 1);
  if (lookKnown_[look] == 0) {
    lookKnown_[look] = 1;
    newLooks_.push_back(&t);
  }
  op(DrawOp::Text,
     {static_cast<double>(t.look), static_cast<double>(t.box.x), static_cast<double>(t.box.y),
      static_cast<double>(t.box.w), static_cast<double>(t.box.h)});
}

void DrawList::picture(const PictureItem& p) {
  auto known = std::find(pictures_.begin(), pictures_.end(), p.key);
  const auto number = static_cast<int>(known - pictures_.begin());
  if (known == pictures_.end()) {
    pictures_.push_back(p.key);
    newPictures_.push_back(number);
  }
  op(DrawOp::Picture, {static_cast<double>(number), static_cast<double>(pictureScale(scale)),
                       static_cast<double>(p.box.x), static_cast<double>(p.box.y),
                       static_cast<double>(p.box.w), static_cast<double>(p.box.h)});
}

void DrawList::clear() {
  numbers_.clear();
  newLooks_.clear();
  newPictures_.clear();
}

}  // namespace frontend
