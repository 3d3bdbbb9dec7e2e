// WAV bytes of a recording, and its conversion to the mixer's format.
#include "platform/mm/wave_recording.h"

#include <algorithm>

namespace {

void Put16(std::string& out, unsigned v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One sample of frame f, channel c, as 16-bit.
std::int32_t SampleAt(const WaveFormat& format, const std::uint8_t* data, std::size_t frame, unsigned channel) {
  const std::size_t at = frame * format.BlockAlign() + channel * (format.bitsPerSample / 8u);
  if (format.bitsPerSample == 8) return (static_cast<std::int32_t>(data[at]) - 128) * 256;
  return static_cast<std::int16_t>(data[at] | (data[at + 1] << 8));
}

}  // namespace

DWORD WaveFramesForMs(const WaveFormat& format, DWORD ms) {
  return static_cast<DWORD>((static_cast<std::uint64_t>(ms) * format.samplesPerSec + 999) / 1000);
}

DWORD WaveMsForFrames(const WaveFormat& format, std::uint64_t frames) {
  if (format.samplesPerSec == 0) return 0;
  return static_cast<DWORD>(std::min<std::uint64_t>(frames * 1000 / format.samplesPerSec, 0xFFFFFFFFu));
}

std::string WaveFileBytes(const WaveFormat& format, const std::uint8_t* data, std::size_t bytes) {
  const std::uint32_t size = static_cast<std::uint32_t>(bytes);
  std::string out;
  out.reserve(44 + bytes + 1);
  out += "RIFF";
  Put32(out, 36 + size + (size & 1));
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, format.channels);
  Put32(out, format.samplesPerSec);
  Put32(out, format.BytesPerSec());
  Put16(out, format.BlockAlign());
  Put16(out, format.bitsPerSample);
  out += "data";
  Put32(out, size);
  out.append(reinterpret_cast<const char*>(data), bytes);
  if (size & 1) out.push_back('\0');
  return out;
}

void WaveToPcm(const WaveFormat& format, const std::uint8_t* data, std::size_t bytes, CPcmBuffer& out) {
  out.samples.clear();
  const std::size_t block = format.BlockAlign();
  if (block == 0 || format.samplesPerSec == 0) return;
  const std::size_t frames = bytes / block;
  if (frames == 0) return;
  const std::uint64_t outFrames = static_cast<std::uint64_t>(frames) * CPcmBuffer::kRate / format.samplesPerSec;
  out.samples.resize(static_cast<std::size_t>(outFrames) * 2);
  for (std::size_t i = 0; i < outFrames; ++i) {
    // Position in the recording, 16.16 fixed point.
    const std::uint64_t pos = (static_cast<std::uint64_t>(i) * format.samplesPerSec << 16) / CPcmBuffer::kRate;
    const std::size_t f = static_cast<std::size_t>(pos >> 16);
    const std::size_t g = std::min(f + 1, frames - 1);
    const std::int32_t frac = static_cast<std::int32_t>(pos & 0xFFFF);
    for (unsigned side = 0; side < 2; ++side) {
      const unsigned channel = format.channels > 1 ? side : 0;
      const std::int32_t a = SampleAt(format, data, f, channel);
      const std::int32_t b = SampleAt(format, data, g, channel);
      out.samples[i * 2 + side] = static_cast<std::int16_t>(a + ((static_cast<std::int64_t>(b - a) * frac) >> 16));
    }
  }
}
