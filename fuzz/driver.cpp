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
#include "fuzz/generator.h"
#include "fuzz/invariants.h"
#include "fuzz/records.h"
#include "fuzz/session.h"

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

struct Options {
  long randomRuns = 0;
  std::size_t length = 300;
  unsigned seed = 1;
  std::string saveDir;
  long records = 0;
  std::string recordCorpus;
  std::vector<std::filesystem::path> inputs;
};

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--random")
      o.randomRuns = std::stol(value());
    else if (a == "--length")
      o.length = std::stoul(value());
    else if (a == "--seed")
      o.seed = static_cast<unsigned>(std::stoul(value()));
    else if (a == "--save")
      o.saveDir = value();
    else if (a == "--records")
      o.records = std::stol(value());
    else if (a == "--record-corpus")
      o.recordCorpus = value();
    else
      o.inputs.emplace_back(a);
  }
  return o;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// The record corpus, then records of random lessons, the first few saved if asked.
std::vector<std::vector<std::uint8_t>> recordInputs(const Options& o) {
  std::vector<std::vector<std::uint8_t>> inputs;
  if (!o.recordCorpus.empty())
    for (const auto& entry : std::filesystem::directory_iterator(o.recordCorpus))
      if (entry.is_regular_file()) inputs.push_back(readFile(entry.path()));
  std::mt19937 rng(o.seed);
  for (long r = 0; r < o.records; ++r) {
    inputs.push_back(fuzz::mutatedRecord(rng));
    if (!o.saveDir.empty() && r < 16)
      writeFile(o.saveDir + "/record-" + std::to_string(o.seed) + "-" + std::to_string(r),
                inputs.back());
  }
  return inputs;
}

int checkRecords(const Options& o) {
  const auto inputs = recordInputs(o);
  int failed = 0, accepted = 0;
  for (const auto& input : inputs) {
    bool read = false;
    const auto fault = fuzz::readRecord(input.data(), input.size(), &read);
    accepted += read ? 1 : 0;
    if (fault) {
      ++failed;
      std::cerr << "FAIL record input of " << input.size() << " bytes: " << *fault << '\n';
    }
  }
  std::cout << "records: " << inputs.size() << " inputs, " << accepted
            << " read as records (resumed, played on and written again), " << failed << " failed\n";
  return failed == 0 ? 0 : 1;
}

// The files a command-line input names: a directory's, in order, or the file itself.
std::vector<std::filesystem::path> filesOf(const std::filesystem::path& input) {
  if (!std::filesystem::is_directory(input)) return {input};
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(input))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Sequences run, and what failed of them, shrunk.
struct Tally {
  long executions = 0;
  std::size_t events = 0;
  std::size_t longest = 0;
  int failures = 0;

  void check(const std::vector<fuzz::Event>& sequence, const std::string& name) {
    ++executions;
    events += sequence.size();
    longest = std::max(longest, sequence.size());
    if (!fuzz::run(sequence)) return;
    ++failures;
    const auto shortest = shrink(sequence);
    std::cerr << "FAIL " << name << " (" << sequence.size() << " events, shrunk to "
              << shortest.size() << ")\n"
              << *fuzz::run(shortest);
  }
};

int checkSequences(const Options& o) {
  Tally tally;
  for (const auto& input : o.inputs) {
    for (const auto& file : filesOf(input)) {
      const auto bytes = readFile(file);
      tally.check(fuzz::decode(bytes.data(), bytes.size()), file.string());
    }
  }
  std::mt19937 rng(o.seed);
  for (long r = 0; r < o.randomRuns; ++r) {
    const auto sequence = fuzz::randomSequence(rng, o.length);
    tally.check(sequence,
                "random sequence " + std::to_string(r) + " of seed " + std::to_string(o.seed));
    if (!o.saveDir.empty() && r < 32)
      writeFile(o.saveDir + "/random-" + std::to_string(o.seed) + "-" + std::to_string(r),
                fuzz::encode(sequence));
  }
  std::cout << "fuzz: " << tally.executions << " sequences, " << tally.events << " events, longest "
            << tally.longest << ", " << fuzz::invariantCount()
            << " groups of the model's invariants, the tool row, the board's owner and the end "
               "after every event, the screen against a full repaint every 40\n"
            << tally.executions - tally.failures << " passed, " << tally.failures << " failed\n";
  return tally.failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  if (options.records > 0 || !options.recordCorpus.empty()) return checkRecords(options);
  return checkSequences(options);
}
