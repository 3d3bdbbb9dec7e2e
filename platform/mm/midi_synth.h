// CMidiSynth: FluidSynth with a General MIDI soundfont, rendering channel messages into 16-bit stereo at the mixer's rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/mm/midi_file.h"

// The General MIDI soundfont Debian's timgm6mb-soundfont installs (or the
// default-GM link another GM soundfont package points elsewhere); empty when
// none is there.
std::string FindGeneralMidiSoundFont();

// Where a song's messages go and its sound comes from.
class IMidiSink {
 public:
  virtual ~IMidiSink() = default;
  virtual void Send(const MidiEvent& event) = 0;
  // Every channel back to its power-on state, every note silenced at once.
  virtual void Reset() = 0;
  // 16-bit stereo at the mixer's rate.
  virtual void Render(std::int16_t* out, std::size_t frames) = 0;
};

// Not thread-safe: the sequencer hands it to one thread at a time (the
// mixer's while its voice sounds).
class CMidiSynth final : public IMidiSink {
 public:
  // Null when FluidSynth cannot start or the soundfont does not load.
  static std::unique_ptr<CMidiSynth> Create(const std::string& soundFont);
  ~CMidiSynth() override;
  CMidiSynth(const CMidiSynth&) = delete;
  CMidiSynth& operator=(const CMidiSynth&) = delete;

  void Send(const MidiEvent& event) override;
  void Reset() override;
  void Render(std::int16_t* out, std::size_t frames) override;

 private:
  CMidiSynth() = default;
  struct Parts;
  std::unique_ptr<Parts> m_parts;
};
