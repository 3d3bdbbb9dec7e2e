#include "platform/framework/scroll_view.h"

#include <algorithm>
#include <limits>

IMPLEMENT_DYNAMIC(CScrollView, CView)

namespace {
constexpr UINT kNoScroll = 0xFF;
}

void CScrollView::SetScrollSizes(int, CSize total, CSize page, CSize line) {
  m_total = CSize(std::max(0, total.cx), std::max(0, total.cy));
  m_page = page.cx > 0 && page.cy > 0 ? page : CSize(m_total.cx / 10, m_total.cy / 10);
  m_line = line.cx > 0 && line.cy > 0 ? line : CSize(std::max(1, m_page.cx / 10), std::max(1, m_page.cy / 10));
  if (m_hWnd) UpdateBars();
}

CPoint CScrollView::GetDeviceScrollPosition() const { return {GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT)}; }

void CScrollView::UpdateBars() {
  if (m_updatingBars || !m_hWnd) return;
  m_updatingBars = true;
  CPoint old = GetDeviceScrollPosition();
  // The room without bars decides: a bar is needed where the page is larger,
  // and a bar in one direction takes room from the other.
  const int extent = GetScrollBarExtent();
  CRect client;
  GetClientRect(&client);
  CSize room(client.Width() + ((GetStyle() & WS_VSCROLL) ? extent : 0),
             client.Height() + ((GetStyle() & WS_HSCROLL) ? extent : 0));
  bool needH = m_total.cx > room.cx;
  bool needV = m_total.cy > room.cy;
  if (needH && !needV) needV = m_total.cy > room.cy - extent;
  if (needV && !needH) needH = m_total.cx > room.cx - extent;
  CSize shown(room.cx - (needV ? extent : 0), room.cy - (needH ? extent : 0));
  for (int bar : {SB_HORZ, SB_VERT}) {
    bool need = bar == SB_HORZ ? needH : needV;
    int total = bar == SB_HORZ ? m_total.cx : m_total.cy;
    SCROLLINFO info;
    info.nMin = 0;
    info.nMax = need ? total - 1 : 0;
    info.nPage = need ? static_cast<UINT>(std::max(0L, static_cast<long>(bar == SB_HORZ ? shown.cx : shown.cy))) : 0;
    info.nPos = bar == SB_HORZ ? old.x : old.y;
    SetScrollInfo(bar, info, TRUE);
  }
  // A bigger window may have pulled the limits below the old position.
  CPoint now = GetDeviceScrollPosition();
  if (now != old) ScrollWindow(old.x - now.x, old.y - now.y);
  m_updatingBars = false;
}

void CScrollView::ScrollToPosition(CPoint position) {
  CPoint old = GetDeviceScrollPosition();
  OnScrollBy(CSize(position.x - old.x, position.y - old.y), TRUE);
}

BOOL CScrollView::OnScroll(UINT codes, UINT position, BOOL doScroll) {
  auto step = [&](UINT code, int current, int line, int page) {
    switch (code) {
      case SB_TOP: return 0;
      case SB_BOTTOM: return std::numeric_limits<int>::max() / 2;
      case SB_LINEUP: return current - line;
      case SB_LINEDOWN: return current + line;
      case SB_PAGEUP: return current - page;
      case SB_PAGEDOWN: return current + page;
      case SB_THUMBTRACK: return static_cast<int>(position);
      default: return current;  // SB_THUMBPOSITION, SB_ENDSCROLL: already there
    }
  };
  CPoint at = GetDeviceScrollPosition();
  int x = (codes & 0xFF) == kNoScroll ? at.x : step(codes & 0xFF, at.x, m_line.cx, m_page.cx);
  int y = ((codes >> 8) & 0xFF) == kNoScroll ? at.y : step((codes >> 8) & 0xFF, at.y, m_line.cy, m_page.cy);
  return OnScrollBy(CSize(x - at.x, y - at.y), doScroll);
}

BOOL CScrollView::OnScrollBy(CSize size, BOOL doScroll) {
  CPoint old = GetDeviceScrollPosition();
  auto clamp = [](long long v, int limit) { return static_cast<int>(std::max(0LL, std::min<long long>(v, limit))); };
  int x = clamp(static_cast<long long>(old.x) + size.cx, GetScrollLimit(SB_HORZ));
  int y = clamp(static_cast<long long>(old.y) + size.cy, GetScrollLimit(SB_VERT));
  if (x == old.x && y == old.y) return FALSE;
  if (doScroll) {
    ScrollWindow(old.x - x, old.y - y);
    SetScrollPos(SB_HORZ, x);
    SetScrollPos(SB_VERT, y);
  }
  return TRUE;
}

LRESULT CScrollView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HSCROLL || message == WM_VSCROLL) {
    UINT code = LOWORD(wParam);
    UINT position = HIWORD(wParam);
    OnScroll(message == WM_HSCROLL ? (kNoScroll << 8) | code : (code << 8) | kNoScroll, position);
    return 0;
  }
  return CView::WindowProc(message, wParam, lParam);
}

void CScrollView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  UpdateBars();
}
