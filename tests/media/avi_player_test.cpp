// The AVI player and its sound: the time line, passes and notices, the sound's clock, drawing and the memory-file list.
#include <gtest/gtest.h>

#include <algorithm>

#include "media/avi_player.h"
#include "media/mmio_mem_file.h"
#include "model/data_file.h"
#include "platform/gdi/image_dc.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

// The media every case plays, made once: ffmpeg takes a moment per file.
struct AviFiles {
  TempDir dir;
  std::vector<std::uint8_t> solid;     // 20 frames at 10 fps, one colour
  std::vector<std::uint8_t> numbered;  // 20 frames, red 12 x the frame number
  std::vector<std::uint8_t> withSound;  // 1 s of numbered frames over 2 s of sound
};

const AviFiles* Files() {
  static const AviFiles* files = [] {
    if (!HaveFfmpeg()) return static_cast<AviFiles*>(nullptr);
    auto* f = new AviFiles;
    f->solid = MakeAvi({.solid = true}, f->dir / "solid.avi");
    f->numbered = MakeAvi({}, f->dir / "numbered.avi");
    f->withSound = MakeAvi({.frames = 10, .soundSeconds = 2.0}, f->dir / "sound.avi");
    return f;
  }();
  return files;
}

std::shared_ptr<CPcmBuffer> Silence(DWORD frames) {
  auto pcm = std::make_shared<CPcmBuffer>();
  pcm->samples.assign(static_cast<std::size_t>(frames) * 2, 0);
  return pcm;
}

// The WAVEFORMATEX block size of the first audio stream, overwritten.
bool SetBlockAlign(std::vector<std::uint8_t>& avi, std::uint16_t value) {
  const std::string auds = "auds";
  auto at = std::search(avi.begin(), avi.end(), auds.begin(), auds.end());
  const std::string strf = "strf";
  at = std::search(at, avi.end(), strf.begin(), strf.end());
  if (at == avi.end() || avi.end() - at < 8 + 14) return false;
  const std::size_t align = static_cast<std::size_t>(at - avi.begin()) + 8 + 12;
  avi[align] = static_cast<std::uint8_t>(value);
  avi[align + 1] = static_cast<std::uint8_t>(value >> 8);
  return true;
}

}  // namespace

class AviPlayerTest : public WindowTest {
 protected:
  AviPlayerTest() : media(clock, CAudioOutput::Mode::recording) {
    window = MakeWindow();
    media.SetSourceOpener([this](const CString& name) -> std::unique_ptr<IMediaByteSource> {
      auto it = std::find_if(disk.begin(), disk.end(), [&](const auto& f) { return f.first == name; });
      if (it == disk.end()) return nullptr;
      return std::make_unique<CMemoryByteSource>(it->second, name);
    });
    env.system = &media;
    env.owner = window->GetSafeHwnd();
    env.memFiles = &memFiles;
  }

  void SetUp() override {
    if (!Files()) GTEST_SKIP() << "Debian's ffmpeg is not installed: no AVI to play";
    ASSERT_FALSE(Files()->solid.empty());
    disk.emplace_back("SOLID.AVI", Files()->solid);
    disk.emplace_back("NUMBERED.AVI", Files()->numbered);
    disk.emplace_back("SOUND.AVI", Files()->withSound);
  }

  std::unique_ptr<CAviPlayer> Open(const CString& name, LONG loops = 1) {
    auto player = std::make_unique<CAviPlayer>(env);
    if (!player->Open(name, window->GetSafeHwnd(), loops)) return nullptr;
    return player;
  }
  void Advance(DWORD ms) {
    clock.Advance(ms);
    media.Output().Pump();
  }
  std::vector<RecordedMessage> Notices() {
    PumpReady();
    auto notices = window->Messages(MM_MCINOTIFY);
    window->received.clear();
    return notices;
  }

  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> window;
  CMmioMemFileList memFiles;
  MediaEnvironment env;
  std::vector<std::pair<CString, std::vector<std::uint8_t>>> disk;
};

TEST_F(AviPlayerTest, TwentyFramesAtTenPerSecondMakeATwoSecondTimeLine) {
  auto player = Open("SOLID.AVI");
  ASSERT_TRUE(player);
  EXPECT_EQ(player->GetLength(), 20);
  EXPECT_EQ(player->GetRangeStart(), 0);
  EXPECT_EQ(player->GetRangeEnd(), 2000);
  EXPECT_EQ(player->GetStopTime(), 2000);
  EXPECT_EQ(player->GetPath(), "SOLID.AVI");  // on disk only: its own name
  EXPECT_FALSE(player->IsRegistered());
  EXPECT_NE(player->GetId(), 0u);

  EXPECT_EQ(player->FrameToTime(5), 500);
  EXPECT_EQ(player->GetStopTime(), 500);
  EXPECT_EQ(player->FrameToTime(20), 2000);  // the end of the last frame
  player->Play();
  EXPECT_FALSE(player->OnIdle());  // the same time as at the start
  Advance(250);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_EQ(player->GetCurrentTime(), 250);
  EXPECT_EQ(player->GetCurrentFrame(), 2);
  EXPECT_FALSE(player->OnIdle());

  // Seeking sets where the next play starts; -1 moves to the stop time.
  player->Stop();
  player->Seek(12);
  EXPECT_EQ(player->GetStartTime(), 1200);
  EXPECT_EQ(player->GetCurrentFrame(), 12);
  player->FrameToTime(15);
  player->Seek(-1);
  EXPECT_EQ(player->GetCurrentFrame(), 15);
  EXPECT_FALSE(player->OnIdle());  // stopped
}

TEST_F(AviPlayerTest, TwoPassesWithoutSoundRestartPastTheEndThenNoticeOnce) {
  auto player = Open("NUMBERED.AVI", 2);
  ASSERT_TRUE(player);
  player->Play();
  EXPECT_FALSE(player->IsAudioPlaying());
  Advance(2000);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_EQ(player->GetCurrentTime(), 2000);
  EXPECT_EQ(player->GetCurrentFrame(), 19);  // the last frame, never one past the stream
  EXPECT_TRUE(player->IsPlaying());
  Advance(1);
  EXPECT_TRUE(player->OnIdle());  // past the end: the second pass starts
  EXPECT_EQ(player->GetCurrentTime(), 0);
  EXPECT_EQ(player->GetPassesPlayed(), 1);
  EXPECT_TRUE(Notices().empty());
  Advance(1500);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_EQ(player->GetCurrentFrame(), 15);
  Advance(501);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_EQ(player->GetPassesPlayed(), 0);
  const auto notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, 1u);
  EXPECT_EQ(static_cast<DWORD>(notices[0].lParam), player->GetId());
  Advance(100);
  EXPECT_FALSE(player->OnIdle());
  EXPECT_TRUE(Notices().empty());
}

TEST_F(AviPlayerTest, TheSoundTimesThePictureAndSpansTheTimeLine) {
  auto player = Open("SOUND.AVI");
  ASSERT_TRUE(player);
  EXPECT_EQ(player->GetLength(), 10);
  EXPECT_EQ(player->GetRangeEnd(), 2000);  // 2 s of sound under 1 s of video
  player->Play();
  EXPECT_TRUE(player->IsAudioPlaying());
  Advance(400);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_EQ(player->GetCurrentTime(), 400);
  EXPECT_EQ(player->GetCurrentFrame(), 4);
  Advance(1100);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_EQ(player->GetCurrentFrame(), 9);  // the last frame while the sound goes on
  // The sound heard is the track's own: not silence.
  const auto recorded = media.Output().Recorded();
  EXPECT_TRUE(std::any_of(recorded.begin(), recorded.end(), [](std::int16_t s) { return std::abs(s) > 1000; }));
  Advance(600);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(AviPlayerTest, EachPlayerHasItsOwnSoundAndClock) {
  auto first = Open("SOUND.AVI");
  auto second = Open("SOUND.AVI");
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->GetId(), second->GetId());
  first->Play();
  Advance(500);
  second->Play();
  Advance(300);
  first->OnIdle();
  second->OnIdle();
  EXPECT_EQ(first->GetCurrentTime(), 800);
  EXPECT_EQ(second->GetCurrentTime(), 300);
  first->Stop();
  EXPECT_FALSE(first->IsAudioPlaying());
  EXPECT_TRUE(second->IsAudioPlaying());  // stopping one leaves the other sounding
  Advance(200);
  EXPECT_TRUE(second->OnIdle());
  EXPECT_EQ(second->GetCurrentTime(), 500);
}

TEST_F(AviPlayerTest, ASoundThatCannotPlayLeavesThePictureToTheClock) {
  auto bytes = Files()->withSound;
  ASSERT_TRUE(SetBlockAlign(bytes, 0));
  disk.emplace_back("NOSIZE.AVI", bytes);
  auto player = Open("NOSIZE.AVI");
  if (!player) GTEST_SKIP() << "this FFmpeg refuses a sound without a block size";
  player->Play();
  EXPECT_FALSE(player->IsAudioPlaying());
  Advance(700);
  EXPECT_TRUE(player->OnIdle());
  EXPECT_EQ(player->GetCurrentTime(), 700);
  EXPECT_EQ(player->GetCurrentFrame(), 7);
}

TEST_F(AviPlayerTest, TheFrameOfTheCurrentTimeIsDrawnScaledIntoItsRectangle) {
  auto player = Open("NUMBERED.AVI");
  ASSERT_TRUE(player);
  CPixelImage page(120, 90);
  page.Fill(RGB(0, 0, 0xFF));
  CImageDC dc(page);
  player->SetRect(CRect(20, 10, 100, 70));
  player->Seek(7);
  player->Draw(&dc);
  EXPECT_EQ(page.GetPixel(20, 10), RGB(84, 0, 0));
  EXPECT_EQ(page.GetPixel(99, 69), RGB(84, 0, 0));
  EXPECT_EQ(page.GetPixel(100, 70), RGB(0, 0, 0xFF));
  EXPECT_EQ(page.GetPixel(19, 9), RGB(0, 0, 0xFF));
  player->Seek(25);  // past the end: the last frame
  player->Draw(&dc);
  EXPECT_EQ(page.GetPixel(50, 40), RGB(228, 0, 0));
  player->Draw(nullptr);
}

TEST_F(AviPlayerTest, MediaInTheDataFileShareTheProcedureWhileAnyIsOpen) {
  TempDir dir;
  PackedFileBuilder().Add("INTRO.AVI", Files()->solid).Add("OTHER.AVI", Files()->numbered).WriteTo(dir / "pack.dat");
  CDataFile data;
  ASSERT_TRUE(data.Open(CString((dir / "pack.dat").string())));
  env.dataFile = &data;

  auto first = Open("intro.avi");
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->IsRegistered());
  EXPECT_EQ(first->GetPath(), "intro.TVN+");
  EXPECT_TRUE(memFiles.IsProcInstalled());
  auto second = Open("OTHER.AVI");
  ASSERT_TRUE(second);
  EXPECT_EQ(memFiles.GetCount(), 2u);
  EXPECT_EQ(memFiles.GetInstallCount(), 1);  // not installed again
  EXPECT_EQ(second->GetLength(), 20);
  first.reset();
  EXPECT_TRUE(memFiles.IsProcInstalled());  // the second still reads through it
  EXPECT_EQ(FindMemFileByName(memFiles, "intro.TVN+"), nullptr);
  ASSERT_NE(FindMemFileByName(memFiles, "OTHER.TVN+"), nullptr);
  EXPECT_EQ(FindMemFileByName(memFiles, "other.tvn+"), nullptr);  // keys are case-sensitive
  CPixelImage page(8, 8);
  CImageDC dc(page);
  second->SetRect(CRect(0, 0, 8, 8));
  second->Seek(5);
  second->Draw(&dc);
  EXPECT_EQ(page.GetPixel(4, 4), RGB(60, 0, 0));
  second.reset();
  EXPECT_FALSE(memFiles.IsProcInstalled());
  EXPECT_TRUE(memFiles.IsEmpty());
  EXPECT_EQ(memFiles.OpenStream("OTHER.TVN+"), nullptr);
}

TEST(MmioMemFile, EachStreamKeepsItsOwnPlaceAndOutlivesItsEntry) {
  TempDir dir;
  PackedFileBuilder().Add("A.AVI", "0123456789").Add("B.AVI", "abcdef").WriteTo(dir / "pack.dat");
  CDataFile data;
  ASSERT_TRUE(data.Open(CString((dir / "pack.dat").string())));
  CMmioMemFileList list;
  EXPECT_EQ(list.OpenStream("A.TVN+"), nullptr);  // nothing installed yet

  auto disk = std::make_unique<CMmioMemFile>(&data, nullptr, (dir / "pack.dat").string().c_str(), "P.TVN+");
  EXPECT_FALSE(disk->IsInMemory());  // on disk only: left closed, no error
  EXPECT_TRUE(disk->Reopen("b.avi", "B.TVN+"));
  EXPECT_TRUE(disk->IsInMemory());
  EXPECT_EQ(disk->GetKeyName(), "B.TVN+");

  CMmioMemFile* a = list.Add(std::make_unique<CMmioMemFile>(&data, nullptr, "A.AVI", "A.TVN+"));
  CMmioMemFile* b = list.Add(std::move(disk));
  EXPECT_EQ(list.GetInstallCount(), 1);
  auto one = list.OpenStream("A.TVN+");
  auto two = list.OpenStream("A.TVN+");
  ASSERT_TRUE(one && two);
  EXPECT_NE(a->GetMmioHandle(), 0u);
  EXPECT_EQ(one->Size(), 10u);
  char buffer[8] = {};
  ASSERT_TRUE(one->Seek(6));
  EXPECT_EQ(two->Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "012");
  EXPECT_EQ(one->Read(buffer, 8), 4);  // to the entry's end, never into the next
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_FALSE(one->Seek(11));

  RemoveAndDeleteObject(list, a);
  EXPECT_TRUE(list.IsProcInstalled());
  EXPECT_EQ(list.OpenStream("A.TVN+"), nullptr);
  EXPECT_EQ(two->Read(buffer, 2), 2);  // an open stream reads on
  EXPECT_EQ(std::string(buffer, 2), "34");
  CMmioMemFile stranger(&data, nullptr, "B.AVI", "B.TVN+");
  RemoveAndDeleteObject(list, &stranger);  // not in the list: nothing happens
  EXPECT_EQ(list.GetCount(), 1u);
  RemoveAndDeleteObject(list, b);
  EXPECT_FALSE(list.IsProcInstalled());
  list.Add(std::make_unique<CMmioMemFile>(&data, nullptr, "A.AVI", "A.TVN+"));
  EXPECT_EQ(list.GetInstallCount(), 2);
}

TEST(AviAudio, TheVoiceConsumedIsTheClock) {
  EXPECT_EQ(MulDivRound(1, 1000, 3), 333u);
  EXPECT_EQ(MulDivRound(2, 3, 4), 2u);
  EXPECT_EQ(MulDivRound(0xFFFFFFFFu, 0xFFFFFFFFu, 1), 0xFFFFFFFFu);
  EXPECT_EQ(MulDivRound(5, 5, 0), 0u);
  EXPECT_EQ(CAviAudioPlayer::AudioClock(11025, 22050, 22050, 22050), 1500);

  CManualClock clock(0);
  CAudioOutput output(clock, CAudioOutput::Mode::recording);
  CAviAudioPlayer player(&output.Mixer());
  EXPECT_EQ(player.GetAviAudioTime(), -1);  // idle
  AviAudioStream stream;
  stream.sampleSize = 2;
  stream.samplesPerSec = 22050;
  stream.lengthSamples = 4 * 22050;
  stream.sound = Silence(4 * 44100);
  ASSERT_TRUE(player.PlayAviAudio(nullptr, stream, 11025, 2 * 22050));
  EXPECT_EQ(player.GetAviAudioTime(), 500);
  clock.Advance(1000);
  output.Pump();
  EXPECT_EQ(player.GetAviAudioTime(), 1500);
  // Playing on, only the end moves.
  ASSERT_TRUE(player.PlayAviAudio(nullptr, stream, 0, 3 * 22050));
  EXPECT_EQ(player.GetAviAudioTime(), 1500);
  clock.Advance(1000);
  output.Pump();
  EXPECT_EQ(player.GetAviAudioTime(), 2500);
  clock.Advance(600);
  output.Pump();
  EXPECT_EQ(player.GetAviAudioTime(), -1);  // played to its end
  CAviAudioPlayer::AviAudioOnWaveDone(957, 0, 0);

  // The block size decides what can be played.
  const auto playsWith = [&](DWORD size) {
    CAviAudioPlayer other(&output.Mixer());
    AviAudioStream s = stream;
    s.sampleSize = size;
    return other.PlayAviAudio(nullptr, s);
  };
  EXPECT_FALSE(playsWith(0));
  EXPECT_TRUE(playsWith(16384));
  EXPECT_FALSE(playsWith(16385));
  EXPECT_FALSE(player.PlayAviAudio(nullptr, stream, 3 * 22050, 22050));  // start not below the end
  CAviAudioPlayer silent(nullptr);
  EXPECT_FALSE(silent.PlayAviAudio(nullptr, stream));
}
