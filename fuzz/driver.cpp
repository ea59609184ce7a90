// Replays the committed corpus and a number of seeded random sequences through the
// program's core as the front ends drive it, checking every invariant after every
// event and the screen every few dozen. Without libFuzzer, so CI runs
// it everywhere. A failing sequence is shrunk to a short one before it is reported.
//
//   fuzz_driver [--random N] [--length L] [--seed S] [--save DIR] [CORPUS_FILE_OR_DIR...]
//   fuzz_driver --records N [--seed S] [--record-corpus DIR] [--save DIR]
//     the record's reader: the record corpus, then N records of random lessons, cut,
//     changed or replaced by garbage.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>

#include "fuzz/events.h"
#include "fuzz/records.h"

namespace {

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Drops events while the sequence still fails, so the report is short.
std::vector<fuzz::Event> shrink(std::vector<fuzz::Event> events) {
  for (std::size_t chunk = events.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t start = 0; start + chunk <= events.size();) {
      std::vector<fuzz::Event> shorter = events;
      shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(start),
                    shorter.begin() + static_cast<std::ptrdiff_t>(start + chunk));
      if (fuzz::run(shorter)) {
        events = std::move(shorter);
      } else {
        start += chunk;
      }
    }
  }
  return events;
}

}  // namespace

int main(int argc, char** argv) {
  long randomRuns = 0;
  std::size_t length = 300;
  unsigned seed = 1;
  std::string saveDir;
  long records = 0;
  std::string recordCorpus;
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--random")
      randomRuns = std::stol(value());
    else if (a == "--length")
      length = std::stoul(value());
    else if (a == "--seed")
      seed = static_cast<unsigned>(std::stoul(value()));
    else if (a == "--save")
      saveDir = value();
    else if (a == "--records")
      records = std::stol(value());
    else if (a == "--record-corpus")
      recordCorpus = value();
    else
      inputs.emplace_back(a);
  }

  if (records > 0 || !recordCorpus.empty()) {
    std::vector<std::vector<std::uint8_t>> inputsToRead;
    if (!recordCorpus.empty())
      for (const auto& entry : std::filesystem::directory_iterator(recordCorpus))
        if (entry.is_regular_file()) inputsToRead.push_back(readFile(entry.path()));
    std::mt19937 rng(seed);
    for (long r = 0; r < records; ++r) {
      inputsToRead.push_back(fuzz::mutatedRecord(rng));
      if (!saveDir.empty() && r < 16) {
        std::ofstream out(saveDir + "/record-" + std::to_string(seed) + "-" + std::to_string(r),
                          std::ios::binary);
        out.write(reinterpret_cast<const char*>(inputsToRead.back().data()),
                  static_cast<std::streamsize>(inputsToRead.back().size()));
      }
    }
    int failed = 0, accepted = 0;
    for (const auto& input : inputsToRead) {
      bool read = false;
      const auto fault = fuzz::readRecord(input.data(), input.size(), &read);
      accepted += read ? 1 : 0;
      if (fault) {
        ++failed;
        std::cerr << "FAIL record input of " << input.size() << " bytes: " << *fault << '\n';
      }
    }
    std::cout << "records: " << inputsToRead.size() << " inputs, " << accepted
              << " read as records (resumed, played on and written again), " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
  }

  long executions = 0;
  std::size_t events = 0;
  std::size_t longest = 0;
  int failures = 0;
  auto check = [&](const std::vector<fuzz::Event>& sequence, const std::string& name) {
    ++executions;
    events += sequence.size();
    longest = std::max(longest, sequence.size());
    if (!fuzz::run(sequence)) return;
    ++failures;
    const auto shortest = shrink(sequence);
    std::cerr << "FAIL " << name << " (" << sequence.size() << " events, shrunk to "
              << shortest.size() << ")\n"
              << *fuzz::run(shortest);
  };

  for (const auto& input : inputs) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(input)) {
      for (const auto& entry : std::filesystem::directory_iterator(input))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(input);
    }
    for (const auto& file : files) {
      const auto bytes = readFile(file);
      check(fuzz::decode(bytes.data(), bytes.size()), file.string());
    }
  }

  std::mt19937 rng(seed);
  for (long r = 0; r < randomRuns; ++r) {
    const auto sequence = fuzz::randomSequence(rng, length);
    check(sequence, "random sequence " + std::to_string(r) + " of seed " + std::to_string(seed));
    if (!saveDir.empty() && r < 32) {
      std::ofstream out(saveDir + "/random-" + std::to_string(seed) + "-" + std::to_string(r),
                        std::ios::binary);
      const auto bytes = fuzz::encode(sequence);
      out.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
  }

  std::cout << "fuzz: " << executions << " sequences, " << events << " events, longest " << longest
            << ", " << fuzz::invariantCount()
            << " groups of the model's invariants, the tool row, the board's owner and the end "
               "after every event, the screen against a full repaint every 40\n"
            << executions - failures << " passed, " << failures << " failed\n";
  return failures == 0 ? 0 : 1;
}
