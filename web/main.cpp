// The browser front end: the same window, from the same core, in a page. The page's
// scripts (web/stage.js, row.js, keys.js, keep.js, corner.js) report the viewport,
// pointer events, keys and clicks here through web/bridge.js; this file turns each into
// one call of the core, and hands back what the core decided: the tool row's changes,
// the sliders, the words, the record to keep, the end, and each frame as one list that
// web/canvas.js replays (docs/front-ends.md).
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/draw_list.h"
#include "frontend/fit.h"
#include "frontend/ink_rasters.h"
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
void pl_js_keyboard(const char* describeName, int x, int y, int w, int h, const char* font,
                    int fontPixels);
void pl_js_add_part(int index, const char* name);
// `description`: null when it is the one last handed over.
void pl_js_set_part(int index, double value, double min, double max, double step,
                    const char* valueText, const char* description, int vertical);
void pl_js_say(const char* text);
void pl_js_pause(int wait);
void pl_js_board_keys(int draw);
void pl_js_fit(double scale, double left, double top, int canvasWidth, int canvasHeight,
               double canvasScale, double canvasLeft, double canvasTop, double canvasCssWidth,
               double canvasCssHeight, int inkWidth, int inkHeight, double inkScale,
               double inkOrigin, int reback);
// The strings of a frame's list, each handed over once: a look's caption, and a
// picture's key by the number the list gives it.
void pl_js_look(int look, const char* caption, const char* font, int fore, int back);
void pl_js_picture_named(int picture, const char* key);
// A frame: `count` numbers from `list` (frontend::DrawList).
void pl_js_draw(const double* list, int count);
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

// The one window of the page.
struct Page {
  app::Form1 form;
  std::unique_ptr<frontend::Presenter> core;
  frontend::Fit fit;
  frontend::DeviceGrid grid;  // the canvas's device pixels against the board's
  // One raster: a second canvas the board's size costs a tablet too much.
  std::unique_ptr<frontend::InkRasters> rasters;
  frontend::DrawList list;  // a frame, handed to the page's script at once
  bool repaintAll = true;
  std::string afterPause;  // said once the keys pause
  // The sliders a drag moved, shown with the next frame: a pointer moves several times
  // a frame, and each slider's value in the DOM costs a style pass.
  std::array<std::optional<frontend::Slider>, frontend::kParts.size()> partsDue;
  std::array<std::string, frontend::kParts.size()> descriptionShown;
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

void showParts() {
  for (std::size_t i = 0; i < page->partsDue.size(); ++i) {
    std::optional<frontend::Slider>& s = page->partsDue[i];
    if (!s) continue;
    // A drag changes the value and its words; the keys' words (long) cross only anew.
    std::string& shown = page->descriptionShown[i];
    const bool same = s->description == shown;
    pl_js_set_part(static_cast<int>(i), s->value, s->min, s->max, s->step, s->valueText.c_str(),
                   same ? nullptr : s->description.c_str(), s->vertical ? 1 : 0);
    if (!same) shown = s->description;
    s.reset();
  }
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
  for (const frontend::PartChange& c : outcome.parts) page->partsDue[c.at] = c.slider;
  // Words speak of the values: those are shown first.
  if (!outcome.say.empty() || !outcome.afterPause.empty()) showParts();
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
  const frontend::InkRaster ink = page->rasters->show(f.canvasScale).raster;
  pl_js_fit(f.scale, f.left, f.top, f.canvasWidth, f.canvasHeight, f.canvasScale, f.canvasAt.x,
            f.canvasAt.y, f.canvasCssWidth, f.canvasCssHeight, ink.width, ink.height, ink.scale,
            ink.origin, reback);
  page->grid = {f.canvasScale, scene.borderWidth()};
  page->list.scale = f.canvasScale;
  if (reback) {
    page->repaintAll = true;
    frame();
  }
}

// The new ink into the ink layer, then the damaged rectangles (all of the board after
// the canvas was backed anew) repainted: one list, replayed by the page's script in one
// call. Returns 0 when it painted nothing, 1 when it painted, 2 when it painted and ink
// waits for the next frame.
int frame() {
  showParts();
  frontend::BoardScene& scene = page->core->scene;
  frontend::DrawList& list = page->list;
  list.clear();
  std::vector<frontend::Rect> damage =
      scene.frame([&list](const frontend::InkStroke& ink) { list.ink(ink); });
  if (page->repaintAll) {
    const int b = scene.borderWidth();
    damage.assign(1, scene.area().adjusted(-b, -b, b, b));
    page->repaintAll = false;
  }
  if (damage.empty() && list.numbers().empty()) return 0;
  // The canvas antialiases a stroke cut by the clip differently for every clip: the
  // same tiles every frame keep each pixel's clip the same.
  damage = scene.tiles(damage, frontend::BoardScene::kTileSize);
  scene.paintDamage(damage, list, page->grid, page->rasters->kept().front(),
                    [&list](const frontend::Underlay& u) { list.underlay(u); });
  for (const frontend::TextItem* t : list.newLooks())
    pl_js_look(t->look, t->caption.c_str(), cssFont(t->font).c_str(), rgb(t->fore), rgb(t->back));
  for (int p : list.newPictures()) pl_js_picture_named(p, list.pictureKey(p).c_str());
  pl_js_draw(list.numbers().data(), static_cast<int>(list.numbers().size()));
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
  return frontend::kOtherButton;  // a pen's eraser, a fourth button
}

frontend::Modifiers modifiersOf(int bits) {
  auto has = [bits](web::ModifierBit bit) { return (bits & web::code(bit)) != 0; };
  return {has(web::ModifierBit::Shift), has(web::ModifierBit::Ctrl), has(web::ModifierBit::Alt),
          has(web::ModifierBit::Meta)};
}

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
  page->rasters = std::make_unique<frontend::InkRasters>(page->core->scene, 1);
  const frontend::BoardScene& scene = page->core->scene;
  const std::optional<std::size_t> first = page->core->toolRow.firstFocus();
  pl_js_window(page->form.Caption.c_str(), app::Form1::kClientWidth, app::Form1::kClientHeight,
               rgb(page->form.BackColor), scene.borderWidth(), frontend::ToolRow::kBoardName,
               frontend::ToolRow::kBoardDescription, frontend::ToolRow::kIndicatorGap,
               first ? static_cast<int>(*first) : web::kTheBoard);
  // Tab order: the board, the five parts and the description (the page's document
  // order), then the tool row as the core orders it.
  const frontend::Rect d = frontend::Keyboard::kDescriptionBox;
  const frontend::FontChoice dialog = frontend::fontChoice(forms::FontSpec{});
  pl_js_keyboard(frontend::Keyboard::kDescriptionName, d.x, d.y, d.w, d.h, cssFont(dialog).c_str(),
                 dialog.pixelSize);
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
    pl_js_add_control(static_cast<int>(i), web::code(c.kind), c.box.x, c.box.y, c.box.w, c.box.h,
                      c.caption.c_str(), cssFont(c.font).c_str(), rgb(c.fore), rgb(c.back),
                      c.name.c_str(), c.description.c_str(), tabIndex, c.toggle ? 1 : 0);
  }
  // The board this tab kept, put back before anything is shown, so that the first
  // frame is the board as it was; then every control's state.
  const frontend::Outcome opened =
      recordSize > 0 ? page->core->resume(inboxText(recordSize)) : page->core->afterInput();
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
  const frontend::PointerEvent e{p.x,
                                 p.y,
                                 buttonBit(button),
                                 static_cast<unsigned>(buttons),
                                 modifiersOf(modifiers),
                                 id,
                                 static_cast<frontend::PointerKind>(kind),
                                 timeMs};
  return apply(page->core->pointer(frontend::phaseOf(static_cast<frontend::Phase>(phase), e), e));
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
EMSCRIPTEN_KEEPALIVE int pl_part_key(int index, int key, int modifiers) {
  if (!running() || !validPart(index) || !validKey(key)) return 0;
  const frontend::Outcome out =
      page->core->partKey(frontend::kParts[static_cast<std::size_t>(index)],
                          static_cast<frontend::Key>(key), modifiersOf(modifiers));
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
EMSCRIPTEN_KEEPALIVE int pl_board_key(int key, int modifiers) {
  if (!running() || !validKey(key)) return 0;
  const frontend::Outcome out =
      page->core->boardKey(static_cast<frontend::Key>(key), modifiersOf(modifiers));
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
