// Lays down course objects field by field in their stored order, for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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

// A record-set binding as stored.
struct RecordSetFields {
  std::string source, second, third;
  std::vector<std::string> first;
  std::vector<std::string> columns;
  std::vector<std::uint16_t> indices;
};

// A variable declaration as stored; the id is the name's hash unless given.
struct VariableFields {
  std::string name;
  std::uint8_t precision = 0;
  std::uint32_t flags = 0x100;
  std::optional<std::int32_t> id;
  std::uint8_t formatIndex = 1;
  std::string format;
  std::optional<RecordSetFields> recordSet;
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

  // The variable declarations of a course: class record, WORD count, then
  // each declaration with its own class record.
  CourseBuilder& VariableTable(const std::vector<VariableFields>& variables);
  CourseBuilder& Variable(const VariableFields& fields);
  // A bindable integer: class record, literal, variable id.
  CourseBuilder& VarOrValue(std::int32_t literal, std::int32_t variableId);

 private:
  ArchiveWriter m_out;
  int m_version;
};

}  // namespace tvn::testing
