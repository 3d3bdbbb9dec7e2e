// Animation threads on a hand-driven clock: stepping, suspending, resuming and stopping; manual-reset events.
#include "page/animate_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "page/draw_obj.h"
#include "tests/page/page_test_support.h"

using tvn::testing::CColourOwner;
using tvn::testing::CSteppedWaiter;
using tvn::testing::Eventually;

namespace {

class CThreadHost final : public IDrawObjHost {
 public:
  void InvalidateItem(CDrawObj*) override {}
  void RepaintArea(const CRect&) override {}
  CSyncEvent* GetKillEvent() override { return &kill; }
  IAnimationWaiter& GetAnimationWaiter() override { return waiter; }
  CDocument* GetCurrentCourse() override { return nullptr; }
  void AdoptEndingThread(std::unique_ptr<CAnimateThread> thread) override { adopted.push_back(std::move(thread)); }
  CSyncEvent kill;
  CSteppedWaiter waiter;
  std::vector<std::unique_ptr<CAnimateThread>> adopted;  // joined first, while the rest still stands
};

// Moves the clock one interval at a time, each time waiting for the step it causes.
void StepTimes(CThreadHost& host, CColourOwner& owner, int times, DWORD interval) {
  for (int i = 0; i < times; ++i) {
    const long before = owner.steps.load();
    ASSERT_TRUE(host.waiter.WaitUntilWaiting(1));
    host.waiter.Advance(interval);
    ASSERT_TRUE(Eventually([&] { return owner.steps.load() == before + 1; }));
  }
}

}  // namespace

TEST(AnimateThreadTest, StepsOncePerIntervalFromOneIntervalAfterTheStart) {
  CThreadHost host;
  CColourOwner owner("a", 1, CRect(0, 0, 10, 10), 0);
  owner.interval = 100;
  CDrawRect obj(&owner, 0, &host);
  ASSERT_NE(obj.GetAnimateThread(), nullptr);
  EXPECT_EQ(obj.GetAnimateThread()->GetInterval(), 100u);

  ASSERT_TRUE(host.waiter.WaitUntilWaiting(1));
  host.waiter.Advance(99);
  EXPECT_EQ(owner.steps.load(), 0);  // not before a whole interval
  host.waiter.Advance(1);
  ASSERT_TRUE(Eventually([&] { return owner.steps.load() == 1; }));
  StepTimes(host, owner, 9, 100);  // a second of clock: ten steps
  EXPECT_EQ(owner.steps.load(), 10);
}

TEST(AnimateThreadTest, AnOwnerThatFinishesSuspendsTheThreadUntilResumed) {
  CThreadHost host;
  CColourOwner owner("a", 1, CRect(0, 0, 10, 10), 0);
  owner.interval = 50;
  owner.stopAfter = 3;
  CDrawRect obj(&owner, 0, &host);
  StepTimes(host, owner, 3, 50);
  CAnimateThread* thread = obj.GetAnimateThread();
  ASSERT_TRUE(Eventually([&] { return thread->IsSuspended(); }));
  host.waiter.Advance(5000);
  EXPECT_EQ(owner.steps.load(), 3);
  EXPECT_TRUE(thread->IsSuspended());

  owner.stopAfter = 1L << 30;
  obj.ResumeAnimation();
  ASSERT_TRUE(Eventually([&] { return !thread->IsSuspended(); }));
  StepTimes(host, owner, 2, 50);
  EXPECT_EQ(owner.steps.load(), 5);
}

TEST(AnimateThreadTest, KillEndsASuspendedThreadAndTheKillEventEndsEveryThread) {
  CThreadHost host;
  CColourOwner first("a", 1, CRect(), 0), second("b", 1, CRect(), 0), third("c", 1, CRect(), 0);
  first.interval = second.interval = third.interval = 10;
  first.stopAfter = 1;
  CDrawRect a(&first, 0, &host), b(&second, 0, &host), c(&third, 0, &host);
  ASSERT_TRUE(host.waiter.WaitUntilWaiting(3));
  host.waiter.Advance(10);
  ASSERT_TRUE(Eventually([&] { return a.GetAnimateThread()->IsSuspended(); }));
  a.KillThread(TRUE);
  EXPECT_EQ(a.GetAnimateThread(), nullptr);

  host.kill.Set();
  ASSERT_TRUE(Eventually([&] { return b.GetAnimateThread()->HasEnded() && c.GetAnimateThread()->HasEnded(); }));
}

TEST(AnimateThreadTest, OwnersThatDoNotAnimateGetNoThread) {
  CThreadHost host;
  CColourOwner still("s", 1, CRect(), 0);
  CDrawRect obj(&still, 0, &host);
  EXPECT_EQ(obj.GetAnimateThread(), nullptr);
  obj.ResumeAnimation();  // harmless without one
}

TEST(SyncEventTest, ManualResetEventsStaySetAndWakeAWaitOverSeveral) {
  CSyncEvent a, b;
  CSyncEvent* both[] = {&a, &b};
  EXPECT_EQ(CSyncEvent::WaitForAny(both, 0), CSyncEvent::kTimeout);
  std::thread setter([&] { b.Set(); });
  EXPECT_EQ(CSyncEvent::WaitForAny(both, std::nullopt), 1);
  setter.join();
  EXPECT_TRUE(b.Wait(0));  // still set: manual reset
  EXPECT_TRUE(b.Wait());
  b.Reset();
  EXPECT_FALSE(b.IsSet());
  a.Set();
  EXPECT_EQ(CSyncEvent::WaitForAny(both, 0), 0);
}
