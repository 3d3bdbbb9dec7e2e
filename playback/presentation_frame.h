// CPresentationFrame: the window the learner sees. It holds the presentation
// view, the course's user menu and the geometry of the page: the view fills
// the client area, or shows the page at a fixed size, centred, on black.
#pragma once

#include "behaviour/presentation_window.h"
#include "model/menu_item.h"
#include "platform/framework/frame_wnd.h"

class IMenuHandle;
class IScriptHost;
class CPresentationView;

class CPresentationFrame : public CFrameWnd, public IPresentationWindow {
  DECLARE_DYNCREATE(CPresentationFrame)

 public:
  // The frame makes itself the application's presentation frame.
  CPresentationFrame();
  ~CPresentationFrame() override;

  // The title is the first line of the resource's string ("Presentation
  // Window" for the presentation template).
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                 CCreateContext* context = nullptr) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  // TRUE: brought up front with the presentation view active. FALSE: the
  // course stops, the main window gets the focus and the task's objects leave
  // the page; the window itself stays as it is.
  void Show(BOOL show);

  // With a rectangle the view goes there. Without: a fixed page is limited to
  // the client size and centred; otherwise the view fills the client area.
  void MoveView(const CRect* rect = nullptr);
  // A page of this size is shown at that size (an empty size: the view fills
  // the client area).
  void SetFixedPageSize(int width, int height);
  const CRect& GetFixedViewRect() const { return m_fixedViewRect; }
  CSize GetPageSize() const { return {m_pageWidth, m_pageHeight}; }

  CMenuItemList& UserMenu() override { return m_userMenu; }
  BOOL HasUserMenu() const { return m_hasUserMenu; }
  void SetHasUserMenu(BOOL has) override { m_hasUserMenu = has; }
  // IPresentationWindow, for the window and menu actions.
  CFrameWnd& Frame() override { return *this; }
  void SetViewArea(int width, int height) override { SetFixedPageSize(width, height); }
  void FitView() override { MoveView(); }
  void SetCourseMenu(HMENU menu) override;
  // Brings the user items on the menu bar up to date from their conditions;
  // the bar is redrawn when any changed.
  void UpdateMenu(IMenuHandle& menuBar, IScriptHost& script);

  CPresentationView* GetPresentationView() const;

  void RecalcLayout() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Every command goes to the view first and then, whatever it answered, to
  // the frame's own routing.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnClose() override;
  void OnSetFocus(CWnd* oldWnd) override;
  BOOL OnEraseBkgnd() override;
  void OnPaint() override;

 private:
  void FillBlack();

  CMenuItemList m_userMenu;
  HMENU m_courseMenu = nullptr;  // owned
  CRect m_fixedViewRect;
  BOOL m_hasUserMenu = FALSE;
  int m_pageWidth = 0;
  int m_pageHeight = 0;
};
