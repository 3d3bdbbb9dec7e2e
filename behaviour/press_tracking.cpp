// Following a held button through the view's own message loop, and showing its looks at once.
#include "behaviour/press_tracking.h"

#include "model/task_services.h"
#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"
#include "page/off_screen_view.h"

namespace {

bool IsMouseMessage(UINT message) { return message >= 0x200 && message <= 0x209; }
bool IsKeyMessage(UINT message) { return message >= 0x100 && message <= 0x108; }

}  // namespace

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
  for (;;) {
    if (m_pLoop->GetCapture() != m_view.GetSafeHwnd() || !TaskStillCurrent()) return FALSE;
    MSG msg;
    if (!m_pLoop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
      m_view.AnimateObjects();
      if (!m_pLoop->PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) m_pLoop->WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      // The run loop must still see it.
      m_pLoop->PostQuitMessage(static_cast<int>(msg.wParam));
      return FALSE;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      point = PointFromLParam(msg.lParam);
      m_view.ClientToLogical(&point);
      released = msg.message == WM_LBUTTONUP;
      return TRUE;
    }
    if (IsMouseMessage(msg.message) || IsKeyMessage(msg.message)) continue;
    m_pLoop->DispatchMessage(msg);
  }
}

void CViewPressTracking::Repaint(const CRect& rect) {
  m_view.ComposeRect(&rect);
  m_view.BlitToScreen(nullptr, &rect);
}
