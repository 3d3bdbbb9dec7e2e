// Category 2: a colour blend from the old image to the new one.
#include <algorithm>
#include <vector>

#include "page/transitions.h"

namespace transitions {
namespace {

// Weights are in 128ths.
constexpr int kFullWeight = 128;

DWORD Mix(DWORD from, DWORD to, int weight) {
  DWORD out = from & 0xFF000000u;  // the fourth byte stays as it was
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFFu), b = static_cast<int>((to >> shift) & 0xFFu);
    out |= static_cast<DWORD>(a + (((b - a) * weight) >> 7)) << shift;
  }
  return out;
}

}  // namespace

bool Blend(const TransitionInput& in, int variant) {
  if (variant != 0) return true;
  AreaCopy oldImage(in, in.target), newImage(in, in.source);
  if (!oldImage.IsValid() || !newImage.IsValid()) return true;
  const gdi::PixelSurface work = oldImage.Surface(), target = newImage.Surface();
  // The old image is kept to mix from; work is shown after each step.
  std::vector<DWORD> start;
  start.reserve(static_cast<std::size_t>(work.width) * static_cast<std::size_t>(work.height));
  for (int y = 0; y < work.height; ++y) start.insert(start.end(), work.Row(y), work.Row(y) + work.width);

  const int steps = std::max(in.block == 0 ? 32 : 32 / in.block, 4);
  for (int k = 1; k <= steps; ++k) {
    // Whole 128ths per step; the last step lands on the new image exactly.
    const int weight = k == steps ? kFullWeight : k * (kFullWeight / steps);
    const DWORD* from = start.data();
    for (int y = 0; y < work.height; ++y, from += work.width) {
      DWORD* out = work.Row(y);
      const DWORD* to = target.Row(y);
      for (int x = 0; x < work.width; ++x) out[x] = Mix(from[x], to[x], weight);
    }
    oldImage.Show(in);
    if (in.steps->WaitStep(in.delay)) return false;
  }
  return true;
}

}  // namespace transitions
