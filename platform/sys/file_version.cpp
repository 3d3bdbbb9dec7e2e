// Finding the version resource of a PE image: headers, sections, the resource tree and the version blocks.
#include "platform/sys/file_version.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/base/codepage.h"

namespace tvn::sys {
namespace {

constexpr std::uint32_t kResourceVersion = 16;  // RT_VERSION
// The fixed file information that is the root block's value.
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint16_t kFixedInfoSize = 52;
constexpr std::uint64_t kFixedInfoFileType = 36;
// Program files bigger than this are not read for their version.
constexpr std::uintmax_t kMaxImageBytes = 256u * 1024 * 1024;

// Little-endian reads that fail, rather than read past the bytes.
class Bytes {
 public:
  explicit Bytes(std::string_view data) : m_data(data) {}
  std::size_t size() const { return m_data.size(); }
  bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= m_data.size() && count <= m_data.size() - offset;
  }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    auto b = reinterpret_cast<const unsigned char*>(m_data.data() + offset);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    auto b = reinterpret_cast<const unsigned char*>(m_data.data() + offset);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }

 private:
  std::string_view m_data;
};

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

// The file offset and the bytes left in the section of an address of the image.
std::optional<std::uint64_t> RvaToOffset(const std::vector<Section>& sections, std::uint32_t rva, std::uint64_t& left) {
  for (const auto& s : sections) {
    std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
    if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
      std::uint64_t into = rva - s.virtualAddress;
      if (into >= s.rawSize) return std::nullopt;
      left = s.rawSize - into;
      return static_cast<std::uint64_t>(s.rawOffset) + into;
    }
  }
  return std::nullopt;
}

// A NUL-terminated UTF-16 string at offset, not past end; as UTF-8.
std::optional<std::string> Utf16At(const Bytes& bytes, std::uint64_t offset, std::uint64_t end, std::uint64_t& after) {
  std::string text;
  for (std::uint64_t p = offset; p + 2 <= end; p += 2) {
    auto unit = bytes.U16(p);
    if (!unit) return std::nullopt;
    if (*unit == 0) {
      after = p + 2;
      return text;
    }
    char32_t c = *unit;
    if (c >= 0xD800 && c <= 0xDFFF) c = '?';  // versions never need the planes beyond the first
    tvn::codepage::AppendUtf8(text, c);
  }
  return std::nullopt;
}

std::uint64_t Align4(std::uint64_t offset, std::uint64_t base) { return base + ((offset - base + 3) & ~std::uint64_t{3}); }

// One block of the version tree: its key, its value's place, its children's place.
struct Block {
  std::string key;
  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;
  std::uint64_t value = 0;     // start of the value
  std::uint64_t children = 0;  // start of the first child
  std::uint64_t end = 0;       // end of the block
};

std::optional<Block> ReadBlock(const Bytes& bytes, std::uint64_t at, std::uint64_t limit, std::uint64_t base) {
  auto length = bytes.U16(at);
  auto valueLength = bytes.U16(at + 2);
  auto type = bytes.U16(at + 4);
  if (!length || !valueLength || !type || *length < 6 || at + *length > limit) return std::nullopt;
  Block block;
  block.end = at + *length;
  block.valueLength = *valueLength;
  block.type = *type;
  std::uint64_t afterKey = 0;
  auto key = Utf16At(bytes, at + 6, block.end, afterKey);
  if (!key) return std::nullopt;
  block.key = std::move(*key);
  block.value = std::min(Align4(afterKey, base), block.end);
  std::uint64_t valueBytes = block.type == 1 ? std::uint64_t{block.valueLength} * 2 : block.valueLength;
  block.children = std::min(Align4(std::min(block.value + valueBytes, block.end), base), block.end);
  return block;
}

// Calls visit for every child block of parent.
template <typename Visit>
void ForEachChild(const Bytes& bytes, const Block& parent, std::uint64_t base, Visit visit) {
  std::uint64_t at = parent.children;
  while (at + 6 <= parent.end) {
    auto child = ReadBlock(bytes, at, parent.end, base);
    if (!child) return;
    if (!visit(*child)) return;
    at = Align4(child->end, base);
  }
}

VersionResource ReadVersionBlock(const Bytes& bytes, std::uint64_t at, std::uint64_t limit) {
  VersionResource result;
  auto root = ReadBlock(bytes, at, limit, at);
  if (!root || root->key != "VS_VERSION_INFO") return result;
  if (root->valueLength >= kFixedInfoSize && root->value + kFixedInfoSize <= root->end &&
      bytes.U32(root->value) == kFixedInfoSignature) {
    result.fileType = bytes.U32(root->value + kFixedInfoFileType);
  }
  // The first language and code page listed under VarFileInfo\Translation.
  ForEachChild(bytes, *root, at, [&](const Block& info) {
    if (info.key != "VarFileInfo") return true;
    ForEachChild(bytes, info, at, [&](const Block& var) {
      if (var.key != "Translation" || var.valueLength < 4) return true;
      auto language = bytes.U16(var.value);
      auto codePage = bytes.U16(var.value + 2);
      if (language && codePage && var.value + 4 <= var.end) {
        char key[9];
        std::snprintf(key, sizeof key, "%04x%04x", *language, *codePage);
        result.translationKey = key;
      }
      return false;
    });
    return result.translationKey.empty();
  });
  if (result.translationKey.empty()) return result;
  ForEachChild(bytes, *root, at, [&](const Block& info) {
    if (info.key != "StringFileInfo") return true;
    ForEachChild(bytes, info, at, [&](const Block& table) {
      if (!tvn::codepage::EqualsNoCaseAscii(table.key, result.translationKey)) return true;
      ForEachChild(bytes, table, at, [&](const Block& entry) {
        if (entry.key != "FileVersion") return true;
        std::uint64_t after = 0;
        if (entry.valueLength > 0) {
          if (auto text = Utf16At(bytes, entry.value, entry.end, after)) result.fileVersion = *text;
        }
        return false;
      });
      return false;
    });
    return false;
  });
  return result;
}

// The offset of the entry of a resource directory with the id (or its first entry when id is 0), as an offset into the resource section.
std::optional<std::uint32_t> DirectoryEntry(const Bytes& bytes, std::uint64_t base, std::uint64_t left,
                                            std::uint64_t directory, std::optional<std::uint32_t> id) {
  if (directory + 16 > left) return std::nullopt;
  auto named = bytes.U16(base + directory + 12);
  auto ids = bytes.U16(base + directory + 14);
  if (!named || !ids) return std::nullopt;
  std::uint64_t count = std::uint64_t{*named} + *ids;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t entry = directory + 16 + i * 8;
    if (entry + 8 > left) return std::nullopt;
    auto name = bytes.U32(base + entry);
    auto target = bytes.U32(base + entry + 4);
    if (!name || !target) return std::nullopt;
    if (!id || (!(*name & 0x80000000u) && *name == *id)) return *target;
  }
  return std::nullopt;
}

}  // namespace

std::optional<VersionResource> ParseVersionResource(std::string_view image) {
  Bytes bytes(image);
  if (image.size() < 64 || image.substr(0, 2) != "MZ") return std::nullopt;
  auto peOffset = bytes.U32(0x3C);
  if (!peOffset || !bytes.Has(*peOffset, 24) || image.substr(*peOffset, 4) != std::string_view("PE\0\0", 4)) {
    return std::nullopt;
  }
  std::uint64_t coff = *peOffset + 4;
  auto sectionCount = bytes.U16(coff + 2);
  auto optionalSize = bytes.U16(coff + 16);
  std::uint64_t optional = coff + 20;
  auto magic = bytes.U16(optional);
  if (!sectionCount || !optionalSize || !magic) return std::nullopt;
  std::uint64_t directories;
  std::uint64_t countAt;
  if (*magic == 0x10B) {
    countAt = optional + 92;
    directories = optional + 96;
  } else if (*magic == 0x20B) {
    countAt = optional + 108;
    directories = optional + 112;
  } else {
    return std::nullopt;
  }
  auto directoryCount = bytes.U32(countAt);
  if (!directoryCount || *directoryCount < 3 || directories + 3 * 8 > optional + *optionalSize) return std::nullopt;
  auto resourceRva = bytes.U32(directories + 2 * 8);
  if (!resourceRva || *resourceRva == 0) return std::nullopt;

  std::vector<Section> sections;
  std::uint64_t table = optional + *optionalSize;
  for (std::uint32_t i = 0; i < *sectionCount; ++i) {
    std::uint64_t at = table + std::uint64_t{i} * 40;
    auto vsize = bytes.U32(at + 8), va = bytes.U32(at + 12), rawSize = bytes.U32(at + 16), raw = bytes.U32(at + 20);
    if (!vsize || !va || !rawSize || !raw) return std::nullopt;
    if (!bytes.Has(*raw, *rawSize)) continue;  // a section the file does not hold
    sections.push_back({*va, *vsize, *raw, *rawSize});
  }
  std::uint64_t left = 0;
  auto base = RvaToOffset(sections, *resourceRva, left);
  if (!base) return std::nullopt;

  // Type, name and language: the version type, then the first name and the first language.
  std::uint64_t directory = 0;
  std::optional<std::uint32_t> wanted = kResourceVersion;
  for (int level = 0; level < 3; ++level) {
    auto target = DirectoryEntry(bytes, *base, left, directory, wanted);
    if (!target) return std::nullopt;
    bool isDirectory = (*target & 0x80000000u) != 0;
    if (level < 2 && !isDirectory) return std::nullopt;
    directory = *target & 0x7FFFFFFFu;
    wanted = std::nullopt;
    if (level == 2 && isDirectory) return std::nullopt;
  }
  if (directory + 16 > left) return std::nullopt;
  auto dataRva = bytes.U32(*base + directory);
  auto dataSize = bytes.U32(*base + directory + 4);
  if (!dataRva || !dataSize) return std::nullopt;
  std::uint64_t dataLeft = 0;
  auto data = RvaToOffset(sections, *dataRva, dataLeft);
  if (!data) return std::nullopt;
  std::uint64_t limit = *data + std::min<std::uint64_t>(*dataSize, dataLeft);
  return ReadVersionBlock(bytes, *data, limit);
}

std::optional<VersionResource> GetFileVersionResource(const std::filesystem::path& file) {
  std::error_code ec;
  auto size = std::filesystem::file_size(file, ec);
  if (ec || size < 64 || size > kMaxImageBytes) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  char mark[2] = {};
  if (!in.read(mark, 2) || mark[0] != 'M' || mark[1] != 'Z') return std::nullopt;
  std::string image(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(image.data(), static_cast<std::streamsize>(size));
  image.resize(static_cast<std::size_t>(in.gcount()));
  return ParseVersionResource(image);
}

std::string GetFileVersionString(const std::filesystem::path& file) {
  auto resource = GetFileVersionResource(file);
  return resource ? resource->fileVersion : std::string();
}

}  // namespace tvn::sys
