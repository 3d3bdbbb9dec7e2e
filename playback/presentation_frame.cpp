#include "playback/presentation_frame.h"

#include <algorithm>
#include <mutex>

#include "model/icon_object.h"
#include "model/menu_handle.h"
#include "platform/gdi/dc.h"
#include "platform/user/menu.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/framework/win_app.h"
#include "playback/app_resources.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"

IMPLEMENT_DYNCREATE(CPresentationFrame, CFrameWnd)

CPresentationFrame::CPresentationFrame() {
  if (CPlayerApp* app = CPlayerApp::Get()) app->SetPresentationFrame(this);
}

CPresentationFrame::~CPresentationFrame() {
  SetCourseMenu(nullptr);
  // The application must not post to a frame that is gone.
  if (CPlayerApp* app = CPlayerApp::Get(); app && app->GetPresentationFrame() == this)
    app->SetPresentationFrame(nullptr);
}

BOOL CPresentationFrame::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= WS_CLIPCHILDREN;
  cs.style &= ~FWS_ADDTOTITLE;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return CFrameWnd::PreCreateWindow(cs);
}

BOOL CPresentationFrame::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  // The base takes the first line of the resource's string as the title and
  // sends WM_INITIALUPDATE to the descendants when there is no context.
  return CFrameWnd::LoadFrame(resourceId, style & ~FWS_ADDTOTITLE, parent, context);
}

CPresentationView* CPresentationFrame::GetPresentationView() const {
  if (CPlayerApp* app = CPlayerApp::Get(); app && app->GetPresentationView()) return app->GetPresentationView();
  return DynamicDowncast<CPresentationView>(GetActiveView());
}

void CPresentationFrame::Show(BOOL show) {
  CPresentationView* view = GetPresentationView();
  if (show) {
    ShowWindow(IsIconic() ? SW_RESTORE : SW_SHOW);
    if (view) SetActiveView(view);
    BringWindowToTop();
    return;
  }
  SendMessage(WM_COMMAND, AppCommand::kStopCourse, 0);
  if (CWnd* main = AfxGetMainWnd()) main->SetFocus();
  if (!view) return;
  constexpr int kMovieKind = 29;
  for (CDrawObj* obj : view->GetObjects())
    if (CIconObject* owner = obj->GetOwner(); owner && owner->GetKind() == kMovieKind) owner->Unload();
  view->RemoveTaskObjects();
}

void CPresentationFrame::SetFixedPageSize(int width, int height) {
  m_pageWidth = std::max(width, 0);
  m_pageHeight = std::max(height, 0);
  m_fixedViewRect = CRect(0, 0, m_pageWidth, m_pageHeight);
  if (m_hWnd) MoveView();
}

void CPresentationFrame::MoveView(const CRect* rect) {
  CWnd* view = GetPresentationView();
  if (!view || !view->GetSafeHwnd()) return;
  if (rect) {
    view->MoveWindow(*rect);
    return;
  }
  CRect client;
  GetClientRect(&client);
  if (m_fixedViewRect.IsRectEmpty()) {
    view->MoveWindow(client);
    return;
  }
  const int width = std::min(m_pageWidth, client.Width());
  const int height = std::min(m_pageHeight, client.Height());
  const int left = client.left + (client.Width() - width) / 2;
  const int top = client.top + (client.Height() - height) / 2;
  view->MoveWindow(CRect(left, top, left + width, top + height));
}

void CPresentationFrame::RecalcLayout() {
  if (m_fixedViewRect.IsRectEmpty()) CFrameWnd::RecalcLayout();
  else MoveView();
}

void CPresentationFrame::SetCourseMenu(HMENU menu) {
  if (GetSafeHwnd()) SetMenu(menu);
  if (m_courseMenu && m_courseMenu != menu) {
    if (GetMenuHandle() == m_courseMenu && GetSafeHwnd()) SetMenu(static_cast<HMENU>(nullptr));
    DestroyMenu(m_courseMenu);
  }
  m_courseMenu = menu;
}

void CPresentationFrame::UpdateMenu(IMenuHandle& menuBar, IScriptHost& script) {
  if (!m_hasUserMenu || !GetMenuHandle() || !m_userMenu.HasItems()) return;
  if (m_userMenu.UpdateMenuStates(menuBar, script)) DrawMenuBar();
}

BOOL CPresentationFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CPresentationView* view = GetPresentationView()) view->OnCommand(wParam, lParam);
  return CFrameWnd::OnCommand(wParam, lParam);
}

void CPresentationFrame::OnClose() {
  // Under a loop of the program's own the course may be in a device's wait
  // that stopping it now would pull away: the program's close ends the
  // loops first and this close comes again once they have returned.
  if (CWinApp* app = CWinApp::Get(); app && app->InNestedLoop()) {
    app->CloseWhenUnwound(m_hWnd);
    return;
  }
  Show(FALSE);
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE);
}

void CPresentationFrame::OnSetFocus(CWnd* oldWnd) {
  CPresentationView* view = GetPresentationView();
  if (view && view->IsRunning() && !IsWindowEnabled() && oldWnd) {
    oldWnd->SetFocus();
    return;
  }
  CFrameWnd::OnSetFocus(oldWnd);
}

void CPresentationFrame::FillBlack() {
  QImage* surface = GetSurface();
  if (!surface) return;
  {
    std::lock_guard lock(SurfaceLock());
    CDC dc;
    dc.AttachSurface(surface);
    CRect box;
    dc.GetClipBox(&box);
    dc.SelectStockObject(BLACK_BRUSH);
    dc.PatBlt(box.left, box.top, box.Width(), box.Height(), PATCOPY);
    dc.DetachSurface();
  }
  SurfaceChanged();
}

BOOL CPresentationFrame::OnEraseBkgnd() {
  FillBlack();
  return TRUE;
}

void CPresentationFrame::OnPaint() {
  PAINTSTRUCT ps = BeginPaint();
  SendMessage(WM_ERASEBKGND);
  EndPaint(ps.rcPaint);
}

LRESULT CPresentationFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PALETTECHANGED:
      // Another window's palette change: the active view refreshes its colours.
      if (reinterpret_cast<HWND>(wParam) != m_hWnd) {
        LRESULT result = CFrameWnd::WindowProc(message, wParam, lParam);
        if (CView* view = GetActiveView()) view->SendMessage(0x409, reinterpret_cast<WPARAM>(view->GetSafeHwnd()));
        return result;
      }
      return 0;
    default: return CFrameWnd::WindowProc(message, wParam, lParam);
  }
}
