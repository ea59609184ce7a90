// Everything a teacher made on the board, as data the program can keep and read back:
// the writing as a compact log of its strokes, the rest of the board (the figure, the
// optional lines, the five straight lines and their boxes, the grid, the mode, the
// pens) as bytes, and both in one versioned text record. What cannot be read back
// exactly is refused whole: a record is checked on the way in, never trusted.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"

namespace frontend {

using Bytes = std::vector<std::uint8_t>;

// Ink lies on a grid of sixteenths of a board pixel: far finer than any screen shows
// (a sixteenth of a pixel moves an antialiased edge by a shade or none), and coarse
// enough that a stroke's steps fit a byte or two each. Every raster draws the ink at
// these places, so writing drawn again from its log is the same, pixel for pixel.
inline constexpr double kInkSteps = 16;
inline double onInkGrid(double v) { return std::nearbyint(v * kInkSteps) / kInkSteps; }

// The writing since the board was last cleared, as runs of joined segments: each run
// one colour and width, its first point, then each next point as a step from the last.
// An hour of heavy writing stays near a megabyte (docs/performance.md).
class InkLog {
 public:
  // A command as the surface draws it: a clearing empties the log.
  void add(const forms::InkCommand& c);
  bool empty() const { return segments_ == 0; }
  std::size_t segments() const { return segments_; }

  // The log's bytes, and a log read back from them (nothing if they are not one).
  void writeTo(Bytes& out) const;
  static std::optional<InkLog> read(const std::uint8_t* data, std::size_t size);

  // The bytes as blocks: each whole block of the runs that are done (they never change
  // again), by a name made from its content and as text; and the rest, which does.
  std::size_t blocks() const { return closed_.size() / kBlockBytes; }
  const std::string& blockName(std::size_t i) const { return block(i).name; }
  const std::string& blockText(std::size_t i) const { return block(i).text; }
  void tailTo(Bytes& out) const;
  // The text of the block of that name, or nothing.
  const std::string* blockNamed(std::string_view name) const;
  // Big enough that an hour's writing is a score of them; small enough that storing
  // one costs a store next to nothing. A multiple of 3: its base64 has no padding.
  static constexpr std::size_t kBlockBytes = 49152;

  // Every segment, in the order drawn, as the command that drew it.
  void replay(const std::function<void(const forms::InkCommand&)>& f) const;

  friend bool operator==(const InkLog& a, const InkLog& b);

 private:
  struct Run {
    forms::Rgb colour;
    int width = 0;
    std::int32_t x = 0, y = 0;  // the first point, in ink steps
  };
  // Calls f(command) for each segment of well-formed runs, and runs(start, its steps,
  // its head, how many) as each begins; false at the first fault.
  template <class F, class R>
  static bool forEachSegment(const std::uint8_t* data, std::size_t size, F&& f, R&& runs);
  void closeRun();
  struct Block {
    std::string name;
    std::string text;
  };
  const Block& block(std::size_t i) const;

  Bytes closed_;                       // runs that are done
  mutable std::vector<Block> blocks_;  // of closed_, made as they are asked for
  // The run being drawn: its start, its steps so far, and where it stands.
  bool open_ = false;
  Run run_;
  std::uint32_t steps_ = 0;
  Bytes openSteps_;
  std::int32_t lastX_ = 0, lastY_ = 0;
  std::size_t segments_ = 0;
};

// A board as it stands: every control and variable a teacher changed, and the
// writing. A gesture under way when it was taken is ended in it, as its release would
// have ended it.
struct BoardState {
  Bytes controls;
  InkLog ink;
  // What of it shows now or can show later: the controls but where the pointer last
  // was, the hidden eraser's marker and the colours and heights of lines parked out
  // of sight (each is set anew as it comes back).
  Bytes shown;
  // Whether two boards show the same.
  bool sameBoardAs(const BoardState& other) const {
    return shown == other.shown && ink == other.ink;
  }
};
BoardState capture(const app::Form1& form, const InkLog& ink);
// Puts a board back on the window: the writing drawn again (which the surface tells
// whatever logs it), then every control and variable.
void restore(app::Form1& form, const BoardState& state);
// Whether a wipe (InitScreen) would leave this board as it is: nothing on it a teacher
// could lose.
bool wipesToItself(const BoardState& state);

// What a front end that stores the board keeps: the board, and the board a wipe took
// away while it can still be taken back. `ended`: the lesson was ended with "終了".
struct Record {
  double savedAtMs = 0;  // milliseconds since 1970, as the front end's clock says
  bool ended = false;
  BoardState board;
  std::optional<BoardState> kept;
};

// A record as a store keeps it: a head, small and written at every save, naming the
// blocks of writing it rests on; and those blocks, each stored once under its name and
// shared by every record holding the same writing (a board and the board it was before
// a wipe), so that a save after an hour of writing writes a head and now and then one
// block, never the hour. Text only (ASCII), for any store of strings.
struct Stored {
  std::string head;
  std::vector<std::string> blocks;  // the blocks' names, in the order read takes them
};
Stored store(const Record& record);
// The same for a record whose board's writing is `ink` (the board's own is not read):
// the live log, stored with no copy of it made.
Stored store(const Record& record, const InkLog& ink);
// A block's text, from the writing of the record that names it (empty if it does not).
std::string blockText(const Record& record, std::string_view name);
// The names a head rests on, for a store to gather them (none if it is no head).
std::vector<std::string> blockNames(std::string_view head);

// The record whole: its head, then each block's text on a line of its own; and read
// back: nothing when the text is not a whole record of this version (a block missing
// or changed, cut short, another program's), or holds a board the program could not
// have made.
std::string write(const Record& record);
std::optional<Record> read(std::string_view text);

// A head around a body of the fuzzer's own, with no blocks: its checksum made, so that
// what it hands reaches past it into the reader; and the body of such a text.
std::string sealed(const Bytes& body);
std::optional<Bytes> unsealed(std::string_view text);

}  // namespace frontend
