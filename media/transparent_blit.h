// The colour-keyed copy: source pixels of the key colour leave the destination as it was.
#pragma once

#include <optional>

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"
#include "platform/gdi/pixel_image.h"
#include "platform/gdi/raster_ops.h"

namespace tvn::dib {

// A copy of w x h pixels from (xs, ys) of the source to (x, y) of the target.
struct BlitRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  int xs = 0;
  int ys = 0;
  bool operator==(const BlitRect&) const = default;
};

// The blit clipper (gdi::ClipBlit) for a copy between two whole surfaces:
// whatever is cut from one side is cut from the other. Nothing when no pixel
// is left.
std::optional<BlitRect> ClipBlit(BlitRect r, int targetWidth, int targetHeight, int sourceWidth, int sourceHeight);

// The keyed copy is our own code, so it is always there.
constexpr BOOL HasTransparentBlt() { return TRUE; }

// Copies the source rectangle onto the target, leaving out source pixels of
// the key colour. Source and target sizes must be equal (the one way the
// pictures call it); FALSE when they differ or a surface is missing, TRUE
// otherwise, also when clipping leaves nothing to copy. The first form also
// keeps the copy inside clip (in target pixels).
BOOL TransparentBlt(const gdi::PixelSurface& target, const CRect& clip, int x, int y, int w, int h,
                    const CPixelImage& source, int xs, int ys, int ws, int hs, COLORREF key);
BOOL TransparentBlt(CPixelImage& target, int x, int y, int w, int h, const CPixelImage& source, int xs, int ys, int ws,
                    int hs, COLORREF key);

}  // namespace tvn::dib
