// The lesson without dragging: the five parts a drag can hold, as sliders that a key
// moves as a drag would, a straight line drawn with the keys, and the words a screen
// reader says about them. One keymap and one set of words for every front end.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/parts.h"
#include "frontend/geometry.h"

namespace frontend {

// Where: on the board in straight-line mode, say where the keyboard's cross stands.
enum class Key { Up, Down, Left, Right, PageUp, PageDown, Enter, Space, Escape, Where };

using app::kParts;
using app::Part;

// A part as a slider, as a screen reader is given it: its name, where it stands (board
// pixels, growing as the part goes up or right) between its ends, an arrow's step, the
// same place in words, and what the keys do (or why the part cannot move now).
struct Slider {
  std::string name;
  double value = 0;
  double min = 0;
  double max = 0;
  double step = 0;
  std::string valueText;
  std::string description;
  bool vertical = false;
  friend bool operator==(const Slider&, const Slider&) = default;
};

// What a key did: whether it was the program's (a front end then keeps the browser or
// the toolkit from acting on it too), whether it reached the model, whether the focus
// goes back to the board, what to say at once and what to say once the keys pause.
struct KeyResult {
  bool taken = false;
  bool reached = false;
  bool toBoard = false;
  std::string say;
  std::string afterPause;
};

class Keyboard {
 public:
  explicit Keyboard(app::Form1& form);
  Keyboard(const Keyboard&) = delete;
  Keyboard& operator=(const Keyboard&) = delete;

  // A part's slider took the focus: the part is held as a press on its handle holds
  // it, in figure mode. False when nothing could be held (memo or straight lines on).
  bool hold(Part part);
  // The focus left it: let go as a release does. False when nothing was held.
  bool release();
  std::optional<Part> held() const { return held_; }

  // A key on a part's slider. Each arrow or page key is one drag step of its size;
  // Enter or Space on an upper end shows or hides its extension; Escape lets go.
  KeyResult partKey(Part part, Key key);
  // A screen reader set the slider's value to `to`: the drag steps there, as the keys would.
  KeyResult slideTo(Part part, double to);
  // A key on the board: in straight-line mode the arrows move the keyboard's point,
  // Enter or Space start a line there and fix it, and Escape fixes it where it is.
  KeyResult boardKey(Key key);
  // Whether a line begun from the keyboard is being stretched.
  bool drawing() const { return drawing_; }
  // Ends such a line as a cancel ends a gesture: fixed where it is.
  bool finishLine();

  // The board has the keyboard's focus (not a pointer's): in straight-line mode the
  // keyboard's point shows. A key on the board shows it too.
  void boardFocused(bool focused);
  // Where the pointer was last seen on the board: the keyboard's point starts there.
  void pointerAt(double x, double y);

  // The part as a slider, as it stands.
  Slider slider(Part part) const;
  // What the slider's words rest on, which costs no words: when it is unchanged, the
  // slider is (a pointer's move comes here every time).
  struct Stamp {
    double value;
    int words;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  Stamp stamp(Part part) const;
  // Its place in words (the slider's value text).
  std::string valueText(Part part) const;
  double value(Part part) const;
  // What the keys do on a part: said with it the first time it takes the focus, not on
  // every visit; in memo or straight-line mode, why it cannot move.
  std::string keysWords(Part part) const;
  // What to say once the keys pause: where the part stands now.
  std::string whereWords(Part part) const;
  // Where p, q and r, the six points, and the four segments' lengths stand, in squares.
  std::string description() const;
  // Where the keyboard's cross stands on the board.
  std::string crossWords() const;

  // The board's overlay, above everything: the box round the held part
  // (four lines), and the keyboard's point as a small cross (two). Brought up to date
  // by follow().
  const std::array<forms::Line, 6>& overlay() const { return overlay_; }
  void follow();

  // Words, the name of the control that says them and the keys' steps.
  static constexpr const char* kDescriptionName = "図の説明";
  // Where that control shows while it has the focus (it shows nothing otherwise), in
  // the window's pixels, below the board's left corner, in the dialog's font.
  static constexpr Rect kDescriptionBox{16, 634, 120, 36};
  static constexpr const char* kExtensionShown = "延長を表示しました";
  static constexpr const char* kExtensionHidden = "延長を消しました";
  static constexpr double kStep = 5;     // pixels an arrow moves
  static constexpr double kPage = 25;    // PageUp and PageDown: one square of the grid
  static constexpr double kSquare = 25;  // the grid's square, the unit the words count in
  // How long the keys pause before the new place is said.
  static constexpr int kPauseMs = 500;
  // The box round a held part: black, which stands out 3:1 and more against the
  // board's green, the white lines and the light red of a held one.
  static constexpr forms::Rgb kBoxColour{0, 0, 0};

 private:
  double limit(Part part) const;
  bool extensionShown(Part part) const;
  std::string lineEnds(double x, double y) const;  // a place on the board in words
  double whereOnBoard(Part part) const;            // the height of p or q, or the x of the others
  void step(Part part, double by);
  void lineTo(double x, double y);
  std::string lineDrawn();  // fixes the line being drawn; what to say of it

  app::Form1& form_;
  double width_, height_;
  std::optional<Part> held_;
  bool boardFocused_ = false;
  bool drawing_ = false;
  double x_, y_;                              // the keyboard's point on the board
  double fromX_ = 0, fromY_ = 0;              // where the line being drawn began
  int drawingLine_ = 0;                       // its number, 1 to 5
  std::array<bool, kParts.size()> taught_{};  // the part's keys have been said
  std::array<forms::Line, 6> overlay_{};
};

}  // namespace frontend
