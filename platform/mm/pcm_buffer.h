// CPcmBuffer: decoded sound in the mixer's one format, 16-bit stereo at 44100 frames per second.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/win_types.h"

struct CPcmBuffer {
  static constexpr DWORD kRate = 44100;
  static constexpr int kChannels = 2;

  std::vector<std::int16_t> samples;  // interleaved left, right

  DWORD Frames() const { return static_cast<DWORD>(samples.size() / kChannels); }
  DWORD LengthMs() const { return FramesToMs(Frames()); }

  static DWORD FramesToMs(DWORD frames) {
    return static_cast<DWORD>(static_cast<unsigned long long>(frames) * 1000 / kRate);
  }
  static DWORD MsToFrames(DWORD ms) {
    return static_cast<DWORD>(static_cast<unsigned long long>(ms) * kRate / 1000);
  }
};
