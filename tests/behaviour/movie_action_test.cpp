// The movie action on a real page with a scripted MCI device: stored form, starting, placing, commanding by name.
#include <gtest/gtest.h>

#include "behaviour/movie_action.h"
#include "behaviour/shape_action.h"
#include "platform/media_source.h"
#include "platform/media_system.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/window_test_support.h"
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
  CMediaSystem* system = nullptr;

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
    media.SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> {
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
};

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
