// IDragPartner: the drag-and-drop response a draggable object on the page is linked to.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class IDragPartner {
 public:
  static constexpr int kFree = 0;
  static constexpr int kOnPath = 1;
  static constexpr int kInArea = 2;

  virtual int GetDragMode() = 0;
  // Added to the object's left and top to give the drop point of a free drag.
  virtual CPoint GetHotSpot() = 0;
  // Moves the dragged rectangle onto the path, or keeps it inside the area.
  virtual void ConstrainToPath(CPoint point, CRect& rect) = 0;
  virtual void ConstrainToArea(CPoint point, CRect& rect) = 0;
  // A drop on the path is offered to the response itself: TRUE when it accepts.
  virtual BOOL AcceptDrop(UINT keyFlags, CPoint point) = 0;

 protected:
  ~IDragPartner() = default;
};

