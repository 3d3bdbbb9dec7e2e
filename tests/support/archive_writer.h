// A writer of the archive stream, for tests: lays values down by the format's writing rules.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::testing {

// Builds the byte stream that the runtime's reader must accept. Written from
// the format's writing rules alone, not from the reader.
class ArchiveWriter {
 public:
  std::vector<std::uint8_t>& bytes() { return m_bytes; }
  const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
  std::size_t size() const { return m_bytes.size(); }

  ArchiveWriter& Byte(std::uint8_t v);
  ArchiveWriter& Word(std::uint16_t v);
  ArchiveWriter& Dword(std::uint32_t v);
  ArchiveWriter& Int(std::int32_t v) { return Dword(static_cast<std::uint32_t>(v)); }
  ArchiveWriter& Float(float v);
  ArchiveWriter& Double(double v);
  ArchiveWriter& Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b);
  ArchiveWriter& Point(std::int32_t x, std::int32_t y);
  ArchiveWriter& Raw(const void* data, std::size_t n);
  ArchiveWriter& Raw(std::string_view data) { return Raw(data.data(), data.size()); }

  // An 8-bit string with the shortest length prefix its length allows.
  ArchiveWriter& String(std::string_view text);
  // A wide string: 0xFF, 0xFFFE, the character count, then UTF-16LE.
  ArchiveWriter& WideString(std::u16string_view text);
  ArchiveWriter& Count(std::uint32_t n);

  // Object references. Begin writes the tag (and the class record the first
  // time a class occurs) and gives true when the object's fields must follow;
  // an object written before gets a back-reference and false.
  ArchiveWriter& Null();
  bool BeginObject(const void* identity, std::string_view className, std::uint16_t schema);
  // A new object that no back-reference will name.
  void NewObject(std::string_view className, std::uint16_t schema);
  // The class operation inside a field list: a class record the first time,
  // else 0x8000 | index. Gives the schema the stream holds for the class,
  // which is the one of its first record.
  std::uint16_t ClassRef(std::string_view className, std::uint16_t schema);

 private:
  // The shortest of the three length forms that holds n.
  void LengthPrefix(std::size_t n);
  void Tag(std::uint32_t index, bool isClass);
  std::uint16_t ClassTagOrRecord(std::string_view className, std::uint16_t schema);

  std::vector<std::uint8_t> m_bytes;
  std::uint32_t m_nextIndex = 1;
  struct ClassEntry {
    std::uint32_t index;
    std::uint16_t schema;
  };
  std::map<std::string, ClassEntry, std::less<>> m_classIndex;
  std::map<const void*, std::uint32_t> m_objectIndex;
};

}  // namespace tvn::testing
