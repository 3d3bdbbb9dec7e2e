// The clip's video window: creation, placing, the frame timer, painting and the input passed to the owner.
#include "media/clip_video_wnd.h"

#include "media/active_movie_wnd.h"
#include "media/child_input.h"

IMPLEMENT_DYNAMIC(CClipVideoWnd, CWnd)

namespace {

constexpr UINT kFrameTimer = 1;
constexpr UINT kFrameTimerMs = 10;

}  // namespace

BOOL CClipVideoWnd::Create(CWnd* owner, const CRect& rect) {
  return owner && CreateEx(0, CString(), kStyle, rect, owner, 0);
}

void CClipVideoWnd::Show(BOOL show) {
  if (!m_hWnd) return;
  if (!show) {
    KillTimer(kFrameTimer);
    ShowWindow(SW_HIDE);
    return;
  }
  ShowWindow(SW_SHOWNA);
  SetTimer(kFrameTimer, kFrameTimerMs);
  Invalidate(FALSE);
  UpdateWindow();
}

void CClipVideoWnd::Place(const CRect& rect) {
  if (!m_hWnd) return;
  CRect now;
  GetWindowRect(&now);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&now);
  if (now == rect) return;
  SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate(FALSE);
}

void CClipVideoWnd::OnTimer(UINT id) {
  if (id != kFrameTimer) {
    CWnd::OnTimer(id);
    return;
  }
  if (m_clip.CurrentFrame() != m_shownFrame) Invalidate(FALSE);
}

void CClipVideoWnd::OnPaint() {
  LONG shown = -1;
  PaintClient([this, &shown](CDC& dc, const CRect& client) { shown = m_clip.DrawPicture(dc, client); });
  m_shownFrame = shown;
}

BOOL CClipVideoWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (AskParentForCursor(*this, wnd, hitTest, message)) return TRUE;
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

LRESULT CClipVideoWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      PostMouseToParent(*this, message, wParam, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      PostKeyToParent(*this, message, wParam, lParam);
      return 0;
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}
