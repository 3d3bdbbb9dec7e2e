// Category 6: the object's draw object slides in from outside the page.
#include <algorithm>

#include "model/int_geometry.h"
#include "page/effect_host.h"
#include "page/transitions.h"

namespace transitions {
namespace {
// Larger objects start no further off the page than this.
constexpr LONG kMaxExtent = 1 << 20;
}  // namespace

bool Slide(const TransitionInput& in, int variant) {
  if (variant < 0 || variant > 7 || !in.drawObject) return true;
  IEffectDrawObject& object = *in.drawObject;
  const CRect bounds = object.GetBounds();
  const CPoint target = bounds.TopLeft();
  // Directions: left, right, top, bottom, then the corners.
  const bool fromLeft = variant == 0 || variant == 4 || variant == 6;
  const bool fromRight = variant == 1 || variant == 5 || variant == 7;
  const bool fromTop = variant == 2 || variant == 4 || variant == 5;
  const bool fromBottom = variant == 3 || variant == 6 || variant == 7;
  // Sizes in 64 bits: the object's rectangle comes from a course and may be anything.
  const auto extent = [](LONG from, LONG to) {
    return static_cast<LONG>(std::clamp(static_cast<long long>(to) - from, 0LL, static_cast<long long>(kMaxExtent)));
  };
  CPoint start = target;
  if (fromLeft) start.x = -extent(bounds.left, bounds.right);
  if (fromRight) start.x = in.backBuffer.cx;
  if (fromTop) start.y = -extent(bounds.top, bounds.bottom);
  if (fromBottom) start.y = in.backBuffer.cy;

  if (in.block > 0) {
    for (int s = 0;; s += in.block) {
      // A thread of its own may find the object already taken off the page.
      if (in.checkDisplayed && in.view && !in.view->IsDisplayItem(&object)) return true;
      CPoint at;
      if (!MovePointTowards(s, start, target, &at)) break;
      object.MoveTo(at);
      if (in.steps->WaitStep(in.delay)) {
        if (!in.steps->WasKilled()) object.MoveTo(target);
        return false;
      }
    }
  }
  // The whole steps can end up to a block short of the target.
  if (object.GetBounds().TopLeft() != target) object.MoveTo(target);
  return true;
}

}  // namespace transitions
