// libFuzzer entry: every input is a sequence of window events; a broken invariant is
// reported with the events that led to it, then the run aborts so libFuzzer keeps it.
#include <cstdio>
#include <cstdlib>

#include "fuzz/events.h"
#include "fuzz/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto report = fuzz::run(fuzz::decode(data, size))) {
    std::fputs(report->c_str(), stderr);
    std::abort();
  }
  return 0;
}
