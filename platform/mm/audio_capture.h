// CAudioCapture: SDL2's capture device delivering recorded PCM to a sink on SDL's audio thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/mm/wave_recording.h"

// SDL_AUDIODRIVER chooses the driver; its "disk" driver reads the file named
// by SDL_DISKAUDIOFILEIN, which is how tests feed it known sound.
class CAudioCapture {
 public:
  // Called with each block captured, on SDL's audio thread.
  using Sink = std::function<void(const std::uint8_t* data, std::size_t bytes)>;

  // Opens the capture device in the format (SDL converts from the device's
  // own), not yet capturing; null when no capture device opens.
  static std::unique_ptr<CAudioCapture> Open(const WaveFormat& format, Sink sink);
  void Start();
  // Stops: once it returns the sink is never called again.
  ~CAudioCapture();
  CAudioCapture(const CAudioCapture&) = delete;
  CAudioCapture& operator=(const CAudioCapture&) = delete;

 private:
  CAudioCapture() = default;
  static void Callback(void* self, std::uint8_t* stream, int length);

  Sink m_sink;
  std::uint32_t m_device = 0;
};
