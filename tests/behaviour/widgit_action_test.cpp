// Widgets on a real page with a hand-driven clock: frame order, cycle limits, single frames, zero intervals and missing pictures.
#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/widgit_action.h"
#include "platform/msg/clock.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

// Frames of 8 x 8 side by side, one colour each (0xRRGGBB).
std::string WriteStrip(const TempDir& dir, const char* name, const std::vector<std::uint32_t>& colours) {
  BmpFile f;
  f.width = 8 * static_cast<int>(colours.size());
  f.height = 8;
  std::vector<std::uint32_t> row;
  for (std::uint32_t c : colours) row.insert(row.end(), 8, c);
  f.pixels = PackRows(std::vector<std::vector<std::uint32_t>>(8, row), 24);
  const auto path = dir / name;
  const auto bytes = f.Bytes();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path.string();
}

ImageFields Picture(const std::string& file) {
  ImageFields image;
  image.fileName = file;
  return image;
}

class WidgitActionTest : public ::testing::Test {
 protected:
  WidgitActionTest() {
    services.pageOverride = &page;
    page.SetClock(&clock);
  }
  CWidgitAction* Run(const WidgitFields& fields) {
    task = TaskWithActions(services, {[=](CourseBuilder& b) {
      DisplayFields d;
      d.rect = {20, 20, 28, 28};
      d.layer = 4;
      b.WidgitAction(IconFields{4, "spinner", "", 3}, fields, d);
    }});
    EXPECT_TRUE(task);
    auto* action = ActionOf<CWidgitAction>(*task);
    EXPECT_TRUE(action->Execute());
    page.FlushInvalidRects();
    return action;
  }
  COLORREF Shown() { return page.GetBufferPixel(24, 24); }
  // One animation pass a full interval later; the colour it leaves on the page.
  COLORREF Step(DWORD ms = 100) {
    clock.Advance(ms);
    page.AnimateObjects();
    page.FlushInvalidRects();
    return Shown();
  }

  CManualClock clock{100000};
  CTestPage page;
  FakeTaskServices services;
  TempDir dir;
  std::unique_ptr<CTask> task;
};

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0), kCyan = RGB(0, 255, 255);

}  // namespace

TEST(WidgitAction, StartsLoopingEveryHalfSecondOnLayerFour) {
  CWidgitAction w;
  EXPECT_EQ(w.GetWidgitFlags(), 1u);
  EXPECT_EQ(w.GetCycleLimit(), 1);
  EXPECT_EQ(w.Interval().GetLiteral(), 50);
  EXPECT_EQ(w.GetLayer(), 4);
  EXPECT_EQ(w.GetTypeFlags(), 322);
  EXPECT_FALSE(w.GetAnimState());
  CWidgit one;
  EXPECT_TRUE(one.Image().flags & ImageFlag::kTopLeftKey);
  one.SetFrameCount(0);
  EXPECT_EQ(one.GetFrameCount(), 1) << "no frames count as one";
  one.SetFrameCount(-3);
  EXPECT_EQ(one.GetFrameCount(), 1);
}

TEST_F(WidgitActionTest, FramesFollowInOrderForTheCycleLimitThenTheFirstFrameStays) {
  WidgitFields f;
  f.flags = 0x2 | 0x1;
  f.cycleLimit = 2;
  f.interval = 10;
  f.widgets = {{Picture(WriteStrip(dir, "A.BMP", {0xFF0000, 0x00FF00, 0x0000FF})), 3},
               {Picture(WriteStrip(dir, "B.BMP", {0xFFFF00, 0x00FFFF})), 2}};
  auto* w = Run(f);
  EXPECT_EQ(w->Widgets().GetTotalFrames(), 5);
  EXPECT_EQ(Shown(), kRed);
  EXPECT_EQ(Step(), kGreen) << "the first step comes at the first pass";
  EXPECT_EQ(Step(50), kGreen);
  std::vector<COLORREF> seen;
  for (int i = 0; i < 12; ++i) seen.push_back(Step());
  const std::vector<COLORREF> expected = {kBlue, kYellow, kCyan, kRed, kGreen, kBlue,
                                          kYellow, kCyan, kRed, kRed, kRed, kRed};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(w->GetCyclesDone(), 2);
  EXPECT_FALSE(w->GetAnimState());

  // The first frame steps on at the first pass; then the interval, across the clock's wrap.
  clock.Set(0xFFFFFFF0u);
  auto* wrapped = Run(f);
  EXPECT_EQ(Step(5), kGreen);
  EXPECT_EQ(Step(50), kGreen) << "not due yet";
  EXPECT_EQ(Step(50), kBlue) << "due times compare by difference across the wrap";
  EXPECT_TRUE(wrapped->GetAnimState());
  CStringArray files;
  EXPECT_TRUE(wrapped->CollectFiles(&files, 0));
  EXPECT_EQ(files.GetSize(), 2);
}

TEST_F(WidgitActionTest, OneFrameOrNoIntervalNeverAnimatesAndAMissingPictureAddsNothing) {
  WidgitFields single;
  single.widgets = {{Picture(WriteStrip(dir, "ONE.BMP", {0x0000FF})), 1}};
  auto* w = Run(single);
  EXPECT_FALSE(w->GetAnimState());
  EXPECT_EQ(Shown(), kBlue);

  WidgitFields still;
  still.interval = 0;
  still.widgets = {{Picture(WriteStrip(dir, "TWO.BMP", {0x00FF00, 0xFF0000})), 2}};
  w = Run(still);
  EXPECT_FALSE(w->GetAnimState());
  EXPECT_EQ(Step(), kGreen) << "only the first frame shows";

  WidgitFields missing;
  missing.interval = 10;
  missing.widgets = {{Picture((dir / "NONE.BMP").string()), 4},
                     {Picture(WriteStrip(dir, "THREE.BMP", {0xFFFF00, 0x00FFFF})), 2}};
  w = Run(missing);
  EXPECT_EQ(w->Widgets().GetTotalFrames(), 2);
  EXPECT_FALSE(w->Widgets().GetAt(0)->IsLoaded());
  EXPECT_EQ(Shown(), CTestPage::kBackground) << "the broken picture is skipped when drawn";
  EXPECT_EQ(Step(), CTestPage::kBackground) << "its frames step it on";
  EXPECT_EQ(Step(), CTestPage::kBackground);
  EXPECT_EQ(Step(), CTestPage::kBackground);
  EXPECT_EQ(Step(), kYellow);
  EXPECT_EQ(Step(), kCyan);
}

TEST_F(WidgitActionTest, ACallerClockedWidgetStepsOnItsThreadOnly) {
  WidgitFields f;
  f.flags = 0x400000 | 0x2;
  f.cycleLimit = 1;
  f.interval = 1;
  f.widgets = {{Picture(WriteStrip(dir, "T.BMP", {0xFF0000, 0x00FF00, 0x0000FF})), 3}};
  auto* w = Run(f);
  EXPECT_EQ(w->IsAnimated(), 10);
  CDrawObj* obj = page.FindDisplayItem(w);
  ASSERT_TRUE(obj && obj->GetAnimateThread());
  EXPECT_EQ(w->Animate(*obj->GetRect(), FALSE), 0) << "the page's own pass leaves it alone";
  // The thread runs its one cycle and stops; wait for it with a generous bound.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (w->GetAnimState() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_FALSE(w->GetAnimState());
  EXPECT_EQ(w->GetCyclesDone(), 1);
  page.RemoveObject(w, TRUE);
  EXPECT_FALSE(page.FindDisplayItem(w));
}
