#include "tests/support/pcd_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tvn::testing {
namespace {

std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

struct PackPlace {
  int width;
  int height;
  std::size_t offset;
};
constexpr PackPlace kPacks[] = {{192, 128, 0x2000}, {384, 256, 0xB800}, {768, 512, 0x30000}};

}  // namespace

PhotoYcc ToPhotoYcc(std::uint32_t rgb) {
  const double r = (rgb >> 16) & 0xFF;
  const double g = (rgb >> 8) & 0xFF;
  const double b = rgb & 0xFF;
  const double l = 0.299 * r + 0.587 * g + 0.114 * b;
  return {ToByte(l / 1.3584), ToByte((b - l) / 2.2179 + 156), ToByte((r - l) / 1.8215 + 137)};
}

std::vector<std::uint8_t> PcdFile::Bytes() const {
  std::vector<std::uint8_t> out(0x2000, 0);
  if (signature) std::memcpy(out.data() + 0x800, "PCD_IPI", 7);
  out[0xE02] = static_cast<std::uint8_t>(rotation & 0x03);
  for (int p = 0; p < std::min(packs, 3); ++p) {
    const PackPlace& pack = kPacks[p];
    out.resize(pack.offset, 0);
    for (int y = 0; y < pack.height; y += 2) {
      std::vector<std::uint8_t> c1(static_cast<std::size_t>(pack.width / 2));
      std::vector<std::uint8_t> c2(c1.size());
      for (int row = 0; row < 2; ++row)
        for (int x = 0; x < pack.width; ++x) out.push_back(ToPhotoYcc(colour(x, y + row, pack.width, pack.height)).y);
      for (int x = 0; x < pack.width / 2; ++x) {
        int sum1 = 0;
        int sum2 = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx) {
            const PhotoYcc ycc = ToPhotoYcc(colour(2 * x + dx, y + dy, pack.width, pack.height));
            sum1 += ycc.c1;
            sum2 += ycc.c2;
          }
        c1[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((sum1 + 2) / 4);
        c2[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((sum2 + 2) / 4);
      }
      out.insert(out.end(), c1.begin(), c1.end());
      out.insert(out.end(), c2.begin(), c2.end());
    }
  }
  return out;
}

std::function<std::uint32_t(int, int, int, int)> Quadrants(std::uint32_t topLeft, std::uint32_t topRight,
                                                           std::uint32_t bottomLeft, std::uint32_t bottomRight) {
  return [=](int x, int y, int width, int height) {
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    return bottom ? (right ? bottomRight : bottomLeft) : (right ? topRight : topLeft);
  };
}

}  // namespace tvn::testing
