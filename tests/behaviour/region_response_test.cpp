// The region response: stored form, the rectangle and polygon tests, clicks, its key and hover state.
#include "behaviour/region_response.h"

#include <gtest/gtest.h>

#include <span>

#include "platform/msg/window_messages.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/gdi/canvas.h"

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;
using tvn::testing::ReadBack;
using tvn::testing::RegionFields;
using tvn::testing::ResponseFields;

namespace {

std::unique_ptr<CRegionResponse> Region(const RegionFields& fields) {
  CourseBuilder b;
  b.RegionResponse(IconFields{4, "spot", "", 3}, ResponseFields{}, fields, {100, 100, 200, 150});
  return ReadBack<CRegionResponse>(b);
}

BOOL Click(CRegionResponse& r, UINT message, UINT keyFlags, CPoint at = CPoint(150, 120)) {
  return r.OnMouseButton(message, keyFlags, at, kInputFromTaskResponses, nullptr);
}

}  // namespace

TEST(RegionResponse, ReadsItsFieldsInStoredOrder) {
  RegionFields f;
  f.mouseFlags = 0x14;
  f.cursorFile = "spot.cur";
  f.regionFlags = 0x4A;
  f.outline = {{0, 0}, {10, 0}, {0, 10}};
  auto r = Region(f);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->m_dwMouseFlags, 0x14u);
  EXPECT_EQ(r->m_strCursorFile, "spot.cur");
  EXPECT_EQ(r->m_dwRegionFlags, 0x4Au);
  EXPECT_EQ(r->GetPathObject()->GetPointCount(), 3);
  EXPECT_EQ(r->GetBounds(), CRect(100, 100, 200, 150));
  EXPECT_EQ(r->GetKind(), ResponseKind::kRegion);
  CStringArray files;
  EXPECT_TRUE(r->CollectFiles(&files, 0));
  ASSERT_EQ(files.GetSize(), 1);
  EXPECT_EQ(files[0], "spot.cur");
}

TEST(RegionResponse, RectangleTakesTheChosenClicksInsideOnly) {
  auto r = Region(RegionFields{});
  EXPECT_TRUE(Click(*r, WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_FALSE(Click(*r, WM_LBUTTONDOWN, MK_LBUTTON, CPoint(50, 50)));
  EXPECT_FALSE(Click(*r, WM_RBUTTONDOWN, MK_RBUTTON));
  EXPECT_FALSE(Click(*r, WM_LBUTTONUP, MK_LBUTTON));
  EXPECT_FALSE(r->OnMouseButton(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(150, 120), 5, nullptr));

  RegionFields right;
  right.mouseFlags = 0x0C;
  EXPECT_TRUE(Click(*Region(right), WM_RBUTTONUP, MK_RBUTTON));

  // The region judges only the left and right buttons.
  RegionFields middle;
  middle.mouseFlags = 0x12;
  auto m = Region(middle);
  EXPECT_FALSE(Click(*m, WM_LBUTTONDOWN, MK_LBUTTON | MK_MBUTTON));
  EXPECT_FALSE(Click(*m, WM_RBUTTONDOWN, MK_RBUTTON | MK_MBUTTON));
}

TEST(RegionResponse, PolygonNeedsThreePoints) {
  RegionFields two;
  two.regionFlags = 0x40;
  two.outline = {{100, 100}, {200, 150}};
  auto line = Region(two);
  for (CPoint p : {CPoint(150, 125), CPoint(100, 100), CPoint(120, 110)}) {
    EXPECT_FALSE(line->ContainsPoint(p.x, p.y));
    EXPECT_FALSE(Click(*line, WM_LBUTTONDOWN, MK_LBUTTON, p));
  }

  RegionFields triangle;
  triangle.regionFlags = 0x40;
  triangle.outline = {{100, 100}, {200, 100}, {100, 150}};
  auto t = Region(triangle);
  EXPECT_TRUE(t->ContainsPoint(110, 110));
  EXPECT_FALSE(t->ContainsPoint(190, 145));  // inside the rectangle, outside the triangle
  EXPECT_TRUE(Click(*t, WM_LBUTTONDOWN, MK_LBUTTON, CPoint(110, 110)));
  EXPECT_FALSE(t->GetRegion(0, 190, 145, nullptr));
  EXPECT_TRUE(line->GetRegion(0, 5, 5, nullptr));  // no polygon: every point counts
}

TEST(RegionResponse, KeyDescriptionFiresWhateverTheMouseDoes) {
  RegionFields f;
  f.key = tvn::testing::KeyFields{0, "Q", {0, 0, 0}};
  auto r = Region(f);
  EXPECT_TRUE(r->OnKey('Q', 0));
  EXPECT_FALSE(r->OnKey('W', 0));
}

TEST(RegionResponse, SettingTheRectangleGivesAnOutlineOnce) {
  CRegionResponse r;
  r.SetRect(CRect(1, 2, 30, 40));
  ASSERT_EQ(r.m_outline.GetPointCount(), 4);
  EXPECT_EQ(r.m_outline.GetPoint(0), CPoint(1, 2));
  EXPECT_EQ(r.m_outline.GetPoint(2), CPoint(30, 40));
  r.SetRect(CRect(5, 5, 6, 6));
  EXPECT_EQ(r.m_outline.GetPointCount(), 4);
  EXPECT_EQ(r.GetBounds(), CRect(5, 5, 6, 6));
}

TEST(RegionResponse, HoverMarksTheAreaAndInvertsWhileShownSo) {
  RegionFields f;
  f.regionFlags = 0x24;
  auto r = Region(f);
  r->OnMouseMove(0, CPoint(150, 120), kInputFromTaskResponses, nullptr);
  EXPECT_EQ(r->m_state, RegionState::kOver | RegionState::kInverted);
  Canvas canvas(300, 200, RGB(255, 255, 255));
  const CRect area(100, 100, 200, 150);
  r->Draw(&canvas.dc, 0, &area);
  EXPECT_EQ(canvas.dc.GetPixel(150, 120), RGB(0, 0, 0));
  EXPECT_EQ(canvas.dc.GetPixel(50, 50), RGB(255, 255, 255));
  r->OnMouseMove(0, CPoint(20, 20), kInputFromTaskResponses, nullptr);
  EXPECT_EQ(r->m_state, 0);
}

namespace {

// Counts the waits of a flash with the area's state during each; never waits.
class CNotingWaiter final : public IAnimationWaiter {
 public:
  int Wait(std::span<CSyncEvent* const>, DWORD ms) override {
    waits.push_back({ms, region && (region->m_state & RegionState::kInverted) != 0});
    return CSyncEvent::kTimeout;
  }
  CRegionResponse* region = nullptr;
  std::vector<std::pair<DWORD, bool>> waits;
};

}  // namespace

TEST(RegionResponse, DrawingCodesInvertRestoreAndFlashAHiddenAreaOnThePage) {
  tvn::testing::FakeTaskServices services;
  tvn::testing::CTestPage page;
  CNotingWaiter waiter;
  page.SetAnimationWaiter(&waiter);
  page.SetRunning(true);
  services.pageOverride = &page;
  CTask task;
  task.SetServices(&services);
  RegionFields f;
  f.regionFlags = 0x24;  // no outline: hidden on the page
  auto owned = Region(f);
  CRegionResponse* r = owned.get();
  task.GetResponses()->AddChild(std::move(owned));
  waiter.region = r;
  ASSERT_TRUE(r->Activate());
  page.ComposeRect(nullptr);
  const auto shown = [&] { return page.GetBufferPixel(150, 120) == RGB(0, 0, 0); };
  EXPECT_FALSE(shown());

  r->Draw(nullptr, CRegionResponse::kDrawInvert, nullptr);
  r->Draw(nullptr, CRegionResponse::kDrawInvert, nullptr);
  EXPECT_TRUE(shown()) << "code 4 twice inverts once";
  page.ComposeRect(nullptr);
  EXPECT_TRUE(shown()) << "composing the page keeps the inversion";
  r->Draw(nullptr, CRegionResponse::kDrawRestore, nullptr);
  EXPECT_FALSE(shown());

  r->Draw(nullptr, CRegionResponse::kDrawInvert, nullptr);
  r->Draw(nullptr, CRegionResponse::kDrawFlashOnce, nullptr);
  EXPECT_EQ(waiter.waits, (std::vector<std::pair<DWORD, bool>>{{300, true}}));
  EXPECT_FALSE(shown());
  waiter.waits.clear();
  r->Draw(nullptr, CRegionResponse::kDrawFlashThrice, nullptr);
  EXPECT_EQ(waiter.waits, (std::vector<std::pair<DWORD, bool>>{
                              {100, true}, {100, false}, {100, true}, {100, false}, {100, true}, {100, false}}));
  EXPECT_FALSE(shown());
  EXPECT_EQ(r->m_state & RegionState::kInverted, 0);

  // Hover: the same inversion while the pointer is over it.
  r->OnMouseMove(0, CPoint(150, 120), kInputFromTaskResponses, nullptr);
  EXPECT_TRUE(shown());
  r->OnMouseMove(0, CPoint(5, 5), kInputFromTaskResponses, nullptr);
  EXPECT_FALSE(shown());
}
