// The common part of course objects and the managers that own them.
#include "model/icon_manager.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/archive.h"
#include "model/page_access.h"
#include "tests/support/course_builder.h"

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;

namespace {

// A course object that accepts keys equal to its id and names one file.
class CTestAccepter : public CIconObject {
  DECLARE_SERIAL(CTestAccepter)
 public:
  explicit CTestAccepter(int kind = 0) : CIconObject(kind, 0) {}
  void Serialize(CArchive& ar) override {
    CIconObject::Serialize(ar);
    acceptKey = ar.ReadLong();
  }
  BOOL OnKey(int key, int) override { return key == acceptKey; }
  BOOL CollectFiles(CStringArray* files, int) override {
    files->Add(GetName() + ".bmp");
    return TRUE;
  }
  void Unload() override { ++unloads; }
  CIconManager* GetSubManager() override { return sub.get(); }
  LONG acceptKey = 0;
  int unloads = 0;
  std::unique_ptr<CIconManager> sub;
};
IMPLEMENT_SERIAL(CTestAccepter, CIconObject, VERSIONABLE_SCHEMA | 1)

struct Loaded {
  explicit Loaded(const CourseBuilder& b, int version)
      : data(b.bytes()), file(data.data(), data.size()), ar(file) {
    ar.SetCourseVersion(version);
  }
  std::vector<std::uint8_t> data;
  CMemFile file;
  CArchive ar;
};

CourseBuilder::Writer Accepter(const IconFields& f, int key) {
  return [f, key](CourseBuilder& b) {
    b.out().NewObject("CTestAccepter", 1);
    b.IconPart(f);
    b.out().Int(key);
  };
}

std::unique_ptr<CTestAccepter> MakeAccepter(const char* name, int key, DWORD flags = 4) {
  auto obj = std::make_unique<CTestAccepter>();
  obj->SetName(name);
  obj->SetFlags(flags);
  obj->acceptKey = key;
  return obj;
}

class RecordingPage : public IPageAccess {
 public:
  bool RemoveObjectOf(CIconObject* owner) override {
    removed.push_back(owner);
    return owner->GetName() == "onpage";
  }
  void StopSound(CIconObject* action) override { stopped.push_back(action); }
  std::vector<CIconObject*> removed, stopped;
};

}  // namespace

TEST(IconObject, Version5ReadsClassRecordFlagsNameAndDropsText) {
  CourseBuilder b(5);
  b.PlainObject({0x84, "Intro", "author's note", 3});
  Loaded l(b, 5);
  auto obj = l.ar.ReadOwned<CIconObject>();
  ASSERT_TRUE(obj);
  EXPECT_EQ(obj->GetFlags(), 0x84u);
  EXPECT_FALSE(obj->IsEnabled());
  EXPECT_EQ(obj->GetName(), "Intro");
  EXPECT_EQ(obj->GetText(), "");
  EXPECT_EQ(l.ar.BytesRemaining(), 0u);
}

TEST(IconObject, OlderLayoutsCarryLessOfTheCommonPart) {
  CourseBuilder v5schema2(5);
  Accepter({4, "A", "ignored", 2}, 1)(v5schema2);  // schema 2: no text stored
  Loaded l5(v5schema2, 5);
  EXPECT_EQ(l5.ar.ReadOwned<CIconObject>()->GetName(), "A");
  EXPECT_EQ(l5.ar.BytesRemaining(), 0u);

  CourseBuilder v4(4);
  v4.PlainObject({6, "B", "", 3});  // no class reference before version 5
  Loaded l4(v4, 4);
  auto obj = l4.ar.ReadOwned<CIconObject>();
  EXPECT_EQ(obj->GetFlags(), 6u);
  EXPECT_EQ(obj->GetName(), "B");
  EXPECT_EQ(l4.ar.BytesRemaining(), 0u);
}

TEST(IconObject, CopyFromCopiesIdentityUnlessKept) {
  CIconObject source(7, 99);
  source.SetName("src");
  source.SetFlags(0x84);
  CIconObject target(1, 2);
  target.SetName("dst");
  target.CopyFrom(&source, TRUE);
  EXPECT_EQ(target.GetKind(), 1);
  EXPECT_EQ(target.GetName(), "dst");
  EXPECT_EQ(target.GetFlags(), 4u);
  target.CopyFrom(&source, FALSE);
  EXPECT_EQ(target.GetKind(), 7);
  EXPECT_EQ(target.GetIconId(), 99);
  EXPECT_EQ(target.GetName(), "src");
  EXPECT_EQ(target.GetFlags(), 0x84u);

  CIconManager parent;
  CIconObject child(3, 4);
  child.SetParent(&parent);
  CIconObject copy(child);
  EXPECT_EQ(copy.GetKind(), 3);
  EXPECT_EQ(copy.GetParent(), nullptr);
}

TEST(IconObject, CharFormatComesFromTheObjectsFont) {
  struct Fonted : CIconObject {
    const LOGFONT* GetFont(int* size, COLORREF* colour) override {
      *size = 12;
      *colour = RGB(1, 2, 3);
      return &font;
    }
    LOGFONT font;
  } fonted;
  fonted.font.lfWeight = 700;
  fonted.font.lfItalic = 1;
  fonted.font.lfUnderline = 2;  // only exactly 1 counts
  std::memset(fonted.font.lfFaceName, 'A', sizeof fonted.font.lfFaceName);  // not terminated
  CHARFORMAT cf;
  ASSERT_TRUE(fonted.GetCharFormat(cf));
  EXPECT_EQ(cf.dwMask, 0xF800003Fu);
  EXPECT_EQ(cf.dwEffects, CFE_BOLD | CFE_ITALIC);
  EXPECT_EQ(cf.yHeight, 240);
  EXPECT_EQ(cf.crTextColor, RGB(1, 2, 3));
  EXPECT_EQ(std::string(cf.szFaceName), std::string(31, 'A'));
  CIconObject plain;
  cf.yHeight = 5;
  EXPECT_FALSE(plain.GetCharFormat(cf));
  EXPECT_EQ(cf.yHeight, 5);
}

TEST(IconManager, ReadsChildrenAndBecomesTheirParent) {
  CourseBuilder b(5);
  b.Manager("CIconManager", 2, {4, "events", "", 3},
            {Accepter({4, "one", "", 3}, 1), Accepter({4, "two", "", 3}, 2)});
  Loaded l(b, 5);
  auto manager = l.ar.ReadOwned<CIconManager>();
  ASSERT_TRUE(manager);
  ASSERT_EQ(manager->GetCount(), 2);
  EXPECT_EQ(manager->GetChild(1)->GetName(), "two");
  EXPECT_EQ(manager->GetChild(0)->GetParent(), manager.get());
  EXPECT_EQ(manager->AsManager(), manager.get());
  EXPECT_TRUE(manager->Contains(manager->GetChild(1)));
}

TEST(IconManager, TruncatedChildListFailsAndFreesWhatWasRead) {
  CourseBuilder b(5);
  b.Manager("CIconManager", 2, {4, "m", "", 3}, {Accepter({4, "one", "", 3}, 1), Accepter({4, "two", "", 3}, 2)});
  std::vector<std::uint8_t> cut(b.bytes().begin(), b.bytes().end() - 3);
  for (std::size_t n = 0; n < cut.size(); ++n) {
    std::vector<std::uint8_t> part(cut.begin(), cut.begin() + n);
    CMemFile file(part.data(), part.size());
    CArchive ar(file);
    EXPECT_THROW(ar.ReadOwned<CIconManager>(), CArchiveException) << "cut at " << n;
  }
}

TEST(IconManager, DispatchOffersInputInOrderAndSkipsDisabledChildren) {
  CIconManager m;
  m.AddChild(MakeAccepter("disabled", 5, 0x84));
  auto withSub = MakeAccepter("response", 0);
  withSub->sub = std::make_unique<CIconManager>();
  withSub->sub->AddChild(MakeAccepter("inner", 5));
  CIconObject* inner = withSub->sub->GetChild(0);
  m.AddChild(std::move(withSub));
  m.AddChild(MakeAccepter("later", 5));

  EXPECT_EQ(m.FindKeyTarget(5, 0), inner);  // the innermost accepter, not its response
  EXPECT_EQ(m.FindKeyTarget(0, 0), m.GetChild(1));
  EXPECT_EQ(m.FindKeyTarget(6, 0), nullptr);
  EXPECT_TRUE(m.Contains(inner));
  EXPECT_EQ(m.FindMouseButtonTarget(0x201, 1, CPoint(1, 1), 7), nullptr);
}

TEST(IconManager, CollectFilesSkipsDisabledChildrenAndRecurses) {
  CIconManager m;
  m.AddChild(MakeAccepter("off", 0, 0x80));
  auto withSub = MakeAccepter("a", 0);
  withSub->sub = std::make_unique<CIconManager>();
  withSub->sub->AddChild(MakeAccepter("b", 0));
  m.AddChild(std::move(withSub));
  CStringArray files;
  EXPECT_TRUE(m.CollectFiles(&files, 0));
  ASSERT_EQ(files.GetSize(), 2);
  EXPECT_EQ(files[0], "a.bmp");
  EXPECT_EQ(files[1], "b.bmp");
  CIconManager empty;
  EXPECT_FALSE(empty.CollectFiles(&files, 0));
}

TEST(IconManager, RemovingChildrenFromThePage) {
  CIconManager m;
  m.AddChild(MakeAccepter("onpage", 0));
  m.AddChild(MakeAccepter("offpage", 0));
  m.AddChild(std::make_unique<CTestAccepter>(IconKind::kAudioAction));
  RecordingPage page;
  m.RemoveChildrenFromPage(&page);
  EXPECT_EQ(page.removed.size(), 3u);
  ASSERT_EQ(page.stopped.size(), 1u);
  EXPECT_EQ(page.stopped[0], m.GetChild(2));
  EXPECT_EQ(static_cast<CTestAccepter*>(m.GetChild(0))->unloads, 0);
  EXPECT_EQ(static_cast<CTestAccepter*>(m.GetChild(1))->unloads, 1);
}
