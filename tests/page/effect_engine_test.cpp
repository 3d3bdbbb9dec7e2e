// The effect thread: choosing the effect, inline and threaded runs, step pacing, libraries and media.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "model/icon_object.h"
#include "model/message_pump.h"
#include "model/message_service.h"
#include "platform/sys/dynamic_library.h"
#include "platform/gdi/bitmap.h"
#include "page/effect_engine.h"
#include "page/effect_libraries.h"
#include "tests/page/transition_scene.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/scripted_event_loop.h"
#include "tests/support/temp_dir.h"

namespace tvn::testing {
namespace {

constexpr UINT kKeyDown = 0x0100, kLeftButtonDown = 0x0201, kTimer = 0x0113;
constexpr WPARAM kEscape = 0x1B;

// Any distinct address serves: the window is only handed on and compared.
CWnd* const kViewWindow = reinterpret_cast<CWnd*>(std::uintptr_t{0x1000});
CWnd* const kOtherWindow = reinterpret_cast<CWnd*>(std::uintptr_t{0x2000});

struct FakeView : IEffectView {
  Surface window{Scene::kWidth, Scene::kHeight, OldPixel};
  CSyncEvent kill;
  bool running = true;
  bool displayed = true;
  int released = 0;
  std::vector<CRect> invalidated;
  int focused = 0;

  CWnd* GetWindow() override { return kViewWindow; }
  CSyncEvent& GetKillEvent() override { return kill; }
  CDC* GetTargetDC() override { return &window.dc; }
  void ReleaseTargetDC(CDC*) override { ++released; }
  CSize GetBackBufferSize() const override { return {Scene::kWidth, Scene::kHeight}; }
  CRect GetClientRect() const override { return {0, 0, Scene::kWidth, Scene::kHeight}; }
  bool IsRunning() const override { return running; }
  bool IsDisplayItem(const IEffectDrawObject*) const override { return displayed; }
  void InvalidateRect(const CRect& r) override { invalidated.push_back(r); }
  void SetFocus() override { ++focused; }
};

// Answers each wait at once; a step can set the kill event first.
struct ScriptedPacer : IEffectPacer {
  std::vector<DWORD> waits;
  CSyncEvent* killAtWait = nullptr;
  std::size_t killAt = 0;
  bool WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD ms) override {
    waits.push_back(ms);
    if (killAtWait && waits.size() == killAt) killAtWait->Set();
    return kill.IsSet() || done.IsSet();
  }
  DWORD Milliseconds() override { return 1234; }
};


struct Owner : CIconObject {
  CEffectData effect;
  CEffectData* GetEffectData() override { return &effect; }
};

struct Fixture {
  FakeView view;
  Surface back{Scene::kWidth, Scene::kHeight, NewPixel};
  ScriptedPacer pacer;
  tvn::testing::ScriptedEventLoop loop{kViewWindow};
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  CEffectServices services;
  Owner owner;
  CRect area{4, 6, 44, 26};

  Fixture() {
    services.view = &view;
    services.pacer = &pacer;
    services.loop = &loop;
    services.messages = &messages;
    owner.effect.SetCategory(1);
    owner.effect.SetVariant(1);
    owner.effect.SetBlockSize(4);
  }
  std::unique_ptr<CEffectThread> Start(IEffectDrawObject* drawObject = nullptr) {
    return CEffectThread::Start(services, &owner, drawObject, &back.dc, area);
  }
  bool AreaIsNew() {
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (view.window.At(x, y) != NewPixel(x, y)) return false;
    return true;
  }
  bool AreaIsOld() { return view.window.At(area.right - 1, area.bottom - 1) == OldPixel(area.right - 1, area.bottom - 1); }
};

TEST(EffectThread, InlineRunHappensInsideStart) {
  Fixture f;
  EXPECT_EQ(f.Start(), nullptr);
  EXPECT_TRUE(f.AreaIsNew());
  EXPECT_EQ(f.view.released, 1);
  EXPECT_EQ(f.pacer.waits.size(), 10u);  // 40 wide in blocks of 4
  EXPECT_EQ(f.pacer.waits.front(), 5u);
}

TEST(EffectThread, AnAreaBeyondThePageIsCutToIt) {
  for (BYTE category : {1, 2, 4, 5}) {
    Fixture f;
    f.area = CRect(-2147483647 - 1, 10, 2147483647, 20);
    f.owner.effect.SetCategory(category);
    f.owner.effect.SetVariant(category == 1 ? 7 : 0);
    f.Start();
    for (int x = 0; x < Scene::kWidth; ++x) {
      ASSERT_EQ(f.view.window.At(x, 15), NewPixel(x, 15)) << int{category};
      ASSERT_EQ(f.view.window.At(x, 9), OldPixel(x, 9)) << int{category};
    }
  }
  Fixture f;
  f.area = CRect(Scene::kWidth, 0, Scene::kWidth + 50, 10);  // wholly outside: nothing to do
  f.Start();
  EXPECT_TRUE(f.pacer.waits.empty());
}

TEST(EffectThread, NoEffectDoesNothing) {
  Fixture f;
  f.owner.effect.SetCategory(0);
  EXPECT_EQ(f.Start(), nullptr);
  EXPECT_TRUE(f.AreaIsOld());
  EXPECT_EQ(f.view.released, 0);
}

TEST(EffectThread, TheDrawObjectsOwnerGivesTheEffectWhenItHasOne) {
  struct Proxy : IEffectDrawObject {
    CEffectData effect;
    bool owned = true;
    const CEffectData* GetOwnerEffect() const override { return owned ? &effect : nullptr; }
    CRect GetBounds() const override { return {}; }
    void MoveTo(CPoint) override {}
  } proxy;
  proxy.effect.SetCategory(4);
  Fixture f;
  f.owner.effect.SetCategory(0);
  EXPECT_EQ(f.Start(&proxy), nullptr);
  EXPECT_TRUE(f.AreaIsNew());
  proxy.owned = false;
  Fixture g;
  g.owner.effect.SetCategory(0);
  EXPECT_EQ(g.Start(&proxy), nullptr);
  EXPECT_TRUE(g.AreaIsOld());
}

TEST(EffectThread, EscapeEndsAnInlineTransitionWithTheAreaFullyDrawn) {
  Fixture f;
  f.loop.queue = {{kViewWindow, kLeftButtonDown, 0, 0}, {kOtherWindow, kTimer, 7, 0}, {nullptr, kKeyDown, kEscape, 0},
                  {nullptr, kTimer, 8, 0}};
  f.Start();
  EXPECT_EQ(f.pacer.waits.size(), 3u);
  EXPECT_TRUE(f.AreaIsNew());
  // The click on the view was dropped, the timer handled, Escape consumed; the rest waits.
  ASSERT_EQ(f.loop.dispatched.size(), 1u);
  EXPECT_EQ(f.loop.dispatched[0].wParam, 7u);
  EXPECT_EQ(f.loop.queue.size(), 1u);
}

TEST(EffectThread, TheKillEventStopsATransitionAndLeavesTheAreaPartWay) {
  Fixture f;
  f.pacer.killAtWait = &f.view.kill;
  f.pacer.killAt = 2;
  f.Start();
  EXPECT_EQ(f.pacer.waits.size(), 2u);
  EXPECT_EQ(f.view.window.At(f.area.left, f.area.top), NewPixel(f.area.left, f.area.top));
  EXPECT_TRUE(f.AreaIsOld());
}

TEST(EffectThread, AnEndedCourseStopsTheTransitionAtTheNextMessage) {
  Fixture f;
  f.view.running = false;
  f.loop.queue = {{nullptr, kTimer, 1, 0}};
  f.Start();
  EXPECT_EQ(f.pacer.waits.size(), 1u);
  EXPECT_EQ(f.loop.dispatched.size(), 1u);
  EXPECT_TRUE(f.AreaIsNew());
  // With nothing queued as well.
  Fixture g;
  g.view.running = false;
  g.Start();
  EXPECT_EQ(g.pacer.waits.size(), 1u);
  EXPECT_TRUE(g.AreaIsNew());
  // The program's or the course's close ends it as well, the page shown whole.
  Fixture h;
  h.loop.closing = true;
  h.loop.queue = {{nullptr, kTimer, 1, 0}};
  h.Start();
  EXPECT_EQ(h.pacer.waits.size(), 1u);
  EXPECT_TRUE(h.loop.dispatched.empty());
  EXPECT_TRUE(h.AreaIsNew());
}

TEST(EffectThread, NoDelayNeitherWaitsNorLooksAtTheQueue) {
  Fixture f;
  f.owner.effect.SetStepDelay(0);
  f.loop.queue = {{nullptr, kKeyDown, kEscape, 0}};
  f.Start();
  EXPECT_TRUE(f.pacer.waits.empty());
  EXPECT_EQ(f.loop.queue.size(), 1u);
  EXPECT_TRUE(f.AreaIsNew());
}

TEST(EffectThread, WithoutTheInlineFlagItRunsOnAThreadThatIgnoresTheQueue) {
  Fixture f;
  f.owner.effect.SetFlags(0);
  f.loop.queue = {{nullptr, kKeyDown, kEscape, 0}};
  auto thread = f.Start();
  ASSERT_NE(thread, nullptr);
  thread->Join();
  EXPECT_TRUE(thread->IsFinished());
  EXPECT_TRUE(f.AreaIsNew());
  EXPECT_EQ(f.loop.queue.size(), 1u);
  EXPECT_EQ(f.view.released, 1);
}

TEST(EffectThread, DestroyingARunningThreadStopsItAtTheNextStep) {
  // Steps wait until the event that stops them: only the destructor ends this run.
  struct BlockingPacer : IEffectPacer {
    bool WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD) override {
      while (!kill.IsSet() && !done.Wait(50)) {
      }
      return true;
    }
    DWORD Milliseconds() override { return 0; }
  } pacer;
  Fixture f;
  f.services.pacer = &pacer;
  f.owner.effect.SetFlags(0);
  auto thread = f.Start();
  ASSERT_NE(thread, nullptr);
  EXPECT_FALSE(thread->IsFinished());
  thread.reset();
  EXPECT_TRUE(f.AreaIsOld());
}

TEST(EffectThread, ASlideOnItsOwnThreadStopsWhenThePageNoLongerShowsTheObject) {
  struct Proxy : IEffectDrawObject {
    CEffectData effect;
    int moves = 0;
    const CEffectData* GetOwnerEffect() const override { return &effect; }
    CRect GetBounds() const override { return {100, 20, 150, 40}; }
    void MoveTo(CPoint) override { ++moves; }
  } proxy;
  proxy.effect.SetCategory(6);
  proxy.effect.SetFlags(0);
  Fixture f;
  f.view.displayed = false;
  f.Start(&proxy)->Join();
  EXPECT_EQ(proxy.moves, 0);
}

TEST(EffectPacer, TheRealPacerAnswersAtOnceForASetEventAndRunsOutOtherwise) {
  CSystemEffectPacer pacer;
  CSyncEvent kill, done;
  EXPECT_FALSE(pacer.WaitForStop(kill, done, 1));
  done.Set();
  EXPECT_TRUE(pacer.WaitForStop(kill, done, 60000));
  done.Reset();
  kill.Set();
  EXPECT_TRUE(pacer.WaitForStop(kill, done, 60000));
  // Set from another thread while it waits.
  kill.Reset();
  std::thread setter([&] { done.Set(); });
  EXPECT_TRUE(pacer.WaitForStop(kill, done, 60000));
  setter.join();
}

// A native library built with the tests stands in for the outside libraries.
struct TestLibrary {
  CDynamicLibrary library;
  explicit TestLibrary(const std::string& path) { library.Load(CString(path.c_str())); }
  int Last(const char* getter, void** out) {
    auto proc = reinterpret_cast<int (*)(void**)>(library.GetProcAddress(getter));
    return proc ? proc(out) : -1;
  }
};

TEST(EffectLibraries, ACourseLibraryIsCalledByProcedureName) {
  // Held here, the library keeps what it recorded when the effect frees its use.
  TestLibrary check(TVN_EFFECT_TEST_LIBRARY);
  Fixture f;
  f.owner.effect.SetCategory(8);
  f.owner.effect.SetParameter(CString(" ") + TVN_EFFECT_TEST_LIBRARY + " ,  CourseWipe ");
  f.Start();
  void* args[4] = {};
  EXPECT_EQ(check.Last("LastCourseEffect", args), 1);
  EXPECT_EQ(args[0], kViewWindow);
  EXPECT_EQ(args[1], &f.view.window.dc);
  EXPECT_EQ(args[2], &f.back.dc);
  EXPECT_TRUE(f.sink.boxes.empty());

  // A course written for Windows names "X.DLL": the native library of that name serves.
  TempDir dir;
  std::filesystem::copy_file(TVN_EFFECT_TEST_LIBRARY, dir / "MyFx.so");
  TestLibrary native((dir / "MyFx.so").string());
  Fixture g;
  g.owner.effect.SetCategory(8);
  g.owner.effect.SetParameter(CString(((dir / "MYFX.DLL").string() + ", CourseWipe").c_str()));
  g.Start();
  EXPECT_EQ(native.Last("LastCourseEffect", args), 1);
  EXPECT_TRUE(g.sink.boxes.empty());
}

TEST(EffectLibraries, OrdinalsMissingProceduresAndBareNamesDoNothing) {
  TestLibrary check(TVN_EFFECT_TEST_LIBRARY);
  const std::string library = TVN_EFFECT_TEST_LIBRARY;
  for (const std::string& parameter : {library + ";12", library + ", NoSuchProcedure", library, library + ",  ",
                                       std::string(", CourseWipe")}) {
    Fixture f;
    f.owner.effect.SetCategory(8);
    f.owner.effect.SetParameter(CString(parameter.c_str()));
    f.Start();
    EXPECT_TRUE(f.sink.boxes.empty()) << parameter;
  }
  void* args[4] = {};
  EXPECT_EQ(check.Last("LastCourseEffect", args), 0);
}

TEST(EffectLibraries, ALibraryThatCannotBeLoadedIsReported) {
  TempDir dir;
  // A Windows library is no library here.
  std::ofstream(dir / "WINFX.DLL") << "MZ\x90";
  for (const std::string& name : {(dir / "WINFX.DLL").string(), std::string("NOSUCH.DLL")}) {
    Fixture f;
    f.owner.effect.SetCategory(8);
    f.owner.effect.SetParameter(CString((name + ", Wipe").c_str()));
    f.Start();
    ASSERT_EQ(f.sink.boxes.size(), 1u) << name;
    EXPECT_EQ(f.sink.boxes[0].text,
              name + "\nCannot find this file.\nPlease verify that the correct path and file name are given.");
  }
}

TEST(EffectLibraries, The3dLibraryComesFromTheProgramFolder) {
  // The native library of the name, or a library file of the name itself.
  for (const std::string& fileName : {std::string("libqtrd3d.so"), std::string(C3dEffectsLibrary::kFileName)}) {
    TempDir dir;
    std::filesystem::copy_file(TVN_EFFECT_TEST_LIBRARY, dir / fileName);
    Fixture f;
    f.owner.effect.SetCategory(7);
    f.owner.effect.SetFlags(0);
    f.services.library3d = std::make_shared<C3dEffectsLibrary>(dir.path());
    auto thread = f.Start();  // kept: the area handed over lives in it
    ASSERT_NE(thread, nullptr);
    thread->Join();
    TestLibrary check((dir / fileName).string());
    void* args[5] = {};
    EXPECT_EQ(check.Last("LastDo3dEffect", args), 1);
    EXPECT_EQ(args[0], kViewWindow);
    EXPECT_EQ(args[2], &f.back.dc);
    EXPECT_EQ(*static_cast<CRect*>(args[3]), f.area);
    // A thread of its own resets the library when it ends.
    auto resets = reinterpret_cast<int (*)()>(check.library.GetProcAddress("ResetCount"));
    ASSERT_NE(resets, nullptr);
    EXPECT_EQ(resets(), 1);
  }
}

TEST(EffectLibraries, WithoutThe3dLibraryTheAreaKeepsItsOldLook) {
  TempDir empty, windows;
  std::ofstream(windows / C3dEffectsLibrary::kFileName) << "MZ\x90";
  for (const auto* folder : {&empty, &windows}) {
    Fixture f;
    f.owner.effect.SetCategory(7);
    f.services.library3d = std::make_shared<C3dEffectsLibrary>(folder->path());
    f.Start();
    EXPECT_TRUE(f.AreaIsOld());
    EXPECT_FALSE(f.services.library3d->IsLoaded());
    EXPECT_TRUE(f.sink.boxes.empty());
  }
}

// What the players made for a test were asked to do; the players go with their effect.
struct MediaLog {
  CRect area;
  std::string file;
  bool opens = true;
  int playsFor = 3;  // polls until it ends
  int polls = 0;
  bool played = false, stopped = false;
};

struct FakeMedia : IEffectMedia {
  MediaLog* log;
  explicit FakeMedia(MediaLog* l) : log(l) {}
  bool Open(const CRect& r, const CString& f, CWnd*) override {
    log->area = r;
    log->file = f.str();
    return log->opens;
  }
  void Show() override {}
  void Play() override { log->played = true; }
  bool IsFinished() const override { return log->polls++ >= log->playsFor; }
  void Stop() override { log->stopped = true; }
};

struct FakeResources : IEffectResources {
  MediaLog log;
  MediaLog* media = &log;
  CBitmap* mask = nullptr;
  std::unique_ptr<IEffectMedia> CreateMedia() override { return std::make_unique<FakeMedia>(&log); }
  bool LoadMask(const CString&, CBitmap& out) override {
    if (!mask) return false;
    const CSize size = mask->GetSize();
    std::vector<DWORD> bits(static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy));
    mask->GetBitmapBits(static_cast<DWORD>(bits.size() * sizeof(DWORD)), bits.data());
    return out.CreateBitmap(size.cx, size.cy, 1, 32, bits.data());
  }
};

TEST(EffectMedia, AMediumPlaysOverTheAreaUntilItEnds) {
  Fixture f;
  FakeResources resources;
  f.services.resources = &resources;
  f.owner.effect.SetCategory(9);
  f.owner.effect.SetParameter("intro.avi");
  f.Start();
  EXPECT_TRUE(resources.media->played);
  EXPECT_EQ(resources.media->file, "intro.avi");
  EXPECT_EQ(resources.media->area, f.area);
  EXPECT_EQ(f.pacer.waits.size(), 3u);
  EXPECT_FALSE(resources.media->stopped);
  EXPECT_EQ(f.view.invalidated, std::vector<CRect>{f.area});
  EXPECT_EQ(f.view.focused, 1);
}

TEST(EffectMedia, EscapeOrTheKillEventStopsTheMedium) {
  Fixture f;
  FakeResources resources;
  f.services.resources = &resources;
  resources.media->playsFor = 1000;
  f.owner.effect.SetCategory(9);
  f.owner.effect.SetFlags(CEffectData::kRunInline | CEffectData::kWholeClientArea);
  f.owner.effect.SetParameter("intro.avi");
  f.loop.queue = {{nullptr, kTimer, 1, 0}, {nullptr, kKeyDown, kEscape, 0}};
  f.Start();
  EXPECT_TRUE(resources.media->stopped);
  EXPECT_EQ(f.pacer.waits.size(), 2u);
  EXPECT_EQ(resources.media->area, f.view.GetClientRect());
}

TEST(EffectMedia, NoFileNoPlayerOrAFailedOpenEndTheEffect) {
  Fixture f;
  f.owner.effect.SetCategory(9);
  f.owner.effect.SetParameter("intro.avi");
  f.Start();  // no resources at all
  FakeResources resources;
  resources.media->opens = false;
  f.services.resources = &resources;
  f.Start();
  EXPECT_FALSE(resources.media->played);
  EXPECT_TRUE(f.pacer.waits.empty());
  EXPECT_TRUE(f.view.invalidated.empty());
}

TEST(EffectMask, TheMaskComesThroughTheResourcesOrTheAreaStaysOld) {
  Fixture f;
  f.owner.effect.SetCategory(3);
  f.owner.effect.SetParameter("mask.bmp");
  FakeResources resources;
  f.services.resources = &resources;
  f.Start();
  EXPECT_TRUE(f.AreaIsOld());
  CBitmap mask;
  const DWORD bits[2] = {gdi::ColorToPixel(RGB(0, 0, 5)), gdi::ColorToPixel(RGB(0, 0, 9))};
  mask.CreateBitmap(2, 1, 1, 32, bits);
  resources.mask = &mask;
  f.Start();
  EXPECT_TRUE(f.AreaIsNew());
  EXPECT_EQ(f.pacer.waits.size(), 2u);
}

}  // namespace
}  // namespace tvn::testing
