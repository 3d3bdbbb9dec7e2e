// CCourseFrame and CCourseView: the frame and view the course template gives
// each open course. A course is seen only through the presentation window,
// so its own frame never shows; it exists for the framework's bookkeeping.
#pragma once

#include "platform/framework/frame_wnd.h"
#include "platform/framework/view.h"

class CCourseFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CCourseFrame)

 public:
  // Opening a course "visibly" does not show its frame.
  void ActivateFrame(int showCommand = -1) override;
};

class CCourseView : public CView {
  DECLARE_DYNCREATE(CCourseView)
};
