// Movies played headless: a FLIC that a frame response waits for, and the demo's film page played to its end.
#include <gtest/gtest.h>

#include <filesystem>

#include "behaviour/movie_action.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "playback/presentation_view.h"
#include "tests/support/course_builder.h"
#include "tests/support/flic_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/scripted_player.h"

using namespace tvn::testing;

namespace {

// The movie action of that name on the current task, or null.
CMovieAction* MovieOnTask(ScriptedPlayer& player, const char* name) {
  CTask* task = player.Course() ? player.Course()->GetCurrentTask() : nullptr;
  for (int i = 0; task && i < task->GetActions()->GetCount(); ++i)
    if (auto* a = dynamic_cast<CMovieAction*>(task->GetActions()->GetChild(i)); a && a->GetName() == CString(name))
      return a;
  return nullptr;
}

}  // namespace

TEST(MoviePlaythrough, AFrameResponseMovesOnOnceTheFlicIsPastItsFrame) {
  CourseFileFields f;
  f.header = "Flic";
  f.course = IconFields{4, "Flic", "", 3};
  f.tasks.push_back([](CourseBuilder& b) {
    auto flic = [](CourseBuilder& c) {
      MovieFields m;
      m.flags = MovieFlag::kStart | 0x1000;
      m.media.kind = 2;
      m.media.fileName = "BAND.FLC";
      DisplayFields d;
      d.rect = {20, 20, 84, 68};
      c.MovieAction(IconFields{4, "Band", "", 3}, m, d);
    };
    auto past = [](CourseBuilder& c) {
      FrameFields frame;
      frame.mediaName = "Band";
      frame.interval = 100;
      frame.threshold = 1000;  // frame 10
      c.FrameResponse(IconFields{4, "Past ten", "", 3}, ResponseFields{}, frame);
    };
    b.Task(IconFields{4, "Animation", "", 3}, 1, {}, {flic}, {past});
  });
  f.tasks.push_back([](CourseBuilder& b) {
    auto wait = [](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "Key", "", 3}, ResponseFields{}, KeyFields{}); };
    b.Task(IconFields{4, "After", "", 3}, 2, {}, {}, {wait});
  });
  CourseBuilder b;
  b.CourseFile(f);

  ScriptedPlayer player;
  // 64 x 48, twenty frames of 50 ms.
  WriteBytes(player.Directory() / "BAND.FLC", FlicBytes(BandAnimation(64, 48, 20, 50)));
  ASSERT_TRUE(player.Start(b.bytes()));
  ASSERT_EQ(player.CurrentTask(), 1);
  CMovieAction* band = MovieOnTask(player, "Band");
  ASSERT_TRUE(band);
  EXPECT_EQ(player.View().GetAnimationUsers(), 1);
  const COLORREF first = player.Pixel(20, 20);
  for (int ms = 0; ms < 500; ms += 50) player.Tick(50);
  EXPECT_EQ(player.CurrentTask(), 1) << "frame 10 is not past frame 10";
  EXPECT_NE(player.Pixel(20, 20), first) << "the band moved on the page";
  player.Tick(50);
  player.Tick(50);
  EXPECT_EQ(player.CurrentTask(), 2);
}

TEST(MoviePlaythrough, TheDemoFilmPageGoesOnPastTheMiddleOfItsFilm) {
  const std::filesystem::path demo = TVN_DEMO_COURSE;
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << "the demo course is not built";
  if (!std::filesystem::exists(demo.parent_path() / "FILM.AVI")) GTEST_SKIP() << "ffmpeg made no film at build time";
  ScriptedPlayer player;
  for (const char* file : {"DEMO.BMP", "NARRATE.WAV", "STAR.BMP", "SPINNER.BMP", "BADGE.PNG", "TITLE.FLC", "FILM.AVI"})
    std::filesystem::copy_file(demo.parent_path() / file, player.Directory() / file);
  ASSERT_TRUE(player.Start(ReadBytes(demo), "demo.tvn"));
  // Through the pages before it: the narration, the name, three questions left to their timers, the result.
  player.Tick(2000);
  ASSERT_EQ(player.CurrentTask(), 9);
  player.Key(VK_RETURN);
  ASSERT_EQ(player.CurrentTask(), 1);
  player.Tick(6000);
  ASSERT_EQ(player.CurrentTask(), 2);
  player.Tick(15000);
  ASSERT_EQ(player.CurrentTask(), 3);
  player.Tick(15000);
  ASSERT_EQ(player.CurrentTask(), 4);
  player.Key('X');
  ASSERT_EQ(player.CurrentTask(), 10) << "the film page follows the result";

  CMovieAction* film = MovieOnTask(player, "Film");
  CMovieAction* title = MovieOnTask(player, "Title");
  ASSERT_TRUE(film && title);
  EXPECT_TRUE(film->GetAnimState()) << "the film opened and plays";
  EXPECT_TRUE(title->GetAnimState()) << "the title opened and plays";
  // The film is 30 frames at 10 a second: past frame 15 after 1.6 s, seen on the next 100 ms poll.
  DWORD waited = 0;
  while (player.CurrentTask() == 10 && waited < 5000) {
    player.Tick(100);
    waited += 100;
  }
  EXPECT_EQ(player.CurrentTask(), 5) << "the rich-text page comes next";
  EXPECT_GE(waited, 1500u) << "not before the middle";
  EXPECT_LE(waited, 1800u);
}
