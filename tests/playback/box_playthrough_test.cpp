// A course's box keeps the program running: under a real Qt message box
// opened by a task's actions, its time response fires and its sound's end is
// handled; and what runs under the box may leave the task, close the course
// or end the program without the code that opened the box touching anything
// freed when it returns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

#include "model/course_doc.h"
#include "platform/mm/media_system.h"
#include "platform/user/qt_dialogs.h"
#include "playback/course_document.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/scripted_player.h"
#include "tests/support/wav_writer.h"

namespace {

using namespace tvn::testing;
using namespace std::chrono_literals;

// Task 1 waits for a key. Task 2 plays the sound and waits: its time
// response (half a second) has the outcome given; its key response for "B"
// keeps the task and runs its actions: a call into a library that is not
// there (the box), then "After = 1". Task 3 waits for a key.
std::vector<std::uint8_t> BoxCourse(const std::string& wav, std::uint32_t timeOutcome) {
  CourseFileFields f;
  VariableFields after;
  after.name = "After";
  after.flags = 0x200;
  f.variables = {after};
  AudioFields audio;
  audio.media.fileName = wav;
  audio.media.flags |= 0x20;  // its end is told to the page
  DllFields missing;
  missing.library = "NOPE.DLL";
  missing.function = "Nothing";
  ResponseFields stay = Outcomes(32, 0);
  stay.actions = {[missing](CourseBuilder& w) { w.DllAction(IconFields{}, missing); },
                  [](CourseBuilder& w) { w.VariableAction(IconFields{}, "After = 1"); }};
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "Task 1", "", 3}, 1, {}, {}, {KeyResponse("")}); });
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 2", "", 3}, 2, {},
           {[audio](CourseBuilder& w) { w.AudioAction(IconFields{4, "narration", "", 3}, audio); }},
           {TimeResponse(5, timeOutcome), [stay](CourseBuilder& w) {
              w.KeyboardResponse(IconFields{4, "key B", "", 3}, stay, KeyFields{0, "B", {}});
            }});
  });
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "Task 3", "", 3}, 3, {}, {}, {KeyResponse("")}); });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

class BoxPlaythrough : public ::testing::Test {
 protected:
  // Starts the course with Qt's real boxes and goes on to task 2, whose
  // sound then plays and whose time response waits.
  void StartOn(std::uint32_t timeOutcome) {
    WriteBytes(player.Directory() / "tone.wav", ToneWav(300));
    ASSERT_TRUE(player.Start(BoxCourse("tone.wav", timeOutcome)));
    player.App().SetDialogs(std::make_unique<CQtDialogs>());
    player.Key('A');
    ASSERT_EQ(player.CurrentTask(), 2);
    ASSERT_NE(player.View().GetPlayingSounds().FindByFile("narration"), nullptr) << "the sound plays";
  }
  // While a box is up, every 10 ms: the step runs; a true answer closes the
  // box. After a generous bound the box is closed anyway.
  void WatchBox(std::function<bool()> step) {
    QApplication::instance()->installEventFilter(&shows);
    const auto started = std::chrono::steady_clock::now();
    QObject::connect(&watch, &QTimer::timeout, [this, step, started] {
      if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        if (step() || std::chrono::steady_clock::now() - started > 60s) {
          closedByTest = true;
          watch.stop();
          box->reject();
        }
      } else if (shows.seen) {
        watch.stop();  // the program closed it
      }
    });
    watch.start(10);
  }
  ~BoxPlaythrough() override { QApplication::instance()->removeEventFilter(&shows); }

  // Notes a dialog being shown, and runs what the test wants done then.
  struct ShowFilter final : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched) && !seen) {
        seen = true;
        if (onShow) onShow();
      }
      return false;
    }
    bool seen = false;
    std::function<void()> onShow;
  } shows;
  ScriptedPlayer player;
  QTimer watch;
  bool closedByTest = false;
};

TEST_F(BoxPlaythrough, UnderTheBoxTheTimeResponseFiresAndTheSoundsEndIsHandled) {
  StartOn(1);
  IPlayingSounds& sounds = player.View().GetPlayingSounds();
  bool soundPlayingAtShow = false;
  int taskAtShow = 0;
  shows.onShow = [&] {
    soundPlayingAtShow = sounds.FindByFile("narration") != nullptr;
    taskAtShow = player.CurrentTask();
  };
  WatchBox([&] {
    if (!sounds.FindByFile("narration") && player.CurrentTask() == 3) return true;
    // The sound device's part: what the clock says is due is played, and a
    // medium that ended posts its notice.
    player.App().GetMediaSystem()->Output().Pump();
    return false;
  });
  player.Key('B');
  EXPECT_TRUE(shows.seen);
  EXPECT_TRUE(closedByTest);
  EXPECT_TRUE(soundPlayingAtShow) << "the sound still played when the box came";
  EXPECT_EQ(taskAtShow, 2);
  EXPECT_EQ(sounds.FindByFile("narration"), nullptr) << "its end was handled under the box";
  EXPECT_EQ(player.CurrentTask(), 3) << "the time response moved on under the box";
  EXPECT_EQ(player.Number("After"), 1) << "the actions went on after the box";
  // The left task's responses were not started again: its timer stays dead.
  player.Tick(2000);
  EXPECT_EQ(player.CurrentTask(), 3);
  EXPECT_FALSE(player.Ended());
}

TEST_F(BoxPlaythrough, TheCourseClosedUnderItsBoxEndsTheBoxAndGoesOnceItReturned) {
  StartOn(32);  // the time response keeps the task
  CCourseDoc* course = player.Course();
  ASSERT_TRUE(course);
  bool closeAsked = false;
  WatchBox([&] {
    if (!closeAsked) {
      closeAsked = true;
      // As the DDE service's close command does.
      player.App().PostCall([course] {
        if (CCourseDocument* doc = CCourseDocument::Of(course)) doc->OnCloseDocument();
      });
      return false;
    }
    return true;
  });
  player.Key('B');
  EXPECT_TRUE(shows.seen);
  EXPECT_FALSE(closedByTest) << "the course's close ended its box";
  player.Pump();
  EXPECT_FALSE(player.App().IsOpenDocument(course)) << "closed once nothing of it ran";
  EXPECT_EQ(player.Course(), nullptr);
}

TEST_F(BoxPlaythrough, TheProgramEndingUnderTheBoxClosesTheBoxAndEndsCleanly) {
  StartOn(1024);  // the time response ends the course, and with it the program
  WatchBox([] { return false; });
  player.Key('B');
  player.Pump();
  EXPECT_TRUE(shows.seen);
  EXPECT_FALSE(closedByTest) << "the program closed its box itself";
  EXPECT_TRUE(player.Ended());
}

}  // namespace
