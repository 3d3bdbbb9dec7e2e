// A PE writer laid down from the format's documented headers, independent of the reader.
#include "tests/support/pe_writer.h"

#include <cstdio>
#include <vector>

namespace tvn::testing {
namespace {

void Put16(std::string& out, std::size_t at, std::uint32_t v) {
  if (out.size() < at + 2) out.resize(at + 2, '\0');
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}
void Pad4(std::string& out) {
  while (out.size() % 4) out += '\0';
}
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  out += std::string(2, '\0');
  return out;
}

// One version block: length, value length, type, key, value, children.
std::string VersionBlock(const std::string& key, const std::string& value, std::uint16_t valueLength,
                         std::uint16_t type, const std::vector<std::string>& children) {
  std::string out(6, '\0');
  out += Utf16(key);
  Pad4(out);
  out += value;
  for (const auto& child : children) {
    Pad4(out);
    out += child;
  }
  Put16(out, 0, static_cast<std::uint32_t>(out.size()));
  Put16(out, 2, valueLength);
  Put16(out, 4, type);
  return out;
}

std::string VersionResource(const PeImageOptions& o) {
  char key[9];
  std::snprintf(key, sizeof key, "%04x%04x", o.language, o.codePage);
  std::string tableKey = o.stringTableKey.empty() ? key : o.stringTableKey;
  std::string fixed(52, '\0');
  Put32(fixed, 0, 0xFEEF04BD);
  Put32(fixed, 36, o.fileType);
  std::string text = Utf16(o.fileVersion);
  std::string company = VersionBlock("CompanyName", Utf16("Tests"), 6, 1, {});
  std::string version =
      VersionBlock("FileVersion", text, static_cast<std::uint16_t>(o.fileVersion.size() + 1), 1, {});
  std::string table = VersionBlock(tableKey, "", 0, 1, {company, version});
  std::string strings = VersionBlock("StringFileInfo", "", 0, 1, {table});
  std::string pair(4, '\0');
  Put16(pair, 0, o.language);
  Put16(pair, 2, o.codePage);
  std::string translation = VersionBlock("Translation", pair, 4, 0, {});
  std::string vars = VersionBlock("VarFileInfo", "", 0, 1, {translation});
  return VersionBlock("VS_VERSION_INFO", fixed, 52, 0, {strings, vars});
}

}  // namespace

std::string BuildPeImage(const PeImageOptions& o) {
  constexpr std::uint32_t kPeOffset = 0x40;
  constexpr std::uint32_t kRawOffset = 0x200;
  constexpr std::uint32_t kSectionRva = 0x1000;
  std::string image(kRawOffset, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, kPeOffset);
  image.replace(kPeOffset, 4, std::string("PE\0\0", 4));
  std::size_t coff = kPeOffset + 4;
  std::uint16_t optionalSize = o.bits64 ? 240 : 224;
  Put16(image, coff, o.bits64 ? 0x8664 : 0x14C);
  Put16(image, coff + 2, 1);
  Put16(image, coff + 16, optionalSize);
  std::size_t optional = coff + 20;
  Put16(image, optional, o.bits64 ? 0x20B : 0x10B);
  std::size_t directories = optional + (o.bits64 ? 112 : 96);
  Put32(image, optional + (o.bits64 ? 108 : 92), 16);

  // The resource section: three directory levels, one data entry, the version block.
  std::string rsrc;
  if (o.withVersion) {
    rsrc.assign(0x60, '\0');
    Put16(rsrc, 14, 1);
    Put32(rsrc, 16, 16);                     // type 16, the version
    Put32(rsrc, 20, 0x80000000u | 0x18);     // -> name level
    Put16(rsrc, 0x18 + 14, 1);
    Put32(rsrc, 0x18 + 16, 1);
    Put32(rsrc, 0x18 + 20, 0x80000000u | 0x30);  // -> language level
    Put16(rsrc, 0x30 + 14, 1);
    Put32(rsrc, 0x30 + 16, o.language);
    Put32(rsrc, 0x30 + 20, 0x48);                // -> data entry
    std::string block = VersionResource(o);
    Put32(rsrc, 0x48, kSectionRva + 0x60);
    Put32(rsrc, 0x4C, static_cast<std::uint32_t>(block.size()));
    rsrc += block;
  } else {
    rsrc.assign(16, '\0');
  }
  while (rsrc.size() % 0x200) rsrc += '\0';
  Put32(image, directories + 16, kSectionRva);
  Put32(image, directories + 20, static_cast<std::uint32_t>(rsrc.size()));

  std::size_t section = optional + optionalSize;
  image.replace(section, 6, ".rsrc\0", 6);
  Put32(image, section + 8, static_cast<std::uint32_t>(rsrc.size()));
  Put32(image, section + 12, kSectionRva);
  Put32(image, section + 16, static_cast<std::uint32_t>(rsrc.size()));
  Put32(image, section + 20, kRawOffset);
  image.resize(kRawOffset);
  image += rsrc;
  return image;
}

}  // namespace tvn::testing
