// A native Photo CD toolkit for tests: it opens any file that exists and hands back a picture of one colour.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "media/decoder_libraries.h"

#define TVN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The picture's colour (0xRRGGBB), so a test can tell this toolkit's pictures from the program's own.
constexpr std::uint32_t kColour = 0x2040C0;

struct Photo {
  std::string name;
  short transform = 0;
  short resolution = 0;
  short format = 0;
  PcdAbortCallback abort = nullptr;
  void* abortData = nullptr;
};

void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

TVN_EXPORT unsigned short PCDopen(const char* fileName, PcdPhoto* photo) {
  std::FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
  if (!file) return 2;
  std::fclose(file);
  *photo = new Photo{fileName};
  return 0;
}

TVN_EXPORT unsigned short PCDgetRotation(PcdPhoto, short* rotation) {
  *rotation = 0;
  return 0;
}

TVN_EXPORT unsigned short PCDsetTransform(PcdPhoto photo, short transform) {
  static_cast<Photo*>(photo)->transform = transform;
  return 0;
}

TVN_EXPORT unsigned short PCDsetResolution(PcdPhoto photo, short resolution) {
  static_cast<Photo*>(photo)->resolution = resolution;
  return resolution >= 1 && resolution <= 3 ? 0 : 1;
}

TVN_EXPORT unsigned short PCDsetFormat(PcdPhoto photo, short format) {
  static_cast<Photo*>(photo)->format = format;
  return 0;
}

TVN_EXPORT unsigned short PCDcreatePalette(const unsigned char*, int, int, int, int, int, int, int, int, int, int,
                                           PcdPalette* palette) {
  *palette = std::malloc(16);
  return 0;
}

TVN_EXPORT unsigned short PCDsetPalette(PcdPhoto, PcdPalette) { return 0; }

#ifndef TVN_LEAVE_OUT_SET_ABORT
TVN_EXPORT unsigned short PCDsetAbort(PcdPhoto photo, PcdAbortCallback check, void* data) {
  static_cast<Photo*>(photo)->abort = check;
  static_cast<Photo*>(photo)->abortData = data;
  return 0;
}
#endif

// Base/16, Base/4 or Base, turned and cut to the region; a name with "BROKEN"
// gets a header of a size no picture has.
TVN_EXPORT unsigned short PCDloadImage(PcdPhoto handle, const PcdRegion* region, void** dib, std::size_t* size) {
  auto* photo = static_cast<Photo*>(handle);
  if (photo->abort && photo->abort(photo->abortData)) return 3003;
  int width = 96 << photo->resolution;
  int height = 64 << photo->resolution;
  if (photo->transform == 1 || photo->transform == 3) std::swap(width, height);
  if (region) {
    width = region->right - region->left;
    height = region->bottom - region->top;
  }
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const bool broken = photo->name.find("BROKEN") != std::string::npos;
  *size = 40 + stride * static_cast<std::size_t>(height);
  auto* bytes = static_cast<unsigned char*>(std::calloc(*size, 1));
  Put32(bytes, broken ? 41 : 40);
  Put32(bytes + 4, static_cast<std::uint32_t>(width));
  Put32(bytes + 8, static_cast<std::uint32_t>(height));
  bytes[12] = 1;
  bytes[14] = 24;
  for (std::size_t at = 40; at + 3 <= *size; at += 3) {
    if ((at - 40) % stride + 3 > static_cast<std::size_t>(width) * 3) continue;
    bytes[at] = kColour & 0xFF;
    bytes[at + 1] = (kColour >> 8) & 0xFF;
    bytes[at + 2] = (kColour >> 16) & 0xFF;
  }
  *dib = bytes;
  return 0;
}

TVN_EXPORT unsigned short PCDfreePalette(PcdPalette palette) {
  std::free(palette);
  return 0;
}

TVN_EXPORT unsigned short PCDclose(PcdPhoto photo) {
  delete static_cast<Photo*>(photo);
  return 0;
}

// Each export has the type the program calls it by.
static_assert(std::is_same_v<decltype(&PCDopen), PcdOpenProc>);
static_assert(std::is_same_v<decltype(&PCDgetRotation), PcdGetRotationProc>);
static_assert(std::is_same_v<decltype(&PCDsetTransform), PcdSetTransformProc>);
static_assert(std::is_same_v<decltype(&PCDsetResolution), PcdSetResolutionProc>);
static_assert(std::is_same_v<decltype(&PCDsetFormat), PcdSetFormatProc>);
static_assert(std::is_same_v<decltype(&PCDcreatePalette), PcdCreatePaletteProc>);
static_assert(std::is_same_v<decltype(&PCDsetPalette), PcdSetPaletteProc>);
static_assert(std::is_same_v<decltype(&PCDloadImage), PcdLoadImageProc>);
static_assert(std::is_same_v<decltype(&PCDfreePalette), PcdFreePaletteProc>);
static_assert(std::is_same_v<decltype(&PCDclose), PcdCloseProc>);
