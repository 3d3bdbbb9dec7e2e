// The RIFF WAVE layout: "RIFF" size "WAVE", a 16-byte "fmt " chunk, then "data".
#include "tests/support/wav_writer.h"

#include <cmath>

#include "tests/support/le_bytes.h"

namespace tvn::testing {

namespace {

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

std::vector<std::uint8_t> WavFile(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits,
                                  const std::vector<std::int16_t>& samples) {
  const std::uint32_t bytesPerSample = bits / 8;
  const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size()) * bytesPerSample;
  std::vector<std::uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, 36 + dataSize);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, channels);
  Put32(out, rate);
  Put32(out, rate * channels * bytesPerSample);
  Put16(out, static_cast<std::uint16_t>(channels * bytesPerSample));
  Put16(out, bits);
  PutTag(out, "data");
  Put32(out, dataSize);
  for (std::int16_t s : samples) {
    if (bits == 8) out.push_back(static_cast<std::uint8_t>((s >> 8) + 128));
    else Put16(out, static_cast<std::uint16_t>(s));
  }
  return out;
}

std::vector<std::uint8_t> ToneWav(std::uint32_t ms, std::uint32_t rate, std::uint16_t channels, double frequency,
                                  double amplitude) {
  const std::size_t frames = static_cast<std::size_t>(rate) * ms / 1000;
  std::vector<std::int16_t> samples;
  samples.reserve(frames * channels);
  for (std::size_t i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2.0 * 3.14159265358979 * frequency * static_cast<double>(i) / rate);
    for (std::uint16_t c = 0; c < channels; ++c) samples.push_back(static_cast<std::int16_t>(std::lround(v)));
  }
  return WavFile(rate, channels, 16, samples);
}

}  // namespace tvn::testing
