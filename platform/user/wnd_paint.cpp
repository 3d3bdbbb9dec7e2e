// What a window shows: its surface, the update area, painting and scrolling.
#include "platform/user/wnd.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <limits>
#include <optional>

#include "platform/gdi/dc.h"
#include "platform/user/qt_window_widget.h"
#include "platform/user/wnd_internal.h"

using tvn::wnd::Loop;

// --- Scrolling ---

namespace {
int Clamp(const SCROLLINFO& info, int pos) {
  int limit = info.nPage > 0 ? info.nMax - static_cast<int>(info.nPage) + 1 : info.nMax;
  return std::max(info.nMin, std::min(pos, std::max(info.nMin, limit)));
}
}  // namespace

int CWnd::SetScrollPos(int bar, int pos, BOOL) {
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  SCROLLINFO& info = m_scroll[bar];
  int old = std::exchange(info.nPos, Clamp(info, pos));
  SyncScrollBars();
  return old;
}

int CWnd::GetScrollPos(int bar) const { return bar == SB_HORZ || bar == SB_VERT ? m_scroll[bar].nPos : 0; }

void CWnd::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw) {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  SCROLLINFO info = m_scroll[bar];
  info.nMin = minPos;
  info.nMax = std::max(minPos, maxPos);
  SetScrollInfo(bar, info, redraw);
}

void CWnd::GetScrollRange(int bar, int* minPos, int* maxPos) const {
  SCROLLINFO info = GetScrollInfo(bar);
  if (minPos) *minPos = info.nMin;
  if (maxPos) *maxPos = info.nMax;
}

void CWnd::SetScrollInfo(int bar, const SCROLLINFO& info, BOOL) {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  SCROLLINFO& own = m_scroll[bar];
  own.nMin = info.nMin;
  own.nMax = std::max(info.nMin, info.nMax);
  own.nPage = info.nPage;
  own.nPos = Clamp(own, info.nPos);
  // A range with somewhere to go shows the bar, as in Windows; the bar's room
  // comes from the client area.
  DWORD style = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  bool scrolls = GetScrollLimit(bar) > own.nMin;
  DWORD old = m_style;
  m_style = scrolls ? (m_style | style) : (m_style & ~style);
  if (m_style != old && m_hWnd) SetWindowRect(m_rect, m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);
  SyncScrollBars();
}

int CWnd::ScrollBarExtent() const {
  constexpr int kWindowsExtent = 17;  // what Windows' bars take without a style to ask
  return m_widget ? m_widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_widget) : kWindowsExtent;
}

void CWnd::SyncScrollBars() {
  if (!m_widget) return;
  const int extent = ScrollBarExtent();
  for (int bar : {SB_HORZ, SB_VERT}) {
    bool shown = !HasOwnScrollBars() && (m_style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
    QScrollBar* sb = shown ? m_widget->ScrollBar(bar) : m_widget->ExistingScrollBar(bar);
    if (!sb) continue;
    sb->setVisible(shown);
    if (!shown) continue;
    const SCROLLINFO& info = m_scroll[bar];
    QSignalBlocker quiet(sb);  // our own settings are no requests to scroll
    sb->setRange(info.nMin, std::max(info.nMin, GetScrollLimit(bar)));
    sb->setPageStep(std::max(1, static_cast<int>(info.nPage)));
    sb->setValue(info.nPos);
    if (bar == SB_HORZ) sb->setGeometry(0, m_client.cy, m_client.cx, extent);
    else sb->setGeometry(m_client.cx, 0, extent, m_client.cy);
  }
}

SCROLLINFO CWnd::GetScrollInfo(int bar) const {
  if (bar != SB_HORZ && bar != SB_VERT) return SCROLLINFO{};
  SCROLLINFO info = m_scroll[bar];
  const QScrollBar* sb = m_widget ? m_widget->ExistingScrollBar(bar) : nullptr;
  info.nTrackPos = sb && !sb->isHidden() ? sb->sliderPosition() : info.nPos;
  return info;
}

int CWnd::GetScrollLimit(int bar) const {
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  return Clamp(m_scroll[bar], std::numeric_limits<int>::max());
}

void CWnd::ScrollWindow(int dx, int dy) {
  if (!m_hWnd || (dx == 0 && dy == 0)) return;
  {
    std::lock_guard lock(m_surfaceLock);
    if (m_surface && !m_surface->isNull()) {
      QImage moved(m_surface->size(), m_surface->format());
      moved.fill(m_surface->hasAlphaChannel() ? Qt::transparent : Qt::black);
      QPainter painter(&moved);
      painter.drawImage(dx, dy, *m_surface);
      painter.end();
      *m_surface = std::move(moved);
    }
  }
  for (CWnd* child : m_children) {
    CRect r = child->m_rect;
    r.OffsetRect(dx, dy);
    child->SetWindowRect(r, SIZE_RESTORED, true);
  }
  // The strips that scrolled into view.
  CRect client(0, 0, m_client.cx, m_client.cy);
  if (dx > 0) {
    CRect strip(0, 0, dx, client.bottom);
    InvalidateRect(&strip);
  } else if (dx < 0) {
    CRect strip(client.right + dx, 0, client.right, client.bottom);
    InvalidateRect(&strip);
  }
  if (dy > 0) {
    CRect strip(0, 0, client.right, dy);
    InvalidateRect(&strip);
  } else if (dy < 0) {
    CRect strip(0, client.bottom + dy, client.right, client.bottom);
    InvalidateRect(&strip);
  }
  SurfaceChanged();
}

// --- Painting ---

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const CRect* rect, BOOL erase) {
  if (!m_hWnd) return;
  CMessageLoop* loop = Loop();
  if (loop && !loop->IsLoopThread()) {
    // The update area belongs to the user-interface thread.
    std::optional<CRect> area = rect ? std::optional<CRect>(*rect) : std::nullopt;
    loop->PostCall([hwnd = m_hWnd, area, erase] {
      if (CWnd* wnd = FromHandle(hwnd)) wnd->InvalidateRect(area ? &*area : nullptr, erase);
    });
    return;
  }
  CRect client(0, 0, m_client.cx, m_client.cy);
  CRect area = client;
  if (rect && !area.IntersectRect(*rect, client)) return;
  if (area.IsRectEmpty()) return;
  m_update.UnionRect(m_update, area);
  m_erase = m_erase || erase;
  if (Loop()) Loop()->MarkInvalid(m_hWnd);
}

void CWnd::ValidateRect(const CRect* rect) {
  if (rect && !rect->IsRectEmpty()) {
    // The update area is kept as one rectangle: it goes only when covered.
    CRect overlap;
    overlap.IntersectRect(*rect, m_update);
    if (overlap != m_update) return;
  } else if (rect) {
    return;
  }
  m_update.SetRectEmpty();
  m_erase = false;
  if (Loop() && m_hWnd) Loop()->MarkValid(m_hWnd);
}

BOOL CWnd::GetUpdateRect(CRect* rect) const {
  if (rect) *rect = m_update;
  return m_update.IsRectEmpty() ? FALSE : TRUE;
}

void CWnd::UpdateWindow() {
  if (!m_hWnd || m_update.IsRectEmpty()) return;
  HWND self = m_hWnd;
  SendMessage(WM_PAINT);
  if (Loop() && Loop()->IsWindow(self)) ValidateRect(nullptr);
}

PAINTSTRUCT CWnd::BeginPaint() {
  PAINTSTRUCT ps;
  ps.rcPaint = m_update;
  ps.fErase = m_erase ? TRUE : FALSE;
  ValidateRect(nullptr);
  return ps;
}

void CWnd::EndPaint(const CRect& painted) { SurfaceChanged(&painted); }

void CWnd::PaintClient(const std::function<void(CDC& dc, const CRect& client)>& paint) {
  PAINTSTRUCT ps = BeginPaint();
  if (QImage* surface = GetSurface()) {
    std::lock_guard lock(SurfaceLock());
    CDC dc;
    dc.AttachSurface(surface);
    CRect client;
    GetClientRect(&client);
    paint(dc, client);
    dc.DetachSurface();
  }
  EndPaint(ps.rcPaint);
}

QImage* CWnd::GetSurface() { return m_hWnd ? m_surface.get() : nullptr; }

void CWnd::ResizeSurface(CSize size) {
  std::lock_guard lock(m_surfaceLock);
  if (m_surface && m_surface->width() == size.cx && m_surface->height() == size.cy) return;
  // A transparent child's surface starts clear: the parent shows through until it paints.
  const bool clear = m_parent && (m_exStyle & WS_EX_TRANSPARENT);
  auto image = std::make_unique<QImage>(std::max(0, size.cx), std::max(0, size.cy),
                                        clear ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  image->fill(clear ? Qt::transparent : Qt::black);
  if (m_surface && !m_surface->isNull() && !image->isNull()) {
    QPainter painter(image.get());
    painter.drawImage(0, 0, *m_surface);
  }
  // The image object stays: a context attached to it (a transition drawing
  // step by step while the window is resized) draws into the new pixels.
  if (m_surface) *m_surface = std::move(*image);
  else m_surface = std::move(image);
}

void CWnd::SurfaceChanged(const CRect* rect) {
  CMessageLoop* loop = Loop();
  if (loop && !loop->IsLoopThread()) {
    std::optional<CRect> area = rect ? std::optional<CRect>(*rect) : std::nullopt;
    loop->PostCall([hwnd = m_hWnd, area] {
      if (CWnd* wnd = FromHandle(hwnd)) wnd->SurfaceChanged(area ? &*area : nullptr);
    });
    return;
  }
  if (!m_widget) return;
  if (rect) m_widget->update(rect->left, rect->top, rect->Width(), rect->Height());
  else m_widget->update();
}

QWidget* CWnd::GetWidget() const { return m_widget; }
