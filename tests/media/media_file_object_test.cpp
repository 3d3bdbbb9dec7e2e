// The media-file object: its stored record, the command strings it sends, passes, levels, clips and the sound library.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "media/media_file_object.h"
#include "media/memory_stream.h"
#include "model/data_file.h"
#include "tests/support/packed_file_builder.h"
#include "model/archive.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"
#include "playback/effect_media.h"
#include "tests/media/media_view_test.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/archive_writer.h"
#include "tests/support/course_builder.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

namespace {

// A device that answers what the media object asks and does nothing else.
class CScriptDevice final : public CMciDevice {
 public:
  using CMciDevice::CMciDevice;
  DWORD Command(const CMciCommand& c, std::string& reply, HWND) override {
    if (c.verb == "status" && c.Has("length")) reply = "10000";
    if (c.verb == "status" && c.Has("tracks")) reply = "5";
    return 0;
  }
};

}  // namespace

class MediaObjectTest : public MediaViewTest {
 protected:
  MediaObjectTest() {
    media.Mci().RegisterType("scriptdevice", {"tst"}, [](MciOpenRequest& r, std::unique_ptr<CMciDevice>& out) {
      out = std::make_unique<CScriptDevice>(r.id, r.type);
      return DWORD{0};
    });
    media.SetSourceOpener([this](const CString& name) -> std::unique_ptr<IMediaByteSource> {
      if (name.Find(".WAV") < 0 && name.Find(".TST") < 0) return nullptr;
      return std::make_unique<CMemoryByteSource>(ToneWav(1000), name);
    });
    media.Mci().SetTrace([this](DWORD, std::string_view text) { sent.emplace_back(text); });
  }

  // The media object's answer to every notice that came.
  std::vector<int> Answers(CMediaFileObject& object) {
    std::vector<int> answers;
    for (const RecordedMessage& m : view->Messages(MM_MCINOTIFY)) answers.push_back(object.OnNotify(m.wParam, m.lParam));
    view->received.clear();
    return answers;
  }

  std::vector<std::string> sent;
};

TEST(MediaFileRecord, DefaultRecordReadsBackAfterItsClassReference) {
  CourseBuilder builder;
  builder.MediaFileObject({});
  const auto& bytes = builder.out().bytes();
  // After the class reference: the default flags, kind 0, loop count 1.
  const std::size_t classRef = 2 + 2 + 2 + std::string("CMediaFileObject").size();
  ASSERT_GT(bytes.size(), classRef + 9);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + classRef, bytes.begin() + classRef + 9),
            (std::vector<std::uint8_t>{0x40, 0x10, 0x90, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00}));
  CMemFile file(bytes.data(), bytes.size());
  CArchive ar(file);
  CMediaFileObject object;
  object.m_dwFlags = 0;
  object.Serialize(ar);
  EXPECT_EQ(object.m_dwFlags, MediaFlag::kDefault);
  EXPECT_EQ(object.m_nLoopCount, 1u);
  EXPECT_EQ(object.m_volume.GetLiteral(), 100);
  EXPECT_EQ(object.m_speed.GetLiteral(), 100);
}

TEST(MediaFileRecord, KeysLevelsAndSpeeds) {
  EXPECT_EQ(CMciWnd::KeyName("C:\\CLIPS\\INTRO.AVI"), "C:\\CLIPS\\INTRO.TVN+");
  EXPECT_EQ(CMciWnd::KeyName("NAME"), "NAME.TVN+");
  EXPECT_EQ(CMciWnd::KeyName("X.MIDI1"), "X.MIDI1.TVN+");
  EXPECT_EQ(CMediaFileObject::AttenuationOf(100), 0);
  EXPECT_EQ(CMediaFileObject::AttenuationOf(0), -4000);
  EXPECT_EQ(CMediaFileObject::AttenuationOf(-500), -10000);  // clamped
  EXPECT_EQ(CMediaFileObject::AttenuationOf(300), 0);
  EXPECT_EQ(CMediaFileObject::BalanceOf(-100), -10000);
  EXPECT_EQ(CMediaFileObject::BalanceOf(250), 10000);
  EXPECT_EQ(CMediaFileObject::MciVolumeOf(100), 2000);
  CMediaFileObject object;
  EXPECT_EQ(object.MciSpeedOf(CVarOrValue(100)), 1000);
}

TEST_F(MediaObjectTest, MciCommandStringsForRangesCdAndRecording) {
  CMediaFileObject object;
  object.m_strFileName = "clip.tst";
  ASSERT_TRUE(object.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
  EXPECT_FALSE(object.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));  // the first device stays
  sent.clear();
  CVarOrValue from(150);
  object.Play(&from, nullptr, 0);
  EXPECT_EQ(sent, (std::vector<std::string>{"status length", "seek to 1 wait ", "play "}));
  sent.clear();
  object.m_dwFlags |= MediaFlag::kReportEnd;
  CVarOrValue to(500);
  object.Play(nullptr, &to, 0);
  EXPECT_EQ(sent.back(), "play to 5 notify ");
  sent.clear();
  const CdPosition start{2, 0, 0}, end{9, 1, 30};
  object.Play(nullptr, nullptr, 0, &start, &end);
  EXPECT_EQ(sent, (std::vector<std::string>{"set time format tmsf", "status number of tracks",
                                            "play from 2:0:0 to 5:1:30 notify "}));
  sent.clear();
  object.Record(&from, nullptr, MediaFlag::kDefault);
  EXPECT_EQ(sent, (std::vector<std::string>{"set time format ms", "set bitspersample 8", "set channels 1",
                                            "set samplespersec 11025", "record from 1500 "}));
  sent.clear();
  object.Seek(&to, MediaFlag::kSeekPosition);
  object.Seek(nullptr, MediaFlag::kSeekEnd);
  object.Seek(nullptr, MediaFlag::kSeekPosition);  // no value: nothing
  EXPECT_EQ(sent, (std::vector<std::string>{"seek to 5 wait ", "seek to end wait "}));
  sent.clear();
  object.SetSpeed(CVarOrValue(100), 0);  // without the speed bit: nothing
  object.SetSpeed(CVarOrValue(100), MediaFlag::kSpeed);
  object.SetVolumeBalance(&object.m_volume, nullptr);
  EXPECT_EQ(sent, (std::vector<std::string>{"set speed 1000", "setaudio volume to 1000"}));
}

TEST_F(MediaObjectTest, OpenRulesAndDeviceTypes) {
  CMediaFileObject object;
  EXPECT_FALSE(object.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));  // no name
  object.m_strFileName = "a.wav";
  const CRect empty;
  EXPECT_FALSE(object.Open(env, &empty, TRUE, nullptr, nullptr, FALSE));  // visible without an area
  object.m_dwFlags &= ~MediaFlag::kVisible;
  EXPECT_EQ(object.GetDeviceType(), "waveAudio");
  ASSERT_TRUE(object.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
  EXPECT_EQ(object.GetDeviceType(), "waveaudio");
  EXPECT_DOUBLE_EQ(object.GetLength(), 1000.0);
  object.Free();
  EXPECT_FALSE(object.GetMciWnd().IsDeviceOpen());
  // Record mode opens a new wave device without a file.
  CMediaFileObject recorder;
  recorder.m_dwFlags |= MediaFlag::kRecordMode;
  EXPECT_TRUE(recorder.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
  EXPECT_EQ(recorder.GetDeviceType(), "waveaudio");
  // A 3 x 3 area becomes 5 x 5.
  CRect small(10, 10, 13, 13);
  recorder.SetDisplayRect(small, MediaFlag::kVisible, nullptr);
  EXPECT_EQ(small, CRect(10, 10, 15, 15));
}

TEST_F(MediaObjectTest, RecordModeRecordsAndStopSavesTheFile) {
  TempDir dir;
  const auto input = dir.path() / "voice.raw";
  std::ofstream(input, std::ios::binary) << std::string(20000, '\x90');
  DiskCapture capture(input.string());
  CMediaFileObject recorder;
  recorder.m_dwFlags |= MediaFlag::kRecordMode | MediaFlag::kReportEnd;  // 8-bit mono at 11025 Hz
  recorder.m_strFileName = CString((dir.path() / "answer.wav").string());
  ASSERT_TRUE(recorder.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
  CVarOrValue to(50);  // tens of milliseconds: 500 ms
  recorder.Record(nullptr, &to, recorder.m_dwFlags);
  EXPECT_EQ(recorder.GetError(), 0u);
  WaitForNotice();
  ASSERT_EQ(Answers(recorder), (std::vector<int>{3}));  // the recording's end, reported on
  recorder.Stop();
  std::ifstream saved(dir.path() / "answer.wav", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 44u + 5514u);  // 5513 one-byte samples, padded to an even length
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(44, 5513), std::string(5513, '\x90'));
}

TEST_F(MediaObjectTest, ARecordingWithoutAFileNameIsSavedWhereTheSaveDialogSays) {
  TempDir dir;
  const auto input = dir.path() / "voice.raw";
  std::ofstream(input, std::ios::binary) << std::string(20000, '\x90');
  DiskCapture capture(input.string());
  TestVariableContext variables;
  variables.Declare("ErrorNumber", VarType::kInteger).SetLong(0);
  env.variables = &variables;
  const auto record = [&](CMediaFileObject& recorder) {
    recorder.m_dwFlags |= MediaFlag::kRecordMode | MediaFlag::kReportEnd;
    ASSERT_TRUE(recorder.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
    CVarOrValue to(20);  // 200 ms
    recorder.Record(nullptr, &to, recorder.m_dwFlags);
    ASSERT_TRUE(WaitForNotice());
    Answers(recorder);
  };

  const auto chosen = dir.path() / "chosen.wav";
  dialogs->fileAnswers.push_back(CString(chosen.string()));
  {
    CMediaFileObject recorder;
    record(recorder);
    recorder.Stop();
    ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
    const FileDialogRequest& asked = dialogs->fileDialogs[0];
    EXPECT_FALSE(asked.open);
    EXPECT_TRUE(asked.flags & OFN_OVERWRITEPROMPT);
    EXPECT_GE(asked.filter.Find("*.wav"), 0);
    std::ifstream saved(chosen, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes[44], '\x90');
    EXPECT_EQ(variables.Var("ErrorNumber").GetLong(), 0);
  }
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);  // freed, it goes to the file chosen without asking again

  // Cancelled: nothing is written, and it is no error.
  {
    CMediaFileObject cancelled;
    record(cancelled);
    cancelled.Stop();
    EXPECT_EQ(dialogs->fileDialogs.size(), 2u);
    EXPECT_EQ(cancelled.GetError(), 0u);
    EXPECT_EQ(variables.Var("ErrorNumber").GetLong(), 0);
  }
  EXPECT_EQ(dialogs->fileDialogs.size(), 2u);
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.path() != input;
  EXPECT_EQ(files, 1u);  // the chosen file only
  env.variables = nullptr;
}

TEST_F(MediaObjectTest, ARecordingWhoseMediumIsFreedIsSaved) {
  // A task moving on after the recording's end frees the medium without stopping it.
  TempDir dir;
  const auto input = dir.path() / "voice.raw";
  std::ofstream(input, std::ios::binary) << std::string(20000, '\x90');
  DiskCapture capture(input.string());
  {
    CMediaFileObject recorder;
    recorder.m_dwFlags |= MediaFlag::kRecordMode;
    recorder.m_strFileName = CString((dir.path() / "freed.wav").string());
    ASSERT_TRUE(recorder.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
    CVarOrValue to(20);  // 200 ms
    recorder.Record(nullptr, &to, recorder.m_dwFlags | MediaFlag::kReportEnd);
    WaitForNotice();
    ASSERT_EQ(Answers(recorder), (std::vector<int>{2}));  // finished: its owner lets it go
  }
  std::ifstream saved(dir.path() / "freed.wav", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 44u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
}

TEST_F(MediaObjectTest, LoopsReplayTheirPassesThroughMci) {
  for (DWORD report : {0u, MediaFlag::kReportEnd}) {
    CMediaFileObject object;
    object.m_strFileName = "a.wav";
    object.m_nLoopCount = 3;
    object.m_dwFlags |= report;
    ASSERT_TRUE(object.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
    Advance(0);
    object.Play(nullptr, nullptr, 0);
    std::vector<int> answers;
    for (int second = 0; second < 4; ++second) {
      Advance(1000);
      for (int a : Answers(object)) answers.push_back(a);
    }
    EXPECT_EQ(answers, (std::vector<int>{4, 4, report ? 3 : 2})) << report;
    // Another device's notice, or the low 16 bits of this one's, are not its own.
    EXPECT_EQ(object.OnNotify(1, object.GetMciWnd().GetDeviceID() + 0x10000), 0);
  }
}

TEST_F(MediaObjectTest, SoundLibraryPlaysOnePassAndFallsBackToTheStart) {
  CMediaFileObject object;
  object.m_nKind = MediaKind::kSoundLibrary;
  object.m_strFileName = "a.wav";
  ASSERT_TRUE(object.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
  const DWORD handle = object.GetSoundPlayer().GetHandle();
  double length = 0;
  ASSERT_TRUE(object.GetSoundPlayer().GetData(length));
  EXPECT_DOUBLE_EQ(length, 1.0);
  Advance(0);
  CVarOrValue from(200);  // 2.0 s: not below the length, so from the start
  object.Play(&from, nullptr, 0);
  Advance(999);
  EXPECT_TRUE(view->Messages(MM_MCINOTIFY).empty());
  Advance(1);
  auto notices = view->Messages(MM_MCINOTIFY);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, 1u);
  EXPECT_EQ(static_cast<DWORD>(notices[0].lParam), handle);
  EXPECT_EQ(Answers(object), (std::vector<int>{2}));
  // Switched off, the library does not open.
  media.SoundLibrary().SetPresent(false);
  CMediaFileObject absent;
  absent.m_nKind = MediaKind::kSoundLibrary;
  absent.m_strFileName = "a.wav";
  EXPECT_FALSE(absent.Open(env, nullptr, FALSE, nullptr, nullptr, FALSE));
}

TEST_F(MediaObjectTest, ClipAnnouncesItsGraphThenEnds) {
  TempDir dir;
  const auto path = dir.path() / "clip.wav";
  const auto bytes = ToneWav(1000);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  CMediaFileObject object;
  object.m_nKind = MediaKind::kClip;
  const CString name(path.string());
  ASSERT_TRUE(object.Open(env, nullptr, FALSE, &name, nullptr, FALSE));
  object.Play(nullptr, nullptr, 0);  // nothing built yet: ignored
  // The worker posts its code 2 once the clip is built.
  WaitForNotice();
  auto notices = view->Messages(MM_MCINOTIFY);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, 2u);
  EXPECT_EQ(Answers(object), (std::vector<int>{4}));
  EXPECT_EQ(object.GetPassesPlayed(), 0u);
  EXPECT_EQ(object.GetMovie().GetState(), 1);
  Advance(0);
  object.Play(nullptr, nullptr, 0);
  EXPECT_EQ(object.GetMovie().GetState(), 3);
  Advance(999);
  EXPECT_TRUE(view->Messages(MM_MCINOTIFY).empty());
  Advance(1);
  notices = view->Messages(MM_MCINOTIFY);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, 1u);
  EXPECT_EQ(static_cast<DWORD>(notices[0].lParam), object.GetMovie().GetHandle());
  EXPECT_EQ(Answers(object), (std::vector<int>{2}));
  object.Free();
  EXPECT_EQ(object.GetMovie().GetState(), 0);
}

TEST_F(MediaObjectTest, ClipOfAnotherExtensionShowsItsMessage) {
  CActiveMovieWnd movie;
  EXPECT_TRUE(CActiveMovieWnd::IsPlayableExtension("c:\\a\\b.mpg"));
  EXPECT_FALSE(CActiveMovieWnd::IsPlayableExtension("B.MP3"));
  RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  env.messages = &messages;
  CMediaFileObject object;
  object.m_nKind = MediaKind::kClip;
  const CString name = "C:\\SOUNDS\\B.MP3";
  ASSERT_TRUE(object.Open(env, nullptr, FALSE, &name, nullptr, TRUE));
  object.Free();  // joins the worker, which built nothing
  EXPECT_EQ(object.GetMovie().GetState(), 0);
  PumpReady();  // the message is shown on this thread
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "Active Movie can't play the file 'C:\\SOUNDS\\B.MP3'");
  EXPECT_TRUE(view->Messages(MM_MCINOTIFY).empty());
}

TEST_F(MediaObjectTest, TransitionMediumSoundsUntilItsEnd) {
  CEffectResources absent([] { return MediaEnvironment{}; });
  EXPECT_EQ(absent.CreateMedia(), nullptr);
  CEffectResources resources([this] { return env; });
  auto medium = resources.CreateMedia();
  ASSERT_TRUE(medium);
  EXPECT_FALSE(medium->Open(CRect(), "a.wav", view.get()));  // a shown medium needs an area
  ASSERT_TRUE(medium->Open(CRect(0, 0, 100, 100), "a.wav", view.get()));
  medium->Show();
  Advance(0);
  medium->Play();
  EXPECT_FALSE(medium->IsFinished());
  Advance(999);
  EXPECT_FALSE(medium->IsFinished());
  Advance(1);
  EXPECT_TRUE(medium->IsFinished());
  EXPECT_TRUE(view->Messages(MM_MCINOTIFY).empty());  // the default flags ask for no notice
  EXPECT_EQ(media.Output().Recorded().size(), 2u * 44100);
}

TEST(MemoryStream, AnEntryOfThePackedDataFileReadsAsAFileOfItsOwn) {
  TempDir dir;
  PackedFileBuilder().Add("before.bin", "xxxx").Add("SOUND.WAV", "0123456789").Add("after.bin", "yyyy").WriteTo(
      dir.path() / "pack.dat");
  CDataFile data;
  ASSERT_TRUE(data.Open(CString((dir.path() / "pack.dat").string())));
  MediaEnvironment env;
  env.dataFile = &data;
  CManualClock clock(100);
  CMemoryStream stream(env, "sound.wav", CMemoryStream::kUnlimited, clock, true);
  ASSERT_TRUE(stream.IsOpened());
  EXPECT_TRUE(stream.IsInMemory());
  EXPECT_EQ(stream.Size(), 10u);
  EXPECT_EQ(stream.Available(), 10u);
  char buffer[16] = {};
  EXPECT_TRUE(stream.Seek(6));
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 4);  // short only at the entry's end, never the next entry
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
  EXPECT_FALSE(stream.Seek(11));
  // A limited byte rate makes the bytes arrive with the clock.
  CMemoryStream paced(env, "SOUND.WAV", 2, clock, true);
  EXPECT_EQ(paced.Available(), 0u);
  clock.Advance(3);
  EXPECT_EQ(paced.Available(), 6u);
  // Memory only: a name on disk alone stays unopened.
  CMemoryStream absent(env, (dir.path() / "pack.dat").string(), CMemoryStream::kUnlimited, clock, true);
  EXPECT_FALSE(absent.IsOpened());
}
