// setup's background window: creation at the screen's size, the gradient bands, the shadowed title and the run's two messages.
#include "setuptools/setup/main_frame.h"

#include <mutex>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/message_loop.h"
#include "platform/framework/win_app.h"
#include "setuptools/common/setup_strings.h"

namespace setup {

namespace {
constexpr BYTE kVariablePitch = 2;
constexpr int kTitlePoints = 32;
constexpr int kTitleInset = 35;  // the black copy's distance from every side
constexpr int kShadow = 5;       // the white copy lies this far up and left of the black one
}  // namespace

CMainFrame::CMainFrame(CString title, std::function<void()> run, std::function<bool()> askExit)
    : m_title(std::move(title)), m_run(std::move(run)), m_askExit(std::move(askExit)) {}

CMainFrame::~CMainFrame() { DestroyWindow(); }

BOOL CMainFrame::CreateFrame(bool visible, const CRect* rect) {
  const CSize screen = gdi::ScreenSize();
  const CRect area = rect ? *rect : CRect(0, 0, screen.cx, screen.cy);
  return CreateEx(0, LoadSetupString(SetupProgram::kSetup, SetupString::kTitle), WS_POPUP | (visible ? WS_VISIBLE : 0),
                  area, nullptr, 0);
}

void CMainFrame::SetTitle(const CString& title) {
  m_title = title;
  if (m_hWnd) Invalidate(FALSE);
}

int CMainFrame::OnCreate(const CREATESTRUCT& cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  // 32-point bold Arial (Liberation Sans stands in for it) at the screen's resolution.
  const int height = -kTitlePoints * gdi::kLogicalDpi / 72;
  m_titleFont.CreateFont(height, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, kVariablePitch | FF_SWISS, "Arial");
  return 0;
}

void CMainFrame::Paint(CDC& dc, const CRect& client) {
  // 256 bands from full blue to black; the lower ones may fall outside the window.
  const int band = BandHeight(client.Height());
  for (int i = 0; i < 256; ++i) {
    const int top = client.top + i * band;
    if (top >= client.bottom) break;
    dc.FillSolidRect(CRect(client.left, top, client.right, top + band), RGB(0, 0, 255 - i));
  }
  if (m_title.IsEmpty()) return;
  const CString& text = m_title;
  dc.SetBkMode(TRANSPARENT);
  CFont* old = dc.SelectObject(&m_titleFont);
  CRect box(client.left + kTitleInset, client.top + kTitleInset, client.right - kTitleInset, client.bottom - kTitleInset);
  const UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_LEFT | DT_TOP;
  dc.SetTextColor(RGB(0, 0, 0));
  dc.DrawText(text, &box, format);
  box.OffsetRect(-kShadow, -kShadow);
  dc.SetTextColor(RGB(255, 255, 255));
  dc.DrawText(text, &box, format);
  dc.SelectObject(old);
}

void CMainFrame::OnPaint() {
  PaintClient([this](CDC& dc, const CRect& client) { Paint(dc, client); });
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETUP_RUN:
      if (m_run && !m_running) {
        m_running = true;
        m_run();
        m_running = false;
      }
      return 0;
    case WM_SETUP_ASK_EXIT: return m_askExit && m_askExit() ? 1 : 0;
    case WM_CLOSE:
      // The session's end during the run: every dialog, box and wait ends at
      // once and the copy stops after its chunk, so the run ends as an
      // incomplete installation; the window goes with it, and the program.
      if (m_running) {
        if (CWinApp* app = AfxGetApp()) app->CloseWhenUnwound(m_hWnd);
        return 0;
      }
      return CWnd::WindowProc(message, wParam, lParam);
    default: return CWnd::WindowProc(message, wParam, lParam);
  }
}

void CMainFrame::PostNcDestroy() {
  // The run ends with its background window.
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    PostQuitMessage(0);
  }
}

}  // namespace setup
