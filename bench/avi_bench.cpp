// The AVI picture step: a 640x480 frame decoded, converted by libswscale and drawn scaled into a 1024x768 back buffer,
// a whole film played forward, and a video window's cropped picture stretched.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "bench/page_copy_baseline.h"
#include "platform/mm/media_source.h"
#include "platform/mm/video_decoder.h"
#include "platform/mm/video_frames.h"
#include "tests/support/avi_writer.h"

namespace {

// A film made by Debian's ffmpeg from the source and the coding arguments.
std::vector<BYTE> MakeFilm(const std::string& source, const std::string& coding) {
  const std::string name = "tvn-avi-bench-" + std::to_string(std::hash<std::string>{}(source + coding)) + ".avi";
  const auto path = std::filesystem::temp_directory_path() / name;
  const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i " + source + " " + coding + " '" +
                              path.string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(path, std::ios::binary);
  std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return bytes;
}

// Two 640x480 frames of moving test picture in the pixel format.
std::vector<BYTE> MakeClip(const std::string& pixelFormat) {
  return MakeFilm("testsrc=s=640x480:r=10:d=0.2", "-c:v rawvideo -pix_fmt " + pixelFormat);
}

// Each step shows the other frame, so every draw converts a new picture.
void BM_AviFrameToPage(benchmark::State& state, const std::string& pixelFormat) {
  auto decoder = CVideoDecoder::Open(std::make_unique<CMemoryByteSource>(MakeClip(pixelFormat), "bench.avi"));
  if (!decoder || decoder->Info().frameCount < 2) {
    state.SkipWithError("no clip: Debian's ffmpeg is needed");
    return;
  }
  page_copy_baseline::CopySurface page(1024, 768);
  const CRect whole(0, 0, 1024, 768);
  LONG frame = 0;
  for (auto _ : state) {
    decoder->DecodeFrame(frame);
    decoder->Draw(page.dc, whole);
    frame ^= 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(BM_AviFrameToPage, bgr24, std::string("bgr24"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AviFrameToPage, yuv420p, std::string("yuv420p"))->Unit(benchmark::kMicrosecond);
// 8-bit frames go through the palette in force at each one.
BENCHMARK_CAPTURE(BM_AviFrameToPage, pal8, std::string("pal8"))->Unit(benchmark::kMicrosecond);

// A film played forward from its opening: 320x240 Cinepak, 100 frames with a
// key frame every 12, each frame decoded and converted at its own size in
// turn. Without its index the film is read through at the opening (its
// frames counted) and the decoder's pictures tell the key frames.
void BM_AviForwardPlay(benchmark::State& state, bool indexed) {
  static const std::vector<BYTE> made = MakeFilm("testsrc2=s=320x240:r=25:d=4", "-c:v cinepak -g 12");
  const std::vector<BYTE> film = indexed ? made : tvn::testing::WithoutIndex(made);
  for (auto _ : state) {
    auto decoder = CVideoDecoder::Open(std::make_unique<CMemoryByteSource>(film, "bench.avi"));
    if (!decoder) {
      state.SkipWithError("no film: Debian's ffmpeg is needed");
      return;
    }
    for (LONG frame = 0; frame < decoder->Info().frameCount; ++frame) {
      decoder->DecodeFrame(frame);
      benchmark::DoNotOptimize(decoder->ScaledPicture(320, 240).Row(0));
    }
  }
}
BENCHMARK_CAPTURE(BM_AviForwardPlay, indexed, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AviForwardPlay, without_index, false)->Unit(benchmark::kMillisecond);

// The same frame drawn again: the converted, scaled picture is kept.
void BM_AviSameFrameRedrawn(benchmark::State& state) {
  auto decoder = CVideoDecoder::Open(std::make_unique<CMemoryByteSource>(MakeClip("yuv420p"), "bench.avi"));
  if (!decoder || !decoder->DecodeFrame(0)) {
    state.SkipWithError("no clip: Debian's ffmpeg is needed");
    return;
  }
  page_copy_baseline::CopySurface page(1024, 768);
  for (auto _ : state) {
    decoder->Draw(page.dc, CRect(0, 0, 1024, 768));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AviSameFrameRedrawn)->Unit(benchmark::kMicrosecond);

// A video window's picture: part of a 640x480 frame (a crop) stretched over a 1024x768 window.
void BM_PicturePartStretched(benchmark::State& state) {
  CPixelImage picture(640, 480);
  picture.Fill(RGB(40, 80, 120));
  page_copy_baseline::CopySurface page(1024, 768);
  const CRect whole(0, 0, 1024, 768);
  for (auto _ : state) {
    DrawPicturePart(page.dc, picture, CRect(16, 12, 624, 468), whole, whole);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PicturePartStretched)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
