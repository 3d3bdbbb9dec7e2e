// Picture drawing on a 1024 x 768 page: the blended draw, a keyed draw and metafile playback.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/page_copy_baseline.h"
#include "media/image.h"
#include "media/metafile.h"
#include "platform/gdi/image_dc.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

CImage BlendedPicture() {
  CImage image;
  image.hBitmap = CPixelImage(kWidth, kHeight);
  image.hBitmap.Fill(RGB(200, 40, 10));
  image.hMask = CPixelImage(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) image.hMask.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(x & 0xFF) * 0x010101u;
  image.maskReady = 1;
  return image;
}

void BM_BlendedDraw(benchmark::State& state) {
  CImage image = BlendedPicture();
  CPixelImage page(kWidth, kHeight);
  CImageDC dc(page);
  for (auto _ : state) {
    image.DrawTransparentBits(&dc, 0, 0, kWidth, kHeight, 0, 0, FALSE);
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_BlendedDraw)->Unit(benchmark::kMillisecond);

void BM_KeyedDraw(benchmark::State& state) {
  CDib dib;
  dib.hBitmap = CPixelImage(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) dib.hBitmap.Row(y)[x] = ((x ^ y) & 8) ? 0xFFFF00FFu : 0xFF102030u;
  dib.CreateMask(RGB(255, 0, 255));
  CPixelImage page(kWidth, kHeight);
  CImageDC dc(page);
  for (auto _ : state) {
    dib.DrawTransparent(&dc, 0, 0, kWidth, kHeight, 0, 0, RGB(255, 0, 255));
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_KeyedDraw)->Unit(benchmark::kMillisecond);

// A metafile of 200 filled rectangles over the whole window.
std::vector<BYTE> ManyRectangles() {
  std::vector<BYTE> bytes(18, 0);
  auto put16 = [&bytes](unsigned v) {
    bytes.push_back(static_cast<BYTE>(v));
    bytes.push_back(static_cast<BYTE>(v >> 8));
  };
  auto record = [&](unsigned function, std::vector<unsigned> params) {
    put16(static_cast<unsigned>(3 + params.size()));
    put16(0);
    put16(function);
    for (unsigned p : params) put16(p);
  };
  record(0x02FC, {0, 0x00FF, 0x0080, 0});  // brush
  record(0x012D, {0});
  for (unsigned i = 0; i < 200; ++i) record(0x041B, {500 + i, 1000 - i, i, i});
  bytes[0] = 1;
  bytes[2] = 9;
  bytes[10] = 4;
  return bytes;
}

void BM_MetafilePlay(benchmark::State& state) {
  auto metaFile = CMetaFile::FromBytes(ManyRectangles());
  CPixelImage page(kWidth, kHeight);
  CImageDC dc(page);
  for (auto _ : state) {
    PlayMetaFileInto(dc, *metaFile, CRect(0, 0, kWidth, kHeight), CRect(0, 0, 1000, 500));
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_MetafilePlay)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
