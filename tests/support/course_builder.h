// Lays down course objects field by field in their stored order, for tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/archive_writer.h"

namespace tvn::testing {

// The fields every course object stores.
struct IconFields {
  std::uint32_t flags = 4;
  std::string name;
  std::string text;
  std::uint16_t schema = 3;  // the schema stored with the common part's class record
};

// One embedded font as the course stores it.
struct EmbeddedFontFields {
  std::string face;
  std::string style;
  std::string fileName;
  std::vector<std::uint8_t> data;
};

// The packaging record. Schemas before 7 store one more word after the
// packager word; schemas before 3 store five yes/no values instead of the flags.
struct PackagerFields {
  std::uint32_t word = 205900;
  std::uint32_t extraWord = 0;
  std::uint32_t flags = 0;
  std::array<std::int32_t, 5> oldOptions{};
  std::array<std::string, 10> texts;
  std::vector<std::string> files;
  std::int32_t value1 = -1;
  std::int32_t value2 = 0;
};

// Writes course objects into an archive stream for a given course file version.
class CourseBuilder {
 public:
  using Writer = std::function<void(CourseBuilder&)>;

  explicit CourseBuilder(int courseVersion = 5) : m_version(courseVersion) {}

  ArchiveWriter& out() { return m_out; }
  int version() const { return m_version; }
  const std::vector<std::uint8_t>& bytes() const { return m_out.bytes(); }

  // The common part: from version 5 the class reference of "CIconObject",
  // then flags and name, then the text when the stored schema is 3 or more.
  CourseBuilder& IconPart(const IconFields& fields);

  // A manager written as an object reference: its class record, the common
  // part, then a counted list whose elements the writers lay down.
  CourseBuilder& Manager(std::string_view className, std::uint16_t schema, const IconFields& fields,
                         const std::vector<Writer>& children);

  // A plain "CIconObject" written as an object reference.
  CourseBuilder& PlainObject(const IconFields& fields);

  // The fonts list, the course file's last item: a count, then one
  // "CEmbeddedFontObj" reference each, whose fields open with the class's own reference.
  CourseBuilder& EmbeddedFonts(const std::vector<EmbeddedFontFields>& fonts);

  // The packaging record: its class reference, then its fields in the given schema.
  CourseBuilder& PackagerInfo(const PackagerFields& fields, std::uint16_t schema = 7);

 private:
  ArchiveWriter m_out;
  int m_version;
};

}  // namespace tvn::testing
