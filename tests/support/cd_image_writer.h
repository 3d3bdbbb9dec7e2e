// Writes an audio CD image for tests: one BIN file of 2352-byte sectors and the CUE sheet that names it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tvn::testing {

struct CdImageTrack {
  std::uint32_t sectors;  // 75 a second
  std::int16_t value;     // every sample of an audio track; every byte's low half of a data track
  bool audio = true;
};

// Writes <name>.bin and <name>.cue into the folder; the CUE sheet's path.
inline std::filesystem::path WriteCdImage(const std::filesystem::path& dir, const std::string& name,
                                          const std::vector<CdImageTrack>& tracks) {
  const std::filesystem::path bin = dir / (name + ".bin");
  const std::filesystem::path cue = dir / (name + ".cue");
  std::ofstream data(bin, std::ios::binary);
  std::string sheet = "FILE \"" + name + ".bin\" BINARY\r\n";
  std::uint32_t at = 0;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const CdImageTrack& t = tracks[i];
    char line[96];
    std::snprintf(line, sizeof line, "  TRACK %02zu %s\r\n    INDEX 01 %02u:%02u:%02u\r\n", i + 1,
                  t.audio ? "AUDIO" : "MODE1/2352", at / 75 / 60, at / 75 % 60, at % 75);
    sheet += line;
    std::vector<char> sector(2352);
    for (std::size_t b = 0; b < sector.size(); ++b) {
      const auto v = static_cast<std::uint16_t>(t.value);
      sector[b] = static_cast<char>(t.audio ? (b % 2 == 0 ? v & 0xFF : v >> 8) : (v & 0x0F) | 0x40);
    }
    for (std::uint32_t s = 0; s < t.sectors; ++s)
      data.write(sector.data(), static_cast<std::streamsize>(sector.size()));
    at += t.sectors;
  }
  std::ofstream(cue, std::ios::binary) << sheet;
  return cue;
}

}  // namespace tvn::testing
