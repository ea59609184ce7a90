#include "frontend/presenter.h"

namespace frontend {

namespace {
// What every input hears once the program has ended: nothing reached it.
Outcome endedOutcome() {
  Outcome out;
  out.ended = true;
  return out;
}
}  // namespace

Outcome Presenter::pointer(Phase phase, const PointerEvent& e) {
  if (ended()) return endedOutcome();
  bool reached = false;
  // A line the keys are drawing is fixed where it is as soon as a pointer comes to
  // the board: a move in its mode would stretch it to the pointer. A part the keys
  // hold is let go by a press only; a pointer passing over the board drags nothing.
  if (keyboard_.finishLine()) input.positionChanged();
  keyboard_.pointerAt(e.x, e.y);
  // A pointer passing over the board with nothing held moves only what follows it (the
  // eraser's marker): no record is due for it, or a hovering hand would save the board
  // three times a second.
  const bool passing = phase == Phase::Move && !input.owner();
  switch (phase) {
    case Phase::Down:
      keyboardMakesWay();
      reached = input.press(e);
      break;
    case Phase::Move:
      reached = input.move(e);
      break;
    case Phase::Up:
      reached = input.release(e);
      break;
    case Phase::Cancel:
      reached = input.cancel(e.pointer);
      break;
  }
  return finish(reached, phase == Phase::Down, reached && !passing);
}

Outcome Presenter::pointersLost() {
  if (ended()) return endedOutcome();
  const bool lineEnded = keyboard_.finishLine();
  if (lineEnded) input.positionChanged();
  return afterInput(input.cancelAll() || lineEnded);
}

Outcome Presenter::touchesLost() {
  if (ended()) return endedOutcome();
  return afterInput(input.cancelKind(PointerKind::Touch));
}

Outcome Presenter::click(const ControlId& id) {
  if (ended()) return endedOutcome();
  // A second finger on the tool row while the first still holds the board: the
  // board's gesture ends first, where it was, in the mode it began in. Otherwise a
  // line held in the figure would stay held in memo mode and follow the pointer with
  // no button down once the figure is back.
  input.cancelAll();
  keyboardMakesWay();
  const Modes before = modes();
  toolRow.click(id);
  // On a page, "終了" ends the lesson but not the browser: the board is wiped as the
  // initial screen wipes it, and kept, so that starting again can offer it back.
  if (ended()) {
    form.InitScreen();
    keeper_.ended();
  }
  return finish(true, true, true, clickWords(id, before));
}

Presenter::Modes Presenter::modes() const {
  return {form.board.MemoMode != 0, form.board.LineMode != 0, form.board.GridShown != 0};
}

std::string Presenter::clickWords(const ControlId& id, const Modes& before) const {
  if (id.group != ControlId::Group::Command) return "";
  const Modes now = modes();
  switch (id.index) {
    case 1:
      return "図を最初の形に戻しました";
    case 3:
      return now.memo ? "メモモードにしました。黒板でチョークを使えます" : "メモモードを終えました";
    case 4:
      return now.grid ? "方眼を表示しました" : "方眼を消しました";
    case 5:
      if (now.line && !before.line)
        return "直線モードにしました。黒板で矢印キーを使うと十字が動き、Enter で直線を引けます";
      if (!now.line && before.line) return "直線モードを終えました";
      return "直線は 5 本とも引かれています。チェックボックスの印を外すと、また引けます";
    default:
      return "";
  }
}

std::string Presenter::heard(std::string words) {
  if (words.empty()) return words;
  // A zero-width space: nothing to hear or see, but a message no longer equal to the last.
  if (words == lastHeard_) words += "\u200B";
  lastHeard_ = words;
  return words;
}

Outcome Presenter::afterInput(bool reached) { return finish(reached, false, reached); }

Outcome Presenter::finish(bool reached, bool goesOn, bool changed, const std::string& did) {
  keyboard_.follow();
  Outcome out;
  out.reached = reached;
  out.changes = toolRow.takeChanges();
  out.ended = ended();
  out.offerChanged = keeper_.settle(goesOn, out.say);
  // What the input did, then the offer's words (what a wipe took can be taken back).
  if (!did.empty())
    out.say = out.say.empty() ? did : did + "。" + out.say + "。Ctrl+Z で元に戻せます";
  out.say = heard(std::move(out.say));
  if (changed || out.offerChanged) keeper_.changed();
  // The parts' sliders follow the figure, whatever moved it; the words are made only
  // when what they rest on changed.
  for (std::size_t i = 0; i < kParts.size(); ++i) {
    const Keyboard::Stamp now = keyboard_.stamp(kParts[i]);
    std::optional<Shown>& shown = partsShown_[i];
    if (shown && shown->stamp == now) continue;
    // A drag moves a part on every step: only its value and value text are made anew.
    if (shown && shown->stamp.words == now.words) {
      shown->slider.value = now.value;
      shown->slider.valueText = keyboard_.valueText(kParts[i]);
    } else {
      shown = Shown{now, keyboard_.slider(kParts[i])};
    }
    shown->stamp = now;
    out.parts.push_back({i, shown->slider});
  }
  const bool keys = form.board.LineMode == 1 || keyboard_.drawing();
  if (boardKeysShown_ != keys) out.boardKeys = boardKeysShown_ = keys;
  if (out.ended)
    out.keep = Keep::Now;
  else if (keeper_.due() && !input.owner())
    out.keep = Keep::Soon;
  return out;
}

Outcome Presenter::takeOffer() {
  if (ended()) return endedOutcome();
  input.cancelAll();
  keyboardMakesWay();
  std::string say;
  const bool taken = keeper_.take(say);
  if (taken) input.positionChanged();
  Outcome out = finish(taken, false, taken);
  out.offerChanged = out.offerChanged || taken;
  if (taken) out.say = heard(say);
  return out;
}

Outcome Presenter::takeBack() {
  if (ended()) return endedOutcome();
  if (offer().kind != Offer::Kind::TakeBackWipe) return afterInput(false);
  Outcome out = takeOffer();
  out.keyTaken = true;
  return out;
}

std::optional<std::string> Presenter::record(double nowMs) {
  if (!keeper_.due() || input.owner()) return std::nullopt;
  return keeper_.record(nowMs);
}

std::optional<Stored> Presenter::store(double nowMs) {
  if (!keeper_.due() || input.owner()) return std::nullopt;
  return keeper_.store(nowMs);
}

Outcome Presenter::resume(std::string_view text) {
  std::string say;
  if (!keeper_.resume(text, say)) return afterInput(false);
  // Nothing the pointer or the keys held is held now; the next press starts afresh.
  input.positionChanged();
  Outcome out = afterInput(false);
  out.offerChanged = true;
  out.say = heard(say);
  // What was read is what is stored: no record is due for it.
  out.keep = Keep::No;
  return out;
}

Outcome Presenter::storage(bool keeps) {
  keeper_.storage(keeps);
  return afterInput(false);
}

void Presenter::keyboardMakesWay() {
  keyboard_.release();
  keyboard_.boardFocused(false);  // the pointer's press: the keyboard's point goes
  if (keyboard_.finishLine()) input.positionChanged();
}

Outcome Presenter::keyOutcome(const KeyResult& r, std::optional<std::pair<Part, double>> moved) {
  Outcome out = afterInput(r.reached);
  out.keyTaken = r.taken;
  out.focusBoard = r.toBoard;
  std::string say = r.say;
  if (saysValueText && moved && keyboard_.held() == moved->first &&
      keyboard_.value(moved->first) != moved->second) {
    const std::string value = keyboard_.valueText(moved->first);
    say = say.empty() ? value : value + "。" + say;
  }
  if (!say.empty()) out.say = heard(say);
  out.afterPause = r.afterPause;
  // What waited for a pause is stale once a key said something else, or left the part.
  out.dropPause = r.afterPause.empty() && r.taken;
  return out;
}

Outcome Presenter::focusPart(Part part) {
  if (ended()) return endedOutcome();
  // A gesture still on the board ends first, as a click on the row ends it.
  input.cancelAll();
  if (keyboard_.finishLine()) input.positionChanged();
  return afterInput(keyboard_.hold(part));
}

Outcome Presenter::leavePart() {
  if (ended()) return endedOutcome();
  Outcome out = afterInput(keyboard_.release());
  out.dropPause = true;
  return out;
}

Outcome Presenter::describe() {
  if (ended()) return endedOutcome();
  Outcome out = afterInput(false);
  out.say = heard(keyboard_.description());
  return out;
}

Outcome Presenter::sayAfterPause(const std::string& words) {
  Outcome out = afterInput(false);
  out.say = heard(words);
  return out;
}

Outcome Presenter::partKey(Part part, Key key, const Modifiers& held) {
  if (ended()) return endedOutcome();
  if (platformShortcut(held)) return {};
  if (keyboard_.held() != part) input.cancelAll();
  const double before = keyboard_.value(part);
  return keyOutcome(keyboard_.partKey(part, key), std::pair{part, before});
}

Outcome Presenter::slideTo(Part part, double value) {
  if (ended()) return endedOutcome();
  if (keyboard_.held() != part) input.cancelAll();
  const double before = keyboard_.value(part);
  return keyOutcome(keyboard_.slideTo(part, value), std::pair{part, before});
}

Outcome Presenter::boardFocus(bool focused) {
  if (ended()) return endedOutcome();
  keyboard_.boardFocused(focused);
  // The keys came to a board where they draw: where the cross stands, which a page's
  // reader would not otherwise say (it names an application once, not on each return).
  const bool draws = form.board.LineMode == 1 || keyboard_.drawing();
  return finish(false, false, false, focused && draws ? keyboard_.crossWords() : std::string());
}

Outcome Presenter::boardKey(Key key, const Modifiers& held) {
  if (ended()) return endedOutcome();
  if (platformShortcut(held)) return {};
  // The keyboard draws only while no pointer holds the board.
  if (input.owner()) return afterInput(false);
  const KeyResult r = keyboard_.boardKey(key);
  if (r.reached) input.positionChanged();
  return keyOutcome(r);
}

}  // namespace frontend
