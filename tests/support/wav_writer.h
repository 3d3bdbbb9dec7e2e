// Writes WAV files byte by byte for the sound tests, independently of the decoder that reads them.
#pragma once

#include <cstdint>
#include <vector>

namespace tvn::testing {

// A PCM WAV file: 8- or 16-bit samples, interleaved by channel.
std::vector<std::uint8_t> WavFile(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits,
                                  const std::vector<std::int16_t>& samples);
// A sine tone of that many milliseconds (16-bit); each channel gets the tone at the amplitude.
std::vector<std::uint8_t> ToneWav(std::uint32_t ms, std::uint32_t rate = 44100, std::uint16_t channels = 2,
                                  double frequency = 441.0, double amplitude = 8000.0);

}  // namespace tvn::testing
