#include "behaviour/text_action.h"

#include <cmath>
#include <cstdlib>

#include "model/archive.h"
#include "model/font_services.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CTextAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
const CRect kDefaultDrawRect(0, 0, 640, 480);

// Selects the font for as long as it lives and puts back the one it replaced.
class FontSelection {
 public:
  FontSelection(CFontObject& font, CDC* dc) : m_dc(dc), m_old(font.Select(dc)) {}
  ~FontSelection() {
    if (m_old) GetFontServices().SelectFont(m_dc, m_old);
  }
  FontSelection(const FontSelection&) = delete;
  FontSelection& operator=(const FontSelection&) = delete;

 private:
  CDC* m_dc;
  IGdiFont* m_old;
};

}  // namespace

RotatedTextAnchor RotatedAnchor(const CRect& rect, int angle, int characterHeight) {
  const int offset = std::abs(static_cast<int>(std::sin(angle * kTextRadiansPerDegree) * characterHeight));
  RotatedTextAnchor anchor;
  if (angle > 0 && angle <= 90) anchor = {CPoint(rect.left, rect.bottom), TA_BOTTOM};
  else if (angle > 90 && angle <= 180) anchor = {CPoint(rect.right, rect.bottom), TA_TOP};
  else if (angle > 180 && angle <= 270) anchor = {CPoint(rect.right, rect.top), TA_BOTTOM};
  else anchor = {CPoint(rect.left, rect.top), TA_TOP};
  anchor.point.x += offset;
  return anchor;
}

void SplitShadow(CRect& text, CRect& shadow, int dx, int dy) {
  shadow = text;
  if (dx > 0) {
    shadow.left += dx;
    text.right -= dx;
  } else if (dx < 0) {
    text.left -= dx;
    shadow.right += dx;
  }
  if (dy > 0) {
    shadow.top += dy;
    text.bottom -= dy;
  } else if (dy < 0) {
    text.top -= dy;
    shadow.bottom += dy;
  }
}

CTextAction::CTextAction()
    : CDisplayAction(ActionKind::kText, kDefaultLayer),
      m_textColour(GetSysColor(COLOR_WINDOWTEXT)),
      m_backColour(GetSysColor(COLOR_WINDOW)) {}

CTextAction::CTextAction(const CTextAction& other)
    : CDisplayAction(other),
      m_strText(other.m_strText),
      m_textColour(other.m_textColour),
      m_backColour(other.m_backColour),
      m_shadowColour(other.m_shadowColour),
      m_shadowX(other.m_shadowX),
      m_shadowY(other.m_shadowY),
      m_dwTextFlags(other.m_dwTextFlags),
      m_font(other.m_font),
      m_rotation(other.m_rotation) {}

void CTextAction::Serialize(CArchive& ar) {
  m_dwTextFlags = ar.ReadDword();
  m_textColour = ar.ReadDword();
  m_backColour = ar.ReadDword();
  m_strText = ar.ReadString();
  m_shadowX = static_cast<signed char>(ar.ReadByte());
  m_shadowY = static_cast<signed char>(ar.ReadByte());
  m_shadowColour = ar.ReadDword();
  m_rotation.Serialize(ar);
  m_font.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CTextAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CTextAction*>(source)) {
    if (!(keepIdentity && other->m_strText.IsEmpty())) m_strText = other->m_strText;
    m_dwTextFlags = other->m_dwTextFlags;
    SetColours(other->m_textColour, other->m_backColour, other->m_shadowColour);
    m_shadowX = other->m_shadowX;
    m_shadowY = other->m_shadowY;
    m_font.CopyFrom(other->m_font);
    m_rotation = other->m_rotation;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

void CTextAction::SetColours(COLORREF text, COLORREF back, COLORREF shadow) {
  m_textColour = text;
  m_backColour = back;
  m_shadowColour = shadow;
}

int CTextAction::RotationDegrees() {
  ITaskServices* services = TaskServicesOf(this);
  return services ? m_rotation.GetLong(services->Variables()) : m_rotation.GetLiteral();
}

UINT CTextAction::AlignmentFormat() const {
  if (m_dwTextFlags & TextFlag::kRight) return DT_RIGHT;
  if (m_dwTextFlags & TextFlag::kCentre) return DT_CENTER;
  return DT_LEFT;
}

void CTextAction::Unload() {
  m_strShown.Empty();
  m_font.DeleteFont();
}

BOOL CTextAction::Execute() {
  Unload();
  COffScreenView* view = PageViewOf(this);
  if (!m_strText.IsEmpty()) {
    if (GetBounds().IsRectEmpty() && view) {
      CRect client;
      view->GetClientRect(&client);
      SetRectConstants(client);
    }
    ITaskServices* services = TaskServicesOf(this);
    m_strShown = services ? ExpandVariables(services->Variables(), m_strText, FALSE) : m_strText;
    m_font.CreateFont(2, RotationDegrees());
  }
  Display().NoteShownOn(this);
  if (!view) return TRUE;
  AddTextToPage(*view, this, Effect().HasEffect(), static_cast<DWORD>(GetDisplayFlags()));
  return TRUE;
}

void AddTextToPage(COffScreenView& view, CIconObject* text, bool hasEffect, DWORD displayFlags) {
  CDrawObj* obj = view.AddObject(text, hasEffect ? DrawFlag::kTransition : 0);
  if (obj && (!hasEffect || (displayFlags & kTextRepaintAtOnce))) {
    CRect area;
    obj->GetRect(&area);
    view.InvalidateRect(&area);
  }
}

void CTextAction::Draw(CDC* dc, int, const CRect* rect) {
  if (!dc) return;
  CRect area = rect ? *rect : CRect();
  if (area.IsRectEmpty()) area = kDefaultDrawRect;
  dc->SetBkMode(TRANSPARENT);
  if (m_dwTextFlags & TextFlag::kFilled) dc->FillSolidRect(area, m_backColour);
  if (m_strShown.IsEmpty()) return;

  FontSelection selection(m_font, dc);
  const UINT oldAlign = dc->SetTextAlign(0);
  const bool shadow = (m_dwTextFlags & TextFlag::kShadow) != 0;
  CRect shadowRect;
  if (shadow) SplitShadow(area, shadowRect, m_shadowX, m_shadowY);

  const int angle = RotationDegrees();
  if (angle < 1) {
    const UINT format = kTextFormat | AlignmentFormat();
    if (shadow) {
      dc->SetTextColor(m_shadowColour);
      dc->DrawText(m_strShown, &shadowRect, format);
    }
    dc->SetTextColor(m_textColour);
    dc->DrawText(m_strShown, &area, format);
  } else {
    TEXTMETRIC metrics;
    dc->GetTextMetrics(&metrics);
    if (shadow) {
      const RotatedTextAnchor at = RotatedAnchor(shadowRect, angle, metrics.tmHeight);
      dc->SetTextAlign(at.align);
      dc->SetTextColor(m_shadowColour);
      dc->ExtTextOut(at.point.x, at.point.y, ETO_CLIPPED, &shadowRect, m_strShown);
    }
    const RotatedTextAnchor at = RotatedAnchor(area, angle, metrics.tmHeight);
    dc->SetTextAlign(at.align);
    dc->SetTextColor(m_textColour);
    dc->ExtTextOut(at.point.x, at.point.y, ETO_CLIPPED, &area, m_strShown);
  }
  dc->SetTextAlign(oldAlign);
}

BOOL CTextAction::GetRegion(int, int x, int y, const CRect* rect) {
  if (m_dwTextFlags & TextFlag::kFilled) return TRUE;
  CRect measured = rect ? *rect : GetBounds();
  if (!GetRect(&measured)) return TRUE;
  return measured.PtInRect(CPoint(x, y));
}

CRect* CTextAction::GetRect(CRect* inout) {
  const int w0 = inout->Width();
  const int h0 = inout->Height();
  if (m_strShown.IsEmpty()) return nullptr;
  if ((m_dwTextFlags & TextFlag::kFilled) || RotationDegrees() >= 1) return inout;

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CRect measured = *inout;
  {
    FontSelection selection(m_font, &dc);
    dc.DrawText(m_strShown, &measured, kTextFormat | DT_CALCRECT | AlignmentFormat());
  }
  inout->right = measured.right;
  inout->bottom = measured.bottom;
  if (m_dwTextFlags & TextFlag::kRight) inout->right = inout->left + w0;
  else if (m_dwTextFlags & TextFlag::kCentre) inout->right = inout->left + measured.Width() / 2 + w0 / 2;
  if (measured.Height() > h0) inout->bottom = inout->top + h0;
  if (m_dwTextFlags & TextFlag::kShadow) inout->InflateRect(std::abs(m_shadowX) + 1, std::abs(m_shadowY) + 1);
  return inout;
}

BOOL CTextAction::SetFont(const LOGFONT& font, int size, COLORREF colour) {
  SetFontAndColour(m_font, m_textColour, font, size, colour);
  m_font.CreateFont(2, RotationDegrees());
  return TRUE;
}

void CTextAction::SetAlignment(int alignment) {
  m_dwTextFlags = (m_dwTextFlags & ~TextFlag::kAlignmentBits) | (static_cast<DWORD>(alignment) & TextFlag::kAlignmentBits);
}

int CTextAction::GetAlignment() {
  if (RotationDegrees() != 0) return 0;
  if (m_dwTextFlags & TextFlag::kRight) return 4;
  if (m_dwTextFlags & TextFlag::kCentre) return 2;
  return 1;
}
