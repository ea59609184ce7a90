#include "frontend/record.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

namespace frontend {

namespace {

// ---- Bytes ----------------------------------------------------------------------

void putVarint(Bytes& out, std::uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(v));
}
std::uint64_t zigzag(std::int64_t v) {
  return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}
std::int64_t unzigzag(std::uint64_t v) {
  return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}
template <class T>
void putRaw(Bytes& out, T v) {
  std::array<std::uint8_t, sizeof(T)> b{};
  std::memcpy(b.data(), &v, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) std::reverse(b.begin(), b.end());
  out.insert(out.end(), b.begin(), b.end());
}

// Reads what the writer wrote; any fault (past the end, a varint too long, a value out
// of its range) leaves it failed, and everything read after gives zeros.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}
  bool ok() const { return ok_; }
  bool done() const { return at_ == end_; }
  const std::uint8_t* here() const { return at_; }
  std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }
  void fail() { ok_ = false; }

  std::uint8_t byte() {
    if (!ok_ || at_ == end_) return fail(), 0;
    return *at_++;
  }
  std::uint64_t varint() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const std::uint8_t b = byte();
      v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if ((b & 0x80) == 0) return v;
    }
    fail();
    return 0;
  }
  template <class T>
  T raw() {
    std::array<std::uint8_t, sizeof(T)> b{};
    for (auto& x : b) x = byte();
    if constexpr (std::endian::native == std::endian::big) std::reverse(b.begin(), b.end());
    T v{};
    std::memcpy(&v, b.data(), sizeof(T));
    return v;
  }
  // `size` bytes, as a pointer into the data, or nothing.
  const std::uint8_t* take(std::size_t size) {
    if (!ok_ || size > left()) return fail(), nullptr;
    const std::uint8_t* p = at_;
    at_ += size;
    return p;
  }

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
  bool ok_ = true;
};

// ---- The writing ------------------------------------------------------------------

// Ink steps held where a float still counts each one exactly: the pointer never goes
// further than a million pixels (app/form1.cpp), a sixteenth of which is 2^24.
constexpr std::int64_t kMostSteps = (std::int64_t{1} << 24) - 1;
std::int32_t toSteps(forms::Single v) {
  const double s = std::nearbyint(static_cast<double>(v) * kInkSteps);
  if (!(s == s)) return 0;
  return static_cast<std::int32_t>(std::clamp<double>(s, -kMostSteps, kMostSteps));
}
forms::Single fromSteps(std::int64_t s) {
  return static_cast<forms::Single>(static_cast<double>(s) / kInkSteps);
}
// The pens draw 3 to 25 pixels wide; a record with more is not one of ours.
constexpr int kWidestInk = 64;

void writeRunHead(Bytes& out, std::uint32_t steps, forms::Rgb colour, int width, std::int32_t x,
                  std::int32_t y) {
  putVarint(out, steps);
  out.push_back(colour.r);
  out.push_back(colour.g);
  out.push_back(colour.b);
  putVarint(out, static_cast<std::uint64_t>(width));
  putVarint(out, zigzag(x));
  putVarint(out, zigzag(y));
}

}  // namespace

void InkLog::add(const forms::InkCommand& c) {
  if (c.kind == forms::InkCommand::Kind::Clear) {
    *this = InkLog{};
    return;
  }
  const std::int32_t x1 = toSteps(c.x1), y1 = toSteps(c.y1);
  const std::int32_t x2 = toSteps(c.x2), y2 = toSteps(c.y2);
  const int width = std::clamp(c.width, 1, kWidestInk);
  // A stroke's segments join end to start: one run, a step for each.
  if (!open_ || c.colour != run_.colour || width != run_.width || x1 != lastX_ || y1 != lastY_) {
    closeRun();
    open_ = true;
    run_ = {c.colour, width, x1, y1};
    lastX_ = x1;
    lastY_ = y1;
  }
  putVarint(openSteps_, zigzag(std::int64_t{x2} - lastX_));
  putVarint(openSteps_, zigzag(std::int64_t{y2} - lastY_));
  ++steps_;
  lastX_ = x2;
  lastY_ = y2;
  ++segments_;
}

void InkLog::closeRun() {
  if (!open_) return;
  writeRunHead(closed_, steps_, run_.colour, run_.width, run_.x, run_.y);
  closed_.insert(closed_.end(), openSteps_.begin(), openSteps_.end());
  open_ = false;
  steps_ = 0;
  openSteps_.clear();
}

namespace {
// FNV-1a, 64 bits: a block's name from its bytes. Two blocks of one board with the same
// name by chance (about one in 10^17) would still be told apart: the reader checks
// every block against its name and the record against its checksum.
std::string nameOf(const std::uint8_t* data, std::size_t size) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001b3ULL;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(16, '0');
  for (int k = 15; k >= 0; --k, h >>= 4) name[static_cast<std::size_t>(k)] = kHex[h & 15];
  return name;
}
void appendBase64(std::string& out, const std::uint8_t* in, std::size_t size);
}  // namespace

const InkLog::Block& InkLog::block(std::size_t i) const {
  while (blocks_.size() <= i) {
    const std::uint8_t* at = closed_.data() + blocks_.size() * kBlockBytes;
    Block b{nameOf(at, kBlockBytes), {}};
    appendBase64(b.text, at, kBlockBytes);
    blocks_.push_back(std::move(b));
  }
  return blocks_[i];
}

void InkLog::tailTo(Bytes& out) const {
  out.insert(out.end(), closed_.begin() + static_cast<std::ptrdiff_t>(blocks() * kBlockBytes),
             closed_.end());
  if (!open_) return;
  writeRunHead(out, steps_, run_.colour, run_.width, run_.x, run_.y);
  out.insert(out.end(), openSteps_.begin(), openSteps_.end());
}

const std::string* InkLog::blockNamed(std::string_view name) const {
  for (std::size_t i = 0; i < blocks(); ++i)
    if (block(i).name == name) return &block(i).text;
  return nullptr;
}

void InkLog::writeTo(Bytes& out) const {
  out.insert(out.end(), closed_.begin(), closed_.end());
  if (!open_) return;
  writeRunHead(out, steps_, run_.colour, run_.width, run_.x, run_.y);
  out.insert(out.end(), openSteps_.begin(), openSteps_.end());
}

template <class F, class R>
bool InkLog::forEachSegment(const std::uint8_t* data, std::size_t size, F&& f, R&& runs) {
  ByteReader in(data, size);
  while (in.ok() && !in.done()) {
    const std::uint8_t* start = in.here();
    const std::uint64_t steps = in.varint();
    const forms::Rgb colour{in.byte(), in.byte(), in.byte()};
    const std::uint64_t width = in.varint();
    std::int64_t x = unzigzag(in.varint()), y = unzigzag(in.varint());
    // Each step takes two bytes at least: a count beyond that is a lie.
    if (!in.ok() || steps == 0 || steps > in.left() / 2 || width < 1 || width > kWidestInk ||
        std::max(std::abs(x), std::abs(y)) > kMostSteps)
      return false;
    runs(start, in.here(),
         Run{colour, static_cast<int>(width), static_cast<std::int32_t>(x),
             static_cast<std::int32_t>(y)},
         static_cast<std::uint32_t>(steps));
    for (std::uint64_t i = 0; i < steps; ++i) {
      const std::int64_t nx = x + unzigzag(in.varint()), ny = y + unzigzag(in.varint());
      if (!in.ok() || std::max(std::abs(nx), std::abs(ny)) > kMostSteps) return false;
      f(forms::InkCommand{forms::InkCommand::Kind::Segment, fromSteps(x), fromSteps(y),
                          fromSteps(nx), fromSteps(ny), colour, static_cast<int>(width)});
      x = nx;
      y = ny;
    }
  }
  return in.ok();
}

void InkLog::replay(const std::function<void(const forms::InkCommand&)>& f) const {
  Bytes whole;
  writeTo(whole);
  forEachSegment(whole.data(), whole.size(), f, [](auto&&...) {});
}

std::optional<InkLog> InkLog::read(const std::uint8_t* data, std::size_t size) {
  // Checked whole, then taken as it is: the runs that are done, and the last, which
  // the next segment may go on.
  InkLog log;
  const std::uint8_t* lastRun = data;
  const std::uint8_t* lastSteps = data;
  const bool whole = forEachSegment(
      data, size,
      [&log](const forms::InkCommand& c) {
        ++log.segments_;
        log.lastX_ = toSteps(c.x2);
        log.lastY_ = toSteps(c.y2);
      },
      [&](const std::uint8_t* run, const std::uint8_t* steps, const Run& head,
          std::uint32_t count) {
        lastRun = run;
        lastSteps = steps;
        log.run_ = head;
        log.steps_ = count;
      });
  if (!whole) return std::nullopt;
  if (log.segments_ == 0) return InkLog{};
  log.closed_.assign(data, lastRun);
  log.openSteps_.assign(lastSteps, data + size);
  log.open_ = true;
  return log;
}

bool operator==(const InkLog& a, const InkLog& b) {
  Bytes x, y;
  a.writeTo(x);
  b.writeTo(y);
  return x == y;
}

// ---- The rest of the board ---------------------------------------------------------

namespace {

// Writes every field a visit names.
struct Writer {
  Bytes& out;
  void real(double v) { putRaw(out, v); }
  void single(forms::Single v) { putRaw(out, v); }
  void i16(forms::Int16 v) { putRaw(out, v); }
  void small(int v, int, int) { out.push_back(static_cast<std::uint8_t>(v)); }
  void boolean(bool v) { out.push_back(v ? 1 : 0); }
  void rgb(forms::Rgb c) { out.insert(out.end(), {c.r, c.g, c.b}); }
  void option(const forms::OptionButton& b) {
    boolean(b.Value());
    boolean(b.Enabled);
  }
  void check(const forms::CheckBox& b) {
    boolean(b.Value() != 0);
    boolean(b.Enabled);
  }
};

// No place on a board the program made is further out than this: a transversal is
// refused beyond 10^15 of its lower end, and the pointer moves at most 10^6 a step. A
// board read with places beyond it could overflow the figure's arithmetic on the next
// drag.
constexpr double kFurthest = 1e16;

// Reads them back into a window, each checked against what the program could hold.
struct Reader {
  ByteReader& in;
  void real(double& v) {
    v = in.raw<double>();
    if (!(std::abs(v) <= kFurthest)) in.fail();
  }
  void single(forms::Single& v) {
    v = in.raw<forms::Single>();
    if (!(std::abs(v) <= kFurthest)) in.fail();
  }
  void i16(forms::Int16& v) { v = in.raw<forms::Int16>(); }
  void small(int& v, int lo, int hi) {
    v = in.byte();
    if (v < lo || v > hi) in.fail();
  }
  void boolean(bool& v) {
    const std::uint8_t b = in.byte();
    if (b > 1) in.fail();
    v = b == 1;
  }
  void rgb(forms::Rgb& c) { c = {in.byte(), in.byte(), in.byte()}; }
  void option(forms::OptionButton& b) {
    bool value = false;
    boolean(value);
    boolean(b.Enabled);
    b.restore(value);
  }
  void check(forms::CheckBox& b) {
    bool value = false;
    boolean(value);
    boolean(b.Enabled);
    b.restore(value ? 1 : 0);
  }
};

// A flag held in a double or an integer, 0 or 1 as the window keeps it.
template <class T>
void flag(Writer& io, const T& v) {
  io.boolean(v != 0);
}
template <class T>
void flag(Reader& io, T& v) {
  bool b = false;
  io.boolean(b);
  v = b ? 1 : 0;
}
template <class Io, class V>
void widthOf(Io& io, V& v) {
  io.small(v, 1, kWidestInk);
}
template <class Io, class V>
void index(Io& io, V& v, int hi) {
  io.small(v, 0, hi);
}

template <class Io, class L>
void line(Io& io, L& l) {
  io.single(l.X1);
  io.single(l.Y1);
  io.single(l.X2);
  io.single(l.Y2);
  io.rgb(l.BorderColor);
  widthOf(io, l.BorderWidth);
  bool dotted = l.BorderStyle == forms::LineStyle::Dot;
  io.boolean(dotted);
  if constexpr (!std::is_const_v<L>)
    l.BorderStyle = dotted ? forms::LineStyle::Dot : forms::LineStyle::Solid;
  io.boolean(l.Visible);
}
template <class Io, class B>
void placed(Io& io, B& b) {
  io.single(b.Left);
  io.single(b.Top);
  io.single(b.Width);
  io.single(b.Height);
  io.boolean(b.Visible);
}
template <class A, class F>
void each(A& array, F&& f) {
  for (int i = 0; i < array.end(); ++i)
    if (array.exists(i)) f(array(i));
}

// Every control and variable a teacher can change, once; the pointer's place last, as
// it is not part of what the board shows.
template <class Io, class Form>
void visit(Io& io, Form& f) {
  auto& g = f.figure;
  for (auto* v : {&g.LinePY,       &g.LineQY,       &g.LineRY,  &g.LineLX1, &g.LineLY1,
                  &g.LineLX2,      &g.LineLY2,      &g.LineMX1, &g.LineMY1, &g.LineMX2,
                  &g.LineMY2,      &g.PointAX,      &g.PointBX, &g.PointCX, &g.PointAPrimeX,
                  &g.PointBPrimeX, &g.PointCPrimeX, &g.CopyX1,  &g.CopyY1,  &g.CopyX2})
    io.real(*v);
  io.i16(g.CopyY2);
  io.i16(g.CopyQX);
  flag(io, g.ExtensionLShown);
  flag(io, g.ExtensionMShown);
  io.i16(g.DragTarget);
  auto& b = f.board;
  flag(io, b.MemoMode);
  flag(io, b.LineMode);
  flag(io, b.PenDown);
  flag(io, b.LineDrawing);
  index(io, b.LineSlot, board::kStraightLineCount);
  index(io, b.PenColor, 15);
  io.i16(b.LineColor);
  flag(io, b.GridShown);
  widthOf(io, f.gamen.DrawWidth);
  const auto lines = [&](auto& array) { each(array, [&](auto& l) { line(io, l); }); };
  lines(f.Line1);
  lines(f.Line2);
  lines(f.Line3);
  lines(f.Line4);
  // The grid's lines are where start-up put them; only whether they show changes.
  each(f.Line5, [&](auto& l) { io.boolean(l.Visible); });
  each(f.Line6, [&](auto& l) { io.boolean(l.Visible); });
  each(f.Label2, [&](auto& l) { placed(io, l); });
  each(f.Label3, [&](auto& l) { placed(io, l); });
  each(f.Image1, [&](auto& im) { placed(io, im); });
  placed(io, f.Shape1);
  each(f.Option1, [&](auto& o) { io.option(o); });
  each(f.Option2, [&](auto& o) { io.option(o); });
  each(f.Check1, [&](auto& c) { io.check(c); });
  io.boolean(f.Command3.FontBold);
  io.boolean(f.Command4.FontBold);
  io.boolean(f.Command5.FontBold);
  io.single(f.LastX);
  io.single(f.LastY);
}

// A window as start-up leaves it, to read a board into and to hold one against.
std::unique_ptr<app::Form1> loadedForm() {
  auto f = std::make_unique<app::Form1>();
  f->Form_Load();
  return f;
}

Bytes controlsOf(const app::Form1& f) {
  Bytes out;
  Writer w{out};
  visit(w, f);
  return out;
}

// Reads a board's controls into `f`; false if they are not a whole board, or hold what
// the window never does (then `f` is left half-read: use a spare window).
bool readControls(const Bytes& bytes, app::Form1& f) {
  ByteReader in(bytes.data(), bytes.size());
  Reader r{in};
  visit(r, f);
  return in.ok() && in.done();
}

// What the window's rules keep true of every board it shows, held against a window
// just loaded: a board that breaks one would divide by zero or index past an array.
bool holdsTogether(const app::Form1& f, const app::Form1& loaded) {
  const figure::Figure& g = f.figure;
  const figure::Figure& l = loaded.figure;
  // r and the transversals' ends never move: the rules divide by their heights.
  if (g.LineRY != l.LineRY || g.LineLY1 != l.LineLY1 || g.LineLY2 != l.LineLY2 ||
      g.LineMY1 != l.LineMY1 || g.LineMY2 != l.LineMY2 || g.CopyY1 != l.CopyY1)
    return false;
  switch (g.DragTarget) {
    case figure::kHoldNothing:
    case figure::kHoldP:
    case figure::kHoldQ:
    case figure::kHoldUpperEndL:
    case figure::kHoldUpperEndM:
    case figure::kHoldCopyOfL:
      break;
    default:
      return false;
  }
  const board::Board& b = f.board;
  if (b.MemoMode == 1 && b.LineMode == 1) return false;
  if (b.LineMode == 1 && b.LineSlot == 0) return false;
  if (b.LineColor < 0 || b.LineColor > 15) return false;
  int selected = 0;
  for (const forms::OptionButton* o : f.optionGroup.members()) selected += o->Value() ? 1 : 0;
  return selected <= 1;
}

// What of a board shows (BoardState::shown), from a spare window holding it, which it
// changes.
Bytes shownOf(app::Form1& f) {
  f.LastX = f.LastY = 0;
  if (!f.Shape1.Visible) f.Shape1.Left = f.Shape1.Top = 0;
  const auto park = [](forms::Line& l) {
    if (l.X1 != figure::kOutOfSightX || l.X2 != figure::kOutOfSightX) return;
    l.Y1 = l.Y2 = 0;
    l.BorderColor = forms::kBlack;
  };
  park(f.Line2(figure::kCopyOfL));
  f.Line4.forEach([&](int, forms::Line& l) { park(l); });
  return controlsOf(f);
}

// A board from a spare window that holds it; the window is changed.
BoardState stateOf(app::Form1& spare, const InkLog& ink) {
  spare.endGestures();
  BoardState s{controlsOf(spare), ink, {}};
  s.shown = shownOf(spare);
  return s;
}

}  // namespace

BoardState capture(const app::Form1& form, const InkLog& ink) {
  // Read into a spare window, so that a gesture under way ends there and not on the
  // board the teacher sees.
  auto spare = loadedForm();
  readControls(controlsOf(form), *spare);
  return stateOf(*spare, ink);
}

void restore(app::Form1& form, const BoardState& state) {
  form.gamen.Cls();
  form.gamen.reserve(state.ink.segments());
  state.ink.replay([&form](const forms::InkCommand& c) {
    form.gamen.DrawWidth = c.width;
    form.gamen.Line(c.x1, c.y1, c.x2, c.y2, c.colour);
  });
  readControls(state.controls, form);
}

bool wipesToItself(const BoardState& state) {
  if (!state.ink.empty()) return false;
  auto spare = loadedForm();
  readControls(state.controls, *spare);
  spare->InitScreen();
  return shownOf(*spare) == state.shown;
}

// ---- The record as text -------------------------------------------------------------

namespace {

// The text begins with the program's mark and the record's version; a record of
// another version is not read.
constexpr std::string_view kMark = "parallel-lines board 1:";

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}();
// CRC-32 (as zip has it): a record cut short or changed anywhere is told from one
// whole, even where what is left still reads as a board.
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  std::uint32_t c = crc ^ 0xFFFFFFFFU;
  for (std::size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFU;
}

constexpr std::string_view kBase64 =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void appendBase64(std::string& out, const std::uint8_t* in, std::size_t size) {
  out.reserve(out.size() + (size + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const std::uint32_t v =
        (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i < size) {
    const bool two = i + 1 < size;
    const std::uint32_t v =
        (std::uint32_t{in[i]} << 16) | (two ? std::uint32_t{in[i + 1]} << 8 : 0);
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += two ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
}

std::optional<Bytes> fromBase64(std::string_view text) {
  static const std::array<int, 256> value = [] {
    std::array<int, 256> v{};
    v.fill(-1);
    for (std::size_t i = 0; i < kBase64.size(); ++i)
      v[static_cast<unsigned char>(kBase64[i])] = static_cast<int>(i);
    return v;
  }();
  if (text.size() % 4 != 0) return std::nullopt;
  // At most two '=', and only at the very end.
  std::size_t pad = 0;
  while (pad < 2 && pad < text.size() && text[text.size() - 1 - pad] == '=') ++pad;
  const std::size_t digits = text.size() - pad;
  Bytes out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int d = i < digits ? value[static_cast<unsigned char>(text[i])] : 0;
    if (d < 0) return std::nullopt;
    v = (v << 6) | static_cast<std::uint32_t>(d);
    if (i % 4 == 3) {
      out.push_back(static_cast<std::uint8_t>(v >> 16));
      out.push_back(static_cast<std::uint8_t>(v >> 8));
      out.push_back(static_cast<std::uint8_t>(v));
      v = 0;
    }
  }
  out.resize(out.size() - pad);
  return out;
}

// A board in a head: its controls, how many blocks of writing it rests on, and the rest
// of its writing.
void putState(Bytes& out, const BoardState& s, const InkLog& ink, std::vector<std::string>& names) {
  putVarint(out, s.controls.size());
  out.insert(out.end(), s.controls.begin(), s.controls.end());
  putVarint(out, ink.blocks());
  for (std::size_t i = 0; i < ink.blocks(); ++i) names.push_back(ink.blockName(i));
  Bytes tail;
  ink.tailTo(tail);
  putVarint(out, tail.size());
  out.insert(out.end(), tail.begin(), tail.end());
}

// A board read from a head, its writing from the next of `blocks`.
std::optional<BoardState> takeState(ByteReader& in, const app::Form1& loaded,
                                    const std::vector<Bytes>& blocks, std::size_t& nextBlock) {
  const std::uint64_t size = in.varint();
  const std::uint8_t* controls = in.take(size);
  const std::uint64_t count = in.varint();
  if (!in.ok() || count > blocks.size() - nextBlock) return std::nullopt;
  Bytes ink;
  ink.reserve(count * InkLog::kBlockBytes);
  for (std::uint64_t i = 0; i < count; ++i, ++nextBlock)
    ink.insert(ink.end(), blocks[nextBlock].begin(), blocks[nextBlock].end());
  const std::uint64_t tailSize = in.varint();
  const std::uint8_t* tail = in.take(tailSize);
  if (!in.ok()) return std::nullopt;
  ink.insert(ink.end(), tail, tail + tailSize);
  auto spare = loadedForm();
  if (!readControls(Bytes(controls, controls + size), *spare) || !holdsTogether(*spare, loaded))
    return std::nullopt;
  std::optional<InkLog> log = InkLog::read(ink.data(), ink.size());
  if (!log) return std::nullopt;
  // A gesture under way is never kept; a board written by another hand is ended here too.
  return stateOf(*spare, *log);
}

enum : std::uint8_t { kEnded = 1, kHasKept = 2 };

// A head: the mark, the names of its blocks, and, in base64, the checksum of the names
// and the body, then the body.
std::string headOf(const std::string& names, const Bytes& body) {
  std::uint32_t crc = crc32(reinterpret_cast<const std::uint8_t*>(names.data()), names.size(), 0);
  crc = crc32(body.data(), body.size(), crc);
  Bytes whole;
  whole.reserve(body.size() + 4);
  putRaw(whole, crc);
  whole.insert(whole.end(), body.begin(), body.end());
  std::string text(kMark);
  text += names;
  text += ':';
  appendBase64(text, whole.data(), whole.size());
  return text;
}

// A head's names and its checked body; nothing if it is not a whole head.
struct Head {
  std::vector<std::string> names;
  Bytes body;
};
std::optional<Head> readHead(std::string_view head) {
  if (head.substr(0, kMark.size()) != kMark) return std::nullopt;
  head.remove_prefix(kMark.size());
  const std::size_t colon = head.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view names = head.substr(0, colon);
  Head out;
  for (std::size_t at = 0; at < names.size();) {
    const std::size_t end = std::min(names.find(',', at), names.size());
    const std::string_view name = names.substr(at, end - at);
    if (name.size() != 16 || name.find_first_not_of("0123456789abcdef") != std::string_view::npos)
      return std::nullopt;
    out.names.emplace_back(name);
    at = end + 1;
    if (end + 1 == names.size()) return std::nullopt;  // a name left empty at the end
  }
  std::optional<Bytes> whole = fromBase64(head.substr(colon + 1));
  if (!whole || whole->size() < 4) return std::nullopt;
  ByteReader in(whole->data(), 4);
  const auto crc = in.raw<std::uint32_t>();
  std::uint32_t mine = crc32(reinterpret_cast<const std::uint8_t*>(names.data()), names.size(), 0);
  mine = crc32(whole->data() + 4, whole->size() - 4, mine);
  if (crc != mine) return std::nullopt;
  out.body.assign(whole->begin() + 4, whole->end());
  return out;
}

}  // namespace

Stored store(const Record& record) { return store(record, record.board.ink); }

Stored store(const Record& record, const InkLog& ink) {
  Stored out;
  Bytes body;
  putRaw(body, record.savedAtMs);
  body.push_back(
      static_cast<std::uint8_t>((record.ended ? kEnded : 0) | (record.kept ? kHasKept : 0)));
  putState(body, record.board, ink, out.blocks);
  if (record.kept) putState(body, *record.kept, record.kept->ink, out.blocks);
  std::string names;
  for (const std::string& n : out.blocks) names += (names.empty() ? "" : ",") + n;
  out.head = headOf(names, body);
  return out;
}

std::string blockText(const Record& record, std::string_view name) {
  for (const BoardState* s : {&record.board, record.kept ? &*record.kept : nullptr})
    if (const std::string* text = s != nullptr ? s->ink.blockNamed(name) : nullptr) return *text;
  return {};
}

std::vector<std::string> blockNames(std::string_view head) {
  const std::optional<Head> h = readHead(head.substr(0, head.find('\n')));
  return h ? h->names : std::vector<std::string>{};
}

std::string write(const Record& record) {
  const Stored stored = store(record);
  std::string text = stored.head;
  for (const std::string& name : stored.blocks) {
    text += '\n';
    text += blockText(record, name);
  }
  return text;
}

std::string sealed(const Bytes& body) { return headOf("", body); }

std::optional<Bytes> unsealed(std::string_view text) {
  std::optional<Head> h = readHead(text);
  if (!h || !h->names.empty()) return std::nullopt;
  return std::move(h->body);
}

std::optional<Record> read(std::string_view text) {
  const std::size_t headEnd = std::min(text.find('\n'), text.size());
  const std::optional<Head> head = readHead(text.substr(0, headEnd));
  if (!head) return std::nullopt;
  // Each block on a line of its own, each what its name says.
  std::vector<Bytes> blocks;
  for (std::size_t at = headEnd; at < text.size();) {
    const std::size_t start = at + 1;
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::optional<Bytes> block = fromBase64(text.substr(start, end - start));
    if (!block || block->size() != InkLog::kBlockBytes || blocks.size() >= head->names.size() ||
        nameOf(block->data(), block->size()) != head->names[blocks.size()])
      return std::nullopt;
    blocks.push_back(std::move(*block));
    at = end;
  }
  if (blocks.size() != head->names.size()) return std::nullopt;
  ByteReader in(head->body.data(), head->body.size());
  Record r;
  r.savedAtMs = in.raw<double>();
  const std::uint8_t flags = in.byte();
  if (!in.ok() || !std::isfinite(r.savedAtMs) || (flags & ~(kEnded | kHasKept)) != 0)
    return std::nullopt;
  r.ended = (flags & kEnded) != 0;
  const auto loaded = loadedForm();
  std::size_t nextBlock = 0;
  std::optional<BoardState> board = takeState(in, *loaded, blocks, nextBlock);
  if (!board) return std::nullopt;
  r.board = std::move(*board);
  if ((flags & kHasKept) != 0) {
    std::optional<BoardState> kept = takeState(in, *loaded, blocks, nextBlock);
    if (!kept) return std::nullopt;
    r.kept = std::move(*kept);
  }
  if (!in.ok() || !in.done() || nextBlock != blocks.size()) return std::nullopt;
  return r;
}

}  // namespace frontend
