// The movie action on a real page with a scripted MCI device: stored form, starting, placing, commanding by name.
#include <gtest/gtest.h>

#include "behaviour/movie_action.h"
#include "behaviour/shape_action.h"
#include "platform/media_source.h"
#include "platform/media_system.h"
#include "tests/behaviour/display_test_support.h"
#include <map>

#include "media/avi_player.h"
#include "media/flic_player.h"
#include "tests/platform/window_test_support.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/temp_dir.h"
#include "tests/support/flic_writer.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

namespace {

// A device that answers what the media object asks and does nothing else.
class CScriptDevice final : public CMciDevice {
 public:
  using CMciDevice::CMciDevice;
  DWORD Command(const CMciCommand& c, std::string& reply, HWND) override {
    if (c.verb == "status" && c.Has("length")) reply = "10000";
    return 0;
  }
};

// A page in a window whose media play on the test's media layer.
class CMoviePage : public CTestPage {
 public:
  MediaEnvironment GetMediaEnvironment() override {
    MediaEnvironment env = CTestPage::GetMediaEnvironment();
    env.system = system;
    return env;
  }
  void SetAnimationTimer() override { ++animationUsers; }
  CMediaSystem* system = nullptr;
  int animationUsers = 0;

 protected:
  void PostNcDestroy() override {}
};

MovieFields Clip(std::uint32_t flags, const char* file = "CLIP.TST") {
  MovieFields m;
  m.flags = flags;
  m.media.fileName = file;
  return m;
}

}  // namespace

class MovieActionTest : public WindowTest {
 protected:
  MovieActionTest() : media(clock, CAudioOutput::Mode::recording) {
    top = MakeWindow(CRect(0, 0, 900, 600));
    EXPECT_TRUE(page.Create(CString(), WS_CHILD | WS_VISIBLE, CRect(0, 0, 900, 600), top.get(), 1));
    page.system = &media;
    media.Mci().RegisterType("scriptdevice", {"tst"}, [](MciOpenRequest& r, std::unique_ptr<CMciDevice>& out) {
      out = std::make_unique<CScriptDevice>(r.id, r.type);
      return DWORD{0};
    });
    media.SetSourceOpener([this](const CString& name) -> std::unique_ptr<IMediaByteSource> {
      if (auto it = files.find(name.str()); it != files.end())
        return std::make_unique<CMemoryByteSource>(it->second, name);
      if (name.Find(".TST") < 0) return nullptr;
      return std::make_unique<CMemoryByteSource>(ToneWav(1000), name);
    });
    media.Mci().SetTrace([this](DWORD, std::string_view text) { sent.emplace_back(text); });
    services.pageOverride = &page;
  }
  ~MovieActionTest() override {
    task.reset();
    page.DestroyWindow();
  }

  // A task of movie actions, each named and written with the fields given.
  CTask* Read(const std::vector<std::pair<const char*, MovieFields>>& movies, VariableRectFields rect = {}) {
    std::vector<CourseBuilder::Writer> writers;
    for (const auto& [name, fields] : movies) {
      writers.push_back([=, name = std::string(name)](CourseBuilder& b) {
        DisplayFields d;
        d.rect = rect;
        d.layer = 1;
        b.MovieAction(IconFields{4, name, "", 3}, fields, d);
      });
    }
    task = TaskWithActions(services, writers);
    return task.get();
  }
  CMovieAction* Movie(int n = 0) { return ActionOf<CMovieAction>(*task, n); }

  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> top;
  CMoviePage page;
  FakeTaskServices services;
  std::unique_ptr<CTask> task;
  std::vector<std::string> sent;
  std::map<std::string, std::vector<std::uint8_t>> files;
};

namespace {

// The page's colour of an index of the writer's ramp palette.
COLORREF RampOnPage(std::uint8_t index) {
  const std::uint32_t c = RampColour(index);
  return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

}  // namespace

TEST(MovieActionRecord, StoredFormDefaultsAndCopy) {
  CMovieAction fresh;
  EXPECT_EQ(fresh.GetKind(), ActionKind::kMovie);
  EXPECT_EQ(fresh.GetTypeFlags(), 296);
  EXPECT_EQ(fresh.GetLayer(), 1);
  EXPECT_EQ(fresh.GetFlags(), MovieFlag::kStart);
  EXPECT_TRUE(fresh.GetSourceRect().IsRectNull());

  FakeTaskServices services;
  MovieFields m = Clip(0x2 | 0x400 | 0x2000, "intro.avi");
  m.crop[0] = 1;
  m.crop[1] = 2;
  m.crop[2] = 3;
  m.crop[3] = 4;
  m.media.kind = 4;
  m.media.speed = 150;
  m.media.to = 700;
  auto task = TaskWithActions(services, {[&](CourseBuilder& b) {
    DisplayFields d;
    d.rect = {10, 20, 330, 260};
    d.layer = 3;
    b.MovieAction(IconFields{4, "Intro", "", 3}, m, d);
  }});
  ASSERT_TRUE(task);
  auto* read = ActionOf<CMovieAction>(*task);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->GetName(), "Intro");
  EXPECT_EQ(read->GetFlags(), 0x2402u);
  EXPECT_EQ(read->GetSourceRect(), CRect(1, 2, 3, 4));
  EXPECT_EQ(read->Media().m_strFileName, "intro.avi");
  EXPECT_EQ(read->Media().m_nKind, MediaKind::kAvi);
  EXPECT_EQ(read->Media().m_speed.GetLiteral(), 150);
  EXPECT_EQ(read->Media().m_to.GetLiteral(), 700);
  EXPECT_EQ(read->GetBounds(), CRect(10, 20, 330, 260));
  EXPECT_EQ(read->GetLayer(), 3);

  CMovieAction copy;
  copy.CopyFrom(read, FALSE);
  EXPECT_EQ(copy.GetFlags(), 0x2402u);
  EXPECT_EQ(copy.GetSourceRect(), CRect(1, 2, 3, 4));
  EXPECT_EQ(copy.Media().m_strFileName, "intro.avi");
  EXPECT_EQ(copy.Media().m_speed.GetLiteral(), 150);
  EXPECT_EQ(copy.GetLayer(), 3);

  // Only a start action names a file to collect.
  CStringArray files;
  EXPECT_FALSE(read->CollectFiles(&files, 0));
  read->SetFlags(MovieFlag::kStart);
  EXPECT_TRUE(read->CollectFiles(&files, 0));
  ASSERT_EQ(files.GetSize(), 1);
  EXPECT_EQ(files[0], "intro.avi");
}

TEST_F(MovieActionTest, AnEmptyPositionTakesAThirdOfTheClientAndTheMovieGoesOnThePage) {
  Read({{"Clip", Clip(MovieFlag::kStart | MediaFlag::kPlay)}});
  ASSERT_TRUE(Movie());
  EXPECT_TRUE(Movie()->Execute());
  EXPECT_EQ(Movie()->GetBounds(), CRect(0, 0, 300, 200));
  EXPECT_TRUE(page.FindDisplayItem(Movie()));
  EXPECT_TRUE(Movie()->Media().GetMciWnd().IsDeviceOpen());
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), "play ") << "the action's own play bit, without a wait";
  EXPECT_FALSE(Movie()->GetAnimState()) << "an MCI medium is not drawn by the page";
  EXPECT_EQ(Movie()->Animate(CRect(0, 0, 300, 200), FALSE), 0);

  // Taken off the page, the medium is freed.
  page.RemoveObject(Movie(), TRUE);
  EXPECT_FALSE(Movie()->Media().GetMciWnd().IsDeviceOpen());
}

TEST_F(MovieActionTest, AMediumThatDoesNotOpenLeavesThePageAloneAndTheListGoesOn) {
  Read({{"Missing", Clip(MovieFlag::kStart, "GONE.XYZ")}, {"Nothing", Clip(0)}});
  EXPECT_TRUE(Movie(0)->Execute());
  EXPECT_FALSE(page.FindDisplayItem(Movie(0)));
  sent.clear();
  EXPECT_TRUE(Movie(1)->Execute()) << "flags 0: neither start nor control";
  EXPECT_FALSE(page.FindDisplayItem(Movie(1)));
  EXPECT_TRUE(sent.empty());
}

TEST_F(MovieActionTest, ControlCommandsOnlyAMovieOfThatName) {
  MovieFields speedAndStop = Clip(MovieFlag::kControl | MediaFlag::kSpeed | MediaFlag::kStop, "Clip");
  speedAndStop.media.speed = 150;
  MovieFields pause = Clip(MovieFlag::kControl | MediaFlag::kPause, "Clip");
  Read({{"Clip", Clip(MovieFlag::kStart)}, {"Speed", speedAndStop}, {"Pause", pause}}, {20, 20, 180, 140});

  // Nothing of that name on the page yet: the list stops.
  EXPECT_FALSE(Movie(1)->Execute());
  // A picture of that name is no movie.
  CShapeAction shape;
  shape.SetName("Clip");
  page.AddObject(&shape, 0);
  EXPECT_FALSE(Movie(1)->Execute());
  page.RemoveObject(&shape, TRUE);

  ASSERT_TRUE(Movie(0)->Execute());
  sent.clear();
  EXPECT_TRUE(Movie(1)->Execute());
  EXPECT_EQ(sent, (std::vector<std::string>{"set speed 1500", "stop"})) << "the speed first, then the stop";
  sent.clear();
  EXPECT_TRUE(Movie(2)->Execute());
  EXPECT_EQ(sent, (std::vector<std::string>{"pause"}));
}

TEST_F(MovieActionTest, AFlicAdvancesFromTheAnimationStepAndDrawsIntoThePage) {
  // 32 x 32, four frames of 100 ms: a band moving down.
  files["BAND.FLC"] = FlicBytes(BandAnimation(32, 32, 4, 100));
  MovieFields flic = Clip(MovieFlag::kStart | MediaFlag::kPlay, "BAND.FLC");
  flic.media.kind = MediaKind::kFlic;
  flic.media.flags |= MediaFlag::kReportEnd;
  MovieFields faster = Clip(MovieFlag::kControl | MediaFlag::kSpeed, "Band");
  faster.media.speed = 150;
  Read({{"Band", flic}, {"Faster", faster}}, {40, 40, 72, 72});
  ASSERT_TRUE(Movie()->Execute());
  CFlicPlayer* player = Movie()->Media().GetFlicPlayer();
  ASSERT_TRUE(player);
  EXPECT_EQ(page.animationUsers, 1) << "the player asked for the animation step";
  EXPECT_TRUE(Movie()->GetAnimState());
  EXPECT_TRUE(player->IsPlaying());
  page.FlushInvalidRects();
  EXPECT_EQ(page.GetBufferPixel(40, 40), RampOnPage(Band(32, 32, 0, 4).at(0, 0))) << "frame 1 drawn";

  page.AnimateObjects();
  EXPECT_EQ(Movie()->GetMediaPosition(), 0.0) << "no frame is due before 100 ms";
  clock.Advance(100);
  page.AnimateObjects();
  EXPECT_EQ(Movie()->GetMediaPosition(), 1.0);
  EXPECT_EQ(Movie()->GetMediaLength(), 4.0);
  EXPECT_EQ(page.GetBufferPixel(40, 40), RampOnPage(Band(32, 32, 1, 4).at(0, 0))) << "frame 2 drawn by the step";
  EXPECT_EQ(page.GetBufferPixel(40, 50), RampOnPage(Band(32, 32, 1, 4).at(0, 10)));

  // Faster by 50: the period goes from 100 to 50 milliseconds.
  EXPECT_TRUE(Movie(1)->Execute());
  EXPECT_EQ(player->GetFramePeriod(), 50u);

  // An empty placing rectangle stands for 640 x 480.
  Movie()->SizeObject(CRect());
  EXPECT_EQ(player->GetDisplayRect(), CRect(0, 0, 640, 480));

  // The last frame ends the one pass: the end notice is the movie's, and passes on to the page (0x20).
  for (int i = 0; i < 3; ++i) {
    clock.Advance(50);
    page.AnimateObjects();
  }
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_FALSE(Movie()->GetAnimState()) << "a finished movie does not keep the program busy";
  EXPECT_FALSE(page.AnimateObjects());
  EXPECT_EQ(Movie()->OnNotify(1, static_cast<LPARAM>(player->GetId()) + 1), MediaAnswer::kNotMine);
  EXPECT_EQ(Movie()->OnNotify(1, static_cast<LPARAM>(player->GetId())), MediaAnswer::kFinishedReport);

  // Off the page, the player goes.
  page.RemoveObject(Movie(), TRUE);
  EXPECT_FALSE(Movie()->Media().GetFlicPlayer());
  EXPECT_FALSE(Movie()->GetAnimState());
}

TEST_F(MovieActionTest, AnAviIsTimedByTheClockAndDrawnByThePage) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing (scripts/bootstrap installs it)";
  TempDir dir;
  // 20 frames at 10 per second, 32 x 24; frame n is red 12 x n.
  files["NUMBERED.AVI"] = MakeAvi({}, dir / "numbered.avi");
  ASSERT_FALSE(files["NUMBERED.AVI"].empty());
  MovieFields avi = Clip(MovieFlag::kStart | MediaFlag::kPlay, "NUMBERED.AVI");
  avi.media.kind = MediaKind::kAvi;
  MovieFields pause = Clip(MovieFlag::kControl | MediaFlag::kPause, "Numbers");
  Read({{"Numbers", avi}, {"Pause", pause}}, {40, 40, 72, 64});
  ASSERT_TRUE(Movie()->Execute());
  CAviPlayer* player = Movie()->Media().GetAviPlayer();
  ASSERT_TRUE(player);
  EXPECT_EQ(page.animationUsers, 1);
  EXPECT_EQ(Movie()->GetMediaLength(), 20.0);
  EXPECT_TRUE(Movie()->GetAnimState());

  clock.Advance(250);
  EXPECT_TRUE(page.AnimateObjects());
  EXPECT_EQ(Movie()->GetMediaPosition(), 2.0);
  EXPECT_EQ(player->GetRect(), CRect(40, 40, 72, 64));
  const COLORREF shown = page.GetBufferPixel(56, 52);
  EXPECT_NEAR(GetRValue(shown), 24, 6) << "frame 2 on the page";
  EXPECT_LT(GetGValue(shown), 8);

  // A pause of an AVI stops it where it is.
  EXPECT_TRUE(Movie(1)->Execute());
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_FALSE(Movie()->GetAnimState());
  clock.Advance(500);
  page.AnimateObjects();
  EXPECT_EQ(Movie()->GetMediaPosition(), 2.0);
}
