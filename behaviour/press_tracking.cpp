// Following a held button through the view's own message loop, and showing its looks at once.
#include "behaviour/press_tracking.h"

#include "model/task_services.h"
#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"
#include "platform/msg/window_messages.h"
#include "page/off_screen_view.h"

CViewPressTracking::CViewPressTracking(COffScreenView& view, ITaskServices* services, CTask* task)
    : m_view(view), m_pServices(services), m_pTask(task), m_pLoop(CMessageLoop::Current()) {
  m_view.SetCapture();
}

CViewPressTracking::~CViewPressTracking() {
  if (m_pLoop && m_pLoop->GetCapture() == m_view.GetSafeHwnd()) ::ReleaseCapture();
}

BOOL CViewPressTracking::TaskStillCurrent() const {
  return m_view.IsRunning() && (!m_pServices || m_pServices->GetCurrentTask() == m_pTask);
}

BOOL CViewPressTracking::NextMouse(CPoint& point, BOOL& released) {
  if (!m_pLoop) return FALSE;
  // The input comes here; Escape is only a key while the button is held.
  CWait wait({WaitInput::kToCaller, m_view.GetSafeHwnd(), false});
  for (;;) {
    if (m_pLoop->GetCapture() != m_view.GetSafeHwnd() || !TaskStillCurrent()) return FALSE;
    MSG msg;
    switch (wait.PumpOne(&msg)) {
      case PumpResult::Empty:
        m_view.AnimateObjects();
        if (!m_pLoop->PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) m_pLoop->WaitMessage();
        continue;
      case PumpResult::ToCaller:
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
          point = PointFromLParam(msg.lParam);
          m_view.ClientToLogical(&point);
          released = msg.message == WM_LBUTTONUP;
          return TRUE;
        }
        continue;  // other input is dropped while the button is held
      case PumpResult::Quit:
      case PumpResult::Closing:
      case PumpResult::Escape: return FALSE;
      default: continue;
    }
  }
}

void CViewPressTracking::Repaint(const CRect& rect) {
  m_view.ComposeRect(&rect);
  m_view.BlitToScreen(nullptr, &rect);
}
