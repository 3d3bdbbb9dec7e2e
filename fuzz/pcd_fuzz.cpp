// Fuzzes the Photo CD reader: the header, then each resolution's pack, whole
// and through a region taken from the bytes after the rotation byte, turned
// by the file's rotation; the abort check stops the largest decodes early.
#include <cstdint>
#include <vector>

#include "media/dib.h"
#include "media/photo_cd_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CMemFile file(data, size);
  const std::optional<int> rotation = tvn::pcd::ReadRotation(file);
  if (!rotation) return 0;
  std::optional<CRect> region;
  constexpr std::size_t kRegionAt = tvn::pcd::kRotationOffset + 1;
  if (size >= kRegionAt + 4) {
    const std::uint8_t* r = data + kRegionAt;
    region = CRect(r[0] * 8, r[1] * 8, r[0] * 8 + r[2] * 4, r[1] * 8 + r[3] * 4);
  }
  for (int resolution = 1; resolution <= 5; ++resolution) {
    for (bool whole : {true, false}) {
      tvn::pcd::DecodeRequest request;
      request.resolution = resolution;
      request.rotation = *rotation;
      if (!whole) request.region = region;
      int checks = 0;
      request.abort = [&checks, resolution] { return resolution > 3 && ++checks > 2; };
      std::vector<BYTE> dib;
      if (tvn::pcd::Decode(file, request, dib) == tvn::pcd::Status::kDone) {
        CDib picture;
        picture.hDib = std::move(dib);
        COLORREF colour = 0;
        picture.GetPixel(picture.GetWidth() - 1, picture.GetHeight() - 1, colour);
      }
    }
  }
  return 0;
}
