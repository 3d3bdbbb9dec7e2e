// The press-tracking host of the presentation view: its own message loop while a button is held down.
#pragma once

#include "behaviour/push_button_response.h"

class CMessageLoop;
class COffScreenView;
class CTask;
class ITaskServices;

// Captures the mouse for the view while it lives. The loop ends (as a
// release outside) when the capture is lost, the program quits, the view
// stops running or another task becomes current. With nothing queued it
// runs one animation step of the page and then waits for the next message.
class CViewPressTracking final : public IPressTrackingHost {
 public:
  // services: the course's, whose current task is watched; null: the task stays current.
  CViewPressTracking(COffScreenView& view, ITaskServices* services, CTask* task);
  ~CViewPressTracking() override;
  CViewPressTracking(const CViewPressTracking&) = delete;
  CViewPressTracking& operator=(const CViewPressTracking&) = delete;

  BOOL NextMouse(CPoint& point, BOOL& released) override;
  void Repaint(const CRect& rect) override;
  // Whether the task that began tracking is still the course's current one.
  BOOL TaskStillCurrent() const;

 private:
  COffScreenView& m_view;
  ITaskServices* m_pServices;
  CTask* m_pTask;
  CMessageLoop* m_pLoop;
};
