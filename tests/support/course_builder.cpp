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

CourseBuilder& CourseBuilder::EmbeddedFonts(const std::vector<EmbeddedFontFields>& fonts) {
  m_out.Count(static_cast<std::uint32_t>(fonts.size()));
  for (const EmbeddedFontFields& font : fonts) {
    m_out.NewObject("CEmbeddedFontObj", 2);
    m_out.ClassRef("CEmbeddedFontObj", 2);
    m_out.String(font.face).String(font.style).String(font.fileName);
    m_out.Count(static_cast<std::uint32_t>(font.data.size()));
    m_out.Raw(font.data.data(), font.data.size());
  }
  return *this;
}

CourseBuilder& CourseBuilder::PackagerInfo(const PackagerFields& fields, std::uint16_t schema) {
  m_out.ClassRef("CPackagerInfo", schema);
  m_out.Dword(fields.word);
  if (schema < 7) m_out.Dword(fields.extraWord);
  for (int i = 0; i < 7; ++i) m_out.String(fields.texts[static_cast<std::size_t>(i)]);
  if (schema > 2) {
    m_out.Dword(fields.flags);
  } else {
    for (std::int32_t v : fields.oldOptions) m_out.Int(v);
  }
  m_out.Count(static_cast<std::uint32_t>(fields.files.size()));
  for (const std::string& f : fields.files) m_out.String(f);
  m_out.String(fields.texts[7]);
  if (schema > 3) m_out.String(fields.texts[8]);
  if (schema > 4) m_out.String(fields.texts[9]).Int(fields.value1).Int(fields.value2);
  return *this;
}

}  // namespace tvn::testing
