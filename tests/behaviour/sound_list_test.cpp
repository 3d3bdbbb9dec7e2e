// The playing-sounds list: copies by sound name, clips side by side, stopping by name and the notices it takes.
#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/audio_action.h"
#include "behaviour/audio_action_list.h"
#include "behaviour/mci_response.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

class SoundListTest : public WindowTest {
 protected:
  SoundListTest() : media(clock, CAudioOutput::Mode::recording) {
    window = MakeWindow();
    for (const char* name : {"a.wav", "b.wav"}) {
      const auto bytes = ToneWav(1000);
      std::ofstream((dir.path() / name).string(), std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    env.system = &media;
    env.owner = window->GetSafeHwnd();
    env.findMediaFile = [this](const CString& name) { return CString((dir.path() / name.str()).string()); };
    list.SetEnvironment(env);
  }

  CAudioAction Sound(const char* file, BYTE kind = MediaKind::kMci, const char* name = "sound") {
    CAudioAction action;
    action.SetName(name);
    action.SetSource(CAudioAction::kSoundFile);
    action.Media().m_strFileName = file;
    action.Media().m_nKind = kind;
    return action;
  }
  void Advance(DWORD ms) {
    clock.Advance(ms);
    media.Output().Pump();
    PumpReady();
  }
  // The list's answer to every notice that came since the last call.
  std::vector<BOOL> Offer() {
    std::vector<BOOL> answers;
    for (const RecordedMessage& m : window->Messages(MM_MCINOTIFY)) answers.push_back(list.OnNotify(m.wParam, m.lParam));
    window->received.clear();
    return answers;
  }

  TempDir dir;
  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> window;
  MediaEnvironment env;
  CAudioActionList list;
};

TEST_F(SoundListTest, OneSoundPerSoundNameButEveryClipOfItsOwn) {
  CAudioAction a = Sound("a.wav");
  CAudioAction b = Sound("b.wav");
  EXPECT_EQ(list.Play(&a), 1);
  EXPECT_EQ(list.Play(&a), 1);  // run twice: one entry
  EXPECT_EQ(list.GetCount(), 1u);
  EXPECT_NE(list.GetAt(0), &a);  // a copy, never the caller's action
  list.Play(&b);                 // another wave sound replaces it ("waveaudio")
  ASSERT_EQ(list.GetCount(), 1u);
  EXPECT_TRUE(list.GetAt(0)->Media().GetMciWnd().GetFileName().Find("B.WAV") >= 0);
  // Replaying the listed copy itself rewinds it.
  list.Play(list.GetAt(0));
  EXPECT_EQ(list.GetCount(), 1u);

  CAudioAction clip1 = Sound("a.wav", MediaKind::kClip, "clip1");
  CAudioAction clip2 = Sound("b.wav", MediaKind::kClip, "clip2");
  list.Play(&clip1);
  list.Play(&clip2);
  EXPECT_EQ(list.GetCount(), 3u);
  EXPECT_NE(list.FindByName("clip2"), nullptr);
  EXPECT_EQ(list.FindByName("CLIP2"), nullptr);  // object names are case-sensitive
  list.StopByName("");
  EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(SoundListTest, NoticesEndSoundsAndReportTheEndOnlyWhenAsked) {
  // A single pass that does not ask for its end posts nothing: it stays listed until replaced.
  CAudioAction quiet = Sound("a.wav");
  list.Play(&quiet);
  Advance(1000);
  EXPECT_TRUE(Offer().empty());
  EXPECT_EQ(list.GetCount(), 1u);

  CAudioAction told = Sound("a.wav");
  told.Media().m_dwFlags |= MediaFlag::kReportEnd;
  list.Play(&told);
  Advance(1000);
  EXPECT_EQ(Offer(), (std::vector<BOOL>{FALSE}));  // finished (3): passed on to the page
  EXPECT_EQ(list.GetCount(), 0u);
  EXPECT_FALSE(list.OnNotify(1, 12345));  // an empty list takes nothing

  // Three passes: the first two are taken and replayed, the third ends it.
  CAudioAction looped = Sound("a.wav");
  looped.Media().m_nLoopCount = 3;
  list.Play(&looped);
  std::vector<BOOL> answers;
  for (int i = 0; i < 3; ++i) {
    Advance(1000);
    for (BOOL answer : Offer()) answers.push_back(answer);
  }
  EXPECT_EQ(answers, (std::vector<BOOL>{TRUE, TRUE, TRUE}));
  EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(SoundListTest, ControlActionsAndStopCommands) {
  CAudioAction playing = Sound("a.wav", MediaKind::kMci, "narration");
  list.Play(&playing);
  ASSERT_EQ(list.GetCount(), 1u);
  // A control action naming no playing sound does nothing.
  CAudioAction control = Sound("nobody");
  control.SetFlags(CAudioAction::kControlsPlaying);
  control.Media().m_dwFlags = MediaFlag::kPause;
  list.Play(&control);
  EXPECT_EQ(list.GetCount(), 1u);
  // Naming the playing one pauses it.
  control.Media().m_strFileName = "narration";
  list.Play(&control);
  CString mode;
  media.SendString("status " + CString(media.Mci().GetAlias(list.GetAt(0)->Media().GetMciWnd().GetDeviceID())) +
                       " mode",
                   mode, nullptr);
  EXPECT_EQ(mode, "paused");
  // A stop command stops every sound of its sound name.
  CAudioAction stop = Sound("b.wav");
  stop.Media().m_dwFlags = MediaFlag::kStop;
  list.Play(&stop);
  EXPECT_EQ(list.GetCount(), 0u);
}

TEST(MciResponse, AcceptsTheCodesItsFlagsSelect) {
  CMCIResponse all;
  EXPECT_FALSE(all.OnNotify(1, 0));  // a media end always names its player
  EXPECT_TRUE(all.OnNotify(1, 7));
  EXPECT_TRUE(all.OnNotify(1036, 0));
  EXPECT_FALSE(all.OnNotify(0x8082, 5));  // hypertext
  EXPECT_FALSE(all.OnNotify(2, 7));
  CMCIResponse programs;
  programs.SetNotifyFlags(0x8);
  EXPECT_TRUE(programs.OnNotify(1036, 0));
  EXPECT_FALSE(programs.OnNotify(1, 7));
  EXPECT_FALSE(programs.OnNotify(1035, 0));
}
