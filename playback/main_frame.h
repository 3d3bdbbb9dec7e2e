// CMainFrame: the application's main window. It stays hidden for the whole
// run and exists so that there is a main window whose closing ends the program.
#pragma once

#include "platform/framework/frame_wnd.h"

class CMainFrame : public CMDIFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)

 public:
  CMainFrame() = default;
  ~CMainFrame() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // From here on closing courses leave the page alone: it goes with them.
  static void MarkClosing();
};
