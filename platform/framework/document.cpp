#include "platform/framework/document.h"

#include <algorithm>

#include "platform/framework/doc_template.h"
#include "platform/framework/frame_wnd.h"
#include "platform/user/message_loop.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(COleDocument, CDocument)

CDocument::~CDocument() {
  // Views that outlive their document must not reach back into it.
  for (CView* view : m_views) view->m_pDocument = nullptr;
}

void CDocument::SetTitle(const CString& title) {
  m_title = title;
  for (CView* view : m_views)
    if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(const CString& path) {
  m_pathName = path;
  int cut = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
  SetTitle(path.Mid(cut + 1));
}

void CDocument::AddView(CView* view) {
  if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
  if (view->m_pDocument) view->m_pDocument->RemoveView(view);
  m_views.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  auto it = std::find(m_views.begin(), m_views.end(), view);
  if (it == m_views.end()) return;
  m_views.erase(it);
  view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint) {
  std::vector<CView*> views = m_views;
  for (CView* view : views)
    if (view != sender) view->OnUpdate(sender, hint);
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_pathName.Empty();
  m_modified = false;
  return TRUE;
}

BOOL CDocument::OnOpenDocument(const CString&) {
  DeleteContents();
  m_modified = false;
  return TRUE;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* frame) {
  // Only the last frame on a document closes it; it must agree to close.
  for (CView* view : m_views)
    if (view->GetParentFrame() && view->GetParentFrame() != frame) return TRUE;
  return SaveModified();
}

void CDocument::OnCloseDocument() {
  // Destroying a frame destroys its views, which leave this document.
  std::vector<HWND> frames;
  for (CView* view : m_views)
    if (CFrameWnd* frame = view->GetParentFrame()) frames.push_back(frame->m_hWnd);
  for (HWND hwnd : frames)
    if (CWnd* frame = CWnd::FromHandle(hwnd)) frame->DestroyWindow();
  DeleteContents();
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);  // deletes this
}

BOOL CDocument::OnCmdMsg(UINT id, int code, void* extra) {
  if (HandleCommand(id, code, extra)) return TRUE;
  return m_pDocTemplate ? m_pDocTemplate->OnCmdMsg(id, code, extra) : FALSE;
}
