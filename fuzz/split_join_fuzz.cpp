// Fuzzes the split-file join: three pieces from the input, cut at 0xFF bytes; the whole file stays beside its pieces.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "setuptools/common/split_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tvn-split-fuzz-" + std::to_string(::getpid()));
  std::error_code ec;
  fs::remove_all(root, ec);
  fs::create_directories(root / "set");
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int piece = 0; piece < 3; ++piece) {
    const std::size_t cut = std::min(bytes.find('\xFF'), bytes.size());
    std::ofstream(root / "set" / ("P.D0" + std::to_string(piece)), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(cut));
    bytes.remove_prefix(std::min(cut + 1, bytes.size()));
  }
  SplitJoin result = JoinSplitFile(root / "set" / "P.D00");
  if (result.status == SplitJoin::Status::kJoined && result.joined.parent_path() != root / "set") std::abort();
  for (const auto& item : fs::directory_iterator(root)) {
    if (item.path().filename() != "set") std::abort();
  }
  for (const auto& item : fs::directory_iterator(root / "set")) {
    if (!item.is_regular_file()) std::abort();
  }
  fs::remove_all(root, ec);
  return 0;
}
