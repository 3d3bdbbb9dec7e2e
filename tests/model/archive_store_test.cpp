// The storing archive, byte for byte against the test writer, and read back by the loading one.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/archive.h"
#include "tests/support/archive_cause.h"
#include "tests/support/archive_writer.h"

using tvn::testing::ArchiveWriter;
using tvn::testing::ArchiveCauseOf;

namespace {

// A versionable class of schema 3: a value and a reference to another object.
class CTestStored : public CObject {
  DECLARE_SERIAL(CTestStored)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << value;
      ar.WriteObject(next);
      return;
    }
    value = ar.ReadLong();
    next = ar.ReadObject(RUNTIME_CLASS(CObject));
  }
  LONG value = 0;
  CObject* next = nullptr;  // not owned
};
IMPLEMENT_SERIAL(CTestStored, CObject, VERSIONABLE_SCHEMA | 3)

// Stores through a fresh archive, closed, and gives the file's bytes.
std::vector<std::uint8_t> Store(const std::function<void(CArchive&)>& write) {
  CMemFile file;
  {
    CArchive ar(file, CArchive::store);
    write(ar);
    ar.Close();
  }
  std::vector<BYTE> bytes = file.Detach();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ArchiveStore, ValuesStringsAndCountsTakeTheirWritingForms) {
  const std::string s254(254, 'a'), s255(255, 'b'), s65534(65534, 'c');
  const auto stored = Store([&](CArchive& ar) {
    ar << BYTE{7} << WORD{0x1234} << DWORD{0x89ABCDEF} << LONG{-2} << 2.5 << CRect(1, -2, 3, 4) << CSize(5, 6);
    ar << CString() << CString(s254) << CString(s255) << CString(s65534);
    ar.WriteCount(5);
    ar.WriteCount(0x10000);
  });
  ArchiveWriter w;
  w.Byte(7).Word(0x1234).Dword(0x89ABCDEF).Int(-2).Double(2.5).Rect(1, -2, 3, 4).Point(5, 6);
  w.String("").String(s254).String(s255).String(s65534).Count(5).Count(0x10000);
  EXPECT_EQ(stored, w.bytes());

  CMemFile file(stored.data(), stored.size());
  CArchive ar(file);
  EXPECT_EQ(ar.ReadByte(), 7);
  EXPECT_EQ(ar.ReadWord(), 0x1234);
  EXPECT_EQ(ar.ReadDword(), 0x89ABCDEFu);
  EXPECT_EQ(ar.ReadLong(), -2);
  EXPECT_EQ(ar.ReadDouble(), 2.5);
  EXPECT_EQ(ar.ReadRect(), CRect(1, -2, 3, 4));
  EXPECT_EQ(ar.ReadSize(), CSize(5, 6));
  EXPECT_EQ(ar.ReadString(), CString());
  EXPECT_EQ(ar.ReadString().GetLength(), 254);
  EXPECT_EQ(ar.ReadString().GetLength(), 255);
  EXPECT_EQ(ar.ReadString().GetLength(), 65534);
  EXPECT_EQ(ar.ReadCount(), 5u);
  EXPECT_EQ(ar.ReadCount(), 0x10000u);
}

TEST(ArchiveStore, ObjectsGetClassRecordsClassTagsAndBackReferences) {
  CTestStored a, b;
  a.value = 1;
  a.next = &b;  // b is written inside a
  b.value = 2;
  b.next = &a;  // and refers back to a
  const auto stored = Store([&](CArchive& ar) {
    ar.WriteObject(&a);
    ar.WriteObject(&b);
    ar.WriteObject(nullptr);
    ar.WriteClass(RUNTIME_CLASS(CTestStored));
  });
  ArchiveWriter w;
  ASSERT_TRUE(w.BeginObject(&a, "CTestStored", 3));
  w.Int(1);
  ASSERT_TRUE(w.BeginObject(&b, "CTestStored", 3));
  w.Int(2);
  EXPECT_FALSE(w.BeginObject(&a, "CTestStored", 3));
  EXPECT_FALSE(w.BeginObject(&b, "CTestStored", 3));
  w.Null();
  w.ClassRef("CTestStored", 3);
  EXPECT_EQ(stored, w.bytes());

  CMemFile file(stored.data(), stored.size());
  CArchive ar(file);
  auto* first = ar.ReadObjectOf<CTestStored>();
  ASSERT_NE(first, nullptr);
  auto* second = static_cast<CTestStored*>(first->next);
  EXPECT_EQ(second->value, 2);
  EXPECT_EQ(second->next, first);
  EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestStored)), second);
  EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestStored)), nullptr);
  EXPECT_EQ(ar.ReadClass(RUNTIME_CLASS(CTestStored)), RUNTIME_CLASS(CTestStored));
}

TEST(ArchiveStore, WrongDirectionsAndUnreadableClassesFailAndNothingIsWrittenBeforeClose) {
  CMemFile file;
  {
    CArchive ar(file, CArchive::store);
    EXPECT_EQ(ArchiveCauseOf([&] { ar.ReadByte(); }), CArchiveException::writeOnly);
    EXPECT_EQ(ArchiveCauseOf([&] { ar.ReadString(); }), CArchiveException::writeOnly);
    EXPECT_EQ(ArchiveCauseOf([&] { ar.ReadObject(nullptr); }), CArchiveException::writeOnly);
    ar << DWORD{1};
    EXPECT_TRUE(ar.IsStoring());
    // A class no reader could make again.
    static const CRuntimeClass unregistered = {"CNotRegistered", 1, nullptr, RUNTIME_CLASS(CObject)};
    EXPECT_EQ(ArchiveCauseOf([&] { ar.WriteClass(&unregistered); }), CArchiveException::badClass);
  }
  EXPECT_EQ(file.GetLength(), 0u) << "an archive dropped without Close writes nothing";

  const std::vector<std::uint8_t> bytes = {1, 0};
  CMemFile in(bytes.data(), bytes.size());
  CArchive ar(in);
  EXPECT_TRUE(ar.IsLoading());
  EXPECT_EQ(ArchiveCauseOf([&] { ar.WriteWord(1); }), CArchiveException::readOnly);
  EXPECT_EQ(ar.ReadWord(), 1);
}
