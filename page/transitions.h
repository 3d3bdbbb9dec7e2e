// The pixel transition routines of categories 1 to 6: from what the window shows to the back buffer, in steps.
#pragma once

#include <memory>

#include "platform/gdi/raster_ops.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CBitmap;
class CDC;
class IEffectDrawObject;
class IEffectView;

// The running effect's side of a routine.
class ITransitionSteps {
 public:
  virtual ~ITransitionSteps() = default;
  // Paces one step by that delay in milliseconds; true means stop now.
  virtual bool WaitStep(BYTE delay) = 0;
  // The last stop came from the view's kill event (the page is going away).
  virtual bool WasKilled() const = 0;
};

// Everything a routine reads. The target (the window) holds the old image,
// the source (the back buffer) the new one at the same page coordinates.
// Routines copy nothing outside area.
struct TransitionInput {
  CDC* target = nullptr;
  CDC* source = nullptr;
  CRect area;
  int block = 2;        // pixels per step
  BYTE delay = 5;       // milliseconds between steps
  ITransitionSteps* steps = nullptr;
  // Category 6: the object slid in, the page's size and whether each step
  // first checks that the view still shows the object.
  IEffectDrawObject* drawObject = nullptr;
  IEffectView* view = nullptr;
  CSize backBuffer;
  bool checkDisplayed = false;
  // Category 1 variant 15: seed of the block order.
  DWORD seed = 0;
};

// Each routine gives true when it ran to its end (or had nothing to do) and
// false when a step told it to stop.
namespace transitions {

// Category 1: block wipes (1-8), blinds (9-12), edges to centre (13), growing
// frame (14), random blocks (15); other variants do nothing.
bool BlockWipe(const TransitionInput& in, int variant);
// Category 2: colour blend (variant 0 only).
bool Blend(const TransitionInput& in, int variant);
// Category 3: reveal in the order of the mask's blue values.
bool MaskReveal(const TransitionInput& in, CBitmap& mask);
// Category 4: push from left, right, top, bottom (0-3).
bool Push(const TransitionInput& in, int variant);
// Category 5: zoom from the centre (0) or a corner (1-4), shrink the old image (5).
bool Zoom(const TransitionInput& in, int variant);
// Category 6: slide the draw object in from one of eight directions (0-7).
bool Slide(const TransitionInput& in, int variant);

// The blinds' delay: ten times the step delay, kept in its byte as it always was (30 gives 44).
BYTE BlindsDelay(BYTE delay);

// Copies part of the new image into the window, cut to the area.
void CopyPart(const TransitionInput& in, const CRect& part);
void CopyAll(const TransitionInput& in);
// Copies from any context into the window: dst cut to the area, src moved alike.
void CopyBlock(const TransitionInput& in, CDC* from, const CRect& dst, CPoint src);
// Stretches all of a w x h picture held by from into dst, painting only inside the area.
void StretchInto(const TransitionInput& in, CDC* from, const CRect& dst);

// A memory context holding a 32-bit copy of the area, taken from a context.
class AreaCopy {
 public:
  AreaCopy(const TransitionInput& in, CDC* from);
  ~AreaCopy();
  AreaCopy(const AreaCopy&) = delete;
  AreaCopy& operator=(const AreaCopy&) = delete;
  // False when there was no memory for it.
  bool IsValid() const;
  CDC* Dc();
  // The copy's pixels, area.Width() x area.Height().
  gdi::PixelSurface Surface();
  // Shows the copy in the window over the area.
  void Show(const TransitionInput& in);

 private:
  struct Impl;
  std::unique_ptr<Impl> m;
};

}  // namespace transitions
