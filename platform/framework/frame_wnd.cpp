#include "platform/framework/frame_wnd.h"

#include "platform/framework/document.h"
#include "platform/framework/win_app.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CMDIFrameWnd, CFrameWnd)

namespace {
// Where a frame appears before anyone places it.
const CRect kDefaultFrameRect(0, 0, 800, 600);
}  // namespace

// A frame whose window still exists is destroyed by the CWnd destructor;
// destroying it here would run PostNcDestroy, which deletes the frame.
CFrameWnd::~CFrameWnd() {
  if (m_ownMenu) DestroyMenu(m_ownMenu);
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_helpId = resourceId;
  CWinApp* app = CWinApp::Get();
  CString title = app ? app->LoadResourceString(resourceId) : CString();
  int newline = title.Find('\n');
  if (newline >= 0) title = title.Left(newline);
  m_title = title.IsEmpty() && app ? app->AppName() : title;
  if (!CreateEx(0, title, style, kDefaultFrameRect, parent, 0, 0, context)) return FALSE;
  if (HMENU menu = app ? app->LoadMenuResource(resourceId) : nullptr) {
    m_ownMenu = menu;
    SetMenu(menu);
  }
  if (!context) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
  return TRUE;
}

int CFrameWnd::OnCreate(const CREATESTRUCT& cs) {
  auto* context = static_cast<CCreateContext*>(cs.lpCreateParams);
  return OnCreateClient(cs, context) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(const CREATESTRUCT&, CCreateContext* context) {
  if (context && context->m_pNewViewClass) return CreateView(context) ? TRUE : FALSE;
  return TRUE;
}

CView* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  if (!context || !context->m_pNewViewClass || !context->m_pNewViewClass->m_pfnCreateObject) return nullptr;
  std::unique_ptr<CObject> object = context->m_pNewViewClass->CreateObject();
  CView* view = DynamicDowncast<CView>(object.get());
  if (!view) return nullptr;
  if (context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(view);
  CRect client;
  GetClientRect(&client);
  if (!view->Create(CString(), WS_CHILD | WS_VISIBLE, client, this, id)) return nullptr;  // the object goes with `object`
  object.release();  // a created view deletes itself with its window
  if (!m_activeView) m_activeView = view->m_hWnd;
  return view;
}

CView* CFrameWnd::GetActiveView() const { return DynamicDowncast<CView>(FromHandle(m_activeView)); }

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
  m_activeView = view ? view->m_hWnd : nullptr;
  if (view && notify && view->IsWindowVisible()) view->SetFocus();
}

CDocument* CFrameWnd::GetActiveDocument() const {
  CView* view = GetActiveView();
  return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
  CView* view = GetActiveView();
  if (!view) view = DynamicDowncast<CView>(GetDlgItem(AFX_IDW_PANE_FIRST));
  SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
  if (view) SetActiveView(view, FALSE);
  OnUpdateFrameTitle(TRUE);
  if (makeVisible) ActivateFrame();
}

void CFrameWnd::ActivateFrame(int showCommand) {
  ShowWindow(showCommand == -1 ? (IsIconic() ? SW_RESTORE : SW_SHOW) : showCommand);
  BringWindowToTop();
}

void CFrameWnd::RecalcLayout() {
  CView* view = GetActiveView();
  if (!view) view = DynamicDowncast<CView>(GetDlgItem(AFX_IDW_PANE_FIRST));
  if (!view) return;
  CRect client;
  GetClientRect(&client);
  view->MoveWindow(client);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE) || !addToTitle) return;
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->GetTitle().IsEmpty()) SetWindowText(doc->GetTitle() + " - " + m_title);
  else SetWindowText(m_title);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra) {
  if (CView* view = GetActiveView(); view && view->OnCmdMsg(id, code, extra)) return TRUE;
  if (HandleCommand(id, code, extra)) return TRUE;
  CWinApp* app = CWinApp::Get();
  return app ? app->OnCmdMsg(id, code, extra) : FALSE;
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnClose() {
  CWinApp* app = CWinApp::Get();
  if (app && app->m_pMainWnd == this) {
    if (app->InNestedLoop()) {
      // Closing now would free what the code under the loops (boxes, dialogs,
      // the course's own waits) still uses.
      app->CloseWhenUnwound(m_hWnd);
      return;
    }
    app->CloseAllDocuments(FALSE);
    if (m_hWnd) DestroyWindow();
    return;
  }
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->CanCloseFrame(this)) return;
  bool lastFrame = doc != nullptr;
  if (doc)
    for (CView* view : doc->Views())
      if (view->GetParentFrame() != this) lastFrame = false;
  if (lastFrame) doc->OnCloseDocument();  // destroys this frame
  else DestroyWindow();
}

void CFrameWnd::OnSetFocus(CWnd* oldWnd) {
  if (CView* view = GetActiveView(); view && view->IsWindowVisible()) view->SetFocus();
  else CWnd::OnSetFocus(oldWnd);
}

void CFrameWnd::OnDestroy() {
  CWnd::OnDestroy();
  m_activeView = nullptr;
}

void CFrameWnd::PostNcDestroy() {
  CWinApp* app = CWinApp::Get();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    app->PostQuitMessage(0);
  }
  delete this;
}
