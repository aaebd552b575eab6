// Runs a libFuzzer entry point without libFuzzer: every file of a corpus
// folder, each of those cut at every length, and a fixed number of seeded
// random inputs (mutations of the corpus files and plain noise). A crash or a
// sanitizer report fails the test; the entry point's own checks abort.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Run(const std::vector<uint8_t>& input) {
  // A copy of exactly the input's size, so that an over-read is caught.
  std::vector<uint8_t> copy(input);
  LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::vector<uint8_t>> corpus;
  if (argc > 1 && std::filesystem::is_directory(argv[1])) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
      std::ifstream in(entry.path(), std::ios::binary);
      corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  size_t runs = 0;
  for (const auto& file : corpus) {
    for (size_t cut = 0; cut <= file.size(); ++cut) {
      Run(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(cut)));
      ++runs;
    }
  }
  std::mt19937 random(12345);
  for (int i = 0; i < 20000; ++i) {
    std::vector<uint8_t> input;
    if (!corpus.empty() && i % 2 == 0) {
      input = corpus[random() % corpus.size()];
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int f = 0; f < flips && !input.empty(); ++f) {
        input[random() % input.size()] = static_cast<uint8_t>(random());
      }
    } else {
      input.resize(random() % 600);
      for (auto& b : input) b = static_cast<uint8_t>(random());
    }
    Run(input);
    ++runs;
  }
  std::printf("%zu inputs, no crash\n", runs);
  return 0;
}
