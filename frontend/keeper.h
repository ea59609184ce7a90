// What the lesson keeps so that nothing a teacher made is lost to one press: the board
// as it stood before a wipe, offered back until the teacher goes on; and, for a front
// end that can store it, the record of the board, when it is due, and the board a
// record brings back. Both front ends show the same offers from here; only the page
// stores records (the desktop writes no files).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "frontend/fonts.h"
#include "frontend/geometry.h"
#include "frontend/record.h"

namespace frontend {

// An offer in the board's lower right corner, where the figure as it starts leaves the
// board free: words, and one control that takes the offer. It stays until the teacher
// goes on (a press on the board, a click on the tool row); no timer ends it.
struct Offer {
  enum class Kind { None, TakeBackWipe, PreviousBoard };
  Kind kind = Kind::None;
  std::string words;   // shown beside the control; may be empty
  std::string action;  // the control's caption and name
  Rect box;            // all of it, in the window's pixels
  Rect control;        // the control's own box, in the window's pixels
  Rect wordsBox;       // where the words stand, left aligned, in the window's pixels
  FontChoice font;
  // A panel of the window's own green, framed, so it reads as the program's and not
  // as chalk; black words.
  forms::Rgb fore = forms::kBlack;
  forms::Rgb back = app::kWindowGreen;
  friend bool operator==(const Offer&, const Offer&) = default;
};

// A line that stays in the board's lower left corner, or none (empty words).
struct Notice {
  std::string words;
  Rect box;  // in the window's pixels
  FontChoice font;
  // White on the board: quiet in size, yet as legible as chalk (5:1 against the green).
  forms::Rgb fore = forms::kWhite;
  forms::Rgb back = app::kBoardGreen;
  friend bool operator==(const Notice&, const Notice&) = default;
};

// When a front end that stores the board writes its record: not now, after a short
// while (changes coalesced), or at once (the lesson ended).
enum class Keep { No, Soon, Now };

// What a record offered by another tab or window turned out to be: one that cannot be
// read, one so old that the device need keep it no longer (a store removes both), one
// too old to offer, one not offered, or one offered.
enum class Previous { Unreadable, Stale, Old, NotOffered, Offered };

class Keeper {
 public:
  // Follows the window's ink and its wipes from now on, until destroyed.
  explicit Keeper(app::Form1& form);
  ~Keeper();
  Keeper(const Keeper&) = delete;
  Keeper& operator=(const Keeper&) = delete;

  // An input has been handled. `goesOn`: it was a press on the board or a click on the
  // tool row, which ends an offer. Returns whether the offer changed, and sets `say`
  // to words to say once. A wipe in it that lost something offers the board back
  // (the newest wiped, when one was offered already); a wipe that lost nothing
  // changes no offer.
  bool settle(bool goesOn, std::string& say);
  // The board changed: a record is due.
  void changed() { dirty_ = true; }
  bool due() const { return dirty_; }
  // "終了" ended the lesson: it was wiped as the initial screen wipes, to be offered
  // back when the lesson starts again.
  void ended() { ended_ = true; }

  const Offer& offer() const { return offer_; }
  // Takes the offer: the wiped board back, or the other tab's board opened here.
  // Returns whether there was one, and sets `say`.
  bool take(std::string& say);
  // Ctrl+Z: the wiped board back; false when none is offered.
  bool takeBack(std::string& say);

  // The record of the board as it stands (with the wiped board while it is offered
  // back), saved at `nowMs`, as a store keeps it; it is no longer due. And the text of
  // a block it names.
  Stored store(double nowMs);
  std::string block(std::string_view name) const;
  // The same record whole, as read() takes it.
  std::string record(double nowMs);
  // A record this tab wrote before (a reload, a discarded tab come back): the board as
  // it was, and its offer. False, and nothing changed, when it cannot be read.
  bool resume(std::string_view text, std::string& say);
  // A record another tab or window left: offered when it is from the last 24 hours, not
  // ended with "終了", and holds something a wipe would lose; the newest so offered wins.
  Previous consider(std::string_view text, double nowMs);

  // Whether this device keeps the board: when it does not, the notice says so.
  void storage(bool keeps);
  const Notice& notice() const { return notice_; }

  // The ink since the board was last cleared.
  const InkLog& ink() const { return ink_; }

  // What is offered and said.
  static constexpr const char* kWiped = "板書を消しました";
  static constexpr const char* kTakeBack = "元に戻す";
  static constexpr const char* kTakenBack = "元に戻しました";
  static constexpr const char* kOpenPrevious = "前の板書を開く";
  static constexpr const char* kResumed = "前の板書を戻しました";
  static constexpr const char* kCannotKeep = "この端末には板書を残せません";
  // How old another tab's board may be and still be offered; and how long a board is
  // kept at all (a tab left open for days, then discarded by the browser, still comes
  // back with its board).
  static constexpr double kOfferForMs = 24 * 60 * 60 * 1000.0;
  static constexpr double kKeepForMs = 7 * kOfferForMs;

 private:
  void show(Offer::Kind kind);
  // Logs every stroke the surface draws.
  void follow();
  // A board put back on the window, writing and all.
  void putBack(const BoardState& board);
  Record current(double nowMs) const;  // its board's writing left out: it is ink_
  Rect onWindow(const Rect& onBoard) const;

  app::Form1& form_;
  InkLog ink_;
  std::optional<BoardState> wiped_;  // taken as a wipe began, until the input settles
  std::optional<BoardState> kept_;   // the board offered back
  std::optional<Record> previous_;   // another tab's board, offered
  Offer offer_;
  Notice notice_;
  bool dirty_ = false;
  bool ended_ = false;
};

}  // namespace frontend
