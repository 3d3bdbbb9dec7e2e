// Moves on a real page with a hand-driven clock: the four types, pacing, repeats, the wait, and removal under a moving thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "behaviour/move_action.h"
#include "platform/msg/clock.h"
#include "platform/msg/event_source.h"
#include "platform/user/message_loop.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/page/page_test_support.h"

using namespace tvn::testing;

namespace {

// A page that keeps the notices posted to it.
class CNoticePage : public CTestPage {
 public:
  void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    notices.push_back({message, wParam, lParam});
  }
  struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Notice> notices;
};

// Waiting lets the hand-driven clock run on by the time waited.
class CClockDrivenSource final : public IEventSource {
 public:
  explicit CClockDrivenSource(CManualClock& clock) : m_clock(clock) {}
  void Poll() override {}
  void Wait(std::optional<DWORD> maxMs) override { m_clock.Advance(maxMs ? *maxMs : 10); }
  void Wake() override {}

 private:
  CManualClock& m_clock;
};

CourseBuilder::Writer Move(MoveFields move, const char* name = "move") {
  return [=](CourseBuilder& b) { b.MoveAction(IconFields{4, name, "", 3}, move, DisplayFields{}); };
}

MoveFields Along(std::uint8_t type, std::uint32_t flags, PathFields path, std::int32_t time = 100) {
  MoveFields m;
  m.type = type;
  m.flags = flags;
  m.objectName = "target";
  m.path = std::move(path);
  m.time = time;
  return m;
}

PathFields Line(int x1, int y1, int x2, int y2) { return PathFields{{{x1, y1}, {x2, y2}}, {}}; }

class MoveActionTest : public ::testing::Test {
 protected:
  MoveActionTest() {
    services.pageOverride = &page;
    page.SetClock(&clock);
    target = std::make_unique<CColourOwner>("target", 5, CRect(0, 0, 10, 10), RGB(0, 0, 255));
    page.AddObject(target.get(), 0);
  }
  CMoveAction* Load(std::vector<CourseBuilder::Writer> writers) {
    task = TaskWithActions(services, writers);
    EXPECT_TRUE(task);
    return ActionOf<CMoveAction>(*task);
  }
  // Animation passes, 20 ms apart, until the move stops or the passes run out.
  int Drive(CMoveAction* move, int passes = 2000) {
    int n = 0;
    for (; n < passes && move->GetAnimState(); ++n) {
      clock.Advance(20);
      page.AnimateObjects();
    }
    return n;
  }
  CRect TargetRect() { return *page.FindDisplayItem(target.get())->GetRect(); }
  int MoveNotices() {
    int n = 0;
    for (const auto& notice : page.notices) n += notice.message == 953 && notice.wParam == 1035 && notice.lParam == 0;
    return n;
  }

  CManualClock clock{5000};
  CNoticePage page;
  FakeTaskServices services;
  std::unique_ptr<CColourOwner> target;
  std::unique_ptr<CTask> task;
};

}  // namespace

TEST_F(MoveActionTest, StartsAlongThePathAndReadsItsFieldsInStoredOrder) {
  CMoveAction fresh;
  EXPECT_EQ(fresh.GetMoveType(), MoveType::kPath);
  EXPECT_EQ(fresh.GetMoveFlags(), 0x200000u);
  EXPECT_EQ(fresh.Time().GetLiteral(), 500);
  EXPECT_EQ(fresh.GetRepeatCount(), 1);
  EXPECT_EQ(fresh.GetLayer(), 2);
  EXPECT_EQ(fresh.GetTypeFlags(), 68);
  EXPECT_EQ(fresh.IsAnimated(), FALSE);

  MoveFields m = Along(MoveType::kValue, 0x400020, PathFields{{{0, 0}, {50, 0}, {60, 10}, {100, 0}}, {2, 4, 4, 2}}, 7);
  m.repeat = 4;
  m.a = 11;
  m.b = 22;
  m.cVar = 99;
  auto* move = Load({Move(m)});
  ASSERT_TRUE(move);
  EXPECT_EQ(move->GetMoveType(), MoveType::kValue);
  EXPECT_EQ(move->GetMoveFlags(), 0x400020u);
  EXPECT_EQ(move->GetObjectName(), CString("target"));
  EXPECT_EQ(move->GetRepeatCount(), 4);
  EXPECT_EQ(move->Time().GetLiteral(), 7);
  EXPECT_EQ(move->GetPathObject()->GetPointCount(), 4);
  EXPECT_EQ(move->GetPathObject()->GetPointType(1), CPolyline::kCurvePoint);
  EXPECT_EQ(move->ValueA().GetLiteral(), 11);
  EXPECT_EQ(move->ValueB().GetLiteral(), 22);
  EXPECT_EQ(move->ValueC().GetVariableId(), 99);
  EXPECT_EQ(move->IsAnimated(), 10) << "a move on its own thread steps every 10 ms";
  CMoveAction copy;
  copy.SetObjectName("mine");
  move->SetObjectName("");
  copy.CopyFrom(move, TRUE);
  EXPECT_EQ(copy.GetObjectName(), CString("mine")) << "an empty name is not copied over an identity";
  EXPECT_EQ(copy.GetRepeatCount(), 4);
}

TEST_F(MoveActionTest, AStraightMoveWithoutTimeJumpsAndTellsTheViewOnce) {
  MoveFields m = Along(MoveType::kStraight, 0x8020, {}, 0);
  m.a = 30;
  m.c = 40;
  auto* move = Load({Move(m)});
  EXPECT_TRUE(move->Execute());
  EXPECT_TRUE(move->GetAnimState());
  CDrawObj* own = page.FindDisplayItem(move);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->GetFlags(), 0x602u) << "the path object is never painted";
  EXPECT_FALSE(move->Animate(TargetRect(), FALSE));
  EXPECT_EQ(TargetRect().TopLeft(), CPoint(30, 40));
  EXPECT_FALSE(move->GetAnimState());
  EXPECT_EQ(MoveNotices(), 1);
  page.AnimateObjects();
  EXPECT_EQ(MoveNotices(), 1);

  // A destination equal to the start point posts at once, from Execute.
  EXPECT_TRUE(move->Execute());
  EXPECT_FALSE(move->GetAnimState());
  EXPECT_EQ(MoveNotices(), 2);
}

TEST_F(MoveActionTest, APacedStraightMoveArrivesAndAnUnknownNameMovesNothing) {
  MoveFields m = Along(MoveType::kStraight, 0x100000, {}, 50);  // half a second, by the centre
  m.a = 105;
  m.c = 5;
  MoveFields lost = m;
  lost.objectName = "nobody";
  auto* move = Load({Move(m), Move(lost, "lost")});
  move->Execute();
  const int passes = Drive(move);
  EXPECT_FALSE(move->GetAnimState());
  EXPECT_EQ(TargetRect(), CRect(100, 0, 110, 10));
  EXPECT_GT(passes, 5) << "paced over the time, not in one jump";
  EXPECT_LT(passes, 60);
  auto* none = ActionOf<CMoveAction>(*task, 1);
  EXPECT_TRUE(none->Execute());
  EXPECT_FALSE(none->GetAnimState());
  EXPECT_TRUE(page.FindDisplayItem(none)) << "the path object goes on the page all the same";
}

TEST_F(MoveActionTest, AValueMoveWalksItsShareOfThePath) {
  MoveFields half = Along(MoveType::kValue, 0x100000, Line(0, 0, 0, 100));
  half.a = 0;
  half.b = 100;
  half.c = 50;
  auto* move = Load({Move(half)});
  move->Execute();
  Drive(move);
  EXPECT_FALSE(move->GetAnimState());
  EXPECT_EQ(TargetRect().CenterPoint(), CPoint(0, 50));

  target->m_bounds = CRect(200, 200, 210, 210);
  page.FindDisplayItem(target.get())->SetRect(CRect(200, 200, 210, 210));
  half.c = -1;
  auto* below = Load({Move(half)});
  below->Execute();
  Drive(below);
  EXPECT_FALSE(below->GetAnimState());
  EXPECT_EQ(TargetRect(), CRect(200, 200, 210, 210)) << "a value below the start walks nothing";

  half.time = 0;
  half.c = 25;
  half.flags |= 0x20;
  auto* jump = Load({Move(half)});
  jump->Execute();
  EXPECT_FALSE(jump->Animate(TargetRect(), FALSE));
  EXPECT_EQ(TargetRect().CenterPoint(), CPoint(0, 25));
  EXPECT_EQ(MoveNotices(), 1);
}

TEST_F(MoveActionTest, LimitedRepeatsStopAfterTheCountAndUnlimitedOnesStartOverAtThePathStart) {
  MoveFields three = Along(MoveType::kPath, 0x100000 | 0x8000, Line(0, 0, 100, 0), 20);
  three.repeat = 3;
  auto* move = Load({Move(three)});
  move->Execute();
  Drive(move);
  EXPECT_EQ(move->GetRunsDone(), 3);
  EXPECT_EQ(TargetRect().TopLeft(), CPoint(100, 0));

  auto* endless = Load({Move(Along(MoveType::kPath, 0x8000, Line(0, 0, 100, 0), 20))});
  endless->Execute();
  int passes = 0;
  while (endless->GetRunsDone() < 1 && passes++ < 500) {
    clock.Advance(20);
    page.AnimateObjects();
  }
  EXPECT_TRUE(endless->GetAnimState());
  clock.Advance(20);
  page.AnimateObjects();
  EXPECT_LE(TargetRect().left, 1) << "the next run begins at the path's start";
  EXPECT_TRUE(endless->GetAnimState());
}

TEST_F(MoveActionTest, APointByPointMoveVisitsEachPointInTurn) {
  auto* move = Load({Move(Along(MoveType::kPoints, 0x100000 | 0x8000,
                                PathFields{{{10, 10}, {50, 10}, {50, 60}}, {}}, 30))});
  move->Execute();
  std::vector<CPoint> seen;
  for (int i = 0; i < 200 && move->GetAnimState(); ++i) {
    clock.Advance(20);
    page.AnimateObjects();
    if (seen.empty() || seen.back() != TargetRect().TopLeft()) seen.push_back(TargetRect().TopLeft());
  }
  EXPECT_EQ(seen, (std::vector<CPoint>{{10, 10}, {50, 10}, {50, 60}}));
  auto* still = Load({Move(Along(MoveType::kPoints, 0x100000, PathFields{{{10, 10}, {50, 10}}, {}}, 0))});
  still->Execute();
  EXPECT_FALSE(still->GetAnimState()) << "no time: the point move never starts";
}

TEST_F(MoveActionTest, TheWaitDrivesTheMoveAndEscapeOrTheQuitEndsOnlyTheWait) {
  CMessageLoop loop(clock);
  loop.SetEventSource(std::make_unique<CClockDrivenSource>(clock));
  page.SetRunning(true);
  MoveFields wait = Along(MoveType::kPath, 0x1 | 0x100000 | 0x8000 | 0x20, Line(0, 0, 100, 0), 50);
  auto* move = Load({Move(wait)});
  EXPECT_TRUE(move->Execute());
  EXPECT_FALSE(move->GetAnimState()) << "the action list waited for the end";
  EXPECT_EQ(TargetRect().TopLeft(), CPoint(100, 0));
  EXPECT_EQ(MoveNotices(), 1);

  wait.path = Line(100, 0, 0, 0);
  auto* escaped = Load({Move(wait)});
  loop.PostMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(escaped->Execute());
  EXPECT_TRUE(escaped->GetAnimState()) << "the move goes on";
  MSG msg;
  EXPECT_FALSE(loop.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) << "the key was taken, not passed on";
  Drive(escaped);
  EXPECT_EQ(TargetRect().TopLeft(), CPoint(0, 0));

  wait.path = Line(0, 0, 100, 0);
  auto* quitted = Load({Move(wait)});
  loop.PostQuitMessage(0);
  EXPECT_TRUE(quitted->Execute());
  EXPECT_TRUE(quitted->GetAnimState()) << "the quit ended the wait, not the move";
  EXPECT_TRUE(loop.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT) << "the quit is left for the run loop";
  Drive(quitted);

  page.SetRunning(false);
  auto* stopped = Load({Move(wait)});
  EXPECT_TRUE(stopped->Execute()) << "a view that does not run ends the wait at once";
}

TEST_F(MoveActionTest, RemovingTheMovedObjectWhileItsThreadStepsStopsTheMove) {
  // No time: every 10 ms step of the thread moves the object on by 10.
  MoveFields m = Along(MoveType::kPath, 0x400000, Line(0, 0, 100000, 0), 0);
  auto* move = Load({Move(m)});
  move->Execute();
  CDrawObj* own = page.FindDisplayItem(move);
  ASSERT_TRUE(own && own->GetAnimateThread());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (own->GetAnimateThread()->GetStepCount() < 5 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_GE(own->GetAnimateThread()->GetStepCount(), 5);
  EXPECT_FALSE(move->Animate(TargetRect(), FALSE)) << "the page's own pass leaves a threaded move alone";

  page.RemoveObject(target.get(), TRUE);
  EXPECT_FALSE(move->GetAnimState());
  EXPECT_EQ(move->GetMovedObject(), nullptr);

  // Started again on a new object: KillMoveThread stops it and joins its thread.
  auto other = std::make_unique<CColourOwner>("target", 5, CRect(0, 0, 10, 10), RGB(0, 255, 0));
  page.AddObject(other.get(), 0);
  move->Execute();
  ASSERT_TRUE(own->GetAnimateThread()) << "a killed thread is replaced when the move runs again";
  EXPECT_TRUE(move->GetAnimState());
  page.KillMoveThread(page.FindDisplayItem(other.get()));
  EXPECT_FALSE(move->GetAnimState());
  EXPECT_EQ(own->GetAnimateThread(), nullptr);
  page.RemoveObject(move, TRUE);
  page.RemoveObject(other.get(), TRUE);
}

TEST_F(MoveActionTest, OnlyAClosedPathAnswersForItsInside) {
  auto* move = Load({Move(Along(MoveType::kPath, 0, PathFields{{{0, 0}, {100, 0}, {0, 100}}, {}})),
                     Move(Along(MoveType::kStraight, 0, PathFields{{{0, 0}, {100, 0}, {0, 100}}, {}}))});
  EXPECT_TRUE(move->GetRegion(0, 10, 10, nullptr));
  EXPECT_FALSE(move->GetRegion(0, 90, 90, nullptr));
  EXPECT_FALSE(ActionOf<CMoveAction>(*task, 1)->GetRegion(0, 10, 10, nullptr));
}
