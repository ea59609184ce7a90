// libFuzzer entry for the record's reader: whatever a store may hand back (cut short,
// another program's, another version's, garbage), as text; or, when the first byte is
// odd, the rest as a record's body with a good checksum, so that the fuzzer reaches
// past it into the reader. Nothing read may crash; what is accepted writes back to a
// text that reads back the same, and a window that resumes it keeps its invariants.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto fault = fuzz::readRecord(data, size)) {
    std::fputs(fault->c_str(), stderr);
    std::abort();
  }
  return 0;
}
