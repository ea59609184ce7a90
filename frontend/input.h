// The pointer on the board, as every front end reports it, to the window's handlers:
// who takes a press (a line-name picture or the board), the move delivered to the
// press point before a press, one pointer at a time, and the codes of the handlers.
#pragma once

#include <optional>

#include "app/form1.h"
#include "frontend/scene.h"

namespace frontend {

enum class PointerKind { Mouse, Touch, Pen };

// Mouse buttons as a set; a touch or a pen counts as the left button. kOtherButton is
// any button the program does not use (a pen's eraser end, a mouse's fourth button):
// its presses and releases reach nothing.
enum Button : unsigned { kNoButton = 0, kLeft = 1, kRight = 2, kMiddle = 4, kOtherButton = 8 };
inline constexpr unsigned kKnownButtons = kLeft | kRight | kMiddle;

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool meta = false;  // the Windows or Command key
};

// A key held with Ctrl, Alt or Meta is a shortcut of the platform's (the browser's,
// the desktop's), never a key of the figure's.
inline bool platformShortcut(const Modifiers& m) { return m.ctrl || m.alt || m.meta; }

struct PointerEvent {
  double x = 0;  // board pixels (the drawing area's), fractions allowed
  double y = 0;
  unsigned button = kNoButton;  // press and release: the button that went down or up
  unsigned held = kNoButton;    // the buttons down once the event is over
  Modifiers modifiers;
  int pointer = 0;  // the platform's pointer id; a mouse is one pointer
  PointerKind kind = PointerKind::Mouse;
  double timeMs = 0;  // when it happened, in milliseconds of any steady clock
};

class BoardInput {
 public:
  BoardInput(app::Form1& form, const BoardScene& scene) : form_(form), scene_(scene) {}

  // Each returns whether the event reached the model. While one pointer's gesture
  // lasts, every other pointer is ignored; so are touches just after a pen was seen,
  // and presses and releases of buttons we do not know (a pen's eraser end).
  //
  // A gesture whose end never came (the pen left the screen's range, a system
  // gesture took the touch, the window lost the pointer) must not leave the board
  // deaf. It is taken for ended, as a cancel ends it, where its pointer was last
  // seen, when its own pointer presses again as if nothing were held, moves with
  // nothing held, or when a mouse presses, or another pointer presses after it has
  // been silent for kSilentMs. The next gesture then starts with no jump and no ink
  // from where the last one stopped.
  bool press(PointerEvent e);
  bool move(PointerEvent e);
  bool release(PointerEvent e);
  // The platform took the pointer away (a touch turned into a scroll, the window lost
  // it): the gesture ends as a release where the pointer was last seen, or a stroke
  // would stick to the next one.
  bool cancel(int pointer);
  // Every pointer was taken away: the gesture under way, if any, ends as a cancel.
  bool cancelAll();
  // Every pointer of one kind was taken away (the system took the fingers for a
  // gesture of its own): a gesture of that kind ends as a cancel.
  bool cancelKind(PointerKind kind) { return ownerKind_ == kind && cancelAll(); }

  // The pointer whose gesture holds the board, if one does.
  std::optional<int> owner() const { return owner_; }
  // Something other than a pointer moved the model's pointer position (the keyboard
  // drew a line): the next press is brought there by a move first.
  void positionChanged() { lastPosition_.reset(); }

  // How long after a pen was last seen a touch is taken for the hand that holds it.
  static constexpr double kPalmMs = 1000;
  // How long a gesture's pointer may be silent before another pointer's press is
  // taken for the next gesture: a finger held still longer than this is rare, and its
  // gesture ends where it is, losing nothing.
  static constexpr double kSilentMs = 2000;

 private:
  // Drops the buttons we do not know and makes a touch or pen the left button, and
  // notes when a pen was last seen.
  void normalise(PointerEvent& e);
  // Whether `e` is the hand that holds a pen, resting beside it.
  bool isPalm(const PointerEvent& e) const;
  // Whether `e` shows that the gesture under way lost its end.
  bool endWasLost(const PointerEvent& e) const;
  bool owns(const PointerEvent& e) const { return !owner_ || *owner_ == e.pointer; }
  void heard(const PointerEvent& e);
  void deliverMove(const PointerEvent& e);
  void gestureOver();

  app::Form1& form_;
  const BoardScene& scene_;
  // A picture that took a press keeps the press and its moves, and gets the release
  // (a click when the pointer is still over it); the board sees nothing of it.
  int pressedPicture_ = -1;
  // The pointer whose buttons are down, and the buttons, while a gesture lasts.
  std::optional<int> owner_;
  PointerKind ownerKind_ = PointerKind::Mouse;
  double ownerHeardMs_ = 0;
  unsigned ownerHeld_ = kNoButton;
  // The last position the board handed to the model, and where the owner was last.
  std::optional<Point> lastPosition_;
  Point ownerAt_;
  std::optional<double> penSeenMs_;
};

}  // namespace frontend
