// Category 6: the object's draw object slides in from outside the page.
#include "model/int_geometry.h"
#include "playback/effect_host.h"
#include "playback/transitions.h"

namespace transitions {

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
  CPoint start = target;
  if (fromLeft) start.x = -bounds.Width();
  if (fromRight) start.x = in.backBuffer.cx;
  if (fromTop) start.y = -bounds.Height();
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
