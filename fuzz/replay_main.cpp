// Runs a fuzz target over every file of the folders (or files) named on the command line.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// A target that needs set-up once (as libFuzzer calls it) defines this; the others leave it out.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

// libFuzzer names the inputs it keeps by their SHA-1: forty hex digits.
bool FoundByFuzzer(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  return name.size() == 40 && std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

void RunFile(const std::filesystem::path& path, int& count) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  // Every prefix of a seed as well: truncated files are the commonest damage. The fuzzer has already cut
  // the inputs it found, so those run whole.
  if (!FoundByFuzzer(path)) {
    for (std::size_t cut = 0; cut < bytes.size() && cut < 4096; ++cut) LLVMFuzzerTestOneInput(bytes.data(), cut);
  }
  ++count;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) RunFile(entry.path(), count);
      }
    } else {
      RunFile(arg, count);
    }
  }
  std::printf("replayed %d inputs\n", count);
  return count > 0 ? 0 : 1;
}
