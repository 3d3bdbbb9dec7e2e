// The off-screen view's back buffer: creation, composing, copying to the window, coordinates and scrolling.
#include "page/off_screen_view.h"

#include "model/icon_object.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/gdi/system_metrics.h"

IMPLEMENT_DYNAMIC(COffScreenView, CScrollView)

COffScreenView::COffScreenView() : m_pWaiter(&RealTimeWaiter()), m_pClock(&SteadyClock()) {
  m_memoryDC.CreateCompatibleDC(nullptr);
}

COffScreenView::~COffScreenView() {
  // The threads paint through this object: they end before any of it goes.
  m_killEvent.Set();
  JoinEndingThreads();
  Doomed all;
  {
    std::lock_guard lock(m_listLock);
    all = m_list.TakeAll();
  }
  for (auto& obj : all) obj->KillThread(FALSE);
  all.clear();
  if (m_pOldBitmap) m_memoryDC.SelectObject(m_pOldBitmap);
}

// --- back buffer ---

BOOL COffScreenView::CreateBuffer(CSize size) {
  bool made = false;
  {
    std::scoped_lock lock(m_listLock, m_blitLock);
    // The new buffer is made before the old one goes, so a failure leaves the page as it was.
    auto buffer = std::make_unique<CBitmap>();
    made = size.cx > 0 && size.cy > 0 && buffer->CreateBitmap(size.cx, size.cy, 1, 32, nullptr);
    if (made) {
      CBitmap* old = m_memoryDC.SelectObject(buffer.get());
      if (!m_pOldBitmap) m_pOldBitmap = old;
      m_backBuffer = std::move(buffer);
      m_nBufferWidth = size.cx;
      m_nBufferHeight = size.cy;
      EraseBackground();
    }
  }
  // Reported outside the locks: the box lets the program's messages run.
  if (!made) ReportNoMemory();
  return made ? TRUE : FALSE;
}

BOOL COffScreenView::ResizeBuffer(int width, int height) {
  if (width == m_nBufferWidth && height == m_nBufferHeight) return TRUE;
  return CreateBuffer(CSize(width, height));
}

void COffScreenView::ReportNoMemory() {
  if (CMessageService* messages = m_effects.Services().messages)
    messages->MessageBoxBeep(StringId::kOutOfMemory, nullptr, -1);
}

COLORREF COffScreenView::GetBufferPixel(int x, int y) {
  std::lock_guard lock(m_listLock);
  if (x < 0 || y < 0 || x >= m_nBufferWidth || y >= m_nBufferHeight) return CLR_INVALID;
  return m_memoryDC.GetPixel(x, y);
}

void COffScreenView::EraseBackground() {
  std::lock_guard lock(m_listLock);
  if (m_nBufferWidth <= 0) return;
  const CRect all(0, 0, m_nBufferWidth, m_nBufferHeight);
  m_memoryDC.FillSolidRect(all, GetSysColor(COLOR_WINDOW));
  m_pPageSettings->DrawBackground(&m_memoryDC, all);
}

int COffScreenView::OnCreate(const CREATESTRUCT& cs) {
  if (CScrollView::OnCreate(cs) == -1) return -1;
  if (m_nBufferWidth == 0) CreateBuffer(CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  return 0;
}

void COffScreenView::OnDestroy() {
  // Nothing may paint into a window that is going: the threads stop first.
  KillThreads(nullptr);
  CScrollView::OnDestroy();
}

void COffScreenView::OnSize(UINT type, int cx, int cy) {
  if (!(m_pPageSettings->GetWindowFlags() & PageFlag::kScrollBars)) CScrollView::OnSize(type, cx, cy);
  if (GetCurrentCourse()) {
    CRect client;
    GetClientRect(&client);
    for (CDrawObj* obj : GetObjects())
      if (IsDisplayItem(obj) && obj->GetOwner()) obj->GetOwner()->SizeObject(client);
  }
  ComposeRect(nullptr);
}

void COffScreenView::OnPaint() {
  PAINTSTRUCT ps = BeginPaint();
  CRect area = ps.rcPaint;
  ClientToLogicalRect(&area);
  if (!area.IsRectEmpty()) BlitToScreen(nullptr, &area);
  EndPaint(ps.rcPaint);
}

// --- repaint ---

CRect COffScreenView::ClientRectLogical() const {
  CRect client;
  GetClientRect(&client);
  ClientToLogicalRect(&client);
  return client;
}

void COffScreenView::InvalidateRect(const CRect* rect) {
  const CRect area = rect ? *rect : ClientRectLogical();
  if (area.IsRectEmpty()) return;
  std::lock_guard lock(m_listLock);
  m_dirty.Add(area);
}

void COffScreenView::InvalidateItem(CDrawObj* obj) {
  CRect r = *obj->GetRect();
  r.NormalizeRect();
  r.InflateRect(1, 1);
  InvalidateRect(&r);
}

void COffScreenView::RepaintArea(const CRect& rect) {
  ComposeRect(&rect);
  BlitToScreen(nullptr, &rect);
}

void COffScreenView::DiscardInvalidRects() {
  std::lock_guard lock(m_listLock);
  m_dirty.DeleteAll();
}

CRect COffScreenView::GetPageArea() const { return ClientRectLogical(); }

int COffScreenView::GetDirtyRectCount() {
  std::lock_guard lock(m_listLock);
  return m_dirty.GetCount();
}

void COffScreenView::DrawAll(CDC* dc, const CRect& clip) {
  const bool printing = dc->IsPrinting();
  for (CDrawObj* obj : m_list.Snapshot()) {
    // A printer gets only the visible objects of an owner, never the hidden ones.
    if (printing && (!obj->GetOwner() || (obj->GetFlags() & DrawFlag::kHidden) || !obj->GetOwner()->IsVisible()))
      continue;
    if (m_bRunning && (obj->GetFlags() & DrawFlag::kHidden) && !(obj->GetFlags() & DrawFlag::kStateShown)) continue;
    obj->Draw(dc, clip, 0);
  }
}

void COffScreenView::ComposeRect(const CRect* rect) {
  std::lock_guard lock(m_listLock);
  m_clip = rect ? *rect : ClientRectLogical();
  m_clip.NormalizeRect();
  CRect clip;
  if (!clip.IntersectRect(m_clip, CRect(0, 0, m_nBufferWidth, m_nBufferHeight))) return;
  const int saved = m_memoryDC.SaveDC();
  m_memoryDC.IntersectClipRect(clip);
  m_pPageSettings->DrawBackground(&m_memoryDC, clip);
  DrawAll(&m_memoryDC, clip);
  m_memoryDC.RestoreDC(saved);
}

void COffScreenView::FlushInvalidRects() {
  std::vector<CRect> rects;
  {
    std::lock_guard lock(m_listLock);
    m_dirty.MergeAll();
    rects = m_dirty.Rects();
    m_dirty.DeleteAll();
  }
  for (const CRect& r : rects) {
    ComposeRect(&r);
    BlitToScreen(nullptr, &r);
  }
}

void COffScreenView::BlitToScreen(CDC* dc, const CRect* rect) {
  // The buffer is read under the display-list lock as well, so that a helper
  // thread composing meanwhile never shows half a picture.
  std::scoped_lock lock(m_listLock, m_blitLock);
  CRect area = (rect && !rect->IsRectEmpty()) ? *rect : ClientRectLogical();
  area.NormalizeRect();
  if (dc) {
    dc->BitBlt(area.left, area.top, area.Width(), area.Height(), &m_memoryDC, area.left, area.top, SRCCOPY);
    return;
  }
  if (!m_hWnd) return;
  CRect shown = area;
  LogicalToClientRect(&shown);
  {
    std::lock_guard surfaceLock(SurfaceLock());
    CDC window;
    if (auto* surface = GetSurface()) window.AttachSurface(surface);
    if (!window.GetSurfaceInfo().IsValid()) return;
    window.BitBlt(shown.left, shown.top, shown.Width(), shown.Height(), &m_memoryDC, area.left, area.top, SRCCOPY);
    window.DetachSurface();
  }
  SurfaceChanged(&shown);
}

void COffScreenView::FinishEffect(CIconObject* owner, const CRect& rect) {
  ComposeRect(&rect);
  // The transition brings the window to the back buffer step by step; the
  // copy afterwards makes sure the area ends complete whatever stopped it.
  {
    std::lock_guard lock(m_listLock);
    m_effects.Run(owner, &m_memoryDC, rect);
  }
  BlitToScreen(nullptr, &rect);
}

void COffScreenView::OnUpdateHint(int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list) {
  switch (hint) {
    case PageHint::kAll:
      InvalidateRect(nullptr);
      FlushInvalidRects();
      break;
    case PageHint::kObject:
      if (obj) InvalidateItem(obj);
      break;
    case PageHint::kList:
      for (CDrawObj* o : list ? *list : m_selection) InvalidateItem(o);
      break;
    case PageHint::kListDeselect:
      if (!list || list == &m_selection) break;
      for (CDrawObj* o : *list) {
        InvalidateItem(o);
        ForgetSelected(o);
      }
      break;
    case PageHint::kOleObjects:
      for (CDrawObj* o : GetObjects())
        if (o->IsKindOf(RUNTIME_CLASS(CDrawOleObj))) InvalidateItem(o);
      break;
    default:
      break;
  }
}

void COffScreenView::OnUpdate(CView*, LPARAM hint) { OnUpdateHint(static_cast<int>(hint), nullptr); }

// --- coordinates and scrolling ---

void COffScreenView::ClientToLogical(CPoint* point) const {
  const CPoint at = GetDeviceScrollPosition();
  point->x += at.x;
  point->y += at.y;
}

void COffScreenView::ClientToLogicalRect(CRect* rect) const {
  const CPoint at = GetDeviceScrollPosition();
  rect->OffsetRect(at.x, at.y);
}

void COffScreenView::LogicalToClient(CPoint* point) const {
  const CPoint at = GetDeviceScrollPosition();
  point->x -= at.x;
  point->y -= at.y;
}

void COffScreenView::LogicalToClientRect(CRect* rect) const {
  const CPoint at = GetDeviceScrollPosition();
  rect->OffsetRect(-at.x, -at.y);
  rect->NormalizeRect();
}

void COffScreenView::SetScrollSizes(BOOL scroll) {
  if (scroll) {
    CScrollView::SetScrollSizes(MM_TEXT, GetBufferSize());
    return;
  }
  ScrollToPosition(CPoint(0, 0));
  CScrollView::SetScrollSizes(MM_TEXT, CSize(1, 1));
  ModifyStyle(WS_HSCROLL | WS_VSCROLL, 0);
}

BOOL COffScreenView::OnScrollBy(CSize size, BOOL doScroll) {
  const CPoint before = GetDeviceScrollPosition();
  if (!CScrollView::OnScrollBy(size, doScroll)) return FALSE;
  if (!doScroll) return TRUE;
  const CPoint after = GetDeviceScrollPosition();
  const int dx = after.x - before.x, dy = after.y - before.y;
  CRect client;
  GetClientRect(&client);
  // The strips that came into view, in page coordinates.
  if (dx != 0) {
    CRect strip = dx > 0 ? CRect(client.right - dx, 0, client.right, client.bottom) : CRect(0, 0, -dx, client.bottom);
    ClientToLogicalRect(&strip);
    InvalidateRect(&strip);
  }
  if (dy != 0) {
    CRect strip = dy > 0 ? CRect(0, client.bottom - dy, client.right, client.bottom) : CRect(0, 0, client.right, -dy);
    ClientToLogicalRect(&strip);
    InvalidateRect(&strip);
  }
  FlushInvalidRects();
  return TRUE;
}
