// Decoding pictures of the kinds the system does not read itself (PNG, GIF, JPEG, TIFF, PCX...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tvn::platform {

// A decoded picture: rows top-down, one 0xAARRGGBB word per pixel.
struct DecodedImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 24;  // of the file: 32 when it carries an alpha channel
  bool hasAlpha = false;
  std::vector<std::uint32_t> pixels;
};

// Size and depth of a picture without decoding its pixels.
struct ImageInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 24;
};

// Caps on what a picture may claim before its pixels are allocated.
constexpr int kMaxImageSide = 16384;
constexpr std::size_t kMaxImageBytes = 256u * 1024u * 1024u;

// Qt's image readers first; FFmpeg's image decoders for kinds Qt lacks.
// Nothing for bytes neither can read or for a picture past the caps.
std::optional<ImageInfo> ProbeImage(const std::uint8_t* data, std::size_t size);
std::optional<DecodedImage> DecodeImage(const std::uint8_t* data, std::size_t size);

}  // namespace tvn::platform
