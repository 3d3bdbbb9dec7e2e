// The check-button response: stored form, drawing, press tracking, radio groups and scoring.
#include "behaviour/check_button_response.h"

#include <algorithm>

#include "behaviour/press_tracking.h"
#include "model/archive.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pen.h"
#include "platform/msg/window_messages.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CCheckButtonResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr UINT kLabelFormat = DT_WORDBREAK | DT_EXPANDTABS;

CCheckButtonResponse* RoundButtonOf(CDrawObj* obj) {
  auto* button = obj ? dynamic_cast<CCheckButtonResponse*>(obj->GetOwner()) : nullptr;
  return button && (button->m_dwStyle & CheckStyle::kRound) ? button : nullptr;
}

}  // namespace

CheckButtonLayout LayOutCheckButton(const CRect& r, int textHeight, DWORD style) {
  const int s = std::max(0, std::min({textHeight, static_cast<int>(r.Height()), static_cast<int>(r.Width())}));
  CheckButtonLayout out;
  out.box = CRect(r.left, r.top + (r.Height() - s) / 2, r.right, 0);
  out.box.bottom = out.box.top + s;
  out.label = r;
  if (style & CheckStyle::kBoxRight) {
    out.label.left += 1;
    out.label.right -= s + 5;
    out.box.left = r.right - s - 1;
    out.box.right = r.right - 1;
  } else {
    out.label.left += s + 5;
    out.label.right -= 1;
    out.box.left = r.left + 1;
    out.box.right = out.box.left + s + 1;
  }
  return out;
}

CCheckButtonResponse::CCheckButtonResponse(const CCheckButtonResponse& other)
    : CDisplayResponse(other),
      m_font(other.m_font),
      m_strLabel(other.m_strLabel),
      m_accessKey(other.m_accessKey),
      m_dwStyle(other.m_dwStyle),
      m_textColour(other.m_textColour),
      m_backColour(other.m_backColour),
      m_strCondition(other.m_strCondition) {}

CCheckButtonResponse::~CCheckButtonResponse() {
  Display().LeavePage(this);
  Unload();
}

void CCheckButtonResponse::Serialize(CArchive& ar) {
  m_font.Serialize(ar);
  m_strLabel = ar.ReadString();
  m_strCondition = ar.ReadString();
  m_accessKey = ar.ReadByte();
  m_dwStyle = ar.ReadDword();
  m_textColour = ar.ReadDword();
  m_backColour = ar.ReadDword();
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CCheckButtonResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CCheckButtonResponse*>(source)) {
    m_wState = 0;
    if (!(keepIdentity && other->m_strLabel.IsEmpty())) {
      m_strLabel = other->m_strLabel;
      m_accessKey = other->m_accessKey;
    }
    if (!(keepIdentity && other->m_strCondition.IsEmpty())) m_strCondition = other->m_strCondition;
    m_dwStyle = other->m_dwStyle;
    m_textColour = other->m_textColour;
    m_backColour = other->m_backColour;
    m_font.CopyFrom(other->m_font);
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

void CCheckButtonResponse::Unload() {
  m_font.DeleteFont();
  m_strShownLabel.Empty();
}

BOOL CCheckButtonResponse::SetBackColour(COLORREF colour) {
  if (colour == m_backColour) return FALSE;
  m_backColour = colour;
  return TRUE;
}

BOOL CCheckButtonResponse::SetFont(const LOGFONT& font, int size, COLORREF colour) {
  SetFontAndColour(m_font, m_textColour, font, size, colour);
  m_font.CreateFont(2, 0);
  return TRUE;
}

BOOL CCheckButtonResponse::Activate() {
  CRect r;
  GetRect(&r);
  if (r.IsRectEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  m_strShownLabel = services ? ExpandVariables(services->Variables(), m_strLabel, FALSE) : m_strLabel;
  m_font.CreateFont(2, 0);
  m_wState = 0;
  if (m_dwStyle & CheckStyle::kCheckedAtStart) m_wState |= CheckState::kChecked;
  else if (!m_strCondition.IsEmpty() && services && CheckCondition(services->Variables(), m_strCondition))
    m_wState |= CheckState::kChecked;
  Display().NoteShownOn(this);
  if (COffScreenView* view = PageViewOf(this)) view->AddObject(this, DrawFlag::kControlFace);
  return TRUE;
}

CRect CCheckButtonResponse::Area(const CRect* rect) {
  if (rect) return *rect;
  CRect r;
  GetRect(&r);
  return r;
}

void CCheckButtonResponse::Draw(CDC* dc, int, const CRect* rect) {
  if (!dc) return;
  const CRect r = Area(rect);
  const COLORREF oldText = dc->SetTextColor(m_textColour);
  IGdiFont* oldFont = m_font.Select(dc);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  if (m_dwStyle & CheckStyle::kFilled) {
    CBrush back(m_backColour);
    CPen none(PS_NULL, 0, 0);
    CBrush* oldBrush = dc->SelectObject(&back);
    CPen* oldPen = dc->SelectObject(&none);
    dc->Rectangle(r);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
  }
  const CheckButtonLayout layout = LayOutCheckButton(r, dc->GetTextExtent("X").cy, m_dwStyle);
  if (!m_strShownLabel.IsEmpty()) {
    CRect label = layout.label;
    CRect measured = label;
    dc->DrawText(m_strShownLabel, &measured, kLabelFormat | DT_CALCRECT);
    const int h = std::min(measured.Height(), label.Height());
    label.top += (label.Height() - h) / 2;
    dc->DrawText(m_strShownLabel, &label, kLabelFormat);
  }
  if (oldFont) GetFontServices().SelectFont(dc, oldFont);

  CPen pen(PS_SOLID, 2, m_textColour);
  CPen* oldPen = dc->SelectObject(&pen);
  CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
  const bool pressedInside = (m_wState & CheckState::kPressed) && !(m_wState & CheckState::kOutside);
  CRect inner = layout.box;
  inner.InflateRect(-1, -1);
  CRect mark = layout.box;
  mark.InflateRect(-5, -5);
  if (m_dwStyle & CheckStyle::kRound) {
    dc->Ellipse(layout.box);
    if (pressedInside) dc->Ellipse(inner);
    if (IsChecked()) {
      CBrush dot(m_textColour);
      CBrush* before = dc->SelectObject(&dot);
      dc->Ellipse(mark);
      dc->SelectObject(before);
    }
  } else if (m_dwStyle & CheckStyle::kSquare) {
    dc->Rectangle(layout.box);
    if (pressedInside) dc->Rectangle(inner);
    if (IsChecked()) {
      dc->MoveTo(mark.left, mark.top);
      dc->LineTo(mark.right, mark.bottom);
      dc->MoveTo(mark.right, mark.top);
      dc->LineTo(mark.left, mark.bottom);
    }
  }
  dc->SelectObject(oldPen);
  if (oldBrush) dc->SelectObject(oldBrush);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
}

BYTE CCheckButtonResponse::IsRightAnswer() {
  const BYTE mark = GetAnswerMark();
  if ((IsChecked() && mark == 1) || (!IsChecked() && mark == 2)) return 1;
  return 2;
}

void CCheckButtonResponse::ShowNow() {
  if (COffScreenView* view = PageViewOf(this)) {
    const CRect r = Area(nullptr);
    view->ComposeRect(&r);
    view->BlitToScreen(nullptr, &r);
  }
}

void CCheckButtonResponse::Toggle() {
  m_wState ^= CheckState::kChecked;
  ShowNow();
}

BOOL CCheckButtonResponse::TrackPress(IPressTrackingHost& host) {
  const CRect area = Area(nullptr);
  m_wState = static_cast<WORD>((m_wState | CheckState::kPressed) & ~CheckState::kOutside);
  host.Repaint(area);
  CPoint point;
  BOOL released = FALSE;
  BOOL inside = FALSE;
  // A loop that ends without a release counts as a release outside.
  while (host.NextMouse(point, released)) {
    inside = area.PtInRect(point);
    const WORD before = m_wState;
    if (inside) m_wState &= ~CheckState::kOutside;
    else m_wState |= CheckState::kOutside;
    if (m_wState != before) host.Repaint(area);
    if (released) break;
  }
  if (!released) {
    inside = FALSE;
    m_wState |= CheckState::kOutside;
  }
  const bool onIt = (m_wState & CheckState::kPressed) && !(m_wState & CheckState::kOutside);
  m_wState &= ~(CheckState::kPressed | CheckState::kOutside);
  if (onIt) {
    if (m_dwStyle & CheckStyle::kRound) {
      m_wState |= CheckState::kChecked;
      host.Repaint(area);
      UncheckGroup();
    } else {
      m_wState ^= CheckState::kChecked;
      host.Repaint(area);
    }
  } else {
    host.Repaint(area);
  }
  return inside;
}

void CCheckButtonResponse::UncheckGroup() {
  COffScreenView* view = PageViewOf(this);
  if (!view) return;
  const std::vector<CDrawObj*> objects = view->GetObjects();
  const auto self = std::find_if(objects.begin(), objects.end(), [this](CDrawObj* o) { return o->GetOwner() == this; });
  if (self == objects.end()) return;
  auto clear = [view](CCheckButtonResponse* button) {
    if (!button->IsChecked()) return;
    button->m_wState &= ~CheckState::kChecked;
    CRect r;
    button->GetRect(&r);
    view->InvalidateRect(&r);
  };
  if (!(m_dwStyle & CheckStyle::kGroupStart)) {
    for (auto it = self; it != objects.begin();) {
      --it;
      CCheckButtonResponse* button = RoundButtonOf(*it);
      if (!button) continue;
      clear(button);
      if (button->m_dwStyle & CheckStyle::kGroupStart) break;
    }
  }
  for (auto it = self + 1; it != objects.end(); ++it) {
    CCheckButtonResponse* button = RoundButtonOf(*it);
    if (!button) continue;
    if (button->m_dwStyle & CheckStyle::kGroupStart) break;
    clear(button);
  }
  view->FlushInvalidRects();
}

int CCheckButtonResponse::RunCheckedScript() {
  if (!IsChecked() || GetExpression().IsEmpty()) return 0;
  if (ITaskServices* services = TaskServicesOf(this)) ExecuteScript(services->Variables(), GetExpression());
  return 0;
}

BOOL CCheckButtonResponse::OnMouseButton(UINT message, UINT, CPoint point, int source, const CRect*) {
  if (!IsEnabled()) return FALSE;  // disabled objects never take input
  if (source != kInputFromTaskResponses || message != WM_LBUTTONDOWN) return FALSE;
  if (!Area(nullptr).PtInRect(point)) return FALSE;
  COffScreenView* view = PageViewOf(this);
  if (!view) return FALSE;
  CViewPressTracking tracking(*view, Services(), TaskOf(this));
  TrackPress(tracking);
  return FALSE;  // a check button is never the task's answer
}

BOOL CCheckButtonResponse::OnKey(int key, int) {
  if (!IsEnabled() || m_accessKey == 0) return FALSE;
  const char text[2] = {static_cast<char>(m_accessKey), 0};
  CString upper(text);
  upper.MakeUpper();
  if (key == static_cast<BYTE>(upper[0])) Toggle();
  return FALSE;
}
