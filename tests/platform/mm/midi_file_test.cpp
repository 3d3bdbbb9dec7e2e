// The Standard MIDI File reader: timing through the tempo map, track merging, the RMI wrapper and damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/mm/midi_file.h"
#include "tests/platform/mm/midi_bytes.h"

using tvn::testing::Rmi;
using tvn::testing::Smf;
using tvn::testing::Track;

namespace {

using Bytes = std::vector<std::uint8_t>;

MidiReadResult Read(const Bytes& bytes, CMidiSong& song, MidiLimits limits = {}) {
  return ReadMidiFile(bytes.data(), bytes.size(), limits, song);
}

// 480 ticks a quarter; tempo 500000; note on at 0, off at 960, end of track.
const Bytes kOneSecond = Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
                                0x00, 0x90, 0x3C, 0x64,                    // note on C4
                                0x87, 0x40, 0x80, 0x3C, 0x00,              // 960 later: note off
                                0x00, 0xFF, 0x2F, 0x00});

}  // namespace

TEST(MidiFile, TempoMapGivesMillisecondsPiecewise) {
  CMidiSong song;
  ASSERT_EQ(Read(Smf(0, 480, {kOneSecond}), song), MidiReadResult::ok);
  EXPECT_FALSE(song.damaged);
  EXPECT_EQ(song.LengthMs(), 1000u);
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.events[1].timeUs, 1000000u);
  EXPECT_EQ(song.events[1].status, 0x80);

  // Tempo doubles its quarter length half-way: 500 ms, then 480 ticks of 1 s.
  const Bytes halfway = Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  //
                               0x00, 0x90, 0x3C, 0x64,                    //
                               0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // 480: tempo 1000000
                               0x81, 0x70, 0x90, 0x3C, 0x00,  // 240 later: note off by velocity 0
                               0x81, 0x70, 0xFF, 0x2F, 0x00});
  ASSERT_EQ(Read(Smf(0, 480, {halfway}), song), MidiReadResult::ok);
  EXPECT_EQ(song.LengthMs(), 1500u);
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.events[1].timeUs, 1000000u);  // 500 ms + 240 ticks of the slower tempo
  EXPECT_EQ(song.events[1].status, 0x90);
  EXPECT_EQ(song.events[1].data2, 0);
  ASSERT_EQ(song.tempoMap.size(), 2u);
  EXPECT_EQ(song.tempoMap[1].timeUs, 500000u);
  EXPECT_EQ(song.TempoAt(1200000), 1000000u);

  // No tempo event: 120 beats a minute. SMPTE timing: 25 frames of 40 ticks a second, tempo ignored.
  ASSERT_EQ(Read(Smf(0, 96, {Track({0x60, 0xFF, 0x2F, 0x00})}), song), MidiReadResult::ok);
  EXPECT_EQ(song.LengthMs(), 500u);
  const Bytes smpte = Track({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x87, 0x68, 0xFF, 0x2F, 0x00});  // 1000 ticks
  ASSERT_EQ(Read(Smf(0, 0xE728, {smpte}), song), MidiReadResult::ok);  // -25 fps, 40 ticks a frame
  EXPECT_TRUE(song.smpte);
  EXPECT_EQ(song.LengthMs(), 1000u);
}

TEST(MidiFile, FormatOneTracksMergeInTimeOrderAndRmiUnwraps) {
  const Bytes conductor = Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00});
  const Bytes melody = Track({0x00, 0xC0, 0x05,                    // program 5
                              0x81, 0x70, 0x90, 0x40, 0x50,        // 240: note on
                              0x81, 0x70, 0x40, 0x00,              // 480, running status: velocity 0
                              0x00, 0xFF, 0x2F, 0x00});
  const Bytes bass = Track({0x83, 0x60, 0xB1, 0x07, 0x64,  // 480: volume on channel 2 (after melody's note off)
                            0x00, 0xE1, 0x00, 0x40,        // pitch bend centre
                            0x83, 0x60, 0xFF, 0x2F, 0x00});  // ends at 960
  const Bytes file = Smf(1, 480, {conductor, melody, bass});
  CMidiSong song;
  ASSERT_EQ(Read(file, song), MidiReadResult::ok);
  EXPECT_EQ(song.format, 1);
  EXPECT_EQ(song.trackCount, 3);
  ASSERT_EQ(song.events.size(), 5u);
  const std::uint8_t order[] = {0xC0, 0x90, 0x90, 0xB1, 0xE1};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(song.events[i].status, order[i]) << "event " << i;
  EXPECT_EQ(song.events[0].data1, 5);
  EXPECT_EQ(song.events[1].timeUs, 250000u);
  EXPECT_EQ(song.LengthMs(), 1000u);  // the longest track

  // The same file inside a RIFF RMID wrapper, after a chunk of another kind.
  CMidiSong wrapped;
  ASSERT_EQ(Read(Rmi(file), wrapped), MidiReadResult::ok);
  EXPECT_EQ(wrapped.events.size(), 5u);
  EXPECT_EQ(wrapped.LengthMs(), 1000u);
}

TEST(MidiFile, RunningStatusRunsOnAcrossMetaAndSystemExclusiveEvents) {
  // A 4 s song of eight quarter notes at 120 beats a minute whose messages after a meta or a
  // system-exclusive event leave out their status. The file rules cancel running status there, but
  // such files are common and played: a data byte where a status belongs continues the last status.
  const Bytes song = Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
                            0x00, 0x90, 0x3C, 0x64,                    // note on C4
                            0x83, 0x60, 0x3C, 0x00,                    // 480: off by velocity 0
                            0x00, 0xFF, 0x01, 0x01, 'a',               // a text event
                            0x00, 0x3E, 0x64,                          // note on D4, running on
                            0x83, 0x60, 0x3E, 0x00,                    //
                            0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7,        // system exclusive
                            0x00, 0x40, 0x64, 0x83, 0x60, 0x40, 0x00,  // E4
                            0x00, 0xF7, 0x01, 0x01,                    // an escaped message
                            0x00, 0x41, 0x64, 0x83, 0x60, 0x41, 0x00,  // F4
                            0x00, 0xFF, 0x06, 0x01, 'm',               // a marker
                            0x00, 0x43, 0x64, 0x83, 0x60, 0x43, 0x00,  // G4
                            0x00, 0x45, 0x64, 0x83, 0x60, 0x45, 0x00,  // A4
                            0x00, 0x47, 0x64, 0x83, 0x60, 0x47, 0x00,  // B4
                            0x00, 0xFF, 0x01, 0x01, 'b',               //
                            0x00, 0x48, 0x64, 0x83, 0x60, 0x48, 0x00,  // C5
                            0x00, 0xFF, 0x2F, 0x00});
  CMidiSong read;
  ASSERT_EQ(Read(Smf(0, 480, {song}), read), MidiReadResult::ok);
  EXPECT_FALSE(read.damaged);
  EXPECT_EQ(read.LengthMs(), 4000u);
  const std::uint8_t notes[] = {0x3C, 0x3E, 0x40, 0x41, 0x43, 0x45, 0x47, 0x48};
  ASSERT_EQ(read.events.size(), 2 * std::size(notes));
  for (std::size_t i = 0; i < std::size(notes); ++i) {
    for (std::size_t half = 0; half < 2; ++half) {
      const MidiEvent& e = read.events[2 * i + half];
      EXPECT_EQ(e.status, 0x90) << "note " << i;
      EXPECT_EQ(e.data1, notes[i]) << "note " << i;
      EXPECT_EQ(e.data2, half ? 0 : 0x64) << "note " << i;
      EXPECT_EQ(e.timeUs, 500000u * i + 500000u * half) << "note " << i;
    }
  }
}

TEST(MidiFile, HeadersThatCannotPlayAreRefused) {
  struct Row {
    Bytes bytes;
    MidiReadResult result;
  };
  const Row rows[] = {
      {{}, MidiReadResult::notMidi},
      {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, MidiReadResult::damaged},
      {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1}, MidiReadResult::damaged},  // header cut short
      {{'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1}, MidiReadResult::damaged},  // header length under 6
      {Smf(2, 480, {kOneSecond}), MidiReadResult::unsupported},                 // format 2
      {Smf(0, 0, {kOneSecond}), MidiReadResult::unsupported},                   // division 0
      {Smf(0, 0xE700, {kOneSecond}), MidiReadResult::unsupported},              // SMPTE, 0 ticks a frame
      {Smf(0, 0xF000, {kOneSecond}), MidiReadResult::unsupported},              // 16 frames a second
      {Smf(0, 480, {}), MidiReadResult::unsupported},                           // no track announced
      {Rmi(Bytes{'M', 'T', 'h', 'd'}), MidiReadResult::damaged},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CMidiSong song;
    EXPECT_EQ(Read(rows[i].bytes, song), rows[i].result) << "row " << i;
  }
}

TEST(MidiFile, DamageStopsTheTrackAndKeepsWhatCameBefore) {
  struct Row {
    Bytes track;  // the track's bytes after a note on at tick 0
    const char* what;
  };
  const Row rows[] = {
      {{0x81, 0x80, 0x80, 0x80, 0x00, 0x80, 0x3C, 0x00}, "a delta of five bytes"},
      {{0x00, 0xFF, 0x01, 0x7F, 'a'}, "a meta length past the track"},
      {{0x00, 0xF0, 0x85, 0x00, 0xF7}, "a system-exclusive length past the track"},
      {{0x00, 0xF1, 0x00}, "a system common byte"},
      {{0x00, 0x80, 0x3C, 0x90}, "a status byte where data belongs"},
      {{0x00, 0x80, 0x3C}, "a message cut by the track's end"},
      {{0x80}, "a delta cut by the track's end"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    Bytes body = {0x00, 0x90, 0x3C, 0x64};
    body.insert(body.end(), rows[i].track.begin(), rows[i].track.end());
    CMidiSong song;
    ASSERT_EQ(Read(Smf(0, 480, {Track(body)}), song), MidiReadResult::ok) << rows[i].what;
    EXPECT_TRUE(song.damaged) << rows[i].what;
    ASSERT_EQ(song.events.size(), 1u) << rows[i].what;
    EXPECT_EQ(song.events[0].status, 0x90) << rows[i].what;
  }
  // Running status with no status at all.
  CMidiSong song;
  ASSERT_EQ(Read(Smf(0, 480, {Track({0x00, 0x3C, 0x64})}), song), MidiReadResult::ok);
  EXPECT_TRUE(song.damaged);
  EXPECT_TRUE(song.events.empty());

  // A track chunk whose length runs past the file: its bytes up to the file's end are read.
  Bytes cut = Smf(0, 480, {kOneSecond});
  cut.resize(cut.size() - 4);
  ASSERT_EQ(Read(cut, song), MidiReadResult::ok);
  EXPECT_TRUE(song.damaged);
  EXPECT_EQ(song.events.size(), 2u);

  // The event cap stops reading; so does a length past the time cap.
  MidiLimits limits;
  limits.maxEvents = 2;
  ASSERT_EQ(Read(Smf(0, 480, {kOneSecond}), song, limits), MidiReadResult::ok);
  EXPECT_TRUE(song.damaged);
  EXPECT_EQ(song.events.size(), 1u);
  limits = {};
  limits.maxLengthUs = 600000;
  ASSERT_EQ(Read(Smf(0, 480, {kOneSecond}), song, limits), MidiReadResult::ok);
  EXPECT_TRUE(song.damaged);
  EXPECT_EQ(song.events.size(), 1u);
  EXPECT_EQ(song.LengthMs(), 600u);
}

TEST(MidiFile, EveryCutOfAFileReadsWithinItsBytes) {
  // Each prefix is copied into a buffer of exactly its size, so the sanitizer sees any read past it.
  const Bytes file = Rmi(Smf(1, 480, {kOneSecond, kOneSecond}));
  for (std::size_t n = 0; n <= file.size(); ++n) {
    auto copy = std::make_unique<std::uint8_t[]>(n + 1);
    std::copy(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n), copy.get());
    CMidiSong song;
    const MidiReadResult result = ReadMidiFile(copy.get(), n, MidiLimits{}, song);
    if (n == file.size()) {
      EXPECT_EQ(result, MidiReadResult::ok);
      EXPECT_FALSE(song.damaged);
    }
    if (result == MidiReadResult::ok) {
      EXPECT_LE(song.LengthMs(), 1000u) << "cut at " << n;
    }
  }
}
