#include "fuzz/records.h"

#include <algorithm>
#include <string_view>

#include "frontend/presenter.h"
#include "frontend/record.h"
#include "fuzz/delivery.h"
#include "fuzz/generator.h"
#include "fuzz/invariants.h"

namespace fuzz {

std::optional<std::string> readRecord(const std::uint8_t* data, std::size_t size, bool* accepted) {
  if (accepted != nullptr) *accepted = false;
  if (size == 0) return std::nullopt;
  const bool body = (data[0] & 1) != 0;
  const std::string text = body ? frontend::sealed(frontend::Bytes(data + 1, data + size))
                                : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::optional<frontend::Record> record = frontend::read(text);
  if (!record) return std::nullopt;
  if (accepted != nullptr) *accepted = true;
  const std::string again = frontend::write(*record);
  const std::optional<frontend::Record> reread = frontend::read(again);
  if (!reread || frontend::write(*reread) != again)
    return "a record read back otherwise than written";
  // Resumed, and played on. A text with its own checksum is one the program wrote:
  // the window holds together as ever. A body sealed here may hold any board the
  // reader lets through (the checksum is what keeps a changed record out): its
  // arithmetic stays sound, and it answers input.
  app::Form1 form;
  form.Form_Load();
  frontend::Presenter core(form);
  core.resume(text);
  const auto judge = [&](const char* when) -> std::optional<std::string> {
    const auto broken = body ? brokenSafety(form) : brokenInvariant(form, {});
    if (broken) return std::string(when) + " breaks the window: " + *broken;
    return std::nullopt;
  };
  if (auto fault = judge("a record resumed")) return fault;
  using frontend::Phase;
  const frontend::PointerEvent at{405, 130, frontend::kLeft, frontend::kLeft, {}, 0, {}, 0};
  core.pointer(Phase::Down, at);
  core.pointer(Phase::Move, {430, 131, 0, frontend::kLeft, {}, 0, {}, 1});
  core.pointer(Phase::Up, {430, 131, frontend::kLeft, 0, {}, 0, {}, 2});
  core.takeBack();
  core.click({frontend::ControlId::Group::Command, 1});
  core.takeBack();
  if (auto fault = judge("a record resumed, dragged, wiped and taken back")) return fault;
  return std::nullopt;
}

namespace {

// A whole number below n.
struct Picker {
  std::mt19937& rng;
  std::size_t operator()(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  }
};

// A real board: a random lesson's, wiped now and then so that a kept board is in it.
std::string randomLessonRecord(std::mt19937& rng) {
  app::Form1 form;
  form.Form_Load();
  frontend::Presenter core(form);
  for (const Event& e : randomSequence(rng, 60)) {
    for (const Event& d : asDelivered(form, e)) deliver(core, d, 0);
    if (core.ended()) break;
  }
  core.keepAgain();
  return core.record(0).value_or("");
}

// Mostly its body, which readRecord seals again, so that a change reaches past the
// checksum into the reader; else its text as it stands.
std::vector<std::uint8_t> asInput(const std::string& text, Picker& pick) {
  std::vector<std::uint8_t> out;
  const std::optional<frontend::Bytes> body = frontend::unsealed(text);
  if (body && pick(4) != 0) {
    out.push_back(1);
    out.insert(out.end(), body->begin(), body->end());
  } else {
    out.push_back(0);
    out.insert(out.end(), text.begin(), text.end());
  }
  return out;
}

// Changes the input past its first byte, which says what the rest is.
void mutate(std::vector<std::uint8_t>& out, Picker& pick) {
  switch (pick(5)) {
    case 0:  // a byte changed here and there
      for (int k = 0, n = 1 + static_cast<int>(pick(8)); k < n && out.size() > 1; ++k) {
        const auto value = static_cast<std::uint8_t>(pick(256));
        out[1 + pick(out.size() - 1)] = value;
      }
      break;
    case 1:  // cut short
      out.resize(1 + pick(out.size()));
      break;
    case 2:  // a stretch repeated
      if (out.size() > 8) {
        const std::size_t at = 1 + pick(out.size() - 4);
        const std::size_t n = 1 + pick(std::min<std::size_t>(64, out.size() - at));
        const auto from = out.begin() + static_cast<std::ptrdiff_t>(at);
        const std::vector<std::uint8_t> stretch(from, from + static_cast<std::ptrdiff_t>(n));
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), stretch.begin(), stretch.end());
      }
      break;
    case 3:  // garbage
      out.assign(1 + pick(300), 0);
      for (auto& b : out) b = static_cast<std::uint8_t>(pick(256));
      break;
    default:  // whole
      break;
  }
}

}  // namespace

std::vector<std::uint8_t> mutatedRecord(std::mt19937& rng) {
  Picker pick{rng};
  std::vector<std::uint8_t> out = asInput(randomLessonRecord(rng), pick);
  mutate(out, pick);
  return out;
}

}  // namespace fuzz
