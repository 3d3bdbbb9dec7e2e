// The demo's film page played headless: a FLIC title, a film with sound, and a frame response past its middle.
#include <gtest/gtest.h>

#include <filesystem>

#include "behaviour/movie_action.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "playback/presentation_view.h"
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

TEST(MoviePlaythrough, TheDemoFilmPageGoesOnPastTheMiddleOfItsFilm) {
  const std::filesystem::path demo = TVN_DEMO_COURSE;
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << "the demo course is not built";
  if (!std::filesystem::exists(demo.parent_path() / "FILM.AVI")) GTEST_SKIP() << "ffmpeg made no film at build time";
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartDemo(demo));
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
