// The concentric shaded fill cached as a bitmap and copied into the page.
#include "model/gradient_cache.h"

#include <vector>

#include "model/draw_helpers.h"
#include "platform/gdi/dc.h"

namespace {

// Below this side the concentric shapes may leave corners unpainted (they
// would then show what lay under them); above it the bitmap would be large.
constexpr int kMinSide = 8;
constexpr int kMaxSide = 4096;

bool IsConcentric(UINT mode) {
  return (mode & (kGradientTopToBottom | kGradientLeftToRight)) == 0 &&
         (mode & (kGradientRectangles | kGradientEllipses)) != 0;
}

}  // namespace

CGradientCache& CGradientCache::operator=(const CGradientCache& other) {
  if (this != &other) {
    std::lock_guard lock(m_mutex);
    m_valid = false;
    m_fill.DeleteObject();
  }
  return *this;
}

bool CGradientCache::Matches(const CSize& size, COLORREF start, COLORREF end, UINT mode) const {
  return m_valid && m_size == size && m_start == start && m_end == end && m_mode == mode;
}

void CGradientCache::Draw(CDC* dc, const CRect& rect, COLORREF start, COLORREF end, UINT mode) {
  const CSize size(rect.Width(), rect.Height());
  CPoint device;
  std::vector<CRect> parts;
  if (!dc || !IsConcentric(mode) || size.cx < kMinSide || size.cy < kMinSide || size.cx > kMaxSide ||
      size.cy > kMaxSide || dc->GetSurfaceInfo().monochrome ||
      !dc->GetBlitArea(rect.left, rect.top, size.cx, size.cy, &device, &parts)) {
    DrawGradientRect(dc, rect, start, end, mode);
    return;
  }
  if (parts.empty()) return;  // nothing of it can be seen
  std::lock_guard lock(m_mutex);
  CDC memory;
  memory.CreateCompatibleDC(dc);
  if (!Matches(size, start, end, mode)) {
    m_valid = false;
    m_fill.DeleteObject();
    if (!m_fill.CreateBitmap(size.cx, size.cy, 1, 32, nullptr)) {
      DrawGradientRect(dc, rect, start, end, mode);
      return;
    }
    CBitmap* old = memory.SelectObject(&m_fill);
    DrawGradientRect(&memory, CRect(0, 0, size.cx, size.cy), start, end, mode);
    memory.SelectObject(old);
    m_valid = true;
    m_size = size;
    m_start = start;
    m_end = end;
    m_mode = mode;
  }
  CBitmap* old = memory.SelectObject(&m_fill);
  dc->BitBlt(rect.left, rect.top, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}
