// Category 2: a colour blend from the old image to the new one.
#include <algorithm>
#include <new>
#include <vector>

#include "page/transitions.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pixel_rows.h"

namespace transitions {
namespace {

// Weights are in 128ths: each colour byte moves by ((new - old) x weight) >> 7
// from the old image, the fourth byte stays as it was (gdi::rows::Mix128).
constexpr int kFullWeight = 128;

int StepCount(const TransitionInput& in) { return std::max(in.block == 0 ? 32 : 32 / in.block, 4); }

// Whole 128ths per step; the last step lands on the new image exactly.
int StepWeight(int k, int steps) { return k == steps ? kFullWeight : k * (kFullWeight / steps); }

// The old and the new image of the area, copied as AreaCopy copies them, in
// one block: the allocator keeps a block the size of both for the next
// transition, where two separate ones go back to the system and return as
// fresh pages, whose first touch costs more than the whole blend.
class BothImages {
 public:
  explicit BothImages(const TransitionInput& in)
      : m_area(in.area), m_one(static_cast<std::size_t>(m_area.Width()) * static_cast<std::size_t>(m_area.Height())) {
    if (m_area.Width() <= 0 || m_area.Height() <= 0) return;
    try {
      m_pixels.assign(2 * m_one, gdi::kOpaque);
    } catch (const std::bad_alloc&) {
      return;
    }
    Copy(in.target, Old());
    Copy(in.source, New());
  }
  bool IsValid() const { return !m_pixels.empty(); }
  gdi::PixelSurface Old() { return Surface(0); }
  gdi::PixelSurface New() { return Surface(m_one); }

 private:
  gdi::PixelSurface Surface(std::size_t offset) {
    return gdi::PixelSurface{m_pixels.data() + offset, m_area.Width(), m_area.Height(), m_area.Width(), false};
  }
  void Copy(CDC* from, const gdi::PixelSurface& to) const {
    CDC copy;
    copy.AttachSurface(to);
    copy.BitBlt(0, 0, m_area.Width(), m_area.Height(), from, m_area.left, m_area.top, SRCCOPY);
    copy.DetachSurface();
  }

  CRect m_area;
  std::size_t m_one;  // pixels in one image
  std::vector<DWORD> m_pixels;
};

// Mixes straight into the window's pixels where showing a mixed copy of the
// area would write them, so no copy is shown. False when the window maps
// its coordinates or is monochrome (a copy onto it converts).
bool BlendInWindow(const TransitionInput& in, bool& completed) {
  CPoint origin;
  std::vector<CRect> parts;
  const auto where = [&] {
    return !in.target->GetSurfaceInfo().monochrome &&
           in.target->GetBlitArea(in.area.left, in.area.top, in.area.Width(), in.area.Height(), &origin, &parts);
  };
  if (!where()) return false;
  completed = true;
  BothImages images(in);
  if (!images.IsValid()) return true;
  const gdi::PixelSurface from = images.Old(), to = images.New();
  const int steps = StepCount(in);
  for (int k = 1; k <= steps; ++k) {
    const int weight = StepWeight(k, steps);
    // Asked again at every step: the window may have been resized while the
    // last one was shown, and its pixels have moved with it.
    const gdi::PixelSurface window = in.target->GetSurfaceInfo();
    if (k > 1 && !where()) parts.clear();
    for (const CRect& part : parts)
      for (int y = part.top; y < part.bottom; ++y) {
        const int row = y - origin.y, column = part.left - origin.x;
        gdi::rows::Mix128(window.Row(y) + part.left, from.Row(row) + column, to.Row(row) + column, part.Width(),
                          weight);
      }
    if (in.steps->WaitStep(in.delay)) {
      completed = false;
      return true;
    }
  }
  return true;
}

}  // namespace

bool Blend(const TransitionInput& in, int variant) {
  if (variant != 0) return true;
  bool completed = true;
  if (BlendInWindow(in, completed)) return completed;

  AreaCopy oldImage(in, in.target), newImage(in, in.source);
  if (!oldImage.IsValid() || !newImage.IsValid()) return true;
  const gdi::PixelSurface work = oldImage.Surface(), target = newImage.Surface();
  // The old image is kept to mix from; work is shown after each step.
  std::vector<DWORD> start;
  start.reserve(static_cast<std::size_t>(work.width) * static_cast<std::size_t>(work.height));
  for (int y = 0; y < work.height; ++y) start.insert(start.end(), work.Row(y), work.Row(y) + work.width);
  const int steps = StepCount(in);
  for (int k = 1; k <= steps; ++k) {
    const int weight = StepWeight(k, steps);
    const DWORD* from = start.data();
    for (int y = 0; y < work.height; ++y, from += work.width)
      gdi::rows::Mix128(work.Row(y), from, target.Row(y), work.width, weight);
    oldImage.Show(in);
    if (in.steps->WaitStep(in.delay)) return false;
  }
  return true;
}

}  // namespace transitions
