// The pixel transition routines: end states, pacing and their pinned edges.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "page/effect_host.h"
#include "tests/page/transition_scene.h"

namespace tvn::testing {
namespace {

using Routine = bool (*)(const TransitionInput&, int);

struct Variants {
  const char* name;
  Routine run;
  std::vector<int> variants;
};

const Variants kAll[] = {
    {"wipe", transitions::BlockWipe, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    {"blend", transitions::Blend, {0}},
    {"push", transitions::Push, {0, 1, 2, 3}},
    {"zoom", transitions::Zoom, {0, 1, 2, 3, 4, 5}},
};

TEST(Transitions, EveryVariantEndsWithTheAreaShowingTheBackBufferAndNothingElseChanged) {
  const CRect areas[] = {{5, 3, 15, 10}, {2, 1, 15, 32}, {3, 4, 40, 13}, {7, 7, 31, 31}, {1, 2, 10, 11},
                         {0, 0, 64, 56}, {4, 5, 25, 45}, {9, 9, 12, 12}, {6, 2, 7, 20}, {10, 10, 34, 19}};
  const int blocks[] = {0, 1, 2, 3, 4, 5, 7, 8, 16, 40};
  for (const Variants& family : kAll)
    for (int variant : family.variants)
      for (const CRect& area : areas)
        for (int block : blocks) {
          Scene scene(area, block);
          EXPECT_TRUE(family.run(scene.in, variant));
          const std::string wrong = scene.FirstWrongPixel();
          EXPECT_EQ(wrong, "") << family.name << " variant " << variant << " block " << block << " area "
                               << area.left << "," << area.top << "," << area.right << "," << area.bottom;
        }
}

TEST(Transitions, UnknownVariantsDrawNothing) {
  const std::pair<Routine, int> unknown[] = {{transitions::BlockWipe, 0}, {transitions::BlockWipe, 16},
                                             {transitions::Blend, 1},     {transitions::Push, 4},
                                             {transitions::Zoom, 6},      {transitions::Zoom, -1}};
  for (const auto& [run, variant] : unknown) {
    Scene scene(CRect(2, 2, 20, 20), 4);
    EXPECT_TRUE(run(scene.in, variant));
    EXPECT_EQ(scene.window.At(2, 2), OldPixel(2, 2)) << "variant " << variant;
    EXPECT_EQ(scene.steps.waits, 0);
  }
}

TEST(Transitions, ColumnsFromTheLeftCopyWholeBlocksThenTheRemainder) {
  Scene scene(CRect(3, 2, 13, 9), 4);
  std::vector<std::string> seen;
  scene.steps.afterStep = [&](int) { seen.push_back(scene.NewColumns()); };
  EXPECT_TRUE(transitions::BlockWipe(scene.in, 1));
  EXPECT_EQ(seen, (std::vector<std::string>{"####......", "########.."}));
  EXPECT_EQ(scene.NewColumns(), "##########");
}

TEST(Transitions, ColumnsFromTheRightEndWithTheRemainderAtTheLeft) {
  Scene scene(CRect(3, 2, 13, 9), 4);
  std::vector<std::string> seen;
  scene.steps.afterStep = [&](int) { seen.push_back(scene.NewColumns()); };
  EXPECT_TRUE(transitions::BlockWipe(scene.in, 2));
  EXPECT_EQ(seen, (std::vector<std::string>{"......####", "..########"}));
  EXPECT_EQ(scene.FirstWrongPixel(), "");
}

TEST(Transitions, NoBlockOrAnAreaNarrowerThanABlockFinishesInOneStep) {
  // Both sides to the centre divides by the number of whole blocks across.
  const std::pair<Routine, int> cases[] = {{transitions::BlockWipe, 5}, {transitions::BlockWipe, 9},
                                           {transitions::BlockWipe, 15}, {transitions::Push, 1},
                                           {transitions::Zoom, 0},       {transitions::Zoom, 5}};
  for (const auto& [run, variant] : cases) {
    for (const auto& [area, block] : {std::pair{CRect(4, 4, 7, 30), 4}, std::pair{CRect(4, 4, 30, 30), 0}}) {
      Scene scene(area, block);
      EXPECT_TRUE(run(scene.in, variant));
      EXPECT_EQ(scene.steps.waits, 0) << "variant " << variant << " block " << block;
      EXPECT_EQ(scene.FirstWrongPixel(), "") << "variant " << variant << " block " << block;
    }
  }
}

TEST(Transitions, AStopLeavesTheAreaPartWayAndReportsIt) {
  Scene scene(CRect(0, 0, 40, 10), 4);
  scene.steps.stopAt = 2;
  EXPECT_FALSE(transitions::BlockWipe(scene.in, 1));
  EXPECT_EQ(scene.NewColumns(), std::string(8, '#') + std::string(32, '.'));
}

TEST(Transitions, RandomBlocksPauseOncePerRowOfCellsAndCanBeStopped) {
  Scene scene(CRect(0, 0, 40, 24), 8);  // a grid of 6 x 4 cells
  EXPECT_TRUE(transitions::BlockWipe(scene.in, 15));
  EXPECT_EQ(scene.steps.waits, 4);
  Scene stopped(CRect(0, 0, 40, 24), 8);
  stopped.steps.stopAt = 1;
  EXPECT_FALSE(transitions::BlockWipe(stopped.in, 15));
  EXPECT_NE(stopped.FirstWrongPixel(), "");
}

TEST(Transitions, BlindsPaceByTenTimesTheDelayKeptInAByte) {
  EXPECT_EQ(transitions::BlindsDelay(30), 44);
  EXPECT_EQ(transitions::BlindsDelay(5), 50);
  EXPECT_EQ(transitions::BlindsDelay(0), 0);
  Scene scene(CRect(0, 0, 45, 12), 4);
  scene.in.delay = 30;
  EXPECT_TRUE(transitions::BlockWipe(scene.in, 9));
  EXPECT_EQ(scene.steps.lastDelay, 44);
  EXPECT_EQ(scene.steps.waits, 6);  // s = 0, 4, ..., 20 over slats 20 wide
}

TEST(Transitions, BlendStepsDependOnTheBlockSize) {
  const std::pair<int, int> cases[] = {{0, 32}, {1, 32}, {2, 16}, {3, 10}, {8, 4}, {16, 4}, {40, 4}};
  for (const auto& [block, steps] : cases) {
    Scene scene(CRect(1, 1, 9, 9), block);
    EXPECT_TRUE(transitions::Blend(scene.in, 0));
    EXPECT_EQ(scene.steps.waits, steps) << "block " << block;
    EXPECT_EQ(scene.FirstWrongPixel(), "") << "block " << block;
  }
}

TEST(Transitions, BlendMovesEveryChannelPartWayAtEachStep) {
  Scene scene(CRect(0, 0, 1, 1), 8);  // four steps of 32/128
  std::vector<COLORREF> seen;
  scene.steps.afterStep = [&](int) { seen.push_back(scene.window.At(0, 0)); };
  transitions::Blend(scene.in, 0);
  // Old (0, 0, 10), new (200, 190, 200): each channel gets (new - old) x t >> 7.
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], RGB(50, 47, 57));
  EXPECT_EQ(seen[1], RGB(100, 95, 105));
  EXPECT_EQ(seen[3], RGB(200, 190, 200));
}

// One colour byte of a blend step: ((new - old) x weight) >> 7 added to the old.
COLORREF BlendStepPixel(COLORREF from, COLORREF to, int weight) {
  COLORREF out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFFu), b = static_cast<int>((to >> shift) & 0xFFu);
    out |= static_cast<COLORREF>(a + (((b - a) * weight) >> 7)) << shift;
  }
  return out;
}

TEST(Transitions, BlendStepsAreTheSameThroughEveryKindOfWindowContext) {
  // The window scrolled, clipped with a hole, or mapping 1:1 (which copies through a stretch).
  struct Window {
    const char* name;
    CPoint viewport;
    CRect hole;  // logical, empty for none
    bool mapped;
  };
  const Window windows[] = {{"plain", {0, 0}, {}, false},
                            {"scrolled with a hole", {3, -2}, {9, 8, 14, 20}, false},
                            {"mapped", {0, 0}, {}, true}};
  const CRect area(5, 4, 28, 31);
  for (const Window& w : windows) {
    Scene scene(area, 8);  // four steps: 32, 64, 96 and 128 128ths
    CDC& dc = scene.window.dc;
    if (w.mapped) {
      dc.SetMapMode(MM_ANISOTROPIC);
      dc.SetWindowExt(7, 7);
      dc.SetViewportExt(7, 7);
    }
    dc.SetViewportOrg(w.viewport);
    if (!w.hole.IsRectEmpty()) dc.ExcludeClipRect(w.hole);
    int wrong = 0;
    scene.steps.afterStep = [&](int step) {
      for (int y = 0; y < Scene::kHeight; ++y)
        for (int x = 0; x < Scene::kWidth; ++x) {
          const CPoint logical(x - w.viewport.x, y - w.viewport.y);
          const bool drawn = area.PtInRect(logical) && !w.hole.PtInRect(logical);
          const COLORREF want =
              drawn ? BlendStepPixel(OldPixel(x, y), NewPixel(logical.x, logical.y), 32 * step) : OldPixel(x, y);
          if (scene.window.At(x, y) != want && ++wrong == 1)
            ADD_FAILURE() << w.name << " step " << step << " at " << x << "," << y;
        }
    };
    EXPECT_TRUE(transitions::Blend(scene.in, 0));
    EXPECT_EQ(scene.steps.waits, 4) << w.name;
  }
}

TEST(Transitions, MaskRevealsByBlueValueLowestFirst) {
  Scene scene(CRect(2, 2, 8, 4), 2);
  // A 3 x 1 mask stretched over 6 x 2: blue values 90, 30, 200 left to right.
  CBitmap mask;
  const DWORD bits[3] = {gdi::ColorToPixel(RGB(0, 0, 90)), gdi::ColorToPixel(RGB(9, 9, 30)),
                         gdi::ColorToPixel(RGB(0, 0, 200))};
  mask.CreateBitmap(3, 1, 1, 32, bits);
  std::vector<std::string> seen;
  scene.steps.afterStep = [&](int) { seen.push_back(scene.NewColumns()); };
  EXPECT_TRUE(transitions::MaskReveal(scene.in, mask));
  EXPECT_EQ(seen, (std::vector<std::string>{"..##..", "####..", "######"}));
  EXPECT_EQ(scene.FirstWrongPixel(), "");
}

TEST(Transitions, PushScrollsTheOldImageAlong) {
  Scene scene(CRect(0, 0, 8, 2), 2);
  std::vector<COLORREF> rightEdge;
  scene.steps.afterStep = [&](int) { rightEdge.push_back(scene.window.At(7, 0)); };
  EXPECT_TRUE(transitions::Push(scene.in, 0));
  // The old pixel at x = 5 has been pushed to the right edge after one step.
  ASSERT_FALSE(rightEdge.empty());
  EXPECT_EQ(rightEdge[0], OldPixel(5, 0));
  EXPECT_EQ(scene.window.At(0, 0), NewPixel(0, 0));
  EXPECT_EQ(scene.FirstWrongPixel(), "");
}

}  // namespace
}  // namespace tvn::testing

namespace tvn::testing {
namespace {

struct MovingObject : IEffectDrawObject {
  CRect bounds;
  std::vector<CPoint> moves;
  explicit MovingObject(CRect r) : bounds(r) {}
  const CEffectData* GetOwnerEffect() const override { return nullptr; }
  CRect GetBounds() const override { return bounds; }
  void MoveTo(CPoint p) override {
    moves.push_back(p);
    bounds = CRect(p, bounds.Size());
  }
};

TEST(Transitions, SlideFromTheLeftStartsOffThePageAndMovesByBlocks) {
  MovingObject object(CRect(100, 20, 150, 40));
  Scene scene(CRect(100, 20, 150, 40), 40);
  scene.in.drawObject = &object;
  scene.in.backBuffer = CSize(640, 480);
  EXPECT_TRUE(transitions::Slide(scene.in, 0));
  // 150 to go in steps of 40: -50, -10, 30, 70, then the last 30 to the target.
  EXPECT_EQ(object.moves, (std::vector<CPoint>{{-50, 20}, {-10, 20}, {30, 20}, {70, 20}, {100, 20}}));
  EXPECT_EQ(scene.steps.waits, 4);
}

TEST(Transitions, SlideStartsFromEachSideAndCorner) {
  const CPoint starts[] = {{-50, 20}, {640, 20}, {100, -20}, {100, 480}, {-50, -20}, {640, -20}, {-50, 480}, {640, 480}};
  for (int variant = 0; variant < 8; ++variant) {
    MovingObject object(CRect(100, 20, 150, 40));
    Scene scene(object.bounds, 7);
    scene.in.drawObject = &object;
    scene.in.backBuffer = CSize(640, 480);
    EXPECT_TRUE(transitions::Slide(scene.in, variant));
    ASSERT_GE(object.moves.size(), 2u);
    EXPECT_EQ(object.moves.front(), starts[variant]) << "variant " << variant;
    EXPECT_EQ(object.moves.back(), CPoint(100, 20)) << "variant " << variant;
  }
}

TEST(Transitions, SlideStoppedEarlyPutsTheObjectInPlaceUnlessKilled) {
  for (bool killed : {false, true}) {
    MovingObject object(CRect(100, 20, 150, 40));
    Scene scene(object.bounds, 10);
    scene.in.drawObject = &object;
    scene.steps.stopAt = 2;
    scene.steps.killed = killed;
    EXPECT_FALSE(transitions::Slide(scene.in, 0));
    EXPECT_EQ(object.bounds.TopLeft() == CPoint(100, 20), !killed);
  }
}

TEST(Transitions, SlideWithoutABlockOrAnObject) {
  MovingObject object(CRect(100, 20, 150, 40));
  Scene scene(object.bounds, 0);
  scene.in.drawObject = &object;
  EXPECT_TRUE(transitions::Slide(scene.in, 1));
  // No block to step by: the object simply stays where the page put it.
  EXPECT_TRUE(object.moves.empty());
  EXPECT_EQ(scene.steps.waits, 0);
  scene.in.drawObject = nullptr;
  EXPECT_TRUE(transitions::Slide(scene.in, 1));
}

}  // namespace
}  // namespace tvn::testing
