#include "playback/main_frame.h"

#include "playback/player_app.h"

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

CMainFrame::~CMainFrame() { MarkClosing(); }

void CMainFrame::MarkClosing() {
  if (CPlayerApp* app = CPlayerApp::Get()) app->SetClosing();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || message == WM_ENDSESSION) MarkClosing();
  return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}
