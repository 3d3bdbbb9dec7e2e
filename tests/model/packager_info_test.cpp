// The packaging record in every schema.
#include "model/packager_info.h"

#include <gtest/gtest.h>

#include "model/archive.h"
#include "tests/support/course_builder.h"

using tvn::testing::CourseBuilder;
using tvn::testing::PackagerFields;

namespace {

CPackagerInfo Read(const PackagerFields& fields, std::uint16_t schema) {
  CourseBuilder b;
  b.PackagerInfo(fields, schema);
  b.out().Dword(0xC0FFEE);  // whatever follows in the course file
  std::vector<std::uint8_t> bytes = b.bytes();
  CMemFile file(bytes.data(), bytes.size());
  CArchive ar(file);
  CPackagerInfo info;
  info.Serialize(ar);
  EXPECT_EQ(ar.ReadDword(), 0xC0FFEEu) << "schema " << schema << " read too much or too little";
  return info;
}

PackagerFields Sample() {
  PackagerFields f;
  f.word = 205900;
  f.extraWord = 0x11;
  f.flags = 0x1234;
  for (int i = 0; i < 10; ++i) f.texts[static_cast<std::size_t>(i)] = "text " + std::to_string(i + 1);
  f.files = {"a.bmp", "b.wav"};
  f.value1 = 7;
  f.value2 = -9;
  return f;
}

}  // namespace

TEST(PackagerInfo, EverySchemaReadsToItsEndWithItsFields) {
  for (std::uint16_t schema = 1; schema <= 7; ++schema) {
    CPackagerInfo info = Read(Sample(), schema);
    EXPECT_EQ(info.m_strText[6], "text 7") << "schema " << schema;
    EXPECT_EQ(info.m_strText[7], "text 8") << "schema " << schema;
    EXPECT_EQ(info.m_strText[8], schema > 3 ? "text 9" : "") << "schema " << schema;
    EXPECT_EQ(info.m_strText[9], schema > 4 ? "text 10" : "") << "schema " << schema;
    EXPECT_EQ(info.m_lValue1, schema > 4 ? 7 : -1) << "schema " << schema;
    EXPECT_EQ(info.m_lValue2, schema > 4 ? -9 : 0) << "schema " << schema;
    ASSERT_EQ(info.m_fileList.GetSize(), 2) << "schema " << schema;
    EXPECT_EQ(info.m_fileList[1], "b.wav");
    EXPECT_EQ(info.m_dwPackagerWord, schema < 7 ? (205900u | 0x11u | 0x8000u) : 205900u) << "schema " << schema;
  }
}

TEST(PackagerInfo, FlagsOfOldAndNewSchemas) {
  PackagerFields f = Sample();
  f.oldOptions = {1, 0, 0, 1, 0};
  EXPECT_EQ(Read(f, 2).m_dwFlags, 0x400000u + 0x200 + 0x100 + 0x02 + 0x08 + 0x40 + 0x20000000);
  f.oldOptions = {0, 5, -1, 0, 1};
  EXPECT_EQ(Read(f, 1).m_dwFlags, 0x400000u + 0x400 + 0x80 + 0x02 + 0x10 + 0x20 + 0x20000000);
  EXPECT_EQ(Read(f, 5).m_dwFlags, 0x1234u | 0x20000000u);
  EXPECT_EQ(Read(f, 6).m_dwFlags, 0x1234u);
  EXPECT_EQ(Read(f, 7).m_dwFlags, 0x1234u);
}

TEST(PackagerInfo, ARecordOfAnotherClassIsRefused) {
  CourseBuilder b;
  b.out().ClassRef("CDataFileObject", 1);
  std::vector<std::uint8_t> bytes = b.bytes();
  bytes.resize(bytes.size() + 64);
  CMemFile file(bytes.data(), bytes.size());
  CArchive ar(file);
  CPackagerInfo info;
  EXPECT_THROW(info.Serialize(ar), CArchiveException);
}
