// The movie action on a real page: stored form, starting, placing, commanding by name, and a FLIC from the animation step.
#include <gtest/gtest.h>

#include <map>

#include "behaviour/movie_action.h"
#include "behaviour/shape_action.h"
#include "media/flic_player.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/flic_writer.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

namespace {

// A device that answers what the media object asks and does nothing else.
class CScriptDevice final : public CMciDevice {
 public:
  using CMciDevice::CMciDevice;
  DWORD Command(const CMciCommand&, std::string&, HWND) override { return 0; }
};

// A page in a window whose media play on the test's media layer.
class CMoviePage : public CTestPage {
 public:
  MediaEnvironment GetMediaEnvironment() override {
    MediaEnvironment env = CTestPage::GetMediaEnvironment();
    env.system = system;
    if (messages) env.messages = messages;
    return env;
  }
  void SetAnimationTimer() override { ++animationUsers; }
  CMediaSystem* system = nullptr;
  CMessageService* messages = nullptr;
  int animationUsers = 0;

 protected:
  void PostNcDestroy() override {}
};

MovieFields Clip(std::uint32_t flags, const char* file, std::uint8_t kind = 0) {
  MovieFields m;
  m.flags = flags;
  m.media.fileName = file;
  m.media.kind = kind;
  return m;
}

// The page's colour of an index of the writer's ramp palette.
COLORREF RampOnPage(std::uint8_t index) {
  const std::uint32_t c = RampColour(index);
  return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
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
      if (auto it = files.find(name.str()); it != files.end()) return std::make_unique<CMemoryByteSource>(it->second, name);
      return nullptr;
    });
    media.Mci().SetTrace([this](DWORD, std::string_view text) { sent.emplace_back(text); });
    services.pageOverride = &page;
    files["CLIP.TST"] = ToneWav(1000);
  }
  ~MovieActionTest() override {
    task.reset();
    page.DestroyWindow();
  }

  // A task of movie actions, named and written with the fields given.
  void Read(const std::vector<std::pair<const char*, MovieFields>>& movies, VariableRectFields rect = {}) {
    std::vector<CourseBuilder::Writer> writers;
    for (const auto& [name, fields] : movies)
      writers.push_back([=, name = std::string(name)](CourseBuilder& b) {
        DisplayFields d;
        d.rect = rect;
        b.MovieAction(IconFields{4, name, "", 3}, fields, d);
      });
    task = TaskWithActions(services, writers);
    ASSERT_TRUE(task);
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

TEST_F(MovieActionTest, StoredFormAndCopy) {
  MovieFields m = Clip(0x2402, "intro.avi", MediaKind::kAvi);
  m.crop[0] = 1, m.crop[1] = 2, m.crop[2] = 3, m.crop[3] = 4;
  m.media.speed = 150;
  Read({{"Intro", m}}, {10, 20, 330, 260});
  CMovieAction copy;
  EXPECT_EQ(copy.GetLayer(), 1);
  copy.CopyFrom(Movie(), FALSE);
  for (CMovieAction* a : {Movie(), &copy}) {
    EXPECT_EQ(a->GetFlags(), 0x2402u);
    EXPECT_EQ(a->GetSourceRect(), CRect(1, 2, 3, 4));
    EXPECT_EQ(a->Media().m_strFileName, "intro.avi");
    EXPECT_EQ(a->Media().m_nKind, MediaKind::kAvi);
    EXPECT_EQ(a->Media().m_speed.GetLiteral(), 150);
    EXPECT_EQ(a->GetBounds(), CRect(10, 20, 330, 260));
  }
}

TEST_F(MovieActionTest, StartTakesAThirdOfTheClientAndControlCommandsOnlyAMovieOfThatName) {
  MovieFields speedAndStop = Clip(MovieFlag::kControl | MediaFlag::kSpeed | MediaFlag::kStop, "Clip");
  speedAndStop.media.speed = 150;
  Read({{"Clip", Clip(MovieFlag::kStart | MediaFlag::kPlay, "CLIP.TST")}, {"Speed", speedAndStop},
        {"Nothing", Clip(0, "CLIP.TST")}});
  EXPECT_FALSE(Movie(1)->Execute()) << "no movie of that name: the list stops";
  CShapeAction shape;
  shape.SetName("Clip");
  page.AddObject(&shape, 0);
  EXPECT_FALSE(Movie(1)->Execute()) << "a picture of that name is no movie";
  page.RemoveObject(&shape, TRUE);

  EXPECT_TRUE(Movie(0)->Execute());
  EXPECT_EQ(Movie(0)->GetBounds(), CRect(0, 0, 300, 200));
  EXPECT_TRUE(page.FindDisplayItem(Movie(0)));
  EXPECT_EQ(sent.back(), "play ") << "the start bit is no wait";
  sent.clear();
  EXPECT_TRUE(Movie(1)->Execute());
  EXPECT_EQ(sent, (std::vector<std::string>{"set speed 1500", "stop"}));
  sent.clear();
  EXPECT_TRUE(Movie(2)->Execute()) << "flags 0: nothing, and the list goes on";
  EXPECT_FALSE(page.FindDisplayItem(Movie(2)));
  EXPECT_TRUE(sent.empty());
  page.RemoveObject(Movie(0), TRUE);
  EXPECT_FALSE(Movie(0)->Media().GetMciWnd().IsDeviceOpen()) << "off the page, the medium is freed";
}

TEST_F(MovieActionTest, AFlicAdvancesFromTheAnimationStepAndDrawsIntoThePage) {
  files["BAND.FLC"] = FlicBytes(BandAnimation(32, 32, 4, 100));  // four frames of 100 ms
  MovieFields flic = Clip(MovieFlag::kStart | MediaFlag::kPlay, "BAND.FLC", MediaKind::kFlic);
  flic.media.flags |= MediaFlag::kReportEnd;
  MovieFields faster = Clip(MovieFlag::kControl | MediaFlag::kSpeed, "Band");
  faster.media.speed = 150;
  Read({{"Band", flic}, {"Faster", faster}}, {40, 40, 72, 72});
  ASSERT_TRUE(Movie()->Execute());
  CFlicPlayer* player = Movie()->Media().GetFlicPlayer();
  ASSERT_TRUE(player);
  EXPECT_EQ(page.animationUsers, 1);
  page.FlushInvalidRects();
  EXPECT_EQ(page.GetBufferPixel(40, 40), RampOnPage(Band(32, 32, 0, 4).at(0, 0)));
  page.AnimateObjects();
  EXPECT_EQ(Movie()->GetMediaPosition(), 0.0) << "no frame is due before 100 ms";
  clock.Advance(100);
  EXPECT_TRUE(page.AnimateObjects());
  EXPECT_EQ(Movie()->GetMediaPosition(), 1.0);
  EXPECT_EQ(page.GetBufferPixel(40, 50), RampOnPage(Band(32, 32, 1, 4).at(0, 10))) << "frame 2 drawn by the step";

  EXPECT_TRUE(Movie(1)->Execute());
  EXPECT_EQ(player->GetFramePeriod(), 50u) << "faster by 50";
  Movie()->SizeObject(CRect());
  EXPECT_EQ(player->GetDisplayRect(), CRect(0, 0, 640, 480));
  for (int i = 0; i < 3; ++i) {
    clock.Advance(50);
    page.AnimateObjects();
  }
  EXPECT_FALSE(Movie()->GetAnimState()) << "a finished movie does not keep the program busy";
  EXPECT_EQ(Movie()->OnNotify(1, static_cast<LPARAM>(player->GetId()) + 1), MediaAnswer::kNotMine);
  EXPECT_EQ(Movie()->OnNotify(1, static_cast<LPARAM>(player->GetId())), MediaAnswer::kFinishedReport);
}

TEST_F(MovieActionTest, AClipThatCannotPlaySaysSo) {
  RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  page.messages = &messages;
  Read({{"Song", Clip(MovieFlag::kStart | MediaFlag::kPlay, "SONG.MP3", MediaKind::kClip)}}, {0, 0, 100, 100});
  EXPECT_TRUE(Movie()->Execute());
  Movie()->Media().Free();  // joins the player's worker, which built nothing
  PumpReady();              // the message is shown on this thread
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "Active Movie can't play the file 'SONG.MP3'");
}
