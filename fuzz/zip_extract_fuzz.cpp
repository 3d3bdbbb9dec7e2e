// Fuzzes ZIP extraction into a temporary folder: nothing may land beside the destination, an archive holding an
// entry that cannot be read back makes nothing, nothing may crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sys/zip_archive.h"
#include "setuptools/common/zip_extract.h"

namespace {

struct NullHooks : IZipExtractHooks {
  bool Status(const CString&) override { return false; }
  bool Poll() override { return false; }
};

// Whether the archive holds an entry that is encrypted or compressed by a method not supported here.
bool HoldsUnreadableEntry(const std::filesystem::path& path) {
  auto archive = tvn::sys::ZipArchive::Open(path);
  if (!archive) return false;
  for (std::size_t i = 0; i < archive->Count(); ++i) {
    auto info = archive->Entry(i);
    if (info && (info->encrypted || !info->methodSupported)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tvn-zip-fuzz-" + std::to_string(::getpid()));
  std::error_code ec;
  fs::remove_all(root, ec);
  fs::create_directories(root / "dest");
  std::ofstream(root / "a.zip", std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                       static_cast<std::streamsize>(size));
  NullHooks hooks;
  ZipExtraction out = ExtractZipArchive(root / "a.zip", root / "dest", true, hooks);
  for (const auto& item : fs::directory_iterator(root)) {
    if (item.path().filename() != "a.zip" && item.path().filename() != "dest") std::abort();
  }
  for (const auto& file : out.files) {
    if (file.lexically_relative(root / "dest").string().starts_with("..")) std::abort();
  }
  if (HoldsUnreadableEntry(root / "a.zip") && (out.result == ZipResult::kDone || !fs::is_empty(root / "dest"))) {
    std::abort();
  }
  CountZipEntries(root / "a.zip");
  GetZipEntryName(root / "a.zip", 0);
  fs::remove_all(root, ec);
  return 0;
}
