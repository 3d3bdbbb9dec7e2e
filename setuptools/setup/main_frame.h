// setup::CMainFrame: setup's background window: full screen, a blue-to-black gradient with the title, and the owner of the run.
#pragma once

#include <functional>

#include "platform/gdi/font.h"
#include "platform/user/wnd.h"

class CDC;

namespace setup {

// Private messages of the background window.
inline constexpr UINT WM_SETUP_RUN = WM_USER + 1;        // runs the whole installation
inline constexpr UINT WM_SETUP_ASK_EXIT = WM_USER + 2;   // the exit question (411): 1 on Yes

class CMainFrame : public CWnd {
 public:
  // run: the whole installation (WM_USER+1); askExit: the exit question
  // (WM_USER+2). WM_CLOSE during the run (the session ends) stops the run,
  // which then destroys the window.
  CMainFrame(CString title, std::function<void()> run, std::function<bool()> askExit);
  ~CMainFrame() override;

  // Title "Install Application", pop-up, at (0, 0) with the screen's size
  // (or the given rectangle), shown unless hidden.
  BOOL CreateFrame(bool visible, const CRect* rect = nullptr);
  const CString& Title() const { return m_title; }
  // The title painted (UTF-8); the window is painted again.
  void SetTitle(const CString& title);

  // The gradient and the title on a client area of the given size.
  void Paint(CDC& dc, const CRect& client);

  // The band height for a client height: a 256th, rounded up.
  static int BandHeight(int clientHeight) { return clientHeight / 256 + (clientHeight % 256 ? 1 : 0); }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  int OnCreate(const CREATESTRUCT& cs) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd() override { return FALSE; }
  void PostNcDestroy() override;

 private:
  CString m_title;  // UTF-8
  std::function<void()> m_run;
  std::function<bool()> m_askExit;
  bool m_running = false;  // the installation runs (under WM_USER+1)
  CFont m_titleFont;
};

}  // namespace setup
