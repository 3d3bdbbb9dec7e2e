// The page: composing by layer, dirty rectangles, adding and removing objects, input routing and animation.
#include "page/off_screen_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <functional>

#include "tests/page/page_test_support.h"
#include "tests/platform/user/window_test_support.h"

using tvn::testing::CColourOwner;
using tvn::testing::CSteppedWaiter;
using tvn::testing::Eventually;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPage = RGB(250, 250, 240);

// A page without a window that records what it composes and copies.
class CRecordingView : public COffScreenView {
 public:
  CRecordingView() {
    tvn::testing::UseTestSettings(*this, kPage);
    CreateBuffer(CSize(200, 150));
    SetAnimationWaiter(&waiter);
  }
  // Objects left at the end go with the page without touching their owners.
  void ComposeRect(const CRect* rect) override {
    if (rect) composed.push_back(*rect);
    COffScreenView::ComposeRect(rect);
  }
  void BlitToScreen(CDC* dc, const CRect* rect) override {
    if (rect) copied.push_back(*rect);
    COffScreenView::BlitToScreen(dc, rect);
  }
  void DestroyCourse() override { ++closeChecks; }

  std::vector<CRect> composed, copied;
  int closeChecks = 0;
  CSteppedWaiter waiter;
};

class OffScreenViewTest : public ::testing::Test {
 protected:
  CRecordingView view;
};

}  // namespace

TEST_F(OffScreenViewTest, LowerLayerNumbersAndLaterAdditionsShowInFront) {
  CColourOwner back("back", 2, CRect(0, 0, 60, 60), kRed);
  CColourOwner front("front", 1, CRect(30, 30, 90, 90), kGreen);
  CColourOwner later("later", 1, CRect(50, 50, 100, 100), kBlue);
  view.AddObject(&front, 0);  // added first, still in front of layer 2
  view.AddObject(&back, 0);
  view.AddObject(&later, 0);
  view.FlushInvalidRects();
  EXPECT_EQ(view.GetBufferPixel(10, 10), kRed);
  EXPECT_EQ(view.GetBufferPixel(40, 40), kGreen);
  EXPECT_EQ(view.GetBufferPixel(55, 55), kBlue);
  EXPECT_EQ(view.GetBufferPixel(150, 120), kPage);

  CColourOwner a("3a", 3, CRect(0, 0, 20, 20), 0), five("5", 5, CRect(0, 0, 20, 20), 0),
      b("3b", 3, CRect(0, 0, 20, 20), 0);
  CRecordingView page;
  CDrawObj* oa = page.AddObject(&a, 0);
  CDrawObj* o5 = page.AddObject(&five, 0);
  CDrawObj* ob = page.AddObject(&b, 0);
  EXPECT_EQ(page.GetObjects(), (std::vector<CDrawObj*>{o5, oa, ob}));
  EXPECT_EQ(page.ObjectAt(CPoint(5, 5)), ob);
}

TEST_F(OffScreenViewTest, OverlappingDirtyRectanglesAreComposedAndCopiedOnceAsTheirUnion) {
  CRect a(0, 0, 10, 10), b(5, 5, 20, 20);
  view.InvalidateRect(&a);
  view.InvalidateRect(&b);
  CRect empty(5, 5, 5, 9);
  view.InvalidateRect(&empty);  // ignored
  view.FlushInvalidRects();
  EXPECT_EQ(view.composed, std::vector<CRect>{CRect(0, 0, 20, 20)});
  EXPECT_EQ(view.copied, std::vector<CRect>{CRect(0, 0, 20, 20)});
  EXPECT_EQ(view.GetDirtyRectCount(), 0);
}

TEST_F(OffScreenViewTest, AddingAnOwnerTwiceGivesItsObjectAndPaintsNothing) {
  CColourOwner owner("o", 1, CRect(10, 10, 30, 30), kRed);
  CDrawObj* first = view.AddObject(&owner, 0);
  view.FlushInvalidRects();
  EXPECT_EQ(view.AddObject(&owner, 0), first);
  EXPECT_EQ(view.GetDirtyRectCount(), 0);
  EXPECT_EQ(view.GetObjectCount(), 1);
  EXPECT_EQ(view.FindDisplayItem(&owner), first);
  EXPECT_TRUE(first->IsKindOf(RUNTIME_CLASS(CDrawRect)));
}

TEST_F(OffScreenViewTest, KindsFollowTheFlagsAndHiddenObjectsAreNeverPaintedWhileRunning) {
  CColourOwner ole("ole", 1, CRect(0, 0, 10, 10), kRed), hidden("h", 1, CRect(50, 50, 70, 70), kRed);
  view.SetRunning(true);
  EXPECT_TRUE(view.AddObject(&ole, DrawFlag::kOle)->IsKindOf(RUNTIME_CLASS(CDrawOleObj)));
  CDrawObj* h = view.AddObject(&hidden, DrawFlag::kHidden);
  ASSERT_NE(h, nullptr);
  view.InvalidateRect(nullptr);
  CRect all(0, 0, 200, 150);
  view.InvalidateRect(&all);
  view.FlushInvalidRects();
  EXPECT_EQ(view.GetBufferPixel(60, 60), kPage);
  EXPECT_EQ(hidden.draws, 0);
  EXPECT_TRUE(view.IsDisplayItem(h));
}

TEST_F(OffScreenViewTest, ATransitionShowsTheObjectAtOnce) {
  CColourOwner owner("o", 1, CRect(10, 10, 30, 30), kGreen);
  CDrawObj* obj = view.AddObject(&owner, DrawFlag::kTransition);
  ASSERT_NE(obj, nullptr);
  EXPECT_EQ(view.GetBufferPixel(15, 15), kGreen);
  ASSERT_FALSE(view.copied.empty());
  EXPECT_EQ(view.copied[0], CRect(10, 10, 30, 30));
}

TEST_F(OffScreenViewTest, FindingAndRemovingByNameIsCaseSensitiveAndKeepOnlyChangesNothing) {
  CColourOwner a("Title", 1, CRect(0, 0, 10, 10), kRed), b("Title", 2, CRect(20, 20, 40, 40), kRed),
      c("title", 1, CRect(100, 100, 110, 110), kBlue);
  view.AddObject(&a, 0);
  CDrawObj* ob = view.AddObject(&b, 0);
  view.AddObject(&c, 0);
  view.FlushInvalidRects();
  EXPECT_EQ(view.FindObjectByName("Title"), ob);  // first in the list: the higher layer
  EXPECT_EQ(view.FindObjectByName("TITLE"), nullptr);

  EXPECT_EQ(view.RemoveObjectByName("Title", TRUE), CRect(0, 0, 40, 40));
  EXPECT_EQ(view.GetObjectCount(), 3);
  EXPECT_EQ(view.GetDirtyRectCount(), 0);

  EXPECT_EQ(view.RemoveObjectByName("Title", FALSE), CRect(0, 0, 40, 40));
  EXPECT_EQ(view.GetObjectCount(), 1);
  EXPECT_EQ(a.unloads + b.unloads, 2);
  EXPECT_EQ(view.closeChecks, 1);
  view.FlushInvalidRects();
  EXPECT_EQ(view.GetBufferPixel(5, 5), kPage);
  EXPECT_EQ(view.GetBufferPixel(105, 105), kBlue);
}

TEST_F(OffScreenViewTest, ProtectedLayersSurviveEveryRemovalButFreeingAllLayers) {
  CColourOwner kept("kept", 4, CRect(0, 0, 50, 50), kRed), gone("gone", 2, CRect(0, 0, 50, 50), kBlue);
  tvn::testing::UseTestSettings(view, kPage).kept[4] = TRUE;
  view.AddObject(&kept, 0);
  view.AddObject(&gone, 0);
  view.SetRunning(true);

  EXPECT_TRUE(view.RemoveObjectsOfLayer(4, FALSE).IsRectEmpty());
  view.RemoveObject(&kept, FALSE);
  view.RemoveObjectsInRect(CRect(0, 0, 100, 100), nullptr);
  EXPECT_EQ(view.GetObjectCount(), 1);  // only the unprotected one went
  EXPECT_EQ(gone.unloads, 1);
  view.FreeAllObjects(nullptr, FALSE);
  EXPECT_EQ(view.GetObjectCount(), 1);
  view.FreeAllObjects(nullptr, TRUE);
  EXPECT_EQ(view.GetObjectCount(), 0);
  view.RemoveObject(&kept, TRUE);  // gone already: nothing happens
}

TEST_F(OffScreenViewTest, RemovalSkipsTheExceptedOwnerAndTaskEndKeepsPlainObjects) {
  CColourOwner except("e", 1, CRect(0, 0, 50, 50), kRed), other("o", 1, CRect(10, 10, 20, 20), kRed),
      task("t", 1, CRect(100, 100, 120, 120), kRed), stays("s", 1, CRect(130, 100, 140, 120), kRed);
  view.AddObject(&except, 0);
  view.AddObject(&other, 0);
  view.RemoveObjectsInRect(CRect(0, 0, 30, 30), &except);
  EXPECT_NE(view.FindDisplayItem(&except), nullptr);
  EXPECT_EQ(view.FindDisplayItem(&other), nullptr);

  view.AddObject(&task, DrawFlag::kTaskOnly);
  CDrawObj* s = view.AddObject(&stays, 0);
  s->SetLink(&except);
  view.Select(s, FALSE);
  view.RemoveTaskObjects();
  EXPECT_EQ(view.FindDisplayItem(&task), nullptr);
  EXPECT_EQ(view.FindDisplayItem(&stays), s);
  EXPECT_FALSE(s->IsLinked());
  EXPECT_TRUE(view.GetSelection().empty());
}

TEST_F(OffScreenViewTest, RemovedObjectsLeaveTheSelection) {
  CColourOwner owner("o", 1, CRect(0, 0, 10, 10), kRed);
  CDrawObj* obj = view.AddObject(&owner, 0);
  view.Select(obj, TRUE);
  view.RemoveObject(&owner, FALSE);  // without deselecting first
  EXPECT_TRUE(view.GetSelection().empty());
}

TEST_F(OffScreenViewTest, InputReachesTheOwnersFromTheHighestLayer) {
  CColourOwner high("h", 5, CRect(0, 0, 10, 10), 0), low("l", 1, CRect(0, 0, 10, 10), 0);
  view.AddObject(&low, 0);
  view.AddObject(&high, 0);
  high.acceptMoves = TRUE;
  view.OnMouseMoveObjects(0, CPoint(1, 1));
  EXPECT_EQ(high.moves, 1);
  EXPECT_EQ(high.lastSource, 6);
  EXPECT_EQ(low.moves, 0);  // the walk stopped at the first that accepted

  view.OnButtonObjects(0x201, 0, CPoint(1, 1));
  EXPECT_EQ(high.buttons + low.buttons, 2);  // every owner, whatever it answers

  high.notifyAnswer = 2;
  EXPECT_FALSE(view.OnNotifyObjects(1, 2));
  EXPECT_EQ(low.notifies, 0);
}

TEST_F(OffScreenViewTest, TheIdleAnimationStepRepaintsAndReportsWhetherMoreIsWanted) {
  CColourOwner owner("o", 1, CRect(0, 0, 10, 10), kRed);
  view.AddObject(&owner, 0);
  view.FlushInvalidRects();
  EXPECT_FALSE(view.AnimateObjects());
  owner.wantsMore = TRUE;
  owner.repaintOnIdle = TRUE;
  CRect dirty(0, 0, 5, 5);
  view.InvalidateRect(&dirty);
  EXPECT_TRUE(view.AnimateObjects());
  EXPECT_EQ(view.GetDirtyRectCount(), 0);  // flushed
  EXPECT_EQ(owner.steps.load(), 2);
}

TEST_F(OffScreenViewTest, RemovingAnAnimatedObjectWaitsForItsThreadOutsideTheLock) {
  CColourOwner owner("anim", 1, CRect(0, 0, 10, 10), kRed);
  owner.interval = 20;
  std::atomic<bool> unloading{false};
  // The step repaints through the page, which needs the display-list lock:
  // the removal must not hold it while it waits for this thread.
  owner.onStep = [&] {
    while (!unloading.load()) std::this_thread::yield();
    CRect r(0, 0, 10, 10);
    view.RepaintArea(r);
  };
  CDrawObj* obj = view.AddObject(&owner, 0);
  ASSERT_NE(obj->GetAnimateThread(), nullptr);
  ASSERT_TRUE(view.waiter.WaitUntilWaiting(1));
  view.waiter.Advance(20);
  ASSERT_TRUE(Eventually([&] { return owner.steps.load() == 1; }));

  // Unloading runs under the lock; it lets the step go on toward the lock.
  std::thread releaser([&] {
    Eventually([&] { return owner.unloads > 0; });
    unloading.store(true);
  });
  view.RemoveObject(&owner, FALSE);
  unloading.store(true);
  releaser.join();
  EXPECT_EQ(view.GetObjectCount(), 0);
}

TEST_F(OffScreenViewTest, KillEventStopsTheThreadsOfThePage) {
  CColourOwner owner("anim", 1, CRect(0, 0, 10, 10), kRed);
  owner.interval = 20;
  CDrawObj* obj = view.AddObject(&owner, 0);
  view.GetKillEvent()->Set();
  ASSERT_TRUE(Eventually([&] { return obj->GetAnimateThread()->HasEnded(); }));
  view.KillThreads(nullptr);
  EXPECT_EQ(obj->GetAnimateThread(), nullptr);
}

TEST_F(OffScreenViewTest, ResizingTheBufferErasesItAndRefusesImpossibleSizes) {
  CColourOwner owner("o", 1, CRect(0, 0, 10, 10), kRed);
  view.AddObject(&owner, 0);
  view.FlushInvalidRects();
  EXPECT_TRUE(view.ResizeBuffer(300, 100));
  EXPECT_EQ(view.GetBufferSize(), CSize(300, 100));
  EXPECT_EQ(view.GetBufferPixel(5, 5), kPage);
  EXPECT_EQ(view.GetBufferPixel(300, 5), CLR_INVALID);
  EXPECT_FALSE(view.ResizeBuffer(100000, 100000));
  EXPECT_EQ(view.GetBufferSize(), CSize(300, 100));  // the old size again
}

namespace {

class CWindowPage : public COffScreenView {
 public:
  ~CWindowPage() override { DestroyWindow(); }

 protected:
  void PostNcDestroy() override {}  // owned by the test
};

class OffScreenWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    frame = MakeWindow(CRect(0, 0, 160, 120));
    tvn::testing::UseTestSettings(page, kPage);
    ASSERT_TRUE(page.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 160, 120), frame.get()));
    page.ResizeBuffer(400, 300);
    page.SetScrollSizes(TRUE);
    PumpReady();
  }
  QRgb Shown(int x, int y) {
    std::lock_guard lock(page.SurfaceLock());
    return page.GetSurface()->pixel(x, y);
  }
  std::unique_ptr<CRecordingWnd> frame;
  CWindowPage page;
};

}  // namespace

TEST_F(OffScreenWindowTest, FlushingShowsTheBufferAndScrollingFillsTheNewStrip) {
  CColourOwner near("n", 1, CRect(10, 10, 30, 30), kRed), far("f", 1, CRect(170, 10, 190, 30), kBlue);
  page.AddObject(&near, 0);
  page.AddObject(&far, 0);
  page.FlushInvalidRects();
  EXPECT_EQ(Shown(15, 15), qRgb(255, 0, 0));
  EXPECT_EQ(Shown(100, 100), qRgb(250, 250, 240));

  EXPECT_TRUE(page.OnScrollBy(CSize(40, 0)));
  CPoint p(175, 15);
  page.LogicalToClient(&p);
  EXPECT_EQ(p, CPoint(135, 15));
  EXPECT_EQ(Shown(135, 15), qRgb(0, 0, 255));  // came into view with the strip

  page.SetScrollSizes(FALSE);
  EXPECT_EQ(page.GetScrollPosition(), CPoint(0, 0));
  EXPECT_FALSE(page.GetStyle() & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(OffScreenViewTest, AnOwnerMayTakeItsObjectOffThePageFromInsideItsStep) {
  CColourOwner owner("anim", 1, CRect(0, 0, 10, 10), kRed);
  owner.interval = 20;
  std::atomic<bool> removed{false};
  owner.onStep = [&] {
    view.RemoveObject(&owner, FALSE);
    removed = true;
  };
  view.AddObject(&owner, 0);
  ASSERT_TRUE(view.waiter.WaitUntilWaiting(1));
  view.waiter.Advance(20);
  // The view is done with the removal (and has adopted the thread) only once
  // RemoveObject has returned, not when the list is empty.
  ASSERT_TRUE(Eventually([&] { return removed.load(); }));
  EXPECT_EQ(view.GetObjectCount(), 0);
  // The view keeps the thread, which could not wait for itself, and joins it
  // here: the step is over before the owner goes.
  view.KillThreads();
  EXPECT_EQ(owner.unloads, 1);
  view.waiter.Advance(1000);  // the thread ended on its own: nothing steps again
  EXPECT_EQ(owner.steps.load(), 1);
}

TEST_F(OffScreenViewTest, UpdateHintsInvalidateWhatTheyName) {
  CColourOwner a("a", 1, CRect(0, 0, 10, 10), kRed), ole("o", 1, CRect(50, 50, 60, 60), kRed);
  CDrawObj* oa = view.AddObject(&a, 0);
  view.AddObject(&ole, DrawFlag::kOle);
  view.FlushInvalidRects();
  view.composed.clear();

  view.OnUpdateHint(PageHint::kOleObjects, nullptr);
  view.FlushInvalidRects();
  EXPECT_EQ(view.composed, std::vector<CRect>{CRect(49, 49, 61, 61)});

  view.Select(oa, FALSE);
  std::vector<CDrawObj*> list{oa};
  view.OnUpdateHint(PageHint::kListDeselect, nullptr, &list);
  EXPECT_TRUE(view.GetSelection().empty());
  view.OnUpdate(nullptr, PageHint::kAll);
  EXPECT_EQ(view.GetDirtyRectCount(), 0);
}

namespace {

// An owner that brings itself in with a transition.
class CWipingOwner : public CColourOwner {
 public:
  using CColourOwner::CColourOwner;
  CEffectData* GetEffectData() override { return &effect; }
  CEffectData effect;
};

// Looks at the window at every paced step instead of waiting.
class CWatchingPacer : public IEffectPacer {
 public:
  explicit CWatchingPacer(std::function<void()> look) : m_look(std::move(look)) {}
  bool WaitForStop(CSyncEvent&, CSyncEvent&, DWORD) override {
    ++steps;
    m_look();
    return false;
  }
  DWORD Milliseconds() override { return 0; }
  int steps = 0;

 private:
  std::function<void()> m_look;
};

}  // namespace

TEST_F(OffScreenWindowTest, ATransitionBringsTheWindowToThePageStepByStep) {
  CWipingOwner owner("wipe", 1, CRect(10, 10, 50, 30), kGreen);
  owner.effect.SetCategory(1);  // columns from the left
  owner.effect.SetVariant(1);
  owner.effect.SetBlockSize(8);
  owner.effect.SetStepDelay(5);
  std::vector<std::pair<QRgb, QRgb>> seen;  // left and right column of the area at each step
  CWatchingPacer pacer([&] { seen.emplace_back(Shown(11, 20), Shown(48, 20)); });
  page.SetEffectPacer(&pacer);
  page.SetRunning(true);
  page.AddObject(&owner, DrawFlag::kTransition);
  page.SetEffectPacer(nullptr);

  ASSERT_GE(pacer.steps, 4);
  EXPECT_EQ(seen.front().first, qRgb(0, 255, 0));     // the first column is in
  EXPECT_EQ(seen.front().second, qRgb(250, 250, 240));  // the last one not yet
  EXPECT_EQ(Shown(48, 20), qRgb(0, 255, 0));          // and at the end the whole area
  EXPECT_EQ(Shown(60, 20), qRgb(250, 250, 240));       // nothing outside it
}

TEST_F(OffScreenWindowTest, AWindowResizedDuringATransitionEndsWithTheWholePageShown) {
  // A wipe draws through the window's context, a blend into its pixels.
  for (const auto& [category, variant] : {std::pair<BYTE, BYTE>{1, 1}, {2, 0}}) {
    SCOPED_TRACE(testing::Message() << "category " << int(category));
    page.MoveWindow(0, 0, 160, 120);
    CWipingOwner owner("in", 1, CRect(10, 10, 50, 30), kGreen);
    owner.effect.SetCategory(category);
    owner.effect.SetVariant(variant);
    owner.effect.SetBlockSize(2);
    owner.effect.SetStepDelay(5);
    // Five resizes during the transition, as a window manager's come, the last one growing the window.
    const std::vector<CSize> sizes = {{200, 150}, {120, 90}, {220, 160}, {30, 20}, {240, 180}};
    std::size_t next = 0;
    CWatchingPacer pacer([&] {
      if (next == sizes.size()) return;
      page.MoveWindow(0, 0, sizes[next].cx, sizes[next].cy);
      ++next;
    });
    page.SetEffectPacer(&pacer);
    page.SetRunning(true);
    page.AddObject(&owner, DrawFlag::kTransition);
    page.SetEffectPacer(nullptr);
    ASSERT_EQ(next, sizes.size());
    EXPECT_TRUE(page.GetUpdateRect(nullptr)) << "the resized window is still to be painted";
    PumpReady();
    EXPECT_EQ(Shown(30, 20), qRgb(0, 255, 0));
    EXPECT_EQ(Shown(215, 155), qRgb(250, 250, 240)) << "where the window grew";
    page.RemoveObject(&owner, FALSE);
  }
}
