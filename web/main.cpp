// The browser front end: the same window, from the same core, in a page. The page's
// script (web/page.js) reports the viewport, pointer events and clicks here through
// web/bridge.js; this file turns them into the core's calls, and the core's display
// list, ink, tool-row changes and ending into the calls of web/bridge.js, which draws
// with web/canvas.js and shows with web/page.js.
#include <emscripten.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/fit.h"
#include "frontend/presenter.h"
#include "web/codes.h"

// What the page does for us (web/bridge.js). Colours are 0xRRGGBB; an int flag of
// web::kUnchanged leaves that property as it is; codes are those of web/codes.h.
extern "C" {
void pl_js_window(const char* title, int width, int height, int back, int border,
                  const char* boardName, const char* boardDescription, int indicatorGap,
                  int firstFocus);
void pl_js_add_control(int index, int kind, int x, int y, int w, int h, const char* caption,
                       const char* font, int fore, int back, const char* name,
                       const char* description, int tabIndex, int toggle);
void pl_js_set_control(int index, int bold, int enabled, int checked, int visible,
                       const char* description);
void pl_js_keyboard(const char* describeName);
void pl_js_add_part(int index, const char* name);
void pl_js_set_part(int index, double value, double min, double max, double step,
                    const char* valueText, const char* description, int vertical);
void pl_js_say(const char* text);
void pl_js_pause(int wait);
void pl_js_board_keys(int draw);
void pl_js_fit(double scale, double left, double top, int canvasWidth, int canvasHeight,
               double canvasScale, double canvasLeft, double canvasTop, double canvasCssWidth,
               double canvasCssHeight, int inkWidth, int inkHeight, double inkScale,
               double inkOrigin, int reback);
void pl_js_begin_rect(int x, int y, int w, int h, double sourceX, double sourceY,
                      double sourceWidth, double sourceHeight, int smooth);
void pl_js_end_paint();
void pl_js_segment(double x1, double y1, double x2, double y2, int colour, int width, int cap,
                   int ownStart, int ownEnd);
void pl_js_text(int x, int y, int w, int h, int look, const char* caption, const char* font,
                int fore, int back);
void pl_js_picture(const char* key, int scale, int x, int y, int w, int h);
void pl_js_fill_device(int x, int y, int w, int h, int colour);
void pl_js_ink_clear(int colour);
void pl_js_ink_segment(double x1, double y1, double x2, double y2, int colour, int width);
void pl_js_ended();
void pl_js_offer(int kind, const char* words, const char* action, int x, int y, int w, int h,
                 int controlX, int controlY, int controlW, int controlH, int wordsX, int wordsY,
                 int wordsW, int wordsH, const char* font, int fore, int back);
void pl_js_notice(const char* words, int x, int y, int w, int h, const char* font, int fore,
                  int back);
void pl_js_keep(int when);
}

namespace {

int rgb(forms::Rgb c) { return (c.r << 16) | (c.g << 8) | c.b; }

// The same families as the desktop asks for, as CSS, for the page and the canvas.
std::string cssFont(const frontend::FontChoice& f) {
  std::string css = f.bold ? "bold " : "";
  css += std::to_string(f.pixelSize) + "px ";
  for (const std::string& family : frontend::fontFamilies(f)) {
    if (family.empty()) continue;
    css += "\"" + family + "\", ";
  }
  css += f.face == frontend::FontFace::Mincho ? "serif" : "sans-serif";
  return css;
}

class CanvasRasteriser : public frontend::Rasteriser {
 public:
  void segment(const frontend::SegmentItem& s) override {
    pl_js_segment(s.at.x1, s.at.y1, s.at.x2, s.at.y2, rgb(s.colour), s.width, web::code(s.cap),
                  s.ownStart, s.ownEnd);
  }
  void fill(const frontend::Rect& d, forms::Rgb colour) override {
    pl_js_fill_device(d.x, d.y, d.w, d.h, rgb(colour));
  }
  // Names move on every step of a drag: each look's CSS font is made once.
  void text(const frontend::TextItem& t) override {
    const auto look = static_cast<std::size_t>(t.look);
    if (fonts_.size() <= look) fonts_.resize(look + 1);
    if (fonts_[look].empty()) fonts_[look] = cssFont(t.font);
    pl_js_text(t.box.x, t.box.y, t.box.w, t.box.h, t.look, t.caption.c_str(),
               fonts_[look].c_str(), rgb(t.fore), rgb(t.back));
  }
  void picture(const frontend::PictureItem& p) override {
    pl_js_picture(p.key.c_str(), frontend::pictureScale(grid.scale), p.box.x, p.box.y, p.box.w,
                  p.box.h);
  }

  frontend::DeviceGrid grid;  // the canvas's device pixels against the board's

 private:
  std::vector<std::string> fonts_;  // by look
};

// The one window of the page.
struct Page {
  app::Form1 form;
  std::unique_ptr<frontend::Presenter> core;
  CanvasRasteriser rasteriser;
  frontend::Fit fit;
  frontend::InkRaster ink;
  bool repaintAll = true;
  std::string afterPause;  // said once the keys pause
};
Page* page = nullptr;

// Text the page hands over (a record), in a buffer it fills; and the record the page
// is handed, kept until the next.
std::string inbox;
std::string outbox;
std::string names;  // blocks' names, as "a,b,c"
std::string_view inboxText(int size) {
  return std::string_view(inbox).substr(0, static_cast<std::size_t>(std::max(size, 0)));
}

void showOffer() {
  const frontend::Offer& o = page->core->offer();
  pl_js_offer(web::code(o.kind), o.words.c_str(), o.action.c_str(), o.box.x, o.box.y, o.box.w,
              o.box.h, o.control.x, o.control.y, o.control.w, o.control.h, o.wordsBox.x,
              o.wordsBox.y, o.wordsBox.w, o.wordsBox.h, cssFont(o.font).c_str(), rgb(o.fore),
              rgb(o.back));
}

// The page follows every input's outcome: the tool row's changes, the offer, the words
// to say, the record to keep, and the end.
bool apply(const frontend::Outcome& outcome) {
  for (const frontend::ToolChange& c : outcome.changes) {
    auto flag = [](const std::optional<bool>& v) {
      return v ? static_cast<int>(*v) : web::kUnchanged;
    };
    pl_js_set_control(static_cast<int>(c.at), flag(c.bold), flag(c.enabled), flag(c.checked),
                      flag(c.visible), c.description ? c.description->c_str() : nullptr);
  }
  for (const frontend::PartChange& c : outcome.parts) {
    const frontend::Slider& s = c.slider;
    pl_js_set_part(static_cast<int>(c.at), s.value, s.min, s.max, s.step, s.valueText.c_str(),
                   s.description.c_str(), s.vertical ? 1 : 0);
  }
  if (outcome.boardKeys) pl_js_board_keys(*outcome.boardKeys ? 1 : 0);
  if (outcome.offerChanged) showOffer();
  if (!outcome.say.empty()) pl_js_say(outcome.say.c_str());
  if (outcome.dropPause) pl_js_pause(0);
  if (!outcome.afterPause.empty()) {
    page->afterPause = outcome.afterPause;
    pl_js_pause(frontend::Keyboard::kPauseMs);
  }
  // The record is written before the page ends.
  if (outcome.keep != frontend::Keep::No) pl_js_keep(web::code(outcome.keep));
  if (outcome.ended) pl_js_ended();
  return outcome.reached;
}

// What a key did, as web::KeyBit bits.
int keyBits(const frontend::Outcome& out) {
  return (out.keyTaken ? web::code(web::KeyBit::Taken) : 0) |
         (out.focusBoard ? web::code(web::KeyBit::ToBoard) : 0);
}

bool validPart(int index) {
  return index >= 0 && static_cast<std::size_t>(index) < frontend::kParts.size();
}
bool validKey(int key) {
  return key >= web::code(web::KeyCode::Up) && key <= web::code(web::KeyCode::Where);
}

bool running() { return page != nullptr && !page->core->ended(); }

int frame();

// Places the window in the viewport. The canvas is backed anew (which clears it) only
// when its size or scale changed, and then painted at once: a print, whose layout
// changes the size, takes the page as it stands, without waiting for a frame.
void fitTo(double width, double height, double pixelRatio) {
  frontend::BoardScene& scene = page->core->scene;
  const frontend::Fit was = page->fit;
  page->fit = frontend::fitWindow(width, height, pixelRatio, app::Form1::kClientWidth,
                                  app::Form1::kClientHeight, scene.boxOnWindow());
  const frontend::Fit& f = page->fit;
  const bool reback = f.canvasWidth != was.canvasWidth || f.canvasHeight != was.canvasHeight ||
                      f.canvasScale != was.canvasScale;
  page->ink = scene.inkRasterAt(scene.keepInkFor(f.canvasScale));
  const frontend::InkRaster& ink = page->ink;
  pl_js_fit(f.scale, f.left, f.top, f.canvasWidth, f.canvasHeight, f.canvasScale, f.canvasAt.x,
            f.canvasAt.y, f.canvasCssWidth, f.canvasCssHeight, ink.width, ink.height, ink.scale,
            ink.origin, reback);
  page->rasteriser.grid = {f.canvasScale, scene.borderWidth()};
  if (reback) {
    page->repaintAll = true;
    frame();
  }
}

// The new ink into the ink layer, then the damaged rectangles (all of the board after
// the canvas was backed anew) repainted. Returns 0 when it painted nothing, 1 when it
// painted, 2 when it painted and ink waits for the next frame.
int frame() {
  frontend::BoardScene& scene = page->core->scene;
  std::vector<frontend::Rect> damage = scene.frame([](const frontend::InkStroke& ink) {
    const frontend::SegmentItem& s = ink.stroke;
    if (ink.clear)
      pl_js_ink_clear(rgb(s.colour));
    else
      pl_js_ink_segment(s.at.x1, s.at.y1, s.at.x2, s.at.y2, rgb(s.colour), s.width);
  });
  if (page->repaintAll) {
    const int b = scene.borderWidth();
    damage.assign(1, scene.area().adjusted(-b, -b, b, b));
    page->repaintAll = false;
  }
  if (damage.empty()) return 0;
  // The canvas antialiases a stroke cut by the clip differently for every clip: the
  // same tiles every frame keep each pixel's clip the same.
  damage = scene.tiles(damage, frontend::BoardScene::kTileSize);
  scene.paintDamage(damage, page->rasteriser, page->rasteriser.grid, page->ink,
                    [](const frontend::Underlay& u) {
                      pl_js_begin_rect(u.device.x, u.device.y, u.device.w, u.device.h, u.sourceX,
                                       u.sourceY, u.sourceWidth, u.sourceHeight, u.smooth);
                    });
  pl_js_end_paint();
  return scene.hasInk() ? 2 : 1;
}

// The core's button for the one a Pointer Event says went down or up.
unsigned buttonBit(int domButton) {
  switch (static_cast<web::DomButton>(domButton)) {
    case web::DomButton::Main:
      return frontend::kLeft;
    case web::DomButton::Middle:
      return frontend::kMiddle;
    case web::DomButton::Secondary:
      return frontend::kRight;
  }
  return frontend::kNoButton;  // a pen's eraser, a fourth button: the core drops it
}

bool has(int bits, web::ModifierBit bit) { return (bits & web::code(bit)) != 0; }

}  // namespace

extern "C" {

// A buffer of `size` bytes for text the page hands over next.
EMSCRIPTEN_KEEPALIVE char* pl_inbox(int size) {
  inbox.assign(static_cast<std::size_t>(std::max(size, 0)), '\0');
  return inbox.data();
}

// `recordSize`: the bytes of the inbox holding the record this tab kept, or 0. Returns
// whether the board came back from it.
EMSCRIPTEN_KEEPALIVE int pl_start(double width, double height, double pixelRatio, int recordSize) {
  page = new Page;
  page->form.Form_Load();
  page->core = std::make_unique<frontend::Presenter>(page->form);
  const frontend::BoardScene& scene = page->core->scene;
  const std::optional<std::size_t> first = page->core->toolRow.firstFocus();
  pl_js_window(page->form.Caption.c_str(), app::Form1::kClientWidth, app::Form1::kClientHeight,
               rgb(page->form.BackColor), scene.borderWidth(), frontend::ToolRow::kBoardName,
               frontend::ToolRow::kBoardDescription, frontend::ToolRow::kIndicatorGap,
               first ? static_cast<int>(*first) : web::kTheBoard);
  // Tab order: the board, the five parts and the description (the page's document
  // order), then the tool row as the core orders it.
  pl_js_keyboard(frontend::Keyboard::kDescriptionName);
  for (std::size_t i = 0; i < frontend::kParts.size(); ++i)
    pl_js_add_part(static_cast<int>(i),
                   page->core->keyboard().slider(frontend::kParts[i]).name.c_str());
  const auto order = page->core->toolRow.tabOrder();
  const auto& controls = page->core->toolRow.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const frontend::ToolControl& c = controls[i];
    int tabIndex = -1;
    for (std::size_t k = 0; k < order.size(); ++k)
      if (order[k] == i) tabIndex = static_cast<int>(k);
    pl_js_add_control(static_cast<int>(i), web::code(c.kind), c.box.x, c.box.y, c.box.w,
                      c.box.h, c.caption.c_str(), cssFont(c.font).c_str(), rgb(c.fore),
                      rgb(c.back), c.name.c_str(), c.description.c_str(), tabIndex, c.toggle ? 1 : 0);
  }
  // The board this tab kept, put back before anything is shown, so that the first
  // frame is the board as it was; then every control's state.
  const frontend::Outcome opened = recordSize > 0 ? page->core->resume(inboxText(recordSize))
                                                  : page->core->afterInput();
  apply(opened);
  fitTo(width, height, pixelRatio);
  return opened.offerChanged ? 1 : 0;
}

// A record another tab or window left (the inbox's first `size` bytes), at `nowMs`:
// what it is, as web::PreviousCode; the newest recent one is offered.
EMSCRIPTEN_KEEPALIVE int pl_consider(int size, double nowMs) {
  if (!running()) return web::code(frontend::Previous::Unreadable);
  const frontend::Previous p = page->core->consider(inboxText(size), nowMs);
  if (p == frontend::Previous::Offered) showOffer();
  return web::code(p);
}

// Whether this device keeps the board; if not, the notice says so.
EMSCRIPTEN_KEEPALIVE void pl_storage(int keeps) {
  if (!running()) return;
  apply(page->core->storage(keeps != 0));
  const frontend::Notice& n = page->core->notice();
  pl_js_notice(n.words.c_str(), n.box.x, n.box.y, n.box.w, n.box.h, cssFont(n.font).c_str(),
               rgb(n.fore), rgb(n.back));
}

// The offer's control; Ctrl+Z (returns whether there was a wipe to take back).
EMSCRIPTEN_KEEPALIVE void pl_take_offer() {
  if (running()) apply(page->core->takeOffer());
}
EMSCRIPTEN_KEEPALIVE int pl_take_back() {
  if (!running()) return 0;
  const frontend::Outcome out = page->core->takeBack();
  apply(out);
  return out.keyTaken ? 1 : 0;
}

// The record to keep, saved at `nowMs`, when one is due (`force`: even if nothing
// changed): its head, pl_record_size() bytes, or null; pl_record_names() then names
// the blocks of writing it rests on, and pl_block() gives each one's text. Also once
// the lesson has ended: "終了" keeps the board to offer back.
EMSCRIPTEN_KEEPALIVE const char* pl_record(double nowMs, int force) {
  if (page == nullptr) return nullptr;
  if (force != 0) page->core->keepAgain();
  std::optional<frontend::Stored> stored = page->core->store(nowMs);
  if (!stored) return nullptr;
  names.clear();
  for (const std::string& n : stored->blocks) names += (names.empty() ? "" : ",") + n;
  outbox = std::move(stored->head);
  return outbox.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* pl_record_names() { return names.c_str(); }
// The text of the block named by the inbox's first `size` bytes.
EMSCRIPTEN_KEEPALIVE const char* pl_block(int size) {
  if (page == nullptr) return "";
  outbox = page->core->block(inboxText(size));
  return outbox.c_str();
}
// The blocks a stored head (the inbox's first `size` bytes) rests on, as "a,b,c".
EMSCRIPTEN_KEEPALIVE const char* pl_block_names(int size) {
  names.clear();
  for (const std::string& n : frontend::blockNames(inboxText(size)))
    names += (names.empty() ? "" : ",") + n;
  return names.c_str();
}
EMSCRIPTEN_KEEPALIVE int pl_record_size() { return static_cast<int>(outbox.size()); }

EMSCRIPTEN_KEEPALIVE void pl_resize(double width, double height, double pixelRatio) {
  if (running()) fitTo(width, height, pixelRatio);
}

// Everything on the board is painted again by the next frame (the letter pictures
// have arrived).
EMSCRIPTEN_KEEPALIVE void pl_repaint() {
  if (running()) page->repaintAll = true;
}

// phase and kind: web/codes.h; x, y in viewport pixels; button and buttons as Pointer
// Events give them; modifiers as web::ModifierBit. Returns whether the event
// reached the window.
EMSCRIPTEN_KEEPALIVE int pl_pointer(int phase, int id, int kind, double x, double y, int button,
                                    int buttons, int modifiers, double timeMs) {
  if (!running() || phase < 0 || phase > web::code(web::PhaseCode::Cancel) || kind < 0 ||
      kind > web::code(web::PointerCode::Pen))
    return 0;
  const frontend::Point p =
      page->fit.toBoard(x, y, page->core->scene.boxOnWindow(), page->core->scene.borderWidth());
  const frontend::PointerEvent e{
      p.x,
      p.y,
      buttonBit(button),
      static_cast<unsigned>(buttons),
      {has(modifiers, web::ModifierBit::Shift), has(modifiers, web::ModifierBit::Ctrl),
       has(modifiers, web::ModifierBit::Alt)},
      id,
      static_cast<frontend::PointerKind>(kind),
      timeMs};
  auto stage = static_cast<frontend::Phase>(phase);
  // A second button going down or up while another is held comes as a move.
  if (stage == frontend::Phase::Move && e.button != frontend::kNoButton)
    stage = (e.held & e.button) != 0 ? frontend::Phase::Down : frontend::Phase::Up;
  return apply(page->core->pointer(stage, e));
}

// The page lost every pointer: the window lost the focus, or the page was hidden.
EMSCRIPTEN_KEEPALIVE void pl_pointers_lost() {
  if (running()) apply(page->core->pointersLost());
}

EMSCRIPTEN_KEEPALIVE void pl_click(int index) {
  if (!running()) return;
  const auto& controls = page->core->toolRow.controls();
  if (index < 0 || static_cast<std::size_t>(index) >= controls.size()) return;
  apply(page->core->click(controls[static_cast<std::size_t>(index)].id));
}

// What the core holds of the tool-row control at `index`, as web::StateBit bits, for
// the checks that compare the page's tool row with it.
EMSCRIPTEN_KEEPALIVE int pl_control_state(int index) {
  if (page == nullptr) return web::kNoSuchControl;
  const auto& controls = page->core->toolRow.controls();
  if (index < 0 || static_cast<std::size_t>(index) >= controls.size()) return web::kNoSuchControl;
  const frontend::ToolState s =
      page->core->toolRow.stateOf(controls[static_cast<std::size_t>(index)].id);
  auto bit = [](bool on, web::StateBit b) { return on ? web::code(b) : 0; };
  return bit(s.bold, web::StateBit::Bold) | bit(s.enabled, web::StateBit::Enabled) |
         bit(s.checked, web::StateBit::Checked) | bit(s.visible, web::StateBit::Visible);
}

// The keyboard. index: the part, in frontend::kParts's order; key: web::KeyCode.
EMSCRIPTEN_KEEPALIVE void pl_focus_part(int index) {
  if (running() && validPart(index))
    apply(page->core->focusPart(frontend::kParts[static_cast<std::size_t>(index)]));
}
EMSCRIPTEN_KEEPALIVE void pl_leave_part() {
  if (running()) apply(page->core->leavePart());
}
EMSCRIPTEN_KEEPALIVE int pl_part_key(int index, int key) {
  if (!running() || !validPart(index) || !validKey(key)) return 0;
  const frontend::Outcome out = page->core->partKey(
      frontend::kParts[static_cast<std::size_t>(index)], static_cast<frontend::Key>(key));
  apply(out);
  return keyBits(out);
}
EMSCRIPTEN_KEEPALIVE void pl_slide(int index, double value) {
  if (running() && validPart(index))
    apply(page->core->slideTo(frontend::kParts[static_cast<std::size_t>(index)], value));
}
EMSCRIPTEN_KEEPALIVE void pl_board_focus(int focused) {
  if (running()) apply(page->core->boardFocus(focused != 0));
}
EMSCRIPTEN_KEEPALIVE int pl_board_key(int key) {
  if (!running() || !validKey(key)) return 0;
  const frontend::Outcome out = page->core->boardKey(static_cast<frontend::Key>(key));
  apply(out);
  return keyBits(out);
}
EMSCRIPTEN_KEEPALIVE void pl_describe() {
  if (running()) apply(page->core->describe());
}
// The keys paused as long as an outcome asked: its words are said.
EMSCRIPTEN_KEEPALIVE void pl_paused() {
  if (running()) apply(page->core->sayAfterPause(page->afterPause));
}

// One animation frame. Returns whether it painted.
EMSCRIPTEN_KEEPALIVE int pl_frame() { return running() ? frame() : 0; }

}  // extern "C"
