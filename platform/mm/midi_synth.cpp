// FluidSynth behind CMidiSynth, and where the General MIDI soundfont is looked for.
#include "platform/mm/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/mm/pcm_buffer.h"

namespace {

// FluidSynth writes its warnings to the terminal; the sequencer reports failures itself.
void QuietFluidSynth() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, nullptr, nullptr);
  });
}

}  // namespace

std::string FindGeneralMidiSoundFont() {
  constexpr std::array kPlaces = {
      "/usr/share/sounds/sf2/TimGM6mb.sf2",
      "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/soundfonts/default.sf2",
      "/usr/share/sounds/sf2/FluidR3_GM.sf2",
  };
  for (const char* place : kPlaces) {
    std::error_code error;
    if (std::filesystem::is_regular_file(place, error)) return place;
  }
  return {};
}

struct CMidiSynth::Parts {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  ~Parts() {
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
  }
};

std::unique_ptr<CMidiSynth> CMidiSynth::Create(const std::string& soundFont) {
  if (soundFont.empty()) return nullptr;
  QuietFluidSynth();
  std::unique_ptr<CMidiSynth> synth(new CMidiSynth());
  synth->m_parts = std::make_unique<Parts>();
  Parts& p = *synth->m_parts;
  p.settings = new_fluid_settings();
  if (!p.settings) return nullptr;
  fluid_settings_setnum(p.settings, "synth.sample-rate", static_cast<double>(CPcmBuffer::kRate));
  fluid_settings_setnum(p.settings, "synth.gain", 0.5);
  fluid_settings_setint(p.settings, "synth.cpu-cores", 1);
  p.synth = new_fluid_synth(p.settings);
  if (!p.synth) return nullptr;
  if (fluid_synth_sfload(p.synth, soundFont.c_str(), 1) == FLUID_FAILED) return nullptr;
  return synth;
}

CMidiSynth::~CMidiSynth() = default;

void CMidiSynth::Send(const MidiEvent& e) {
  fluid_synth_t* s = m_parts->synth;
  const int channel = e.status & 0x0F;
  switch (e.status & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, channel, e.data1); break;
    case 0x90:
      if (e.data2 == 0) fluid_synth_noteoff(s, channel, e.data1);
      else fluid_synth_noteon(s, channel, e.data1, e.data2);
      break;
    case 0xA0: fluid_synth_key_pressure(s, channel, e.data1, e.data2); break;
    case 0xB0: fluid_synth_cc(s, channel, e.data1, e.data2); break;
    case 0xC0: fluid_synth_program_change(s, channel, e.data1); break;
    case 0xD0: fluid_synth_channel_pressure(s, channel, e.data1); break;
    case 0xE0: fluid_synth_pitch_bend(s, channel, e.data1 | (e.data2 << 7)); break;
    default: break;
  }
}

void CMidiSynth::Reset() { fluid_synth_system_reset(m_parts->synth); }

void CMidiSynth::Render(std::int16_t* out, std::size_t frames) {
  while (frames > 0) {
    const int n = static_cast<int>(std::min<std::size_t>(frames, 4096));
    fluid_synth_write_s16(m_parts->synth, n, out, 0, 2, out, 1, 2);
    out += static_cast<std::size_t>(n) * 2;
    frames -= static_cast<std::size_t>(n);
  }
}
