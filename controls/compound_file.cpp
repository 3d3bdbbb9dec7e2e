// The compound-file directory reader: header, sector allocation table and directory chain, all bounds-checked.
#include "controls/compound_file.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kDirectoryEntrySize = 128;

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> file) : m_file(file) {}

  bool HasStream(std::u16string_view name);

 private:
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(m_file[at]) | static_cast<std::uint32_t>(m_file[at + 1]) << 8 |
           static_cast<std::uint32_t>(m_file[at + 2]) << 16 | static_cast<std::uint32_t>(m_file[at + 3]) << 24;
  }
  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>(m_file[at] | m_file[at + 1] << 8);
  }
  // The bytes of a sector, or an empty span when it lies outside the file.
  std::span<const std::uint8_t> Sector(std::uint32_t number) const {
    if (number > kMaxRegularSector) return {};
    const std::uint64_t start = (static_cast<std::uint64_t>(number) + 1) << m_shift;
    if (start + m_sectorSize > m_file.size()) return {};
    return m_file.subspan(static_cast<std::size_t>(start), m_sectorSize);
  }
  bool LoadFat();

  std::span<const std::uint8_t> m_file;
  unsigned m_shift = 9;
  std::size_t m_sectorSize = 512;
  std::vector<std::uint32_t> m_fat;
};

bool Reader::LoadFat() {
  const std::uint32_t fatSectors = U32(0x2C);
  std::uint32_t difat = U32(0x44);
  std::uint32_t difatCount = U32(0x48);
  // A table larger than the file can hold is forged.
  if (static_cast<std::uint64_t>(fatSectors) * m_sectorSize > m_file.size()) return false;
  std::vector<std::uint32_t> fatSectorNumbers;
  for (std::size_t i = 0; i < kHeaderFatEntries && fatSectorNumbers.size() < fatSectors; ++i)
    fatSectorNumbers.push_back(U32(0x4C + i * 4));
  const std::size_t perDifat = m_sectorSize / 4 - 1;
  while (fatSectorNumbers.size() < fatSectors && difatCount-- > 0) {
    const auto sector = Sector(difat);
    if (sector.empty()) return false;
    for (std::size_t i = 0; i < perDifat && fatSectorNumbers.size() < fatSectors; ++i)
      fatSectorNumbers.push_back(U32(static_cast<std::size_t>(sector.data() - m_file.data()) + i * 4));
    difat = U32(static_cast<std::size_t>(sector.data() - m_file.data()) + perDifat * 4);
  }
  for (std::uint32_t number : fatSectorNumbers) {
    const auto sector = Sector(number);
    if (sector.empty()) return false;
    const std::size_t base = static_cast<std::size_t>(sector.data() - m_file.data());
    for (std::size_t i = 0; i < m_sectorSize / 4; ++i) m_fat.push_back(U32(base + i * 4));
  }
  return true;
}

bool Reader::HasStream(std::u16string_view name) {
  if (m_file.size() < 512 || !std::equal(std::begin(kSignature), std::end(kSignature), m_file.begin())) return false;
  m_shift = U16(0x1E);
  if (m_shift != 9 && m_shift != 12) return false;
  m_sectorSize = std::size_t{1} << m_shift;
  if (!LoadFat()) return false;

  // Every sector of the directory chain at most once.
  std::uint32_t sector = U32(0x30);
  std::size_t steps = 0;
  while (sector != kEndOfChain) {
    if (++steps > m_fat.size()) return false;
    const auto bytes = Sector(sector);
    if (bytes.empty()) return false;
    for (std::size_t e = 0; e + kDirectoryEntrySize <= bytes.size(); e += kDirectoryEntrySize) {
      const std::size_t at = static_cast<std::size_t>(bytes.data() - m_file.data()) + e;
      const std::uint16_t nameBytes = U16(at + 0x40);
      const std::uint8_t type = m_file[at + 0x42];
      if (type != 2 || nameBytes < 2 || nameBytes > 64 || nameBytes % 2) continue;  // 2: a stream
      const std::size_t chars = nameBytes / 2 - 1;  // without the terminating zero
      if (chars != name.size()) continue;
      bool same = true;
      for (std::size_t c = 0; c < chars && same; ++c) same = U16(at + c * 2) == name[c];
      if (same) return true;
    }
    if (sector >= m_fat.size()) return false;
    sector = m_fat[sector];
  }
  return false;
}

}  // namespace

bool CompoundFileHasStream(std::span<const std::uint8_t> file, std::u16string_view name) {
  return Reader(file).HasStream(name);
}
