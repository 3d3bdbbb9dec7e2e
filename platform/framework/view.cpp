#include "platform/framework/view.h"

#include "platform/framework/document.h"
#include "platform/framework/frame_wnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const {
  for (CWnd* w = GetParent(); w; w = w->GetParent())
    if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(w)) return frame;
  return nullptr;
}

void CView::OnUpdate(CView*, LPARAM) { Invalidate(); }

BOOL CView::OnCmdMsg(UINT id, int code, void* extra) {
  if (HandleCommand(id, code, extra)) return TRUE;
  return m_pDocument ? m_pDocument->OnCmdMsg(id, code, extra) : FALSE;
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= WS_CLIPSIBLINGS;
  return CWnd::PreCreateWindow(cs);
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITIALUPDATE) {
    OnInitialUpdate();
    return 0;
  }
  if (message == WM_DESTROY && m_pDocument) {
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (m_pDocument) m_pDocument->RemoveView(this);
    return result;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
