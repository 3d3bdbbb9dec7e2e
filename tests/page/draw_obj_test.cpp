// Draw objects and their list: layer order, hit tests, handles, moves and region tests; dirty rectangles.
#include "page/draw_obj.h"

#include <gtest/gtest.h>

#include "page/draw_obj_list.h"
#include "model/archive.h"
#include "page/update_rect_list.h"
#include "tests/support/archive_writer.h"
#include "tests/page/page_test_support.h"

using tvn::testing::CColourOwner;

namespace {

// Counts repaints asked of the page, without a page.
class CRecordingHost final : public IDrawObjHost {
 public:
  void InvalidateItem(CDrawObj* obj) override { invalidated.push_back(*obj->GetRect()); }
  void RepaintArea(const CRect& rect) override { repainted.push_back(rect); }
  CSyncEvent* GetKillEvent() override { return &kill; }
  IAnimationWaiter& GetAnimationWaiter() override { return waiter; }
  CDocument* GetCurrentCourse() override { return nullptr; }
  void AdoptEndingThread(std::unique_ptr<CAnimateThread> thread) override { adopted.push_back(std::move(thread)); }

  std::vector<CRect> invalidated, repainted;
  CSyncEvent kill;
  tvn::testing::CSteppedWaiter waiter;
  std::vector<std::unique_ptr<CAnimateThread>> adopted;  // joined first, while the rest still stands
};

class CPathOwner : public CColourOwner {
 public:
  using CColourOwner::CColourOwner;
  CPolyline* GetPathObject() override { return &path; }
  int GetPoint(int* style, int* width) override {
    if (width) *width = pen;
    return 0;
  }
  void SetRectConstants(const CRect& rect) override { told = rect; }
  CPolyline path;
  int pen = 4;
  CRect told;
};

class CRoundOwner : public CColourOwner {
 public:
  using CColourOwner::CColourOwner;
  CSize* GetShapeData() override { return &round; }
  CSize round{20, 20};
};

}  // namespace

TEST(DrawObjListTest, KeepsHighLayersFirstAndHitsTheFrontObject) {
  CColourOwner a("3a", 3, CRect(0, 0, 50, 50), 0), five("5", 5, CRect(0, 0, 50, 50), 0),
      b("3b", 3, CRect(0, 0, 50, 50), 0);
  CDrawObjList list;
  CDrawObj* oa = list.AddInLayerOrder(std::make_unique<CDrawRect>(&a, 0));
  CDrawObj* o5 = list.AddInLayerOrder(std::make_unique<CDrawRect>(&five, 0));
  CDrawObj* ob = list.AddInLayerOrder(std::make_unique<CDrawRect>(&b, 0));
  EXPECT_EQ(list.Snapshot(), (std::vector<CDrawObj*>{o5, oa, ob}));
  EXPECT_EQ(list.HitTest(10, 10, 0), ob);
  EXPECT_EQ(list.HitTest(60, 10, 0), nullptr);  // right edge excluded
  EXPECT_EQ(list.FindByOwner(&five), o5);

  // A layer change followed by Reorder moves the object to its new place.
  ob->SetLayer(7);
  list.Reorder(ob);
  EXPECT_EQ(list.GetAt(0), ob);
  auto taken = list.Remove(oa);
  EXPECT_EQ(taken.get(), oa);
  EXPECT_EQ(list.Remove(oa), nullptr);
  EXPECT_EQ(list.GetCount(), 2);
}

TEST(DrawObjTest, LayersChangeOnlyBetweenOneAndNine) {
  CColourOwner zero("z", 0, CRect(), 0), ten("t", 10, CRect(), 0), four("f", 4, CRect(), 0);
  CDrawRect z(&zero, 0), t(&ten, 0), f(&four, 0);
  z.SetLayer(5);
  t.SetLayer(5);
  f.SetLayer(2);
  EXPECT_EQ(z.GetLayer(), 0);
  EXPECT_EQ(t.GetLayer(), 10);
  EXPECT_EQ(f.GetLayer(), 2);
}

TEST(DrawObjTest, MovesKeepTheSizeAndRepaintOldAndNewAreas) {
  CRecordingHost host;
  CColourOwner owner("o", 1, CRect(0, 0, 11, 10), 0);
  CDrawRect obj(&owner, 0, &host);
  obj.MoveTo(CPoint(100, 50), FALSE, FALSE);
  EXPECT_EQ(*obj.GetRect(), CRect(95, 45, 106, 55));
  ASSERT_EQ(host.repainted.size(), 2u);  // far apart: old and new separately
  EXPECT_EQ(host.repainted[0], CRect(0, 0, 11, 10));

  host.repainted.clear();
  obj.MoveTo(CPoint(98, 45), FALSE, TRUE);
  ASSERT_EQ(host.repainted.size(), 1u);  // overlapping: their union once
  EXPECT_EQ(host.repainted[0], CRect(95, 45, 109, 55));
  obj.MoveTo(CPoint(98, 45), FALSE, TRUE);
  EXPECT_EQ(host.repainted.size(), 1u);  // unchanged and not forced: nothing
}

TEST(DrawObjTest, HandlesFlipAndRoundCornersFollowHandleNine) {
  CColourOwner owner("o", 1, CRect(10, 20, 110, 220), 0);
  CDrawRect obj(&owner, 0);
  EXPECT_EQ(obj.GetHandleCount(), 8);
  EXPECT_EQ(obj.GetHandle(6), CPoint(60, 220));
  EXPECT_EQ(obj.FlipHandle(5, 0, 0), 1);
  EXPECT_EQ(obj.FlipHandle(2, 50, 300), 6);
  EXPECT_EQ(obj.FlipHandle(12, 0, 0), 12);
  EXPECT_EQ(obj.HitTest(110, 220, TRUE, 0), 5);
  obj.MoveHandleTo(5, 150, 250);
  EXPECT_EQ(*obj.GetRect(), CRect(10, 20, 150, 250));

  CRoundOwner round("r", 1, CRect(0, 0, 100, 100), 0);
  CDrawRect rr(&round, DrawFlag::kRoundRect);
  EXPECT_EQ(rr.GetShape(), CDrawRect::roundRectangle);
  EXPECT_EQ(rr.GetHandleCount(), 9);
  EXPECT_EQ(rr.GetHandle(9), CPoint(90, 90));
  rr.MoveHandleTo(9, 500, 500);
  EXPECT_EQ(round.round, CSize(2, 2));
  rr.MoveHandleTo(9, 10, 10);  // no further in than the centre
  EXPECT_EQ(round.round, CSize(100, 100));

  CDrawRect line(&owner, DrawFlag::kPathShape | 0x1);
  EXPECT_EQ(line.GetShape(), CDrawRect::line);
  EXPECT_EQ(line.GetHandleCount(), 2);
  EXPECT_EQ(line.GetHandle(2), line.GetHandle(5));
  // Stepping the selected handle wraps between none and the last handle.
  line.StepCurrentHandle(TRUE);
  EXPECT_EQ(line.GetCurrentHandle(), 2);
  line.StepCurrentHandle(FALSE);
  EXPECT_EQ(line.GetCurrentHandle(), 0);
  rr.SetCurrentHandle(9);
  rr.StepCurrentHandle(FALSE);
  EXPECT_EQ(rr.GetCurrentHandle(), 0);
}

TEST(DrawObjTest, IntersectionFollowsTheShape) {
  CColourOwner owner("o", 1, CRect(0, 0, 100, 100), 0);
  CDrawRect rect(&owner, 0), ellipse(&owner, DrawFlag::kEllipse);
  const CRect corner(0, 0, 8, 8);
  EXPECT_TRUE(rect.Intersects(corner));
  EXPECT_FALSE(ellipse.Intersects(corner));  // outside the ellipse's curve
  EXPECT_TRUE(ellipse.Intersects(CRect(45, 45, 55, 55)));
  EXPECT_FALSE(rect.Intersects(CRect(200, 200, 210, 210)));
  EXPECT_TRUE(rect.Intersects(CRect(50, 50, -10, -10)));  // not normalised

  CPathOwner diagonal("p", 1, CRect(), 0);
  diagonal.path.AddPoint(CPoint(0, 0));
  diagonal.path.AddPoint(CPoint(100, 100));
  CDrawPoly seg(&diagonal, DrawFlag::kPathLine);
  EXPECT_TRUE(seg.Intersects(CRect(48, 48, 52, 52)));
  EXPECT_FALSE(seg.Intersects(CRect(80, 0, 100, 20)));  // inside the box, far from the line
}

TEST(DrawObjTest, PathObjectsBoundTheirPointsAndMoveThemAlong) {
  CRecordingHost host;
  CPathOwner owner("p", 1, CRect(), 0);
  owner.path.AddPoint(CPoint(10, 10));
  owner.path.AddPoint(CPoint(50, 30));
  owner.path.AddPoint(CPoint(20, 60));
  CDrawPoly poly(&owner, DrawFlag::kPathShape, &host);
  EXPECT_EQ(*poly.GetRect(), CRect(7, 7, 53, 63));  // half the pen and one more
  EXPECT_EQ(owner.told, CRect(7, 7, 53, 63));
  EXPECT_EQ(poly.GetHandleCount(), 3);

  poly.MoveTo(CPoint(107, 7), FALSE, TRUE);
  EXPECT_EQ(poly.GetPoints().GetPoint(0), CPoint(110, 10));

  poly.MoveHandleTo(2, 150, 100);
  EXPECT_EQ(owner.path.GetPoint(1), CPoint(150, 100));
  EXPECT_EQ(poly.GetRect()->bottom, 103);
  EXPECT_EQ(poly.RemovePoint(0), 0);
  EXPECT_EQ(poly.RemovePoint(9), 3);
  poly.RemovePoint(3);
  EXPECT_EQ(poly.GetPoints().GetPointCount(), 2);
  EXPECT_EQ(owner.path.GetPointCount(), 2);
}

TEST(DrawObjTest, PrivateObjectsDeleteTheirOwnerAndNeverInvalidate) {
  CRecordingHost host;
  auto* owner = new CColourOwner("p", 1, CRect(0, 0, 5, 5), 0);
  {
    CDrawRect obj(owner, DrawFlag::kPrivate, &host);
    obj.Invalidate();
    EXPECT_TRUE(host.invalidated.empty());
  }  // the owner goes with it (a leak here shows under the sanitizer)
}

TEST(DrawObjTest, InsideTestUsesTheOwnersSizeAtThePosition) {
  CColourOwner owner("o", 1, CRect(10, 10, 20, 20), 0);
  CDrawRect obj(&owner, 0);
  EXPECT_TRUE(obj.IsInsideRect(CRect(10, 10, 20, 20)));
  EXPECT_TRUE(obj.IsInsideRect(CRect(0, 0, 21, 21)));
  EXPECT_FALSE(obj.IsInsideRect(CRect(0, 0, 20, 20)));  // a corner on the right edge is outside
}

TEST(UpdateRectListTest, AddGrowsOnlyTheNewestAndMergeJoinsTheRest) {
  CUpdateRectList list;
  list.Add(CRect(0, 0, 10, 10));
  list.Add(CRect(5, 5, 20, 20));
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Rects()[0], CRect(0, 0, 20, 20));

  list.DeleteAll();
  list.Add(CRect(0, 0, 10, 10));      // C
  list.Add(CRect(100, 100, 110, 110));  // A, the head
  list.Add(CRect(8, 8, 30, 30));      // B touches C only
  EXPECT_EQ(list.GetCount(), 3);
  list.MergeAll();
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.Rects()[0], CRect(0, 0, 30, 30));

  // A union that reaches a rectangle already passed is merged as well.
  list.DeleteAll();
  list.Add(CRect(40, 0, 50, 10));
  list.Add(CRect(0, 0, 10, 10));
  list.Add(CRect(9, 0, 41, 5));
  list.MergeAll();
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Rects()[0], CRect(0, 0, 50, 10));
}

// --- storing and loading ---

namespace {

// An owner that stores its fields (the course kinds only read theirs).
class CStoringOwner : public CIconObject {
  DECLARE_SERIAL(CStoringOwner)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << label << roundness;
      return;
    }
    ar >> label >> roundness;
    path.AddPoint(CPoint(roundness.cx, roundness.cy));
  }
  CRect GetBounds() override { return CRect(1, 2, 30, 40); }
  BYTE GetLayer() override { return 3; }
  CSize* GetShapeData() override { return &roundness; }
  CPolyline* GetPathObject() override { return &path; }
  CString label = "owner";
  CSize roundness{12, 8};
  CPolyline path;
};
IMPLEMENT_SERIAL(CStoringOwner, CIconObject, 1)

std::vector<std::uint8_t> Stored(CDrawObjList& list) {
  CMemFile file;
  {
    CArchive ar(file, CArchive::store);
    list.Serialize(ar);
    ar.Close();
  }
  const std::vector<BYTE> bytes = file.Detach();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// The fields of one stored draw object up to its owner, by the writer.
void DrawObjFields(tvn::testing::ArchiveWriter& w, DWORD flags, std::uint32_t course = 0, std::uint32_t owner = 0) {
  w.Rect(1, 2, 30, 40).Byte(3).Dword(flags).Dword(course).Dword(owner);
}

}  // namespace

TEST(DrawObjStore, ListStoresEachObjectWithItsOwnerAndLoadsEmpty) {
  CStoringOwner owner;
  CDrawObjList list;
  list.AddInLayerOrder(std::make_unique<CDrawRect>(&owner, DrawFlag::kRoundRect));
  list.AddInLayerOrder(std::make_unique<CDrawOleObj>(&owner, DrawFlag::kOle));
  list.AddInLayerOrder(std::make_unique<CDrawPoly>(nullptr, DrawFlag::kPathLine));
  const auto stored = Stored(list);

  tvn::testing::ArchiveWriter w;
  w.Count(3);
  w.NewObject("CDrawRect", 2);
  DrawObjFields(w, DrawFlag::kRoundRect);
  w.ClassRef("CStoringOwner", 1);
  w.String("owner").Point(12, 8).Int(CDrawRect::roundRectangle);
  w.NewObject("CDrawOleObj", 2);
  DrawObjFields(w, DrawFlag::kOle);
  w.ClassRef("CStoringOwner", 1);
  w.String("owner").Point(12, 8).Int(CDrawRect::rectangle);
  w.NewObject("CDrawPoly", 2);
  w.Rect(0, 0, 0, 0).Byte(0).Dword(DrawFlag::kPathLine).Dword(0).Dword(0).Null();  // no owner: the null tag
  EXPECT_EQ(stored, w.bytes());

  CMemFile file(stored.data(), stored.size());
  CArchive ar(file);
  CDrawObjList loaded;
  loaded.Serialize(ar);
  EXPECT_TRUE(loaded.IsEmpty());
  EXPECT_EQ(ar.BytesRemaining(), 0u);
}

TEST(DrawObjStore, ObjectsReadAloneMakeTheirOwnerAndKeepNoAddress) {
  tvn::testing::ArchiveWriter w;
  w.NewObject("CDrawRect", 2);
  DrawObjFields(w, DrawFlag::kRoundRect | DrawFlag::kPrivate, 0x12345678, 0xDEADBEEF);
  w.ClassRef("CStoringOwner", 1);
  w.String("loaded").Point(20, 10).Int(CDrawRect::roundRectangle);
  w.NewObject("CDrawPoly", 2);
  DrawObjFields(w, DrawFlag::kPathLine);
  w.ClassRef("CStoringOwner", 1);
  w.String("path").Point(7, 9);
  CMemFile file(w.bytes().data(), w.size());
  CArchive ar(file);
  std::unique_ptr<CDrawRect> rect = ar.ReadOwned<CDrawRect>();
  ASSERT_TRUE(rect);
  EXPECT_EQ(*rect->GetRect(), CRect(1, 2, 30, 40));
  EXPECT_EQ(rect->GetLayer(), 3);
  EXPECT_EQ(rect->GetShape(), CDrawRect::roundRectangle);
  EXPECT_EQ(rect->GetRoundness(), CSize(20, 10)) << "the loaded owner's roundness";
  EXPECT_EQ(rect->GetCourse(), nullptr);
  auto* owner = dynamic_cast<CStoringOwner*>(rect->GetOwner());
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->label, CString("loaded"));
  std::unique_ptr<CDrawPoly> poly = ar.ReadOwned<CDrawPoly>();
  ASSERT_TRUE(poly);
  ASSERT_EQ(poly->GetPoints().GetPointCount(), 1);
  EXPECT_EQ(poly->GetPoints().GetPoint(0), CPoint(7, 9));
  // Both owners go with their draw objects (the private flag included): nothing leaks, nothing is freed twice.

  // A shape the kinds do not have is refused.
  tvn::testing::ArchiveWriter bad;
  bad.NewObject("CDrawRect", 2);
  DrawObjFields(bad, 0);
  bad.Null().Int(7);
  CMemFile badFile(bad.bytes().data(), bad.size());
  CArchive badAr(badFile);
  try {
    badAr.ReadObject(RUNTIME_CLASS(CDrawObj));
    ADD_FAILURE() << "shape 7 read";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::genericException);
  }
}

TEST(DrawObjStore, AnOwnerThatOnlyReadsFailsTheStore) {
  CColourOwner course("course kind", 1, CRect(0, 0, 5, 5), 0);
  CDrawObjList list;
  list.AddInLayerOrder(std::make_unique<CDrawRect>(&course, 0));
  CMemFile file;
  CArchive ar(file, CArchive::store);
  try {
    list.Serialize(ar);
    ADD_FAILURE() << "a store that cannot be read back passed";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::writeOnly);
  }
  EXPECT_EQ(file.GetLength(), 0u);
}
