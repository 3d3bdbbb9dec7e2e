// RIFF palette files: the form, chunk walking and every refusal.
#include "media/pal_file.h"

#include <gtest/gtest.h>

#include "tests/support/bmp_writer.h"

using namespace tvn::dib;
using namespace tvn::testing;

namespace {

PalFileError Read(const std::vector<std::uint8_t>& bytes, CLogPalette& out) {
  CMemFile file(bytes.data(), bytes.size());
  return ReadPalFile(file, out);
}

}  // namespace

TEST(PalFile, ReadsEntriesAfterOtherChunks) {
  CLogPalette palette;
  ASSERT_EQ(Read(PalFile({0xFF0000, 0x00FF80}, 0x300, true), palette), PalFileError::none);
  ASSERT_EQ(palette.GetEntryCount(), 2);
  EXPECT_EQ(palette.Entries()[0], (PaletteEntry{255, 0, 0, 0}));
  EXPECT_EQ(palette.Entries()[1], (PaletteEntry{0, 255, 128, 0}));
}

TEST(PalFile, Refusals) {
  auto good = PalFile({0x010203, 0x040506});
  struct Row {
    const char* what;
    std::vector<std::uint8_t> bytes;
    PalFileError want;
  };
  auto patched = [&](std::size_t at, std::uint8_t v) {
    auto b = good;
    b[at] = v;
    return b;
  };
  auto cut = [&](std::size_t n) { return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)); };
  const Row rows[] = {
      {"empty", {}, PalFileError::notPalForm},
      {"not RIFF", patched(0, 'X'), PalFileError::notPalForm},
      {"not a palette form", patched(8, 'X'), PalFileError::notPalForm},
      {"no data chunk", patched(12, 'X'), PalFileError::noDataChunk},
      {"chunk header cut", cut(16), PalFileError::noDataChunk},
      {"data cut short", cut(good.size() - 1), PalFileError::shortData},
      {"data size past the form", patched(19, 0x7F), PalFileError::shortData},
      {"version 0x200", PalFile({0x010203}, 0x200), PalFileError::badVersion},
      {"no colours", PalFile({}), PalFileError::noColors},
      {"count past the chunk", patched(22, 3), PalFileError::shortData},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    CLogPalette palette(std::vector<PaletteEntry>(1));
    EXPECT_EQ(Read(rows[n].bytes, palette), rows[n].want) << "row " << n << ": " << rows[n].what;
    EXPECT_EQ(palette.GetEntryCount(), 1) << "row " << n;  // untouched on failure
  }
  EXPECT_STREQ(PalFileErrorText(PalFileError::noColors), "No colors in palette");
}

TEST(PalFile, HugeChunkSizeIsRefusedBeforeAllocating) {
  auto bytes = PalFile({0x010203});
  // Claim a form and a data chunk of almost 4 GiB.
  for (std::size_t at : {4u, 16u}) {
    bytes[at] = 0xF0;
    bytes[at + 1] = 0xFF;
    bytes[at + 2] = 0xFF;
    bytes[at + 3] = 0xFF;
  }
  CLogPalette palette;
  EXPECT_EQ(Read(bytes, palette), PalFileError::shortData);
}
