// Fuzzes ZIP extraction into a temporary folder, the input whole and cut into the parts of an archive split across
// disks (an archive split into parts of 64 bytes, laid end to end, is cut back into them): nothing may land beside the destination, an archive holding an entry that cannot be read back makes
// nothing, nothing may crash.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/sys/spanned_zip_archive.h"
#include "platform/sys/zip_archive.h"
#include "setuptools/common/zip_extract.h"

namespace {

namespace fs = std::filesystem;

struct NullHooks : IZipExtractHooks {
  bool Status(const CString&) override { return false; }
  bool Poll() override { return false; }
};

// The parts beside the last, named s.z01, s.z02, ...; nothing is ever asked.
struct FolderParts : tvn::sys::IZipPartSource {
  explicit FolderParts(fs::path folder) : folder(std::move(folder)) {}
  std::optional<fs::path> FindPart(unsigned part, unsigned, const fs::path* rejected) override {
    if (rejected) return std::nullopt;
    const fs::path path = folder / ((part < 10 ? "s.z0" : "s.z") + std::to_string(part));
    std::error_code ec;
    if (!fs::exists(path, ec)) return std::nullopt;
    return path;
  }
  fs::path folder;
};

// Whether the archive holds an entry that is encrypted or compressed by a method not supported here.
bool HoldsUnreadableEntry(const tvn::sys::ZipReader* archive) {
  if (!archive) return false;
  for (std::size_t i = 0; i < archive->Count(); ++i) {
    auto info = archive->Entry(i);
    if (info && (info->encrypted || !info->methodSupported)) return true;
  }
  return false;
}

void WriteFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Extracts archive into root/dest and checks what was made.
void ExtractAndCheck(const fs::path& root, const fs::path& archive, const tvn::sys::ZipReader* reader,
                     std::initializer_list<std::string> expected) {
  std::error_code ec;
  fs::remove_all(root / "dest", ec);
  fs::create_directories(root / "dest");
  NullHooks hooks;
  ZipExtraction out = ExtractZipArchive(archive, root / "dest", true, hooks);
  for (const auto& item : fs::directory_iterator(root)) {
    if (std::find(expected.begin(), expected.end(), item.path().filename().string()) == expected.end()) std::abort();
  }
  for (const auto& file : out.files) {
    if (file.lexically_relative(root / "dest").string().starts_with("..")) std::abort();
  }
  if (HoldsUnreadableEntry(reader) && (out.result == ZipResult::kDone || !fs::is_empty(root / "dest"))) std::abort();
  CountZipEntries(archive);
  GetZipEntryName(archive, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path root = fs::temp_directory_path() / ("tvn-zip-fuzz-" + std::to_string(::getpid()));
  std::error_code ec;
  fs::remove_all(root, ec);
  fs::create_directories(root / "parts");

  // Whole.
  WriteFile(root / "a.zip", data, size);
  {
    auto single = tvn::sys::ZipArchive::Open(root / "a.zip");
    ExtractAndCheck(root, root / "a.zip", single.get(), {"a.zip", "dest", "parts"});
  }
  // The split reader on the whole file (an archive of one part), every entry extracted.
  {
    FolderParts none(root / "none");
    if (auto spanned = tvn::sys::SpannedZipArchive::Open(root / "a.zip", none)) {
      for (std::size_t i = 0; i < spanned->Count() && i < 64; ++i) {
        fs::remove(root / "one", ec);
        std::string why;
        spanned->ExtractTo(i, root / "one", &why, {});
      }
      fs::remove(root / "one", ec);
    }
  }
  // Cut into parts of 64, 128, 256 or 512 bytes (the first byte chooses; at most 99 parts), the last named s.zip.
  if (size > 0) {
    std::size_t partSize = std::size_t{64} << (data[0] % 4);
    partSize = std::max(partSize, (size + 98) / 99);
    std::size_t at = 0;
    for (unsigned part = 1; at < size; ++part) {
      const std::size_t take = std::min(partSize, size - at);
      const bool last = at + take >= size;
      const std::string name = last ? "s.zip" : (part < 10 ? "s.z0" : "s.z") + std::to_string(part);
      WriteFile(root / "parts" / name, data + at, take);
      at += take;
    }
    FolderParts parts(root / "parts");
    auto spanned = tvn::sys::SpannedZipArchive::Open(root / "parts/s.zip", parts);
    ExtractAndCheck(root, root / "parts/s.zip", spanned.get(), {"a.zip", "dest", "parts"});
  }
  fs::remove_all(root, ec);
  return 0;
}
