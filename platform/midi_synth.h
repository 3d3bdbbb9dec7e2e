// CMidiSynth: FluidSynth with a General MIDI soundfont, rendering channel messages into 16-bit stereo at the mixer's rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi_file.h"

// The General MIDI soundfont Debian's timgm6mb-soundfont installs (or the
// default-GM link another GM soundfont package points elsewhere); empty when
// none is there.
std::string FindGeneralMidiSoundFont();

// Not thread-safe: the sequencer hands it to one thread at a time (the
// mixer's while its voice sounds).
class CMidiSynth {
 public:
  // Null when FluidSynth cannot start or the soundfont does not load.
  static std::unique_ptr<CMidiSynth> Create(const std::string& soundFont);
  ~CMidiSynth();
  CMidiSynth(const CMidiSynth&) = delete;
  CMidiSynth& operator=(const CMidiSynth&) = delete;

  void Send(const MidiEvent& event);
  // Every channel back to its power-on state, every note silenced at once.
  void Reset();
  void Render(std::int16_t* out, std::size_t frames);

 private:
  CMidiSynth() = default;
  struct Parts;
  std::unique_ptr<Parts> m_parts;
};
