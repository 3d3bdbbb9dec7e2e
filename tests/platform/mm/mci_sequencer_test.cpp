// The MIDI sequencer: MCI timing by mixer frames, seeking with replayed state, and silence without a soundfont.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/mm/mci_errors.h"
#include "platform/mm/media_system.h"
#include "platform/mm/midi_stream.h"
#include "platform/mm/midi_synth.h"
#include "tests/platform/mm/midi_bytes.h"
#include "tests/platform/mm/mci_string_test.h"
#include "tests/support/temp_dir.h"

using tvn::testing::Smf;
using tvn::testing::TempDir;
using tvn::testing::Track;

namespace {

using Bytes = std::vector<std::uint8_t>;

// 480 ticks a quarter, tempo 500000: program 5 and volume 100 at 0, a note,
// volume 50 and a pitch bend at 480 ticks (500 ms), the note's end at 960 (1000 ms).
const Bytes kSong = Smf(0, 480, {Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  //
                                        0x00, 0xC0, 0x05,                          //
                                        0x00, 0xB0, 0x07, 0x64,                    //
                                        0x00, 0xC1, 0x09,                          //
                                        0x00, 0x90, 0x3C, 0x64,                    //
                                        0x83, 0x60, 0xB0, 0x07, 0x32,              //
                                        0x00, 0xE0, 0x00, 0x50,                    //
                                        0x83, 0x60, 0x80, 0x3C, 0x00,              //
                                        0x00, 0xFF, 0x2F, 0x00})});

// The same length with a tempo change half-way: 500 ms, then 480 ticks of a 1 s quarter.
const Bytes kSlowingSong = Smf(0, 480, {Track({0x00, 0x90, 0x3C, 0x64,                          //
                                               0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  //
                                               0x83, 0x60, 0x80, 0x3C, 0x00,                    //
                                               0x00, 0xFF, 0x2F, 0x00})});

class SequencerTest : public MciStringTest {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir.path() / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  TempDir dir;
};

// Records what the stream sends and at which of its rendered frames.
class RecordingSink final : public IMidiSink {
 public:
  struct Sent {
    std::size_t frame;
    MidiEvent event;
  };
  explicit RecordingSink(std::vector<Sent>& sent, int& resets) : m_sent(sent), m_resets(resets) {}
  void Send(const MidiEvent& event) override { m_sent.push_back({m_frames, event}); }
  void Reset() override { ++m_resets; }
  void Render(std::int16_t* out, std::size_t frames) override {
    std::fill(out, out + frames * 2, std::int16_t{0});
    m_frames += frames;
  }

 private:
  std::vector<Sent>& m_sent;
  int& m_resets;
  std::size_t m_frames = 0;
};

}  // namespace

TEST_F(SequencerTest, OneSecondSongReportsItsLengthAndOneNoticeAtItsEnd) {
  const std::string id = Reply("open \"" + Write("song.mid", kSong) + "\" alias song");
  EXPECT_EQ(media.Mci().GetDeviceType(std::stoul(id)), "sequencer");
  EXPECT_EQ(Reply("status song length"), "1000");
  EXPECT_EQ(Reply("status song time format"), "milliseconds");
  EXPECT_EQ(Reply("status song mode"), "stopped");
  Reply("play song notify");
  EXPECT_EQ(Reply("status song mode"), "playing");
  Advance(500);
  EXPECT_EQ(Reply("status song position"), "500");
  EXPECT_EQ(Reply("status song tempo"), "120");
  Advance(499);
  EXPECT_TRUE(Notices().empty());
  Advance(1);
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, 1u);
  EXPECT_EQ(Notices()[0].lParam, static_cast<LPARAM>(std::stoul(id)));
  EXPECT_EQ(Reply("status song mode"), "stopped");
  EXPECT_EQ(Reply("status song position"), "1000");
  Advance(1000);
  EXPECT_EQ(Notices().size(), 1u);

  // A tempo change half-way counts each part at its own tempo.
  Reply("open \"" + Write("slowing.rmi.mid", kSlowingSong) + "\" alias slow");
  EXPECT_EQ(Reply("status slow length"), "1500");
  Reply("play slow notify");
  Advance(1499);
  EXPECT_EQ(Notices().size(), 1u);
  Advance(1);
  ASSERT_EQ(Notices().size(), 2u);
  EXPECT_EQ(Notices()[1].wParam, 1u);
}

TEST_F(SequencerTest, PauseSeekStopAndErrors) {
  Reply("open \"" + Write("song.mid", kSong) + "\" type sequencer alias song");
  Reply("play song");
  Advance(100);
  Reply("pause song");
  EXPECT_EQ(Reply("status song mode"), "paused");
  Advance(500);
  EXPECT_EQ(Reply("status song position"), "100");
  Reply("play song notify");  // goes on where it paused
  Advance(100);
  EXPECT_EQ(Reply("status song position"), "200");
  Reply("stop song");
  Advance(1);
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, 4u);  // aborted

  Reply("seek song to 500");
  EXPECT_EQ(Reply("status song position"), "500");
  Reply("play song to 750 notify");
  Advance(249);
  EXPECT_EQ(Notices().size(), 1u);
  Advance(1);
  ASSERT_EQ(Notices().size(), 2u);
  EXPECT_EQ(Notices()[1].wParam, 1u);
  EXPECT_EQ(Reply("status song position"), "750");

  EXPECT_EQ(Send("play song from 2000"), MciError::kOutOfRange);
  EXPECT_EQ(Send("play song from 900 to 800"), MciError::kOutOfRange);
  EXPECT_EQ(Send("set song time format frames"), MciError::kBadTimeFormat);
  EXPECT_EQ(Send("set song time format tmsf"), MciError::kBadTimeFormat);
  EXPECT_EQ(Send("record song"), MciError::kUnsupportedFunction);
  EXPECT_EQ(Send("open \"" + Write("noise.mid", Bytes{'R', 'I', 'F', 'X', 1, 2}) + "\" alias noise"),
            MciError::kInvalidFile);
}

TEST_F(SequencerTest, SilentButExactlyTimedWithoutASoundFontAndSoundingWithOne) {
  const std::string song = Write("song.mid", kSong);
  media.Mci().Services().soundFont.clear();
  Reply("open \"" + song + "\" alias quiet");
  Reply("play quiet notify");
  Advance(999);
  EXPECT_TRUE(Notices().empty());
  Advance(1);
  EXPECT_EQ(Notices().size(), 1u);
  const auto silent = media.Output().Recorded();
  EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](std::int16_t s) { return s == 0; }));

  const std::string soundFont = FindGeneralMidiSoundFont();
  if (soundFont.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  media.Mci().Services().soundFont = soundFont;
  Reply("open \"" + song + "\" alias loud");
  Reply("play loud notify");
  Advance(999);
  EXPECT_EQ(Notices().size(), 1u);
  Advance(1);
  EXPECT_EQ(Notices().size(), 2u);
  const auto played = media.Output().Recorded();
  EXPECT_TRUE(std::any_of(played.begin() + static_cast<std::ptrdiff_t>(silent.size()), played.end(),
                          [](std::int16_t s) { return s != 0; }));
}

TEST(MidiStream, SeekReplaysProgramAndControllerStateThenSendsEachEventOnItsFrame) {
  auto song = std::make_shared<CMidiSong>();
  ASSERT_EQ(ReadMidiFile(kSong.data(), kSong.size(), MidiLimits{}, *song), MidiReadResult::ok);
  std::vector<RecordingSink::Sent> sent;
  int resets = 0;
  CMidiStream stream(song, std::make_unique<RecordingSink>(sent, resets));
  EXPECT_EQ(stream.LengthFrames(), 44100u);

  stream.Start(CMidiStream::FrameOf(750000), stream.LengthFrames());  // a seek to 750 ms
  EXPECT_EQ(resets, 1);
  // Programs, controllers and the pitch bend before 750 ms, in file order; never the note.
  const std::uint8_t replayed[][3] = {{0xC0, 5, 0}, {0xB0, 7, 100}, {0xC1, 9, 0}, {0xB0, 7, 50}, {0xE0, 0, 0x50}};
  ASSERT_EQ(sent.size(), std::size(replayed));
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(sent[i].event.status, replayed[i][0]) << "event " << i;
    EXPECT_EQ(sent[i].event.data1, replayed[i][1]) << "event " << i;
    EXPECT_EQ(sent[i].event.data2, replayed[i][2]) << "event " << i;
  }
  // The note's end goes out on the frame of 1000 ms, 11025 frames on; then the stream has ended.
  std::vector<std::int16_t> out(2 * 20000);
  EXPECT_EQ(stream.Render(out.data(), 20000), 11025u);
  EXPECT_TRUE(stream.Ended());
  ASSERT_EQ(sent.size(), std::size(replayed) + 1);
  EXPECT_EQ(sent.back().event.status, 0x80);
  EXPECT_EQ(sent.back().frame, 11025u);

  // From the start nothing is replayed and events at 500 ms go out on frame 22050.
  sent.clear();
  CMidiStream fresh(song, std::make_unique<RecordingSink>(sent, resets));
  fresh.Start(0, fresh.LengthFrames());
  EXPECT_EQ(fresh.Render(out.data(), 20000), 20000u);
  EXPECT_EQ(sent.size(), 4u);  // everything at time 0
  EXPECT_EQ(fresh.Render(out.data(), 20000), 20000u);
  ASSERT_EQ(sent.size(), 6u);
  EXPECT_EQ(sent[4].frame, 22050u);
  EXPECT_EQ(sent[5].event.status, 0xE0);
}
