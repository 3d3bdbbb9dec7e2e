// The archive reader against streams laid down by the test writer.
#include "model/archive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/archive_cause.h"
#include "tests/support/archive_writer.h"

using tvn::testing::ArchiveWriter;
using tvn::testing::ArchiveCauseOf;

namespace {

// A non-versionable class of schema 1 with one 32-bit field.
class CTestLeaf : public CObject {
  DECLARE_SERIAL(CTestLeaf)
 public:
  void Serialize(CArchive& ar) override { value = ar.ReadLong(); }
  LONG value = 0;
};
IMPLEMENT_SERIAL(CTestLeaf, CObject, 1)

// A versionable class that asks for its schema twice.
class CTestVersioned : public CObject {
  DECLARE_SERIAL(CTestVersioned)
 public:
  void Serialize(CArchive& ar) override {
    first = ar.GetObjectSchema();
    second = ar.GetObjectSchema();
  }
  UINT first = 0;
  UINT second = 0;
};
IMPLEMENT_SERIAL(CTestVersioned, CObject, VERSIONABLE_SCHEMA | 4)

// Owns a list of objects and keeps a non-owning reference to another.
class CTestHolder : public CObject {
  DECLARE_SERIAL(CTestHolder)
 public:
  void Serialize(CArchive& ar) override {
    schemaSeen = ar.GetObjectSchema();
    ar.ReadOwnedList(items);
    reference = ar.ReadObject(RUNTIME_CLASS(CObject));
    schemaAfterNested = ar.GetObjectSchema();
  }
  std::vector<std::unique_ptr<CObject>> items;
  CObject* reference = nullptr;
  UINT schemaSeen = 0;
  UINT schemaAfterNested = 0;
};
IMPLEMENT_SERIAL(CTestHolder, CObject, VERSIONABLE_SCHEMA | 1)

// Keeps the bytes alive for the archive that reads them.
struct Reader {
  explicit Reader(const std::vector<std::uint8_t>& bytes) : data(bytes), file(data.data(), data.size()), ar(file) {}
  std::vector<std::uint8_t> data;
  CMemFile file;
  CArchive ar;
};

}  // namespace

TEST(ArchiveStrings, LengthPrefixesByLengthClass) {
  struct Row { std::size_t length; std::vector<std::uint8_t> prefix; };
  const Row rows[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    std::string text(rows[i].length, 'x');
    ArchiveWriter w;
    w.String(text);
    std::vector<std::uint8_t> head(w.bytes().begin(), w.bytes().begin() + rows[i].prefix.size());
    EXPECT_EQ(head, rows[i].prefix) << "row " << i;
    EXPECT_EQ(w.size(), rows[i].prefix.size() + rows[i].length) << "row " << i;
    Reader r(w.bytes());
    EXPECT_EQ(r.ar.ReadString().str(), text) << "row " << i;
    EXPECT_EQ(r.ar.BytesRemaining(), 0u) << "row " << i;
  }
}

TEST(ArchiveStrings, WideStringsBecomeCodePage1252) {
  Reader r({0xFF, 0xFE, 0xFF, 0x03, 0x61, 0x00, 0x62, 0x00, 0x63, 0x00});
  EXPECT_EQ(r.ar.ReadString(), "abc");
  ArchiveWriter w;
  w.WideString(u"\u20ACx\u4E2D");
  Reader r2(w.bytes());
  EXPECT_EQ(r2.ar.ReadString(), "\x80x?");
  // Lengths on either side of the WORD form's end, the longer one in the DWORD form.
  for (std::size_t length : {65533u, 65534u, 65535u}) {
    ArchiveWriter w3;
    w3.WideString(std::u16string(length, u'w')).Byte(0x5A);
    Reader r3(w3.bytes());
    EXPECT_EQ(r3.ar.ReadString().str(), std::string(length, 'w')) << length;
    EXPECT_EQ(r3.ar.ReadByte(), 0x5A) << length;
  }
}

TEST(ArchiveStrings, TruncationAndForgedLengthsAreEndOfFile) {
  // Cut a string at every offset: always cause 3, never a crash.
  ArchiveWriter w;
  w.String(std::string(300, 'q'));
  for (std::size_t cut = 0; cut < w.size(); ++cut) {
    std::vector<std::uint8_t> part(w.bytes().begin(), w.bytes().begin() + cut);
    Reader r(part);
    EXPECT_EQ(ArchiveCauseOf([&] { r.ar.ReadString(); }), CArchiveException::endOfFile) << "cut at " << cut;
  }
  // A 4 GiB length in a tiny stream fails before anything is allocated.
  std::vector<std::uint8_t> forged = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  forged.resize(100, 'a');
  Reader r(forged);
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.ReadString(); }), CArchiveException::endOfFile);
  Reader wide({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0});
  EXPECT_EQ(ArchiveCauseOf([&] { wide.ar.ReadString(); }), CArchiveException::endOfFile);
}

TEST(ArchiveStrings, SkippedAndInPlaceReadsStopAndFailAsReadStringDoes) {
  std::vector<std::vector<std::uint8_t>> streams;
  for (std::size_t length : {0, 3, 300, 70000}) {
    ArchiveWriter w;
    w.String(std::string(length, 'q')).Byte(0x5A);
    streams.push_back(w.bytes());
  }
  ArchiveWriter wide;
  wide.WideString(u"\u20ACx").Byte(0x5A);
  streams.push_back(wide.bytes());
  streams.push_back({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 'a', 'b'});  // a second wide marker
  for (std::size_t cut : {0, 1, 2, 3, 100}) streams.emplace_back(streams[2].begin(), streams[2].begin() + cut);

  for (std::size_t i = 0; i < streams.size(); ++i) {
    Reader whole(streams[i]), skipped(streams[i]), inPlace(streams[i]);
    CString text;
    CString out("before");
    const int cause = ArchiveCauseOf([&] { text = whole.ar.ReadString(); });
    EXPECT_EQ(ArchiveCauseOf([&] { skipped.ar.SkipString(); }), cause) << "stream " << i;
    EXPECT_EQ(ArchiveCauseOf([&] { inPlace.ar.ReadString(out); }), cause) << "stream " << i;
    if (cause >= 0) {
      EXPECT_EQ(out, "before") << "stream " << i;  // a failed read leaves the target alone
      continue;
    }
    EXPECT_EQ(out, text) << "stream " << i;
    EXPECT_EQ(skipped.ar.BytesRemaining(), whole.ar.BytesRemaining()) << "stream " << i;
    EXPECT_EQ(inPlace.ar.BytesRemaining(), whole.ar.BytesRemaining()) << "stream " << i;
  }
}

TEST(ArchiveBuffer, ValuesAcrossTheBufferEdgeReadWhole) {
  // The reader refills a 64 KiB buffer: each kind of value lands across its edge for one of the pads.
  for (std::size_t pad = 65536 - 24; pad <= 65536; ++pad) {
    ArchiveWriter w;
    w.Raw(std::string(pad, 'p'));
    w.Dword(0x11223344u).Word(0x5566).Double(-0.25).String("across the edge").String("kept").String("skipped");
    w.Byte(0x77);
    Reader r(w.bytes());
    r.ar.ReadBytes(pad);
    EXPECT_EQ(r.ar.ReadDword(), 0x11223344u) << "pad " << pad;
    EXPECT_EQ(r.ar.ReadWord(), 0x5566) << "pad " << pad;
    EXPECT_EQ(r.ar.ReadDouble(), -0.25) << "pad " << pad;
    EXPECT_EQ(r.ar.ReadString(), "across the edge") << "pad " << pad;
    CString kept;
    r.ar.ReadString(kept);
    EXPECT_EQ(kept, "kept") << "pad " << pad;
    r.ar.SkipString();
    EXPECT_EQ(r.ar.ReadByte(), 0x77) << "pad " << pad;
    EXPECT_EQ(r.ar.BytesRemaining(), 0u) << "pad " << pad;
  }
}

TEST(ArchivePrimitives, LittleEndianValuesAndCounts) {
  ArchiveWriter w;
  w.Byte(0x12).Word(0x3456).Dword(0x789ABCDE).Double(2.5).Float(-1.5f).Rect(1, -2, 3, 4).Count(7).Count(70000);
  Reader r(w.bytes());
  EXPECT_EQ(r.ar.ReadByte(), 0x12);
  EXPECT_EQ(r.ar.ReadWord(), 0x3456);
  EXPECT_EQ(r.ar.ReadDword(), 0x789ABCDEu);
  EXPECT_EQ(r.ar.ReadDouble(), 2.5);
  EXPECT_EQ(r.ar.ReadFloat(), -1.5f);
  EXPECT_EQ(r.ar.ReadRect(), CRect(1, -2, 3, 4));
  EXPECT_EQ(r.ar.ReadCount(), 7u);
  EXPECT_EQ(r.ar.ReadCount(), 70000u);
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.ReadByte(); }), CArchiveException::endOfFile);

  ArchiveWriter arrays;
  arrays.Count(2).String("a").String("bc").Count(3).Byte(1).Byte(2).Byte(3);
  Reader ra(arrays.bytes());
  CStringArray strings;
  CByteArray bytes;
  ra.ar.ReadStringArray(strings);
  ra.ar.ReadByteArray(bytes);
  EXPECT_EQ(strings.GetSize(), 2);
  EXPECT_EQ(strings[1], "bc");
  EXPECT_EQ(bytes.GetSize(), 3);
  EXPECT_EQ(bytes[2], 3);

  Reader huge({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x00});  // a count of 268 million in 7 bytes
  EXPECT_EQ(ArchiveCauseOf([&] { huge.ar.ReadStringArray(strings); }), CArchiveException::endOfFile);
}

TEST(ArchiveObjects, SecondObjectOfAClassCarriesOnlyItsClassIndex) {
  ArchiveWriter w;
  int a = 0, b = 0;
  ASSERT_TRUE(w.BeginObject(&a, "CTestLeaf", 1));
  w.Int(11);
  std::size_t second = w.size();
  ASSERT_TRUE(w.BeginObject(&b, "CTestLeaf", 1));
  w.Int(22);
  // The class took index 1 and the first object index 2.
  EXPECT_EQ(w.bytes()[second], 0x01);
  EXPECT_EQ(w.bytes()[second + 1], 0x80);

  Reader r(w.bytes());
  auto* first = r.ar.ReadObjectOf<CTestLeaf>();
  auto* next = r.ar.ReadObjectOf<CTestLeaf>();
  ASSERT_TRUE(first && next);
  EXPECT_EQ(first->value, 11);
  EXPECT_EQ(next->value, 22);
}

TEST(ArchiveObjects, SharedObjectReadsBackOnce) {
  ArchiveWriter w;
  int leaf = 0;
  w.NewObject("CTestHolder", 1);
  w.Count(1);
  ASSERT_TRUE(w.BeginObject(&leaf, "CTestLeaf", 1));
  w.Int(5);
  std::size_t refAt = w.size();
  EXPECT_FALSE(w.BeginObject(&leaf, "CTestLeaf", 1));  // back-reference
  EXPECT_EQ(w.size() - refAt, 2u);

  Reader r(w.bytes());
  std::unique_ptr<CTestHolder> holder = r.ar.ReadOwned<CTestHolder>();
  ASSERT_TRUE(holder);
  ASSERT_EQ(holder->items.size(), 1u);
  EXPECT_EQ(holder->reference, holder->items[0].get());
  EXPECT_EQ(holder->schemaSeen, 1u);
  EXPECT_EQ(holder->schemaAfterNested, 0xFFFFFFFFu);  // asked once already
}

TEST(ArchiveObjects, ListHoldingOneObjectTwiceIsRefused) {
  // Owning one object twice would free it twice.
  ArchiveWriter w;
  int leaf = 0;
  w.NewObject("CTestHolder", 1);
  w.Count(2);
  w.BeginObject(&leaf, "CTestLeaf", 1);
  w.Int(5);
  w.BeginObject(&leaf, "CTestLeaf", 1);
  w.Null();
  Reader r(w.bytes());
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.ReadOwned<CTestHolder>(); }), CArchiveException::badClass);
}

TEST(ArchiveObjects, ObjectCannotOwnItself) {
  ArchiveWriter w;
  int holder = 0;
  w.BeginObject(&holder, "CTestHolder", 1);
  w.Count(1);
  w.BeginObject(&holder, "CTestHolder", 1);  // a back-reference to the object being read
  w.Null();
  Reader r(w.bytes());
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.ReadOwned<CTestHolder>(); }), CArchiveException::badClass);
}

TEST(ArchiveObjects, VersionableSchemaIsAskedForOnce) {
  ArchiveWriter w;
  w.NewObject("CTestVersioned", 9);
  Reader r(w.bytes());
  auto* obj = r.ar.ReadObjectOf<CTestVersioned>();
  ASSERT_TRUE(obj);
  EXPECT_EQ(obj->first, 9u);
  EXPECT_EQ(obj->second, 0xFFFFFFFFu);
}

TEST(ArchiveObjects, FailuresCarryTheirCauses) {
  struct Row {
    const char* what;
    std::function<void(ArchiveWriter&)> write;
    int cause;
  };
  const Row rows[] = {
      {"unknown class", [](ArchiveWriter& w) { w.NewObject("CNoSuchClass", 1); }, CArchiveException::badClass},
      {"name of 64 bytes",
       [](ArchiveWriter& w) { w.Word(0xFFFF).Word(1).Word(64).Raw(std::string(64, 'C')); },
       CArchiveException::badClass},
      {"unexpected class", [](ArchiveWriter& w) { w.NewObject("CTestVersioned", 4); }, CArchiveException::badClass},
      {"foreign schema", [](ArchiveWriter& w) { w.NewObject("CTestLeaf", 2); w.Int(0); }, CArchiveException::badSchema},
      {"index never handed out", [](ArchiveWriter& w) { w.Word(0x0003); }, CArchiveException::badIndex},
      {"class index never handed out", [](ArchiveWriter& w) { w.Word(0x8005); }, CArchiveException::badIndex},
      {"class index 0", [](ArchiveWriter& w) { w.Word(0x8000); }, CArchiveException::badIndex},
      {"back-reference to a class entry",
       [](ArchiveWriter& w) { w.NewObject("CTestLeaf", 1); w.Int(1); w.Word(0x0001); },
       CArchiveException::badIndex},
      {"class tag naming an object",
       [](ArchiveWriter& w) { w.NewObject("CTestLeaf", 1); w.Int(1); w.Word(0x8002); },
       CArchiveException::badIndex},
      {"truncated object", [](ArchiveWriter& w) { w.NewObject("CTestLeaf", 1); w.Word(1); }, CArchiveException::endOfFile},
      {"truncated class name", [](ArchiveWriter& w) { w.Word(0xFFFF).Word(1).Word(9).Raw("CTest"); },
       CArchiveException::endOfFile},
  };
  for (const Row& row : rows) {
    ArchiveWriter w;
    row.write(w);
    Reader r(w.bytes());
    EXPECT_EQ(ArchiveCauseOf([&] {
                while (true) r.ar.ReadObject(RUNTIME_CLASS(CTestLeaf));
              }),
              row.cause)
        << row.what;
  }
}

TEST(ArchiveObjects, ThirtyTwoBitTags) {
  // 0x7FFF escapes to a DWORD tag: 0x80000000 | i for a class, i for an object.
  ArchiveWriter w;
  w.NewObject("CTestLeaf", 1);  // class 1, object 2
  w.Int(3);
  w.Word(0x7FFF).Dword(0x80000001u);  // another object of class 1
  w.Int(4);
  w.Word(0x7FFF).Dword(2);  // back-reference to the first object
  Reader r(w.bytes());
  auto* first = r.ar.ReadObjectOf<CTestLeaf>();
  auto* second = r.ar.ReadObjectOf<CTestLeaf>();
  EXPECT_EQ(second->value, 4);
  EXPECT_EQ(r.ar.ReadObjectOf<CTestLeaf>(), first);
}

TEST(ArchiveObjects, DeepNestingIsRefusedNotOverflowed) {
  ArchiveWriter w;
  for (int i = 0; i < 5000; ++i) {
    w.NewObject("CTestHolder", 1);
    w.Count(1);
  }
  Reader r(w.bytes());
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.ReadOwned<CTestHolder>(); }), CArchiveException::genericException);
}

TEST(ArchiveObjects, ObjectsAreAdoptedInAnyOrderOnceEach) {
  ArchiveWriter w;
  for (int i = 0; i < 3; ++i) {
    w.NewObject("CTestLeaf", 1);
    w.Int(i);
  }
  Reader r(w.bytes());
  CObject* objects[3];
  for (CObject*& obj : objects) obj = r.ar.ReadObject(RUNTIME_CLASS(CTestLeaf));
  std::vector<std::unique_ptr<CObject>> owned;
  for (int i : {1, 0, 2}) {
    owned.push_back(r.ar.Adopt(objects[i]));
    EXPECT_EQ(owned.back().get(), objects[i]) << "object " << i;
  }
  for (CObject* obj : objects) EXPECT_EQ(ArchiveCauseOf([&] { r.ar.Adopt(obj); }), CArchiveException::badClass);
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.Adopt(nullptr); }), CArchiveException::badClass);
}

TEST(ArchiveObjects, UnadoptedObjectsCanBeHandedOn) {
  ArchiveWriter w;
  w.NewObject("CTestLeaf", 1);
  w.Int(8);
  Reader r(w.bytes());
  CObject* obj = r.ar.ReadObject(RUNTIME_CLASS(CObject));
  auto kept = r.ar.ReleaseUnadopted();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].get(), obj);
  EXPECT_EQ(ArchiveCauseOf([&] { r.ar.Adopt(obj); }), CArchiveException::badClass);  // no longer the archive's
}
