// The writing rules of the archive stream.
#include "tests/support/archive_writer.h"

#include <cstring>

namespace tvn::testing {

ArchiveWriter& ArchiveWriter::Byte(std::uint8_t v) {
  m_bytes.push_back(v);
  return *this;
}

ArchiveWriter& ArchiveWriter::Word(std::uint16_t v) {
  Byte(static_cast<std::uint8_t>(v));
  return Byte(static_cast<std::uint8_t>(v >> 8));
}

ArchiveWriter& ArchiveWriter::Dword(std::uint32_t v) {
  Word(static_cast<std::uint16_t>(v));
  return Word(static_cast<std::uint16_t>(v >> 16));
}

ArchiveWriter& ArchiveWriter::Float(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return Dword(bits);
}

ArchiveWriter& ArchiveWriter::Double(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  Dword(static_cast<std::uint32_t>(bits));
  return Dword(static_cast<std::uint32_t>(bits >> 32));
}

ArchiveWriter& ArchiveWriter::Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  return Int(l).Int(t).Int(r).Int(b);
}

ArchiveWriter& ArchiveWriter::Point(std::int32_t x, std::int32_t y) { return Int(x).Int(y); }

ArchiveWriter& ArchiveWriter::Raw(const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), p, p + n);
  return *this;
}

void ArchiveWriter::LengthPrefix(std::size_t n) {
  if (n < 255) {
    Byte(static_cast<std::uint8_t>(n));
  } else if (n < 0xFFFE) {
    Byte(0xFF).Word(static_cast<std::uint16_t>(n));
  } else {
    Byte(0xFF).Word(0xFFFF).Dword(static_cast<std::uint32_t>(n));
  }
}

ArchiveWriter& ArchiveWriter::String(std::string_view text) {
  LengthPrefix(text.size());
  return Raw(text);
}

ArchiveWriter& ArchiveWriter::WideString(std::u16string_view text) {
  Byte(0xFF).Word(0xFFFE);
  LengthPrefix(text.size());
  for (char16_t c : text) Word(static_cast<std::uint16_t>(c));
  return *this;
}

ArchiveWriter& ArchiveWriter::Count(std::uint32_t n) {
  if (n < 0xFFFF) return Word(static_cast<std::uint16_t>(n));
  return Word(0xFFFF).Dword(n);
}

ArchiveWriter& ArchiveWriter::Null() { return Word(0); }

void ArchiveWriter::Tag(std::uint32_t index, bool isClass) {
  if (index < 0x7FFF) {
    Word(static_cast<std::uint16_t>(isClass ? (0x8000 | index) : index));
  } else {
    Word(0x7FFF).Dword(isClass ? (0x80000000u | index) : index);
  }
}

std::uint16_t ArchiveWriter::ClassTagOrRecord(std::string_view className, std::uint16_t schema) {
  auto it = m_classIndex.find(className);
  if (it != m_classIndex.end()) {
    Tag(it->second.index, true);
    return it->second.schema;
  }
  Word(0xFFFF).Word(schema).Word(static_cast<std::uint16_t>(className.size())).Raw(className);
  m_classIndex.emplace(std::string(className), ClassEntry{m_nextIndex++, schema});
  return schema;
}

bool ArchiveWriter::BeginObject(const void* identity, std::string_view className, std::uint16_t schema) {
  if (identity) {
    auto it = m_objectIndex.find(identity);
    if (it != m_objectIndex.end()) {
      Tag(it->second, false);
      return false;
    }
  }
  ClassTagOrRecord(className, schema);
  std::uint32_t index = m_nextIndex++;
  if (identity) m_objectIndex.emplace(identity, index);
  return true;
}

void ArchiveWriter::NewObject(std::string_view className, std::uint16_t schema) {
  BeginObject(nullptr, className, schema);
}

std::uint16_t ArchiveWriter::ClassRef(std::string_view className, std::uint16_t schema) {
  return ClassTagOrRecord(className, schema);
}

}  // namespace tvn::testing
