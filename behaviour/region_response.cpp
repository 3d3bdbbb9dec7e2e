// The region response: stored form, the area test, hover, inversion and the flash.
#include "behaviour/region_response.h"

#include "behaviour/mouse_response.h"
#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/rgn.h"
#include "platform/msg/window_messages.h"
#include "page/animate_thread.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CRegionResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr DWORD kRegionDrawFlags = 0x480;
constexpr DWORD kPolygonDrawFlag = 0x2;
constexpr DWORD kHiddenDrawFlag = 0x200;

}  // namespace

CRegionResponse::CRegionResponse(const CRegionResponse& other)
    : CDisplayResponse(other),
      m_dwRegionFlags(other.m_dwRegionFlags),
      m_dwMouseFlags(other.m_dwMouseFlags),
      m_outline(other.m_outline),
      m_strCursorFile(other.m_strCursorFile),
      m_key(other.m_key) {}

void CRegionResponse::Serialize(CArchive& ar) {
  m_dwMouseFlags = ar.ReadDword();
  m_strCursorFile = ar.ReadString();
  m_dwRegionFlags = ar.ReadDword();
  m_outline.Serialize(ar);
  m_key.Serialize(ar);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CRegionResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CRegionResponse*>(source)) {
    m_state = 0;
    m_dwRegionFlags = other->m_dwRegionFlags;
    m_dwMouseFlags = other->m_dwMouseFlags;
    m_strCursorFile = other->m_strCursorFile;
    m_outline = other->m_outline;
    m_key.CopyFrom(other->m_key);
    m_cursor = nullptr;
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

void CRegionResponse::SetRect(const CRect& rect) {
  SetRectConstants(rect);
  if (m_outline.GetPointCount() > 0) return;
  m_outline.AddPoint(CPoint(rect.left, rect.top));
  m_outline.AddPoint(CPoint(rect.right, rect.top));
  m_outline.AddPoint(CPoint(rect.right, rect.bottom));
  m_outline.AddPoint(CPoint(rect.left, rect.bottom));
}

BOOL CRegionResponse::InsidePolygon(int x, int y, int fillMode) const {
  const std::vector<CPoint> points = m_outline.FlatOutline();
  CRgn region;
  if (!region.CreatePolygonRgn(points, fillMode)) return FALSE;
  return region.PtInRegion(x, y);
}

BOOL CRegionResponse::ContainsPoint(int x, int y) {
  if (IsPolygon()) return HasPolygon() && InsidePolygon(x, y, WINDING);
  CRect r;
  return GetRect(&r) && r.PtInRect(CPoint(x, y));
}

BOOL CRegionResponse::GetRegion(int, int x, int y, const CRect*) {
  if (!HasPolygon()) return TRUE;
  return InsidePolygon(x, y, ALTERNATE);
}

BOOL CRegionResponse::Activate() {
  Unload();
  m_cursor = nullptr;
  if (m_dwRegionFlags & RegionFlag::kOwnCursor)
    if (IResponseView* view = ResponseViewOf(this)) m_cursor = view->GetCursor(m_strCursorFile);
  DWORD drawFlags = kRegionDrawFlags;
  if (IsPolygon()) drawFlags |= kPolygonDrawFlag;
  if (!(m_dwRegionFlags & RegionFlag::kOutline)) drawFlags |= kHiddenDrawFlag;
  Display().NoteShownOn(this);
  if (COffScreenView* view = PageViewOf(this)) view->AddObject(this, drawFlags);
  return TRUE;
}

void CRegionResponse::Draw(CDC* dc, int code, const CRect* rect) {
  switch (code) {
    case kDrawInvert:
      SetInverted(true);
      return;
    case kDrawFlashOnce:
      Flash(1, 300, false);
      return;
    case kDrawFlashThrice:
      Flash(3, 100, true);
      return;
    case kDrawRestore:
      SetInverted(false);
      return;
    default:
      break;
  }
  if (!dc) return;
  CRect area;
  if (rect) area = *rect;
  else GetRect(&area);
  const std::vector<CPoint> points = m_outline.FlatOutline();
  if (IsPolygon() && points.size() < 2) return;
  if (m_dwRegionFlags & RegionFlag::kOutline) {
    CPen pen(PS_DOT, 0, RGB(0, 0, 0));
    CPen* oldPen = dc->SelectObject(&pen);
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (IsPolygon()) {
      std::vector<CPoint> closed = points;
      closed.push_back(points.front());
      dc->Polyline(closed.data(), static_cast<int>(closed.size()));
    } else {
      const CPoint corners[5] = {{area.left, area.top}, {area.right - 1, area.top}, {area.right - 1, area.bottom - 1},
                                 {area.left, area.bottom - 1}, {area.left, area.top}};
      dc->Polyline(corners, 5);
    }
    dc->SetBkMode(oldMode);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldPen);
  }
  if (!(m_state & RegionState::kInverted)) return;
  if (HasPolygon()) {
    CRgn region;
    if (region.CreatePolygonRgn(points, WINDING)) dc->InvertRgn(&region);
  } else if (!IsPolygon()) {
    dc->InvertRect(area);
  }
}

void CRegionResponse::SetInverted(bool inverted) {
  const BYTE before = m_state;
  if (inverted) m_state |= RegionState::kInverted;
  else m_state &= static_cast<BYTE>(~RegionState::kInverted);
  if (before == m_state) return;
  if (COffScreenView* view = PageViewOf(this)) {
    // A hidden area (no outline) is still painted while it shows inverted.
    if (CDrawObj* obj = view->FindDisplayItem(this)) obj->SetFlag(DrawFlag::kStateShown, inverted);
    CRect area;
    GetRect(&area);
    if (IsPolygon()) m_outline.GetBoundingRect(&area);
    area.InflateRect(1, 1);
    view->RepaintArea(area);
  }
}

void CRegionResponse::Flash(int flashes, DWORD ms, bool trailingGap) {
  COffScreenView* view = PageViewOf(this);
  if (!view) return;
  SetInverted(false);
  CSyncEvent* kill = view->GetKillEvent();
  CSyncEvent* const events[] = {kill};
  IAnimationWaiter& waiter = view->GetAnimationWaiter();
  for (int i = 0; i < flashes; ++i) {
    SetInverted(true);
    const bool stopped = waiter.Wait(events, ms) != CSyncEvent::kTimeout;
    SetInverted(false);
    if (stopped) return;
    if ((trailingGap || i + 1 < flashes) && waiter.Wait(events, ms) != CSyncEvent::kTimeout) return;
  }
}

int CRegionResponse::ExecuteResponse(int* target) {
  if (m_dwRegionFlags & RegionFlag::kFlashOnce) Draw(nullptr, kDrawFlashOnce, nullptr);
  else if (m_dwRegionFlags & RegionFlag::kFlashThrice) Draw(nullptr, kDrawFlashThrice, nullptr);
  return CDisplayResponse::ExecuteResponse(target);
}

BOOL CRegionResponse::OnMouseMove(UINT, CPoint point, int source, const CRect*) {
  if (source != kInputFromTaskResponses) return FALSE;
  const bool inside = ContainsPoint(point.x, point.y) != FALSE;
  if (inside && !(m_state & RegionState::kOver)) {
    m_state |= RegionState::kOver;
    if (m_dwRegionFlags & RegionFlag::kOwnCursor)
      if (IResponseView* view = ResponseViewOf(this)) view->SetCursor(m_cursor);
    if (m_dwRegionFlags & RegionFlag::kInvertHover) Draw(nullptr, kDrawInvert, nullptr);
    RunHoverActions();
  } else if (!inside && (m_state & RegionState::kOver)) {
    m_state &= static_cast<BYTE>(~RegionState::kOver);
    if (m_state & RegionState::kInverted) Draw(nullptr, kDrawRestore, nullptr);
    TakeHoverActionsOff();
    if (IResponseView* view = ResponseViewOf(this)) view->RestoreCursor(FALSE);
  }
  return FALSE;
}

BOOL CRegionResponse::OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect*) {
  if (!IsEnabled()) return FALSE;  // disabled objects never take input
  if (source != kInputFromTaskResponses || !ContainsPoint(point.x, point.y)) return FALSE;
  if (!ClickKindMatches(message, m_dwMouseFlags)) return FALSE;
  return ((keyFlags & MK_LBUTTON) && (m_dwMouseFlags & MouseFlag::kLeft)) ||
         ((keyFlags & MK_RBUTTON) && (m_dwMouseFlags & MouseFlag::kRight));
}

BOOL CRegionResponse::OnKey(int key, int state) {
  if (!IsEnabled()) return FALSE;
  return m_key.Match(KeypadDigitToCharacter(static_cast<UINT>(key)), static_cast<UINT>(state),
                     HeldModifiers(Services()));
}

BOOL CRegionResponse::CollectFiles(CStringArray* files, int flags) {
  if (!files) return FALSE;
  BOOL added = FALSE;
  if ((m_dwRegionFlags & RegionFlag::kOwnCursor) && !m_strCursorFile.IsEmpty()) {
    files->Add(m_strCursorFile);
    added = TRUE;
  }
  return CDisplayResponse::CollectFiles(files, flags) || added;
}
