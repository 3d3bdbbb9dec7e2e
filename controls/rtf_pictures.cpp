// Decoding rich text's pictures: metafiles played onto a bitmap, the rest by the control's own readers.
#include "controls/rtf_pictures.h"

#include <algorithm>

#include "media/metafile.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/richedit/rtf_qt_bridge.h"

std::optional<tvn::platform::DecodedImage> DecodeRtfPicture(const tvn::rtf::Picture& picture) {
  if (picture.kind != tvn::rtf::Picture::Kind::wmf) return tvn::rtf::DecodePicture(picture);
  constexpr int kTwipsPerPixel = 15;
  const int width = std::min(picture.goalWidth / kTwipsPerPixel, kMaxMetafileSide);
  const int height = std::min(picture.goalHeight / kTwipsPerPixel, kMaxMetafileSide);
  if (width <= 0 || height <= 0) return std::nullopt;
  const auto metaFile = CMetaFile::FromBytes(std::vector<BYTE>(picture.bytes.begin(), picture.bytes.end()));
  if (!metaFile) return std::nullopt;
  CBitmap bitmap;
  CDC dc;
  if (!bitmap.CreateBitmap(width, height, 1, 32, nullptr) || !dc.CreateCompatibleDC(nullptr)) return std::nullopt;
  dc.SelectObject(&bitmap);
  dc.FillSolidRect(CRect(0, 0, width, height), RGB(255, 255, 255));
  PlayMetaFileInto(dc, *metaFile, CRect(0, 0, width, height), CRect());
  const gdi::PixelSurface surface = bitmap.GetSurface();
  if (!surface.IsValid()) return std::nullopt;
  tvn::platform::DecodedImage image;
  image.width = surface.width;
  image.height = surface.height;
  image.pixels.reserve(static_cast<std::size_t>(surface.width) * surface.height);
  for (int y = 0; y < surface.height; ++y)
    for (int x = 0; x < surface.width; ++x) {
      const COLORREF c = gdi::PixelToColor(surface.Row(y)[x]);
      image.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(GetRValue(c)) << 16 |
                             static_cast<std::uint32_t>(GetGValue(c)) << 8 | GetBValue(c));
    }
  return image;
}
