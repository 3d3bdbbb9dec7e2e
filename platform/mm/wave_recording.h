// A wave recording in memory: its PCM format, the bytes captured, the WAV file they make and the mixer's form of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/mm/pcm_buffer.h"
#include "platform/base/win_types.h"

// PCM as MCI's waveaudio device records it: 8-bit unsigned or 16-bit signed
// little-endian samples, channels interleaved. A new device starts at
// 11025 Hz, 8 bits, mono.
struct WaveFormat {
  DWORD samplesPerSec = 11025;
  WORD bitsPerSample = 8;
  WORD channels = 1;

  DWORD BlockAlign() const { return static_cast<DWORD>(channels) * (bitsPerSample / 8); }
  DWORD BytesPerSec() const { return samplesPerSec * BlockAlign(); }
  bool operator==(const WaveFormat&) const = default;
};

// Frames (blocks) a number of milliseconds takes, rounded up, and back.
DWORD WaveFramesForMs(const WaveFormat& format, DWORD ms);
DWORD WaveMsForFrames(const WaveFormat& format, std::uint64_t frames);

// The RIFF WAVE file of the data: a 44-byte header (fmt chunk with format
// tag 1, data chunk), then the data, padded to an even length.
std::string WaveFileBytes(const WaveFormat& format, const std::uint8_t* data, std::size_t bytes);

// The recording resampled to the mixer's 44100 Hz 16-bit stereo (linear
// between neighbouring frames; mono goes to both sides).
void WaveToPcm(const WaveFormat& format, const std::uint8_t* data, std::size_t bytes, CPcmBuffer& out);
