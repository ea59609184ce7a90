// The byte format of a sequence of events. Pointer events take ten bytes, a keyboard
// event three, everything else one; the op byte's low two bits say which.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "fuzz/codec_tables.h"
#include "fuzz/events.h"

namespace fuzz {

namespace {

using frontend::Phase;
using frontend::PointerKind;
using tables::kActions;
using tables::kButtons;
using tables::kDevices;
using tables::kKeys;
using tables::kPartCount;
using tables::kPauses;
using tables::kPictureCount;
using tables::kSpanX;
using tables::kSpanY;
using tables::kSpecial;

// Reads the bytes one at a time; past the end, every byte reads as 0.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

float coordinate(std::uint8_t how, std::uint8_t hi, std::uint8_t lo, int span) {
  const int raw = (hi << 8) | lo;
  switch (how % 4) {
    case 0:
    case 1:
      return static_cast<float>(raw % span);
    case 2:
      return static_cast<float>(raw % span) + static_cast<float>(how >> 2) / 64.0F;
    default:
      return kSpecial[static_cast<std::size_t>(raw) % kSpecial.size()];
  }
}

// How coordinates are stored: a plain whole pixel when it is one, else an index into
// the special values, else a pixel with a fraction of 1/64.
void putCoordinate(std::vector<std::uint8_t>& out, float v, int span) {
  for (std::size_t i = 0; i < kSpecial.size(); ++i) {
    if (kSpecial[i] == v) {
      out.insert(out.end(), {3, 0, static_cast<std::uint8_t>(i)});
      return;
    }
  }
  const float whole = std::floor(v);
  const int fraction = static_cast<int>((v - whole) * 64.0F);
  const int raw = static_cast<int>(whole) % span;
  out.push_back(static_cast<std::uint8_t>(fraction == 0 ? 0 : 2 + (fraction << 2)));
  out.push_back(static_cast<std::uint8_t>(raw >> 8));
  out.push_back(static_cast<std::uint8_t>(raw & 0xff));
}

template <class T, std::size_t N>
std::uint8_t indexIn(const std::array<T, N>& table, T v) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == v) return static_cast<std::uint8_t>(i);
  return 0;
}

Event decodePointer(Reader& in) {
  Event e;
  e.kind = Event::Kind::Pointer;
  const std::uint8_t how = in.next(), buttons = in.next(), pause = in.next();
  e.phase = static_cast<Phase>(how & 3);
  e.device = kDevices[(how >> 2) & 3];
  e.pointer = (how >> 4) & 3;
  e.button = kButtons[buttons & 7];
  e.held = (buttons >> 3) & 15;
  e.afterMs = kPauses[pause & 7];
  const std::uint8_t hx = in.next(), x1 = in.next(), x2 = in.next();
  const std::uint8_t hy = in.next(), y1 = in.next(), y2 = in.next();
  e.x = coordinate(hx, x1, x2, kSpanX);
  e.y = coordinate(hy, y1, y2, kSpanY);
  return e;
}

// Op bytes 3 + 4k: a picture for k below 5, else the keyboard with two bytes more.
Event decodePictureOrKeyboard(std::uint8_t op, Reader& in) {
  Event e;
  if ((op >> 2) < kPictureCount) {
    e.kind = Event::Kind::Picture;
    e.index = op >> 2;
    return e;
  }
  e.kind = Event::Kind::Keyboard;
  e.action = static_cast<Event::Action>(((op >> 2) - kPictureCount) % kActions);
  const std::uint8_t what = in.next(), value = in.next();
  e.index = what % kPartCount;
  e.button = static_cast<unsigned>((what / kPartCount) % kKeys);
  e.x = static_cast<float>(value) * 4 - 100;
  return e;
}

// Op bytes 1 + 4k: the pointers lost, or for k from 1 to 3 a kept board's event.
Event decodeLostOrKeeping(std::uint8_t op) {
  Event e;
  e.kind = Event::Kind::PointersLost;
  if ((op >> 2) >= 1 && (op >> 2) <= 3) {
    e.kind = Event::Kind::Keeping;
    e.index = (op >> 2) - 1;
  }
  return e;
}

void encodePointer(std::vector<std::uint8_t>& out, const Event& e) {
  out.push_back(0);
  out.push_back(static_cast<std::uint8_t>(
      static_cast<int>(e.phase) | (indexIn(kDevices, e.device) << 2) | ((e.pointer & 3) << 4)));
  out.push_back(static_cast<std::uint8_t>(indexIn(kButtons, e.button) | ((e.held & 15) << 3)));
  out.push_back(indexIn(kPauses, e.afterMs));
  putCoordinate(out, e.x, kSpanX);
  putCoordinate(out, e.y, kSpanY);
}

void encodeKeyboard(std::vector<std::uint8_t>& out, const Event& e) {
  out.push_back(static_cast<std::uint8_t>(3 | ((kPictureCount + static_cast<int>(e.action)) << 2)));
  out.push_back(static_cast<std::uint8_t>(e.index % kPartCount + kPartCount * (e.button % kKeys)));
  out.push_back(static_cast<std::uint8_t>(std::clamp((e.x + 100) / 4, 0.0F, 255.0F)));
}

const char* phaseName(Phase p) {
  switch (p) {
    case Phase::Down:
      return "down";
    case Phase::Move:
      return "move";
    case Phase::Up:
      return "up";
    case Phase::Cancel:
      return "cancel";
  }
  return "?";
}

const char* deviceName(PointerKind k) {
  switch (k) {
    case PointerKind::Mouse:
      return "mouse";
    case PointerKind::Touch:
      return "touch";
    case PointerKind::Pen:
      return "pen";
  }
  return "?";
}

const char* keepingName(int index) {
  if (index == Event::kCtrlZ) return "Ctrl+Z";
  return index == Event::kTakeOffer ? "the offer taken" : "reload";
}

}  // namespace

std::vector<Event> decode(const std::uint8_t* data, std::size_t size) {
  std::vector<Event> events;
  Reader in(data, size);
  while (in.more()) {
    const std::uint8_t op = in.next();
    switch (op % 4) {
      case 0:
        events.push_back(decodePointer(in));
        break;
      case 1:
        events.push_back(decodeLostOrKeeping(op));
        break;
      case 2: {
        Event e;
        e.kind = Event::Kind::Click;
        e.index = op >> 2;
        events.push_back(e);
        break;
      }
      default:
        events.push_back(decodePictureOrKeyboard(op, in));
        break;
    }
  }
  return events;
}

std::vector<std::uint8_t> encode(const std::vector<Event>& events) {
  std::vector<std::uint8_t> out;
  for (const Event& e : events) {
    switch (e.kind) {
      case Event::Kind::Pointer:
        encodePointer(out, e);
        break;
      case Event::Kind::PointersLost:
        out.push_back(1);
        break;
      case Event::Kind::Keeping:
        out.push_back(static_cast<std::uint8_t>(1 | ((e.index % 3 + 1) << 2)));
        break;
      case Event::Kind::Click:
        out.push_back(static_cast<std::uint8_t>(2 | ((e.index & 63) << 2)));
        break;
      case Event::Kind::Picture:
        out.push_back(static_cast<std::uint8_t>(3 | ((e.index % kPictureCount) << 2)));
        break;
      case Event::Kind::Keyboard:
        encodeKeyboard(out, e);
        break;
    }
  }
  return out;
}

std::string describe(const Event& e) {
  std::ostringstream o;
  o.precision(9);
  switch (e.kind) {
    case Event::Kind::Pointer:
      o << "+" << e.afterMs << " ms " << deviceName(e.device) << " " << e.pointer << " "
        << phaseName(e.phase) << " button " << e.button << " held " << e.held << " at " << e.x
        << ", " << e.y;
      break;
    case Event::Kind::PointersLost:
      o << "pointers lost";
      break;
    case Event::Kind::Keeping:
      o << keepingName(e.index);
      break;
    case Event::Kind::Click:
      o << "click control " << e.index;
      break;
    case Event::Kind::Picture:
      o << "click Image1(" << e.index << ")";
      break;
    case Event::Kind::Keyboard:
      o << "keyboard action " << static_cast<int>(e.action) << " part " << e.index << " key "
        << e.button << " value " << e.x;
      break;
  }
  return o.str();
}

}  // namespace fuzz
