// Running ffmpeg for test media.
#include "tests/support/ffmpeg_media.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tvn::testing {

bool HaveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

bool RunFfmpeg(const std::string& args, const std::filesystem::path& out) {
  const std::string command =
      "ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " '" + out.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::exists(out);
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<SoundRun> SoundRuns(const std::filesystem::path& medium, const std::filesystem::path& out) {
  const std::string command = "ffmpeg -nostdin -hide_banner -loglevel info -i '" + medium.string() +
                              "' -map 0:a:0 -af ashowinfo -f null - 2>'" + out.string() + "'";
  if (std::system(command.c_str()) != 0) return {};
  std::vector<SoundRun> runs;
  std::ifstream in(out);
  for (std::string line; std::getline(in, line);) {
    // One line a frame: "... rate:44100 nb_samples:1152 ...".
    const std::size_t rate = line.find(" rate:"), samples = line.find(" nb_samples:");
    if (line.find("ashowinfo") == std::string::npos || rate == std::string::npos || samples == std::string::npos)
      continue;
    const int hz = std::atoi(line.c_str() + rate + 6);
    if (hz <= 0) continue;
    if (runs.empty() || runs.back().rate != hz) runs.push_back({hz, 0});
    runs.back().samples += std::strtoull(line.c_str() + samples + 12, nullptr, 10);
  }
  return runs;
}

std::vector<std::uint8_t> DecodeToBgra(const std::filesystem::path& medium, const std::filesystem::path& out) {
  if (!RunFfmpeg("-i '" + medium.string() + "' -f rawvideo -pix_fmt bgra", out)) return {};
  return ReadFileBytes(out);
}

std::vector<std::uint8_t> MakeAvi(const AviRecipe& recipe, const std::filesystem::path& out) {
  const std::string size = std::to_string(recipe.width) + "x" + std::to_string(recipe.height);
  const std::string seconds = std::to_string(static_cast<double>(recipe.frames) / recipe.rate);
  std::string args =
      "-f lavfi -i \"color=c=" + recipe.colour + ":s=" + size + ":r=" + std::to_string(recipe.rate) + ":d=" + seconds;
  args += ",format=rgb24";
  if (!recipe.solid) args += std::string(",geq=r='min(255\\,12*N)':g=0:b=") + (recipe.blueRamp ? "'min(255\\,8*X)'" : "0");
  args += "\"";
  if (recipe.soundSeconds > 0)
    args += " -f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(recipe.soundRate) +
            ":duration=" + std::to_string(recipe.soundSeconds) +
            " -c:a pcm_s16le -ac 1";
  args += " -c:v " + recipe.codec;
  if (recipe.codec == "rawvideo") args += " -pix_fmt " + recipe.pixelFormat;
  else args += " -g " + std::to_string(recipe.keyEvery);
  if (!RunFfmpeg(args, out)) return {};
  return ReadFileBytes(out);
}

}  // namespace tvn::testing
