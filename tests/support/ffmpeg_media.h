// Media made at test time by Debian's ffmpeg: solid and numbered AVI frames, sine sound tracks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tvn::testing {

// Runs ffmpeg (from the PATH) with the arguments and writes out; false when
// ffmpeg is missing or fails. Tests skip with a message when it is missing.
bool RunFfmpeg(const std::string& args, const std::filesystem::path& out);
bool HaveFfmpeg();

// An AVI of frames 32 x 24 (by default) at a rate; each frame's red level is
// 12 x its number (green and blue 0) so a test can tell the frames apart.
// codec "rawvideo" or "cinepak"; pixelFormat the stored pixels of rawvideo
// ("bgr24", or "pal8": 8-bit with the palette in the header); keyEvery the
// key-frame spacing for cinepak; soundSeconds > 0 adds a 440 Hz sine of that
// length at soundRate Hz mono PCM.
struct AviRecipe {
  int frames = 20;
  int rate = 10;
  int width = 32;
  int height = 24;
  std::string codec = "rawvideo";
  std::string pixelFormat = "bgr24";
  int keyEvery = 5;
  double soundSeconds = 0.0;
  int soundRate = 22050;
  bool solid = false;  // every frame one colour
  std::string colour = "0x3366CC";  // that colour, as ffmpeg names colours
  bool blueRamp = false;  // numbered frames' blue is 8 x the column (else 0)
};
// The file's bytes; empty when ffmpeg could not make it.
std::vector<std::uint8_t> MakeAvi(const AviRecipe& recipe, const std::filesystem::path& out);

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

// A stretch of a medium's first sound at one sample rate, as ffmpeg decodes
// it (its frames listed into out).
struct SoundRun {
  int rate = 0;
  std::uint64_t samples = 0;
};
// The stretches in order; empty when ffmpeg could not read the medium.
std::vector<SoundRun> SoundRuns(const std::filesystem::path& medium, const std::filesystem::path& out);

// Every frame of a medium as ffmpeg itself decodes it to 32-bit BGRA, one
// frame after another; empty when ffmpeg could not read it.
std::vector<std::uint8_t> DecodeToBgra(const std::filesystem::path& medium, const std::filesystem::path& out);

}  // namespace tvn::testing
