#include "fuzz/events.h"

#include <array>
#include <cmath>
#include <limits>
#include <sstream>

#include "tests/unit/form_dump.h"

namespace fuzz {

namespace {

using frontend::Phase;
using frontend::PointerKind;

constexpr float kFloatMax = std::numeric_limits<float>::max();

// Coordinates worth more than their share of chances: the board's edges, values far
// outside it, and the figure's own heights and handles (q at the height of the upper
// ends is where the swing rule divides by zero).
constexpr std::array<float, 24> kSpecial{
    0,   801, 802, -1,        625,  626,   50,   50.5F, 125,   275,    350,       500,
    400, 475, 250, 125.0001F, 1e4F, -1e4F, 1e9F, -1e9F, 1e30F, -1e30F, kFloatMax, -kFloatMax};

// A button we do not know: a pen's eraser end, a mouse's fourth button.
constexpr unsigned kOther = 8;
// What a press or release may report: one button, two at once, or none.
constexpr std::array<unsigned, 8> kButtons{0,
                                           frontend::kLeft,
                                           frontend::kRight,
                                           frontend::kMiddle,
                                           kOther,
                                           frontend::kLeft | frontend::kRight,
                                           frontend::kLeft | frontend::kMiddle,
                                           frontend::kLeft};
// Pauses between events: none, a hand's pace, and either side of the palm's and the
// silent gesture's limits.
// The keys the keyboard knows (frontend::Key), and the keyboard's actions.
constexpr int kKeys = 9;
constexpr int kActions = 7;
constexpr std::array<int, 8> kPauses{0, 1, 8, 16, 100, 999, 1000, 2000};
constexpr std::array<PointerKind, 4> kDevices{PointerKind::Mouse, PointerKind::Touch,
                                              PointerKind::Pen, PointerKind::Mouse};

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

constexpr int kSpanX = 900;  // a little beyond the 802 px board
constexpr int kSpanY = 700;

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

}  // namespace

std::vector<Event> decode(const std::uint8_t* data, std::size_t size) {
  std::vector<Event> events;
  std::size_t i = 0;
  auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
  while (i < size) {
    const std::uint8_t op = next();
    Event e;
    switch (op % 4) {
      case 0: {
        e.kind = Event::Kind::Pointer;
        const std::uint8_t how = next(), buttons = next(), pause = next();
        e.phase = static_cast<Phase>(how & 3);
        e.device = kDevices[(how >> 2) & 3];
        e.pointer = (how >> 4) & 3;
        e.button = kButtons[buttons & 7];
        e.held = (buttons >> 3) & 15;
        e.afterMs = kPauses[pause & 7];
        const std::uint8_t hx = next(), x1 = next(), x2 = next();
        const std::uint8_t hy = next(), y1 = next(), y2 = next();
        e.x = coordinate(hx, x1, x2, kSpanX);
        e.y = coordinate(hy, y1, y2, kSpanY);
        break;
      }
      case 1:
        e.kind = Event::Kind::PointersLost;
        if ((op >> 2) >= 1 && (op >> 2) <= 3) {
          e.kind = Event::Kind::Keeping;
          e.index = (op >> 2) - 1;
        }
        break;
      case 2:
        e.kind = Event::Kind::Click;
        e.index = op >> 2;
        break;
      default:
        if ((op >> 2) < 5) {
          e.kind = Event::Kind::Picture;
          e.index = op >> 2;
        } else {
          e.kind = Event::Kind::Keyboard;
          e.action = static_cast<Event::Action>(((op >> 2) - 5) % kActions);
          const std::uint8_t what = next(), value = next();
          e.index = what % 5;
          e.button = static_cast<unsigned>((what / 5) % kKeys);
          e.x = static_cast<float>(value) * 4 - 100;
        }
        break;
    }
    events.push_back(e);
  }
  return events;
}

std::vector<std::uint8_t> encode(const std::vector<Event>& events) {
  std::vector<std::uint8_t> out;
  for (const Event& e : events) {
    switch (e.kind) {
      case Event::Kind::Pointer: {
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(static_cast<int>(e.phase) |
                                                (indexIn(kDevices, e.device) << 2) |
                                                ((e.pointer & 3) << 4)));
        out.push_back(
            static_cast<std::uint8_t>(indexIn(kButtons, e.button) | ((e.held & 15) << 3)));
        out.push_back(indexIn(kPauses, e.afterMs));
        putCoordinate(out, e.x, kSpanX);
        putCoordinate(out, e.y, kSpanY);
        break;
      }
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
        out.push_back(static_cast<std::uint8_t>(3 | ((e.index % 5) << 2)));
        break;
      case Event::Kind::Keyboard:
        out.push_back(static_cast<std::uint8_t>(3 | ((5 + static_cast<int>(e.action)) << 2)));
        out.push_back(static_cast<std::uint8_t>(e.index % 5 + 5 * (e.button % kKeys)));
        out.push_back(static_cast<std::uint8_t>(std::clamp((e.x + 100) / 4, 0.0F, 255.0F)));
        break;
    }
  }
  return out;
}

std::vector<Event> randomSequence(std::mt19937& rng, std::size_t length) {
  std::vector<Event> events;
  std::uniform_int_distribution<int> percent(0, 99);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto coord = [&](int span, std::initializer_list<float> favourites) {
    const int p = percent(rng);
    if (p < 30)
      return *(favourites.begin() + pick(static_cast<int>(favourites.size()))) +
             static_cast<float>(pick(61) - 30);
    if (p < 36) return kSpecial[static_cast<std::size_t>(pick(static_cast<int>(kSpecial.size())))];
    if (p < 45) return static_cast<float>(pick(span * 64)) / 64.0F;
    return static_cast<float>(pick(span));
  };
  // Three pointers, each with its device, its buttons down and where it is.
  struct Finger {
    PointerKind device = PointerKind::Mouse;
    unsigned held = 0;
    float x = 300, y = 300;
  };
  std::array<Finger, 3> fingers;
  int current = 0;
  const int controls = static_cast<int>([] {
    app::Form1 form;
    return frontend::ToolRow(form).controls().size();
  }());
  while (events.size() < length) {
    const int p = percent(rng);
    Event e;
    if (p < 10) {
      e.kind = Event::Kind::Click;
      e.index = pick(controls);
      // "終了" ends the run: once in a long while, to see that nothing follows it.
      if (e.index == controls - 1 && pick(20) != 0) continue;
    } else if (p < 13) {
      e.kind = Event::Kind::Picture;
      e.index = pick(5);
    } else if (p < 15) {
      e.kind = Event::Kind::PointersLost;
    } else if (p < 17) {
      // A wipe taken back, by Ctrl+Z or the offer's control, or the page loaded again.
      e.kind = Event::Kind::Keeping;
      const int k = percent(rng);
      e.index = k < 45 ? Event::kCtrlZ : k < 70 ? Event::kTakeOffer : Event::kReload;
    } else if (p < 27) {
      // A keyboard user: a part's slider focused and its keys, the board's keys.
      e.kind = Event::Kind::Keyboard;
      const int a = percent(rng);
      e.action = a < 10   ? Event::Action::FocusPart
                 : a < 14 ? Event::Action::LeavePart
                 : a < 55 ? Event::Action::PartKey
                 : a < 60 ? Event::Action::BoardFocus
                 : a < 62 ? Event::Action::BoardBlur
                 : a < 95 ? Event::Action::BoardKey
                          : Event::Action::Slide;
      e.index = pick(5);
      e.button = static_cast<unsigned>(pick(kKeys));
      e.x = static_cast<float>(pick(1000) - 100);
    } else {
      if (percent(rng) < 25) current = pick(3);
      Finger& f = fingers[static_cast<std::size_t>(current)];
      e.pointer = current;
      if (f.held == 0 && percent(rng) < 5) f.device = kDevices[static_cast<std::size_t>(pick(3))];
      e.device = f.device;
      const int m = percent(rng);
      const bool mouse = f.device == PointerKind::Mouse;
      if ((f.held == 0 && m < 35) || (f.held != 0 && m < 3)) {
        e.phase = Phase::Down;
        // A mouse presses any button; a finger and a pen mostly report the main one.
        const int b = percent(rng);
        e.button = b < 75 || !mouse
                       ? (b < 97 ? frontend::kLeft : kButtons[static_cast<std::size_t>(pick(8))])
                   : b < 85 ? frontend::kRight
                   : b < 92 ? frontend::kMiddle
                            : kButtons[static_cast<std::size_t>(pick(8))];
        f.held |= e.button;
        if (f.held == e.button) {
          f.x = coord(kSpanX, {30, 400, 475, 250, 100, 700});
          f.y = coord(kSpanY, {125, 275, 350, 500, 575});
        }
      } else if (f.held != 0 && m < 15) {
        e.phase = Phase::Up;
        e.button = percent(rng) < 90 ? f.held & (0u - f.held)
                                     : kButtons[static_cast<std::size_t>(pick(8))];
        f.held &= ~e.button;
      } else if (f.held != 0 && m < 18) {
        e.phase = Phase::Cancel;
        f.held = 0;
      } else {
        e.phase = Phase::Move;
        // Mostly small steps, as a hand makes them, sometimes a jump.
        if (percent(rng) < 85) {
          f.x += static_cast<float>(pick(41) - 20);
          f.y += static_cast<float>(pick(41) - 20);
        } else {
          f.x = coord(kSpanX, {30, 400, 475, 250});
          f.y = coord(kSpanY, {125, 275, 350});
        }
      }
      e.held = f.held;
      // Now and then a platform reports buttons that do not add up.
      if (percent(rng) < 3) e.held = static_cast<unsigned>(pick(16));
      e.x = f.x;
      e.y = f.y;
      const int t = percent(rng);
      e.afterMs = t < 70 ? kPauses[static_cast<std::size_t>(pick(4))]
                         : kPauses[static_cast<std::size_t>(4 + pick(4))];
    }
    events.push_back(e);
  }
  return events;
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
      o << (e.index == Event::kCtrlZ ? "Ctrl+Z" : e.index == Event::kTakeOffer ? "the offer taken" : "reload");
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

std::vector<Event> asDelivered(const app::Form1& form, const Event& e) {
  if (e.kind != Event::Kind::Picture) return {e};
  const frontend::Rect box = frontend::pixelBox(form.Image1(e.index));
  Event press = e;
  press.kind = Event::Kind::Pointer;
  press.device = PointerKind::Mouse;
  press.pointer = 0;
  press.x = static_cast<float>(box.x + box.w / 2);
  press.y = static_cast<float>(box.y + box.h / 2);
  press.phase = Phase::Down;
  press.button = press.held = frontend::kLeft;
  Event release = press;
  release.phase = Phase::Up;
  release.held = 0;
  release.afterMs = 0;
  return {press, release};
}

frontend::Outcome deliver(frontend::Presenter& core, const Event& e, double nowMs) {
  switch (e.kind) {
    case Event::Kind::Pointer:
      return core.pointer(e.phase, {e.x, e.y, e.button, e.held, {}, e.pointer, e.device, nowMs});
    case Event::Kind::PointersLost:
      return core.pointersLost();
    case Event::Kind::Keeping:
      if (e.index == Event::kCtrlZ) return core.takeBack();
      if (e.index == Event::kTakeOffer) return core.takeOffer();
      break;  // a reload: see Session::reload
    case Event::Kind::Click: {
      const auto& controls = core.toolRow.controls();
      return core.click(controls[static_cast<std::size_t>(e.index) % controls.size()].id);
    }
    case Event::Kind::Picture:
      break;  // two pointer events: see asDelivered
    case Event::Kind::Keyboard: {
      const auto part = frontend::kParts[static_cast<std::size_t>(e.index) % 5];
      const auto key = static_cast<frontend::Key>(e.button % kKeys);
      using A = Event::Action;
      switch (e.action) {
        case A::FocusPart: return core.focusPart(part);
        case A::LeavePart: return core.leavePart();
        case A::PartKey: return core.partKey(part, key);
        case A::BoardFocus: return core.boardFocus(true);
        case A::BoardBlur: return core.boardFocus(false);
        case A::BoardKey: return core.boardKey(key);
        case A::Slide: return core.slideTo(part, e.x);
      }
      break;
    }
  }
  return core.afterInput();
}

namespace {

// What the model holds of the tool row's control: what a front end must show.
frontend::ToolState modelState(const app::Form1& f, const frontend::ControlId& id) {
  using G = frontend::ControlId::Group;
  switch (id.group) {
    case G::Label1:
      return {f.Label1.Font.Bold, true, false, f.Label1.Visible};
    case G::Label4:
      return {f.Label4(id.index).Font.Bold, true, false, f.Label4(id.index).Visible};
    case G::Command:
      return {f.command(id.index).FontBold, f.command(id.index).Enabled, false, true};
    case G::Option1:
      return {false, f.Option1(id.index).Enabled, f.Option1(id.index).Value(), true};
    case G::Option2:
      return {false, f.Option2(id.index).Enabled, f.Option2(id.index).Value(), true};
    case G::Check1:
      return {false, f.Check1(id.index).Enabled, f.Check1(id.index).Value() == 1, true};
  }
  return {};
}

// A press the board must take: of a button we know (a finger's or a pen's is its
// main button, whichever it reports).
bool knownPress(const Event& e) {
  return (e.button & (frontend::kLeft | frontend::kRight | frontend::kMiddle)) != 0;
}

// The pixel model's device pixels are the board's.
constexpr frontend::DeviceGrid kGrid{1, 0};

std::string where(const Event& e) {
  std::string out = "(";
  out += describe(e);
  out += ')';
  return out;
}

}  // namespace

namespace {
// A board as a window that holds it shows it: a full repaint, ink and all.
Pixels boardOf(const frontend::BoardState& board) {
  app::Form1 form;
  form.Form_Load();
  frontend::Presenter core(form);
  frontend::restore(form, board);
  frontend::BoardScene& scene = core.scene;
  Pixels ink(scene.width(), scene.height()), out(scene.width(), scene.height());
  scene.frame([&](const frontend::InkStroke& s) { ink.ink(s); });
  out.underlay(ink, scene.area());
  scene.paint(scene.area(), out, kGrid);
  return out;
}
}  // namespace

Session::Session() : ink_(0, 0), screen_(0, 0), full_(0, 0) { open({}); }

void Session::open(std::string_view record) {
  core_.reset();
  form_ = std::make_unique<app::Form1>();
  form_->Form_Load();
  core_ = std::make_unique<frontend::Presenter>(*form_);
  frontend::BoardScene& scene = core_->scene;
  ink_ = Pixels(scene.width(), scene.height());
  screen_ = Pixels(scene.width(), scene.height());
  full_ = Pixels(scene.width(), scene.height());
  shown_.assign(core_->toolRow.controls().size(), {});
  const frontend::Outcome first = record.empty() ? core_->afterInput() : core_->resume(record);
  for (const frontend::ToolChange& c : first.changes) {
    frontend::ToolState& s = shown_[c.at];
    s = {c.bold.value_or(false), c.enabled.value_or(true), c.checked.value_or(false),
         c.visible.value_or(true)};
  }
  scene.frame([&](const frontend::InkStroke& s) { ink_.ink(s); });
  screen_.underlay(ink_, scene.area());
  scene.paint(scene.area(), screen_, kGrid);
  heardMs_.clear();
  penMs_.reset();
  ownerKind_ = PointerKind::Mouse;
  seenInk_ = form_->gamen.pending().size();
  drawn_.clear();
  endedState_.clear();
}

const Pixels& Session::repaint() {
  frontend::BoardScene& scene = core_->scene;
  const auto damage = scene.frame([&](const frontend::InkStroke& s) { ink_.ink(s); });
  seenInk_ = form_->gamen.pending().size();
  scene.paintDamage(damage, screen_, kGrid, scene.inkRasterAt(1),
                    [&](const frontend::Underlay& u) { screen_.underlay(ink_, u.device); });
  full_.underlay(ink_, scene.area());
  scene.paint(scene.area(), full_, kGrid);
  return full_;
}

namespace {
std::string differsAt(const std::optional<frontend::Point>& at) {
  std::ostringstream o;
  o << "board pixel (" << at->x << ", " << at->y << ")";
  return o.str();
}
}  // namespace

std::optional<std::string> Session::reload() {
  // What a page's leaving does: every gesture and the keys' hold end, and the record
  // is written.
  core_->pointersLost();
  core_->leavePart();
  core_->boardFocus(false);
  core_->keepAgain();
  const std::optional<std::string> text = core_->record(nowMs_);
  if (!text) return "no record to keep as the page left";
  const Pixels before = repaint().copy();
  const bool offered = core_->offer().kind == frontend::Offer::Kind::TakeBackWipe;
  open(*text);
  if (auto at = repaint().firstDifference(before))
    return "the page loaded again shows the board otherwise, at " + differsAt(at);
  if (offered != (core_->offer().kind == frontend::Offer::Kind::TakeBackWipe))
    return "the page loaded again lost the wipe's offer, or made one";
  return std::nullopt;
}

std::optional<std::string> Session::keeping(const Event& e) {
  if (e.index == Event::kReload) return reload();
  const bool offered = core_->offer().kind == frontend::Offer::Kind::TakeBackWipe;
  const frontend::Outcome out = deliver(*core_, e, nowMs_);
  if (auto fault = apply(out, e)) return fault;
  if (e.index == Event::kCtrlZ && out.keyTaken != offered)
    return "Ctrl+Z was taken with no wipe to take back, or left with one " + where(e);
  if (offered && core_->offer().kind != frontend::Offer::Kind::None)
    return "the offer stayed after it was taken " + where(e);
  if (offered && offered_) {
    if (auto at = repaint().firstDifference(*offered_))
      return "the wipe taken back differs from the board wiped, at " + differsAt(at);
  }
  return std::nullopt;
}

std::optional<std::string> Session::play(const Event& e) {
  // Once the program has ended, nothing reaches it and nothing changes; the page
  // loaded again starts the lesson anew, with the board it ended on offered back.
  if (ended() && e.kind == Event::Kind::Keeping && e.index == Event::kReload) return reload();
  if (ended()) {
    const frontend::Outcome out = deliver(*core_, asDelivered(*form_, e).front(), nowMs_);
    if (out.reached || !out.ended || !out.changes.empty())
      return "an input was handled after the end " + where(e);
    if (testing_support::dump(*form_) != endedState_)
      return "the window changed after the end " + where(e);
    return std::nullopt;
  }
  nowMs_ += e.afterMs;
  std::optional<std::string> fault;
  switch (e.kind) {
    case Event::Kind::Pointer:
      fault = pointer(e);
      break;
    case Event::Kind::PointersLost: {
      fault = apply(deliver(*core_, e, nowMs_), e);
      const board::Board& b = form_->board;
      if (!fault && (core_->boardOwner() || b.PenDown != 0 || b.LineDrawing != 0 ||
                     form_->figure.DragTarget != 0))
        fault = "a gesture went on after every pointer was lost";
      break;
    }
    case Event::Kind::Click: {
      const auto& controls = core_->toolRow.controls();
      const std::size_t at = static_cast<std::size_t>(e.index) % controls.size();
      // The toolkit's own box or option button changes its look as it is clicked,
      // whatever the model then makes of it.
      using K = frontend::ToolControl::Kind;
      frontend::ToolState& look = shown_[at];
      if (look.enabled && controls[at].kind == K::Option) look.checked = true;
      if (look.enabled && controls[at].kind == K::Check) look.checked = !look.checked;
      fault = apply(deliver(*core_, e, nowMs_), e);
      break;
    }
    case Event::Kind::Picture:
      for (const Event& p : asDelivered(*form_, e))
        if (!fault) fault = pointer(p);
      break;
    case Event::Kind::Keeping:
      fault = keeping(e);
      break;
    case Event::Kind::Keyboard: {
      fault = apply(deliver(*core_, e, nowMs_), e);
      const frontend::Keyboard& keys = core_->keyboard();
      if (!fault && keys.held() && form_->figure.DragTarget != 0)
        fault = "a part held by the keys would follow a pointer passing over the board";
      if (!fault && keys.held().has_value() != keys.overlay()[0].Visible)
        fault = "the ring does not show what the keys hold";
      if (!fault && keys.drawing() && (form_->board.LineDrawing != 1 || core_->boardOwner()))
        fault = "the keys draw a line that is not being drawn, or beside a pointer";
      break;
    }
  }
  if (fault) return fault;
  // What this event drew: the ink waits for the next frame.
  const auto& pending = form_->gamen.pending();
  drawn_.assign(pending.begin() + static_cast<std::ptrdiff_t>(std::min(seenInk_, pending.size())),
                pending.end());
  seenInk_ = pending.size();
  // A wipe taken back draws the kept writing again, in whatever mode it comes back in:
  // the board it draws is judged whole, pixel for pixel, by keeping().
  if (e.kind == Event::Kind::Keeping) drawn_.clear();
  if (auto broken = brokenInvariant(*form_, drawn_)) return broken;
  if (auto row = toolRowShown()) return row;
  // A wipe offered back: how the wiped board showed, drawn afresh from what was kept,
  // for the board taken back to be held against.
  if (offerChanged_) offered_.reset();
  if (offerChanged_ && core_->offer().kind == frontend::Offer::Kind::TakeBackWipe) {
    core_->keepAgain();
    if (const auto text = core_->record(nowMs_)) offered_ = boardOf(*frontend::read(*text)->kept);
  }
  offerChanged_ = false;
  if (ended()) endedState_ = testing_support::dump(*form_);
  return std::nullopt;
}

std::optional<std::string> Session::pointer(const Event& e) {
  const std::optional<int> owner = core_->boardOwner();
  const bool other = owner && *owner != e.pointer;
  const bool cancel = e.phase == Phase::Cancel;
  const bool palm = e.device == PointerKind::Touch && penMs_ &&
                    nowMs_ - *penMs_ < frontend::BoardInput::kPalmMs && owner != e.pointer;
  // What the rules for a lost end allow: a mouse after a finger or a pen, or any
  // pointer after the gesture's own was silent long enough.
  const bool takeover =
      other && ((e.device == PointerKind::Mouse && ownerKind_ != PointerKind::Mouse) ||
                nowMs_ - heard(*owner) >= frontend::BoardInput::kSilentMs);
  const frontend::Outcome out = deliver(*core_, e, nowMs_);
  if (auto fault = apply(out, e)) return fault;
  if (!cancel) {
    heard(e.pointer) = nowMs_;
    if (e.device == PointerKind::Pen) penMs_ = nowMs_;
  }
  const std::optional<int> now = core_->boardOwner();
  if (now == e.pointer && e.phase == Phase::Down && out.reached) ownerKind_ = e.device;
  if (out.reached && other && (e.phase == Phase::Move || e.phase == Phase::Up))
    return "another pointer's move or release reached the board during a gesture " + where(e);
  if (e.phase == Phase::Down) {
    if (!knownPress(e) && (out.reached || now != owner))
      return "a press of no known button was taken " + where(e);
    if (out.reached && other && !takeover)
      return "a second pointer took the board during a gesture " + where(e);
    if (out.reached && palm) return "the hand beside a pen was taken for a press " + where(e);
    if (knownPress(e) && !palm && (!other || takeover) && !out.reached)
      return "the board did not take a press " + where(e);
  }
  if (cancel && owner == e.pointer) {
    const board::Board& b = form_->board;
    if (now || b.PenDown != 0 || b.LineDrawing != 0 || form_->figure.DragTarget != 0)
      return "a gesture went on after its pointer was cancelled " + where(e);
  }
  return std::nullopt;
}

double& Session::heard(int pointer) {
  const auto at = static_cast<std::size_t>(pointer);
  if (heardMs_.size() <= at) heardMs_.resize(at + 1, 0);
  return heardMs_[at];
}

// The tool row's changes applied as a front end applies them.
std::optional<std::string> Session::apply(const frontend::Outcome& out, const Event& e) {
  offerChanged_ = offerChanged_ || out.offerChanged;
  const auto& controls = core_->toolRow.controls();
  for (const frontend::ToolChange& c : out.changes) {
    if (c.at >= controls.size() || !(controls[c.at].id == c.id))
      return "a change names no control of the row " + where(e);
    frontend::ToolState& s = shown_[c.at];
    s.bold = c.bold.value_or(s.bold);
    s.enabled = c.enabled.value_or(s.enabled);
    s.checked = c.checked.value_or(s.checked);
    s.visible = c.visible.value_or(s.visible);
  }
  if (out.ended != core_->ended()) return "the end reported wrongly " + where(e);
  return std::nullopt;
}

std::optional<std::string> Session::toolRowShown() const {
  const auto& controls = core_->toolRow.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const frontend::ToolState model = modelState(*form_, controls[i].id);
    if (!(shown_[i] == model))
      return "the tool row shows control " + std::to_string(i) + " (" + controls[i].caption +
             ") otherwise than the model holds it";
  }
  return std::nullopt;
}

void Session::frame() {
  if (ended()) return;
  frontend::BoardScene& scene = core_->scene;
  const auto damage = scene.frame([&](const frontend::InkStroke& s) { ink_.ink(s); });
  seenInk_ = form_->gamen.pending().size();
  scene.paintDamage(damage, screen_, kGrid, scene.inkRasterAt(1),
                    [&](const frontend::Underlay& u) { screen_.underlay(ink_, u.device); });
}

std::optional<std::string> Session::compareFrames() {
  if (ended()) return std::nullopt;
  frame();
  const frontend::BoardScene& scene = core_->scene;
  Pixels& full = full_;
  full.underlay(ink_, scene.area());
  scene.paint(scene.area(), full, kGrid);
  const auto at = screen_.firstDifference(full);
  if (!at) return std::nullopt;
  std::ostringstream o;
  o << "the screen painted where damaged differs from a full repaint at board pixel (" << at->x
    << ", " << at->y << "): " << std::hex
    << screen_.at(static_cast<int>(at->x), static_cast<int>(at->y)) << " against "
    << full.at(static_cast<int>(at->x), static_cast<int>(at->y));
  return o.str();
}

std::optional<std::string> run(const std::vector<Event>& events) {
  Session session;
  // A frame every few events, as a display's refresh takes them; the whole screen
  // compared every few dozen and at the end.
  constexpr std::size_t kFrameEvery = 3, kCompareEvery = 40;
  for (std::size_t i = 0; i < events.size(); ++i) {
    std::optional<std::string> fault = session.play(events[i]);
    if (!fault && (i + 1) % kFrameEvery == 0) session.frame();
    if (!fault && ((i + 1) % kCompareEvery == 0 || i + 1 == events.size()))
      fault = session.compareFrames();
    if (fault) {
      std::ostringstream report;
      report << "fault after event " << i + 1 << " of " << events.size() << ": " << *fault
             << "\nevents:\n";
      for (std::size_t k = 0; k <= i; ++k) report << "  " << describe(events[k]) << '\n';
      return report.str();
    }
  }
  return std::nullopt;
}

}  // namespace fuzz
