// Courses that sound, played headless: a narration from a packed data file that an MCI response waits for, a CD
// range of a disc image, and MCI scripts.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <thread>

#include "model/course_doc.h"
#include "platform/mm/media_system.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/cd_image_writer.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scripted_player.h"
#include "tests/support/wav_writer.h"

namespace {

using namespace tvn::testing;

CourseBuilder::Writer NarrationTask(int number, const std::string& file, std::uint32_t mediaFlags) {
  return [=](CourseBuilder& b) {
    AudioFields audio;
    audio.media.fileName = file;
    audio.media.flags = mediaFlags;
    ResponseFields next = Outcomes(1, 0);
    b.Task(IconFields{4, "Task " + std::to_string(number), "", 3}, number, {},
           {[audio](CourseBuilder& w) { w.AudioAction(IconFields{4, "narration", "", 3}, audio); }},
           {[next](CourseBuilder& w) { w.MciResponse(IconFields{4, "heard", "", 3}, next, 0x1); }});
  };
}

}  // namespace

TEST(SoundPlaythrough, TheMciResponseWaitsForTheNarrationFromThePackedDataFile) {
  CourseFileFields f;
  f.tasks.push_back(NarrationTask(1, "NARRATE.WAV", 0x02901040 | 0x20));
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "Task 2", "", 3}, 2, {}, {}, {KeyResponse("")}); });
  CourseBuilder course;
  course.CourseFile(f);
  const auto packed = PackedFileBuilder().Add("NARRATE.WAV", ToneWav(1000)).Add("PACK.TVD", course.bytes()).Build();

  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(packed, "PACK.TVD"));
  EXPECT_EQ(player.CurrentTask(), 1);
  player.Tick(999);
  EXPECT_EQ(player.CurrentTask(), 1);
  player.Tick(1);
  EXPECT_EQ(player.CurrentTask(), 2);
  // What was played is the narration's sound, from the data file's copy.
  const auto played = player.App().GetMediaSystem()->Output().Recorded();
  ASSERT_EQ(played.size(), 2u * 44100);
  std::int16_t loudest = 0;
  for (std::int16_t s : played) loudest = std::max<std::int16_t>(loudest, s);
  EXPECT_NEAR(loudest, 8000, 10);
}

TEST(SoundPlaythrough, ACdRangeOfADiscImageSoundsToTheLastTrackAndTheTaskWaitingOnItGoesOn) {
  const std::int16_t first = 1200;
  const std::int16_t second = -2400;
  std::vector<std::string> sent;
  TempDir dir;
  const auto played = dir / "played.raw";
  {
    // The runtime's profile names the image; SDL's disk driver takes the sound at its own pace.
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").string());
    std::filesystem::create_directories(dir / "config" / "tavelon");
    std::ofstream(dir / "config" / "tavelon" / "tvnrun.ini")
        << "[MCI]\r\nCDAudio=" << WriteCdImage(dir.path(), "disc", {{225, first}, {150, second}}).string() << "\r\n";
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv output("SDL_DISKAUDIOFILE", played.string());
    ScopedEnv delay("SDL_DISKAUDIODELAY", "23");

    // Track 1 from its first second to track 5 (the disc has two), reporting the end to the MCI response.
    AudioFields audio;
    audio.source = 2;
    audio.start[0] = 1, audio.start[1] = 0, audio.start[2] = 1;
    audio.end[0] = 5, audio.end[1] = 0, audio.end[2] = 1;
    audio.media.flags = 0x02901040 | 0x20;
    CourseFileFields f;
    f.tasks.push_back([audio](CourseBuilder& b) {
      b.Task(IconFields{4, "Task 1", "", 3}, 1, {},
             {[audio](CourseBuilder& w) { w.AudioAction(IconFields{4, "cd", "", 3}, audio); }},
             {[](CourseBuilder& w) { w.MciResponse(IconFields{4, "heard", "", 3}, Outcomes(1, 0), 0x1); }});
    });
    f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "Task 2", "", 3}, 2, {}, {}, {KeyResponse("")}); });
    CourseBuilder course;
    course.CourseFile(f);

    ScriptedPlayer player;
    player.UseAudioDevice();
    player.TraceMci([&sent](DWORD, std::string_view command) { sent.emplace_back(command); });
    ASSERT_TRUE(player.Start(course.bytes()));
    EXPECT_EQ(player.CurrentTask(), 1);
    // Length and position as MCI packs them: the disc's 5 s in msf, a place on track 1 or 2 in tmsf.
    CIconObject* sound = player.View().GetPlayingSounds().FindByFile("cd");
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->GetMediaLength(), 5 << 8);
    const auto track = static_cast<LONG>(sound->GetMediaPosition()) & 0xFF;
    EXPECT_TRUE(track == 1 || track == 2) << track;
    const auto start = std::chrono::steady_clock::now();
    while (player.CurrentTask() == 1 && std::chrono::steady_clock::now() - start < std::chrono::seconds(120)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      player.Pump();
    }
    EXPECT_EQ(player.CurrentTask(), 2);
  }
  const auto play = std::find_if(sent.begin(), sent.end(), [](const std::string& c) { return c.starts_with("play "); });
  ASSERT_NE(play, sent.end());
  EXPECT_TRUE(play->starts_with("play from 1:0:1 to 2:0:1 ")) << *play;
  // What the driver got, silence left out: two seconds of track 1, then one of track 2.
  const auto bytes = ReadBytes(played);
  std::vector<std::pair<std::int16_t, std::size_t>> runs;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    const auto left = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
    const auto right = static_cast<std::int16_t>(bytes[i + 2] | bytes[i + 3] << 8);
    if (left == 0 && right == 0) continue;
    EXPECT_EQ(left, right);
    if (runs.empty() || runs.back().first != left) runs.push_back({left, 0});
    ++runs.back().second;
  }
  const decltype(runs) expected{{first, 2 * 44100}, {second, 44100}};
  EXPECT_EQ(runs, expected);
}

TEST(SoundPlaythrough, MciScriptsKeepTheLastReplyAndEveryError) {
  ScriptedPlayer player;
  const auto wav = player.Directory() / "tone.wav";
  WriteBytes(wav, ToneWav(1000));
  // A failing first line does not stop the others.
  const std::string script = "dance t\r\nopen \"" + wav.string() + "\" alias t\r\n\r\nstatus t length";
  CourseFileFields f;
  VariableFields length;
  length.name = "Length";
  length.flags = 0x100;
  f.variables = {length};
  f.tasks.push_back([&](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {}, {[&](CourseBuilder& w) { w.MciAction(IconFields{}, script); }},
           {KeyResponse("")});
  });
  f.tasks.push_back([&](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 2", "", 3}, 2, {}, {[&](CourseBuilder& w) { w.MciAction(IconFields{}, "dance t"); }},
           {KeyResponse("")});
  });
  CourseBuilder course;
  course.CourseFile(f);
  ASSERT_TRUE(player.Start(course.bytes()));
  EXPECT_EQ(player.Text("MciReturnData"), "1000");
  EXPECT_EQ(player.Number("ErrorNumber"), 0);
  EXPECT_EQ(player.Text("ErrorMessage"), "");
  CCourseDoc* doc = player.Course();
  ASSERT_TRUE(doc);
  // The built-in reaches the same devices.
  EXPECT_EQ(doc->ExecuteScript("Length = MciCommand(\"status t length\")"), 0);
  EXPECT_EQ(player.Text("Length"), "1000");
  CString reply;
  EXPECT_EQ(player.View().GetPlayingSounds().SendMciString("dance t", reply), 261u);
  EXPECT_EQ(player.View().GetPlayingSounds().SendMciString("status t mode", reply), 0u);
  EXPECT_EQ(reply, "stopped");
  // The next task's script fails: its number and our text for it.
  player.Key('A');
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.Number("ErrorNumber"), 261);
  EXPECT_EQ(player.Text("ErrorMessage"), "The command is not one the device knows.");
  EXPECT_EQ(player.Text("MciReturnData"), "");
}

TEST(SoundPlaythrough, AnMciScriptPutsItsVideoOnThePageByTheViewsWindowHandle) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  ScriptedPlayer player;
  AviRecipe recipe;
  recipe.width = 64;
  recipe.height = 48;
  recipe.solid = true;
  recipe.colour = "red";
  const auto avi = player.Directory() / "red.avi";
  ASSERT_FALSE(MakeAvi(recipe, avi).empty());
  const std::string script = "open \"" + avi.string() +
                             "\" alias f\r\nwindow f handle {WindowHandle}\r\nput f destination at 10 20 64 48\r\n"
                             "play f\r\nstatus f window handle";
  CourseFileFields f;
  f.tasks.push_back([&](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {}, {[&](CourseBuilder& w) { w.MciAction(IconFields{}, script); }},
           {KeyResponse("")});
  });
  CourseBuilder course;
  course.CourseFile(f);
  ASSERT_TRUE(player.Start(course.bytes()));
  EXPECT_EQ(player.Number("ErrorNumber"), 0);
  EXPECT_EQ(player.Text("MciReturnData"),
            CString(std::to_string(reinterpret_cast<std::uintptr_t>(player.View().GetSafeHwnd()))));
  const QImage shown = player.View().GetWidget()->grab().toImage();
  EXPECT_EQ(shown.pixel(42, 44) & 0xFFFFFF, 0xFF0000u);
  EXPECT_NE(shown.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
}

TEST(SoundPlaythrough, TheDemoWelcomePageMovesOnWhenItsNarrationEnds) {
  const std::filesystem::path demo = TVN_DEMO_COURSE;
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << "the demo course is not built";
  ScriptedPlayer player;
  for (const char* file : {"DEMO.BMP", "NARRATE.WAV"})
    std::filesystem::copy_file(demo.parent_path() / file, player.Directory() / file);
  ASSERT_TRUE(player.Start(ReadBytes(demo), "demo.tvn"));
  EXPECT_EQ(player.CurrentTask(), 8);  // the welcome page, first in the course
  player.Tick(1999);
  EXPECT_EQ(player.CurrentTask(), 8);
  player.Tick(1);
  EXPECT_EQ(player.CurrentTask(), 9);  // the name page
}
