// CAudioOutput: where the mixer's sound goes: SDL2's audio device, a silent sink paced by the clock, or a recording.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/mm/audio_mixer.h"
#include "platform/msg/clock.h"

class CAudioOutput {
 public:
  enum class Mode {
    device,     // SDL2's default device (SDL_AUDIODRIVER chooses the driver); silent when none opens
    silent,     // no device: a thread mixes as the clock advances, so media still end
    recording,  // nothing runs by itself: Pump mixes what the clock says is due and keeps it
  };

  CAudioOutput(const IClock& clock, Mode mode);
  ~CAudioOutput();
  CAudioOutput(const CAudioOutput&) = delete;
  CAudioOutput& operator=(const CAudioOutput&) = delete;

  CAudioMixer& Mixer() { return m_mixer; }
  // The mode in effect (a device that did not open falls back to silent).
  Mode GetMode() const { return m_mode; }
  const IClock& Clock() const { return m_clock; }

  // Mixes the frames due since the last pump by the clock; the frames mixed.
  // Any mode but device; the silent mode's thread calls it itself.
  std::size_t Pump();
  // Frames handed to the sound card and not yet played (a buffer's worth
  // right after its callback); 0 for the silent and recording sinks, whose
  // frames count as played when mixed.
  DWORD UnplayedFrames() const { return m_mixer.UnplayedFrames(); }
  // The recording: every frame pumped so far (recording mode).
  std::vector<std::int16_t> Recorded() const;

 private:
  bool OpenDevice();
  void CloseDevice();
  void RunSilent();

  const IClock& m_clock;
  Mode m_mode;
  CAudioMixer m_mixer;

  mutable std::mutex m_pumpMutex;
  DWORD m_start = 0;
  unsigned long long m_framesDone = 0;
  std::vector<std::int16_t> m_recorded;
  std::vector<std::int16_t> m_scratch;

  std::uint32_t m_device = 0;  // SDL's device id; 0 when none is open
  bool m_sdlStarted = false;

  std::mutex m_threadMutex;
  std::condition_variable m_wake;
  bool m_quit = false;
  std::thread m_thread;
};
