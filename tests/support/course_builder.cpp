// Stored order of the common course object fields and of object lists.
#include "tests/support/course_builder.h"

namespace tvn::testing {

CourseBuilder& CourseBuilder::IconPart(const IconFields& fields) {
  std::uint16_t schema = 2;  // no class reference before version 5
  if (m_version >= 5) schema = m_out.ClassRef("CIconObject", fields.schema);
  m_out.Dword(fields.flags).String(fields.name);
  if (schema >= 3) m_out.String(fields.text);
  return *this;
}

CourseBuilder& CourseBuilder::Manager(std::string_view className, std::uint16_t schema, const IconFields& fields,
                                      const std::vector<Writer>& children) {
  m_out.NewObject(className, schema);
  IconPart(fields);
  m_out.Count(static_cast<std::uint32_t>(children.size()));
  for (const Writer& child : children) child(*this);
  return *this;
}

CourseBuilder& CourseBuilder::PlainObject(const IconFields& fields) {
  m_out.NewObject("CIconObject", 3);
  return IconPart(fields);
}

}  // namespace tvn::testing
