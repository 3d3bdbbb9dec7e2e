// Copies shared by the transition routines: every one is cut to the transition's area.
#include "page/transitions.h"

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

namespace transitions {

void CopyPart(const TransitionInput& in, const CRect& part) { CopyBlock(in, in.source, part, part.TopLeft()); }

void CopyAll(const TransitionInput& in) { CopyPart(in, in.area); }

void CopyBlock(const TransitionInput& in, CDC* from, const CRect& dst, CPoint src) {
  CRect r;
  if (!r.IntersectRect(dst, in.area)) return;
  src.x += r.left - dst.left;
  src.y += r.top - dst.top;
  in.target->BitBlt(r.left, r.top, r.Width(), r.Height(), from, src.x, src.y, SRCCOPY);
}

void StretchInto(const TransitionInput& in, CDC* from, const CRect& dst) {
  if (dst.IsRectEmpty()) return;
  const int saved = in.target->SaveDC();
  in.target->IntersectClipRect(in.area);
  in.target->SetStretchBltMode(COLORONCOLOR);
  in.target->StretchBlt(dst.left, dst.top, dst.Width(), dst.Height(), from, 0, 0, in.area.Width(), in.area.Height(),
                        SRCCOPY);
  in.target->RestoreDC(saved);
}

BYTE BlindsDelay(BYTE delay) { return static_cast<BYTE>(delay * 10); }

struct AreaCopy::Impl {
  CDC dc;
  CBitmap bitmap;
  CBitmap* previous = nullptr;
  bool valid = false;
};

AreaCopy::AreaCopy(const TransitionInput& in, CDC* from) : m(std::make_unique<Impl>()) {
  const int w = in.area.Width(), h = in.area.Height();
  if (w <= 0 || h <= 0 || !m->dc.CreateCompatibleDC(nullptr) || !m->bitmap.CreateBitmap(w, h, 1, 32, nullptr))
    return;
  m->previous = m->dc.SelectObject(&m->bitmap);
  m->dc.BitBlt(0, 0, w, h, from, in.area.left, in.area.top, SRCCOPY);
  m->valid = true;
}

AreaCopy::~AreaCopy() {
  if (m->valid) m->dc.SelectObject(m->previous);
}

bool AreaCopy::IsValid() const { return m->valid; }
CDC* AreaCopy::Dc() { return &m->dc; }
gdi::PixelSurface AreaCopy::Surface() { return m->bitmap.GetSurface(); }

void AreaCopy::Show(const TransitionInput& in) { CopyBlock(in, &m->dc, in.area, CPoint(0, 0)); }

}  // namespace transitions
