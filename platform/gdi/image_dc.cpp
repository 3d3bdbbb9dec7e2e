// CImageDC: a device context over a CPixelImage.
#include "platform/gdi/image_dc.h"

namespace {

gdi::PixelSurface SurfaceOf(const CPixelImage& image, DWORD* bits) {
  if (image.IsNull()) return {};
  return gdi::PixelSurface{bits, image.Width(), image.Height(), image.Pitch(), image.IsMonochrome()};
}

}  // namespace

CImageDC::CImageDC(CPixelImage& image) {
  AttachSurface(SurfaceOf(image, image.IsNull() ? nullptr : image.Row(0)));
}

CImageDC::CImageDC(const CPixelImage& image) {
  // Blits only read their source, so the shared pixels are not detached:
  // callers keep this context to the source side.
  AttachSurface(SurfaceOf(image, image.IsNull() ? nullptr : const_cast<DWORD*>(image.Row(0))));
}
