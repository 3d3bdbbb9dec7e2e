// CImageDC: a device context over a CPixelImage, so pictures can be blitted like bitmaps.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/pixel_image.h"

// Draws into (or is read from) the pixels of one picture. A monochrome
// picture reads as a monochrome bitmap (black and white mapped through the
// target's text and background colours). The picture must outlive the context.
class CImageDC : public CDC {
 public:
  // A context that draws into the picture.
  explicit CImageDC(CPixelImage& image);
  // A context used only as a blit source; drawing into it is not allowed.
  explicit CImageDC(const CPixelImage& image);
};
