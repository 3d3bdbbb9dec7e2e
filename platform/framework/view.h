// CView: a child window of a frame that shows a document.
#pragma once

#include "platform/user/wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)

 public:
  CView() = default;
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  CFrameWnd* GetParentFrame() const;

  // WM_INITIALUPDATE: the first look at the document.
  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
  // The document changed: the base repaints everything.
  virtual void OnUpdate(CView* sender, LPARAM hint);
  // The view's own handlers, then the document's.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Views belong to their window: they go when it goes.
  void PostNcDestroy() override { delete this; }
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

 private:
  friend class CDocument;
  CDocument* m_pDocument = nullptr;
};
