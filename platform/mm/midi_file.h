// CMidiSong and ReadMidiFile: a Standard MIDI File (formats 0 and 1, bare or in an RMI wrapper) as timed channel messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base/win_types.h"

// One channel message (status 0x80 to 0xEF) at its time from the start.
struct MidiEvent {
  std::uint64_t timeUs = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;  // 0 for the one-byte messages (program, channel pressure)
};

// Where the tempo changes: from tick on, a quarter note lasts usPerQuarter.
struct MidiTempoChange {
  std::uint64_t tick = 0;
  std::uint64_t timeUs = 0;  // the time at tick
  std::uint32_t usPerQuarter = 500000;
};

// What a file may make the reader keep; past them it stops as at damage.
struct MidiLimits {
  std::size_t maxEvents = 1'000'000;                   // events of every kind read, all tracks together
  std::uint64_t maxLengthUs = 24ull * 3600 * 1000000;  // a day
};

struct CMidiSong {
  int format = 0;
  int trackCount = 0;     // tracks the header announced
  // SMPTE timing counts as a "quarter" of frames-per-second x ticks-per-frame
  // ticks lasting one second (1.001 s for 30 x ticks-per-frame at 29.97).
  int ticksPerQuarter = 0;
  bool smpte = false;  // tempo events then change nothing
  std::vector<MidiEvent> events;  // in time order; equal times keep the file's order
  std::vector<MidiTempoChange> tempoMap;  // never empty for a song read; the first at tick 0
  std::uint64_t lengthUs = 0;  // to the last end of track
  bool damaged = false;        // a track stopped at damage or a limit; what came before is kept

  DWORD LengthMs() const { return static_cast<DWORD>(lengthUs / 1000); }
  // The quarter-note length in effect at a time.
  std::uint32_t TempoAt(std::uint64_t timeUs) const;
};

enum class MidiReadResult {
  ok,           // possibly damaged part-way (see CMidiSong::damaged)
  notMidi,      // no MThd header (bare or inside an RMID data chunk)
  unsupported,  // format 2, or a header whose numbers cannot be played
  damaged,      // a header or wrapper cut short, or no track at all
};

// Reads the whole file from memory; every length and offset is checked
// against the bytes there: running status with no status, numbers of more
// than four bytes and lengths past their track stop that track at the damage.
MidiReadResult ReadMidiFile(const std::uint8_t* data, std::size_t size, const MidiLimits& limits, CMidiSong& out);
