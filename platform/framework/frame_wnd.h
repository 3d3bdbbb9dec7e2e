// CFrameWnd: a top-level window that holds a view, routes commands to it and
// closes its document; CMDIFrameWnd is the same here.
#pragma once

#include "platform/framework/view.h"

class CDocTemplate;
class CWinApp;

// The frame adds the document's title to its own.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
// The first pane of a frame: the view's child id.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
};

class CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)

 public:
  CFrameWnd() = default;
  ~CFrameWnd() override;

  // Creates the frame: its title is the first line of the application's
  // string of that id, its menu the application's menu of that id; with a
  // context the view is made; without one WM_INITIALUPDATE goes to every
  // descendant.
  virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                         CCreateContext* context = nullptr);
  UINT GetHelpId() const { return m_helpId; }

  CView* GetActiveView() const;
  void SetActiveView(CView* view, BOOL notify = TRUE);
  CDocument* GetActiveDocument() const;
  // The view is made from its run-time class and created as pane AFX_IDW_PANE_FIRST.
  CView* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
  // After a document has been opened into the frame: views see the document,
  // the title follows it and the frame is shown when visible is set.
  virtual void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
  virtual void ActivateFrame(int showCommand = -1);
  // Places the view over the whole client area.
  virtual void RecalcLayout();
  virtual void OnUpdateFrameTitle(BOOL addToTitle);

  // The active view first, then the frame's own handlers, then the application.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;

 protected:
  int OnCreate(const CREATESTRUCT& cs) override;
  virtual BOOL OnCreateClient(const CREATESTRUCT& cs, CCreateContext* context);
  void OnSize(UINT type, int cx, int cy) override;
  void OnClose() override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnDestroy() override;
  // Frames delete themselves; the main window's going ends the message loop.
  void PostNcDestroy() override;

 private:
  UINT m_helpId = 0;
  CString m_title;  // the frame's own title, to which the document's is added
  HWND m_activeView = nullptr;
  HMENU m_ownMenu = nullptr;
};

class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNAMIC(CMDIFrameWnd)
};
