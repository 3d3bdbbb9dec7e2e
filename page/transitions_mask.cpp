// Category 3: the new image revealed in the order of a mask image's blue values.
#include <array>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "page/transitions.h"

namespace transitions {

bool MaskReveal(const TransitionInput& in, CBitmap& mask) {
  const CSize maskSize = mask.GetSize();
  if (maskSize.cx <= 0 || maskSize.cy <= 0) return true;
  AreaCopy oldImage(in, in.target), newImage(in, in.source);
  if (!oldImage.IsValid() || !newImage.IsValid()) return true;

  // The mask stretched over the area: its own copy, made like the others.
  AreaCopy keys(in, in.target);
  if (!keys.IsValid()) return true;
  {
    CDC maskDc;
    maskDc.CreateCompatibleDC(nullptr);
    CBitmap* previous = maskDc.SelectObject(&mask);
    keys.Dc()->SetStretchBltMode(COLORONCOLOR);
    keys.Dc()->StretchBlt(0, 0, in.area.Width(), in.area.Height(), &maskDc, 0, 0, maskSize.cx, maskSize.cy, SRCCOPY);
    maskDc.SelectObject(previous);
  }
  const gdi::PixelSurface key = keys.Surface(), work = oldImage.Surface(), target = newImage.Surface();
  // The key of a pixel is its blue byte; steps go through the keys present, lowest first.
  std::array<bool, 256> present{};
  for (int y = 0; y < key.height; ++y)
    for (int x = 0; x < key.width; ++x) present[key.Row(y)[x] & 0xFFu] = true;
  for (unsigned value = 0; value < 256; ++value) {
    if (!present[value]) continue;
    for (int y = 0; y < key.height; ++y) {
      const DWORD* k = key.Row(y);
      DWORD* out = work.Row(y);
      const DWORD* to = target.Row(y);
      for (int x = 0; x < key.width; ++x)
        if ((k[x] & 0xFFu) == value) out[x] = to[x];
    }
    oldImage.Show(in);
    if (in.steps->WaitStep(in.delay)) return false;
  }
  return true;
}

}  // namespace transitions
