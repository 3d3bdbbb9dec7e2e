// The push-button response: stored form, drawing, hover, press tracking and the hot key.
#include "behaviour/push_button_response.h"

#include <algorithm>

#include "behaviour/image_environment_of.h"
#include "behaviour/press_tracking.h"
#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/font_services.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/base/cstring.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"
#include "platform/msg/window_messages.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CPushButtonResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 3)

namespace {

constexpr UINT kCaptionFormat = DT_WORDBREAK | DT_CENTER | DT_EXPANDTABS;

// The button's own rectangle, for painting (no page offers one).
CRect EvaluatedRect(CIconObject* self) {
  CRect r;
  self->GetRect(&r);
  return r;
}

}  // namespace

CPushButtonResponse::CPushButtonResponse()
    : CDisplayResponse(ResponseKind::kPushButton),
      m_faceColour(GetSysColor(COLOR_BTNFACE)),
      m_shadowColour(GetSysColor(COLOR_BTNSHADOW)),
      m_highlightColour(GetSysColor(COLOR_BTNHIGHLIGHT)) {
  // State pictures are see-through where they have their top-left colour.
  for (CImage& image : m_images) image.flags = ImageFlag::kTopLeftKey;
}

CPushButtonResponse::CPushButtonResponse(const CPushButtonResponse& other)
    : CDisplayResponse(other),
      m_strCaption(other.m_strCaption),
      m_strCursorFile(other.m_strCursorFile),
      m_hotKey(other.m_hotKey),
      m_dwStyle(other.m_dwStyle),
      m_textColour(other.m_textColour),
      m_faceColour(other.m_faceColour),
      m_shadowColour(other.m_shadowColour),
      m_highlightColour(other.m_highlightColour),
      m_bevel(other.m_bevel),
      m_images(other.m_images),
      m_font(other.m_font) {
  for (CImage& image : m_images) image.SetEnvironment(nullptr);
}

CPushButtonResponse::~CPushButtonResponse() {
  // The page lets go of the button before its pictures and font go.
  Display().LeavePage(this);
}

void CPushButtonResponse::PlaceNew(CSize client) {
  const LONG left = client.cx / 2 - 70;
  const LONG top = client.cy - 125;
  SetRectConstants(CRect(left, top, left + 140, top + 50));
}

void CPushButtonResponse::Serialize(CArchive& ar) {
  const UINT schema = ar.GetObjectSchema();
  m_strCaption = ar.ReadString();
  m_hotKey = ar.ReadByte();
  m_dwStyle = ar.ReadDword();
  m_textColour = ar.ReadDword();
  m_faceColour = ar.ReadDword();
  m_shadowColour = ar.ReadDword();
  m_highlightColour = ar.ReadDword();
  m_bevel = ar.ReadByte();
  if (schema >= 3) m_strCursorFile = ar.ReadString();
  for (CImage& image : m_images) image.Serialize(ar);
  m_font.Serialize(ar);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CPushButtonResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CPushButtonResponse*>(source)) {
    m_wState = 0;
    m_dwStyle = other->m_dwStyle;
    m_hotKey = other->m_hotKey;
    for (int i = 0; i < kImageCount; ++i) m_images[i].CopyFrom(other->m_images[i]);
    m_textColour = other->m_textColour;
    m_faceColour = other->m_faceColour;
    m_shadowColour = other->m_shadowColour;
    m_highlightColour = other->m_highlightColour;
    m_bevel = other->m_bevel;
    m_strCursorFile = other->m_strCursorFile;
    m_font.CopyFrom(other->m_font);
    if (!(keepIdentity && other->m_strCaption.IsEmpty())) m_strCaption = other->m_strCaption;
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

void CPushButtonResponse::Unload() {
  m_wState = 0;
  m_strShownCaption.Empty();
  m_font.DeleteFont();
  for (CImage& image : m_images) image.Free();
}

int CPushButtonResponse::FreeResources(CDC*, int) {
  for (CImage& image : m_images) image.RebuildBitmap();
  return 1;
}

BOOL CPushButtonResponse::SetBackColour(COLORREF colour) {
  if (colour == m_faceColour) return FALSE;
  m_faceColour = colour;
  return TRUE;
}

BOOL CPushButtonResponse::SetFont(const LOGFONT& font, int size, COLORREF colour) {
  SetFontAndColour(m_font, m_textColour, font, size, colour);
  m_font.CreateFont(2, 0);
  return TRUE;
}

BOOL CPushButtonResponse::Activate() {
  Unload();
  ITaskServices* services = TaskServicesOf(this);
  m_strShownCaption = services ? ExpandVariables(services->Variables(), m_strCaption, FALSE) : m_strCaption;
  if (!m_strShownCaption.IsEmpty()) m_font.CreateFont(2, 0);

  m_env = ImageEnvironmentOf(this);
  for (CImage& image : m_images) image.SetEnvironment(&m_env);
  const bool stateImages = !m_images[kUpImage].fileName.IsEmpty() || !m_images[kDownImage].fileName.IsEmpty() ||
                           !m_images[kHoverImage].fileName.IsEmpty();
  if (!stateImages) {
    if (!m_images[kFaceImage].fileName.IsEmpty()) m_images[kFaceImage].Load();
  } else {
    m_wState |= ButtonState::kImageMode;
    // A state without a picture shows nothing rather than failing the button.
    for (int i = kUpImage; i < kImageCount; ++i)
      if (!m_images[i].fileName.IsEmpty()) m_images[i].Load();
  }

  m_cursor = nullptr;
  if (m_dwStyle & ButtonStyle::kOwnCursor)
    if (IResponseView* view = ResponseViewOf(this)) m_cursor = view->GetCursor(m_strCursorFile);

  Display().NoteShownOn(this);
  if (COffScreenView* view = PageViewOf(this)) view->AddObject(this, DrawFlag::kControlFace);
  return TRUE;
}

int CPushButtonResponse::ShownImage() const {
  if (m_wState & ButtonState::kHeld) return (m_wState & ButtonState::kLeftWhileHeld) ? kUpImage : kDownImage;
  return (m_wState & ButtonState::kHover) ? kHoverImage : kUpImage;
}

CRect CPushButtonResponse::Area(const CRect* rect) {
  CRect area = rect ? *rect : EvaluatedRect(this);
  area.InflateRect(-1, -1);
  return area;
}

void CPushButtonResponse::Draw(CDC* dc, int, const CRect* rect) {
  if (!dc) return;
  const CRect area = Area(rect);
  if (m_wState & ButtonState::kImageMode) {
    m_images[ShownImage()].Draw(dc, area, TRUE);
    return;
  }
  DrawBevelled(dc, area);
}

void CPushButtonResponse::DrawBevelled(CDC* dc, const CRect& area) {
  const int x = area.left;
  const int y = area.top;
  const int w = area.Width();
  const int h = area.Height();
  const int b = m_bevel;
  dc->FillSolidRect(x, y, w - 1, h - 1, m_faceColour);
  if (m_dwStyle & ButtonStyle::kFrame) {
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    dc->FillSolidRect(x, y - 1, w, 1, frame);
    dc->FillSolidRect(x, y + h, w, 1, frame);
    dc->FillSolidRect(x - 1, y, 1, h, frame);
    dc->FillSolidRect(x + w, y, 1, h, frame);
  }
  const bool down = (m_wState & ButtonState::kHeld) && !(m_wState & ButtonState::kLeftWhileHeld);
  auto edges = [&](COLORREF light, COLORREF dark) {
    for (int i = 0; i < b; ++i) {
      dc->FillSolidRect(x + i, y, 1, h - i - 1, light);
      dc->FillSolidRect(x, y + i, w - i - 1, 1, light);
      dc->FillSolidRect(x + w - i - 1, y + i, 1, h - i, dark);
      dc->FillSolidRect(x + i, y + h - i - 1, w - i - 1, 1, dark);
    }
  };
  int offset = 0;
  if (!down) {
    edges(m_highlightColour, m_shadowColour);
  } else {
    if (b > 3) {
      edges(m_shadowColour, m_highlightColour);
    } else {
      for (int i = 0; i < 2; ++i) {
        dc->FillSolidRect(x + i, y, 1, h - i, m_shadowColour);
        dc->FillSolidRect(x, y + i, w - i, 1, m_shadowColour);
      }
    }
    offset = b < 3 ? b : 2;
  }
  CRect content = area;
  content.InflateRect(-b, -b);
  content.OffsetRect(offset, offset);

  const COLORREF oldText = dc->SetTextColor(m_textColour);
  const COLORREF oldBack = dc->GetBkColor();
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  IGdiFont* oldFont = nullptr;
  const CImage& face = m_images[kFaceImage];
  if (face.fileName.IsEmpty()) {
    if (!m_strShownCaption.IsEmpty()) {
      oldFont = m_font.Select(dc);
      CRect measured = content;
      dc->DrawText(m_strShownCaption, &measured, kCaptionFormat | DT_CALCRECT);
      const int height = std::min(measured.Height(), content.Height());
      CRect text = content;
      text.top += (content.Height() - height) / 2;
      text.bottom = text.top + height;
      dc->DrawText(m_strShownCaption, &text, kCaptionFormat);
    }
  } else {
    int width = 0;
    int height = 0;
    face.GetSize(width, height);
    CRect picture = content;
    if (width < content.Width()) picture.left += (content.Width() - width - 1) / 2;
    if (height < content.Height()) picture.top += (content.Height() - height) / 2;
    picture.right = picture.left + width;
    picture.bottom = picture.top + height;
    m_images[kFaceImage].Draw(dc, picture, TRUE);
  }
  if (oldFont) GetFontServices().SelectFont(dc, oldFont);
  dc->SetTextColor(oldText);
  dc->SetBkColor(oldBack);
  dc->SetBkMode(oldMode);
}

BOOL CPushButtonResponse::GetRegion(int, int x, int y, const CRect* rect) {
  const CRect area = rect ? *rect : EvaluatedRect(this);
  if (!area.PtInRect(CPoint(x, y))) return FALSE;
  if (!(m_wState & ButtonState::kImageMode)) return TRUE;
  return m_images[ShownImage()].HitTest(CPoint(x - area.left, y - area.top));
}

void CPushButtonResponse::ShowNow(const CRect& area) {
  if (COffScreenView* view = PageViewOf(this)) {
    view->ComposeRect(&area);
    view->BlitToScreen(nullptr, &area);
  }
}

BOOL CPushButtonResponse::OnMouseMove(UINT, CPoint point, int source, const CRect* rect) {
  if (source != kInputFromTaskResponses) return FALSE;
  const CRect area = rect ? *rect : EvaluatedRect(this);
  const bool inside = ContainsPoint(point.x, point.y) != FALSE;
  if (inside && !(m_wState & ButtonState::kHover)) {
    m_wState |= ButtonState::kHover;
    if (m_dwStyle & ButtonStyle::kOwnCursor)
      if (IResponseView* view = ResponseViewOf(this)) view->SetCursor(m_cursor);
    if (m_wState & ButtonState::kImageMode) ShowNow(area);
    RunHoverActions();
  } else if (!inside && (m_wState & ButtonState::kHover)) {
    m_wState &= ~ButtonState::kHover;
    if (m_wState & ButtonState::kImageMode) ShowNow(area);
    if (IResponseView* view = ResponseViewOf(this)) view->RestoreCursor(FALSE);
    TakeHoverActionsOff();
  }
  return FALSE;
}

BOOL CPushButtonResponse::TrackPress(IPressTrackingHost& host) {
  const CRect area = EvaluatedRect(this);
  m_wState = static_cast<WORD>((m_wState | ButtonState::kHeld) & ~ButtonState::kLeftWhileHeld);
  host.Repaint(area);
  BOOL result = FALSE;
  CPoint point;
  BOOL released = FALSE;
  // A loop that ends without a release counts as a release outside.
  while (host.NextMouse(point, released)) {
    const bool inside = ContainsPoint(point.x, point.y) != FALSE;
    const WORD before = m_wState;
    if (inside) m_wState &= ~ButtonState::kLeftWhileHeld;
    else m_wState |= ButtonState::kLeftWhileHeld;
    if (m_wState != before) host.Repaint(area);
    if (released) {
      result = inside;
      break;
    }
  }
  m_wState &= ~(ButtonState::kHeld | ButtonState::kLeftWhileHeld);
  host.Repaint(area);
  return result;
}

BOOL CPushButtonResponse::OnMouseButton(UINT message, UINT, CPoint point, int source, const CRect*) {
  if (!IsEnabled()) return FALSE;  // disabled objects never take input
  if (source != kInputFromTaskResponses || message != WM_LBUTTONDOWN || !ContainsPoint(point.x, point.y)) return FALSE;
  COffScreenView* view = PageViewOf(this);
  if (!view) return FALSE;
  CViewPressTracking tracking(*view, Services(), TaskOf(this));
  const BOOL inside = TrackPress(tracking);
  // A task left while the button was held must not be answered.
  return inside && tracking.TaskStillCurrent();
}

BOOL CPushButtonResponse::OnKey(int key, int) {
  if (!IsEnabled() || m_hotKey == 0) return FALSE;
  const char text[2] = {static_cast<char>(m_hotKey), 0};
  CString hot(text);
  hot.MakeUpper();
  return key == static_cast<BYTE>(hot[0]);
}

BOOL CPushButtonResponse::CollectFiles(CStringArray* files, int flags) {
  if (!files) return FALSE;
  BOOL added = FALSE;
  for (const CImage& image : m_images) added = image.GetFileNames(*files) || added;
  if ((m_dwStyle & ButtonStyle::kOwnCursor) && !m_strCursorFile.IsEmpty()) {
    files->Add(m_strCursorFile);
    added = TRUE;
  }
  return CDisplayResponse::CollectFiles(files, flags) || added;
}
