// Fuzzes the split-file join: three pieces from the input, cut at 0xFF bytes; the whole file stays beside its pieces and holds them all.
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
  std::string_view pieces[3];
  for (int piece = 0; piece < 3; ++piece) {
    const std::size_t cut = std::min(bytes.find('\xFF'), bytes.size());
    pieces[piece] = bytes.substr(0, cut);
    std::ofstream(root / "set" / ("P.D0" + std::to_string(piece)), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(cut));
    bytes.remove_prefix(std::min(cut + 1, bytes.size()));
  }
  SplitJoin result = JoinSplitFile(root / "set" / "P.D00");
  if (result.status == SplitJoin::Status::kJoined) {
    if (result.joined.parent_path() != root / "set") std::abort();
    // The first piece's data after its header, then every later piece whole.
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(pieces[0][at]); };
    const std::size_t nameLength = byte(0) | (byte(1) << 8);
    const unsigned count = byte(2 + nameLength) | (byte(3 + nameLength) << 8);
    if (count > 3) std::abort();  // only three pieces exist
    std::uintmax_t expected = pieces[0].size() - (4 + nameLength);
    for (unsigned i = 1; i < count; ++i) expected += pieces[i].size();
    if (fs::file_size(result.joined, ec) != expected || ec) std::abort();
  }
  for (const auto& item : fs::directory_iterator(root)) {
    if (item.path().filename() != "set") std::abort();
  }
  for (const auto& item : fs::directory_iterator(root / "set")) {
    if (!item.is_regular_file()) std::abort();
  }
  fs::remove_all(root, ec);
  return 0;
}
